// SPDX-License-Identifier: GPL-2.0-or-later
// The picture shown in the main window's preview: loaded by file extension and scaled to fit.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

#include "FitPicture.h"
#include "PictureError.h"

// Loads the picture in the file named by the bytes of path (not every name is valid text) and returns
// it scaled to the size FitPictureSize gives for area (at least one pixel each way), ready to be drawn
// at the top-left corner of the area.
// The format is chosen by the file name's extension: bmp, ico, wmf, emf, jpg, jpeg, png.
// Throws PictureError for an unknown extension, a file that cannot be opened, or a damaged picture.
QImage LoadPreviewPicture(const QByteArray& path, QSize area = QSize(80, 63));
