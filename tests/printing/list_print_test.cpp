// ctest-labels: listprint
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <optional>

#include "foundation/printer_setup.h"
#include "foundation/state.h"
#include "foundation/text_utils.h"
#include "platform/flex_grid.h"
#include "platform/printers.h"
#include "printing/data_table_print.h"
#include "printing/list_page.h"
#include "printing/select_list_print.h"
#include "printing/state.h"
#include "support/temp_folder.h"

namespace {

// ---- A list page that records what the printers draw ----

struct RecordedPage {
    std::vector<PlacedText> Texts;
    std::vector<double> TextYs;
    int Boxes = 0;
};
struct RecordedDocument {
    std::vector<RecordedPage> Pages;
    bool Aborted = false;
};

class RecordingPage final : public ListPage {
  public:
    explicit RecordingPage(std::optional<int> paper = std::nullopt) : paper_(paper) {}
    void BeginCopy(int32_t) override { open_ = false; }
    void Text(double x, double y, const std::string& text) override {
        RecordedPage& page = Ready();
        page.Texts.push_back({x, text});
        page.TextYs.push_back(y);
    }
    void Line(double, double, double, double) override { Ready(); }
    void Box(double, double, double, double) override { ++Ready().Boxes; }
    void NewPage() override { pagePending_ = open_; }
    void EndDocument() override { open_ = false; }
    void AbortDocument() override {
        if (open_) Documents.back().Aborted = true;
        open_ = false;
    }
    int PaperSize() const override { return paper_ ? *paper_ : CurrentPaperSize(); }
    int Orientation() const override { return CurrentOrientation(); }

    std::vector<RecordedDocument> Documents;

  private:
    RecordedPage& Ready() {
        if (!open_) {
            Documents.emplace_back();
            Documents.back().Pages.emplace_back();
            open_ = true;
        } else if (pagePending_) {
            Documents.back().Pages.emplace_back();
        }
        pagePending_ = false;
        return Documents.back().Pages.back();
    }
    std::optional<int> paper_;
    bool open_ = false;
    bool pagePending_ = false;
};

// The stamp of a recorded page: the text on line 5 that ends in a page number.
std::string StampOf(const RecordedPage& page) {
    for (size_t i = 0; i < page.Texts.size(); ++i)
        if (page.TextYs[i] == 5 && page.Texts[i].Text.find(" / ") != std::string::npos)
            return page.Texts[i].Text;
    return "";
}

// An issue list grid of n issue rows, each a valid row of the seventeen columns.
std::unique_ptr<FlexGrid> IssueGrid(int rows) {
    auto grid = std::make_unique<FlexGrid>();
    grid->SetCols(17);
    grid->SetRows(rows + 1);
    for (int row = 1; row <= rows; ++row) {
        grid->SetTextMatrix(row, 2, std::to_string(1000 + row));
        grid->SetTextMatrix(row, 4, "ｶﾌﾞｼｷｶﾞｲｼｬABC");
        grid->SetTextMatrix(row, 5, "東１");
        grid->SetTextMatrix(row, 6, "1,234");
        grid->SetTextMatrix(row, 7, row % 2 ? "－" : "+12");
        grid->SetTextMatrix(row, 9, row % 3 ? "買" : "");
        grid->SetTextMatrix(row, 10, "2024/05/01");
        grid->SetTextMatrix(row, 11, "12.5");
        grid->SetTextMatrix(row, 12, "3.0");
        grid->SetTextMatrix(row, 16, "メモ" + std::to_string(row));
    }
    return grid;
}

std::unique_ptr<FlexGrid> DataGrid(int rows) {
    auto grid = std::make_unique<FlexGrid>();
    grid->SetCols(8);
    grid->SetRows(rows + 1);
    for (int row = 1; row <= rows; ++row) {
        grid->SetTextMatrix(row, 2, "2024/05/01");
        for (int column = 3; column <= 6; ++column) grid->SetTextMatrix(row, column, "1,234");
        grid->SetTextMatrix(row, 7, "123,456,789");
    }
    return grid;
}

PrintSettei Settings(int size, bool portrait, int copies = 1) {
    PrintSettei settings;
    settings.CBO_Printer = 0;
    settings.CBO_Size = static_cast<int16_t>(size);
    settings.OPT_縦 = portrait ? -1 : 0;
    settings.OPT_横 = portrait ? 0 : -1;
    settings.TXT_Count = copies;
    return settings;
}

class ListPrintTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Settei().PrinterNames = {kPdfPrinterName};
        ListPrint().Clock = [] { return QDateTime(QDate(2024, 5, 1), QTime(9, 30)); };
    }
    TempAppFolder folder;
};

// ---- Geometry ----

TEST(ListGeometry, MetricsStampAndAlignmentFollowThePaper) {
    struct Case {
        int paper, orientation;
        std::optional<double> offset, width;
    };
    const std::vector<Case> cases = {{kPaperA4, kPortrait, 0, 87.5},
                                     {kPaperA4, kLandscape, 16.81, 128.5},
                                     {kPaperA3, kPortrait, 16.81, 128.5},
                                     {kPaperA3, kLandscape, 16.81, 185},
                                     {0, kPortrait, std::nullopt, std::nullopt}};
    for (const Case& c : cases) {
        const auto metrics = ListMetricsFor(c.paper, c.orientation);
        ASSERT_EQ(metrics.has_value(), c.offset.has_value()) << c.paper << c.orientation;
        if (!metrics) continue;
        EXPECT_DOUBLE_EQ(metrics->OffsetX, *c.offset);
        EXPECT_DOUBLE_EQ(metrics->Width, *c.width);
        EXPECT_DOUBLE_EQ(*StampRightEdge(c.paper, c.orientation), *c.width);
    }
    const std::string stamp = ListStampText(QDateTime(QDate(2024, 5, 1), QTime(9, 30)), 0, 3);
    EXPECT_EQ(stamp, "2024/05/01 09:30  1 / 3");
    EXPECT_NEAR(87.5 - CharacterCount(stamp) * ListCharWidth, 68.1685, 1e-9);
    EXPECT_NEAR(RightAlignedX(87.5, "123,456,7"), 79.4355, 1e-9);
    EXPECT_EQ(CharacterCount("選択銘柄ABC"), 7);
}

TEST(ListGeometry, IssueListRowsPerLayout) {
    EXPECT_EQ(SelectListRules(0), (std::vector<double>{15.3835, 29.672, 33.8745, 42.2795, 51.525,
                                                       55.7275, 61.611, 67.4945, 73.378}));
    const std::vector<double> wide = SelectListRules(16.81);
    EXPECT_NEAR(wide[1], 46.482, 1e-9);
    EXPECT_NEAR(wide[8], 90.188, 1e-9);

    SelectListCells cells{"1301", "ｶﾌﾞｼｷｶﾞｲｼｬABCD", "東１", "1,234", "－",
                          "中",   "2024/05/01",     "12.5", "3.0",   std::string(20, 'x')};
    std::vector<PlacedText> narrow = SelectListRowTexts(cells, 0, 87.5);
    EXPECT_EQ(narrow[1].Text, "カブシキガイシャ");  // 12 characters widened, the first 8
    EXPECT_NEAR(narrow[4].X, 49.525, 1e-9);         // "－" 2 left of its rule
    EXPECT_EQ(narrow[5].Text, "");                  // a side other than 買 and 売
    EXPECT_EQ(narrow[6].Text, "05/01");
    EXPECT_EQ(narrow[9].Text, std::string(16, 'x'));
    EXPECT_NEAR(narrow[3].X, RightAlignedX(42.2795, "1,234"), 1e-9);

    cells.Name = "カブシキガイシャＡＢＣＤ";
    cells.Change = "+12";
    cells.TurnDate = "";
    const std::vector<PlacedText> wideRow = SelectListRowTexts(cells, 16.81, 128.5);
    EXPECT_EQ(wideRow[1].Text, cells.Name);
    EXPECT_NEAR(wideRow[4].X, RightAlignedX(16.81 + 51.525, "+12"), 1e-9);
    EXPECT_EQ(wideRow[6].Text, "     ");
    EXPECT_EQ(wideRow[9].Text, std::string(20, 'x'));

    // Memo limits: 16, 44 and 60 CP932 bytes; a double-byte character split by the limit
    // is dropped whole.
    const std::string kanji20 = [] {
        std::string memo;
        for (int i = 0; i < 20; ++i) memo += "漢";
        return memo;
    }();
    struct MemoCase {
        std::string memo;
        double width;
        size_t characters;
    };
    for (const MemoCase& c : std::vector<MemoCase>{{kanji20, 87.5, 8},
                                                   {kanji20, 128.5, 20},
                                                   {kanji20, 185, 20},
                                                   {"a" + kanji20, 87.5, 8}}) {
        cells.Memo = c.memo;
        EXPECT_EQ(CharacterCount(SelectListRowTexts(cells, 0, c.width)[9].Text),
                  static_cast<int32_t>(c.characters))
            << c.width;
    }
}

TEST(ListGeometry, DataTableKeepsItsColumns) {
    const std::vector<PlacedText> texts =
        DataTableRowTexts({"2024/05/01", "1,234", "", "1,000", "999", "123,456,7"});
    EXPECT_EQ(texts[0], (PlacedText{11, "2024/05/01"}));
    EXPECT_NEAR(texts[1].X, 33.034 - 5 * ListCharWidth - 0.5, 1e-9);
    EXPECT_NEAR(texts[5].X, 79.4355, 1e-9);
    EXPECT_EQ(DataTableRules().size(), 5u);
}

// ---- The print run over a recording page ----

TEST_F(ListPrintTest, PagesBreakWithTheirHeadsAndStampsPerCopy) {
    struct Case {
        int rows, copies, size;
        bool portrait;
        std::vector<int> pagesPerDocument;
        std::vector<int> rowsOnLastPage;
    };
    const std::vector<Case> cases = {
        {53, 1, 0, true, {1}, {53}},
        {54, 1, 0, true, {2}, {1}},
        {106, 1, 0, true, {2}, {53}},
        {0, 1, 0, true, {}, {}},
        {54, 3, 0, true, {2, 2, 2}, {1, 1, 1}},
        {33, 1, 0, false, {2}, {1}},
        {83, 1, 1, true, {2}, {1}},
        {10, 0, 0, true, {}, {}},
    };
    for (const Case& c : cases) {
        const auto grid = IssueGrid(c.rows);
        RecordingPage page;
        std::string error;
        ASSERT_TRUE(RunListPrint(page, SelectListPrinter(*grid), 1, c.rows,
                                 Settings(c.size, c.portrait, c.copies), error))
            << error;
        ASSERT_EQ(page.Documents.size(), c.pagesPerDocument.size()) << c.rows;
        for (size_t d = 0; d < page.Documents.size(); ++d) {
            const auto& pages = page.Documents[d].Pages;
            ASSERT_EQ(static_cast<int>(pages.size()), c.pagesPerDocument[d]) << c.rows;
            for (size_t p = 0; p < pages.size(); ++p) {
                EXPECT_EQ(StampOf(pages[p]), "2024/05/01 09:30  " + std::to_string(p + 1) + " / " +
                                                 std::to_string(pages.size()))
                    << c.rows;
            }
            // Boxes: the title box and one per row.
            EXPECT_EQ(pages.back().Boxes - 1, c.rowsOnLastPage[d]) << c.rows;
        }
    }
}

TEST_F(ListPrintTest, AStampAcrossMidnightCarriesBothDatesAndOtherPaperTakesA4Portrait) {
    int reads = 0;
    ListPrint().Clock = [&reads] {
        return reads++ == 0 ? QDateTime(QDate(2024, 5, 1), QTime(23, 59))
                            : QDateTime(QDate(2024, 5, 2), QTime(0, 0));
    };
    const auto grid = IssueGrid(60);
    RecordingPage other(0);
    std::string error;
    ASSERT_TRUE(RunListPrint(other, SelectListPrinter(*grid), 1, 60, Settings(0, true), error));
    const auto& pages = other.Documents.at(0).Pages;
    EXPECT_EQ(StampOf(pages[0]), "2024/05/01 23:59  1 / 2");
    EXPECT_EQ(StampOf(pages[1]), "2024/05/02 00:00  2 / 2");
    EXPECT_EQ(ListPrint().ListPageWidth, 87.5);
    // Other paper: the stamp from the left edge.
    for (size_t i = 0; i < pages[0].Texts.size(); ++i) {
        if (pages[0].Texts[i].Text == StampOf(pages[0])) {
            EXPECT_EQ(pages[0].Texts[i].X, 0);
        }
    }

    // After an A3 landscape list, other paper keeps its metrics.
    RecordingPage a3;
    ASSERT_TRUE(RunListPrint(a3, SelectListPrinter(*grid), 1, 1, Settings(1, false), error));
    ASSERT_TRUE(RunListPrint(other, SelectListPrinter(*grid), 1, 1, Settings(1, false), error));
    EXPECT_EQ(ListPrint().ListPageWidth, 185);
}

TEST_F(ListPrintTest, ARowOutsideTheGridEndsTheDocumentWithTheFailure) {
    const auto grid = IssueGrid(5);
    RecordingPage page;
    std::string error;
    EXPECT_FALSE(RunListPrint(page, SelectListPrinter(*grid), 1, 8, Settings(0, true), error));
    EXPECT_FALSE(error.empty());
    ASSERT_EQ(page.Documents.size(), 1u);
    EXPECT_TRUE(page.Documents[0].Aborted);
}

// ---- Real PDFs ----

struct PdfPages {
    int Count = 0;
    std::string Text;
};

// The page count and text of a PDF; its pages are rendered into the build folder for review.
PdfPages ReadPdf(const std::string& path, const char* reviewName) {
    PdfPages pdf;
    QProcess info;
    info.start("pdfinfo", {QString::fromStdString(path)});
    info.waitForFinished(60000);
    for (const QString& line : QString::fromUtf8(info.readAllStandardOutput()).split('\n'))
        if (line.startsWith("Pages:")) pdf.Count = line.mid(6).trimmed().toInt();
    QProcess text;
    text.start("pdftotext", {"-layout", QString::fromStdString(path), "-"});
    text.waitForFinished(60000);
    pdf.Text = text.readAllStandardOutput().toStdString();
    if (reviewName) {
        QProcess render;
        render.start("pdftoppm", {"-r", "50", "-png", QString::fromStdString(path),
                                  QString(KABUTO_BINARY_DIR) + "/" + reviewName});
        render.waitForFinished(120000);
    }
    return pdf;
}

TEST_F(ListPrintTest, TheIssueListPrintsOnA4PortraitAndA3Landscape) {
    const auto grid = IssueGrid(54);
    grid->SetTextMatrix(1, 4, "ＡＢＣＤＥＦＧＨＩＪＫＬ");
    std::string error;
    ASSERT_TRUE(RunListPrint(SelectListPrinter(*grid), 1, 54, Settings(0, true), error)) << error;
    PdfPages pdf = ReadPdf(folder.File(kPdfPrintFileName), "listprint-issues-a4");
    EXPECT_EQ(pdf.Count, 2);
    EXPECT_NE(pdf.Text.find("選択銘柄一覧"), std::string::npos);
    EXPECT_NE(pdf.Text.find("2 / 2"), std::string::npos);
    EXPECT_NE(pdf.Text.find("05/01"), std::string::npos);
    EXPECT_NE(pdf.Text.find("ＡＢＣＤＥＦＧＨ"), std::string::npos);
    EXPECT_EQ(pdf.Text.find("ＡＢＣＤＥＦＧＨＩ"), std::string::npos);

    ASSERT_TRUE(RunListPrint(SelectListPrinter(*grid), 1, 53, Settings(1, false), error)) << error;
    // The second job writes a file of its own beside the first.
    pdf = ReadPdf(folder.File("print-2.pdf"), "listprint-issues-a3");
    EXPECT_EQ(pdf.Count, 1);
    EXPECT_NE(pdf.Text.find("ＡＢＣＤＥＦＧＨＩＪＫＬ"), std::string::npos);
}

TEST_F(ListPrintTest, TheDataTablePrintsItsCaptionAndKeepsFiftyThreeRowsOnA3Landscape) {
    const auto grid = DataGrid(106);
    const auto caption = [] { return std::string("1301 極洋"); };
    std::string error;
    ASSERT_TRUE(RunListPrint(DataTablePrinter(*grid, caption), 1, 106, Settings(1, false), error))
        << error;
    const PdfPages pdf = ReadPdf(folder.File(kPdfPrintFileName), "listprint-datatable-a3");
    EXPECT_EQ(pdf.Count, 2);
    EXPECT_NE(pdf.Text.find("1301 極洋"), std::string::npos);
    EXPECT_NE(pdf.Text.find("123,456,789"), std::string::npos);
    EXPECT_NE(pdf.Text.find("出来高"), std::string::npos);
}

TEST_F(ListPrintTest, CopiesAreFilesOfTheirOwnAndNothingPrintedLeavesNoFile) {
    const auto grid = IssueGrid(54);
    std::string error;
    ASSERT_TRUE(RunListPrint(SelectListPrinter(*grid), 1, 54, Settings(0, true, 3), error));
    for (const char* name : {"print.pdf", "print-2.pdf", "print-3.pdf"}) {
        const PdfPages pdf = ReadPdf(folder.File(name), nullptr);
        EXPECT_EQ(pdf.Count, 2) << name;
        EXPECT_NE(pdf.Text.find("1 / 2"), std::string::npos) << name;
    }
    QFile::remove(QString::fromStdString(folder.File(kPdfPrintFileName)));

    // No rows, and a print failing midway, leave no file.
    ASSERT_TRUE(RunListPrint(SelectListPrinter(*grid), 1, 0, Settings(0, true), error));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(folder.File(kPdfPrintFileName))));
    EXPECT_FALSE(RunListPrint(SelectListPrinter(*grid), 50, 60, Settings(0, true), error));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(folder.File(kPdfPrintFileName))));
}

}  // namespace
