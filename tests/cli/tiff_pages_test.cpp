// SPDX-License-Identifier: GPL-2.0-or-later
// TIFF files through the real leafbind-export, made by ImageMagick and libtiff's tools and read back
// with qpdf, MuPDF and poppler against ImageMagick's decoding of the same file.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "IccProfiles.h"
#include "PdfAChecks.h"
#include "RunProgram.h"
#include "ShellCommand.h"
#include "TempDir.h"

namespace {

// The samples ImageMagick decodes from `image` (a file, "file.tif[n]" for a page) in `space`
// (gray, rgb or cmyk) at 8 bits, after `options`.
std::string Samples(const std::string& image, const std::string& space, const std::string& options = "")
{
    return RunCommand("convert " + Quoted(image) + " " + options + " -depth 8 " + space + ":-").output;
}

// Page `page` (from 1) as MuPDF draws it at 72 dpi, one pixel per point, in `space`.
std::string MuPdfPage(const TempDir& dir, const std::string& pdf, int page, const std::string& space)
{
    const std::string drawn = dir.File("mupdf.pam");
    RunCommand("mutool draw -q -r 72 -c " + space + " -o " + Quoted(drawn) + " " + Quoted(pdf) + " " + std::to_string(page));
    return Samples(drawn, space);
}

// Page `page` as poppler draws it at 288 dpi, each 4 x 4 block's centre: poppler is not exact at 72.
std::string PopplerPage(const TempDir& dir, const std::string& pdf, int page, const std::string& space, int width)
{
    const std::string drawn = dir.File("poppler");
    const std::string p = std::to_string(page);
    RunCommand("pdftoppm -r 288 -singlefile -f " + p + " -l " + p + (space == "gray" ? " -gray " : " ") + Quoted(pdf)
               + " " + Quoted(drawn));
    const std::string big = Samples(drawn + (space == "gray" ? ".pgm" : ".ppm"), space);
    const size_t channels = space == "gray" ? 1 : 3, row = size_t(width) * 4 * channels;
    std::string centres;
    for (size_t y = 2; (y + 1) * row <= big.size(); y += 4)
        for (size_t x = 2; x < size_t(width) * 4; x += 4)
            centres += big.substr(y * row + x * channels, channels);
    return centres;
}

// Where each strip of the first directory lies, as tiffinfo tells.
std::string StripBytes(const std::string& tiff)
{
    const std::string listing = RunCommand("tiffinfo -s " + Quoted(tiff)).output;
    const std::string file = ReadFileBytes(tiff);
    std::smatch m;
    std::string bytes;
    std::string::const_iterator from = listing.begin();
    while (std::regex_search(from, listing.end(), m, std::regex(R"(\n +\d+: \[ *(\d+), *(\d+)\])"))) {
        bytes += file.substr(std::stoul(m[1]), std::stoul(m[2]));
        from = m.suffix().first;
    }
    return bytes;
}

std::string ReversedBits(std::string bytes)
{
    for (char& c : bytes) {
        uint8_t b = uint8_t(c), r = 0;
        for (int i = 0; i < 8; ++i)
            r = uint8_t(r | ((b >> i & 1) << (7 - i)));
        c = char(r);
    }
    return bytes;
}

std::string Info(const std::string& pdf, const char* field)
{
    std::smatch m;
    const std::string info = RunCommand("pdfinfo " + Quoted(pdf)).output;
    return std::regex_search(info, m, std::regex(std::string(field) + ": +([^\n]+)")) ? m[1].str() : info;
}

}  // namespace

// Each coding a scanner or converter writes, made from one drawing: the pages show the file's own
// pixels in MuPDF and poppler, and where the strip is copied the stream holds its bytes.
TEST(TiffPages, EachCodingShownAsTheFileDecodes)
{
    TempDir dir;
    const std::string drawing = dir.File("drawing.png"), colour = dir.File("colour.png");
    ASSERT_EQ(RunCommand("convert -size 203x61 xc:white -fill black -draw 'circle 60,30 60,4' -draw 'rectangle 120,5 "
                         "190,20' -draw 'line 0,60 202,0' -monochrome " + Quoted(drawing))
                  .status, 0);
    ASSERT_EQ(RunCommand("convert -size 67x45 gradient:red-blue -fill yellow -draw 'circle 30,20 30,5' -depth 8 "
                         "-type TrueColor " + Quoted(colour))
                  .status, 0);
    enum Copy { Decoded, Strip, StripReversed, JpegStrip };
    struct Case {
        const char* name;
        std::string make;  // a shell command writing $OUT from $BW (the bilevel drawing) or $RGB
        std::string space;  // the samples compared: gray, rgb or cmyk
        Copy copy;
        std::string filter;  // in the image dictionary
    };
    const Case cases[] = {
        {"G4, one strip", "convert $BW -compress Group4 $OUT", "gray", Strip, "/CCITTFaxDecode"},
        {"G3 1-D with fill bits", "convert $BW -compress Fax $OUT", "gray", Strip, "/EncodedByteAlign true /EndOfLine true"},
        {"G3 2-D", "convert $BW -compress Group4 t.tif && tiffcp -c g3:2d t.tif $OUT", "gray", Strip, "/K 1"},
        {"G3 2-D with fill bits", "convert $BW -compress Group4 t.tif && tiffcp -c g3:2d:fill t.tif $OUT", "gray", Strip,
         "/EncodedByteAlign true /EndOfLine true /K 1"},
        {"G3 1-D without end-of-line codes",
         "convert $BW -compress Group4 t.tif && tiffcp -c g3:1d t.tif $OUT", "gray", Strip, "/K 0"},
        {"G4, fill order 2: the bits of each byte reversed",
         "convert $BW -compress Group4 -define tiff:fill-order=lsb $OUT", "gray", StripReversed, "/K -1"},
        {"G4, photometric 1 (black is zero)",
         "convert $BW -compress Group4 -define quantum:polarity=min-is-black $OUT", "gray", Strip, "/BlackIs1 true"},
        {"G4 in strips of 16 rows: one Group 4 stream of the same pixels",
         "convert $BW -compress Group4 t.tif && tiffcp -r 16 t.tif $OUT", "gray", Decoded, "/K -1 /Rows 61"},
        {"G3 2-D in strips of 7 rows, photometric 1",
         "convert $BW -compress Group4 -define quantum:polarity=min-is-black t.tif && tiffcp -c g3:2d -r 7 t.tif $OUT",
         "gray", Decoded, "/BlackIs1 true /Columns 203 /K -1"},
        {"G4 in 32 x 32 tiles", "convert $BW -compress Group4 t.tif && tiffcp -t -w 32 -l 32 t.tif $OUT", "gray",
         Decoded, "/K -1"},
        {"Deflate bilevel, photometric 0", "convert $BW -compress Zip -define quantum:polarity=min-is-white $OUT",
         "gray", Strip, "/Decode [ 1 0 ]"},
        {"Deflate grey with predictor 2", "convert $RGB -colorspace gray -compress Zip -define tiff:predictor=2 $OUT",
         "gray", Strip, "/Predictor 2"},
        {"Deflate RGB with predictor 2", "convert $RGB -compress Zip -define tiff:predictor=2 $OUT", "rgb", Strip,
         "/Predictor 2"},
        {"Deflate palette", "convert $RGB -colors 16 -compress Zip $OUT", "rgb", Strip, "/Indexed /DeviceRGB 15"},
        {"Deflate CMYK, no inversion", "convert $RGB -colorspace CMYK -compress Zip $OUT", "cmyk", Strip,
         "/DeviceCMYK"},
        {"LZW RGB, decoded and compressed with Flate", "convert $RGB -compress LZW $OUT", "rgb", Decoded,
         "/FlateDecode"},
        {"PackBits grey", "convert $RGB -colorspace gray -compress RLE $OUT", "gray", Decoded, "/FlateDecode"},
        {"uncompressed bilevel, photometric 0: 0 is white",
         "convert $BW -compress none -define quantum:polarity=min-is-white $OUT", "gray", Decoded, "/DeviceGray"},
        {"LZW palette in 16 x 16 tiles", "convert $RGB -colors 7 -compress none t.tif && tiffcp -c lzw -t -w 16 -l 16 t.tif $OUT",
         "rgb", Decoded, "/Indexed /DeviceRGB"},
        {"Deflate at 16 bits in a little-endian file: samples turned big-endian",
         "convert $RGB -type TrueColor -depth 16 -compress Zip -define tiff:endian=lsb $OUT", "rgb", Decoded, "/BitsPerComponent 16"},
        {"JPEG in strips of 16 rows, decoded", "convert $RGB -type TrueColor -compress Zip t.tif && tiffcp -c jpeg:95 -r 16 t.tif $OUT",
         "rgb", Decoded, "/FlateDecode"},
        {"JPEG, YCbCr", "convert $RGB -type TrueColor -compress Zip t.tif && tiffcp -c jpeg:95 t.tif $OUT", "rgb", JpegStrip,
         "/DCTDecode"},
        {"JPEG, RGB", "convert $RGB -compress JPEG -quality 95 $OUT", "rgb", JpegStrip, "/ColorTransform 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string source = dir.File("page.tif"), out = dir.File("out.pdf");
        std::string make = std::regex_replace(c.make, std::regex("\\$OUT"), Quoted(source));
        make = std::regex_replace(make, std::regex("\\$BW"), Quoted(drawing));
        make = std::regex_replace(make, std::regex("\\$RGB"), Quoted(colour));
        ASSERT_EQ(RunCommand("cd " + Quoted(dir.Path()) + " && " + make).status, 0) << make;
        const ProgramRun run = RunExportProgram({"-f", "-o", out, source});
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string image = RunCommand("qpdf --show-object=4 " + Quoted(out)).output;
        EXPECT_NE(image.find(c.filter), std::string::npos) << image;
        const std::string raw = RunCommand("qpdf --show-object=4 --raw-stream-data " + Quoted(out)).output;
        const std::string strip = StripBytes(source);
        if (c.copy == Strip)
            EXPECT_TRUE(raw == strip);
        if (c.copy == StripReversed)
            EXPECT_TRUE(raw == ReversedBits(strip));
        if (c.copy == JpegStrip)
            EXPECT_TRUE(raw.size() > strip.size() && raw.compare(raw.size() + 2 - strip.size(), strip.size() - 2, strip, 2) == 0);
        // One image, whatever the strips: readers would draw seams between several.
        EXPECT_EQ(RunCommand("pdfimages -list " + Quoted(out) + " | tail -n +3 | wc -l").output, "1\n");
        const std::string own = Samples(source, c.space);
        // JPEG decoders may round differently, and a palette's 16-bit values are rounded to 8 bits
        // (ImageMagick drops the fraction); every other page is exact.
        const auto same = [&](const std::string& drawn) {
            int most = drawn.size() == own.size() && !own.empty() ? 0 : 256;
            for (size_t i = 0; i < own.size() && most < 256; ++i)
                most = std::max(most, std::abs(int(uint8_t(own[i])) - int(uint8_t(drawn[i]))));
            return most <= (c.copy == JpegStrip || c.make.find("jpeg") != std::string::npos ? 3
                            : c.filter.find("/Indexed") == 0                              ? 1
                                                                                          : 0);
        };
        EXPECT_TRUE(same(MuPdfPage(dir, out, 1, c.space))) << "MuPDF";
        // poppler turns CMYK into RGB its own way, which ImageMagick's is not.
        const int width = std::stoi(RunCommand("identify -format %w " + Quoted(source)).output);
        if (c.space != "cmyk")
            EXPECT_TRUE(same(PopplerPage(dir, out, 1, c.space, width))) << "poppler";
    }
}

// Alpha beside the colours becomes a soft mask: qpdf decodes the image and the mask to the file's own
// colours and alpha.
TEST(TiffPages, AlphaBecomesASoftMask)
{
    TempDir dir;
    const std::string source = dir.File("alpha.tif"), out = dir.File("out.pdf");
    ASSERT_EQ(RunCommand("convert -size 40x20 gradient:red-blue -type TrueColorAlpha -channel A -fx i/w -depth 8 -compress Zip "
                         + Quoted(source)).status, 0);
    ASSERT_EQ(RunExportProgram({"-f", "-o", out, source}).status, 0);
    const std::string image = RunCommand("qpdf --show-object=4 " + Quoted(out)).output;
    std::smatch mask;
    ASSERT_TRUE(std::regex_search(image, mask, std::regex("/SMask (\\d+) 0 R"))) << image;
    EXPECT_TRUE(RunCommand("qpdf --show-object=4 --filtered-stream-data " + Quoted(out)).output
                == Samples(source, "rgb", "-alpha off"));
    EXPECT_TRUE(RunCommand("qpdf --show-object=" + mask[1].str() + " --filtered-stream-data " + Quoted(out)).output
                == Samples(source, "gray", "-alpha extract"));
}

// A file of several pages: each directory a page in order, the reduced-resolution one left out,
// one bookmark for the file; each page's own orientation, density and profile.
TEST(TiffPages, PagesOfOneFileAndTheirOwnTags)
{
    TempDir dir;
    const std::string out = dir.File("out.pdf");
    const auto make = [&](const std::string& command) {
        EXPECT_EQ(RunCommand("cd " + Quoted(dir.Path()) + " && " + command).status, 0) << command;
    };
    make("convert -size 40x30 xc:white -fill black -draw 'circle 20,15 20,3' -monochrome -compress Group4 a.tif");
    make("convert -size 33x50 xc:white -fill black -draw 'rectangle 3,3 20,40' -monochrome -compress Group4 b.tif");
    make("convert a.tif -resize 50% -monochrome -compress Group4 small.tif");
    make("tiffcp a.tif small.tif b.tif multi.tif && tiffset -d 1 -s 254 1 multi.tif");
    const std::string multi = dir.File("multi.tif");
    ASSERT_EQ(RunExportProgram({"-f", "--bookmarks", "-o", out, multi, dir.File("a.tif")}).status, 0);
    EXPECT_EQ(Info(out, "Pages"), "3");
    // One item a file, opening its first page.
    const std::string outline = RunCommand("qpdf --json --json-key=outlines " + Quoted(out)).output;
    std::string items;
    const std::regex item("\"destpageposfrom1\": (\\d+),[^}]*\"title\": \"([^\"]*)\"");
    for (std::sregex_iterator it(outline.begin(), outline.end(), item), end; it != end; ++it)
        items += (*it)[2].str() + "@" + (*it)[1].str() + " ";
    EXPECT_EQ(items, "multi.tif@1 a.tif@3 ") << outline;
    // PDF/A-1b takes CCITT pages as they are.
    ASSERT_EQ(RunExportProgram({"-f", "--pdfa", "1b", "-o", out, multi}).status, 0);
    const ValidatorVerdict verdict = ValidatePdfA1b(out);
    EXPECT_TRUE(verdict.valid) << verdict.report;
    EXPECT_EQ(MuPdfPage(dir, out, 1, "gray"), Samples(multi + "[0]", "gray"));
    EXPECT_EQ(MuPdfPage(dir, out, 2, "gray"), Samples(multi + "[2]", "gray"));

    // Orientation 6 (turned a quarter clockwise to show), 150 by 300 dpi per inch.
    make("cp b.tif turned.tif && tiffset -s 274 6 turned.tif && tiffset -s 282 150.0 turned.tif && tiffset -s 283 300.0 "
         "turned.tif && tiffset -s 296 2 turned.tif");
    const std::string turned = dir.File("turned.tif");
    ASSERT_EQ(RunExportProgram({"-f", "--auto-orient", "-o", out, turned}).status, 0);
    EXPECT_EQ(MuPdfPage(dir, out, 1, "gray"), Samples(turned, "gray", "-auto-orient"));
    EXPECT_EQ(Info(out, "Page size"), "50 x 33 pts");
    ASSERT_EQ(RunExportProgram({"-f", "-o", out, turned}).status, 0);
    EXPECT_EQ(Info(out, "Page size"), "33 x 50 pts");
    ASSERT_EQ(RunExportProgram({"-f", "--dpi", "auto", "-o", out, turned}).status, 0);
    EXPECT_EQ(Info(out, "Page size"), "15.84 x 12 pts");
    // Unit 1 states an aspect only: 72 dpi. Unit 3 is per centimetre.
    make("tiffset -s 296 1 turned.tif");
    ASSERT_EQ(RunExportProgram({"-f", "--dpi", "auto", "-o", out, turned}).status, 0);
    EXPECT_EQ(Info(out, "Page size"), "33 x 50 pts");
    make("tiffset -s 296 3 turned.tif");
    ASSERT_EQ(RunExportProgram({"-f", "--dpi", "auto", "-o", out, turned}).status, 0);
    EXPECT_EQ(Info(out, "Page size"), "6.2362 x 4.7244 pts");

    // Tag 34675 with --icc: the profile carried with the page.
    const std::string profile = AdobeRgbLikeProfile(2.1);
    dir.Write("rgb.icc", profile);
    make("convert -size 20x10 xc:orange -depth 8 -type TrueColor -profile rgb.icc -compress Zip icc.tif");
    ASSERT_EQ(RunExportProgram({"-f", "--icc", "-o", out, dir.File("icc.tif")}).status, 0);
    EXPECT_NE(RunCommand("qpdf --show-object=4 " + Quoted(out)).output.find("/ColorSpace [ /ICCBased 6 0 R ]"),
              std::string::npos);
    EXPECT_EQ(RunCommand("qpdf --show-object=6 --filtered-stream-data " + Quoted(out)).output, profile);
}
