// SPDX-License-Identifier: GPL-2.0-or-later
// The PDF/A rules of each part on their own, and the text both document descriptions keep.
#include <gtest/gtest.h>

#include "PdfARules.h"
#include "XmpPacket.h"

using namespace jpeg2pdf;

namespace {

// A profile that is only its header, of version major.minor.
std::vector<uint8_t> ProfileOfVersion(uint8_t major, uint8_t minor = 0, size_t size = 128)
{
    std::vector<uint8_t> profile(size, 0);
    if (size > 9) {
        profile[8] = major;
        profile[9] = static_cast<uint8_t>(minor << 4);
    }
    return profile;
}

}  // namespace

TEST(PdfAUnits, PartRules)
{
    struct ProfileRow {
        PdfAPart part;
        std::vector<uint8_t> profile;
        bool carried;
        std::string warningStart;  // "": no warning
    };
    const std::vector<ProfileRow> profiles = {
        {PdfAPart::A1b, ProfileOfVersion(2, 1), true, ""},
        {PdfAPart::A1b, ProfileOfVersion(2, 4), true, ""},
        {PdfAPart::A1b, ProfileOfVersion(2, 5), false, "version 2.5 colour profile; PDF/A-1b carries version 2.0 to"},
        {PdfAPart::A1b, ProfileOfVersion(4, 3), false, "version 4.3 colour profile; PDF/A-1b"},
        {PdfAPart::A1b, ProfileOfVersion(2, 1, 127), false, "colour profile too short to read its version; PDF/A-1b"},
        {PdfAPart::A2b, ProfileOfVersion(2), true, ""},
        {PdfAPart::A2b, ProfileOfVersion(4), true, ""},
        {PdfAPart::A2b, ProfileOfVersion(5), false, "version 5.0 colour profile; PDF/A-2b carries version 2 to 4"},
        {PdfAPart::A2b, ProfileOfVersion(1), false, "version 1.0 colour profile; PDF/A-2b"},
        {PdfAPart::None, ProfileOfVersion(5), true, ""},
        {PdfAPart::A1b, {}, false, ""},  // no profile, nothing to warn of
    };
    for (const auto& row : profiles) {
        SCOPED_TRACE(row.warningStart);
        EXPECT_EQ(PdfACarriesProfile(row.part, row.profile), row.carried);
        const std::string warning = PdfAProfileWarning(row.part, row.profile);
        EXPECT_EQ(warning.substr(0, row.warningStart.size()), row.warningStart);
        EXPECT_EQ(warning.empty(), row.warningStart.empty());
        EXPECT_TRUE(warning.empty() || warning.ends_with("profiles only, so the picture keeps its device colours"))
            << warning;
    }

    struct RefusalRow {
        PdfAPart part;
        int components;
        bool profileCarried;
        double width, height;
        EntryRefusal refusal;
    };
    const std::vector<RefusalRow> refusals = {
        {PdfAPart::A1b, 3, false, 3, 14400, EntryRefusal::None},
        {PdfAPart::A2b, 1, false, 14400, 3, EntryRefusal::None},
        {PdfAPart::A2b, 3, true, 100, 14400.01, EntryRefusal::PageOutOfRange},
        {PdfAPart::A2b, 4, true, 100, 100, EntryRefusal::None},
        {PdfAPart::None, 4, false, 1, 1, EntryRefusal::None},
    };
    EXPECT_TRUE(PdfAPageCountAllowed(PdfAPart::A1b, 8191));
    EXPECT_FALSE(PdfAPageCountAllowed(PdfAPart::A1b, 8192));
    EXPECT_TRUE(PdfAPageCountAllowed(PdfAPart::A2b, 8192));
    for (const auto& row : refusals) {
        SCOPED_TRACE(testing::Message() << row.components << " components, " << row.width << " x " << row.height);
        EXPECT_EQ(PdfARefusal(row.part, row.components, row.profileCarried, row.width, row.height), row.refusal);
    }
}

TEST(PdfAUnits, TextBothDescriptionsKeep)
{
    const std::vector<std::pair<std::string, std::string>> kept = {
        {"line\r\nnext\ttab", "line\r\nnext\ttab"},
        {std::string("nul\0bell\x07\x7F", 10), "nulbell\x7F"},
        {"\xE5\x86\x99\xE7\x9C\x9F \xF0\x9F\x93\xB7", "\xE5\x86\x99\xE7\x9C\x9F \xF0\x9F\x93\xB7"},
        {"bad \xC3 end \xC0\xAF", "bad \xEF\xBF\xBD end \xEF\xBF\xBD\xEF\xBF\xBD"},
        {"cut \xE2\x82", "cut \xEF\xBF\xBD\xEF\xBF\xBD"},
        {"no \xEF\xBF\xBE\xEF\xBF\xBF here", "no  here"},
        {std::string("\0\xEF\xBB\xBF\xEF\xBB\xBFmark\xEF\xBB\xBF", 14), "mark\xEF\xBB\xBF"},  // no leading mark
    };
    for (const auto& [in, expected] : kept)
        EXPECT_EQ(XmlRepresentable(in), expected) << in;
}
