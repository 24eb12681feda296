#include "acquisition/auto_download.h"

#include <QByteArray>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>
#include <cstdio>

#include "foundation/database.h"
#include "foundation/startup.h"
#include "foundation/state.h"
#include "foundation/text_utils.h"
#include "platform/app_path.h"
#include "platform/atomic_file.h"
#include "platform/internet_transfer.h"
#include "platform/message_box.h"
#include "portfolio/news_window.h"
#include "portfolio/state.h"
#include "ui/child_windows.h"
#include "ui/progress_window.h"
#include "ui/state.h"
#include "views/logon_window.h"
#include "views/main_frame.h"
#include "views/state.h"

namespace {

constexpr const char* kAuthFailed = "認証に失敗しました。";
constexpr const char* kConnectFailed = "ｻｰﾊﾞｰとの接続に失敗しました。";
constexpr const char* kDownloadFailed = "ﾃﾞｰﾀのﾀﾞｳﾝﾛｰﾄﾞに失敗しました。";
constexpr const char* kNothingToFetch = "取得可能なﾃﾞｰﾀがありせん。";
constexpr const char* kInterrupted = "処理が中断されました。";
constexpr const char* kFinished = "処理が終了しました。";
constexpr size_t kMaxServerDates = 5;
constexpr qint64 kDateListChunk = 4096;

bool CredentialsHaveTheirForm(const LogonPair& logon) {
    return CharacterCount(logon.UserId) == 12 && CharacterCount(logon.Password) == 8;
}

std::string TrimBlanksAndLineEnds(std::string_view text) {
    const char* blanks = " \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(blanks) - first + 1));
}

bool IsServerDate(std::string_view text) {
    if (text.size() != 8 || text.find_first_not_of("0123456789") != std::string_view::npos)
        return false;
    return IsValidSlashDate(SlashDate(text));
}

// Sends the request and lets the message loop run until the control reports its end, or
// until its deadline, which the cancel button (disabled while downloading) cannot replace.
void Request(InternetTransfer& inet, const std::string& address, int deadlineMs) {
    Views().InetState = 0;
    inet.SetTransferTimeout(Download().TransferTimeoutMs);
    inet.SetDeadline(deadlineMs);
    inet.StateChanged = [](int state) { Views().InetState = static_cast<int16_t>(state); };
    inet.SetURL(address);
    inet.Execute();
    inet.WaitUntilDone();
}

// The status code of the first header line, when it has one that is a whole number.
bool StatusCode(const std::string& headers, long& code) {
    const std::string line = headers.substr(0, headers.find('\r'));
    const size_t space = line.find(' ');
    if (space == std::string::npos) return false;
    const std::string piece =
        TrimSpaces(line.substr(space + 1, line.find(' ', space + 1) - space - 1));
    if (piece.empty() || piece.size() > 9 ||
        piece.find_first_not_of("0123456789") != std::string::npos)
        return false;
    code = std::stol(piece);
    return true;
}

// The body is the archive only when the server says it succeeded and sent exactly the
// length it announced: an error page sent with the archive type, or a body cut short, is
// never stored as an archive.
bool WholeArchiveArrived(const std::string& headers, const std::string& lengthText,
                         qint64 received) {
    long code = 0;
    if (!StatusCode(headers, code) || code < 200 || code > 299) return false;
    const std::string length = TrimSpaces(lengthText);
    if (length.empty() || length.size() > 15 ||
        length.find_first_not_of("0123456789") != std::string::npos)
        return false;
    return std::stoll(length) == received;
}

// The base address of the run, read from its file once per run rather than per request.
std::string ServerBase() {
    std::string& base = Download().ServerBase;
    if (base.empty()) base = DataServerAddress();
    return base;
}

void ShowProgressForDownload(bool downloading) {
    FRM_処理中& window = ProgressWindow();
    window.Bar()->setVisible(!downloading);
    window.CancelButton()->setEnabled(!downloading);
}

}  // namespace

std::string DataServerAddress() {
    std::string bytes;
    if (ReadWholeFile(AppPath() + kDataServerFileName, bytes)) {
        const std::string line = TrimBlanksAndLineEnds(bytes.substr(0, bytes.find('\n')));
        if (!line.empty()) return line;
    }
    return kBuiltInDataServer;
}

std::string RequestAddress(std::string_view base, std::string_view file, const LogonPair& logon) {
    const auto encoded = [](const std::string& text) {
        return QByteArray::fromStdString(text).toPercentEncoding().toStdString();
    };
    return std::string(base) + std::string(file) + "?uid=" + encoded(logon.UserId) + "_" +
           encoded(logon.Password);
}

DateList ParseServerDateList(std::string_view body) {
    std::vector<std::string_view> pieces;
    size_t start = 0;
    for (size_t end = body.find(';'); end != std::string_view::npos; end = body.find(';', start)) {
        pieces.push_back(body.substr(start, end - start));
        start = end + 1;
    }
    // Only the pieces followed by a ";" count, and only the first five of them.
    pieces.resize(std::min(pieces.size(), kMaxServerDates));
    DateList list;
    for (std::string_view piece : pieces) {
        // The dates go into a query, a file name and a request address: anything but a
        // real day is dropped.
        const std::string date = TrimBlanksAndLineEnds(piece);
        if (IsServerDate(date)) list.Dates.push_back(date);
    }
    list.Count = static_cast<int32_t>(list.Dates.size());
    return list;
}

bool GetServerDateList(InternetTransfer& inet, const LogonPair& logon, DateList& list) {
    list = DateList{};
    if (!CredentialsHaveTheirForm(logon)) {
        MsgWarn(kAuthFailed);
        return false;
    }
    // Only the first bytes of the list are used: the rest is not waited for.
    inet.SetBodyLimit(kDateListChunk);
    Request(inet, RequestAddress(ServerBase(), "datalist.txt", logon),
            Download().DateListDeadlineMs);
    inet.SetBodyLimit(-1);
    if (Views().InetState == InternetTransfer::kStateError) {
        MsgWarn(kConnectFailed);
        return false;
    }
    long code = 0;
    if (inet.GetHeader("Content-type").find("text/plain") == std::string::npos ||
        !StatusCode(inet.GetHeader(), code) || code < 200 || code >= 400) {
        MsgWarn(kAuthFailed);
        return false;
    }
    list = ParseServerDateList(inet.GetChunkText(kDateListChunk));
    return true;
}

bool IsDateImported(const DateList& list, DateList& missing) {
    missing = DateList{};
    for (int32_t i = 0; i < list.Count; ++i) {
        const std::string& date = list.Dates[i];
        std::string sql = "SELECT 銘柄ID FROM  TBL日次 WHERE 銘柄ID = '0101100' AND 日付 = ?";
        RecordsetPtr rs;
        if (!ExecuteSql(Database().DailyConnection, sql, rs, {int64_t{std::stoll(date)}}))
            return false;
        if (rs->Eof()) missing.Dates.push_back(date);
        CloseRecordset(rs);
    }
    missing.Count = static_cast<int32_t>(missing.Dates.size());
    return true;
}

bool DownloadArchive(InternetTransfer& inet, const LogonPair& logon, const std::string& name) {
    const std::string path = MailDataFolder() + name + ".zip";
    // The body goes to its temporary file as it arrives, never whole into memory.
    std::string error;
    const std::string temp = MakeTemporaryBeside(path, error);
    if (temp.empty()) {
        MsgWarn(error);
        return false;
    }
    inet.SetBodyFile(temp);
    Request(inet, RequestAddress(ServerBase(), name + ".zip", logon), Download().ArchiveDeadlineMs);
    inet.SetBodyFile({});
    const char* failure = nullptr;
    if (Views().InetState == InternetTransfer::kStateError) {
        failure = kConnectFailed;
    } else if (inet.GetHeader("Content-type").find("application/x-zip-compressed") ==
                   std::string::npos ||
               !WholeArchiveArrived(inet.GetHeader(), inet.GetHeader("Content-Length"),
                                    inet.BodySize())) {
        failure = kDownloadFailed;
    }
    if (failure) {
        std::remove(temp.c_str());
        MsgWarn(failure);
        return false;
    }
    if (!CommitTemporary(temp, path, error)) {
        MsgWarn(error);
        return false;
    }
    return true;
}

bool DownloadArchiveSet(InternetTransfer& inet, const LogonPair& logon, const DateList& list) {
    if (!CredentialsHaveTheirForm(logon)) {
        MsgWarn(kAuthFailed);
        return false;
    }
    for (int32_t i = 0; i < list.Count; ++i) {
        const std::string& day = list.Dates[i];
        for (const std::string& name : {day, "S" + day, "I" + day}) {
            if (!DownloadArchive(inet, logon, name)) return false;
        }
    }
    return true;
}

int32_t AutoDownload(InternetTransfer& inet, int16_t forceSignIn, DateList& fetched,
                     std::string& message) {
    fetched = DateList{};
    message = kNothingToFetch;
    SetProgressText(1, "ﾃﾞｰﾀ自動取得中...");
    SetProgressText(2, "ｻｰﾊﾞｰに接続しています。");

    LogonPair& logon = Signin().DownloadLogon;
    if (forceSignIn != -1 && Settei().Record.UserSettei.CHK_DGAuto != 0) {
        logon = Signin().LogonInfo;
    } else {
        FRM_Logon window(&ProgressWindow());
        window.exec();
        if (Progress().CancelRequested == -1) {
            message = kInterrupted;
            return kSignInCancelled;
        }
    }

    SetProgressText(2, "日付ﾘｽﾄを取得しています。");
    DateList server;
    if (!GetServerDateList(inet, logon, server)) return kDateListFailed;
    if (server.Count > 0) {
        message = SlashDate(server.Dates[server.Count - 1]) + "～" + SlashDate(server.Dates[0]) +
                  "の" + "ﾃﾞｰﾀは最新です｡";
    }

    SetProgressText(2, "取り込み済みのﾃﾞｰﾀを確認しています。");
    if (!IsDateImported(server, fetched)) return kImportCheckFailed;

    if (fetched.Count > 0) {
        SetProgressText(2, "ﾃﾞｰﾀをﾀﾞｳﾝﾛｰﾄﾞしています｡");
        if (!DownloadArchiveSet(inet, logon, fetched)) {
            // A failed attempt fetched nothing the run can count on.
            fetched = DateList{};
            return kArchiveFailed;
        }
        message.clear();
    }
    return kDownloadOk;
}

void RunAutoImport() {
    DownloadState& state = Download();
    ShowProgressForDownload(true);
    ShowChildDisabled(&MainFrame(), &ProgressWindow());

    Signin().DownloadLogon = LogonPair{};
    state.ServerBase = DataServerAddress();
    InternetTransfer inet;
    int16_t forceSignIn = 0;
    std::string message;
    for (;;) {
        state.AutoDownloadResult = AutoDownload(inet, forceSignIn, state.FetchedDates, message);
        if (state.AutoDownloadResult != kDateListFailed &&
            state.AutoDownloadResult != kImportCheckFailed &&
            state.AutoDownloadResult != kArchiveFailed)
            break;
        forceSignIn = -1;
    }
    ShowProgressForDownload(false);

    const bool fetchedAny = state.FetchedDates.Count > 0;
    // No import follows a download (the archives' daily member is not read), so a completed
    // download is the end of the work: it counts as finished, not as interrupted.
    state.AutoImportDoneFlags[0] = fetchedAny ? -1 : 0;
    state.AutoImportDoneFlags[1] = 0;
    FinishChildDialog(fetchedAny ? -1 : 0, &MainFrame(), &ProgressWindow());

    if (!fetchedAny) {
        MsgInfo(message);
        return;
    }
    if (state.AutoImportDoneFlags[0] == -1) {
        MsgInfo(kFinished);
        if (!TrimSpaces(News().NewsText).empty()) ShowNewsWindow(&MainFrame());
    } else {
        MsgInfo(kInterrupted);
    }
    if (state.AutoImportDoneFlags[1] == -1 && !TrimSpaces(message).empty()) MsgInfo(message);
}
