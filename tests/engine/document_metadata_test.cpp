// SPDX-License-Identifier: GPL-2.0-or-later
// Document information, bookmarks and the document ID as real readers see them.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "ExportDetails.h"
#include "MakeJpeg.h"
#include "ReaderTools.h"
#include "TempDir.h"

using engine_test::Quoted;
using engine_test::RunCommand;

namespace {

// Exports `paths` (a small picture each, made when missing) with `options` into a new file of `dir`.
std::string Export(const TempDir& dir, const std::vector<std::string>& names, const jpeg2pdf::ExportOptions& options)
{
    static int outputs = 0;
    std::vector<std::string> paths;
    for (const std::string& name : names) {
        paths.push_back(dir.File(name));
        if (access(paths.back().c_str(), F_OK) != 0)
            dir.Write(name, MakeJpeg({.width = 4, .height = 3}));
    }
    return engine_test::Export(dir, paths, options, "out" + std::to_string(++outputs) + ".pdf");
}

// Runs a pikepdf script over `files`; its standard output.
std::string Read(const TempDir& dir, const std::string& script, const std::vector<std::string>& files)
{
    std::string arguments;
    for (const std::string& file : files)
        arguments += " " + Quoted(file);
    const auto result = engine_test::RunPython(dir, "import sys, pikepdf\n" + script, arguments);
    EXPECT_EQ(result.status, 0) << result.output;
    return result.output;
}

std::string Hex(const std::string& bytes)
{
    std::string hex;
    for (unsigned char c : bytes)
        hex += "0123456789abcdef"[c >> 4], hex += "0123456789abcdef"[c & 15];
    return hex;
}

}  // namespace

TEST(DocumentMetadata, TextComesBackAsTypedWithoutChangingTheStructure)
{
    struct Row {
        std::string typed;
        bool utf16;
        std::string readBack = "";  // empty: as typed
    };
    const std::vector<Row> rows = {
        {"Trip (2026) \\ )>> /Evil (x)", false},
        {"(((\\", false},
        {"line\nbreak\r\nreturn\rtab\t123", false},
        {"é € ﬁ ﬂ • – — ‹ › ™ Œ Ÿ Ž ı ł ˘ ˇ ˆ ˙ ˝ ˛ ˚ ˜ ÿ", false},
        {"þÿ begins like a byte-order mark", true},
        {"ï»¿ begins like UTF-8's", true},
        {"Привет, 東京 🌋 (x)\\", true},
        {"soft\u00ADhyphen, bell\x07, delete\x7F", true},
        {"caf\xE9 \xF0\x9F\x98", true, "caf\uFFFD \uFFFD\uFFFD\uFFFD"},
    };
    TempDir dir;
    std::vector<std::string> outputs;
    for (const Row& row : rows) {
        jpeg2pdf::ExportOptions options;
        options.info.title = options.info.author = options.info.subject = options.info.keywords = row.typed;
        outputs.push_back(Export(dir, {"a.jpg", "b.jpg"}, options));
        EXPECT_EQ(engine_test::StructureFaults(outputs.back()), "");
    }
    const std::string report = Read(dir, R"(
for name in sys.argv[1:]:
    pdf = pikepdf.open(name)
    info = pdf.docinfo
    fields = set(str(info[key]).encode().hex() for key in ("/Title", "/Author", "/Subject", "/Keywords"))
    print(*fields, bytes(info.Title)[:2] == b"\xfe\xff", sorted(info.keys()), pdf.trailer.Size, len(pdf.objects))
)",
                                    outputs);
    // Two pages of three objects each, catalog, page tree, information dictionary: nothing more.
    std::string expected;
    for (const Row& row : rows)
        expected += Hex(row.readBack.empty() ? row.typed : row.readBack) + (row.utf16 ? " True" : " False")
                    + " ['/Author', '/Keywords', '/Producer', '/Subject', '/Title'] 10 9\n";
    EXPECT_EQ(report, expected);
}

// The date's forms are DocumentDateText's table; here, that one reaches the file.
TEST(DocumentMetadata, DateAndProducerAsWritten)
{
    TempDir dir;
    jpeg2pdf::ExportOptions options;
    options.info.hasDate = true;
    options.info.created = {1999, 7, 8, 9, 10, 11, true, -210};
    EXPECT_EQ(Read(dir, "info = pikepdf.open(sys.argv[1]).docinfo\nprint(info.CreationDate, info.Producer)\n",
                   {Export(dir, {"a.jpg"}, options)}),
              "D:19990708091011-03'30' Leafbind 1.0\n");
}

TEST(DocumentMetadata, SameCommandSameBytesWithAnIdFromTheContent)
{
    TempDir dir;
    jpeg2pdf::ExportOptions options;
    options.bookmarks = true;
    options.info.title = "Album";
    const std::vector<std::string> names = {"a.jpg", "b.jpg"};
    const std::string first = ReadFileBytes(Export(dir, names, options));
    EXPECT_EQ(ReadFileBytes(Export(dir, names, options)), first);
    options.info.title = "Album 2";
    const std::string other = ReadFileBytes(Export(dir, names, options));

    const auto trailer = [](const std::string& pdf) { return pdf.substr(pdf.rfind("trailer\n")); };
    const std::string content = dir.Write("content", first.substr(0, first.rfind("trailer\n")));
    const std::string hash = RunCommand("xxhsum -H2 < " + Quoted(content)).output.substr(0, 32);
    EXPECT_NE(trailer(first).find("/ID [<" + hash + "> <" + hash + ">]"), std::string::npos) << trailer(first);
    EXPECT_NE(trailer(other).substr(trailer(other).find("/ID")), trailer(first).substr(trailer(first).find("/ID")));

    // Bookmarks alone describe no document: no information dictionary, no ID.
    options.info = {};
    const std::string plain = ReadFileBytes(Export(dir, names, options));
    EXPECT_EQ(trailer(plain).find("/ID"), std::string::npos);
    EXPECT_EQ(trailer(plain).find("/Info"), std::string::npos);
}

TEST(DocumentMetadata, BookmarksOpenTheirPagesTitledWithTheShownName)
{
    struct Row {
        std::vector<std::string> names;
        std::string expected;  // title and page number of each entry, then the page mode and the root's count
    };
    std::string twenty;
    std::vector<std::string> twentyNames;
    for (int i = 0; i < 20; ++i) {
        twentyNames.push_back(i % 2 ? "b.jpg" : "a.jpg");
        twenty += twentyNames.back() + " " + std::to_string(i) + "\n";
    }
    std::vector<std::string> twentyOneNames = twentyNames;
    twentyOneNames.push_back("sub/a (1).jpg");
    const std::vector<Row> rows = {
        {{"sub/a (1).jpg", "caf\xE9.jpg", "sub/a (1).jpg", "\xEF\xBB\xBF\xD0\xB6.jpg"},
         "a (1).jpg 0\ncaf\uFFFD.jpg 1\na (1).jpg 2\n\u0436.jpg 3\n/UseOutlines 4\n"},
        {twentyNames, twenty + "/UseOutlines 20\n"},
        {twentyOneNames, twenty + "a (1).jpg 20\nNone 21\n"},
    };
    TempDir dir;
    mkdir(dir.File("sub").c_str(), 0700);
    jpeg2pdf::ExportOptions options;
    options.bookmarks = true;
    std::vector<std::string> outputs;
    std::string expected;
    for (const Row& row : rows) {
        outputs.push_back(Export(dir, row.names, options));
        expected += row.expected;
    }
    EXPECT_EQ(Read(dir, R"(
for name in sys.argv[1:]:
    pdf = pikepdf.open(name)
    pages = [page.objgen for page in pdf.pages]
    with pdf.open_outline() as outline:
        for item in outline.root:
            print(item.title, pages.index(item.destination[0].objgen))
    print(pdf.Root.get("/PageMode"), pdf.Root.Outlines.Count)
)",
                   outputs),
              expected);
}
