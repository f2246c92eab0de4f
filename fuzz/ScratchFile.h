// SPDX-License-Identifier: GPL-2.0-or-later
// One scratch file for a fuzz target's whole run, for readers that open files by name: unlinked
// at once, reached by its /proc/self/fd path, in memory where /dev/shm is writable.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <string>

inline const std::string& ScratchPath(int& fd)
{
    static int descriptor = -1;
    static const std::string path = [] {
        const char* base = std::getenv("TMPDIR");
        std::string folder = base && *base ? base : access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string pattern = folder + "/leafbind-fuzz-XXXXXX";
        descriptor = mkstemp(pattern.data());
        if (descriptor < 0)
            std::abort();
        unlink(pattern.c_str());
        return "/proc/self/fd/" + std::to_string(descriptor);
    }();
    fd = descriptor;
    return path;
}
