// ctest-labels: compoundsearch charts
// The compound search window offscreen: the enable states, the key filters, leaving a
// box, the arrows, the date pair, and what 適用, OK and ｷｬﾝｾﾙ keep and show.
#include "screening/compound_search_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <cstring>
#include <memory>
#include <string>

#include "foundation/database.h"
#include "foundation/issue_list.h"
#include "foundation/selection.h"
#include "foundation/settings.h"
#include "foundation/settings_fields.h"
#include "foundation/state.h"
#include "platform/atomic_file.h"
#include "platform/flex_grid.h"
#include "screening/commands.h"
#include "screening/state.h"
#include "support/fresh_state.h"
#include "support/market_fixture.h"
#include "support/modal.h"
#include "support/scripted_sink.h"
#include "support/temp_folder.h"
#include "ui/input_boxes.h"
#include "views/list_services.h"
#include "views/main_frame.h"
#include "views/selection_window.h"

namespace {

constexpr const char* kNotNumeric = "数値を入力してください。";

std::string Name(const QWidget* control) {
    return control->objectName().toStdString();
}

std::string Text(const QLineEdit* box) {
    return box->text().toStdString();
}

// The window on the default settings, shown and active so that focus moves for real.
class CompoundSearchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetAllState();
        Settei().FixedToday =
            std::chrono::year{2024} / std::chrono::month{6} / std::chrono::day{15};
        LogonPair logon;
        LoadSettei(logon);
    }
    void TearDown() override {
        window.reset();
        ResetAllState();
    }
    void Open() {
        window = std::make_unique<FRM_複合検索>();
        window->Load();
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    template <typename Control = QLineEdit>
    Control* Get(const char* name) const {
        auto* control = window->findChild<Control*>(QString::fromUtf8(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    QCheckBox* Check(const char* name) const { return Get<QCheckBox>(name); }
    // The box usable, as ticking its condition makes it.
    QLineEdit* Usable(const char* name) const {
        QLineEdit* box = Get(name);
        box->setEnabled(true);
        return box;
    }
    // The user leaves the box for the 適用 button.
    void Leave(QLineEdit* box) const {
        box->setFocus(Qt::OtherFocusReason);
        Get<QPushButton>("CMD_適用")->setFocus(Qt::TabFocusReason);
    }

    TempAppFolder folder;
    ScriptedSink sink;
    std::unique_ptr<FRM_複合検索> window;
};

TEST_F(CompoundSearchTest, InputsFollowTheirBoxesAndTheScope) {
    Open();
    const char* inputs[] = {"TXT_注目Min", "TXT_注目Max",   "TXT_前日Min",     "TXT_UpMax",
                            "TXT_Min",     "TXT_出来高Max", "TXT_乖離025DMin", "TXT_Name"};
    for (const char* name : inputs) EXPECT_FALSE(Get(name)->isEnabled()) << name;
    for (const char* name : {"CBO_転換", "CBO_業種", "DPC_開始", "DPC_終了", "UPD_UpMin"})
        EXPECT_FALSE(Get<QWidget>(name)->isEnabled()) << name;
    for (const char* name : {"CHK_東プ", "CHK_ヘラ", "CHK_注目Min", "CHK_注目Max"})
        EXPECT_FALSE(Check(name)->isEnabled()) << name;
    EXPECT_TRUE(Get<QRadioButton>("OPT_全て")->isChecked());
    EXPECT_EQ(Get<QComboBox>("CBO_業種")->count(), 36);

    // Ticking moves into the input with its text selected; unticking greys it out.
    window->Tabs()->setCurrentIndex(1);
    QTest::mouseClick(Check("CHK_UpMin"), Qt::LeftButton);
    EXPECT_TRUE(Get("TXT_UpMin")->isEnabled());
    EXPECT_TRUE(Get<QWidget>("UPD_UpMin")->isEnabled());
    EXPECT_TRUE(Get("TXT_UpMin")->hasFocus());
    EXPECT_EQ(Get("TXT_UpMin")->selectedText(), QStringLiteral("0"));
    QTest::mouseClick(Check("CHK_UpMin"), Qt::LeftButton);
    EXPECT_FALSE(Get("TXT_UpMin")->isEnabled());
    EXPECT_FALSE(Get<QWidget>("UPD_UpMin")->isEnabled());

    // With 全て the watch inputs stay off even when their boxes are ticked.
    window->Tabs()->setCurrentIndex(0);
    Check("CHK_注目Max")->setChecked(true);
    QTest::mouseClick(Get<QRadioButton>("OPT_指定"), Qt::LeftButton);
    EXPECT_TRUE(Get<QRadioButton>("OPT_指定")->isChecked());
    EXPECT_FALSE(Get<QRadioButton>("OPT_全て")->isChecked());
    EXPECT_TRUE(Check("CHK_東プ")->isEnabled());
    EXPECT_TRUE(Get("TXT_注目Max")->isEnabled());
    EXPECT_TRUE(Get<QWidget>("UPD_注目Max")->isEnabled());
    EXPECT_FALSE(Get("TXT_注目Min")->isEnabled());
    Get<QRadioButton>("OPT_全て")->click();
    EXPECT_TRUE(Get<QRadioButton>("OPT_全て")->isChecked());
    EXPECT_FALSE(Get<QRadioButton>("OPT_指定")->isChecked());
    EXPECT_FALSE(Check("CHK_注目Max")->isEnabled());
    EXPECT_FALSE(Get("TXT_注目Max")->isEnabled());
    EXPECT_FALSE(Get<QWidget>("UPD_注目Max")->isEnabled());
}

TEST_F(CompoundSearchTest, KeyFilters) {
    Open();
    struct Case {
        const char* box;
        const char* before;
        bool selectAll;
        int cursor;
        const char* typed;
        const char* after;
    } cases[] = {
        {"TXT_前日Min", "", false, 0, "-5", "-5"},
        {"TXT_前日Min", "5", false, 0, "-", "5"},
        {"TXT_前日Min", "5", true, 0, "-", "-"},
        {"TXT_前日Min", "12", false, 2, "a+", "12"},
        {"TXT_乖離005DMin", "", false, 0, ".", ""},
        {"TXT_乖離005DMin", "-", false, 1, ".", "-"},
        {"TXT_乖離005DMin", "1.5", false, 3, ".", "1.5"},
        {"TXT_乖離005DMin", "5", true, 0, ".", "5"},
        {"TXT_乖離005DMin", "5", false, 0, ".", ".5"},
        {"TXT_乖離005DMin", "-1", false, 2, ".25", "-1.25"},
        {"TXT_乖離005DMin", "1234567", false, 7, "89", "12345678"},
        {"TXT_UpMin", "12", false, 2, "-.", "12"},
        {"TXT_UpMin", "12", false, 2, "34", "123"},
        {"TXT_UpMin", "123", true, 0, "4", "4"},
        {"TXT_注目Max", "", false, 0, "1005", "100"},
        {"TXT_Min", "", false, 0, "1234567890", "123456789"},
        {"TXT_出来高Max", "", false, 0, "123456789012", "12345678901"},
        {"TXT_前日Max", "", false, 0, "-1234567890", "-123456789"},
        {"TXT_Name", "", false, 0, "a-.x", "a-.x"},
    };
    for (const Case& c : cases) {
        QLineEdit* box = Usable(c.box);
        box->setText(QString::fromUtf8(c.before));
        box->setCursorPosition(c.cursor);
        if (c.selectAll) box->selectAll();
        QTest::keyClicks(box, QString::fromUtf8(c.typed));
        EXPECT_EQ(Text(box), c.after) << c.box << " '" << c.before << "' + '" << c.typed << "'";
    }
    // Backspace always passes.
    QLineEdit* full = Usable("TXT_UpMin");
    full->setText(QStringLiteral("123"));
    full->setCursorPosition(3);
    QTest::keyClick(full, Qt::Key_Backspace);
    EXPECT_EQ(Text(full), "12");
}

TEST_F(CompoundSearchTest, LeavingABoxChecksFormatsAndOrders) {
    Open();
    struct Case {
        const char* box;
        const char* text;
        const char* after;
        const char* other;
        const char* otherBefore;
        const char* otherAfter;
    } cases[] = {
        {"TXT_前日Min", "", "0", "TXT_前日Max", "0", "0"},
        {"TXT_乖離005DMax", "", "0.0", "TXT_乖離005DMin", "0.0", "0.0"},
        {"TXT_注目Min", "", "1", "TXT_注目Max", "1", "1"},
        {"TXT_注目Max", "0", "1", "TXT_注目Min", "1", "1"},
        {"TXT_UpMin", "5", "5", "TXT_UpMax", "3", "5"},
        {"TXT_UpMax", "3", "3", "TXT_UpMin", "5", "3"},
        {"TXT_DownMax", "1500", "999", "TXT_DownMin", "0", "0"},
        {"TXT_乖離005DMin", "5", "3.0", "TXT_乖離005DMax", "3.0", "3.0"},
        {"TXT_乖離025DMax", "1.256", "1.26", "TXT_乖離025DMin", "-2", "-2"},
        {"TXT_Min", "-0", "0", "TXT_Max", "100", "100"},
        {"TXT_前日Max", "1234567890", "999999999", "TXT_前日Min", "-5", "-5"},
    };
    for (const Case& c : cases) {
        QLineEdit* box = Usable(c.box);
        QLineEdit* other = Get(c.other);
        box->setText(QString::fromUtf8(c.text));
        other->setText(QString::fromUtf8(c.otherBefore));
        Leave(box);
        EXPECT_EQ(Text(box), c.after) << c.box << " '" << c.text << "'";
        EXPECT_EQ(Text(other), c.otherAfter) << c.box << " '" << c.text << "'";
    }
    EXPECT_TRUE(sink.Shown().empty());

    // A lone "-" is refused: the box keeps it, selected, with the focus.
    QLineEdit* change = Usable("TXT_前日Min");
    change->setText(QStringLiteral("-"));
    Get("TXT_前日Max")->setText(QStringLiteral("7"));
    sink.Expect(MsgKind::Warn, kNotNumeric);
    Leave(change);
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(Text(change), "-");
    EXPECT_TRUE(change->hasFocus());
    EXPECT_EQ(change->selectedText(), QStringLiteral("-"));
    EXPECT_EQ(Text(Get("TXT_前日Max")), "7");
}

TEST_F(CompoundSearchTest, ArrowsStepWithinTheirRanges) {
    Open();
    struct Case {
        const char* spinner;
        const char* box;
        const char* before;
        bool up;
        const char* after;
    } cases[] = {
        {"UPD_UpMin", "TXT_UpMin", "999", true, "999"},
        {"UPD_UpMin", "TXT_UpMin", "998", true, "999"},
        {"UPD_UpMax", "TXT_UpMax", "0", false, "0"},
        {"UPD_DownMin", "TXT_DownMin", "", true, "1"},
        {"UPD_DownMax", "TXT_DownMax", "5", false, "4"},
        {"UPD_UpMin", "TXT_UpMin", "1200", false, "998"},
        {"UPD_注目Min", "TXT_注目Min", "100", true, "100"},
        {"UPD_注目Max", "TXT_注目Max", "1", false, "1"},
        {"UPD_注目Max", "TXT_注目Max", "99", true, "100"},
        {"UPD_注目Min", "TXT_注目Min", "", false, "1"},
    };
    for (const Case& c : cases) {
        QLineEdit* box = Usable(c.box);
        auto* spinner = Get<UpDownSpinner>(c.spinner);
        spinner->setEnabled(true);
        box->setText(QString::fromUtf8(c.before));
        (c.up ? spinner->UpButton() : spinner->DownButton())->click();
        EXPECT_EQ(Text(box), c.after)
            << c.spinner << (c.up ? " up from " : " down from ") << c.before;
    }
}

TEST_F(CompoundSearchTest, TheDatesStayInOrder) {
    Open();
    auto* start = Get<QDateEdit>("DPC_開始");
    auto* end = Get<QDateEdit>("DPC_終了");
    EXPECT_EQ(end->date(), QDate(2024, 6, 15));
    EXPECT_EQ(end->displayFormat(), QStringLiteral("yy/MM/dd"));
    EXPECT_EQ(start->minimumDate(), QDate(1998, 1, 1));
    EXPECT_EQ(start->maximumDate(), QDate(2100, 12, 31));
    // Typed: at once.
    start->setDate(QDate(2024, 8, 1));
    EXPECT_EQ(end->date(), QDate(2024, 8, 1));
    end->setDate(QDate(2024, 3, 1));
    EXPECT_EQ(start->date(), QDate(2024, 3, 1));
    // Chosen in the calendar: when it closes.
    const struct {
        QDateEdit* chosen;
        QDateEdit* other;
        QDate date;
        QDate otherBefore;
    } cases[] = {{start, end, QDate(2024, 9, 1), QDate(2024, 3, 1)},
                 {end, start, QDate(2024, 2, 1), QDate(2024, 9, 1)}};
    for (const auto& c : cases) {
        QWidget* calendar = c.chosen->calendarWidget()->window();
        calendar->show();
        c.chosen->setDate(c.date);
        EXPECT_EQ(c.other->date(), c.otherBefore) << c.chosen->objectName().toStdString();
        calendar->hide();
        EXPECT_EQ(c.other->date(), c.date) << c.chosen->objectName().toStdString();
    }
}

TEST_F(CompoundSearchTest, ApplyWritesTheConditionsAtTheirOffsets) {
    Open();
    window->Tabs()->setCurrentIndex(1);
    QTest::mouseClick(Check("CHK_UpMin"), Qt::LeftButton);
    QTest::keyClicks(Get("TXT_UpMin"), QStringLiteral("12"));
    Check("CHK_Save")->setChecked(true);
    Get<QPushButton>("CMD_適用")->click();
    EXPECT_EQ(Search().SearchApplied, -1);
    EXPECT_TRUE(window->isVisible());
    std::string image;
    ASSERT_TRUE(ReadWholeFile(folder.File(kSetteiFileName), image));
    const SetteiRecord& record = Settei().Record;
    const auto integerAt = [&](const char* name) {
        int16_t value = 0;
        std::memcpy(&value, image.data() + SetteiImageOffset(record, name), 2);
        return value;
    };
    EXPECT_EQ(integerAt("SearchSettei.CHK_UpMin"), 1);
    EXPECT_EQ(integerAt("SearchSettei.CHK_Save"), 1);
    EXPECT_EQ(integerAt("SearchSettei.OPT_全て"), -1);
    EXPECT_EQ(integerAt("SearchSettei.CHK_UpMax"), 0);
    const int64_t text = SetteiImageOffset(record, "SearchSettei.TXT_UpMin");
    EXPECT_EQ(image.substr(text, 4), std::string("\x02\x00"
                                                 "12",
                                                 4));
    EXPECT_EQ(record.SearchSettei.UpMin.Text, "12");
}

// Clicking a button leaves the box first: its refusal is shown once and nothing is saved.
TEST_F(CompoundSearchTest, AButtonClickedFromARefusedBoxSavesNothing) {
    Open();
    window->Tabs()->setCurrentIndex(3);
    QTest::mouseClick(Check("CHK_下限"), Qt::LeftButton);
    QLineEdit* box = Get("TXT_Min");
    ASSERT_TRUE(box->hasFocus());
    box->setText(QStringLiteral("-"));
    sink.Expect(MsgKind::Warn, kNotNumeric);
    QTest::mouseClick(Get<QPushButton>("CMD_適用"), Qt::LeftButton);
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(Search().SearchApplied, 0);
    EXPECT_EQ(Settei().Record.SearchSettei.株価Min.Check, 0);
    EXPECT_TRUE(box->hasFocus());
    // Mended, the next click applies.
    box->setText(QStringLiteral("150"));
    QTest::mouseClick(Get<QPushButton>("CMD_適用"), Qt::LeftButton);
    EXPECT_EQ(Search().SearchApplied, -1);
    EXPECT_EQ(Settei().Record.SearchSettei.株価Min.Text, "150");
    EXPECT_EQ(Settei().Record.SearchSettei.株価Min.Check, 1);
}

// A saved date that is no date: every setting goes back to its default, with both messages.
TEST_F(CompoundSearchTest, ASavedDateThatIsNoDateResetsEverySetting) {
    Settei().Record.SearchSettei.開始.Text = "2024/02/30";
    Settei().Record.UserSettei.Scope.CHK_東プ = 1;
    Settei().Record.SearchSettei.CHK_MAxG = 1;
    Signin().LogonInfo = {"tester", "secret01"};
    sink.Expect(MsgKind::Warn, "設定する必要があります")
        .Expect(MsgKind::Info, "初期設定を読み込みました。");
    Open();
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(Settei().Record.UserSettei.Scope.CHK_東プ, 0);
    EXPECT_FALSE(Check("CHK_MAxG")->isChecked());
    EXPECT_NE(Settei().Record.SearchSettei.開始.Text, "2024/02/30");
    EXPECT_EQ(Signin().LogonInfo.UserId, "tester");
}

TEST_F(CompoundSearchTest, StoredValuesTheControlsWouldRefuseReset) {
    struct Case {
        const char* name;
        void (*spoil)(SearchSettei&);
    } cases[] = {
        {"a list position past its list", [](SearchSettei& s) { s.CBO_業種 = 36; }},
        {"a check value of 3", [](SearchSettei& s) { s.CHK_MAxD = 3; }},
        {"a date before the picker's range", [](SearchSettei& s) { s.終了.Text = "1997/12/31"; }},
    };
    for (const Case& c : cases) {
        c.spoil(Settei().Record.SearchSettei);
        sink.Expect(MsgKind::Warn, "設定する必要があります").Expect(MsgKind::Info);
        Open();
        EXPECT_TRUE(sink.AllShown()) << c.name;
        EXPECT_EQ(Settei().Record.SearchSettei.CBO_業種, 0) << c.name;
        EXPECT_EQ(Settei().Record.SearchSettei.CHK_MAxD, 0) << c.name;
    }
    // Greyed boxes, a stored 0/0 option pair and a text past the typing limit load as they are.
    SearchSettei& s = Settei().Record.SearchSettei;
    s.CHK_Save = 2;
    s.OPT_Asc = 0;
    s.UpMin.Text = "12345";
    Open();
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(Check("CHK_Save")->checkState(), Qt::PartiallyChecked);
    EXPECT_FALSE(Get<QRadioButton>("OPT_Asc")->isChecked());
    EXPECT_FALSE(Get<QRadioButton>("OPT_Desc")->isChecked());
    EXPECT_EQ(Text(Get("TXT_UpMin")), "12345");
    Get<QPushButton>("CMD_適用")->click();
    EXPECT_EQ(s.CHK_Save, 2);
    EXPECT_EQ(s.OPT_Asc, 0);
    EXPECT_EQ(s.OPT_Desc, 0);
}

// Positions in pixels of the twips the window is designed in (15 a pixel).
TEST_F(CompoundSearchTest, TheControlsStandWhereTheWindowPlacesThem) {
    Open();
    EXPECT_EQ(window->size(), QSize(449, 414));
    EXPECT_EQ(window->Tabs()->geometry(), QRect(8, 8, 433, 329));
    EXPECT_EQ(Get<QCheckBox>("CHK_Save")->pos(), QPoint(24, 352));
    EXPECT_EQ(Get<QPushButton>("CMD_OK")->geometry(), QRect(176, 384, 80, 21));
    EXPECT_EQ(Get<QPushButton>("CMD_cancel")->geometry(), QRect(264, 384, 80, 21));
    EXPECT_EQ(Get<QPushButton>("CMD_適用")->geometry(), QRect(352, 384, 80, 21));
    for (QWidget* control : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        EXPECT_TRUE(window->rect().contains(control->geometry())) << Name(control);
    // Each tab's contents fit the tab: nothing reaches past the page's edges.
    for (int tab = 0; tab < window->Tabs()->count(); ++tab) {
        window->Tabs()->setCurrentIndex(tab);
        QWidget* page = window->Tabs()->currentWidget();
        QApplication::processEvents();
        const QSize needed = page->layout()->minimumSize();
        EXPECT_LE(needed.width(), page->width()) << tab;
        EXPECT_LE(needed.height(), page->height()) << tab;
        for (QWidget* control : page->findChildren<QWidget*>()) {
            if (!control->isVisibleTo(page)) continue;
            const QRect onPage(control->mapTo(page, QPoint(0, 0)), control->size());
            EXPECT_TRUE(page->rect().contains(onPage)) << Name(control) << " on tab " << tab;
        }
    }
    // Each up-down stands beside its box, as tall as the box.
    const char* const spinners[][2] = {
        {"UPD_注目Min", "TXT_注目Min"}, {"UPD_注目Max", "TXT_注目Max"},
        {"UPD_UpMin", "TXT_UpMin"},     {"UPD_UpMax", "TXT_UpMax"},
        {"UPD_DownMin", "TXT_DownMin"}, {"UPD_DownMax", "TXT_DownMax"}};
    for (const auto& pair : spinners) {
        auto* spinner = Get<UpDownSpinner>(pair[0]);
        auto* box = Get(pair[1]);
        EXPECT_EQ(spinner->height(), box->height()) << pair[0];
        EXPECT_EQ(spinner->y(), box->y()) << pair[0];
    }
}

TEST_F(CompoundSearchTest, EachTabAsAPicture) {
    Open();
    for (int tab = 0; tab < window->Tabs()->count(); ++tab) {
        window->Tabs()->setCurrentIndex(tab);
        QTest::qWait(20);
        const QString file =
            QStringLiteral(KABUTO_BINARY_DIR "/compound_search_tab%1.png").arg(tab + 1);
        EXPECT_TRUE(window->grab().save(file)) << tab;
    }
}

// The window over the issue list of the synthetic market.
class CompoundSearchListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        market_ = std::make_unique<MarketFixture>();
        KABUTO_REQUIRE_MARKET(*market_);
        Settei().FixedToday =
            std::chrono::year{2024} / std::chrono::month{6} / std::chrono::day{15};
        LogonPair defaults;
        LoadSettei(defaults);
        ASSERT_TRUE(GetSijou());
        InstallScreeningCommands();
        // The turn and rate columns the generator leaves empty.
        Daily(
            "UPDATE TBL銘柄属性 SET 転換状況 = '買', 上昇率 = 12 WHERE 証券コード IN "
            "('1301','1303')");
        Daily("UPDATE TBL銘柄属性 SET 転換状況 = '買', 上昇率 = 2 WHERE 証券コード = '1305'");
        Daily("UPDATE TBL銘柄属性 SET 転換状況 = '売', 上昇率 = 20 WHERE 証券コード = '1302'");
        ShowSelectionList();
        ASSERT_TRUE(ShowIssueList(Grid(), kListAll));
    }
    void TearDown() override {
        DestroyMainFrame();
        market_.reset();
    }
    void Daily(std::string statement) {
        RecordsetPtr rs;
        EXPECT_TRUE(ExecuteSql(Database().DailyConnection, statement, rs)) << statement;
    }
    FlexGrid& Grid() const { return SelectionWindow().Grid(); }
    std::vector<std::string> Codes() const {
        std::vector<std::string> codes;
        for (int row = 1; row < Grid().Rows(); ++row) codes.push_back(Grid().TextMatrix(row, 2));
        return codes;
    }
    // Opens the window from the list's menu and answers it.
    void Answer(std::function<void(FRM_複合検索&)> answer) {
        AnswerNextModalNamed(QString::fromUtf8("FRM_複合検索"), [answer](QWidget* modal) {
            auto* window = dynamic_cast<FRM_複合検索*>(modal);
            ASSERT_NE(window, nullptr);
            answer(*window);
        });
        SelectionWindow().MenuItem("MNU_複数条件")->trigger();
    }
    template <typename Control = QLineEdit>
    static Control* Get(const QWidget& window, const char* name) {
        return window.findChild<Control*>(QString::fromUtf8(name));
    }

    std::unique_ptr<MarketFixture> market_;
    ScriptedSink sink;
};

TEST_F(CompoundSearchListTest, OkListsTheMatchingIssuesAllSelectedAndKeepsTheConditions) {
    Answer([](FRM_複合検索& w) {
        w.Tabs()->setCurrentIndex(1);
        Get<QCheckBox>(w, "CHK_転換")->click();
        Get<QComboBox>(w, "CBO_転換")->setCurrentIndex(1);
        Get<QCheckBox>(w, "CHK_UpMin")->click();
        QTest::keyClicks(Get(w, "TXT_UpMin"), QStringLiteral("5"));
        Get<QPushButton>(w, "CMD_OK")->click();
    });
    EXPECT_EQ(Codes(), (std::vector<std::string>{"1301", "1303"}));
    EXPECT_EQ(Grid().Row(), 1);
    EXPECT_EQ(Grid().RowSel(), 2);
    EXPECT_EQ(Search().SearchApplied, -1);

    bool shown = false;
    Answer([&shown](FRM_複合検索& w) {
        shown = true;
        EXPECT_TRUE(Get<QCheckBox>(w, "CHK_転換")->isChecked());
        EXPECT_EQ(Get<QComboBox>(w, "CBO_転換")->currentIndex(), 1);
        EXPECT_TRUE(Get(w, "TXT_UpMin")->isEnabled());
        EXPECT_EQ(Get(w, "TXT_UpMin")->text(), QStringLiteral("5"));
        Get<QPushButton>(w, "CMD_cancel")->click();
    });
    EXPECT_TRUE(shown);
    EXPECT_EQ(IssueSelection().SelectedCount(), 0);
}

TEST_F(CompoundSearchListTest, NoMatchEmptiesTheList) {
    Answer([](FRM_複合検索& w) {
        Get<QCheckBox>(w, "CHK_UpMin")->click();
        Get(w, "TXT_UpMin")->setText(QStringLiteral("999"));
        Get<QPushButton>(w, "CMD_OK")->click();
    });
    EXPECT_EQ(Grid().Rows(), 1);
}

TEST_F(CompoundSearchListTest, ApplyAndCancelLeaveTheListAsItWas) {
    const std::vector<std::string> before = Codes();
    Grid().SetRow(1);
    Grid().SetRowSel(3);
    ASSERT_TRUE(CollectSelectedRows(Grid()));
    Answer([](FRM_複合検索& w) {
        Get<QCheckBox>(w, "CHK_MAxG")->click();
        Get<QPushButton>(w, "CMD_適用")->click();
        EXPECT_TRUE(w.isVisible());
        Get<QPushButton>(w, "CMD_cancel")->click();
    });
    EXPECT_EQ(Codes(), before);
    EXPECT_EQ(Search().SearchApplied, -1);
    EXPECT_EQ(Settei().Record.SearchSettei.CHK_MAxG, 1);
    EXPECT_EQ(IssueSelection().SelectedCount(), 0);

    // ｷｬﾝｾﾙ alone saves nothing.
    Answer([](FRM_複合検索& w) {
        Get<QCheckBox>(w, "CHK_MAxD")->click();
        Get<QPushButton>(w, "CMD_cancel")->click();
    });
    EXPECT_EQ(Settei().Record.SearchSettei.CHK_MAxD, 0);
    EXPECT_EQ(Codes(), before);
}

// Enter presses OK without the box losing the focus: its check runs first all the same.
TEST_F(CompoundSearchListTest, EnterOnOkChecksTheBoxInUse) {
    const std::vector<std::string> before = Codes();
    bool stayed = false;
    sink.Expect(MsgKind::Warn, kNotNumeric);
    Answer([&stayed](FRM_複合検索& w) {
        w.Tabs()->setCurrentIndex(3);
        Get<QCheckBox>(w, "CHK_下限")->click();
        QLineEdit* box = Get(w, "TXT_Min");
        // The focus arrives with the window's activation, which a loaded machine delays.
        QElapsedTimer waited;
        waited.start();
        while (!box->hasFocus() && waited.elapsed() < 3000) QTest::qWait(20);
        EXPECT_TRUE(box->hasFocus());
        if (box->hasFocus()) {
            box->setText(QStringLiteral("-"));
            QTest::keyClick(box, Qt::Key_Return);
            stayed = w.isVisible();
        }
        EXPECT_EQ(Settei().Record.SearchSettei.株価Min.Check, 0);
        // Closed on every way out, so a failure never leaves the test waiting on the dialog.
        w.reject();
    });
    EXPECT_TRUE(stayed);
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(Search().SearchApplied, 0);
    EXPECT_EQ(Codes(), before);
}

}  // namespace
