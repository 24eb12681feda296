#include "foundation/settings.h"

#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <utility>

#include "foundation/settings_fields.h"
#include "foundation/text_utils.h"
#include "platform/app_path.h"
#include "platform/atomic_file.h"
#include "platform/cp932.h"
#include "platform/file_errors.h"
#include "platform/message_box.h"
#include "platform/printers.h"

namespace {

std::string SetteiPath() {
    return AppPath() + kSetteiFileName;
}

std::string YearStartText(std::chrono::year_month_day today) {
    // The rise and fall rates start with the calendar year, but in its first quarter a
    // year has too few bars to compare, so the previous year is taken.
    auto year = today.year();
    if (today.month() <= std::chrono::March) --year;
    return FormatSlashDate(year / std::chrono::January / 1);
}

// Single bytes that code page 932 as Windows defines it reads as characters and iconv's
// CP932 does not. A saved sign-in holding one restores, and is stored again, as the same
// byte.
constexpr std::pair<uint32_t, char32_t> kSingleByteExtras[] = {
    {0x80, U'\u0080'}, {0xA0, U'\uF8F0'}, {0xFD, U'\uF8F1'}, {0xFE, U'\uF8F2'}, {0xFF, U'\uF8F3'},
};

// The code-page code of one character: a single byte as 0-255, a double-byte character
// as its two-byte code read as a signed 16-bit value.
int32_t CharCode(char32_t c) {
    for (const auto& [byte, extra] : kSingleByteExtras)
        if (extra == c) return static_cast<int32_t>(byte);
    std::string utf8;
    AppendUtf8(utf8, c);
    const std::string bytes = ToCp932(utf8);
    const auto b0 = static_cast<unsigned char>(bytes[0]);
    if (bytes.size() == 1) return b0;
    return static_cast<int16_t>((b0 << 8) | static_cast<unsigned char>(bytes[1]));
}

// The character a code stands for; false when the code is no character of the code page.
bool CodeChar(int64_t code, std::string& utf8) {
    if (code < -32768 || code > 65535) return false;
    const auto value = static_cast<uint32_t>(code) & 0xFFFF;
    for (const auto& [byte, extra] : kSingleByteExtras) {
        if (byte != value) continue;
        utf8.clear();
        AppendUtf8(utf8, extra);
        return true;
    }
    std::string bytes;
    if (value > 0xFF) bytes.push_back(static_cast<char>(value >> 8));
    bytes.push_back(static_cast<char>(value & 0xFF));
    return DecodeCp932Strict(bytes, utf8) && Utf8ToCodePoints(utf8).size() == 1;
}

void EncodeLogonText(std::u32string chars, SavedLogonArray& saved) {
    chars.resize(kLogonLength, U' ');
    for (int i = 1; i <= kLogonLength; ++i) saved[i] = CharCode(chars[i - 1]) + kLogonKey;
}

bool DecodeLogonText(const SavedLogonArray& saved, std::string& text) {
    std::string out;
    for (int i = 1; i <= kLogonLength; ++i) {
        std::string ch;
        if (!CodeChar(static_cast<int64_t>(saved[i]) - kLogonKey, ch)) return false;
        out += ch;
    }
    text = TrimSpaces(out);
    return true;
}

}  // namespace

std::chrono::year_month_day SetteiToday() {
    const auto& fixed = Settei().FixedToday;
    if (fixed) return *fixed;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return std::chrono::year{local.tm_year + 1900} /
           std::chrono::month{static_cast<unsigned>(local.tm_mon + 1)} /
           std::chrono::day{static_cast<unsigned>(local.tm_mday)};
}

void ApplySetteiDefaults(SetteiRecord& record, std::chrono::year_month_day today) {
    for (const SetteiField& f : SetteiFields()) {
        if (f.Default == SetteiDefault::Keep) continue;
        switch (f.Type) {
            case SetteiFieldType::Integer:
                *SetteiInteger(record, f.Name) = static_cast<int16_t>(f.DefaultValue);
                break;
            case SetteiFieldType::Long:
                *SetteiLong(record, f.Name) = f.DefaultValue;
                break;
            case SetteiFieldType::Text: {
                record.KeptTexts.erase(f.Name);
                std::string& text = *SetteiText(record, f.Name);
                if (f.Default == SetteiDefault::Today) {
                    text = FormatSlashDate(today);
                } else if (f.Default == SetteiDefault::YearStart) {
                    text = YearStartText(today);
                } else {
                    text = f.DefaultText;
                }
                break;
            }
            case SetteiFieldType::LongArray:
                break;
        }
    }
}

bool StoreLogon(const LogonPair& logon, UserSettei& user) {
    const std::u32string id = Utf8ToCodePoints(TrimSpaces(logon.UserId));
    const std::u32string password = Utf8ToCodePoints(TrimSpaces(logon.Password));
    // Refused before anything changes, so the saved sign-in stays whole.
    if (id.size() > kLogonLength || password.size() > kLogonLength) return false;
    EncodeLogonText(id, user.SavedUserId);
    EncodeLogonText(password, user.SavedPassword);
    return true;
}

bool RestoreLogon(const UserSettei& user, LogonPair& logon) {
    LogonPair restored;
    if (!DecodeLogonText(user.SavedUserId, restored.UserId)) return false;
    if (!DecodeLogonText(user.SavedPassword, restored.Password)) return false;
    logon = std::move(restored);
    return true;
}

bool ScrambleLogon(int direction, LogonPair& logon) {
    UserSettei& user = Settei().Record.UserSettei;
    if (direction == -1) return StoreLogon(logon, user);
    if (direction == 0) return RestoreLogon(user, logon);
    return false;
}

void InitSettei(LogonPair& logon) {
    ApplySetteiDefaults(Settei().Record, SetteiToday());
    logon = {};
}

void LoadSettei(LogonPair& logon) {
    const std::string path = SetteiPath();
    if (!FileExists(path)) {
        InitSettei(logon);
        return;
    }
    // Read into a copy so that a bad file never leaves a half-read record behind.
    std::string image;
    SetteiRecord loaded;
    LogonPair restored;
    // Only a file that is cut short or unreadable, or that fails the two validity tests
    // of the image (the sign-in restores, the kagi display count is set), is given up.
    std::string error;
    if (!ReadRegularFile(path, image, error) || !DecodeSetteiImage(image, loaded) ||
        !RestoreLogon(loaded.UserSettei, restored) || loaded.DefaultDisplayCount[0] == 0) {
        // Something other than a file (a FIFO, a folder) is kept, not deleted.
        const std::string kept = SetAsideIfNotRegular(path);
        if (!kept.empty()) MsgWarn(error + kept);
        logon = {};
        ResetSettei(logon);
        return;
    }
    // One value out of its range costs that setting only: it takes its default in memory,
    // and the file keeps it until the next save.
    SettleSetteiRanges(loaded);
    Settei().Record = std::move(loaded);
    logon = std::move(restored);
}

bool SaveSettei(const LogonPair& logon) {
    // A sign-in too long to store leaves the one saved before.
    SetteiRecord& record = Settei().Record;
    StoreLogon(logon, record.UserSettei);
    std::string image;
    std::string error;
    // The file holds the saved sign-in: only its owner may read it.
    if (!EncodeSetteiImage(record, image, error) ||
        !WriteFileAtomically(SetteiPath(), image, error, 0600)) {
        MsgWarn(error);
        return false;
    }
    return true;
}

void ResetSettei(LogonPair& logon) {
    // A file that is already gone needs no deleting; the defaults are loaded either way.
    if (unlink(SetteiPath().c_str()) != 0 && errno != ENOENT)
        MsgWarn(FileErrorText(errno, SetteiPath()));
    MsgWarn("設定する必要があります");
    InitSettei(logon);
    MsgInfo("初期設定を読み込みました。");
}

void CopySetteiFlags(std::array<int32_t, kDisplayKinds>& displayCount) {
    const auto& counts = Settei().Record.DefaultDisplayCount;
    for (int i = 0; i < kDisplayKinds; ++i) displayCount[i] = counts[i];
}

void InitPrintSettei() {
    const PrintSettei& saved = Settei().Record.PrintSettei;
    PrintSettei& job = Settei().PrintJob;
    job.CBO_Size = saved.CBO_Size;
    job.CBO_方法 = saved.CBO_方法;
    job.OPT_縦 = saved.OPT_縦;
    job.OPT_横 = saved.OPT_横;
    job.OPT_All = saved.OPT_All;
    job.OPT_Choice = saved.OPT_Choice;
    job.TXT_Count = saved.TXT_Count;
    ListPrinters();
}

void ListPrinters() {
    const InstalledPrinters list = QueryPrinters();
    SetteiState& state = Settei();
    int16_t& chosen = state.Record.PrintSettei.CBO_Printer;
    state.PrinterNames.clear();
    for (size_t i = 0; i < list.Printers.size(); ++i) {
        const PrinterEntry& printer = list.Printers[i];
        // Without the system's default name, the printer's own attributes tell.
        const bool isDefault =
            list.DefaultName.empty() ? printer.DefaultAttribute : printer.Name == list.DefaultName;
        if (isDefault) chosen = static_cast<int16_t>(i);
        state.PrinterNames.push_back(printer.Name);
    }
    // Without a default the saved index stays, even past the list: a printer switched off
    // for now gets its place back on the next run. Whoever prints checks the index against
    // PrinterNames and keeps the current printer when it is off the list.
    state.PrintJob.CBO_Printer = chosen;
}
