// SPDX-License-Identifier: GPL-2.0-or-later
// getopt_long over a program's arguments, with messages of our own: both programs take their
// options the GNU way (--opt=value, bundled short options, unambiguous abbreviations, "--").
#pragma once

#include <getopt.h>

#include <string>
#include <vector>

namespace cli {

class OptionScanner {
public:
    // `shortOptions` should start with "-:" so that file names come back in command-line order
    // (code 1) and a missing value is told apart (':'); `longOptions` ends with a null entry.
    OptionScanner(const char* program, const std::vector<std::string>& args, const char* shortOptions,
                  const option* longOptions);

    // The next option's code and its value (empty when it has none); -1 when the options end.
    int Next(std::string& value);
    // What follows "--", once Next has returned -1.
    std::vector<std::string> Rest() const;

    // The argument getopt_long has just finished with.
    const std::string& LastArgument() const;
    // The option as the user wrote it, long or short, for a message.
    std::string OptionName(int value) const;
    // Why getopt_long refused the last argument ('?'): an unknown option, an ambiguous
    // abbreviation, or a value given to an option that takes none.
    std::string Refusal() const;

private:
    std::vector<std::string> storage_;  // getopt_long wants writable C strings
    std::vector<char*> argv_;
    const char* shortOptions_;
    const option* longOptions_;
};

}  // namespace cli
