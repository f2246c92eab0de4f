// SPDX-License-Identifier: GPL-2.0-or-later
// What OpenReadableFile makes of each kind of file: a regular file is kept open and blocking;
// anything else is refused at once, a FIFO without a writer included, with what a caller needs
// to word the refusal.
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "ReadableFile.h"
#include "TempDir.h"

using Refusal = posixfile::ReadableFile::Refusal;

namespace {

// A listening Unix socket at `path`; its descriptor, closed by the caller.
int BoundSocket(const std::string& path)
{
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        ADD_FAILURE() << "cannot bind a socket at " << path << ": " << std::strerror(errno);
    return fd;
}

}  // namespace

TEST(ReadableFile, EachKindOfFile)
{
    TempDir dir;
    const std::string regular = dir.Write("photos.txt", "a.jpg\n");
    const std::string fifo = dir.File("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string socketPath = dir.File("socket");
    const int socketFd = BoundSocket(socketPath);
    struct Case {
        const char* name;
        std::string path;
        Refusal refusal;
        int systemError;
        mode_t type;  // S_IFMT bits of what info says; 0: not looked at
    };
    const Case cases[] = {
        {"regular file", regular, Refusal::None, 0, S_IFREG},
        {"folder", dir.Path(), Refusal::NotRegularFile, 0, S_IFDIR},
        {"FIFO without a writer", fifo, Refusal::NotRegularFile, 0, S_IFIFO},
        // The open itself fails; ENXIO says why, for the caller to put in plainer words.
        {"socket", socketPath, Refusal::NotRegularFile, ENXIO, 0},
        {"device", "/dev/null", Refusal::NotRegularFile, 0, S_IFCHR},
        {"missing file", dir.File("missing"), Refusal::System, ENOENT, 0},
        {"under a file", regular + "/x", Refusal::System, ENOTDIR, 0},
        {"empty name", "", Refusal::System, ENOENT, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const posixfile::ReadableFile opened = posixfile::OpenReadableFile(c.path);
        if (c.systemError == ENXIO) {
            EXPECT_NE(opened.refusal, Refusal::None);
        } else {
            EXPECT_EQ(opened.refusal, c.refusal);
        }
        EXPECT_EQ(opened.systemError, c.systemError) << std::strerror(opened.systemError);
        EXPECT_EQ(opened.file.IsOpen(), c.refusal == Refusal::None);
        if (c.type != 0) {
            EXPECT_EQ(opened.info.st_mode & S_IFMT, c.type);
        }
        // The file kept is blocking again (O_NONBLOCK only guarded the open) and closed on exec.
        if (opened.file.IsOpen()) {
            EXPECT_EQ(fcntl(opened.file.Get(), F_GETFL) & O_NONBLOCK, 0);
            EXPECT_NE(fcntl(opened.file.Get(), F_GETFD) & FD_CLOEXEC, 0);
        }
    }
    close(socketFd);
}
