// SPDX-License-Identifier: GPL-2.0-or-later
#include "PreviewFile.h"

#include "PictureError.h"
#include "ReadableFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <string>

namespace {

[[noreturn]] void ThrowCannotOpen(const QByteArray& path, int error)
{
    const QString message = QStringLiteral("Cannot open file \"%1\". %2")
                                .arg(ExpandedPreviewPath(path), QString::fromLocal8Bit(std::strerror(error)));
    throw PictureError(message.toStdString());
}

// The reason shown for a file the open refused.
int RefusalError(const posixfile::ReadableFile& opened)
{
    if (opened.refusal == posixfile::ReadableFile::Refusal::System)
        return opened.systemError;
    if (S_ISDIR(opened.info.st_mode))
        return EISDIR;
    // A socket, which open() itself refuses, keeps the reason the system gave (ENXIO), as the
    // preview has always shown it; a FIFO or a device reads "No such device".
    return opened.systemError != 0 ? opened.systemError : ENODEV;
}

} // namespace

QString ExpandedPreviewPath(const QByteArray& path)
{
    return QDir::cleanPath(QFileInfo(QFile::decodeName(path)).absoluteFilePath());
}

PreviewFileHandle OpenPreviewFile(const QByteArray& path)
{
    // A NUL byte would end the name early and open some other file.
    if (path.contains('\0'))
        ThrowCannotOpen(path, ENOENT);
    posixfile::ReadableFile opened = posixfile::OpenReadableFile(path.toStdString());
    if (opened.refusal != posixfile::ReadableFile::Refusal::None)
        ThrowCannotOpen(path, RefusalError(opened));
    std::FILE* file = ::fdopen(opened.file.Get(), "rb");
    if (!file)
        ThrowCannotOpen(path, errno);
    opened.file.Release(); // the stream owns it now
    return PreviewFileHandle(file);
}

QByteArray ReadPreviewFile(std::FILE* file, qint64 sizeLimit, const char* invalidMessage)
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
