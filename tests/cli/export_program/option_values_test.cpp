// SPDX-License-Identifier: GPL-2.0-or-later
// Option values as the parser reads them: paper names and units in points, dates, text, and where
// each lands in the engine's options.
#include <gtest/gtest.h>

#include "CommandLine.h"
#include "DateOption.h"
#include "InfoText.h"
#include "PaperSize.h"

TEST(OptionValues, PaperSizesInPoints)
{
    struct Case {
        const char* text;
        double width, height;  // 0 x 0: refused
    };
    const Case cases[] = {
        {"A3", 841.89, 1190.55},
        {"a4", 595.28, 841.89},
        {"A5", 419.53, 595.28},
        {"b5", 498.90, 708.66},
        {"LETTER", 612, 792},
        {"Legal", 612, 1008},
        {"210x297mm", 595.28, 841.89},
        {"21x29.7CM", 595.28, 841.89},
        {"8.5x11in", 612, 792},
        {"8.5inx11in", 612, 792},
        {"100X50", 100, 50},
        {"100ptx50pt", 100, 50},
        {".5x1in", 36, 72},
        {"A6", 0, 0},
        {"210mmx297", 0, 0},
        {"210x297ft", 0, 0},
        {"0x297mm", 0, 0},
        {"-210x297mm", 0, 0},
        {"1e3x2", 0, 0},
        {"infxinf", 0, 0},
        {"300x300in", 0, 0},
        {"3x14400", 3, 14400},
        {"200x1in", 14400, 72},
        {"210x", 0, 0},
        {"", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        double width = 0, height = 0;
        std::string why;
        EXPECT_EQ(cli::ParsePaperSize(c.text, width, height, why), c.width > 0);
        EXPECT_NEAR(width, c.width, 0.01);
        EXPECT_NEAR(height, c.height, 0.01);
    }
    double points = -1;
    EXPECT_TRUE(cli::ParseLength("0", points) && points == 0);
    EXPECT_TRUE(cli::ParseLength("2.54cm", points) && std::abs(points - 72) < 1e-9);
    EXPECT_FALSE(cli::ParseLength("12px", points) || cli::ParseLength("mm", points)
                 || cli::ParseLength("201in", points));
}

TEST(OptionValues, Dates)
{
    using Date = jpeg2pdf::DocumentDate;
    struct Case {
        const char* text;
        bool valid;
        Date date;
    };
    const Case cases[] = {
        {"2026-01-02", true, {2026, 1, 2, 0, 0, 0, false, 0}},
        {"2026-01-02T03:04", true, {2026, 1, 2, 3, 4, 0, false, 0}},
        {"2026-01-02 03:04:05Z", true, {2026, 1, 2, 3, 4, 5, true, 0}},
        {"2026-01-02T03:04:05+01:00", true, {2026, 1, 2, 3, 4, 5, true, 60}},
        {"2026-01-02T03:04-05:30", true, {2026, 1, 2, 3, 4, 0, true, -330}},
        {"2026-01-02T03:04+14:00", true, {2026, 1, 2, 3, 4, 0, true, 840}},
        {"2026-01-02T03:04-12:00", true, {2026, 1, 2, 3, 4, 0, true, -720}},
        {"2026-01-02T03:04+05:45", true, {2026, 1, 2, 3, 4, 0, true, 345}},
        {"2024-02-29T23:59:59", true, {2024, 2, 29, 23, 59, 59, false, 0}},
        {"2000-02-29", true, {2000, 2, 29, 0, 0, 0, false, 0}},
        {"2100-02-29", false, {}},
        {"2026-04-31", false, {}},
        {"2026-13-01", false, {}},
        {"2026-00-10", false, {}},
        {"2026-01-02T24:00", false, {}},
        {"2026-01-02T03:60", false, {}},
        {"2026-01-02T03:04:60", false, {}},
        {"2026-01-02T03", false, {}},
        {"2026-1-2", false, {}},
        {"2026-01-02T03:04+1:00", false, {}},
        {"2026-01-02T03:04+24:00", false, {}},
        {"2026-01-02x", false, {}},
        {"0000-01-01", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Date date {1, 1, 1, 1, 1, 1, false, 7};
        std::string why;
        ASSERT_EQ(cli::ParseDocumentDate(c.text, date, why), c.valid);
        if (!c.valid)
            continue;
        EXPECT_EQ(std::tie(date.year, date.month, date.day, date.hour, date.minute, date.second, date.hasZone,
                           date.zoneMinutes),
                  std::tie(c.date.year, c.date.month, c.date.day, c.date.hour, c.date.minute, c.date.second,
                           c.date.hasZone, c.date.zoneMinutes));
    }
    Date now;
    std::string why;
    ASSERT_TRUE(cli::ParseDocumentDate("now", now, why));
    EXPECT_TRUE(now.hasZone && now.year >= 2024);
}

TEST(OptionValues, TextIsUtf8OrLatin1)
{
    EXPECT_EQ(cli::InfoTextAsUtf8("\xC3\xA9t\xC3\xA9"), "\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(cli::InfoTextAsUtf8("\xE9t\xE9"), "\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(cli::InfoTextAsUtf8("ab\xC3"), "ab\xC3\x83");  // a sequence cut short
}

TEST(OptionValues, WhereEachOptionLands)
{
    const cli::CommandLine plain = cli::ParseCommandLine({"-o", "x.pdf", "a.jpg"});
    EXPECT_TRUE(plain.options.acceptGray && !plain.options.embedProfiles && !plain.options.info.hasDate);

    const cli::CommandLine all = cli::ParseCommandLine(
        {"-0o",      "x.pdf",      "--dpi=150.5", "--page-size", "letter",     "--fit",       "Shrink",
         "--margin", "1in",        "--title",     "T",           "--author",   "A",           "--subject",
         "S",        "--keywords", "K",           "--date",      "2026-01-02", "--bookmarks", "--strip-metadata",
         "--pdfa",   "1b",         "a.jpg"});
    ASSERT_EQ(all.action, cli::CommandLine::Action::Export) << all.error;
    const jpeg2pdf::ExportOptions& o = all.options;
    EXPECT_TRUE(all.nulSeparated && o.embedProfiles && o.bookmarks && o.stripMetadata && o.info.hasDate);
    EXPECT_EQ(o.layout.density, jpeg2pdf::DensitySource::Fixed);
    EXPECT_EQ(o.layout.dotsPerInch, 150.5);
    EXPECT_EQ(o.layout.fit, jpeg2pdf::FitMode::Shrink);
    EXPECT_EQ(o.layout.margin, 72);
    EXPECT_EQ(o.layout.paperHeight, 792);
    EXPECT_EQ(o.info.title + o.info.author + o.info.subject + o.info.keywords, "TASK");
    EXPECT_EQ(o.info.created.day, 2);
    EXPECT_EQ(o.pdfa, jpeg2pdf::PdfAPart::A1b);
    EXPECT_EQ(cli::ParseCommandLine({"-ox", "--dpi", "auto", "a"}).options.layout.density,
              jpeg2pdf::DensitySource::FromFile);
    EXPECT_EQ(cli::ParseCommandLine({"-ox", "--pdfa=2b", "a"}).options.pdfa, jpeg2pdf::PdfAPart::A2b);
}
