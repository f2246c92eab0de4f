// SPDX-License-Identifier: GPL-2.0-or-later
#include "SrgbProfile.h"

#include <lcms2.h>

#include <memory>

namespace jpeg2pdf {

namespace {

// Header bytes 24 to 35: the creation date and time as six big-endian 16-bit fields.
constexpr size_t kCreatedAt = 24;
constexpr uint16_t kFixedCreated[6] = {2000, 1, 1, 0, 0, 0};

}  // namespace

std::vector<uint8_t> SrgbProfileVersion2()
{
    const std::unique_ptr<void, cmsBool (*)(cmsHPROFILE)> profile(cmsCreate_sRGBProfile(), cmsCloseProfile);
    if (!profile)
        return {};
    cmsSetProfileVersion(profile.get(), 2.1);
    cmsUInt32Number size = 0;
    if (!cmsSaveProfileToMem(profile.get(), nullptr, &size) || size < 128)
        return {};
    std::vector<uint8_t> bytes(size);
    if (!cmsSaveProfileToMem(profile.get(), bytes.data(), &size) || size != bytes.size())
        return {};
    // The library stamps the current time; a version 2 header has no checksum to keep in step.
    for (size_t i = 0; i < 6; ++i) {
        bytes[kCreatedAt + 2 * i] = static_cast<uint8_t>(kFixedCreated[i] >> 8);
        bytes[kCreatedAt + 2 * i + 1] = static_cast<uint8_t>(kFixedCreated[i] & 0xFF);
    }
    return bytes;
}

}  // namespace jpeg2pdf
