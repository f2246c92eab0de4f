// SPDX-License-Identifier: GPL-2.0-or-later
// --ocr through the real program on pages ImageMagick draws at 300 dpi: poppler and MuPDF read the
// words in order, each word's box (pdftotext -bbox) stands over its ink in poppler's render, the
// page renders as it does without --ocr, and the bytes do not depend on --jobs.
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <regex>
#include <sstream>

#include "DecodeJpeg.h"
#include "DrawnText.h"
#include "MakeJpeg.h"
#include "PdfAChecks.h"
#include "PhoneJpeg.h"
#include "RunProgram.h"
#include "ShellCommand.h"
#include "TempDir.h"

namespace {

const std::vector<std::string> kEnglish = {
    "The quick brown fox jumps over the lazy dog near the river bank.",
    "Searchable pages keep every picture byte while words stay findable.",
    "Invoice 2026-0417 totals 1,234.56 euros, due on 30 June.",
    "Archives of scanned letters become something people can search.",
};
const std::vector<std::string> kGerman = {
    "Die Größe der Straße überrascht die Gäste.",
    "Schöne Grüße aus Köln, süße Äpfel und Öl.",
};

std::string Draw(const TempDir& dir, const std::string& name, const std::vector<std::string>& lines, int turn = 0)
{
    EXPECT_TRUE(DrawTextLines(dir.File(name), lines, "-rotate " + std::to_string(turn)));
    return dir.File(name);
}

// The picture's light as its alpha, over black: shown on white it looks as it did.
std::string Transparent(const TempDir& dir, const std::string& picture)
{
    const std::string name = dir.File("transparent.png");
    EXPECT_EQ(RunCommand("convert " + Quoted(picture) + " -alpha copy -channel A -negate +channel -channel RGB "
                         "-evaluate set 0 +channel -interlace PNG PNG32:" + Quoted(name)).status, 0);
    return name;
}

double InOrder(const std::string& read, const std::vector<std::string>& lines)
{
    return ShareInOrder(WordsOf({read}), WordsOf(lines));
}

// Each word of the first page's pdftotext -bbox, checked against the ink of poppler's render at 144 dpi: the ink in
// the box's rows starts and ends where the box does, and its middle is the box's.
void ExpectBoxesOverInk(const TempDir& dir, const std::string& pdf)
{
    const CommandResult boxes = RunCommand("pdftotext -bbox -l 1 " + Quoted(pdf) + " -");
    ASSERT_EQ(RunCommand("pdftoppm -r 144 -singlefile " + Quoted(pdf) + " " + Quoted(dir.File("ink"))).status, 0);
    const RgbImage ink = ReadPpm(dir.File("ink.ppm"));
    const auto dark = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < ink.width && y < ink.height && ink.pixels[size_t(y * ink.width + x) * 3] < 128;
    };
    const std::regex word(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    int checked = 0;
    for (std::sregex_iterator it(boxes.output.begin(), boxes.output.end(), word), end; it != end; ++it, ++checked) {
        const double x0 = 2 * std::stod((*it)[1]), y0 = 2 * std::stod((*it)[2]);
        const double x1 = 2 * std::stod((*it)[3]), y1 = 2 * std::stod((*it)[4]);
        SCOPED_TRACE((*it)[5].str());
        const int slack = 3;  // 1.5 pt: less than the space between two words
        int left = INT32_MAX, right = -1, top = INT32_MAX, bottom = -1;
        for (int y = int(y0); y <= int(y1); ++y)
            for (int x = int(x0) - slack; x <= int(x1) + slack; ++x)
                if (dark(x, y))
                    left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
        ASSERT_GE(right, 0) << "no ink under the box";
        EXPECT_NEAR(left, x0, slack);
        EXPECT_NEAR(right + 1, x1, slack);
        EXPECT_NEAR((top + bottom) / 2.0, (y0 + y1) / 2, (y1 - y0) / 3);
    }
    EXPECT_GE(checked, 15);
}

std::string Render(const std::string& pdf)
{
    return RunCommand("pdftoppm -r 30 " + Quoted(pdf)).output;
}

}  // namespace

TEST(OcrExport, ReadersFindTheWordsWhereTheyStand)
{
    TempDir dir;
    const std::string page = Draw(dir, "page.jpg", kEnglish);
    const std::string out = dir.File("out.pdf"), plain = dir.File("plain.pdf");
    // Stored a quarter turn anticlockwise; Exif orientation 6 shows it upright.
    const std::string parts = ReadFileBytes(Draw(dir, "side.jpg", kEnglish, -90));
    const std::string turned = dir.Write("turned.jpg", parts.substr(0, 2) + phone_jpeg::Exif(6) + parts.substr(2));
    std::vector<std::string> germanThenEnglish = kGerman;
    germanThenEnglish.insert(germanThenEnglish.end(), kEnglish.begin(), kEnglish.end());
    const std::string tiffPages = dir.File("pages.tif");
    EXPECT_EQ(RunCommand("convert " + Quoted(Draw(dir, "deu.png", kGerman)) + " " + Quoted(Draw(dir, "eng.png", kEnglish))
                         + " -monochrome -compress Group4 " + Quoted(tiffPages))
                  .status,
              0);
    struct Case {
        const char* name;
        std::vector<std::string> options;
        std::string jpeg;
        const std::vector<std::string>& lines;
        bool rendersAsWithout = true;  // false: the page is turned, so it cannot
    };
    const Case cases[] = {
        {"clean page", {"--dpi", "auto"}, page, kEnglish},
        {"Letter paper with margins", {"--dpi", "auto", "--page-size", "Letter", "--margin", "1in"}, page, kEnglish},
        {"turned by --auto-orient", {"--auto-orient", "--dpi", "auto"}, turned, kEnglish},
        {"PDF/A-1b", {"--pdfa", "1b", "--page-size", "A4"}, page, kEnglish},
        {"German", {"--ocr-lang", "deu"}, Draw(dir, "german.jpg", kGerman), kGerman},
        {"a PNG page, its pHYs density", {"--dpi", "auto"}, Draw(dir, "page.png", kEnglish), kEnglish},
        // Black under its transparent parts: read as it is, the page would be black all over.
        {"an interlaced PNG page of black words on transparent black, read as shown on white", {"--dpi", "auto"},
         Transparent(dir, Draw(dir, "opaque.png", kEnglish)), kEnglish},
        {"a TIFF file's two G4 pages, each read from its own directory", {"--ocr-lang", "deu+eng"}, tiffPages,
         germanThenEnglish},
        {"upside down, --rotate-pages", {"--rotate-pages"}, Draw(dir, "upside-down.jpg", kEnglish, 180), kEnglish, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> args = {"-f", "-o", out, "--ocr", "--jobs", "2"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(c.jpeg);
        const ProgramRun run = RunExportProgram(args);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        const std::string poppler = RunCommand("pdftotext " + Quoted(out) + " -").output;
        EXPECT_GE(InOrder(poppler, c.lines), 0.98) << poppler;
        const std::string mupdf = RunCommand("mutool draw -q -F txt -o - " + Quoted(out)).output;
        EXPECT_GE(InOrder(mupdf, c.lines), 0.98) << mupdf;
        ExpectBoxesOverInk(dir, out);
        if (c.rendersAsWithout) {
            std::vector<std::string> without = {"-f", "-o", plain, c.jpeg};
            for (size_t i = 0; i < c.options.size(); i += c.options[i] == "--ocr-lang" ? 2 : 1)
                if (c.options[i] != "--ocr-lang")
                    without.push_back(c.options[i]);
            ASSERT_EQ(RunExportProgram(without).status, 0);
            EXPECT_EQ(Render(out), Render(plain));
        } else {
            EXPECT_TRUE(std::regex_search(RunCommand("pdfinfo " + Quoted(out)).output, std::regex("Page rot: +180\n")));
        }
        if (c.options.front() == "--pdfa") {
            const ValidatorVerdict verdict = ValidatePdfA1b(out);
            EXPECT_TRUE(verdict.valid) << verdict.report;
        }
    }

    // The same bytes whatever the number of jobs, and on every run.
    std::vector<std::string> outputs;
    for (const char* jobs : {"1", "2", "2"}) {
        const std::string name = dir.File(std::string("jobs") + std::to_string(outputs.size()) + ".pdf");
        ASSERT_EQ(RunExportProgram({"-o", name, "--ocr", "--jobs", jobs, page, turned, page}).status, 0);
        outputs.push_back(ReadFileBytes(name));
    }
    EXPECT_EQ(outputs[0], outputs[1]);
    EXPECT_EQ(outputs[1], outputs[2]);
}

// Pages that lack text are named even with -q and end with status 5, the document written whole;
// a blank page is no such page. A picture the page shows as stored while Exif turns it is warned
// about, unless --auto-orient turns it.
TEST(OcrExport, PagesLackingTextAndPicturesShownAsStored)
{
    TempDir dir;
    const std::string page = Draw(dir, "page.jpg", kEnglish);
    const std::string whole = ReadFileBytes(page);
    const std::string cut = dir.Write("cut.jpg", whole.substr(0, whole.size() / 2));
    const std::string noScan = dir.Write(  // a frame header and no scan
        "no-scan.jpg", std::string("\xFF\xD8\xFF\xC0\x00\x0B\x08\x00\x10\x00\x10\x01\x01\x11\x00\xFF\xD9", 17));
    const std::string blank = dir.Write("blank.jpg", MakeJpeg({.width = 600, .height = 400, .red = 255}));
    const std::string side = ReadFileBytes(Draw(dir, "side.jpg", kEnglish, -90));
    const std::string turned = dir.Write("turned.jpg", side.substr(0, 2) + phone_jpeg::Exif(6) + side.substr(2));
    const std::string mirrored = dir.Write("mirrored.jpg", whole.substr(0, 2) + phone_jpeg::Exif(2) + whole.substr(2));
    const std::string partly = ": text recognised only where the picture could be decoded: its data ends early or is "
                               "damaged\n";
    const std::string asStored = ") turns it, but the page shows it as stored, so its text is recognised on its side; "
                                 "--auto-orient follows the orientation\n";
    struct Case {
        const char* name;
        std::vector<std::string> args;
        int status;
        std::string err;  // the whole of standard error, or its start when it ends in "..."
        int pages;  // as pdfinfo counts them
        const char* found = "";  // words pdftotext must find
    };
    const Case cases[] = {
        {"cut short, quiet", {"-q", cut, blank}, 5, "leafbind-export: " + cut + partly, 2, "quick brown fox"},
        {"only the end marker missing", {dir.Write("no-end.jpg", whole.substr(0, whole.size() - 2))}, 0, "", 1,
         "lazy dog"},
        {"no picture to decode", {noScan, page}, 5,
         "leafbind-export: " + noScan + ": no text recognised: the picture cannot be decoded (...", 2, "lazy dog"},
        {"blank", {"-q", blank}, 0, "", 1},
        {"turned by Exif, shown as stored", {turned}, 0,
         "leafbind-export: " + turned + ": its Exif orientation (6" + asStored, 1},
        {"turned by Exif, quiet", {"-q", turned}, 0, "", 1},
        {"turned by Exif, shown turned", {"--auto-orient", turned}, 0, "", 1, "quick brown fox"},
        {"mirrored, --rotate-pages", {"--rotate-pages", mirrored}, 0,
         "leafbind-export: " + mirrored + ": its Exif orientation (2) mirrors it...", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> args = {"-f", "-o", dir.File("out.pdf"), "--ocr"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const ProgramRun run = RunExportProgram(args);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(c.err.ends_with("...") ? run.err.substr(0, c.err.size() - 3) + "..." : run.err, c.err);
        const std::string info = RunCommand("pdfinfo " + Quoted(dir.File("out.pdf"))).output;
        EXPECT_TRUE(std::regex_search(info, std::regex("Pages: +" + std::to_string(c.pages) + "\n"))) << info;
        const std::string text = RunCommand("pdftotext " + Quoted(dir.File("out.pdf")) + " -").output;
        EXPECT_NE(text.find(c.found), std::string::npos) << text;
    }
}

namespace {

const std::vector<std::string> kProse = [] {
    std::vector<std::string> lines;
    for (int i = 0; i < 18; ++i)
        lines.push_back("the quick brown fox jumps over the lazy dog near the river bank while archives grow " + std::to_string(i));
    return lines;
}();

// A full A4 page of prose at 300 dpi with a long rule below it, turned `degrees` clockwise about its
// centre (as ImageMagick turns it), still A4. The lines start at ragged indents: an aligned left
// edge would itself be a level line in the picture stored on its side.
std::string DrawTurnedPage(const TempDir& dir, const std::string& name, double degrees)
{
    std::string command = "convert -size 2480x3508 xc:white -font DejaVu-Sans -density 300 -pointsize 11 -fill black";
    for (size_t i = 0; i < kProse.size(); ++i)
        command += " -annotate +" + std::to_string(150 + 53 * i % 210) + "+" + std::to_string(400 + 120 * i) + " "
            + Quoted(kProse[i]);
    command += " -draw 'rectangle 200,3000 2280,3010' -background white -rotate " + std::to_string(degrees)
        + " -gravity center -extent 2480x3508 -quality 92 -units PixelsPerInch -density 300 "
        + (name.ends_with(".png") ? "-alpha off -depth 8 " : name.ends_with(".tif") ? "+repage -monochrome -compress Group4 " : "")
        + Quoted(dir.File(name));
    EXPECT_EQ(RunCommand(command).status, 0);
    return dir.File(name);
}

// The rule under the text in poppler's render at 72 dpi: the degrees it climbs (counter-clockwise
// positive) and how far down its middle lies, from the middle of the lowest ink in each column
// across the rule's middle, fitted by least squares.
struct RenderedRule {
    double degrees = NAN;
    double middleY = NAN;  // pixels from the top, at the page's middle
};

RenderedRule RuleInRender(const TempDir& dir, const std::string& pdf)
{
    EXPECT_EQ(RunCommand("pdftoppm -r 72 -singlefile " + Quoted(pdf) + " " + Quoted(dir.File("rule"))).status, 0);
    const RgbImage image = ReadPpm(dir.File("rule.ppm"));
    double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (int x = image.width * 3 / 10; x < image.width * 7 / 10; ++x) {
        double weight = 0, moment = 0;
        bool inRule = false;
        for (int y = image.height - 1; y >= 0; --y) {
            const double ink = 255 - image.pixels[size_t(y * image.width + x) * 3];
            if (ink > 40) {
                inRule = true;
                weight += ink;
                moment += ink * y;
            } else if (inRule) {
                break;
            }
        }
        if (weight == 0)
            continue;
        const double y = moment / weight;
        n += 1, sx += x, sy += y, sxx += double(x) * x, sxy += x * y;
    }
    const double slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
    const double intercept = (sy - slope * sx) / n;
    // y runs down in the render
    return {-std::atan(slope) * 180 / M_PI, intercept + slope * image.width / 2.0};
}

// The turn leafbind-export names on standard error, counter-clockwise positive; NaN when none.
double NamedTurn(const std::string& err)
{
    std::smatch m;
    if (!std::regex_search(err, m, std::regex(R"(straightened: turned ([\d.]+) degrees (clockwise|counter-clockwise))")))
        return NAN;
    return (m[2] == "clockwise" ? -1 : 1) * std::stod(m[1]);
}

}  // namespace

// A page scanned askew: recognised from a straightened copy whether or not it is shown straight;
// with --deskew, drawn turned back by its measured skew (its lines level in the render, its
// picture's bytes unchanged); a straight page and one turned too far are left exactly as they were.
TEST(OcrExport, PagesScannedAskew)
{
    TempDir dir;
    const std::string out = dir.File("out.pdf"), plain = dir.File("plain.pdf");
    struct Case {
        const char* name;
        double degrees;  // as drawn, clockwise
        std::vector<std::string> options;
        bool straightened;  // --deskew turns it back; false: as without --deskew
        const char* file = "page.jpg";  // its extension names the format ImageMagick writes
    };
    const Case cases[] = {
        {"2.5 degrees clockwise, recognised", 2.5, {"--ocr"}, false},
        {"6 degrees counter-clockwise, recognised", -6, {"--ocr"}, false},
        {"4 degrees clockwise, recognised and straightened", 4, {"--ocr", "--deskew"}, true},
        {"1.5 degrees counter-clockwise, straightened", -1.5, {"--deskew", "--jobs", "1"}, true},
        {"3 degrees clockwise, stored on its side, shown by Exif", 3, {"--deskew", "--auto-orient"}, true},
        {"3.5 degrees clockwise, a PNG page, recognised and straightened", 3.5, {"--ocr", "--deskew"}, true, "page.png"},
        {"2 degrees counter-clockwise, a transparent PNG page over black, straightened", -2, {"--deskew"}, true,
         "page-alpha.png"},
        {"2 degrees counter-clockwise, a G4 TIFF page, straightened", -2, {"--deskew"}, true, "page.tif"},
        {"straight, left alone", 0, {"--deskew"}, false},
        {"15 degrees, left alone", 15, {"--deskew"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string jpeg = DrawTurnedPage(dir, c.file, c.degrees);
        if (std::string(c.file).ends_with("-alpha.png"))
            jpeg = Transparent(dir, jpeg);
        if (std::find(c.options.begin(), c.options.end(), std::string("--auto-orient")) != c.options.end()) {
            // Stored a quarter turn anticlockwise; Exif orientation 6 shows it upright.
            ASSERT_EQ(RunCommand("convert " + Quoted(jpeg) + " -rotate -90 -quality 92 " + Quoted(jpeg)).status, 0);
            const std::string parts = ReadFileBytes(jpeg);
            jpeg = dir.Write("page.jpg", parts.substr(0, 2) + phone_jpeg::Exif(6) + parts.substr(2));
        }
        std::vector<std::string> args = {"-f", "-o", out};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(jpeg);
        const ProgramRun run = RunExportProgram(args);
        ASSERT_EQ(run.status, 0) << run.err;
        const bool recognised = c.options.front() == "--ocr";
        if (recognised) {
            const std::string poppler = RunCommand("pdftotext " + Quoted(out) + " -").output;
            EXPECT_GE(InOrder(poppler, kProse), 0.98) << poppler;
            const std::string mupdf = RunCommand("mutool draw -q -F txt -o - " + Quoted(out)).output;
            EXPECT_GE(InOrder(mupdf, kProse), 0.98) << mupdf;
        }
        const bool oriented = std::find(args.begin(), args.end(), std::string("--auto-orient")) != args.end();
        ASSERT_EQ(RunExportProgram(oriented ? std::vector<std::string> {"-f", "-o", plain, "--auto-orient", jpeg}
                                            : std::vector<std::string> {"-f", "-o", plain, jpeg})
                      .status,
                  0);
        if (c.straightened) {
            EXPECT_NEAR(NamedTurn(run.err), c.degrees, 0.1) << run.err;
            // Turned back about the page's centre: level, and where it was drawn before the turn.
            const RenderedRule straight = RuleInRender(dir, out);
            EXPECT_NEAR(straight.degrees, 0, 0.2);
            EXPECT_NEAR(straight.middleY, 3005, 1.5);  // one point per pixel, rendered at 72 dpi
            EXPECT_NEAR(RuleInRender(dir, plain).degrees, -c.degrees, 0.2);  // the oracle itself, checked
            if (recognised)
                ExpectBoxesOverInk(dir, out);
            if (jpeg.ends_with(".jpg"))  // the check compares JPEG pages only
                EXPECT_EQ(RunExtractProgram({"--verify", out, jpeg}).status, 0);
        } else if (recognised) {
            EXPECT_EQ(Render(out), Render(plain));
        } else {
            EXPECT_EQ(run.err, "");
            EXPECT_EQ(ReadFileBytes(out), ReadFileBytes(plain));
        }
    }
}

namespace {

// hOCR (python3's HTML parser) or ALTO (its XML parser) as lines a test reads: "page W H N" per
// page (N: ppageno, or PHYSICAL_IMG_NR), "word X0 Y0 X1 Y1 TEXT" per word.
constexpr char kListWords[] = R"py(
import re, sys, html.parser, xml.etree.ElementTree as ET
class Hocr(html.parser.HTMLParser):
    word = None
    def handle_starttag(self, tag, attrs):
        a = dict(attrs); t = a.get('title', '')
        if a.get('class') == 'ocr_page':
            print('page', *re.search(r"^image '.*'; bbox 0 0 (\d+) (\d+); ppageno (\d+)$", t).groups())
        elif a.get('class') == 'ocrx_word':
            self.word = re.search(r'^bbox (\d+) (\d+) (\d+) (\d+); x_wconf \d+$', t).groups(); self.text = ''
    def handle_data(self, d):
        if self.word: self.text += d
    def handle_endtag(self, tag):
        if self.word: print('word', *self.word, self.text); self.word = None
if sys.argv[1] == 'hocr':
    Hocr().feed(open(sys.argv[2], encoding='utf-8').read())
else:
    for e in ET.parse(sys.argv[2]).iter():
        a = e.attrib; tag = e.tag.split('}')[1]
        if tag == 'Page': print('page', a['WIDTH'], a['HEIGHT'], a['PHYSICAL_IMG_NR'])
        if tag == 'String':
            x, y = int(a['HPOS']), int(a['VPOS'])
            print('word', x, y, x + int(a['WIDTH']), y + int(a['HEIGHT']), a['CONTENT'])
)py";

struct ListedPage {
    int width = 0, height = 0, number = -1;
    std::vector<std::string> words;
    std::vector<std::array<int, 4>> boxes;
};

std::vector<ListedPage> ListWords(const TempDir& dir, const std::string& format, const std::string& file)
{
    const CommandResult listed
        = RunCommand("python3 " + Quoted(dir.Write("list.py", kListWords)) + " " + format + " " + Quoted(file));
    EXPECT_EQ(listed.status, 0) << listed.output;
    std::vector<ListedPage> pages;
    std::istringstream lines(listed.output);
    for (std::string kind; lines >> kind;) {
        if (kind == "page") {
            ListedPage& page = pages.emplace_back();
            lines >> page.width >> page.height >> page.number;
        } else {
            std::array<int, 4> box {};
            std::string word;
            lines >> box[0] >> box[1] >> box[2] >> box[3] >> word;
            pages.back().boxes.push_back(box);
            pages.back().words.push_back(word);
        }
    }
    return pages;
}

// Each box against the ink of the picture as the page shows it: the ink in the box's rows starts
// and ends where the box does, and lies within its rows.
void ExpectBoxesOverDrawnInk(const std::string& ppm, const ListedPage& page)
{
    const RgbImage ink = ReadPpm(ppm);
    EXPECT_EQ(page.width, ink.width);
    EXPECT_EQ(page.height, ink.height);
    const auto dark = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < ink.width && y < ink.height && ink.pixels[size_t(y * ink.width + x) * 3] < 128;
    };
    for (size_t i = 0; i < page.boxes.size(); ++i) {
        const auto [x0, y0, x1, y1] = page.boxes[i];
        SCOPED_TRACE(page.words[i]);
        const int slack = 4;  // pixels: less than the space between two words at 300 dpi
        int left = INT32_MAX, right = -1, top = INT32_MAX, bottom = -1;
        for (int y = y0 - slack; y <= y1 + slack; ++y)
            for (int x = x0 - slack; x <= x1 + slack; ++x)
                if (dark(x, y) && y >= y0 && y < y1)
                    left = std::min(left, x), right = std::max(right, x);
                else if (dark(x, y) && x >= x0 && x < x1)
                    top = std::min(top, y), bottom = std::max(bottom, y);
        ASSERT_GE(right, 0) << "no ink under the box";
        EXPECT_NEAR(left, x0, slack);
        EXPECT_NEAR(right + 1, x1, slack);
        EXPECT_GE(top, y0 - 1);  // no ink of the word above or below the box
        EXPECT_LE(bottom, y1);
    }
}

std::vector<std::string> Split(const std::string& text, char at)
{
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == at)
            parts.emplace_back();
        else
            parts.back().push_back(c);
    }
    return parts;
}

}  // namespace

// --text, --hocr and --alto hold the words of the document's text layer (pdftotext -raw reads them
// in the layer's order), page by page, and hOCR's and ALTO's boxes stand over the ink of the
// picture as the page shows it: after --auto-orient and --rotate-pages.
TEST(OcrExport, TextFilesHoldTheLayersWords)
{
    TempDir dir;
    std::string columns = "convert -size 2480x1100 xc:white -font DejaVu-Sans -density 300 -pointsize 12 -fill black";
    for (int i = 0; i < 7; ++i)
        columns += " -annotate +150+" + std::to_string(150 + 110 * i) + " 'left words of line " + std::to_string(i)
            + " stay here' -annotate +1400+" + std::to_string(150 + 110 * i) + " 'right column line "
            + std::to_string(i + 10) + " follows'";
    // A name with markup characters, a quote and a byte that is not UTF-8: hOCR and ALTO still parse.
    const std::string columnsJpeg = dir.File("column's <&>\xFF.jpg");
    ASSERT_EQ(RunCommand(columns + " -quality 92 " + Quoted(columnsJpeg)).status, 0);
    const std::string blank = dir.Write("blank.jpg", MakeJpeg({.width = 600, .height = 400, .red = 255}));
    const std::string upright = Draw(dir, "upright.jpg", kEnglish);
    const std::string side = ReadFileBytes(Draw(dir, "side.jpg", kEnglish, -90));
    const std::string turned = dir.Write("turned.jpg", side.substr(0, 2) + phone_jpeg::Exif(6) + side.substr(2));
    const std::string upsideDown = Draw(dir, "upside-down.jpg", kEnglish, 180);
    const std::string askew = DrawTurnedPage(dir, "askew.jpg", 3);
    const std::string twoPages = dir.File("two.tif");
    ASSERT_EQ(RunCommand("convert " + Quoted(upright) + " " + Quoted(columnsJpeg) + " -monochrome -compress Group4 "
                         + Quoted(twoPages)).status, 0);
    struct Case {
        const char* name;
        std::vector<std::string> options;
        std::vector<std::string> jpegs;
        std::vector<std::string> shown;  // each page's picture as it shows upright; "" for a blank page
        bool textToStandardOutput = false;  // --text -
    };
    const Case cases[] = {
        {"two columns, then a page without words", {"--jobs", "2"}, {columnsJpeg, blank}, {columnsJpeg, ""}},
        {"turned by --auto-orient (Exif 6)", {"--auto-orient"}, {turned}, {upright}},
        {"upside down, --rotate-pages, the text to standard output", {"--rotate-pages"}, {upsideDown}, {upright}, true},
        {"3 degrees askew, --deskew", {"--deskew"}, {askew}, {askew}},
        {"a TIFF file of two pages, numbered as pages", {}, {twoPages}, {twoPages + "[0]", twoPages + "[1]"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string pdf = dir.File("out.pdf"), text = dir.File("out.txt"), hocr = dir.File("out.hocr"),
                          alto = dir.File("out.xml");
        unlink(text.c_str());
        std::vector<std::string> args
            = {"-f", "-o", pdf, "--ocr", "--text", c.textToStandardOutput ? "-" : text, "--hocr", hocr, "--alto", alto};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.insert(args.end(), c.jpegs.begin(), c.jpegs.end());
        const ProgramRun run = RunExportProgram(args);
        ASSERT_EQ(run.status, 0) << run.err;
        // One form feed after every page, words as pdftotext -raw reads the page's layer.
        EXPECT_EQ(access(text.c_str(), F_OK) == 0, !c.textToStandardOutput);
        EXPECT_EQ(run.out.empty(), !c.textToStandardOutput);
        const std::vector<std::string> pages = Split(c.textToStandardOutput ? run.out : ReadFileBytes(text), '\f');
        ASSERT_EQ(pages.size(), c.shown.size() + 1);
        EXPECT_EQ(pages.back(), "");
        if (c.jpegs.size() == 2) {  // each column a block: an empty line between them
            EXPECT_NE(pages[0].find("line 6 stay here\n\nright column line 10"), std::string::npos) << pages[0];
        }
        const std::vector<ListedPage> hocrPages = ListWords(dir, "hocr", hocr);
        const std::vector<ListedPage> altoPages = ListWords(dir, "alto", alto);
        ASSERT_EQ(hocrPages.size(), c.shown.size());
        ASSERT_EQ(altoPages.size(), c.shown.size());
        dir.CopyTestData("schema/xlink.xsd");
        const CommandResult valid = RunCommand("xmllint --nonet --noout --schema "
                                               + Quoted(dir.CopyTestData("schema/alto-4-4.xsd")) + " " + Quoted(alto));
        EXPECT_EQ(valid.status, 0) << valid.output;
        for (size_t k = 0; k < c.shown.size(); ++k) {
            SCOPED_TRACE("page " + std::to_string(k + 1));
            const std::string n = std::to_string(k + 1);
            const std::vector<std::string> layer
                = WordsOf({RunCommand("pdftotext -raw -f " + n + " -l " + n + " " + Quoted(pdf) + " -").output});
            EXPECT_EQ(WordsOf({pages[k]}), layer);
            EXPECT_EQ(hocrPages[k].words, layer);
            EXPECT_EQ(altoPages[k].words, layer);
            EXPECT_EQ(hocrPages[k].number, int(k));
            EXPECT_EQ(altoPages[k].number, int(k + 1));
            if (c.shown[k].empty()) {
                EXPECT_EQ(pages[k], "");
                continue;
            }
            EXPECT_GE(layer.size(), 20u);
            ASSERT_EQ(RunCommand("convert " + Quoted(c.shown[k]) + " -type TrueColor -depth 8 " + Quoted(dir.File("shown.ppm"))).status, 0);
            ExpectBoxesOverDrawnInk(dir.File("shown.ppm"), hocrPages[k]);
            ExpectBoxesOverDrawnInk(dir.File("shown.ppm"), altoPages[k]);
        }
    }
}

// The recogniser is a module opened only when a run recognises or straightens pages: a plain
// export maps none of Tesseract, Leptonica or OpenMP (the dynamic loader's own report says what it
// starts), and a program without its module says so.
TEST(OcrExport, TheRecogniserLoadsOnlyWhenAsked)
{
#ifdef LEAFBIND_OCR_LINKED
    GTEST_SKIP() << "the sanitizer build links the recogniser in";
#endif
    TempDir dir;
    const std::string page = Draw(dir, "page.jpg", kEnglish);
    const struct Row {
        const char* options;
        bool loads;
    } rows[] = {{"", false}, {"--bookmarks --dpi auto", false}, {"--ocr", true}, {"--deskew", true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.options);
        const CommandResult run = RunCommand("LD_DEBUG=libs " + Quoted(LEAFBIND_EXPORT_PROGRAM) + " -q -f " + row.options
                                             + " -o " + Quoted(dir.File("out.pdf")) + " " + Quoted(page) + " 2>&1");
        EXPECT_EQ(run.status, 0) << run.output;
        for (const char* library : {"libtesseract.so", "liblept.so", "libgomp.so", "leafbind-ocr.so"})
            EXPECT_EQ(run.output.find(library) != std::string::npos, row.loads) << library;
    }
    // Copied away from its module, the program names what is missing before reading anything.
    const std::string lone = dir.File("lone-export");
    ASSERT_EQ(RunCommand("cp " + Quoted(LEAFBIND_EXPORT_PROGRAM) + " " + Quoted(lone)).status, 0);
    const ProgramRun run = RunProgramAt(lone.c_str(), {"--ocr", "-o", dir.File("lone.pdf"), page});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("text recognition is not installed (no leafbind-ocr.so beside the program"), std::string::npos)
        << run.err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("lone.pdf")));
}
