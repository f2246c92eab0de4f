// SPDX-License-Identifier: GPL-2.0-or-later
// Export result codes with real files: what is refused, what is left on disk, and when.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <stdexcept>

#include "DocumentWriter.h"
#include "PagePlanner.h"
#include "ExportDetails.h"
#include "FileCalls.h"
#include "FileCallLog.h"
#include "FrameHeaderBytes.h"
#include "MakeJpeg.h"
#include "MakePng.h"
#include "ShellCommand.h"
#include "TempDir.h"
#include "jpeg2pdf.h"

using jpeg2pdf::ConvertJpegListToPdf;
using jpeg2pdf::kExportCannotCreate;
using jpeg2pdf::kExportFailedWriting;
using jpeg2pdf::kExportSaved;
using engine_test::JpegOfSize;

namespace {

const std::string kPrevious = "previous contents";

bool Exists(const std::string& path) { return std::filesystem::exists(std::filesystem::symlink_status(path)); }

std::set<std::string> Listing(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

unsigned ModeOf(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : ~0u;
}

// A second open file description holding a lock, as another program would.
class LockHolder {
public:
    LockHolder(const std::string& path, int operation) : fd_(open(path.c_str(), O_RDWR))
    {
        if (fd_ < 0 || flock(fd_, operation) != 0)
            throw std::runtime_error("cannot lock " + path);
    }
    ~LockHolder() { close(fd_); }

private:
    int fd_;
};

}  // namespace

TEST(ExportOutcome, ValidationStopsAtTheFirstUnusableEntryAndTouchesNothing)
{
    TempDir dir;
    const std::string a = dir.Write("a.jpg", MakeJpeg({}));
    const std::string b = dir.Write("b.jpg", MakeJpeg({.components = 4}));
    const std::string gray = dir.Write("gray.jpg", MakeJpeg({.components = 1}));
    const std::string text = dir.Write("notes.txt", "not a picture"), png = dir.Write("p.png", MakePng({}).file);
    const std::string zeroWidth = dir.Write("zero.jpg", JpegOfSize(0, 10, 3, 100));
    const std::string zeroHeight = dir.Write("flat.jpg", JpegOfSize(10, 0, 3, 100));
    ASSERT_EQ(mkdir(dir.File("folder").c_str(), 0700), 0);
    const std::string locked = dir.Write("locked.jpg", MakeJpeg({}));
    LockHolder writer(locked, LOCK_EX);

    struct Case {
        const char* name;
        std::vector<std::string> paths;
        int expected;
    };
    const std::vector<Case> cases = {
        {"third entry not a JPEG", {a, b, text}, 2},
        {"first entry empty", {"", a}, 0},
        {"missing file", {a, dir.File("missing.jpg")}, 1},
        {"a directory", {a, a, dir.File("folder")}, 2},
        {"grayscale", {gray, text}, 0},
        {"zero width", {a, zeroWidth}, 1},
        {"zero height", {zeroHeight}, 0},
        {"locked by a writer", {a, locked}, 1},
        {"a PNG, which the window does not take", {a, png}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string kept = dir.Write("kept.pdf", kPrevious);
        EXPECT_EQ(ConvertJpegListToPdf(c.paths, kept), c.expected);
        EXPECT_EQ(ReadFileBytes(kept), kPrevious);
        EXPECT_EQ(ConvertJpegListToPdf(c.paths, dir.File("new.pdf")), c.expected);
        EXPECT_FALSE(Exists(dir.File("new.pdf")));
        // The list is judged before the output: an uncreatable output does not hide the index.
        EXPECT_EQ(ConvertJpegListToPdf(c.paths, dir.File("no/such/folder/out.pdf")), c.expected);
    }
}

TEST(ExportOutcome, OutputRefusedBeforeAnythingIsWritten)
{
    TempDir dir;
    const std::string a = dir.Write("a.jpg", MakeJpeg({}));
    const std::string aBytes = ReadFileBytes(a);
    ASSERT_EQ(symlink(a.c_str(), dir.File("alias.pdf").c_str()), 0);
    ASSERT_EQ(link(a.c_str(), dir.File("hardlink.pdf").c_str()), 0);
    ASSERT_EQ(mkdir(dir.File("folder.pdf").c_str(), 0700), 0);
    ASSERT_EQ(mkfifo(dir.File("fifo.pdf").c_str(), 0600), 0);

    // An empty output path is refused without looking at the list.
    EXPECT_EQ(ConvertJpegListToPdf({"", dir.File("missing.jpg")}, ""), kExportCannotCreate);
    EXPECT_EQ(ConvertJpegListToPdf({}, dir.File("empty-list.pdf")), kExportCannotCreate);
    EXPECT_FALSE(Exists(dir.File("empty-list.pdf")));

    for (const std::string& output : {a, dir.File("alias.pdf"), dir.File("hardlink.pdf"), dir.File("./a.jpg")}) {
        SCOPED_TRACE(output);
        EXPECT_EQ(ConvertJpegListToPdf({a}, output), kExportCannotCreate);
        EXPECT_EQ(ReadFileBytes(a), aBytes);
    }
    for (const std::string& output : {dir.File("folder.pdf"), dir.File("fifo.pdf"), dir.File("no/folder/x.pdf")}) {
        SCOPED_TRACE(output);
        EXPECT_EQ(ConvertJpegListToPdf({a}, output), kExportCannotCreate);
    }
    // A FIFO is written as it is once a program reads it (waiting for one would hang the window).
    const int reader = open(dir.File("fifo.pdf").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_EQ(ConvertJpegListToPdf({a}, dir.File("fifo.pdf")), kExportSaved);
    ASSERT_EQ(ConvertJpegListToPdf({a}, dir.File("file.pdf")), kExportSaved);
    char piped[1 << 16];
    const ssize_t got = read(reader, piped, sizeof piped);
    EXPECT_EQ(std::string(piped, static_cast<size_t>(std::max<ssize_t>(got, 0))), ReadFileBytes(dir.File("file.pdf")));
    close(reader);
}

TEST(ExportOutcome, OutputHeldByAnotherProgramStaysUnchanged)
{
    TempDir dir;
    const std::string a = dir.Write("a.jpg", MakeJpeg({}));
    for (int operation : {LOCK_EX, LOCK_SH}) {
        const std::string output = dir.Write("held.pdf", kPrevious);
        {
            LockHolder holder(output, operation);
            EXPECT_EQ(ConvertJpegListToPdf({a}, output), kExportCannotCreate);
            EXPECT_EQ(ReadFileBytes(output), kPrevious);
        }
        // Once the other program lets go, the same call replaces the file.
        EXPECT_EQ(ConvertJpegListToPdf({a}, output), kExportSaved);
        EXPECT_EQ(ReadFileBytes(output).substr(0, 9), "%PDF-1.2\n");
    }
    // While an export writes, its existing output stays locked: a second export to it is refused.
    const std::string output = dir.Write("busy.pdf", kPrevious);
    int second = 0;
    EXPECT_EQ(ConvertJpegListToPdf({a, a}, output,
                                   [&](int written, int) {
                                       if (written == 1)
                                           second = ConvertJpegListToPdf({a}, output);
                                   }),
              kExportSaved);
    EXPECT_EQ(second, kExportCannotCreate);
    // A file that appears at a new output's name meanwhile is someone else's: kept, and the
    // export fails.
    const std::string taken = dir.File("taken.pdf");
    EXPECT_EQ(ConvertJpegListToPdf({a, a}, taken,
                                   [&](int written, int) {
                                       if (written == 1)
                                           dir.Write("taken.pdf", kPrevious);
                                   }),
              kExportFailedWriting);
    EXPECT_EQ(ReadFileBytes(taken), kPrevious);
    EXPECT_EQ(Listing(dir.Path()), (std::set<std::string>{"a.jpg", "busy.pdf", "held.pdf", "taken.pdf"}));
}

TEST(ExportOutcome, ChangesBetweenValidationAndCopying)
{
    TempDir dir;
    const std::string first = MakeJpeg({.width = 10, .height = 10});
    const std::string second = MakeJpeg({.width = 20, .height = 5});
    struct Case {
        const char* name;
        std::function<void(const std::string& path)> change;  // applied to the second file after page 1
        int expected;
    };
    std::vector<std::unique_ptr<LockHolder>> holders;
    const std::vector<Case> cases = {
        {"deleted", [](const std::string& p) { unlink(p.c_str()); }, kExportFailedWriting},
        {"locked by a writer", [&](const std::string& p) { holders.push_back(std::make_unique<LockHolder>(p, LOCK_EX)); },
         kExportFailedWriting},
        {"emptied", [](const std::string& p) { truncate(p.c_str(), 0); }, kExportSaved},
        {"grown", [](const std::string& p) { truncate(p.c_str(), 5000); }, kExportSaved},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string a = dir.Write("a.jpg", first);
        const std::string b = dir.Write("b.jpg", second);
        const std::string output = dir.Write("out.pdf", kPrevious);
        std::vector<int> reports;
        const int result = ConvertJpegListToPdf({a, b}, output, [&](int written, int total) {
            EXPECT_EQ(total, 2);
            reports.push_back(written);
            // The page just written has let go of its file: a writer may lock it at once.
            const int other = open(a.c_str(), O_RDONLY | O_CLOEXEC);
            EXPECT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
            close(other);
            if (written == 1)
                c.change(b);
        });
        EXPECT_EQ(result, c.expected);
        const std::string pdf = ReadFileBytes(output);
        if (c.expected == kExportSaved) {
            EXPECT_EQ(reports, (std::vector<int>{1, 2}));
            const std::string length = "/Length " + std::to_string(Exists(b) ? ReadFileBytes(b).size() : 0) + " >>\n";
            EXPECT_NE(pdf.find(length), std::string::npos) << length;
            EXPECT_EQ(pdf.substr(pdf.size() - 5), "%%EOF");
        } else {
            // The half-written document never takes the name.
            EXPECT_EQ(reports, (std::vector<int>{1}));
            EXPECT_EQ(pdf, kPrevious);
            std::set<std::string> kept{"a.jpg", "out.pdf"};
            if (Exists(b))
                kept.insert("b.jpg");
            EXPECT_EQ(Listing(dir.Path()), kept);
        }
        holders.clear();
    }
}

// A PNG's data, and a TIFF page's strip, are copied by the ranges read at validation: a file that
// no longer holds them when its page is written fails the writing, naming the entry; one written
// again alike is copied. A decoded picture is decoded as it was read, or not at all.
TEST(ExportOutcome, PngChangedBetweenValidationAndCopying)
{
    TempDir dir;
    const MadePng png = MakePng({});
    const std::string moved = MakePng({.beforeData = PngChunk("tEXt", std::string("a\0b", 3))}).file;
    const std::string alpha = MakePng({.colourType = 6}).file, narrower = MakePng({.width = 36, .colourType = 6}).file;
    const MadePng interlaced = MakePng({.depth = 4, .colourType = 3, .interlace = 1, .dataChunks = 1});
    // The same header and rows over other colours.
    std::string repainted = interlaced.file;
    const size_t palette = repainted.find("PLTE") - 4;
    repainted.replace(palette, 12 + 48, PngChunk("PLTE", std::string(48, '\x55')));
    const std::string halfData = interlaced.file.substr(0, interlaced.file.find("IDAT") - 4)
        + PngChunk("IDAT", interlaced.data.substr(0, interlaced.data.size() / 2)) + PngChunk("IEND", "");
    const auto tiff = [&](const std::string& compression) {
        RunCommand("convert -size 40x20 xc:white -fill black -draw 'circle 20,10 20,2' -monochrome -compress "
                   + compression + " " + Quoted(dir.File("made.tif")));
        return ReadFileBytes(dir.File("made.tif"));
    };
    const std::string g4 = tiff("Group4");
    // Photometric (262) of the first directory (little-endian) made 1: the same strip, black and
    // white the other way round.
    std::string turned = g4;
    const size_t ifd = uint8_t(turned[4]) | uint8_t(turned[5]) << 8;
    for (size_t entry = ifd + 2; entry < ifd + 2 + 12 * uint8_t(turned[ifd]); entry += 12)
        if (turned.compare(entry, 2, "\x06\x01") == 0)
            turned[entry + 8] = 1;
    struct Case {
        const char* name;
        std::string now;  // the second file's bytes once page 1 is written
        jpeg2pdf::EntryRefusal reopened;
        jpeg2pdf::PngDamage damage = jpeg2pdf::PngDamage::None;
        std::string before = {};  // the second file's bytes when read; empty: the plain picture's
    };
    const Case cases[] = {
        {"written again alike", png.file, jpeg2pdf::EntryRefusal::None},
        {"its data moved by a chunk before it", moved, jpeg2pdf::EntryRefusal::ChangedSinceRead},
        {"cut short", png.file.substr(0, png.file.size() - 30), jpeg2pdf::EntryRefusal::PngDamaged,
         jpeg2pdf::PngDamage::EndsEarly},
        {"decoded, written again alike", alpha, jpeg2pdf::EntryRefusal::None, {}, alpha},
        {"decoded, a column narrower", narrower, jpeg2pdf::EntryRefusal::ChangedSinceRead, {}, alpha},
        {"decoded, its palette's colours changed", repainted, jpeg2pdf::EntryRefusal::ChangedSinceRead, {},
         interlaced.file},
        {"decoded, its rows cut short inside sound chunks", halfData, jpeg2pdf::EntryRefusal::PixelsDamaged, {},
         interlaced.file},
        {"a TIFF written again alike", g4, jpeg2pdf::EntryRefusal::None, jpeg2pdf::PngDamage::None, g4},
        {"a TIFF page's directory saying otherwise", turned, jpeg2pdf::EntryRefusal::ChangedSinceRead,
         jpeg2pdf::PngDamage::None, g4},
        {"a TIFF cut before its directory", g4.substr(0, 60), jpeg2pdf::EntryRefusal::TiffDamaged,
         jpeg2pdf::PngDamage::None, g4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string a = dir.Write("a.png", png.file), b = dir.Write("b.png", c.before.empty() ? png.file : c.before);
        unlink(dir.File("out.pdf").c_str());
        jpeg2pdf::ExportOptions options;
        options.acceptPng = true;
        options.acceptTiff = true;
        options.acceptGray = true;  // the TIFF is bilevel
        const jpeg2pdf::ExportOutcome outcome
            = jpeg2pdf::ExportJpegList({a, b}, dir.File("out.pdf"), options, [&](int written, int, int64_t) {
                  if (written == 1)
                      dir.Write("b.png", c.now);
              });
        const auto* failed = std::get_if<jpeg2pdf::WritingFailed>(&outcome);
        EXPECT_EQ(failed ? failed->entry : 1, 1);
        EXPECT_EQ(failed ? failed->reopen.refusal : jpeg2pdf::EntryRefusal::None, c.reopened);
        EXPECT_EQ(failed ? failed->reopen.damage : jpeg2pdf::PngDamage::None, c.damage);
        EXPECT_EQ(Exists(dir.File("out.pdf")), !failed);
    }
}

TEST(ExportOutcome, ThrowingProgressReportEndsTheExportAsFailed)
{
    TempDir dir;
    const std::string a = dir.Write("a.jpg", MakeJpeg({}));
    int calls = 0;
    EXPECT_EQ(ConvertJpegListToPdf({a, a, a}, dir.File("out.pdf"),
                                   [&](int, int) {
                                       ++calls;
                                       throw std::runtime_error("cancelled");
                                   }),
              kExportFailedWriting);
    EXPECT_EQ(calls, 1);
    // The output is closed: it can be replaced at once.
    EXPECT_EQ(ConvertJpegListToPdf({a}, dir.File("out.pdf")), kExportSaved);
}

TEST(ExportOutcome, FullDeviceFailsAfterCreation)
{
    TempDir dir;
    const std::string a = dir.Write("a.jpg", MakeJpeg({}));
    EXPECT_EQ(ConvertJpegListToPdf({a}, "/dev/full"), kExportFailedWriting);
    EXPECT_EQ(ConvertJpegListToPdf({a}, "/dev/null"), kExportSaved);
}

// Runs an export in a child process whose files may not grow beyond `limit` bytes, as on a full disk.
static int ExportWithFileSizeLimit(const std::vector<std::string>& paths, const std::string& output, rlim_t limit)
{
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG instead of killing us
        const rlimit cap{limit, limit};
        setrlimit(RLIMIT_FSIZE, &cap);
        _exit(-ConvertJpegListToPdf(paths, output));
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? -WEXITSTATUS(status) : 99;
}

TEST(ExportOutcome, FileSystemLimitLeavesTheOutputPathAsItWas)
{
    TempDir dir;
    // Large enough to spill out of the output's buffer, so writes of the text fail too.
    const std::string big = MakeJpeg({.width = 400, .height = 400, .quality = 100, .gradient = true});
    const std::string a = dir.Write("a.jpg", big);
    const std::string output = dir.File("out.pdf");
    ASSERT_EQ(ConvertJpegListToPdf({a, a}, output), kExportSaved);
    const std::string complete = ReadFileBytes(output);
    for (rlim_t limit : {rlim_t{100}, rlim_t{big.size() / 2}, big.size() + 600, complete.size() - 1}) {
        for (bool existing : {true, false}) {
            SCOPED_TRACE(std::to_string(limit) + (existing ? " existing output" : " new output"));
            if (existing)
                dir.Write("out.pdf", kPrevious);
            else
                unlink(output.c_str());
            EXPECT_EQ(ExportWithFileSizeLimit({a, a}, output, limit), kExportFailedWriting);
            EXPECT_EQ(Exists(output) ? ReadFileBytes(output) : "(none)", existing ? kPrevious : "(none)");
            EXPECT_EQ(Listing(dir.Path()).size(), existing ? 2u : 1u);  // a.jpg and the old output, no temporary
        }
    }
    EXPECT_EQ(ExportWithFileSizeLimit({a, a}, output, complete.size()), kExportSaved);
    EXPECT_EQ(ReadFileBytes(output), complete);
}

// A replaced file is gone once the rename is on disk, so its successor is flushed first; a new
// name is not waited for.
TEST(ExportOutcome, ReplacementIsOnDiskBeforeItTakesTheName)
{
    TempDir dir;
    const std::string a = dir.Write("a.jpg", MakeJpeg({}));
    for (bool existing : {false, true}) {
        SCOPED_TRACE(existing ? "existing output" : "new output");
        std::vector<std::string> calls;
        fileCallLog = &calls;
        EXPECT_EQ(ConvertJpegListToPdf({a}, dir.File("out.pdf")), kExportSaved);
        fileCallLog = nullptr;
        const std::vector<std::string> flushed{"fsync (unnamed)", "link (unnamed) .leafbind-",
                                               "rename .leafbind- out.pdf", "fsync " + LoggedName(dir.Path())};
        EXPECT_EQ(calls, existing ? flushed : std::vector<std::string>{"link (unnamed) out.pdf"});
    }
}

// A call that fails while the new file takes the old one's name (a disk that reports EIO on the
// flush, say) fails the export, with unnamed files and on a file system without them: the old
// file stays whole and nothing is left beside it.
TEST(ExportOutcome, FailureWhileTakingTheNameKeepsTheOldFile)
{
    TempDir dir;
    const std::string a = dir.Write("a.jpg", MakeJpeg({}));
    posixfile::FileCalls& calls = posixfile::fileCalls;
    const posixfile::FileCalls real = calls;
    static int error;  // for the replacements, which capture nothing
    enum Call { None, Fsync, Link, Rename };
    const std::tuple<bool, Call, int> rows[] = {{true, Fsync, EIO},  {true, Link, ENOSPC}, {true, Rename, EIO},
                                                {false, None, 0},    {false, Fsync, EIO},  {false, Rename, EDQUOT}};
    for (const auto& [unnamedFiles, call, failure] : rows) {
        const char* const names[] = {"nothing", "fsync", "linkat", "rename"};
        SCOPED_TRACE(std::string(unnamedFiles ? "unnamed file, " : "named file, ") + names[call] + " fails");
        const std::string output = dir.Write("out.pdf", kPrevious);
        error = failure;
        if (!unnamedFiles)
            calls.open = [](const char* path, int flags, mode_t mode) {
                return (flags & O_TMPFILE) == O_TMPFILE ? (errno = EOPNOTSUPP, -1) : ::open(path, flags, mode);
            };
        if (call == Fsync)
            calls.fsync = [](int) { return errno = error, -1; };
        if (call == Link)
            calls.linkat = [](int, const char*, int, const char*, int) { return errno = error, -1; };
        if (call == Rename)
            calls.rename = [](const char*, const char*) { return errno = error, -1; };
        const jpeg2pdf::ExportOutcome outcome = jpeg2pdf::ExportJpegList({a}, output);
        calls = real;
        EXPECT_EQ(ExportResultCode(outcome), call == None ? kExportSaved : kExportFailedWriting);
        const auto* failed = std::get_if<jpeg2pdf::WritingFailed>(&outcome);
        EXPECT_EQ(failed ? failed->systemError : 0, failure);
        const std::string now = ReadFileBytes(output);
        EXPECT_EQ(call == None ? now.substr(0, 9) : now, call == None ? "%PDF-1.2\n" : kPrevious);
        EXPECT_EQ(Listing(dir.Path()), (std::set<std::string>{"a.jpg", "out.pdf"}));
    }
}

// The new file is made beside the file the links lead to and takes its permission bits.
TEST(ExportOutcome, ReplacesTheFileTheLinksLeadTo)
{
    TempDir dir;
    const std::string a = dir.Write("a.jpg", MakeJpeg({}));
    ASSERT_EQ(mkdir(dir.File("sub").c_str(), 0700), 0);
    const std::string real = dir.Write("sub/real.pdf", kPrevious);
    ASSERT_EQ(chmod(real.c_str(), 0604), 0);
    ASSERT_EQ(symlink("sub/real.pdf", dir.File("link.pdf").c_str()), 0);
    EXPECT_EQ(ConvertJpegListToPdf({a}, dir.File("link.pdf")), kExportSaved);
    EXPECT_EQ(ReadFileBytes(real).substr(0, 9), "%PDF-1.2\n");
    EXPECT_EQ(ModeOf(real), 0604u);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.pdf")));
    EXPECT_EQ(Listing(dir.File("sub")), std::set<std::string>{"real.pdf"});
}

TEST(ExportOutcome, OffsetsBeyondTenDigitsFailTheDocument)
{
    // Cross-reference entries hold ten digits: a document whose last object, the section itself,
    // would begin past 9,999,999,999 cannot be indexed. The output's count starts near that limit.
    TempDir dir;
    const std::string a = dir.Write("a.jpg", MakeJpeg({}));
    const std::string pdf = dir.File("out.pdf");
    ASSERT_EQ(ConvertJpegListToPdf({a}, pdf), kExportSaved);
    const std::string bytes = ReadFileBytes(pdf);
    const int64_t xref = static_cast<int64_t>(bytes.rfind("\nxref\n") + 1);
    const jpeg2pdf::DocumentPlan plan = jpeg2pdf::PlanPages(jpeg2pdf::PlainPages({{{false, 16, 8}, 1}}), {});
    for (int64_t start : {9'999'999'999 - xref, 10'000'000'000 - xref}) {
        SCOPED_TRACE(start);
        posixfile::OutputFile out;
        ASSERT_EQ(out.Open(dir.File("near-limit.pdf"), {}), posixfile::OutputFile::OpenResult::Opened);
        out.CountFrom(start);
        jpeg2pdf::WriteStop stop;
        const bool fits = start + xref <= 9'999'999'999;
        EXPECT_EQ(jpeg2pdf::WriteDocument(out, {a}, plan, nullptr, {}, stop), fits);
        EXPECT_EQ(out.Failure().systemError, fits ? 0 : EFBIG);
        EXPECT_TRUE(out.Close());
    }
}
