// SPDX-License-Identifier: GPL-2.0-or-later
// BMP, ICO and PNG pictures for the preview, through Qt's image readers.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

// Decodes bytes as the given format ("bmp", "ico" or "png"; never guessed from the contents) and
// returns the picture scaled to the drawn size of area, alpha kept.
// Throws PictureError(invalidMessage) when the bytes are not a picture of that format.
QImage RenderRasterPreview(const QByteArray& bytes, const char* format, QSize area, const char* invalidMessage);
