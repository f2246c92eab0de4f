// SPDX-License-Identifier: GPL-2.0-or-later
// leafbind-watch run for real on folders in a temporary folder, with settle times of a fraction of
// a second and waits that give up after a bound. What it wrote is read back with poppler: each
// document's pages (pdfinfo) and its pictures' bytes (pdfimages -j) against the sources it moved.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <thread>

#include "MakeJpeg.h"
#include "RunProgram.h"
#include "ShellCommand.h"
#include "TempDir.h"

namespace {

using namespace std::chrono_literals;

// Every name in `folder`, hidden ones too, sorted; none when it cannot be read.
std::vector<std::string> Names(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

bool Exists(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

// Waits until `done` holds, for at most `bound`.
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds bound = 20s)
{
    const auto end = std::chrono::steady_clock::now() + bound;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

// The pictures of a document as pdfimages writes them out (JPEG streams byte for byte), in page order.
std::vector<std::string> PicturesOf(const std::string& pdf)
{
    TempDir out;
    if (RunCommand("pdfimages -j " + Quoted(pdf) + " " + Quoted(out.File("p"))).status != 0)
        return {};
    std::vector<std::string> pictures;
    for (const std::string& name : Names(out.Path()))
        pictures.push_back(ReadFileBytes(out.File(name)));
    return pictures;
}

// The bytes of the files `names` in `folder`, in that order.
std::vector<std::string> FilesOf(const std::string& folder, const std::vector<std::string>& names)
{
    std::vector<std::string> files;
    for (const std::string& name : names)
        files.push_back(ReadFileBytes(folder + "/" + name));
    return files;
}

std::string Picture(int n, int width = 24)
{
    JpegRecipe recipe;
    recipe.width = width + n % 7;
    recipe.height = 16;
    recipe.red = uint8_t(n * 37);
    recipe.green = uint8_t(n * 11);
    return MakeJpeg(recipe);
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    EXPECT_TRUE(fd >= 0 && write(fd, bytes.data(), bytes.size()) == ssize_t(bytes.size())) << path;
    close(fd);
}

// Puts the files `names` holding Picture(first + k) into `folder`, made if missing.
void Fill(const std::string& folder, const std::vector<std::string>& names, int first)
{
    mkdir(folder.c_str(), 0777);
    for (size_t k = 0; k < names.size(); ++k)
        WriteFile(folder + "/" + names[k], Picture(first + int(k)));
}

// leafbind-watch running in the background, its standard error in a file.
class Watch {
public:
    Watch(const std::vector<std::string>& args, const std::string& errFile) : errFile_(errFile)
    {
        pid_ = fork();
        if (pid_ == 0) {
            const int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
            const int null = open("/dev/null", O_RDWR);
            if (err < 0 || null < 0 || dup2(null, 0) < 0 || dup2(null, 1) < 0 || dup2(err, 2) < 0)
                _exit(127);
            ExecProgram(LEAFBIND_WATCH_PROGRAM, args);
        }
    }
    ~Watch() { Stop(SIGKILL); }

    // Sends `signal` and waits (at most 10 s, then SIGKILL) for the end: the exit status, 128 +
    // the signal that ended it.
    int Stop(int signal)
    {
        if (pid_ <= 0)
            return status_;
        kill(pid_, signal);
        int status = 0;
        if (!WaitFor([&] { return waitpid(pid_, &status, WNOHANG) == pid_; }, 10s)) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
        }
        pid_ = -1;
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return status_;
    }

    // Whether one of its descriptors is open on what `starts` a name with: a file in a folder,
    // "anon_inode:inotify".
    bool Holds(const std::string& starts) const
    {
        const std::string fds = "/proc/" + std::to_string(pid_) + "/fd";
        for (const std::string& fd : Names(fds)) {
            std::error_code error;
            if (std::filesystem::read_symlink(fds + "/" + fd, error).string().starts_with(starts))
                return true;
        }
        return false;
    }

    std::string Err() const { return Exists(errFile_) ? ReadFileBytes(errFile_) : ""; }

private:
    std::string errFile_;
    pid_t pid_ = -1;
    int status_ = -1;
};

size_t Count(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// The folders of a run: IN, OUT and the archive, and the program's standard error.
struct Places {
    TempDir dir;
    std::string in = dir.File("in"), out = dir.File("out"), archive = dir.File("archive"), err = dir.File("err");
    Places() { mkdir(in.c_str(), 0777); }
};

std::vector<std::string> Numbered(const char* prefix, int count)
{
    std::vector<std::string> names;
    for (int k = 1; k <= count; ++k)
        names.push_back(prefix + std::to_string(k) + ".jpg");
    return names;
}

}  // namespace

// Usage errors: status 2, the reason named, and nothing made (OUT and the archive stay missing).
TEST(Watch, UsageErrors)
{
    struct Row {
        std::vector<std::string> args;  // {IN}, {OUT}, {ARCHIVE}: the places; {LINK}: a link to IN
        const char* said;
    };
    const Row rows[] = {
        {{"--archive", "{ARCHIVE}", "{IN}", "{IN}/out"}, "OUT {IN}/out lies inside the watched folder {IN}"},
        {{"--archive", "{ARCHIVE}", "{IN}", "{IN}"}, "OUT {IN} lies inside the watched folder {IN}"},
        {{"--archive", "{ARCHIVE}", "{IN}", "{LINK}/out"}, "lies inside the watched folder {IN}"},
        {{"--archive", "{IN}/done", "{IN}", "{OUT}"}, "--archive {IN}/done lies inside the watched folder {IN}"},
        {{"--remove-sources", "{IN}", "{IN}/a/b"}, "OUT {IN}/a/b lies inside"},  // missing: its nearest folder is in IN
        {{"{IN}", "{OUT}"}, "--archive DIR or --remove-sources"},
        {{"--archive", "{ARCHIVE}", "--remove-sources", "{IN}", "{OUT}"}, "--archive and --remove-sources cannot both"},
        {{"--remove-sources", "{IN}"}, "and the documents' folder OUT"},
        {{"--remove-sources", "{IN}", "{OUT}", "more"}, "too many arguments"},
        {{"--remove-sources", "--settle", "0", "{IN}", "{OUT}"}, "invalid value '0' for --settle"},
        {{"--remove-sources", "--poll=1s", "{IN}", "{OUT}"}, "invalid value '1s' for --poll"},
        {{"--remove-sources", "--dpi", "0", "{IN}", "{OUT}"}, "invalid value '0' for --dpi"},
        {{"--remove-sources", "--fit", "fill", "{IN}", "{OUT}"}, "--fit needs --page-size"},
        {{"--remove-sources", "--text", "t.txt", "{IN}", "{OUT}"}, "unknown option --text"},
        {{"--remove-sources", "{IN}/missing", "{OUT}"}, "the watched folder {IN}/missing: No such file"},
    };
    for (const Row& row : rows) {
        Places places;
        symlink(places.in.c_str(), places.dir.File("link").c_str());
        const auto placed = [&places](std::string text) {
            for (const auto& [name, path] : {std::pair {"{IN}", places.in}, std::pair {"{OUT}", places.out},
                                             std::pair {"{ARCHIVE}", places.archive},
                                             std::pair {"{LINK}", places.dir.File("link")}})
                for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + path.size()))
                    text.replace(at, std::strlen(name), path);
            return text;
        };
        std::vector<std::string> args;
        for (const std::string& arg : row.args)
            args.push_back(placed(arg));
        SCOPED_TRACE(row.said);
        const ProgramRun run = RunProgramAt(LEAFBIND_WATCH_PROGRAM, args);
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_TRUE(run.err.starts_with("leafbind-watch: ")) << run.err;
        EXPECT_NE(run.err.find(placed(row.said)), std::string::npos) << run.err;
        EXPECT_FALSE(Exists(places.out) || Exists(places.archive) || Exists(places.in + "/out")
                     || Exists(places.in + "/a"));
    }
}

// Entries put into IN while the watcher runs (or before it starts), and what becomes of them.
TEST(Watch, Taking)
{
    struct Row {
        const char* behaviour;
        std::vector<std::string> options;
        std::function<void(const Places&)> before;  // before the watcher starts
        std::function<void(const Places&, Watch&)> put;  // while it runs
        // Each document wanted in OUT, and the entry in the archive whose pictures it holds: a
        // file, or a folder's `pictures` in page order; `archived` empty: removed.
        struct Document {
            std::string pdf, archived;
            std::vector<std::string> pictures;
        };
        std::vector<Document> documents;
        std::vector<std::string> leftInIn;  // names IN still holds at the end
        const char* notSaid = "not written";  // never on standard error
        std::function<void(const Places&)> after = nullptr;  // more checks
    };
    const std::vector<std::string> twelve = Numbered("IMG_", 12);
    std::vector<std::string> twelveNatural = twelve;  // IMG_1, IMG_2, ... IMG_10
    std::sort(twelveNatural.begin(), twelveNatural.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    // Fifty folders moved in at once, the k-th with k % 3 + 1 pictures.
    std::vector<Row::Document> fifty;
    for (int k = 0; k < 50; ++k) {
        const std::string name = "f" + std::to_string(k);
        fifty.push_back({name + ".pdf", name, Numbered("p", k % 3 + 1)});
    }
    const Row rows[] = {
        {"fifty folders at once",
         {"--settle", "0.5"},
         nullptr,
         [&](const Places& p, Watch&) {
             mkdir(p.dir.File("batch").c_str(), 0777);
             for (const auto& document : fifty)
                 Fill(p.dir.File("batch/" + document.archived), document.pictures, int(document.pdf.size()) * 3);
             ASSERT_EQ(RunCommand("mv " + Quoted(p.dir.File("batch")) + "/* " + Quoted(p.in)).status, 0);
         },
         fifty,
         {}},
        {"a file written slowly in pieces is not taken early",
         {"--settle", "1"},
         nullptr,
         [](const Places& p, Watch&) {
             JpegRecipe recipe;
             recipe.width = 200;
             recipe.height = 150;
             recipe.gradient = true;
             const std::string bytes = MakeJpeg(recipe);
             const int fd = open((p.in + "/slow.jpg").c_str(), O_WRONLY | O_CREAT, 0644);
             for (size_t part = 0; part < 6; ++part) {
                 const size_t from = bytes.size() * part / 6, to = bytes.size() * (part + 1) / 6;
                 EXPECT_EQ(write(fd, bytes.data() + from, to - from), ssize_t(to - from));
                 std::this_thread::sleep_for(600ms);
                 EXPECT_FALSE(Exists(p.out + "/slow.pdf")) << "taken after part " << part;
             }
             close(fd);
         },
         {{"slow.pdf", "slow.jpg", {"slow.jpg"}}},
         {}},
        {"a file held open for writing is not taken, however long the writer pauses",
         {"--settle", "0.3"},
         nullptr,
         [](const Places& p, Watch&) {
             Fill(p.in + "/held", {"first.jpg"}, 7);
             const std::string bytes = Picture(8, 300);
             const int fd = open((p.in + "/held/second.jpg").c_str(), O_WRONLY | O_CREAT, 0644);
             EXPECT_EQ(write(fd, bytes.data(), bytes.size() / 2), ssize_t(bytes.size() / 2));
             std::this_thread::sleep_for(1500ms);
             EXPECT_FALSE(Exists(p.out + "/held.pdf"));
             EXPECT_EQ(write(fd, bytes.data() + bytes.size() / 2, bytes.size() - bytes.size() / 2),
                       ssize_t(bytes.size() - bytes.size() / 2));
             close(fd);
         },
         {{"held.pdf", "held", {"first.jpg", "second.jpg"}}},
         {}},
        {"a folder copied in with cp -r, its pictures in natural order",
         {"--settle", "0.5"},
         nullptr,
         [&](const Places& p, Watch&) {
             Fill(p.dir.File("box"), twelve, 0);
             ASSERT_EQ(RunCommand("cp -r " + Quoted(p.dir.File("box")) + " " + Quoted(p.in)).status, 0);
         },
         {{"box.pdf", "box", twelveNatural}},
         {}},
        {"entries already in IN at the start are taken, with a file's extension left out of its document's name",
         {"--settle", "0.3"},
         [](const Places& p) {
             Fill(p.in + "/old", {"a.jpg", "b.jpg"}, 20);
             Fill(p.in, {"scan.2.jpg"}, 30);
         },
         nullptr,
         {{"old.pdf", "old", {"a.jpg", "b.jpg"}}, {"scan.2.pdf", "scan.2.jpg", {"scan.2.jpg"}}},
         {}},
        {"looks on a timer with --poll, and no notices are asked for",
         {"--settle", "0.4", "--poll", "0.2"},
         nullptr,
         [](const Places& p, Watch& w) {
             EXPECT_FALSE(w.Holds("anon_inode:inotify"));
             Fill(p.dir.File("polled"), {"x1.jpg", "x2.jpg", "x3.jpg"}, 40);
             ASSERT_EQ(rename(p.dir.File("polled").c_str(), (p.in + "/polled").c_str()), 0);
         },
         {{"polled.pdf", "polled", {"x1.jpg", "x2.jpg", "x3.jpg"}}},
         {}},
        {"a name taken in OUT and in the archive gets (2)",
         {"--settle", "0.3"},
         [](const Places& p) {
             Fill(p.out, {"box.pdf"}, 50);
             mkdir(p.archive.c_str(), 0777);
             Fill(p.archive + "/box", {"kept.jpg"}, 51);
             Fill(p.in + "/box", {"new.jpg"}, 52);
         },
         nullptr,
         {{"box (2).pdf", "box (2)", {"new.jpg"}}},
         {},
         "not written",
         [](const Places& p) {
             EXPECT_EQ(ReadFileBytes(p.out + "/box.pdf"), Picture(50));
             EXPECT_EQ(Names(p.archive + "/box"), std::vector<std::string> {"kept.jpg"});
         }},
        {"--remove-sources removes the folder with its sub-folders",
         {"--settle", "0.3", "--remove-sources"},
         [](const Places& p) {
             Fill(p.in + "/gone", {"p1.jpg", "p2.jpg"}, 60);
             Fill(p.in + "/gone/sub", {"deep.jpg"}, 62);
         },
         nullptr,
         {{"gone.pdf", "", {"p1.jpg", "p2.jpg"}}},
         {}},
        {"hidden names, Windows' and Mac's files, links and other files are left alone",
         {"--settle", "0.3"},
         [](const Places& p) {
             Fill(p.in + "/.hidden", {"a.jpg"}, 70);
             Fill(p.in, {"._box.jpg", ".DS_Store", "Thumbs.db", "DESKTOP.INI"}, 71);
             Fill(p.dir.File("elsewhere"), {"b.jpg"}, 75);
             symlink(p.dir.File("elsewhere").c_str(), (p.in + "/link").c_str());
             symlink((p.dir.File("elsewhere") + "/b.jpg").c_str(), (p.in + "/linked.jpg").c_str());
             mkfifo((p.in + "/fifo.jpg").c_str(), 0600);
             WriteFile(p.in + "/notes.txt", "notes\n");
         },
         [](const Places&, Watch&) { std::this_thread::sleep_for(1500ms); },
         {},
         {".DS_Store", "._box.jpg", ".hidden", "DESKTOP.INI", "Thumbs.db", "fifo.jpg", "link", "linked.jpg",
          "notes.txt"},
         "leafbind-watch"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.behaviour);
        Places places;
        if (row.before)
            row.before(places);
        std::vector<std::string> args = row.options;
        if (std::find(args.begin(), args.end(), "--remove-sources") == args.end())
            args.insert(args.end(), {"--archive", places.archive});
        args.insert(args.end(), {places.in, places.out});
        Watch watch(args, places.err);
        if (row.put)
            row.put(places, watch);
        // Done: IN as it should be left, and no record of a document still to complete.
        EXPECT_TRUE(WaitFor([&] {
            return Names(places.in) == row.leftInIn && Names(places.out + "/.leafbind-watch").empty();
        })) << watch.Err();
        EXPECT_EQ(watch.Stop(SIGTERM), 128 + SIGTERM);
        std::vector<std::string> pdfs = {".leafbind-watch"};
        for (const auto& document : row.documents) {
            SCOPED_TRACE(document.pdf);
            pdfs.push_back(document.pdf);
            const std::vector<std::string> pictures = PicturesOf(places.out + "/" + document.pdf);
            EXPECT_EQ(pictures.size(), document.pictures.size());
            if (document.archived.empty())
                continue;
            const std::string archived = places.archive + "/" + document.archived;
            EXPECT_TRUE(pictures
                        == (std::filesystem::is_directory(archived) ? FilesOf(archived, document.pictures)
                                                                    : FilesOf(places.archive, {document.archived})));
        }
        for (const std::string& name : Names(places.out))
            if (!row.after || name != "box.pdf")
                EXPECT_NE(std::find(pdfs.begin(), pdfs.end(), name), pdfs.end()) << "unasked " << name;
        if (row.after)
            row.after(places);
        EXPECT_EQ(Count(watch.Err(), row.notSaid), 0u) << watch.Err();
    }
}

// A document that is refused stays in IN untouched, its reasons said once however long it waits,
// and is taken once it changes.
TEST(Watch, Refusals)
{
    struct Row {
        const char* behaviour;
        std::vector<std::string> options;
        std::function<void(const std::string& in)> put;
        const char* said;  // once
        std::function<void(const std::string& in)> mend;
        const char* document;
        size_t pages;
    };
    const auto damaged = [](const std::string& path) { WriteFile(path, "\xFF\xD8\xFF\xE0 not the rest of a JPEG"); };
    const Row rows[] = {
        {"a folder with a damaged picture",
         {},
         [&](const std::string& in) { Fill(in + "/box", {"a1.jpg", "a3.jpg"}, 1), damaged(in + "/box/a2.jpg"); },
         "box/a2.jpg: the file ends before",
         [](const std::string& in) { unlink((in + "/box/a2.jpg").c_str()); },
         "box.pdf",
         2},
        {"an empty folder, with -q",
         {"-q"},
         [](const std::string& in) { mkdir((in + "/empty").c_str(), 0777); },
         "empty: refused: holds no pictures",
         [](const std::string& in) { Fill(in + "/empty", {"late.jpg"}, 3); },
         "empty.pdf",
         1},
        {"a folder holding only other files",
         {},
         [](const std::string& in) {
             Fill(in + "/docs", {}, 0), Fill(in + "/docs/.hidden", {"h.jpg"}, 4);
             EXPECT_EQ(symlink("/etc/hostname", (in + "/docs/link.jpg").c_str()), 0);
         },
         "docs: refused: holds no pictures",
         [](const std::string& in) { Fill(in + "/docs", {"d.jpg"}, 5); },
         "docs.pdf",
         1},
        {"an odd number of sides under --duplex, which must not end the watcher",
         {"--duplex"},
         [](const std::string& in) { Fill(in + "/sheets", {"f1.jpg", "f2.jpg", "b2.jpg"}, 7); },
         "an even number of pictures; 3 given",
         [](const std::string& in) { Fill(in + "/sheets", {"b1.jpg"}, 8); },
         "sheets.pdf",
         4},
        {"a damaged picture directly in IN",
         {},
         [&](const std::string& in) { damaged(in + "/scan.jpg"); },
         "/scan.jpg: the file ends before",
         [](const std::string& in) { Fill(in, {"scan.jpg"}, 6); },
         "scan.pdf",
         1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.behaviour);
        Places places;
        std::vector<std::string> args = row.options;
        args.insert(args.end(), {"--settle", "0.3", "--archive", places.archive, places.in, places.out});
        Watch watch(args, places.err);
        row.put(places.in);
        const std::string state = "cd " + Quoted(places.in)
            + " && find . -printf '%p %s %T@ %C@\\n' | sort && find . -type f | sort | xargs -r cat";
        const std::string before = RunCommand(state).output;
        EXPECT_TRUE(WaitFor([&] { return Count(watch.Err(), row.said) > 0; })) << watch.Err();
        // Several settle times later, after a notice that changes nothing it holds (a file opened
        // for writing and closed).
        std::this_thread::sleep_for(600ms);
        const std::string first = RunCommand("find " + Quoted(places.in) + " -type f | sort | head -1").output;
        if (!first.empty())
            close(open(first.substr(0, first.size() - 1).c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW));
        std::this_thread::sleep_for(900ms);
        EXPECT_EQ(RunCommand(state).output, before);
        EXPECT_EQ(Count(watch.Err(), row.said), 1u) << watch.Err();
        EXPECT_TRUE(Names(places.out).empty() || Names(places.out) == std::vector<std::string> {".leafbind-watch"});
        row.mend(places.in);
        EXPECT_TRUE(WaitFor([&] { return Exists(places.out + "/" + row.document) && Names(places.in).empty(); }))
            << watch.Err();
        EXPECT_EQ(PicturesOf(places.out + "/" + row.document).size(), row.pages);
        EXPECT_EQ(Count(watch.Err(), row.said), 1u) << watch.Err();
        watch.Stop(SIGTERM);
    }
}

// Signals mid-document, then a restart: every document once, its pictures all there, nothing
// left behind (no document cut short, no temporary, no record, no copy half made).
TEST(Watch, Interruptions)
{
    struct Row {
        const char* behaviour;
        int signal;
        bool otherFileSystem;  // the archive on /dev/shm: copied, synced, then removed
        int kills;  // SIGKILL this many times at growing delays after the start, before the last run
    };
    const Row rows[] = {
        {"SIGTERM mid-document", SIGTERM, false, 0},
        {"SIGINT mid-document", SIGINT, false, 0},
        {"SIGKILL mid-document", SIGKILL, false, 0},
        {"SIGKILL mid-document, the archive on another file system", SIGKILL, true, 0},
        {"SIGKILL again and again at any point", SIGKILL, false, 12},
        {"SIGKILL again and again, the archive on another file system", SIGKILL, true, 12},
    };
    struct stat shm {}, tmp {};
    const bool shmApart = stat("/dev/shm", &shm) == 0 && stat("/tmp", &tmp) == 0 && shm.st_dev != tmp.st_dev;
    TempDir pages;
    // A page of text: recognising it takes a while, so a signal finds the document under way.
    ASSERT_EQ(RunCommand("convert -size 900x500 xc:white -pointsize 36 -draw \"text 40,100 'A page the watcher makes "
                         "a document of'\" -draw \"text 40,300 'while a signal comes'\" "
                         + Quoted(pages.File("text.jpg")))
                  .status,
              0);
    const std::string text = ReadFileBytes(pages.File("text.jpg"));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.behaviour);
        if (row.otherFileSystem && !shmApart) {
            std::printf("skipped (/dev/shm is on the file system of /tmp): %s\n", row.behaviour);
            continue;
        }
        Places places;
        std::string archive = places.archive;
        if (row.otherFileSystem) {
            const std::string made = RunCommand("mktemp -d /dev/shm/leafbind-test-XXXXXX").output;
            archive = made.substr(0, made.size() - 1) + "/archive";
        }
        // Five folders, the k-th with k + 1 text pages after a picture of its own.
        std::map<std::string, std::vector<std::string>> folders;
        for (int k = 0; k < 5; ++k) {
            const std::string name = "d" + std::to_string(k);
            Fill(places.in + "/" + name, {"a.jpg"}, 90 + k);
            for (int page = 0; page <= k; ++page)
                WriteFile(places.in + "/" + name + "/t" + std::to_string(page) + ".jpg", text);
            folders[name] = FilesOf(places.in + "/" + name, Names(places.in + "/" + name));
        }
        const std::vector<std::string> args = {"--ocr", "--jobs", "1", "--settle", "0.1", "--archive", archive,
                                               places.in, places.out};
        const std::string state = places.out + "/.leafbind-watch";
        if (row.kills == 0) {
            Watch watch(args, places.err);
            ASSERT_TRUE(WaitFor([&] { return watch.Holds(state + "/"); }, 30s)) << watch.Err();
            EXPECT_EQ(watch.Stop(row.signal), 128 + row.signal);
            // No document under way left: the state folder holds records of finished ones at most.
            for (const std::string& name : Names(state))
                EXPECT_TRUE(name.ends_with(".done") || (row.signal == SIGKILL && name.ends_with(".pdf"))) << name;
            for (const std::string& name : Names(places.out))
                EXPECT_TRUE(name == ".leafbind-watch" || name.ends_with(".pdf")) << name;
        }
        for (int kill = 0; kill < row.kills; ++kill) {
            Watch watch(args, places.err);
            std::this_thread::sleep_for(std::chrono::milliseconds(150 + 60 * kill));
            watch.Stop(SIGKILL);
        }
        {
            Watch watch(args, places.err);
            EXPECT_TRUE(WaitFor([&] { return Names(places.in).empty() && Names(state).empty(); }, 60s))
                << watch.Err();
            EXPECT_EQ(watch.Stop(SIGTERM), 128 + SIGTERM);
        }
        std::vector<std::string> documents = {".leafbind-watch"}, names;
        for (const auto& [name, files] : folders) {
            SCOPED_TRACE(name);
            documents.push_back(name + ".pdf");
            names.push_back(name);
            EXPECT_TRUE(PicturesOf(places.out + "/" + name + ".pdf") == files);
            EXPECT_TRUE(FilesOf(archive + "/" + name, Names(archive + "/" + name)) == files);
        }
        EXPECT_EQ(Names(places.out), documents);
        EXPECT_EQ(Names(archive), names);
        if (row.otherFileSystem)
            RunCommand("rm -rf " + Quoted(archive.substr(0, archive.size() - 8)));
    }
}

// A second watcher writing to the same OUT is refused (status 3) while the first runs, and takes
// over once it has ended.
TEST(Watch, OneWatcherPerOut)
{
    Places places;
    const std::vector<std::string> args = {"--settle", "0.2", "--remove-sources", places.in, places.out};
    Watch first(args, places.err);
    ASSERT_TRUE(WaitFor([&] { return Exists(places.out + "/.leafbind-watch"); })) << first.Err();
    Watch second(args, places.dir.File("second.err"));
    EXPECT_EQ(second.Stop(0), 3) << second.Err();  // signal 0: only waits for its end
    EXPECT_EQ(Count(second.Err(), "another leafbind-watch writes to"), 1u) << second.Err();
    EXPECT_EQ(first.Stop(SIGTERM), 128 + SIGTERM);
    Watch third(args, places.dir.File("third.err"));
    Fill(places.in + "/late", {"a.jpg"}, 1);
    EXPECT_TRUE(WaitFor([&] { return Exists(places.out + "/late.pdf") && Names(places.in).empty(); })) << third.Err();
}
