// Feeds arbitrary bytes to the frame probe through a real file, as the export engine meets them.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "jpeg2pdf.h"

namespace {

// One scratch file for the whole run, rewritten for every input.
const std::string& ScratchPath()
{
    static const std::string path = [] {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/probe-fuzz-XXXXXX";
        const int fd = mkstemp(pattern.data());
        if (fd < 0)
            std::abort();
        close(fd);
        std::atexit([] { unlink(ScratchPath().c_str()); });
        return pattern;
    }();
    return path;
}

void WriteScratch(const uint8_t* data, size_t size)
{
    FILE* file = std::fopen(ScratchPath().c_str(), "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WriteScratch(data, size);
    int32_t width = -1, height = -1;
    bool isCmyk = false;
    if (jpeg2pdf::ReadJpegFrameInfo(ScratchPath(), width, height, isCmyk)) {
        // An accepted file always carries a frame header whose size fields are 16-bit values.
        if (width < 0 || width > 65535 || height < 0 || height > 65535 || size < 12)
            std::abort();
    }
    return 0;
}
