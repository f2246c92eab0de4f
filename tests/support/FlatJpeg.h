// SPDX-License-Identifier: GPL-2.0-or-later
// Flat grey JPEG files of any size, put together block by block: every block is one DC value and no
// AC, so even a picture of hundreds of megapixels is a few megabytes, written in a moment.
#pragma once

#include <string>

// A one-component picture of width x height pixels, every sample grey (0..255). Baseline: one
// sequential scan. Progressive: a DC scan, then one AC scan of end-of-band runs.
std::string MakeFlatGreyJpeg(int width, int height, int grey, bool progressive);
