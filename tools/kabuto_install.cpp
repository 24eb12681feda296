// kabuto-install: creates an installation of the program. Not a user feature.
//
//   kabuto-install demo DIR
//       SQLite catalogs in DIR, the demo user, "settei2.ini" and a synthetic market.
//   kabuto-install create DIR [--pg HOST PORT USER PASSWORD]
//       the four catalogs with every table (SQLite files in DIR, or PostgreSQL databases)
//       and DIR/settei2.ini naming them.
//   kabuto-install user DIR ID PASSWORD
//       adds a user to the catalogs that DIR/settei2.ini names.
//   kabuto-install market DIR ISSUES DAYS [SEED]
//       fills the catalogs that DIR/settei2.ini names with a synthetic market.
//
// "settei2.ini" holds the connection prefix, credentials included: it is written with
// mode 0600, its one line shifted as the program's GetSettei2 reads it back.
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "foundation/database.h"
#include "installation.h"
#include "platform/app_path.h"
#include "platform/message_box.h"

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
                 "usage: kabuto-install demo DIR\n"
                 "       kabuto-install create DIR [--pg HOST PORT USER PASSWORD]\n"
                 "       kabuto-install user DIR ID PASSWORD\n"
                 "       kabuto-install market DIR ISSUES DAYS [SEED]\n");
    return 2;
}

std::string Folder(const char* arg) {
    std::string folder = arg;
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
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

int FillMarket(const std::string& prefix, const MarketSpec& size) {
    std::string error;
    MarketSummary summary;
    if (!FillSyntheticMarket(prefix, size, summary, error)) return Fail(error);
    std::printf("market: %d issues, %lld daily rows, %d to %d\n", summary.IssueCount,
                static_cast<long long>(summary.DailyRows), summary.FirstDate, summary.LastDate);
    return 0;
}

int Create(const std::string& folder, const std::string& prefix) {
    std::string error;
    if (!CreateCatalogs(prefix, error)) return Fail(error);
    if (!WriteSettei2(folder, prefix, error)) return Fail(error);
    std::printf("catalogs created; %s%s written\n", folder.c_str(), kSettei2FileName);
    return 0;
}

int Run(int argc, char** argv) {
    if (argc < 3) return Usage();
    const std::string command = argv[1];
    const std::string folder = Folder(argv[2]);
    // Relative SQLite folders in a connection prefix are the program's folder.
    SetAppPath(folder);
    if (command == "demo" && argc == 3) {
        // The demo folder names its catalogs relative to itself, so it can be moved.
        const std::string prefix = SqlitePrefix("./");
        if (int status = Create(folder, prefix)) return status;
        if (int status = AddOneUser(prefix, kDemoUserId, kDemoPassword)) return status;
        return FillMarket(prefix, MarketSpec{60, 1500});
    }
    if (command == "create" && argc == 3) return Create(folder, SqlitePrefix(folder));
    if (command == "create" && argc == 8 && std::string(argv[3]) == "--pg")
        return Create(folder, PostgresPrefix(argv[4], std::atoi(argv[5]), argv[6], argv[7]));
    std::string prefix;
    if (command == "user" && argc == 5) {
        if (!ReadPrefix(prefix)) return Fail("cannot read settei2.ini");
        return AddOneUser(prefix, argv[3], argv[4]);
    }
    if (command == "market" && (argc == 5 || argc == 6)) {
        if (!ReadPrefix(prefix)) return Fail("cannot read settei2.ini");
        MarketSpec size{std::atoi(argv[3]), std::atoi(argv[4])};
        if (argc == 6) size.Seed = static_cast<uint32_t>(std::strtoul(argv[5], nullptr, 10));
        if (size.Issues < 0 || size.Days < 1) return Usage();
        return FillMarket(prefix, size);
    }
    return Usage();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    StderrSink sink;
    SetMessageSink(&sink);
    const int status = Run(argc, argv);
    ResetDatabase();
    return status;
}
