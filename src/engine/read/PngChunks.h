// SPDX-License-Identifier: GPL-2.0-or-later
// What a PNG file's chunks say, read chunk by chunk with every CRC checked: the header, the
// palette, the transparency and colour profile chunks, the density, and where the image data
// lies in the file. Nothing is decoded; memory stays bounded whatever the file's lengths say.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "EntryProblem.h"
#include "FileDensity.h"
#include "ImageCoding.h"
#include "InputFile.h"
#include "JpegFrameProbe.h"

namespace jpeg2pdf {

// The most IDAT chunks a file may have: encoders write a few per megabyte of data.
constexpr size_t kMostPngDataChunks = size_t {1} << 22;
// The most bytes an iCCP chunk's profile may inflate to, as much as a JPEG's APP2 chunks hold.
constexpr size_t kMostPngProfileBytes = 255 * 65519;

struct PngFacts {
    int32_t width = 0;
    int32_t height = 0;
    int bitDepth = 0;
    int colourType = 0;  // 0 grey, 2 RGB, 3 palette, 4 grey and alpha, 6 RGB and alpha
    int interlace = 0;  // 1: Adam7
    std::vector<uint8_t> palette;  // PLTE's RGB triples
    bool transparency = false;  // a tRNS chunk before the image data
    std::vector<uint8_t> transparent;  // its payload, when it fits the colour type (else ignored, as readers do)
    bool profileStated = false;  // an iCCP chunk before the image data
    std::vector<uint8_t> profile;  // its profile inflated, read only on request
    std::string profileIgnored;  // why a stated profile is not used, without the file name
    FileDensity density;  // pHYs in pixels per metre turned to per inch; 0: none (unit 0 is aspect only)
    std::vector<FileRange> data;  // the IDAT payloads, in file order
};

// Walks the chunks of `file` from its signature to IEND. Returns refusal None, or PngDamaged
// (with how and which chunk) or PngUnknownCritical. The profile is inflated and checked (with
// CheckIccProfile) only with `readProfile`. Never reads past the file's size; data after IEND is
// left alone.
EntryProblem ReadPngChunks(const posixfile::InputFile& file, bool readProfile, PngFacts& facts);

// Samples per pixel a profile describes for a PNG of `colourType`: 1 for grey, else 3.
int PngProfileComponents(int colourType);

// How a PNG's transparency is shown: a colour-key mask over the samples where PDF readers honour
// one, else a soft mask decoded from the alpha channel, the palette's alphas or the key colour.
// Fills `coding`'s keyMask or alphaBits from the file's colour type, depth and tRNS payload.
void PlanPngTransparency(const PngFacts& facts, ImageCoding& coding);

// The probe for a PNG file, as ProbeJpegFile for a JPEG. `outcome.coding` tells how its samples
// are coded: the IDAT data copied when it is not interlaced and its transparency (if any) is a
// colour-key mask; otherwise the pixels decoded while the page is written (ImageCodingKind::Pixels).
void ProbePngFile(const std::string& path, const ProbeRequest& request, ProbeOutcome& outcome) noexcept;

}  // namespace jpeg2pdf
