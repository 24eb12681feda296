// ctest-labels: compoundsearch
#include "ui/settings_binder.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QRadioButton>
#include <functional>

#include "support/scripted_sink.h"

namespace {

const BoundControl kOrder[] = {
    {"CHK_Save", BoundKind::Check}, {"OPT_Asc", BoundKind::Option}, {"CBO_Fields", BoundKind::List},
    {"TXT_Name", BoundKind::Text},  {"DPC_開始", BoundKind::Date},
};

// A dialog with one control of each kind, named as the search conditions' fields.
struct BoundDialog {
    BoundDialog() {
        Add(new QCheckBox(&window), "CHK_Save");
        Add(new QRadioButton(&window), "OPT_Asc");
        auto* list = new QComboBox(&window);
        list->addItems({QStringLiteral("a"), QStringLiteral("b")});
        Add(list, "CBO_Fields");
        Add(new QLineEdit(&window), "TXT_Name");
        auto* picker = new QDateEdit(&window);
        picker->setDateRange(QDate(1998, 1, 1), QDate(2100, 12, 31));
        Add(picker, "DPC_開始");
    }
    template <typename T>
    T* Add(T* control, const char* name) {
        control->setObjectName(QString::fromUtf8(name));
        return control;
    }
    template <typename T>
    T* Get(const char* name) {
        return window.findChild<T*>(QString::fromUtf8(name));
    }
    QWidget window;
};

TEST(SettingsBinder, LoadsAndSavesEachKindOfControl) {
    BoundDialog dialog;
    SetteiRecord record;
    SearchSettei& s = record.SearchSettei;
    s.CHK_Save = 2;
    s.OPT_Asc = -1;
    s.CBO_Fields = 1;
    s.Name.Text = "longer than the box";
    s.開始.Text = "2024/02/29";
    ASSERT_TRUE(LoadBoundControls(dialog.window, "SearchSettei", kOrder, record));
    EXPECT_EQ(dialog.Get<QCheckBox>("CHK_Save")->checkState(), Qt::PartiallyChecked);
    EXPECT_TRUE(dialog.Get<QRadioButton>("OPT_Asc")->isChecked());
    EXPECT_EQ(dialog.Get<QComboBox>("CBO_Fields")->currentIndex(), 1);
    EXPECT_EQ(dialog.Get<QLineEdit>("TXT_Name")->text(), QStringLiteral("longer than the box"));
    EXPECT_EQ(dialog.Get<QDateEdit>("DPC_開始")->date(), QDate(2024, 2, 29));

    dialog.Get<QCheckBox>("CHK_Save")->setCheckState(Qt::Checked);
    dialog.Get<QRadioButton>("OPT_Asc")->setChecked(false);
    dialog.Get<QComboBox>("CBO_Fields")->setCurrentIndex(-1);
    dialog.Get<QDateEdit>("DPC_開始")->setDate(QDate(2025, 1, 5));
    SaveBoundControls(dialog.window, "SearchSettei", kOrder, record);
    EXPECT_EQ(s.CHK_Save, 1);
    EXPECT_EQ(s.OPT_Asc, 0);
    EXPECT_EQ(s.CBO_Fields, -1);
    EXPECT_EQ(s.開始.Text, "2025/01/05");
}

TEST(SettingsBinder, ValuesTheControlsWouldRefuseStopTheLoad) {
    const struct {
        const char* name;
        std::function<void(SearchSettei&)> spoil;
        bool nameLoaded;
    } cases[] = {
        {"check value 3", [](SearchSettei& s) { s.CHK_Save = 3; }, false},
        {"check value -1", [](SearchSettei& s) { s.CHK_Save = -1; }, false},
        {"list position 2 of two", [](SearchSettei& s) { s.CBO_Fields = 2; }, false},
        {"list position -2", [](SearchSettei& s) { s.CBO_Fields = -2; }, false},
        {"no date", [](SearchSettei& s) { s.開始.Text = "2023/02/29"; }, true},
        {"a date past the picker's range", [](SearchSettei& s) { s.開始.Text = "2101/01/01"; },
         true},
    };
    for (const auto& c : cases) {
        BoundDialog dialog;
        SetteiRecord record;
        record.SearchSettei.開始.Text = "2024/01/04";
        record.SearchSettei.Name.Text = "set";
        c.spoil(record.SearchSettei);
        EXPECT_FALSE(LoadBoundControls(dialog.window, "SearchSettei", kOrder, record)) << c.name;
        // The controls before the refused one keep what they were given.
        EXPECT_EQ(dialog.Get<QLineEdit>("TXT_Name")->text() == "set", c.nameLoaded) << c.name;
    }
}

TEST(SettingsBinder, AMissingControlIsShownWhenSaving) {
    QWidget empty;
    SetteiRecord record;
    record.SearchSettei.CHK_Save = 1;
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn, "コントロールが見つかりません。");
    SaveBoundControls(empty, "SearchSettei", kOrder, record);
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(record.SearchSettei.CHK_Save, 1);
    EXPECT_FALSE(LoadBoundControls(empty, "SearchSettei", kOrder, record));
}

}  // namespace
