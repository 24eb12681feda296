#include "printing/print_dialog.h"

#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <charconv>
#include <limits>
#include <stdexcept>

#include "foundation/settings.h"
#include "foundation/state.h"
#include "foundation/trap.h"
#include "platform/message_box.h"
#include "printing/print_dispatch.h"
#include "screening/print_form_binding.h"
#include "ui/dialog_keys.h"
#include "ui/input_boxes.h"
#include "ui/list_dialogs.h"
#include "ui/state.h"
#include "ui/window_teardown.h"
#include "views/state.h"
#include "views/view_rules.h"

namespace {

constexpr int kMaxCopies = std::numeric_limits<int16_t>::max();

QLabel* PlaceLabel(QWidget* parent, const char* name, const char* caption, QWidget* buddy, int left,
                   int top, int width) {
    auto* label = PlaceControl(new QLabel(Utf8(caption), parent), name, left, top, width, 255);
    label->setBuddy(buddy);
    return label;
}

// A click in the copies box selects its whole text, so that typing replaces the count.
class SelectOnClick : public QObject {
  public:
    explicit SelectOnClick(QLineEdit* box) : QObject(box), box_(box) {
        box->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == box_ && event->type() == QEvent::MouseButtonRelease) {
            static_cast<QObject*>(box_)->event(event);
            SelectAllText(box_);
            return true;
        }
        return false;
    }

  private:
    QLineEdit* box_;
};

int CopiesOf(const QLineEdit* box) {
    return box->text().toInt();
}

}  // namespace

std::string CheckedCopiesText(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, failure] = std::from_chars(text.data(), end, value);
    if (text.empty() || failure != std::errc{} || stop != end || value < 1 || value > kMaxCopies)
        return "1";
    return text;
}

FRM_印刷::FRM_印刷(QWidget* parent) : QDialog(parent) {
    SetUpListDialog(*this, kPrintDialogName, "印刷", 5400, 4200);
    BuildControls();
    WireControls();
    Load();
    EnableDialogKeys(this);
}

FRM_印刷::~FRM_印刷() {
    StopHandlersForTeardown(*this);
}

void FRM_印刷::BuildControls() {
    auto* printerFrame =
        PlaceControl(new QGroupBox(Utf8("プリンタ"), this), "FRM_Printer", 120, 60, 5160, 735);
    printer_ = PlaceControl(new QComboBox(printerFrame), "CBO_Printer", 1560, 300, 3420, 315);
    PlaceLabel(printerFrame, "LBL_Printer", "プリンタ名(&N)：", printer_, 120, 330, 1400);

    auto* paper =
        PlaceControl(new QGroupBox(Utf8("用紙"), this), "FRM_Paper", 120, 900, 5160, 1095);
    size_ = PlaceControl(new QComboBox(paper), "CBO_Size", 1560, 300, 1500, 315);
    PlaceLabel(paper, "LBL_Size", "用紙サイズ(&Z)：", size_, 120, 330, 1400);
    feed_ = PlaceControl(new QComboBox(paper), "CBO_方法", 1560, 675, 1500, 315);
    PlaceLabel(paper, "LBL_方法", "給紙方法(&S)：", feed_, 120, 705, 1400);

    auto* orientation =
        PlaceControl(new QGroupBox(Utf8("印刷の向き"), this), "FRM_向き", 120, 2100, 2520, 735);
    portrait_ =
        PlaceControl(new QRadioButton(Utf8("縦(&O)"), orientation), "OPT_縦", 240, 330, 1000, 300);
    landscape_ =
        PlaceControl(new QRadioButton(Utf8("横(&A)"), orientation), "OPT_横", 1320, 330, 1000, 300);

    auto* range =
        PlaceControl(new QGroupBox(Utf8("印刷範囲"), this), "FRM_範囲", 2760, 2100, 2520, 1035);
    all_ =
        PlaceControl(new QRadioButton(Utf8("すべて(&A)"), range), "OPT_All", 240, 300, 2160, 300);
    choice_ = PlaceControl(new QRadioButton(Utf8("選択した部分(&G)"), range), "OPT_Choice", 240,
                           630, 2160, 300);

    auto* copies =
        PlaceControl(new QGroupBox(Utf8("印刷部数"), this), "FRM_Count", 120, 2940, 2520, 735);
    count_ = PlaceControl(new QLineEdit(copies), "TXT_Count", 1080, 300, 900, 315);
    count_->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), count_));
    spinner_ = PlaceControl(new UpDownSpinner(copies), "UPD_Count", 1980, 300, 255, 315);
    PlaceLabel(copies, "LBL_Count", "部数(&C)：", count_, 120, 330, 900);

    PlaceControl(new QPushButton(Utf8("OK"), this), "CMD_OK", 2760, 3300, 1200, 375);
    PlaceControl(new QPushButton(Utf8("ｷｬﾝｾﾙ"), this), "CMD_cancel", 4080, 3300, 1200, 375);
}

void FRM_印刷::WireControls() {
    connect(count_, &QLineEdit::textChanged, this, [this](const QString& text) {
        const std::string checked = CheckedCopiesText(text.toStdString());
        if (checked != text.toStdString()) count_->setText(QString::fromStdString(checked));
    });
    connect(count_, &QLineEdit::editingFinished, this,
            [this] { count_->setText(QString::number(CopiesOf(count_))); });
    new SelectOnClick(count_);
    spinner_->OnUp([this] { StepCopies(1); });
    spinner_->OnDown([this] { StepCopies(-1); });
    connect(findChild<QPushButton*>(QStringLiteral("CMD_OK")), &QPushButton::clicked, this,
            &FRM_印刷::CMD_OK_Click);
    connect(findChild<QPushButton*>(QStringLiteral("CMD_cancel")), &QPushButton::clicked, this,
            &QDialog::reject);
}

void FRM_印刷::Load() {
    IgnoringErrors([this] {
        for (const std::string& name : Settei().PrinterNames)
            printer_->addItem(QString::fromStdString(name));
        size_->addItems({QStringLiteral("A4"), QStringLiteral("A3")});
        feed_->addItems({Utf8("自動"), Utf8("手差し")});
    });
    if (!LoadPrintForm(*this)) {
        // Every setting goes back to its default; the run keeps the pair it signed in with.
        LogonPair logon = Signin().LogonInfo;
        ResetSettei(logon);
        LoadPrintForm(*this);
    }
    IgnoringErrors([this] { EnableRangeAndCopies(); });
    unsetCursor();
}

void FRM_印刷::EnableRangeAndCopies() {
    const std::string& form = GridWheel().CurrentFormName;
    const bool ownRange = form == "FRM_データ表" || form == "FRM_PF";
    if (ownRange && TextData().TextDataMode != 0) {
        // A text-data series has no selected part to speak of: all its rows print.
        all_->setEnabled(true);
        all_->setChecked(true);
        choice_->setEnabled(false);
        return;
    }
    if (ownRange || Views().ViewKind == kViewList) {
        all_->setEnabled(true);
        choice_->setEnabled(true);
        choice_->setChecked(true);
        SetEnabledLook(count_);
        CopyEnabled(count_, spinner_);
        return;
    }
    // Charts are always printed once.
    all_->setEnabled(false);
    choice_->setEnabled(false);
    SetDisabledLook(this, count_);
    CopyEnabled(count_, spinner_);
}

void FRM_印刷::StepCopies(int step) {
    const int copies = CopiesOf(count_);
    if (copies + step < 1 || copies + step > kMaxCopies) return;
    count_->setText(QString::number(copies + step));
    SelectAllText(count_);
}

void FRM_印刷::CMD_OK_Click() {
    if (MsgOkCancel(kStartPrintSettingsQuestion) != kAnswerOk) return;
    setCursor(Qt::WaitCursor);
    std::string error;
    const bool printed = RunTrapped([this, &error] {
        PrintSettei& job = Settei().PrintJob;
        job.CBO_Printer = static_cast<int16_t>(printer_->currentIndex());
        job.CBO_Size = static_cast<int16_t>(size_->currentIndex());
        job.CBO_方法 = static_cast<int16_t>(feed_->currentIndex());
        job.OPT_縦 = portrait_->isChecked() ? -1 : 0;
        job.OPT_横 = landscape_->isChecked() ? -1 : 0;
        job.OPT_All = all_->isChecked() ? -1 : 0;
        job.OPT_Choice = choice_->isChecked() ? -1 : 0;
        job.TXT_Count = CopiesOf(count_);
        const PrintSettei settings = job;
        if (!DispatchPrint(!choice_->isChecked(), settings, error)) throw std::runtime_error(error);
    });
    unsetCursor();
    if (printed) accept();
}

void ShowPrintDialog(QWidget* owner) {
    FRM_印刷 dialog(owner);
    dialog.exec();
}
