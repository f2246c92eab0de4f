// SPDX-License-Identifier: GPL-2.0-or-later
// A PDF read with libqpdf, seen as one picture per page: which pages carry a single JPEG image,
// their JPEG bytes, and the bookmarks' titles where there is one bookmark per page. Any PDF will
// do, not only ours: object streams, cross-reference streams, incremental updates, an empty user
// password, JPEG data inside Flate.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace extract {

// What a page shows, as far as getting its JPEG back goes.
enum class PagePicture { Jpeg, NotJpeg, NoImage, SeveralImages };

// Receives a picture's bytes in pieces, in order.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void Take(const unsigned char* data, size_t size) = 0;
};

// Every member may throw what libqpdf throws (std::exception) for a document it cannot read,
// damaged or cut short; the caller catches it at its edge.
class PdfPictures {
public:
    // Opens the document; it must be a regular file (a FIFO or a device is refused unread).
    // Messages name it as `shownName`.
    PdfPictures(const std::string& path, const std::string& shownName);
    ~PdfPictures();
    PdfPictures(const PdfPictures&) = delete;
    PdfPictures& operator=(const PdfPictures&) = delete;

    int PageCount() const;
    // Pages count from 0. An image used by a form the page draws counts as the page's.
    PagePicture Picture(int page) const;
    // Pipes the JPEG bytes of a Jpeg page to `sink`, Flate and the like decoded, the DCT data not;
    // false when the stream's data cannot be read or decoded whole.
    bool PipeJpeg(int page, ByteSink& sink) const;
    // The titles of the bookmarks, one per page in page order, when the document has exactly one
    // bookmark per page, each opening its page; otherwise empty.
    std::vector<std::string> TitlesOfPageBookmarks() const;
    // What libqpdf found wrong but worked around so far (a damaged cross-reference table, say),
    // each once; the list is emptied.
    std::vector<std::string> TakeWarnings();

private:
    struct Document;
    std::unique_ptr<Document> document_;
};

}  // namespace extract
