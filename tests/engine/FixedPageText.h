// SPDX-License-Identifier: GPL-2.0-or-later
// The seam a text recogniser fills, with fixed words: hands each page the text it was given and
// remembers what the engine asked for.
#pragma once

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "PageText.h"

namespace engine_test {

class FixedPageText : public jpeg2pdf::PageTextSource {
public:
    explicit FixedPageText(std::vector<jpeg2pdf::PageText> pages) : pages_(std::move(pages)) { }
    void Begin(const std::vector<jpeg2pdf::PageTextRequest>& pages) override { requests = pages; }
    jpeg2pdf::PageText Take(int index) override
    {
        taken.push_back(index);
        return pages_.at(static_cast<size_t>(index));
    }
    std::vector<jpeg2pdf::PageTextRequest> requests;
    std::vector<int> taken;

private:
    std::vector<jpeg2pdf::PageText> pages_;
};

// A level line with its baseline `baseline` pixels from the picture's top, starting at x = `left`,
// with words whose extents are given in pixels from the picture's left edge.
inline jpeg2pdf::TextLine LevelLine(double left, double baseline, double height,
                                    const std::vector<std::tuple<std::string, double, double>>& words)
{
    jpeg2pdf::TextLine line {left, baseline, left + 300, baseline, height, {}};
    for (const auto& [text, from, to] : words)
        line.words.push_back({text, from - left, to - left});
    return line;
}

// A page of blocks of lines, turned by `rotate` quarter turns for readers.
inline jpeg2pdf::PageText PageOf(std::vector<std::vector<jpeg2pdf::TextLine>> blocks, int rotate = 0)
{
    jpeg2pdf::PageText page;
    for (auto& lines : blocks)
        page.blocks.push_back({std::move(lines)});
    page.rotate = rotate;
    return page;
}

}  // namespace engine_test
