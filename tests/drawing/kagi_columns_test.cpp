// ctest-labels: drawing
// The column painter the screen and the printed kagi charts share, run in each of its
// styles on one image: a rising stroke, then a falling stroke broken by a split join.
#include "drawing/kagi_columns.h"

#include <gtest/gtest.h>

#include "drawing/pane_images.h"

namespace {

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kInk(0, 0, 0);
const QColor kWhite(255, 255, 255);

TEST(KagiColumns, SlotsStandOneColumnAndOneGapApart) {
    EXPECT_EQ(KagiSlotLeft(0), 50);
    EXPECT_EQ(KagiSlotLeft(1) - KagiSlotLeft(0), 200);
    EXPECT_EQ(KagiWidth(3), KagiSlotLeft(3) - 50);
}

struct StyleCase {
    const char* name;
    KagiColumnStyle style;
    QColor rising;      // inside the first column
    QColor beforeJoin;  // inside the falling column above the old end
    QColor afterJoin;   // inside it below the new start
    bool dottedJoin;
};

TEST(KagiColumns, EachStyleFillsAndJoinsAsItSays) {
    const StyleCase cases[] = {
        {"screen by direction", {}, kRed, kBlue, kBlue, false},
        {"screen by signal", {.ConversionColouring = true}, kRed, kRed, kInk, false},
        {"paper in colour", {.OnPaper = true}, kRed, kBlue, kBlue, false},
        {"paper in black", {.OnPaper = true, .Monochrome = true}, kWhite, kInk, kInk, false},
        {"paper cell of four", {.OnPaper = true, .DottedJoin = true}, kRed, kBlue, kBlue, true},
    };
    const std::vector<RuleHit> marks;
    const std::vector<KagiJoinRec> joins{{180, 140}};
    const KagiTables tables{marks, joins};
    SeriesPoint rising;
    rising.Open = 100;
    rising.Close = 200;
    rising.High = -1;
    rising.Low = 255;  // opened under a buy signal
    SeriesPoint falling = rising;
    falling.Open = 200;
    falling.Close = 120;
    falling.SplitFlag = 15;  // both parts of the split stroke are drawn
    falling.JoinLink = 0;

    for (const StyleCase& c : cases) {
        ImagePane pane(QSize(400, 300));
        pane.image.fill(Qt::white);
        Surface& surface = pane.surface;
        surface.SetScale(0, 220, KagiWidth(2), 100);
        KagiColumnPainter painter(surface, c.style, tables, 1, rising);
        painter.Paint(0, rising);
        painter.Paint(1, falling);
        // A frame drawn next, as a rule text's, is hollow unless paper set a fill style.
        surface.Box(10, 215, 40, 205, 0);

        const double x1 = KagiSlotLeft(1);
        EXPECT_EQ(pane.At(KagiSlotLeft(0) + 25, 150), c.rising) << c.name;
        EXPECT_EQ(pane.At(x1 + 25, 190), c.beforeJoin) << c.name;
        EXPECT_EQ(pane.At(x1 + 25, 130), c.afterJoin) << c.name;
        EXPECT_EQ(pane.At(x1 + 25, 160), kWhite) << c.name;  // no column between the listings
        int gaps = 0;
        for (double y = 175; y > 145; y -= 0.4) gaps += pane.At(x1 + 50, y) != kInk;
        EXPECT_EQ(gaps > 0, c.dottedJoin) << c.name;
        if (!c.style.OnPaper) {
            EXPECT_EQ(pane.At(25, 210), kWhite) << c.name;
        }
    }
}

}  // namespace
