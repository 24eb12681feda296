// ctest-labels: app
// The start-up and shut-down of the whole program: Main in this process for the windows
// it shows, and the executable itself, copied into a program folder, for what only a
// separate process shows (one copy per folder, the end on the system's request).
#include "foundation/startup.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>

#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <cstdio>
#include <memory>
#include <string>

#include "app/main_sequence.h"
#include "foundation/database.h"
#include "foundation/issue_list.h"
#include "foundation/selection.h"
#include "foundation/settings.h"
#include "foundation/signin.h"
#include "foundation/state.h"
#include "foundation/text_stores.h"
#include "platform/atomic_file.h"
#include "platform/cp932.h"
#include "platform/flex_grid.h"
#include "portfolio/news_file.h"
#include "portfolio/portfolio_file.h"
#include "screening/atec_file.h"
#include "support/fresh_state.h"
#include "support/market_fixture.h"
#include "support/modal.h"
#include "support/scripted_sink.h"
#include "support/temp_folder.h"
#include "ui/progress_window.h"
#include "views/list_services.h"
#include "views/main_frame.h"
#include "views/selection_window.h"

namespace {

constexpr const char* kMemoFile = "memo.ini";
// A memo store as another editor left it: no line end after its last line. The program
// writes it back with its own line ends, so a rewritten file is told from the original.
constexpr const char* kMemoAsFound = "1301011\tいつものメモ";

void WriteText(const std::string& path, const std::string& text) {
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(path, ToCp932(text), error)) << error;
}

std::string ReadText(const std::string& path) {
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(path, bytes)) << path;
    return FromCp932(bytes);
}

// Saves a sign-in into "Settei.ini" as the sign-in window does.
void SaveSignIn(const std::string& id, const std::string& password) {
    LogonPair pair{id, password};
    LoadSettei(pair);
    pair = {id, password};
    ASSERT_TRUE(SaveSettei(pair));
    Settei() = SetteiState{};
}

// Gives the program folder's lock back before the folder is removed.
struct InstanceLockRelease {
    ~InstanceLockRelease() { ReleaseInstanceLock(); }
};

class StartupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetProgramEnd([this] { ++programEnds; });
    }
    void TearDown() override {
        DestroyMainFrame();
        SetProgramEnd(nullptr);
        ReleaseInstanceLock();
    }
    // login_flg of the fixture's user, read beside the program.
    static std::string LoginFlag(const MarketFixture& market) {
        RecordsetPtr row;
        std::string error;
        const std::string user = CatalogConnectionString(market.Prefix(), kUserCatalog);
        if (!RunCatalogSql(user, "SELECT login_flg FROM velm_user_test WHERE velm_user_id=?",
                           {std::string(MarketFixture::kUserId)}, &row, error) ||
            row->RecordCount() != 1) {
            ADD_FAILURE() << error;
            return "";
        }
        row->MoveFirst();
        return FieldText(row->Field(0));
    }
    // The fixture's folder as a program folder about to start.
    void PrepareFolder(MarketFixture& market) {
        ResetAllState();
        WriteText(market.Path() + kMemoFile, kMemoAsFound);
    }

    // The folder prepared, with a saved sign-in and a copy of the executable.
    bool PrepareProgramFolder(MarketFixture& market) {
        PrepareFolder(market);
        SaveSignIn(MarketFixture::kUserId, MarketFixture::kPassword);
        return QFile::copy(QStringLiteral(KABUTO_BINARY_DIR "/kabuto"),
                           QString::fromStdString(market.Path() + "kabuto"));
    }

    int programEnds = 0;
};

TEST_F(StartupTest, SavedSignInStartsWithTheListAndClosingSignsOut) {
    MarketFixture market(TestEngine::Sqlite, MarketFixture::SmallMarket(), false);
    KABUTO_REQUIRE_MARKET(market);
    InstanceLockRelease lock;
    PrepareFolder(market);
    SaveSignIn(MarketFixture::kUserId, MarketFixture::kPassword);
    // The start-up files of the portfolio, the news of the newest data date and the
    // analysis results.
    const std::string newest = std::to_string(market.Summary().LastDate);
    WriteText(market.Path() + kPfFileName, "7203011, 2 , 500 , 612.5 , 700 , 560 , 20240105 \r\n");
    WriteText(market.Path() + kNewsFileName,
              newest + "\r\n<買い－2>Bは、700円の目標株価に達しました。\r\n");
    std::string atec(
        "\x01\x00\x07\x00"
        "7203011",
        11);
    atec.append(6, '\xff').append(16, '\0');
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(market.Path() + kATecFileName, atec, error)) << error;
    ScriptedSink sink;

    ASSERT_TRUE(Main());
    EXPECT_EQ(Portfolio().PfCounts, (std::array<int16_t, 4>{0, 1, 0, 0}));
    EXPECT_EQ(News().LatestDataDate, market.Summary().LastDate);
    EXPECT_EQ(News().NewsText, "<買い－2>Bは、700円の目標株価に達しました。\r\n");
    ASSERT_EQ(ATec().ATecCount, 1);
    EXPECT_EQ(ATec().ATecTable[0].銘柄ID, "7203011");
    EXPECT_EQ(LoginFlag(market), "1");
    ASSERT_TRUE(MainFrameExists());
    MDF_メイン& frame = MainFrame();
    EXPECT_TRUE(frame.isVisible());
    EXPECT_EQ(frame.windowTitle(), "選択");
    EXPECT_EQ(Views().ViewKind, 3);
    // Every issue of the market is listed, and the status bar says how many.
    const int issues = market.Summary().IssueCount;
    EXPECT_EQ(SelectionWindow().Grid().Rows(), issues + 1);
    EXPECT_EQ(frame.Panel(2)->text().toStdString(), std::to_string(issues) + " 件表示されました。");
    ASSERT_TRUE(IssueList().AllIssuesRecordset);
    EXPECT_EQ(IssueList().AllIssuesRecordset->RecordCount(), issues);
    EXPECT_EQ(IssueSelection().SijouList.size(), 12u);
    EXPECT_TRUE(QDir(QString::fromStdString(MailDataFolder())).exists());
    EXPECT_EQ(TextStores().MemoText, std::string(kMemoAsFound) + "\r\n");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    QTest::qWait(50);
    frame.grab().save(QStringLiteral(KABUTO_BINARY_DIR "/startup_main_frame.png"));

    frame.close();
    EXPECT_EQ(programEnds, 1);
    EXPECT_EQ(LoginFlag(market), "0");
    EXPECT_EQ(ReadText(market.Path() + kMemoFile), MemoFileText(TextStores().MemoText));
}

// The search saved for start-up is the first list; the analysis results are read after
// it, so its analysis condition restricts nothing yet.
TEST_F(StartupTest, ASearchSavedForStartUpIsTheFirstList) {
    MarketFixture market(TestEngine::Sqlite, MarketFixture::SmallMarket(), false);
    KABUTO_REQUIRE_MARKET(market);
    InstanceLockRelease lock;
    PrepareFolder(market);
    LogonPair pair{MarketFixture::kUserId, MarketFixture::kPassword};
    LoadSettei(pair);
    pair = {MarketFixture::kUserId, MarketFixture::kPassword};
    SearchSettei& search = Settei().Record.SearchSettei;
    search.Scope.OPT_全て = 0;
    search.Scope.OPT_指定 = -1;
    search.Scope.CHK_東プ = 1;
    search.CHK_MAxG = 1;
    search.CHK_Save = 1;
    ASSERT_TRUE(SaveSettei(pair));
    Settei() = SetteiState{};
    std::string error;
    const std::string atec = EncodeATec({{"7203011", -1, 0, 0, 0, 0}});
    ASSERT_TRUE(WriteFileAtomically(market.Path() + kATecFileName, atec, error)) << error;
    ScriptedSink sink;

    ASSERT_TRUE(Main());
    FlexGrid& grid = SelectionWindow().Grid();
    ASSERT_EQ(grid.Rows(), 3);
    EXPECT_EQ(grid.TextMatrix(1, 2), "1301");
    EXPECT_EQ(grid.TextMatrix(2, 2), "1312");
    EXPECT_EQ(MainFrame().Panel(2)->text().toStdString(), "2 件表示されました。");
    EXPECT_EQ(ATec().ATecCount, 1);
    MainFrame().close();
}

TEST_F(StartupTest, AListCommandEndsTheTextDataMode) {
    MarketFixture market(TestEngine::Sqlite, MarketFixture::SmallMarket(), false);
    KABUTO_REQUIRE_MARKET(market);
    InstanceLockRelease lock;
    PrepareFolder(market);
    SaveSignIn(MarketFixture::kUserId, MarketFixture::kPassword);
    ScriptedSink sink;
    ASSERT_TRUE(Main());
    FRM_選択& list = SelectionWindow();
    FlexGrid& grid = list.Grid();
    const int listWidth = grid.ColWidth(2);
    Selection().Routines.ShowTextDataWindow = [] { TextData().TextDataTitle = "sample.txt"; };
    list.MenuItem("MNU_データ取得")->setVisible(true);
    list.MenuItem("MNU_テキストデータ")->trigger();
    ASSERT_EQ(TextData().TextDataMode, -1);
    EXPECT_EQ(grid.Rows(), 2);
    EXPECT_FALSE(list.MenuItem("MNU_先行観測")->isEnabled());

    list.MenuItem("MNU_全銘柄")->trigger();
    EXPECT_EQ(TextData().TextDataMode, 0);
    EXPECT_EQ(grid.Rows(), market.Summary().IssueCount + 1);
    EXPECT_EQ(grid.ColWidth(2), listWidth);
    EXPECT_GT(listWidth, 0);
    EXPECT_TRUE(list.MenuItem("MNU_先行観測")->isEnabled());
    MainFrame().close();
}

TEST_F(StartupTest, WithoutASavedPairTheSignInWindowAsksAndItsCancelEnds) {
    // No settings file, and a file that saved an ID with an empty password.
    for (const bool savedId : {false, true}) {
        SCOPED_TRACE(savedId);
        ResetAllState();
        TempAppFolder folder;
        InstanceLockRelease lock;
        if (savedId) SaveSignIn("someone", "");
        ScriptedSink sink;
        bool asked = false;
        AnswerNextModalNamed(QString::fromUtf8("FRM_Logon"), [&asked](QWidget* modal) {
            asked = modal->objectName() == "FRM_Logon";
            modal->findChild<QPushButton*>("CMD_cancel")->click();
        });
        sink.Expect(MsgKind::Plain, kSignInNeededMessage);
        EXPECT_FALSE(Main());
        EXPECT_TRUE(asked);
        EXPECT_FALSE(MainFrameExists());
    }
}

TEST_F(StartupTest, ValuesTypedWithoutSavingSignInForThisRun) {
    MarketFixture market(TestEngine::Sqlite, MarketFixture::SmallMarket(), false);
    KABUTO_REQUIRE_MARKET(market);
    InstanceLockRelease lock;
    PrepareFolder(market);
    ScriptedSink sink;
    AnswerNextModalNamed(QString::fromUtf8("FRM_Logon"), [](QWidget* modal) {
        modal->findChild<QLineEdit*>("TXT_UID")->setText(MarketFixture::kUserId);
        modal->findChild<QLineEdit*>("TXT_UPW")->setText(MarketFixture::kPassword);
        modal->findChild<QCheckBox*>("CHK_SavePW")->setChecked(false);
        modal->findChild<QPushButton*>("CMD_OK")->click();
    });
    ASSERT_TRUE(Main());
    EXPECT_EQ(LoginFlag(market), "1");
    // Nothing was saved: the next start asks again.
    LogonPair saved;
    LoadSettei(saved);
    EXPECT_EQ(saved.UserId, "");
    MainFrame().close();
    EXPECT_EQ(LoginFlag(market), "0");
}

TEST_F(StartupTest, ASavedIdWithoutPasswordIsNoLockOut) {
    MarketFixture market(TestEngine::Sqlite, MarketFixture::SmallMarket(), false);
    KABUTO_REQUIRE_MARKET(market);
    InstanceLockRelease lock;
    PrepareFolder(market);
    SaveSignIn(MarketFixture::kUserId, "");
    ScriptedSink sink;
    AnswerNextModalNamed(QString::fromUtf8("FRM_Logon"), [](QWidget* modal) {
        modal->findChild<QLineEdit*>("TXT_UID")->setText(MarketFixture::kUserId);
        modal->findChild<QLineEdit*>("TXT_UPW")->setText(MarketFixture::kPassword);
        modal->findChild<QPushButton*>("CMD_OK")->click();
    });
    ASSERT_TRUE(Main());
    EXPECT_EQ(LoginFlag(market), "1");
    // The pair is saved whole: the next start signs in without asking.
    LogonPair saved;
    LoadSettei(saved);
    EXPECT_EQ(saved.UserId, MarketFixture::kUserId);
    EXPECT_EQ(saved.Password, MarketFixture::kPassword);
    MainFrame().close();
}

TEST_F(StartupTest, TheStartRemovesTheTemporariesOfAKilledWriter) {
    TempAppFolder folder;
    InstanceLockRelease lock;
    WriteText(folder.File(kMemoFile), kMemoAsFound);
    WriteText(folder.File("memo.ini.tmpAbC123"), "half a memo");
    SaveSignIn("someone", "");
    ScriptedSink sink;
    AnswerNextModalNamed(QString::fromUtf8("FRM_Logon"), [](QWidget* modal) {
        modal->findChild<QPushButton*>("CMD_cancel")->click();
    });
    sink.Expect(MsgKind::Plain, kSignInNeededMessage);
    EXPECT_FALSE(Main());
    EXPECT_FALSE(FileExists(folder.File("memo.ini.tmpAbC123")));
    EXPECT_EQ(ReadText(folder.File(kMemoFile)), kMemoAsFound);
}

// A program folder bound read-only onto itself in a mount namespace of this process's own:
// a write refused even to root, without touching the machine's mounts. Active() is false
// where the system does not allow it.
class ReadOnlyBind {
  public:
    explicit ReadOnlyBind(const std::string& folder) {
        if (unshare(CLONE_NEWNS) != 0) return;
        if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return;
        if (mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0) return;
        bound_ = folder;
        active_ =
            mount(nullptr, folder.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }
    ~ReadOnlyBind() {
        if (!bound_.empty()) umount2(bound_.c_str(), MNT_DETACH);
    }
    bool Active() const { return active_; }

  private:
    std::string bound_;
    bool active_ = false;
};

TEST_F(StartupTest, AProgramFolderWithoutALockEndsTheStartWithTheReason) {
    TempAppFolder folder;
    const std::string home = folder.Path();
    WriteText(folder.File("plain"), "");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder.File("sealed"))));
    struct Case {
        const char* what;
        std::string programFolder;
        bool readOnlyBind;
    };
    const Case cases[] = {
        {"a folder under a regular file", home + "plain/", false},
        {"a folder that is gone", home + "gone/", false},
        {"a read-only folder", home + "sealed/", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<ReadOnlyBind> sealed;
        if (c.readOnlyBind) {
            sealed = std::make_unique<ReadOnlyBind>(home + "sealed");
            if (!sealed->Active()) {
                std::printf("skipped: %s (no private mount namespace here)\n", c.what);
                continue;
            }
        }
        SetAppPath(c.programFolder);
        ScriptedSink sink;
        sink.Expect(MsgKind::Warn, InstanceLockFailedMessage());
        EXPECT_FALSE(Main());
        EXPECT_FALSE(MainFrameExists());
        EXPECT_EQ(Signin().LogonInfo.UserId, "") << "no sign-in was read or asked for";
        EXPECT_EQ(TakeInstanceLock(), InstanceLock::Failed);
        SetAppPath(home);
    }
}

TEST_F(StartupTest, AnInvalidSignInLeavesTheSignInWindowOpenUntilItCloses) {
    MarketFixture market(TestEngine::Sqlite, MarketFixture::SmallMarket(), false);
    KABUTO_REQUIRE_MARKET(market);
    InstanceLockRelease lock;
    PrepareFolder(market);
    SaveSignIn(MarketFixture::kUserId, "wrong");
    ScriptedSink sink;
    sink.Expect(MsgKind::Plain, kInvalidUserMessage);
    EXPECT_TRUE(Main()) << "the program runs on while the sign-in window is open";
    QWidget* window = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == "FRM_Logon" && widget->isVisible()) window = widget;
    }
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(MainFrameExists());
    EXPECT_EQ(LoginFlag(market), "0");
    window->close();
}

TEST_F(StartupTest, AFailureAfterTheListReportsAndLeavesTheWindowsOpen) {
    MarketFixture market(TestEngine::Sqlite, MarketFixture::SmallMarket(), false);
    KABUTO_REQUIRE_MARKET(market);
    InstanceLockRelease lock;
    PrepareFolder(market);
    SaveSignIn(MarketFixture::kUserId, MarketFixture::kPassword);
    // Without markets the market list cannot be formed.
    std::string error;
    ASSERT_TRUE(
        RunCatalogSql(CatalogConnectionString(market.Prefix(), PriceCatalogName(kDailyCatalog)),
                      "DELETE FROM TBL市場", {}, nullptr, error))
        << error;
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn)
        .Expect(MsgKind::Warn)
        .Expect(MsgKind::Warn, "GetSijou")
        .Expect(MsgKind::Warn, "main_ERR")
        .Expect(MsgKind::Info, "処理が中断されました。");
    EXPECT_TRUE(Main());
    EXPECT_TRUE(MainFrame().isVisible());
    EXPECT_EQ(LoginFlag(market), "1") << "the program runs on, signed in";
    MainFrame().close();
    EXPECT_EQ(LoginFlag(market), "0");
}

// How long a started program, or the virtual display, may take to come up or go: each wait
// ends as soon as what it waits for is there, so only a loaded machine (or a sanitizer
// build) comes near these.
constexpr int kProgramWaitMs = 120000;
constexpr int kToolWaitMs = 60000;

// The executable in a program folder of its own.
class ProgramProcess {
  public:
    // Offscreen, or on the X display `display` when one is given.
    explicit ProgramProcess(const std::string& folder, const QString& display = {}) {
        process_.setProgram(QString::fromStdString(folder + "kabuto"));
        process_.setWorkingDirectory(QString::fromStdString(folder));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"),
                           display.isEmpty() ? QStringLiteral("offscreen") : QStringLiteral("xcb"));
        if (!display.isEmpty()) environment.insert(QStringLiteral("DISPLAY"), display);
        process_.setProcessEnvironment(environment);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    }
    ~ProgramProcess() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
    bool Start() {
        process_.start();
        return process_.waitForStarted(kToolWaitMs);
    }
    QProcess& Process() { return process_; }

  private:
    QProcess process_;
};

TEST_F(StartupTest, TheProgramRunsOncePerFolderAndSignsOutWhenTheSystemEndsIt) {
    MarketFixture market(TestEngine::Sqlite, MarketFixture::SmallMarket(), false);
    KABUTO_REQUIRE_MARKET(market);
    InstanceLockRelease lock;
    ASSERT_TRUE(PrepareProgramFolder(market));
    const std::string folder = market.Path();

    ProgramProcess first(folder);
    ASSERT_TRUE(first.Start());
    QElapsedTimer clock;
    clock.start();
    while (LoginFlag(market) != "1" && clock.elapsed() < kProgramWaitMs) QTest::qWait(100);
    ASSERT_EQ(LoginFlag(market), "1") << "the program did not sign in";
    QTest::qWait(300);
    ASSERT_EQ(first.Process().state(), QProcess::Running);

    ProgramProcess second(folder);
    ASSERT_TRUE(second.Start());
    ASSERT_TRUE(second.Process().waitForFinished(kProgramWaitMs)) << "a second copy kept running";
    EXPECT_EQ(second.Process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.Process().exitCode(), 0);
    EXPECT_EQ(first.Process().state(), QProcess::Running);

    first.Process().terminate();
    ASSERT_TRUE(first.Process().waitForFinished(kProgramWaitMs));
    EXPECT_EQ(first.Process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.Process().exitCode(), 0);
    EXPECT_EQ(LoginFlag(market), "0");
    EXPECT_EQ(ReadText(folder + kMemoFile), MemoFileText(std::string(kMemoAsFound) + "\r\n"));
}

// A virtual X display for the tests that look at what the window system shows.
class VirtualDisplay {
  public:
    VirtualDisplay() {
        const QString server = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (server.isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("xwininfo")).isEmpty())
            return;
        server_.start(server,
                      {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                       QStringLiteral("0"), QStringLiteral("1280x1024x24")});
        QElapsedTimer clock;
        clock.start();
        while (!server_.canReadLine() && clock.elapsed() < kToolWaitMs)
            server_.waitForReadyRead(200);
        const QString number = QString::fromUtf8(server_.readLine()).trimmed();
        if (!number.isEmpty()) display_ = QStringLiteral(":") + number;
    }
    ~VirtualDisplay() {
        server_.kill();
        server_.waitForFinished(5000);
    }
    const QString& Display() const { return display_; }
    // The names of the display's windows, as the window system holds them.
    QString WindowNames() const {
        QProcess list;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), display_);
        list.setProcessEnvironment(environment);
        list.start(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")});
        list.waitForFinished(kToolWaitMs);
        return QString::fromUtf8(list.readAllStandardOutput());
    }

  private:
    QProcess server_;
    QString display_;
};

TEST_F(StartupTest, TheMainFramesCaptionReachesTheScreenUnchanged) {
    VirtualDisplay screen;
    if (screen.Display().isEmpty()) GTEST_SKIP() << "no virtual X display";
    MarketFixture market(TestEngine::Sqlite, MarketFixture::SmallMarket(), false);
    KABUTO_REQUIRE_MARKET(market);
    InstanceLockRelease lock;
    ASSERT_TRUE(PrepareProgramFolder(market));
    const std::string folder = market.Path();

    ProgramProcess program(folder, screen.Display());
    ASSERT_TRUE(program.Start());
    QElapsedTimer clock;
    clock.start();
    QString names;
    // The frame's window may be mapped before its caption is set: wait for the caption itself.
    while (!names.contains(QStringLiteral("\"選択\"")) && clock.elapsed() < kProgramWaitMs) {
        QTest::qWait(200);
        names = screen.WindowNames();
    }
    EXPECT_TRUE(names.contains(QStringLiteral("\"選択\""))) << names.toStdString();
    program.Process().terminate();
    ASSERT_TRUE(program.Process().waitForFinished(kProgramWaitMs));
    EXPECT_EQ(LoginFlag(market), "0");
}

}  // namespace
