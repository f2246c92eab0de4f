// SPDX-License-Identifier: GPL-2.0-or-later
#include "PdfARules.h"

#include "IccProfile.h"
#include "ReaderBounds.h"

namespace jpeg2pdf {

namespace {

constexpr size_t kMostArrayElementsInPart1 = 8191;
constexpr size_t kMostStringBytesInPart1 = 65535;
constexpr size_t kMostStringBytesInPart2 = 32767;

}  // namespace

int PdfAVersionMinor(PdfAPart part) { return part == PdfAPart::A2b ? 7 : 4; }

bool PdfAPageCountAllowed(PdfAPart part, size_t pageCount)
{
    return part != PdfAPart::A1b || pageCount <= kMostArrayElementsInPart1;
}

bool PdfAPageSizeAllowed(double width, double height) { return PageSizeShown(width, height); }

size_t PdfAMostTextStringBytes(PdfAPart part)
{
    return part == PdfAPart::A1b ? kMostStringBytesInPart1 : part == PdfAPart::A2b ? kMostStringBytesInPart2 : 0;
}

std::string IccVersionText(const std::vector<uint8_t>& profile)
{
    const IccVersion version = ReadIccVersion(profile.data(), profile.size());
    if (version.major == 0)
        return {};
    return std::to_string(version.major) + "." + std::to_string(version.minor);
}

bool PdfACarriesProfile(PdfAPart part, const std::vector<uint8_t>& profile)
{
    const IccVersion version = ReadIccVersion(profile.data(), profile.size());
    switch (part) {
    case PdfAPart::None:
        return true;
    case PdfAPart::A1b:
        // Up to 2.4.0 exactly: a bug-fix release of 2.4 is past what PDF 1.4 names (byte 9 holds
        // the minor and bug-fix versions, a nibble each).
        return version.major == 2 && profile[9] <= 0x40;
    case PdfAPart::A2b:
        return version.major >= 2 && version.major <= 4;
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
    return text
        + (part == PdfAPart::A1b ? "; PDF/A-1b carries version 2.0 to 2.4 profiles only"
                                 : "; PDF/A-2b carries version 2 to 4 profiles only")
        + ", so the picture keeps its device colours";
}

}  // namespace jpeg2pdf
