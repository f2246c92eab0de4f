// SPDX-License-Identifier: GPL-2.0-or-later
#include "OptionScanner.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "ShownName.h"

namespace cli {

OptionScanner::OptionScanner(const char* program, const std::vector<std::string>& args, const char* shortOptions,
                             const option* longOptions)
    : shortOptions_(shortOptions), longOptions_(longOptions)
{
    storage_.reserve(args.size() + 1);
    storage_.push_back(program);
    storage_.insert(storage_.end(), args.begin(), args.end());
    for (std::string& a : storage_)
        argv_.push_back(a.data());
    argv_.push_back(nullptr);
    opterr = 0;  // the messages are ours
    optind = 0;  // 0, not 1: glibc then forgets the previous parse entirely
}

int OptionScanner::Next(std::string& value)
{
    const int code = getopt_long(static_cast<int>(storage_.size()), argv_.data(), shortOptions_, longOptions_, nullptr);
    value = code != -1 && optarg ? optarg : "";
    return code;
}

std::vector<std::string> OptionScanner::Rest() const
{
    const size_t first = std::min(static_cast<size_t>(std::max(optind, 1)), storage_.size());
    return {storage_.begin() + static_cast<std::ptrdiff_t>(first), storage_.end()};
}

const std::string& OptionScanner::LastArgument() const
{
    return storage_[static_cast<size_t>(std::max(optind - 1, 0))];
}

std::string OptionScanner::OptionName(int value) const
{
    for (const option* o = longOptions_; o->name; ++o)
        if (o->val == value && (LastArgument().starts_with("--") || value > 255))
            return std::string("--") + o->name;
    return std::string("-") + static_cast<char>(value);
}

std::string OptionScanner::Refusal() const
{
    const std::string& arg = LastArgument();
    if (optopt != 0 && !arg.starts_with("--"))
        return std::string("unknown option -") + static_cast<char>(optopt);
    const std::string name = arg.substr(0, arg.find('='));
    if (optopt != 0)
        return "option " + OptionName(optopt) + " takes no value";
    std::string candidates;
    for (const option* o = longOptions_; o->name; ++o)
        if (std::strncmp(o->name, name.c_str() + 2, name.size() - 2) == 0)
            candidates += (candidates.empty() ? "--" : ", --") + std::string(o->name);
    if (candidates.find(',') != std::string::npos)
        return "option " + ShownName(name) + " is ambiguous: it could be " + candidates;
    return "unknown option " + ShownName(name);
}

}  // namespace cli
