// SPDX-License-Identifier: GPL-2.0-or-later
#include "TimedRun.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>

#include "TempDir.h"

extern char** environ;

TimedRun RunUnderTime(const std::vector<std::string>& argv, const std::string& peakFile, const std::string& stdoutPath)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!stdoutPath.empty())
        posix_spawn_file_actions_addopen(&actions, 1, stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<std::string> timed = {"/usr/bin/time", "-f", "%M", "-o", peakFile};
    timed.insert(timed.end(), argv.begin(), argv.end());
    std::vector<char*> args;
    for (const std::string& a : timed)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = -1;
    const int spawned = posix_spawn(&child, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return {{}, "cannot start " + argv[0]};
    // The usage of GNU time and the program it waited for, to the microsecond.
    int status = 0;
    rusage usage {};
    if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {{}, "failed: " + argv[0]};
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const auto inSeconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return {{seconds, inSeconds(usage.ru_utime) + inSeconds(usage.ru_stime), std::atol(ReadFileBytes(peakFile).c_str())},
            ""};
}
