// SPDX-License-Identifier: GPL-2.0-or-later
#include "PageSkew.h"

#include <leptonica/allheaders.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <numbers>

#include "JpegDecoder.h"

namespace ocr {

namespace {

// The image library's own bound below which its search found no lines worth the name.
constexpr float kLeastConfidence = 3.0f;
// Reduced to about 150 dpi for an A4 page: lines of text stay lines, and the search stays quick.
constexpr int kMeasuredWidth = 1600;
// The part of a picture decoded first for MeasureFileSkew, and then how much more each time.
constexpr double kFirstPart = 0.25;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

double Radians(double degrees) { return degrees * std::numbers::pi / 180; }

// Grey, reduced to at most kMeasuredWidth across, then ink and paper parted where the page's own
// histogram parts them.
PixPtr TwoTone(Pix* pix)
{
    PixPtr grey(pixConvertTo8(pix, 0));
    while (grey && pixGetWidth(grey.get()) > kMeasuredWidth && pixGetHeight(grey.get()) > 32)
        grey.reset(pixScaleAreaMap2(grey.get()));
    if (!grey)
        return nullptr;
    if (pixGetWidth(grey.get()) < 16 || pixGetHeight(grey.get()) < 16)
        return nullptr;
    // One threshold for the page, where its histogram parts best into ink and paper (the
    // image library's Otsu split; every second pixel counted is plenty).
    NUMA* histogram = pixGetGrayHistogram(grey.get(), 2);
    l_int32 split = 0;
    const bool found = histogram && numaSplitDistribution(histogram, 0.1f, &split, nullptr, nullptr, nullptr,
                                                          nullptr, nullptr) == 0;
    numaDestroy(&histogram);
    if (!found)
        return nullptr;
    return PixPtr(pixThresholdToBinary(grey.get(), split + 1));
}

// The stored rows decoded so far, turned as the page shows them.
PixPtr ShownPart(Pix* stored, int rows, int orientation)
{
    BOX* box = boxCreate(0, 0, pixGetWidth(stored), rows);
    PixPtr part(pixClipRectangle(stored, box, nullptr));
    boxDestroy(&box);
    if (!part)
        return nullptr;
    // A mirrored picture shows its lines climbing the other way; a quarter turn lays them level.
    switch (orientation) {
    case 2: case 4: return PixPtr(pixFlipLR(nullptr, part.get()));
    case 5: case 7: {
        PixPtr turned(pixRotateOrth(part.get(), orientation == 5 ? 1 : 3));
        return PixPtr(turned ? pixFlipLR(nullptr, turned.get()) : nullptr);
    }
    case 6: case 8: return PixPtr(pixRotateOrth(part.get(), orientation == 6 ? 1 : 3));
    default: return part;
    }
}

// Thrown from the row sink to end the decoding once the skew is known.
struct Measured {
    std::optional<double> skew;
};

}  // namespace

std::optional<double> MeasureSkew(Pix* pix)
{
    if (!pix)
        return std::nullopt;
    const PixPtr binary = TwoTone(pix);
    if (!binary)
        return std::nullopt;
    float angle = 0, confidence = 0;
    // Swept at a quarter of the reduced size a degree at a time, then halved down to a hundredth at
    // the reduced size itself.
    if (pixFindSkewSweepAndSearch(binary.get(), &angle, &confidence, 4, 1, kSkewSearch, 1.0f, 0.01f) != 0
        || confidence < kLeastConfidence || !std::isfinite(angle))
        return std::nullopt;
    return angle;
}

std::optional<double> MeasureFileSkew(const std::string& path, int orientation, uint64_t tiffDirectory)
{
    // A PNG or a TIFF page is measured from its whole decoded picture (TwoTone reduces it).
    if (HoldsPngOrTiff(path))
        return MeasureSkew(DecodePagePixels(path, orientation, tiffDirectory).pix.get());
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return std::nullopt;
    jpegdecode::JpegDecoder decoder({.file = file.get()}, {.stopAtDataEnd = true});
    if (!decoder.ReadHeader()
        || !decoder.Start(jpegdecode::ScaleRule::Covering(kMeasuredWidth * 3 / 4, kMeasuredWidth * 3 / 4)))
        return std::nullopt;
    const jpegdecode::JpegOutput& output = decoder.Output();
    const bool grey = output.components == 1;
    // Only the rows delivered so far are ever measured, so the rest need no clearing.
    PixPtr stored(pixCreateNoInit(output.width, output.height, 8));
    if (!stored)
        return std::nullopt;
    int delivered = 0;
    l_uint32* data = pixGetData(stored.get());
    const int wordsPerLine = pixGetWpl(stored.get());
    const int width = output.width, height = output.height;
    // Measured each time another part is in; a confident measure ends the decoding there.
    Measured found;
    int nextCheck = std::max(1, static_cast<int>(height * kFirstPart));
    const auto check = [&](int rows) {
        const PixPtr shown = ShownPart(stored.get(), rows, orientation);
        found.skew = MeasureSkew(shown.get());
        return found.skew.has_value();
    };
    try {
        decoder.ReadRows([&](int y, const uint8_t* samples) {
            l_uint32* line = data + static_cast<size_t>(y) * wordsPerLine;
            delivered = y + 1;
            for (int x = 0; x < width; ++x) {
                const uint8_t* p = grey ? samples + x : samples + 3 * x;
                const int value = grey ? p[0] : (p[0] * 77 + p[1] * 150 + p[2] * 29) >> 8;
                SET_DATA_BYTE(line, x, value);
            }
            if (y + 1 == nextCheck && y + 1 < height) {
                if (check(y + 1))
                    throw found;
                nextCheck = std::min(height, 2 * nextCheck);
            }
        });
    } catch (const Measured& measured) {
        return measured.skew;
    }
    // The whole picture is in (or as much as the file holds).
    if (delivered > 0)
        check(delivered);
    return found.skew;
}

double StraighteningTurn(std::optional<double> skew)
{
    if (!skew || std::abs(*skew) < kLeastSkew || std::abs(*skew) > jpeg2pdf::kMostPageTurn)
        return 0;
    return -*skew;
}

StraightPixels Straightened(Pix* pix, double skew)
{
    StraightPixels straight;
    straight.skew = skew;
    // Turning clockwise by the climb lays the lines level; the picture is embedded in a larger one
    // first so no corner is lost.
    straight.pix.reset(pixRotate(pix, static_cast<float>(Radians(skew)), L_ROTATE_AREA_MAP, L_BRING_IN_WHITE,
                                 pixGetWidth(pix), pixGetHeight(pix)));
    return straight;
}

namespace {

// Carries a point of Straightened's pixels back to the picture's own (`width` x `height`).
auto BackFromStraight(const StraightPixels& straight, double width, double height)
{
    // Both pictures share their centre; with y down, the straightening turned points by +skew
    // (clockwise as seen), so turning them by -skew about the centres carries them back.
    const double a = Radians(-straight.skew);
    const double c = std::cos(a), s = std::sin(a);
    const double sx = pixGetWidth(straight.pix.get()) / 2.0, sy = pixGetHeight(straight.pix.get()) / 2.0;
    const double cx = width / 2, cy = height / 2;
    return [=](double& x, double& y) {
        const double dx = x - sx, dy = y - sy;
        x = cx + c * dx - s * dy;
        y = cy + s * dx + c * dy;
    };
}

}  // namespace

void TurnTextBackFromStraight(jpeg2pdf::PageText& text, const StraightPixels& straight, double width, double height)
{
    const auto back = BackFromStraight(straight, width, height);
    for (jpeg2pdf::TextBlock& block : text.blocks) {
        for (jpeg2pdf::TextLine& line : block.lines) {
            back(line.x0, line.y0);
            back(line.x1, line.y1);
        }
    }
}

void TurnWordsBackFromStraight(PageWords& words, const StraightPixels& straight, double width, double height)
{
    MapPageWords(words, BackFromStraight(straight, width, height));
}

}  // namespace ocr
