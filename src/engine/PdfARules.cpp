// SPDX-License-Identifier: GPL-2.0-or-later
#include "PdfARules.h"

namespace jpeg2pdf {

namespace {

constexpr double kSmallestSide = 3;
constexpr double kLargestSide = 14400;
constexpr size_t kIccHeaderSize = 128;

}  // namespace

int PdfAVersionMinor(PdfAPart part) { return part == PdfAPart::A2b ? 7 : 4; }

bool PdfAPageSizeAllowed(double width, double height)
{
    return width >= kSmallestSide && width <= kLargestSide && height >= kSmallestSide && height <= kLargestSide;
}

std::string IccVersionText(const std::vector<uint8_t>& profile)
{
    if (profile.size() < kIccHeaderSize)
        return {};
    return std::to_string(profile[8]) + "." + std::to_string(profile[9] >> 4);
}

bool PdfACarriesProfile(PdfAPart part, const std::vector<uint8_t>& profile)
{
    const int major = profile.size() < kIccHeaderSize ? 0 : profile[8];
    switch (part) {
    case PdfAPart::None:
        return true;
    case PdfAPart::A1b:
        return major == 2 && profile[9] <= 0x40;
    case PdfAPart::A2b:
        return major >= 2 && major <= 4;
    }
    return false;
}

EntryRefusal PdfARefusal(PdfAPart part, int components, bool profileCarried, double pageWidth, double pageHeight)
{
    if (part == PdfAPart::None)
        return EntryRefusal::None;
    // Device grey is allowed under any output intent, device RGB under an RGB one.
    if (components == 4 && !profileCarried)
        return EntryRefusal::CmykWithoutProfile;
    if (!PdfAPageSizeAllowed(pageWidth, pageHeight))
        return EntryRefusal::PageOutOfRange;
    return EntryRefusal::None;
}

std::string PdfAProfileWarning(PdfAPart part, const std::vector<uint8_t>& profile)
{
    if (profile.empty() || PdfACarriesProfile(part, profile))
        return {};
    const std::string version = IccVersionText(profile);
    std::string text = version.empty() ? std::string("colour profile too short to read its version")
                                       : "version " + version + " colour profile";
    return text + (part == PdfAPart::A1b ? "; PDF/A-1b carries version 2.0 to 2.4 profiles only"
                                         : "; PDF/A-2b carries version 2 to 4 profiles only")
           + ", so the picture keeps its device colours";
}

}  // namespace jpeg2pdf
