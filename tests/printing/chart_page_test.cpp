// ctest-labels: chartprint
#include "printing/chart_page.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/text_utils.h"

namespace {

TEST(ChartPageGeometry, PaperKindAndOrigin) {
    EXPECT_EQ(PaperKindOf(0, true), 1);
    EXPECT_EQ(PaperKindOf(0, false), 2);
    EXPECT_EQ(PaperKindOf(1, true), 3);
    EXPECT_EQ(PaperKindOf(1, false), 4);
    for (int kind : {1, 2}) {
        EXPECT_EQ(ChartPageOriginOf(kind).X, 1075);
        EXPECT_EQ(ChartPageOriginOf(kind).Y, 1450);
    }
    for (int kind : {3, 4}) {
        EXPECT_EQ(ChartPageOriginOf(kind).X, 1833);
        EXPECT_EQ(ChartPageOriginOf(kind).Y, 2208);
    }
}

struct BoxCase {
    int PaperKind;
    ChartBoxes Expected;
};

void ExpectBoxes(const ChartBoxes& got, const ChartBoxes& want, const std::string& what) {
    EXPECT_EQ(got.BoxWidth, want.BoxWidth) << what;
    EXPECT_EQ(got.BoxHeight, want.BoxHeight) << what;
    EXPECT_EQ(got.LabelWidth, want.LabelWidth) << what;
    EXPECT_EQ(got.VolumeHeight, want.VolumeHeight) << what;
    EXPECT_EQ(got.DateHeight, want.DateHeight) << what;
    EXPECT_EQ(got.Gap, want.Gap) << what;
}

// A digit 167.5 twips high rounds to 168 on A4 and 236.175 gives 236 on A3.
constexpr double kDigitHeight = 167.5;
constexpr double kDigitWidth = 100;

TEST(ChartPageGeometry, WindowBoxesOfEveryPaper) {
    const std::vector<BoxCase> single = {{1, {8250, 12450, 1000, 950, 400, 0}},
                                         {2, {13000, 7550, 1000, 950, 400, 0}},
                                         {3, {11632, 17554, 1410, 1340, 564, 0}},
                                         {4, {18330, 10646, 1410, 1340, 564, 0}}};
    for (const BoxCase& c : single)
        ExpectBoxes(SingleChartBoxes(c.PaperKind), c.Expected,
                    "single " + std::to_string(c.PaperKind));

    const std::vector<BoxCase> two = {{1, {8250, 5413, 1000, 950, 400, 168}},
                                      {2, {13000, 3683, 1000, 475, 200, 168}},
                                      {3, {11632, 7632, 1410, 1340, 564, 236}},
                                      {4, {18330, 5193, 1410, 670, 282, 236}}};
    for (const BoxCase& c : two)
        ExpectBoxes(TwoChartBoxes(c.PaperKind, kDigitHeight), c.Expected,
                    "two " + std::to_string(c.PaperKind));

    const std::vector<BoxCase> four = {{1, {4024, 5929, 500, 475, 200, 168}},
                                       {2, {6341, 3683, 500, 475, 200, 168}},
                                       {3, {5674, 8359, 705, 670, 282, 236}},
                                       {4, {8941, 5193, 705, 670, 282, 236}}};
    for (const BoxCase& c : four)
        ExpectBoxes(FourChartBoxes(c.PaperKind, kDigitHeight), c.Expected,
                    "four " + std::to_string(c.PaperKind));
}

TEST(ChartPageGeometry, WindowPlacesOfTheTwoAndFourChartPages) {
    const ChartPageOrigin origin = ChartPageOriginOf(2);
    const PagePoint second = SecondChartPlace(origin, TwoChartBoxes(2, kDigitHeight));
    EXPECT_EQ(second.X, 1075);
    EXPECT_EQ(second.Y, 1450 + 3683 + 475 + 200 + 168);

    const auto places =
        FourChartPlaces(ChartPageOriginOf(1), FourChartBoxes(1, kDigitHeight), kDigitHeight);
    const int top = 1450 + 168;  // 1617.5 to even
    const int right = 5934;      // 1075 + 4024 + 500 + 167.5 + 168
    const int bottom = top + 5929 + 475 + 200 + 168;
    EXPECT_EQ(places[0].X, 1075);
    EXPECT_EQ(places[0].Y, top);
    EXPECT_EQ(places[1].X, right);
    EXPECT_EQ(places[1].Y, top);
    EXPECT_EQ(places[2].X, 1075);
    EXPECT_EQ(places[2].Y, bottom);
    EXPECT_EQ(places[3].X, right);
    EXPECT_EQ(places[3].Y, bottom);
}

TEST(ChartPageGeometry, IssueCellsOfEveryPaper) {
    struct Size {
        int Width, Height;
    };
    // Rows: 4, 9, 12 cells; columns: paper kinds 1 to 4.
    const Size sizes[3][4] = {{{4125, 6225}, {6500, 3775}, {5816, 8777}, {9165, 5323}},
                              {{2750, 4150}, {4333, 2517}, {3878, 5852}, {6110, 3548}},
                              {{2062, 4150}, {3250, 2517}, {2908, 5852}, {4582, 3548}}};
    const int counts[3] = {4, 9, 12};
    for (int n = 0; n < 3; ++n)
        for (int kind = 1; kind <= 4; ++kind) {
            const auto grid = IssueCellGridOf(counts[n], kind, kDigitWidth, kDigitHeight);
            ASSERT_TRUE(grid.has_value());
            EXPECT_EQ(grid->BoxWidth, sizes[n][kind - 1].Width) << counts[n] << " " << kind;
            EXPECT_EQ(grid->BoxHeight, sizes[n][kind - 1].Height) << counts[n] << " " << kind;
        }
    for (int other : {0, 1, 6, 16}) EXPECT_FALSE(IssueCellGridOf(other, 1, 100, 100));

    // The gaps are not widened on A3; the title limit is the cell width in digits.
    const auto twelve = IssueCellGridOf(12, 3, 112.5, 150.5);
    EXPECT_EQ(twelve->Columns, 4);
    EXPECT_EQ(twelve->ColumnGap, 338);  // 337.5 to even
    EXPECT_EQ(twelve->RowGap, 45);      // 45.15
    EXPECT_EQ(twelve->TitleBytes, 26);  // 2908 / 112.5 = 25.85
    const auto four = IssueCellGridOf(4, 1, 112.5, 150.5);
    EXPECT_EQ(four->ColumnGap, 900);
    EXPECT_EQ(four->RowGap, 150);  // 150.5 to even
}

TEST(ChartPageGeometry, TwelveCellRowsOpenByOneMoreRowGapEachRow) {
    const auto grid = *IssueCellGridOf(12, 1, kDigitWidth, kDigitHeight);
    const ChartPageOrigin origin = ChartPageOriginOf(1);
    const int gap = grid.RowGap;  // 50.25 → 50
    EXPECT_EQ(gap, 50);
    const IssueCellPlace first = IssueCellPlaceOf(grid, origin, kDigitHeight, 0);
    EXPECT_EQ(first.X, 1075);
    EXPECT_EQ(first.TitleY, 1450);
    EXPECT_EQ(first.PictureY, 1618);
    const IssueCellPlace fourth = IssueCellPlaceOf(grid, origin, kDigitHeight, 3);
    EXPECT_EQ(fourth.X, 1075 + 3 * (2062 + 300));
    EXPECT_EQ(fourth.TitleY, 1450);
    const IssueCellPlace fifth = IssueCellPlaceOf(grid, origin, kDigitHeight, 4);
    EXPECT_EQ(fifth.X, 1075);
    EXPECT_EQ(fifth.TitleY, 1618 + 4150 + 2 * gap);
    const IssueCellPlace ninth = IssueCellPlaceOf(grid, origin, kDigitHeight, 8);
    EXPECT_EQ(ninth.TitleY, fifth.PictureY + 4150 + 3 * gap);
    EXPECT_EQ(ninth.PictureY, ninth.TitleY + 168);
}

TEST(ChartPageGeometry, CellTitlesAreCutToTheirByteLimitBeforeADoubleByteCharacter) {
    const auto grid = *IssueCellGridOf(12, 1, 229, kDigitHeight);
    EXPECT_EQ(grid.TitleBytes, 9);  // 2062 / 229 = 9.004
    EXPECT_EQ(LeftSjis("1301   東１   極洋", grid.TitleBytes), "1301   東");
    EXPECT_EQ(LeftSjis("1301    東１", grid.TitleBytes), "1301    ");
    EXPECT_EQ(LeftSjis("ｶﾌﾞABCDEFG", grid.TitleBytes), "ｶﾌﾞABCDEF");
}

}  // namespace
