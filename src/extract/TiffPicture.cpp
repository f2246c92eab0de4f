// SPDX-License-Identifier: GPL-2.0-or-later
#include "TiffPicture.h"

#include <fcntl.h>
#include <cerrno>
#include <tiffio.h>
#include <unistd.h>

#include <string>

#include <memory>
#include <vector>

#include <qpdf/Pipeline.hh>

#include "ImageForm.h"

namespace extract {

namespace {

// Appends the bytes it takes to the TIFF's one strip.
class StripPipeline : public Pipeline {
public:
    explicit StripPipeline(TIFF* tiff) : Pipeline("strip", nullptr), tiff_(tiff) { }
    void write(const unsigned char* data, size_t size) override
    {
        if (ok_ && size > 0)
            ok_ = TIFFWriteRawStrip(tiff_, 0, const_cast<unsigned char*>(data), static_cast<tmsize_t>(size)) >= 0;
        if (!ok_ && error_ == 0)
            error_ = errno != 0 ? errno : EIO;
    }
    void finish() override { }
    bool Ok() const { return ok_; }
    int Error() const { return error_; }

private:
    TIFF* tiff_;
    bool ok_ = true;
    int error_ = 0;
};

struct TiffCloser {
    void operator()(TIFF* tiff) const { TIFFCleanup(tiff); }  // leaves the descriptor open
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

// Whether every row of the TIFF written to `fd` (perhaps open for writing only) decodes: read
// through a descriptor of its own, opened anew.
bool DecodesWhole(int fd, int height)
{
    const int copy = open(("/proc/self/fd/" + std::to_string(fd)).c_str(), O_RDONLY | O_CLOEXEC);
    if (copy < 0)
        return false;
    TIFF* tiff = TIFFFdOpen(copy, "picture", "r");
    if (!tiff) {
        close(copy);
        return false;
    }
    std::vector<unsigned char> row(static_cast<size_t>(TIFFScanlineSize(tiff)));
    bool whole = true;
    for (int y = 0; y < height && whole; ++y)
        whole = TIFFReadScanline(tiff, row.data(), static_cast<uint32_t>(y), 0) == 1;
    TIFFClose(tiff);  // and `copy`
    return whole;
}

}  // namespace

void QuietTiff()
{
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
}

PipeOutcome WriteTiff(const PdfPictures& document, int page, int fd, int& writeError)
{
    writeError = 0;
    QuietTiff();
    const ImageForm* form = document.FormOf(page);
    if (!form || form->kind != ImageForm::Kind::Ccitt)
        return PipeOutcome::Unreadable;
    errno = 0;
    TiffHandle tiff(TIFFFdOpen(fd, "picture", "w"));  // which writes the header
    if (!tiff) {
        writeError = errno != 0 ? errno : EIO;
        return PipeOutcome::Unreadable;
    }
    TIFF* t = tiff.get();
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(form->width));
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(form->height));
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(form->height));
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
    // Decoded, black runs are 1 bits: photometric 0 shows them black, as the page does unless its
    // 1 bits are white.
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, form->blackIs1 ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_MINISWHITE);
    if (form->k < 0) {
        TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    } else {
        TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX3);
        TIFFSetField(t, TIFFTAG_GROUP3OPTIONS,
                     (form->k > 0 ? GROUP3OPT_2DENCODING : 0) | (form->byteAligned ? GROUP3OPT_FILLBITS : 0));
    }
    StripPipeline strip(t);
    const bool never = false;
    errno = 0;
    const bool piped = document.PipeStream(document.ImageOf(page), strip, false, never);
    if (!strip.Ok()) {
        writeError = strip.Error();
        return PipeOutcome::Unreadable;
    }
    if (!piped)
        return PipeOutcome::Unreadable;
    errno = 0;
    if (!TIFFWriteDirectory(t)) {
        writeError = errno != 0 ? errno : EIO;
        return PipeOutcome::Unreadable;
    }
    tiff.reset();
    return DecodesWhole(fd, form->height) ? PipeOutcome::Piped : PipeOutcome::Unreadable;
}

}  // namespace extract
