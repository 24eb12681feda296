#include "foundation/text_stores.h"

#include <vector>

#include "foundation/error_texts.h"
#include "foundation/text_utils.h"
#include "platform/app_path.h"
#include "platform/atomic_file.h"
#include "platform/cp932.h"
#include "platform/message_box.h"

namespace {

constexpr std::string_view kCrLf = "\r\n";

struct StoreKind {
    const char* FileName;
    const char* ReadTag;
    const char* WriteTag;
    std::string TextStoreState::*Text;
    bool TextStoreState::*Unread;
    std::string (*Keep)(std::string_view fileText);
    std::string (*FileText)(std::string_view text);
};

// The watch-number reader shares the memo reader's tag, and only "PutChuumoku" has no
// trailing blank: the user sees these texts, so they stay as they always were.
const StoreKind kMemo{"memo.ini",
                      "GetMemo read",
                      "PutMemo ",
                      &TextStoreState::MemoText,
                      &TextStoreState::MemoUnread,
                      KeepIssueValueLines,
                      MemoFileText};
const StoreKind kChuumoku{"chuumoku.ini",
                          "GetMemo read",
                          "PutChuumoku",
                          &TextStoreState::ChuumokuText,
                          &TextStoreState::ChuumokuUnread,
                          KeepIssueValueLines,
                          LineFileText};
const StoreKind kShasen{"shasen.ini",
                        "GetShasen read",
                        "PutShasen ",
                        &TextStoreState::ShasenText,
                        &TextStoreState::ShasenUnread,
                        KeepAllLines,
                        LineFileText};
const StoreKind kKanmon{"kanmon.ini",
                        "GetKanmon read",
                        "PutKanmon ",
                        &TextStoreState::KanmonText,
                        &TextStoreState::KanmonUnread,
                        KeepAllLines,
                        LineFileText};

// The text split at every CR LF; the part after the last CR LF is included, empty or not.
std::vector<std::string_view> SplitCrLf(std::string_view text) {
    return SplitAt(text, kCrLf);
}

// A text whose last line lacks its CR LF would lose that line when written back.
std::vector<std::string_view> WriteParts(std::string_view text, std::string& owned) {
    owned = text;
    if (!owned.ends_with(kCrLf)) owned += kCrLf;
    return SplitCrLf(owned);
}

std::string GetStore(const StoreKind& kind) {
    bool& unread = TextStores().*kind.Unread;
    unread = false;
    const std::string path = AppPath() + kind.FileName;
    std::string error;
    if (!FileExists(path)) {
        if (!WriteFileAtomically(path, "", error)) MsgWarn(kind.ReadTag + error);
        return {};
    }
    std::string bytes;
    std::string text;
    if (!ReadRegularFile(path, bytes, error)) {
        unread = true;
        MsgWarn(kind.ReadTag + error);
        return {};
    }
    if (!DecodeCp932Strict(bytes, text)) {
        unread = true;
        MsgWarn(std::string(kind.ReadTag) + "シフトJISとして読めない文字があります。");
        return {};
    }
    return kind.Keep(text);
}

bool PutStore(const StoreKind& kind) {
    const TextStoreState& state = TextStores();
    if (state.*kind.Unread) return true;
    std::string error;
    const std::string bytes = ToCp932(kind.FileText(state.*kind.Text));
    if (!WriteFileAtomically(AppPath() + kind.FileName, bytes, error)) {
        MsgWarn(kind.WriteTag + error);
        return false;
    }
    return true;
}

}  // namespace

std::vector<std::string_view> StoreLines(std::string_view fileText) {
    std::vector<std::string_view> lines = SplitCrLf(fileText);
    // The part after the last CR LF is a line only when the file does not end there.
    if (lines.back().empty()) lines.pop_back();
    return lines;
}

std::string KeepIssueValueLines(std::string_view fileText) {
    std::string kept;
    for (std::string_view line : StoreLines(fileText)) {
        const size_t tab = line.find('\t');
        // An issue ID is seven characters; fewer than four before the TAB is no issue line.
        if (tab == std::string_view::npos || Utf8ToCodePoints(line.substr(0, tab)).size() < 4)
            continue;
        kept.append(line).append(kCrLf);
    }
    return kept;
}

std::string KeepAllLines(std::string_view fileText) {
    std::string kept;
    for (std::string_view line : StoreLines(fileText)) kept.append(line).append(kCrLf);
    return kept;
}

std::string MemoFileText(std::string_view text) {
    if (text.empty()) return {};
    std::string owned;
    std::string out;
    // Every memo line is followed by an empty one, as the file has always been written.
    for (std::string_view part : WriteParts(text, owned)) out.append(part).append("\r\n\r\n");
    return out;
}

std::string LineFileText(std::string_view text) {
    if (text.empty()) return {};
    std::string owned;
    const auto parts = WriteParts(text, owned);
    std::string out;
    out.append(parts[0]).append(kCrLf);
    for (size_t i = 1; i < parts.size(); ++i)
        if (!parts[i].empty()) out.append(parts[i]).append(kCrLf);
    return out;
}

std::string FindIssueValue(std::string_view text, std::string_view issueId) {
    const std::string key = std::string(issueId) + '\t';
    // Only a line that starts with the key: a memo that mentions another issue's ID
    // must not be taken for that issue's memo.
    for (std::string_view line : SplitCrLf(text)) {
        if (!line.starts_with(key)) continue;
        std::string value;
        for (char c : line.substr(key.size()))
            if (c != '\t' && c != '\r' && c != '\n') value.push_back(c);
        return value;
    }
    return {};
}

std::string GetMemo() {
    return GetStore(kMemo);
}
std::string GetChuumoku() {
    return GetStore(kChuumoku);
}
std::string GetShasen() {
    return GetStore(kShasen);
}
std::string GetKanmon() {
    return GetStore(kKanmon);
}

bool PutMemo() {
    return PutStore(kMemo);
}
bool PutChuumoku() {
    return PutStore(kChuumoku);
}
bool PutShasen() {
    return PutStore(kShasen);
}
bool PutKanmon() {
    return PutStore(kKanmon);
}

std::string FindMemo(std::string_view issueId) {
    return FindIssueValue(TextStores().MemoText, issueId);
}
std::string FindChuumoku(std::string_view issueId) {
    return FindIssueValue(TextStores().ChuumokuText, issueId);
}

std::unordered_map<std::string, std::string> IssueValueIndex(std::string_view text) {
    std::unordered_map<std::string, std::string> index;
    for (std::string_view line : SplitCrLf(text)) {
        const size_t tab = line.find('\t');
        if (tab == std::string_view::npos) continue;
        std::string value;
        for (char c : line.substr(tab + 1))
            if (c != '\t' && c != '\r' && c != '\n') value.push_back(c);
        index.emplace(std::string(line.substr(0, tab)), std::move(value));
    }
    return index;
}

std::string ReplaceIssueValueLine(std::string_view text, std::string_view issueId,
                                  std::string_view value) {
    const std::string key = std::string(issueId) + '\t';
    std::string out;
    for (std::string_view line : SplitCrLf(text)) {
        if (line.empty() || line.starts_with(key)) continue;
        out.append(line).append(kCrLf);
    }
    if (!value.empty()) out.append(key).append(value).append(kCrLf);
    return out;
}
