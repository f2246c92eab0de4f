// SPDX-License-Identifier: GPL-2.0-or-later
// Windows metafiles for the preview: WMF through libwmf and EMF through libemf2svg, both turned into
// SVG and drawn with Qt SVG.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

// The message for a metafile that cannot be drawn.
inline constexpr const char* kInvalidMetafile = "Metafile is not valid";

// Each returns the picture scaled to the drawn size of area, or throws PictureError(kInvalidMetafile).
QImage RenderWmfPreview(const QByteArray& bytes, QSize area);
QImage RenderEmfPreview(const QByteArray& bytes, QSize area);

// Draws an SVG document at the drawn size of area, on a transparent background.
QImage RenderSvgPreview(const QByteArray& svg, QSize area);
