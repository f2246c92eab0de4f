// SPDX-License-Identifier: GPL-2.0-or-later
// Running the outside programs that check our output (PDF readers, validators, Python scripts).
#pragma once

#include <array>
#include <cstdio>
#include <memory>
#include <string>

struct CommandResult {
    int status;
    std::string output;  // standard output and standard error together
};

// Runs `command` through the shell; status as pclose gives it.
inline CommandResult RunCommand(const std::string& command)
{
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen((command + " 2>&1").c_str(), "r"), pclose);
    if (!pipe)
        return {-1, "popen failed"};
    std::string output;
    std::array<char, 4096> chunk;
    for (size_t got; (got = fread(chunk.data(), 1, chunk.size(), pipe.get())) > 0;)
        output.append(chunk.data(), got);
    const int status = pclose(pipe.release());
    return {status, output};
}

// Single-quoted for the shell, whatever the text holds.
inline std::string Quoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}
