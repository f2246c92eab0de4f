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

#include "InputFile.h"
#include "OutputFile.h"
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

// Strips what `input` holds into `output` (emptied first) after `before` bytes of other output,
// and returns the stripped bytes. The bytes before leave the walk less room in the output's
// buffer, so its reads split the file at other places.
std::vector<uint8_t> Strip(int input, int output, size_t before)
{
    posixfile::InputFile in;
    if (!in.Open("/proc/self/fd/" + std::to_string(input)) || ftruncate(output, 0) != 0
        || lseek(output, 0, SEEK_SET) != 0)
        std::abort();
    posixfile::OutputFile out;
    out.Adopt(output);
    if (!out.Write(std::string(before, '%')))
        std::abort();
    const int64_t written = jpeg2pdf::CopyJpegStripped(in, out);
    if (!out.Close())
        std::abort();
    std::vector<uint8_t> stripped = Contents(output);
    if (written != static_cast<int64_t>(stripped.size() - before))
        std::abort();
    stripped.erase(stripped.begin(), stripped.begin() + static_cast<std::ptrdiff_t>(before));
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
    const std::vector<uint8_t> stripped = Strip(input, output, 0);
    if (stripped.size() > size || !IsSubsequence(stripped, data, size))
        std::abort();
    Replace(input, stripped.data(), stripped.size());
    // Leaves between 4 and 12 KiB of the 512 KiB buffer's room.
    if (Strip(input, output, 512 * 1024 - 4096 - size % 8192) != stripped)
        std::abort();
    return 0;
}
