#pragma once
// The record of every user setting, the compound-search conditions, the print settings
// and the saved sign-in, as "Settei.ini" keeps it whole. Field names are the names of the
// controls that edit them, so a dialog and its record read side by side. Integers are the
// stored 16-bit values: option buttons -1/0, check boxes 1/0, list boxes the 0-based
// position of the chosen entry.
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

// One condition of a dialog: its check box, a spare value nothing uses, and its text.
struct ItemValue {
    int16_t Check = 0;
    int16_t Spare = 0;
    std::string Text;
};

// Which markets and watch numbers a list or a run covers.
struct MarketScope {
    int16_t OPT_全て = 0;
    int16_t OPT_指定 = 0;
    int16_t CHK_東プ = 0;
    int16_t CHK_東ス = 0;
    int16_t CHK_東グ = 0;
    int16_t CHK_東 = 0;
    int16_t CHK_名証 = 0;
    int16_t CHK_指標 = 0;
    int16_t CHK_東1 = 0;
    int16_t CHK_東2 = 0;
    int16_t CHK_大証 = 0;
    int16_t CHK_店頭 = 0;
    int16_t CHK_マザ = 0;
    int16_t CHK_ヘラ = 0;
    ItemValue 注目Min;
    ItemValue 注目Max;
};

// The conditions of the compound search window.
struct SearchSettei {
    MarketScope Scope;
    int16_t OPT_Asc = 0;
    int16_t OPT_Desc = 0;
    int16_t CBO_Fields = 0;
    int16_t CHK_転換 = 0;
    int16_t CBO_転換 = 0;
    ItemValue 開始;
    ItemValue 終了;
    ItemValue 前日Min;
    ItemValue 前日Max;
    ItemValue 株価Min;
    ItemValue 株価Max;
    ItemValue 出来高Min;
    ItemValue 出来高Max;
    ItemValue UpMin;
    ItemValue UpMax;
    ItemValue DownMin;
    ItemValue DownMax;
    ItemValue Name;
    ItemValue Memo;
    int16_t CHK_業種 = 0;
    int16_t CBO_業種 = 0;
    int16_t CHK_高値圏006M = 0;
    int16_t CHK_高値圏120M = 0;
    int16_t CHK_安値圏006M = 0;
    int16_t CHK_安値圏120M = 0;
    int16_t CHK_MAxG = 0;
    int16_t CHK_MAxD = 0;
    ItemValue 乖離005DMin;
    ItemValue 乖離005DMax;
    ItemValue 乖離025DMin;
    ItemValue 乖離025DMax;
    int16_t CHK_出増005D = 0;
    int16_t CHK_Save = 0;
};

// Conditions that only the defaults set; stored so the file image keeps its layout.
struct SpareConditions {
    ItemValue Item1;
    int16_t Value1 = 0;
    int16_t Value2 = 0;
    ItemValue Item2;
    ItemValue Item3;
};

// Saved sign-in characters, indexes 0 to 100 (0 unused).
using SavedLogonArray = std::array<int32_t, 101>;

struct UserSettei {
    MarketScope Scope;
    int16_t OPT_二文 = 0;
    int16_t OPT_三文 = 0;
    int16_t CHK_関門 = 0;
    int16_t CHK_斜線 = 0;
    int16_t CBO_必要文数 = 0;
    int16_t CBO_同時転換 = 0;
    int16_t CHK_高値圏006M = 0;
    int16_t CHK_高値圏120M = 0;
    int16_t CHK_MAx = 0;
    int16_t CHK_乖離率D = 0;
    int16_t CHK_出増005D = 0;
    int16_t CBO_鈎足 = 0;
    int16_t CBO_日足 = 0;
    int16_t CBO_週足 = 0;
    int16_t CBO_月足 = 0;
    int16_t OPT_転換 = 0;
    int16_t OPT_陰陽 = 0;
    int16_t OPT_速度 = 0;
    int16_t OPT_精細 = 0;
    int16_t CHK_白黒 = 0;
    int16_t OPT_枠 = 0;
    int16_t OPT_Not枠 = 0;
    int16_t OPT_左右 = 0;
    int16_t OPT_上下 = 0;
    int16_t OPT_MAOn = 0;
    int16_t OPT_MAOff = 0;
    int16_t CHK_連続 = 0;
    std::string DPC_開始;
    int16_t OPT_DGWeb = 0;
    int16_t OPT_DGMail = 0;
    int16_t CHK_DGAuto = 0;
    SavedLogonArray SavedUserId{};
    SavedLogonArray SavedPassword{};
};

// The switches of the kagi rules: seven pairs of option buttons.
struct KagiJudgeSettei {
    int16_t OPT_長線無制限 = 0;
    int16_t OPT_Not長線 = 0;
    int16_t OPT_連続無制限 = 0;
    int16_t OPT_Not連続 = 0;
    int16_t OPT_新値三超 = 0;
    int16_t OPT_新値三迄 = 0;
    int16_t OPT_第二無制限 = 0;
    int16_t OPT_第二三迄 = 0;
    int16_t OPT_第三考慮 = 0;
    int16_t OPT_第三無制限 = 0;
    int16_t OPT_山無制限 = 0;
    int16_t OPT_山三のみ = 0;
    int16_t OPT_第二採用 = 0;
    int16_t OPT_第二不採用 = 0;
};

struct PrintSettei {
    std::string PrintCaller;  // the window that asked for printing
    int32_t FirstRow = 0;     // range of rows to print
    int32_t LastRow = 0;
    int16_t CBO_Printer = 0;  // index into PrinterNames
    int16_t CBO_Size = 0;     // 0 "A4", 1 "A3"
    int16_t CBO_方法 = 0;     // 0 "自動", 1 "手差し"
    int16_t OPT_縦 = 0;
    int16_t OPT_横 = 0;
    int16_t OPT_All = 0;
    int16_t OPT_Choice = 0;
    int32_t TXT_Count = 0;  // copies
};

// Display counts at start-up: kagi, daily, weekly, monthly.
constexpr int kDisplayKinds = 4;

// A text of a loaded file that is not CP932: the bytes as read and the text shown for them.
struct KeptTextBytes {
    std::string Bytes;
    std::string Shown;
};

struct SetteiRecord {
    struct SearchSettei SearchSettei;
    struct SpareConditions SpareConditions;
    struct UserSettei UserSettei;
    struct KagiJudgeSettei KagiJudgeSettei;
    struct PrintSettei PrintSettei;
    MarketScope ManualSettei;
    std::array<int16_t, kDisplayKinds> DefaultDisplayCount{};
    // Not part of the image: by field name, the texts of the loaded file that are not
    // CP932. While such a text still reads as shown, saving writes its bytes back
    // unchanged, so a field nobody edited keeps what was in the file.
    std::map<std::string, KeptTextBytes, std::less<>> KeptTexts;
};

// The sign-in texts that the settings file saves; the sign-in module keeps its own
// LogonInfo and passes it in and out of the routines below.
struct LogonPair {
    std::string UserId;
    std::string Password;
};
