// SPDX-License-Identifier: GPL-2.0-or-later
// When an entry has settled, on a clock the rows move by hand: notices, looks and what each look
// decides, and when the next look is due.
#include <gtest/gtest.h>

#include <vector>

#include "SettleTracker.h"

namespace {

using watch::Clock;
using Verdict = watch::SettleTracker::Verdict;

// A look of one of a few states: 0 the entry is gone, otherwise a file of that size.
watch::EntryLook Look(int state)
{
    watch::EntryLook look;
    if (state == 0)
        return look;
    look.exists = true;
    look.items.push_back({"", 0100000, 7, state, 1000, 1000});
    return look;
}

Clock::time_point At(double seconds)
{
    return Clock::time_point() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

struct Step {
    char kind;  // n: a notice; l: a look, `state` seen, `verdict` expected; h: held after a take; d: next due at `t` (-1: none)
    double t;
    int state = 1;
    Verdict verdict = Verdict::Wait;
};

struct Row {
    const char* behaviour;
    std::vector<Step> steps;
};

}  // namespace

TEST(SettleTracker, Rows)
{
    const Row rows[] = {
        {"a new name is looked at at once", {{'n', 5}, {'d', 5}}},
        {"quiet for the settle time across two looks is taken",
         {{'n', 0}, {'l', 0, 1, Verdict::Wait}, {'d', 1}, {'l', 1, 1, Verdict::Take}, {'d', -1}}},
        {"a change between the looks starts the time again",
         {{'n', 0}, {'l', 0, 1}, {'l', 1, 2, Verdict::Wait}, {'d', 2}, {'l', 2, 2, Verdict::Take}}},
        {"a notice after the first look pushes the time on",
         {{'n', 0}, {'l', 0, 1}, {'n', 0.6}, {'d', 1.6}, {'l', 1, 1, Verdict::Wait}, {'l', 1.6, 1, Verdict::Take}}},
        {"the same look before the settle time is up is not taken",
         {{'l', 0, 1, Verdict::Wait}, {'l', 0.5, 1, Verdict::Wait}, {'l', 0.99, 1, Verdict::Wait},
          {'l', 1, 1, Verdict::Take}}},
        {"a file growing at every look is never taken",
         {{'l', 0, 1}, {'l', 0.9, 2}, {'l', 1.8, 3}, {'l', 2.7, 4}, {'l', 3.6, 5, Verdict::Wait}, {'d', 4.6}}},
        {"a held entry stays held, and nothing is due, while it does not change",
         {{'l', 0, 1}, {'l', 1, 1, Verdict::Take}, {'h', 1}, {'d', -1}, {'n', 3}, {'l', 4, 1, Verdict::Held},
          {'d', -1}, {'l', 9, 1, Verdict::Held}}},
        {"a held entry that changes is taken again once settled",
         {{'l', 0, 1}, {'l', 1, 1, Verdict::Take}, {'h', 1}, {'n', 3}, {'l', 4, 2, Verdict::Wait},
          {'l', 4.5, 2, Verdict::Wait}, {'l', 5, 2, Verdict::Take}}},
        {"a held entry changed back to as it was is still held",
         {{'l', 0, 1}, {'l', 1, 1, Verdict::Take}, {'h', 1}, {'l', 2, 2, Verdict::Wait}, {'l', 2.5, 1, Verdict::Held}}},
        {"an entry that is gone is forgotten",
         {{'n', 0}, {'l', 0, 1}, {'l', 0.5, 0, Verdict::Gone}, {'d', -1}, {'l', 0.6, 1, Verdict::Wait}, {'d', 1.6}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.behaviour);
        watch::SettleTracker tracker(std::chrono::seconds(1));
        int index = 0;
        for (const Step& step : row.steps) {
            SCOPED_TRACE("step " + std::to_string(index++));
            switch (step.kind) {
            case 'n':
                tracker.Noticed("box", At(step.t));
                break;
            case 'l':
                EXPECT_EQ(tracker.Looked("box", Look(step.state), At(step.t)), step.verdict);
                break;
            case 'h':
                tracker.Hold("box");
                break;
            case 'd': {
                const auto due = tracker.NextDue();
                if (step.t < 0) {
                    EXPECT_FALSE(due.has_value());
                } else {
                    ASSERT_TRUE(due.has_value());
                    EXPECT_NEAR(std::chrono::duration<double>(*due - At(0)).count(), step.t, 1e-6);
                    EXPECT_EQ(tracker.Due(*due), std::vector<std::string> {"box"});
                }
                break;
            }
            }
        }
    }
}
