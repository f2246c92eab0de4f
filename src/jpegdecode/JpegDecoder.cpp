// SPDX-License-Identifier: GPL-2.0-or-later
#include "JpegDecoder.h"

#include <new>

#include <jerror.h>

#include "LibjpegSession.h"

namespace jpegdecode {

const int kJpegOutOfMemory = JERR_OUT_OF_MEMORY;

struct JpegDecoder::State {
    enum class Stage { Fresh, HeaderRead, Started, RowsRead, Finished, Failed };

    JpegInput input;
    DecoderSettings settings;
    DcScanReader dcScan;
    LibjpegSession session;
    Stage stage = Stage::Fresh;
    JpegHeader header;
    JpegOutput output;
    JpegFailure failure;

    // A step asked for out of turn fails as libjpeg fails an improper call.
    bool InTurn(Stage expected)
    {
        if (stage == expected)
            return true;
        if (stage != Stage::Failed) {
            stage = Stage::Failed;
            failure = {JERR_BAD_STATE, "decoding steps called out of order"};
        }
        return false;
    }

    bool Fail()
    {
        stage = Stage::Failed;
        failure = {session.failureCode, session.failureText};
        return false;
    }
};

JpegDecoder::JpegDecoder(JpegInput input, DecoderSettings settings) : state_(std::make_unique<State>())
{
    state_->input = input;
    state_->settings = settings;
}

JpegDecoder::~JpegDecoder() = default;

bool JpegDecoder::ReadHeader()
{
    State& st = *state_;
    if (!st.InTurn(State::Stage::Fresh))
        return false;
    if (!ReadHeaderStep(&st.session, st.input, st.settings.memoryLimit))
        return st.Fail();
    const jpeg_decompress_struct& cinfo = st.session.cinfo;
    st.header.width = static_cast<int>(cinfo.image_width);
    st.header.height = static_cast<int>(cinfo.image_height);
    st.header.components = cinfo.num_components;
    st.header.progressive = cinfo.progressive_mode;
    // JFIF's unit 1 is dots per inch, 2 dots per centimetre; 0 gives an aspect ratio alone.
    if (cinfo.saw_JFIF_marker && cinfo.X_density > 0 && (cinfo.density_unit == 1 || cinfo.density_unit == 2))
        st.header.jfifDotsPerInch = cinfo.density_unit == 2 ? cinfo.X_density * 2.54 : cinfo.X_density;
    st.stage = State::Stage::HeaderRead;
    return true;
}

const JpegHeader& JpegDecoder::Header() const { return state_->header; }

bool JpegDecoder::Start(const ScaleRule& rule)
{
    State& st = *state_;
    if (!st.InTurn(State::Stage::HeaderRead))
        return false;
    if (!StartStep(&st.session, rule, st.settings.memoryLimit, !st.settings.stopAtDataEnd, &st.dcScan,
                   st.settings.lumaOnly))
        return st.Fail();
    try {
        st.session.rowSamples.resize(st.session.rowSize);
    } catch (const std::bad_alloc&) {
        st.stage = State::Stage::Failed;
        st.failure = {JERR_OUT_OF_MEMORY, "Insufficient memory for a row"};
        return false;
    }
    st.session.row[0] = st.session.rowSamples.data();
    const jpeg_decompress_struct& cinfo = st.session.cinfo;
    const bool fromDcScan = st.session.path == ReadPath::DcScan;
    st.output.width = fromDcScan ? st.dcScan.OutputWidth() : static_cast<int>(cinfo.output_width);
    st.output.height = fromDcScan ? st.dcScan.OutputHeight() : static_cast<int>(cinfo.output_height);
    st.output.components = cinfo.num_components == 1 || (!fromDcScan && cinfo.out_color_space == JCS_GRAYSCALE) ? 1 : 3;
    st.output.eighths = static_cast<int>(cinfo.scale_num);
    st.stage = State::Stage::Started;
    return true;
}

const JpegOutput& JpegDecoder::Output() const { return state_->output; }

bool JpegDecoder::ReadRows(const RowSink& sink)
{
    State& st = *state_;
    if (!st.InTurn(State::Stage::Started))
        return false;
    RowDelivery delivery;
    delivery.sink = &sink;
    delivery.width = st.output.width;
    delivery.ink = st.session.cinfo.out_color_space == JCS_CMYK;
    delivery.invertedInk = st.session.cinfo.saw_Adobe_marker;
    st.stage = State::Stage::Failed;  // until the rows are through: a throwing sink leaves it so
    if (!ReadRowsStep(&st.session, &st.dcScan, st.settings.stopAtDataEnd, &delivery))
        return st.Fail();
    st.stage = State::Stage::RowsRead;
    return true;
}

bool JpegDecoder::Finish()
{
    State& st = *state_;
    if (!st.InTurn(State::Stage::RowsRead))
        return false;
    if (!FinishStep(&st.session))
        return st.Fail();
    st.stage = State::Stage::Finished;
    return true;
}

const JpegFailure& JpegDecoder::Failure() const { return state_->failure; }

bool JpegDecoder::PictureIncomplete() const
{
    const State& st = *state_;
    return st.session.err.bitsMissing || (st.session.path == ReadPath::DcScan && st.dcScan.Stopped());
}

}  // namespace jpegdecode
