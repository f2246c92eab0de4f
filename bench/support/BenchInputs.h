// SPDX-License-Identifier: GPL-2.0-or-later
// Inputs for the benchmarks: JPEG files of a chosen size that cost what real photographs cost.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Pseudo-random bytes: incompressible, so no layer below can make a copy cheaper than real image data.
std::vector<char> Noise(size_t size);

// Writes a real JPEG (so the probe accepts it) followed by noise up to `size` bytes: the engine reads
// only the header and copies the rest, so the filler costs what real image data would. `seed` picks
// where in the noise the filler starts, so files differ. False when the file cannot be written.
bool WriteJpegOfSize(const std::string& path, const std::string& jpeg, const std::vector<char>& noise, int64_t size,
                     size_t seed);
