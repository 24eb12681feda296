#include "installation.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <vector>

#include "foundation/database.h"
#include "foundation/sql_builders.h"
#include "platform/app_path.h"
#include "platform/atomic_file.h"
#include "platform/cp932.h"

namespace {

// Every table and column is unquoted, so the same statements run on both engines
// (PostgreSQL folds the ASCII letters of unquoted names to lower case).
const char* const kDailySchema[] = {
    "CREATE TABLE TBL市場 (市場コード TEXT NOT NULL PRIMARY KEY, 市場名 TEXT, 略称 TEXT, 表示順 "
    "INTEGER)",
    "CREATE TABLE TBL業種 (業種コード TEXT NOT NULL PRIMARY KEY, 業種名 TEXT)",
    "CREATE TABLE TBL銘柄属性 (銘柄ID TEXT NOT NULL PRIMARY KEY, 銘柄名 TEXT, 注目 INTEGER DEFAULT "
    "0, "
    "証券コード TEXT, 市場コード TEXT, 業種コード TEXT, 売買単位 INTEGER, 最終日 INTEGER, 前日比 "
    "DOUBLE PRECISION, "
    "株価 DOUBLE PRECISION, 出来高 DOUBLE PRECISION, 上昇率 DOUBLE PRECISION, 下落率 DOUBLE "
    "PRECISION, メモ TEXT, "
    "法則日 INTEGER, 法則 TEXT, 転換日 INTEGER, 転換状況 TEXT, 転換法則 TEXT, "
    "斜線K INTEGER DEFAULT 0, 斜線D INTEGER DEFAULT 0, 斜線W INTEGER DEFAULT 0, 斜線M INTEGER "
    "DEFAULT 0, "
    "関門K INTEGER DEFAULT 0, 関門D INTEGER DEFAULT 0, 関門W INTEGER DEFAULT 0, 関門M INTEGER "
    "DEFAULT 0, "
    "順次株価 DOUBLE PRECISION, 順次法則 TEXT, 順次観測 TEXT, 順次観測日 INTEGER, "
    "逆次株価 DOUBLE PRECISION, 逆次法則 TEXT, 逆次観測 TEXT, 逆次観測日 INTEGER)",
    "CREATE TABLE TBL日次 (銘柄ID TEXT NOT NULL, 日付 INTEGER NOT NULL, 始値 DOUBLE PRECISION, "
    "高値 DOUBLE PRECISION, 安値 DOUBLE PRECISION, 終値 DOUBLE PRECISION, 出来高 DOUBLE PRECISION, "
    "PRIMARY KEY (銘柄ID, 日付))",
    "CREATE TABLE TBL分割係数 (銘柄ID TEXT NOT NULL, 日付 INTEGER NOT NULL, 分割係数 DOUBLE "
    "PRECISION, "
    "PRIMARY KEY (銘柄ID, 日付))",
    "CREATE TABLE TBL斜線 (銘柄ID TEXT NOT NULL, 線種 INTEGER NOT NULL, 番号 INTEGER NOT NULL, "
    "上値左日付 INTEGER, 上値左価格 DOUBLE PRECISION, 上値右位置 INTEGER, 上値右価格 DOUBLE "
    "PRECISION, "
    "下値左日付 INTEGER, 下値左価格 DOUBLE PRECISION, 下値右位置 INTEGER, 下値右価格 DOUBLE "
    "PRECISION, "
    "user_id INTEGER NOT NULL, PRIMARY KEY (銘柄ID, 線種, 番号, user_id))",
    "CREATE TABLE TBL関門 (銘柄ID TEXT NOT NULL, 線種 INTEGER NOT NULL, 番号 INTEGER NOT NULL, "
    "上限 DOUBLE PRECISION, 下限 DOUBLE PRECISION, user_id INTEGER NOT NULL, PRIMARY KEY (銘柄ID, "
    "線種, 番号, user_id))",
};

std::string PeriodSchema(const char* table) {
    return std::string("CREATE TABLE ") + table +
           " (銘柄ID TEXT NOT NULL, 開始日 INTEGER NOT NULL, 終了日 INTEGER, 始値 DOUBLE "
           "PRECISION, "
           "高値 DOUBLE PRECISION, 安値 DOUBLE PRECISION, 終値 DOUBLE PRECISION, 出来高 DOUBLE "
           "PRECISION, "
           "PRIMARY KEY (銘柄ID, 開始日))";
}

// login_flg is the fifth column: the sign-in reads it by position.
const char* const kUserSchema =
    "CREATE TABLE velm_user_test (velm_user_test_id INTEGER NOT NULL PRIMARY KEY, velm_user_id "
    "TEXT NOT NULL, "
    "velm_user_pwd TEXT NOT NULL, yuko_flg TEXT DEFAULT '1', login_flg TEXT DEFAULT '0', del_flg "
    "TEXT DEFAULT '0', "
    "up_date TEXT)";

std::string Conn(const std::string& prefix, const std::string& catalog) {
    return CatalogConnectionString(prefix, catalog);
}

bool Run(const std::string& connection, const std::string& statement, std::string& error,
         RecordsetPtr* recordset = nullptr, const std::vector<FieldValue>& parameters = {}) {
    return RunCatalogSql(connection, statement, parameters, recordset, error);
}

std::string SqliteFolder(const std::string& prefix) {
    const std::string key = "Data Source=";
    const size_t at = prefix.find(key);
    if (at == std::string::npos) return "";
    const size_t end = prefix.find(';', at);
    std::string folder = prefix.substr(at + key.size(), end - at - key.size());
    if (folder.empty() || folder.front() != '/') folder = AppPath() + folder;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

// The user catalog holds the passwords as the sign-in compares them: only its owner may
// read its file, as "settei2.ini". The price catalogs take the umask's bits.
unsigned CatalogFileMode(const std::string& catalog) {
    return catalog == kUserCatalog ? 0600 : 0666;
}

std::string SqliteCatalogFile(const std::string& prefix, const std::string& catalog) {
    return SqliteFolder(prefix) + catalog + ".sqlite3";
}

// Makes the SQLite file of a catalog when missing. The user catalog's file is narrowed to
// its owner even when it was there already (open's mode reaches a new file only), since
// its rows are about to be written anew.
bool EnsureSqliteCatalog(const std::string& prefix, const std::string& catalog,
                         std::string& error) {
    QDir().mkpath(QString::fromStdString(SqliteFolder(prefix)));
    const std::string file = SqliteCatalogFile(prefix, catalog);
    const unsigned mode = CatalogFileMode(catalog);
    const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, mode);
    if (fd < 0) {
        error = "cannot create " + file + ": " + std::strerror(errno);
        return false;
    }
    const bool ownerOnly = (mode & 077) == 0;
    const bool narrowed = !ownerOnly || fchmod(fd, mode) == 0;
    if (!narrowed) error = "cannot restrict " + file + ": " + std::strerror(errno);
    close(fd);
    return narrowed;
}

// The databases of the PostgreSQL server that the prefix names.
bool PostgresDatabases(const std::string& prefix, std::set<std::string>& names,
                       std::string& error) {
    const std::string server = Conn(prefix, "postgres");
    RecordsetPtr found;
    const bool ok = Run(server, "SELECT datname FROM pg_database", error, &found);
    DisconnectCatalog(server);
    if (!ok) return false;
    for (found->MoveFirst(); !found->Eof(); found->MoveNext())
        names.insert(FieldText(found->Field(0)));
    return true;
}

bool EnsurePostgresCatalog(const std::string& prefix, const std::string& catalog,
                           std::string& error) {
    std::set<std::string> names;
    if (!PostgresDatabases(prefix, names, error)) return false;
    if (names.count(catalog)) return true;
    const std::string server = Conn(prefix, "postgres");
    const bool ok = Run(
        server, "CREATE DATABASE \"" + catalog + "\" ENCODING 'UTF8' TEMPLATE template0", error);
    DisconnectCatalog(server);
    return ok;
}

bool EnsureCatalog(const std::string& prefix, const std::string& catalog, std::string& error) {
    switch (EngineOf(prefix)) {
        case SqlEngine::Sqlite:
            return EnsureSqliteCatalog(prefix, catalog, error);
        case SqlEngine::Postgres:
            return EnsurePostgresCatalog(prefix, catalog, error);
        case SqlEngine::Unknown:
            break;
    }
    error = "unknown engine in the connection prefix";
    return false;
}

// Which of the catalogs are there already (files or databases).
bool PresentCatalogs(const std::string& prefix, const std::vector<std::string>& catalogs,
                     std::vector<std::string>& present, std::string& error) {
    std::set<std::string> databases;
    const bool sqlite = EngineOf(prefix) == SqlEngine::Sqlite;
    if (!sqlite && !PostgresDatabases(prefix, databases, error)) return false;
    for (const std::string& catalog : catalogs) {
        const bool there =
            sqlite ? FileExists(SqliteCatalogFile(prefix, catalog)) : databases.count(catalog) > 0;
        if (there) present.push_back(catalog);
    }
    return true;
}

// The statement that counts the tables of the catalog it runs on, by engine.
std::string TableCountSql(SqlEngine engine) {
    if (engine == SqlEngine::Sqlite) return "SELECT COUNT(*) FROM sqlite_master WHERE type='table'";
    return "SELECT COUNT(*) FROM information_schema.tables WHERE table_schema=current_schema()";
}

// The four catalogs of an installation, in the order they are made.
std::vector<std::string> InstallationCatalogs() {
    return {PriceCatalogName(kDailyCatalog), PriceCatalogName(kWeeklyCatalog),
            PriceCatalogName(kMonthlyCatalog), std::string(kUserCatalog)};
}

// SQLite keeps the price tables clustered on their key (issue, date): an issue's bars are
// one run of pages read in key order, and the key is not stored a second time in an
// index beside a table ordered by row number. PostgreSQL keeps its heap and primary key.
std::string ClusteredOnKey(const std::string& create, const std::string& table, SqlEngine engine) {
    const bool priceTable = table == kDailyTable || table == kWeeklyTable || table == kMonthlyTable;
    return engine == SqlEngine::Sqlite && priceTable ? create + " WITHOUT ROWID" : create;
}

bool CreateTables(const std::string& connection, const std::vector<std::string>& schema,
                  std::string& error) {
    for (const std::string& create : schema) {
        const size_t start = std::string("CREATE TABLE ").size();
        const std::string table = create.substr(start, create.find(' ', start) - start);
        if (!Run(connection, "DROP TABLE IF EXISTS " + table, error)) return false;
        if (!Run(connection, ClusteredOnKey(create, table, EngineOf(connection)), error))
            return false;
    }
    return true;
}

// A small deterministic generator, the same on every platform.
class Generator {
  public:
    explicit Generator(uint32_t seed) : state_(seed * 2654435761u + 1) {}
    double Uniform() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return static_cast<double>(state_ >> 11) / static_cast<double>(1ull << 53);
    }
    // Roughly normal: the sum of three uniforms, centred and scaled to variance one.
    double Normal() { return (Uniform() + Uniform() + Uniform() - 1.5) * 2.0; }

  private:
    uint64_t state_;
};

struct Bar {
    int date;
    double open, high, low, close, volume;
};

std::vector<int> TradingDays(int count) {
    using namespace std::chrono;
    std::vector<int> days;
    sys_days day = sys_days{year{2004} / January / 5};  // a Monday
    while (static_cast<int>(days.size()) < count) {
        const weekday wd{day};
        if (wd != Saturday && wd != Sunday) {
            const year_month_day ymd{day};
            days.push_back(static_cast<int>(ymd.year()) * 10000 +
                           static_cast<int>(static_cast<unsigned>(ymd.month())) * 100 +
                           static_cast<int>(static_cast<unsigned>(ymd.day())));
        }
        day += std::chrono::days{1};
    }
    return days;
}

int WeekKey(int date) {
    using namespace std::chrono;
    const sys_days day{year{date / 10000} / month{static_cast<unsigned>(date / 100 % 100)} /
                       (date % 100)};
    return static_cast<int>(
        (day - std::chrono::days{weekday{day}.iso_encoding() - 1}).time_since_epoch().count());
}

double RoundPrice(double value, bool decimals) {
    if (decimals) return std::round(value * 100.0) / 100.0;
    return std::max(1.0, std::round(value));
}

// Adjusted daily bars from a geometric walk; level sets the starting price.
std::vector<Bar> WalkBars(Generator& random, const std::vector<int>& days, double level,
                          bool decimals) {
    std::vector<Bar> bars;
    bars.reserve(days.size());
    double close = level;
    for (int date : days) {
        const double open = close * (1.0 + random.Normal() * 0.006);
        close = open * std::exp(random.Normal() * 0.018 + 0.0002);
        const double high = std::max(open, close) * (1.0 + random.Uniform() * 0.012);
        const double low = std::min(open, close) * (1.0 - random.Uniform() * 0.012);
        const double volume =
            std::round(1000.0 + random.Uniform() * 200000.0) * (decimals ? 1 : 100);
        bars.push_back({date, open, high, low, close, volume});
    }
    return bars;
}

void RoundBars(std::vector<Bar>& bars, bool decimals) {
    for (Bar& bar : bars) {
        bar.open = RoundPrice(bar.open, decimals);
        bar.close = RoundPrice(bar.close, decimals);
        bar.high = std::max({RoundPrice(bar.high, decimals), bar.open, bar.close});
        bar.low = std::min({RoundPrice(bar.low, decimals), bar.open, bar.close});
    }
}

std::string Num(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return buffer;
}

// Rows go in as multi-row INSERTs of generated numbers: fast on both engines.
class BatchInserter {
  public:
    BatchInserter(std::string connection, std::string head, std::string& error)
        : connection_(std::move(connection)), head_(std::move(head)), error_(error) {}
    bool Add(const std::string& values) {
        if (rows_ > 0) text_ += ",";
        text_ += "(" + values + ")";
        return ++rows_ < 500 || Flush();
    }
    bool Flush() {
        if (rows_ == 0) return true;
        const bool ok = Run(connection_, head_ + " VALUES " + text_, error_);
        text_.clear();
        rows_ = 0;
        return ok;
    }

  private:
    std::string connection_;
    std::string head_;
    std::string& error_;
    std::string text_;
    int rows_ = 0;
};

std::string BarValues(const std::string& issueId, const Bar& bar) {
    return SqlText(issueId) + "," + std::to_string(bar.date) + "," + Num(bar.open) + "," +
           Num(bar.high) + "," + Num(bar.low) + "," + Num(bar.close) + "," + Num(bar.volume);
}

// Weekly or monthly rows built from the stored daily rows of one issue, for the periods
// whose every day is on or before lastDay (0: every period). The loader multiplies each
// stored period row by all the issue's split factors, so stored rows must end before the
// issue's first split; the period holding the split and the later ones it builds from the
// daily rows.
void AddPeriodRows(BatchInserter& out, const std::string& issueId, const std::vector<Bar>& bars,
                   bool weekly, int lastDay, bool& ok) {
    size_t start = 0;
    while (ok && start < bars.size()) {
        const auto key = [&](const Bar& bar) {
            return weekly ? WeekKey(bar.date) : bar.date / 100;
        };
        size_t end = start;
        double high = bars[start].high, low = bars[start].low, volume = 0;
        while (end < bars.size() && key(bars[end]) == key(bars[start])) {
            high = std::max(high, bars[end].high);
            low = std::min(low, bars[end].low);
            volume += bars[end].volume;
            ++end;
        }
        const Bar& first = bars[start];
        const Bar& last = bars[end - 1];
        if (lastDay != 0 && last.date > lastDay) return;
        ok = out.Add(SqlText(issueId) + "," + std::to_string(first.date) + "," +
                     std::to_string(last.date) + "," + Num(first.open) + "," + Num(high) + "," +
                     Num(low) + "," + Num(last.close) + "," + Num(volume));
        start = end;
    }
}

// A split of the stored rows: those dated on or before date are at the old level, and
// factor brings them onto the new one. A date of 0 is no split.
struct StoredSplit {
    int date = 0;
    double factor = 1;
};

// The issue-list columns of an attribute row, as the analysis fills them from the daily
// rows adjusted for the split: the newest bar's date, close and volume, and its change
// against the close before ("NULL", shown "－", without two trading days).
struct LatestSummary {
    int date;
    double close, volume;
    std::string change;
};

LatestSummary SummarizeLatest(const std::vector<Bar>& bars, const StoredSplit& split) {
    const auto close = [&split](const Bar& bar) {
        return bar.date <= split.date ? bar.close * split.factor : bar.close;
    };
    const Bar& last = bars.back();
    LatestSummary latest{last.date, close(last), last.volume, "NULL"};
    if (bars.size() < 2) return latest;
    const Bar& previous = bars[bars.size() - 2];
    if (last.volume > 0 && previous.volume > 0) latest.change = Num(close(last) - close(previous));
    return latest;
}

struct Market {
    const char* code;
    const char* name;
    const char* shortName;
};

// The fixed order of the markets: their position is the market check index.
const Market kMarkets[] = {
    {"211", "第一市場一部", "一部"},
    {"212", "第一市場二部", "二部"},
    {"213", "第一市場新興", "新興"},
    {"214", "第一市場外国", "外国"},
    {"030", "中部市場", "中部"},
    {"100", "指標", "指標"},  // 指標: the queries exclude index issues by this name
    {"011", "西部市場一部", "西一"},
    {"012", "西部市場二部", "西二"},
    {"040", "九州市場", "九州"},
    {"013", "西部市場新興", "西新"},
    {"020", "北部市場", "北部"},
    {"021", "北部市場新興", "北新"},
};

const char* const kIndustries[][2] = {
    {"0050", "水産・農林業"}, {"1050", "鉱業"},   {"2050", "建設業"},   {"3050", "食料品"},
    {"3100", "繊維製品"},     {"3200", "化学"},   {"3650", "電気機器"}, {"5050", "陸運業"},
    {"6050", "卸売業"},       {"7050", "銀行業"},
};

// Index issues under market 100, one per issue kind that the index IDs choose.
const char* const kIndexIssues[][2] = {
    {"0101100", "総合指数"},
    {"0201100", "第二指数"},
    {"0315100", "先物指数"},
    {"0301100", "為替指数"},
};

// Ordinary issues cycle through every market but the indices.
const char* const kIssueMarkets[] = {"211", "212", "213", "214", "030", "011",
                                     "012", "040", "013", "020", "021"};

// Starting levels spread over the reversal-width bands.
const double kLevels[] = {45, 180, 480, 950, 2400, 4800, 9500, 24000, 52000, 130};

}  // namespace

std::string SqlitePrefix(const std::string& folder) {
    std::string dir = folder;
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return "Driver=QSQLITE;Data Source=" + dir + ";";
}

std::string PostgresPrefix(const std::string& host, int port, const std::string& user,
                           const std::string& password) {
    return "Driver=QPSQL;Host=" + host + ";Port=" + std::to_string(port) + ";User ID=" + user +
           ";Password=" + password + ";";
}

bool FindCatalogsWithTables(const std::string& prefix, std::vector<std::string>& found,
                            std::string& error) {
    std::vector<std::string> present;
    if (!PresentCatalogs(prefix, InstallationCatalogs(), present, error)) return false;
    const std::string countTables = TableCountSql(EngineOf(prefix));
    for (const std::string& catalog : present) {
        RecordsetPtr count;
        if (!Run(Conn(prefix, catalog), countTables, error, &count)) return false;
        count->MoveFirst();
        if (FieldNumber(count->Field(0)) > 0) found.push_back(catalog);
    }
    return true;
}

bool CreateCatalogs(const std::string& prefix, std::string& error) {
    const std::vector<std::string> catalogs = InstallationCatalogs();
    for (const std::string& catalog : catalogs)
        if (!EnsureCatalog(prefix, catalog, error)) return false;
    std::vector<std::string> dailySchema(std::begin(kDailySchema), std::end(kDailySchema));
    return CreateTables(Conn(prefix, catalogs[0]), dailySchema, error) &&
           CreateTables(Conn(prefix, catalogs[1]), {PeriodSchema(kWeeklyTable)}, error) &&
           CreateTables(Conn(prefix, catalogs[2]), {PeriodSchema(kMonthlyTable)}, error) &&
           CreateTables(Conn(prefix, catalogs[3]), {kUserSchema}, error);
}

bool AddUser(const std::string& prefix, const UserSpec& user, int32_t& rowId, std::string& error) {
    const std::string connection = Conn(prefix, kUserCatalog);
    RecordsetPtr next;
    if (!Run(connection, "SELECT MAX(velm_user_test_id) FROM velm_user_test", error, &next))
        return false;
    next->MoveFirst();
    rowId = static_cast<int32_t>(FieldNumber(next->Field(0))) + 1;
    return Run(connection,
               "INSERT INTO velm_user_test (velm_user_test_id, velm_user_id, velm_user_pwd, "
               "yuko_flg, login_flg, "
               "del_flg, up_date) VALUES (?, ?, ?, ?, ?, ?, ?)",
               error, nullptr,
               {static_cast<int64_t>(rowId), user.UserId, user.Password, user.YukoFlag,
                user.LoginFlag, user.DelFlag, std::string()});
}

bool WriteSettei2(const std::string& folder, const std::string& prefix, std::string& error) {
    return WriteFileAtomically(folder + kSettei2FileName,
                               ToCp932(EncodeSettei2Line(prefix)) + "\r\n", error, 0600);
}

bool FillSyntheticMarket(const std::string& prefix, const MarketSpec& size, MarketSummary& summary,
                         std::string& error) {
    const std::string daily = Conn(prefix, PriceCatalogName(kDailyCatalog));
    const std::string weekly = Conn(prefix, PriceCatalogName(kWeeklyCatalog));
    const std::string monthly = Conn(prefix, PriceCatalogName(kMonthlyCatalog));
    const bool sqlite = EngineOf(prefix) == SqlEngine::Sqlite;
    summary = MarketSummary{};
    for (const std::string& connection : {daily, weekly, monthly}) {
        if (sqlite && !Run(connection, "PRAGMA synchronous=OFF", error)) return false;
        if (!Run(connection, "BEGIN", error)) return false;
    }
    bool ok = true;
    {
        BatchInserter markets(daily, "INSERT INTO TBL市場 (市場コード,市場名,略称,表示順)", error);
        int order = 0;
        for (const Market& market : kMarkets)
            ok = ok && markets.Add(SqlText(market.code) + "," + SqlText(market.name) + "," +
                                   SqlText(market.shortName) + "," + std::to_string(order++));
        ok = ok && markets.Flush();
        BatchInserter industries(daily, "INSERT INTO TBL業種 (業種コード,業種名)", error);
        for (const auto& industry : kIndustries)
            ok = ok && industries.Add(SqlText(industry[0]) + "," + SqlText(industry[1]));
        ok = ok && industries.Flush();
    }

    const std::vector<int> days = TradingDays(size.Days);
    summary.FirstDate = days.front();
    summary.LastDate = days.back();
    Generator random(size.Seed);
    BatchInserter attrs(daily,
                        "INSERT INTO TBL銘柄属性 "
                        "(銘柄ID,銘柄名,注目,証券コード,市場コード,業種コード,売買単位,最終日,"
                        "株価,前日比,出来高)",
                        error);
    BatchInserter dailyRows(daily, "INSERT INTO TBL日次 (銘柄ID,日付,始値,高値,安値,終値,出来高)",
                            error);
    BatchInserter weeklyRows(
        weekly, "INSERT INTO TBL週次 (銘柄ID,開始日,終了日,始値,高値,安値,終値,出来高)", error);
    BatchInserter monthlyRows(
        monthly, "INSERT INTO TBL月次 (銘柄ID,開始日,終了日,始値,高値,安値,終値,出来高)", error);
    BatchInserter splits(daily, "INSERT INTO TBL分割係数 (銘柄ID,日付,分割係数)", error);

    // One listing of an issue: its attribute row, daily rows and period rows.
    const auto addListing = [&](const std::string& id, const std::string& name,
                                const std::string& industry, int unit, const std::vector<Bar>& bars,
                                const StoredSplit& split = {}) {
        if (!ok || bars.empty()) return;
        const LatestSummary latest = SummarizeLatest(bars, split);
        ok = attrs.Add(SqlText(id) + "," + SqlText(name) + ",0," + SqlText(id.substr(0, 4)) + "," +
                       SqlText(id.substr(4)) + "," + SqlText(industry) + "," +
                       std::to_string(unit) + "," + std::to_string(latest.date) + "," +
                       Num(latest.close) + "," + latest.change + "," + Num(latest.volume));
        for (const Bar& bar : bars) ok = ok && dailyRows.Add(BarValues(id, bar));
        AddPeriodRows(weeklyRows, id, bars, true, split.date, ok);
        AddPeriodRows(monthlyRows, id, bars, false, split.date, ok);
        ++summary.IssueCount;
        summary.DailyRows += static_cast<int64_t>(bars.size());
    };

    for (const auto& index : kIndexIssues) {
        std::vector<Bar> bars = WalkBars(random, days, 800 + 400 * random.Uniform(), true);
        RoundBars(bars, true);
        addListing(index[0], index[1], "", 1, bars);
    }
    for (int i = 0; ok && i < size.Issues; ++i) {
        const std::string code = std::to_string(1301 + i);
        const std::string id = code + kIssueMarkets[i % std::size(kIssueMarkets)];
        std::vector<Bar> bars = WalkBars(random, days, kLevels[i % std::size(kLevels)], false);
        // Every fifth issue had a two-for-one split halfway: the stored rows up to that
        // day keep the old level, twice the adjusted price.
        StoredSplit split;
        if (i % 5 == 2 && days.size() > 2) {
            const size_t at = days.size() / 2;
            for (size_t k = 0; k <= at; ++k) {
                Bar& bar = bars[k];
                bar.open *= 2, bar.high *= 2, bar.low *= 2, bar.close *= 2, bar.volume /= 2;
            }
            split = {days[at], 0.5};
            ok = ok && splits.Add(SqlText(id) + "," + std::to_string(split.date) + "," +
                                  Num(split.factor));
            if (summary.SplitIssueId.empty()) {
                summary.SplitIssueId = id;
                summary.SplitDate = split.date;
                summary.SplitFactor = split.factor;
            }
        }
        RoundBars(bars, false);
        // The eighth issue's industry has no row in TBL業種: the list shows no name for it.
        const std::string industry =
            i % 8 == 7 ? "9999" : kIndustries[i % std::size(kIndustries)][0];
        addListing(id, "銘柄" + code, industry, i % 2 ? 100 : 1000, bars, split);
        if (i == 0) summary.FirstIssueId = id;
    }
    // A joined listing: the same security code moved from market 012 to market 011.
    {
        std::vector<Bar> bars = WalkBars(random, days, 620, false);
        RoundBars(bars, false);
        const size_t half = bars.size() / 2;
        const std::vector<Bar> older(bars.begin(), bars.begin() + half);
        const std::vector<Bar> newer(bars.begin() + half, bars.end());
        summary.JoinedOlderIssueId = "9901012";
        summary.JoinedIssueId = "9901011";
        addListing(summary.JoinedOlderIssueId, "移籍銘柄", "3650", 100, older);
        addListing(summary.JoinedIssueId, "移籍銘柄", "3650", 100, newer);
    }
    ok = ok && attrs.Flush() && dailyRows.Flush() && weeklyRows.Flush() && monthlyRows.Flush() &&
         splits.Flush();
    for (const std::string& connection : {daily, weekly, monthly}) {
        std::string endError;
        Run(connection, ok ? "COMMIT" : "ROLLBACK", endError);
        if (sqlite) Run(connection, "PRAGMA synchronous=FULL", endError);
        if (ok && !endError.empty()) {
            error = endError;
            ok = false;
        }
    }
    return ok;
}
