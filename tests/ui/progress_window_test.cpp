// ctest-labels: progress
#include "ui/progress_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <stdexcept>

#include "platform/atomic_file.h"
#include "platform/avi_player.h"
#include "platform/busy_pointer.h"
#include "support/avi_fixture.h"
#include "support/scripted_sink.h"
#include "support/temp_folder.h"
#include "ui/child_windows.h"

namespace {

// The main frame stand-in: a window whose button counts the clicks that reach it.
struct Owner {
    Owner() {
        button = new QPushButton(QStringLiteral("OK"), &window);
        button->setObjectName(QStringLiteral("CMD_OK"));
        QObject::connect(button, &QPushButton::clicked, [this] { ++clicks; });
        window.resize(300, 200);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    // True when a click on the owner's button gets through to it. The click goes through
    // the window system, where a modal child blocks it, as the user's would.
    bool TakesInput() {
        const int before = clicks;
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {},
                          button->mapTo(&window, button->rect().center()));
        return clicks > before;
    }
    QWidget window;
    QPushButton* button = nullptr;
    int clicks = 0;
};

// Lets deferred deletions of unloaded windows happen.
void FlushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QString Status2() {
    return ProgressWindow().Status2()->text();
}
int BarValue() {
    return ProgressWindow().Bar()->value();
}
int BarMax() {
    return ProgressWindow().Bar()->maximum();
}

struct Hooks {
    Hooks() {
        ChildWindows().ClearSelectedRows = [this] {
            ++cleared;
            busyWhileEnding = QApplication::overrideCursor() &&
                              QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        };
        ChildWindows().RefreshIssueList = [this] { ++refreshed; };
    }
    // Unhooks the steps, which point at this object, before the test goes on.
    ~Hooks() { ChildWindows() = ChildWindowState{}; }
    int cleared = 0;
    int refreshed = 0;
    bool busyWhileEnding = false;
};

}  // namespace

TEST(Progress, StepAndMaximumFollowTheTotal) {
    const struct {
        int total, step, max;
    } cases[] = {{0, 1, 1},     {1, 1, 2},       {49, 1, 50},      {50, 5, 11},
                 {99, 5, 21},   {100, 10, 11},   {499, 10, 51},    {500, 50, 11},
                 {999, 50, 21}, {1000, 100, 11}, {70000, 100, 701}};
    for (const auto& c : cases) {
        EXPECT_EQ(ProgressStepFor(c.total), c.step) << c.total;
        EXPECT_EQ(ProgressMaxFor(c.total), c.max) << c.total;
        StartProgress(c.total);
        EXPECT_EQ(BarMax(), c.max) << c.total;
        EXPECT_EQ(BarValue(), 1) << c.total;
    }
}

TEST(Progress, StepsUpdateOnlyAtTheirMarks) {
    StartProgress(49);  // every item is a mark
    for (int n = 1; n <= 49; ++n) {
        StepProgress(3);
        ASSERT_EQ(BarValue(), n + 1) << n;
        ASSERT_EQ(Status2().toStdString(), std::to_string(n) + "銘柄削除しました");
    }
    EXPECT_EQ(BarValue(), 50);

    StartProgress(50);  // marks at 5, 10, 15, ...
    SetProgressText(2, "");
    for (int n = 1; n <= 4; ++n) StepProgress(3);
    EXPECT_EQ(BarValue(), 1);
    EXPECT_EQ(Status2(), QString());
    StepProgress(3);
    EXPECT_EQ(BarValue(), 2);
    EXPECT_EQ(Status2(), QStringLiteral("5銘柄削除しました"));
    for (int n = 6; n <= 52; ++n) StepProgress(3);
    EXPECT_EQ(Progress().ProgressCount, 52);
    EXPECT_EQ(BarValue(), 11);  // never past the maximum
    EXPECT_EQ(Status2(), QStringLiteral("50銘柄削除しました"));

    StartProgress(999);  // 999 items of 50: the bar ends one short of full
    for (int n = 1; n <= 999; ++n) StepProgress(6);
    EXPECT_EQ(BarValue(), 20);
    EndProgress();
    EXPECT_EQ(BarValue(), 21);

    StartProgress(0);
    EXPECT_EQ(BarValue(), BarMax());  // full before any item
}

TEST(Progress, SecondLineByKind) {
    const struct {
        int kind;
        const char* text;
    } cases[] = {{3, "12銘柄削除しました"},
                 {4, "ﾒｰﾙﾃﾞｰﾀより更新しています"},
                 {5, "12銘柄追加しました"},
                 {6, "12銘柄の注目指定を登録しました"},
                 {7, "12銘柄の注目指定を取消しました"},
                 {2, ""},
                 {0, ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(ProgressKindText(c.kind, 12), c.text) << c.kind;
        StartProgress(20);
        SetProgressText(2, "before");
        for (int n = 0; n < 12; ++n) StepProgress(c.kind);
        EXPECT_EQ(Status2().toStdString(), c.text) << c.kind;
    }
    SetProgressTexts("line one", "line two");
    SetProgressText(3, "nowhere");
    EXPECT_EQ(ProgressWindow().Status1()->text(), QStringLiteral("line one"));
    EXPECT_EQ(Status2(), QStringLiteral("line two"));
}

TEST(Progress, CancelAsksAndOnlyOkStopsTheJob) {
    Owner owner;
    ScriptedSink sink;
    const struct {
        int answer;
        int processed;
    } cases[] = {{kAnswerCancel, 10}, {kAnswerOk, 3}};
    for (const auto& c : cases) {
        Progress().CancelRequested = -1;  // left over from an earlier job
        FRM_処理中& window = ProgressWindow();
        window.CancelButton()->setText(QStringLiteral("中断(&C)"));
        SetProgressTexts("銘柄削除中", "");
        StartProgressShow(10, &owner.window, &window);
        EXPECT_EQ(Progress().CancelRequested, 0);
        int processed = 0;
        for (int item = 1; item <= 10; ++item) {
            ++processed;
            StepProgress(3);
            if (item == 3) {
                sink.Expect(MsgKind::OkCancel, "処理を中断しますか？", c.answer);
                QTest::mouseClick(window.CancelButton(), Qt::LeftButton);
            }
            QCoreApplication::processEvents();
            if (Progress().CancelRequested == -1) break;
        }
        EXPECT_EQ(processed, c.processed) << c.answer;
        EndProgress();
        FinishChildDialog(-1, &owner.window, &window);
        FlushDeletes();
    }
    EXPECT_TRUE(sink.AllShown());
    EXPECT_TRUE(owner.TakesInput());
}

TEST(Progress, WindowLoadsFreshWithItsNamesAndAnimation) {
    TempAppFolder folder;
    AviClipLayout clipLayout;
    clipLayout.palette = {0x000000, 0xFFFFFF};
    clipLayout.frames = {std::string("\1\0\0\0\0\1\0\0", 8), std::string("\0\1\0\0\1\0\0\0", 8)};
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(folder.File("v5Wait.avi"), MakeAvi(clipLayout), error));

    Owner owner;
    ShowChildDisabled(&owner.window, &ProgressWindow());
    CloseChildEnable(&owner.window, &ProgressWindow());  // a loaded window from before
    Progress().CancelRequested = -1;
    FRM_処理中& window = ProgressWindow();
    EXPECT_EQ(Progress().CancelRequested, 0);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("処理中..."));
    EXPECT_EQ(window.findChild<QPushButton*>("CMD_cancel")->text(), QStringLiteral("ｷｬﾝｾﾙ"));
    EXPECT_EQ(window.findChild<QGroupBox*>("FRM_状況")->title(), QStringLiteral("状況..."));
    for (const char* name : {"LBL_状況1", "LBL_状況2", "Picture1"})
        EXPECT_NE(window.findChild<QLabel*>(name), nullptr) << name;
    auto* bar = window.findChild<QProgressBar*>("PRG_Bar");
    ASSERT_NE(bar, nullptr);
    EXPECT_FALSE(bar->isEnabled());
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(window.cursor().shape(), Qt::WaitCursor);
    EXPECT_EQ(window.CancelButton()->cursor().shape(), Qt::ArrowCursor);
    auto* animation = window.findChild<AviPlayer*>("Animation1");
    ASSERT_NE(animation, nullptr);
    EXPECT_TRUE(animation->IsPlaying());
    EXPECT_EQ(animation->FrameCount(), 2);
    CloseChildEnable(&owner.window, &window);

    ASSERT_TRUE(QFile::remove(QString::fromStdString(folder.File("v5Wait.avi"))));
    EXPECT_FALSE(ProgressWindow().Animation()->IsOpen());  // no message, no animation
    CloseChildEnable(&owner.window, &ProgressWindow());
    FlushDeletes();
}

TEST(ChildWindows, ChildBlocksItsOwnerUntilItEnds) {
    Owner owner;
    QPointer<QWidget> child = new QWidget;
    ShowChildDisabled(&owner.window, child);
    EXPECT_TRUE(child->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), child.data());
    EXPECT_FALSE(owner.TakesInput());
    CloseChildEnable(&owner.window, child);
    EXPECT_TRUE(IsUnloaded(child));
    EXPECT_FALSE(child->isVisible());
    EXPECT_TRUE(owner.TakesInput());
    FlushDeletes();
    EXPECT_TRUE(child.isNull());
}

TEST(ChildWindows, OwnerIsEnabledBeforeTheChildGoes) {
    // A child whose closing looks at its owner, which must already take input again.
    struct Child : QWidget {
        QWidget* owner = nullptr;
        bool ownerEnabledOnClose = false;
        void closeEvent(QCloseEvent* event) override {
            ownerEnabledOnClose = owner->isEnabled();
            QWidget::closeEvent(event);
        }
    };
    Owner owner;
    auto* child = new Child;
    child->owner = &owner.window;
    ShowChildDisabled(&owner.window, child);
    owner.window.setEnabled(false);  // an owner its caller disabled itself
    CloseChildEnable(&owner.window, child);
    EXPECT_TRUE(child->ownerEnabledOnClose);
    EXPECT_TRUE(owner.window.isEnabled());
    FlushDeletes();
}

TEST(ChildWindows, FinishClearsSelectionAndRefreshesOnRequest) {
    Owner owner;
    for (int refresh : {0, -1}) {
        Hooks hooks;
        auto* child = new QWidget;
        ShowChildDisabled(&owner.window, child);
        FinishChildDialog(refresh, &owner.window, child);
        EXPECT_EQ(hooks.cleared, 1) << refresh;
        EXPECT_TRUE(hooks.busyWhileEnding) << refresh;
        EXPECT_EQ(hooks.refreshed, refresh == -1 ? 1 : 0) << refresh;
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << refresh;
        EXPECT_TRUE(owner.TakesInput()) << refresh;
        FlushDeletes();
    }
}

TEST(ChildWindows, OwnerAndPointerComeBackAfterAFailingStep) {
    Owner owner;
    ScriptedSink sink;
    {
        // The list reload fails: reported, and the dialog still ends.
        Hooks hooks;
        ChildWindows().RefreshIssueList = [] {
            throw std::runtime_error("一覧を読み込めません。");
        };
        auto* child = new QWidget;
        ShowChildDisabled(&owner.window, child);
        sink.Expect(MsgKind::Warn, "一覧を読み込めません。");
        FinishChildDialog(-1, &owner.window, child);
        EXPECT_TRUE(IsUnloaded(child));
    }
    EXPECT_TRUE(owner.TakesInput());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    {
        // Clearing the selection fails: the reload after it is skipped, the owner is not.
        Hooks hooks;
        ChildWindows().ClearSelectedRows = [] {
            throw std::runtime_error("選択を解除できません。");
        };
        auto* child = new QWidget;
        ShowChildDisabled(&owner.window, child);
        SetHourglass();  // a job that set the pointer twice
        sink.Expect(MsgKind::Warn, "選択を解除できません。");
        FinishChildDialog(-1, &owner.window, child);
        EXPECT_EQ(hooks.refreshed, 0);
    }
    EXPECT_TRUE(sink.AllShown());
    EXPECT_TRUE(owner.TakesInput());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    FlushDeletes();
}

TEST(ChildWindows, HourglassIsOneScreenPointer) {
    SetHourglass();
    SetHourglass();
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    ResetPointer();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
