// SPDX-License-Identifier: GPL-2.0-or-later
// The output's running hash equals the hash of the file as written, however the bytes arrive.
#include <gtest/gtest.h>

#include "OutputFile.h"
#include "ReaderTools.h"
#include "TempDir.h"

using engine_test::Quoted;
using engine_test::RunCommand;

namespace {

// A piece of output: text handed over whole, or a file of that many bytes copied in.
struct Piece {
    bool fromFile;
    size_t size;
};

std::string Filler(size_t size, char seed)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(seed + i * 7 + (i >> 9));
    return bytes;
}

}  // namespace

TEST(ContentDigest, EqualsTheHashOfTheWrittenFile)
{
    constexpr size_t kBuffer = 512 * 1024;  // the output's buffer: pieces around it take every path
    const std::vector<std::vector<Piece>> rows = {
        {},
        {{false, 3}},
        {{false, 10}, {true, 1}, {false, 0}, {true, 5000}},
        {{true, kBuffer - 1}, {false, 2}, {true, kBuffer + 1}},
        {{false, kBuffer + 17}, {true, 3 * kBuffer}, {false, 1}},
    };
    for (size_t row = 0; row < rows.size(); ++row) {
        SCOPED_TRACE(row);
        TempDir dir;
        const std::string output = dir.File("out");
        posixfile::OutputFile out;
        ASSERT_EQ(out.Open(output, {}), posixfile::OutputFile::OpenResult::Opened);
        out.StartContentDigest();
        for (size_t i = 0; i < rows[row].size(); ++i) {
            const Piece& piece = rows[row][i];
            const std::string bytes = Filler(piece.size, static_cast<char>(i));
            if (!piece.fromFile) {
                ASSERT_TRUE(out.Write(bytes));
                continue;
            }
            posixfile::InputFile input;
            ASSERT_TRUE(input.Open(dir.Write("in" + std::to_string(i), bytes)));
            ASSERT_TRUE(out.CopyFrom(input, input.Size()));
        }
        const std::string id = out.ContentHash();
        ASSERT_TRUE(out.Close());
        const auto reference = RunCommand("xxhsum -H2 < " + Quoted(output));
        ASSERT_EQ(reference.status, 0) << reference.output;
        EXPECT_EQ(id, reference.output.substr(0, 32));
    }
}

TEST(ContentDigest, OnlyWhenStarted)
{
    TempDir dir;
    posixfile::OutputFile out;
    ASSERT_EQ(out.Open(dir.File("out"), {}), posixfile::OutputFile::OpenResult::Opened);
    ASSERT_TRUE(out.Write("window bytes"));
    EXPECT_FALSE(out.HashesContent());
}
