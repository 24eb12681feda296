#pragma once
// The shared records of the headless services, one owner for them all: the database road,
// the settings of the run, the sign-in, the text stores, the text data, the issue list with
// its selection and edit queue, and the printer set-up. Each record lives for the whole run;
// ResetFoundationState gives every one of them the values of a fresh start.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "foundation/recordset.h"
#include "foundation/settings_record.h"

class QPainter;
class QPrinter;

// --- The database road ---------------------------------------------------------------------

// A catalog connection object: it only holds its connection string.
struct CatalogConnection {
    std::string ConnectionString;
    bool IsSet() const { return !ConnectionString.empty(); }
};

// Runs before every statement of ExecuteSql; false stops the statement (the check has
// told the user why).
using StatementCheck = std::function<bool()>;

// The reading of one action (CatalogReading in the database road).
struct CatalogReadingState {
    int Depth = 0;                // readings alive, nested
    bool SessionChecked = false;  // the session check passed since the outermost began
    // The SQLite catalogs the reading holds a read transaction on.
    std::vector<std::string> OpenReads;
};

struct DatabaseState {
    std::string ConnectionPrefix;  // decoded first line of "settei2.ini", ends with ";"
    CatalogConnection DailyConnection;
    CatalogConnection WeeklyConnection;
    CatalogConnection MonthlyConnection;
    StatementCheck BeforeStatement;
    CatalogReadingState Reading;
};

DatabaseState& Database();
// Closes every open connection and clears the record. The database road defines it: the
// connections are its own.
void ResetDatabase();

// --- Settings and sign-in ------------------------------------------------------------------

struct SetteiState {
    SetteiRecord Record;
    struct PrintSettei PrintJob;            // the working print settings of a run
    std::vector<std::string> PrinterNames;  // device names in the platform's order
    // Tests pin the date the defaults are made on; empty means the machine's date.
    std::optional<std::chrono::year_month_day> FixedToday;
    // The user and kagi judgement settings as their dialogs found them on opening: a chart
    // window that opened one redraws only when a compared field differs from its copy.
    struct UserSettei UserSetteiBackup;
    struct KagiJudgeSettei KagiJudgeBackup;
};

SetteiState& Settei();

struct SigninState {
    LogonPair LogonInfo;       // the pair the sign-in uses (saved settings or the window)
    LogonPair DownloadLogon;   // the pair for the download server; the window shows it
    int32_t UserRowId = 0;     // velm_user_test_id; also the owner key of lines and barriers
    std::string SessionStamp;  // written into up_date at the sign-in
};

SigninState& Signin();

// --- Text stores and text data -------------------------------------------------------------

struct TextStoreState {
    std::string MemoText;
    std::string ChuumokuText;
    std::string ShasenText;
    std::string KanmonText;
    // A store whose file could not be read or decoded is not written back, so the file
    // keeps the user's data.
    bool MemoUnread = false;
    bool ChuumokuUnread = false;
    bool ShasenUnread = false;
    bool KanmonUnread = false;
};

TextStoreState& TextStores();

// While the charts show a series read from a text file or edited in the data table, the
// issue kind and tick come from that series instead of an issue.
struct TextDataState {
    int16_t TextDataMode = 0;  // -1 while the charts show a text-data series, else 0
    std::string TextDataTitle;
    double TextDataTick = 0.0;
};

TextDataState& TextData();

// --- The issue list, its selection and the edit queue --------------------------------------

// The tail of the attribute query for a list mode, with the values its "?" markers stand
// for, in order: the searches' typed texts travel as values, never inside the text.
struct ListTail {
    std::string Text;
    std::vector<FieldValue> Parameters;
    // Building the tail failed and the user was told: no statement runs on it.
    bool Failed = false;
};

// What the windows supply to the list query. The compound search gives its whole tail;
// the issue search gives the texts of its TXT_Name and TXT_Code boxes; the selection
// window its selected issues. Unset, a search mode fails as a missing control does.
struct ListTailSources {
    // Modes 3, and 2 with the saved search: false when the search could not be built (it
    // has told the user), tail untouched.
    std::function<bool(ListTail&)> MakeSearchSql;
    std::function<std::string()> SearchNameText;  // modes 4 and 9
    std::function<std::string()> SearchCodeText;  // modes 5 and 10
    // Modes 6 and 7: "銘柄ID IN (…) And " for the issues selected in the list, from the
    // window that shows it; "" without one.
    std::function<std::string()> SelectedIdList;
};

struct IssueListState {
    RecordsetPtr IssueListRecordset;  // the current list query
    RecordsetPtr ShownListRecordset;  // the rows the issue grid shows
    RecordsetPtr AllIssuesRecordset;  // every issue, for the whole run
    // The row labels a search or observation dialog hands over with SelectedRows.
    std::vector<std::string> SelectedRowTexts;
    ListTailSources Sources;
};

IssueListState& IssueList();

// One selected issue for the data maintenance windows.
struct IssueWorkRecord {
    int32_t Number = 0;  // 1-based (mode 1 only)
    std::string IssueId;
    std::string Code;   // 証券コード
    int32_t Watch = 0;  // watch number (mode 1 only; 0 when there is none)
    std::string Name;
    std::string Industry;  // 業種コード, "00" when there is none
    std::string Market;    // 市場コード
    std::string Memo;      // mode 1 only
    int32_t Flag = 0;      // the maintenance windows' own mark
};

// Two texts: a market (市場名, 略称) in SijouList.
struct TextPair {
    std::string First;
    std::string Second;
};

struct IssueSelectionState {
    // 0-based positions in IssueListRecordset of the selected rows, top to bottom.
    std::vector<int32_t> SelectedRows;
    // The index in SelectedRows of the issue every view shows.
    int32_t CurrentIssuePos = 0;
    std::vector<IssueWorkRecord> IssueWorkArray;  // record 1 is element 0
    // The markets in display order; the index is the market's fixed check index.
    std::vector<TextPair> SijouList;

    int32_t SelectedCount() const { return static_cast<int32_t>(SelectedRows.size()); }
};

IssueSelectionState& IssueSelection();

// One queued edit: a field index of the attribute query (0 … 34), the issue grid column
// that shows it (0: none) and the new value as text.
struct IssueEdit {
    int32_t Field = 0;
    int32_t GridColumn = 0;
    std::string Value;
};

// The issue grid's half of a commit, installed by the window that shows the list: it
// copies the queued values into the issue's rows and tells whether the issue is shown.
using ListRowUpdater =
    std::function<bool(const std::vector<IssueEdit>& queue, const std::string& issueId)>;

struct IssueEditState {
    std::vector<IssueEdit> EditQueue;
    ListRowUpdater ApplyToList;
};

IssueEditState& IssueEdits();

// --- The printer set-up --------------------------------------------------------------------

// The drawing defaults a print job starts from.
struct PrinterDrawingDefaults {
    std::string FontName = "ＭＳ 明朝";
    double FontSize = 10;
    bool FontBold = false;
    bool FontUnderline = false;
    bool FontItalic = false;
    int ScaleMode = 4;  // characters
    int DrawWidth = 1;
    int DrawStyle = 0;  // solid
};

// The printer is only named here, so that the records stay free of Qt: code that replaces
// or destroys the record includes <QPrinter>.
struct PrinterSetupState {
    std::unique_ptr<QPrinter> Printer;  // the current printer
    // The painter of the document in progress on Printer, registered by the print code,
    // so that the next set-up can end it.
    QPainter* Document = nullptr;
    PrinterDrawingDefaults Drawing;
    int32_t PrintRowsPerPage = 53;  // list rows per printed page: 53, 32 or 82
    int16_t OsVersionFlag = 0;      // 1 picks the drivers' manual-feed bin as a fallback
};

PrinterSetupState& PrinterSetup();

// Every record above as a fresh run has it; the database road's connections are closed.
void ResetFoundationState();
