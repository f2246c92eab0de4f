// SPDX-License-Identifier: GPL-2.0-or-later
// The loop every program reads its arguments with, and the options they all take alike:
// -l/--list, -0/--null, -q/--quiet, -h/--help and --version. A program's parser derives from it
// and handles its own options and arguments.
#pragma once

#include <getopt.h>

#include <string>
#include <vector>

#include "OptionScanner.h"
#include "SharedArguments.h"

namespace cli {

// The code of --version in every program's long options: the first one past the bytes.
inline constexpr int kVersionCode = 256;

class CommandParser {
public:
    CommandParser(const CommandParser&) = delete;
    CommandParser& operator=(const CommandParser&) = delete;

    // What the command line asks for, by precedence: a usage error, help, the version, or the run.
    enum class Request { UsageError, Help, Version, Run };

protected:
    // `shortOptions` starts with "-:" (see OptionScanner) and, like `longOptions`, holds the
    // shared options with the codes above ('l', '0', 'q', 'h', kVersionCode). The parse fills
    // `arguments`, which must outlive this parser.
    CommandParser(const char* program, const std::vector<std::string>& args, const char* shortOptions,
                  const option* longOptions, SharedArguments& arguments);
    virtual ~CommandParser() = default;

    // Hands every option the shared ones leave to Handle, and every argument (those after "--"
    // too) to AddArgument, in command-line order, until the first usage error. Not thread-safe:
    // it uses getopt_long's global state.
    void Scan();
    // Once the program's own checks are done.
    Request Outcome() const;

    // Records the first usage error; later ones are dropped.
    void Fail(const std::string& error);
    // The option as the user wrote it, long or short, for a message.
    std::string OptionName(int code) const { return scanner_.OptionName(code); }
    const std::string& LastArgument() const { return scanner_.LastArgument(); }

    // `code` as getopt_long returns it: an option's, or ':' for a missing value (optopt names
    // the option).
    virtual void Handle(int code, const std::string& value) = 0;
    virtual void AddArgument(const std::string& argument) = 0;

private:
    // False for an option that is the program's own.
    bool HandleShared(int code, const std::string& value);

    OptionScanner scanner_;
    SharedArguments& arguments_;
    bool help_ = false;
    bool version_ = false;
    int standardInputLists_ = 0;
};

}  // namespace cli
