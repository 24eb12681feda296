#include "printing/list_page.h"

#include <QApplication>
#include <QFile>
#include <QPrinter>
#include <QWidget>
#include <algorithm>
#include <exception>

#include "foundation/error_texts.h"
#include "foundation/printer_setup.h"
#include "foundation/state.h"
#include "foundation/text_utils.h"
#include "platform/app_path.h"
#include "platform/message_box.h"
#include "platform/printers.h"
#include "platform/surface.h"
#include "printing/state.h"

namespace {

constexpr double kTwipsPerCharacter = 120;
constexpr double kTwipsPerLine = 240;
constexpr const char* kListFont = "ＭＳ 明朝";
constexpr double kListFontPoints = 10;
constexpr double kStampLine = 5;
constexpr double kLeftEdge = 9.5;
constexpr double kTitleTop = 7;
constexpr double kFirstRowTop = 9;  // a page's rules run down from its first row
constexpr double kTextDrop = 0.17;

QDateTime Now() {
    const ListPrintState& state = ListPrint();
    return state.Clock ? state.Clock() : QDateTime::currentDateTime();
}

class PrinterListPage final : public ListPage {
  public:
    explicit PrinterListPage(QPrinter& printer) : printer_(printer) {}
    ~PrinterListPage() override { surface_.Release(); }

    void BeginCopy(int32_t) override {
        EndDocument();
        if (printer_.outputFormat() == QPrinter::PdfFormat) {
            // Each copy is a document of its own, so each needs a file of its own, and no
            // file of an earlier job is written over.
            printer_.setOutputFileName(QString::fromStdString(NextPdfPrintFile()));
        }
        // The chart pages print on the whole sheet through the same printer; a list's
        // origin is the corner of the printable area.
        printer_.setFullPage(false);
    }

    void Text(double x, double y, const std::string& text) override {
        Surface& surface = Ready();
        surface.SetCurrentX(x);
        surface.SetCurrentY(y);
        surface.Print(text);
    }
    void Line(double x1, double y1, double x2, double y2) override {
        Ready().Line(x1, y1, x2, y2, RgbColor(0, 0, 0));
    }
    void Box(double x1, double y1, double x2, double y2) override {
        Surface& surface = Ready();
        surface.SetFillStyle(FillStyle::Transparent);
        surface.Box(x1, y1, x2, y2, RgbColor(0, 0, 0));
    }
    void NewPage() override {
        if (begun_) pagePending_ = true;
    }
    void EndDocument() override {
        surface_.Release();
        surface_.SetDevice(nullptr);
        begun_ = false;
        pagePending_ = false;
    }
    void AbortDocument() override {
        const bool begun = begun_;
        EndDocument();
        // Qt's engines cannot cancel a started document: a PDF is deleted, a real printer
        // gets the part at once rather than in front of the next job.
        if (begun && printer_.outputFormat() == QPrinter::PdfFormat)
            QFile::remove(printer_.outputFileName());
    }
    int PaperSize() const override { return CurrentPaperSize(); }
    int Orientation() const override { return CurrentOrientation(); }

  private:
    Surface& Ready() {
        if (!begun_) {
            surface_.SetDevice(&printer_);
            begun_ = true;
            SetUpSurface();
        } else if (pagePending_) {
            pagePending_ = false;
            if (!surface_.NewPage()) throw std::runtime_error(kErrPrinterNewPage);
        }
        return surface_;
    }
    void SetUpSurface() {
        surface_.SetScale(0, 0, surface_.WidthTwips() / kTwipsPerCharacter,
                          surface_.HeightTwips() / kTwipsPerLine);
        surface_.SetFontFace(QString::fromUtf8(kListFont));
        surface_.SetFontSize(kListFontPoints);
        surface_.SetForeColor(RgbColor(0, 0, 0));
    }

    QPrinter& printer_;
    Surface surface_;
    bool begun_ = false;
    bool pagePending_ = false;
};

void PrintPageHead(ListPage& page, const ListPrinter& printer, int32_t pageIndex,
                   int32_t pageCount) {
    // A page the rows never reach (after an exactly full last page, or with no rows) keeps
    // an empty head, so it emits no sheet.
    if (pageCount < pageIndex + 1) return;
    printer.PageHead(page, pageIndex, pageCount);
}

void PrintCopy(ListPage& page, const ListPrinter& printer, int32_t firstRow, int32_t lastRow) {
    const int64_t rows = static_cast<int64_t>(lastRow) - firstRow + 1;
    if (rows <= 0) return;
    const int32_t perPage = std::max<int32_t>(1, PrinterSetup().PrintRowsPerPage);
    const auto pageCount = static_cast<int32_t>((rows + perPage - 1) / perPage);
    int32_t pageIndex = 0;
    PrintPageHead(page, printer, pageIndex, pageCount);
    for (int64_t k = 1; k <= rows; ++k) {
        const auto gridRow = static_cast<int32_t>(firstRow + k - 1);
        const auto line = static_cast<int32_t>(k - static_cast<int64_t>(pageIndex) * perPage);
        printer.Row(page, gridRow, line);
        if (k == static_cast<int64_t>(pageIndex + 1) * perPage) {
            page.NewPage();
            ++pageIndex;
            PrintPageHead(page, printer, pageIndex, pageCount);
        }
    }
}

}  // namespace

std::optional<ListMetrics> ListMetricsFor(int paper, int orientation) {
    if (paper == kPaperA4 && orientation == kPortrait) return ListMetrics{0, 87.5};
    if ((paper == kPaperA3 && orientation == kPortrait) ||
        (paper == kPaperA4 && orientation == kLandscape))
        return ListMetrics{16.81, 128.5};
    if (paper == kPaperA3 && orientation == kLandscape) return ListMetrics{16.81, 185};
    return std::nullopt;
}

std::optional<double> StampRightEdge(int paper, int orientation) {
    const std::optional<ListMetrics> metrics = ListMetricsFor(paper, orientation);
    if (!metrics) return std::nullopt;
    return metrics->Width;
}

std::string ListStampText(const QDateTime& time, int32_t pageIndex, int32_t pageCount) {
    return time.toString(QStringLiteral("yyyy/MM/dd HH:mm")).toStdString() + "  " +
           std::to_string(static_cast<int64_t>(pageIndex) + 1) + " / " + std::to_string(pageCount);
}

double RightAlignedX(double rule, const std::string& text) {
    return rule - CharacterCount(text) * ListCharWidth - 0.5;
}

std::string FitListName(const std::string& name, int32_t limit) {
    const std::string wide = ToWide(name);
    const int32_t count = CharacterCount(wide);
    if (count > limit) return FirstCharacters(wide, limit);
    return wide + std::string(static_cast<size_t>(2 * (limit - count)), ' ');
}

void PrintRuledListHead(ListPage& page, const std::string& title, const std::vector<double>& rules,
                        const std::vector<PlacedText>& titles, int32_t pageIndex,
                        int32_t pageCount) {
    page.Box(kLeftEdge, kTitleTop, ListPrint().ListPageWidth, kTitleTop + 1);
    for (double x : rules) page.Line(x, kTitleTop, x, kTitleTop + 1);
    page.Text(10, kStampLine, title);
    for (const PlacedText& text : titles) page.Text(text.X, kTitleTop + kTextDrop, text.Text);
    PrintListPageStamp(page, pageIndex, pageCount);
}

void PrintRuledListRow(ListPage& page, int32_t line, const std::vector<double>& rules,
                       const std::vector<PlacedText>& texts) {
    const double top = line + kTitleTop + 1;
    page.Box(kLeftEdge, top, ListPrint().ListPageWidth, top + 1);
    for (double x : rules) page.Line(x, kFirstRowTop, x, top + 1);
    for (const PlacedText& text : texts) page.Text(text.X, top + kTextDrop, text.Text);
}

QWidget* FindOpenWindow(const char* name) {
    const QString wanted = QString::fromUtf8(name);
    for (QWidget* window : QApplication::allWidgets()) {
        if (window->objectName() == wanted) return window;
    }
    return nullptr;
}

std::unique_ptr<ListPage> MakePrinterListPage() {
    return std::make_unique<PrinterListPage>(CurrentPrinter());
}

void SetListPageMetrics(const ListPage& page) {
    try {
        ListPrintState& state = ListPrint();
        std::optional<ListMetrics> metrics = ListMetricsFor(page.PaperSize(), page.Orientation());
        // Before any A4 or A3 list both values are 0, which gives no right edge at all:
        // such paper takes A4 portrait's table.
        if (!metrics && state.ListPageWidth == 0) metrics = ListMetricsFor(kPaperA4, kPortrait);
        if (!metrics) return;
        state.ListPageOffsetX = metrics->OffsetX;
        state.ListPageWidth = metrics->Width;
    } catch (const std::exception& e) {
        MsgWarn(e.what());
    }
}

void PrintListPageStamp(ListPage& page, int32_t pageIndex, int32_t pageCount) {
    try {
        const std::string text = ListStampText(Now(), pageIndex, pageCount);
        const std::optional<double> right = StampRightEdge(page.PaperSize(), page.Orientation());
        const double x = right ? *right - CharacterCount(text) * ListCharWidth : 0;
        page.Text(x, kStampLine, text);
    } catch (const std::exception& e) {
        MsgWarn(e.what());
    }
}

bool RunListPrint(ListPage& page, const ListPrinter& printer, int32_t firstRow, int32_t lastRow,
                  const PrintSettei& settings, std::string& error) {
    try {
        for (int32_t copy = 1; copy <= settings.TXT_Count; ++copy) {
            SetPrinterDefaults(settings);
            page.BeginCopy(copy);
            if (printer.SetsPageMetrics) SetListPageMetrics(page);
            PrintCopy(page, printer, firstRow, lastRow);
            page.EndDocument();
        }
        return true;
    } catch (const std::exception& e) {
        page.AbortDocument();
        error = e.what();
        return false;
    }
}

bool RunListPrint(const ListPrinter& printer, int32_t firstRow, int32_t lastRow,
                  const PrintSettei& settings, std::string& error) {
    const std::unique_ptr<ListPage> page = MakePrinterListPage();
    return RunListPrint(*page, printer, firstRow, lastRow, settings, error);
}
