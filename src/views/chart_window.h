#pragma once
// The four chart windows FRM_罫線_鈎, FRM_罫線_日, FRM_罫線_週 and FRM_罫線_月: one class,
// built four times with the kind parameters of its chart. A window carries no logic: the
// view controller places it, draws into its panes, switches its menus and wires their
// actions (ViewState::WireChartWindow); every control has its name as objectName, so one
// routine serves all four windows.
//
// Controls (all in every window):
//   PIC_罫線            container of every pane and cell, white
//     LBL_Border ×12    frames behind the multi-issue cells (Index 0 to 11), hidden
//     TXT_Title ×12     title lines above the cells, hidden
//     PIC_Cht10         price pane; the overlays are painted over its picture
//     PIC_Cht20         volume pane
//     PIC_Cht11         price labels right of PIC_Cht10
//     PIC_Cht30         date axis
//     PIC_MCht ×12      multi-issue cells, hidden
//     PIC_Cht00         image copy of the chart for printing, hidden
//     PIC_Cht31         corner box holding the label LBL_ChtTyp ("[日足]")
//   FSB_期間            period scroll bar, in front of the container
//   MenuBar             the whole menu tree, never shown in the window: the main frame
//                       shows the active child's menus as its menu bar
// Later siblings stand in front, so the list above is back to front.
//
// Overlays of PIC_Cht10: the cursor lines LIN_CursorX and LIN_CursorY (kept here) and the
// line and barrier shapes LIN_斜線T10, LIN_斜線B10 and SHP_関門10 (the placement data of
// the window's chart, OverlayOf(kind) in analysis/lines_geometry.h). They are painted in
// the pane's user scale, clipped to the pane.
//
// A window exists at most once per kind: created on first use (ChartWindowOf), destroyed by
// its 閉じる item (UnloadChartWindow); a window created again starts from the creation
// values: every menu enabled, MNU_注目 hidden, the creation check marks, the cursor lines
// hidden and the overlay in its creation colours.
#include <QWidget>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "analysis/lines_records.h"
#include "drawing/chart_frame.h"
#include "platform/surface.h"
#include "views/chart_layout.h"

class QAction;
class QLabel;
class QLineEdit;
class QMdiSubWindow;
class QMenuBar;
class QScrollBar;

inline constexpr int kCellCount = 12;
// The cursor lines' colour (a dark cyan).
inline constexpr int32_t kCursorLineColour = RgbColour(0, 128, 128);

// The price pane: its picture with the window's overlays painted over it.
class ChartPricePane : public PictureBox {
  public:
    ChartPricePane(int32_t chartKind, QWidget* parent);
    LinePlacement LIN_CursorX;
    LinePlacement LIN_CursorY;
    // The mouse moving over the pane, in the pane's user scale (set by the view controller).
    std::function<void(double x, double y)> MouseMoved;
    // A button pressed or released over the pane, at the price y; a double click. Any button
    // counts. A double click runs only its own handler, not the press's a second time.
    std::function<void(double y)> MousePressed;
    std::function<void(double y)> MouseReleased;
    std::function<void()> DoubleClicked;
    // A pixel position of the pane in its user scale.
    QPointF ToScale(QPointF pixel);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    int32_t chartKind_;
};

class ChartWindow : public QWidget {
  public:
    explicit ChartWindow(int32_t chartKind, QWidget* parent = nullptr);
    ~ChartWindow() override;

    int32_t ChartKind() const { return chartKind_; }
    // The window's name: "FRM_罫線_鈎", "FRM_罫線_日", "FRM_罫線_週" or "FRM_罫線_月".
    static const char* FormName(int32_t chartKind);

    // Panes by name: "PIC_Cht10", "PIC_Cht11", "PIC_Cht20", "PIC_Cht30", "PIC_Cht31",
    // "PIC_Cht00"; nullptr for any other name.
    PictureBox* Pane(const std::string& name) const;
    ChartPricePane& PricePane() const { return *price_; }
    // The drawing surfaces of the four chart panes.
    ChartPanes Panes() const;
    QWidget& Container() const { return *container_; }
    QScrollBar& PeriodBar() const { return *scroll_; }
    PictureBox& Cell(int index) const { return *cells_.at(index); }

    QMenuBar* MenuBar() const { return menuBar_; }
    // A menu item, submenu or separator by its name; nullptr for an unknown name.
    QAction* MenuItem(const std::string& name) const;

    // The check marks off every display-count item: the kagi window's Clear表示本数_鈎, the
    // candlestick windows' Clear表示本数_ロ.
    void Clear表示本数_鈎();
    void Clear表示本数_ロ();

    // Places the controls at 15 twips a pixel; the window's rectangle goes to its MDI
    // sub-window.
    void Apply(const ChartWindowLayout& layout);

    // A window left open under a view that does not use it is inert: it takes no click,
    // key, wheel or scroll until a view uses it again. The series record it would draw from
    // may meanwhile hold another chart's points (the kagi build writes the daily one).
    bool Inert() const { return inert_; }
    void SetInert(bool inert);

  private:
    void BuildControls();
    void BuildMenus();
    void ClearCountChecks();

    int32_t chartKind_;
    QWidget* container_ = nullptr;
    ChartPricePane* price_ = nullptr;
    std::map<std::string, PictureBox*> panes_;
    std::vector<PictureBox*> cells_;
    QScrollBar* scroll_ = nullptr;
    QMenuBar* menuBar_ = nullptr;
    std::map<std::string, QAction*> items_;
    bool inert_ = false;
};

// The chart window of a kind (4 to 7), created on first use inside the main frame and
// wired by the view controller.
ChartWindow& ChartWindowOf(int32_t chartKind);
// The window when it exists, else nullptr; never creates one.
ChartWindow* FindChartWindow(int32_t chartKind);
// Destroys the window (its 閉じる item): it is gone from FindChartWindow at once and
// deleted when control returns to the event loop.
void UnloadChartWindow(int32_t chartKind);
// The window's MDI sub-window in the main frame.
QMdiSubWindow* ChartSubWindow(const ChartWindow& window);
// The main frame's client size in twips, read after the frame has laid itself out.
struct ClientSize {
    double Width = 0;
    double Height = 0;
};
ClientSize MainClientTwips();
