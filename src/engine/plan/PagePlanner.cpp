// SPDX-License-Identifier: GPL-2.0-or-later
#include "PagePlanner.h"

#include <utility>

#include "ReaderBounds.h"

namespace jpeg2pdf {

namespace {

bool Transposed(int orientation) { return orientation >= 5 && orientation <= 8; }

// The density across and down the picture as the page shows it.
PixelDensity ShownDensity(const ProbedPage& probed, const PageLayout& layout)
{
    PixelDensity density = DensityFor(layout, probed.density.x, probed.density.y);
    if (Transposed(probed.orientation))
        std::swap(density.x, density.y);
    return density;
}

// Decoded pictures' streams are compressed as they are written: each /Length is an object of its
// own, and so is an alpha channel's soft mask. Colour-key masks came with PDF 1.3, soft masks
// with 1.4.
void PlanTransparencyAndPixels(DocumentPlan& plan)
{
    for (PagePlan& page : plan.pages) {
        const ImageCoding& coding = page.coding;
        if (!coding.keyMask.empty())
            plan.RequireVersion(3);
        if (coding.kind != ImageCodingKind::Pixels)
            continue;
        page.lengthObject = plan.objects.Allocate();
        if (coding.alphaBits == 0)
            continue;
        page.maskObject = plan.objects.Allocate();
        page.maskLengthObject = plan.objects.Allocate();
        plan.RequireVersion(coding.alphaBits > 8 ? 5 : 4);
    }
}

}  // namespace

std::array<double, 6> PlacementMatrix(int orientation, const PageRect& picture)
{
    const double w = picture.width, h = picture.height, x = picture.x, y = picture.y;
    switch (orientation) {
    case 2:
        return {-w, 0, 0, h, x + w, y};
    case 3:
        return {-w, 0, 0, -h, x + w, y + h};
    case 4:
        return {w, 0, 0, -h, x, y + h};
    case 5:
        return {0, -h, -w, 0, x + w, y + h};
    case 6:
        return {0, -h, w, 0, x, y + h};
    case 7:
        return {0, h, w, 0, x, y};
    case 8:
        return {0, h, -w, 0, x + w, y};
    default:
        return {w, 0, 0, h, x, y};
    }
}

PagePlan PlanPage(const ProbedPage& probed, const PageLayout& layout)
{
    // Turn first (the shown picture's axes and densities), then size, then place.
    const bool transposed = Transposed(probed.orientation);
    const int32_t shownWidth = transposed ? probed.frame.Height : probed.frame.Width;
    const int32_t shownHeight = transposed ? probed.frame.Width : probed.frame.Height;
    const PageGeometry geometry = LayOutPage(shownWidth, shownHeight, ShownDensity(probed, layout), layout);

    PagePlan plan;
    plan.entry = probed.entry;
    plan.filePage = probed.page;
    plan.imageWidth = probed.frame.Width;
    plan.imageHeight = probed.frame.Height;
    plan.colour = probed.components == 1 ? ImageColour::Gray
        : probed.components == 4         ? ImageColour::Cmyk
                                         : ImageColour::Rgb;
    plan.pageWidth = geometry.pageWidth;
    plan.pageHeight = geometry.pageHeight;
    // The picture's box for a turned picture is the shown one; the matrix swaps the axes back.
    plan.placement = PlacementMatrix(probed.orientation, geometry.picture);
    plan.clipped = geometry.clipped;
    plan.clip = geometry.clip;
    plan.coding = probed.coding;
    return plan;
}

std::vector<EntryReport> DensityPageRefusals(const std::vector<ProbedPage>& pages, const DocumentPlan& plan,
                                             const PageLayout& layout)
{
    std::vector<EntryReport> refused;
    if (layout.density == DensitySource::OnePointPerPixel || (layout.paperWidth > 0 && layout.paperHeight > 0))
        return refused;
    for (size_t i = 0; i < pages.size() && i < plan.pages.size(); ++i) {
        const PagePlan& page = plan.pages[i];
        if (PageSizeShown(page.pageWidth, page.pageHeight))
            continue;
        EntryReport report;
        report.entry = page.entry;
        report.page = page.filePage;
        report.problem.refusal = EntryRefusal::DensityPageOutOfRange;
        const PixelDensity density = ShownDensity(pages[i], layout);
        const bool stated = pages[i].density.x > 0 || pages[i].density.y > 0;
        const DensityOrigin origin = layout.density == DensitySource::Fixed ? DensityOrigin::Given
            : stated                                                        ? DensityOrigin::FileStated
                                                                            : DensityOrigin::FileStatesNone;
        report.problem.sized = {page.pageWidth, page.pageHeight, density.x, density.y, origin};
        refused.push_back(report);
    }
    return refused;
}

DocumentPlan PlanPages(const std::vector<ProbedPage>& pages, const PageLayout& layout,
                       std::shared_ptr<const ProfileTable> profiles)
{
    DocumentPlan plan;
    plan.pages.reserve(pages.size());
    for (const ProbedPage& page : pages) {
        plan.pages.push_back(PlanPage(page, layout));
        // 16 bits a sample came with PDF 1.5.
        if (page.coding.bitsPerComponent == 16)
            plan.RequireVersion(5);
    }
    plan.objects = ObjectAllocator(plan.Numbers().ObjectCount());
    if (profiles && profiles->Size() != 0) {
        std::vector<int64_t>& numbers = plan.profiles.numbers;
        for (size_t i = 0; i < profiles->Size(); ++i) {
            numbers.push_back(plan.objects.Allocate());
            plan.RequireVersion(PdfMinorForProfile(profiles->At(i).bytes));
        }
        for (size_t i = 0; i < pages.size(); ++i) {
            if (pages[i].profile >= 0)
                plan.pages[i].profileObject = numbers.at(static_cast<size_t>(pages[i].profile));
        }
        plan.profiles.table = std::move(profiles);
    }
    PlanTransparencyAndPixels(plan);
    return plan;
}

std::vector<ProbedPage> PlainPages(const std::vector<PageImage>& images)
{
    std::vector<ProbedPage> pages;
    pages.reserve(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const PageImage& image = images[i];
        pages.push_back(
            {static_cast<int>(i), image.frame, image.frame.IsCmyk ? 4 : 3, image.orientation, {}, -1, image.orientation, {}});
    }
    return pages;
}

}  // namespace jpeg2pdf
