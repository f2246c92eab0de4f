// SPDX-License-Identifier: GPL-2.0-or-later
#include "SettleTracker.h"

namespace watch {

void SettleTracker::Noticed(const std::string& name, Clock::time_point now)
{
    Entry& entry = entries_[name];
    entry.quietSince = now;
    // The first look is the one the second is compared with: taken at once.
    entry.due = entry.look ? now + settle_ : now;
}

SettleTracker::Verdict SettleTracker::Looked(const std::string& name, const EntryLook& look, Clock::time_point now)
{
    if (!look.exists) {
        entries_.erase(name);
        return Verdict::Gone;
    }
    const bool known = entries_.count(name) != 0;
    Entry& entry = entries_[name];
    if (!known || !entry.look || !(*entry.look == look)) {
        // Changed between two looks, or first seen by this look: quiet from now. A first look after
        // a notice counts from the notice.
        if (!known || entry.look)
            entry.quietSince = now;
        entry.look = look;
        if (entry.held && *entry.held == look) {
            entry.due.reset();
            return Verdict::Held;
        }
        entry.due = entry.quietSince + settle_;
        return Verdict::Wait;
    }
    if (now - entry.quietSince < settle_) {
        entry.due = entry.quietSince + settle_;
        return Verdict::Wait;
    }
    entry.due.reset();
    if (entry.held && *entry.held == look)
        return Verdict::Held;
    return Verdict::Take;
}

void SettleTracker::Hold(const std::string& name)
{
    Entry& entry = entries_[name];
    entry.held = entry.look;
    entry.due.reset();
}

std::vector<std::string> SettleTracker::Due(Clock::time_point now) const
{
    std::vector<std::string> due;
    for (const auto& [name, entry] : entries_)
        if (entry.due && *entry.due <= now)
            due.push_back(name);
    return due;
}

std::vector<std::string> SettleTracker::Names() const
{
    std::vector<std::string> names;
    for (const auto& [name, entry] : entries_)
        names.push_back(name);
    return names;
}

std::optional<Clock::time_point> SettleTracker::NextDue() const
{
    std::optional<Clock::time_point> next;
    for (const auto& [name, entry] : entries_)
        if (entry.due && (!next || *entry.due < *next))
            next = entry.due;
    return next;
}

}  // namespace watch
