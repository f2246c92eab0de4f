// SPDX-License-Identifier: GPL-2.0-or-later
#include "DrawnText.h"

#include <algorithm>
#include <sstream>

#include "ShellCommand.h"

bool DrawTextLines(const std::string& path, const std::vector<std::string>& lines, const std::string& after)
{
    std::string command = "convert -size 2480x" + std::to_string(150 + 110 * lines.size())
        + " xc:white -font DejaVu-Sans -density 300 -pointsize 12 -fill black";
    for (size_t i = 0; i < lines.size(); ++i)
        command += " -annotate +150+" + std::to_string(150 + 110 * i) + " " + Quoted(lines[i]);
    command += " " + after + " -depth 8 -units PixelsPerInch -density 300 -quality 92 " + Quoted(path);
    return RunCommand(command).status == 0;
}

std::vector<std::string> WordsOf(const std::vector<std::string>& lines)
{
    std::vector<std::string> words;
    for (const std::string& line : lines) {
        std::istringstream in(line);
        for (std::string w; in >> w;)
            words.push_back(w);
    }
    return words;
}

double ShareInOrder(const std::vector<std::string>& got, const std::vector<std::string>& expected)
{
    std::vector<std::vector<int>> best(got.size() + 1, std::vector<int>(expected.size() + 1, 0));
    for (size_t i = got.size(); i-- > 0;)
        for (size_t j = expected.size(); j-- > 0;)
            best[i][j] = got[i] == expected[j] ? best[i + 1][j + 1] + 1 : std::max(best[i + 1][j], best[i][j + 1]);
    return expected.empty() ? 1 : double(best[0][0]) / double(expected.size());
}
