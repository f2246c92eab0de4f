// SPDX-License-Identifier: GPL-2.0-or-later
// Real ICC profiles made with lcms2, and their APP2 ICC_PROFILE chunks for JpegRecipe.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Each profile as the bytes lcms2 saves; `version` is the ICC version written in the header
// (2.1 to 4.4). Throws std::runtime_error when lcms2 fails.
std::string AdobeRgbLikeProfile(double version = 4.3);  // Adobe RGB (1998) primaries, D65, gamma 2.2
std::string SrgbProfile(double version = 4.3);  // lcms2's built-in sRGB
std::string GrayProfile(double version = 4.3);  // D50 white, gamma 2.2
// A CMYK output profile with CMYK-to-Lab and Lab-to-CMYK tables of `gridPoints` per input; the
// default makes it about 190 KB, three full chunks.
std::string CmykProfile(int gridPoints = 13, double version = 4.3);

// The most profile bytes one APP2 segment carries after its 14-byte chunk header.
constexpr size_t kMostIccChunkBytes = 65533 - 14;

// One APP2 segment carrying `data` as chunk `sequence` of `count` (each stored as one byte).
std::string IccChunkSegment(int sequence, int count, const std::string& data);

// The profile cut into chunks of at most `chunkSize` bytes, numbered from 1, one APP2 segment
// each. `order` lists the chunk numbers to emit, in emission order: a number twice duplicates
// its chunk, a missing number drops it, a number out of range emits an empty chunk under it.
// An empty `order` emits every chunk in sequence.
std::vector<std::string> IccChunkSegments(const std::string& profile, size_t chunkSize = kMostIccChunkBytes,
                                          const std::vector<int>& order = {});
