// SPDX-License-Identifier: GPL-2.0-or-later
// --pdfa through the real program: documents the PDF/A-1b validator accepts, described from the
// command line; pictures a part cannot show refused with the reason; the same bytes every run.
#include <gtest/gtest.h>

#include "MakeJpeg.h"
#include "PdfAChecks.h"
#include "RunProgram.h"
#include "TempDir.h"

TEST(PdfA, ThroughTheCommandLine)
{
    TempDir dir;
    const std::string rgb = dir.Write("rgb.jpg", MakeJpeg({.width = 30, .height = 20}));
    const std::string cmyk = dir.Write("cmyk.jpg", MakeJpeg({.width = 30, .height = 20, .components = 4}));
    const std::string tiny = dir.Write("tiny.jpg", MakeJpeg({.width = 2, .height = 20}));
    struct Row {
        std::vector<std::string> args;
        int status;
        std::string errorText;  // in standard error
    };
    const std::vector<Row> rows = {
        {{"--pdfa", "1b", "--title", "\xE5\x86\x99\xE7\x9C\x9F", "--author", "\xC3\x89lodie", "--date",
          "2026-12-07T10:00:00+01:00", "--bookmarks", rgb, rgb},
         0,
         ""},
        {{"--pdfa", "1b", "--date", "2026-12-07 10:00", rgb}, 0, ""},
        {{"--pdfa", "1b", rgb, cmyk}, 1, "cmyk.jpg: CMYK without a usable colour profile"},
        {{"--pdfa", "2b", cmyk}, 1, "cmyk.jpg: CMYK without a usable colour profile"},
        {{"--pdfa", "2b", rgb, tiny}, 1, "tiny.jpg: the page would be smaller than 3"},
    };
    for (const Row& row : rows) {
        std::vector<std::string> args = {"-f", "-o", dir.File("out.pdf")};
        args.insert(args.end(), row.args.begin(), row.args.end());
        SCOPED_TRACE(testing::PrintToString(row.args));
        const ProgramRun run = RunExportProgram(args);
        EXPECT_EQ(run.status, row.status) << run.err;
        if (row.status != 0) {
            EXPECT_NE(run.err.find(row.errorText), std::string::npos) << run.err;
            continue;
        }
        const ValidatorVerdict verdict = ValidatePdfA1b(dir.File("out.pdf"));
        EXPECT_TRUE(verdict.valid) << verdict.report;
    }
}

TEST(PdfA, TwoRunsWriteTheSameBytes)
{
    TempDir dir;
    const std::string rgb = dir.Write("rgb.jpg", MakeJpeg({.width = 30, .height = 20, .gradient = true}));
    for (const std::string part : {"1b", "2b"}) {
        for (const std::string name : {"first.pdf", "second.pdf"}) {
            const ProgramRun run = RunExportProgram({"-f", "--pdfa", part, "--title", "Album", "-o", dir.File(name), rgb});
            ASSERT_EQ(run.status, 0) << run.err;
        }
        EXPECT_EQ(ReadFileBytes(dir.File("first.pdf")), ReadFileBytes(dir.File("second.pdf"))) << part;
    }
}
