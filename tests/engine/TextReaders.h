// SPDX-License-Identifier: GPL-2.0-or-later
// The text four PDF readers extract from our documents: poppler's pdftotext (whose text page
// Evince's Find searches), MuPDF's mutool, pdf.js under Node.js (as its find bar sees the items)
// and PDFBox's text stripper; and how much of a known text a reader's output keeps in order.
#pragma once

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "ShellCommand.h"

namespace engine_test {

inline const std::vector<std::string>& ReaderNames()
{
    static const std::vector<std::string> names = {"poppler", "mupdf", "pdf.js", "pdfbox"};
    return names;
}

namespace detail {

// Splits the output of a script that reads many files, each text after a line "\x01<n>".
inline std::vector<std::string> SplitByFile(const std::string& output, size_t files)
{
    std::vector<std::string> texts(files);
    size_t at = 0;
    while ((at = output.find('\x01', at)) != std::string::npos) {
        const size_t lineEnd = output.find('\n', at);
        const size_t index = std::stoul(output.substr(at + 1, lineEnd - at - 1));
        const size_t next = output.find('\x01', lineEnd);
        if (index < files)
            texts[index] = output.substr(lineEnd + 1, next == std::string::npos ? std::string::npos : next - lineEnd - 1);
        at = next;
    }
    return texts;
}

inline std::string Joined(const std::vector<std::string>& pdfs)
{
    std::string joined;
    for (const std::string& pdf : pdfs)
        joined += " " + Quoted(pdf);
    return joined;
}

}  // namespace detail

// Each reader's text of each of `pdfs` (in their order), by the names ReaderNames gives. A reader
// that fails leaves its output (the error) as the text, so the words it should have found are
// missing and the failure shows in the test's message. The Java and Node.js readers read all
// files in one run each.
inline std::map<std::string, std::vector<std::string>> ReadTexts(const std::vector<std::string>& pdfs)
{
    const std::string readers = LEAFBIND_TEST_READERS_DIR;
    std::map<std::string, std::vector<std::string>> texts;
    for (const std::string& pdf : pdfs) {
        texts["poppler"].push_back(RunCommand("pdftotext " + Quoted(pdf) + " - 2>/dev/null").output);
        texts["mupdf"].push_back(RunCommand("mutool draw -q -F txt -o - " + Quoted(pdf) + " 2>/dev/null").output);
    }
    const CommandResult pdfjs = RunCommand("cd " + Quoted(readers) + " && node pdfjs_text.mjs" + detail::Joined(pdfs));
    texts["pdf.js"] = pdfjs.status == 0 ? detail::SplitByFile(pdfs.empty() ? "" : pdfjs.output, pdfs.size())
                                        : std::vector<std::string>(pdfs.size(), pdfjs.output);
    const CommandResult pdfbox = RunCommand(
        "java -cp /usr/share/java/pdfbox2.jar:/usr/share/java/fontbox2.jar:/usr/share/java/commons-logging.jar "
        + Quoted(readers + "/PdfBoxText.java") + detail::Joined(pdfs) + " 2>/dev/null");
    texts["pdfbox"] = pdfbox.status == 0 ? detail::SplitByFile(pdfbox.output, pdfs.size())
                                         : std::vector<std::string>(pdfs.size(), pdfbox.output);
    return texts;
}

// The share of `words` that `text`, split at white space, holds in the same order: the longest
// common subsequence of the two word lists over the number of words. A word a reader split in
// two, or ran into its neighbour, counts as missing, as it does for a search.
inline double ShareInOrder(const std::vector<std::string>& words, const std::string& text)
{
    std::vector<std::string> found;
    std::istringstream in(text);
    for (std::string word; in >> word;)
        found.push_back(word);
    std::vector<size_t> previous(found.size() + 1, 0), current(found.size() + 1, 0);
    for (const std::string& word : words) {
        for (size_t j = 1; j <= found.size(); ++j)
            current[j] = word == found[j - 1] ? previous[j - 1] + 1 : std::max(previous[j], current[j - 1]);
        std::swap(previous, current);
    }
    return words.empty() ? 1.0 : static_cast<double>(previous.back()) / static_cast<double>(words.size());
}

}  // namespace engine_test
