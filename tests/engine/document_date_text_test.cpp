// SPDX-License-Identifier: GPL-2.0-or-later
// Creation dates in the information dictionary's form and XMP's, and the dates refused.
#include <unistd.h>

#include <gtest/gtest.h>

#include "DocumentDateText.h"
#include "ExportDetails.h"
#include "MakeJpeg.h"
#include "TempDir.h"

using jpeg2pdf::DocumentDate;

TEST(DocumentDateText, BothFormsOfValidDatesAndTheInvalidOnes)
{
    struct Row {
        DocumentDate date;
        std::string pdf, iso;  // empty: not a valid date
    };
    const std::vector<Row> rows = {
        {{2026, 1, 2, 3, 4, 5, true, 60}, "D:20260102030405+01'00'", "2026-01-02T03:04:05+01:00"},
        {{2026, 1, 2, 3, 4, 5, true, 0}, "D:20260102030405Z", "2026-01-02T03:04:05Z"},
        {{2026, 1, 2, 3, 4, 5, false, 60}, "D:20260102030405", "2026-01-02T03:04:05"},
        {{1, 12, 31, 23, 59, 59, true, -(13 * 60 + 45)}, "D:00011231235959-13'45'", "0001-12-31T23:59:59-13:45"},
        {{2000, 2, 29, 0, 0, 0, true, 23 * 60 + 59}, "D:20000229000000+23'59'", "2000-02-29T00:00:00+23:59"},
        {{1900, 2, 29, 0, 0, 0, false, 0}, "", ""},
        {{2023, 4, 31, 0, 0, 0, false, 0}, "", ""},
        {{0, 1, 1, 0, 0, 0, false, 0}, "", ""},
        {{10000, 1, 1, 0, 0, 0, false, 0}, "", ""},
        {{2026, 13, 1, 0, 0, 0, false, 0}, "", ""},
        {{2026, 1, 1, 24, 0, 0, false, 0}, "", ""},
        {{2026, 1, 1, 0, 60, 0, false, 0}, "", ""},
        {{2026, 1, 1, 0, 0, 60, false, 0}, "", ""},
        {{2026, 1, 1, 0, 0, 0, true, -24 * 60}, "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.iso.empty() ? "invalid" : row.iso);
        ASSERT_EQ(jpeg2pdf::IsValidDocumentDate(row.date), !row.pdf.empty());
        if (!row.pdf.empty()) {
            EXPECT_EQ(jpeg2pdf::PdfDateText(row.date), row.pdf);
            EXPECT_EQ(jpeg2pdf::IsoDateText(row.date), row.iso);
        }
    }
}

TEST(DocumentDateText, AnInvalidDateIsRefusedBeforeTheOutputIsMade)
{
    TempDir dir;
    jpeg2pdf::ExportOptions options;
    options.info.hasDate = true;
    options.info.created.month = 2, options.info.created.day = 30;
    const auto outcome = jpeg2pdf::ExportJpegList({dir.Write("a.jpg", MakeJpeg({}))}, dir.File("out.pdf"), options);
    const auto* refused = std::get_if<jpeg2pdf::OutputRefused>(&outcome);
    ASSERT_NE(refused, nullptr);
    EXPECT_EQ(refused->refusal, jpeg2pdf::OutputRefusal::CannotCreate);
    EXPECT_EQ(refused->systemError, EINVAL);
    EXPECT_NE(access(dir.File("out.pdf").c_str(), F_OK), 0);
}
