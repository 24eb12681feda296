// ctest-labels: maildata
#include "acquisition/mail_data_window.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QPushButton>
#include <QTest>
#include <cstdio>

#include "acquisition/state.h"
#include "foundation/startup.h"
#include "platform/atomic_file.h"
#include "platform/flex_grid.h"
#include "support/scripted_sink.h"
#include "support/temp_folder.h"
#include "ui/state.h"
#include "views/main_frame.h"
#include "views/state.h"

namespace {

using Names = std::vector<std::string>;

constexpr const char* kNoArchives = "取込可能なﾃﾞｰﾀﾌｧｲﾙが存在しません。";

std::string Day(int index) {
    char day[16];
    // Days 2024/01/01 onward, 28 to a month, so every name is a real date.
    std::snprintf(day, sizeof day, "2024%02d%02d", index / 28 + 1, index % 28 + 1);
    return day;
}
std::string Slash(const std::string& day) {
    return day.substr(0, 4) + "/" + day.substr(4, 2) + "/" + day.substr(6, 2);
}
Names ZipDay(const std::string& day) {
    return {day + ".zip", "S" + day + ".zip", "I" + day + ".zip"};
}

class MailDataWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        MakeMailDataFolder();
        ChildWindows().RefreshIssueList = [this] { ++refreshed; };
    }
    void TearDown() override {
        if (FRM_メールデータ* window = Window()) delete window;
        DestroyMainFrame();
    }
    void Put(const Names& names) {
        for (const std::string& name : names) {
            std::string error;
            ASSERT_TRUE(WriteFileAtomically(MailDataFolder() + name, "x", error)) << error;
        }
    }
    // Found by name: the window class has no meta-object of its own to find it by type.
    FRM_メールデータ* Window() {
        if (!MainFrameExists()) return nullptr;
        return static_cast<FRM_メールデータ*>(MainFrame().findChild<QWidget*>("FRM_メールデータ"));
    }
    // The days the grid shows, row 1 first; the grid's title is checked on the way.
    Names ShownDays() {
        FlexGrid* grid = Window()->findChild<FlexGrid*>("FGR_DataFile");
        EXPECT_EQ(grid->TextMatrix(0, 1), "ﾃﾞｰﾀ日付");
        Names days;
        for (int row = 1; row < grid->Rows(); ++row) days.push_back(grid->TextMatrix(row, 1));
        return days;
    }
    // Opens the window as the menu does; expects the warning when no day is listed.
    Names Open(bool expectWindow = true) {
        if (!expectWindow) sink.Expect(MsgKind::Warn, kNoArchives);
        AcquireData(false);
        EXPECT_TRUE(sink.AllShown());
        EXPECT_EQ(Window() != nullptr && Window()->isVisible(), expectWindow);
        return expectWindow ? ShownDays() : Names{};
    }

    TempAppFolder folder;
    ScriptedSink sink;
    int refreshed = 0;
};

TEST_F(MailDataWindowTest, ListsOnlyDaysWithACompleteArchive) {
    struct Case {
        const char* what;
        Names files;
        Names days;
    };
    const Case cases[] = {
        {"zip without its I partner", {"20240105.zip", "S20240105.zip"}, {}},
        {"zip with both partners", ZipDay("20240105"), {"2024/01/05"}},
        {"partners alone", {"S20240105.zip", "I20240105.zip"}, {}},
        {"LZH alone", {"20240105株価データ.exe"}, {"2024/01/05"}},
        {"LZH and zip of one day",
         {"20240105株価データ.exe", "20240105.zip", "S20240105.zip", "I20240105.zip"},
         {"2024/01/05"}},
        {"names in other cases",
         {"20240105.ZIP", "s20240105.zip", "I20240105.Zip", "20240108株価データ.EXE"},
         {"2024/01/08", "2024/01/05"}},
        {"eight letters are no day", {"abcdefgh.zip", "Sabcdefgh.zip", "Iabcdefgh.zip"}, {}},
        {"no such date",
         {"20240230株価データ.exe", "20240230.zip", "S20240230.zip", "I20240230.zip"},
         {}},
        {"a longer name", {"120240105.zip", "S120240105.zip", "I120240105.zip"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(QString::fromStdString(MailDataFolder())).removeRecursively();
        MakeMailDataFolder();
        Put(c.files);
        EXPECT_EQ(Open(!c.days.empty()), c.days);
        TearDown();
    }
}

TEST_F(MailDataWindowTest, ShowsTheThirtyNewestDaysNewestFirst) {
    struct Case {
        const char* what;
        int lzhDays;
        int zipDays;
    };
    // The LZH days are the even days, the zip days the odd ones, so the kinds interleave.
    for (const Case& c : {Case{"40 zip days", 0, 40}, Case{"20 LZH and 20 zip days", 20, 20}}) {
        SCOPED_TRACE(c.what);
        QDir(QString::fromStdString(MailDataFolder())).removeRecursively();
        MakeMailDataFolder();
        Names expected;
        for (int i = 0; i < c.lzhDays + c.zipDays; ++i) {
            const bool lzh = c.lzhDays > 0 && i % 2 == 0;
            Put(lzh ? Names{Day(i) + "株価データ.exe"} : ZipDay(Day(i)));
            expected.insert(expected.begin(), Slash(Day(i)));
        }
        expected.resize(30);
        EXPECT_EQ(Open(), expected);
        TearDown();
    }
}

TEST_F(MailDataWindowTest, AnEmptyOrMissingFolderShowsNoWindow) {
    Open(false);
    QDir(QString::fromStdString(MailDataFolder())).removeRecursively();
    Open(false);
    EXPECT_TRUE(MainFrame().isEnabled());
}

TEST_F(MailDataWindowTest, ImportDoesNothingAndCancelClosesWithoutRefresh) {
    Put(ZipDay("20240105"));
    GridWheel().CurrentFormName = "FRM_メールデータ";
    Open();
    EXPECT_EQ(Window()->windowModality(), Qt::WindowModal) << "the main frame takes no input";
    QTest::mouseClick(Window()->findChild<QPushButton*>("CMD_取込開始"), Qt::LeftButton);
    ASSERT_NE(Window(), nullptr);
    EXPECT_TRUE(Window()->isVisible());
    EXPECT_EQ(sink.Shown().size(), 0u);

    QTest::mouseClick(Window()->findChild<QPushButton*>("CMD_キャンセル"), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Window(), nullptr);
    EXPECT_EQ(refreshed, 0);
    EXPECT_TRUE(MainFrame().isEnabled());
    EXPECT_EQ(GridWheel().CurrentFormName, "");
}

TEST_F(MailDataWindowTest, EscCancels) {
    Put(ZipDay("20240105"));
    Open();
    Window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Window()));
    QTest::keyClick(Window(), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Window(), nullptr);
    EXPECT_TRUE(MainFrame().isEnabled());
}

TEST_F(MailDataWindowTest, TheMenuCommandIsInstalled) {
    InstallAcquisitionCommands();
    Put(ZipDay("20240105"));
    Selection().Routines.AcquireData(false);
    ASSERT_NE(Window(), nullptr);
    EXPECT_EQ(MailData().MailDataFolder, MailDataFolder());
}

}  // namespace
