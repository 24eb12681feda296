// ctest-labels: download faults
#include "acquisition/auto_download.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTcpServer>
#include <fstream>
#include <map>
#include <sstream>

#include "acquisition/mail_data_window.h"
#include "acquisition/state.h"
#include "foundation/database.h"
#include "foundation/startup.h"
#include "foundation/state.h"
#include "platform/app_path.h"
#include "platform/atomic_file.h"
#include "portfolio/state.h"
#include "support/market_fixture.h"
#include "support/modal.h"
#include "support/scripted_sink.h"
#include "support/zip_fixture.h"
#include "ui/state.h"
#include "views/main_frame.h"

namespace {

using Lines = std::vector<std::string>;

constexpr const char* kUid = "ABCDEFGHIJ01";
constexpr const char* kPassword = "pass1234";
constexpr const char* kQuery = "?uid=ABCDEFGHIJ01_pass1234";
constexpr const char* kConnectFailed = "ｻｰﾊﾞｰとの接続に失敗しました。";
constexpr const char* kAuthFailed = "認証に失敗しました。";
constexpr const char* kDownloadFailed = "ﾃﾞｰﾀのﾀﾞｳﾝﾛｰﾄﾞに失敗しました。";
constexpr const char* kInterrupted = "処理が中断されました。";
constexpr const char* kFinished = "処理が終了しました。";
// The sign-in window comes after a request or its timeout: a loaded machine needs time.
constexpr int kModalWaitMs = 30000;

// The fake data server of tests/acquisition, run as its own process on a free port.
class FakeDataServer {
  public:
    explicit FakeDataServer(const std::string& folder) : folder_(folder) {
        QDir().mkpath(QString::fromStdString(folder_ + "/files"));
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start("python3",
                       {QString(KABUTO_SOURCE_DIR) + "/tests/acquisition/fake_data_server.py",
                        QString::fromStdString(folder_)});
        if (!process_.waitForStarted(20000)) return;
        while (!process_.canReadLine() && process_.waitForReadyRead(20000)) {
        }
        port_ = process_.readLine().trimmed().toInt();
    }
    ~FakeDataServer() {
        process_.kill();
        process_.waitForFinished(5000);
    }
    int Port() const { return port_; }
    std::string Address() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }
    void Serve(const std::string& name, const std::string& bytes) {
        std::ofstream(folder_ + "/files/" + name, std::ios::binary) << bytes;
    }
    // faults.json's members, as JSON text: "\"name\": {...}, ...".
    void Faults(const std::string& members) {
        std::ofstream(folder_ + "/faults.json") << "{" << members << "}";
    }
    // The request lines, as "GET /path HTTP/1.1".
    Lines Requests() const {
        Lines lines;
        std::ifstream log(folder_ + "/requests.log");
        for (std::string line; std::getline(log, line);) lines.push_back(line);
        return lines;
    }
    void ForgetRequests() { std::remove((folder_ + "/requests.log").c_str()); }

  private:
    std::string folder_;
    QProcess process_;
    int port_ = 0;
};

std::string Get(const std::string& file) {
    return std::string("GET /") + file + kQuery + " HTTP/1.1";
}

Lines ArchiveRequests(const std::string& day) {
    return {Get(day + ".zip"), Get("S" + day + ".zip"), Get("I" + day + ".zip")};
}

// The bytes of a zip holding one member, made once: a zip made again a second later carries
// another modification time, so the served and the expected bytes must be the same make.
std::string ZipBytes(const std::string& member) {
    static std::map<std::string, std::string> made;
    if (const auto found = made.find(member); found != made.end()) return found->second;
    const std::string path = QDir::tempPath().toStdString() + "/kabuto-download-fixture.zip";
    MakeZip(path, {{member, "daily rows of " + member}});
    std::string bytes;
    ReadWholeFile(path, bytes);
    std::remove(path.c_str());
    return made[member] = bytes;
}

std::string Stored(const std::string& name) {
    std::string bytes;
    if (!ReadWholeFile(MailDataFolder() + name, bytes)) return "<none>";
    return bytes;
}

class AutoDownloadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(market.Ready()) << market.Error();
        ASSERT_GT(server.Port(), 0);
        MakeMailDataFolder();
        std::string error;
        ASSERT_TRUE(
            WriteFileAtomically(AppPath() + kDataServerFileName, server.Address() + "\n", error));
        Settei().Record.UserSettei.CHK_DGAuto = 1;
        Signin().LogonInfo = {kUid, kPassword};
        Download().TransferTimeoutMs = 1500;
        ChildWindows().RefreshIssueList = [this] { ++refreshed; };
        heldDay = HeldDay();
    }
    void TearDown() override {
        Download() = DownloadState{};
        DestroyMainFrame();
    }
    // The newest day the reference index issue has a daily row on.
    std::string HeldDay() {
        std::string sql = "SELECT MAX(日付) FROM TBL日次 WHERE 銘柄ID = '0101100'";
        RecordsetPtr rs;
        EXPECT_TRUE(ExecuteSql(Database().DailyConnection, sql, rs));
        return FieldText(rs->Field(0));
    }
    // Serves the three archives of each day.
    void ServeDays(const Lines& days) {
        for (const std::string& day : days) {
            for (const char* prefix : {"", "S", "I"})
                server.Serve(prefix + day + ".zip", ZipBytes(prefix + day + ".txt"));
        }
    }
    // Answers the next sign-in window with the pair, or with its cancel.
    void AnswerSignIn(const std::string& uid, const std::string& password, bool ok = true) {
        AnswerNextModalNamed(
            "FRM_Logon",
            [uid, password, ok](QWidget* window) {
                window->findChild<QLineEdit*>("TXT_UID")->setText(QString::fromStdString(uid));
                window->findChild<QLineEdit*>("TXT_UPW")->setText(QString::fromStdString(password));
                window->findChild<QPushButton*>(ok ? "CMD_OK" : "CMD_cancel")->click();
            },
            kModalWaitMs);
    }
    void Run() {
        AcquireData(true);
        EXPECT_TRUE(sink.AllShown());
        EXPECT_TRUE(MainFrame().isEnabled());
    }

    MarketFixture market;
    ScriptedSink sink;
    FakeDataServer server{AppPath() + "server"};
    std::string heldDay;
    int refreshed = 0;
};

TEST(ServerDateList, KeepsTheFirstFiveRealDaysFollowedByASemicolon) {
    const std::vector<std::pair<std::string, Lines>> cases = {
        {"20240105;20240104;", {"20240105", "20240104"}},
        {"20240105;20240104", {"20240105"}},
        {"20240105", {}},
        {"", {}},
        {"20240107;20240106;20240105;20240104;20240103;20240102;20240101;",
         {"20240107", "20240106", "20240105", "20240104", "20240103"}},
        {"20240105;;../x;2024013x;\r\n20240102\r\n;", {"20240105", "20240102"}},
        {"20240105 OR 1=1;20240230;20240104;", {"20240104"}},
    };
    for (const auto& [body, dates] : cases) {
        const DateList list = ParseServerDateList(body);
        EXPECT_EQ(list.Dates, dates) << body;
        EXPECT_EQ(list.Count, static_cast<int32_t>(dates.size())) << body;
    }
}

TEST(ServerAddress, PercentEncodesTheCredentialsOnly) {
    EXPECT_EQ(RequestAddress("http://h/p/", "datalist.txt", {"ABCdef012345", "pw&=/ x%"}),
              "http://h/p/datalist.txt?uid=ABCdef012345_pw%26%3D%2F%20x%25");
}

TEST_F(AutoDownloadTest, FetchesTheThreeArchivesOfEachMissingDayAndEndsFinished) {
    server.Serve("datalist.txt", "20300108;20300107;" + heldDay + ";");
    ServeDays({"20300108", "20300107"});
    News().NewsText = "";
    sink.Expect(MsgKind::Info, kFinished);
    Run();

    Lines expected = {Get("datalist.txt")};
    for (const std::string day : {"20300108", "20300107"}) {
        for (const std::string& request : ArchiveRequests(day)) expected.push_back(request);
        EXPECT_EQ(Stored("S" + day + ".zip"), ZipBytes("S" + day + ".txt"));
    }
    EXPECT_EQ(server.Requests(), expected);
    EXPECT_EQ(Download().FetchedDates.Dates, (Lines{"20300108", "20300107"}));
    EXPECT_EQ(refreshed, 1);
    EXPECT_EQ(Stored(heldDay + ".zip"), "<none>");
}

TEST_F(AutoDownloadTest, EveryDayHeldRequestsNoArchiveAndSaysTheDataAreCurrent) {
    server.Serve("datalist.txt", heldDay + ";");
    const std::string shown =
        heldDay.substr(0, 4) + "/" + heldDay.substr(4, 2) + "/" + heldDay.substr(6, 2);
    sink.Expect(MsgKind::Info, shown + "～" + shown + "のﾃﾞｰﾀは最新です｡");
    Run();
    EXPECT_EQ(server.Requests(), Lines{Get("datalist.txt")});
    EXPECT_EQ(refreshed, 0);

    server.Serve("datalist.txt", "");
    sink.Expect(MsgKind::Info, "取得可能なﾃﾞｰﾀがありせん。");
    Run();
}

TEST_F(AutoDownloadTest, TheListIsJudgedByItsStatusAndContentType) {
    struct Case {
        std::string fault;
        bool accepted;
    };
    const std::vector<Case> cases = {
        {R"("datalist.txt": {"status": "HTTP/1.1 302 Found", "headers": ["Content-Type: text/plain"]})",
         true},
        {R"("datalist.txt": {"status": "HTTP/1.1 404 Not Found", "headers": ["Content-Type: text/plain"]})",
         false},
        {R"("datalist.txt": {"headers": ["Content-Type: Text/Plain"]})", false},
    };
    server.Serve("datalist.txt", "");
    for (const Case& c : cases) {
        server.Faults(c.fault);
        if (c.accepted) {
            sink.Expect(MsgKind::Info, "取得可能なﾃﾞｰﾀがありせん。");
        } else {
            // The failed attempt asks for the sign-in again; its cancel ends the run.
            sink.Expect(MsgKind::Warn, kAuthFailed).Expect(MsgKind::Info, kInterrupted);
            AnswerSignIn(kUid, kPassword, false);
        }
        Run();
    }
}

TEST_F(AutoDownloadTest, AMalformedSavedPasswordReachesNoServerAndTheSignInCancelEndsTheRun) {
    Signin().LogonInfo = {kUid, "pass123"};
    sink.Expect(MsgKind::Warn, kAuthFailed).Expect(MsgKind::Info, kInterrupted);
    AnswerSignIn(kUid, kPassword, false);
    Run();
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_EQ(refreshed, 0);
    EXPECT_EQ(Download().FetchedDates.Count, 0);
}

TEST_F(AutoDownloadTest, AFailedArchiveKeepsTheFirstAndTheNextSignInFetchesAllThreeAgain) {
    server.Serve("datalist.txt", "20300108;");
    ServeDays({"20300108"});
    server.Faults(R"("S20300108.zip": {"status": "HTTP/1.1 404 Not Found"})");
    // The second attempt signs in with the window; the fault is gone by then.
    sink.Expect(MsgKind::Warn, kDownloadFailed).Expect(MsgKind::Info, kFinished);
    AnswerNextModalNamed(
        "FRM_Logon",
        [this](QWidget* window) {
            server.Faults("");
            EXPECT_EQ(Stored("20300108.zip"), ZipBytes("20300108.txt"));
            EXPECT_EQ(Stored("S20300108.zip"), "<none>");
            window->findChild<QLineEdit*>("TXT_UID")->setText(kUid);
            window->findChild<QLineEdit*>("TXT_UPW")->setText(kPassword);
            window->findChild<QPushButton*>("CMD_OK")->click();
        },
        kModalWaitMs);
    Run();
    Lines expected = {Get("datalist.txt"), Get("20300108.zip"), Get("S20300108.zip"),
                      Get("datalist.txt")};
    for (const std::string& request : ArchiveRequests("20300108")) expected.push_back(request);
    EXPECT_EQ(server.Requests(), expected);
}

TEST_F(AutoDownloadTest, OnlyAWholeArchiveIsStoredAndItReplacesALongerOldFile) {
    server.Serve("datalist.txt", "20300108;");
    ServeDays({"20300108"});
    const std::string archive = ZipBytes("20300108.txt");
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(MailDataFolder() + "20300108.zip",
                                    archive + std::string(5000, 'x'), error));
    const std::string length = std::to_string(archive.size());
    const Lines faults = {
        R"("20300108.zip": {"status": "HTTP/1.1 404 Not Found", "headers": ["Content-Type: application/x-zip-compressed"]})",
        R"("20300108.zip": {"length": null})",
        R"("20300108.zip": {"length": ")" + std::to_string(archive.size() + 10) + R"("})",
        R"("20300108.zip": {"cut": 20})",
        R"("20300108.zip": {"headers": ["Content-Type: text/html"]})",
    };
    for (const std::string& fault : faults) {
        server.Faults(fault);
        sink.Expect(MsgKind::Warn, kDownloadFailed).Expect(MsgKind::Info, kInterrupted);
        AnswerSignIn(kUid, kPassword, false);
        Run();
        EXPECT_EQ(Stored("20300108.zip").size(), archive.size() + 5000) << fault;
    }
    server.Faults("");
    sink.Expect(MsgKind::Info, kFinished);
    Run();
    EXPECT_EQ(Stored("20300108.zip"), archive);
    EXPECT_TRUE(QDir(QString::fromStdString(MailDataFolder()))
                    .entryList({"*.tmp*", ".*tmp*"}, QDir::Files | QDir::Hidden)
                    .isEmpty());
}

TEST_F(AutoDownloadTest, ARefusedOrSilentServerGivesTheConnectionMessage) {
    QTcpServer unused;
    ASSERT_TRUE(unused.listen(QHostAddress::LocalHost));
    const std::string refused = "http://127.0.0.1:" + std::to_string(unused.serverPort()) + "/";
    unused.close();
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(AppPath() + kDataServerFileName, refused, error));
    sink.Expect(MsgKind::Warn, kConnectFailed).Expect(MsgKind::Info, kInterrupted);
    AnswerSignIn(kUid, kPassword, false);
    Run();

    ASSERT_TRUE(WriteFileAtomically(AppPath() + kDataServerFileName, server.Address(), error));
    server.Faults(R"("datalist.txt": {"silent": true})");
    sink.Expect(MsgKind::Warn, kConnectFailed).Expect(MsgKind::Info, kInterrupted);
    AnswerSignIn(kUid, kPassword, false);
    Run();
    for (const auto& [kind, text] : sink.Shown()) {
        EXPECT_EQ(text.find("127.0.0.1"), std::string::npos) << text;
        EXPECT_EQ(text.find(kPassword), std::string::npos) << text;
    }
}

// A server that keeps sending a byte now and then holds no request past its deadline, and
// of the date list only the bytes used are waited for.
TEST_F(AutoDownloadTest, ASlowServerMeetsTheDeadlineAndTheListIsReadOnlyAsFarAsUsed) {
    Download().DateListDeadlineMs = 3000;
    Download().ArchiveDeadlineMs = 3000;
    // The list's first 4,096 bytes, then a connection held open with more announced.
    const std::string list = "20300108;" + std::string(4096, ' ');
    server.Serve("datalist.txt", list);
    ServeDays({"20300108"});
    server.Faults(R"("datalist.txt": {"length": "100000000", "hold": 30})");
    sink.Expect(MsgKind::Info, kFinished);
    Run();
    EXPECT_EQ(Stored("20300108.zip"), ZipBytes("20300108.txt"));

    // A byte every 0.2 s never trips the 1.5 s inactivity timeout; the deadline ends it.
    server.Faults(R"("S20300108.zip": {"trickle": 0.2})");
    std::remove((MailDataFolder() + "S20300108.zip").c_str());
    sink.Expect(MsgKind::Warn, kConnectFailed).Expect(MsgKind::Info, kInterrupted);
    AnswerSignIn(kUid, kPassword, false);
    Run();
    EXPECT_EQ(Stored("S20300108.zip"), "<none>");
    EXPECT_TRUE(QDir(QString::fromStdString(MailDataFolder()))
                    .entryList({"*.tmp*"}, QDir::Files | QDir::Hidden)
                    .isEmpty());
}

TEST_F(AutoDownloadTest, AFinishedRunShowsTheNewsWhenThereIsNews) {
    server.Serve("datalist.txt", "20300108;");
    ServeDays({"20300108"});
    News().NewsText = "ﾆｭｰｽ\r\n";
    sink.Expect(MsgKind::Info, kFinished);
    bool newsShown = false;
    AnswerNextModalNamed(
        "FRM_News",
        [&newsShown](QWidget* window) {
            newsShown = true;
            window->close();
        },
        kModalWaitMs);
    Run();
    EXPECT_TRUE(newsShown);
    EXPECT_EQ(refreshed, 1);
}

}  // namespace
