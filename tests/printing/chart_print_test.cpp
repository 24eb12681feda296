// ctest-labels: chartprint charts
#include "printing/chart_print.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <algorithm>
#include <functional>
#include <regex>
#include <string>

#include "analysis/lines_geometry.h"
#include "analysis/state.h"
#include "drawing/print_fixture.h"
#include "foundation/database.h"
#include "platform/app_path.h"
#include "platform/printers.h"
#include "printing/commands.h"
#include "printing/state.h"
#include "views/chart_view_fixture.h"
#include "views/chart_window.h"

namespace {

constexpr const char* kInterrupted = "処理が中断されました。";

struct PrintedPdf {
    int Pages = 0;
    std::string Text;
    QImage First;
};

class ChartPrintTest : public ChartViewFixture {
  protected:
    void SetUp() override {
        ChartViewFixture::SetUp();
        Settei().PrinterNames = {kPdfPrinterName};
        ListPrint().Clock = [] { return QDateTime(QDate(2024, 5, 1), QTime(9, 30)); };
    }

    static PrintSettei Settings(int size, bool portrait) {
        PrintSettei settings;
        settings.CBO_Size = static_cast<int16_t>(size);
        settings.OPT_縦 = portrait ? -1 : 0;
        settings.OPT_横 = portrait ? 0 : -1;
        settings.TXT_Count = 1;
        return settings;
    }
    static QString PdfPath() { return QString::fromStdString(AppPath() + kPdfPrintFileName); }

    // The printed file's page count and text; its pages go to the build folder as
    // name-N.png for review, and the file is removed so the next print starts clean.
    PrintedPdf Read(const char* name) {
        PrintedPdf pdf;
        const QString path = PdfPath();
        QProcess info;
        info.start("pdfinfo", {path});
        info.waitForFinished(60000);
        for (const QString& line : QString::fromUtf8(info.readAllStandardOutput()).split('\n'))
            if (line.startsWith("Pages:")) pdf.Pages = line.mid(6).trimmed().toInt();
        QProcess text;
        text.start("pdftotext", {path, "-"});
        text.waitForFinished(60000);
        pdf.Text = text.readAllStandardOutput().toStdString();
        const QString prefix = QString(KABUTO_BINARY_DIR) + "/" + name;
        QProcess render;
        render.start("pdftoppm", {"-r", "40", "-png", "-singlefile", path, prefix});
        render.waitForFinished(120000);
        pdf.First = QImage(prefix + ".png");
        QFile::remove(path);
        return pdf;
    }

    void ExpectOnePrintedPage(const char* name) {
        const PrintedPdf pdf = Read(name);
        EXPECT_EQ(pdf.Pages, 1) << name;
        EXPECT_GT(InkShare(pdf.First), 0.02) << name;
        EXPECT_NE(pdf.Text.find("2024/05/01 09:30"), std::string::npos) << name;
        // The header is black, whatever colour the previous document ended in.
        EXPECT_EQ(ColouredPixels(pdf.First.copy(0, 0, pdf.First.width(), pdf.First.height() / 13)),
                  0)
            << name;
    }

    void Execute(std::string sql) {
        RecordsetPtr rs;
        ASSERT_TRUE(ExecuteSql(Database().DailyConnection, sql, rs)) << sql;
    }
    std::string IssueIdOfRow(int row) {
        return FieldText(IssueList().IssueListRecordset->Row(PositionOfRow(row)).at(kField銘柄ID));
    }
    void Choose(int kind, const char* item) { FindChartWindow(kind)->MenuItem(item)->trigger(); }
};

TEST_F(ChartPrintTest, ByRedrawEachChartViewIsOnePage) {
    struct Case {
        int code;
        const char* name;
    };
    SelectRows(1, 1);
    for (const Case& c : {Case{4, "chartprint-redraw-kagi"}, Case{5, "chartprint-redraw-daily"},
                          Case{11, "chartprint-redraw-four"}}) {
        Press(c.code);
        ASSERT_EQ(Views().ViewKind, c.code);
        PrintChartsRedraw(Settings(0, true));
        ExpectOnePrintedPage(c.name);
    }
    EXPECT_TRUE(sink.Shown().empty());
}

// The four-chart page by redraw: its kagi cell, the top left one, is the full kagi chart
// with its price scale and years, not the bare strokes of a multi-issue cell.
TEST_F(ChartPrintTest, ByRedrawTheFourChartPageHasAWholeKagiCell) {
    SelectRows(1, 1);
    Press(11);
    ASSERT_EQ(Views().ViewKind, 11);
    PrintChartsRedraw(Settings(0, true));
    QProcess text;
    // The top left quarter of the page under the header, in points.
    text.start("pdftotext", {"-x", "0", "-y", "80", "-W", "297", "-H", "340", PdfPath(), "-"});
    text.waitForFinished(60000);
    const std::string cell = text.readAllStandardOutput().toStdString();
    Read("chartprint-redraw-four-kagi");
    ASSERT_GT(Series().KagiSeries.Count, 0);
    EXPECT_TRUE(std::regex_search(cell, std::regex("\\b[0-9],?[0-9]{3}\\b"))) << cell;
    EXPECT_TRUE(std::regex_search(cell, std::regex("'[0-9]{2}"))) << cell;
    EXPECT_TRUE(sink.Shown().empty());
}

TEST_F(ChartPrintTest, BlackAndWhiteAppliesToTheRedrawOnly) {
    UserSettei& user = Settei().Record.UserSettei;
    user.OPT_精細 = -1;
    user.CHK_白黒 = 1;
    SelectRows(1, 1);
    Press(8);
    PrintChartsRedraw(Settings(0, true));
    EXPECT_EQ(ColouredPixels(Read("chartprint-redraw-mono").First), 0);
    ASSERT_TRUE(PrintChartsPicture(Settings(0, true)));
    EXPECT_GT(ColouredPixels(Read("chartprint-picture-colour").First), 1000);
}

TEST_F(ChartPrintTest, ByRedrawAFailingCandleChartStillPrintsTheKagiChartBelow) {
    SelectRows(1, 1);
    Press(8);
    ASSERT_EQ(Views().ViewKind, 8);
    SeriesRecord& daily = Series().DailySeries;
    daily.Count = static_cast<int32_t>(daily.Points.size()) + 100;
    sink.Expect(MsgKind::Info, kInterrupted);
    PrintChartsRedraw(Settings(0, true));
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(sink.Shown().size(), 1u);
    const PrintedPdf pdf = Read("chartprint-redraw-failed-daily");
    ASSERT_EQ(pdf.Pages, 1);
    const QImage& page = pdf.First;
    const int middle = page.height() / 2;
    EXPECT_GT(InkShare(page.copy(0, middle, page.width(), page.height() - middle)), 0.02);
}

TEST_F(ChartPrintTest, ByRedrawAMultiIssuePageWithFewerIssuesAndOneWithoutBars) {
    SelectRows(2, 4);
    Press(5);
    Execute("DELETE FROM TBL日次 WHERE 銘柄ID='" + IssueIdOfRow(3) + "'");
    Choose(5, "MNU_表示銘柄数004");
    ASSERT_EQ(Views().ViewKind, 105);
    IssueSelection().CurrentIssuePos = 0;
    PrintChartsRedraw(Settings(0, false));
    EXPECT_TRUE(sink.Shown().empty());
    EXPECT_EQ(IssueSelection().CurrentIssuePos, 0);
    const PrintedPdf pdf = Read("chartprint-redraw-multi");
    EXPECT_EQ(pdf.Pages, 1);
    // Cells 0 and 2 carry charts; cell 1 (no bars) and cell 3 (no issue) stay empty, so
    // the right half of the page's lower row has no ink.
    const QImage& page = pdf.First;
    EXPECT_GT(InkShare(page.copy(0, page.height() / 2, page.width() / 2, page.height() / 2)), 0.01);
    EXPECT_LT(InkShare(page.copy(page.width() / 2 + 10, page.height() / 2 + 10,
                                 page.width() / 2 - 20, page.height() / 2 - 20)),
              0.001);
}

TEST_F(ChartPrintTest, ByRedrawAFailingLoadEndsTheCellsAndKeepsTheIssuePosition) {
    SelectRows(2, 12);
    Press(4);
    Choose(4, "MNU_表示銘柄数009");
    ASSERT_EQ(Views().ViewKind, 104);
    IssueSelection().CurrentIssuePos = 1;
    Execute("UPDATE TBL日次 SET 終値=NULL WHERE 銘柄ID='" + IssueIdOfRow(5) + "'");
    sink.Expect(MsgKind::Warn).Expect(MsgKind::Info, kInterrupted);
    PrintChartsRedraw(Settings(0, true));
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(sink.Shown().size(), 2u);
    EXPECT_EQ(IssueSelection().CurrentIssuePos, 1);
    const PrintedPdf pdf = Read("chartprint-redraw-failed-load");
    EXPECT_EQ(pdf.Pages, 1);
    EXPECT_GT(InkShare(pdf.First), 0.01);
}

TEST_F(ChartPrintTest, ByPictureEachLayoutIsOnePage) {
    struct Case {
        int code;
        int size;
        bool portrait;
        const char* name;
    };
    SelectRows(1, 12);
    for (const Case& c : {Case{4, 1, true, "chartprint-picture-kagi-a3"},
                          Case{9, 0, false, "chartprint-picture-weekly-kagi-a4l"},
                          Case{11, 0, true, "chartprint-picture-four"}}) {
        Press(c.code);
        ASSERT_EQ(Views().ViewKind, c.code);
        ASSERT_TRUE(PrintChartsPicture(Settings(c.size, c.portrait))) << c.name;
        ExpectOnePrintedPage(c.name);
    }
    EXPECT_EQ(ChartPrint().PaperKind, 1);
    Press(7);
    Choose(7, "MNU_表示銘柄数012");
    ASSERT_EQ(Views().ViewKind, 107);
    ASSERT_TRUE(PrintChartsPicture(Settings(0, true)));
    EXPECT_EQ(ChartPrint().Boxes.BoxWidth, 2062);
    ExpectOnePrintedPage("chartprint-picture-multi-12");
    EXPECT_TRUE(sink.Shown().empty());
}

TEST_F(ChartPrintTest, ByPictureAFailingLayoutLeavesNoFile) {
    SelectRows(1, 1);
    Press(11);
    UnloadChartWindow(7);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    sink.Expect(MsgKind::Warn);
    EXPECT_FALSE(PrintChartsPicture(Settings(0, true)));
    EXPECT_TRUE(sink.AllShown());
    EXPECT_FALSE(QFile::exists(PdfPath()));

    // The issue list is no chart view: neither method begins a document for it.
    Press(3);
    ASSERT_EQ(Views().ViewKind, 3);
    PrintChartsRedraw(Settings(0, true));
    EXPECT_FALSE(PrintChartsPicture(Settings(0, true)));
    EXPECT_FALSE(QFile::exists(PdfPath()));
    EXPECT_EQ(sink.Shown().size(), 1u);
}

TEST_F(ChartPrintTest, TheToolbarPrintsTheChartViewByTheMethodTheSettingsChoose) {
    InstallPrintingCommands();
    Settei().PrintJob = Settings(0, true);
    SelectRows(1, 1);
    Press(5);
    ChartPrintState& geometry = ChartPrint();
    geometry.DigitWidthOverride = 100;
    geometry.DigitHeightOverride = 150;
    UserSettei& user = Settei().Record.UserSettei;

    user.OPT_精細 = 0;
    sink.Expect(MsgKind::OkCancel, "印刷を開始しますか？", kAnswerCancel);
    Press(19);
    EXPECT_FALSE(QFile::exists(PdfPath()));
    sink.Expect(MsgKind::OkCancel, "印刷を開始しますか？", kAnswerOk);
    Press(19);
    EXPECT_EQ(geometry.PaperKind, 1);
    EXPECT_EQ(geometry.PrintDigitHeight, 150);
    ExpectOnePrintedPage("chartprint-toolbar-picture");

    // By redraw the picture geometry is left alone.
    geometry.PaperKind = 0;
    user.OPT_精細 = -1;
    sink.Expect(MsgKind::OkCancel, "印刷を開始しますか？", kAnswerOk);
    Press(19);
    EXPECT_EQ(geometry.PaperKind, 0);
    ExpectOnePrintedPage("chartprint-toolbar-redraw");
    EXPECT_TRUE(sink.AllShown());

    // From the menu the print dialog decides.
    int dialogs = 0;
    Selection().Routines.ShowPrintDialog = [&dialogs](QWidget*) { ++dialogs; };
    FindChartWindow(5)->MenuItem("MNU_印刷")->trigger();
    EXPECT_EQ(dialogs, 1);
    EXPECT_FALSE(QFile::exists(PdfPath()));
}

// ---- The composed price pane ----

struct PaneDiff {
    int Red = 0, Blue = 0, Green = 0, Grey = 0;
    int GreenOutside = 0;  // new green pixels outside the barrier's rows
};

PaneDiff Diff(const QImage& plain, const QImage& composed, int bandTop, int bandBottom) {
    PaneDiff diff;
    for (int y = 0; y < composed.height(); ++y)
        for (int x = 0; x < composed.width(); ++x) {
            const QRgb pixel = composed.pixel(x, y);
            if (pixel == plain.pixel(x, y)) continue;
            if (pixel == qRgb(255, 0, 0)) ++diff.Red;
            if (pixel == qRgb(0, 0, 255)) ++diff.Blue;
            if (pixel == qRgb(128, 128, 128)) ++diff.Grey;
            if (pixel == qRgb(0, 255, 0)) {
                ++diff.Green;
                if (y < bandTop - 1 || y > bandBottom + 1) ++diff.GreenOutside;
            }
        }
    return diff;
}

TEST_F(ChartPrintTest, TheWorkPaneCarriesTheLinesAndBarriersOfThePlacementOnly) {
    SelectRows(1, 1);
    Press(5);
    ChartWindow& window = *FindChartWindow(5);
    Surface& scale = window.PricePane().surface();
    const double left = scale.ScaleLeft(), top = scale.ScaleTop();
    const double width = scale.ScaleWidth(), height = scale.ScaleHeight();
    const QImage plain = window.PricePane().image().copy();

    PriceOverlay& overlay = OverlayOf(5);
    overlay = PriceOverlay{};
    auto place = [&](LinePlacement& line, double y1, double y2) {
        line = {left + width * 0.1, top + height * y1, left + width * 0.9, top + height * y2};
        line.Visible = true;
    };
    place(overlay.LIN_斜線T10[0], 0.1, 0.3);
    place(overlay.LIN_斜線B10[0], 0.9, 0.7);
    place(overlay.LIN_斜線T10[2], 0.2, 0.6);
    ShapePlacement& barrier = overlay.SHP_関門10[0];
    barrier.Left = left - width * 0.1;
    barrier.Width = width * 1.2;
    barrier.Top = top + height * 0.4;
    barrier.Height = -height * 0.2;  // the band runs down to 0.6 of the pane
    barrier.Visible = true;

    QImage composed;
    ASSERT_TRUE(ComposeChartWorkPane(window, composed));
    ASSERT_EQ(composed.size(), plain.size());
    const int bandTop = static_cast<int>(plain.height() * 0.4);
    const int bandBottom = static_cast<int>(plain.height() * 0.6);
    const PaneDiff lines = Diff(plain, composed, bandTop, bandBottom);
    EXPECT_GT(lines.Red, 20);
    EXPECT_GT(lines.Blue, 20);
    EXPECT_GT(lines.Grey, 20);
    EXPECT_GT(lines.Green, 20);
    EXPECT_EQ(lines.GreenOutside, 0);

    // Slots that are not set leave no mark, and the earlier lines are gone.
    overlay = PriceOverlay{};
    ASSERT_TRUE(ComposeChartWorkPane(window, composed));
    const PaneDiff none = Diff(plain, composed, 0, 0);
    EXPECT_EQ(none.Red + none.Blue + none.Grey + none.Green, 0);
    EXPECT_TRUE(sink.Shown().empty());
}

}  // namespace
