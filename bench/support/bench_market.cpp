#include "support/bench_market.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "analysis/state.h"
#include "foundation/database.h"
#include "foundation/settei2_file.h"
#include "foundation/settings.h"
#include "foundation/signin.h"
#include "platform/app_path.h"
#include "platform/message_box.h"

namespace {

constexpr const char* kBenchUser = "bench";
constexpr const char* kBenchPassword = "bench001";

// A benchmark has no windows: a message goes to the error stream, and the double sign-in
// question left by a run that was stopped is answered yes.
class StderrSink : public MessageSink {
  public:
    int Show(MsgKind kind, const std::string& text, const std::string&) override {
        std::fprintf(stderr, "message: %s\n", text.c_str());
        return kind == MsgKind::YesNo ? kAnswerYes : kAnswerOk;
    }
};

StderrSink sink;

bool HasBenchUser(const std::string& prefix, std::string& error) {
    RecordsetPtr found;
    if (!RunCatalogSql(CatalogConnectionString(prefix, kUserCatalog),
                       "SELECT 1 FROM velm_user_test WHERE velm_user_id=?", {kBenchUser}, &found,
                       error))
        return false;
    return found->RecordCount() > 0;
}

}  // namespace

BenchMarket::BenchMarket(TestEngine engine, MarketSpec size) : previousAppPath_(AppPath()) {
    SetMessageSink(&sink);
    fixture_ = std::make_unique<MarketFixture>(engine, size);
    error_ = fixture_->Error();
    prefix_ = fixture_->Prefix();
    ready_ = fixture_->Ready() && ReadIssueIds();
}

BenchMarket::BenchMarket(const std::string& folder) : previousAppPath_(AppPath()) {
    SetMessageSink(&sink);
    ResetDatabase();
    Signin() = SigninState{};
    SetAppPath(folder);
    prefix_ = GetSettei2();
    if (prefix_.empty()) {
        error_ = "no settei2.ini in " + folder;
        return;
    }
    ready_ = SignIn() && ReadIssueIds();
}

BenchMarket::~BenchMarket() {
    if (!fixture_) {
        SignOutSession();
        ResetDatabase();
        Signin() = SigninState{};
        SetAppPath(previousAppPath_);
    }
    fixture_.reset();
    SetMessageSink(nullptr);
}

bool BenchMarket::SignIn() {
    std::string error;
    int32_t rowId = 0;
    const bool known = HasBenchUser(prefix_, error);
    if (!error.empty() ||
        (!known && !AddUser(prefix_, UserSpec{kBenchUser, kBenchPassword}, rowId, error))) {
        error_ = error;
        return false;
    }
    Signin().LogonInfo = {kBenchUser, kBenchPassword};
    if (SignInUser() != SigninResult::SignedIn) {
        error_ = "the sign-in failed";
        return false;
    }
    OpenPriceDatabases();
    return true;
}

bool BenchMarket::ReadIssueIds() {
    std::string statement = "SELECT 銘柄ID FROM TBL銘柄属性 ORDER BY 銘柄ID";
    RecordsetPtr rows;
    if (!ExecuteSql(Database().DailyConnection, statement, rows)) {
        error_ = "cannot list the issues";
        return false;
    }
    for (int32_t r = 0; r < rows->RecordCount(); ++r)
        issueIds_.push_back(FieldText(rows->Row(r).at(0)));
    return true;
}

std::string GivenMarketFolder(int& argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--", 2) == 0) continue;
        std::string folder = argv[i];
        for (int k = i; k + 1 < argc; ++k) argv[k] = argv[k + 1];
        --argc;
        return folder;
    }
    const char* folder = std::getenv("KABUTO_BENCH_MARKET");
    return folder ? folder : "";
}

void UseDefaultSettings() {
    ApplySetteiDefaults(Settei().Record, std::chrono::year{2026} / 1 / 5);
    ResetAnalysisState();  // every rule family
    KagiAnalysis().Today = [] { return std::string("2026/01/05"); };
}
