// SPDX-License-Identifier: GPL-2.0-or-later
// --strip-metadata through the whole engine: each image stream is the stripped file, its length
// is exact, the page is still upright, and real readers accept the document.
#include <gtest/gtest.h>

#include "ExportDetails.h"
#include "MakeJpeg.h"
#include "PhoneJpeg.h"
#include "ReaderTools.h"

using namespace engine_test;

TEST(StripMetadataExport, StreamsHoldThePicturesOnlyWithExactLengths)
{
    TempDir dir;
    // A phone photo turned by its Exif (stored 48 x 40, shown 40 x 48), a CMYK one, a bare file.
    const std::vector<std::pair<JpegRecipe, int>> pictures = {  // recipe and Exif orientation, 0: no metadata
        {{.width = 48, .height = 40, .progressive = true, .restartInterval = 1, .gradient = true}, 6},
        {{.width = 24, .height = 16, .components = 4}, 1},
        {{.width = 8, .height = 8}, 0},
    };
    std::vector<std::string> paths, expected;
    for (const auto& [recipe, orientation] : pictures) {
        const phone_jpeg::Parts parts = phone_jpeg::Split(MakeJpeg(recipe));
        const std::string picture = parts.startOfImage + parts.appSegments + parts.tablesOnward;
        std::string file = picture;
        if (orientation != 0)
            file = parts.startOfImage + phone_jpeg::Exif(orientation) + parts.appSegments + phone_jpeg::Xmp()
                + phone_jpeg::Comment("Jane's phone") + parts.tablesOnward + phone_jpeg::MotionPhotoTrailer(3000);
        const std::string number = std::to_string(paths.size());
        paths.push_back(dir.Write("in" + number + ".jpg", file));
        expected.push_back(dir.Write("expected" + number + ".jpg", picture));
    }
    const std::string pdf = dir.File("out.pdf");
    jpeg2pdf::ExportOptions options;
    options.stripMetadata = true;
    options.autoOrient = true;
    options.info.title = "Album";  // a document ID too: the output is hashed as it is written
    ASSERT_EQ(jpeg2pdf::ExportResultCode(jpeg2pdf::ExportJpegList(paths, pdf, options)), jpeg2pdf::kExportSaved);

    EXPECT_EQ(StructureFaults(pdf), "");
    const CommandResult read
        = RunPython(dir, R"(import sys, pikepdf
pdf = pikepdf.open(sys.argv[1])
for page, name in zip(pdf.pages, sys.argv[2:]):
    image = page.Resources.XObject.Im0
    raw = bytes(image.read_raw_bytes())
    print(raw == open(name, "rb").read(), int(image.stream_dict.Length) == len(raw),
          [int(v) for v in page.MediaBox], str(image.ColorSpace))
)",
                    Quoted(pdf) + " " + Quoted(expected[0]) + " " + Quoted(expected[1]) + " " + Quoted(expected[2]));
    ASSERT_EQ(read.status, 0) << read.output;
    EXPECT_EQ(read.output,
              "True True [0, 0, 40, 48] /DeviceRGB\n"
              "True True [0, 0, 24, 16] /DeviceCMYK\n"
              "True True [0, 0, 8, 8] /DeviceRGB\n");
}
