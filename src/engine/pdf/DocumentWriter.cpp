// SPDX-License-Identifier: GPL-2.0-or-later
#include "DocumentWriter.h"

#include "DocumentId.h"
#include "DocumentParts.h"
#include "JpegFrameProbe.h"
#include "PageTurn.h"
#include "PixelImageObject.h"
#include "PngChunks.h"
#include "TiffGroup4.h"
#include "TiffPages.h"
#include "ShownPixelSpace.h"
#include "TextLayerContent.h"

namespace jpeg2pdf {

namespace {

// One pass over a decoded picture's rows: its samples, or its alpha.
bool WritePixelPart(OutputFile& out, ObjectOffsets& offsets, const std::string& path, const DocumentPlan& plan,
                    const PagePlan& page, int64_t objectNumber, PixelPart part, PixelSource* pixels, WriteStop& stop)
{
    std::unique_ptr<PixelRows> rows;
    if (pixels)
        rows = pixels->Open(path, page.coding, PixelFormatOf(page.coding, page.imageWidth, page.imageHeight),
                            stop.reopen);
    else
        stop.reopen.refusal = EntryRefusal::PixelsDamaged;
    if (!rows) {
        stop.entry = page.entry;
        return out.Fail(true, 0);
    }
    if (WritePixelImageObject(out, offsets, objectNumber, page, part, *rows, plan.eolBeforeEndstream, stop.reopen))
        return true;
    if (out.Failure().inInput)
        stop.entry = page.entry;
    return false;
}

// Copies page `i`'s file into its image object, or decodes it into the image and its soft mask
// (decoding it twice, so only a row of either is held at a time); false with `stop` set when the
// file cannot be opened again or copied whole.
bool WritePageImage(OutputFile& out, ObjectOffsets& offsets, const std::vector<std::string>& paths,
                    const DocumentPlan& plan, int64_t i, PixelSource* pixels, TiffFile& tiffs, WriteStop& stop)
{
    const PagePlan& page = plan.pages[static_cast<size_t>(i)];
    if (page.coding.kind == ImageCodingKind::Pixels) {
        const std::string& path = paths.at(static_cast<size_t>(page.entry));
        return WritePixelPart(out, offsets, path, plan, page, plan.Numbers().Image(i), PixelPart::Samples, pixels, stop)
            && (page.maskObject == 0
                || WritePixelPart(out, offsets, path, plan, page, page.maskObject, PixelPart::Alpha, pixels, stop));
    }
    InputFile jpeg;
    if (!jpeg.Open(paths.at(static_cast<size_t>(page.entry)))) {
        stop.entry = page.entry;
        stop.reopen = OpenProblem(jpeg);
        return false;
    }
    // A PNG's data is copied by the ranges read at validation: the file must still hold them. Its
    // CRCs were checked then; read again they would double the time a copy takes.
    if (page.coding.kind == ImageCodingKind::PngFlate) {
        PngFacts facts;
        stop.reopen = ReadPngChunks(jpeg, false, facts, false);
        if (stop.reopen.refusal == EntryRefusal::None
            && (facts.data != page.coding.ranges || facts.width != page.imageWidth || facts.height != page.imageHeight
                || facts.bitDepth != page.coding.bitsPerComponent || facts.palette != page.coding.palette))
            stop.reopen.refusal = EntryRefusal::ChangedSinceRead;
        if (stop.reopen.refusal != EntryRefusal::None) {
            stop.entry = page.entry;
            return out.Fail(true, 0);
        }
    }
    // A TIFF page's strip likewise: its directory must still say what it said (read through the
    // file kept open from its previous page, the same file as `jpeg`).
    TiffHandle* tiff = nullptr;
    if (page.coding.kind != ImageCodingKind::Dct && page.coding.kind != ImageCodingKind::PngFlate) {
        ImageCoding coding;
        tiff = tiffs.Directory(paths.at(static_cast<size_t>(page.entry)), page.coding.directory, stop.reopen, &jpeg);
        if (tiff && !(tiff->File().Identity() == jpeg.Identity() && tiff->File().Size() == jpeg.Size()))
            stop.reopen.refusal = EntryRefusal::ChangedSinceRead;
        else if (tiff && ReadTiffPageCoding(*tiff, coding, stop.reopen) && !(coding == page.coding))
            stop.reopen.refusal = EntryRefusal::ChangedSinceRead;
        if (stop.reopen.refusal != EntryRefusal::None) {
            stop.entry = page.entry;
            return out.Fail(true, 0);
        }
    }
    // CCITT rows that were not one stream are encoded again here, and written as the stream whole.
    PagePlan recoded;
    if (page.coding.kind == ImageCodingKind::TiffFaxRecoded) {
        recoded = page;
        if (!EncodeTiffPageAsGroup4(*tiff, recoded.coding.head, stop.reopen.detail)) {
            stop.entry = page.entry;
            stop.reopen.refusal = EntryRefusal::TiffDamaged;
            return out.Fail(true, 0);
        }
    }
    const PagePlan& written = page.coding.kind == ImageCodingKind::TiffFaxRecoded ? recoded : page;
    if (!WriteImageObject(out, offsets, plan.Numbers().Image(i), written, jpeg, plan.imageData,
                          plan.eolBeforeEndstream)) {
        if (out.Failure().inInput)
            stop.entry = page.entry;
        return false;
    }
    return true;
}

// The plain layout's order: every page object, every image, every contents object. A source
// without words may still turn pages: each page's turn is taken as its contents are written.
bool WritePagesInPlainOrder(OutputFile& out, ObjectOffsets& offsets, const std::vector<std::string>& paths,
                            const DocumentPlan& plan, PageTextSource* turns, const PageProgress& progress,
                            PixelSource* pixels, TiffFile& tiffs, WriteStop& stop)
{
    const ObjectNumbers numbers = plan.Numbers();
    for (int64_t i = 0; i < numbers.pageCount; ++i) {
        if (!WritePageObject(out, offsets, numbers, i, plan.pages[i]))
            return false;
    }
    for (int64_t i = 0; i < numbers.pageCount; ++i) {
        if (!WritePageImage(out, offsets, paths, plan, i, pixels, tiffs, stop))
            return false;
        if (progress)
            progress(static_cast<int>(i + 1), static_cast<int>(numbers.pageCount), out.Position());
    }
    for (int64_t i = 0; i < numbers.pageCount; ++i) {
        const auto turn = turns ? PageTurnMatrix(plan.pages[i], turns->Take(static_cast<int>(i)).turn) : std::nullopt;
        if (!WriteContentObject(out, offsets, numbers.Contents(i), plan.pages[i], plan.eolBeforeEndstream, {},
                                turn ? &*turn : nullptr))
            return false;
    }
    return true;
}

// Page by page with a text layer: the image, the contents with the page's words first, then the
// page object, which only now knows its turn and whether it shows text in the text font. Numbers
// stay the plain layout's; only the order in the file differs.
bool WritePagesWithText(OutputFile& out, ObjectOffsets& offsets, const std::vector<std::string>& paths,
                        const DocumentPlan& plan, PageTextSource* source, TextCodes& codes,
                        const PageProgress& progress, PixelSource* pixels, TiffFile& tiffs, WriteStop& stop)
{
    const ObjectNumbers numbers = plan.Numbers();
    for (int64_t i = 0; i < numbers.pageCount; ++i) {
        const PagePlan& page = plan.pages[static_cast<size_t>(i)];
        if (!WritePageImage(out, offsets, paths, plan, i, pixels, tiffs, stop))
            return false;
        const PageText text = source ? source->Take(static_cast<int>(i)) : PageText {};
        const auto turn = PageTurnMatrix(page, text.turn);
        const std::string words = turn
            ? TurnedTextLayerContent(text, page, *turn, codes)
            : TextLayerContent(text, ShownPixelsToPage(page), page.clipped ? &page.clip : nullptr, codes);
        if (!WriteContentObject(out, offsets, numbers.Contents(i), page, plan.eolBeforeEndstream, words,
                                turn ? &*turn : nullptr)
            || !WritePageObject(out, offsets, numbers, i, page, {words.empty() ? 0 : plan.text.font, text.rotate}))
            return false;
        if (progress)
            progress(static_cast<int>(i + 1), static_cast<int>(numbers.pageCount), out.Position());
    }
    return true;
}

}  // namespace

bool WriteDocument(OutputFile& out, const std::vector<std::string>& paths, const DocumentPlan& plan,
                   PageTextSource* text, const PageProgress& progress, WriteStop& stop, PixelSource* pixels)
{
    ObjectOffsets offsets(static_cast<size_t>(plan.objects.Last() + 1));
    if (plan.information.HasDocumentId())
        out.StartContentDigest();

    if (!WriteHeader(out, plan.versionMinor, plan.binaryComment) || !WriteCatalog(out, offsets, CatalogEntries(plan))
        || !WritePageTree(out, offsets, plan.Numbers()))
        return false;
    // Filled page by page, read once after the last: the codes every page used.
    TextCodes codes;
    TiffFile tiffs;
    const bool pagesWritten = plan.text.font != 0
        ? WritePagesWithText(out, offsets, paths, plan, text, codes, progress, pixels, tiffs, stop)
        : WritePagesInPlainOrder(out, offsets, paths, plan, text, progress, pixels, tiffs, stop);
    if (!pagesWritten || !WriteDocumentParts(out, offsets, plan, codes)
        || !WriteXrefSection(out, offsets, plan.objects.Last()))
        return false;
    std::vector<std::string> trailerEntries = TrailerEntries(plan);
    if (plan.information.HasDocumentId())
        trailerEntries.push_back(DocumentIdEntry(out.ContentHash()));
    return WriteTrailer(out, plan.objects.Last() + 1, offsets.back(), trailerEntries);
}

}  // namespace jpeg2pdf
