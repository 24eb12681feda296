// ctest-labels: app
#include "views/main_frame.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLockFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QTest>

#include "foundation/startup.h"
#include "foundation/text_stores.h"
#include "platform/atomic_file.h"
#include "platform/avi_player.h"
#include "platform/cp932.h"
#include "support/avi_fixture.h"
#include "support/scripted_sink.h"
#include "support/temp_folder.h"
#include "ui/frame_access.h"
#include "views/selection_window.h"
#include "views/splash_window.h"

namespace {

class MainFrameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetProgramEnd([this] { ++programEnds; });
    }
    void TearDown() override {
        DestroyMainFrame();
        SetProgramEnd(nullptr);
        ReleaseInstanceLock();
    }
    QStringList MenuCaptions() {
        QStringList captions;
        for (QAction* action : MainFrame().menuBar()->actions()) {
            if (action->isVisible()) captions << action->text();
        }
        return captions;
    }
    std::string FileText(const char* name) {
        std::string bytes;
        EXPECT_TRUE(ReadWholeFile(folder.File(name), bytes)) << name;
        return FromCp932(bytes);
    }

    TempAppFolder folder;
    ScriptedSink sink;
    int programEnds = 0;
};

TEST_F(MainFrameTest, TheActiveChildsMenusAreTheFramesMenuBar) {
    MainFrame().show();
    EXPECT_EQ(MenuCaptions(), QStringList{"ﾌｧｲﾙ(&F)"});
    ShowSelectionList();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&MainFrame()));
    EXPECT_EQ(MenuCaptions().size(), 6);
    EXPECT_EQ(MenuCaptions().front(), "ﾌｧｲﾙ(&F)");
    EXPECT_EQ(MenuCaptions().back(), "ﾍﾙﾌﾟ(&H)");
    EXPECT_EQ(MainFrame().windowTitle(), "選択");
    // The list fills the client area.
    const QSize client = MainFrame().ClientArea()->viewport()->size();
    const QMdiSubWindow* window = MainFrame().ClientArea()->activeSubWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->widget(), &SelectionWindow());
    EXPECT_EQ(window->geometry(), QRect(QPoint(0, 0), client));
}

TEST_F(MainFrameTest, StatusPanelsAndCaptionAreReachedByName) {
    MainFrame().show();
    SetMainStatusPanel(2, "12 件表示されました。");
    EXPECT_EQ(MainFrame().Panel(2)->text(), "12 件表示されました。");
    EXPECT_EQ(MainStatusPanel(2), "12 件表示されました。");
    EXPECT_EQ(MainFrame().Panel(2)->objectName(), "STA_Main_Panel2");
    SetMainCaption("選択");
    EXPECT_EQ(MainFrame().windowTitle(), "選択");
    DestroyMainFrame();
    SetMainStatusPanel(2, "x");  // no frame: nothing happens
    EXPECT_EQ(MainStatusPanel(2), "");
}

TEST_F(MainFrameTest, ClosingTheFrameShutsDownAndWritesTheTextStores) {
    ShowSelectionList();
    TextStores().MemoText = "1301011\t水産のメモ\r\n";
    TextStores().ChuumokuText = "1301011\t3\r\n";
    QPointer<MDF_メイン> frame = &MainFrame();
    frame->close();
    EXPECT_EQ(programEnds, 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(frame.isNull());
    EXPECT_EQ(FileText("memo.ini"), MemoFileText("1301011\t水産のメモ\r\n"));
    EXPECT_EQ(FileText("chuumoku.ini"), "1301011\t3\r\n");
    EXPECT_TRUE(FileExists(folder.File("shasen.ini")));
    EXPECT_TRUE(FileExists(folder.File("kanmon.ini")));
}

TEST_F(MainFrameTest, TheEndItemUnloadsTheFrame) {
    ShowSelectionList();
    SelectionWindow().MenuItem("MNU_終了")->trigger();
    EXPECT_EQ(programEnds, 1);
    EXPECT_TRUE(FileExists(folder.File("memo.ini")));
}

TEST_F(MainFrameTest, SplashPlaysTheStartUpClipWhenItIsThere) {
    {
        FRM_見出し splash;
        EXPECT_FALSE(splash.Animation1()->IsOpen());
    }
    AviClipLayout clipLayout;
    clipLayout.palette = {0x000000, 0xFFFFFF};
    clipLayout.frames = {std::string("\0\1\0\0\1\0\0\0", 8), std::string("\1\0\0\0\0\1\0\0", 8)};
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(folder.File(kSplashClipFileName), MakeAvi(clipLayout), error));
    FRM_見出し splash;
    EXPECT_TRUE(splash.Animation1()->IsOpen());
    EXPECT_TRUE(splash.Animation1()->IsPlaying());
}

TEST_F(MainFrameTest, OneCopyPerProgramFolder) {
    {
        QLockFile other(QString::fromStdString(folder.File(kInstanceLockFileName)));
        ASSERT_TRUE(other.tryLock(0));
        EXPECT_EQ(TakeInstanceLock(), InstanceLock::HeldElsewhere);
    }
    EXPECT_EQ(TakeInstanceLock(), InstanceLock::Taken);
    QLockFile other(QString::fromStdString(folder.File(kInstanceLockFileName)));
    EXPECT_FALSE(other.tryLock(0));
}

TEST_F(MainFrameTest, TheMailDataFolderIsMadeOnceAndLeftAlone) {
    MakeMailDataFolder();
    EXPECT_TRUE(QDir(QString::fromStdString(MailDataFolder())).exists());
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(MailDataFolder() + "a.zip", "x", error));
    MakeMailDataFolder();
    EXPECT_TRUE(FileExists(MailDataFolder() + "a.zip"));
}

}  // namespace
