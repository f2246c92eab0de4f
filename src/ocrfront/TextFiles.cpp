// SPDX-License-Identifier: GPL-2.0-or-later
#include "TextFiles.h"

#include <cmath>
#include <cstdio>

namespace ocr {

namespace {

// The length of the UTF-8 sequence at `text[i]`, 0 when it is not one (overlong forms, surrogates
// and code points past U+10FFFF included).
size_t Utf8Length(const std::string& text, size_t i)
{
    const auto byte = [&](size_t k) { return k < text.size() ? static_cast<unsigned char>(text[k]) : 0u; };
    const unsigned lead = byte(i);
    const auto follows = [&](size_t k) { return (byte(k) & 0xC0) == 0x80; };
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return follows(i + 1) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        const unsigned second = byte(i + 1);
        if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F))
            return 0;
        return follows(i + 1) && follows(i + 2) ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const unsigned second = byte(i + 1);
        if ((lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F))
            return 0;
        return follows(i + 1) && follows(i + 2) && follows(i + 3) ? 4 : 0;
    }
    return 0;
}

// Text for an XML attribute or element: markup characters as references, bytes that are not
// UTF-8 and control characters XML cannot hold as \xNN.
std::string Xml(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const size_t length = Utf8Length(text, i);
        if (length == 0 || (c < 0x20 && c != '\t')) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            out += escaped;
            ++i;
            continue;
        }
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            out.append(text, i, length);
        }
        i += length;
    }
    return out;
}

std::string Number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.0f", std::isfinite(value) ? value : 0.0);
    return text;
}

// Whole pixels that hold the box: its left and top edges down, its right and bottom ones up.
struct Pixels {
    long left, top, right, bottom;
};
Pixels Round(const WordBox& box)
{
    return {std::lround(std::floor(box.left)), std::lround(std::floor(box.top)), std::lround(std::ceil(box.right)),
            std::lround(std::ceil(box.bottom))};
}

WordBox LineBox(const RecordedLine& line)
{
    WordBox box {1, 1, 0, 0};
    for (const RecordedWord& word : line.words)
        box = Union(box, word.box);
    return box;
}

WordBox ParagraphBox(const RecordedParagraph& paragraph)
{
    WordBox box {1, 1, 0, 0};
    for (const RecordedLine& line : paragraph.lines)
        box = Union(box, LineBox(line));
    return box;
}

WordBox BlockBox(const RecordedBlock& block)
{
    WordBox box {1, 1, 0, 0};
    for (const RecordedParagraph& paragraph : block.paragraphs)
        box = Union(box, ParagraphBox(paragraph));
    return box;
}

std::string Bbox(const WordBox& box)
{
    const Pixels p = Round(box);
    return "bbox " + std::to_string(p.left) + " " + std::to_string(p.top) + " " + std::to_string(p.right) + " "
        + std::to_string(p.bottom);
}

// ALTO's position and size of a box, in whole pixels.
std::string AltoPlace(const WordBox& box)
{
    const Pixels p = Round(box);
    return "HPOS=\"" + std::to_string(p.left) + "\" VPOS=\"" + std::to_string(p.top) + "\" WIDTH=\""
        + std::to_string(p.right - p.left) + "\" HEIGHT=\"" + std::to_string(p.bottom - p.top) + "\"";
}

// hOCR's baseline: its slope, and how far below the line box's bottom left corner it meets the
// box's left edge (negative: above).
std::string HocrBaseline(const RecordedLine& line, const WordBox& box)
{
    const double run = line.x1 - line.x0;
    const double slope = run > 0 ? (line.y1 - line.y0) / run : 0;
    const Pixels p = Round(box);
    const double atLeft = line.y0 + slope * (p.left - line.x0);
    char text[64];
    std::snprintf(text, sizeof text, "baseline %.3f %.0f", std::isfinite(slope) ? slope : 0.0,
                  std::isfinite(atLeft) ? atLeft - p.bottom : 0.0);
    return text;
}

std::string PlainPage(const PageWords& page)
{
    std::string text;
    for (const RecordedBlock& block : page.blocks) {
        if (!text.empty())
            text += '\n';  // an empty line between blocks
        for (const RecordedParagraph& paragraph : block.paragraphs)
            for (const RecordedLine& line : paragraph.lines) {
                for (size_t i = 0; i < line.words.size(); ++i)
                    text += (i == 0 ? "" : " ") + line.words[i].text;
                text += '\n';
            }
    }
    return text + '\f';
}

std::string HocrPage(int index, const std::string& name, const PageWords& page)
{
    const std::string n = std::to_string(index + 1);
    // The name in single quotes, as a delimited string of the title: a quote or backslash in it
    // is escaped with a backslash.
    std::string quoted;
    for (const char c : name) {
        if (c == '\'' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    std::string out = "  <div class=\"ocr_page\" id=\"page_" + n + "\" title=\"image '" + Xml(quoted) + "'; bbox 0 0 "
        + std::to_string(page.width) + " " + std::to_string(page.height) + "; ppageno " + std::to_string(index)
        + "\">\n";
    int b = 0, p = 0, l = 0, w = 0;
    for (const RecordedBlock& block : page.blocks) {
        out += "   <div class=\"ocr_carea\" id=\"block_" + n + "_" + std::to_string(++b) + "\" title=\""
            + Bbox(BlockBox(block)) + "\">\n";
        for (const RecordedParagraph& paragraph : block.paragraphs) {
            out += "    <p class=\"ocr_par\" id=\"par_" + n + "_" + std::to_string(++p) + "\" title=\""
                + Bbox(ParagraphBox(paragraph)) + "\">\n";
            for (const RecordedLine& line : paragraph.lines) {
                const WordBox box = LineBox(line);
                out += "     <span class=\"ocr_line\" id=\"line_" + n + "_" + std::to_string(++l) + "\" title=\""
                    + Bbox(box) + "; " + HocrBaseline(line, box) + "\">";
                for (const RecordedWord& word : line.words) {
                    out += "\n      <span class=\"ocrx_word\" id=\"word_" + n + "_" + std::to_string(++w)
                        + "\" title=\"" + Bbox(word.box) + "; x_wconf " + Number(word.confidence) + "\">"
                        + Xml(word.text) + "</span>";
                }
                out += "\n     </span>\n";
            }
            out += "    </p>\n";
        }
        out += "   </div>\n";
    }
    return out + "  </div>\n";
}

std::string AltoPage(int index, const PageWords& page)
{
    const std::string n = std::to_string(index + 1);
    std::string out = "    <Page ID=\"page_" + n + "\" PHYSICAL_IMG_NR=\"" + n + "\" WIDTH=\""
        + std::to_string(page.width) + "\" HEIGHT=\"" + std::to_string(page.height) + "\">\n";
    out += "      <PrintSpace HPOS=\"0\" VPOS=\"0\" WIDTH=\"" + std::to_string(page.width) + "\" HEIGHT=\""
        + std::to_string(page.height) + "\">\n";
    int b = 0, l = 0, w = 0;
    for (const RecordedBlock& block : page.blocks) {
        out += "        <TextBlock ID=\"block_" + n + "_" + std::to_string(++b) + "\" " + AltoPlace(BlockBox(block))
            + ">\n";
        for (const RecordedParagraph& paragraph : block.paragraphs)
            for (const RecordedLine& line : paragraph.lines) {
                out += "          <TextLine ID=\"line_" + n + "_" + std::to_string(++l) + "\" "
                    + AltoPlace(LineBox(line)) + " BASELINE=\"" + Number(line.x0) + "," + Number(line.y0) + " "
                    + Number(line.x1) + "," + Number(line.y1) + "\">\n";
                for (size_t i = 0; i < line.words.size(); ++i) {
                    const RecordedWord& word = line.words[i];
                    if (i > 0)
                        out += "            <SP/>\n";
                    char confidence[16];
                    std::snprintf(confidence, sizeof confidence, "%.2f", word.confidence / 100);
                    out += "            <String ID=\"string_" + n + "_" + std::to_string(++w) + "\" "
                        + AltoPlace(word.box) + " WC=\"" + confidence + "\" CONTENT=\"" + Xml(word.text) + "\"/>\n";
                }
                out += "          </TextLine>\n";
            }
        out += "        </TextBlock>\n";
    }
    return out + "      </PrintSpace>\n    </Page>\n";
}

}  // namespace

std::string TextFileStart(TextFormat format, const std::vector<std::string>& names)
{
    switch (format) {
    case TextFormat::Plain:
        return {};
    case TextFormat::Hocr:
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
               "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">\n"
               "<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"en\" lang=\"en\">\n"
               " <head>\n"
               "  <title></title>\n"
               "  <meta http-equiv=\"Content-Type\" content=\"text/html;charset=utf-8\"/>\n"
               "  <meta name=\"ocr-system\" content=\"leafbind-export\"/>\n"
               "  <meta name=\"ocr-capabilities\" content=\"ocr_page ocr_carea ocr_par ocr_line ocrx_word\"/>\n"
               " </head>\n"
               " <body>\n";
    case TextFormat::Alto: {
        // One fileName per document: the first page's; every page's file follows by its number.
        std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<alto xmlns=\"http://www.loc.gov/standards/alto/ns-v4#\" SCHEMAVERSION=\"4.4\">\n"
                          "  <Description>\n"
                          "    <MeasurementUnit>pixel</MeasurementUnit>\n"
                          "    <sourceImageInformation>\n";
        if (!names.empty())
            out += "      <fileName>" + Xml(names.front()) + "</fileName>\n";
        for (size_t i = 0; names.size() > 1 && i < names.size(); ++i)
            out += "      <fileIdentifier fileIdentifierLocation=\"page_" + std::to_string(i + 1) + "\">"
                + Xml(names[i]) + "</fileIdentifier>\n";
        return out
            + "    </sourceImageInformation>\n"
              "  </Description>\n"
              "  <Layout>\n";
    }
    }
    return {};
}

std::string TextFilePage(TextFormat format, int index, const std::string& name, const PageWords& page)
{
    switch (format) {
    case TextFormat::Plain:
        return PlainPage(page);
    case TextFormat::Hocr:
        return HocrPage(index, name, page);
    case TextFormat::Alto:
        return AltoPage(index, page);
    }
    return {};
}

std::string TextFileEnd(TextFormat format)
{
    switch (format) {
    case TextFormat::Plain:
        return {};
    case TextFormat::Hocr:
        return " </body>\n</html>\n";
    case TextFormat::Alto:
        return "  </Layout>\n</alto>\n";
    }
    return {};
}

}  // namespace ocr
