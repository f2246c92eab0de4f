// SPDX-License-Identifier: GPL-2.0-or-later
// Feeds arbitrary bytes to the metadata stripper through memory-backed files. Beyond surviving
// every input, the stripped copy must be what was reported, a selection of the input's bytes in
// their order, and stripping it again must change nothing.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "FileAccess.h"
#include "JpegStripper.h"

namespace {

int MemoryFile(const char* name)
{
    const int fd = memfd_create(name, MFD_CLOEXEC);
    if (fd < 0)
        std::abort();
    return fd;
}

void Replace(int fd, const uint8_t* data, size_t size)
{
    if (ftruncate(fd, 0) != 0 || (size > 0 && pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)))
        std::abort();
}

std::vector<uint8_t> Contents(int fd)
{
    std::vector<uint8_t> bytes(static_cast<size_t>(lseek(fd, 0, SEEK_END)));
    if (!bytes.empty() && pread(fd, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size()))
        std::abort();
    return bytes;
}

// Strips what `input` holds into `output` (emptied first) and returns the stripped bytes.
std::vector<uint8_t> Strip(int input, int output)
{
    jpeg2pdf::InputFile in;
    if (!in.Open("/proc/self/fd/" + std::to_string(input)) || ftruncate(output, 0) != 0
        || lseek(output, 0, SEEK_SET) != 0)
        std::abort();
    jpeg2pdf::OutputFile out;
    out.Adopt(output);
    const int64_t written = jpeg2pdf::CopyJpegStripped(in, out);
    if (!out.Close())
        std::abort();
    std::vector<uint8_t> stripped = Contents(output);
    if (written != static_cast<int64_t>(stripped.size()))
        std::abort();
    return stripped;
}

bool IsSubsequence(const std::vector<uint8_t>& part, const uint8_t* whole, size_t size)
{
    size_t at = 0;
    for (size_t i = 0; i < size && at < part.size(); ++i)
        at += whole[i] == part[at];
    return at == part.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const int input = MemoryFile("strip-in"), output = MemoryFile("strip-out");
    Replace(input, data, size);
    const std::vector<uint8_t> stripped = Strip(input, output);
    if (stripped.size() > size || !IsSubsequence(stripped, data, size))
        std::abort();
    Replace(input, stripped.data(), stripped.size());
    if (Strip(input, output) != stripped)
        std::abort();
    return 0;
}
