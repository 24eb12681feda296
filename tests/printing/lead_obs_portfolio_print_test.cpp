// ctest-labels: printdialog
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include "foundation/printer_setup.h"
#include "foundation/state.h"
#include "foundation/text_utils.h"
#include "platform/flex_grid.h"
#include "platform/printers.h"
#include "printing/lead_obs_list_print.h"
#include "printing/list_page.h"
#include "printing/portfolio_list_print.h"
#include "printing/state.h"
#include "support/fresh_state.h"
#include "support/temp_folder.h"

namespace {

constexpr double kNarrow = 87.5;
constexpr double kWide = 16.81;

void ExpectNear(const std::vector<double>& actual, const std::vector<double>& expected,
                const std::string& label) {
    ASSERT_EQ(actual.size(), expected.size()) << label;
    for (size_t i = 0; i < actual.size(); ++i)
        EXPECT_NEAR(actual[i], expected[i], 1e-9) << label << i;
}

std::string Blanks(int count) {
    return std::string(static_cast<size_t>(count), ' ');
}

// ---- Geometry ----

TEST(LeadObsListGeometry, RulesTitlesAndRowsPerLayout) {
    EXPECT_EQ(LeadObsListTitle(0), "先行観測機能一覧 (順方向)");
    EXPECT_EQ(LeadObsListTitle(-1), "先行観測機能一覧 (逆方向)");
    ExpectNear(LeadObsListRules(0), {15.3835, 32.1935, 36.396, 44.801, 49.0035}, "narrow");
    ExpectNear(LeadObsListRules(kWide), {15.3835, 49.0035, 53.206, 61.611, 65.8135}, "wide");
    const std::vector<PlacedText> titles = LeadObsListTitles(kWide);
    EXPECT_EQ(titles[3].Text, "引線価格");
    EXPECT_NEAR(titles[3].X, 53.706, 1e-9);
    EXPECT_NEAR(titles[4].X, 62.111, 1e-9);

    struct Case {
        std::string name;
        double offset;
        std::string printed;
    };
    const std::vector<Case> cases = {
        {"ｶﾌﾞｼｷｶﾞｲｼｬABC", 0, "カブシキガイシャＡ"},
        {"ｶﾌﾞｼｷｶﾞｲｼｬABC", kWide, "カブシキガイシャＡＢＣ" + Blanks(36 - 2 * 11)},
        {"極洋", 0, "極洋" + Blanks(14)},
        {"日本水産1", 0, "日本水産１" + Blanks(8)},
        {"ABCDEFGHIJKLMNOPQRST", kWide, "ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲ"},
        {"ABCDEFGHI", 0, "ＡＢＣＤＥＦＧＨＩ"},
        {"", 0, Blanks(18)},
    };
    for (const Case& c : cases) {
        const LeadObsListCells cells{"1301", c.name, "東１", "1,234", "順次", "長い法則名そのまま"};
        const std::vector<PlacedText> row = LeadObsListRowTexts(cells, c.offset);
        EXPECT_EQ(row[1], (PlacedText{15.8835, c.printed})) << c.name << c.offset;
        EXPECT_NEAR(row[3].X, c.offset + 44.801 - 5 * 0.8405 - 0.5, 1e-9);
        EXPECT_NEAR(row[4].X, c.offset + 46.301, 1e-9);
        EXPECT_EQ(row[5].Text, "長い法則名そのまま");
    }
}

TEST(PortfolioListGeometry, TitlesEdgesAndRowsPerLayout) {
    EXPECT_EQ(PortfolioListTitle(0), "ポートフォリオ登録銘柄一覧：「買い」- 分類1");
    EXPECT_EQ(PortfolioListTitle(1), "ポートフォリオ登録銘柄一覧：「買い」- 分類2");
    EXPECT_EQ(PortfolioListTitle(2), "ポートフォリオ登録銘柄一覧：「売り」- 分類1");
    EXPECT_EQ(PortfolioListTitle(3), "ポートフォリオ登録銘柄一覧：「売り」- 分類2");

    ExpectNear(PortfolioListRules(0, kNarrow),
               {15.3835, 34.715, 38.9175, 47.3225, 56.568, 65.8135, 75.8995}, "A4 portrait");
    // A4 landscape: the quantity column spans 55.7275 to 68.2325, the rate column
    // 109.1095 to 128.5; A3 landscape only ends further right.
    ExpectNear(PortfolioListRules(kWide, 128.5),
               {15.3835, 51.525, 55.7275, 68.2325, 81.578, 94.9235, 109.1095}, "A4 landscape");
    ExpectNear(PortfolioListRules(kWide, 185),
               {15.3835, 51.525, 55.7275, 68.2325, 81.578, 94.9235, 109.1095}, "A3 landscape");

    const std::vector<PlacedText> titles = PortfolioListTitles(kWide, 128.5);
    EXPECT_EQ(titles[3], (PlacedText{16.81 + 39.4175, "購入株数"}));
    EXPECT_NEAR(titles[4].X, 68.7325, 1e-9);
    EXPECT_NEAR(titles[7].X, 109.6095, 1e-9);

    PortfolioListCells cells{"1301", "ｶﾌﾞｼｷｶﾞｲｼｬABCDEFGH", "東１", "1,000", "250", "－", "－",
                             "－"};
    std::vector<PlacedText> row = PortfolioListRowTexts(cells, 0, kNarrow);
    EXPECT_EQ(row[1].Text, "カブシキガイシャＡＢ");
    EXPECT_NEAR(row[3].X, 47.3225 - 5 * 0.8405 - 0.5, 1e-9);
    EXPECT_NEAR(row[5].X, 65.8135 - 2, 1e-9);
    EXPECT_NEAR(row[6].X, 75.8995 - 2, 1e-9);
    EXPECT_NEAR(row[7].X, 87.5 - 2, 1e-9);

    cells.Current = "1,200";
    cells.Profit = "-50,000";
    cells.Rate = "0";  // an issue not found: "0" and nothing after it
    cells.Profit = "";
    row = PortfolioListRowTexts(cells, kWide, 185);
    EXPECT_EQ(row[1].Text, "カブシキガイシャＡＢＣＤＥＦＧＨ" + Blanks(40 - 2 * 16));
    EXPECT_NEAR(row[5].X, 94.9235 - 5 * 0.8405 - 0.5, 1e-9);
    EXPECT_NEAR(row[6].X, 109.1095 - 0.5, 1e-9);
    EXPECT_NEAR(row[7].X, 185 - 0.8405 - 0.5, 1e-9);

    cells.Name = "ABCDEFGHIJKLMNOPQRSTUV";
    EXPECT_EQ(CharacterCount(PortfolioListRowTexts(cells, kWide, 128.5)[1].Text), 20);
    cells.Name = "ABCDEFGHIJ";
    EXPECT_EQ(PortfolioListRowTexts(cells, 0, kNarrow)[1].Text, "ＡＢＣＤＥＦＧＨＩＪ");
}

// ---- Real PDFs, rendered into PNG pages ----

struct RenderedPages {
    int Count = 0;
    int NonBlank = 0;
    std::string Text;
};

RenderedPages Render(const std::string& pdf) {
    RenderedPages pages;
    QTemporaryDir dir;
    QProcess render;
    render.start("pdftoppm", {"-r", "30", "-png", QString::fromStdString(pdf), dir.path() + "/p"});
    render.waitForFinished(120000);
    for (const QString& name : QDir(dir.path()).entryList({"*.png"})) {
        ++pages.Count;
        const QImage image(dir.path() + "/" + name);
        int dark = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qGray(image.pixel(x, y)) < 128) ++dark;
        if (dark > 100) ++pages.NonBlank;
    }
    QProcess text;
    text.start("pdftotext", {"-layout", QString::fromStdString(pdf), "-"});
    text.waitForFinished(60000);
    pages.Text = text.readAllStandardOutput().toStdString();
    return pages;
}

PrintSettei Settings(int size, bool portrait) {
    PrintSettei settings;
    settings.CBO_Size = static_cast<int16_t>(size);
    settings.OPT_縦 = portrait ? -1 : 0;
    settings.OPT_横 = portrait ? 0 : -1;
    settings.TXT_Count = 1;
    return settings;
}

class ListPdfTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetAllState();
        Settei().PrinterNames = {kPdfPrinterName};
        ListPrint().Clock = [] { return QDateTime(QDate(2024, 5, 1), QTime(9, 30)); };
    }
    void TearDown() override { ResetAllState(); }
    TempAppFolder folder;
};

TEST_F(ListPdfTest, TwentyFivePortfolioRowsFitOnePageOnEveryLayout) {
    FlexGrid grid;
    grid.SetCols(15);
    grid.SetRows(26);
    for (int row = 1; row <= 25; ++row) {
        grid.SetTextMatrix(row, 4, std::to_string(1300 + row));
        grid.SetTextMatrix(row, 5, "ﾎﾟｰﾄﾌｫﾘｵ銘柄" + std::to_string(row));
        grid.SetTextMatrix(row, 6, "東１");
        grid.SetTextMatrix(row, 7, "1,000");
        grid.SetTextMatrix(row, 8, "250");
        for (int column = 9; column <= 11; ++column)
            grid.SetTextMatrix(row, column, row % 2 ? "－" : "12,345");
    }
    struct Layout {
        int size;
        bool portrait;
    };
    for (const Layout& layout : std::vector<Layout>{{0, true}, {0, false}, {1, true}, {1, false}}) {
        std::string error;
        ASSERT_TRUE(RunListPrint(PortfolioListPrinter(grid, [] { return 2; }), 1, 25,
                                 Settings(layout.size, layout.portrait), error))
            << error;
        const RenderedPages pages = Render(folder.File(kPdfPrintFileName));
        const std::string label = std::to_string(layout.size) + (layout.portrait ? "P" : "L");
        EXPECT_EQ(pages.Count, 1) << label;
        EXPECT_EQ(pages.NonBlank, 1) << label;
        EXPECT_NE(pages.Text.find("「売り」- 分類1"), std::string::npos) << label;
        EXPECT_NE(pages.Text.find("1 / 1"), std::string::npos) << label;
        EXPECT_NE(pages.Text.find("1325"), std::string::npos) << label;
    }
}

TEST_F(ListPdfTest, FiftyFourObservationRowsMakeTwoPagesOnA4Portrait) {
    FlexGrid grid;
    grid.SetCols(8);
    grid.SetRows(55);
    for (int row = 1; row <= 54; ++row) {
        grid.SetTextMatrix(row, 2, std::to_string(2000 + row));
        grid.SetTextMatrix(row, 3, "観測銘柄" + std::to_string(row));
        grid.SetTextMatrix(row, 4, "東１");
        grid.SetTextMatrix(row, 5, "1,234");
        grid.SetTextMatrix(row, 6, "順次");
        grid.SetTextMatrix(row, 7, "ろさ売①");
    }
    std::string error;
    ASSERT_TRUE(RunListPrint(LeadObsListPrinter(grid, [] { return int16_t{-1}; }), 1, 54,
                             Settings(0, true), error))
        << error;
    const RenderedPages pages = Render(folder.File(kPdfPrintFileName));
    EXPECT_EQ(pages.Count, 2);
    EXPECT_EQ(pages.NonBlank, 2);
    EXPECT_NE(pages.Text.find("先行観測機能一覧 (逆方向)"), std::string::npos);
    EXPECT_NE(pages.Text.find("2 / 2"), std::string::npos);
    EXPECT_NE(pages.Text.find("2054"), std::string::npos);

    // 53 rows: one page, and no blank sheet after it.
    ASSERT_TRUE(RunListPrint(LeadObsListPrinter(grid, [] { return int16_t{0}; }), 1, 53,
                             Settings(0, true), error));
    // The second job writes a file of its own beside the first.
    const RenderedPages full = Render(folder.File("print-2.pdf"));
    EXPECT_EQ(full.Count, 1);
    EXPECT_NE(full.Text.find("1 / 1"), std::string::npos);
}

}  // namespace
