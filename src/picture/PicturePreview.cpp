// SPDX-License-Identifier: GPL-2.0-or-later
#include "PicturePreview.h"

#include "JpegPreviewDecoder.h"
#include "MetafilePreview.h"
#include "PreviewFile.h"
#include "RasterPreview.h"

#include <QFile>

namespace {

// Larger raster or metafile files are refused rather than read whole into memory.
constexpr qint64 kWholeFileLimit = 256LL * 1024 * 1024;

// The text after the last "." of the file name ("" when there is none).
QString ExtensionOf(const QByteArray& path)
{
    const QByteArray name = path.mid(path.lastIndexOf('/') + 1);
    const qsizetype dot = name.lastIndexOf('.');
    return dot < 0 ? QString() : QFile::decodeName(name.mid(dot + 1));
}

enum class PictureKind { Bmp, Ico, Wmf, Emf, Jpeg, Png, Unknown };

PictureKind KindOfExtension(const QString& extension)
{
    const QString lower = extension.toLower();
    if (lower == u"bmp")
        return PictureKind::Bmp;
    if (lower == u"ico")
        return PictureKind::Ico;
    if (lower == u"wmf")
        return PictureKind::Wmf;
    if (lower == u"emf")
        return PictureKind::Emf;
    if (lower == u"jpg" || lower == u"jpeg")
        return PictureKind::Jpeg;
    if (lower == u"png")
        return PictureKind::Png;
    return PictureKind::Unknown;
}

} // namespace

QImage LoadPreviewPicture(const QByteArray& path, QSize area)
{
    const QString extension = ExtensionOf(path);
    const PictureKind kind = KindOfExtension(extension);
    if (kind == PictureKind::Unknown)
        throw PictureError(QStringLiteral("Unknown picture file extension (.%1)").arg(extension).toStdString());

    const PreviewFileHandle file = OpenPreviewFile(path);
    switch (kind) {
    case PictureKind::Jpeg:
        return DecodeJpegPreview(file.get(), area);
    case PictureKind::Bmp:
        return RenderRasterPreview(ReadPreviewFile(file.get(), kWholeFileLimit, "Bitmap image is not valid"), "bmp",
                                   area, "Bitmap image is not valid");
    case PictureKind::Ico:
        return RenderRasterPreview(ReadPreviewFile(file.get(), kWholeFileLimit, "Icon image is not valid"), "ico",
                                   area, "Icon image is not valid");
    case PictureKind::Png:
        return RenderRasterPreview(ReadPreviewFile(file.get(), kWholeFileLimit, "PNG image is not valid"), "png",
                                   area, "PNG image is not valid");
    case PictureKind::Wmf:
        return RenderWmfPreview(ReadPreviewFile(file.get(), kWholeFileLimit, kInvalidMetafile), area);
    case PictureKind::Emf:
        return RenderEmfPreview(ReadPreviewFile(file.get(), kWholeFileLimit, kInvalidMetafile), area);
    case PictureKind::Unknown:
        break;
    }
    throw PictureError(QStringLiteral("Unknown picture file extension (.%1)").arg(extension).toStdString());
}
