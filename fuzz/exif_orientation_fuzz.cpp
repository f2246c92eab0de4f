// Feeds arbitrary bytes to the Exif orientation reader as the payload of an APP1 segment.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "ExifOrientation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A copy of exactly `size` bytes, so any read past the payload is caught by the sanitizer.
    const std::vector<uint8_t> payload(data, data + size);
    const int orientation = jpeg2pdf::ReadExifOrientation(payload.data(), payload.size());
    if (orientation < 1 || orientation > 8)
        std::abort();
    return 0;
}
