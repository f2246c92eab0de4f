// SPDX-License-Identifier: GPL-2.0-or-later
// A progressive JPEG at 1/8 scale from its first DC scan alone, read one MCU row at a time. libjpeg
// keeps every coefficient of a progressive picture until its last scan (128 bytes per 8 x 8 block,
// gigabytes for a huge photograph); at 1/8 scale each output pixel is one block's DC value, which the
// first scan already holds, so this reader needs only a few MCU rows of memory whatever the size.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace jpegdecode {

class DcScanReader {
public:
    // Takes over the scan that jpeg_read_header stopped at, when it is a Huffman-coded first DC scan
    // of every component in a colour space the decoder delivers; returns false (reading nothing)
    // otherwise. With padMissingRows, rows past the point where the data stops come as DC 0 (mid
    // grey before colour conversion), as libjpeg shows missing data, instead of ending the picture.
    bool Start(j_decompress_ptr cinfo, bool padMissingRows);

    int OutputWidth() const { return outputWidth_; }
    int OutputHeight() const { return outputHeight_; }
    int OutputComponents() const { return outputComponents_; }

    // Writes the next output row (grey for a grey picture, CMYK as stored for CMYK and YCCK
    // pictures, RGB for the rest). Returns false after the last row, or, without padMissingRows,
    // where the data stops (its end, a stray marker, a bad code): the rest of the picture is not
    // delivered. May call the source manager, and so libjpeg's error_exit; holds nothing that
    // needs destroying on the way (see LibjpegSession.h).
    bool ReadRow(JSAMPLE* row);

    // Whether the data stopped before the last row was decoded.
    bool Stopped() const { return stopped_; }

private:
    struct Huffman {
        int32_t maxCode[17];   // last code of each length, -1 when there is none
        int32_t firstIndex[17]; // index in values of the first code of each length, minus that code
        uint8_t values[256];
    };
    struct Component {
        int frameIndex;
        int h, v;              // blocks per MCU across and down (1 and 1 in a one-component scan)
        int dcQuant;
        const Huffman* table;
        int64_t prediction;
        std::vector<uint8_t> samples; // v rows of blocksPerRow mean samples for the current MCU row
        int blocksPerRow;
    };

    bool BuildTable(const JHUFF_TBL* source, Huffman* table) const;
    int ReadByte();
    int ReadBit();
    int DecodeCategory(const Huffman& table);
    bool NextRestart();
    bool DecodeMcuRow();
    void ConvertRow(int rowInMcu, JSAMPLE* row) const;

    j_decompress_ptr cinfo_ = nullptr;
    Huffman tables_[NUM_HUFF_TBLS];
    std::vector<Component> components_; // in scan order
    bool cmyk_ = false;
    int outputComponents_ = 3;
    int al_ = 0;
    int outputWidth_ = 0, outputHeight_ = 0;
    int maxH_ = 1, maxV_ = 1;
    int mcusPerRow_ = 0, mcuRows_ = 0;
    int mcuRow_ = 0, rowInMcu_ = 0, outputRow_ = 0;
    unsigned restartInterval_ = 0, mcusToRestart_ = 0;
    int nextRestart_ = 0;
    uint32_t bits_ = 0;
    int bitCount_ = 0;
    int marker_ = 0;        // marker met in the entropy data, 0 while none
    bool stopped_ = false;  // the data stopped: no further rows decoded
    bool padMissingRows_ = false;
};

}  // namespace jpegdecode
