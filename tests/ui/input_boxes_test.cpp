// ctest-labels: inputs
#include "ui/input_boxes.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include "support/scripted_sink.h"

namespace {

constexpr const char* kNotNumeric = "数値を入力してください。";
constexpr const char* kOutOfRange = "表示されている範囲内で設定してください。";

// A dialog with the boxes a test needs, shown and active so focus moves for real.
struct Dialog {
    Dialog() {
        window.resize(400, 300);
        layout = new QHBoxLayout(&window);
    }
    QLineEdit* Box(const char* name, const char* text = "") {
        auto* box = new QLineEdit(QString::fromUtf8(text), &window);
        box->setObjectName(QString::fromUtf8(name));
        layout->addWidget(box);
        return box;
    }
    void Show() {
        window.show();
        QApplication::setActiveWindow(&window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    // The user leaves `from` for `to`.
    static void Leave(QLineEdit* from, QWidget* to) {
        from->setFocus(Qt::OtherFocusReason);
        to->setFocus(Qt::TabFocusReason);
    }
    QWidget window;
    QHBoxLayout* layout = nullptr;
};

std::string Text(const QLineEdit* box) {
    return box->text().toStdString();
}

void TypeJapanese(QWidget* target, const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(target, &event);
}

}  // namespace

TEST(InputBoxes, RoutinesOverOneBox) {
    using Routine = void (*)(QLineEdit*);
    const struct {
        const char* name;
        Routine routine;
        const char* before;
        const char* after;
        bool selected;
    } cases[] = {
        {"FormatIntegerBox", FormatIntegerBox, "", "0", false},
        {"FormatIntegerBox", FormatIntegerBox, "   ", "0", false},
        {"FormatIntegerBox", FormatIntegerBox, "-5", "0", false},
        {"FormatIntegerBox", FormatIntegerBox, "12.7", "13", false},
        {"FormatIntegerBox", FormatIntegerBox, "12.5", "13", false},
        {"FormatIntegerBox", FormatIntegerBox, "1,234", "1234", false},
        {"FormatIntegerBox", FormatIntegerBox, " 42 ", "42", false},
        {"FormatIntegerBox", FormatIntegerBox, "word", "word", false},
        {"FormatIntegerBox", FormatIntegerBox, "1-2", "1-2", false},
        {"FormatCappedIntegerBox", FormatCappedIntegerBox, "1234567890", "999999999", false},
        {"FormatCappedIntegerBox", FormatCappedIntegerBox, "999999999", "999999999", false},
        {"FormatCappedIntegerBox", FormatCappedIntegerBox, "-5", "-5", false},
        {"FormatCappedIntegerBox", FormatCappedIntegerBox, "-5.5", "-6", false},
        {"FormatCappedIntegerBox", FormatCappedIntegerBox, "", "0", false},
        {"FormatCappedIntegerBox", FormatCappedIntegerBox, "abc", "abc", false},
        {"FormatPercentBox", FormatPercentBox, "", "1", false},
        {"FormatPercentBox", FormatPercentBox, "0", "1", false},
        {"FormatPercentBox", FormatPercentBox, "-3", "1", false},
        {"FormatPercentBox", FormatPercentBox, "250", "100", false},
        {"FormatPercentBox", FormatPercentBox, "99999", "100", false},
        {"FormatPercentBox", FormatPercentBox, "100.5", "100", false},
        {"FormatPercentBox", FormatPercentBox, "50.4", "50", false},
        {"FormatPercentBox", FormatPercentBox, "x", "x", false},
        {"SpinUp", SpinUp, "5", "6", true},
        {"SpinUp", SpinUp, "999999999", "999999999", false},
        {"SpinUp", SpinUp, "999999998", "999999999", true},
        {"SpinUp", SpinUp, "-3", "-2", true},
        {"SpinUp", SpinUp, "word", "word", false},
        {"SpinDown", SpinDown, "0", "0", false},
        {"SpinDown", SpinDown, "5", "4", true},
        {"SpinDown", SpinDown, "", "", false},
        {"SpinUpPercent", SpinUpPercent, "99", "100", true},
        {"SpinUpPercent", SpinUpPercent, "100", "100", false},
        {"SpinUpPercent", SpinUpPercent, "99999", "99999", false},
        {"SpinUpPercent", SpinUpPercent, "-7", "2", true},
        {"SpinDownPercent", SpinDownPercent, "2", "1", true},
        {"SpinDownPercent", SpinDownPercent, "1", "1", false},
        {"SpinDownPercent", SpinDownPercent, "0", "0", false},
        {"SpinDownPercent", SpinDownPercent, "99999", "99", true},
    };
    for (const auto& c : cases) {
        QLineEdit box(QString::fromUtf8(c.before));
        c.routine(&box);
        EXPECT_EQ(Text(&box), c.after) << c.name << " on \"" << c.before << "\"";
        EXPECT_EQ(box.hasSelectedText(), c.selected) << c.name << " on \"" << c.before << "\"";
    }
}

TEST(InputBoxes, ChecksAcceptNumbersAndRefuseTheRest) {
    using Check = bool (*)(QLineEdit*);
    const struct {
        const char* name;
        Check check;
        const char* before;
        const char* after;
        bool valid;
    } cases[] = {
        {"CheckIntegerBox", CheckIntegerBox, "", "0", true},
        {"CheckIntegerBox", CheckIntegerBox, "12", "12", true},
        {"CheckIntegerBox", CheckIntegerBox, "-5", "-5", true},
        {"CheckIntegerBox", CheckIntegerBox, "1,234", "1,234", true},
        {"CheckIntegerBox", CheckIntegerBox, "1.5", "1.5", true},
        {"CheckIntegerBox", CheckIntegerBox, " ", " ", false},  // one blank is not empty
        {"CheckIntegerBox", CheckIntegerBox, "abc", "abc", false},
        {"CheckIntegerBox", CheckIntegerBox, "1.2.3", "1.2.3", false},
        {"CheckIntegerBox", CheckIntegerBox, "-", "-", false},
        {"CheckDecimalBox", CheckDecimalBox, "", "0.0", true},
        {"CheckDecimalBox", CheckDecimalBox, "-0.25", "-0.25", true},
        {"CheckDecimalBox", CheckDecimalBox, "5%", "5%", false},
    };
    ScriptedSink sink;
    for (const auto& c : cases) {
        QLineEdit box(QString::fromUtf8(c.before));
        if (!c.valid) sink.Expect(MsgKind::Warn, kNotNumeric);
        EXPECT_EQ(c.check(&box), c.valid) << c.name << " on \"" << c.before << "\"";
        EXPECT_EQ(Text(&box), c.after) << c.name;
        EXPECT_EQ(box.hasSelectedText(), !c.valid && !box.text().isEmpty()) << c.before;
    }
    // A box that does not exist is a trapped error: reported, and never "valid".
    sink.Expect(MsgKind::Warn, "コントロールが見つかりません。");
    EXPECT_FALSE(CheckIntegerBox(nullptr));
    sink.Expect(MsgKind::Warn, "コントロールが見つかりません。");
    EXPECT_FALSE(CheckDecimalBox(nullptr));
    sink.Expect(MsgKind::Warn, "コントロールが見つかりません。");
    FormatPercentBox(nullptr);
    RaiseMaxToMin(nullptr, nullptr);  // the pair routines give up silently
    EXPECT_TRUE(sink.AllShown());
}

TEST(InputBoxes, NumbersAtTheirLimits) {
    // 310 digits read as infinity: no number at all, so nothing formats or steps it.
    const std::string infinite(310, '9');
    const std::string twenty(20, '9');  // finite, past every integer type
    const std::string twentyOne = "1" + std::string(20, '0');
    using Routine = void (*)(QLineEdit*);
    const struct {
        const char* name;
        Routine routine;
        std::string before;
        std::string after;
    } cases[] = {
        {"FormatIntegerBox", FormatIntegerBox, infinite, infinite},
        {"FormatIntegerBox", FormatIntegerBox, twenty, twentyOne},
        {"FormatIntegerBox", FormatIntegerBox, "-" + twenty, "0"},
        {"FormatCappedIntegerBox", FormatCappedIntegerBox, "-" + infinite, "-" + infinite},
        {"FormatCappedIntegerBox", FormatCappedIntegerBox, "-" + twenty, "-" + twentyOne},
        {"FormatCappedIntegerBox", FormatCappedIntegerBox, twenty, "999999999"},
        {"FormatPercentBox", FormatPercentBox, infinite, infinite},
        {"FormatPercentBox", FormatPercentBox, twenty, "100"},
        {"FormatPercentBox", FormatPercentBox, "-" + twenty, "1"},
        {"SpinUp", SpinUp, infinite, infinite},
        {"SpinUp", SpinUp, "-" + twenty, "-" + twentyOne},
        {"SpinDown", SpinDown, infinite, infinite},
        {"SpinUpPercent", SpinUpPercent, "-" + infinite, "-" + infinite},
        {"SpinDownPercent", SpinDownPercent, twenty, "99"},
    };
    for (const auto& c : cases) {
        QLineEdit box(QString::fromStdString(c.before));
        c.routine(&box);
        EXPECT_EQ(Text(&box), c.after) << c.name << " on " << c.before.size() << " characters";
    }

    // Typed into bound boxes and left: the number no box can hold is refused with the
    // box's message and stays selected; a merely large one is written out whole.
    Dialog dialog;
    QLineEdit* count = dialog.Box("TXT_件数");
    QLineEdit* deviation = dialog.Box("TXT_乖離005DMin");
    QLineEdit* other = dialog.Box("TXT_乖離005DMax");
    BindIntegerBox(count);
    BindDecimalPair(deviation, other);
    dialog.Show();
    ScriptedSink sink;
    for (QLineEdit* box : {count, deviation}) {
        box->setFocus(Qt::OtherFocusReason);
        box->clear();
        QTest::keyClicks(box, QString::fromStdString(infinite));
        ASSERT_EQ(Text(box), infinite);
        sink.Expect(MsgKind::Warn, kNotNumeric);
        Dialog::Leave(box, other);
        EXPECT_EQ(Text(box), infinite) << box->objectName().toStdString();
        EXPECT_EQ(box->selectedText().size(), 310) << box->objectName().toStdString();
        box->setText(QStringLiteral("1"));  // a number again, so that it can be left
    }
    count->clear();
    QTest::keyClicks(count, QString::fromStdString(twenty));
    Dialog::Leave(count, other);
    EXPECT_EQ(Text(count), twentyOne);
    EXPECT_TRUE(sink.AllShown());
}

TEST(InputBoxes, PairsOrderThemselves) {
    using Pair = void (*)(QLineEdit*, QLineEdit*);
    const struct {
        const char* name;
        Pair routine;
        const char *min, *max, *minAfter, *maxAfter;
    } cases[] = {
        {"RaiseMaxToMin", RaiseMaxToMin, "30", "", "30", "30"},
        {"RaiseMaxToMin", RaiseMaxToMin, "5", "7", "5", "7"},
        {"RaiseMaxToMin", RaiseMaxToMin, "", " ", "0", "0"},
        {"RaiseMaxToMin", RaiseMaxToMin, "1,000", "999", "1,000", "1,000"},
        {"RaiseMaxToMin", RaiseMaxToMin, "abc", "5", "abc", "5"},
        {"LowerMinToMax", LowerMinToMax, "500", "200", "200", "200"},
        {"LowerMinToMax", LowerMinToMax, "", "", "0", "0"},
        {"LowerMinToMax", LowerMinToMax, "-3", "-8", "-8", "-8"},
        {"LowerDecimalMinToMax", LowerDecimalMinToMax, "1.5", "", "0.0", "0.0"},
        {"LowerDecimalMinToMax", LowerDecimalMinToMax, "-2.5", "-1", "-2.5", "-1"},
        {"LowerDecimalMinToMax", LowerDecimalMinToMax, "", "-1.5", "-1.5", "-1.5"},
    };
    for (const auto& c : cases) {
        QLineEdit minBox(QString::fromUtf8(c.min)), maxBox(QString::fromUtf8(c.max));
        c.routine(&minBox, &maxBox);
        EXPECT_EQ(Text(&minBox), c.minAfter) << c.name << " " << c.min << ".." << c.max;
        EXPECT_EQ(Text(&maxBox), c.maxAfter) << c.name << " " << c.min << ".." << c.max;
    }
}

TEST(InputBoxes, TypingKeepsOnlyWhatTheBoxTakes) {
    const struct {
        NumericKeys keys;
        const char16_t* text;
        int selStart, selLength;
        const char16_t* inserted;
        bool accepted;
    } cases[] = {
        {NumericKeys::Digits, u"12", 2, 0, u"3", true},
        {NumericKeys::Digits, u"12", 0, 0, u"-", false},
        {NumericKeys::Digits, u"12", 2, 0, u".", false},
        {NumericKeys::Digits, u"", 0, 0, u"a", false},
        {NumericKeys::Digits, u"", 0, 0, u" ", false},
        {NumericKeys::Digits, u"", 0, 0, u"１", false},  // full-width digit
        {NumericKeys::Signed, u"12", 0, 0, u"-", true},
        {NumericKeys::Signed, u"12", 1, 0, u"-", false},
        {NumericKeys::Signed, u"-12", 0, 0, u"-", false},
        {NumericKeys::Signed, u"-12", 0, 1, u"-", true},  // typed over the old sign
        {NumericKeys::Signed, u"12", 2, 0, u".", false},
        {NumericKeys::SignedDecimal, u"1", 1, 0, u".", true},
        {NumericKeys::SignedDecimal, u"1.5", 3, 0, u".", false},
        {NumericKeys::SignedDecimal, u"1.5", 1, 2, u".2", true},
        {NumericKeys::SignedDecimal, u"", 0, 0, u"-0.25", true},
        {NumericKeys::SignedDecimal, u"", 0, 0, u"1..", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AcceptsTyping(c.keys, c.text, c.selStart, c.selLength, c.inserted), c.accepted)
            << QString::fromStdU16String(c.inserted).toStdString() << " into "
            << QString::fromStdU16String(c.text).toStdString();
    }

    Dialog dialog;
    QLineEdit* whole = dialog.Box("TXT_件数");
    QLineEdit* signedBox = dialog.Box("TXT_前日Min");
    QLineEdit* decimalMin = dialog.Box("TXT_乖離005DMin");
    QLineEdit* decimalMax = dialog.Box("TXT_乖離005DMax");
    BindIntegerBox(whole);
    BindCappedIntegerBox(signedBox);
    BindDecimalPair(decimalMin, decimalMax);
    dialog.Show();
    QTest::keyClicks(whole, "1a-2.3 4");
    EXPECT_EQ(Text(whole), "1234");
    QTest::keyClick(whole, Qt::Key_Backspace);
    EXPECT_EQ(Text(whole), "123");
    TypeJapanese(whole, QStringLiteral("５"));
    EXPECT_EQ(Text(whole), "123");
    TypeJapanese(whole, QStringLiteral("45"));
    EXPECT_EQ(Text(whole), "12345");
    QTest::keyClicks(signedBox, "-12-3");
    EXPECT_EQ(Text(signedBox), "-123");
    QTest::keyClicks(decimalMin, "-1.2.5");
    EXPECT_EQ(Text(decimalMin), "-1.25");
}

TEST(InputBoxes, LeavingABoxChecksFormatsAndOrdersThePair) {
    Dialog dialog;
    QLineEdit* countMin = dialog.Box("TXT_件数Min", "12.7");
    QLineEdit* countMax = dialog.Box("TXT_件数Max", "");
    QLineEdit* watchMin = dialog.Box("TXT_注目Min", "250");
    QLineEdit* watchMax = dialog.Box("TXT_注目Max", "20");
    QLineEdit* devMin = dialog.Box("TXT_乖離005DMin", "3.5");
    QLineEdit* devMax = dialog.Box("TXT_乖離005DMax", "1.25");
    BindIntegerBox(countMin);
    BindIntegerBox(countMax);
    BindMinMaxPair(countMin, countMax);
    BindPercentBox(watchMin);
    BindPercentBox(watchMax);
    BindMinMaxPair(watchMin, watchMax);
    BindDecimalPair(devMin, devMax);
    dialog.Show();
    ScriptedSink sink;

    Dialog::Leave(countMin, countMax);
    EXPECT_EQ(Text(countMin), "13");
    EXPECT_EQ(Text(countMax), "13");  // blank max became 0, then took the min

    Dialog::Leave(watchMin, watchMax);
    EXPECT_EQ(Text(watchMin), "100");
    EXPECT_EQ(Text(watchMax), "100");
    watchMax->setText(QStringLiteral("40"));
    watchMin->setText(QStringLiteral("70"));
    Dialog::Leave(watchMax, countMin);
    EXPECT_EQ(Text(watchMin), "40");  // leaving max lowers min

    Dialog::Leave(devMax, countMin);
    EXPECT_EQ(Text(devMin), "1.25");

    // A refused value keeps its text, is selected, gets the focus back, and the pair is
    // not ordered against it.
    countMin->setText(QStringLiteral("abc"));
    sink.Expect(MsgKind::Warn, kNotNumeric);
    Dialog::Leave(countMin, countMax);
    EXPECT_EQ(Text(countMin), "abc");
    EXPECT_EQ(Text(countMax), "13");
    EXPECT_TRUE(countMin->hasFocus());
    EXPECT_EQ(countMin->selectedText(), QStringLiteral("abc"));
    EXPECT_TRUE(sink.AllShown());
}

TEST(InputBoxes, SpinnerArrowsFormatThenStepInsideTheBounds) {
    Dialog dialog;
    QLineEdit* count = dialog.Box("TXT_件数");
    auto* countSpin = new UpDownSpinner(&dialog.window);
    QLineEdit* watch = dialog.Box("TXT_注目Min");
    auto* watchSpin = new UpDownSpinner(&dialog.window);
    BindIntegerBox(count, countSpin);
    BindPercentBox(watch, watchSpin);
    dialog.Show();
    const struct {
        QLineEdit* box;
        UpDownSpinner* spin;
        bool up;
        const char *before, *after;
    } cases[] = {
        {count, countSpin, true, "", "1"},
        {count, countSpin, true, "41.6", "43"},
        {count, countSpin, true, "999999999", "999999999"},
        {count, countSpin, false, "0", "0"},
        {count, countSpin, false, "-5", "0"},
        {count, countSpin, false, "7", "6"},
        {watch, watchSpin, true, "100", "100"},
        {watch, watchSpin, true, "250", "100"},
        {watch, watchSpin, false, "", "1"},
        {watch, watchSpin, false, "99999", "99"},
        {watch, watchSpin, true, "41", "42"},
        {count, countSpin, true, "word", "word"},
    };
    for (const auto& c : cases) {
        c.box->setText(QString::fromUtf8(c.before));
        QTest::mouseClick(c.up ? c.spin->UpButton() : c.spin->DownButton(), Qt::LeftButton);
        EXPECT_EQ(Text(c.box), c.after) << (c.up ? "up from " : "down from ") << c.before;
    }
}

TEST(InputBoxes, DateRangeEndNeverPrecedesStart) {
    QWidget dialog;
    auto* start = new QDateEdit(QDate(2024, 3, 1), &dialog);
    start->setObjectName(QStringLiteral("DPC_開始"));
    auto* end = new QDateEdit(QDate(2024, 6, 30), &dialog);
    end->setObjectName(QStringLiteral("DPC_終了"));
    BindDateRange(&dialog);
    start->setDate(QDate(2024, 8, 1));
    EXPECT_EQ(end->date(), QDate(2024, 8, 1));
    end->setDate(QDate(2024, 9, 1));
    EXPECT_EQ(start->date(), QDate(2024, 8, 1));
    end->setDate(QDate(2024, 1, 15));
    EXPECT_EQ(start->date(), QDate(2024, 1, 15));

    QWidget withoutPickers;
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn, "コントロールが見つかりません。");
    KeepEndAfterStart(&withoutPickers);
    EXPECT_TRUE(sink.AllShown());
}

TEST(InputBoxes, ConditionLineEnablesItsBoxAndCompanion) {
    Dialog dialog;
    auto* check = new QCheckBox(QStringLiteral("出来高"), &dialog.window);
    dialog.layout->addWidget(check);
    QLineEdit* box = dialog.Box("TXT_出来高", "500");
    auto* spin = new UpDownSpinner(&dialog.window);
    BindConditionLine(&dialog.window, check, box, spin);
    SetDisabledLook(&dialog.window, box);
    CopyEnabled(box, spin);
    dialog.Show();
    const QColor dialogColour = dialog.window.palette().color(QPalette::Window);
    EXPECT_FALSE(spin->isEnabled());
    EXPECT_EQ(box->palette().color(QPalette::Base), dialogColour);

    QTest::mouseClick(check, Qt::LeftButton);
    EXPECT_TRUE(box->isEnabled());
    EXPECT_TRUE(spin->isEnabled());
    EXPECT_EQ(box->palette().color(QPalette::Base), QColor(255, 255, 255));
    EXPECT_TRUE(box->hasFocus());
    EXPECT_EQ(box->selectedText(), QStringLiteral("500"));

    QTest::mouseClick(check, Qt::LeftButton);
    EXPECT_FALSE(box->isEnabled());
    EXPECT_FALSE(spin->isEnabled());
    EXPECT_EQ(box->palette().color(QPalette::Base), dialogColour);

    // A disabled check box does not enable its box even when ticked.
    check->setChecked(true);
    check->setEnabled(false);
    EnableByCheck(&dialog.window, check, box);
    EXPECT_FALSE(box->isEnabled());
}

TEST(InputBoxes, PriceInsideTheShownRange) {
    // The pane shows 900..1200: its scale top is 1200 and its height -300. The upper box
    // is judged before the lower one is read: a box that holds no number ends the check
    // silently, but only once the check reaches it.
    const struct {
        int viewKind;
        const char *lower, *upper;
        bool valid;
        const char* selected;  // the box selected with the message, or none
    } cases[] = {
        {5, "950", "1100", true, nullptr},  {4, "900", "1200", true, nullptr},
        {5, "950", "1300", false, "upper"}, {7, "800", "1100", false, "lower"},
        {3, "950", "1100", false, nullptr}, {22, "950", "1100", false, nullptr},
        {5, "abc", "1300", false, "upper"}, {5, "abc", "1100", false, nullptr},
        {5, "950", "abc", false, nullptr},
    };
    ScriptedSink sink;
    for (const auto& c : cases) {
        QLineEdit lower(QString::fromUtf8(c.lower)), upper(QString::fromUtf8(c.upper));
        if (c.selected) sink.Expect(MsgKind::Warn, kOutOfRange);
        EXPECT_EQ(CheckPriceInRange(c.viewKind, 1200, -300, &lower, &upper), c.valid)
            << c.viewKind << " " << c.lower << ".." << c.upper;
        const std::string selected = upper.hasSelectedText()   ? "upper"
                                     : lower.hasSelectedText() ? "lower"
                                                               : "";
        EXPECT_EQ(selected, c.selected ? c.selected : "") << c.lower << ".." << c.upper;
    }
    EXPECT_TRUE(sink.AllShown());
}

TEST(InputBoxes, CellEditorOpensOverTheCurrentCell) {
    Dialog dialog;
    auto* grid = new QTableWidget(3, 3, &dialog.window);
    dialog.layout->addWidget(grid);
    grid->setItem(1, 2, new QTableWidgetItem(QStringLiteral("1234.6")));
    grid->setCurrentCell(1, 2);
    auto* editor = new QLineEdit(&dialog.window);
    editor->setObjectName(QStringLiteral("TXT_Edit"));
    editor->hide();
    auto* datePicker = new QDateEdit(&dialog.window);
    datePicker->setObjectName(QStringLiteral("DPC_Edit"));
    datePicker->hide();
    dialog.Show();
    const QRect cell = grid->visualRect(grid->currentIndex());
    const QRect expected(grid->viewport()->mapTo(&dialog.window, cell.topLeft()), cell.size());

    PlaceCellEditor(' ', editor, grid);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->geometry(), expected);
    EXPECT_EQ(Text(editor), "1235");
    EXPECT_EQ(editor->selectedText(), QStringLiteral("1235"));
    EXPECT_TRUE(editor->hasFocus());

    PlaceCellEditor('7', editor, grid);
    EXPECT_EQ(Text(editor), "7");
    EXPECT_FALSE(editor->hasSelectedText());
    EXPECT_EQ(editor->cursorPosition(), 1);

    PlaceCellEditor('7', datePicker, grid);
    EXPECT_TRUE(datePicker->isVisible());
    EXPECT_EQ(datePicker->geometry(), expected);
    EXPECT_TRUE(datePicker->hasFocus());
}
