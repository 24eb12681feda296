#pragma once
// Where a chart window and its panes stand, as pure arithmetic over the main frame's client
// size in twips. Every size derives from the client area and the fixed margins below; the
// window's controls are placed from the result at 15 twips a pixel (ChartWindow::Apply).
//
// The pane stack inside the container PIC_罫線, top to bottom: the price pane PIC_Cht10 with
// the price scale PIC_Cht11 to its right, the volume pane PIC_Cht20 (none on the kagi chart),
// the date axis PIC_Cht30 with the corner box PIC_Cht31 to its right. The period scroll bar
// FSB_期間 lies in a strip under the container. Paired, four-chart and multi-issue layouts
// start from the same container and stack.

// A rectangle in twips, in the coordinates of the control that contains it.
struct TwipRect {
    double Left = 0;
    double Top = 0;
    double Width = 0;
    double Height = 0;
    bool operator==(const TwipRect&) const = default;
};

// Fixed values of every chart window.
constexpr double kContainerLeft = 120;     // PIC_罫線.Left: margin left and right
constexpr double kContainerTop = 60;       // PIC_罫線.Top: margin above and below
constexpr double kPaneLeft = 60;           // PIC_Cht10.Left inside the container
constexpr double kPaneTop = 60;            // PIC_Cht10.Top inside the container
constexpr double kScaleColumnWidth = 972;  // PIC_Cht11.Width
constexpr double kDateAxisHeight = 372;    // PIC_Cht30.Height
constexpr double kScrollLeft = 120;        // FSB_期間.Left
constexpr double kScrollHeight = 252;      // the scroll bar's strip

// The price pane's share of the height the price and volume panes divide.
constexpr double kCandlePriceShare = 0.9;
constexpr double kKagiPriceShare = 1.0;

// The five panes inside the container.
struct PaneStack {
    TwipRect Price;   // PIC_Cht10
    TwipRect Scale;   // PIC_Cht11
    TwipRect Volume;  // PIC_Cht20
    TwipRect Dates;   // PIC_Cht30
    TwipRect Corner;  // PIC_Cht31
};

// The stack for a container of inner size width × height. A container too small for
// positive sizes gives panes of size 0, never below.
PaneStack StackPanes(double width, double height, double priceShare);

// One chart window over the whole client area.
struct ChartWindowLayout {
    TwipRect Window;     // in the client area
    TwipRect Container;  // PIC_罫線, in the window
    PaneStack Panes;     // in the container
    TwipRect Scroll;     // FSB_期間, in the window
};

// toolbarHeight is the height of the visible line and barrier toolbar TLB_斜線関門 (0 when
// it is hidden): the window is that much taller than the client area, its lower part out of
// sight, so the chart keeps the size it has without the toolbar.
ChartWindowLayout LayOutSingleChart(double clientWidth, double clientHeight, double toolbarHeight,
                                    double priceShare);
