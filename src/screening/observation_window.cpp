#include "screening/observation_window.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <array>
#include <string>

#include "foundation/issue_list.h"
#include "foundation/state.h"
#include "foundation/trap.h"
#include "platform/flex_grid.h"
#include "platform/message_box.h"
#include "platform/printers.h"
#include "screening/state.h"
#include "ui/dialog_keys.h"
#include "ui/grid_sort.h"
#include "ui/grid_wheel.h"
#include "ui/list_dialogs.h"
#include "views/list_services.h"
#include "views/state.h"

namespace {

constexpr int kLastSortColumn = 7;

// The fields of the attribute query the list shows: display order, code, name, market.
constexpr std::array<int, 4> kIssueFields = {kField表示順, kField証券コード, kField銘柄名,
                                             kField略称};
// Line price, observation and rule of each direction.
constexpr std::array<int, 3> kForwardFields = {27, 29, 28};
constexpr std::array<int, 3> kBackwardFields = {31, 33, 32};

std::string RowText(const Recordset& records, int position, int16_t order) {
    const std::vector<FieldValue>& record = records.Row(position);
    std::string text = std::to_string(position + 1);
    for (int field : kIssueFields) text += "\t" + FieldText(record.at(field));
    for (int field : order == 0 ? kForwardFields : kBackwardFields)
        text += "\t" + FieldText(record.at(field));
    return text;
}

}  // namespace

int ObservationListMode(int16_t order) {
    return order == 0 ? kListForward : kListBackward;
}

FRM_先行観測::FRM_先行観測(QWidget* parent) : QDialog(parent) {
    SetUpListDialog(*this, kObservationFormName, "先行観測", 6735, 5160);
    BuildControls();
    WireControls();

    // Load.
    GridWheel().CurrentFormName = kObservationFormName;
    RunTrapped([this] {
        ShowObservation();
        // The order is already backward: choosing the button switches nothing.
        if (Selection().ObservationOrder == -1) backward_->setChecked(true);
        // The chosen option takes the focus first, as the tab order has it; the grid would
        // make its first row current on taking the focus and so enable OK unasked.
        (backward_->isChecked() ? backward_ : forward_)->setFocus();
        EnableChoice(false);
        InstallGridWheel(*grid_, kObservationFormName);
    });
    EnableDialogKeys(this);
}

FRM_先行観測::~FRM_先行観測() {
    if (GridWheel().CurrentFormName == kObservationFormName) GridWheel().CurrentFormName.clear();
}

void FRM_先行観測::BuildControls() {
    auto* panel = PlaceControl(new QWidget(this), "PIC_Panel", 120, 120, 6495, 4215);
    grid_ = PlaceControl(new FlexGrid(panel), "FGR_該当銘柄", 0, 0, 6435, 2895);
    StyleListGrid(*grid_);

    auto* frame =
        PlaceControl(new QGroupBox(Utf8("対象"), panel), "FRA_対象", 240, 3000, 3615, 855);
    forward_ = PlaceControl(new QRadioButton(Utf8("順方向への引線に対する観測"), frame),
                            "OPT_順次観測", 120, 240, 2895, 252);
    backward_ = PlaceControl(new QRadioButton(Utf8("逆方向への引線に対する観測"), frame),
                             "OPT_逆次観測", 120, 480, 2895, 252);
    forward_->setChecked(true);
    print_ =
        PlaceControl(new QPushButton(Utf8("印刷(&P)"), panel), "CMD_Print", 4800, 3000, 1200, 310);
    ok_ =
        PlaceControl(new QPushButton(QStringLiteral("OK"), this), "CMD_OK", 3960, 4740, 1200, 310);
    auto* cancel =
        PlaceControl(new QPushButton(Utf8("ｷｬﾝｾﾙ"), this), "CMD_cancel", 5280, 4740, 1200, 310);
    AddSeparator(this, 120, 4560, 6480);

    setTabOrder(forward_, backward_);
    setTabOrder(backward_, print_);
    setTabOrder(print_, ok_);
    setTabOrder(ok_, cancel);
}

void FRM_先行観測::WireControls() {
    connect(forward_, &QRadioButton::clicked, this, [this] { SwitchOrder(0); });
    connect(backward_, &QRadioButton::clicked, this, [this] { SwitchOrder(-1); });
    connect(grid_, &FlexGrid::MouseDown, this,
            [this](int button, int, double x, double y) { OnHeaderMouseDown(button, x, y); });
    connect(grid_, &FlexGrid::MouseUp, this, [this](int button, int, double, double) {
        if (button == 1 && grid_->Row() > 0) EnableChoice(true);
    });
    connect(grid_, &FlexGrid::EnterCell, this, [this] {
        if (grid_->Row() > 0) EnableChoice(true);
    });
    connect(ok_, &QPushButton::clicked, this, [this] { OnOk(); });
    connect(print_, &QPushButton::clicked, this, [this] { OnPrint(); });
    connect(findChild<QPushButton*>(QStringLiteral("CMD_cancel")), &QPushButton::clicked, this,
            [this] { reject(); });
}

void FRM_先行観測::ShowObservation() {
    RunTrapped([this] {
        HideGrid(*grid_);
        SetObservationGridHeaders(*grid_);
        FillObservationGrid();
        ShowGrid(*grid_);
    });
}

void FRM_先行観測::FillObservationGrid() {
    try {
        const Recordset& records = *Observation().ObservationRecordset;
        const int16_t order = Selection().ObservationOrder;
        for (int position = 0; position < records.RecordCount(); ++position) {
            grid_->AddItem(RowText(records, position, order));
        }
        grid_->SetCol(0);
    } catch (const std::exception&) {
        ShowGrid(*grid_);
        unsetCursor();
    }
}

void FRM_先行観測::SwitchOrder(int16_t order) {
    int16_t& current = Selection().ObservationOrder;
    if (current == order) return;
    setCursor(Qt::WaitCursor);
    RecordsetPtr found;
    // A failed query has been reported by ExecuteSql; an empty one keeps the list as well.
    const bool queried = QueryIssueList(ObservationListMode(order), found);
    if (!queried || !found || found->RecordCount() == 0) {
        if (queried) MsgInfo(kNoObservationMessage);
        QRadioButton* kept = current == 0 ? forward_ : backward_;
        kept->setChecked(true);
        kept->setFocus();
        unsetCursor();
        return;
    }
    Observation().ObservationRecordset = std::move(found);
    current = order;
    ShowObservation();
    EnableChoice(false);
    unsetCursor();
}

void FRM_先行観測::OnHeaderMouseDown(int button, double x, double y) {
    if (button != 1) return;
    RunTrapped([&] {
        FlexGrid& grid = *grid_;
        if (y > grid.RowHeight(0)) return;
        const int column = HeaderColumnAt(grid, kLastSortColumn, x);
        if (column >= 0) SortObserveGrid(grid, Observation().ColumnSortFlags[column], column);
        grid.SetCol(0);
        if (grid.Rows() > 1) {
            grid.SetRow(1);
            grid.SetTopRow(1);
        }
        grid.setFocus();
    });
}

void FRM_先行観測::EnableChoice(bool enabled) {
    ok_->setEnabled(enabled);
    print_->setEnabled(enabled);
}

void FRM_先行観測::OnOk() {
    setCursor(Qt::WaitCursor);
    RunTrapped([this] {
        if (!HandOverChosenRows(*grid_, Observation().ObservationRecordset)) {
            MsgWarn(kSelectIssueMessage);
            return;
        }
        Observation().ObservationResult = -1;
        done(Accepted);
    });
    unsetCursor();
}

void FRM_先行観測::reject() {
    setCursor(Qt::WaitCursor);
    Observation().ObservationResult = 0;
    QDialog::reject();
}

void FRM_先行観測::OnPrint() {
    HandListToPrintDialog(*this, *grid_, kObservationFormName);
}
