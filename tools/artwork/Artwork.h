// SPDX-License-Identifier: GPL-2.0-or-later
// Every picture the program loads, each drawn from scratch. Sizes are in points; `scale` is the
// number of pixels per point (1 for the plain files, 2 for the @2x ones).
#pragma once

#include <QImage>

namespace art {

// 32 x 32 command glyphs.
QImage AddGlyph(qreal scale);
QImage RemoveGlyph(qreal scale);
QImage CreateGlyph(qreal scale);
QImage ClearGlyph(qreal scale);
QImage SaveGlyph(qreal scale);
QImage LoadGlyph(qreal scale);
QImage AboutGlyph(qreal scale);
QImage ExitGlyph(qreal scale);

// About box pictures: the close picture (48 x 48), the gold frame (155 x 115, transparent middle)
// and the picture seen through the frame (147 x 110, opaque).
QImage CloseBadge(qreal scale);
QImage GoldFrame(qreal scale);
QImage FramedPicture(qreal scale);

// Application icon, 256 x 256 points; drawn at every size the icon theme asks for.
QImage AppIcon(qreal scale);
// The pixel sizes of the icon in the hicolor theme, the largest also the window's own icon.
inline constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

}  // namespace art
