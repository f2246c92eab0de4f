// SPDX-License-Identifier: GPL-2.0-or-later
// Opening a picture file for the preview, with the user-facing message when it cannot be opened.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <memory>

struct PreviewFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using PreviewFileHandle = std::unique_ptr<std::FILE, PreviewFileCloser>;

// The path made absolute and cleaned of "." and ".." parts, as shown in messages.
QString ExpandedPreviewPath(const QByteArray& path);

// Opens the file named by exactly these bytes (not every name is valid text) for reading.
// Throws PictureError "Cannot open file "<path>". <reason>".
// Never blocks on a FIFO or a device: those are refused like a directory.
PreviewFileHandle OpenPreviewFile(const QByteArray& path);

// Reads the rest of the file. A file larger than sizeLimit, or one that fails to read,
// throws PictureError(invalidMessage): a preview never needs that much of a raster or metafile.
QByteArray ReadPreviewFile(std::FILE* file, qint64 sizeLimit, const char* invalidMessage);
