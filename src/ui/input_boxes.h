#pragma once
// The input-box routines every dialog shares: whole-number boxes with an up-down
// spinner, 1..100 boxes, min/max pairs, the start/end date pair, check boxes that enable
// a companion box, the enabled and disabled look, and the in-grid cell editor.
// Each routine works on the controls it is handed and keeps no state of its own.
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class QAbstractButton;
class QAbstractItemView;
class QDateTimeEdit;
class QEvent;
class QLineEdit;
class QToolButton;

// Whole-number boxes run from 0 to this; 1..100 boxes hold watch numbers.
constexpr double kIntegerBoxMax = 999999999;
constexpr int kPercentMin = 1;
constexpr int kPercentMax = 100;

void FormatIntegerBox(QLineEdit* box);
void FormatCappedIntegerBox(QLineEdit* box);
void FormatPercentBox(QLineEdit* box);
void SpinUp(QLineEdit* box);
void SpinDown(QLineEdit* box);
void SpinUpPercent(QLineEdit* box);
void SpinDownPercent(QLineEdit* box);
void RaiseMaxToMin(QLineEdit* minBox, QLineEdit* maxBox);
void LowerMinToMax(QLineEdit* minBox, QLineEdit* maxBox);
void LowerDecimalMinToMax(QLineEdit* minBox, QLineEdit* maxBox);
bool CheckIntegerBox(QLineEdit* box);
bool CheckDecimalBox(QLineEdit* box);
// The barrier boxes of the main window against the price range the chart's price pane
// shows (pane units: prices divided by the divisor). Only views 4 to 7 have such a pane.
bool CheckPriceInRange(int viewKind, double paneScaleTop, double paneScaleHeight,
                       QLineEdit* lowerBox, QLineEdit* upperBox);
void SelectAllText(QWidget* control);
void SetEnabledLook(QWidget* control);
void SetDisabledLook(QWidget* dialog, QWidget* control);
void EnableByCheck(QWidget* dialog, QAbstractButton* check, QWidget* control);
void CopyEnabled(QWidget* source, QWidget* target);
// The dialog's DPC_開始 / DPC_終了 pair: the end never precedes the start.
void KeepEndAfterStart(QWidget* dialog);
void KeepStartBeforeEnd(QWidget* dialog);
// Opens editor over grid's current cell for the key (a character code) that started the
// edit: space keeps the cell's value selected, any other key starts a new value with it.
void PlaceCellEditor(int keyCode, QWidget* editor, QAbstractItemView* grid);

// The up-down spinner beside a box; its arrows repeat while held.
class UpDownSpinner : public QWidget {
  public:
    explicit UpDownSpinner(QWidget* parent = nullptr);
    void OnUp(std::function<void()> action) { up_ = std::move(action); }
    void OnDown(std::function<void()> action) { down_ = std::move(action); }
    QToolButton* UpButton() const { return upButton_; }
    QToolButton* DownButton() const { return downButton_; }

  private:
    QToolButton* upButton_ = nullptr;
    QToolButton* downButton_ = nullptr;
    std::function<void()> up_;
    std::function<void()> down_;
};

// Which characters a numeric box takes while typing.
enum class NumericKeys { Digits, Signed, SignedDecimal };
// True when typing `inserted` over the selection [selStart, selStart + selLength) of text
// keeps only what the box takes: digits, a leading minus, one decimal point.
bool AcceptsTyping(NumericKeys keys, std::u16string_view text, int selStart, int selLength,
                   std::u16string_view inserted);
// True when event pastes or drops into box a text that typing could not put there (the
// paste keys, the context menu's paste, a drop), which then must not reach the box. The
// context menu is shown here, with its paste disabled for such a text.
bool RefusesPaste(QLineEdit* box, NumericKeys keys, QEvent* event);

// The bindings the dialogs use, one per kind of box: typing filter, check and format on
// leaving the box, and the spinner's arrows.
void BindIntegerBox(QLineEdit* box, UpDownSpinner* spinner = nullptr);
// A whole number that may be negative (the previous-day change pair).
void BindCappedIntegerBox(QLineEdit* box, UpDownSpinner* spinner = nullptr);
void BindPercentBox(QLineEdit* box, UpDownSpinner* spinner = nullptr);
// A box that takes only digits from the keyboard; leave, when given, runs when the user
// leaves the box for another control of the window.
void BindDigitBox(QLineEdit* box, std::function<void()> leave = {});
// After the boxes' own bindings: leaving min raises max, leaving max lowers min.
void BindMinMaxPair(QLineEdit* minBox, QLineEdit* maxBox);
// Two decimal boxes (the deviation pairs): checked and ordered on leaving either.
void BindDecimalPair(QLineEdit* minBox, QLineEdit* maxBox);
// Calls onPopup with a calendar picker's popup window when the picker makes it, at its
// first opening (or when its calendar is first asked for). Asking for the calendar at once
// would build it, and a calendar costs more than the rest of a dialog's controls.
void WhenCalendarPopupMade(QDateTimeEdit* picker, std::function<void(QWidget* popup)> onPopup);
// The DPC_開始 / DPC_終了 pair kept in order: at every change typed or stepped in a box,
// and when a picker's calendar closes for a date chosen there.
void BindDateRange(QWidget* dialog);
// A condition line: its check box enables the box, and the companion follows the box.
void BindConditionLine(QWidget* dialog, QAbstractButton* check, QWidget* box,
                       QWidget* companion = nullptr);
