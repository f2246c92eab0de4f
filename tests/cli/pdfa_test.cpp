// SPDX-License-Identifier: GPL-2.0-or-later
// --pdfa through the real program: a document described from the command line, with text at the
// part's limit, that the PDF/A-1b validator accepts, too many pages for part 1 refused with the
// reason, the same bytes on every run.
#include <gtest/gtest.h>

#include "MakeJpeg.h"
#include "PdfAChecks.h"
#include "RunProgram.h"
#include "TempDir.h"

TEST(PdfA, ThroughTheCommandLine)
{
    TempDir dir;
    const std::string rgb = dir.Write("rgb.jpg", MakeJpeg({.width = 30, .height = 20, .gradient = true}));
    const std::string out = dir.File("out.pdf");

    // Keywords as long as part 1 holds in a string, and the largest UTC offset.
    ProgramRun run = RunExportProgram({"-f", "-o", out, "--pdfa", "1b", "--title", "\xE5\x86\x99\xE7\x9C\x9F",
                                       "--author", "\xC3\x89lodie", "--keywords", std::string(65535, 'k'), "--date",
                                       "2026-12-07 10:00+14:00", "--bookmarks", rgb, rgb});
    ASSERT_EQ(run.status, 0) << run.err;
    const ValidatorVerdict verdict = ValidatePdfA1b(out);
    EXPECT_TRUE(verdict.valid) << verdict.report;

    // Part 1's page tree lists at most 8,191 pages; part 2 has no such limit.
    std::string list;
    for (int i = 0; i < 8192; ++i)
        list += rgb + "\n";
    run = RunExportProgram({"-q", "-f", "-o", out, "--pdfa", "1b", "-l", dir.Write("many.txt", list)});
    EXPECT_EQ(run.status, 3);
    EXPECT_NE(run.err.find("PDF/A-1b holds at most 8,191 pages"), std::string::npos) << run.err;
    EXPECT_EQ(RunExportProgram({"-q", "-f", "-o", out, "--pdfa", "2b", "-l", dir.File("many.txt")}).status, 0);

    for (const std::string part : {"1b", "2b"}) {
        for (const std::string name : {"first.pdf", "second.pdf"}) {
            run = RunExportProgram({"-f", "--pdfa", part, "--title", "Album", "-o", dir.File(name), rgb});
            ASSERT_EQ(run.status, 0) << run.err;
        }
        EXPECT_EQ(ReadFileBytes(dir.File("first.pdf")), ReadFileBytes(dir.File("second.pdf"))) << part;
    }
}
