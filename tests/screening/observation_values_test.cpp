// ctest-labels: screening observation firsthour
// The issue list and the observation list show their values whole at their column widths:
// an eight-figure price, a rate past a thousand per cent, the turn and its date.
#include <QPushButton>

#include "observation_fixture.h"
#include "support/grid_cells.h"
#include "support/modal.h"

namespace {

constexpr const char* kDearest = "1303";

class GridValuesTest : public ObservationTest {
  protected:
    void SetUp() override {
        ObservationTest::SetUp();
        Daily(
            "UPDATE TBL銘柄属性 SET 株価 = 40003500, 上昇率 = -1025.0, "
            "下落率 = -1025.0, 転換状況 = '転換', 転換日 = 20240105 WHERE 証券コード = ?",
            {std::string(kDearest)});
        Observe("順次", {kDearest, 40003500, "上", "ろさ買①"});
        ASSERT_TRUE(ShowIssueList(*list_, kListAll));
        SelectAllRows(*list_);
    }
};

TEST_F(GridValuesTest, TheIssueListShowsEveryValueUncut) {
    int dearest = 0;
    for (int row = 1; row < list_->Rows(); ++row)
        if (list_->TextMatrix(row, 2) == kDearest) dearest = row;
    ASSERT_GT(dearest, 0);
    EXPECT_EQ(list_->TextMatrix(dearest, 9), "転換");
    EXPECT_EQ(CutCells(*list_), std::vector<std::string>{});
}

TEST_F(GridValuesTest, TheObservationListShowsEveryValueUncut) {
    bool answered = false;
    AnswerNextModalNamed(QString::fromUtf8("FRM_先行観測"), [&](QWidget* modal) {
        auto* window = dynamic_cast<FRM_先行観測*>(modal);
        ASSERT_NE(window, nullptr);
        answered = true;
        EXPECT_EQ(window->Grid().Rows(), static_cast<int>(kForwardIssues.size()) + 2);
        EXPECT_EQ(CutCells(window->Grid()), std::vector<std::string>{});
        window->findChild<QPushButton*>(QStringLiteral("CMD_cancel"))->click();
    });
    Trigger("MNU_順次");
    EXPECT_TRUE(answered);
}

}  // namespace
