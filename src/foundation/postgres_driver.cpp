#include "foundation/postgres_driver.h"

#include <libpq-fe.h>
#include <poll.h>
#include <sys/socket.h>

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "foundation/round_trips.h"

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// The "?" markers become libpq's $1, $2, ...; a "?" inside a quoted literal or name stays.
std::string NumberMarkers(const std::string& statement) {
    std::string out;
    out.reserve(statement.size() + 8);
    char quote = 0;
    int next = 1;
    for (char c : statement) {
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == '?') {
            out += "$" + std::to_string(next++);
            continue;
        }
        out += c;
    }
    return out;
}

// libpq's options of every connection. The connection probes the server while it is idle
// and gives up on data the server does not acknowledge, so that a server that drops off
// the network is noticed within about 30 s instead of the system's two hours.
constexpr std::pair<const char*, const char*> kClientOptions[] = {
    {"connect_timeout", "5"},     {"keepalives", "1"},       {"keepalives_idle", "10"},
    {"keepalives_interval", "5"}, {"keepalives_count", "4"}, {"tcp_user_timeout", "30000"},
};
// The session settings every connection asks the server for.
constexpr const char* kSessionSettings[] = {
    // The installation drops tables "IF EXISTS"; the server's notices about them are noise.
    "client_min_messages=warning",
    // Texts are pasted between quotes with only the quotes doubled; a server that reads
    // backslashes as escapes would let a typed "\'" end the literal.
    "standard_conforming_strings=on",
};

// Qt's "key=value;" form of the options.
std::string ConnectOptions() {
    std::string options;
    for (const auto& [key, value] : kClientOptions) options += std::string(key) + "=" + value + ";";
    options += "options='";
    for (const char* setting : kSessionSettings) options += std::string("-c") + setting + " ";
    options.back() = '\'';
    return options;
}

// Type numbers of the server's built-in types that the catalogs use.
constexpr Oid kBoolOid = 16, kInt8Oid = 20, kInt2Oid = 21, kInt4Oid = 23, kFloat4Oid = 700,
              kFloat8Oid = 701, kNumericOid = 1700;

FieldValue PostgresValue(const PGresult* result, int row, int column, Oid type) {
    if (PQgetisnull(result, row, column)) return std::monostate{};
    const char* text = PQgetvalue(result, row, column);
    switch (type) {
        case kInt2Oid:
        case kInt4Oid:
        case kInt8Oid:
            return static_cast<int64_t>(std::strtoll(text, nullptr, 10));
        case kFloat4Oid:
        case kFloat8Oid:
        case kNumericOid:
            return std::strtod(text, nullptr);
        case kBoolOid:
            return static_cast<int64_t>(text[0] == 't' ? 1 : 0);
        default:
            return std::string(text, static_cast<size_t>(PQgetlength(result, row, column)));
    }
}

// The server's goodbye (its last message, then the end of the stream) waits unread on the
// socket of an idle connection until libpq next reads. Reads what has arrived; true when
// the stream has ended. Nothing waiting costs no wait; once something has arrived
// unasked (which an idle session gets only rarely), the end that follows a goodbye may
// trail it by a moment, so a few short waits cover it.
bool ReadWhatArrived(PGconn* handle) {
    constexpr int kWaitsMs[] = {0, 250, 250, 250};
    for (const int wait : kWaitsMs) {
        pollfd socket{PQsocket(handle), POLLIN, 0};
        if (poll(&socket, 1, wait) <= 0) return false;
        PQconsumeInput(handle);
        if (PQstatus(handle) == CONNECTION_BAD) return true;
    }
    return false;
}

}  // namespace

void SetUpPostgresConnection(const ConnectionFields& fields, const std::string& catalog,
                             QSqlDatabase& db) {
    db.setHostName(Q(ConnectionField(fields, "host")));
    const std::string port = ConnectionField(fields, "port");
    if (!port.empty()) db.setPort(std::atoi(port.c_str()));
    db.setUserName(Q(ConnectionField(fields, "user id")));
    db.setPassword(Q(ConnectionField(fields, "password")));
    db.setDatabaseName(Q(catalog));
    db.setConnectOptions(Q(ConnectOptions()));
}

PostgresLoss PostgresConnectionLoss(const QSqlDatabase& db) {
    PGconn* handle = PostgresHandle(db);
    if (!handle) return PostgresLoss::None;
    // A failed statement has already told its caller about the loss.
    if (PQstatus(handle) == CONNECTION_BAD) return PostgresLoss::Idle;
    const bool inTransaction = PQtransactionStatus(handle) != PQTRANS_IDLE;
    if (!ReadWhatArrived(handle)) return PostgresLoss::None;
    return inTransaction ? PostgresLoss::InTransaction : PostgresLoss::Idle;
}

std::chrono::milliseconds& PostgresAnswerLimit() {
    static std::chrono::milliseconds limit = kPostgresAnswerLimit;
    return limit;
}

PGconn* PostgresHandle(const QSqlDatabase& db) {
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid()) return nullptr;
    const char* type = handle.typeName();
    if (qstrcmp(type, "PGconn*") != 0 && qstrcmp(type, "pg_conn*") != 0) return nullptr;
    return *static_cast<PGconn* const*>(handle.constData());
}

bool PostgresInTransaction(PGconn* handle) {
    return PQtransactionStatus(handle) == PQTRANS_INTRANS;
}

namespace {

using ResultPtr = std::unique_ptr<PGresult, decltype(&PQclear)>;
using Clock = std::chrono::steady_clock;

// The message of a failed answer (or of the connection, when there is none), without the
// line end libpq puts after it.
std::string FailureMessage(const PGresult* answer, PGconn* handle) {
    std::string message = answer ? PQresultErrorMessage(answer) : PQerrorMessage(handle);
    while (!message.empty() && (message.back() == '\n' || message.back() == ' '))
        message.pop_back();
    return message;
}

// Waits until the socket has something to read or the deadline passes; false at the deadline.
bool AwaitReadable(PGconn* handle, Clock::time_point deadline) {
    for (;;) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return false;
        pollfd socket{PQsocket(handle), POLLIN, 0};
        const int ready = poll(&socket, 1, static_cast<int>(left));
        if (ready > 0) return true;
        if (ready < 0 && errno != EINTR) return true;  // libpq's read reports the failure
    }
}

// The answer to what was just sent, read within the answer limit: the last result, or the
// first error among them, as PQexec gives. At the limit the socket is shut down, which
// leaves the handle bad without waiting on the server, and nullptr comes back.
ResultPtr AwaitAnswer(PGconn* handle, bool& timedOut) {
    const Clock::time_point deadline = Clock::now() + PostgresAnswerLimit();
    ResultPtr answer(nullptr, &PQclear);
    timedOut = false;
    for (;;) {
        while (PQisBusy(handle)) {
            if (!AwaitReadable(handle, deadline)) {
                timedOut = true;
                shutdown(PQsocket(handle), SHUT_RDWR);
                PQconsumeInput(handle);
                while (PGresult* rest = PQgetResult(handle)) PQclear(rest);
                return ResultPtr(nullptr, &PQclear);
            }
            if (!PQconsumeInput(handle)) break;
        }
        PGresult* next = PQgetResult(handle);
        if (!next) return answer;
        const bool failed = PQresultStatus(next) == PGRES_FATAL_ERROR;
        if (answer && PQresultStatus(answer.get()) == PGRES_FATAL_ERROR && !failed)
            PQclear(next);
        else
            answer.reset(next);
    }
}

// Statements with bound parameters kept prepared on the server per connection. The loads
// and the analysis run the same few texts for every issue, and the server would otherwise
// parse and plan each anew: for a monthly load that is more work than reading its rows. A
// text is prepared the second time a connection runs it, so one that pastes its values and
// runs once costs no extra round trip; past kKeptStatements on a connection further texts
// run unnamed. The server keeps a prepared statement through a rolled-back transaction, so
// the list stays true until the connection closes (ForgetPostgresStatements). Each thread
// keeps its own lists: a connection is used by the thread that opened it only.
constexpr size_t kKeptStatements = 64;
constexpr size_t kTextsSeenOnce = 256;

struct ConnectionStatements {
    PGconn* Handle;
    int BackendPid;  // a new connection at the address of a closed one has another
    std::unordered_map<std::string, std::string> Prepared;  // numbered text -> name
    std::unordered_set<std::string> SeenOnce;
};

std::vector<ConnectionStatements>& KeptStatements() {
    thread_local std::vector<ConnectionStatements> kept;
    return kept;
}

ConnectionStatements& StatementsOf(PGconn* handle) {
    std::vector<ConnectionStatements>& kept = KeptStatements();
    const int pid = PQbackendPID(handle);
    for (ConnectionStatements& statements : kept) {
        if (statements.Handle != handle) continue;
        if (statements.BackendPid != pid) statements = ConnectionStatements{handle, pid, {}, {}};
        return statements;
    }
    return kept.emplace_back(ConnectionStatements{handle, pid, {}, {}});
}

// The name text is prepared under on the connection, preparing it now (one round trip) when
// it is due; nullptr to send it unnamed. A failed preparation leaves its message in
// failure: the statement would have failed the same way, so it is not sent.
const std::string* PreparedName(PGconn* handle, const std::string& text, int parameters,
                                std::string& failure) {
    ConnectionStatements& statements = StatementsOf(handle);
    if (const auto found = statements.Prepared.find(text); found != statements.Prepared.end())
        return &found->second;
    // A pipeline only uses what is prepared; a failed transaction would refuse the text.
    if (PQpipelineStatus(handle) != PQ_PIPELINE_OFF ||
        PQtransactionStatus(handle) == PQTRANS_INERROR ||
        statements.Prepared.size() >= kKeptStatements)
        return nullptr;
    if (statements.SeenOnce.insert(text).second) {
        if (statements.SeenOnce.size() > kTextsSeenOnce) statements.SeenOnce = {text};
        return nullptr;
    }
    const std::string name = "kabuto_" + std::to_string(statements.Prepared.size() + 1);
    bool timedOut = false;
    ResultPtr answer(nullptr, &PQclear);
    CountRoundTrip();
    if (PQsendPrepare(handle, name.c_str(), text.c_str(), parameters, nullptr))
        answer = AwaitAnswer(handle, timedOut);
    if (timedOut) {
        failure = kPostgresNoAnswerMessage;
        return nullptr;
    }
    if (!answer || PQresultStatus(answer.get()) != PGRES_COMMAND_OK) {
        failure = FailureMessage(answer.get(), handle);
        if (failure.empty()) failure = "the statement could not be prepared";
        return nullptr;
    }
    statements.SeenOnce.erase(text);
    return &statements.Prepared.emplace(text, name).first->second;
}

// Sends the statement with its parameters as texts, without waiting for the answer. A
// statement whose preparation failed is not sent, and failure holds the server's message.
bool SendPostgres(PGconn* handle, const std::string& statement,
                  const std::vector<FieldValue>& parameters, PostgresAnswer form,
                  std::string& failure) {
    std::vector<std::string> texts;
    std::vector<const char*> values;
    texts.reserve(parameters.size());
    for (const FieldValue& parameter : parameters) {
        if (IsNull(parameter)) {
            texts.emplace_back();
            continue;
        }
        if (const auto* number = std::get_if<double>(&parameter)) {
            char buffer[32];
            std::snprintf(buffer, sizeof buffer, "%.17g", *number);
            texts.emplace_back(buffer);
        } else {
            texts.push_back(FieldText(parameter));
        }
    }
    for (size_t i = 0; i < parameters.size(); ++i)
        values.push_back(IsNull(parameters[i]) ? nullptr : texts[i].c_str());
    const int count = static_cast<int>(values.size());
    const int format = form == PostgresAnswer::Binary ? 1 : 0;
    if (parameters.empty())
        return PQsendQueryParams(handle, statement.c_str(), 0, nullptr, nullptr, nullptr, nullptr,
                                 format) != 0;
    const std::string text = NumberMarkers(statement);
    if (const std::string* name = PreparedName(handle, text, count, failure))
        return PQsendQueryPrepared(handle, name->c_str(), count, values.data(), nullptr, nullptr,
                                   format) != 0;
    if (!failure.empty()) return false;
    return PQsendQueryParams(handle, text.c_str(), count, nullptr, values.data(), nullptr, nullptr,
                             format) != 0;
}

// The answer to a statement sent (or not, when the send failed): the result, or nullptr
// with the server's message in error.
ResultPtr ReceivePostgres(PGconn* handle, const std::string& statement, bool sent,
                          std::string& error) {
    bool timedOut = false;
    ResultPtr result(nullptr, &PQclear);
    if (sent) result = AwaitAnswer(handle, timedOut);
    if (timedOut) {
        error = statement == "COMMIT" ? kPostgresCommitUnknownMessage : kPostgresNoAnswerMessage;
        return result;
    }
    const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    if (status == PGRES_TUPLES_OK || status == PGRES_COMMAND_OK || status == PGRES_EMPTY_QUERY)
        return result;
    error = FailureMessage(result.get(), handle);
    return ResultPtr(nullptr, &PQclear);
}

bool HasRows(const PGresult* result) {
    return PQresultStatus(result) == PGRES_TUPLES_OK;
}

void ToRecordset(const PGresult* rows, RecordsetPtr& recordset) {
    const int count = HasRows(rows) ? PQnfields(rows) : 0;
    const int rowCount = HasRows(rows) ? PQntuples(rows) : 0;
    std::vector<std::string> names;
    std::vector<Oid> types;
    for (int i = 0; i < count; ++i) {
        names.emplace_back(PQfname(rows, i));
        types.push_back(PQftype(rows, i));
    }
    std::vector<std::vector<FieldValue>> table(static_cast<size_t>(rowCount));
    for (int r = 0; r < rowCount; ++r) {
        std::vector<FieldValue>& row = table[r];
        row.reserve(count);
        for (int i = 0; i < count; ++i) row.push_back(PostgresValue(rows, r, i, types[i]));
    }
    recordset = std::make_shared<Recordset>(std::move(names), std::move(table));
}

template <typename Word>
Word BigEndian(const char* bytes) {
    Word word = 0;
    for (size_t i = 0; i < sizeof(Word); ++i)
        word = static_cast<Word>((word << 8) | static_cast<unsigned char>(bytes[i]));
    return word;
}

double FromBits64(uint64_t bits) {
    double number;
    std::memcpy(&number, &bits, sizeof number);
    return number;
}

// A numeric in the server's binary form (digit count, weight, sign, scale, then base-10000
// digits) read through its decimal text, so that it rounds as the text form would.
double BinaryNumeric(const char* bytes, int length) {
    if (length < 8) return 0.0;
    const int digits = BigEndian<int16_t>(bytes);
    const int weight = BigEndian<int16_t>(bytes + 2);
    const uint16_t sign = BigEndian<uint16_t>(bytes + 4);
    if (sign == 0xC000) return std::numeric_limits<double>::quiet_NaN();
    if (digits <= 0 || length < 8 + 2 * digits) return 0.0;
    std::string text = sign == 0x4000 ? "-" : "";
    for (int i = 0; i < digits; ++i) {
        char group[8];
        std::snprintf(group, sizeof group, "%04d", BigEndian<int16_t>(bytes + 8 + 2 * i));
        text += group;
    }
    text += "e" + std::to_string((weight - digits + 1) * 4);
    return std::strtod(text.c_str(), nullptr);
}

// A field of a binary answer as the number its text form would give.
double BinaryNumber(const PGresult* result, int row, int column, Oid type) {
    const char* bytes = PQgetvalue(result, row, column);
    const int length = PQgetlength(result, row, column);
    switch (type) {
        case kInt2Oid:
            return BigEndian<int16_t>(bytes);
        case kInt4Oid:
            return BigEndian<int32_t>(bytes);
        case kInt8Oid:
            return static_cast<double>(BigEndian<int64_t>(bytes));
        case kFloat8Oid:
            return FromBits64(BigEndian<uint64_t>(bytes));
        case kFloat4Oid: {
            float single;
            const uint32_t bits = BigEndian<uint32_t>(bytes);
            std::memcpy(&single, &bits, sizeof single);
            // The text form is the shortest decimal of the float, read back as a double.
            char text[32];
            const auto end = std::to_chars(text, text + sizeof text - 1, single).ptr;
            *end = '\0';
            return std::strtod(text, nullptr);
        }
        case kNumericOid:
            return BinaryNumeric(bytes, length);
        case kBoolOid:
            return bytes[0] ? 1.0 : 0.0;
        default:
            // Texts are their own bytes in either form.
            return FieldNumber(FieldValue(std::string(bytes, static_cast<size_t>(length))));
    }
}

void ToNumbers(const PGresult* read, NumberRows& rows) {
    const int count = HasRows(read) ? PQnfields(read) : 0;
    const int rowCount = HasRows(read) ? PQntuples(read) : 0;
    std::vector<Oid> types;
    for (int i = 0; i < count; ++i) types.push_back(PQftype(read, i));
    const bool binary = count > 0 && PQfformat(read, 0) == 1;
    rows.Reset(count);
    for (int r = 0; r < rowCount; ++r) {
        double* numbers = rows.AddRow();
        for (int i = 0; i < count; ++i) {
            if (PQgetisnull(read, r, i)) {
                numbers[i] = 0.0;
                rows.SetNull(r, i);
            } else if (binary) {
                // Numbers travel as their bytes: no text to write on the server or read here.
                numbers[i] = BinaryNumber(read, r, i, types[i]);
            } else {
                numbers[i] = FieldNumber(PostgresValue(read, r, i, types[i]));
            }
        }
    }
}

}  // namespace

PostgresCall::PostgresCall(PGconn* handle, std::string statement,
                           const std::vector<FieldValue>& parameters, PostgresAnswer form)
    : handle_(handle),
      statement_(std::move(statement)),
      sent_(SendPostgres(handle, statement_, parameters, form, unprepared_)) {}

PostgresCall::~PostgresCall() {
    // An answer nobody asked for is still read, so the connection is ready for the next.
    if (!received_) {
        std::string ignored;
        Answer(ignored);
    }
}

PostgresCall::Result PostgresCall::Answer(std::string& error) {
    received_ = true;
    if (!unprepared_.empty()) {
        error = unprepared_;
        return nullptr;
    }
    return ReceivePostgres(handle_, statement_, sent_, error).release();
}

bool PostgresCall::Receive(RecordsetPtr* recordset, std::string& error) {
    const ResultPtr result(Answer(error), &PQclear);
    if (!result) return false;
    if (recordset) ToRecordset(result.get(), *recordset);
    return true;
}

bool PostgresCall::ReceiveNumbers(NumberRows& rows, std::string& error) {
    const ResultPtr result(Answer(error), &PQclear);
    if (!result) return false;
    ToNumbers(result.get(), rows);
    return true;
}

size_t RunPipelineOnPostgres(PGconn* handle, const std::vector<BoundStatement>& statements,
                             std::string& error, const std::function<void()>& between) {
    if (!PQenterPipelineMode(handle)) {
        error = PQerrorMessage(handle);
        return 0;
    }
    size_t sent = 0;
    std::string unprepared;  // a pipeline prepares nothing, so this stays empty
    while (sent < statements.size() &&
           SendPostgres(handle, statements[sent].Text, statements[sent].Parameters,
                        PostgresAnswer::Text, unprepared))
        ++sent;
    if (sent < statements.size()) error = PQerrorMessage(handle);
    const bool synced = PQpipelineSync(handle) != 0;
    if (between) between();
    // Each statement's answer, then the sync's. A statement the server skipped after a
    // failure answers "aborted"; the first failure's message is the one kept.
    size_t succeeded = 0;
    bool failed = sent < statements.size();
    for (size_t i = 0; i < sent && synced; ++i) {
        bool timedOut = false;
        const ResultPtr answer = AwaitAnswer(handle, timedOut);
        if (timedOut) {
            error = kPostgresNoAnswerMessage;
            return succeeded;
        }
        const ExecStatusType status = answer ? PQresultStatus(answer.get()) : PGRES_FATAL_ERROR;
        if (!failed && (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)) {
            ++succeeded;
            continue;
        }
        if (!failed) error = FailureMessage(answer.get(), handle);
        failed = true;
    }
    if (synced) {
        bool timedOut = false;
        AwaitAnswer(handle, timedOut);
        if (timedOut) error = kPostgresNoAnswerMessage;
    }
    PQexitPipelineMode(handle);
    return succeeded;
}

bool RunOnPostgres(PGconn* handle, const std::string& statement,
                   const std::vector<FieldValue>& parameters, RecordsetPtr* recordset,
                   std::string& error) {
    return PostgresCall(handle, statement, parameters).Receive(recordset, error);
}

void ForgetPostgresStatements(const QSqlDatabase& db) {
    PGconn* handle = PostgresHandle(db);
    if (!handle) return;
    std::erase_if(KeptStatements(),
                  [handle](const ConnectionStatements& kept) { return kept.Handle == handle; });
}
