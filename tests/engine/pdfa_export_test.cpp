// SPDX-License-Identifier: GPL-2.0-or-later
// PDF/A documents as the packaged PDF/A-1b validator and a PDF library read them: every 1b
// document the validator accepts; both parts meet the rules checked here (2b has no validator in
// Debian); pictures a part cannot show are refused before anything is written.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "ExportDetails.h"
#include "FixedPageText.h"
#include "IccProfiles.h"
#include "MakeJpeg.h"
#include "PdfAChecks.h"
#include "TempDir.h"

using namespace jpeg2pdf;

namespace {

struct Document {
    std::string name;
    PdfAPart part;
    std::vector<std::string> pictures;
    DocumentInfo info;
    std::vector<std::string> imageSpaces;  // as PdfAFacts lists them
    std::vector<int> warned;  // entries the export warned of
    std::vector<PageText> text;  // each page's invisible words; none: no text layer
};

// A picture carrying `profile` in its APP2 chunks.
std::string WithProfile(JpegRecipe recipe, const std::string& profile)
{
    recipe.leadingSegments = IccChunkSegments(profile);
    return MakeJpeg(recipe);
}

// Writes each file and exports them to <name>.pdf.
ExportOutcome Export(const TempDir& dir, const std::string& name, const std::vector<std::string>& files,
                    ExportOptions options)
{
    std::vector<std::string> paths;
    for (size_t i = 0; i < files.size(); ++i)
        paths.push_back(dir.Write(name + std::to_string(i) + ".jpg", files[i]));
    return ExportJpegList(paths, dir.File(name + ".pdf"), options);
}

// What both parts ask, with the version and identification of `part`.
void ExpectPartRules(const std::string& pdf, PdfAPart part, const std::vector<std::string>& imageSpaces)
{
    const bool one = part == PdfAPart::A1b;
    PdfAFacts facts = ReadPdfAFacts(pdf);
    const std::vector<std::string> sides = facts["side"];
    facts.erase("side");
    const PdfAFacts expected = {
        {"header", {one ? "%PDF-1.4" : "%PDF-1.7"}},
        {"binary", {"1"}},
        {"id", {"1"}},
        {"part", {one ? "1" : "2"}},
        {"conformance", {"B"}},
        {"titles", {"1"}},
        {"intent", {"/GTS_PDFA1"}},
        {"intent-n", {"3"}},
        {"image", imageSpaces},
    };
    EXPECT_EQ(facts, expected);
    for (const std::string& side : sides) {
        double shortest = 0, longest = 0;
        std::istringstream(side) >> shortest >> longest;
        EXPECT_TRUE(shortest >= 3 && longest <= 14400) << side;
    }
    EXPECT_EQ(ProfileVersionOpened(pdf + ".icc"), 2);
}

}  // namespace

TEST(PdfAExport, DocumentsMeetTheirPart)
{
    const std::string rgb = MakeJpeg({.width = 40, .height = 30});
    const std::string smallest = MakeJpeg({.width = 3, .height = 3});
    DocumentInfo described;
    described.title = "\xE5\x86\x99\xE7\x9C\x9F \xCE\xA6\xCF\x89\xCF\x84\xCE\xBF & <Foto>";
    described.author = "\xD0\x90\xD0\xBD\xD0\xBD\xD0\xB0";
    described.subject = "Sommer\r\n2026";
    described.keywords = "Meer, Strand";
    described.hasDate = true;
    described.created = {2026, 7, 1, 12, 30, 0, true, 120};
    DocumentInfo localDate;
    localDate.title = "Bell\x07";
    localDate.hasDate = true;
    localDate.created = {1999, 12, 31, 23, 59, 59, false, 0};
    const std::string grey = MakeJpeg({.width = 10, .height = 10, .components = 1});
    const std::string rgbVersion2 = WithProfile({}, AdobeRgbLikeProfile(2.1));
    const std::string rgbVersion4 = WithProfile({}, AdobeRgbLikeProfile(4.3));
    const std::string greyVersion2 = WithProfile({.components = 1}, GrayProfile(2.1));
    const std::string cmykVersion2 = WithProfile({.components = 4}, CmykProfile(5, 2.1));
    const std::string cmykVersion4 = WithProfile({.components = 4}, CmykProfile(5, 4.3));
    const std::vector<Document> documents = {
        {"profiles-1b",
         PdfAPart::A1b,
         {rgbVersion2, rgbVersion4, grey, greyVersion2, cmykVersion2},
         {},
         {"ICC 2", "/DeviceRGB", "/DeviceGray", "ICC 2", "ICC 2"},
         {1},
         {}},
        {"profiles-2b",
         PdfAPart::A2b,
         {rgbVersion2, rgbVersion4, grey, greyVersion2, cmykVersion4},
         {},
         {"ICC 2", "ICC 4", "/DeviceGray", "ICC 2", "ICC 4"},
         {},
         {}},
        {"described-1b", PdfAPart::A1b, {rgb, smallest}, described, {"/DeviceRGB", "/DeviceRGB"}, {}, {}},
        {"described-2b", PdfAPart::A2b, {rgb, smallest}, described, {"/DeviceRGB", "/DeviceRGB"}, {}, {}},
        {"local-date-1b", PdfAPart::A1b, {rgb}, localDate, {"/DeviceRGB"}, {}, {}},
        {"text-1b",
         PdfAPart::A1b,
         {rgb, rgb},
         {},
         {"/DeviceRGB", "/DeviceRGB"},
         {},
         {engine_test::PageOf({{engine_test::LevelLine(2, 20, 8, {{"Größe", 2, 20}, {"\xF0\x9D\x84\x9E", 22, 26}})}}),
          engine_test::PageOf({}, 1)}},
    };
    TempDir dir;
    for (const Document& document : documents) {
        SCOPED_TRACE(document.name);
        ExportOptions options;
        options.acceptGray = true;
        options.info = document.info;
        options.pdfa = document.part;
        engine_test::FixedPageText text(document.text);
        if (!document.text.empty())
            options.text = &text;
        std::vector<int> warned;
        options.warn = [&warned](int entry, const std::string&) { warned.push_back(entry); };
        ASSERT_EQ(ExportResultCode(Export(dir, document.name, document.pictures, options)), kExportSaved);
        EXPECT_EQ(warned, document.warned);
        const std::string pdf = dir.File(document.name + ".pdf");
        ExpectPartRules(pdf, document.part, document.imageSpaces);
        if (document.part == PdfAPart::A1b) {
            const ValidatorVerdict verdict = ValidatePdfA1b(pdf);
            EXPECT_TRUE(verdict.valid) << verdict.report;
        }
    }
}

TEST(PdfAExport, PicturesThePartCannotHoldAreRefused)
{
    struct Row {
        std::string name;
        PdfAPart part;
        std::vector<std::string> pictures;
        PageLayout layout;
        bool everyEntry;
        int entry;  // the first refused
        std::vector<std::pair<int, EntryRefusal>> problems;  // with everyEntry
    };
    const std::string rgb = MakeJpeg({.width = 20, .height = 10});
    const std::string cmyk = MakeJpeg({.width = 20, .height = 10, .components = 4});
    const std::vector<Row> rows = {
        {"cmyk-1b", PdfAPart::A1b, {rgb, cmyk}, {}, false, 1, {}},
        {"cmyk-version-4-1b", PdfAPart::A1b, {WithProfile({.components = 4}, CmykProfile(5, 4.3))}, {}, false, 0, {}},
        {"cmyk-2b", PdfAPart::A2b, {cmyk}, {}, false, 0, {}},
        {"narrow", PdfAPart::A2b, {rgb, MakeJpeg({.width = 2, .height = 10})}, {}, false, 1, {}},
        {"wide", PdfAPart::A1b, {MakeJpeg({.width = 14401, .height = 8})}, {}, false, 0, {}},
        // 100 pixels at 2,401 dots per inch are 2.998 points.
        {"dense",
         PdfAPart::A1b,
         {MakeJpeg({.width = 100, .height = 100})},
         {.density = DensitySource::Fixed, .dotsPerInch = 2401},
         false,
         0,
         {}},
        {"every",
         PdfAPart::A1b,
         {rgb, "not a picture", MakeJpeg({.width = 2, .height = 2}), rgb, cmyk},
         {},
         true,
         1,
         {{1, EntryRefusal::NotJpeg}, {2, EntryRefusal::PageOutOfRange}, {4, EntryRefusal::CmykWithoutProfile}}},
        // A page a density makes outside what readers show, without a part too; each entry once.
        {"density, every entry",
         PdfAPart::None,
         {rgb, "not a picture", MakeJpeg({.width = 1200, .height = 900})},
         {.density = DensitySource::Fixed, .dotsPerInch = 1},
         true,
         1,
         {{1, EntryRefusal::NotJpeg}, {2, EntryRefusal::DensityPageOutOfRange}}},
        {"density and part, once",
         PdfAPart::A2b,
         {MakeJpeg({.width = 100, .height = 100})},
         {.density = DensitySource::Fixed, .dotsPerInch = 2401},
         true,
         0,
         {{0, EntryRefusal::DensityPageOutOfRange}}},
    };
    TempDir dir;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ExportOptions options;
        options.reportEveryEntry = row.everyEntry;
        options.layout = row.layout;
        options.pdfa = row.part;
        const ExportOutcome outcome = Export(dir, row.name, row.pictures, options);
        EXPECT_EQ(ExportResultCode(outcome), row.entry);
        const auto* refused = std::get_if<EntriesRefused>(&outcome);
        ASSERT_NE(refused, nullptr);
        std::vector<std::pair<int, EntryRefusal>> problems;
        for (const EntryReport& problem : refused->entries)
            problems.emplace_back(problem.entry, problem.problem.refusal);
        // Without everyEntry only the first refused entry is told.
        if (row.everyEntry)
            EXPECT_EQ(problems, row.problems);
        else
            EXPECT_EQ(problems.size(), 1u);
        EXPECT_FALSE(std::filesystem::exists(dir.File(row.name + ".pdf")));
    }
}
