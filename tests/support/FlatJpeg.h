// SPDX-License-Identifier: GPL-2.0-or-later
// Flat grey JPEG files of any size, put together by hand: every block is one DC value and no AC,
// so even a picture of hundreds of megapixels is a few megabytes, written in a moment.
#pragma once

#include <string>

// A one-component picture of width x height pixels, every sample 200. Sequential: one scan of DC
// and AC. Progressive: the DC scan alone.
std::string MakeFlatGreyJpeg(int width, int height, bool progressive);
