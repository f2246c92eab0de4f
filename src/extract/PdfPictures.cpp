// SPDX-License-Identifier: GPL-2.0-or-later
#include "PdfPictures.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <stdexcept>

#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFNameTreeObjectHelper.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFXRefEntry.hh>

#include "DrawnImages.h"
#include "ImageForm.h"
#include "ImageLook.h"
#include "JpegScan.h"
#include "ReadableFile.h"
#include "TrailedInput.h"

namespace extract {

namespace {

// A dictionary's entry; null for anything else, without the warning libqpdf gives when asked
// for a key of what is not a dictionary.
QPDFObjectHandle Key(QPDFObjectHandle object, const std::string& key)
{
    return object.isDictionary() ? object.getKey(key) : QPDFObjectHandle::newNull();
}

// JPEG data: DCTDecode last, with nothing but generalized filters before it.
bool IsJpegStream(QPDFObjectHandle image)
{
    std::vector<QPDFObjectHandle> filters = FilterList(image.getDict());
    if (filters.empty() || !filters.back().isNameAndEquals("/DCTDecode"))
        return false;
    for (size_t i = 0; i + 1 < filters.size(); ++i)
        if (!IsGeneralizedFilter(filters[i]))
            return false;
    return true;
}

// Passes the decoded bytes on, following the JPEG in them, and stops the decoding (by
// throwing, which libqpdf turns into a failed read) when the data runs on too far past the
// JPEG's end, or, without a sink, once the JPEG's headers are read.
class GuardedPipeline : public Pipeline {
public:
    GuardedPipeline(ByteSink* sink, long long storedSize)
        : Pipeline("picture", nullptr), sink_(sink),
          allowance_(std::max(kRunOnAllowance, kRunOnRatio * std::max(storedSize, 0LL)))
    {
    }

    void write(const unsigned char* data, size_t size) override
    {
        if (stopped_)
            throw std::runtime_error("reading stopped");
        const size_t inJpeg = scan_.Take(data, size);
        if (scan_.Ended())
            pastEnd_ += static_cast<long long>(size - inJpeg);
        if (pastEnd_ > allowance_) {
            runsOn_ = stopped_ = true;
            throw std::runtime_error("the data runs on past the JPEG's end");
        }
        if (sink_) {
            sink_->Take(data, size);
        } else if (scan_.HeadersRead() || scan_.Ended()) {
            stopped_ = true;
            throw std::runtime_error("headers read");
        }
    }
    void finish() override { }

    bool RunsOn() const { return runsOn_; }
    bool Stopped() const { return stopped_; }
    const JpegScan& Scan() const { return scan_; }

private:
    ByteSink* sink_;
    long long allowance_;
    JpegScan scan_;
    long long pastEnd_ = 0;
    bool runsOn_ = false, stopped_ = false;
};

// The image's data (its filters before DCTDecode undone) into `pipeline`; false when it cannot
// be read or decoded whole.
bool PipeDecoded(QPDFObjectHandle image, Pipeline& pipeline)
{
    QPDFObjectHandle dict = image.getDict();
    std::vector<QPDFObjectHandle> filters = FilterList(dict);
    if (filters.size() == 1)
        return image.pipeStreamData(&pipeline, nullptr, 0, qpdf_dl_none, true);
    // The filters before DCTDecode are undone by libqpdf, which leaves a stream alone whose
    // filters it cannot all undo: for this read the dictionary names only those (the document
    // is never written, and the dictionary is put back).
    QPDFObjectHandle filter = dict.getKey("/Filter"), parameters = dict.getKey("/DecodeParms");
    filters.pop_back();
    dict.replaceKey("/Filter", QPDFObjectHandle::newArray(filters));
    if (parameters.isArray()) {
        std::vector<QPDFObjectHandle> kept = parameters.getArrayAsVector();
        kept.resize(filters.size(), QPDFObjectHandle::newNull());
        dict.replaceKey("/DecodeParms", QPDFObjectHandle::newArray(kept));
    }
    bool filtered = false;
    bool piped = false;
    try {
        piped = image.pipeStreamData(&pipeline, &filtered, 0, qpdf_dl_generalized, true);
    } catch (...) {
        dict.replaceKey("/Filter", filter);
        dict.replaceKey("/DecodeParms", parameters);
        throw;
    }
    dict.replaceKey("/Filter", filter);
    dict.replaceKey("/DecodeParms", parameters);
    return piped && filtered;
}

// The stream's length in the file, as its dictionary gives it.
long long StoredSize(QPDFObjectHandle image)
{
    QPDFObjectHandle length = image.getDict().getKey("/Length");
    return length.isInteger() ? length.getIntValue() : 0;
}

// A regular file, opened without blocking on a FIFO; throws with the reason.
posixfile::ReadableFile OpenRegular(const std::string& path, const std::string& shownName)
{
    posixfile::ReadableFile opened = posixfile::OpenReadableFile(path);
    if (opened.refusal == posixfile::ReadableFile::Refusal::NotRegularFile && opened.systemError == 0)
        throw std::runtime_error(shownName + ": not a regular file");
    if (opened.refusal != posixfile::ReadableFile::Refusal::None)
        throw std::runtime_error(shownName + ": " + std::strerror(opened.systemError));
    return opened;
}

// The same as a stream.
FILE* OpenRegularFile(const std::string& path, const std::string& shownName)
{
    posixfile::ReadableFile opened = OpenRegular(path, shownName);
    FILE* file = fdopen(opened.file.Get(), "rb");
    if (!file)
        throw std::runtime_error(shownName + ": " + std::strerror(errno));
    opened.file.Release();  // the stream's now
    // libqpdf reads a stream's data in small pieces: a large buffer turns them into few reads.
    setvbuf(file, nullptr, _IOFBF, 1 << 20);
    return file;
}

// What a recovery puts after the document's bytes: a trailer, which libqpdf's recovery needs
// to be found in the file (it scans the whole file for it, and for every `N G obj`), and a
// startxref that leads nowhere, which sends it to that scan whatever the file's own end says.
// It names no catalog: one is chosen once libqpdf has found the objects. It starts on a line of
// its own, whatever the file's last bytes are cut in.
constexpr char kAddedTrailer[] = "\ntrailer\n<< >>\nstartxref\n0\n%%EOF\n";

bool IsCatalogWithPages(QPDFObjectHandle object)
{
    return Key(object, "/Type").isNameAndEquals("/Catalog") && Key(object, "/Pages").isDictionary();
}

// A security handler's dictionary: its /Filter, and the entries it keeps what opens the document
// in (the standard handler's /O, a public-key handler's /Recipients, crypt filters' /CF).
bool IsEncryptionDictionary(QPDFObjectHandle object)
{
    return Key(object, "/Filter").isName()
        && (object.hasKey("/O") || object.hasKey("/Recipients") || object.hasKey("/CF"));
}

}  // namespace

struct PdfPictures::Document {
    // What a page draws, read once.
    struct Drawing {
        std::vector<DrawnImage> images;
        bool brokenReference = false;  // see DrawnImagesOf; or the page object itself is not there
    };

    QPDF pdf;
    std::vector<QPDFObjectHandle> pages;
    std::map<int, Drawing> drawings;  // by page, once read
    std::map<int, ImageForm> forms;  // by page, once read: of a page drawing one image XObject, not JPEG data
    std::vector<std::string> warnings;  // taken from libqpdf before a read that may be cut short
    bool recovered = false;

    // Opens the document anew from the file at `path` with kAddedTrailer after its bytes, and
    // makes the last catalog with pages libqpdf finds in it the document's. False when there is
    // none; throws PasswordRefused, and std::runtime_error when the file holds an encryption
    // dictionary the trailer libqpdf took does not name (its own is gone with the cut).
    bool Recover(const std::string& path, const std::string& shownName, const std::string& password)
    {
        pdf.setSuppressWarnings(true);
        posixfile::ReadableFile file = OpenRegular(path, shownName);
        const qpdf_offset_t size = file.info.st_size;
        auto input = std::make_shared<TrailedInput>(std::move(file.file), shownName, size, kAddedTrailer);
        try {
            pdf.processInputSource(input, password.c_str());
        } catch (const QPDFExc& e) {
            if (e.getErrorCode() == qpdf_e_password)
                throw PasswordRefused(e.what());
            return false;
        }
        // Every object the scan found is read: the last catalog in the file is the one an
        // incremental update left, and an encryption dictionary may be anywhere.
        QPDFObjectHandle catalog;
        qpdf_offset_t catalogAt = -1;
        bool encrypted = false;
        for (const auto& [id, entry] : pdf.getXRefTable()) {
            if (entry.getType() != 1)
                continue;
            QPDFObjectHandle object;
            try {
                object = pdf.getObjectByObjGen(id);
            } catch (const std::exception&) {
                continue;  // what cannot be read is no catalog
            }
            if (!object.isDictionary())
                continue;
            if (IsEncryptionDictionary(object))
                encrypted = true;
            else if (entry.getOffset() > catalogAt && IsCatalogWithPages(object)) {
                catalog = object;
                catalogAt = entry.getOffset();
            }
        }
        QPDFObjectHandle trailer = pdf.getTrailer();
        if (encrypted && !trailer.hasKey("/Encrypt"))
            throw std::runtime_error(shownName + ": encrypted, and the trailer that names its encryption dictionary"
                                                 " (/Encrypt) is cut off or damaged");
        if (!catalog.isInitialized())
            return false;
        trailer.replaceKey("/Root", catalog);
        pdf.getWarnings();  // of the trailer added, and of the cut: the line below says it
        warnings = {shownName + ": recovered: the file is cut short or damaged (no usable trailer); its pages are read"
                                " from the objects it holds"};
        recovered = true;
        return true;
    }

    // Pipes an image's data; what libqpdf warns of a read this program stopped on purpose (a
    // decoder cut off in mid-stream) is dropped.
    bool PipeStoppable(QPDFObjectHandle image, GuardedPipeline& pipeline)
    {
        for (QPDFExc& warning : pdf.getWarnings())
            if (!recovered)
                warnings.push_back(warning.what());
        const bool piped = PipeDecoded(image, pipeline);
        if (pipeline.Stopped())
            pdf.getWarnings();
        return piped;
    }

    const Drawing& DrawingOf(int page)
    {
        auto found = drawings.find(page);
        if (found == drawings.end()) {
            QPDFObjectHandle object = pages.at(static_cast<size_t>(page));
            Drawing drawing;
            // A page that is no dictionary draws nothing.
            if (object.isDictionary())
                drawing.images = DrawnImagesOf(object, drawing.brokenReference);
            else
                drawing.brokenReference = object.isIndirect();
            found = drawings.emplace(page, std::move(drawing)).first;
        }
        return found->second;
    }

    // Whether the page refers to what the recovered document's file does not hold whole.
    bool Incomplete(int page) { return recovered && DrawingOf(page).brokenReference; }

    // The one image a Jpeg page draws; null for any other page.
    const DrawnImage* JpegOf(int page)
    {
        const std::vector<DrawnImage>& drawn = DrawingOf(page).images;
        if (Incomplete(page) || drawn.size() != 1 || !drawn.front().image.isInitialized()
            || !IsJpegStream(drawn.front().image))
            return nullptr;
        return &drawn.front();
    }

    // What the one image XObject a page draws that is no JPEG says of its samples; null for any
    // other page.
    const ImageForm* FormOf(int page)
    {
        const std::vector<DrawnImage>& drawn = DrawingOf(page).images;
        if (Incomplete(page) || drawn.size() != 1 || JpegOf(page))
            return nullptr;
        auto found = forms.find(page);
        if (found == forms.end())
            found = forms.emplace(page, ReadImageForm(drawn.front().image)).first;
        return &found->second;
    }

    // The page a destination opens: an explicit one ([page /Fit ...]), a named one, or a
    // dictionary holding it under /D; nothing for anything else.
    QPDFObjectHandle DestinationPage(QPDFObjectHandle destination, int depth = 0)
    {
        if (depth > 2)
            return QPDFObjectHandle::newNull();
        if (destination.isDictionary())
            return DestinationPage(Key(destination, "/D"), depth + 1);
        if (destination.isArray())
            return destination.getArrayNItems() > 0 ? destination.getArrayItem(0) : QPDFObjectHandle::newNull();
        QPDFObjectHandle root = pdf.getRoot();
        QPDFObjectHandle found;
        if (destination.isName() && Key(root, "/Dests").isDictionary())
            found = Key(Key(root, "/Dests"), destination.getName());
        else if (destination.isString() && Key(Key(root, "/Names"), "/Dests").isDictionary()) {
            QPDFNameTreeObjectHelper names(Key(Key(root, "/Names"), "/Dests"), pdf);
            names.findObject(destination.getUTF8Value(), found);
        }
        return found.isInitialized() ? DestinationPage(found, depth + 1) : QPDFObjectHandle::newNull();
    }

    QPDFObjectHandle OpenedPage(QPDFObjectHandle item)
    {
        QPDFObjectHandle destination = Key(item, "/Dest");
        QPDFObjectHandle action = Key(item, "/A");
        if (destination.isNull() && Key(action, "/S").isNameAndEquals("/GoTo"))
            destination = Key(action, "/D");
        return DestinationPage(destination);
    }
};

PdfPictures::PdfPictures(const std::string& path, const std::string& shownName, const std::string& password)
    : document_(std::make_unique<Document>())
{
    document_->pdf.setSuppressWarnings(true);
    bool opened = true;
    std::string failure;  // why libqpdf could not open it
    // libqpdf names the document as shown in its messages, and closes the file.
    try {
        document_->pdf.processFile(shownName.c_str(), OpenRegularFile(path, shownName), true, password.c_str());
    } catch (const QPDFExc& e) {
        if (e.getErrorCode() == qpdf_e_password)
            throw PasswordRefused(e.what());
        if (e.getErrorCode() != qpdf_e_damaged_pdf)
            throw;
        opened = false;
        failure = e.what();
    }
    if (!opened || !IsCatalogWithPages(Key(document_->pdf.getTrailer(), "/Root"))) {
        auto recovering = std::make_unique<Document>();
        if (recovering->Recover(path, shownName, password))
            document_ = std::move(recovering);
        else if (!opened)
            throw std::runtime_error(failure + "; the file holds no catalog (/Type /Catalog) with pages to recover"
                                               " it from");
        // else: the document as libqpdf opened it, to fail or not as it always did
    }
    document_->pages = document_->pdf.getAllPages();
}

PdfPictures::~PdfPictures() = default;

int PdfPictures::PageCount() const { return static_cast<int>(document_->pages.size()); }

PagePicture PdfPictures::Picture(int page) const
{
    if (document_->Incomplete(page))
        return PagePicture::Incomplete;
    const std::vector<DrawnImage>& drawn = document_->DrawingOf(page).images;
    if (drawn.empty())
        return PagePicture::NoImage;
    if (drawn.size() > 1)
        return PagePicture::SeveralImages;
    if (document_->JpegOf(page))
        return PagePicture::Jpeg;
    switch (document_->FormOf(page)->kind) {
    case ImageForm::Kind::Pixels:
        return PagePicture::Png;
    case ImageForm::Kind::Ccitt:
        return PagePicture::Tiff;
    case ImageForm::Kind::Other:
        break;
    }
    return PagePicture::NotJpeg;
}

std::string PdfPictures::WhyNoPicture(int page) const
{
    const ImageForm* form = document_->FormOf(page);
    return form && form->kind == ImageForm::Kind::Other ? form->refusal : std::string();
}

const ImageForm* PdfPictures::FormOf(int page) const
{
    const ImageForm* form = document_->FormOf(page);
    return form && form->kind != ImageForm::Kind::Other ? form : nullptr;
}

QPDFObjectHandle PdfPictures::ImageOf(int page) const
{
    return FormOf(page) ? document_->DrawingOf(page).images.front().image : QPDFObjectHandle();
}

bool PdfPictures::PipeStream(QPDFObjectHandle stream, Pipeline& pipeline, bool decoded, const bool& stoppedOnPurpose) const
{
    for (QPDFExc& warning : document_->pdf.getWarnings())
        if (!document_->recovered)
            document_->warnings.push_back(warning.what());
    bool filtered = false;
    const bool piped
        = stream.pipeStreamData(&pipeline, &filtered, 0, decoded ? qpdf_dl_generalized : qpdf_dl_none, true);
    if (stoppedOnPurpose)
        document_->pdf.getWarnings();
    return piped && (filtered || !decoded);
}

std::vector<std::string> PdfPictures::ShownDifferently(int page) const
{
    const DrawnImage* drawn = document_->JpegOf(page);
    if (!drawn && FormOf(page))
        return document_->DrawingOf(page).images.front().stateChanges;
    if (!drawn)
        return {};
    bool adobeInverted = false;
    if (ShowsFourComponentsAsStored(drawn->image)) {
        GuardedPipeline headers(nullptr, StoredSize(drawn->image));
        document_->PipeStoppable(drawn->image, headers);  // stopped once the headers are read
        adobeInverted = headers.Scan().HasAdobeSegment() && headers.Scan().Components() == 4;
    }
    std::vector<std::string> adds = WhatTheImageAdds(drawn->image, adobeInverted);
    adds.insert(adds.end(), drawn->stateChanges.begin(), drawn->stateChanges.end());
    return adds;
}

PipeOutcome PdfPictures::PipeJpeg(int page, ByteSink& sink) const
{
    const DrawnImage* drawn = document_->JpegOf(page);
    if (!drawn)
        return PipeOutcome::Unreadable;
    GuardedPipeline pipeline(&sink, StoredSize(drawn->image));
    const bool piped = document_->PipeStoppable(drawn->image, pipeline);
    if (pipeline.RunsOn())
        return PipeOutcome::RunsOn;
    if (!piped)
        return PipeOutcome::Unreadable;
    // In a file cut short a picture's data may stop anywhere: only a whole JPEG is given back.
    if (document_->recovered && !pipeline.Scan().Complete())
        return PipeOutcome::Incomplete;
    return PipeOutcome::Piped;
}

std::vector<std::string> PdfPictures::TitlesOfPageBookmarks() const
{
    std::map<QPDFObjGen, size_t> pageIndex;
    for (size_t i = 0; i < document_->pages.size(); ++i)
        pageIndex.emplace(document_->pages[i].getObjGen(), i);
    std::vector<std::string> titles(document_->pages.size());
    std::vector<bool> opened(document_->pages.size(), false);
    size_t items = 0;
    // Depth first, each item once: a loop in the tree ends the walk, and so does an item more
    // than there are pages.
    std::set<QPDFObjGen> seen;
    std::vector<QPDFObjectHandle> pending {Key(Key(document_->pdf.getRoot(), "/Outlines"), "/First")};
    while (!pending.empty()) {
        QPDFObjectHandle item = pending.back();
        pending.pop_back();
        if (!item.isDictionary() || (item.isIndirect() && !seen.insert(item.getObjGen()).second))
            continue;
        if (++items > titles.size())
            return {};
        QPDFObjectHandle page = document_->OpenedPage(item);
        const auto found = page.isDictionary() && page.isIndirect() ? pageIndex.find(page.getObjGen()) : pageIndex.end();
        if (found == pageIndex.end() || opened[found->second])
            return {};
        opened[found->second] = true;
        QPDFObjectHandle title = Key(item, "/Title");
        titles[found->second] = title.isString() ? title.getUTF8Value() : std::string();
        pending.push_back(Key(item, "/Next"));
        pending.push_back(Key(item, "/First"));
    }
    return items == titles.size() && items > 0 ? titles : std::vector<std::string>();
}

std::vector<std::string> PdfPictures::TakeWarnings()
{
    std::vector<std::string> texts = std::move(document_->warnings);
    document_->warnings.clear();
    for (QPDFExc& warning : document_->pdf.getWarnings())
        if (!document_->recovered)
            texts.push_back(warning.what());
    return texts;
}

}  // namespace extract
