#include "printing/chart_print.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <stdexcept>

#include "analysis/chart_loading.h"
#include "analysis/kagi.h"
#include "analysis/lines_geometry.h"
#include "analysis/state.h"
#include "drawing/kagi_chart.h"
#include "drawing/printed_candle_chart.h"
#include "drawing/printed_kagi_chart.h"
#include "foundation/printer_setup.h"
#include "foundation/state.h"
#include "foundation/text_utils.h"
#include "foundation/trap.h"
#include "platform/app_path.h"
#include "platform/busy_pointer.h"
#include "platform/message_box.h"
#include "platform/printers.h"
#include "platform/surface.h"
#include "printing/chart_page.h"
#include "printing/state.h"
#include "views/chart_views.h"
#include "views/chart_window.h"
#include "views/list_services.h"
#include "views/main_frame.h"
#include "views/state.h"
#include "views/view_rules.h"

namespace {

constexpr const char* kInterrupted = "処理が中断されました。";
constexpr const char* kPageFont = "ＭＳ 明朝";
constexpr double kPageFontPoints = 10;
constexpr double kCaptionPoints = 12;
constexpr double kCellTitlePoints = 9;
constexpr ColorNumber kBlack = RgbColor(0, 0, 0);

constexpr int32_t kKagi = 4;
constexpr int32_t kDaily = 5;
constexpr int32_t kWeekly = 6;
constexpr int32_t kMonthly = 7;
constexpr int32_t kMultiViewOffset = 100;

bool IsChartView(int32_t view) {
    return (view >= 4 && view <= 11) || (view >= 104 && view <= 107);
}

int32_t DisplayCountOf(int32_t kind) {
    return Views().DisplayCount[KindIndex(kind)];
}
int32_t IssuesPerWindowOf(int32_t kind) {
    return Views().IssuesPerWindow[KindIndex(kind)];
}

QDateTime Now() {
    const ListPrintState& state = ListPrint();
    return state.Clock ? state.Clock() : QDateTime::currentDateTime();
}

// One chart page on the current printer, over the whole sheet. The document begins with the
// first drawing; leaving without End discards it, so no way out leaves a page open for the
// next job to inherit.
class ChartDocument {
  public:
    ChartDocument() : printer_(CurrentPrinter()) {
        // A file of its own: an earlier job's print is never written over.
        if (printer_.outputFormat() == QPrinter::PdfFormat)
            printer_.setOutputFileName(QString::fromStdString(NextPdfPrintFile()));
        printer_.setFullPage(true);
    }
    ~ChartDocument() { Abort(); }
    ChartDocument(const ChartDocument&) = delete;
    ChartDocument& operator=(const ChartDocument&) = delete;

    Surface& Page() {
        if (!begun_) {
            surface_.SetDevice(&printer_);
            surface_.SetFontFace(QString::fromUtf8(kPageFont));
            surface_.SetFontSize(kPageFontPoints);
            surface_.SetForeColor(kBlack);
            begun_ = true;
        }
        return surface_;
    }
    void End() {
        surface_.Release();
        surface_.SetDevice(nullptr);
        begun_ = false;
    }
    // Qt cannot cancel a started document: a PDF is deleted, a real printer gets the part at
    // once rather than in front of the next job.
    void Abort() {
        const bool begun = begun_;
        End();
        if (begun && printer_.outputFormat() == QPrinter::PdfFormat)
            QFile::remove(printer_.outputFileName());
    }

  private:
    QPrinter& printer_;
    Surface surface_;
    bool begun_ = false;
};

void SetPlainFont(Surface& page, double points) {
    page.SetFontBold(false);
    page.SetFontItalic(false);
    page.SetFontUnderline(false);
    page.SetFontSize(points);
}

std::string MainCaption() {
    return MainFrameExists() ? MainFrame().windowTitle().toStdString() : std::string();
}

// The header of both methods; its errors reach the caller.
void PrintPageHeader(Surface& page) {
    const double width = page.WidthTwips();
    page.SetScale(0, 0, width, page.HeightTwips());
    page.SetForeColor(kBlack);
    SetPlainFont(page, kPageFontPoints);
    page.SetCurrentX(width - 3118.5);
    page.SetCurrentY(1134 - page.TextHeight("0"));
    page.Print(Now().toString(QStringLiteral("yyyy/MM/dd HH:mm")).toStdString());
    page.SetFontBold(true);
    page.SetFontItalic(true);
    page.SetFontUnderline(true);
    page.SetFontSize(kCaptionPoints);
    page.SetCurrentX(1134);
    page.SetCurrentY(1417 - page.TextHeight("0"));
    page.Print(MainCaption());
}

ChartWindow& WindowOf(int32_t kind) {
    ChartWindow* window = FindChartWindow(kind);
    if (!window) throw std::runtime_error(kMissingObjectError);
    return *window;
}

// The window's chart-type label ("[日足]"), "" without the window.
std::string ChartTypeLabel(int32_t kind) {
    const ChartWindow* window = FindChartWindow(kind);
    const auto* label = window ? window->findChild<QLabel*>(QStringLiteral("LBL_ChtTyp")) : nullptr;
    return label ? label->text().toStdString() : std::string();
}

// ---- By redraw ----

void ReportInterrupted(bool printed) {
    if (!printed) MsgInfo(kInterrupted);
}

// The issue's series of the kind, loaded (and turned into kagi strokes for the kagi kind);
// nullptr after a failure, which the loading routine has reported.
SeriesRecord* LoadIssueSeries(int32_t kind, const std::string& issueId) {
    if (!LoadChartSeries(issueId, kind)) return nullptr;
    if (kind != kKagi) return &RecordOfChart(kind);
    SeriesState& series = Series();
    SeriesRecord& kagi = series.KagiSeries;
    kagi.Points = series.DailySeries.Points;
    kagi.Count = series.DailySeries.Count;
    if (kagi.Count > 0 && !BuildKagi(issueId)) return nullptr;
    return &kagi;
}

bool PrintIssueCell(Surface& page, int32_t kind, int32_t cellIndex, const std::string& issueId,
                    const std::string& title) {
    bool printed = false;
    const bool ran = RunTrapped([&] {
        SeriesRecord* record = LoadIssueSeries(kind, issueId);
        if (!record) return;
        printed = true;
        if (record->Count == 0) return;
        record->ChartKind = kind;
        record->FirstShownPoint = kShowLatestPoints;
        const PrintChartOptions options = PrintOptionsFromSettei(kind + kMultiViewOffset);
        const int32_t cells = IssuesPerWindowOf(kind);
        printed = kind == kKagi ? PrintKagiCell(page, *record, DisplayCountOf(kind), title,
                                                cellIndex, cells, options, CurrentKagiTables())
                                : PrintCandleCell(page, *record, DisplayCountOf(kind), title,
                                                  cellIndex, cells, options);
    });
    return ran && printed;
}

void PrintMultiPages(Surface& page, int32_t kind) {
    IssueSelectionState& selection = IssueSelection();
    const int32_t start = selection.CurrentIssuePos;
    // The view and the next command go on with the page's first issue, whatever happens.
    struct Restore {
        int32_t Start;
        ~Restore() {
            IssueSelection().CurrentIssuePos = Start;
            ResetPointer();
        }
    } restore{start};
    SetHourglass();
    const int32_t remaining = selection.SelectedCount() - start;
    const int32_t cells = IssuesPerWindowOf(kind);
    for (int32_t i = 0; i < cells && i < remaining; ++i) {
        selection.CurrentIssuePos = start + i;
        std::string title;
        if (!GetCurrentTitle(title)) title.clear();
        std::string issueId;
        if (!GetCurrentIssueId(issueId) || !PrintIssueCell(page, kind, i, issueId, title)) {
            MsgInfo(kInterrupted);
            return;
        }
    }
}

// View 11: the four charts as cells of one grid, in the order of the picture page.
void PrintFourCells(Surface& page) {
    SeriesState& series = Series();
    const PrintChartOptions options = PrintOptionsFromSettei(11);
    ReportInterrupted(PrintKagiChartCell(page, series.KagiSeries, DisplayCountOf(kKagi), 0, 4,
                                         options, CurrentKagiTables()));
    int32_t cell = 1;
    for (int32_t kind : {kDaily, kWeekly, kMonthly}) {
        ReportInterrupted(PrintCandleCell(page, RecordOfChart(kind), DisplayCountOf(kind),
                                          ChartTypeLabel(kind), cell++, 4, options));
    }
}

void PrintViewCharts(Surface& page, int32_t view) {
    SeriesState& series = Series();
    const PrintChartOptions options = PrintOptionsFromSettei(view);
    const auto kagi = [&] {
        ReportInterrupted(PrintKagiChart(page, series.KagiSeries, DisplayCountOf(kKagi), options,
                                         CurrentKagiTables()));
    };
    const auto candles = [&](int32_t kind) {
        ReportInterrupted(
            PrintCandleChart(page, RecordOfChart(kind), DisplayCountOf(kind), options));
    };
    if (view == kKagi) {
        kagi();
    } else if (view >= kDaily && view <= kMonthly) {
        candles(view);
    } else if (view >= 8 && view <= 10) {
        candles(view - 3);
        kagi();
    } else if (view == 11) {
        PrintFourCells(page);
    } else {
        PrintMultiPages(page, view - kMultiViewOffset);
    }
}

// ---- By picture ----

void PaintLine(Surface& pane, const LinePlacement& line, ColorNumber color) {
    if (line.Visible) pane.Line(line.X1, line.Y1, line.X2, line.Y2, color);
}

void PaintBarrier(Surface& pane, const ShapePlacement& shape, ColorNumber color) {
    if (!shape.Visible) return;
    pane.SetFillColor(color);
    pane.Box(shape.Left, shape.Top, shape.Width, shape.Top - shape.Height, color);
}

// The chart window's four pictures with their top left corner at (x, y).
void PasteChartWindow(Surface& page, ChartWindow& window, int32_t x, int32_t y,
                      const ChartBoxes& boxes) {
    QImage price;
    ComposeChartWorkPane(window, price);
    page.PaintPicture(price, x, y, boxes.BoxWidth, boxes.BoxHeight);
    page.PaintPicture(window.Pane("PIC_Cht11")->image(), x + boxes.BoxWidth, y, boxes.LabelWidth,
                      boxes.BoxHeight);
    page.PaintPicture(window.Pane("PIC_Cht20")->image(), x, y + boxes.BoxHeight, boxes.BoxWidth,
                      boxes.VolumeHeight);
    page.PaintPicture(window.Pane("PIC_Cht30")->image(), x,
                      y + boxes.BoxHeight + boxes.VolumeHeight, boxes.BoxWidth, boxes.DateHeight);
}

bool PrintChartFormPicture(Surface& page, int32_t kind) {
    return RunTrapped([&] {
        ChartPrintState& state = ChartPrint();
        state.Boxes = SingleChartBoxes(state.PaperKind);
        PasteChartWindow(page, WindowOf(kind), state.Origin.X, state.Origin.Y, state.Boxes);
    });
}

bool PrintTwoChartPicture(Surface& page, int32_t view) {
    return RunTrapped([&] {
        ChartPrintState& state = ChartPrint();
        state.Boxes = TwoChartBoxes(state.PaperKind, state.PrintDigitHeight);
        PasteChartWindow(page, WindowOf(view - 3), state.Origin.X, state.Origin.Y, state.Boxes);
        const PagePoint second = SecondChartPlace(state.Origin, state.Boxes);
        PasteChartWindow(page, WindowOf(kKagi), second.X, second.Y, state.Boxes);
    });
}

bool PrintFourChartPicture(Surface& page) {
    return RunTrapped([&] {
        ChartPrintState& state = ChartPrint();
        state.Boxes = FourChartBoxes(state.PaperKind, state.PrintDigitHeight);
        const ChartBoxes& boxes = state.Boxes;
        const auto places = FourChartPlaces(state.Origin, boxes, state.PrintDigitHeight);
        const int32_t kinds[] = {kKagi, kDaily, kWeekly, kMonthly};
        for (int i = 0; i < 4; ++i) {
            ChartWindow& window = WindowOf(kinds[i]);
            PasteChartWindow(page, window, places[i].X, places[i].Y, boxes);
            SetPlainFont(page, kCellTitlePoints);
            page.SetForeColor(kBlack);
            page.SetCurrentX(places[i].X + boxes.BoxWidth);
            page.SetCurrentY(places[i].Y + boxes.BoxHeight + boxes.VolumeHeight);
            page.Print(ChartTypeLabel(kinds[i]));
        }
    });
}

std::string CellTitleText(const ChartWindow& window, int32_t index) {
    for (const QLineEdit* title : window.findChildren<QLineEdit*>(QStringLiteral("TXT_Title")))
        if (title->property("Index").toInt() == index) return title->text().toStdString();
    throw std::runtime_error(kMissingObjectError);
}

void PrintCellCaption(Surface& page, int32_t x, int32_t y, const std::string& text, int32_t limit) {
    page.SetFontUnderline(true);
    page.SetFontSize(kCellTitlePoints);
    page.SetForeColor(kBlack);
    page.SetCurrentX(x);
    page.SetCurrentY(y);
    page.Print(LeftSjis(text, limit));
}

// The cell's picture with a rule under it and one on its right from the title's height.
void PrintCellPicture(Surface& page, int32_t x, int32_t y, PictureBox& picture) {
    const ChartPrintState& state = ChartPrint();
    const int32_t width = state.Boxes.BoxWidth;
    const int32_t height = state.Boxes.BoxHeight;
    page.PaintPicture(picture.image(), x, y, width, height);
    page.Line(x, y + height, x + width, y + height, kBlack);
    page.Line(x + width, y - state.PrintDigitHeight, x + width, y + height, kBlack);
}

bool PrintMultiIssuePicture(Surface& page, int32_t view) {
    return RunTrapped([&] {
        ChartPrintState& state = ChartPrint();
        const int32_t kind = view - kMultiViewOffset;
        ChartWindow& window = WindowOf(kind);
        const auto grid = IssueCellGridOf(IssuesPerWindowOf(kind), state.PaperKind,
                                          state.PrintDigitWidth, state.PrintDigitHeight);
        if (!grid) return;
        state.Boxes = ChartBoxes{grid->BoxWidth, grid->BoxHeight, 0, 0, 0, grid->RowGap};
        for (int32_t i = 0; i < IssuesPerWindowOf(kind); ++i) {
            const IssueCellPlace place =
                IssueCellPlaceOf(*grid, state.Origin, state.PrintDigitHeight, i);
            PrintCellCaption(page, place.X, place.TitleY, CellTitleText(window, i),
                             grid->TitleBytes);
            PrintCellPicture(page, place.X, place.PictureY, window.Cell(i));
        }
    });
}

bool LayOutPicturePage(Surface& page, int32_t view) {
    if (view >= kKagi && view <= kMonthly) return PrintChartFormPicture(page, view);
    if (view >= 8 && view <= 10) return PrintTwoChartPicture(page, view);
    if (view == 11) return PrintFourChartPicture(page);
    return PrintMultiIssuePicture(page, view);
}

void MeasureDigit(Surface& page) {
    ChartPrintState& state = ChartPrint();
    state.PrintDigitWidth =
        state.DigitWidthOverride > 0 ? state.DigitWidthOverride : page.TextWidth("0");
    state.PrintDigitHeight =
        state.DigitHeightOverride > 0 ? state.DigitHeightOverride : page.TextHeight("0");
}

}  // namespace

void PrintChartsRedraw(const PrintSettei& settings) {
    const int32_t view = Views().ViewKind;
    // Nothing to draw for another view: no document is begun at all.
    if (!IsChartView(view)) return;
    SetPrinterDefaults(settings);
    ChartDocument document;
    Surface& page = document.Page();
    PrintPageHeader(page);
    PrintViewCharts(page, view);
    document.End();
}

void PrintMultiKagiPages(Surface& page) {
    PrintMultiPages(page, kKagi);
}
void PrintMultiDailyPages(Surface& page) {
    PrintMultiPages(page, kDaily);
}
void PrintMultiWeeklyPages(Surface& page) {
    PrintMultiPages(page, kWeekly);
}
void PrintMultiMonthlyPages(Surface& page) {
    PrintMultiPages(page, kMonthly);
}

bool PrintIssueKagiCell(Surface& page, int32_t cellIndex, const std::string& issueId,
                        const std::string& title) {
    return PrintIssueCell(page, kKagi, cellIndex, issueId, title);
}
bool PrintIssueDailyCell(Surface& page, int32_t cellIndex, const std::string& issueId,
                         const std::string& title) {
    return PrintIssueCell(page, kDaily, cellIndex, issueId, title);
}
bool PrintIssueWeeklyCell(Surface& page, int32_t cellIndex, const std::string& issueId,
                          const std::string& title) {
    return PrintIssueCell(page, kWeekly, cellIndex, issueId, title);
}
bool PrintIssueMonthlyCell(Surface& page, int32_t cellIndex, const std::string& issueId,
                           const std::string& title) {
    return PrintIssueCell(page, kMonthly, cellIndex, issueId, title);
}

bool PrintChartsPicture(const PrintSettei& settings) {
    const int32_t view = Views().ViewKind;
    if (!IsChartView(view)) return false;
    try {
        SetPrinterDefaults(settings);
        ChartDocument document;
        Surface& page = document.Page();
        MeasureDigit(page);
        ChartPrintState& state = ChartPrint();
        state.PaperKind = PaperKindOf(settings.CBO_Size, settings.OPT_縦 == -1);
        state.Origin = ChartPageOriginOf(state.PaperKind);
        // A layout that failed has said why; leaving discards the document.
        if (!LayOutPicturePage(page, view)) return false;
        PrintChartHeader(page);
        document.End();
        return true;
    } catch (const std::exception& e) {
        MsgWarn(e.what());
        return false;
    }
}

bool ComposeChartWorkPane(ChartWindow& window, QImage& composed) {
    ChartPricePane& price = window.PricePane();
    composed = price.image().copy();
    return RunTrapped([&] {
        Surface& source = price.surface();
        const double left = source.ScaleLeft();
        const double top = source.ScaleTop();
        const double width = source.ScaleWidth();
        const double height = source.ScaleHeight();
        const QImage chart = price.image().copy();
        PictureBox& work = *window.Pane("PIC_Cht00");
        work.resize(price.size());
        Surface& pane = work.surface();
        pane.Clear();
        pane.SetScale(left, top, left + width, top + height);
        pane.PaintPicture(chart, left, top, width, height);
        pane.SetFillStyle(FillStyle::DiagonalCross);
        const PriceOverlay& overlay = OverlayOf(window.ChartKind());
        PaintLine(pane, overlay.LIN_斜線T10[0], RgbColor(255, 0, 0));
        PaintLine(pane, overlay.LIN_斜線B10[0], RgbColor(0, 0, 255));
        PaintBarrier(pane, overlay.SHP_関門10[0], RgbColor(0, 255, 0));
        const ColorNumber grey = RgbColor(128, 128, 128);
        for (int i = 1; i <= 3; ++i) {
            PaintLine(pane, overlay.LIN_斜線T10[i], grey);
            PaintLine(pane, overlay.LIN_斜線B10[i], grey);
        }
        for (int i = 1; i <= 2; ++i) PaintBarrier(pane, overlay.SHP_関門10[i], grey);
        pane.SetFillStyle(FillStyle::Transparent);
        composed = work.image().copy();
    });
}

bool PrintChartHeader(Surface& page) {
    return RunTrapped([&] { PrintPageHeader(page); });
}
