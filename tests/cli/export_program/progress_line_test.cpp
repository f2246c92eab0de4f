// SPDX-License-Identifier: GPL-2.0-or-later
// The progress line: silent for quick exports and off a terminal, redrawn in place otherwise.
#include <gtest/gtest.h>

#include "ProgressLine.h"

using std::chrono::milliseconds;

TEST(ProgressLine, DrawnOnlyAfterHalfASecondAndOnlyWhenEnabled)
{
    struct Update {
        int afterMs;  // since the previous update
        int pages;
        int64_t bytes;
    };
    struct Case {
        const char* name;
        bool enabled;
        std::vector<Update> updates;  // of 4 pages
        std::string shown;
        bool recognising = false;  // --ocr: pages are counted as they are recognised
        bool documents = false;  // --folders: updates are documents done of 4, with pages (in bytes)
    };
    const std::vector<Update> spread
        = {{400, 1, 2'000'000}, {600, 2, 3'000'000}, {10, 3, 3'500'000}, {990, 4, 4'000'000}};
    const Case cases[] = {
        // Not before half a second; a redraw within 100 ms is skipped unless it is the last page.
        {"spread", true, spread, "\r2 of 4 pages, 3.0 MB/s\r4 of 4 pages, 2.0 MB/s\n"},
        {"disabled", false, spread, ""},
        {"last page soon after a redraw",
         true,
         {{600, 1, 1'200'000}, {50, 3, 1'300'000}, {20, 4, 1'340'000}},
         "\r1 of 4 pages, 2.0 MB/s\r4 of 4 pages, 2.0 MB/s\n"},
        {"recognised pages",
         true,
         spread,
         "\r2 of 4 pages recognised, 2.00 pages/s\r4 of 4 pages recognised, 2.00 pages/s\n",
         true},
        {"documents with their pages",
         true,
         {{400, 1, 5}, {600, 2, 12}, {10, 3, 14}, {990, 4, 20}},
         "\r2 of 4 documents, 12 pages, 12.0 pages/s\r4 of 4 documents, 20 pages, 10.0 pages/s\n",
         false,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::chrono::steady_clock::time_point now {};
        std::string shown;
        cli::ProgressLine line(
            c.enabled, [&](const std::string& text) { shown += text; }, [&] { return now; });
        if (c.recognising)
            line.CountRecognisedPages();
        for (const Update& u : c.updates) {
            now += milliseconds(u.afterMs);
            if (c.documents)
                line.UpdateDocuments(u.pages, 4, u.bytes);
            else
                line.Update(u.pages, 4, u.bytes);
        }
        line.Finish();
        EXPECT_EQ(shown, c.shown);
    }
}
