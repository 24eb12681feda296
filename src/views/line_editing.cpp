#include "views/line_editing.h"

#include <QAbstractButton>
#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolBar>
#include <string>

#include "analysis/lines_editing.h"
#include "analysis/lines_geometry.h"
#include "analysis/lines_model.h"
#include "analysis/lines_storage.h"
#include "analysis/state.h"
#include "foundation/issue_edit_queue.h"
#include "foundation/text_utils.h"
#include "platform/message_box.h"
#include "platform/twips.h"
#include "ui/input_boxes.h"
#include "views/chart_controls.h"
#include "views/chart_window.h"
#include "views/line_panel.h"
#include "views/list_services.h"
#include "views/main_frame.h"
#include "views/state.h"
#include "views/view_rules.h"

namespace {

constexpr const char* kInterrupted = "処理が中断されました。";
constexpr int32_t kLineCommand = 18;

double PaneWidthOf(int32_t chartKind) {
    const ChartWindow* window = FindChartWindow(chartKind);
    return window ? window->PricePane().surface().ScaleWidth() : 0;
}

int32_t DisplayCountOf(int32_t chartKind) {
    return Views().DisplayCount[KindIndex(chartKind)];
}

// A click edits a line while the panel shows with 斜線 chosen, a barrier with 関門.
bool LineClicksLive() {
    return ShasenKanmonEditing() && !EditPanel().Selected("OPT_関門");
}
bool BarrierClicksLive() {
    return ShasenKanmonEditing() && EditPanel().Selected("OPT_関門");
}

KanmonPane PaneOf(int32_t chartKind) {
    KanmonPane pane;
    pane.Divisor = RecordOfChart(chartKind).PriceDivisor;
    if (const ChartWindow* window = FindChartWindow(chartKind)) {
        pane.ScaleWidth = window->PricePane().surface().ScaleWidth();
        pane.OuterHeight = PixelsToTwips(window->PricePane().height());
    }
    return pane;
}

void MoveKanmonEdge(int32_t chartKind, double y) {
    DragKanmonEdge(OverlayOf(chartKind), PaneOf(chartKind), y, EditPanel().Selected("OPT_上値"));
    RepaintOverlay(chartKind);
}

// Enter in a price box places the current barrier from the two boxes. In TXT_Max the key is
// always consumed; in TXT_Min only when the barrier was placed.
bool PlaceKanmonFromBoxes(QLineEdit* box) {
    ShasenKanmonPanel& panel = EditPanel();
    QLineEdit* upper = panel.PriceBox("TXT_Max");
    QLineEdit* lower = panel.PriceBox("TXT_Min");
    const bool fromUpper = box == upper;
    FormatIntegerBox(box);
    if (fromUpper) {
        LowerMinToMax(lower, upper);
    } else {
        RaiseMaxToMin(lower, upper);
    }
    const int32_t kind = EditedChartKind();
    const ChartWindow* window = kind == 0 ? nullptr : FindChartWindow(kind);
    if (!window) return fromUpper;
    const Surface& scale = window->PricePane().surface();
    if (!CheckPriceInRange(Views().ViewKind, scale.ScaleTop(), scale.ScaleHeight(), lower, upper))
        return fromUpper;
    const std::string upperText = upper->text().toStdString();
    const std::string lowerText = lower->text().toStdString();
    if (!IsNumericText(upperText) || !IsNumericText(lowerText)) return fromUpper;
    SetKanmonFromText(OverlayOf(kind), PaneOf(kind), NumericValue(upperText),
                      NumericValue(lowerText));
    RepaintOverlay(kind);
    SelectAllText(box);
    return true;
}

// The price boxes' own keys and focus: Enter places the barrier, entering a box selects
// its text. Owned by the box.
class PriceBoxKeys : public QObject {
  public:
    explicit PriceBoxKeys(QLineEdit* box) : QObject(box), box_(box) {
        box->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != box_) return false;
        if (event->type() == QEvent::FocusIn) {
            // After the click that gave the focus has placed the cursor.
            QTimer::singleShot(0, box_, [box = box_] { box->selectAll(); });
            return false;
        }
        if (event->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
        return PlaceKanmonFromBoxes(box_);
    }

  private:
    QLineEdit* box_;
};

// ---- The panel's handlers, each on the chart of the view on screen ----

// The overlay of the view's chart, when the view shows one chart.
PriceOverlay* ViewOverlay() {
    const int32_t kind = EditedChartKind();
    return kind == 0 ? nullptr : &OverlayOf(kind);
}

void RepaintViewOverlay() {
    if (const int32_t kind = EditedChartKind()) RepaintOverlay(kind);
}

void HighlightOnly(bool lines) {
    if (PriceOverlay* overlay = ViewOverlay()) {
        HighlightCurShasen(*overlay, lines);
        HighlightCurKanmon(*overlay, !lines);
    }
    RepaintViewOverlay();
}

void SetSwitchEnabled(bool enabled) {
    ShasenKanmonPanel& panel = EditPanel();
    panel.Frame("FRA_SW")->setEnabled(enabled);
    panel.Spinner("UPD_Next")->setEnabled(enabled);
}

void OPT_斜線_Click() {
    SyncEditPanelFrames();
    HighlightOnly(true);
}

void OPT_関門_Click() {
    SyncEditPanelFrames();
    HighlightOnly(false);
}

void OPT_判定_Click() {
    SetSwitchEnabled(false);
    if (PriceOverlay* overlay = ViewOverlay()) {
        HighlightCurShasen(*overlay, false);
        HighlightCurKanmon(*overlay, false);
    }
    SetCurLineSlot(true);
    SetCurKanmonSlot(true);
    RepaintViewOverlay();
}

void OPT_補助_Click() {
    SetSwitchEnabled(true);
    SetCurLineSlot(false);
    SetCurKanmonSlot(false);
    if (PriceOverlay* overlay = ViewOverlay()) {
        if (EditPanel().Selected("OPT_斜線")) {
            HighlightCurShasen(*overlay, true);
        } else {
            HighlightCurKanmon(*overlay, true);
        }
    }
    RepaintViewOverlay();
}

void UPD_Next_Click(int32_t step) {
    PriceOverlay* overlay = ViewOverlay();
    if (!overlay) return;
    if (EditPanel().Selected("OPT_斜線")) {
        StepCurShasen(*overlay, step);
    } else {
        StepCurKanmon(*overlay, step);
    }
    RepaintViewOverlay();
}

void CMD_Delete_Click() {
    const int32_t kind = EditedChartKind();
    if (kind == 0) return;
    const ShasenKanmonPanel& panel = EditPanel();
    // The judgement slot can be current on the weekly chart only.
    const bool judgement = kind == kChartWeekly && panel.Selected("OPT_判定");
    if (panel.Selected("OPT_斜線")) {
        DeleteCurShasen(RecordOfChart(kind), OverlayOf(kind), judgement);
    } else {
        DeleteCurKanmon(OverlayOf(kind), judgement);
    }
    RepaintOverlay(kind);
}

void OnSelected(ShasenKanmonPanel& panel, const char* option, void (*handler)()) {
    QObject::connect(panel.Option(option), &QAbstractButton::toggled, &panel, [handler](bool on) {
        if (on) handler();
    });
}

void WirePanel(ShasenKanmonPanel& panel) {
    OnSelected(panel, "OPT_斜線", OPT_斜線_Click);
    OnSelected(panel, "OPT_関門", OPT_関門_Click);
    OnSelected(panel, "OPT_判定", OPT_判定_Click);
    OnSelected(panel, "OPT_補助", OPT_補助_Click);
    UpDownSpinner* next = panel.Spinner("UPD_Next");
    next->OnUp([] { UPD_Next_Click(1); });
    next->OnDown([] { UPD_Next_Click(-1); });
    QObject::connect(panel.Button("CMD_Delete"), &QPushButton::clicked, &panel, CMD_Delete_Click);
    QObject::connect(panel.Button("CMD_OK"), &QPushButton::clicked, &panel, SaveShasenKanmonEdits);
    QObject::connect(panel.Button("CMD_cancel"), &QPushButton::clicked, &panel,
                     DiscardShasenKanmonEdits);
    QLineEdit* upper = panel.PriceBox("TXT_Max");
    QLineEdit* lower = panel.PriceBox("TXT_Min");
    BindIntegerBox(upper, panel.Spinner("UPD_Max"));
    BindIntegerBox(lower, panel.Spinner("UPD_Min"));
    BindMinMaxPair(lower, upper);
    new PriceBoxKeys(upper);
    new PriceBoxKeys(lower);
}

// Editing on the view's chart when the view shows one chart with points; the judgement slot
// can be chosen on the weekly chart only.
void StartEditOfView(bool lines) {
    const int32_t kind = EditedChartKind();
    if (kind == 0) return;
    SeriesRecord& record = RecordOfChart(kind);
    ChartWindow* window = FindChartWindow(kind);
    if (record.Count < 1 || !window) return;
    EnterShasenKanmonMode(*window, record.ShasenSlots, lines, kind == kChartWeekly);
}

}  // namespace

ShasenKanmonPanel& EditPanel() {
    QToolBar* toolbar = MainFrame().LineToolbar();
    auto* panel = toolbar->findChild<ShasenKanmonPanel*>(QStringLiteral("PIC_斜線"));
    if (panel) return *panel;
    panel = new ShasenKanmonPanel;
    toolbar->addWidget(panel);
    WirePanel(*panel);
    return *panel;
}

void ResetEditPanelOptions() {
    EditPanel().ResetOptions();
}

void SyncEditPanelFrames() {
    EditPanel().SyncFrames();
}

void StartLineEdit() {
    if (!IsCommandEnabled(kLineCommand)) return;
    StartEditOfView(true);
}

void StartBarrierEdit() {
    StartEditOfView(false);
}

void EnterShasenKanmonMode(ChartWindow& window, std::array<ShasenRec, 5>& lineSlots, bool lines,
                           bool judgementAllowed) {
    BackupShasenSet(lineSlots);
    EnableFormMenus(window, false);
    EnableToolbarButtons(false);
    // Built before the toolbar shows, so that showing it lays the panel out.
    ShasenKanmonPanel& panel = EditPanel();
    MainFrame().LineToolbar()->show();
    panel.Option("OPT_判定")->setEnabled(judgementAllowed);
    ResetEditPanelOptions();
    SetCurLineSlot(false);
    SetCurKanmonSlot(false);
    PriceOverlay& overlay = OverlayOf(window.ChartKind());
    if (lines) {
        panel.Option("OPT_斜線")->setChecked(true);
        HighlightCurShasen(overlay, true);
    } else {
        panel.Option("OPT_関門")->setChecked(true);
        HighlightCurKanmon(overlay, true);
    }
    window.PricePane().update();
    panel.Button("CMD_cancel")->setFocus();
}

void ExitShasenKanmonMode() {
    if (const int32_t kind = EditedChartKind()) {
        if (ChartWindow* window = FindChartWindow(kind)) EnableFormMenus(*window, true);
        HighlightCurShasen(OverlayOf(kind), false);
        HighlightCurKanmon(OverlayOf(kind), false);
        RepaintOverlay(kind);
    }
    EnableToolbarButtons(true);
    MainFrame().LineToolbar()->hide();
}

void EnableFormMenus(ChartWindow& window, bool enabled) {
    // The items' handlers run only while their top menu is enabled (MenuItemReachable), so
    // this locks their shortcuts too.
    for (QAction* top : window.MenuBar()->actions()) top->setEnabled(enabled);
    // A menu bar grabs its menus' access keys even while they are disabled: 罫線(&C) would
    // take Alt+C from the panel's 閉じる(&C). A disabled bar grabs nothing.
    MainFrame().menuBar()->setEnabled(enabled);
}

void EnableToolbarButtons(bool enabled) {
    MDF_メイン& frame = MainFrame();
    for (int code = 1; code <= kToolbarButtons; ++code)
        frame.ToolbarButton(code)->setEnabled(enabled);
}

bool ShasenKanmonEditing() {
    return MainFrameExists() && !MainFrame().LineToolbar()->isHidden();
}

int32_t EditedChartKind() {
    const int16_t view = Views().ViewKind;
    return IsSingleView(view) ? view : 0;
}

void RepaintOverlay(int32_t chartKind) {
    if (ChartWindow* window = FindChartWindow(chartKind)) window->PricePane().update();
}

void SaveShasenKanmonEdits() {
    std::string issueId;
    if (!GetCurrentIssueId(issueId)) return;
    if (const int32_t kind = EditedChartKind()) {
        SeriesRecord& record = RecordOfChart(kind);
        PriceOverlay& overlay = OverlayOf(kind);
        const int16_t view = Views().ViewKind;
        std::array<KanmonRec, 4> work{};
        // Lines saved before a failing barrier step stay saved. A save rolls back as a whole,
        // so the user is told that the update failed, after the engine's own words.
        const bool saved =
            SaveShasenDB(record, issueId, view) && SaveKanmonDB(overlay, issueId, work, view);
        if (!saved) MsgWarn(kUpdateFailedMessage);
        if (!saved || !LoadShasenKanmon(record, issueId)) {
            MsgInfo(kInterrupted);
            return;
        }
        PlaceShasenKanmonShapes(overlay, record, PaneWidthOf(kind));
        RepaintOverlay(kind);
    }
    ExitShasenKanmonMode();
}

void DiscardShasenKanmonEdits() {
    if (const int32_t kind = EditedChartKind()) {
        SeriesRecord& record = RecordOfChart(kind);
        RestoreShasenSet(record.ShasenSlots);
        // The barriers were changed only in their shapes: placing them again undoes that.
        PlaceShasenKanmonShapes(OverlayOf(kind), record, PaneWidthOf(kind));
        RepaintOverlay(kind);
    }
    ExitShasenKanmonMode();
}

void OnEditMousePress(int32_t chartKind, double y) {
    if (chartKind == kChartKagi && BarrierClicksLive()) MoveKanmonEdge(chartKind, y);
}

void OnEditMouseRelease(int32_t chartKind, double y) {
    if (chartKind == kChartKagi) return;
    if (BarrierClicksLive()) {
        MoveKanmonEdge(chartKind, y);
        return;
    }
    if (!LineClicksLive()) return;
    SeriesRecord& record = RecordOfChart(chartKind);
    record.ChartKind = chartKind;
    OnChartClickShasen(OverlayOf(chartKind), record, DisplayCountOf(chartKind),
                       EditPanel().LineOptions());
    RepaintOverlay(chartKind);
}

void OnEditDoubleClick(int32_t chartKind) {
    if (chartKind != kChartKagi || !LineClicksLive()) return;
    SeriesRecord& kagi = Series().KagiSeries;
    kagi.ChartKind = kChartKagi;
    OnKagiClickShasen(OverlayOf(kChartKagi), kagi, DisplayCountOf(kChartKagi),
                      EditPanel().LineOptions());
    RepaintOverlay(kChartKagi);
}
