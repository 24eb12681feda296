#include "views/paired_layout.h"

#include <algorithm>

namespace {

// The container of a window without a scroll strip: the margins all round.
TwipRect ContainerOf(const TwipRect& window) {
    return {kContainerLeft, kContainerTop, std::max(0.0, window.Width - 2 * kContainerLeft),
            std::max(0.0, window.Height - 2 * kContainerTop)};
}

// A window of the given rectangle whose panes are copied from another window of the same
// container size. The hidden scroll bar keeps the single window's place under the container.
ChartWindowLayout WindowWith(const TwipRect& window, const TwipRect& container,
                             const PaneStack& panes) {
    ChartWindowLayout layout;
    layout.Window = window;
    layout.Container = container;
    layout.Panes = panes;
    layout.Scroll = {kScrollLeft, container.Height, container.Width, kScrollHeight};
    return layout;
}

// The edge of a window that overlaps its neighbour ending at `edge` by the price pane's top
// margin; never left of or above the client area.
double OverlappingEdge(double edge) {
    return std::max(0.0, edge - kPaneTop);
}

ChartWindowLayout LaidOutWindow(const TwipRect& window, double priceShare) {
    const TwipRect container = ContainerOf(window);
    return WindowWith(window, container, StackPanes(container.Width, container.Height, priceShare));
}

}  // namespace

PaneStack KagiPanesFromLead(const PaneStack& lead) {
    PaneStack kagi = lead;
    kagi.Price.Height = lead.Price.Height + lead.Volume.Height;
    kagi.Scale.Height = kagi.Price.Height;
    kagi.Volume.Top = lead.Volume.Top + lead.Volume.Height;
    return kagi;
}

PaneStack CandlePanesFromKagi(const PaneStack& kagi, double containerHeight) {
    PaneStack candle = kagi;
    candle.Price.Height = kagi.Price.Height * kCandlePriceShare;
    candle.Scale.Height = candle.Price.Height;
    candle.Volume.Top = candle.Price.Top + candle.Price.Height;
    candle.Volume.Height =
        std::max(0.0, containerHeight - candle.Price.Height - kDateAxisHeight - 2 * kPaneTop);
    return candle;
}

PairLayout LayOutPair(double clientWidth, double clientHeight, bool sideBySide) {
    const double width = std::max(0.0, clientWidth);
    const double height = std::max(0.0, clientHeight);
    TwipRect lead;
    TwipRect kagi;
    if (sideBySide) {
        lead.Width = width / 2;
        lead.Height = std::max(0.0, height - kPaneTop);
        lead.Left = OverlappingEdge(lead.Width);
        kagi = {0, 0, lead.Width, lead.Height};
    } else {
        lead = {0, 0, width, height / 2};
        kagi = {0, OverlappingEdge(lead.Height), lead.Width, height - lead.Height};
    }
    PairLayout layout;
    layout.Lead = LaidOutWindow(lead, kCandlePriceShare);
    // The kagi window copies the lead's container, whatever its own height.
    layout.Kagi = WindowWith(kagi, layout.Lead.Container, KagiPanesFromLead(layout.Lead.Panes));
    return layout;
}

std::array<ChartWindowLayout, 4> LayOutFourCharts(double clientWidth, double clientHeight) {
    const double halfWidth = std::max(0.0, clientWidth) / 2;
    const double halfHeight = std::max(0.0, clientHeight) / 2;
    const ChartWindowLayout kagi = LaidOutWindow({0, 0, halfWidth, halfHeight}, kKagiPriceShare);
    const PaneStack candle = CandlePanesFromKagi(kagi.Panes, kagi.Container.Height);
    const double right = OverlappingEdge(halfWidth);
    const double lower = OverlappingEdge(halfHeight);
    return {kagi, WindowWith({right, 0, halfWidth, halfHeight}, kagi.Container, candle),
            WindowWith({0, lower, halfWidth, halfHeight}, kagi.Container, candle),
            WindowWith({right, lower, halfWidth, halfHeight}, kagi.Container, candle)};
}
