#include "ui/input_boxes.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QCalendarWidget>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDateTimeEdit>
#include <QDropEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <vector>

#include "foundation/text_utils.h"
#include "foundation/trap.h"
#include "platform/message_box.h"
#include "platform/number_format.h"

namespace {

constexpr const char* kNotNumeric = "数値を入力してください。";
constexpr const char* kOutOfRange = "表示されている範囲内で設定してください。";

// Whether typing inserted over the box's selection (or at its cursor) keeps it numeric.
bool AcceptsInsert(QLineEdit* box, NumericKeys keys, const QString& inserted) {
    if (inserted.isEmpty()) return true;
    const int selStart = box->hasSelectedText() ? box->selectionStart() : box->cursorPosition();
    const int selLength = box->hasSelectedText() ? box->selectedText().size() : 0;
    return AcceptsTyping(keys, box->text().toStdU16String(), selStart, selLength,
                         inserted.toStdU16String());
}

std::string_view TrimBlanks(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::string Text(QLineEdit* box) {
    return RequireControl(box)->text().toStdString();
}
void SetText(QLineEdit* box, const std::string& text) {
    RequireControl(box)->setText(QString::fromStdString(text));
}
bool IsBlank(QLineEdit* box) {
    return TrimBlanks(Text(box)).empty();
}

// A watch number read from a box: clamped to 1..100 before it is taken as a whole
// number, so no typed value can overflow it.
int PercentValue(double value) {
    return RoundHalfEven<int>(std::clamp<double>(value, kPercentMin, kPercentMax));
}

// One spinner step of a whole-number box, inside 0..999999999.
void StepBox(QLineEdit* box, int delta) {
    RunTrapped([box, delta] {
        const std::string text = Text(box);
        if (!IsNumericText(text)) return;
        const double value = NumericValue(text);
        if (delta > 0 ? value >= kIntegerBoxMax : value <= 0) return;
        SetText(box, PlainNumber(value + delta));
        SelectAllText(box);
    });
}

// One spinner step of a 1..100 box.
void StepPercentBox(QLineEdit* box, int delta) {
    RunTrapped([box, delta] {
        const std::string text = Text(box);
        if (!IsNumericText(text)) return;
        const int value = PercentValue(NumericValue(text));
        if (delta > 0 ? value >= kPercentMax : value <= kPercentMin) return;
        SetText(box, std::to_string(value + delta));
        SelectAllText(box);
    });
}

// The Enabled a control was given, apart from that of the window around it.
bool OwnEnabled(const QWidget* control) {
    return !control->testAttribute(Qt::WA_Disabled);
}

void SetBoxBackground(QWidget* control, const QColor& colour) {
    if (!qobject_cast<QLineEdit*>(control) && !qobject_cast<QComboBox*>(control)) return;
    QPalette palette = control->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, colour);
    }
    control->setPalette(palette);
}

// Shared by the two check routines: an empty box takes emptyText, text that is not a
// number is refused and selected. A trapped failure refuses too.
bool CheckNumberBox(QLineEdit* box, const char* emptyText) {
    bool valid = false;
    const bool ran = RunTrapped([&] {
        if (Text(box).empty()) {
            SetText(box, emptyText);
            valid = true;
        } else if (!IsNumericText(Text(box))) {
            MsgWarn(kNotNumeric);
            SelectAllText(box);
        } else {
            valid = true;
        }
    });
    return ran && valid;
}

// Each blank box takes zeroText; when min > max, the box named by `lowerMin` (min when
// true, max when false) takes the other's text.
void OrderPair(QLineEdit* minBox, QLineEdit* maxBox, const char* zeroText, bool lowerMin) {
    try {
        if (IsBlank(minBox)) SetText(minBox, zeroText);
        if (IsBlank(maxBox)) SetText(maxBox, zeroText);
        const std::string minText = Text(minBox);
        const std::string maxText = Text(maxBox);
        if (!IsNumericText(minText) || !IsNumericText(maxText)) return;
        if (NumericValue(maxText) >= NumericValue(minText)) return;
        if (lowerMin) {
            SetText(minBox, maxText);
        } else {
            SetText(maxBox, minText);
        }
    } catch (const std::exception&) {
        // A pair that cannot be read is left as it is, without a message.
    }
}

QDateTimeEdit* DatePicker(QWidget* dialog, const char* name) {
    return RequireControl(
        RequireControl(dialog)->findChild<QDateTimeEdit*>(QString::fromUtf8(name)));
}

void KeepDateOrder(QWidget* dialog, bool moveEnd) {
    RunTrapped([&] {
        QDateTimeEdit* start = DatePicker(dialog, "DPC_開始");
        QDateTimeEdit* end = DatePicker(dialog, "DPC_終了");
        if (end->dateTime() >= start->dateTime()) return;
        if (moveEnd) {
            end->setDateTime(start->dateTime());
        } else {
            start->setDateTime(end->dateTime());
        }
    });
}

// The behaviour bound to one numeric box: its typing filter and what runs when the user
// leaves it. Owned by the box.
class InputBoxFilter : public QObject {
  public:
    explicit InputBoxFilter(QLineEdit* box) : QObject(box), box_(box) {
        setObjectName(kName);
        box->installEventFilter(this);
    }
    void SetKeys(NumericKeys keys) {
        keys_ = keys;
        filtering_ = true;
    }
    // An action answers false to stop the ones after it (a refused value).
    void AddLeaveAction(std::function<bool()> action) { leave_.push_back(std::move(action)); }

    static InputBoxFilter* Of(QLineEdit* box) {
        // No Q_OBJECT here, so findChild cannot tell this class apart: look it up by name.
        QObject* found = box->findChild<QObject*>(kName, Qt::FindDirectChildrenOnly);
        auto* filter = dynamic_cast<InputBoxFilter*>(found);
        return filter ? filter : new InputBoxFilter(box);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != box_) return false;
        switch (event->type()) {
            case QEvent::KeyPress:
            case QEvent::ContextMenu:
            case QEvent::Drop:
                if (filtering_ && RefusesPaste(box_, keys_, event)) return true;
                return filtering_ && event->type() == QEvent::KeyPress &&
                       Refuses(static_cast<QKeyEvent*>(event));
            case QEvent::InputMethod:
                return filtering_ &&
                       !Accepts(static_cast<QInputMethodEvent*>(event)->commitString());
            case QEvent::FocusOut:
                // The box takes its own focus-out first (it drops its selection there), so
                // that a refused value can be selected again afterwards.
                static_cast<QObject*>(box_)->event(event);
                Leave(static_cast<QFocusEvent*>(event)->reason());
                return true;
            default:
                return false;
        }
    }

  private:
    static constexpr const char* kName = "kabutoInputBoxFilter";

    bool Refuses(const QKeyEvent* key) const {
        // Only typed characters are filtered; editing keys and shortcuts pass.
        if (key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) return false;
        const QString text = key->text();
        if (text.isEmpty() || text.at(0).category() == QChar::Other_Control) return false;
        return !Accepts(text);
    }
    bool Accepts(const QString& inserted) const { return AcceptsInsert(box_, keys_, inserted); }
    void Leave(Qt::FocusReason reason) {
        // Focus lost to a message box, a menu or another application is not leaving the box.
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ||
            reason == Qt::MenuBarFocusReason || leaving_) {
            return;
        }
        leaving_ = true;
        for (const auto& action : leave_) {
            if (!action()) break;
        }
        leaving_ = false;
    }

    QLineEdit* box_;
    NumericKeys keys_ = NumericKeys::Digits;
    bool filtering_ = false;
    bool leaving_ = false;
    std::vector<std::function<bool()>> leave_;
};

// Watches a calendar picker for the popup window it makes as its child. Owned by the picker.
class CalendarPopupWatch : public QObject {
  public:
    CalendarPopupWatch(QDateTimeEdit* picker, std::function<void(QWidget*)> onPopup)
        : QObject(picker), onPopup_(std::move(onPopup)) {
        picker->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::ChildAdded) return false;
        QObject* child = static_cast<QChildEvent*>(event)->child();
        if (!child->isWidgetType()) return false;
        auto* widget = static_cast<QWidget*>(child);
        if (widget->windowType() == Qt::Popup) onPopup_(widget);
        return false;
    }

  private:
    std::function<void(QWidget*)> onPopup_;
};

// Keeps a date pair in order after a change of one picker: at once for a date typed or
// stepped in the box, and only when its calendar closes for one chosen in the calendar,
// whose every move would otherwise push the other date around. Owned by the picker.
class CalendarGuard : public QObject {
  public:
    CalendarGuard(QDateTimeEdit* picker, std::function<void()> keepOrder)
        : QObject(picker), keepOrder_(std::move(keepOrder)) {
        QObject::connect(picker, &QDateTimeEdit::dateTimeChanged, this, [this] {
            if (!open_) keepOrder_();
        });
        WhenCalendarPopupMade(picker, [this](QWidget* popup) { popup->installEventFilter(this); });
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) open_ = true;
        if (event->type() == QEvent::Hide && open_) {
            open_ = false;
            keepOrder_();
        }
        return false;
    }

  private:
    std::function<void()> keepOrder_;
    bool open_ = false;
};

// One numeric box kind: its keys, its check, its format and its spinner steps.
struct BoxKind {
    NumericKeys keys;
    void (*format)(QLineEdit*);
    void (*up)(QLineEdit*);
    void (*down)(QLineEdit*);
};

void BindBox(QLineEdit* box, UpDownSpinner* spinner, const BoxKind& kind) {
    InputBoxFilter* filter = InputBoxFilter::Of(box);
    filter->SetKeys(kind.keys);
    filter->AddLeaveAction([box, format = kind.format] {
        if (!CheckIntegerBox(box)) return false;
        format(box);
        return true;
    });
    if (!spinner) return;
    spinner->OnUp([box, kind] {
        kind.format(box);
        kind.up(box);
    });
    spinner->OnDown([box, kind] {
        kind.format(box);
        kind.down(box);
    });
}

}  // namespace

void FormatIntegerBox(QLineEdit* box) {
    RunTrapped([box] {
        if (IsBlank(box)) return SetText(box, "0");
        const std::string text = Text(box);
        if (!IsNumericText(text)) return;
        SetText(box, FormatNumber(std::max(NumericValue(text), 0.0), "###0"));
    });
}

void FormatCappedIntegerBox(QLineEdit* box) {
    RunTrapped([box] {
        if (IsBlank(box)) return SetText(box, "0");
        const std::string text = Text(box);
        if (!IsNumericText(text)) return;
        SetText(box, FormatNumber(std::min(NumericValue(text), kIntegerBoxMax), "###0"));
    });
}

void FormatPercentBox(QLineEdit* box) {
    RunTrapped([box] {
        if (IsBlank(box)) return SetText(box, "1");
        const std::string text = Text(box);
        if (!IsNumericText(text)) return;
        SetText(box, FormatNumber(std::clamp<double>(NumericValue(text), kPercentMin, kPercentMax),
                                  "###0"));
    });
}

void SpinUp(QLineEdit* box) {
    StepBox(box, +1);
}
void SpinDown(QLineEdit* box) {
    StepBox(box, -1);
}
void SpinUpPercent(QLineEdit* box) {
    StepPercentBox(box, +1);
}
void SpinDownPercent(QLineEdit* box) {
    StepPercentBox(box, -1);
}

void RaiseMaxToMin(QLineEdit* minBox, QLineEdit* maxBox) {
    OrderPair(minBox, maxBox, "0", false);
}
void LowerMinToMax(QLineEdit* minBox, QLineEdit* maxBox) {
    OrderPair(minBox, maxBox, "0", true);
}
void LowerDecimalMinToMax(QLineEdit* minBox, QLineEdit* maxBox) {
    OrderPair(minBox, maxBox, "0.0", true);
}

bool CheckIntegerBox(QLineEdit* box) {
    return CheckNumberBox(box, "0");
}
bool CheckDecimalBox(QLineEdit* box) {
    return CheckNumberBox(box, "0.0");
}

bool CheckPriceInRange(int viewKind, double paneScaleTop, double paneScaleHeight,
                       QLineEdit* lowerBox, QLineEdit* upperBox) {
    if (viewKind < 4 || viewKind > 7) return false;
    try {
        const double top = paneScaleTop;
        const double bottom = paneScaleTop + paneScaleHeight;  // the pane's scale runs upward
        // Each box is read only when its turn comes: a text that is no number ends the
        // check silently, but a lower box is never read once the upper one is refused.
        const auto number = [](QLineEdit* box) {
            const std::string text = Text(box);
            if (!IsNumericText(text)) throw std::invalid_argument("not a number");
            return NumericValue(text);
        };
        QLineEdit* offending = nullptr;
        if (number(upperBox) > top) {
            offending = upperBox;
        } else if (number(lowerBox) >= bottom) {
            return true;
        } else {
            offending = lowerBox;
        }
        MsgWarn(kOutOfRange);
        SelectAllText(offending);
    } catch (const std::exception&) {
    }
    return false;
}

void SelectAllText(QWidget* control) {
    if (!control) return;
    if (control->isEnabled()) control->setFocus();
    if (auto* box = qobject_cast<QLineEdit*>(control)) box->selectAll();
}

void SetEnabledLook(QWidget* control) {
    RunTrapped([control] {
        RequireControl(control)->setEnabled(true);
        SetBoxBackground(control, QColor(255, 255, 255));
    });
}

void SetDisabledLook(QWidget* dialog, QWidget* control) {
    RunTrapped([dialog, control] {
        const QColor background = RequireControl(dialog)->palette().color(QPalette::Window);
        RequireControl(control)->setEnabled(false);
        SetBoxBackground(control, background);
    });
}

void EnableByCheck(QWidget* dialog, QAbstractButton* check, QWidget* control) {
    RunTrapped([dialog, check, control] {
        if (OwnEnabled(RequireControl(check)) && check->isChecked()) {
            SetEnabledLook(control);
            SelectAllText(control);
        } else {
            SetDisabledLook(dialog, control);
        }
    });
}

void CopyEnabled(QWidget* source, QWidget* target) {
    RunTrapped([source, target] {
        RequireControl(target)->setEnabled(OwnEnabled(RequireControl(source)));
    });
}

void KeepEndAfterStart(QWidget* dialog) {
    KeepDateOrder(dialog, true);
}
void KeepStartBeforeEnd(QWidget* dialog) {
    KeepDateOrder(dialog, false);
}

void PlaceCellEditor(int keyCode, QWidget* editor, QAbstractItemView* grid) {
    if (!editor || !grid) return;
    const QModelIndex cell = grid->currentIndex();
    const QRect rect = grid->visualRect(cell);
    QWidget* parent = editor->parentWidget();
    const QPoint global = grid->viewport()->mapToGlobal(rect.topLeft());
    editor->setGeometry(QRect(parent ? parent->mapFromGlobal(global) : global, rect.size()));
    editor->setVisible(true);
    editor->raise();
    if (auto* box = qobject_cast<QLineEdit*>(editor)) {
        if (keyCode == ' ') {
            const std::string text = cell.data().toString().toStdString();
            box->setText(QString::fromStdString(
                IsNumericText(text) ? FormatNumber(NumericValue(text), "##0") : text));
            box->selectAll();
        } else {
            const char32_t code = static_cast<char32_t>(keyCode);
            box->setText(QString::fromUcs4(&code, 1));
            box->setCursorPosition(1);
        }
    }
    editor->setFocus();
}

UpDownSpinner::UpDownSpinner(QWidget* parent) : QWidget(parent) {
    upButton_ = new QToolButton(this);
    upButton_->setObjectName(QStringLiteral("up"));
    upButton_->setArrowType(Qt::UpArrow);
    downButton_ = new QToolButton(this);
    downButton_->setObjectName(QStringLiteral("down"));
    downButton_->setArrowType(Qt::DownArrow);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QToolButton* button : {upButton_, downButton_}) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        layout->addWidget(button);
    }
    QObject::connect(upButton_, &QToolButton::clicked, this, [this] {
        if (up_) up_();
    });
    QObject::connect(downButton_, &QToolButton::clicked, this, [this] {
        if (down_) down_();
    });
}

bool AcceptsTyping(NumericKeys keys, std::u16string_view text, int selStart, int selLength,
                   std::u16string_view inserted) {
    selStart = std::clamp(selStart, 0, static_cast<int>(text.size()));
    selLength = std::clamp(selLength, 0, static_cast<int>(text.size()) - selStart);
    std::u16string kept(text.substr(0, selStart));
    kept += text.substr(selStart + selLength);
    int position = selStart;
    for (char16_t c : inserted) {
        int code = c;
        FilterDigitKey(code);
        const bool digit = code != 0 && code != 8;
        const bool minus = c == u'-' && keys != NumericKeys::Digits && position == 0 &&
                           kept.find(u'-') == std::u16string::npos;
        const bool point = c == u'.' && keys == NumericKeys::SignedDecimal &&
                           kept.find(u'.') == std::u16string::npos;
        if (!digit && !minus && !point) return false;
        kept.insert(kept.begin() + position, c);
        ++position;
    }
    return true;
}

bool RefusesPaste(QLineEdit* box, NumericKeys keys, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
            return static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste) &&
                   !AcceptsInsert(box, keys, QGuiApplication::clipboard()->text());
        case QEvent::Drop: {
            const QMimeData* data = static_cast<QDropEvent*>(event)->mimeData();
            return data && !AcceptsInsert(box, keys, data->text());
        }
        case QEvent::ContextMenu: {
            const std::unique_ptr<QMenu> menu(box->createStandardContextMenu());
            auto* paste = menu->findChild<QAction*>(QStringLiteral("edit-paste"));
            if (paste && !AcceptsInsert(box, keys, QGuiApplication::clipboard()->text()))
                paste->setEnabled(false);
            menu->exec(static_cast<QContextMenuEvent*>(event)->globalPos());
            return true;
        }
        default:
            return false;
    }
}

void BindIntegerBox(QLineEdit* box, UpDownSpinner* spinner) {
    BindBox(box, spinner, {NumericKeys::Digits, FormatIntegerBox, SpinUp, SpinDown});
}

void BindCappedIntegerBox(QLineEdit* box, UpDownSpinner* spinner) {
    BindBox(box, spinner, {NumericKeys::Signed, FormatCappedIntegerBox, SpinUp, SpinDown});
}

void BindPercentBox(QLineEdit* box, UpDownSpinner* spinner) {
    BindBox(box, spinner, {NumericKeys::Digits, FormatPercentBox, SpinUpPercent, SpinDownPercent});
}

void BindDigitBox(QLineEdit* box, std::function<void()> leave) {
    InputBoxFilter* filter = InputBoxFilter::Of(box);
    filter->SetKeys(NumericKeys::Digits);
    if (!leave) return;
    filter->AddLeaveAction([leave = std::move(leave)] {
        leave();
        return true;
    });
}

void BindMinMaxPair(QLineEdit* minBox, QLineEdit* maxBox) {
    InputBoxFilter::Of(minBox)->AddLeaveAction([minBox, maxBox] {
        RaiseMaxToMin(minBox, maxBox);
        return true;
    });
    InputBoxFilter::Of(maxBox)->AddLeaveAction([minBox, maxBox] {
        LowerMinToMax(minBox, maxBox);
        return true;
    });
}

void BindDecimalPair(QLineEdit* minBox, QLineEdit* maxBox) {
    for (QLineEdit* box : {minBox, maxBox}) {
        InputBoxFilter* filter = InputBoxFilter::Of(box);
        filter->SetKeys(NumericKeys::SignedDecimal);
        filter->AddLeaveAction([box, minBox, maxBox] {
            if (!CheckDecimalBox(box)) return false;
            LowerDecimalMinToMax(minBox, maxBox);
            return true;
        });
    }
}

void WhenCalendarPopupMade(QDateTimeEdit* picker, std::function<void(QWidget* popup)> onPopup) {
    if (!picker->calendarPopup()) return;
    new CalendarPopupWatch(picker, std::move(onPopup));
}

void BindDateRange(QWidget* dialog) {
    if (!dialog) return;
    auto* start = dialog->findChild<QDateTimeEdit*>(QStringLiteral("DPC_開始"));
    auto* end = dialog->findChild<QDateTimeEdit*>(QStringLiteral("DPC_終了"));
    if (!start || !end) return;
    new CalendarGuard(start, [dialog] { KeepEndAfterStart(dialog); });
    new CalendarGuard(end, [dialog] { KeepStartBeforeEnd(dialog); });
}

void BindConditionLine(QWidget* dialog, QAbstractButton* check, QWidget* box, QWidget* companion) {
    QObject::connect(check, &QAbstractButton::clicked, dialog, [dialog, check, box, companion] {
        EnableByCheck(dialog, check, box);
        if (companion) CopyEnabled(box, companion);
    });
}
