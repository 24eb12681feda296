#pragma once
// The geometry of a chart view pasted on paper by picture copy: the paper kind, the corner
// of the layout, and the boxes of one chart window, of two and of four, and the grid of a
// multi-issue page. Everything in twips from the top left of the page; every value made from
// fractions is rounded to the nearest twip, halves to even, as the layouts were measured.
#include <array>
#include <cstdint>
#include <optional>

// 1 A4 portrait, 2 A4 landscape, 3 A3 portrait, 4 A3 landscape.
int32_t PaperKindOf(int32_t sizeIndex, bool portrait);
inline bool IsA3(int32_t paperKind) {
    return paperKind >= 3;
}

struct ChartPageOrigin {
    int32_t X = 0;
    int32_t Y = 0;
};
ChartPageOrigin ChartPageOriginOf(int32_t paperKind);

// One pasted chart window: the price box, the price-label strip right of it, the volume
// pane and the date strip under it; Gap is the room between two windows.
struct ChartBoxes {
    int32_t BoxWidth = 0;
    int32_t BoxHeight = 0;
    int32_t LabelWidth = 0;
    int32_t VolumeHeight = 0;
    int32_t DateHeight = 0;
    int32_t Gap = 0;
};
// Views 4 to 7: one window on the page.
ChartBoxes SingleChartBoxes(int32_t paperKind);
// Views 8 to 10: the candlestick window above the kagi window.
ChartBoxes TwoChartBoxes(int32_t paperKind, double digitHeight);
// View 11: four windows, two by two.
ChartBoxes FourChartBoxes(int32_t paperKind, double digitHeight);

struct PagePoint {
    int32_t X = 0;
    int32_t Y = 0;
};
// Where the lower window of a two-chart page stands.
PagePoint SecondChartPlace(ChartPageOrigin origin, const ChartBoxes& boxes);
// The four windows' corners: kagi top left, daily top right, weekly bottom left, monthly
// bottom right.
std::array<PagePoint, 4> FourChartPlaces(ChartPageOrigin origin, const ChartBoxes& boxes,
                                         double digitHeight);

// A multi-issue page of 4, 9 or 12 cells.
struct IssueCellGrid {
    int32_t Columns = 0;
    int32_t BoxWidth = 0;
    int32_t BoxHeight = 0;
    int32_t ColumnGap = 0;
    int32_t RowGap = 0;
    int32_t TitleBytes = 0;  // the title's limit in Shift-JIS bytes
};
// None for a cell count other than 4, 9 and 12.
std::optional<IssueCellGrid> IssueCellGridOf(int32_t cells, int32_t paperKind, double digitWidth,
                                             double digitHeight);
// Cell i: its left edge, its title line and the top of its picture.
struct IssueCellPlace {
    int32_t X = 0;
    int32_t TitleY = 0;
    int32_t PictureY = 0;
};
IssueCellPlace IssueCellPlaceOf(const IssueCellGrid& grid, ChartPageOrigin origin,
                                double digitHeight, int32_t index);
