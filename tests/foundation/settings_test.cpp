// ctest-labels: settings
#include "foundation/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QPrinter>
#include <cstring>

#include "foundation/settings_fields.h"
#include "foundation/text_utils.h"
#include "platform/atomic_file.h"
#include "platform/cp932.h"
#include "platform/printers.h"
#include "support/scripted_sink.h"
#include "support/temp_folder.h"

using namespace std::chrono;

namespace {

constexpr year_month_day kFixedDay = 2026y / February / 15;

class SetteiTest : public ::testing::Test {
  protected:
    void SetUp() override { Settei().FixedToday = kFixedDay; }
    void TearDown() override { SetPrinterSource({}); }
    std::string Path() const { return folder_.File(kSetteiFileName); }
    std::string FileBytes() const {
        std::string bytes;
        EXPECT_TRUE(ReadWholeFile(Path(), bytes));
        return bytes;
    }
    void WriteBytes(const std::string& bytes) {
        std::string error;
        ASSERT_TRUE(WriteFileAtomically(Path(), bytes, error));
    }
    std::string SavedDefaults() {
        LogonPair logon;
        InitSettei(logon);
        EXPECT_TRUE(SaveSettei(logon));
        return FileBytes();
    }

    TempAppFolder folder_;
};

int32_t Le(const std::string& bytes, size_t at, int width) {
    uint32_t value = 0;
    for (int i = 0; i < width; ++i)
        value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes.at(at + i))) << (8 * i);
    return width == 2 ? static_cast<int16_t>(value) : static_cast<int32_t>(value);
}

void PutLe(std::string& bytes, size_t at, int32_t value, int width) {
    for (int i = 0; i < width; ++i) bytes.at(at + i) = static_cast<char>((value >> (8 * i)) & 0xFF);
}

void PutLe16(std::string& bytes, size_t at, int16_t value) {
    PutLe(bytes, at, value, 2);
}

// The first coded character of the saved user ID.
constexpr size_t kFirstSavedIdElement = 392;

std::string WithSavedIdCode(std::string bytes, int32_t code) {
    PutLe(bytes, kFirstSavedIdElement, code + kLogonKey, 4);
    return bytes;
}

}  // namespace

TEST_F(SetteiTest, DefaultImageHasTheDocumentedLayout) {
    const std::string bytes = SavedDefaults();
    // 1214 fixed bytes and the 29 default texts: six dates, six "1", ten "0", four "0.0".
    ASSERT_EQ(bytes.size(), 1214u + 6 * 10 + 6 + 10 + 4 * 3);

    struct Expect {
        size_t offset;
        int width;
        int32_t value;
    };
    const Expect cases[] = {
        {0, 2, -1},      // SearchSettei OPT_全て
        {2, 2, 0},       // OPT_指定
        {32, 2, 1},      // length of TXT_注目Min
        {42, 2, -1},     // OPT_Asc
        {56, 2, 10},     // length of the lower turn date
        {274, 2, -1},    // UserSettei OPT_全て
        {316, 2, -1},    // OPT_二文
        {324, 2, 2},     // CBO_必要文数
        {326, 2, 14},    // CBO_同時転換
        {338, 2, 4},     // CBO_鈎足
        {368, 2, 1},     // CHK_連続
        {370, 2, 10},    // length of DPC_開始
        {382, 2, -1},    // OPT_DGWeb
        {1196, 2, -1},   // OPT_長線無制限
        {1202, 2, -1},   // OPT_Not連続
        {1224, 2, 0},    // length of PrintCaller
        {1240, 2, -1},   // OPT_縦
        {1246, 2, -1},   // OPT_Choice
        {1248, 4, 1},    // TXT_Count
        {1252, 2, -1},   // ManualSettei OPT_全て
        {1294, 2, 50},   // default kagi count
        {1296, 2, 150},  // daily
        {1300, 2, 150},  // monthly
    };
    for (const Expect& c : cases) EXPECT_EQ(Le(bytes, c.offset, c.width), c.value) << c.offset;
    EXPECT_EQ(bytes.substr(34, 1), "1");
    EXPECT_EQ(bytes.substr(58, 10), "2025/01/01");  // the lower turn date
    EXPECT_EQ(bytes.substr(74, 10), "2026/02/15");  // the upper turn date is today
    EXPECT_EQ(bytes.substr(372, 10), "2025/01/01");
    EXPECT_EQ(SetteiImageOffset(Settei().Record, "UserSettei.SavedUserId"), 388);
    EXPECT_EQ(SetteiImageOffset(Settei().Record, "KagiJudgeSettei.OPT_長線無制限"), 1196);
    // An empty sign-in is stored as 100 coded blanks; element 0 is never used.
    EXPECT_EQ(Le(bytes, 388, 4), 0);
    EXPECT_EQ(Le(bytes, 392, 4), ' ' + kLogonKey);
    EXPECT_EQ(Le(bytes, 792 + 400, 4), ' ' + kLogonKey);
}

TEST_F(SetteiTest, EveryFieldLandsAtItsOffsetAndReadsBack) {
    LogonPair logon;
    InitSettei(logon);
    SetteiRecord& record = Settei().Record;
    int32_t distinct = 1000;
    for (const SetteiField& f : SetteiFields()) {
        ++distinct;
        if (f.Type == SetteiFieldType::Integer)
            *SetteiInteger(record, f.Name) = static_cast<int16_t>(f.Ranged ? f.Max : distinct);
        if (f.Type == SetteiFieldType::Long) *SetteiLong(record, f.Name) = distinct * 70000;
    }
    record.SearchSettei.Name.Text = "ﾄﾖﾀ自動車";
    record.PrintSettei.PrintCaller = "FRM_先行観測";
    const SetteiRecord written = record;
    ASSERT_TRUE(SaveSettei(logon));
    const std::string bytes = FileBytes();

    for (const SetteiField& f : SetteiFields()) {
        const int64_t at = SetteiImageOffset(written, f.Name);
        SetteiRecord copy = written;
        if (f.Type == SetteiFieldType::Integer) {
            EXPECT_EQ(Le(bytes, at, 2), *SetteiInteger(copy, f.Name)) << f.Name;
        }
        if (f.Type == SetteiFieldType::Long) {
            EXPECT_EQ(Le(bytes, at, 4), *SetteiLong(copy, f.Name)) << f.Name;
        }
    }
    // "ﾄﾖﾀ" is three single bytes, "自動車" three double bytes.
    const int64_t nameAt = SetteiImageOffset(written, "SearchSettei.TXT_Name");
    EXPECT_EQ(Le(bytes, nameAt, 2), 9);

    Settei() = SetteiState{};
    LogonPair loaded{"x", "y"};
    LoadSettei(loaded);
    for (const SetteiField& f : SetteiFields()) {
        SetteiRecord copy = written;
        if (f.Type == SetteiFieldType::Integer) {
            EXPECT_EQ(*SetteiInteger(Settei().Record, f.Name), *SetteiInteger(copy, f.Name))
                << f.Name;
        }
        if (f.Type == SetteiFieldType::Text) {
            EXPECT_EQ(*SetteiText(Settei().Record, f.Name), *SetteiText(copy, f.Name)) << f.Name;
        }
    }
    EXPECT_EQ(loaded.UserId, "");
    EXPECT_EQ(loaded.Password, "");
}

TEST_F(SetteiTest, FieldEditedAtItsOffsetReadsBack) {
    std::string bytes = SavedDefaults();
    PutLe16(bytes, 1240, 0);    // OPT_縦
    PutLe16(bytes, 1242, -1);   // OPT_横
    PutLe16(bytes, 1294, 100);  // default kagi count
    PutLe16(bytes, 338, 9);     // CBO_鈎足
    WriteBytes(bytes);
    LogonPair logon;
    LoadSettei(logon);
    const SetteiRecord& r = Settei().Record;
    EXPECT_EQ(r.PrintSettei.OPT_縦, 0);
    EXPECT_EQ(r.PrintSettei.OPT_横, -1);
    EXPECT_EQ(r.DefaultDisplayCount[0], 100);
    EXPECT_EQ(r.UserSettei.CBO_鈎足, 9);

    std::array<int32_t, kDisplayKinds> counts{};
    CopySetteiFlags(counts);
    EXPECT_EQ(counts, (std::array<int32_t, kDisplayKinds>{100, 150, 150, 150}));
}

TEST_F(SetteiTest, SavedSignInRoundTrips) {
    const LogonPair cases[] = {
        {"abc123", ""},
        {"  user01 ", "パス ﾜｰﾄﾞ9"},
        {std::string(100, 'u'), std::string(100, 'p')},
        {"", ""},
    };
    for (const LogonPair& c : cases) {
        LogonPair logon = c;
        ASSERT_TRUE(ScrambleLogon(-1, logon));
        LogonPair back{"stale", "stale"};
        ASSERT_TRUE(ScrambleLogon(0, back));
        EXPECT_EQ(back.UserId, c.UserId == "  user01 " ? "user01" : c.UserId);
        EXPECT_EQ(back.Password, c.Password);
    }
    // A double-byte character is stored as its code read as a signed 16-bit value.
    LogonPair logon{"あA", ""};
    ASSERT_TRUE(ScrambleLogon(-1, logon));
    const SavedLogonArray& id = Settei().Record.UserSettei.SavedUserId;
    EXPECT_EQ(id[1], static_cast<int16_t>(0x82A0) + kLogonKey);
    EXPECT_EQ(id[2], 'A' + kLogonKey);
    EXPECT_EQ(id[3], ' ' + kLogonKey);

    // Too long: refused before anything changes.
    const SavedLogonArray before = id;
    LogonPair tooLong{"abc", std::string(101, 'p')};
    EXPECT_FALSE(ScrambleLogon(-1, tooLong));
    EXPECT_EQ(id, before);

    // Through the file.
    LogonPair saved;
    InitSettei(saved);
    saved = {"user01", "secret"};
    ASSERT_TRUE(SaveSettei(saved));
    LogonPair loaded;
    Settei() = SetteiState{};
    LoadSettei(loaded);
    EXPECT_EQ(loaded.UserId, "user01");
    EXPECT_EQ(loaded.Password, "secret");
    // The file carries the sign-in: only its owner may read it.
    struct stat st {};
    ASSERT_EQ(stat(Path().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(SetteiTest, InvalidFilesTakeTheResetPath) {
    const std::string good = SavedDefaults();
    auto edited = [&](size_t at, int16_t value) {
        std::string bytes = good;
        PutLe16(bytes, at, value);
        return bytes;
    };
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"zeros", std::string(good.size(), '\0')},
        {"cut short", good.substr(0, 1000)},
        {"cut inside a text", good.substr(0, 60)},
        {"text runs past the end", edited(370, 30000)},
        {"kagi count 0", edited(1294, 0)},
        {"sign-in element a lone lead byte", WithSavedIdCode(good, 0x81)},
        {"sign-in element past the code page", WithSavedIdCode(good, 70000)},
        {"empty", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes(c.bytes);
        Settei().Record.DefaultDisplayCount[0] = 77;
        ScriptedSink sink;
        sink.Expect(MsgKind::Warn, "設定する必要があります")
            .Expect(MsgKind::Info, "初期設定を読み込みました。");
        LogonPair logon{"keep", "keep"};
        LoadSettei(logon);
        EXPECT_TRUE(sink.AllShown());
        EXPECT_FALSE(FileExists(Path()));
        EXPECT_EQ(Settei().Record.DefaultDisplayCount[0], 50);
        EXPECT_EQ(logon.UserId, "");
        EXPECT_EQ(logon.Password, "");
    }
}

TEST_F(SetteiTest, AValueOutOfRangeTakesItsDefaultAndTheFileStays) {
    LogonPair logon;
    InitSettei(logon);
    // A setting away from its default, which every case must leave loaded.
    Settei().Record.UserSettei.CBO_同時転換 = 3;
    ASSERT_TRUE(SaveSettei(logon));
    const std::string good = FileBytes();
    struct Case {
        const char* field;
        int16_t stored;
        int16_t loaded;
    };
    const Case cases[] = {
        {"DefaultDisplayCount.鈎足", -1, 50},   {"DefaultDisplayCount.鈎足", 5, 50},
        {"DefaultDisplayCount.鈎足", 110, 50},  {"DefaultDisplayCount.鈎足", 10, 10},
        {"DefaultDisplayCount.日足", 0, 150},   {"DefaultDisplayCount.日足", 40, 150},
        {"DefaultDisplayCount.月足", 300, 300}, {"UserSettei.CBO_鈎足", 10, 4},
        {"PrintSettei.CBO_Size", 2, 0},         {"SearchSettei.CBO_Fields", 7, 0},
        {"SearchSettei.CBO_業種", 99, 0},       {"SearchSettei.CBO_業種", -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " " + std::to_string(c.stored));
        std::string bytes = good;
        PutLe16(bytes, SetteiImageOffset(Settei().Record, c.field), c.stored);
        WriteBytes(bytes);
        Settei() = SetteiState{};
        LoadSettei(logon);  // the strict sink fails the test on any message
        EXPECT_EQ(*SetteiInteger(Settei().Record, c.field), c.loaded);
        EXPECT_EQ(Settei().Record.UserSettei.CBO_同時転換, 3);
        EXPECT_EQ(FileBytes(), bytes);
    }
}

TEST_F(SetteiTest, TextsThatDoNotDecodeKeepTheirBytes) {
    const std::string good = SavedDefaults();
    const int64_t nameAt = SetteiImageOffset(Settei().Record, "SearchSettei.TXT_Name");
    struct Case {
        const char* what;
        std::string bytes;
        const char* shown;
    };
    const Case cases[] = {
        {"a lone lead byte", "ab\x81", "ab?"},
        {"0x80", "a\x80z", "a?z"},
        {"0xA0", "\xA0", "?"},
        {"0xFF", "\xFF\xFF", "??"},
        {"an unmapped pair", "\x85\x40x", "?x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string file = good;
        std::string text;
        text.push_back(static_cast<char>(c.bytes.size()));
        text.push_back('\0');
        file.replace(nameAt, 2, text + c.bytes);
        WriteBytes(file);
        Settei() = SetteiState{};
        LogonPair logon;
        LoadSettei(logon);
        EXPECT_EQ(Settei().Record.SearchSettei.Name.Text, c.shown);
        EXPECT_EQ(FileBytes(), file);
        // Saved untouched, the text goes back as it came; edited, it is written anew.
        ASSERT_TRUE(SaveSettei(logon));
        EXPECT_EQ(FileBytes(), file);
        Settei().Record.SearchSettei.Name.Text = "トヨタ";
        ASSERT_TRUE(SaveSettei(logon));
        EXPECT_EQ(FileBytes().substr(nameAt + 2, 6), ToCp932("トヨタ"));
    }
    // The defaults replace a kept text like any other.
    LogonPair logon;
    InitSettei(logon);
    EXPECT_TRUE(Settei().Record.KeptTexts.empty());
}

TEST_F(SetteiTest, SignInBytesOfTheCodePageRestoreAndStoreAsTheSameByte) {
    const std::string good = SavedDefaults();
    const std::pair<int32_t, const char*> cases[] = {
        {0x80, "\u0080"}, {0xA0, "\uF8F0"}, {0xFD, "\uF8F1"}, {0xFF, "\uF8F3"}};
    for (auto [code, restored] : cases) {
        SCOPED_TRACE(code);
        const std::string file = WithSavedIdCode(good, code);
        WriteBytes(file);
        Settei() = SetteiState{};
        LogonPair logon;
        LoadSettei(logon);
        EXPECT_EQ(logon.UserId, restored);
        ASSERT_TRUE(SaveSettei(logon));
        EXPECT_EQ(FileBytes(), file);
    }
}

TEST_F(SetteiTest, AFolderInTheFilesPlaceIsKeptAsideAndTheDefaultsLoad) {
    // A folder in the file's place: it cannot be read, nor deleted as a file, so it is
    // moved out of the way of the next save.
    ASSERT_EQ(mkdir(Path().c_str(), 0700), 0);
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn,
                "パス名が無効です。\r\n読めなかった「Settei.ini」を「Settei.ini."
                "bak」として残しました。")
        .Expect(MsgKind::Warn, "設定する必要があります")
        .Expect(MsgKind::Info, "初期設定を読み込みました。");
    LogonPair logon{"keep", "keep"};
    LoadSettei(logon);
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(Settei().Record.DefaultDisplayCount[0], 50);
    EXPECT_EQ(logon.UserId, "");
}

TEST_F(SetteiTest, MissingFileAndResetGiveDefaults) {
    LogonPair logon{"a", "b"};
    LoadSettei(logon);  // no file: defaults, no message
    EXPECT_EQ(logon.UserId, "");
    EXPECT_EQ(Settei().Record.UserSettei.CBO_同時転換, 14);
    EXPECT_FALSE(FileExists(Path()));

    // Reset without a file still loads the defaults.
    Settei().Record.UserSettei.CBO_同時転換 = 3;
    Settei().Record.PrintSettei.PrintCaller = "FRM_選択";
    Settei().Record.PrintSettei.FirstRow = 5;
    Settei().Record.UserSettei.SavedUserId[7] = 42;
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn, "設定する必要があります")
        .Expect(MsgKind::Info, "初期設定を読み込みました。");
    ResetSettei(logon);
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(Settei().Record.UserSettei.CBO_同時転換, 14);
    // The defaults leave the saved sign-in and the print range alone.
    EXPECT_EQ(Settei().Record.PrintSettei.PrintCaller, "FRM_選択");
    EXPECT_EQ(Settei().Record.PrintSettei.FirstRow, 5);
    EXPECT_EQ(Settei().Record.UserSettei.SavedUserId[7], 42);
}

TEST_F(SetteiTest, ImageIsRewrittenWholeAndATailIsIgnored) {
    LogonPair logon;
    InitSettei(logon);
    Settei().Record.SearchSettei.Memo.Text = std::string(500, 'm');
    ASSERT_TRUE(SaveSettei(logon));
    const size_t longSize = FileBytes().size();
    Settei().Record.SearchSettei.Memo.Text = "m";
    ASSERT_TRUE(SaveSettei(logon));
    std::string bytes = FileBytes();
    EXPECT_EQ(bytes.size(), longSize - 499);

    // A longer file written by an older program: the tail is ignored on loading.
    WriteBytes(bytes + std::string(300, 'x'));
    Settei().Record.SearchSettei.Memo.Text = "changed";
    LoadSettei(logon);
    EXPECT_EQ(Settei().Record.SearchSettei.Memo.Text, "m");
}

TEST_F(SetteiTest, RateStartDateFollowsTheQuarter) {
    const std::pair<year_month_day, const char*> cases[] = {
        {2026y / January / 1, "2025/01/01"},
        {2026y / March / 31, "2025/01/01"},
        {2026y / April / 1, "2026/01/01"},
        {2026y / December / 31, "2026/01/01"},
    };
    for (auto [day, expected] : cases) {
        SetteiRecord record;
        ApplySetteiDefaults(record, day);
        EXPECT_EQ(record.UserSettei.DPC_開始, expected);
        EXPECT_EQ(record.SearchSettei.開始.Text, expected);
        EXPECT_EQ(record.SpareConditions.Item2.Text, FormatSlashDate(day));
        EXPECT_EQ(record.SpareConditions.Item2.Check, 1);
    }
}

TEST_F(SetteiTest, DialogsFindFieldsByControlName) {
    SetteiRecord record;
    EXPECT_EQ(SetteiInteger(record, "UserSettei.OPT_二文"), &record.UserSettei.OPT_二文);
    EXPECT_EQ(SetteiInteger(record, "SearchSettei.CHK_下限"), &record.SearchSettei.株価Min.Check);
    EXPECT_EQ(SetteiText(record, "SearchSettei.TXT_Min"), &record.SearchSettei.株価Min.Text);
    EXPECT_EQ(SetteiText(record, "UserSettei.TXT_注目Max"), &record.UserSettei.Scope.注目Max.Text);
    EXPECT_EQ(SetteiInteger(record, "ManualSettei.CHK_ヘラ"), &record.ManualSettei.CHK_ヘラ);
    EXPECT_EQ(SetteiLong(record, "PrintSettei.TXT_Count"), &record.PrintSettei.TXT_Count);
    EXPECT_EQ(SetteiInteger(record, "PrintSettei.TXT_Count"), nullptr);  // a Long
    EXPECT_EQ(SetteiInteger(record, "UserSettei.OPT_無い"), nullptr);
}

TEST_F(SetteiTest, PrinterListFindsTheDefault) {
    struct Case {
        const char* what;
        InstalledPrinters printers;
        int16_t saved;
        int16_t expected;
    };
    const std::vector<PrinterEntry> four = {{"A", false}, {"B", true}, {"C", false}, {"D", false}};
    const Case cases[] = {
        {"default by name", {four, "C"}, 0, 2},
        {"default by attribute", {four, ""}, 0, 1},
        {"no default keeps the saved index",
         {{{"A", false}, {"B", false}, {"C", false}}, ""},
         1,
         1},
        // The printer may only be switched off for now: its index is kept for the next
        // run, and whoever prints falls back to the current printer meanwhile.
        {"a saved index past the list stays", {{{"A", false}}, ""}, 5, 5},
        {"a default found replaces an index past the list", {{{"A", false}}, "A"}, 5, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetPrinterSource([&] { return c.printers; });
        Settei().Record.PrintSettei.CBO_Printer = c.saved;
        Settei().Record.PrintSettei.CBO_Size = 1;
        Settei().Record.PrintSettei.TXT_Count = 3;
        Settei().Record.PrintSettei.PrintCaller = "FRM_PF";
        InitPrintSettei();
        EXPECT_EQ(Settei().Record.PrintSettei.CBO_Printer, c.expected);
        EXPECT_EQ(Settei().PrintJob.CBO_Printer, c.expected);
        EXPECT_EQ(Settei().PrinterNames.size(), c.printers.Printers.size());
        EXPECT_EQ(Settei().PrintJob.CBO_Size, 1);
        EXPECT_EQ(Settei().PrintJob.TXT_Count, 3);
        EXPECT_EQ(Settei().PrintJob.PrintCaller, "");
    }
}

TEST_F(SetteiTest, MachineWithoutPrintersPrintsToPdf) {
    SetPrinterSource({});
    ListPrinters();
    // The build machine has no print server; a machine with printers lists them instead.
    if (Settei().PrinterNames != std::vector<std::string>{kPdfPrinterName})
        GTEST_SKIP() << "this machine has printers";
    EXPECT_EQ(Settei().Record.PrintSettei.CBO_Printer, 0);
    QPrinter printer;
    SelectPrinter(printer, kPdfPrinterName);
    EXPECT_EQ(printer.outputFormat(), QPrinter::PdfFormat);
    EXPECT_EQ(printer.outputFileName().toStdString(), folder_.File(kPdfPrintFileName));
}
