// SPDX-License-Identifier: GPL-2.0-or-later
// A PDF read with libqpdf, seen as one picture per page: which pages carry a single JPEG image
// (or pixels a PNG or a TIFF file holds), their JPEG bytes, and the bookmarks' titles where there is one bookmark per page. Any PDF will
// do, not only ours: object streams, cross-reference streams, incremental updates, an empty user
// password, JPEG data inside Flate; and a file cut short, its trailer gone, recovered from the
// objects it holds.
#pragma once

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

class Pipeline;
class QPDFObjectHandle;

namespace extract {

struct ImageForm;

// What a page draws, as far as getting its JPEG back goes: only what its content stream (and
// the forms it draws) paints counts, not what its resources merely hold; an inline image is a
// picture that is not JPEG data. In a recovered document a page whose object, content, resources
// or drawn XObjects the file does not hold (cut off, or cut in the middle) is Incomplete. A page
// whose one image is pixels a PNG holds (ImageForm::Kind::Pixels) is Png, one whose image is CCITT
// fax data a TIFF strip holds is Tiff; any other image is NotJpeg.
enum class PagePicture { Jpeg, Png, Tiff, NotJpeg, NoImage, SeveralImages, Incomplete };

enum class PipeOutcome {
    Piped,
    Unreadable,  // the stream's data cannot be read or decoded whole
    RunsOn,  // the decoded data runs on too far past the JPEG's end (see kRunOnAllowance)
    Incomplete,  // in a recovered document: the JPEG data ends before its end-of-image marker
    TooLarge,  // what must be held whole in memory to give the picture back passes kMostHeldBytes
};

// Decoded data past a JPEG's end-of-image marker (a motion photo's video, say) is given back
// with it, unless it grows past both of these: so many bytes, and so many times the stream's
// size in the file. Beyond them a small document would fill a disk.
constexpr long long kRunOnAllowance = 64LL << 20;
constexpr long long kRunOnRatio = 16;

// What a picture's samples may take whole in memory (a soft mask beside its picture's rows, an
// interlaced PNG file): as much as the JPEG decoder may allocate.
constexpr long long kMostHeldBytes = 256LL << 20;

// Receives a picture's bytes in pieces, in order.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void Take(const unsigned char* data, size_t size) = 0;
};

// The document is encrypted and the password given (none: the empty one) does not open it.
class PasswordRefused : public std::runtime_error {
public:
    explicit PasswordRefused(const std::string& what) : std::runtime_error(what) { }
};

// Every member may throw what libqpdf throws (std::exception) for a document it cannot read,
// damaged or cut short; the caller catches it at its edge.
class PdfPictures {
public:
    // Opens the document; it must be a regular file (a FIFO or a device is refused unread).
    // Messages name it as `shownName`. Throws PasswordRefused when `password` does not open it.
    // A document libqpdf cannot open for want of a trailer, or whose trailer names no catalog
    // with pages, is recovered: read again with a trailer of our own after its bytes, libqpdf
    // finds its objects, and the last catalog with pages in the file is taken. A recovered
    // document says so in a warning. Throws when there is no such catalog, and when the file
    // holds an encryption dictionary its trailer no longer names.
    PdfPictures(const std::string& path, const std::string& shownName, const std::string& password = {});
    ~PdfPictures();
    PdfPictures(const PdfPictures&) = delete;
    PdfPictures& operator=(const PdfPictures&) = delete;

    int PageCount() const;
    // Pages count from 0. An image drawn by a form the page draws counts as the page's.
    PagePicture Picture(int page) const;
    // For a NotJpeg page: why its image is no picture a file gives back ("a /DeviceCMYK colour
    // space"); empty for any other page.
    std::string WhyNoPicture(int page) const;
    // For a Jpeg page: what the page adds to the JPEG's picture where it shows it (a decode
    // array, a mask, a transfer function...), each in the words a message uses; empty when it
    // shows the picture as it is. May read the start of the image's data. For a Png or Tiff page:
    // what the graphics state adds (a transfer function, a soft mask in /ExtGState).
    std::vector<std::string> ShownDifferently(int page) const;
    // Pipes the JPEG bytes of a Jpeg page to `sink`, Flate and the like decoded, the DCT data
    // not. On RunsOn the sink has taken less than the allowance past the JPEG's end.
    PipeOutcome PipeJpeg(int page, ByteSink& sink) const;
    // The titles of the bookmarks, one per page in page order, when the document has exactly one
    // bookmark per page, each opening its page; otherwise empty.
    std::vector<std::string> TitlesOfPageBookmarks() const;
    // What libqpdf found wrong but worked around so far (a damaged cross-reference table, say),
    // each once; the list is emptied. For a recovered document one line says so instead: what
    // libqpdf says of it is what the cut took, which each incomplete page says in its own words.
    std::vector<std::string> TakeWarnings();

    // For the library's own writers and checkers. A Png or Tiff page's image and what it says of
    // its samples; null for any other page.
    const ImageForm* FormOf(int page) const;
    QPDFObjectHandle ImageOf(int page) const;
    // Pipes `stream`'s data as the file holds it (only decrypted) or, with `decoded`, its filters
    // undone; false when it cannot be read or decoded whole. With `stoppedOnPurpose` the pipeline
    // threw to stop a read it had enough of, and what libqpdf warns of that read is dropped.
    bool PipeStream(QPDFObjectHandle stream, Pipeline& pipeline, bool decoded, const bool& stoppedOnPurpose) const;

private:
    struct Document;
    std::unique_ptr<Document> document_;
};

}  // namespace extract
