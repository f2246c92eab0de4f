// Every picture the program loads, each drawn from scratch.
#pragma once

#include <QImage>

namespace art {

// 32 x 32 command glyphs.
QImage AddGlyph();
QImage RemoveGlyph();
QImage CreateGlyph();
QImage ClearGlyph();
QImage SaveGlyph();
QImage LoadGlyph();
QImage AboutGlyph();
QImage ExitGlyph();

// About box pictures: the close picture (48 x 48), the gold frame (155 x 115, transparent middle)
// and the picture seen through the frame (147 x 110, opaque).
QImage CloseBadge();
QImage GoldFrame();
QImage FramedPicture();

// Application icon, 256 x 256.
QImage AppIcon();

}  // namespace art
