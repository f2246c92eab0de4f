// SPDX-License-Identifier: GPL-2.0-or-later
// When an entry of the watched folder has settled: no notice of a change, and the same look, for
// the settle time. Plain code fed with what the watcher notices, what it sees when it looks, and
// the time, so it runs the same under a test's clock as under the system's.
#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "EntryLook.h"

namespace watch {

using Clock = std::chrono::steady_clock;

class SettleTracker {
public:
    explicit SettleTracker(Clock::duration settle) : settle_(settle) { }

    // A notice that something in entry `name` changed (inotify), or that the name is new: it must
    // be quiet for the settle time from now. An entry never looked at is due for a look at once.
    void Noticed(const std::string& name, Clock::time_point now);

    enum class Verdict {
        Wait,  // changed since the last look, or not quiet long enough: looked at again when due
        Take,  // quiet for the settle time across two looks: make its document
        Held,  // settled as it was when it was refused or left alone: nothing to do until it changes
        Gone,  // no longer there: forgotten
    };
    // What a look at entry `name` saw. Looks at entries not yet tracked start tracking them, so a
    // poll needs no notices.
    Verdict Looked(const std::string& name, const EntryLook& look, Clock::time_point now);

    // After Take: the entry was refused or is not a picture. It is held as last seen, and taken
    // again only once a look sees it otherwise.
    void Hold(const std::string& name);
    // After Take: the entry's document is made and its sources are gone; it is forgotten.
    void Forget(const std::string& name) { entries_.erase(name); }

    // The entries due for a look at `now`, in name order.
    std::vector<std::string> Due(Clock::time_point now) const;
    // When the next look is due; none while every entry is held (so an idle watcher sleeps).
    std::optional<Clock::time_point> NextDue() const;

    // Every entry tracked, in name order.
    std::vector<std::string> Names() const;

private:
    struct Entry {
        std::optional<EntryLook> look;  // the last look; none before the first
        Clock::time_point quietSince {};  // the last change noticed or seen
        std::optional<Clock::time_point> due;  // the next look; none while held
        std::optional<EntryLook> held;  // as it was when refused
    };

    Clock::duration settle_;
    std::map<std::string, Entry> entries_;
};

}  // namespace watch
