// The progress line: silent for quick exports and off a terminal, redrawn in place otherwise.
#include <gtest/gtest.h>

#include "ProgressLine.h"

using std::chrono::milliseconds;

TEST(ProgressLine, DrawnOnlyAfterHalfASecondAndOnlyWhenEnabled)
{
    for (bool enabled : {true, false}) {
        SCOPED_TRACE(enabled);
        std::chrono::steady_clock::time_point now {};
        std::string shown;
        cli::ProgressLine line(
            enabled, [&](const std::string& text) { shown += text; }, [&] { return now; });
        now += milliseconds(400);
        line.Update(1, 4, 2'000'000);
        EXPECT_EQ(shown, "");
        now += milliseconds(600);  // one second in: 3 MB written
        line.Update(2, 4, 3'000'000);
        now += milliseconds(10);  // too soon to redraw, but the last page always shows
        line.Update(3, 4, 3'500'000);
        now += milliseconds(990);
        line.Update(4, 4, 4'000'000);
        line.Finish();
        EXPECT_EQ(shown, enabled ? "\r2 of 4 pages, 3.0 MB/s\r4 of 4 pages, 2.0 MB/s\n" : "");
    }
}
