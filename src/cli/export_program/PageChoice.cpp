// SPDX-License-Identifier: GPL-2.0-or-later
#include "PageChoice.h"

#include <algorithm>
#include <atomic>
#include <thread>

#include "InkShare.h"

namespace cli {

namespace {

Entries Picked(const Entries& entries, const std::vector<size_t>& order)
{
    Entries picked;
    picked.paths.reserve(order.size());
    picked.origins.reserve(order.size());
    for (size_t k : order) {
        picked.paths.push_back(entries.paths[k]);
        picked.origins.push_back(entries.origins[k]);
    }
    return picked;
}

}  // namespace

void CollateDuplex(Entries& entries)
{
    const size_t sheets = entries.paths.size() / 2;
    std::vector<size_t> order;
    for (size_t i = 0; i < sheets; ++i) {
        order.push_back(i);
        order.push_back(2 * sheets - 1 - i);
    }
    entries = Picked(entries, order);
}

std::vector<BlankPage> DropBlankPages(Entries& entries, double percent, int jobs)
{
    const size_t count = entries.paths.size();
    std::vector<ink::InkReading> readings(count);
    std::atomic<size_t> next {0};
    const auto work = [&] {
        for (size_t k; (k = next++) < count;)
            readings[k] = ink::MeasureInk(entries.paths[k]);
    };
    const size_t workers = std::min(count, static_cast<size_t>(std::max(jobs, 1)));
    std::vector<std::thread> threads;
    for (size_t i = 1; i < workers; ++i)
        threads.emplace_back(work);
    work();
    for (std::thread& thread : threads)
        thread.join();
    std::vector<BlankPage> blank;
    std::vector<size_t> kept;
    for (size_t k = 0; k < count; ++k) {
        if (readings[k].measured && readings[k].percent < percent)
            blank.push_back({static_cast<int>(k), readings[k].percent});
        else
            kept.push_back(k);
    }
    if (!blank.empty())
        entries = Picked(entries, kept);
    return blank;
}

}  // namespace cli
