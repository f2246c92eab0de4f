// SPDX-License-Identifier: GPL-2.0-or-later
// The image list file: line breaks, NUL, byte order mark, round trips and failures, on real files:
// FIFOs, sockets, devices, links and a save that runs out of room.
#include "FileCallLog.h"
#include "ImageListFile.h"
#include "TempDir.h"

#include <QTest>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using imagelist::ImageListError;
using Items = std::vector<std::string>;
Q_DECLARE_METATYPE(Items)

class ImageListFileTest : public QObject {
    Q_OBJECT

private slots:
    void parsesLineBreaks_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<Items>("items");
        QTest::newRow("empty text") << QByteArray() << Items{};
        QTest::newRow("CR LF after every line") << QByteArray("a\r\nb\r\n") << Items{"a", "b"};
        QTest::newRow("no break after the last line") << QByteArray("a\r\nb") << Items{"a", "b"};
        QTest::newRow("lone LF") << QByteArray("a\nb\n") << Items{"a", "b"};
        QTest::newRow("lone CR") << QByteArray("a\rb\r") << Items{"a", "b"};
        QTest::newRow("LF CR is two breaks") << QByteArray("a\n\rb") << Items{"a", "", "b"};
        QTest::newRow("empty lines inside stay") << QByteArray("a\r\n\r\n\r\nb\r\n") << Items{"a", "", "", "b"};
        QTest::newRow("only a break") << QByteArray("\r\n") << Items{""};
        QTest::newRow("nothing trimmed") << QByteArray("  a b \t\r\n") << Items{"  a b \t"};
        QTest::newRow("NUL ends the text") << QByteArray("a\r\nb\0c\r\nd", 10) << Items{"a", "b"};
        QTest::newRow("byte order mark stays") << QByteArray("\xEF\xBB\xBF/x.jpg\r\n") << Items{"\xEF\xBB\xBF/x.jpg"};
        QTest::newRow("single-byte text kept as bytes") << QByteArray("/t/\xE9t\xE9.jpg") << Items{"/t/\xE9t\xE9.jpg"};
    }
    void parsesLineBreaks()
    {
        QFETCH(QByteArray, text);
        QFETCH(Items, items);
        QCOMPARE(imagelist::ParseImageList(std::string_view(text.constData(), size_t(text.size()))), items);
    }

    void savesWithCrLfAndLoadsBack()
    {
        TempDir dir;
        const Items items{"/photos/a.jpg", "", "relative b.jpeg", "/photos/\xE9.jpg"};
        const std::string path = dir.File("list.txt");
        imagelist::SaveImageList(path, items);
        QCOMPARE(ReadFileBytes(path), std::string("/photos/a.jpg\r\n\r\nrelative b.jpeg\r\n/photos/\xE9.jpg\r\n"));
        QCOMPARE(imagelist::LoadImageList(path), items);

        // Saving replaces what was there; an empty list gives an empty file.
        imagelist::SaveImageList(path, {});
        QCOMPARE(ReadFileBytes(path), std::string());
        QCOMPARE(imagelist::LoadImageList(path), Items{});
    }

    // A name with a break would load back as two entries: nothing is written, the old file stays.
    void refusesNamesWithALineBreak_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("shownBreak");
        QTest::newRow("LF") << QByteArray("/p/new\nline.jpg") << "2, \"/p/new\\nline.jpg\"" << "\\n";
        QTest::newRow("CR") << QByteArray("/p/new\rline.jpg") << "2, \"/p/new\\rline.jpg\"" << "\\r";
        QTest::newRow("CR LF") << QByteArray("/p/a\r\nb.jpg") << "2, \"/p/a\\r\\nb.jpg\"" << "\\r";
        QTest::newRow("LF at the end") << QByteArray("/p/a.jpg\n") << "2, \"/p/a.jpg\\n\"" << "\\n";
        QTest::newRow("only a CR") << QByteArray("\r") << "2, \"\\r\"" << "\\r";
    }
    void refusesNamesWithALineBreak()
    {
        QFETCH(QByteArray, name);
        QFETCH(QString, entry);
        QFETCH(QString, shownBreak);
        TempDir dir;
        const std::string list = dir.Write("list.txt", "/p/old.jpg\r\n");
        expectError([&] { imagelist::SaveImageList(list, {"/p/a.jpg", name.toStdString(), "/p/b\n.jpg"}); },
                    "Cannot save \"" + list + "\". Entry " + entry.toStdString() + ", has a line break ("
                        + shownBreak.toStdString() + ") in its name, and a list file holds one name per line.");
        QCOMPARE(ReadFileBytes(list), std::string("/p/old.jpg\r\n"));
        QCOMPARE(Listing(dir.Path()), std::set<std::string>{"list.txt"});
    }

    void reportsFilesThatCannotBeUsed()
    {
        TempDir dir;
        const std::string missing = dir.File("missing.txt");
        expectError([&] { imagelist::LoadImageList(missing); },
                    "Cannot open file \"" + missing + "\". No such file or directory");
        expectError([&] { imagelist::SaveImageList(dir.File("no/such/folder.txt"), {"a"}); },
                    "Cannot create file \"" + dir.File("no/such/folder.txt") + "\". No such file or directory");
    }

    void namesTheAbsolutePath()
    {
        TempDir dir;
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(QString::fromStdString(dir.Path())));
        expectError([&] { imagelist::LoadImageList("./sub/../gone.txt"); },
                    "Cannot open file \"" + dir.File("gone.txt") + "\". No such file or directory");
        QDir::setCurrent(previous);
    }

    // Each is refused at once: a blocking open would hang the test (the alarm ends it instead).
    void refusesWhatIsNotARegularFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("saving");
        QTest::addColumn<QString>("reason");
        QTest::newRow("load: FIFO with no writer") << "fifo" << false << "Not a regular file";
        QTest::newRow("save: FIFO with no reader") << "fifo" << true << "Not a regular file";
        QTest::newRow("load: socket") << "socket" << false << "Not a regular file";
        QTest::newRow("save: socket") << "socket" << true << "Not a regular file";
        QTest::newRow("load: endless device") << "/dev/zero" << false << "Not a regular file";
        QTest::newRow("save: device") << "/dev/full" << true << "Not a regular file";
        QTest::newRow("save: link to a device") << "link to /dev/null" << true << "Not a regular file";
        QTest::newRow("load: folder") << "folder" << false << "Is a directory";
        QTest::newRow("save: folder") << "folder" << true << "Is a directory";
    }
    void refusesWhatIsNotARegularFile()
    {
        QFETCH(QString, kind);
        QFETCH(bool, saving);
        QFETCH(QString, reason);
        TempDir dir;
        std::string path = dir.File("it");
        if (kind == "fifo") {
            QCOMPARE(::mkfifo(path.c_str(), 0600), 0);
        } else if (kind == "socket") {
            MakeSocket(path);
        } else if (kind == "folder") {
            path = dir.Path();
        } else if (kind == "link to /dev/null") {
            QCOMPARE(::symlink("/dev/null", path.c_str()), 0);
        } else {
            path = kind.toStdString();
        }
        const std::string message = (saving ? "Cannot create file \"" : "Cannot open file \"") + path + "\". "
                                    + reason.toStdString();
        ::alarm(20);
        expectError([&] { saving ? imagelist::SaveImageList(path, {"a"}) : (void)imagelist::LoadImageList(path); },
                    message);
        ::alarm(0);
        QCOMPARE(Listing(dir.Path()).size(), kind == "folder" ? 0u : size_t(path.starts_with(dir.Path())));
    }

    void replacesTheFileANameEndsAt()
    {
        TempDir dir;
        const std::string list = dir.Write("list.txt", "old\r\n");
        QCOMPARE(::chmod(list.c_str(), 0640), 0);
        imagelist::SaveImageList(list, {"new"});
        QCOMPARE(ReadFileBytes(list), std::string("new\r\n"));
        QCOMPARE(ModeOf(list), 0640u);

        // A chain of relative links: the file at its end is replaced and both links stay.
        const std::string real = dir.Write("real.txt", "old\r\n");
        QCOMPARE(::chmod(real.c_str(), 0604), 0);
        QCOMPARE(::symlink("real.txt", dir.File("link.txt").c_str()), 0);
        QCOMPARE(::symlink(dir.File("link.txt").c_str(), dir.File("link2.txt").c_str()), 0);
        imagelist::SaveImageList(dir.File("link2.txt"), {"b"});
        QVERIFY(std::filesystem::is_symlink(dir.File("link.txt")));
        QVERIFY(std::filesystem::is_symlink(dir.File("link2.txt")));
        QCOMPARE(ReadFileBytes(real), std::string("b\r\n"));
        QCOMPARE(ModeOf(real), 0604u);

        // A link to a file not there yet creates that file, with the mode any new file gets.
        QCOMPARE(::mkdir(dir.File("sub").c_str(), 0700), 0);
        QCOMPARE(::symlink("sub/new.txt", dir.File("dangling.txt").c_str()), 0);
        const mode_t mask = ::umask(027);
        imagelist::SaveImageList(dir.File("dangling.txt"), {"c"});
        ::umask(mask);
        QCOMPARE(ReadFileBytes(dir.File("sub/new.txt")), std::string("c\r\n"));
        QCOMPARE(ModeOf(dir.File("sub/new.txt")), 0640u);

        // A link to another file system: the new file must be made there, or the rename fails.
        char otherTemplate[] = "/dev/shm/leafbind-test-XXXXXX";
        QVERIFY(::mkdtemp(otherTemplate));
        const std::string other = otherTemplate;
        std::ofstream(other + "/far.txt", std::ios::binary) << "old\r\n";
        QCOMPARE(::symlink((other + "/far.txt").c_str(), dir.File("far.txt").c_str()), 0);
        imagelist::SaveImageList(dir.File("far.txt"), {"d"});
        QCOMPARE(ReadFileBytes(other + "/far.txt"), std::string("d\r\n"));
        QCOMPARE(Listing(other), std::set<std::string>{"far.txt"});
        std::filesystem::remove_all(other);

        // No temporary file stays behind.
        QCOMPARE(Listing(dir.Path()), (std::set<std::string>{"dangling.txt", "far.txt", "link.txt", "link2.txt",
                                                               "list.txt", "real.txt", "sub"}));
        QCOMPARE(Listing(dir.File("sub")), std::set<std::string>{"new.txt"});
        struct stat here {}, there {};
        if (::stat(dir.Path().c_str(), &here) == 0 && ::stat("/dev/shm", &there) == 0 && here.st_dev == there.st_dev)
            QSKIP("/dev/shm is on the same file system as the temporary folder: the link crossed none");
    }

    // On disk before it takes the name, so a crash leaves the old list or the new one, never an empty file.
    void flushesTheNewListBeforeRenamingIt()
    {
        TempDir dir;
        const std::string list = dir.Write("list.txt", "old\r\n");
        std::vector<std::string> calls;
        fileCallLog = &calls;
        imagelist::SaveImageList(list, {"new"});
        fileCallLog = nullptr;
        QCOMPARE(calls, (std::vector<std::string>{"fsync (unnamed)", "link (unnamed) .leafbind-",
                                                  "rename .leafbind- list.txt", "fsync " + LoggedName(dir.Path())}));
    }

    // The save runs in a child process, so the file size limit binds it alone.
    void failedSaveKeepsThePreviousList_data()
    {
        QTest::addColumn<bool>("smallFileSystem");
        QTest::addColumn<QString>("reason");
        QTest::newRow("file size limit") << false << "File too large";
        QTest::newRow("full 64 KiB file system") << true << "No space left on device";
    }
    void failedSaveKeepsThePreviousList()
    {
        QFETCH(bool, smallFileSystem);
        QFETCH(QString, reason);
        TempDir dir;
        std::string folder = dir.Path();
        SmallFileSystem mounted;
        if (smallFileSystem) {
            folder = dir.File("small");
            if (!mounted.Mount(folder))
                QSKIP("mounting a tmpfs is not allowed here; the file size limit row covers the failure");
        }
        const std::string list = folder + "/list.txt";
        const std::string previous = "/photos/a.jpg\r\n/photos/b.jpg\r\n";
        std::ofstream(list, std::ios::binary) << previous;
        const Items longList(20000, std::string(30, 'x'));  // 640 KB, more than either limit allows
        const std::string expected = "Cannot create file \"" + list + "\". " + reason.toStdString();

        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            if (!smallFileSystem) {
                const rlimit limit{4096, 4096};
                ::setrlimit(RLIMIT_FSIZE, &limit);
                ::signal(SIGXFSZ, SIG_IGN);  // the write then fails with EFBIG instead of killing
            }
            try {
                imagelist::SaveImageList(list, longList);
                ::_exit(1);
            } catch (const ImageListError& error) {
                ::_exit(error.what() == expected ? 0 : 2);
            }
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);  // 1: saved in spite of the limit, 2: another message
        QCOMPARE(ReadFileBytes(list), previous);
        QCOMPARE(Listing(folder), std::set<std::string>{"list.txt"});
    }

private:
    static std::set<std::string> Listing(const std::string& folder)
    {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names.insert(entry.path().filename().string());
        return names;
    }

    static unsigned ModeOf(const std::string& path)
    {
        struct stat info {};
        return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : ~0u;
    }

    static void MakeSocket(const std::string& path)
    {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(fd);
    }

    // A 64 KiB tmpfs at a folder, unmounted at scope end.
    struct SmallFileSystem {
        std::string at;
        bool Mount(const std::string& folder)
        {
            if (::mkdir(folder.c_str(), 0700) != 0
                || ::mount("leafbind-test", folder.c_str(), "tmpfs", 0, "size=64k") != 0)
                return false;
            at = folder;
            return true;
        }
        ~SmallFileSystem()
        {
            if (!at.empty())
                ::umount2(at.c_str(), MNT_DETACH);
        }
    };

    template <typename Action>
    void expectError(Action action, const std::string& message)
    {
        try {
            action();
            QFAIL("no error raised");
        } catch (const ImageListError& error) {
            QCOMPARE(std::string(error.what()), message);
        }
    }
};

QTEST_GUILESS_MAIN(ImageListFileTest)
#include "imagelist_file_test.moc"
