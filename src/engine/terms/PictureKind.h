// SPDX-License-Identifier: GPL-2.0-or-later
// What a file's first bytes say it is, for a refusal that names it.
#pragma once

namespace jpeg2pdf {

enum class PictureKind { Unknown, Jpeg, Png, Tiff, Gif, WebP, Heic, Avif, Bmp, Jpeg2000, JpegXl, Pdf };

}  // namespace jpeg2pdf
