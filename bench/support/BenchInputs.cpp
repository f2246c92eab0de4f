// SPDX-License-Identifier: GPL-2.0-or-later
#include "BenchInputs.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>

std::vector<char> Noise(size_t size)
{
    std::vector<char> bytes(size);
    uint32_t state = 2463534242u;
    for (char& b : bytes) {
        state ^= state << 13, state ^= state >> 17, state ^= state << 5;
        b = static_cast<char>(state >> 24);
    }
    return bytes;
}

bool WriteJpegOfSize(const std::string& path, const std::string& jpeg, const std::vector<char>& noise, int64_t size,
                     size_t seed)
{
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    bool written = write(fd, jpeg.data(), jpeg.size()) == static_cast<ssize_t>(jpeg.size());
    size_t from = (seed * 7919) % (noise.size() / 2);
    for (int64_t left = size - static_cast<int64_t>(jpeg.size()); written && left > 0;) {
        const size_t n = static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(noise.size() - from)));
        written = write(fd, noise.data() + from, n) == static_cast<ssize_t>(n);
        left -= static_cast<int64_t>(n);
        from = 0;
    }
    return close(fd) == 0 && written;
}
