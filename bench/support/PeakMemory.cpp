// SPDX-License-Identifier: GPL-2.0-or-later
#include "PeakMemory.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

long StatusKiB(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0)
            return std::atol(line.c_str() + std::strlen(field));
    }
    return -1;
}

long PeakRssRiseKiB(const std::function<bool()>& work)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return -1;
    const pid_t child = fork();
    if (child == 0) {
        // Resets the peak to the present size, so what the parent once held does not count.
        std::ofstream("/proc/self/clear_refs") << "5";
        const long idle = StatusKiB("VmRSS:");
        const bool ok = work();
        const long peak = StatusKiB("VmHWM:");
        const long rise = ok && idle >= 0 && peak >= 0 ? peak - idle : -1;
        (void)!write(pipeFds[1], &rise, sizeof rise);
        _exit(0);
    }
    long rise = -1;
    if (child > 0) {
        (void)!read(pipeFds[0], &rise, sizeof rise);
        waitpid(child, nullptr, 0);
    }
    close(pipeFds[0]);
    close(pipeFds[1]);
    return rise;
}
