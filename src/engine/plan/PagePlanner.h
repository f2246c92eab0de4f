// SPDX-License-Identifier: GPL-2.0-or-later
// From what validation learnt of each entry to the plans the writer follows: page box, placement,
// clip and colour space per page, and the shared profile objects. Arithmetic only, no file.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "EntryProblem.h"
#include "JpegFrameInfo.h"
#include "PageLayout.h"
#include "PagePlan.h"
#include "FileDensity.h"
#include "ProfileTable.h"

namespace jpeg2pdf {

// What validation keeps of one usable entry (the probe's outcome without its profile's bytes).
struct ProbedPage {
    int entry = 0;
    JpegFrameInfo frame {false, 0, 0};
    int components = 3;  // 1, 3 or 4
    int orientation = 1;  // as the page shows it; 1 unless asked to follow the file's
    FileDensity density;  // the file's own, 0 where it states none
    int profile = -1;  // index in the document's ProfileTable; -1: the device space
    int fileOrientation = 1;  // the file's own, when read (for the page or for its text); else 1
    ImageCoding coding;  // how its samples are coded in the file
    int page = -1;  // which of its file's pages, from 0, for a file of several (a TIFF file); -1: its only page
};

// One page's image in the plain layout: its frame facts, and how the stored picture is turned to
// be shown upright (an Exif orientation, 1 to 8; 1 leaves it as stored).
struct PageImage {
    JpegFrameInfo frame;
    int orientation = 1;
    // The page shows the picture upright: width and height trade places for orientations 5 to 8.
    bool Transposed() const { return orientation >= 5 && orientation <= 8; }
    int32_t PageWidth() const { return Transposed() ? frame.Height : frame.Width; }
    int32_t PageHeight() const { return Transposed() ? frame.Width : frame.Height; }
};

// The cm matrix mapping the image's unit square (first row at the top) onto `picture` so the
// stored picture appears upright: mirrored for 2 and 4, turned for 3, 6 and 8, mirrored across a
// diagonal for 5 and 7. Integral for integral sizes at the origin.
std::array<double, 6> PlacementMatrix(int orientation, const PageRect& picture);

// The plan of one page in a device colour space.
PagePlan PlanPage(const ProbedPage& probed, const PageLayout& layout);

// Pages sized by a density (DensitySource Fixed or FromFile, without paper) that fall outside what
// readers show, 3 to 14,400 points a side, in plan order, each refused with its size and density.
// `plan` holds the plans of `pages`. Pages at one point per pixel and pages on paper pass.
std::vector<EntryReport> DensityPageRefusals(const std::vector<ProbedPage>& pages, const DocumentPlan& plan,
                                             const PageLayout& layout);

// Plans every page; each profile in `profiles` gets one stream object, numbered after the
// contents objects and referenced by every page that uses it, and the header version each needs.
// With the default layout and no profiles the plan writes exactly the plain layout's bytes.
DocumentPlan PlanPages(const std::vector<ProbedPage>& pages, const PageLayout& layout,
                       std::shared_ptr<const ProfileTable> profiles = nullptr);

// Pages at one point per pixel, each in its device colour space: page i shows images[i].
std::vector<ProbedPage> PlainPages(const std::vector<PageImage>& images);

}  // namespace jpeg2pdf
