// SPDX-License-Identifier: GPL-2.0-or-later
#include "JpegDcScanReader.h"

#include <algorithm>
#include <cstddef>

namespace jpegdecode {

namespace {

uint8_t Clamp(int64_t value) { return static_cast<uint8_t>(std::clamp<int64_t>(value, 0, 255)); }

int DivideRoundingUp(int64_t value, int64_t by) { return static_cast<int>((value + by - 1) / by); }

} // namespace

bool DcScanReader::BuildTable(const JHUFF_TBL* source, Huffman* table) const
{
    // Canonical codes as libjpeg builds them, with its checks: no code of all one bits, DC
    // categories up to 15.
    if (!source)
        return false;
    int32_t code = 0;
    int count = 0;
    for (int length = 1; length <= 16; ++length) {
        const int n = source->bits[length];
        table->firstIndex[length] = count - code;
        code += n;
        count += n;
        if (count > 256 || (n && code >= (int32_t{1} << length)))
            return false;
        table->maxCode[length] = n ? code - 1 : -1;
        code <<= 1;
    }
    for (int i = 0; i < count; ++i) {
        if (source->huffval[i] > 15)
            return false;
        table->values[i] = source->huffval[i];
    }
    return true;
}

bool DcScanReader::Start(j_decompress_ptr cinfo, bool padMissingRows)
{
    if (!cinfo->progressive_mode || cinfo->arith_code || cinfo->data_precision != 8
        || cinfo->comps_in_scan != cinfo->num_components || cinfo->Ss != 0 || cinfo->Se != 0 || cinfo->Ah != 0
        || cinfo->Al > 13)
        return false;
    switch (cinfo->jpeg_color_space) {
    case JCS_GRAYSCALE:
        if (cinfo->num_components != 1)
            return false;
        break;
    case JCS_YCbCr:
    case JCS_RGB:
        if (cinfo->num_components != 3)
            return false;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        if (cinfo->num_components != 4)
            return false;
        break;
    default:
        return false;
    }
    cinfo_ = cinfo;
    padMissingRows_ = padMissingRows;
    cmyk_ = cinfo->num_components == 4;
    outputComponents_ = cinfo->num_components == 1 ? 1 : cmyk_ ? 4 : 3;
    al_ = cinfo->Al;
    const bool interleaved = cinfo->comps_in_scan > 1;
    maxH_ = interleaved ? cinfo->max_h_samp_factor : 1;
    maxV_ = interleaved ? cinfo->max_v_samp_factor : 1;
    mcusPerRow_ = DivideRoundingUp(cinfo->image_width, 8L * maxH_);
    mcuRows_ = DivideRoundingUp(cinfo->image_height, 8L * maxV_);
    outputWidth_ = DivideRoundingUp(cinfo->image_width, 8);
    outputHeight_ = DivideRoundingUp(cinfo->image_height, 8);

    bool built[NUM_HUFF_TBLS] = {};
    int blocksInMcu = 0;
    components_.clear();
    for (int i = 0; i < cinfo->comps_in_scan; ++i) {
        const jpeg_component_info* info = cinfo->cur_comp_info[i];
        const JQUANT_TBL* quant = info->quant_tbl_no >= 0 && info->quant_tbl_no < NUM_QUANT_TBLS
                                      ? cinfo->quant_tbl_ptrs[info->quant_tbl_no] : nullptr;
        const int tableNumber = info->dc_tbl_no;
        if (!quant || tableNumber < 0 || tableNumber >= NUM_HUFF_TBLS)
            return false;
        if (!built[tableNumber] && !BuildTable(cinfo->dc_huff_tbl_ptrs[tableNumber], &tables_[tableNumber]))
            return false;
        built[tableNumber] = true;
        Component c;
        c.frameIndex = info->component_index;
        c.h = interleaved ? info->h_samp_factor : 1;
        c.v = interleaved ? info->v_samp_factor : 1;
        c.dcQuant = quant->quantval[0];
        c.table = &tables_[tableNumber];
        c.prediction = 0;
        c.blocksPerRow = mcusPerRow_ * c.h;
        c.samples.assign(static_cast<size_t>(c.blocksPerRow) * c.v, 128);
        blocksInMcu += c.h * c.v;
        components_.push_back(std::move(c));
    }
    if (blocksInMcu > D_MAX_BLOCKS_IN_MCU)
        return false; // libjpeg refuses such an MCU
    restartInterval_ = cinfo->restart_interval;
    mcusToRestart_ = restartInterval_;
    return true;
}

int DcScanReader::ReadByte()
{
    jpeg_source_mgr* src = cinfo_->src;
    if (src->bytes_in_buffer == 0 && (!src->fill_input_buffer(cinfo_) || src->bytes_in_buffer == 0))
        return -1;
    --src->bytes_in_buffer;
    return *src->next_input_byte++;
}

// Returns the next bit of entropy-coded data, or -1 where a marker (or the end of the data) stops it.
int DcScanReader::ReadBit()
{
    if (bitCount_ == 0) {
        if (marker_)
            return -1;
        int byte = ReadByte();
        if (byte == 0xFF) {
            int next;
            do
                next = ReadByte();
            while (next == 0xFF);
            if (next != 0) {
                marker_ = next < 0 ? JPEG_EOI : next;
                return -1;
            }
        } else if (byte < 0) {
            marker_ = JPEG_EOI;
            return -1;
        }
        bits_ = static_cast<uint32_t>(byte);
        bitCount_ = 8;
    }
    return static_cast<int>(bits_ >> --bitCount_ & 1);
}

int DcScanReader::DecodeCategory(const Huffman& table)
{
    int32_t code = 0;
    for (int length = 1; length <= 16; ++length) {
        const int bit = ReadBit();
        if (bit < 0)
            return -1;
        code = code << 1 | bit;
        if (code <= table.maxCode[length]) {
            const int32_t index = table.firstIndex[length] + code;
            return index >= 0 && index < 256 ? table.values[index] : -1;
        }
    }
    return -1;
}

// Passes the restart marker due at the end of an interval and resets the predictions.
bool DcScanReader::NextRestart()
{
    bitCount_ = 0;
    if (!marker_) {
        int byte;
        do
            byte = ReadByte();
        while (byte >= 0 && byte != 0xFF);
        do
            byte = ReadByte();
        while (byte == 0xFF);
        if (byte <= 0)
            return false;
        marker_ = byte;
    }
    if (marker_ != JPEG_RST0 + nextRestart_)
        return false;
    marker_ = 0;
    nextRestart_ = (nextRestart_ + 1) & 7;
    for (Component& c : components_)
        c.prediction = 0;
    return true;
}

// Fills every component's samples for the next MCU row. Returns false where the data stops; blocks
// not reached keep DC 0, mid grey, as libjpeg shows missing data.
bool DcScanReader::DecodeMcuRow()
{
    for (Component& c : components_)
        std::fill(c.samples.begin(), c.samples.end(), 128);
    for (int mcu = 0; mcu < mcusPerRow_; ++mcu) {
        if (restartInterval_) {
            if (mcusToRestart_ == 0) {
                if (!NextRestart())
                    return false;
                mcusToRestart_ = restartInterval_;
            }
            --mcusToRestart_;
        }
        for (Component& c : components_) {
            for (int y = 0; y < c.v; ++y) {
                for (int x = 0; x < c.h; ++x) {
                    const int category = DecodeCategory(*c.table);
                    if (category < 0)
                        return false;
                    int32_t bits = 0;
                    for (int i = 0; i < category; ++i) {
                        const int bit = ReadBit();
                        if (bit < 0)
                            return false;
                        bits = bits << 1 | bit;
                    }
                    if (category && bits < (int32_t{1} << (category - 1)))
                        bits -= (int32_t{1} << category) - 1;
                    c.prediction += bits;
                    // As libjpeg: the coefficient is the prediction scaled back by the point
                    // transform, held in 16 bits; the 1/8-scale inverse DCT is (DC x quantiser) / 8.
                    const int64_t coefficient = std::clamp<int64_t>(c.prediction * (int64_t{1} << al_), -32768, 32767);
                    c.samples[static_cast<size_t>(y) * c.blocksPerRow + mcu * c.h + x] =
                        Clamp(128 + ((coefficient * c.dcQuant + 4) >> 3));
                }
            }
        }
    }
    return true;
}

void DcScanReader::ConvertRow(int rowInMcu, JSAMPLE* row) const
{
    for (int x = 0; x < outputWidth_; ++x) {
        int s[4] = {};
        for (const Component& c : components_)
            s[c.frameIndex] = c.samples[static_cast<size_t>(rowInMcu * c.v / maxV_) * c.blocksPerRow + x * c.h / maxH_];
        JSAMPLE* out = row + static_cast<std::ptrdiff_t>(x) * OutputComponents();
        const J_COLOR_SPACE space = cinfo_->jpeg_color_space;
        if (space == JCS_GRAYSCALE) {
            out[0] = static_cast<JSAMPLE>(s[0]);
        } else if (space == JCS_RGB || space == JCS_CMYK) {
            for (int i = 0; i < OutputComponents(); ++i)
                out[i] = static_cast<JSAMPLE>(s[i]);
        } else {
            // YCbCr to RGB with libjpeg's coefficients; YCCK is inverted RGB plus black.
            const int cb = s[1] - 128, cr = s[2] - 128;
            uint8_t rgb[3] = {Clamp(s[0] + ((91881 * cr + 32768) >> 16)),
                              Clamp(s[0] - ((22554 * cb + 46802 * cr - 32768) >> 16)),
                              Clamp(s[0] + ((116130 * cb + 32768) >> 16))};
            for (int i = 0; i < 3; ++i)
                out[i] = static_cast<JSAMPLE>(space == JCS_YCCK ? 255 - rgb[i] : rgb[i]);
            if (space == JCS_YCCK)
                out[3] = static_cast<JSAMPLE>(s[3]);
        }
    }
}

bool DcScanReader::ReadRow(JSAMPLE* row)
{
    if (outputRow_ >= outputHeight_)
        return false;
    if (rowInMcu_ == 0) {
        if ((stopped_ && !padMissingRows_) || mcuRow_ >= mcuRows_)
            return false;
        ++mcuRow_;
        if (stopped_) {
            for (Component& c : components_)
                std::fill(c.samples.begin(), c.samples.end(), 128);
        } else {
            stopped_ = !DecodeMcuRow();
        }
    }
    ConvertRow(rowInMcu_, row);
    ++outputRow_;
    rowInMcu_ = (rowInMcu_ + 1) % maxV_;
    return true;
}

}  // namespace jpegdecode
