// SPDX-License-Identifier: GPL-2.0-or-later
// Runs an outside program (a PDF reader, a hash tool) over files the engine wrote.
#pragma once

#include <array>
#include <cstdio>
#include <memory>
#include <string>

namespace engine_test {

struct CommandResult {
    int status;
    std::string output;  // standard output and standard error together
};

inline CommandResult RunCommand(const std::string& command)
{
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen((command + " 2>&1").c_str(), "r"), pclose);
    if (!pipe)
        return {-1, "popen failed"};
    std::string output;
    std::array<char, 4096> chunk;
    size_t got;
    while ((got = fread(chunk.data(), 1, chunk.size(), pipe.get())) > 0)
        output.append(chunk.data(), got);
    const int status = pclose(pipe.release());
    return {status, output};
}

// A path or text as one shell word.
inline std::string Quoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace engine_test
