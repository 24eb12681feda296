#include "printing/chart_page.h"

#include <cmath>

namespace {

// The A4 boxes every layout starts from.
constexpr double kPortraitWidth = 8250;
constexpr double kPortraitHeight = 12450;
constexpr double kLandscapeWidth = 13000;
constexpr double kLandscapeHeight = 7550;

int32_t Round(double value) {
    return static_cast<int32_t>(std::nearbyint(value));
}

// value / divisor, times 1.41 on A3. The factor and the divisors are taken in hundredths so
// that a product such as 950 × 1.41 is exactly 1339.5 and rounds to even, as a decimal
// product does, instead of a hair below it.
int32_t Sized(double value, int32_t divisorHundredths, int32_t paperKind) {
    const double factor = IsA3(paperKind) ? 141 : 100;
    return Round(value * factor / divisorHundredths);
}

bool Portrait(int32_t paperKind) {
    return paperKind == 1 || paperKind == 3;
}
double PageBoxWidth(int32_t paperKind) {
    return Portrait(paperKind) ? kPortraitWidth : kLandscapeWidth;
}
double PageBoxHeight(int32_t paperKind) {
    return Portrait(paperKind) ? kPortraitHeight : kLandscapeHeight;
}

int32_t GapOf(int32_t paperKind, double digitHeight) {
    return Round(IsA3(paperKind) ? digitHeight * 1.41 : digitHeight);
}

}  // namespace

int32_t PaperKindOf(int32_t sizeIndex, bool portrait) {
    return (sizeIndex == 1 ? 3 : 1) + (portrait ? 0 : 1);
}

ChartPageOrigin ChartPageOriginOf(int32_t paperKind) {
    if (!IsA3(paperKind)) return {1075, 1450};
    return {Round(1075 + 1515.75 / 2), Round(1450 + 1515.75 / 2)};
}

ChartBoxes SingleChartBoxes(int32_t paperKind) {
    return {Sized(PageBoxWidth(paperKind), 100, paperKind),
            Sized(PageBoxHeight(paperKind), 100, paperKind),
            Sized(1000, 100, paperKind),
            Sized(950, 100, paperKind),
            Sized(400, 100, paperKind),
            0};
}

ChartBoxes TwoChartBoxes(int32_t paperKind, double digitHeight) {
    const bool portrait = Portrait(paperKind);
    // Upright, the two windows share the height with their strips at full size; on its side
    // the page is lower, so the strips are halved too.
    const int32_t strips = portrait ? 100 : 200;
    return {Sized(PageBoxWidth(paperKind), 100, paperKind),
            Sized(PageBoxHeight(paperKind), portrait ? 230 : 205, paperKind),
            Sized(1000, 100, paperKind),
            Sized(950, strips, paperKind),
            Sized(400, strips, paperKind),
            GapOf(paperKind, digitHeight)};
}

ChartBoxes FourChartBoxes(int32_t paperKind, double digitHeight) {
    const bool portrait = Portrait(paperKind);
    return {Sized(PageBoxWidth(paperKind), 205, paperKind),
            Sized(PageBoxHeight(paperKind), portrait ? 210 : 205, paperKind),
            Sized(500, 100, paperKind),
            Sized(475, 100, paperKind),
            Sized(200, 100, paperKind),
            GapOf(paperKind, digitHeight)};
}

PagePoint SecondChartPlace(ChartPageOrigin origin, const ChartBoxes& boxes) {
    return {origin.X,
            origin.Y + boxes.BoxHeight + boxes.VolumeHeight + boxes.DateHeight + boxes.Gap};
}

std::array<PagePoint, 4> FourChartPlaces(ChartPageOrigin origin, const ChartBoxes& boxes,
                                         double digitHeight) {
    const int32_t left = origin.X;
    const int32_t top = Round(origin.Y + digitHeight);
    const int32_t right =
        Round(origin.X + boxes.BoxWidth + boxes.LabelWidth + digitHeight + boxes.Gap);
    const int32_t bottom =
        top + boxes.BoxHeight + boxes.VolumeHeight + boxes.DateHeight + boxes.Gap;
    return {{{left, top}, {right, top}, {left, bottom}, {right, bottom}}};
}

std::optional<IssueCellGrid> IssueCellGridOf(int32_t cells, int32_t paperKind, double digitWidth,
                                             double digitHeight) {
    struct Shape {
        int32_t Cells, Columns, Rows;
        double ColumnGapDigits, RowGapLines;
    };
    static constexpr Shape kShapes[] = {{4, 2, 2, 8, 1}, {9, 3, 3, 5, 0.7}, {12, 4, 3, 3, 0.3}};
    for (const Shape& shape : kShapes) {
        if (shape.Cells != cells) continue;
        IssueCellGrid grid;
        grid.Columns = shape.Columns;
        grid.BoxWidth = Sized(PageBoxWidth(paperKind), shape.Columns * 100, paperKind);
        grid.BoxHeight = Sized(PageBoxHeight(paperKind), shape.Rows * 100, paperKind);
        grid.ColumnGap = Round(digitWidth * shape.ColumnGapDigits);
        grid.RowGap = Round(digitHeight * shape.RowGapLines);
        grid.TitleBytes = digitWidth > 0 ? Round(grid.BoxWidth / digitWidth) : 0;
        return grid;
    }
    return std::nullopt;
}

IssueCellPlace IssueCellPlaceOf(const IssueCellGrid& grid, ChartPageOrigin origin,
                                double digitHeight, int32_t index) {
    const int32_t column = index % grid.Columns;
    const int32_t row = index / grid.Columns;
    IssueCellPlace place;
    place.X = origin.X + column * (grid.BoxWidth + grid.ColumnGap);
    place.TitleY = origin.Y;
    place.PictureY = Round(place.TitleY + digitHeight);
    // Below the first row the space between rows grows by one row gap a row.
    for (int32_t r = 1; r <= row; ++r) {
        place.TitleY = place.PictureY + grid.BoxHeight + (r + 1) * grid.RowGap;
        place.PictureY = Round(place.TitleY + digitHeight);
    }
    return place;
}
