#include "maintenance/watch_number_dialog.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

#include "foundation/state.h"
#include "foundation/text_utils.h"
#include "foundation/trap.h"
#include "maintenance/state.h"
#include "maintenance/watch_numbers.h"
#include "maintenance/watch_registration.h"
#include "platform/flex_grid.h"
#include "platform/message_box.h"
#include "platform/twips.h"
#include "ui/child_windows.h"
#include "ui/frame_access.h"
#include "ui/input_boxes.h"
#include "ui/list_dialogs.h"
#include "views/chart_controls.h"
#include "views/list_services.h"
#include "views/main_frame.h"
#include "views/selection_window.h"
#include "views/state.h"
#include "views/view_rules.h"

namespace {

constexpr const char* kInvalidNumber = "注目指定番号が不正です。";
constexpr int kNumberLength = 3;
constexpr int kWatchColumn = 3;

std::string BoxText(const QLineEdit* box) {
    return box->text().toStdString();
}

}  // namespace

FRM_注目::FRM_注目(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FRM_注目"));
    setWindowTitle(Utf8("注目指定"));
    setFixedSize(TwipsToPixels(3135), TwipsToPixels(1800));

    auto* frame =
        PlaceControl(new QGroupBox(Utf8("注目指定"), this), "FRA_注目", 120, 120, 2895, 855);
    PlaceControl(new QLabel(Utf8("No："), frame), "", 600, 360, 615, 255);
    number_ = PlaceControl(new QLineEdit(frame), "TXT_注目", 1320, 360, 492, 264);
    auto* spinner = PlaceControl(new UpDownSpinner(frame), "UPD_注目", 1800, 360, 240, 255);
    auto* ok =
        PlaceControl(new QPushButton(QStringLiteral("OK"), this), "CMD_OK", 360, 1380, 1200, 310);
    auto* cancel =
        PlaceControl(new QPushButton(Utf8("ｷｬﾝｾﾙ"), this), "CMD_cancel", 1680, 1380, 1200, 310);
    AddSeparator(this, 120, 1200, 2900);
    ok->setDefault(true);
    setTabOrder(number_, ok);
    setTabOrder(ok, cancel);

    number_->setMaxLength(kNumberLength);
    number_->setAttribute(Qt::WA_InputMethodEnabled, false);
    BindDigitBox(number_);
    spinner->OnUp([this] {
        RunTrapped([this] {
            number_->setText(QString::fromStdString(IncChuumokuNumber(BoxText(number_))));
            SelectAllText(number_);
        });
    });
    spinner->OnDown([this] {
        RunTrapped([this] {
            number_->setText(QString::fromStdString(DecChuumokuNumber(BoxText(number_))));
            SelectAllText(number_);
        });
    });
    connect(ok, &QPushButton::clicked, this, [this] { RunTrapped([this] { OnOk(); }); });
    connect(cancel, &QPushButton::clicked, this, [this] { Close(); });
    // Esc is the cancel button, also with the focus in the box.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] { Close(); });

    number_->setText(QString::fromStdString(InitialChuumokuNumber()));
    SelectAllText(number_);
}

void FRM_注目::OnOk() {
    if (!ValidateChuumokuNumber(BoxText(number_))) {
        MsgWarn(kInvalidNumber);
        SelectAllText(number_);
        return;
    }
    // The registration asks, writes, and closes this dialog when it has run.
    RegisterChuumoku();
}

void FRM_注目::Close() {
    CloseChildEnable(MainFrameExists() ? &MainFrame() : nullptr, this);
}

std::string InitialChuumokuNumber() {
    if (!SelectionWindowExists()) return "1";
    const FlexGrid& grid = SelectionWindow().Grid();
    int32_t first = 0;
    int32_t last = 0;
    GetGridSelRange(grid, first, last);
    int64_t row = first;
    if (Views().ViewKind != kViewList) row += IssueSelection().CurrentIssuePos;
    // After a search the chart views' issues need not be rows of the list: then there is
    // no cell to read.
    if (row < grid.FixedRows() || row >= grid.Rows() || grid.Cols() <= kWatchColumn) return "1";
    const std::string& cell = grid.TextMatrix(static_cast<int>(row), kWatchColumn);
    return TrimSpaces(cell).empty() ? "1" : cell;
}

void ShowChuumokuDialog() {
    if (!IsCommandEnabled(15)) return;
    if (Views().ViewKind == kViewList && !CheckIssueSelected()) {
        SetMainPointer(kDefaultPointer);
        return;
    }
    auto* dialog = new FRM_注目;
    IssueJobs().ChuumokuDialog = dialog;
    ShowChildDisabled(&MainFrame(), dialog);
    SelectAllText(dialog->NumberBox());
}
