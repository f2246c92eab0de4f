// SPDX-License-Identifier: GPL-2.0-or-later
// Image bytes reach the document unchanged whatever their size (small ones are gathered in the
// output's buffer, large ones copied by the kernel), however they line up with the buffer, and on
// whichever file system the output lies.
#include <sys/vfs.h>

#include <gtest/gtest.h>

#include <linux/magic.h>

#include <memory>

#include "FrameHeaderBytes.h"
#include "TempDir.h"
#include "jpeg2pdf.h"

using jpeg2pdf::ConvertJpegListToPdf;
using jpeg2pdf::kExportSaved;

namespace {

// A JPEG whose filler differs from byte to byte and from file to file, so a misplaced or
// repeated block shows.
std::string PatternedJpeg(size_t size, int seed)
{
    std::string bytes = engine_test::JpegOfSize(40, 30, 3, size);
    for (size_t i = 32; i < size; ++i)
        bytes[i] = static_cast<char>((i * 131 + i / 4093 + static_cast<size_t>(seed) * 17) & 0xFF);
    return bytes;
}

// A folder in memory (tmpfs), whose kernel copy works unlike a disk's; null where there is none.
std::unique_ptr<TempDir> TmpfsFolder()
{
    struct statfs info {};
    if (statfs("/dev/shm", &info) != 0 || info.f_type != TMPFS_MAGIC || setenv("TMPDIR", "/dev/shm", 1) != 0)
        return nullptr;
    auto dir = std::make_unique<TempDir>();
    unsetenv("TMPDIR");
    return dir;
}

}  // namespace

TEST(ImageCopy, EveryImageArrivesWholeAndInPlace)
{
    struct Case {
        const char* name;
        std::vector<size_t> sizes;
    };
    const std::vector<Case> cases = {
        {"small files straddling the buffer's end", std::vector<size_t>(400, 3001)},
        {"around the small-file limit", {64 * 1024 - 1, 64 * 1024, 64 * 1024 + 1, 100}},
        {"larger than the buffer, odd sizes", {512 * 1024 + 3, 33, 3 * 1024 * 1024 + 11, 512 * 1024 - 5}},
        {"tiny beside large", {64, 2 * 1024 * 1024, 64}},
    };
    TempDir inputs;
    std::unique_ptr<TempDir> tmpfs = TmpfsFolder();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> paths, contents;
        for (size_t i = 0; i < c.sizes.size(); ++i) {
            contents.push_back(PatternedJpeg(c.sizes[i], static_cast<int>(i)));
            paths.push_back(inputs.Write("in" + std::to_string(i) + ".jpg", contents.back()));
        }
        std::vector<std::string> outputs = {inputs.File("out.pdf")};
        if (tmpfs)
            outputs.push_back(tmpfs->File("out.pdf"));
        for (const std::string& output : outputs) {
            SCOPED_TRACE(output);
            ASSERT_EQ(ConvertJpegListToPdf(paths, output), kExportSaved);
            const std::string pdf = ReadFileBytes(output);
            size_t from = 0;
            for (size_t i = 0; i < contents.size(); ++i) {
                const std::string framed = "/Length " + std::to_string(contents[i].size()) + " >>\nstream\n"
                                           + contents[i] + "endstream\nendobj\n";
                const size_t at = pdf.find(framed, from);
                ASSERT_NE(at, std::string::npos) << "image " << i;
                from = at + framed.size();
            }
            EXPECT_EQ(pdf.substr(pdf.size() - 5), "%%EOF");
            EXPECT_EQ(pdf, ReadFileBytes(outputs.front()));
        }
    }
}
