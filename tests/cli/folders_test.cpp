// SPDX-License-Identifier: GPL-2.0-or-later
// leafbind-export --folders on a tree of scans: which folder becomes which PDF with which pages,
// what is skipped and said, a run that resumes, and shards that cover every folder once. Each
// page is told by its image (PageImages.h).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "MakeJpeg.h"
#include "MakePng.h"
#include "PageImages.h"
#include "RunProgram.h"
#include "ShellCommand.h"
#include "TempDir.h"

namespace {

const std::string kPrevious = "previous contents";

// Every file under `folder`, by its path relative to it.
std::set<std::string> FilesUnder(const std::string& folder)
{
    std::set<std::string> files;
    if (!std::filesystem::exists(folder))
        return files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files.insert(std::filesystem::relative(entry.path(), folder).string());
    return files;
}

ino_t Inode(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

// A tree of scans with every kind of folder and file a scanner's share holds.
struct ScanTree {
    TempDir dir;
    std::map<std::string, std::string> jpegs;  // name -> bytes
    std::string out = dir.File("pdfs");

    ScanTree()
    {
        for (const char* folder : {"scans", "scans/1987", "scans/1987/box-3", "scans/1987/empty", "scans/.thumbs",
                                   "scans/1988", "scans/1988/damaged", "scans/done", "scans/box\xE9"})
            mkdir(dir.File(folder).c_str(), 0700);
        Jpeg("scans/IMG_10.jpg", 1);
        Jpeg("scans/IMG_2.jpg", 2);
        dir.Write("scans/notes.txt", "not a picture\n");
        dir.Write("scans/.DS_Store", "\xFF\xD8\xFF hidden");
        Jpeg("scans/1987/box-3/a", 3);  // no extension: told by its first bytes
        dir.Write("scans/1987/box-3/b.png", MakePng({}).file);
        Jpeg("scans/1987/box-3/c.jpg", 4);
        Jpeg("scans/.thumbs/t.jpg", 5);
        Jpeg("scans/1988/damaged/good.jpg", 6);
        dir.Write("scans/1988/damaged/cut.jpg", Cut(MakeJpeg({.width = 64, .height = 64})));
        dir.Write("scans/1988/damaged/other.jpg", Cut(MakeJpeg({.width = 32, .height = 32})));
        Jpeg("scans/done/p.jpg", 7);
        Jpeg("scans/box\xE9/q.jpg", 8);
        mkdir(out.c_str(), 0700);
        mkdir((out + "/scans").c_str(), 0700);
        dir.Write("pdfs/scans/done.pdf", kPrevious);
    }
    void Jpeg(const std::string& name, int n) { jpegs[name] = ReadFileBytes(dir.Write(name, MakeJpeg({.red = uint8_t(20 * n)}))); }
    // Cut inside the frame header: the engine refuses it.
    static std::string Cut(const std::string& jpeg) { return jpeg.substr(0, jpeg.find("\xFF\xC0") + 6); }
};

}  // namespace

TEST(Folders, EachFolderOfPicturesBecomesOnePdf)
{
    ScanTree tree;
    const ProgramRun run = RunExportProgram({"--folders", "-O", tree.out, "scans"}, "", RLIM_INFINITY, tree.dir.Path());
    EXPECT_EQ(run.status, 1);
    struct Row {
        const char* catches;
        std::string pdf;  // below -O
        std::vector<std::string> pages;  // the sources, in page order; empty: no PDF
    };
    const std::string png = "decoded";
    const Row rows[] = {
        {"the folder argument itself not a document, or names sorted as text", "scans.pdf",
         {"scans/IMG_2.jpg", "scans/IMG_10.jpg"}},
        {"nested folders flattened, or a file taken by its name", "scans/1987/box-3.pdf",
         {"scans/1987/box-3/a", png, "scans/1987/box-3/c.jpg"}},
        {"a folder without pictures made a document", "scans/1987.pdf", {}},
        {"an empty folder made a document", "scans/1987/empty.pdf", {}},
        {"a hidden folder read", "scans/.thumbs.pdf", {}},
        {"a refused folder written in part", "scans/1988/damaged.pdf", {}},
        {"a name's bytes changed", "scans/box\xE9.pdf", {"scans/box\xE9/q.jpg"}},
    };
    for (const Row& row : rows) {
        const std::string pdf = tree.out + "/" + row.pdf;
        if (row.pages.empty()) {
            EXPECT_FALSE(std::filesystem::exists(pdf)) << row.catches;
            continue;
        }
        std::vector<std::string> expected;
        for (const std::string& page : row.pages)
            expected.push_back(page == png ? "" : tree.jpegs[page]);
        std::vector<std::string> got = PageImages(pdf);
        for (size_t k = 0; k < got.size() && k < expected.size(); ++k)
            if (expected[k].empty())
                got[k] = "";  // the PNG page comes out decoded: it is there, in its place
        EXPECT_EQ(got, expected) << row.catches;
    }
    EXPECT_EQ(ReadFileBytes(tree.out + "/scans/done.pdf"), kPrevious);
    // Every reason of the refused folder, the folder itself, and one summary line.
    EXPECT_EQ(run.err,
              "leafbind-export: scans/1988/damaged/cut.jpg: the file ends before its frame header is complete\n"
              "leafbind-export: scans/1988/damaged/other.jpg: the file ends before its frame header is complete\n"
              "leafbind-export: scans/1988/damaged: refused, no PDF written\n"
              "leafbind-export: 3 written, 1 skipped (exist), 1 refused; left out: 1 file that is no picture, 2 hidden "
              "names\n");
}

TEST(Folders, ARunAgainResumesWhereTheLastStopped)
{
    ScanTree tree;
    const std::string box = tree.out + "/scans/1987/box-3.pdf";
    const std::string top = tree.out + "/scans.pdf";
    struct Row {
        const char* catches;
        std::vector<std::string> before;  // PDFs removed first, as a run that was stopped left them
        std::vector<std::string> options;
        int status;
        std::string summary;
        bool topRewritten;
    };
    const Row rows[] = {
        {"a first run", {}, {}, 1, "3 written, 1 skipped (exist), 1 refused", true},
        {"a finished PDF written again", {box}, {}, 1, "1 written, 3 skipped (exist), 1 refused", false},
        {"-f not replacing", {}, {"-f"}, 1, "4 written, 0 skipped (exist), 1 refused", true},
        {"-q saying more than the refusal", {}, {"-q", "--jobs=3"}, 1, "scans/1988/damaged: refused, no PDF written", false},
    };
    for (const Row& row : rows) {
        for (const std::string& pdf : row.before)
            unlink(pdf.c_str());
        const ino_t was = Inode(top);
        std::vector<std::string> args {"--folders", "-O", tree.out};
        args.insert(args.end(), row.options.begin(), row.options.end());
        args.push_back("scans");
        const ProgramRun run = RunExportProgram(args, "", RLIM_INFINITY, tree.dir.Path());
        EXPECT_EQ(run.status, row.status) << row.catches;
        // The last line: the summary, up to what was left out.
        const size_t last = run.err.rfind("leafbind-export: ");
        const std::string summary = last == std::string::npos ? "" : run.err.substr(last + 17);
        EXPECT_EQ(summary.substr(0, summary.find_first_of(";\n")), row.summary) << row.catches << run.err;
        EXPECT_EQ(Inode(top) != was, row.topRewritten) << row.catches;
        EXPECT_EQ(PageImages(box).size(), 3u) << row.catches;
    }
}

TEST(Folders, ShardsCoverEveryFolderOnce)
{
    TempDir dir;
    mkdir(dir.File("many").c_str(), 0700);
    for (int i = 0; i < 12; ++i) {
        const std::string folder = "many/f" + std::string(i < 10 ? "0" : "") + std::to_string(i);
        mkdir(dir.File(folder).c_str(), 0700);
        dir.Write(folder + "/p.jpg", MakeJpeg({}));
    }
    dir.Write("many/top.jpg", MakeJpeg({}));
    const ProgramRun all = RunExportProgram({"--folders", "-O", dir.File("all"), "many"}, "", RLIM_INFINITY, dir.Path());
    ASSERT_EQ(all.status, 0) << all.err;
    const std::set<std::string> every = FilesUnder(dir.File("all"));
    ASSERT_EQ(every.size(), 13u);
    struct Row {
        const char* catches;
        int count;
        std::set<std::string> shardOne;  // what shard 1 of them holds; empty: not pinned
    };
    // FNV-1a 64 of the relative path modulo 3, worked out apart from the program: the shards may
    // not move between versions.
    const Row rows[] = {
        {"one shard leaving folders out", 1, {}},
        {"two shards overlapping", 2, {}},
        {"the hash changed", 3, {"many.pdf", "many/f03.pdf", "many/f04.pdf", "many/f08.pdf", "many/f10.pdf"}},
        {"more shards than folders", 17, {}},
    };
    for (const Row& row : rows) {
        std::multiset<std::string> made;
        for (int k = 0; k < row.count; ++k) {
            const std::string out = dir.File("shard-" + std::to_string(row.count) + "-" + std::to_string(k));
            const ProgramRun run = RunExportProgram(
                {"--folders", "-O", out, "--shard", std::to_string(k) + "/" + std::to_string(row.count), "many"}, "",
                RLIM_INFINITY, dir.Path());
            EXPECT_EQ(run.status, 0) << row.catches << run.err;
            const std::set<std::string> files = FilesUnder(out);
            made.insert(files.begin(), files.end());
            if (k == 1 && !row.shardOne.empty())
                EXPECT_EQ(files, row.shardOne) << row.catches;
        }
        EXPECT_EQ(std::set<std::string>(made.begin(), made.end()), every) << row.catches;
        EXPECT_EQ(made.size(), every.size()) << row.catches;
    }
}

TEST(Folders, PageOptionsApplyToEachFolder)
{
    TempDir dir;
    for (const char* folder : {"stack", "stack/even", "stack/odd"})
        mkdir(dir.File(folder).c_str(), 0700);
    std::vector<std::string> even;
    for (int i = 1; i <= 4; ++i)
        even.push_back(ReadFileBytes(dir.Write("stack/even/s" + std::to_string(i) + ".jpg", MakeJpeg({.red = uint8_t(30 * i)}))));
    for (int i = 1; i <= 3; ++i)
        dir.Write("stack/odd/s" + std::to_string(i) + ".jpg", MakeJpeg({}));
    const ProgramRun run = RunExportProgram({"--folders", "-O", "out", "--duplex", "stack"}, "", RLIM_INFINITY, dir.Path());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(PageImages(dir.File("out/stack/even.pdf")), (std::vector<std::string> {even[0], even[3], even[1], even[2]}));
    EXPECT_FALSE(std::filesystem::exists(dir.File("out/stack/odd.pdf")));
    EXPECT_EQ(run.err, "leafbind-export: --duplex needs as many backs as fronts, an even number of pictures; 3 given\n"
                       "leafbind-export: stack/odd: refused, no PDF written\n"
                       "leafbind-export: 1 written, 0 skipped (exist), 1 refused\n");
}

TEST(Folders, TheExitStatusIsTheHighestOfAnyFolder)
{
    struct Row {
        const char* catches;
        std::string blocker;  // a file made where a folder of the output must go; empty: none
        int status;
        std::string summary;
    };
    const Row rows[] = {
        {"a refusal not reported in the status", "", 1, "3 written, 1 skipped (exist), 1 refused"},
        {"the first status kept rather than the highest", "pdfs/scans/1987", 3,
         "2 written, 1 skipped (exist), 1 refused, 1 failed"},
    };
    for (const Row& row : rows) {
        ScanTree tree;
        if (!row.blocker.empty())
            tree.dir.Write(row.blocker, "a file where a folder goes");
        const ProgramRun run = RunExportProgram({"--folders", "-O", tree.out, "--jobs=1", "scans"}, "", RLIM_INFINITY,
                                                tree.dir.Path());
        EXPECT_EQ(run.status, row.status) << row.catches << run.err;
        EXPECT_NE(run.err.find("leafbind-export: " + row.summary + ";"), std::string::npos) << row.catches << run.err;
    }
}
