// SPDX-License-Identifier: GPL-2.0-or-later
// leafbind-extract on real documents: ours, the same re-saved by other tools, and odd ones made
// with pikepdf and qpdf. The oracles are the photos' own bytes and names, and cmp's count.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "IccProfiles.h"
#include "MakeJpeg.h"
#include "MakePng.h"
#include "PhoneJpeg.h"
#include "RunProgram.h"
#include "ShellCommand.h"

namespace {

std::set<std::string> Listing(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

void RunChecked(const std::string& command)
{
    const CommandResult result = RunCommand(command);
    ASSERT_EQ(result.status, 0) << command << "\n" << result.output;
}

// The photos under their own names, exported with one bookmark each.
struct Album {
    TempDir dir;
    std::vector<std::string> names {"testorig.jpg", "Strand \xE2\x80\x93 2026.jpeg", "made.jpg"};
    std::vector<std::string> paths;
    std::string pdf = dir.File("album.pdf");

    Album()
    {
        paths.push_back(dir.CopyTestData("libjpeg-turbo/testorig.jpg"));
        paths.push_back(dir.Write(names[1], ReadFileBytes(dir.CopyTestData("libjpeg-turbo/testimgint.jpg"))));
        paths.push_back(dir.Write(names[2], MakeJpeg({.width = 40, .height = 30, .gradient = true})));
        std::vector<std::string> args = {"--bookmarks", "-o", pdf};
        args.insert(args.end(), paths.begin(), paths.end());
        const ProgramRun run = RunExportProgram(args);
        EXPECT_EQ(run.status, 0) << run.err;
    }
};

const char* const kFlateOverDct = R"(
import pikepdf, sys, zlib
pdf = pikepdf.open(sys.argv[1])
for page in pdf.pages:
    for image in page.images.values():
        image.write(zlib.compress(image.read_raw_bytes()), filter=[pikepdf.Name.FlateDecode, pikepdf.Name.DCTDecode])
pdf.save(sys.argv[2])
)";

// Documents cut short, as a copy that stopped or a full disk leaves them: the trailer gone, and
// more. pdfimages (poppler 22.12) gives up on every one of them ("Couldn't find trailer
// dictionary"), so the oracle is the photos' own bytes.

// The first `length` bytes of `bytes` in a file of their own.
std::string CutShort(const TempDir& dir, const std::string& name, const std::string& bytes, size_t length)
{
    return dir.Write(name, bytes.substr(0, length));
}

// Where the data of a document's last picture starts (its stream after the last image dictionary).
size_t LastPictureData(const std::string& bytes)
{
    return bytes.find("stream\n", bytes.rfind("/Subtype /Image")) + 7;
}

// The document cut 30 bytes short with its catalog's bytes blanked out: no object it holds is a
// catalog.
std::string WithoutCatalog(const std::string& bytes)
{
    std::string cut = bytes.substr(0, bytes.size() - 30);
    const size_t catalog = cut.rfind(" obj", cut.find("/Type /Catalog"));
    const size_t start = cut.rfind('\n', catalog) + 1, end = cut.find("endobj", catalog) + 6;
    return cut.replace(start, end - start, end - start, ' ');
}

// The document re-saved by qpdf, which writes each page's content stream before its picture
// (leafbind-export writes every picture first, then the content streams).
std::string ResavedByQpdf(const Album& album)
{
    const std::string resaved = album.dir.File("resaved-by-qpdf.pdf");
    RunChecked("qpdf " + Quoted(album.pdf) + " " + Quoted(resaved));
    return ReadFileBytes(resaved);
}

const char* const kRecovered = "recovered: the file is cut short or damaged (no usable trailer)";

}  // namespace

namespace {

// One page of pixels drawn by the script, its image in the plain layout pikepdf writes, and the
// samples the page shows as RGBA beside it (grey repeated, no alpha as opaque; 16-bit pictures at
// 16 bits high byte first, others at 8, a sample of fewer bits scaled up as ImageMagick does).
const char* const kPixelPage = R"(
import pikepdf, sys, zlib
from pikepdf import Name
kind, out, truth = sys.argv[1:4]
W, H = 37, 23
pdf = pikepdf.new()
def value(x, y, c, depth, seed=0):
    return ((x * 131 + y * 71 + c * 37 + seed) * 2654435761 >> 7) % (1 << depth)
def pack(rows, depth):
    data = b''
    for row in rows:
        if depth == 16:
            data += b''.join(v.to_bytes(2, 'big') for v in row)
        elif depth == 8:
            data += bytes(row)
        else:
            bits = ''.join(format(v, '0%db' % depth) for v in row)
            bits += '0' * (-len(bits) % 8)
            data += bytes(int(bits[i:i + 8], 2) for i in range(0, len(bits), 8))
    return data
def drawn(channels, depth, seed=0):
    return [[value(x, y, c, depth, seed) for x in range(W) for c in range(channels)] for y in range(H)]
def image(rows, space, depth, colours=1, predict=False, **extra):
    data = pack(rows, depth)
    if predict:  # PNG predictors, every row filtered with None
        size = len(data) // H
        data = b''.join(b'\0' + data[y * size:(y + 1) * size] for y in range(H))
        extra['DecodeParms'] = pikepdf.Dictionary(Predictor=15, Colors=colours, BitsPerComponent=depth, Columns=W)
    return pdf.make_stream(zlib.compress(data), Type=Name.XObject, Subtype=Name.Image, Width=W, Height=H,
                           ColorSpace=space, BitsPerComponent=depth, Filter=Name.FlateDecode, **extra)
words = kind.split()
space, depth = words[0], int(words[1])
if space == 'fax':  # CCITT data of /K `depth`, from the file named after the truth's, or none
    data, w, h = (open(sys.argv[4], 'rb').read(), 64, 40) if len(sys.argv) > 4 else (b'\0', W, H)
    parms = pikepdf.Dictionary(K=depth, Columns=w, Rows=h, EndOfLine='eol' in words, EncodedByteAlign='align' in words)
    page = pdf.add_blank_page(page_size=(w, h))
    page.Resources = pikepdf.Dictionary(XObject=pikepdf.Dictionary(Im=pdf.make_stream(
        data, Type=Name.XObject, Subtype=Name.Image, Width=w, Height=h, ColorSpace=Name.DeviceGray, BitsPerComponent=1,
        Filter=Name.CCITTFaxDecode, DecodeParms=parms)))
    page.Contents = pdf.make_stream(b'q %d 0 0 %d 0 0 cm /Im Do Q' % (w, h))
    pdf.save(out)
    sys.exit()
channels = 3 if space == 'rgb' else 1
colour = drawn(channels, depth)
palette = bytes(value(i, 0, c, 8, 5) for i in range(4) for c in range(3))
extra = {}
alpha = key = None
if 'smask' in words:
    alpha = drawn(1, depth, 9)
    extra['SMask'] = image(alpha, Name.DeviceGray, depth)
for word in words[2:]:
    if word == 'decode':
        extra['Decode'] = [1, 0]
    if word == 'mask':
        extra['Mask'] = [0, 3]
    if word == 'key':  # indices 1 and 3, or the second pixel's colour, shown transparent
        key = [1, 3] if space == 'palette' else colour[0][channels:2 * channels]
        extra['Mask'] = [1, 1, 3, 3] if space == 'palette' else [v for v in key for _ in range(2)]
    if word == 'keyrange':  # a range of several reds
        extra['Mask'] = [0, 3] + [colour[0][c] for c in range(1, channels) for _ in range(2)]
    if word == 'matte':
        extra['SMask'].Matte = [0]
rgb = Name.DeviceRGB
if 'icc' in words:  # the profile in the file named after the truth's
    rgb = pikepdf.Array([Name.ICCBased, pdf.make_stream(open(sys.argv[4], 'rb').read(), N=3)])
spaces = {'grey': Name.DeviceGray, 'rgb': rgb, 'cmyk': Name.DeviceCMYK,
          'palette': pikepdf.Array([Name.Indexed, rgb, 3, pikepdf.String(palette)])}
if space == 'cmyk':
    colour = drawn(4, depth)
page = pdf.add_blank_page(page_size=(W, H))
picture = image(colour, spaces[space], depth, channels if space != 'cmyk' else 4, 'predict' in words, **extra)
if 'tall' in words:  # taller than PNG readers take; the data is never read
    picture.Height = 2000000
page.Resources = pikepdf.Dictionary(XObject=pikepdf.Dictionary(Im=picture))
page.Contents = pdf.make_stream(b'q %d 0 0 %d 0 0 cm /Im Do Q' % (W, H))
pdf.save(out)
scale = 1 if depth >= 8 else 255 // ((1 << depth) - 1)
most = (1 << max(depth, 8)) - 1
pixels = []
for y in range(H):
    for x in range(W):
        if space == 'palette':
            rgb = [palette[colour[y][x] * 3 + c] for c in range(3)]
        else:
            rgb = [colour[y][x * channels + (c if channels == 3 else 0)] * scale for c in range(3)]
        shown = alpha[y][x] if alpha else most
        if key and space == 'palette':
            shown = 0 if colour[y][x] in key else most
        elif key:
            shown = 0 if colour[y][x * channels:(x + 1) * channels] == key else most
        pixels += rgb + [shown]
open(truth, 'wb').write(pack([pixels], 16 if depth == 16 else 8))
)";

// The IDAT payloads of a PNG file, joined.
std::string ImageData(const std::string& png)
{
    std::string data;
    for (size_t at = 8; at + 8 <= png.size();) {
        const size_t length = size_t(uint8_t(png[at])) << 24 | size_t(uint8_t(png[at + 1])) << 16
            | size_t(uint8_t(png[at + 2])) << 8 | size_t(uint8_t(png[at + 3]));
        if (png.compare(at + 4, 4, "IDAT") == 0)
            data += png.substr(at + 8, length);
        at += 12 + length;
    }
    return data;
}

// A one-strip TIFF's strip, where tiffinfo says it lies.
std::string StripData(const std::string& tiff)
{
    std::smatch m;
    const std::string info = RunCommand("tiffinfo -s " + Quoted(tiff)).output;
    if (!std::regex_search(info, m, std::regex(R"(1 Strips:\s+0: \[\s*(\d+),\s*(\d+)\])")))
        return info;
    return ReadFileBytes(tiff).substr(std::stoul(m[1]), std::stoul(m[2]));
}

// The stream of a one-page document's image, as the file holds it.
std::string RawImageStream(const std::string& pdf)
{
    std::smatch m;
    const std::string pages = RunCommand("qpdf --show-pages --with-images " + Quoted(pdf)).output;
    if (!std::regex_search(pages, m, std::regex(R"(/Im\w*: (\d+) 0 R)")))
        return pages;
    return RunCommand("qpdf --show-object=" + m[1].str() + " --raw-stream-data " + Quoted(pdf)).output;
}

}  // namespace

TEST(Extract, TheRoundTripGivesEveryPhotoBackUnderItsNameWhoeverSavedTheDocument)
{
    Album album;
    const std::string script = album.dir.Write("flate.py", kFlateOverDct);
    struct Row {
        const char* how;
        std::string command;  // turns $IN into $OUT; empty: the document as exported
    } rows[] = {
        {"as exported", ""},
        {"object streams", "qpdf --object-streams=generate \"$IN\" \"$OUT\""},
        {"encrypted, empty user password", "qpdf --encrypt '' owner 256 -- \"$IN\" \"$OUT\""},
        {"Flate over DCT", "/usr/bin/python3 " + Quoted(script) + " \"$IN\" \"$OUT\""},
    };
    int n = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.how);
        std::string pdf = album.pdf;
        if (!row.command.empty()) {
            pdf = album.dir.File("resaved" + std::to_string(n) + ".pdf");
            RunChecked("IN=" + Quoted(album.pdf) + " OUT=" + Quoted(pdf) + "; " + row.command);
        }
        const std::string folder = album.dir.File("out" + std::to_string(n++));
        const ProgramRun run = RunExtractProgram({"-d", folder, pdf});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, "3 pictures written\n");
        EXPECT_EQ(Listing(folder), std::set<std::string>(album.names.begin(), album.names.end()));
        for (size_t i = 0; i < album.names.size(); ++i)
            EXPECT_EQ(ReadFileBytes(folder + "/" + album.names[i]), ReadFileBytes(album.paths[i])) << album.names[i];
        std::vector<std::string> verify = {"--verify", pdf};
        verify.insert(verify.end(), album.paths.begin(), album.paths.end());
        const ProgramRun check = RunExtractProgram(verify);
        EXPECT_EQ(check.status, 0) << check.out << check.err;
        EXPECT_EQ(check.out, "3 pages match\n");
    }
    // A second run finds the names taken: nothing is replaced without -f.
    const std::string folder = album.dir.File("out0");
    const std::string kept = album.dir.Write("out0/made.jpg", "kept");
    EXPECT_EQ(RunExtractProgram({"-d", folder, album.pdf}).status, 3);
    EXPECT_EQ(ReadFileBytes(kept), "kept");
    EXPECT_EQ(RunExtractProgram({"-f", "-d", folder, album.pdf}).status, 0);
    EXPECT_EQ(ReadFileBytes(kept), ReadFileBytes(album.paths[2]));
}

// Each page that does not carry its file gets a line with its number; a stripped copy matches.
TEST(Extract, VerifyNamesEachPageThatDiffersAndHow)
{
    Album album;
    const std::vector<std::string>& p = album.paths;
    std::string flipped = ReadFileBytes(p[1]);
    flipped[700] = static_cast<char>(flipped[700] ^ 0x20);
    const std::string changed = album.dir.Write("changed.jpg", flipped);
    const auto firstDifference = [](const std::string& a, const std::string& b) {
        const std::string x = ReadFileBytes(a), y = ReadFileBytes(b);
        return std::to_string(std::mismatch(x.begin(), x.end(), y.begin(), y.end()).first - x.begin() + 1);
    };

    const phone_jpeg::Parts parts = phone_jpeg::Split(MakeJpeg({.width = 32, .height = 24}));
    const std::string phone = album.dir.Write("phone.jpg", parts.startOfImage + phone_jpeg::Exif(1) + parts.appSegments
                                                               + parts.tablesOnward + phone_jpeg::MotionPhotoTrailer(500));
    const std::string stripped = album.dir.File("stripped.pdf");
    ASSERT_EQ(RunExportProgram({"--strip-metadata", "-o", stripped, phone}).status, 0);
    // A page of pixels with its PNG file (img2pdf copies the IDAT data), and that picture changed.
    const std::string png = album.dir.File("png.pdf"), source = album.dir.CopyTestData("libjpeg-turbo/testorig.png");
    RunChecked("img2pdf " + Quoted(source) + " -o " + Quoted(png));
    const auto remade = [&](const std::string& name, const std::string& how) {
        RunChecked("cd " + Quoted(album.dir.Path()) + " && convert testorig.png " + how + " " + name);
        return album.dir.File(name);
    };
    const std::string onePixel = remade("pixel.png", "-fill white -draw 'point 5,3'");
    // A CCITT page with its TIFF file, and the same picture in other TIFF files.
    const std::string g4 = remade("g4.tif", "-threshold 50% -compress group4"), g4Pdf = album.dir.File("g4.pdf");
    RunChecked("img2pdf " + Quoted(g4) + " -o " + Quoted(g4Pdf) + " && cd " + Quoted(album.dir.Path())
               + " && tiffcp -f lsb2msb g4.tif reversed.tif && tiffcp -c lzw g4.tif lzw.tif && tiffcp -t g4.tif tiled.tif");
    // A palette picture.
    const std::string palettePdf = album.dir.File("palette.pdf"), palette = album.dir.File("palette.png");
    RunChecked("convert " + Quoted(source) + " -colors 5 PNG8:" + Quoted(palette) + " && img2pdf " + Quoted(palette)
               + " -o " + Quoted(palettePdf));
    const std::string bytes = ReadFileBytes(album.pdf), resaved = ResavedByQpdf(album);
    const std::string cut30 = CutShort(album.dir, "cut30.pdf", bytes, bytes.size() - 30);
    const std::string inPicture = CutShort(album.dir, "cut.pdf", bytes, 4000);
    const std::string inLastPicture = CutShort(album.dir, "resaved-cut.pdf", resaved, LastPictureData(resaved) + 100);

    struct Row {
        const char* what;
        std::vector<std::string> args;
        int status;
        std::string out;
        std::string err = "";  // a part of standard error
    } rows[] = {
        {"a flipped byte", {album.pdf, p[0], changed, p[2]}, 1,
         "page 2: " + changed + ": differs at byte 701\n2 of 3 pages match\n"},
        {"a swapped pair", {album.pdf, p[0], p[2], p[1]}, 1,
         "page 2: " + p[2] + ": differs at byte " + firstDifference(p[2], p[1]) + "\npage 3: " + p[1]
             + ": differs at byte " + firstDifference(p[1], p[2]) + "\n1 of 3 pages match\n"},
        {"a file too few", {album.pdf, p[0], p[1]}, 1,
         "the document has 3 pages and 2 files were given\n2 of 3 pages, 2 files match\n"},
        {"a file too many", {album.pdf, p[0], p[1], p[2], p[0]}, 1,
         "the document has 3 pages and 4 files were given\n3 of 3 pages, 4 files match\n"},
        {"stripped", {stripped, phone}, 0,
         "page 1: " + phone + ": same picture, metadata removed\n1 page matches (1 with metadata removed)\n"},
        {"a PNG page, a JPEG file", {png, p[0]}, 1,
         "page 1: " + p[0] + ": differs: the page holds pixels a PNG file holds, the file is a JPEG file\n0 of 1 page match\n"},
        {"a JPEG page, a PNG file", {album.pdf, source, p[1], p[2]}, 1,
         "page 1: " + source + ": differs: the page holds JPEG data, the file is a PNG file\n2 of 3 pages match\n"},
        {"a PNG page and its file", {png, source}, 0, "page 1: " + source + ": identical\n1 page matches\n"},
        {"the same pixels, interlaced", {png, remade("interlaced.png", "-interlace PNG")}, 0,
         "page 1: " + album.dir.File("interlaced.png") + ": same pixels\n1 page matches\n"},
        {"the same pixels at 16 bits", {png, remade("deep.png", "-define png:bit-depth=16")}, 1,
         "page 1: " + album.dir.File("deep.png") + ": differs: the file's picture is 227 x 149 grey at 16 bits, the "
         "page's 227 x 149 grey at 8 bits\n0 of 1 page match\n"},
        {"a pixel changed", {png, onePixel}, 1, "page 1: " + onePixel + ": differs at pixel 6 of row 4\n0 of 1 page match\n"},
        // ImageMagick keeps the samples and only labels them white as zero: negated first, the file
        // shows the picture the page does, its samples turned over.
        {"its pixels in a TIFF file, white as zero", {png, remade("white.tif", "-negate -define quantum:polarity=min-is-white")}, 0,
         "page 1: " + album.dir.File("white.tif") + ": same pixels\n1 page matches\n"},
        {"a tiled TIFF file", {g4Pdf, album.dir.File("tiled.tif")}, 3, "",
         "tiled.tif: cannot be read: a tiled TIFF file, which is not compared"},
        {"a palette picture and its file", {palettePdf, palette}, 0, "page 1: " + palette + ": identical\n1 page matches\n"},
        {"a damaged PNG file", {png, album.dir.Write("damaged.png", ReadFileBytes(source).substr(0, 300))}, 3, "",
         "damaged.png: cannot be read: a damaged file (a row cannot be decoded)"},
        {"a CCITT page and its TIFF file", {g4Pdf, g4}, 0, "page 1: " + g4 + ": identical\n1 page matches\n"},
        {"its bits in reverse order (fill order 2)", {g4Pdf, album.dir.File("reversed.tif")}, 0,
         "page 1: " + album.dir.File("reversed.tif") + ": identical\n1 page matches\n"},
        {"its pixels compressed with LZW", {g4Pdf, album.dir.File("lzw.tif")}, 0,
         "page 1: " + album.dir.File("lzw.tif") + ": same pixels\n1 page matches\n"},
        {"a pixel of it changed", {g4Pdf, remade("g4pixel.tif", "-threshold 50% -region 1x1+200+100 -negate +region -alpha off -compress group4")}, 1,
         "page 1: " + album.dir.File("g4pixel.tif") + ": differs at pixel 201 of row 101\n0 of 1 page match\n"},
        {"quiet", {"-q", album.pdf, p[1], p[0], p[2]}, 1, ""},
        // Cut short: the pages whose objects are whole are checked, and the counts are the
        // document's.
        {"cut 30 bytes short", {cut30, p[0], p[1], p[2]}, 0, "3 pages match\n", kRecovered},
        {"cut 30 bytes short, a file too many", {cut30, p[0], p[1], p[2], p[0]}, 1,
         "the document has 3 pages and 4 files were given\n3 of 3 pages, 4 files match\n", kRecovered},
        {"cut inside the last picture, re-saved by qpdf", {inLastPicture, p[0], p[1], p[2]}, 3, "2 of 3 pages match\n",
         "resaved-cut.pdf: page 3: incomplete (the file does not hold all the page draws)\n"},
        // leafbind-export writes the content streams after the pictures: a cut inside the first
        // picture takes every page's.
        {"cut inside the first picture", {inPicture, p[0], p[1], p[2]}, 3, "0 of 3 pages match\n",
         "cut.pdf: page 1: incomplete (the file does not hold all the page draws)\n"},
        {"cut short, its catalog gone", {album.dir.Write("gone.pdf", WithoutCatalog(bytes)), p[0], p[1], p[2]}, 3, "",
         "gone.pdf: unable to find trailer dictionary while recovering damaged file; the file holds no catalog"},
        {"a missing file", {album.pdf, p[0], p[1], album.dir.File("gone.jpg")}, 3, "", "gone.jpg: cannot be read"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::vector<std::string> args = {"--verify"};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const ProgramRun run = RunExtractProgram(args);
        EXPECT_EQ(run.status, row.status) << run.err;
        if (row.status != 3 || !row.out.empty()) {
            EXPECT_EQ(run.out, row.out);
        }
        EXPECT_NE(run.err.find(row.err), std::string::npos) << run.err;
    }
}

// Titles that are no safe file name become one, inside the folder.
TEST(Extract, BookmarkTitlesBecomeSafeNamesInsideTheFolder)
{
    const struct Row {
        const char* title;
        const char* name;
        const char* picture = "p.jpg";  // the page's: a JPEG, a PNG (pixels) or a Group 4 TIFF (CCITT)
    } rows[] = {
        {"a/b.jpg", "a_b.jpg"},
        {"../../escape", "_._.._escape.jpg"},
        {"nul\\u0000.jpg", "nul_.jpg"},
        {".", "_.jpg"},
        {"..", "_..jpg"},
        {"-rf", "_rf.jpg"},
        {"same.jpg", "same.jpg"},
        {"same.jpg", "same (2).jpg"},
        {"", "page-0009.jpg"},
        {"\u202Egpj.exe", "gpj.exe.jpg"},
        {"a\u200Bb\u00ADc\u2066d\uFEFF.jpg", "abcd.jpg"},
        {"\u200E-rf", "_rf (2).jpg"},
        {"\u2069\u061C", "page-0013.jpg"},
        {"scan", "scan.png", "p.png"},
        {"scan.PNG", "scan.PNG", "p.png"},
        {"photo.jpg", "photo.jpg.png", "p.png"},
        {"fax", "fax.tif", "p.tif"},
        {"fax.TIFF", "fax.TIFF", "p.tif"},
        {"fax.png", "fax.png.tif", "p.tif"},
        {"fax", "fax (2).tif", "p.tif"},
        {"", "page-0021.tif", "p.tif"},
        {"", "page-0022.png", "p.png"},
    };
    TempDir dir;
    dir.Write("p.jpg", MakeJpeg({.width = 8, .height = 8}));
    dir.Write("p.png", MakePng(PngRecipe()).file);
    std::string pictures, titles = "[";
    for (const Row& row : rows) {
        pictures += std::string(" ") + row.picture;
        titles += std::string(titles.size() > 1 ? "," : "") + "\"" + row.title + "\"";
    }
    RunChecked("cd " + Quoted(dir.Path()) + " && convert -size 16x8 xc:white -compress group4 p.tif && img2pdf"
               + pictures + " -o plain.pdf");
    const std::string script = dir.Write("titles.py", R"(
import json, pikepdf, sys
pdf = pikepdf.open(sys.argv[1])
with pdf.open_outline() as outline:
    outline.root.clear()
    for page, title in enumerate(json.loads(sys.argv[3])):
        outline.root.append(pikepdf.OutlineItem(title, page))
pdf.save(sys.argv[2])
)");
    const std::string pdf = dir.File("titled.pdf");
    RunChecked("/usr/bin/python3 " + Quoted(script) + " " + Quoted(dir.File("plain.pdf")) + " " + Quoted(pdf) + " "
        + Quoted(titles + "]"));
    const std::string folder = dir.File("deep/out");
    std::filesystem::create_directory(dir.File("deep"));
    const std::set<std::string> before = Listing(dir.Path());
    const ProgramRun run = RunExtractProgram({"-d", folder, pdf});
    ASSERT_EQ(run.status, 0) << run.err;
    std::set<std::string> expected;
    for (const Row& row : rows)
        expected.insert(row.name);
    EXPECT_EQ(Listing(folder), expected);
    EXPECT_EQ(Listing(dir.Path()), before);
    EXPECT_EQ(Listing(dir.File("deep")), std::set<std::string> {"out"});
}

// What extraction does with pages it cannot give back, with another converter's document, and
// with a link in the folder: the outcome and the folder's files are checked.
TEST(Extract, ExtractionWritesOnlyWholeJpegPicturesAndOnlyInsideTheFolder)
{
    Album album;
    const std::string other = album.dir.File("other.pdf");
    // Pages of pixels no PNG or TIFF file holds as the page shows them.
    const std::string script = album.dir.Write("pixels.py", kPixelPage);
    const auto drawn = [&](const std::string& kind) {
        const std::string pdf = album.dir.File(kind + ".pdf");
        RunChecked("/usr/bin/python3 " + Quoted(script) + " '" + kind + "' " + Quoted(pdf) + " " + Quoted(pdf + ".rgba"));
        return pdf;
    };
    RunChecked("img2pdf " + Quoted(album.paths[0]) + " " + Quoted(album.paths[2]) + " -o " + Quoted(other));
    // Page 2's resources hold page 3's image beside its own, which alone it draws; page 3 draws
    // a name its resources no longer hold.
    const std::string odd = album.dir.File("odd.pdf");
    RunChecked("/usr/bin/python3 -c " + Quoted(R"(
import pikepdf, sys
pdf = pikepdf.open(sys.argv[1])
second, third = pdf.pages[1].Resources.XObject, pdf.pages[2].Resources.XObject
second.Extra = third[list(third.keys())[0]]
del pdf.pages[2].Resources.XObject
pdf.save(sys.argv[2])
)") + " " + Quoted(album.pdf) + " " + Quoted(odd));
    // Cut short at each place a copy may stop: in the trailer, just after the last object, in the
    // cross-reference table, in startxref (libqpdf's own recovery takes that one), inside the last
    // picture of a document re-saved by qpdf, and of one as leafbind-export writes it (its content
    // streams come after the pictures); and a trailer whose /Root names no object.
    const std::string bytes = ReadFileBytes(album.pdf), resaved = ResavedByQpdf(album);
    const size_t xref = bytes.rfind("\nxref\n") + 1, trailer = bytes.rfind("trailer");
    std::string noRoot = bytes;
    noRoot.replace(noRoot.rfind("/Root 1 0 R"), 11, "/Root 9999 0 R");
    // Two catalogs and no trailer: the objects, then a later catalog whose pages are the second
    // page alone, as an update would have it.
    const size_t kids = bytes.find("/Kids [") + 7;
    std::istringstream refs(bytes.substr(kids, bytes.find(']', kids) - kids));
    std::string second, ignored;
    refs >> ignored >> ignored >> ignored >> second;
    const std::string twoCatalogs = bytes.substr(0, bytes.rfind("endobj") + 7)
        + "900 0 obj\n<< /Type /Catalog /Pages 901 0 R >>\nendobj\n901 0 obj\n<< /Type /Pages /Kids [ " + second
        + " 0 R ] /Count 1 >>\nendobj\n";
    // A picture without its end-of-image marker: given back as the document holds it, unless the
    // document is recovered, where data that stops short cannot be told from data cut short.
    const std::string photo = ReadFileBytes(album.paths[1]);
    const std::string endless = album.dir.Write("endless.jpg", photo.substr(0, photo.size() - 2));
    const std::string withEndless = album.dir.File("endless.pdf");
    RunChecked("/usr/bin/python3 -c " + Quoted(R"(
import pikepdf, sys
pdf = pikepdf.open(sys.argv[1])
image = pdf.pages[1].Resources.XObject[list(pdf.pages[1].Resources.XObject.keys())[0]]
image.write(open(sys.argv[3], 'rb').read(), filter=pikepdf.Name.DCTDecode)
pdf.save(sys.argv[2])
)") + " " + Quoted(album.pdf) + " " + Quoted(withEndless) + " " + Quoted(endless));
    const std::string endlessBytes = ReadFileBytes(withEndless);
    const std::map<std::string, std::string> all = {
        {"testorig.jpg", album.paths[0]}, {album.names[1], album.paths[1]}, {album.names[2], album.paths[2]}};
    const std::string recovered = std::string("warning: ") + album.dir.File("cut30.pdf") + ": " + kRecovered;
    const std::string outside = album.dir.Write("outside.jpg", "not to be touched");
    const std::string linked = album.dir.File("linked");
    std::filesystem::create_directory(linked);
    std::filesystem::create_symlink(outside, linked + "/testorig.jpg");
    const struct Row {
        const char* what;
        std::vector<std::string> args;
        std::string folder;
        int status;
        std::map<std::string, std::string> files;  // the folder's files afterwards, and whose bytes
        std::string err = "";
    } rows[] = {
        {"CMYK pixels", {drawn("cmyk 8")}, album.dir.File("cmyk"), 1, {},
         "page 1: not a JPEG image, nor one a PNG or TIFF file holds (a /DeviceCMYK colour space), nothing written"},
        {"pixels through a decode array", {drawn("grey 8 decode")}, album.dir.File("decode"), 1, {},
         "page 1: not a JPEG image, nor one a PNG or TIFF file holds (a picture shown through /Decode [1 0]), nothing written"},
        {"pixels through a colour key", {drawn("grey 4 mask")}, album.dir.File("mask"), 1, {},
         "(a picture shown through a mask (/Mask)), nothing written"},
        {"RGB through a colour key of several reds", {drawn("rgb 8 keyrange")}, album.dir.File("keyrange"), 1, {},
         "(a picture shown through a mask (/Mask)), nothing written"},
        {"a colour key beside a soft mask", {drawn("rgb 8 smask key")}, album.dir.File("keysmask"), 1, {},
         "(a picture shown through a mask (/Mask)), nothing written"},
        {"pixels over a premultiplied soft mask", {drawn("rgb 8 smask matte")}, album.dir.File("matte"), 1, {},
         "(a soft mask (/SMask) over colours premultiplied by it (/Matte)), nothing written"},
        {"pixels of a side too long", {drawn("grey 8 tall")}, album.dir.File("tall"), 1, {},
         "(an image of more than 1000000 pixels a side, which libpng and libtiff do not read), nothing written"},
        {"Group 3 without end-of-line codes", {drawn("fax 0")}, album.dir.File("noeol"), 1, {},
         "(Group 3 data without end-of-line codes (/EndOfLine), which a TIFF strip must have), nothing written"},
        {"Group 4 aligned on bytes", {drawn("fax -1 align")}, album.dir.File("aligned"), 1, {},
         "(Group 4 data aligned on bytes (/EncodedByteAlign), which TIFF cannot hold), nothing written"},
        {"an image held but not drawn, and a page drawing none", {odd}, album.dir.File("odd"), 1,
         {{"testorig.jpg", album.paths[0]}, {album.names[1], album.paths[1]}}, "page 3: no image, nothing written"},
        {"another converter's document", {other}, album.dir.File("other"), 0,
         {{"page-0001.jpg", album.paths[0]}, {"page-0002.jpg", album.paths[2]}}},
        {"a link in the folder", {"-f", album.pdf}, linked, 0,
         {{"testorig.jpg", album.paths[0]}, {album.names[1], album.paths[1]}, {album.names[2], album.paths[2]}}},
        {"cut 30 bytes short", {CutShort(album.dir, "cut30.pdf", bytes, bytes.size() - 30)}, album.dir.File("cut30"), 0,
         all, recovered},
        {"cut after the last object", {CutShort(album.dir, "objects.pdf", bytes, bytes.rfind("endobj") + 6)},
         album.dir.File("objects"), 0, all, kRecovered},
        {"cut in the cross-reference table", {CutShort(album.dir, "xref.pdf", bytes, (xref + trailer) / 2)},
         album.dir.File("xref"), 0, all, kRecovered},
        {"cut in startxref", {CutShort(album.dir, "startxref.pdf", bytes, bytes.rfind("startxref") + 12)},
         album.dir.File("startxref"), 0, all, "Attempting to reconstruct cross-reference table"},
        {"cut inside the last picture, re-saved by qpdf",
         {CutShort(album.dir, "resaved-cut.pdf", resaved, LastPictureData(resaved) + 100)},
         album.dir.File("resaved"), 3, {{"testorig.jpg", album.paths[0]}, {album.names[1], album.paths[1]}},
         "resaved-cut.pdf: page 3: incomplete (the file does not hold all the page draws), nothing written"},
        {"cut inside the last picture", {CutShort(album.dir, "picture.pdf", bytes, LastPictureData(bytes) + 100)},
         album.dir.File("picture"), 3, {},
         "picture.pdf: page 1: incomplete (the file does not hold all the page draws), nothing written\n"},
        {"cut inside the first picture", {CutShort(album.dir, "cut.pdf", bytes, 3000)}, album.dir.File("cut"), 3, {},
         "cut.pdf: page 1: incomplete"},
        {"a trailer naming no catalog", {album.dir.Write("noroot.pdf", noRoot)}, album.dir.File("noroot"), 0, all,
         kRecovered},
        {"two catalogs, no trailer", {album.dir.Write("two.pdf", twoCatalogs)}, album.dir.File("two"), 0,
         {{"page-0001.jpg", album.paths[1]}}, kRecovered},
        {"a picture without its end-of-image marker", {withEndless}, album.dir.File("endless"), 0,
         {{"testorig.jpg", album.paths[0]}, {album.names[1], endless}, {album.names[2], album.paths[2]}}},
        {"the same cut short", {CutShort(album.dir, "endless-cut.pdf", endlessBytes, endlessBytes.size() - 30)},
         album.dir.File("endless-cut"), 3, {{"testorig.jpg", album.paths[0]}, {album.names[2], album.paths[2]}},
         "endless-cut.pdf: page 2: incomplete (the JPEG data ends before its end-of-image marker), nothing written"},
        {"cut short, its catalog gone", {album.dir.Write("gone.pdf", WithoutCatalog(bytes))}, album.dir.File("gone"), 3,
         {}, "cannot read the document: " + album.dir.File("gone.pdf") + ": unable to find trailer dictionary while "
             "recovering damaged file; the file holds no catalog (/Type /Catalog) with pages to recover it from\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::vector<std::string> args = {"-d", row.folder};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const ProgramRun run = RunExtractProgram(args);
        EXPECT_EQ(run.status, row.status) << run.err;
        EXPECT_NE(run.err.find(row.err), std::string::npos) << run.err;
        std::set<std::string> expected;
        for (const auto& [name, source] : row.files) {
            expected.insert(name);
            EXPECT_FALSE(std::filesystem::is_symlink(row.folder + "/" + name)) << name;
            EXPECT_EQ(ReadFileBytes(row.folder + "/" + name), ReadFileBytes(source)) << name;
        }
        if (std::filesystem::exists(row.folder)) {
            EXPECT_EQ(Listing(row.folder), expected);
        }
    }
    EXPECT_EQ(ReadFileBytes(outside), "not to be touched");
    // Another converter's document of the same photos verifies as well.
    EXPECT_EQ(RunExtractProgram({"--verify", other, album.paths[0], album.paths[2]}).out, "2 pages match\n");
}

// Under a file size limit (ulimit -f) a picture that does not fit is reported, and nothing of it
// is left; one that fits is written whole.
TEST(Extract, PicturePastTheFileSizeLimitIsReportedAndLeavesNothing)
{
    Album album;
    const size_t smallest = ReadFileBytes(album.paths[2]).size();
    ASSERT_LT(smallest, ReadFileBytes(album.paths[0]).size());
    ASSERT_LT(smallest, ReadFileBytes(album.paths[1]).size());
    const std::string folder = album.dir.File("limited");
    const ProgramRun run = RunProgramAt(LEAFBIND_EXTRACT_PROGRAM, {"-d", folder, album.pdf}, "", smallest);
    EXPECT_EQ(run.status, 3) << run.err;
    EXPECT_EQ(run.err, "leafbind-extract: " + folder + "/testorig.jpg: cannot be written: File too large\n"
                  "leafbind-extract: " + folder + "/" + album.names[1] + ": cannot be written: File too large\n");
    EXPECT_EQ(run.out, "1 picture written\n");
    EXPECT_EQ(Listing(folder), std::set<std::string> {album.names[2]});
    EXPECT_EQ(ReadFileBytes(folder + "/" + album.names[2]), ReadFileBytes(album.paths[2]));
}

TEST(Extract, UsageErrorsAreRefusedBeforeAnythingIsRead)
{
    const struct Row {
        std::vector<std::string> args;
        const char* message;
    } rows[] = {
        {{}, "no document given"},
        {{"a.pdf", "b.pdf"}, "one document at a time"},
        {{"--verify", "a.pdf"}, "no picture files given"},
        {{"--verify", "-f", "a.pdf", "a.jpg"}, "-f is for extracting"},
        {{"-l", "list.txt", "a.pdf"}, "a list (-l) is for --verify"},
        {{"--ver", "a.pdf"}, "ambiguous"},
        {{"-d"}, "option -d needs a folder name"},
    };
    for (const Row& row : rows) {
        const ProgramRun run = RunExtractProgram(row.args);
        EXPECT_EQ(run.status, 2) << row.message;
        EXPECT_NE(run.err.find(row.message), std::string::npos) << run.err;
    }
}

namespace {

// Changes the middle page of a document (`kind`), keeping every image's bytes.
const char* const kRedraw = R"(
import pikepdf, sys
pdf = pikepdf.open(sys.argv[1])
kind = sys.argv[3]
images = [p.Resources.XObject[list(p.Resources.XObject.keys())[0]] for p in pdf.pages]
middle = len(pdf.pages) // 2
page, image = pdf.pages[middle], images[middle]
def draws(text):
    page.Contents = pdf.make_stream(text.encode())
def form(contents, **xobjects):
    made = pdf.make_stream(contents.encode(), Type=pikepdf.Name.XObject, Subtype=pikepdf.Name.Form, BBox=[0, 0, 1, 1])
    if xobjects:
        made.Resources = pikepdf.Dictionary(XObject=pikepdf.Dictionary(**xobjects))
    return made
negative = pdf.make_stream(b'{1 exch sub}', FunctionType=4, Domain=[0, 1], Range=[0, 1])
if kind == 'shared':  # one resource dictionary for all pages, each drawing one of its images
    shared = pdf.make_indirect(pikepdf.Dictionary(XObject=pikepdf.Dictionary({'/Im%d' % i: im for i, im in enumerate(images)})))
    for i, p in enumerate(pdf.pages):
        p.Resources = shared
        p.Contents = pdf.make_stream(b'q 10 0 0 10 0 0 cm /Im%d Do Q' % i)
elif kind == 'unused':
    page.Resources.XObject.Unused = images[0]
elif kind == 'forms':  # drawn through a form inside a form, the inner one without resources
    inner = form('q 1 0 0 1 0 0 cm /Pic Do Q')
    page.Resources.XObject = pikepdf.Dictionary(Outer=form('/Inner Do', Inner=inner, Pic=image))
    draws('q 10 0 0 10 0 0 cm /Outer Do Q')
elif kind == 'decode':
    image.Decode = [1, 0, 1, 0, 1, 0]
elif kind == 'identity decode':
    image.Decode = [0, 1, 0, 1, 0, 1]
elif kind == 'plain cmyk decode':  # the Adobe inversion left undone
    image.Decode = [0, 1, 0, 1, 0, 1, 0, 1]
elif kind == 'stencil':
    image.ImageMask = True
elif kind == 'smask':
    image.SMask = pdf.make_stream(b'\x80', Type=pikepdf.Name.XObject, Subtype=pikepdf.Name.Image, Width=1, Height=1,
                                  ColorSpace=pikepdf.Name.DeviceGray, BitsPerComponent=8)
elif kind in ('transfer', 'transfer undone', 'transfer inside q Q'):
    page.Resources.ExtGState = pikepdf.Dictionary(Neg=pikepdf.Dictionary(TR=negative),
                                                  Id=pikepdf.Dictionary(TR2=pikepdf.Name.Default, TR=pikepdf.Name.Identity))
    before = {'transfer': '/Neg gs ', 'transfer undone': '/Neg gs /Id gs ', 'transfer inside q Q': 'q /Neg gs Q '}[kind]
    draws(before + page.Contents.read_bytes().decode())
elif kind == 'inline':
    draws(page.Contents.read_bytes().decode() + ' q 5 0 0 5 0 0 cm BI /W 1 /H 1 /CS /G /BPC 8 ID \x80 EI Q')
elif kind == 'no decode':
    del image.Decode
pdf.save(sys.argv[2])
)";

// How many images a real reader finds drawn on each page.
std::vector<int> ImagesPerPage(const std::string& pdf)
{
    const CommandResult listed = RunCommand("pdfimages -list " + Quoted(pdf));
    std::vector<int> counts;
    std::istringstream lines(listed.output);
    std::string line;
    for (int skip = 0; skip < 2 && std::getline(lines, line); ++skip) { }
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        int page = 0, number = 0;
        std::string type;
        if (fields >> page >> number >> type && type == "image") {
            counts.resize(std::max<size_t>(counts.size(), static_cast<size_t>(page)));
            ++counts[static_cast<size_t>(page) - 1];
        }
    }
    return counts;
}

}  // namespace

// Only what a page paints is its picture, and what the page adds to it is named: the middle
// page of each document is changed, its image's bytes kept.
TEST(Extract, APagesPictureIsWhatItDrawsAndHowItShowsIt)
{
    Album album;
    TempDir& dir = album.dir;
    const std::string cmyk = dir.Write("cmyk.jpg", MakeJpeg({.width = 24, .height = 16, .components = 4}));
    const std::string cmykPdf = dir.File("cmyk.pdf");
    ASSERT_EQ(RunExportProgram({"-o", cmykPdf, cmyk}).status, 0);
    const std::string script = dir.Write("redraw.py", kRedraw);
    const std::string& middle = album.paths[1];
    const std::string shown = "page 2: " + middle + ": same bytes, shown differently (";
    const struct Row {
        const char* kind;
        int status;  // of both runs
        std::string note;  // the verify line of the middle page, or the warning's part
        bool ownCmyk = false;  // the one-page CMYK document instead of the album
    } rows[] = {
        {"shared", 0, ""},
        {"unused", 0, ""},
        {"forms", 0, ""},
        {"identity decode", 0, ""},
        {"transfer undone", 0, ""},
        {"transfer inside q Q", 0, ""},
        {"none", 0, "", true},
        {"decode", 1, shown + "/Decode [1 0 1 0 1 0])"},
        {"smask", 1, shown + "a soft mask (/SMask))"},
        {"transfer", 1, shown + "a transfer function (/TR))"},
        {"inline", 1, "page 2: " + middle + ": several images"},
        {"no decode", 1, "page 1: " + cmyk + ": same bytes, shown differently (no /Decode to undo the Adobe CMYK inversion)",
         true},
        {"plain cmyk decode", 1, "page 1: " + cmyk + ": same bytes, shown differently (/Decode [0 1 0 1 0 1 0 1])", true},
        {"stencil", 1, shown + "a stencil mask (/ImageMask))"},
    };
    int n = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.kind);
        const std::string pdf = dir.File("redrawn" + std::to_string(++n) + ".pdf");
        RunChecked("/usr/bin/python3 " + Quoted(script) + " " + Quoted(row.ownCmyk ? cmykPdf : album.pdf) + " "
                   + Quoted(pdf) + " " + Quoted(row.kind));
        const std::vector<std::string> files = row.ownCmyk ? std::vector<std::string> {cmyk} : album.paths;
        // pdfimages lists a stencil mask apart from images.
        if (std::string(row.kind) != "inline" && std::string(row.kind) != "stencil") {
            EXPECT_EQ(ImagesPerPage(pdf), std::vector<int>(files.size(), 1));
        }
        std::vector<std::string> verify = {"--verify", pdf};
        verify.insert(verify.end(), files.begin(), files.end());
        const ProgramRun check = RunExtractProgram(verify);
        EXPECT_EQ(check.status, row.status) << check.err;
        const size_t pages = files.size();
        EXPECT_EQ(check.out, row.status == 0 ? (pages == 1 ? "1 page matches\n" : "3 pages match\n")
                                             : row.note + "\n" + std::to_string(pages - 1) + " of "
                                                   + std::to_string(pages) + (pages == 1 ? " page match\n" : " pages match\n"));
        // Extraction gives the picture back all the same, with a warning, unless the page draws
        // more than one.
        const std::string folder = dir.File("out" + std::to_string(n));
        const ProgramRun run = RunExtractProgram({"-d", folder, pdf});
        const bool several = std::string(row.kind) == "inline";
        EXPECT_EQ(run.status, several ? 1 : 0) << run.err;
        EXPECT_EQ(Listing(folder).size(), files.size() - (several ? 1 : 0));
        if (!several) {
            const std::string name = row.ownCmyk ? "page-0001.jpg" : album.names[1];
            EXPECT_EQ(ReadFileBytes(folder + "/" + name), ReadFileBytes(files[pages / 2]));
        }
        if (row.status != 0 && !several) {
            const std::string adds = row.note.substr(row.note.find("differently (") + 13);
            EXPECT_NE(run.err.find("warning: " + pdf + ": page " + std::to_string(pages / 2 + 1)
                                   + ": the page shows the picture through " + adds.substr(0, adds.size() - 1)),
                      std::string::npos) << run.err;
        } else {
            EXPECT_EQ(run.err.find("warning"), std::string::npos) << run.err;
        }
    }
}

// Data after a picture's end (a motion photo's video) comes back with it, unless a small stream
// decodes to far more: then nothing of the picture is written, and the other pages are.
TEST(Extract, DataRunningOnFarPastThePicturesEndStopsItsRead)
{
    Album album;
    const std::string script = album.dir.Write("runon.py", R"(
import pikepdf, sys, zlib
pdf = pikepdf.open(sys.argv[1])
image = pdf.pages[1].Resources.XObject[list(pdf.pages[1].Resources.XObject.keys())[0]]
packer = zlib.compressobj(9)
data = packer.compress(image.read_raw_bytes())
for _ in range(int(sys.argv[3])):
    data += packer.compress(bytes(1 << 20))
image.write(data + packer.flush(), filter=[pikepdf.Name.FlateDecode, pikepdf.Name.DCTDecode])
pdf.save(sys.argv[2])
)");
    const struct Row {
        int mebibytes;  // of zeros after the picture's end
        bool stopped;
    } rows[] = {{8, false}, {65, true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mebibytes);
        const std::string pdf = album.dir.File("runon" + std::to_string(row.mebibytes) + ".pdf");
        RunChecked("/usr/bin/python3 " + Quoted(script) + " " + Quoted(album.pdf) + " " + Quoted(pdf) + " "
                   + std::to_string(row.mebibytes));
        ASSERT_LT(std::filesystem::file_size(pdf), 1u << 20);
        const std::string folder = album.dir.File("out" + std::to_string(row.mebibytes));
        const ProgramRun run = RunExtractProgram({"-d", folder, pdf});
        const std::string longer = ReadFileBytes(album.paths[1]) + std::string(size_t(row.mebibytes) << 20, '\0');
        if (row.stopped) {
            EXPECT_EQ(run.status, 3);
            EXPECT_EQ(run.err, "leafbind-extract: " + pdf + ": page 2: the image data runs on more than 64 MiB and 16 "
                                                            "times its stored size past the JPEG's end, nothing written\n");
            EXPECT_EQ(Listing(folder), (std::set<std::string> {album.names[0], album.names[2]}));
        } else {
            EXPECT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(ReadFileBytes(folder + "/" + album.names[1]), longer);
        }
        const std::string file = album.dir.Write("longer.jpg", longer);
        const ProgramRun check = RunExtractProgram({"--verify", pdf, album.paths[0], file, album.paths[2]});
        EXPECT_EQ(check.status, row.stopped ? 3 : 0) << check.err;
    }
}

// A document with a user password opens with it from a file or standard input; without one, or
// with a wrong one, the message says which.
TEST(Extract, APasswordComesFromAFileOrStandardInputNeverAnArgument)
{
    Album album;
    const std::string locked = album.dir.File("locked.pdf");
    RunChecked("qpdf --encrypt 'sesame' owner 256 -- " + Quoted(album.pdf) + " " + Quoted(locked));
    const std::string right = album.dir.Write("right.txt", "sesame\nsecond line\n");
    const std::string wrong = album.dir.Write("wrong.txt", "sesame2\n");
    const struct Row {
        const char* what;
        std::vector<std::string> args;
        std::string input;
        int status;
        std::string err;
    } rows[] = {
        {"from a file", {"--password-file", right}, "", 0, ""},
        {"from standard input", {"--password-file", "-"}, "sesame", 0, ""},
        {"none given", {}, "", 3,
         "leafbind-extract: " + locked + ": the document needs a password: give it with --password-file FILE (- for "
         "standard input), or run at a terminal to be asked for it\n"},
        {"a wrong one", {"--password-file", wrong}, "", 3, "leafbind-extract: " + locked + ": the password is wrong\n"},
        {"a wrong one from standard input", {"--password-file", "-"}, "open\n", 3,
         "leafbind-extract: " + locked + ": the password is wrong\n"},
    };
    int n = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string folder = album.dir.File("out" + std::to_string(++n));
        std::vector<std::string> args = row.args;
        args.insert(args.end(), {"-d", folder, locked});
        const ProgramRun run = RunExtractProgram(args, row.input);
        EXPECT_EQ(run.status, row.status);
        EXPECT_EQ(run.err, row.err);
        if (row.status == 0) {
            EXPECT_EQ(ReadFileBytes(folder + "/" + album.names[1]), ReadFileBytes(album.paths[1]));
        }
        std::vector<std::string> verify = row.args;
        verify.insert(verify.end(), {"--verify", locked});
        verify.insert(verify.end(), album.paths.begin(), album.paths.end());
        const ProgramRun check = RunExtractProgram(verify, row.input);
        EXPECT_EQ(check.status, row.status);
        EXPECT_EQ(check.out, row.status == 0 ? "3 pages match\n" : "");
    }
    // Cut short: with its trailer whole, libqpdf's own recovery keeps the encryption and the
    // password opens it; with the trailer gone, so is what names the encryption dictionary.
    const std::string bytes = ReadFileBytes(locked);
    const struct Cut {
        const char* what;
        size_t length;
        int status;
        std::string err;
    } cuts[] = {
        {"its trailer whole", bytes.rfind("startxref"), 0, "Attempting to reconstruct cross-reference table"},
        {"its trailer cut", bytes.size() - 30, 3,
         "leafbind-extract: cannot read the document: " + album.dir.File("locked-cut.pdf")
             + ": encrypted, and the trailer that names its encryption dictionary (/Encrypt) is cut off or damaged\n"},
    };
    for (const Cut& cut : cuts) {
        SCOPED_TRACE(cut.what);
        const std::string pdf = CutShort(album.dir, "locked-cut.pdf", bytes, cut.length);
        const std::string folder = album.dir.File(std::string("cut ") + cut.what);
        const ProgramRun run = RunExtractProgram({"--password-file", right, "-d", folder, pdf});
        EXPECT_EQ(run.status, cut.status);
        EXPECT_NE(run.err.find(cut.err), std::string::npos) << run.err;
        if (cut.status == 0) {
            EXPECT_EQ(ReadFileBytes(folder + "/" + album.names[1]), ReadFileBytes(album.paths[1]));
        }
        std::vector<std::string> verify = {"--password-file", right, "--verify", pdf};
        verify.insert(verify.end(), album.paths.begin(), album.paths.end());
        EXPECT_EQ(RunExtractProgram(verify).status, cut.status);
    }
    const ProgramRun both = RunExtractProgram({"--password-file", "-", "--verify", locked, "-l", "-"}, "sesame\n");
    EXPECT_EQ(both.status, 2);
    EXPECT_NE(both.err.find("standard input cannot hold both the password and a list"), std::string::npos);
}

// A page of pixels comes back as a PNG, a CCITT page as a TIFF: each file, as ImageMagick decodes
// it, shows the samples the page was made of; where the page's data fits the file (PNG
// predictors, CCITT in one strip) the file holds the stream's bytes as they are.
TEST(Extract, PixelPagesComeBackAsPngAndTiff)
{
    TempDir dir;
    const std::string script = dir.Write("pixels.py", kPixelPage);
    const auto drawnPage = [&](const std::string& kind, const std::string& more = "") {
        return "/usr/bin/python3 " + Quoted(script) + " '" + kind + "' \"$PDF\" \"$TRUTH\" " + more;
    };
    const std::string profile = AdobeRgbLikeProfile(), profileFile = dir.Write("rgb.icc", profile);
    const auto fromFile = [&](const std::string& source, const std::string& turned = "", int depth = 8) {
        return "img2pdf " + Quoted(source) + " -o \"$PDF\" && convert " + Quoted(source) + turned
            + " -endian MSB -depth " + std::to_string(depth) + " rgba:\"$TRUTH\"";
    };
    // The PDF's Flate data with bytes after its end, which PNG readers refuse in IDAT.
    const std::string runOn = dir.Write("runon.py", R"(
import pikepdf, sys
pdf = pikepdf.open(sys.argv[1])
for image in pdf.pages[0].images.values():
    image.write(image.read_raw_bytes() + b'after', filter=image.Filter, decode_parms=image.DecodeParms)
pdf.save(sys.argv[2])
)");
    const auto png = [&](int depth, int colourType) {
        PngRecipe recipe;
        recipe.depth = depth, recipe.colourType = colourType;
        return dir.Write("d" + std::to_string(depth) + "c" + std::to_string(colourType) + ".png", MakePng(recipe).file);
    };
    RunChecked("cd " + Quoted(dir.Path()) + " && convert -size 64x40 xc:white -fill black -draw 'circle 30,20 30,5'"
               " -compress group4 white.tif && convert white.tif -negate -define quantum:polarity=min-is-black"
               " -compress group4 black.tif && tiffcp -c g3 white.tif g3.tif && tiffcp -c g3:2d:fill white.tif g32d.tif");
    // Group 3 data as libtiff codes it, wrapped in a page as CCITT data.
    const auto group3 = [&](const std::string& tiff, const std::string& kind) {
        const std::string strip = dir.Write(tiff + ".strip", StripData(dir.File(tiff)));
        return drawnPage(kind, Quoted(strip)) + " && convert " + Quoted(dir.File(tiff)) + " -endian MSB -depth 8 rgba:\"$TRUTH\"";
    };
    // PNG files whose tRNS chunk leafbind-export turns into a colour-key mask, exported by it.
    RunChecked("cd " + Quoted(dir.Path()) + " && convert -size 60x40 xc:none -fill red -draw 'rectangle 10,10 50,30' none.png");
    const auto keyed = [&](int colourType, const std::string& key) {
        PngRecipe recipe;
        recipe.colourType = colourType, recipe.afterPalette = PngChunk("tRNS", key);
        return dir.Write("key" + std::to_string(colourType) + "-" + std::to_string(uint8_t(key.back())) + ".png",
                         MakePng(recipe).file);
    };
    const auto exported = [&](const std::string& source) {
        return std::string(LEAFBIND_EXPORT_PROGRAM) + " -o \"$PDF\" " + Quoted(source) + " && convert " + Quoted(source)
            + " -endian MSB -depth 8 rgba:\"$TRUTH\"";
    };
    const std::string decoded = dir.Write("decode.py", R"(
import pikepdf, sys
pdf = pikepdf.open(sys.argv[1])
for image in pdf.pages[0].images.values():
    image.Decode = [1, 0]
pdf.save(sys.argv[2])
)");
    const struct Row {
        const char* what;
        std::string make;  // writes $PDF, and the RGBA samples its page shows to $TRUTH
        const char* name;
        bool copied;
        bool sixteen = false;  // the truth at 16 bits
        std::string profile = "";  // the ICC profile the file embeds
        // pdfimages -png writes the same samples: not a 1-bit palette's (it writes the indices as
        // grey), 16-bit samples (not as ImageMagick reads its files) or ICC-based colours (it turns
        // them to sRGB).
        bool popplerSame = true;
        std::string source = "";  // the PNG file exported, which --verify finds on the page
        std::string otherKey = "";  // the same pixels under another key, which --verify tells apart
    } rows[] = {
        {"grey 1, predictors", fromFile(png(1, 0)), "page-0001.png", true},
        {"grey 2, predictors", fromFile(png(2, 0)), "page-0001.png", true},
        {"grey 4, predictors", fromFile(png(4, 0)), "page-0001.png", true},
        {"grey 8, predictors", fromFile(png(8, 0)), "page-0001.png", true},
        {"palette 1, predictors", fromFile(png(1, 3)), "page-0001.png", true, false, "", false},
        {"palette 4, predictors", fromFile(png(4, 3)), "page-0001.png", true},
        {"palette 8, predictors", fromFile(png(8, 3)), "page-0001.png", true},
        {"RGB 8, predictors", fromFile(png(8, 2)), "page-0001.png", true},
        {"grey 16, predictors", fromFile(png(16, 0), "", 16), "page-0001.png", true, true, "", false},
        {"RGB 16, predictors", fromFile(png(16, 2), "", 16), "page-0001.png", true, true, "", false},
        {"predictors, bytes after the zlib data",
         fromFile(png(8, 2)) + " && /usr/bin/python3 " + Quoted(runOn) + " \"$PDF\" \"$PDF.r\" && mv \"$PDF.r\" \"$PDF\"",
         "page-0001.png", false},
        {"grey 8, no predictors", drawnPage("grey 8"), "page-0001.png", false},
        {"grey 4, no predictors", drawnPage("grey 4"), "page-0001.png", false},
        {"palette 2, no predictors", drawnPage("palette 2"), "page-0001.png", false},
        {"RGB 16, no predictors", drawnPage("rgb 16"), "page-0001.png", false, true, "", false},
        {"RGB 8 and a soft mask", drawnPage("rgb 8 smask"), "page-0001.png", false},
        {"RGB 16 and a soft mask", drawnPage("rgb 16 smask"), "page-0001.png", false, true},
        {"grey 8 and a soft mask", drawnPage("grey 8 smask"), "page-0001.png", false},
        {"RGB 8 over an ICC profile", drawnPage("rgb 8 icc", Quoted(profileFile)), "page-0001.png", false, false, profile,
         false},
        {"a palette over an ICC profile", drawnPage("palette 2 icc", Quoted(profileFile)), "page-0001.png", false, false,
         profile, false},
        {"RGB 8 over an ICC profile, predictors", drawnPage("rgb 8 icc predict", Quoted(profileFile)), "page-0001.png",
         true, false, profile, false},
        {"a palette over an ICC profile, predictors", drawnPage("palette 2 icc predict", Quoted(profileFile)),
         "page-0001.png", true, false, profile, false},
        {"a transparent palette's, exported", exported(dir.File("none.png")), "page-0001.png", true, false, "", false,
         dir.File("none.png")},
        {"grey 8 and a key, exported", exported(keyed(0, std::string("\0\x14", 2))), "page-0001.png", true, false, "",
         false, dir.File("key0-20.png"), keyed(0, std::string("\0\x15", 2))},
        {"RGB 8 and a key, exported", exported(keyed(2, std::string("\0\x14\0\x19\0\x1E", 6))), "page-0001.png", true,
         false, "", false, dir.File("key2-30.png"), keyed(2, std::string("\0\x14\0\x19\0\x1F", 6))},
        {"palette 2 and two ranges of keyed indices", drawnPage("palette 2 key"), "page-0001.png", false, false, "", false},
        {"grey 4 and a key", drawnPage("grey 4 key"), "page-0001.png", false, false, "", false},
        {"grey 16 and a key", drawnPage("grey 16 key"), "page-0001.png", false, true, "", false},
        {"RGB 8 and a key", drawnPage("rgb 8 key"), "page-0001.png", false, false, "", false},
        {"Group 3, 1-D", group3("g3.tif", "fax 0 eol"), "page-0001.tif", true},
        {"Group 3, 2-D, byte-aligned", group3("g32d.tif", "fax 1 eol align"), "page-0001.tif", true},
        {"Group 4, /BlackIs1 false", fromFile(dir.File("white.tif")), "page-0001.tif", true},
        {"Group 4, /BlackIs1 true", fromFile(dir.File("black.tif")), "page-0001.tif", true},
        {"Group 4, /Decode [1 0]",
         fromFile(dir.File("white.tif"), " -negate") + " && /usr/bin/python3 " + Quoted(decoded)
             + " \"$PDF\" \"$PDF.d\" && mv \"$PDF.d\" \"$PDF\"",
         "page-0001.tif", true},
    };
    int n = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string pdf = dir.File("page" + std::to_string(++n) + ".pdf"), truth = dir.File("truth.rgba");
        RunChecked("PDF=" + Quoted(pdf) + " TRUTH=" + Quoted(truth) + "; " + row.make);
        const std::string folder = dir.File("out" + std::to_string(n));
        const ProgramRun run = RunExtractProgram({"-d", folder, pdf});
        ASSERT_EQ(run.status, 0) << run.err;
        ASSERT_EQ(Listing(folder), std::set<std::string> {row.name});
        const std::string file = folder + "/" + row.name;
        EXPECT_EQ(RunCommand("convert " + Quoted(file) + " -endian MSB -depth " + (row.sixteen ? "16" : "8") + " rgba:-").output,
                  ReadFileBytes(truth));
        // poppler decodes the page's image to the same samples (its soft mask apart, in a file of its own).
        const std::string seen = dir.File("seen" + std::to_string(n));
        RunChecked("pdfimages -png " + Quoted(pdf) + " " + Quoted(seen));
        if (row.popplerSame && !std::filesystem::exists(seen + "-001.png")) {
            EXPECT_EQ(RunCommand("convert " + Quoted(seen + "-000.png") + " -endian MSB -depth " + (row.sixteen ? "16" : "8")
                                 + " rgba:-").output,
                      ReadFileBytes(truth));
        }
        const std::string stream = RawImageStream(pdf);
        const std::string held = std::string(row.name).ends_with(".png") ? ImageData(ReadFileBytes(file)) : StripData(file);
        EXPECT_EQ(held == stream, row.copied);
        EXPECT_EQ(RunCommand("(convert " + Quoted(file) + " icc:- 2>/dev/null)").output, row.profile);
        // What the file holds, --verify finds on the page.
        EXPECT_EQ(RunExtractProgram({"--verify", pdf, file}).out,
                  "page 1: " + file + (row.copied ? ": identical\n" : ": same pixels\n") + "1 page matches\n");
        if (!row.source.empty()) {
            EXPECT_EQ(RunExtractProgram({"--verify", pdf, row.source}).out,
                      "page 1: " + row.source + ": identical\n1 page matches\n");
        }
        if (!row.otherKey.empty()) {
            const ProgramRun other = RunExtractProgram({"--verify", pdf, row.otherKey});
            EXPECT_EQ(other.status, 1);
            EXPECT_NE(other.out.find(row.otherKey + ": differs at pixel "), std::string::npos) << other.out;
        }
    }
}
