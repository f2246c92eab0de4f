// SPDX-License-Identifier: GPL-2.0-or-later
#include "PictureFile.h"

#include "PictureError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void ThrowCannotOpen(const QByteArray& path, const char* reason)
{
    const QString message = QStringLiteral("Cannot open file \"%1\". %2")
                                .arg(ExpandedPicturePath(path), QString::fromLocal8Bit(reason));
    throw PictureError(message.toStdString());
}

} // namespace

QString ExpandedPicturePath(const QByteArray& path)
{
    return QDir::cleanPath(QFileInfo(QFile::decodeName(path)).absoluteFilePath());
}

PictureFileHandle OpenPictureFile(const QByteArray& path)
{
    // A NUL byte would end the name early and open some other file.
    if (path.contains('\0'))
        ThrowCannotOpen(path, std::strerror(ENOENT));
    // O_NONBLOCK keeps a FIFO from stalling the window; it is cleared again for regular files.
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        ThrowCannotOpen(path, std::strerror(errno));
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        ThrowCannotOpen(path, std::strerror(error));
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        ThrowCannotOpen(path, std::strerror(S_ISDIR(info.st_mode) ? EISDIR : ENODEV));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* file = ::fdopen(fd, "rb");
    if (!file) {
        const int error = errno;
        ::close(fd);
        ThrowCannotOpen(path, std::strerror(error));
    }
    return PictureFileHandle(file);
}

QByteArray ReadPictureFile(std::FILE* file, qint64 sizeLimit, const char* invalidMessage)
{
    QByteArray bytes;
    char chunk[65536];
    for (;;) {
        const size_t got = std::fread(chunk, 1, sizeof chunk, file);
        if (got > 0) {
            if (bytes.size() + static_cast<qint64>(got) > sizeLimit)
                throw PictureError(invalidMessage);
            bytes.append(chunk, static_cast<qsizetype>(got));
        }
        if (got < sizeof chunk) {
            if (std::ferror(file))
                throw PictureError(invalidMessage);
            return bytes;
        }
    }
}
