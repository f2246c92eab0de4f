// SPDX-License-Identifier: GPL-2.0-or-later
#include "CommandParser.h"

namespace cli {

CommandParser::CommandParser(const char* program, const std::vector<std::string>& args, const char* shortOptions,
                             const option* longOptions, SharedArguments& arguments)
    : scanner_(program, args, shortOptions, longOptions), arguments_(arguments)
{
}

void CommandParser::Scan()
{
    int code;
    std::string value;
    while (arguments_.error.empty() && (code = scanner_.Next(value)) != -1) {
        if (code == 1)
            AddArgument(value);
        else if (!HandleShared(code, value))
            Handle(code, value);
    }
    // After "--" everything left is an argument.
    for (const std::string& argument : scanner_.Rest())
        if (arguments_.error.empty())
            AddArgument(argument);
}

CommandParser::Request CommandParser::Outcome() const
{
    if (!arguments_.error.empty())
        return Request::UsageError;
    if (help_)
        return Request::Help;
    if (version_)
        return Request::Version;
    return Request::Run;
}

void CommandParser::Fail(const std::string& error)
{
    if (arguments_.error.empty())
        arguments_.error = error;
}

bool CommandParser::HandleShared(int code, const std::string& value)
{
    switch (code) {
    case '?':
        Fail(scanner_.Refusal());
        return true;
    case 'l':
        if (value.empty())
            Fail("the list file name is empty");
        else if (value == "-" && ++standardInputLists_ > 1)
            Fail("standard input can be read only once");
        else
            arguments_.sources.push_back({true, value});
        return true;
    case '0':
        arguments_.nulSeparated = true;
        return true;
    case 'q':
        arguments_.quiet = true;
        return true;
    case 'h':
        help_ = true;
        return true;
    case kVersionCode:
        version_ = true;
        return true;
    default:
        return false;
    }
}

}  // namespace cli
