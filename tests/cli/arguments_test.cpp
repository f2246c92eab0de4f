// SPDX-License-Identifier: GPL-2.0-or-later
// Arguments, exit status and the one line on standard error, with real files.
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "JpegSegments.h"
#include "ShellCommand.h"
#include "MakeJpeg.h"
#include "MakePng.h"
#include "RunProgram.h"
#include "TempDir.h"

namespace {

const std::string kPrevious = "previous contents";

bool Exists(const std::string& path) { return std::filesystem::exists(std::filesystem::symlink_status(path)); }

std::string Repeated(const std::string& text, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

}  // namespace

TEST(Arguments, ExitStatusAndMessage)
{
    TempDir dir;
    const std::string a = dir.Write("a.jpg", MakeJpeg({}));
    const std::string aBytes = ReadFileBytes(a);
    const std::string gray = dir.Write("gray.jpg", MakeJpeg({.components = 1}));
    const std::string twelveBit = dir.CopyTestData("libjpeg-turbo/monkey12.jpg");
    const std::string list = dir.Write("list.txt", a + "\r\n\r\n" + a + "\r\n");
    const std::string out = dir.File("out.pdf");
    const std::string existing = dir.File("existing.pdf");
    const std::string locked = dir.File("locked.pdf");
    ASSERT_EQ(mkdir(dir.File("folder").c_str(), 0700), 0);
    ASSERT_EQ(mkdir(dir.File("sub").c_str(), 0700), 0);
    dir.Write("-dash.jpg", MakeJpeg({}));
    dir.Write("sub/only-here.jpg", MakeJpeg({}));
    const std::string notJpeg = dir.Write("not.jpg", "GIF89b");
    // Pictures of other kinds, drawn by ImageMagick and named as JPEGs: their first bytes name them.
    std::vector<std::string> others;
    for (const char* kind : {"png", "gif", "tiff", "webp", "bmp"}) {
        others.push_back(dir.File(std::string("photo-") + kind + ".jpg"));
        EXPECT_EQ(RunCommand("convert -size 8x8 xc:red " + std::string(kind) + ":" + Quoted(others.back())).status, 0);
    }
    // PNG files not taken, or damaged: each refused with what it lacks or where it is damaged.
    const MadePng sound = MakePng({});
    const size_t data = sound.file.find("IDAT") + 4;
    std::string crc = sound.file, cut = sound.file.substr(0, data + 20);
    crc[data + 3] ^= 1;
    std::string header = sound.file.substr(16, 13);
    header[8] = 4;  // RGB at 4 bits a sample
    const std::string badDepth = sound.file.substr(0, 8) + PngChunk("IHDR", header) + sound.file.substr(33);
    // 65,536 x 16,384 RGBA at 16 bits, interlaced: 8 GiB held at once to decode it.
    const std::string huge = sound.file.substr(0, 8)
        + PngChunk("IHDR", std::string("\0\1\0\0\0\0\x40\0\x10\6\0\0\1", 13)) + sound.file.substr(33);
    const std::string bigPalette = PngChunk("PLTE", std::string(3 * 17, '\x40'));
    // Interlaced, so decoded while written: its rows' zlib data stops half way, under a sound CRC.
    const MadePng interlaced = MakePng({.interlace = 1, .dataChunks = 1});
    const std::string halfData = interlaced.file.substr(0, interlaced.file.find("IDAT") - 4)
        + PngChunk("IDAT", interlaced.data.substr(0, interlaced.data.size() / 2)) + PngChunk("IEND", "");
    std::vector<std::string> pngs;
    for (const std::string& bytes : {MakePng({.interlace = 1}).file, MakePng({.colourType = 6}).file,
                                     MakePng({.colourType = 4}).file,
                                     MakePng({.colourType = 0, .beforeData = PngChunk("tRNS", std::string(2, '\0'))}).file,
                                     crc, cut, MakePng({.beforeData = PngChunk("QUAK", "x")}).file,
                                     MakePng({.betweenData = PngChunk("tIME", std::string(7, '\1'))}).file, badDepth,
                                     MakePng({.depth = 4, .colourType = 3, .beforeData = bigPalette}).file,
                                     MakePng({.beforeData = PngChunk("quAK", "x")}).file,
                                     sound.file.substr(0, sound.file.size() - 12),
                                     MakePng({.colourType = 3, .afterPalette = PngChunk("tRNS", "\x80")}).file,
                                     halfData, huge})
        pngs.push_back(dir.Write("png" + std::to_string(pngs.size()) + ".jpg", bytes));
    // TIFF files damaged, or with a page not taken, made by ImageMagick and libtiff's tools.
    std::vector<std::string> tiffs;
    const auto tiffCommand = [&](const std::string& command) { EXPECT_EQ(RunCommand(command).status, 0) << command; };
    tiffs.push_back(dir.File("sound.tif"));
    tiffCommand("convert -size 64x32 xc:white -fill black -draw 'circle 32,16 32,4' -monochrome -compress Group4 "
                + Quoted(tiffs[0]));
    const std::string soundTiff = ReadFileBytes(tiffs[0]);
    tiffs.push_back(dir.Write("tiff-cut.jpg", soundTiff.substr(0, 100)));  // the directory after the strip
    tiffs.push_back(dir.File("tiff-two.jpg"));
    tiffCommand("tiffcp " + Quoted(tiffs[0]) + " " + Quoted(tiffs[0]) + " " + Quoted(tiffs[2]));
    const std::string two = ReadFileBytes(tiffs[2]);
    dir.Write("tiff-two.jpg", two.substr(0, two.size() - 40));
    // A tag of the first directory (little-endian, fewer than 256 entries) given another value.
    const auto patchTag = [](std::string bytes, const char* tag, const char* value) {
        const size_t ifd = uint8_t(bytes[4]) | uint8_t(bytes[5]) << 8 | uint8_t(bytes[6]) << 16;
        for (size_t entry = ifd + 2; entry < ifd + 2 + 12 * size_t(uint8_t(bytes[ifd])); entry += 12)
            if (bytes.compare(entry, 2, std::string(tag, 2)) == 0)
                bytes.replace(entry + 8, 2, std::string(value, 2));
        return bytes;
    };
    // StripByteCounts (279) made to reach past the end.
    tiffs.push_back(dir.Write("tiff-strip.jpg", patchTag(soundTiff, "\x17\x01", "\xFF\x7F")));
    tiffs.push_back(dir.File("tiff-lab.tif"));
    tiffCommand("convert -size 8x8 xc:red -colorspace Lab -compress Zip " + Quoted(dir.File("lab.tif")) + " && tiffcp "
                + Quoted(tiffs[0]) + " " + Quoted(dir.File("lab.tif")) + " " + Quoted(tiffs[4]));
    tiffs.push_back(dir.File("tiff-alpha.tif"));
    tiffCommand("convert -size 8x8 xc:red -alpha set -channel A -fx 0.5 -depth 8 -compress Zip " + Quoted(tiffs[5]));
    // A JPEG strip 16 pixels wide whose ImageWidth (256) says 15.
    tiffCommand("convert -size 16x8 xc:red -compress JPEG " + Quoted(dir.File("jpeg.tif")));
    tiffs.push_back(dir.Write("tiff-jpeg.tif", patchTag(ReadFileBytes(dir.File("jpeg.tif")), "\x00\x01", "\x0F\x00")));
    others.push_back(dir.Write("photo-pdf.jpg", "%PDF-1.7\n%\xE2\xE3\xCF\xD3\n"));  // ImageMagick may not write PDF
    const std::string nulList = dir.Write("nul.txt", a + '\0' + a + '\0');
    // Relative entries are found beside the list, not in the current folder (dir).
    const std::string relative = dir.Write("sub/relative.txt", "\xEF\xBB\xBFonly-here.jpg\n");
    const std::string holey = dir.Write("sub/holey.txt", "only-here.jpg\nnone.jpg\n");
    const std::string usage = "\nTry 'leafbind-export --help' for more information.\n";
    // Language data: the folder the program reads, and folders of data that does not load.
    const char* prefix = getenv("TESSDATA_PREFIX");
    const std::string tessdata = prefix ? prefix : "/usr/share/tesseract-ocr/5/tessdata";
    for (const char* folder : {"garbage", "cut"})
        ASSERT_EQ(mkdir(dir.File(folder).c_str(), 0700), 0);
    dir.Write("garbage/eng.traineddata", "garbage");
    dir.Write("cut/eng.traineddata", ReadFileBytes(tessdata + "/eng.traineddata").substr(0, 1 << 20));
    dir.Write("cut/osd.traineddata", ReadFileBytes(tessdata + "/osd.traineddata").substr(0, 1 << 20));
    ASSERT_EQ(mkdir(dir.File("own").c_str(), 0700), 0);
    const std::string eng = "/usr/share/tesseract-ocr/5/tessdata/eng.traineddata";
    ASSERT_EQ(symlink(eng.c_str(), dir.File("own/eng.traineddata").c_str()), 0);
    const std::string textFile = dir.File("out.txt");
    ASSERT_EQ(symlink((tessdata + "/deu.traineddata").c_str(), dir.File("cut/deu.traineddata").c_str()), 0);
    const auto missing = [&](const std::string& name, const std::string& package) {
        return "leafbind-export: recognition language '" + name + "' is not installed"
            + (package.empty() ? ", and no Debian package brings it" : ": install the package " + package) + " (no "
            + name + ".traineddata in " + tessdata + ")\n";
    };
    const auto unloadable = [&](const std::string& folder, const std::string& name) {
        return "leafbind-export: recognition language '" + name + "' cannot be loaded from " + dir.File(folder) + "/"
            + name + ".traineddata: the file is damaged, cut short, or of another kind (the package tesseract-ocr-"
            + name + " has a sound copy)\n";
    };
    // Pages a density sizes: 1,200 x 900 pixels, 100 x 100 pixels, a file that states 1 dpi.
    const std::string photo = dir.Write("photo.jpg", MakeJpeg({.width = 1200, .height = 900}));
    const std::string small = dir.Write("small.jpg", MakeJpeg({.width = 100, .height = 100}));
    const std::string oneDpi = dir.Write("one-dpi.jpg", MakeJpeg({.width = 1200, .height = 900,
                                                                  .leadingSegments = {JfifSegment(1, 1, 1)},
                                                                  .jfifHeader = false}));
    const std::string sides = " points; a side must be 3 to 14,400 points\n";

    enum Output { Pdf, Unchanged, Absent };
    const std::string kSoftMaskUnderPart1
        = "transparency that needs a soft mask (an alpha channel, partly transparent palette colours, or a 16-bit "
          "transparent colour); PDF/A-1b cannot hold it (--pdfa 2b can)";
    struct Case {
        const char* name;
        std::vector<std::string> args;
        int status;
        std::string message;  // the whole of standard error, or its start when it ends in "..."
        std::string output;  // the file whose outcome is checked
        Output expect = Absent;
        std::string input = "";
        std::string tessdata = "";  // TESSDATA_PREFIX for this run
    };
    std::vector<Case> cases = {
        {"written", {"-o", out, a, a}, 0, "", out, Pdf},
        {"options in any order, clustered", {a, "-qfo", out, "--auto-orient"}, 0, "", out, Pdf},
        {
            "long options with values",
            {"--output=" + out, "--list=" + dir.File("one.txt")},
            0,
            "",
            out,
            Pdf,
        },
        {"list from standard input", {"-o", out, "-l", "-"}, 0, "", out, Pdf, a + "\n"},
        {"attached values", {"-o" + out, "-l" + dir.File("one.txt")}, 0, "", out, Pdf},
        {"dashed name after --", {"-o", out, "--", "-dash.jpg"}, 0, "", out, Pdf},
        {"dashed name before --", {"-o", out, "-dash.jpg"}, 2, "leafbind-export: unknown option -d" + usage, out},
        {"abbreviated", {"--out", out, "--auto", "--ti=T", a}, 0, "", out, Pdf},
        {"ambiguous",
         {"-o", out, "--a", a},
         2,
         "leafbind-export: option --a is ambiguous: it could be --auto-orient, --author, --alto" + usage,
         out},
        {"value to a flag",
         {"-o", out, "--icc=yes", a},
         2,
         "leafbind-export: option --icc takes no value" + usage,
         out},
        {"density missing", {"-o", out, a, "--dpi"}, 2, "leafbind-export: option --dpi needs a value" + usage, out},
        {"fit without paper",
         {"-o", out, "--fit", "fill", a},
         2,
         "leafbind-export: --fit needs --page-size" + usage,
         out},
        {"margin without paper",
         {"-o", out, "--margin", "1cm", a},
         2,
         "leafbind-export: --margin needs --page-size" + usage,
         out},
        {"margins leave less than 3 points",
         {"-o", out, "--page-size=A5", "--margin", "73.5mm", a},
         2,
         "leafbind-export: a --margin of '73.5mm' leaves less than 3 points between the margins" + usage,
         out},
        {"margins leave 3 points", {"-o", out, "--page-size=100x100", "--margin", "48.5", a}, 0, "", out, Pdf},
        // Text strings as the document holds them: PDFDocEncoding bytes, or UTF-16 with a mark.
        {"text at PDF/A-2b's limit", {"-o", out, "--pdfa=2b", "--title", std::string(32767, 'a'), a}, 0, "", out, Pdf},
        {"text over PDF/A-2b's limit",
         {"-o", out, "--pdfa=2b", "--author", std::string(32768, 'a'), a},
         2,
         "leafbind-export: --author takes 32768 bytes in the document; PDF/A-2b holds at most 32767 in a text string"
             + usage,
         out},
        {"UTF-16 text over PDF/A-1b's limit",
         {"-o", out, "--keywords", Repeated("\xD0\x96", 32767), "--pdfa=1b", a},
         2,
         "leafbind-export: --keywords takes 65536 bytes in the document; PDF/A-1b holds at most 65535...",
         out},
        {"text over PDF/A-1b's limit",
         {"-o", out, "--pdfa=1b", "--subject", std::string(65536, 'a'), a},
         2,
         "leafbind-export: --subject takes 65536 bytes...",
         out},
        {"long text without PDF/A", {"-o", out, "--title", std::string(100000, 'a'), a}, 0, "", out, Pdf},
        {"every new option",
         {"-o", out, "--icc", "--dpi=auto", "--page-size=Letter", "--fit=fill", "--margin=0.5in", "--title=\xC9t\xE9",
          "--author=A", "--subject=S", "--keywords=K", "--date=now", "--bookmarks", "--strip-metadata", "--pdfa=2B",
          "--ocr", "--ocr-lang=deu+eng", "--rotate-pages", "--jobs=1", a},
         0,
         "",
         out,
         Pdf},
        {"NUL list", {"-0", "-o", out, "-l", nulList}, 0, "", out, Pdf},
        // A PDF per folder: its own options apart from one list's.
        {"-O without --folders", {"-o", out, "-O", dir.File("pdfs"), a}, 2,
         "leafbind-export: -O needs --folders (a PDF per folder); one list is written with -o" + usage, out},
        {"--shard without --folders", {"-o", out, "--shard=0/2", a}, 2, "leafbind-export: --shard needs --folders" + usage,
         out},
        {"--folders without -O", {"--folders", dir.File("sub")}, 2,
         "leafbind-export: --folders needs -O OUTDIR, the folder the PDFs are written under" + usage, out},
        {"--folders and -o", {"--folders", "--into", dir.File("pdfs"), "-o", out, dir.File("sub")}, 2,
         "leafbind-export: --folders writes each folder's PDF under -O OUTDIR; -o names the one output of a list" + usage,
         out},
        {"--folders and a list", {"--folders", "-O", dir.File("pdfs"), "-l", dir.File("one.txt")}, 2,
         "leafbind-export: --folders takes folders, not lists (-l)" + usage, dir.File("pdfs")},
        {"--folders and one text file", {"--folders", "-O", dir.File("pdfs"), "--ocr", "--text", textFile, "sub"}, 2,
         "leafbind-export: --text names one file; with --folders each document would write over it" + usage,
         dir.File("pdfs")},
        {"--folders without folders", {"--folders", "-O", dir.File("pdfs")}, 2, "leafbind-export: no folders given" + usage,
         dir.File("pdfs")},
        {"--folders on a file", {"--folders", "-O", dir.File("pdfs"), a}, 2,
         "leafbind-export: " + a + ": not a folder (--folders takes folders)\n", dir.File("pdfs")},
        {"--folders on two folders of one name", {"--folders", "-O", dir.File("pdfs"), "sub", dir.File("folder/../sub")}, 2,
         "leafbind-export: sub and " + dir.File("folder/../sub") + " would both write under " + dir.File("pdfs/sub") + "\n",
         dir.File("pdfs")},
        {"--duplex with an odd count", {"-o", out, "--duplex", a, a, a}, 2,
         "leafbind-export: --duplex needs as many backs as fronts, an even number of pictures; 3 given\n", out},
        {"--duplex with none of a list's", {"-o", out, "--duplex", "-l", dir.File("one.txt")}, 2,
         "leafbind-export: --duplex needs as many backs as fronts, an even number of pictures; 1 given\n", out},
        {"--jobs for measuring ink", {"-o", out, "--drop-blank", "--jobs=2", a}, 0, "", out, Pdf},
        {"blank share over 100", {"-o", out, "--drop-blank=100.5", a}, 2,
         "leafbind-export: invalid value '100.5' for --drop-blank: use a share of the page's pixels in percent, from 0 to "
         "100, as 0.05" + usage, out},
        {"blank share 0 leaves every page", {"-o", out, "--drop-blank=0", a}, 0, "", out, Pdf},
        {"NUL list without --null",
         {"-o", out, "-l", nulList},
         2,
         "leafbind-export: " + nulList
             + ": holds NUL bytes; with --null (-0) its names are taken as ended by NUL bytes\n",
         out},
        {"NUL standard input", {"--null", "-o", out, "-l", "-"}, 0, "", out, Pdf, a + '\0'},
        {"NUL standard input without --null",
         {"-o", out, "-l", "-"},
         2,
         "leafbind-export: standard input: holds NUL bytes;...",
         out,
         Absent,
         a + '\0' + a},
        {"relative entries beside the list, after a byte order mark", {"-o", out, "-l", relative}, 0, "", out, Pdf},
        {"relative entries of standard input",
         {"-o", out, "-l", "-"},
         0,
         "",
         out,
         Pdf,
         "\xEF\xBB\xBFsub/only-here.jpg"},
        {"every unusable entry named",
         {"-o", out, notJpeg, a, twelveBit, "-l", holey, dir.File("x.jpg")},
         1,
         "leafbind-export: " + notJpeg + ": not a JPEG file\nleafbind-export: " + twelveBit
             + ": 12-bit samples; PDF readers show 8-bit JPEG only\nleafbind-export: " + holey
             + ":2: " + dir.File("sub/none.jpg") + ": cannot open: No such file or directory\nleafbind-export: "
             + dir.File("x.jpg") + ": cannot open: No such file or directory\n",
         out},
        {"other kinds named by their first bytes, not their names",
         {"-o", out, others[1], others[3], others[4], others[5]},
         1,
         "leafbind-export: " + others[1] + ": not a JPEG file: a GIF picture\nleafbind-export: " + others[3]
             + ": not a JPEG file: a WebP picture\nleafbind-export: " + others[4]
             + ": not a JPEG file: a BMP picture\nleafbind-export: " + others[5] + ": not a JPEG file: a PDF document\n",
         out},
        {"PNG: interlaced, with alpha, with a transparent colour", {"-o", out, pngs[0], pngs[1], pngs[2], pngs[3]}, 0,
         "", out, Pdf},
        {"--pdfa 1b refuses what needs a soft mask",
         {"-o", out, "--pdfa", "1b", pngs[0], pngs[1], pngs[2], pngs[3], pngs[12]},
         1,
         "leafbind-export: " + pngs[1] + ": " + kSoftMaskUnderPart1 + "\nleafbind-export: " + pngs[2] + ": "
             + kSoftMaskUnderPart1 + "\nleafbind-export: " + pngs[12] + ": " + kSoftMaskUnderPart1 + "\n",
         out},
        {"--pdfa 1b takes interlaced pictures and colour keys", {"-o", out, "--pdfa", "1b", pngs[0], pngs[3]}, 0, "",
         out, Pdf},
        {"PNG rows damaged inside sound chunks, found while decoded: nothing written", {"-o", out, a, pngs[13]}, 4,
         "leafbind-export: " + pngs[13] + ": cannot be copied: its compressed pixels are damaged and cannot be decoded\n",
         out, Absent},
        {"PNG too large to decode", {"-o", out, pngs[14]}, 1,
         "leafbind-export: " + pngs[14]
             + ": too large to decode: more than 1024 MiB at once (a row, or an interlaced picture whole)\n",
         out},
        {"--pdfa 2b takes soft masks", {"-o", out, "--pdfa", "2b", pngs[1], pngs[2], pngs[12]}, 0, "", out, Pdf},
        {"PNG data damaged",
         {"-o", out, pngs[4], pngs[5], pngs[6], pngs[7], pngs[8], pngs[9], pngs[11]},
         1,
         "leafbind-export: " + pngs[4] + ": PNG data damaged: chunk IDAT fails its CRC\nleafbind-export: " + pngs[5]
             + ": PNG data damaged: the file ends inside chunk IDAT\nleafbind-export: " + pngs[6]
             + ": PNG chunk QUAK is critical and unknown; the picture cannot be read without it\nleafbind-export: "
             + pngs[7] + ": PNG data damaged: its IDAT chunks are not consecutive (chunk tIME between them)\n"
             "leafbind-export: " + pngs[8] + ": PNG data damaged: no valid IHDR first (a size of 0, or a bit depth, "
             "colour type or method PNG does not have)\nleafbind-export: " + pngs[9]
             + ": PNG data damaged: its PLTE chunk does not fit the colour type and bit depth\nleafbind-export: "
             + pngs[11] + ": PNG data damaged: the file ends before IEND\n",
         out},
        {"TIFF damaged: cut inside its first directory, a later directory cut off (its page would be lost), a strip "
         "past the end",
         {"-o", out, tiffs[1], tiffs[2], tiffs[3]},
         1,
         "leafbind-export: " + tiffs[1] + ": TIFF data damaged: Can not read TIFF directory\nleafbind-export: "
             + tiffs[2] + ": TIFF data damaged: Can not read TIFF directory\nleafbind-export: " + tiffs[3]
             + ": TIFF data damaged: its strip lies outside the file or is empty\n",
         out},
        {"TIFF: a JPEG strip whose frame is not the size its tags say", {"-o", out, tiffs[6]}, 1,
         "leafbind-export: " + tiffs[6]
             + ": TIFF data damaged: its JPEG strip's frame is not the size or samples its tags say\n",
         out},
        {"TIFF: the page of several not taken is named by its number", {"-o", out, tiffs[4]}, 1,
         "leafbind-export: " + tiffs[4]
             + ": page 2: TIFF page not taken: photometric interpretation 8; bilevel, grey, RGB, palette and CMYK are "
               "taken\n",
         out},
        {"TIFF with alpha under PDF/A-1b, which cannot hold a soft mask", {"--pdfa", "1b", "-o", out, tiffs[5]}, 1,
         "leafbind-export: " + tiffs[5]
             + ": transparency that needs a soft mask (an alpha channel, partly transparent palette colours, or a "
               "16-bit transparent colour); PDF/A-1b cannot hold it (--pdfa 2b can)\n",
         out},
        {"PNG: unknown ancillary chunks skipped", {"-o", out, pngs[10]}, 0, "", out, Pdf},
        {"no output", {a}, 2, "leafbind-export: no output file given (-o OUT.pdf)\n...", out},
        {"no JPEG", {"-o", out}, 2, "leafbind-export: no JPEG files given\n...", out},
        {"only empty lists",
         {"-o", out, "-l", "-"},
         2,
         "leafbind-export: no JPEG files given (the lists are empty)\n",
         out},
        {"unknown option", {"-o", out, "--fast", a}, 2, "leafbind-export: unknown option --fast\n...", out},
        {"two outputs",
         {"-o", out, "-o", existing, a},
         2,
         "leafbind-export: only one output file can be given\n...",
         out},
        {"value missing", {a, "-o"}, 2, "leafbind-export: option -o needs a file name\n...", out},
        {"JPEG from standard input", {"-o", out, "-"}, 2, "leafbind-export: a JPEG cannot come from...", out},
        {"standard input twice",
         {"-o", out, "-l", "-", "-l", "-"},
         2,
         "leafbind-export: standard input can be...",
         out},
        {"list missing", {"-o", out, "-l", dir.File("none.txt")}, 2, "leafbind-export: Cannot open file...", out},
        {"existing output",
         {"-o", existing, a},
         3,
         "leafbind-export: " + existing + ": already exists (--force replaces it)\n",
         existing,
         Unchanged},
        {"existing output forced", {"-f", "-o", existing, a}, 0, "", existing, Pdf},
        {"output is an input", {"-f", "-o", a, a}, 3, "leafbind-export: " + a + ": is one of the input files\n", a},
        {"folder missing",
         {"-o", dir.File("no/out.pdf"), a},
         3,
         "leafbind-export: " + dir.File("no/out.pdf") + ": cannot create: No such file or directory\n",
         out},
        {"output is a folder",
         {"-f", "-o", dir.File("folder"), a},
         3,
         "leafbind-export: " + dir.File("folder") + ":...",
         out},
        {"output locked",
         {"-f", "-o", locked, a},
         3,
         "leafbind-export: " + locked + ": in use by another program (locked)\n",
         locked,
         Unchanged},
        {"12-bit entry",
         {"-o", out, a, twelveBit},
         1,
         "leafbind-export: " + twelveBit + ": 12-bit samples; PDF readers show 8-bit JPEG only\n",
         out},
        {"grayscale entry becomes a grey page", {"-o", out, gray}, 0, "", out, Pdf},
        {"missing entry",
         {"-o", out, dir.File("x.jpg")},
         1,
         "leafbind-export: " + dir.File("x.jpg") + ": cannot open: No such file or directory\n",
         out},
        {"empty argument", {"-o", out, a, ""}, 1, "leafbind-export: (empty argument): empty file name\n", out},
        {"empty line in a list", {"-o", out, "-l", list}, 1, "leafbind-export: " + list + ":2: empty file name\n", out},
        {"recognition language missing",
         {"-o", out, "--ocr", "--ocr-lang=eng+chi_sim_x", a},
         2,
         "leafbind-export: recognition language 'chi_sim_x' is not installed, and no Debian package brings it (no "
         "chi_sim_x.traineddata in...",
         out},
        {"every language missing named, with its package or none",
         {"-o", out, "--ocr", "--ocr-lang=eng+xyz+chi_sim+Latin", a},
         2,
         missing("xyz", "") + missing("chi_sim", "tesseract-ocr-chi-sim")
             + missing("Latin", "tesseract-ocr-script-latn"),
         out},
        {"language data that does not load, before the list is read",
         {"-o", out, "--ocr", "-l", dir.File("none.txt")}, 2, unloadable("garbage", "eng"), out, Absent, "",
         dir.File("garbage")},
        {"language data cut short beside sound data, and orientation data cut short",
         {"-o", out, "--ocr", "--ocr-lang=deu+eng", "--rotate-pages", a}, 2,
         unloadable("cut", "eng") + unloadable("cut", "osd"), out, Absent, "", dir.File("cut")},
        {"--dpi 1 makes a page too large", {"-o", out, "--dpi", "1", photo}, 1,
         "leafbind-export: " + photo + ": at 1 dpi the page would be 86,400 x 64,800" + sides, out},
        {"--dpi 100000 makes a page too small", {"-o", out, "--dpi=100000", photo}, 1,
         "leafbind-export: " + photo + ": at 100,000 dpi the page would be 0.86 x 0.65" + sides, out},
        {"a page just under 3 points", {"-o", out, "--dpi=2401", photo, small}, 1,
         "leafbind-export: " + small + ": at 2,401 dpi the page would be 2.999 x 2.999" + sides, out},
        {"a file stating 1 dpi", {"-o", out, "--dpi=auto", photo, oneDpi}, 1,
         "leafbind-export: " + oneDpi + ": at 1 dpi (the file's density) the page would be 86,400 x 64,800" + sides,
         out},
        {"--dpi within what readers show", {"-o", out, "--dpi=300", photo, small}, 0, "", out, Pdf},
        {"--dpi 1 on paper", {"-o", out, "--dpi=1", "--page-size=A4", photo}, 0, "", out, Pdf},
        {"a page of a picture's pixels stays that large",
         {"-o", out, dir.Write("wide.jpg", MakeJpeg({.width = 15000, .height = 10}))}, 0, "", out, Pdf},
        {"recognition options without --ocr", {"-o", out, "--jobs=2", a}, 2,
         "leafbind-export: --jobs needs --ocr, --deskew, --drop-blank or --folders\n...", out},
        {"a text file without --ocr, --deskew or not", {"-o", out, "--deskew", "--hocr", textFile, "--jobs=1", a}, 2,
         "leafbind-export: --hocr needs --ocr\n...", textFile},
        {"--tessdata without --ocr", {"-o", out, "--tessdata", dir.File("own"), a}, 2,
         "leafbind-export: --tessdata needs --ocr\n...", out},
        {"two outputs to standard output", {"-o", out, "--ocr", "--hocr", "-", "--alto=-", a}, 2,
         "leafbind-export: only one output can go to standard output (-): --hocr and --alto both do\n...", out},
        {"a text file to standard output beside the document there", {"-o", "-", "--ocr", "--text", "-", a}, 2,
         "leafbind-export: only one output can go to standard output (-): -o and --text both do\n...", out},
        {"a text file named as the document", {"-o", out, "--ocr", "--alto", out, a}, 2,
         "leafbind-export: -o and --alto name the same file\n...", out},
        {"a text file that exists, without -f", {"-o", out, "--ocr", "--text", existing, a}, 3,
         "leafbind-export: " + existing + ": already exists (--force replaces it)\n", existing, Unchanged},
        {"a text file that exists, forced", {"-f", "-o", out, "--ocr", "--text", existing, a}, 0, "", out, Pdf},
        {"a text file that is an input", {"-f", "-o", out, "--ocr", "--hocr", a, a}, 3,
         "leafbind-export: " + a + ": is one of the input files\n", a},
        {"an unusable entry: no text file", {"-o", out, "--ocr", "--alto", textFile, a, notJpeg}, 1,
         "leafbind-export: " + notJpeg + ": not a JPEG file\n", textFile},
        {"the document fails while writing: no text file", {"-f", "-o", "/dev/full", "--ocr", "--text", textFile, a}, 4,
         "leafbind-export: /dev/full: cannot be written: No space left on device\n", textFile},
        {"a text file that cannot be written: said, the document kept", {"-o", out, "--ocr", "--text", "/dev/full", a},
         4, "leafbind-export: /dev/full: cannot be written: No space left on device\n", out, Pdf},
        {"the document is refused: no text file", {"-o", existing, "--ocr", "--text", textFile, a}, 3,
         "leafbind-export: " + existing + ": already exists (--force replaces it)\n", textFile},
        {"--tessdata lacking the language, named before TESSDATA_PREFIX", {"-o", out, "--ocr", "--tessdata",
         dir.File("folder"), a}, 2, "leafbind-export: recognition language 'eng' is not installed: install the package "
         "tesseract-ocr-eng (no eng.traineddata in " + dir.File("folder") + ")\n", out, Absent, "", dir.File("own")},
        {"--tessdata with the language, over TESSDATA_PREFIX", {"-o", out, "--ocr", "--tessdata", dir.File("own"),
         "--text", textFile, a}, 0, "", out, Pdf, "", dir.File("garbage")},
        {"device fails while writing",
         {"-f", "-o", "/dev/full", a},
         4,
         "leafbind-export: /dev/full: cannot be written: No space left on device\n",
         out},
    };
    // Values the parser refuses: the value and the reason in one line, then the usage hint.
    struct Refused {
        std::string option, value, why;
    };
    const Refused refused[] = {
        {"--dpi", "0", "use auto or a number of dots per inch from 1 to 100,000"},
        {"--dpi", "0.999", "use auto or a number of dots per inch from 1 to 100,000"},
        {"--dpi", "100000.1", "use auto or a number of dots per inch from 1 to 100,000"},
        {"--page-size", "A6", "not a paper name (A3, A4, A5, B5, Letter, Legal) or WIDTHxHEIGHT"},
        {"--page-size", "8x11ft", "not WIDTHxHEIGHT with a unit of pt, mm, cm or in"},
        {"--page-size", "0x297mm", "each side must be 3 to 14,400 points (200 inches), what readers show"},
        {"--page-size", "2.99x100", "each side must be 3 to 14,400 points (200 inches), what readers show"},
        {"--page-size", "100x14400.1", "each side must be 3 to 14,400 points (200 inches), what readers show"},
        {"--fit", "stretch", "use into, fill or shrink"},
        {"--margin", "-1cm", "use a length such as 10mm, 0.5in or 36 (points)"},
        {"--date", "2026-02-29",
         "use now or a date that exists, as 2026-01-02, 2026-01-02T03:04:05 or 2026-01-02T03:04+01:00"},
        {"--date", "2026-01-02T03:04+15:00", "a UTC offset lies from -12:00 to +14:00, with minutes 00, 30 or 45"},
        {"--date", "2026-01-02T03:04+23:59", "a UTC offset lies from -12:00 to +14:00, with minutes 00, 30 or 45"},
        {"--date", "2026-01-02T03:04-12:30", "a UTC offset lies from -12:00 to +14:00, with minutes 00, 30 or 45"},
        {"--date", "2026-01-02T03:04+05:15", "a UTC offset lies from -12:00 to +14:00, with minutes 00, 30 or 45"},
        {"--pdfa", "3b", "use 2b or 1b"},
        {"--jobs", "0", "use a whole number from 1 to 256"},
        {"--jobs", "2x", "use a whole number from 1 to 256"},
        {"--shard", "2/2", "use K/N, a shard K from 0 to N - 1 of N shards (N up to 1,000,000)"},
        {"--shard", "0/0", "use K/N, a shard K from 0 to N - 1 of N shards (N up to 1,000,000)"},
        {"--shard", "-1/2", "use K/N, a shard K from 0 to N - 1 of N shards (N up to 1,000,000)"},
        {"--shard", "0/1000001", "use K/N, a shard K from 0 to N - 1 of N shards (N up to 1,000,000)"},
        {"--ocr-lang", "deu+", "use language names joined by +, as eng or deu+eng"},
        {"--ocr-lang", "../eng", "use language names joined by +, as eng or deu+eng"},
    };
    for (const Refused& r : refused)
        cases.push_back({"refused value",
                         {"-o", out, "--page-size=a4", r.option, r.value, a},
                         2,
                         "leafbind-export: invalid value '" + r.value + "' for " + r.option + ": " + r.why + usage,
                         out});
    // A file we may write in a folder where no new file may be made (immutable for root, whom
    // the folder's permissions do not stop).
    ASSERT_EQ(mkdir(dir.File("closed").c_str(), 0700), 0);
    const std::string closedFile = dir.Write("closed/out.pdf", kPrevious);
    ASSERT_EQ(chmod(dir.File("closed").c_str(), 0500), 0);
    const int closed = open(dir.File("closed").c_str(), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    const bool immutable = getuid() == 0 && ioctl(closed, FS_IOC_GETFLAGS, &flags) == 0
        && ioctl(closed, FS_IOC_SETFLAGS, &(flags |= FS_IMMUTABLE_FL)) == 0;
    if (getuid() != 0 || immutable)
        cases.push_back({"folder forbids new files",
                         {"-f", "-o", closedFile, a},
                         3,
                         "leafbind-export: " + closedFile
                             + ": cannot be replaced: Leafbind makes the new file beside the old one, and the folder "
                             + std::filesystem::canonical(dir.File("closed")).string() + " forbids new files (...",
                         closedFile,
                         Unchanged});
    dir.Write("one.txt", a + "\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dir.Write("existing.pdf", kPrevious);
        dir.Write("locked.pdf", kPrevious);
        const int holder = open(locked.c_str(), O_RDWR);
        ASSERT_EQ(flock(holder, LOCK_EX), 0);
        if (!c.tessdata.empty())
            setenv("TESSDATA_PREFIX", c.tessdata.c_str(), 1);
        const ProgramRun run = RunExportProgram(c.args, c.input, RLIM_INFINITY, dir.Path());
        setenv("TESSDATA_PREFIX", tessdata.c_str(), 1);
        close(holder);
        EXPECT_EQ(run.status, c.status);
        if (c.message.ends_with("..."))
            EXPECT_EQ(run.err.substr(0, c.message.size() - 3), c.message.substr(0, c.message.size() - 3));
        else
            EXPECT_EQ(run.err, c.message);
        EXPECT_EQ(run.out, "");
        if (c.expect == Pdf)
            EXPECT_EQ(Exists(c.output) ? ReadFileBytes(c.output).substr(0, 7) : "absent", "%PDF-1.");
        else if (c.expect == Unchanged)
            EXPECT_EQ(ReadFileBytes(c.output), kPrevious);
        else if (c.output == a)
            EXPECT_EQ(ReadFileBytes(a), aBytes);
        else
            EXPECT_FALSE(Exists(c.output));
        if (const auto text = std::find(c.args.begin(), c.args.end(), "--text"); c.status == 0 && text != c.args.end()) {
            EXPECT_EQ(ReadFileBytes(text[1]), "\f");  // MakeJpeg's page has no words
        }
        unlink(out.c_str());
        unlink(textFile.c_str());
    }
    EXPECT_TRUE(Exists("/dev/full"));
    if (immutable)
        ioctl(closed, FS_IOC_SETFLAGS, &(flags &= ~FS_IMMUTABLE_FL));
    close(closed);
    chmod(dir.File("closed").c_str(), 0700);
}

TEST(Arguments, HelpAndVersionGoToStandardOutput)
{
    const ProgramRun help = RunExportProgram({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.starts_with("Usage: leafbind-export -o OUT.pdf [options] [JPEG ...]\n"));
    const ProgramRun version = RunExportProgram({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "leafbind-export 1.0\n");
}

TEST(Arguments, FailureWhileWritingRemovesThePartialOutput)
{
    TempDir dir;
    const std::string big
        = dir.Write("big.jpg", MakeJpeg({.width = 400, .height = 400, .quality = 100, .gradient = true}));
    const std::string out = dir.File("out.pdf");
    const ProgramRun run = RunExportProgram({"-o", out, big, big}, "", ReadFileBytes(big).size());
    EXPECT_EQ(run.status, 4);
    EXPECT_EQ(run.err,
              "leafbind-export: " + out + ": cannot be written: the file grew past the size limit (File too large)\n");
    EXPECT_FALSE(Exists(out));
}
