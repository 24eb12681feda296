// kabuto-install: creates an installation of the program. Not a user feature.
//
//   kabuto-install demo DIR [--replace]
//       SQLite catalogs in DIR, the demo user, "settei2.ini" and a synthetic market.
//   kabuto-install create DIR [--pg HOST PORT USER [PASSWORD]] [--replace]
//       the four catalogs with every table (SQLite files in DIR, or PostgreSQL databases)
//       and DIR/settei2.ini naming them.
//   kabuto-install user DIR ID [PASSWORD]
//       adds a user to the catalogs that DIR/settei2.ini names.
//   kabuto-install market DIR ISSUES DAYS [SEED]
//       fills the catalogs that DIR/settei2.ini names with a synthetic market.
//
// demo and market then run the program's own analysis over every issue, so that the list
// shows its turns, rates and observations and DIR/ATec.dat is written, as after a run the
// user started. It runs without a session (no sign-in check; user 0 has no lines), on
// the offscreen platform, since its progress bar is a widget.
//
// demo and create refuse catalogs that hold tables already: --replace drops every table
// in them, users and prices included. A password left off the command line is read from
// standard input (one line), so that it never shows in the process list.
//
// "settei2.ini" holds the connection prefix, credentials included: it is written with
// mode 0600, its one line shifted as the program's GetSettei2 reads it back.
#include <termios.h>
#include <unistd.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <span>
#include <string>
#include <vector>

#include "foundation/database.h"
#include "foundation/settings.h"
#include "foundation/state.h"
#include "installation.h"
#include "platform/app_path.h"
#include "platform/message_box.h"
#include "screening/atec_file.h"
#include "screening/manual_analysis.h"

namespace {

constexpr const char* kDemoUserId = "demo";
constexpr const char* kDemoPassword = "kabuto";

// The tool has no windows: messages of the program's routines go to the error stream.
class StderrSink : public MessageSink {
  public:
    int Show(MsgKind, const std::string& text, const std::string&) override {
        std::fprintf(stderr, "kabuto-install: %s\n", text.c_str());
        return kAnswerOk;
    }
};

int Fail(const std::string& message) {
    std::fprintf(stderr, "kabuto-install: %s\n", message.c_str());
    return 1;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: kabuto-install demo DIR [--replace]\n"
                 "       kabuto-install create DIR [--pg HOST PORT USER [PASSWORD]] [--replace]\n"
                 "       kabuto-install user DIR ID [PASSWORD]\n"
                 "       kabuto-install market DIR ISSUES DAYS [SEED]\n"
                 "A PASSWORD left out is read from standard input.\n");
    return 2;
}

// One command line: the command, its folder, the --pg and --replace options and the
// other arguments in order.
struct Invocation {
    std::string command;
    std::string folder;  // ends with "/"
    bool pg = false;
    bool replace = false;
    std::vector<std::string> args;
};

Invocation Parse(std::span<char*> argv) {
    Invocation call{argv[1], argv[2]};
    if (call.folder.empty() || call.folder.back() != '/') call.folder += '/';
    for (const char* arg : argv.subspan(3)) {
        const std::string text = arg;
        if (text == "--pg") {
            call.pg = true;
        } else if (text == "--replace") {
            call.replace = true;
        } else {
            call.args.push_back(text);
        }
    }
    return call;
}

// One line of standard input without its line end; on a terminal it is asked for and
// not echoed. False when the input ends before any line.
bool ReadPassword(const std::string& prompt, std::string& password) {
    const bool terminal = isatty(STDIN_FILENO) != 0;
    termios saved{};
    if (terminal && tcgetattr(STDIN_FILENO, &saved) == 0) {
        std::fprintf(stderr, "%s: ", prompt.c_str());
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    const bool read = static_cast<bool>(std::getline(std::cin, password));
    if (terminal) {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
        std::fputc('\n', stderr);
    }
    if (!password.empty() && password.back() == '\r') password.pop_back();
    return read;
}

// The argument at index, or the password read from standard input when it was left out.
bool ArgumentOrPassword(const Invocation& call, size_t index, const std::string& prompt,
                        std::string& password) {
    if (index < call.args.size()) {
        password = call.args[index];
        return true;
    }
    return ReadPassword(prompt, password);
}

// The prefix of an existing installation, read back the way the program reads it.
bool ReadPrefix(std::string& prefix) {
    prefix = GetSettei2();
    return !prefix.empty();
}

int AddOneUser(const std::string& prefix, const std::string& id, const std::string& password) {
    std::string error;
    int32_t rowId = 0;
    if (!AddUser(prefix, UserSpec{id, password}, rowId, error)) return Fail(error);
    std::printf("user %s added (row %d)\n", id.c_str(), rowId);
    return 0;
}

// yyyymmdd one year earlier as "yyyy/mm/dd"; 29 February becomes the 28th.
std::string OneYearBefore(int date) {
    const int month = date / 100 % 100;
    const int day = month == 2 && date % 100 == 29 ? 28 : date % 100;
    char text[16];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d", date / 10000 - 1, month, day);
    return text;
}

std::chrono::year_month_day Today() {
    return std::chrono::year_month_day{
        std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now())};
}

// The analysis run over every issue with the default settings, the five indicator
// options on and the indicators' period starting a year before the market's last day.
int AnalyseMarket(const std::string& prefix, const MarketSummary& summary) {
    Database().ConnectionPrefix = prefix;
    if (!OpenPriceDatabases()) return Fail("cannot open the price catalogs");
    SetteiRecord& record = Settei().Record;
    ApplySetteiDefaults(record, Today());
    UserSettei& user = record.UserSettei;
    user.CHK_高値圏006M = user.CHK_高値圏120M = user.CHK_MAx = user.CHK_乖離率D =
        user.CHK_出増005D = 1;
    user.DPC_開始 = OneYearBefore(summary.LastDate);
    MarketScope everyIssue;
    everyIssue.OPT_全て = -1;
    std::string sql;
    if (!MakeAnalysisIssueSql(everyIssue, sql)) return Fail("no issues to analyse");
    const bool analysed = RunAnalysisLoop(sql);
    ClosePriceDatabases();
    if (!analysed) return Fail("the analysis run failed");
    std::printf("analysis: %d issues analysed, %s written\n", summary.IssueCount, kATecFileName);
    return 0;
}

int FillMarket(const std::string& prefix, const MarketSpec& size) {
    std::string error;
    MarketSummary summary;
    if (!FillSyntheticMarket(prefix, size, summary, error)) return Fail(error);
    std::printf("market: %d issues, %lld daily rows, %d to %d\n", summary.IssueCount,
                static_cast<long long>(summary.DailyRows), summary.FirstDate, summary.LastDate);
    return AnalyseMarket(prefix, summary);
}

std::string JoinNames(const std::vector<std::string>& names) {
    std::string joined;
    for (const std::string& name : names) joined += (joined.empty() ? "" : ", ") + name;
    return joined;
}

// Creating drops every table of the catalogs: an installation in use is kept unless the
// caller asked for it to go.
int RefuseCatalogsInUse(const std::string& prefix) {
    std::string error;
    std::vector<std::string> held;
    if (!FindCatalogsWithTables(prefix, held, error)) return Fail(error);
    if (held.empty()) return 0;
    return Fail("the catalogs " + JoinNames(held) +
                " hold tables already; nothing was changed. --replace drops every table in "
                "them, users and prices included, and creates them empty");
}

int Create(const Invocation& call, const std::string& prefix) {
    if (!call.replace) {
        if (int status = RefuseCatalogsInUse(prefix)) return status;
    }
    std::string error;
    if (!CreateCatalogs(prefix, error)) return Fail(error);
    if (!WriteSettei2(call.folder, prefix, error)) return Fail(error);
    std::printf("catalogs created; %s%s written\n", call.folder.c_str(), kSettei2FileName);
    return 0;
}

int RunDemo(const Invocation& call) {
    // The demo folder names its catalogs relative to itself, so it can be moved.
    const std::string prefix = SqlitePrefix("./");
    if (int status = Create(call, prefix)) return status;
    if (int status = AddOneUser(prefix, kDemoUserId, kDemoPassword)) return status;
    return FillMarket(prefix, kDemoMarket);
}

int RunCreateSqlite(const Invocation& call) {
    return Create(call, SqlitePrefix(call.folder));
}

int RunCreatePostgres(const Invocation& call) {
    std::string password;
    if (!ArgumentOrPassword(call, 3, "password of " + call.args[2], password))
        return Fail("no password on standard input");
    return Create(call, PostgresPrefix(call.args[0], std::atoi(call.args[1].c_str()), call.args[2],
                                       password));
}

int RunUser(const Invocation& call) {
    std::string prefix;
    if (!ReadPrefix(prefix)) return Fail("cannot read settei2.ini");
    std::string password;
    if (!ArgumentOrPassword(call, 1, "password of " + call.args[0], password))
        return Fail("no password on standard input");
    // The program asks again for a sign-in without a password, so such a user could
    // never sign in.
    if (password.empty()) return Fail("the password is empty");
    return AddOneUser(prefix, call.args[0], password);
}

int RunMarket(const Invocation& call) {
    std::string prefix;
    if (!ReadPrefix(prefix)) return Fail("cannot read settei2.ini");
    MarketSpec size{std::atoi(call.args[0].c_str()), std::atoi(call.args[1].c_str())};
    if (call.args.size() == 3)
        size.Seed = static_cast<uint32_t>(std::strtoul(call.args[2].c_str(), nullptr, 10));
    if (size.Issues < 0 || size.Days < 1) return Usage();
    return FillMarket(prefix, size);
}

// The command lines the tool takes: the command, whether --pg is given, how many other
// arguments, whether --replace may be given, and what runs.
struct CommandShape {
    const char* command;
    bool pg;
    size_t minArgs, maxArgs;
    bool replaceAllowed;
    int (*run)(const Invocation&);
};

const CommandShape kCommands[] = {
    {"demo", false, 0, 0, true, RunDemo},
    {"create", false, 0, 0, true, RunCreateSqlite},
    {"create", true, 3, 4, true, RunCreatePostgres},
    {"user", false, 1, 2, false, RunUser},
    {"market", false, 2, 3, false, RunMarket},
};

int Run(int argc, char** argv) {
    if (argc < 3) return Usage();
    const Invocation call = Parse(std::span<char*>(argv, static_cast<size_t>(argc)));
    // Relative SQLite folders in a connection prefix are the program's folder.
    SetAppPath(call.folder);
    for (const CommandShape& shape : kCommands) {
        if (call.command != shape.command || call.pg != shape.pg) continue;
        if (call.args.size() < shape.minArgs || call.args.size() > shape.maxArgs) break;
        if (call.replace && !shape.replaceAllowed) break;
        return shape.run(call);
    }
    return Usage();
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    StderrSink sink;
    SetMessageSink(&sink);
    const int status = Run(argc, argv);
    ResetDatabase();
    return status;
}
