// SPDX-License-Identifier: GPL-2.0-or-later
// --strip-metadata from the command line: the document carries the picture only; without the
// option the file goes in whole.
#include <gtest/gtest.h>

#include "MakeJpeg.h"
#include "PhoneJpeg.h"
#include "RunProgram.h"

TEST(StripMetadata, OnlyTheOptionLeavesOutExifTheCommentAndTheTrailer)
{
    TempDir dir;
    const phone_jpeg::Parts parts = phone_jpeg::Split(MakeJpeg({.width = 32, .height = 24}));
    const std::string picture = parts.startOfImage + parts.appSegments + parts.tablesOnward;
    const std::string phone = parts.startOfImage + phone_jpeg::Exif(1) + parts.appSegments
        + phone_jpeg::Comment("Jane's phone") + parts.tablesOnward + phone_jpeg::MotionPhotoTrailer(2000);
    const std::string input = dir.Write("phone.jpg", phone);
    for (const bool strip : {false, true}) {
        SCOPED_TRACE(strip);
        const std::string output = dir.File(strip ? "stripped.pdf" : "whole.pdf");
        std::vector<std::string> args = {"-o", output, input};
        if (strip)
            args.insert(args.begin(), "--strip-metadata");
        const ProgramRun run = RunExportProgram(args);
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string pdf = ReadFileBytes(output);
        EXPECT_EQ(pdf.find(picture) != std::string::npos, strip);
        EXPECT_EQ(pdf.find(phone) != std::string::npos, !strip);
        EXPECT_EQ(pdf.find("SN-0047113") != std::string::npos, !strip);  // the camera's serial number
    }
}
