// SPDX-License-Identifier: GPL-2.0-or-later
// Feeds arbitrary bytes to the frame probe through a real file, as the export engine meets them.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "JpegFrameProbe.h"
#include "jpeg2pdf.h"

namespace {

// One scratch file for the whole run, unlinked at once so that nothing is left behind however
// the run ends; the probe reaches it by its /proc/self/fd path. Memory-backed when possible,
// because the file is rewritten for every input.
struct Scratch {
    int fd = -1;
    std::string path;
};

const Scratch& ScratchFile()
{
    static const Scratch scratch = [] {
        const char* base = std::getenv("TMPDIR");
        std::string folder = base && *base ? base : access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string pattern = folder + "/probe-fuzz-XXXXXX";
        Scratch s;
        s.fd = mkstemp(pattern.data());
        if (s.fd < 0)
            std::abort();
        unlink(pattern.c_str());
        s.path = "/proc/self/fd/" + std::to_string(s.fd);
        return s;
    }();
    return scratch;
}

void WriteScratch(const uint8_t* data, size_t size)
{
    const int fd = ScratchFile().fd;
    if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WriteScratch(data, size);
    int32_t width = -1, height = -1;
    bool isCmyk = false;
    const bool accepted = jpeg2pdf::ReadJpegFrameInfo(ScratchFile().path, width, height, isCmyk);
    if (accepted) {
        // An accepted file always carries a frame header whose size fields are 16-bit values.
        if (width < 0 || width > 65535 || height < 0 || height > 65535 || size < 12)
            std::abort();
    }
    // Reading the orientation and the reasons never changes the verdict.
    jpeg2pdf::ProbeOutcome outcome;
    jpeg2pdf::ProbeJpegFile(ScratchFile().path, true, outcome);
    if (accepted != (outcome.problem.refusal == jpeg2pdf::EntryRefusal::None) || outcome.orientation < 1
        || outcome.orientation > 8)
        std::abort();
    // Everything requested: the verdict changes only for grey frames, the orientation not at all,
    // and what is read stays within its bounds.
    jpeg2pdf::ProbeOutcome full;
    jpeg2pdf::ProbeJpegFile(ScratchFile().path, jpeg2pdf::ProbeRequest {true, true, true, true}, full);
    const bool fullAccepted = full.problem.refusal == jpeg2pdf::EntryRefusal::None;
    if (accepted != fullAccepted && !(fullAccepted && full.components == 1))
        std::abort();
    if (fullAccepted && full.orientation != outcome.orientation)
        std::abort();
    const auto densityOk = [](double v) { return v == 0 || (v > 0 && v <= jpeg2pdf::kMostPixelsPerInch); };
    if (!densityOk(full.density.x) || !densityOk(full.density.y) || (full.density.x == 0) != (full.density.y == 0))
        std::abort();
    if ((!full.profile.empty() && !full.profileIgnored.empty()) || full.profile.size() > size)
        std::abort();
    return 0;
}
