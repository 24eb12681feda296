#pragma once
// What the user does to an open chart: the mouse moving over the price pane (the cursor
// line and the read-outs), a display-count item, and a resize of the main frame, which lays
// the open view out again from the records in memory.
#include <cstdint>

struct SeriesRecord;

// The mouse at (x, y) in the price pane's units of the window of a chart kind: the cursor
// line on the column under it, CursorPoint, the line and barrier prices in panels 4 and 5
// of STA_Main, the averages in STA_MA and the pane's tooltip. A step that fails is skipped.
void OnPriceMouseMove(int32_t chartKind, double x, double y);
// Panels 3 and 4 of STA_MA from the record's averages at CursorPoint.
void ShowCursorStatus(const SeriesRecord& record);

// A display-count item of the window of a chart kind: that chart's count, marks and status,
// and, while the window shows one issue, its latest points drawn again at the new count.
void OnCountItem(int32_t chartKind, int32_t count);

// The open view laid out again for the frame's client area: views 4 to 11 relaid out and
// redrawn from their records (RelayoutKagiView … RelayoutFourViews), any other view
// shown again through DoCommand.
void RelayoutView();
