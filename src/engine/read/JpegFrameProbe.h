// SPDX-License-Identifier: GPL-2.0-or-later
// The frame probe as the writer uses it: the frame facts, which file they came from, why a file
// was refused, and on request the Exif orientation.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "EntryProblem.h"
#include "InputFile.h"
#include "FileDensity.h"
#include "ImageCoding.h"
#include "JpegFrameInfo.h"

namespace jpeg2pdf {

struct ProbeOutcome {
    JpegFrameInfo info {false, 0, 0};
    int components = 0;  // the frame's component count once a frame header was read
    EntryProblem problem;  // refusal None when the file was accepted
    posixfile::FileIdentity identity;
    int orientation = 1;  // 1 to 8; read only on request
    FileDensity density;  // read only on request: the first JFIF APP0's, else the first Exif APP1's
    // Read only on request: the ICC profile reassembled from the APP2 segments before the frame
    // header, when it is whole and fits the frame; otherwise empty, and when a profile was there
    // but is ignored, `profileIgnored` says why in one line without the file name.
    std::vector<uint8_t> profile;
    std::string profileIgnored;
    std::vector<uint8_t> profileDeflated;  // a PNG's: the profile's zlib data as its iCCP chunk holds it
    ImageCoding coding;  // how the file's samples are coded: a JPEG's DCT, or a PNG's rows
};

// What the probe reads besides the frame header; all off accepts exactly what ReadJpegFrameInfo
// accepts.
struct ProbeRequest {
    bool orientation = false;  // the first Exif APP1 segment's orientation
    bool density = false;  // JFIF APP0 density, else Exif IFD0 resolution
    bool profile = false;  // the APP2 ICC_PROFILE chunks
    bool acceptGray = false;  // a 1-component frame is accepted
    bool acceptPng = false;  // a PNG file is probed as one (see ProbePngFile), not refused as not a JPEG
    bool acceptTiff = false;  // a TIFF file's pages are probed (see ProbeTiffFile), not refused as not a JPEG
};

// Why an entry whose file `file` failed to open cannot become a page: CannotOpen with errno,
// NotRegularFile, or LockedByWriter.
EntryProblem OpenProblem(const posixfile::InputFile& file);

// Accepts what the request allows (refusal None), and says why not otherwise.
void ProbeJpegFile(const std::string& path, const ProbeRequest& request, ProbeOutcome& outcome) noexcept;
// With `readOrientation` the first Exif APP1 segment before the frame header is read as well.
void ProbeJpegFile(const std::string& path, bool readOrientation, ProbeOutcome& outcome) noexcept;

}  // namespace jpeg2pdf
