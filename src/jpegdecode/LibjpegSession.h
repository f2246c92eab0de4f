// SPDX-License-Identifier: GPL-2.0-or-later
// libjpeg's state for one picture and the steps that call into it. libjpeg reports a fatal error by
// calling error_exit, which here jumps back to the setjmp at the top of the step that made the call.
// A step, and whatever lies between it and libjpeg on the stack (libjpeg's own frames, the DC-scan
// reader's), holds only trivially destructible data, so the jump skips no destructor; the caller's
// row sink runs between libjpeg's calls, never beneath one. The step then returns false and the
// session keeps the message. Warnings are noted, never printed.
#pragma once

#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

#include "JpegDcScanReader.h"
#include "JpegDecoder.h"

namespace jpegdecode {

struct ErrorManager {
    jpeg_error_mgr pub;  // first, so libjpeg's pointer converts to ours
    std::jmp_buf jump;
    // The data ran out (libjpeg pads the rest with mid grey), or a stray marker ended a single
    // sequential scan without restart markers, after which only padding could follow.
    bool dataEnded;
    // A scan needed bits its data did not hold (the data ran out, or a marker stood in the middle):
    // part of the picture is padding. A file that lacks only its end marker misses nothing.
    bool bitsMissing;
};

// How the rows are read once started.
enum class ReadPath {
    Full,        // libjpeg's own output of every scan
    FirstScans,  // progressive at 1/8: libjpeg's buffered mode, shown once every DC value is known
    DcScan,      // progressive at 1/8: the first scan alone, through DcScanReader
};

struct LibjpegSession {
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    bool created = false;
    ReadPath path = ReadPath::Full;
    // One output row of rowSize samples, allocated by the caller once started (an allocation failure
    // is no longjmp to handle). Held apart from libjpeg's pools: copying rows out of a pool row ran
    // 15% slower for the recogniser's full-size RGB pages (Leptonica's pixel writes after it).
    size_t rowSize = 0;
    std::vector<JSAMPLE> rowSamples;
    JSAMPROW row[1] = {nullptr};
    int failureCode = 0;
    char failureText[JMSG_LENGTH_MAX] = {};

    LibjpegSession();
    ~LibjpegSession();
    LibjpegSession(const LibjpegSession&) = delete;
    LibjpegSession& operator=(const LibjpegSession&) = delete;
};

// Hands each decoded row on: ink turned into RGB, then the caller's sink.
struct RowDelivery {
    const JpegDecoder::RowSink* sink = nullptr;
    int width = 0;
    bool ink = false;          // the rows come as CMYK
    bool invertedInk = false;  // Adobe's, 255 meaning no ink
    int next = 0;              // the next row's number

    void Deliver(JSAMPROW samples);
};

// Each step returns false after a fatal error, with failureCode and failureText set.
// Sets libjpeg up on the input and reads up to the first scan.
bool ReadHeaderStep(LibjpegSession* session, const JpegInput& input, long memoryLimit);
// Picks the scale and the read path, starts the output and sets rowSize (see there).
bool StartStep(LibjpegSession* session, const ScaleRule& rule, long memoryLimit, bool padMissingRows,
               DcScanReader* dcScan, bool lumaOnly = false);
// Delivers the rows (see JpegDecoder::ReadRows).
bool ReadRowsStep(LibjpegSession* session, DcScanReader* dcScan, bool stopAtDataEnd, RowDelivery* delivery);
// libjpeg's finish after a full read of every row; nothing otherwise.
bool FinishStep(LibjpegSession* session);

}  // namespace jpegdecode
