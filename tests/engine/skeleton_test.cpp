// SPDX-License-Identifier: GPL-2.0-or-later
#include <gtest/gtest.h>

#include "MakeJpeg.h"
#include "TempDir.h"

// The test helpers themselves: a made JPEG starts with SOI and ends with EOI.
TEST(TestSupport, MakesJpegFiles)
{
    TempDir dir;
    const std::string bytes = MakeJpeg({});
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(bytes[1]), 0xD8);
    EXPECT_EQ(static_cast<unsigned char>(bytes[bytes.size() - 1]), 0xD9);
    EXPECT_EQ(ReadFileBytes(dir.Write("a.jpg", bytes)), bytes);
}
