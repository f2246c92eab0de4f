// SPDX-License-Identifier: GPL-2.0-or-later
#include "JpegPreviewDecoder.h"

#include "AreaAverageScaler.h"
#include "FitPicture.h"
#include "JpegDcScanReader.h"
#include "PictureError.h"

#include <csetjmp>
#include <string>

#include <jpeglib.h>
#include <jerror.h>

// libjpeg reports errors by calling error_exit, which here jumps back to the setjmp in the function
// that made the libjpeg call. Those functions hold only plain C data, so the jump skips no destructor;
// the C++ caller turns the returned message number into an exception after destroying the decoder.

namespace {

struct PreviewErrorManager {
    jpeg_error_mgr pub;  // first, so libjpeg's pointer converts to ours
    std::jmp_buf jump;
    bool inputEnded;     // the file ran out; libjpeg would pad the rest with grey
};

struct JpegSession {
    jpeg_decompress_struct cinfo{};
    PreviewErrorManager err{};
    bool created = false;
    bool dcOnly = false;      // progressive picture read only until every component's DC is known
    DcScanReader* dcScan = nullptr; // set when the first DC scan alone is read, outside libjpeg
    JSAMPARRAY row = nullptr; // one output row, in libjpeg's image pool

    JpegSession() = default;
    JpegSession(const JpegSession&) = delete;
    JpegSession& operator=(const JpegSession&) = delete;
    ~JpegSession() { Destroy(); }
    void Destroy()
    {
        if (created)
            jpeg_destroy_decompress(&cinfo);
        created = false;
    }
};

extern "C" void JumpToCaller(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<PreviewErrorManager*>(cinfo->err)->jump, 1);
}

// Warnings stay quiet; running out of data is noted so the reader stops instead of decoding padding.
extern "C" void NoteWarning(j_common_ptr cinfo, int msgLevel)
{
    auto* err = reinterpret_cast<PreviewErrorManager*>(cinfo->err);
    if (msgLevel < 0) {
        ++err->pub.num_warnings;
        if (err->pub.msg_code == JWRN_JPEG_EOF)
            err->inputEnded = true;
        // In a single sequential scan without restart markers nothing can follow a stray marker:
        // the rest would be padding, so reading stops as at the end of the file.
        const auto* dinfo = reinterpret_cast<j_decompress_ptr>(cinfo);
        if (err->pub.msg_code == JWRN_HIT_MARKER && cinfo->is_decompressor && !dinfo->progressive_mode
            && dinfo->restart_interval == 0 && dinfo->comps_in_scan == dinfo->num_components)
            err->inputEnded = true;
    }
}

extern "C" void PrintNothing(j_common_ptr) {}

// Sets up the decoder and reads the header. Returns 0 or libjpeg's message number.
int ReadJpegHeader(JpegSession* s, std::FILE* file)
{
    s->cinfo.err = jpeg_std_error(&s->err.pub);
    s->err.pub.error_exit = JumpToCaller;
    s->err.pub.emit_message = NoteWarning;
    s->err.pub.output_message = PrintNothing;
    s->err.inputEnded = false;
    if (setjmp(s->err.jump))
        return s->err.pub.msg_code;
    jpeg_create_decompress(&s->cinfo);
    s->created = true;
    s->cinfo.mem->max_memory_to_use = kJpegPreviewMemoryLimit;
    jpeg_stdio_src(&s->cinfo, file);
    jpeg_read_header(&s->cinfo, TRUE);
    return 0;
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

// Picks the smallest DCT scale whose output covers drawnWidth x drawnHeight and starts decoding.
// A progressive picture at 1/8 scale is read from its first DC scan where dcScan can take it, so
// its memory stays a few rows whatever its size; one whose coefficients would not fit in the limit
// is always read that way, even where 1/8 falls short of the drawn size.
int StartJpegOutput(JpegSession* s, int drawnWidth, int drawnHeight, DcScanReader* dcScan)
{
    if (setjmp(s->err.jump))
        return s->err.pub.msg_code;
    jpeg_decompress_struct* cinfo = &s->cinfo;
    const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    cinfo->out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    cinfo->scale_denom = 8;
    const bool overLimit = cinfo->progressive_mode && CoefficientBufferBytes(cinfo) > kJpegPreviewMemoryLimit;
    for (unsigned int eighths = 1; eighths <= (overLimit ? 1u : 8u); ++eighths) {
        cinfo->scale_num = eighths;
        jpeg_calc_output_dimensions(cinfo);
        if (cinfo->output_width >= static_cast<JDIMENSION>(drawnWidth)
            && cinfo->output_height >= static_cast<JDIMENSION>(drawnHeight))
            break;
    }
    // At 1/8 the output is the DC coefficients alone, so a progressive picture needs no more than them.
    if (cinfo->progressive_mode && cinfo->scale_num == 1 && dcScan->Start(cinfo)) {
        s->dcScan = dcScan;
        s->row = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                             cinfo->output_width * cinfo->output_components, 1);
        return 0;
    }
    s->dcOnly = cinfo->progressive_mode && cinfo->scale_num == 1;
    cinfo->buffered_image = s->dcOnly ? TRUE : FALSE;
    jpeg_start_decompress(cinfo);
    s->row = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                         cinfo->output_width * cinfo->output_components, 1);
    return 0;
}

// Adobe CMYK JPEGs store inverted ink (255 = none); others store plain ink. Converts in place.
void CmykRowToRgb(JSAMPROW row, JDIMENSION width, bool inverted)
{
    for (JDIMENSION x = 0; x < width; ++x) {
        int c = row[x * 4], m = row[x * 4 + 1], y = row[x * 4 + 2], k = row[x * 4 + 3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        row[x * 3] = static_cast<JSAMPLE>((c * k + 127) / 255);
        row[x * 3 + 1] = static_cast<JSAMPLE>((m * k + 127) / 255);
        row[x * 3 + 2] = static_cast<JSAMPLE>((y * k + 127) / 255);
    }
}

void DeliverRow(JpegSession* s, AreaAverageScaler* scaler)
{
    if (s->cinfo.out_color_space == JCS_CMYK)
        CmykRowToRgb(s->row[0], s->cinfo.output_width, s->cinfo.saw_Adobe_marker);
    scaler->AddRow(s->row[0]);
}

// Reads every output row into the scaler. Returns 0 or libjpeg's message number.
int ReadJpegRows(JpegSession* s, AreaAverageScaler* scaler)
{
    if (setjmp(s->err.jump))
        return s->err.pub.msg_code;
    jpeg_decompress_struct* cinfo = &s->cinfo;
    if (s->dcScan) {
        while (s->dcScan->ReadRow(s->row[0]))
            DeliverRow(s, scaler);
        return 0;
    }
    if (s->dcOnly) {
        for (;;) {
            const int status = jpeg_consume_input(cinfo);
            if (status == JPEG_REACHED_EOI || status == JPEG_SUSPENDED || s->err.inputEnded)
                break;
            if (status == JPEG_SCAN_COMPLETED && AllDcKnown(cinfo))
                break;
        }
        jpeg_start_output(cinfo, cinfo->input_scan_number);
        while (cinfo->output_scanline < cinfo->output_height) {
            jpeg_read_scanlines(cinfo, s->row, 1);
            DeliverRow(s, scaler);
        }
        jpeg_finish_output(cinfo);
        return 0;
    }
    while (cinfo->output_scanline < cinfo->output_height && !s->err.inputEnded) {
        jpeg_read_scanlines(cinfo, s->row, 1);
        DeliverRow(s, scaler);
    }
    return 0;
}

[[noreturn]] void ThrowJpegError(JpegSession* session, int code)
{
    session->Destroy();
    throw PictureError("JPEG error #" + std::to_string(code));
}

} // namespace

QImage DecodeJpegPreview(std::FILE* file, QSize area)
{
    DcScanReader dcScan; // outlives the session, which may point at it
    JpegSession session;
    if (const int code = ReadJpegHeader(&session, file))
        ThrowJpegError(&session, code);

    const QSize picture(static_cast<int>(session.cinfo.image_width), static_cast<int>(session.cinfo.image_height));
    const QSize drawn = FitPictureSize(picture, area).expandedTo(QSize(1, 1));
    if (const int code = StartJpegOutput(&session, drawn.width(), drawn.height(), &dcScan))
        ThrowJpegError(&session, code);

    // Shrink while decoding; a picture smaller than the drawn size is enlarged afterwards.
    const int outputWidth = static_cast<int>(session.cinfo.output_width);
    const int outputHeight = static_cast<int>(session.cinfo.output_height);
    QImage shrunk(drawn.boundedTo(QSize(outputWidth, outputHeight)), QImage::Format_RGB32);
    if (shrunk.isNull())
        ThrowJpegError(&session, JERR_OUT_OF_MEMORY);
    shrunk.fill(QColor(128, 128, 128)); // what libjpeg shows for data missing from a cut-off file
    AreaAverageScaler scaler(outputWidth, outputHeight, &shrunk);
    if (const int code = ReadJpegRows(&session, &scaler))
        ThrowJpegError(&session, code);
    scaler.Finish();
    session.Destroy();

    if (shrunk.size() == drawn)
        return shrunk;
    return shrunk.scaled(drawn, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}
