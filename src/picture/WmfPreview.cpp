// SPDX-License-Identifier: GPL-2.0-or-later
#include "MetafilePreview.h"

#include "PictureError.h"
#include "QuietLibraryOutput.h"

#include <cstdint>
#include <cstdio>

#include <libwmf/api.h>
#include <libwmf/svg.h>

namespace {

// libwmf reads the bytes already in memory through these callbacks.
struct WmfInput {
    const unsigned char* data;
    long size;
    long position;
};

extern "C" int ReadWmfByte(void* context)
{
    auto* in = static_cast<WmfInput*>(context);
    return in->position < in->size ? in->data[in->position++] : EOF;
}

extern "C" int SeekWmf(void* context, long position)
{
    auto* in = static_cast<WmfInput*>(context);
    if (position < 0 || position > in->size)
        return -1;
    in->position = position;
    return 0;
}

extern "C" long TellWmf(void* context)
{
    return static_cast<WmfInput*>(context)->position;
}

class WmfApi {
public:
    WmfApi()
    {
        wmfAPI_Options options{};
        options.function = wmf_svg_function;
        const unsigned long flags = WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
        if (wmf_api_create(&api_, flags, &options) != wmf_E_None) {
            if (api_)
                wmf_api_destroy(api_);
            api_ = nullptr;
        }
    }
    ~WmfApi()
    {
        if (api_)
            wmf_api_destroy(api_);
    }
    WmfApi(const WmfApi&) = delete;
    WmfApi& operator=(const WmfApi&) = delete;
    wmfAPI* get() const { return api_; }

private:
    wmfAPI* api_ = nullptr;
};

uint32_t ReadLittle32(const QByteArray& bytes, qsizetype at)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData()) + at;
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// libwmf allocates a buffer as large as the header's largest-record field before reading any record;
// a record cannot be larger than the file, so a larger claim is a damaged (or hostile) header.
bool HeaderClaimsFit(const QByteArray& bytes)
{
    const qsizetype header = bytes.size() >= 4 && ReadLittle32(bytes, 0) == 0x9AC6CDD7u ? 22 : 0;
    if (bytes.size() < header + 18)
        return false;
    const uint32_t largestRecordWords = ReadLittle32(bytes, header + 12);
    return largestRecordWords <= static_cast<uint64_t>(bytes.size() - header) / 2;
}

// Plays the metafile into libwmf's SVG device; returns an empty document when libwmf refuses it.
QByteArray WmfToSvg(const QByteArray& bytes)
{
    if (!HeaderClaimsFit(bytes))
        return {};
    QuietLibraryOutput quiet;
    WmfApi holder;
    wmfAPI* api = holder.get();
    if (!api)
        return {};
    WmfInput input{reinterpret_cast<const unsigned char*>(bytes.constData()), static_cast<long>(bytes.size()), 0};
    if (wmf_bbuf_input(api, ReadWmfByte, SeekWmf, TellWmf, &input) != wmf_E_None)
        return {};
    wmfD_Rect bounds{};
    if (wmf_scan(api, 0, &bounds) != wmf_E_None)
        return {};
    unsigned int width = 0;
    unsigned int height = 0;
    if (wmf_display_size(api, &width, &height, 96, 96) != wmf_E_None || width == 0 || height == 0)
        return {};

    wmf_svg_t* device = WMF_SVG_GetData(api);
    device->out = wmf_stream_create(api, nullptr);
    if (!device->out)
        return {};
    char description[] = "";
    device->Description = description;
    device->bbox = bounds;
    device->width = width;
    device->height = height;
    const wmf_error_t played = wmf_play(api, 0, &bounds);

    char* svg = nullptr;
    unsigned long svgLength = 0;
    wmf_stream_destroy(api, device->out, &svg, &svgLength);
    device->out = nullptr;
    QByteArray document;
    if (played == wmf_E_None && svg)
        document = QByteArray(svg, static_cast<qsizetype>(svgLength));
    if (svg)
        wmf_free(api, svg);
    return document;
}

} // namespace

QImage RenderWmfPreview(const QByteArray& bytes, QSize area)
{
    const QByteArray document = WmfToSvg(bytes);
    if (document.isEmpty())
        throw PictureError(kInvalidMetafile);
    return RenderSvgPreview(document, area);
}
