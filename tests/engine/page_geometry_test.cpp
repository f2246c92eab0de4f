// SPDX-License-Identifier: GPL-2.0-or-later
// Page geometry and page plans by table: densities, paper turning, each fit mode, margins, orientation.
#include <gtest/gtest.h>

#include "PagePlanner.h"
#include "PdfObjects.h"

using namespace jpeg2pdf;

namespace {

PageLayout Paper(double width, double height, FitMode fit = FitMode::Into, double margin = 0)
{
    PageLayout layout;
    layout.paperWidth = width;
    layout.paperHeight = height;
    layout.fit = fit;
    layout.margin = margin;
    return layout;
}

}  // namespace

TEST(PageGeometry, DensityComesFromTheLayoutOrTheFile)
{
    constexpr DensitySource Fixed = DensitySource::Fixed;
    const PageLayout fromFile {.density = DensitySource::FromFile};
    struct Row {
        const char* name;
        PageLayout layout;
        double fileX, fileY, x, y;
    };
    const Row rows[] = {
        {"one point per pixel ignores the file", {}, 300, 300, 72, 72},
        {"fixed", {Fixed, 300}, 96, 96, 300, 300},
        {"fixed but unusable", {Fixed, 0}, 96, 96, 72, 72},
        {"fixed beyond any file's", {Fixed, 1e12}, 96, 96, 100000, 100000},
        {"the file's own, unequal", fromFile, 300, 150, 300, 150},
        {"a file that states none", fromFile, 0, 0, 72, 72},
        {"a file that states one axis", fromFile, 200, 0, 200, 200},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const PixelDensity density = DensityFor(row.layout, row.fileX, row.fileY);
        EXPECT_EQ(density.x, row.x);
        EXPECT_EQ(density.y, row.y);
    }
}

TEST(PageGeometry, PlacesThePictureAsTheLayoutSays)
{
    constexpr FitMode Into = FitMode::Into, Fill = FitMode::Fill, Shrink = FitMode::Shrink;
    struct Size {
        double width, height;
    };
    struct Row {
        const char* name;
        Size pixels;
        PixelDensity density;
        PageLayout layout;
        Size page;
        PageRect picture;
        PageRect clip = {};  // width 0: none
    };
    const PageLayout fillInside100 = Paper(800, 600, Fill, 100);
    const Row rows[] = {
        {"one pixel one point", {640, 480}, {}, {}, {640, 480}, {0, 0, 640, 480}},
        {"300 dpi", {600, 300}, {300, 300}, {}, {144, 72}, {0, 0, 144, 72}},
        {"unequal densities", {200, 100}, {144, 72}, {}, {100, 100}, {0, 0, 100, 100}},
        {"margin without paper", {100, 50}, {}, {.margin = 10}, {120, 70}, {10, 10, 100, 50}},
        {"portrait into portrait paper", {300, 600}, {}, Paper(600, 800), {600, 800}, {100, 0, 400, 800}},
        {"landscape turns the paper", {400, 200}, {}, Paper(600, 800), {800, 600}, {0, 100, 800, 400}},
        {"portrait turns landscape paper", {200, 400}, {}, Paper(800, 600), {600, 800}, {100, 0, 400, 800}},
        {"square keeps the paper", {100, 100}, {}, Paper(600, 800), {600, 800}, {0, 100, 600, 600}},
        {"density decides the turn", {300, 300}, {150, 300}, Paper(600, 800), {800, 600}, {0, 100, 800, 400}},
        {"into, with margins", {400, 200}, {}, Paper(800, 600, Into, 50), {800, 600}, {50, 125, 700, 350}},
        {"into enlarges", {40, 30}, {}, Paper(800, 600), {800, 600}, {0, 0, 800, 600}},
        {"fill clips", {400, 200}, {}, Paper(800, 600, Fill), {800, 600}, {-200, 0, 1200, 600}, {0, 0, 800, 600}},
        {"fill, margins", {400, 200}, {}, fillInside100, {800, 600}, {0, 100, 800, 400}, {100, 100, 600, 400}},
        {"shrink keeps the size", {144, 72}, {144, 144}, Paper(600, 800, Shrink), {800, 600}, {364, 282, 72, 36}},
        {"shrink scales down", {1600, 1200}, {}, Paper(800, 600, Shrink), {800, 600}, {0, 0, 800, 600}},
        {"shrink inside margins", {700, 140}, {}, Paper(800, 600, Shrink, 100), {800, 600}, {100, 240, 600, 120}},
        {"a margin without room", {10, 10}, {}, Paper(100, 100, Into, 60), {100, 100}, {0, 0, 100, 100}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const PageGeometry page = LayOutPage(static_cast<int>(row.pixels.width), static_cast<int>(row.pixels.height),
                                             row.density, row.layout);
        EXPECT_DOUBLE_EQ(page.pageWidth, row.page.width);
        EXPECT_DOUBLE_EQ(page.pageHeight, row.page.height);
        EXPECT_NEAR(page.picture.x, row.picture.x, 1e-6);
        EXPECT_NEAR(page.picture.y, row.picture.y, 1e-6);
        EXPECT_NEAR(page.picture.width, row.picture.width, 1e-6);
        EXPECT_NEAR(page.picture.height, row.picture.height, 1e-6);
        EXPECT_EQ(page.clipped, row.clip.width > 0);
        if (page.clipped) {
            EXPECT_DOUBLE_EQ(page.clip.x, row.clip.x);
            EXPECT_DOUBLE_EQ(page.clip.y, row.clip.y);
            EXPECT_DOUBLE_EQ(page.clip.width, row.clip.width);
            EXPECT_DOUBLE_EQ(page.clip.height, row.clip.height);
        }
    }
}

// Turned first, then sized (the densities turn with the picture), then placed.
TEST(PageGeometry, PlansTurnThePictureBeforeSizingIt)
{
    const PageLayout fromFile {.density = DensitySource::FromFile}, a4ish = Paper(800, 600);
    struct Row {
        const char* name;
        int width, height, orientation;
        FileDensity density;
        PageLayout layout;
        double pageWidth, pageHeight;
        std::array<double, 6> placement;
    };
    const Row rows[] = {
        {"upright at one point per pixel", 640, 480, 1, {}, {}, 640, 480, {640, 0, 0, 480, 0, 0}},
        {"turned a quarter at one point per pixel", 640, 480, 6, {}, {}, 480, 640, {0, -640, 480, 0, 0, 640}},
        {"upright, unequal densities", 288, 72, 1, {144, 72}, fromFile, 144, 72, {144, 0, 0, 72, 0, 0}},
        {"turned, the densities turn too", 288, 72, 6, {144, 72}, fromFile, 72, 144, {0, -144, 72, 0, 0, 144}},
        {"mirrored and placed on paper", 400, 200, 2, {}, a4ish, 800, 600, {-800, 0, 0, 400, 800, 100}},
        {"turned, then the paper turned", 400, 200, 6, {}, a4ish, 600, 800, {0, -800, 400, 0, 100, 800}},
        {"turned the other way, on paper", 400, 200, 8, {}, a4ish, 600, 800, {0, 800, -400, 0, 500, 0}},
        {"upside down, on paper", 400, 200, 3, {}, a4ish, 800, 600, {-800, 0, 0, -400, 800, 500}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const PagePlan plan
            = PlanPage({0, {false, row.width, row.height}, 3, row.orientation, row.density}, row.layout);
        EXPECT_EQ(plan.pageWidth, row.pageWidth);
        EXPECT_EQ(plan.pageHeight, row.pageHeight);
        for (size_t i = 0; i < 6; ++i)
            EXPECT_NEAR(plan.placement[i], row.placement[i], 1e-9) << i;
        EXPECT_EQ(plan.imageWidth, row.width);
        EXPECT_EQ(plan.imageHeight, row.height);
    }
}

TEST(PageGeometry, NumbersAreWrittenWithoutExponentOrNegativeZero)
{
    struct Row {
        double value;
        const char* text;
    };
    const Row rows[] = {
        {640, "640"},
        {0, "0"},
        {-0.0, "0"},
        {0.5, "0.5"},
        {595.2756, "595.2756"},
        {1.0 / 3, "0.3333"},
        {2.99999999, "3"},
        {-12.5, "-12.5"},
        {-0.00001, "0"},
        {1e-7, "0"},
        {123456789.125, "123456789.125"},
        {1e20, "100000000000000000000"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(PdfNumber(row.value), row.text) << row.value;
}
