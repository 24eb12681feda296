#include "views/chart_layout.h"

#include <algorithm>

namespace {

double AtLeastZero(double value) {
    return std::max(0.0, value);
}

}  // namespace

PaneStack StackPanes(double width, double height, double priceShare) {
    PaneStack stack;
    const double paneWidth = AtLeastZero(width - kScaleColumnWidth - 2 * kPaneLeft);
    const double shared = AtLeastZero(height - 2 * kPaneTop - kDateAxisHeight);
    const double price = priceShare * shared;
    const double volume = shared - price;
    stack.Price = {kPaneLeft, kPaneTop, paneWidth, price};
    stack.Scale = {kPaneLeft + paneWidth, kPaneTop, kScaleColumnWidth, price};
    stack.Volume = {kPaneLeft, kPaneTop + price, paneWidth, volume};
    stack.Dates = {kPaneLeft, stack.Volume.Top + volume, paneWidth, kDateAxisHeight};
    stack.Corner = {stack.Scale.Left, stack.Dates.Top, kScaleColumnWidth, kDateAxisHeight};
    return stack;
}

ChartWindowLayout LayOutSingleChart(double clientWidth, double clientHeight, double toolbarHeight,
                                    double priceShare) {
    ChartWindowLayout layout;
    layout.Window = {0, 0, AtLeastZero(clientWidth), AtLeastZero(clientHeight + toolbarHeight)};
    const double width = AtLeastZero(layout.Window.Width - 2 * kContainerLeft);
    const double height = AtLeastZero(layout.Window.Height - (2 * kContainerTop + kScrollHeight));
    layout.Container = {kContainerLeft, kContainerTop, width, height};
    layout.Panes = StackPanes(width, height, priceShare);
    // The strip starts at the container's height, not at its bottom edge, so it covers the
    // container's lowest margin.
    layout.Scroll = {kScrollLeft, height, width, kScrollHeight};
    return layout;
}
