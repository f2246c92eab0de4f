// SPDX-License-Identifier: GPL-2.0-or-later
// The one JPEG decoder, for the preview and the recogniser: libjpeg at a reduced DCT scale chosen by
// the caller's rule, grey, RGB, CMYK, inverted Adobe CMYK and YCCK pictures delivered as 8-bit grey
// or RGB rows, one at a time, so the full-size picture is never held. A progressive picture at 1/8
// scale is read from the scans that carry its DC values alone (its first scan where that holds
// every component's DC), so its memory stays a few rows whatever its size. Plain C++: no libjpeg
// header reaches the callers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

namespace jpegdecode {

// Where the JPEG comes from. The decoder reads from it and never closes or frees it.
struct JpegInput {
    std::FILE* file = nullptr;             // read from its current position on
    const unsigned char* bytes = nullptr;  // or, when file is null, a whole JPEG in memory
    std::size_t size = 0;
};

struct DecoderSettings {
    // What libjpeg may allocate for one picture; 0 leaves libjpeg's own default (no limit). Past the
    // limit a step fails; a progressive picture whose coefficients alone would pass it is read at
    // 1/8 whatever the scale rule asks.
    long memoryLimit = 0;
    // Where the data ends early (or a stray marker ends a single sequential scan), stop delivering
    // rows at once rather than deliver libjpeg's mid-grey padding for the rest of the picture.
    bool stopAtDataEnd = false;
    // A YCbCr picture's rows are its luma alone (1 component, Rec. 601 as JFIF stores it): the
    // colour components are not turned into RGB. A progressive picture read from its DC scans,
    // and a CMYK or YCCK one, still comes as RGB; Output().components tells.
    bool lumaOnly = false;
};

// How the output scale is chosen once the header is known.
struct ScaleRule {
    enum class Kind {
        Covering,  // the smallest of 1/8, 2/8 ... 8/8 whose output covers coverWidth x coverHeight
                   // (8/8 when none does)
        Within,    // the largest of 1, 1/2, 1/4, 1/8 whose output has at most maxPixels pixels and
                   // at most maxSide on either side (1/8 when none does)
    };
    Kind kind = Kind::Covering;
    int coverWidth = 1, coverHeight = 1;
    double maxPixels = 0;
    int maxSide = 0;

    static ScaleRule Covering(int width, int height) { return {Kind::Covering, width, height, 0, 0}; }
    static ScaleRule Within(double maxPixels, int maxSide) { return {Kind::Within, 1, 1, maxPixels, maxSide}; }
};

// What the frame header says.
struct JpegHeader {
    int width = 0, height = 0;  // the picture as stored
    int components = 0;         // as stored: 1, 3 or 4
    bool progressive = false;
    // The JFIF density across, in dots per inch of the stored picture; 0 where the file states none
    // (no JFIF segment, an aspect ratio only, or a density of 0).
    double jfifDotsPerInch = 0;
};

// What the rows will be.
struct JpegOutput {
    int width = 0, height = 0;
    int components = 0;  // 1 for a grey picture (or luma alone: see lumaOnly), 3 (RGB) for any other
    int eighths = 8;     // the scale used, in eighths: 8 full size, 4 half, 2 a quarter, 1 an eighth
};

// A fatal error: libjpeg's message number and its text.
struct JpegFailure {
    int code = 0;
    std::string message;
};

// libjpeg's number for "Insufficient memory", for callers whose own allocation for the rows fails.
extern const int kJpegOutOfMemory;

// One picture, decoded in steps: ReadHeader, Start, ReadRows, then Finish where the rest of the file
// should be checked. A step that fails returns false with Failure() set; every later step then
// does nothing and returns false. Never prints anything.
class JpegDecoder {
public:
    JpegDecoder(JpegInput input, DecoderSettings settings);
    ~JpegDecoder();
    JpegDecoder(const JpegDecoder&) = delete;
    JpegDecoder& operator=(const JpegDecoder&) = delete;

    // Reads up to the first scan.
    bool ReadHeader();
    const JpegHeader& Header() const;

    // Picks the scale by the rule and sets the output up; Output() is known from here on.
    bool Start(const ScaleRule& rule);
    const JpegOutput& Output() const;

    // Calls sink once per row, top to bottom (y from 0), with Output().width x components samples,
    // valid during the call only. Every row comes unless the settings stop at the end of the data;
    // rows never delivered are the caller's to fill. An exception from sink passes through, and the
    // decoder is then good for nothing but destruction.
    using RowSink = std::function<void(int y, const std::uint8_t* samples)>;
    bool ReadRows(const RowSink& sink);

    // Reads the rest of the file to its end as libjpeg checks it, after a full decode whose every row
    // was read; a picture read from its first scans, or stopped early, is left as it is (true).
    bool Finish();

    const JpegFailure& Failure() const;

    // Whether a scan's data stopped before the picture was whole (the file is cut short, or damaged
    // with a marker or a bad code in a scan): part of the rows hold no picture (libjpeg's mid-grey
    // padding, or none). A file that lacks only its end marker is whole. Known once the rows are read.
    bool PictureIncomplete() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace jpegdecode
