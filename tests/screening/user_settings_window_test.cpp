// ctest-labels: dialogs charts
// The user settings dialog offscreen: what it shows on the defaults, the print and sign-in
// switches, what 適用, OK and ｷｬﾝｾﾙ store in "Settei.ini", the reset of settings it cannot
// show, and every field loaded and saved again unchanged.
#include "screening/user_settings_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabWidget>
#include <QTest>
#include <algorithm>
#include <functional>
#include <memory>
#include <string>

#include "foundation/settings.h"
#include "foundation/settings_fields.h"
#include "foundation/state.h"
#include "platform/atomic_file.h"
#include "platform/twips.h"
#include "screening/commands.h"
#include "support/fresh_state.h"
#include "support/modal.h"
#include "support/scripted_sink.h"
#include "support/temp_folder.h"
#include "ui/input_boxes.h"
#include "views/main_frame.h"
#include "views/selection_window.h"
#include "views/state.h"

namespace {

constexpr const char* kMustSet = "設定する必要があります";
constexpr const char* kDefaultsLoaded = "初期設定を読み込みました。";

std::string FileBytes(const std::string& path) {
    std::string bytes;
    ReadWholeFile(path, bytes);
    return bytes;
}

// The record a fresh run would read from the folder's "Settei.ini".
SetteiRecord StoredRecord(LogonPair& logon) {
    const SetteiRecord current = Settei().Record;
    LoadSettei(logon);
    SetteiRecord stored = Settei().Record;
    Settei().Record = current;
    return stored;
}

class UserSettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Settei().FixedToday =
            std::chrono::year{2024} / std::chrono::month{6} / std::chrono::day{15};
        LogonPair logon;
        LoadSettei(logon);
    }
    void TearDown() override { window.reset(); }
    void Open() {
        window = std::make_unique<FRM_ユーザ設定>();
        window->Load();
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    template <typename Control = QWidget>
    Control* Get(const char* name) const {
        auto* control = window->findChild<Control*>(QString::fromUtf8(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    bool Selected(const char* name) const { return Get<QRadioButton>(name)->isChecked(); }
    // On a check box's or option button's mark, which a wide button's middle may miss.
    void Click(const char* name) const {
        QWidget* control = Get(name);
        QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(8, control->height() / 2));
    }
    std::string Shown(const char* list) const {
        return Get<QComboBox>(list)->currentText().toStdString();
    }
    UserSettei& User() const { return Settei().Record.UserSettei; }

    TempAppFolder folder;
    ScriptedSink sink;
    std::unique_ptr<FRM_ユーザ設定> window;
};

TEST_F(UserSettingsTest, TheDefaultsAsTheWindowShowsThem) {
    Open();
    QTabWidget* tabs = window->Tabs();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("ﾕｰｻﾞｰ設定"));
    EXPECT_EQ(tabs->objectName(), QStringLiteral("STB_ユーザ設定"));
    EXPECT_EQ(tabs->tabText(tabs->currentIndex()), QStringLiteral("表示・その他"));
    EXPECT_FALSE(tabs->isTabEnabled(0));
    EXPECT_FALSE(tabs->isTabEnabled(1));
    EXPECT_TRUE(tabs->isTabEnabled(3));
    for (const char* option : {"OPT_陰陽", "OPT_速度", "OPT_枠", "OPT_左右", "OPT_MAOff",
                               "OPT_二文", "OPT_DGWeb", "OPT_全て"})
        EXPECT_TRUE(Selected(option)) << option;
    for (const char* option : {"OPT_転換", "OPT_精細", "OPT_Not枠", "OPT_上下", "OPT_MAOn",
                               "OPT_三文", "OPT_DGMail", "OPT_指定"})
        EXPECT_FALSE(Selected(option)) << option;
    EXPECT_FALSE(Get("CHK_白黒")->isEnabled());
    EXPECT_TRUE(Get<QCheckBox>("CHK_連続")->isChecked());
    EXPECT_EQ(Shown("CBO_鈎足"), "50");
    EXPECT_EQ(Shown("CBO_日足"), "150");
    EXPECT_EQ(Shown("CBO_週足"), "150");
    EXPECT_EQ(Shown("CBO_月足"), "150");
    EXPECT_EQ(Shown("CBO_必要文数"), "２文");
    EXPECT_EQ(Shown("CBO_同時転換"), "１４日以内");
    EXPECT_EQ(Get<QDateEdit>("DPC_開始")->text(), QStringLiteral("24/01/01"));

    // The sign-in boxes: off, in the Gothic face, the password as stars.
    EXPECT_FALSE(Get<QCheckBox>("CHK_DGAuto")->isChecked());
    for (const char* box : {"TXT_UID", "TXT_UPW"}) {
        EXPECT_FALSE(Get(box)->isEnabled()) << box;
        EXPECT_EQ(Get(box)->font().family(), QStringLiteral("IPAGothic")) << box;
        EXPECT_EQ(Get<QLineEdit>(box)->maxLength(), 100) << box;
    }
    auto* password = Get<QLineEdit>("TXT_UPW");
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    EXPECT_EQ(
        password->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, password),
        '*');

    // With the whole market in scope the market and watch boxes are off.
    for (const char* check : {"CHK_東プ", "CHK_ヘラ", "CHK_指標", "CHK_注目Min", "CHK_注目Max"})
        EXPECT_TRUE(Get(check)->testAttribute(Qt::WA_Disabled)) << check;
    EXPECT_TRUE(sink.Shown().empty());
}

TEST_F(UserSettingsTest, ApplyStoresTheDisplayCountForTheNextStartOnly) {
    Views().DisplayCount = {50, 150, 150, 150};
    Open();
    const UserSettei before = User();
    Get<QComboBox>("CBO_日足")->setCurrentIndex(5);
    Get<QComboBox>("CBO_鈎足")->setCurrentIndex(9);
    Click("CMD_適用");
    EXPECT_TRUE(window->isVisible());
    LogonPair logon;
    const SetteiRecord stored = StoredRecord(logon);
    EXPECT_EQ(stored.DefaultDisplayCount, (std::array<int16_t, kDisplayKinds>{100, 300, 150, 150}));
    EXPECT_EQ(stored.UserSettei.CBO_日足, 5);
    EXPECT_EQ(stored.UserSettei.CBO_鈎足, 9);
    // The open chart keeps its count until the program starts again.
    EXPECT_EQ(Views().DisplayCount, (std::array<int32_t, kDisplayKinds>{50, 150, 150, 150}));
    // The copy for the opening view is the state at the opening, not at 適用.
    EXPECT_EQ(Settei().UserSetteiBackup.CBO_日足, before.CBO_日足);
}

TEST_F(UserSettingsTest, PrintModeSwitchesBlackAndWhiteWithoutClearingIt) {
    Open();
    Click("OPT_精細");
    EXPECT_TRUE(Get("CHK_白黒")->isEnabled());
    Click("CHK_白黒");
    Click("OPT_速度");
    EXPECT_FALSE(Get("CHK_白黒")->isEnabled());
    EXPECT_TRUE(Get<QCheckBox>("CHK_白黒")->isChecked());
    // A click on the selected button keeps it selected.
    Click("OPT_速度");
    EXPECT_TRUE(Selected("OPT_速度"));
    EXPECT_FALSE(Selected("OPT_精細"));
    Click("CMD_OK");
    EXPECT_EQ(User().OPT_速度, -1);
    EXPECT_EQ(User().OPT_精細, 0);
    EXPECT_EQ(User().CHK_白黒, 1);
}

TEST_F(UserSettingsTest, TheSavedSigninIsTrimmedAndStoredScrambled) {
    Signin().LogonInfo = {"  old  ", "secret "};
    Open();
    EXPECT_EQ(Get<QLineEdit>("TXT_UID")->text(), QStringLiteral("old"));
    EXPECT_EQ(Get<QLineEdit>("TXT_UPW")->text(), QStringLiteral("secret"));
    window->Tabs()->setCurrentIndex(3);
    QTest::qWait(20);  // the page laid out, so that clicks land on its controls
    Click("CHK_DGAuto");
    EXPECT_TRUE(Get("TXT_UID")->isEnabled());
    EXPECT_TRUE(Get("TXT_UPW")->isEnabled());
    EXPECT_TRUE(Get("TXT_UID")->hasFocus());
    EXPECT_EQ(Get<QLineEdit>("TXT_UID")->selectedText(), QStringLiteral("old"));
    Click("CHK_DGAuto");
    EXPECT_FALSE(Get("TXT_UID")->isEnabled());
    EXPECT_FALSE(Get("TXT_UPW")->isEnabled());
    Click("CHK_DGAuto");

    QTest::keyClicks(Get("TXT_UID"), QStringLiteral(" ABC123  "));
    Get<QLineEdit>("TXT_UPW")->setText(QStringLiteral("  pass word "));
    Click("CMD_OK");
    EXPECT_EQ(Signin().LogonInfo.UserId, "ABC123");
    EXPECT_EQ(Signin().LogonInfo.Password, "pass word");
    EXPECT_EQ(User().CHK_DGAuto, 1);
    // The file holds no plain text of the pair, and a fresh run reads it back.
    const std::string bytes = FileBytes(folder.File(kSetteiFileName));
    EXPECT_EQ(bytes.find("ABC123"), std::string::npos);
    EXPECT_EQ(bytes.find("pass word"), std::string::npos);
    LogonPair stored;
    EXPECT_EQ(StoredRecord(stored).UserSettei.CHK_DGAuto, 1);
    EXPECT_EQ(stored.UserId, "ABC123");
    EXPECT_EQ(stored.Password, "pass word");
}

TEST_F(UserSettingsTest, CancelLeavesTheFileAndTheRecordAsTheyWere) {
    ASSERT_TRUE(SaveSettei(Signin().LogonInfo));
    const std::string path = folder.File(kSetteiFileName);
    const std::string bytes = FileBytes(path);
    Open();
    Click("OPT_上下");
    Get<QComboBox>("CBO_月足")->setCurrentIndex(0);
    Click("CMD_cancel");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(FileBytes(path), bytes);
    EXPECT_EQ(User().OPT_左右, -1);
    EXPECT_EQ(User().CBO_月足, 2);
}

TEST_F(UserSettingsTest, ASettingNoControlHoldsResetsEverySetting) {
    const std::pair<const char*, std::function<void(UserSettei&)>> cases[] = {
        {"daily list past its end", [](UserSettei& u) { u.CBO_日足 = 6; }},
        {"kagi list before its start", [](UserSettei& u) { u.CBO_鈎足 = -2; }},
        {"check value 3", [](UserSettei& u) { u.CHK_連続 = 3; }},
        {"negative check value", [](UserSettei& u) { u.Scope.CHK_ヘラ = -1; }},
        {"no such day", [](UserSettei& u) { u.DPC_開始 = "2024/02/30"; }},
        {"not a date", [](UserSettei& u) { u.DPC_開始 = "abc"; }},
    };
    for (const auto& [name, spoil] : cases) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(SaveSettei(Signin().LogonInfo));
        User().OPT_上下 = -1;
        User().OPT_左右 = 0;
        spoil(User());
        sink.Expect(MsgKind::Warn, kMustSet).Expect(MsgKind::Info, kDefaultsLoaded);
        Open();
        EXPECT_TRUE(sink.AllShown());
        EXPECT_FALSE(FileExists(folder.File(kSetteiFileName)));
        EXPECT_TRUE(Selected("OPT_左右"));
        EXPECT_EQ(Shown("CBO_日足"), "150");
        EXPECT_EQ(User().CBO_日足, 2);
        EXPECT_EQ(Settei().UserSetteiBackup.CBO_日足, 2);
        window.reset();
    }
}

TEST_F(UserSettingsTest, AListPositionStoredOutOfRangeNeverReachesTheWindow) {
    User().CBO_週足 = 7;
    ASSERT_TRUE(SaveSettei(Signin().LogonInfo));
    LogonPair logon;
    LoadSettei(logon);
    Open();
    EXPECT_TRUE(sink.Shown().empty());
    EXPECT_EQ(Shown("CBO_週足"), "150");
}

TEST_F(UserSettingsTest, TheStartDateRoundTrip) {
    User().DPC_開始 = "2023/04/05";
    Open();
    auto* picker = Get<QDateEdit>("DPC_開始");
    EXPECT_EQ(picker->date(), QDate(2023, 4, 5));
    EXPECT_EQ(picker->text(), QStringLiteral("23/04/05"));
    picker->setDate(QDate(2022, 12, 31));
    Click("CMD_OK");
    EXPECT_EQ(User().DPC_開始, "2022/12/31");
    LogonPair logon;
    EXPECT_EQ(StoredRecord(logon).UserSettei.DPC_開始, "2022/12/31");
}

// Every field of the record, each away from its default, shown and saved back as it was:
// a control left out of the binding would save its design value instead.
TEST_F(UserSettingsTest, EveryFieldLoadsAndSavesUnchanged) {
    SetteiRecord& record = Settei().Record;
    const std::string prefix = "UserSettei.";
    for (const SetteiField& f : SetteiFields()) {
        if (f.Name.rfind(prefix, 0) != 0 || f.Name.ends_with(".Spare")) continue;
        const std::string control = f.Name.substr(prefix.size());
        if (f.Type == SetteiFieldType::Integer) {
            int16_t& value = *SetteiInteger(record, f.Name);
            if (f.Ranged)
                value = static_cast<int16_t>(f.DefaultValue == f.Max ? f.Min + 1 : f.Max);
            else if (control.starts_with("OPT_"))
                value = f.DefaultValue == 0 ? -1 : 0;
            else
                value = f.DefaultValue == 0 ? 1 : 0;
        } else if (f.Type == SetteiFieldType::Text) {
            *SetteiText(record, f.Name) = control == "DPC_開始" ? "2021/07/08" : "37";
        }
    }
    // One pair with neither button selected stays so.
    record.UserSettei.OPT_MAOn = 0;
    record.UserSettei.OPT_MAOff = 0;
    const SetteiRecord before = record;
    Open();
    EXPECT_FALSE(Selected("OPT_MAOn"));
    EXPECT_FALSE(Selected("OPT_MAOff"));
    EXPECT_TRUE(Selected("OPT_指定"));
    EXPECT_TRUE(Get<QCheckBox>("CHK_東グ")->isChecked());
    EXPECT_EQ(Get<QLineEdit>("TXT_注目Max")->text(), QStringLiteral("37"));
    Click("CMD_OK");
    EXPECT_TRUE(sink.Shown().empty());
    std::string image;
    std::string expected;
    std::string error;
    ASSERT_TRUE(EncodeSetteiImage(record, image, error));
    SetteiRecord wanted = before;
    wanted.UserSettei.SavedUserId = record.UserSettei.SavedUserId;
    wanted.UserSettei.SavedPassword = record.UserSettei.SavedPassword;
    wanted.DefaultDisplayCount = record.DefaultDisplayCount;
    ASSERT_TRUE(EncodeSetteiImage(wanted, expected, error));
    for (const SetteiField& f : SetteiFields()) {
        if (f.Name.rfind(prefix, 0) != 0 || f.Type != SetteiFieldType::Integer) continue;
        EXPECT_EQ(*SetteiInteger(record, f.Name), *SetteiInteger(wanted, f.Name)) << f.Name;
    }
    EXPECT_EQ(image, expected);
    // The display counts follow the lists: positions 9 and 5 are "100" and "300".
    EXPECT_EQ(record.DefaultDisplayCount, (std::array<int16_t, kDisplayKinds>{100, 300, 300, 300}));
}

TEST_F(UserSettingsTest, AListWithNothingChosenKeepsItsCount) {
    User().CBO_週足 = -1;
    Settei().Record.DefaultDisplayCount[2] = 200;
    Open();
    EXPECT_EQ(Get<QComboBox>("CBO_週足")->currentIndex(), -1);
    Click("CMD_OK");
    EXPECT_TRUE(sink.Shown().empty());
    EXPECT_EQ(Settei().Record.DefaultDisplayCount[2], 200);
    EXPECT_EQ(User().CBO_週足, -1);
}

QRect Twips(int left, int top, int width, int height) {
    return {TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height)};
}

// A line of the window's background drawn dark at `dark` and light at `dark + gap`, as the
// etched separators are, at column x of the picture.
void ExpectEtched(const QImage& picture, int x, int dark, int gap, const char* where) {
    const int background = qGray(picture.pixel(x, dark - 3));
    EXPECT_LT(qGray(picture.pixel(x, dark)), background) << where;
    EXPECT_GT(qGray(picture.pixel(x, dark + gap)), background) << where;
}

// Positions in twips as the window is designed (15 a pixel): frames on the tab control,
// the frames' controls on their frames.
TEST_F(UserSettingsTest, TheControlsStandWhereTheWindowPlacesThem) {
    Open();
    EXPECT_EQ(window->size(), QSize(781, 344));
    EXPECT_EQ(window->Tabs()->geometry(), Twips(120, 120, 8175, 4335));
    EXPECT_EQ(Get<QPushButton>("CMD_OK")->geometry(), Twips(4320, 4740, 1200, 310));
    EXPECT_EQ(Get<QPushButton>("CMD_cancel")->geometry(), Twips(5640, 4740, 1200, 310));
    EXPECT_EQ(Get<QPushButton>("CMD_適用")->geometry(), Twips(6960, 4740, 1200, 310));
    const std::tuple<const char*, QRect> frames[] = {
        {"FRM_市場", Twips(0, 480, 3255, 3735)},
        {"FRM_転換状況", Twips(3360, 480, 1212, 972)},
        {"FRA_斜線関門", Twips(4680, 480, 3252, 3492)},
        {"FRA_高値圏", Twips(240, 480, 1695, 1095)},
        {"FRA_MA", Twips(2160, 480, 4095, 1095)},
        {"FRA_出来高", Twips(240, 1920, 4095, 735)},
        {"FRA_表示本数", Twips(240, 480, 1935, 1935)},
        {"FRA_表示色", Twips(2280, 480, 1812, 972)},
        {"FRA_枠", Twips(4200, 480, 1935, 975)},
        {"FRA_2分割", Twips(6240, 480, 1695, 975)},
        {"FRA_連続", Twips(2280, 1560, 3855, 855)},
        {"FRA_移動平均", Twips(6240, 1560, 1695, 855)},
        {"FRA_印刷", Twips(240, 2760, 2412, 1212)},
        {"FRA_上昇下落率", Twips(2760, 2760, 5175, 1215)},
        {"FRA_認証", Twips(240, 480, 7845, 2415)},
        {"FRA_アイコン", Twips(240, 2880, 6615, 1335)},
    };
    // A frame at the tab control's left edge stays clear of its border.
    const int pageLeft = window->Tabs()->currentWidget()->mapTo(window->Tabs(), QPoint(0, 0)).x();
    for (auto [name, place] : frames) {
        auto* frame = Get<QGroupBox>(name);
        place.moveLeft(std::max(place.left(), pageLeft));
        EXPECT_EQ(QRect(frame->mapTo(window->Tabs(), QPoint(0, 0)), frame->size()), place) << name;
        EXPECT_TRUE(frame->parentWidget()->rect().contains(frame->geometry())) << name;
    }
    const std::tuple<const char*, int, int> controls[] = {
        {"OPT_指定", 120, 480},       {"CHK_東プ", 360, 960},      {"CHK_大証", 360, 2400},
        {"CHK_ヘラ", 1920, 2400},     {"CHK_注目Max", 360, 3300},  {"OPT_三文", 120, 480},
        {"CHK_斜線", 240, 480},       {"CBO_必要文数", 720, 1320}, {"CBO_同時転換", 720, 2760},
        {"CHK_高値圏120M", 120, 600}, {"CHK_乖離率D", 120, 600},   {"CHK_出増005D", 120, 240},
        {"CBO_鈎足", 840, 348},       {"CBO_月足", 840, 1440},     {"OPT_転換", 120, 480},
        {"OPT_Not枠", 120, 480},      {"OPT_上下", 120, 480},      {"CHK_連続", 120, 240},
        {"OPT_MAOn", 120, 480},       {"CHK_白黒", 360, 720},      {"DPC_開始", 360, 720},
        {"LBL_開始", 1800, 780},      {"CHK_DGAuto", 360, 510},    {"TXT_UID", 1440, 810},
        {"TXT_UPW", 1440, 1410},      {"Label19", 1440, 2040},     {"OPT_DGWeb", 1440, 540},
        {"OPT_DGMail", 1440, 780},
    };
    for (const auto& [name, left, top] : controls) {
        QWidget* control = Get(name);
        EXPECT_EQ(control->pos(), QPoint(TwipsToPixels(left), TwipsToPixels(top))) << name;
        EXPECT_TRUE(control->parentWidget()->rect().contains(control->geometry())) << name;
    }
    for (const char* suffix : {"Min", "Max"}) {
        const std::string tail(suffix);
        auto* spinner = Get<UpDownSpinner>(("UPD_注目" + tail).c_str());
        QWidget* box = Get(("TXT_注目" + tail).c_str());
        EXPECT_EQ(spinner->height(), box->height()) << suffix;
        EXPECT_EQ(spinner->y(), box->y()) << suffix;
        EXPECT_EQ(box->x(), TwipsToPixels(1440)) << suffix;
        EXPECT_EQ(spinner->x(), TwipsToPixels(1920)) << suffix;
    }

    // The separator over the buttons, and the two under the scope frame's headings.
    const QImage picture = window->grab().toImage();
    for (const int x : {TwipsToPixels(150), TwipsToPixels(8250)})
        ExpectEtched(picture, x, TwipsToPixels(4560), 1, "over the buttons");
    window->Tabs()->setCurrentIndex(0);
    QTest::qWait(20);
    const QImage scope = Get<QGroupBox>("FRM_市場")->grab().toImage();
    ExpectEtched(scope, TwipsToPixels(450), TwipsToPixels(900), 1, "under 市場");
    ExpectEtched(scope, TwipsToPixels(450), TwipsToPixels(2715), 3, "under 注目");
    // The headings stand on their lines, hiding them behind their captions.
    EXPECT_EQ(Get<QLabel>("Label9")->geometry(), Twips(1260, 840, 495, 255));
    EXPECT_EQ(Get<QLabel>("Label8")->geometry(), Twips(1260, 2640, 495, 255));
}

TEST_F(UserSettingsTest, EachTabAsAPicture) {
    Open();
    for (int tab = 0; tab < window->Tabs()->count(); ++tab) {
        window->Tabs()->setCurrentIndex(tab);
        QTest::qWait(20);
        const QString file =
            QStringLiteral(KABUTO_BINARY_DIR "/user_settings_tab%1.png").arg(tab + 1);
        EXPECT_TRUE(window->grab().save(file)) << tab;
    }
}

TEST(UserSettingsMenuTest, OpensFromTheListsToolMenuAndKeepsWhatOkStored) {
    TempAppFolder folder;
    ScriptedSink sink;
    LogonPair logon;
    LoadSettei(logon);
    InstallScreeningCommands();
    ShowSelectionList();
    for (const char* option : {"OPT_MAOn", "OPT_MAOff"}) {
        bool opened = false;
        AnswerNextModalNamed(
            QString::fromUtf8("FRM_ユーザ設定"), [&opened, option](QWidget* modal) {
                auto* window = dynamic_cast<FRM_ユーザ設定*>(modal);
                ASSERT_NE(window, nullptr);
                opened = true;
                window->findChild<QRadioButton*>(QString::fromUtf8(option))->click();
                window->findChild<QPushButton*>(QStringLiteral("CMD_OK"))->click();
            });
        SelectionWindow().MenuItem("MNU_ユーザ設定")->trigger();
        EXPECT_TRUE(opened);
        LogonPair stored;
        EXPECT_EQ(StoredRecord(stored).UserSettei.OPT_MAOn,
                  option == std::string("OPT_MAOn") ? -1 : 0);
    }
    DestroyMainFrame();
}

}  // namespace
