// SPDX-License-Identifier: GPL-2.0-or-later
#include "LibjpegSession.h"

#include <algorithm>
#include <cstdint>

#include <jerror.h>

#include "InkToRgb.h"

namespace jpegdecode {

namespace {

extern "C" void JumpToStep(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

// Warnings stay quiet; running out of data is noted so a reader that need not go on can stop.
extern "C" void NoteWarning(j_common_ptr cinfo, int msgLevel)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    if (msgLevel >= 0)
        return;
    ++err->pub.num_warnings;
    if (err->pub.msg_code == JWRN_JPEG_EOF)
        err->dataEnded = true;
    if (err->pub.msg_code == JWRN_HIT_MARKER)
        err->bitsMissing = true;
    // In a single sequential scan without restart markers nothing can follow a stray marker: the
    // rest would be padding, as at the end of the file.
    const auto* dinfo = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (err->pub.msg_code == JWRN_HIT_MARKER && cinfo->is_decompressor && !dinfo->progressive_mode
        && dinfo->restart_interval == 0 && dinfo->comps_in_scan == dinfo->num_components)
        err->dataEnded = true;
}

extern "C" void PrintNothing(j_common_ptr) {}

// Keeps the message of the error that ended a step; returns false for the step to return.
bool Failed(LibjpegSession* s)
{
    s->failureCode = s->err.pub.msg_code;
    s->err.pub.format_message(reinterpret_cast<j_common_ptr>(&s->cinfo), s->failureText);
    return false;
}

bool AllDcKnown(const jpeg_decompress_struct* cinfo)
{
    for (int c = 0; c < cinfo->num_components; ++c) {
        if (cinfo->coef_bits[c][0] < 0)
            return false;
    }
    return true;
}

// What libjpeg keeps of a progressive picture until its last scan: every coefficient of every block.
double CoefficientBufferBytes(const jpeg_decompress_struct* cinfo)
{
    double blocks = 0;
    for (int c = 0; c < cinfo->num_components; ++c)
        blocks += static_cast<double>(cinfo->comp_info[c].width_in_blocks) * cinfo->comp_info[c].height_in_blocks;
    return blocks * sizeof(JBLOCK);
}

bool Covers(const jpeg_decompress_struct* cinfo, const ScaleRule& rule)
{
    return cinfo->output_width >= static_cast<JDIMENSION>(rule.coverWidth)
        && cinfo->output_height >= static_cast<JDIMENSION>(rule.coverHeight);
}

// The whole fractions (1, 1/2, 1/4, 1/8) the recogniser has always read its pages at.
unsigned int EighthsWithin(const jpeg_decompress_struct* cinfo, const ScaleRule& rule)
{
    const double pixels = static_cast<double>(cinfo->image_width) * cinfo->image_height;
    const int64_t side = std::max(cinfo->image_width, cinfo->image_height);
    unsigned int denominator = 1;
    while (denominator < 8
           && (pixels > rule.maxPixels * denominator * denominator || side > int64_t{rule.maxSide} * denominator))
        denominator *= 2;
    return 8 / denominator;
}

// Sets the scale the rule asks for (1/8 alone when eighthOnly) and libjpeg's output size for it.
void ApplyScale(j_decompress_ptr cinfo, const ScaleRule& rule, bool eighthOnly)
{
    cinfo->scale_denom = 8;
    if (eighthOnly) {
        cinfo->scale_num = 1;
    } else if (rule.kind == ScaleRule::Kind::Within) {
        cinfo->scale_num = EighthsWithin(cinfo, rule);
    } else {
        for (unsigned int eighths = 1; eighths <= 8; ++eighths) {
            cinfo->scale_num = eighths;
            jpeg_calc_output_dimensions(cinfo);
            if (Covers(cinfo, rule))
                break;
        }
    }
    jpeg_calc_output_dimensions(cinfo);
}

}  // namespace

LibjpegSession::LibjpegSession()
{
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = JumpToStep;
    err.pub.emit_message = NoteWarning;
    err.pub.output_message = PrintNothing;
    err.dataEnded = false;
    err.bitsMissing = false;
}

LibjpegSession::~LibjpegSession()
{
    if (created)
        jpeg_destroy_decompress(&cinfo);
}

void RowDelivery::Deliver(JSAMPROW samples)
{
    if (ink)
        InkRowToRgb(samples, width, invertedInk);
    (*sink)(next++, samples);
}

bool ReadHeaderStep(LibjpegSession* s, const JpegInput& input, long memoryLimit)
{
    if (setjmp(s->err.jump))
        return Failed(s);
    jpeg_create_decompress(&s->cinfo);
    s->created = true;
    if (memoryLimit > 0)
        s->cinfo.mem->max_memory_to_use = memoryLimit;
    if (input.file)
        jpeg_stdio_src(&s->cinfo, input.file);
    else
        jpeg_mem_src(&s->cinfo, input.bytes, static_cast<unsigned long>(input.size));
    jpeg_read_header(&s->cinfo, TRUE);
    return true;
}

// A progressive picture at 1/8 needs no more than its DC values, so it is read from the scans that
// carry them: the first scan alone through dcScan where it can take it, so memory stays a few rows
// whatever the size; libjpeg's buffered mode otherwise. One whose coefficients would pass the limit
// is always read at 1/8, even where that falls short of what the rule asks.
bool StartStep(LibjpegSession* s, const ScaleRule& rule, long memoryLimit, bool padMissingRows, DcScanReader* dcScan,
               bool lumaOnly)
{
    if (setjmp(s->err.jump))
        return Failed(s);
    jpeg_decompress_struct* cinfo = &s->cinfo;
    const bool ink = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    const bool luma = cinfo->num_components == 1 || (lumaOnly && cinfo->jpeg_color_space == JCS_YCbCr);
    cinfo->out_color_space = luma ? JCS_GRAYSCALE : ink ? JCS_CMYK : JCS_RGB;
    const bool overLimit = memoryLimit > 0 && cinfo->progressive_mode
                        && CoefficientBufferBytes(cinfo) > static_cast<double>(memoryLimit);
    ApplyScale(cinfo, rule, overLimit);
    const bool eighth = cinfo->progressive_mode && cinfo->scale_num == 1;
    if (eighth && dcScan->Start(cinfo, padMissingRows)) {
        s->path = ReadPath::DcScan;
        s->rowSize = static_cast<size_t>(dcScan->OutputWidth()) * static_cast<size_t>(dcScan->OutputComponents());
        return true;
    }
    s->path = eighth ? ReadPath::FirstScans : ReadPath::Full;
    cinfo->buffered_image = eighth ? TRUE : FALSE;
    jpeg_start_decompress(cinfo);
    s->rowSize = static_cast<size_t>(cinfo->output_width) * static_cast<size_t>(cinfo->output_components);
    return true;
}

bool ReadRowsStep(LibjpegSession* s, DcScanReader* dcScan, bool stopAtDataEnd, RowDelivery* delivery)
{
    if (setjmp(s->err.jump))
        return Failed(s);
    jpeg_decompress_struct* cinfo = &s->cinfo;
    switch (s->path) {
    case ReadPath::DcScan:
        while (dcScan->ReadRow(s->row[0]))
            delivery->Deliver(s->row[0]);
        return true;
    case ReadPath::FirstScans:
        for (;;) {
            const int status = jpeg_consume_input(cinfo);
            if (status == JPEG_REACHED_EOI || status == JPEG_SUSPENDED || s->err.dataEnded)
                break;
            if (status == JPEG_SCAN_COMPLETED && AllDcKnown(cinfo))
                break;
        }
        jpeg_start_output(cinfo, cinfo->input_scan_number);
        while (cinfo->output_scanline < cinfo->output_height) {
            jpeg_read_scanlines(cinfo, s->row, 1);
            delivery->Deliver(s->row[0]);
        }
        jpeg_finish_output(cinfo);
        return true;
    case ReadPath::Full:
        while (cinfo->output_scanline < cinfo->output_height && !(stopAtDataEnd && s->err.dataEnded)) {
            jpeg_read_scanlines(cinfo, s->row, 1);
            delivery->Deliver(s->row[0]);
        }
        return true;
    }
    return true;
}

bool FinishStep(LibjpegSession* s)
{
    if (setjmp(s->err.jump))
        return Failed(s);
    if (s->path == ReadPath::Full && s->cinfo.output_scanline >= s->cinfo.output_height)
        jpeg_finish_decompress(&s->cinfo);
    return true;
}

}  // namespace jpegdecode
