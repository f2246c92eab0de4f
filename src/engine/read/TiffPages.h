// SPDX-License-Identifier: GPL-2.0-or-later
// The pages of a TIFF file, read with libtiff: every image file directory but the reduced-resolution
// ones is a page, in file order. For each the probe finds its size, samples, density, profile and
// orientation, and how its data can be carried: its one strip copied as it is, or refused as not
// taken. libtiff's messages never reach the terminal; its first error is the refusal's detail.
// Memory stays bounded whatever the tags say: strip tables are read on demand, and no allocation
// above kMostTiffAllocation is made.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "EntryProblem.h"
#include "InputFile.h"
#include "JpegFrameProbe.h"
#include "TiffHandle.h"

namespace jpeg2pdf {

// The most bytes libtiff may take for one allocation while reading a file.
constexpr int64_t kMostTiffAllocation = int64_t {256} << 20;
// The most image file directories read from one file, reduced-resolution ones included.
constexpr int kMostTiffDirectories = 1 << 20;
// The most strips or tiles a page's data may be split into (a row each for the tallest picture).
constexpr uint32_t kMostTiffStrips = uint32_t {1} << 20;
// The most bytes of JPEGTables kept (a few hundred in practice).
constexpr uint32_t kMostJpegTablesBytes = 65536;

// What the probe says of a TIFF file: the file's own refusal (damaged before any page, no
// page at all), or one outcome per page, each with its own refusal or None.
struct TiffProbeOutcome {
    EntryProblem problem;  // refusal None when the file's pages were read
    std::vector<ProbeOutcome> pages;
};

// Reads every page of the TIFF file at `path` as `request` says (density, profile and
// orientation only when asked); a page's `coding` says how its data is copied.
void ProbeTiffFile(const std::string& path, const ProbeRequest& request, TiffProbeOutcome& outcome) noexcept;

// The coding of the page at the directory `tiff` is at, read again as the probe read it: the
// writer's check that the file still holds what validation read. False with `problem` set when
// it cannot be read.
bool ReadTiffPageCoding(TiffHandle& tiff, ImageCoding& coding, EntryProblem& problem);

}  // namespace jpeg2pdf
