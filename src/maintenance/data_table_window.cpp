#include "maintenance/data_table_window.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <iterator>
#include <stdexcept>

#include "analysis/chart_loading.h"
#include "analysis/dates.h"
#include "analysis/state.h"
#include "foundation/database.h"
#include "foundation/issue_edit_queue.h"
#include "foundation/issue_list.h"
#include "foundation/settings.h"
#include "foundation/sql_builders.h"
#include "foundation/state.h"
#include "foundation/text_utils.h"
#include "foundation/trap.h"
#include "maintenance/bar_values.h"
#include "maintenance/data_table_chart.h"
#include "maintenance/state.h"
#include "platform/busy_pointer.h"
#include "platform/flex_grid.h"
#include "platform/message_box.h"
#include "platform/number_format.h"
#include "platform/printers.h"
#include "platform/twips.h"
#include "ui/cell_editor_keys.h"
#include "ui/dialog_keys.h"
#include "ui/grid_layouts.h"
#include "ui/grid_wheel.h"
#include "ui/input_boxes.h"
#include "ui/state.h"
#include "ui/window_teardown.h"
#include "views/chart_views.h"
#include "views/list_services.h"
#include "views/main_frame.h"
#include "views/state.h"

namespace {

constexpr int kListView = 3;
constexpr int kKagiView = 4;
constexpr int kPriceEditLength = 9;
constexpr int kVolumeEditLength = 11;
constexpr const char* kDateEditFormat = "yyyy/MM/dd";
constexpr const char* kHeaders[kDtCols] = {"",     "",     "日付", "始値",
                                           "高値", "安値", "終値", "出来高"};

int32_t DateNumberOf(const QDate& date) {
    return date.year() * 10000 + date.month() * 100 + date.day();
}

QDate DateOfNumber(int32_t number) {
    return QDate(number / 10000, number / 100 % 100, number % 100);
}

QDate Today() {
    const std::chrono::year_month_day today = SetteiToday();
    return QDate(static_cast<int>(today.year()), static_cast<int>(unsigned(today.month())),
                 static_cast<int>(unsigned(today.day())));
}

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromUtf8(name));
    return widget;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption) {
    auto* button = Named(new QPushButton(QString::fromUtf8(caption), parent), name);
    button->setAutoDefault(false);
    return button;
}

QCheckBox* MakeCheck(QWidget* parent, const char* name, const char* caption) {
    return Named(new QCheckBox(QString::fromUtf8(caption), parent), name);
}

QDateEdit* MakePicker(QWidget* parent, const char* name) {
    auto* picker = Named(new QDateEdit(parent), name);
    picker->setDisplayFormat(QString::fromLatin1(kDateEditFormat));
    picker->setCalendarPopup(true);
    return picker;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const char* caption = "") {
    return Named(new QLabel(QString::fromUtf8(caption), parent), name);
}

// A stored summary field against the value a save would give it. A Null counts as equal,
// except for the change, which a Null never equals.
bool SummaryDiffers(const FieldValue& stored, const std::string& value, bool nullDiffers) {
    if (IsNull(stored)) return nullDiffers;
    const std::string text = FieldText(stored);
    if (IsNumericText(text) && IsNumericText(value))
        return NumericValue(text) != NumericValue(value);
    return text != value;
}

// 最終日 is stored as the number yyyymmdd; the summary gives it as "yyyy/mm/dd".
std::string StoredDateForm(const std::string& dateText) {
    return dateText.empty() ? dateText : std::to_string(DateToNum(dateText));
}

// 最終日, 株価, 前日比 and 出来高 as the issue's attribute row holds them (Null without a row).
std::vector<FieldValue> StoredSummaryOf(const std::string& issueId) {
    std::string statement = "SELECT 最終日, 株価, 前日比, 出来高 FROM TBL銘柄属性 WHERE 銘柄ID = ?";
    RecordsetPtr rs;
    if (!ExecuteSql(Database().DailyConnection, statement, rs, {issueId}))
        throw std::runtime_error(kUpdateFailedMessage);
    std::vector<FieldValue> record(4);
    if (rs->RecordCount() > 0) record = rs->Row(0);
    return record;
}

// The issue's 日付 values as the catalog holds them, in the order of the bar load.
bool ReadStoredDates(const std::string& issueId, std::vector<FieldValue>& dates) {
    std::string statement = "SELECT 日付 FROM TBL日次 WHERE 銘柄ID = ? ORDER BY 日付 DESC";
    RecordsetPtr rs;
    if (!ExecuteSql(Database().DailyConnection, statement, rs, {issueId})) return false;
    dates.clear();
    for (int r = 0; r < rs->RecordCount(); ++r) dates.push_back(rs->Row(r).at(0));
    return true;
}

}  // namespace

FRM_データ表::FRM_データ表(QWidget* parent) : QDialog(parent) {
    setObjectName(QString::fromUtf8(kDataTableFormName));
    setWindowTitle(QStringLiteral("ﾃﾞｰﾀ表"));
    BuildControls();
    WireControls();
    GridWheel().CurrentFormName = kDataTableFormName;
    KagiRedrawn = 0;
    EnableDialogKeys(this);
    if (TextData().TextDataMode == -1) {
        ShowTextDataSeries();
        return;
    }
    rows_.ClearDeletedDates();
    StartDroppedDown = 0;
    EndDroppedDown = 0;
    for (QWidget* control : {static_cast<QWidget*>(cmdAdd_), static_cast<QWidget*>(chkAdd_),
                             static_cast<QWidget*>(chkPeriod_)})
        control->setEnabled(true);
    EnableByCheck(this, chkAdd_, dpcAdd_);
    LoadSelection();
    IssueSelectionState& selection = IssueSelection();
    lbl位置_->setText(QStringLiteral("1"));
    if (Views().ViewKind == kListView) {
        selection.CurrentIssuePos = 0;
        lbl選択数_->setText(QString::number(selection.SelectedCount()));
        updName_->setEnabled(true);
    } else {
        lbl選択数_->setText(QStringLiteral("1"));
        updName_->setEnabled(false);
    }
    ShowIssueData();
    SetPeriodRange();
    chk開始_->setEnabled(false);
    chk終了_->setEnabled(false);
    cmdDel_->setEnabled(false);
    cmdPrint_->setEnabled(true);
    EnableByCheck(this, chk開始_, dpc開始_);
    EnableByCheck(this, chk終了_, dpc終了_);
    GridEditors editors;
    editors.window = this;
    editors.TXT_Edit_LostFocus = [this] { TXT_Edit_LostFocus(); };
    editors.DPC_Edit_LostFocus = [this] { DPC_Edit_LostFocus(); };
    InstallGridWheel(*fgr日次_, kDataTableFormName, editors);
}

FRM_データ表::~FRM_データ表() {
    StopHandlersForTeardown(*this);
}

void FRM_データ表::BuildControls() {
    fgr日次_ = Named(new FlexGrid(this), "FGR_日次");
    fgr日次_->SetSelectionByRow(false);
    txtEdit_ = Named(new QLineEdit(this), "TXT_Edit");
    txtEdit_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtEdit_->hide();
    dpcEdit_ = MakePicker(this, "DPC_Edit");
    dpcEdit_->hide();
    editorKeys_ = new CellEditorKeys(
        this, fgr日次_, txtEdit_, dpcEdit_, [this] { TXT_Edit_LostFocus(); },
        [this] { DPC_Edit_LostFocus(); });

    auto* target = Named(new QGroupBox(QStringLiteral("処理対象"), this), "FRM_処理対象");
    lblName_ = MakeLabel(target, "LBL_Name");
    updName_ = Named(new UpDownSpinner(target), "UPD_Name");
    lbl位置_ = MakeLabel(target, "LBL_位置");
    lbl選択数_ = MakeLabel(target, "LBL_選択数");
    auto* targetLayout = new QHBoxLayout(target);
    targetLayout->addWidget(lblName_, 1);
    targetLayout->addWidget(updName_);
    targetLayout->addWidget(lbl位置_);
    targetLayout->addWidget(MakeLabel(target, "Label11", "/"));
    targetLayout->addWidget(lbl選択数_);

    chkAdd_ = MakeCheck(this, "CHK_Add", "追加日付を指定");
    dpcAdd_ = MakePicker(this, "DPC_Add");
    cmdAdd_ = MakeButton(this, "CMD_Add", "追加(&A)");
    chkPeriod_ = MakeCheck(this, "CHK_Period", "期間を指定する");
    chk開始_ = MakeCheck(this, "CHK_開始", "開始：");
    dpc開始_ = MakePicker(this, "DPC_開始");
    chk終了_ = MakeCheck(this, "CHK_終了", "終了：");
    dpc終了_ = MakePicker(this, "DPC_終了");
    cmdDel_ = MakeButton(this, "CMD_Del", "削除(&D)");
    cmdPrint_ = MakeButton(this, "CMD_Print", "印刷(&P)");
    cmdOk_ = MakeButton(this, "CMD_OK", "OK");
    cmdCancel_ = MakeButton(this, "CMD_cancel", "ｷｬﾝｾﾙ");

    auto* side = new QGridLayout;
    side->addWidget(chkAdd_, 0, 0, 1, 3);
    side->addWidget(MakeLabel(this, "Label2", "日付："), 1, 0);
    side->addWidget(dpcAdd_, 1, 1);
    side->addWidget(cmdAdd_, 1, 2);
    side->addWidget(chkPeriod_, 2, 0, 1, 3);
    side->addWidget(chk開始_, 3, 0);
    side->addWidget(dpc開始_, 3, 1);
    side->addWidget(MakeLabel(this, "LBL_開始", "から"), 3, 2);
    side->addWidget(chk終了_, 4, 0);
    side->addWidget(dpc終了_, 4, 1);
    side->addWidget(MakeLabel(this, "LBL_終了", "まで"), 4, 2);
    side->addWidget(cmdDel_, 5, 0);
    side->addWidget(cmdPrint_, 5, 1);
    side->setRowStretch(6, 1);
    side->addWidget(cmdOk_, 7, 1);
    side->addWidget(cmdCancel_, 7, 2);

    auto* body = new QHBoxLayout;
    body->addWidget(fgr日次_, 1);
    body->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(target);
    layout->addLayout(body, 1);
    resize(TwipsToPixels(11000), TwipsToPixels(7200));
}

void FRM_データ表::WireControls() {
    connect(cmdOk_, &QPushButton::clicked, this, [this] { CMD_OK_Click(); });
    connect(cmdCancel_, &QPushButton::clicked, this, [this] { CMD_cancel_Click(); });
    connect(chkAdd_, &QCheckBox::toggled, this, [this] { EnableByCheck(this, chkAdd_, dpcAdd_); });
    connect(chk開始_, &QCheckBox::toggled, this,
            [this] { EnableByCheck(this, chk開始_, dpc開始_); });
    connect(chk終了_, &QCheckBox::toggled, this,
            [this] { EnableByCheck(this, chk終了_, dpc終了_); });
    connect(chkPeriod_, &QCheckBox::clicked, this, [this] { CHK_Period_Click(); });
    connect(cmdAdd_, &QPushButton::clicked, this, [this] { CMD_Add_Click(); });
    connect(cmdDel_, &QPushButton::clicked, this, [this] { CMD_Del_Click(); });
    connect(cmdPrint_, &QPushButton::clicked, this, [this] { CMD_Print_Click(); });
    connect(fgr日次_, &FlexGrid::MouseDown, this,
            [this](int button, int, double x, double) { FGR_日次_MouseDown(button, x); });
    connect(fgr日次_, &FlexGrid::MouseUp, this,
            [this](int button, int, double, double) { FGR_日次_MouseUp(button); });
    connect(fgr日次_, &FlexGrid::MouseMove, this,
            [this](int, int, double x, double) { SetGridFlagByMouseX(*fgr日次_, x, true); });
    // A change while a calendar is open waits for its closing, which keeps the order once.
    BindDateRange(this);
    WhenCalendarPopupMade(dpc開始_, [this](QWidget* popup) {
        startPopup_ = popup;
        popup->installEventFilter(this);
    });
    WhenCalendarPopupMade(dpc終了_, [this](QWidget* popup) {
        endPopup_ = popup;
        popup->installEventFilter(this);
    });
    connect(fgr日次_, &FlexGrid::DblClick, this, [this] { FGR_日次_DblClick(); });
    for (QScrollBar* bar : {fgr日次_->verticalScrollBar(), fgr日次_->horizontalScrollBar()})
        connect(bar, &QScrollBar::valueChanged, this, [this](int) { EndGridEdit(this); });
    updName_->OnDown([this] { UPD_Name_DownClick(); });
    updName_->OnUp([this] { UPD_Name_UpClick(); });
}

bool FRM_データ表::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type == QEvent::Show || type == QEvent::Hide) {
        const int16_t open = type == QEvent::Show ? -1 : 0;
        if (watched == startPopup_) StartDroppedDown = open;
        if (watched == endPopup_) EndDroppedDown = open;
    }
    return QDialog::eventFilter(watched, event);
}

// --- The issue shown ------------------------------------------------------------------------

void FRM_データ表::LoadSelection() {
    RunTrapped([] {
        IssueSelectionState& selection = IssueSelection();
        const RecordsetPtr& list = IssueList().IssueListRecordset;
        if (!list) throw std::runtime_error(kErrObjectNotSet);
        const auto field = [&list](const std::vector<FieldValue>& record, const char* name) {
            return FieldText(record.at(static_cast<size_t>(list->FieldIndex(name))));
        };
        selection.IssueWorkArray.assign(selection.SelectedRows.size(), IssueWorkRecord{});
        for (size_t i = 0; i < selection.SelectedRows.size(); ++i) {
            const auto& record = RecordAt(list, selection.SelectedRows[i]);
            IssueWorkRecord& work = selection.IssueWorkArray[i];
            work.IssueId = field(record, "銘柄ID");
            work.Code = field(record, "証券コード");
            work.Name = field(record, "銘柄名");
            work.Market = field(record, "略称");
        }
    });
}

void FRM_データ表::ShowIssueData() {
    SetHourglass();
    RunTrapped([this] {
        const IssueSelectionState& selection = IssueSelection();
        TableIssueId = selection.IssueWorkArray.at(selection.CurrentIssuePos).IssueId;
        rows_.Clear();
        HideGrid(*fgr日次_);
        InitDataGrid();
        if (LoadDailyRows()) FillDataGrid();
        ShowGrid(*fgr日次_);
        ShowIssueCaption();
    });
    cmdDel_->setEnabled(false);
    cmdPrint_->setEnabled(false);
    ResetPointer();
}

void FRM_データ表::InitDataGrid() {
    FlexGrid& grid = *fgr日次_;
    grid.SetRows(1);  // before clearing: the rows of the last issue need no emptying
    grid.Clear();
    grid.SetCols(kDtCols);
    grid.SetRow(0);
    for (int col = kDtColDate; col < kDtCols; ++col) grid.SetTextMatrix(0, col, kHeaders[col]);
    SetDataTableGridLayout(grid);
}

bool FRM_データ表::LoadDailyRows() {
    NumberRows numbers;
    // After a failed read the grid shows no rows and nothing can be added or saved: the
    // table would otherwise be written over rows that were never read.
    const bool read = LoadBarNumbers(TableIssueId, kDailyTable, 0, numbers);
    cmdAdd_->setEnabled(read);
    if (!read) {
        fgr日次_->setEnabled(false);
        return false;
    }
    std::vector<FieldValue> storedDates;
    if (DailyRowTable::NeedsStoredDates(numbers) && !ReadStoredDates(TableIssueId, storedDates)) {
        fgr日次_->setEnabled(false);
        cmdAdd_->setEnabled(false);
        return false;
    }
    rows_.Fill(numbers, storedDates);
    return true;
}

void FRM_データ表::FillDataGrid() {
    FlexGrid& grid = *fgr日次_;
    if (rows_.Count() == 0) {
        grid.setEnabled(false);
        return;
    }
    grid.setEnabled(true);
    ShowAllRows();
    grid.SetRow(1);
    grid.SetCol(kDtColDate);
    grid.SetTopRow(1);
}

void FRM_データ表::ShowAllRows() {
    // The grid asks for a row's texts when it first shows or reads it. Every change of the
    // table's rows shows them again, so what it asks for is what they hold.
    fgr日次_->SetScrollingRows(rows_.Count(), [this](int row) {
        return row < rows_.Count() ? rows_.Cells(row + 1) : FlexGrid::GridRow();
    });
}

void FRM_データ表::ShowRow(int gridRow) {
    std::vector<std::string> cells = rows_.Cells(gridRow);
    for (int col = kDtColState; col < kDtCols; ++col)
        fgr日次_->SetTextMatrix(gridRow, col, std::move(cells[col]));
}

void FRM_データ表::ShowIssueCaption() {
    const IssueSelectionState& selection = IssueSelection();
    const IssueWorkRecord& work = selection.IssueWorkArray.at(selection.CurrentIssuePos);
    lblName_->setText(QString::fromStdString(work.Code + "  " + work.Market + "  " + work.Name));
}

void FRM_データ表::SetPeriodRange() {
    const QDate today = Today();
    QDate shown = today;
    HasJoinedListing = 0;
    if (Settei().Record.UserSettei.CHK_連続 == 1 && Views().ViewKind == kKagiView) {
        // Only to learn whether the issue has earlier listings: nothing is redrawn.
        BuildBarsFromGrid();
        KagiRedrawn = 0;
    }
    if (HasJoinedListing == -1) {
        // The earlier listings' rows are not this table's: no date before the oldest row of
        // the current listing can be picked.
        FirstEditableDate = rows_.Count() > 0 ? DateOfNumber(rows_.Row(rows_.Count()).Date) : today;
        for (QDateEdit* picker : {dpcAdd_, dpc開始_, dpc終了_, dpcEdit_}) {
            picker->clearMaximumDate();
            picker->setMinimumDate(FirstEditableDate);
        }
        if (today < FirstEditableDate) shown = FirstEditableDate;
    } else {
        for (QDateEdit* picker : {dpcAdd_, dpc開始_, dpc終了_, dpcEdit_}) {
            picker->clearMinimumDate();
            picker->clearMaximumDate();
        }
    }
    for (QDateEdit* picker : {dpcAdd_, dpc開始_, dpc終了_}) picker->setDate(shown);
}

// --- The text-data listing ------------------------------------------------------------------

void FRM_データ表::ShowTextDataSeries() {
    RunTrapped([this] {
        for (QWidget* control :
             std::initializer_list<QWidget*>{cmdAdd_, cmdDel_, chkAdd_, chkPeriod_, chk開始_,
                                             chk終了_, dpcAdd_, dpc開始_, dpc終了_, updName_})
            control->setEnabled(false);
        cmdPrint_->setEnabled(true);
        lblName_->setText(QString::fromStdString(TextData().TextDataTitle));
        lbl位置_->setText(QStringLiteral("1"));
        lbl選択数_->setText(QStringLiteral("1"));
        HideGrid(*fgr日次_);
        InitDataGrid();
        FillGridFromSeries();
        ShowGrid(*fgr日次_);
    });
    ResetPointer();
}

void FRM_データ表::FillGridFromSeries() {
    FlexGrid& grid = *fgr日次_;
    const SeriesState& series = Series();
    const int count =
        std::clamp(series.TextDataCount, 0, static_cast<int32_t>(series.TextDataSeries.size()));
    grid.SetRows(1 + count);
    // Newest first, as the stored rows are listed.
    for (int row = 1; row <= count; ++row) {
        const SeriesPoint& point = series.TextDataSeries[static_cast<size_t>(count - row)];
        grid.SetTextMatrix(row, kDtColDate, point.DateText.Text());
        const double values[] = {point.Open, point.High, point.Low, point.Close, point.Volume};
        for (int col = kDtColOpen; col <= kDtColVolume; ++col)
            grid.SetTextMatrix(row, col, FormatBarValue(values[col - kDtColOpen]));
    }
    if (count == 0) return;
    grid.SetRow(1);
    grid.SetCol(kDtColDate);
}

// --- Stepping and closing --------------------------------------------------------------------

void FRM_データ表::UPD_Name_DownClick() {
    StepIssue(-1);
}

void FRM_データ表::UPD_Name_UpClick() {
    StepIssue(1);
}

void FRM_データ表::StepIssue(int step) {
    EditRefused = 0;
    TXT_Edit_LostFocus();
    EndGridEdit(this);
    IssueSelectionState& selection = IssueSelection();
    const int32_t target = selection.CurrentIssuePos + step;
    if (target < 0 || target >= selection.SelectedCount()) return;
    if (!SaveChanges()) return;
    selection.CurrentIssuePos = target;
    lbl位置_->setText(QString::number(target + 1));
    ShowIssueData();
    SetPeriodRange();
}

void FRM_データ表::CMD_OK_Click() {
    SetHourglass();
    EditRefused = 0;
    const bool saved = SaveChanges();
    ResetPointer();
    if (!saved || KeepTableOpen == -1) return;
    accept();
}

void FRM_データ表::CMD_cancel_Click() {
    reject();
}

void FRM_データ表::done(int result) {
    // However the window closes (OK, Cancel, Escape or its title bar), a chart drawn from
    // the grid is drawn again from the stored rows: unsaved rows must not stay on screen.
    const bool redraw = !closed_ && KagiRedrawn == -1;
    if (!closed_) {
        closed_ = true;
        // Closing drops an open edit: the editor must not commit as the window takes its
        // focus away.
        txtEdit_->hide();
        dpcEdit_->hide();
        rows_.ClearDeletedDates();
        GridWheel().CurrentFormName.clear();
    }
    QDialog::done(result);
    if (redraw && Selection().Routines.ShowKagiView) Selection().Routines.ShowKagiView();
}

bool FRM_データ表::BuildBarsFromGrid() {
    HasJoinedListing = 0;
    std::vector<SeriesPoint> earlier;
    if (Settei().Record.UserSettei.CHK_連続 == 1 && Views().ViewKind == kKagiView) {
        if (!LoadChartSeries(TableIssueId, kKagiView)) return false;
        const SeriesRecord& joined = Series().DailySeries;
        const int mark = JoinMarkIndex(joined);
        if (mark >= 0) {
            HasJoinedListing = -1;
            earlier.assign(joined.Points.begin(), joined.Points.begin() + mark);
        }
    }
    SeriesState& series = Series();
    series.TextDataSeries = ::BuildBarsFromGrid(rows_, earlier);
    series.TextDataCount = static_cast<int32_t>(series.TextDataSeries.size());
    KagiRedrawn = -1;
    return true;
}

void FRM_データ表::ApplyGridToChart() {
    if (Views().ViewKind != kKagiView) return;
    if (const auto& apply = DataTable().ApplyGridToChart) apply(*this);
}

// --- The editors ----------------------------------------------------------------------------

void FRM_データ表::FGR_日次_DblClick() {
    if (TextData().TextDataMode == -1 || fgr日次_->Row() < 1) return;
    RunTrapped([this] { OpenCellEditor(); });
}

void FRM_データ表::OpenCellEditor() {
    // A row the grid cannot hold faithfully is shown, never edited.
    if (rows_.Row(fgr日次_->Row()).Odd) return;
    TableEditRow = fgr日次_->Row();
    TableEditCol = fgr日次_->Col();
    DisableDialogKeys(this);
    if (TableEditCol == kDtColDate) {
        dpcEdit_->setDate(DateOfNumber(rows_.Row(TableEditRow).Date));
        PlaceCellEditor(' ', dpcEdit_, fgr日次_);
    } else if (TableEditCol >= kDtColOpen && TableEditCol <= kDtColVolume) {
        txtEdit_->setMaxLength(TableEditCol == kDtColVolume ? kVolumeEditLength : kPriceEditLength);
        PlaceCellEditor(' ', txtEdit_, fgr日次_);
    } else {
        EnableDialogKeys(this);
    }
}

void FRM_データ表::TXT_Edit_LostFocus() {
    if (!txtEdit_->isVisible() || committingText_) return;
    committingText_ = true;
    RunTrapped([this] {
        GridWheel().EditRejected = 0;
        if (TrimSpaces(txtEdit_->text().toStdString()).empty()) txtEdit_->setText("0");
        if (!CheckIntegerBox(txtEdit_)) {
            GridWheel().EditRejected = -1;
            return;
        }
        // Only digits can be typed; a pasted fraction is taken as the whole number the
        // cell will show.
        const double value = RoundDecimalHalfAway(NumericValue(txtEdit_->text().toStdString()), 0);
        if (DailyRowTable::ValueRefused(TableEditCol, value)) {
            MsgWarn(kDtAboveZero);
            GridWheel().EditRejected = -1;
            EditRefused = -1;
            SelectAllText(txtEdit_);
            return;
        }
        EnableDialogKeys(this);
        const bool written = rows_.CommitValue(TableEditRow, TableEditCol, value);
        txtEdit_->hide();
        if (!written) return;
        ShowRow(TableEditRow);
        ApplyGridToChart();
        fgr日次_->setEnabled(true);
    });
    committingText_ = false;
}

void FRM_データ表::DPC_Edit_LostFocus() {
    if (!dpcEdit_->isVisible()) return;
    EnableDialogKeys(this);
    // Hidden before any question: the box taking the focus must not commit again.
    dpcEdit_->hide();
    RunTrapped([this] {
        const int32_t date = DateNumberOf(dpcEdit_->date());
        switch (rows_.CheckNewDate(TableEditRow, date)) {
            case DailyRowTable::DateCheck::Same:
                return;
            case DailyRowTable::DateCheck::Duplicate:
                MsgWarn(kDtDuplicateDate);
                return;
            case DailyRowTable::DateCheck::Move:
                break;
        }
        if (MsgOkCancel(kDtRedateQuestion) != kAnswerOk) return;
        HideGrid(*fgr日次_);
        const int moved = rows_.MoveToDate(TableEditRow, date);
        ShowAllRows();
        fgr日次_->SetRow(moved);
        fgr日次_->SetCol(kDtColDate);
        ApplyGridToChart();
        ShowGrid(*fgr日次_);
        fgr日次_->setEnabled(true);
    });
}

void FRM_データ表::DeleteRows(int first, int last) {
    rows_.DeleteRows(first, last);
    ShowAllRows();
    if (rows_.Count() > 0) return;
    fgr日次_->setEnabled(false);
    cmdDel_->setEnabled(false);
    cmdPrint_->setEnabled(false);
}

// --- Adding, deleting and printing rows -------------------------------------------------------

void FRM_データ表::EnableRowCommands(bool enabled) {
    cmdDel_->setEnabled(enabled);
    cmdPrint_->setEnabled(enabled);
}

void FRM_データ表::CHK_Period_Click() {
    const bool ticked = chkPeriod_->isChecked();
    chk開始_->setEnabled(ticked);
    chk終了_->setEnabled(ticked);
    const bool rows = ticked && rows_.Count() > 0;
    EnableRowCommands(rows);
    if (rows) fgr日次_->SetRow(1);
    EnableByCheck(this, chk開始_, dpc開始_);
    EnableByCheck(this, chk終了_, dpc終了_);
}

void FRM_データ表::FGR_日次_MouseDown(int button, double x) {
    if (button != 1) return;
    // A press just beside the row header's edge is meant for the date beside it.
    const double edge = fgr日次_->ColWidth(0);
    if (x >= edge - 30 && x <= edge + 50 && fgr日次_->Row() >= 1) {
        fgr日次_->SetCol(kDtColDate);
        return;
    }
    // A press on the row header takes whole rows.
    if (x < edge - 30 && fgr日次_->Row() >= 1) {
        fgr日次_->SetCol(kDtColState);
        fgr日次_->SetColSel(kDtCols - 1);
    }
}

void FRM_データ表::FGR_日次_MouseUp(int button) {
    if (button != 1 || TextData().TextDataMode == -1) return;
    if (fgr日次_->Col() <= kDtColState && fgr日次_->Row() >= 1) {
        chkPeriod_->setChecked(false);
        CHK_Period_Click();
        EnableRowCommands(true);
    } else if (!chkPeriod_->isChecked()) {
        EnableRowCommands(false);
    }
}

void FRM_データ表::CMD_Add_Click() {
    SetHourglass();
    dpcEdit_->hide();
    RunTrapped([this] {
        int32_t date = 0;
        if (!chkAdd_->isChecked()) {
            date = rows_.Count() == 0 ? DateNumberOf(Today())
                                      : DateNumberOf(DateOfNumber(rows_.Row(1).Date).addDays(1));
        } else {
            date = DateNumberOf(dpcAdd_->date());
            if (rows_.HasDate(date)) {
                MsgWarn(kDtDuplicateDate);
                return;
            }
        }
        HideGrid(*fgr日次_);
        rows_.AddRow(date);
        ShowAllRows();
        ApplyGridToChart();
        fgr日次_->setEnabled(true);
        fgr日次_->SetTopRow(1);
    });
    if (fgr日次_->Rows() > 1) fgr日次_->SetRow(0);
    EnableRowCommands(chkPeriod_->isChecked());
    ShowGrid(*fgr日次_);
    ResetPointer();
}

bool FRM_データ表::ValidatePeriod() {
    const bool start = chk開始_->isChecked();
    const bool end = chk終了_->isChecked();
    if (!start && !end) {
        MsgWarn(kDtNoPeriod);
        return false;
    }
    if (rows_.Count() == 0) return false;
    const int32_t startDate = DateNumberOf(dpc開始_->date());
    const int32_t endDate = DateNumberOf(dpc終了_->date());
    bool inside = true;
    if (start && startDate > rows_.Row(1).Date) inside = false;
    if (end && endDate < rows_.Row(rows_.Count()).Date) inside = false;
    if (inside && start && end) inside = rows_.PeriodRows(startDate, endDate).First > 0;
    if (!inside) MsgInfo(kDtPeriodOutside);
    return inside;
}

DailyRowTable::Range FRM_データ表::PeriodRange() const {
    return rows_.PeriodRows(chk開始_->isChecked() ? DateNumberOf(dpc開始_->date()) : 0,
                            chk終了_->isChecked() ? DateNumberOf(dpc終了_->date()) : 0);
}

bool FRM_データ表::ChosenRows(DailyRowTable::Range& range) {
    if (chkPeriod_->isChecked()) {
        if (!ValidatePeriod()) return false;
        range = PeriodRange();
        return true;
    }
    GetGridSelRange(*fgr日次_, range.First, range.Last);
    return true;
}

void FRM_データ表::CMD_Del_Click() {
    SetHourglass();
    RunTrapped([this] {
        DailyRowTable::Range range;
        if (ChosenRows(range) && MsgOkCancel(kDtDeleteQuestion) == kAnswerOk) {
            // The header row is no data row: a selection reaching it deletes from row 1.
            range.First = std::max(range.First, 1);
            HideGrid(*fgr日次_);
            if (range.Last >= range.First) DeleteRows(range.First, range.Last);
            if (!chkPeriod_->isChecked()) EnableRowCommands(false);
            ShowGrid(*fgr日次_);
        }
        ApplyGridToChart();
    });
    ResetPointer();
}

void FRM_データ表::CMD_Print_Click() {
    if (QueryPrinters().Printers.empty()) {
        MsgInfo(kNoPrinterMessage);
        return;
    }
    SetHourglass();
    RunTrapped([this] {
        DailyRowTable::Range range;
        if (!ChosenRows(range)) return;
        PrintSettei& print = Settei().Record.PrintSettei;
        print.PrintCaller = kDataTableFormName;
        print.FirstRow = range.First;
        print.LastRow = range.Last;
        if (const auto& show = Selection().Routines.ShowPrintDialog) show(this);
    });
    ResetPointer();
}

// --- Saving ---------------------------------------------------------------------------------

bool FRM_データ表::SaveChanges() {
    KeepTableOpen = 0;
    bool result = true;
    RunTrapped([&] {
        int firstRow = 1;
        if (rows_.Count() > 0) {
            const DailyRowTable::Cell fix = rows_.FirstCellToFix();
            if (fix.Row > 0) {
                if (EditRefused != -1) MsgWarn(kDtAboveZero);
                fgr日次_->SetRow(fix.Row);
                fgr日次_->SetCol(fix.Col);
                OpenCellEditor();
                result = false;
                KeepTableOpen = -1;
                return;
            }
            firstRow = rows_.FirstRowToWrite();
            if (firstRow == 0) return;
            if (MsgOkCancel(kDtChangedQuestion) != kAnswerOk) {
                KeepTableOpen = -1;
                return;
            }
        } else {
            if (rows_.DeletedDates().empty()) return;
            if (MsgOkCancel(kDtDeletedQuestion) != kAnswerOk) {
                KeepTableOpen = -1;
                return;
            }
        }
        result = SaveInTransaction(firstRow);
    });
    return result;
}

// The rows and the issue's summary commit together or not at all: after a failure the
// rows keep their states, so a second OK writes each of them once.
bool FRM_データ表::SaveInTransaction(int firstRow) {
    bool saved = false;
    {
        TransactionGuard transaction(Database().DailyConnection);
        // A statement that cannot be made (a date the rows cannot name) throws: the save
        // fails like a refused statement, and the guard rolls back what was written.
        IgnoringErrors([&] {
            saved = transaction.IsOpen() && WriteDailyRows(firstRow) && UpdateIssueSummary() &&
                    transaction.Commit();
        });
    }
    if (!saved) {
        MsgWarn(kUpdateFailedMessage);
        return false;
    }
    rows_.ClearDeletedDates();
    ShowSummaryInList();
    return true;
}

bool FRM_データ表::WriteDailyRows(int firstRow) {
    const CatalogConnection& daily = Database().DailyConnection;
    for (BoundStatement& statement : rows_.SaveStatements(TableIssueId, firstRow)) {
        RecordsetPtr result;
        if (!ExecuteSql(daily, statement.Text, result, statement.Parameters)) return false;
    }
    return true;
}

bool FRM_データ表::UpdateIssueSummary() {
    bool written = false;
    RunTrapped([&] {
        ClearEditQueue();
        const IssueSummary summary = rows_.Summary();
        // Compared with what is stored, not with the list's snapshot: a save made earlier in
        // this window's life has changed the row under it. With rows, a Null is replaced.
        const std::vector<FieldValue> record = StoredSummaryOf(TableIssueId);
        const bool rows = !summary.LastDate.empty();
        const struct {
            int field;
            int column;
            const std::string& value;
            std::string compared;
            bool nullDiffers;
        } values[] = {
            {kField最終日, 0, summary.LastDate, StoredDateForm(summary.LastDate), rows},
            {kField株価, 6, summary.Close, summary.Close, rows},
            {kField前日比, 7, summary.Change, summary.Change, true},
            {kField出来高, 0, summary.Volume, summary.Volume, rows},
        };
        for (size_t i = 0; i < std::size(values); ++i) {
            const auto& v = values[i];
            if (SummaryDiffers(record.at(i), v.compared, v.nullDiffers))
                QueueIssueEdit(v.field, v.column, TrimSpaces(v.value));
        }
        const std::vector<IssueEdit>& queue = IssueEdits().EditQueue;
        written = queue.empty() || MakeIssueUpdateSql(queue, TableIssueId);
    });
    return written;
}

void FRM_データ表::ShowSummaryInList() {
    const std::vector<IssueEdit>& queue = IssueEdits().EditQueue;
    if (queue.empty()) return;
    if (!ApplyEditsToMainGrid(queue, TableIssueId)) MsgInfo(kUpdateLaterMessage);
}

// --- The kagi link ---------------------------------------------------------------------------

void ApplyGridToChart(FRM_データ表& window) {
    TextData().TextDataMode = 0;
    UpdateSelectionMenus();
    TextData().TextDataTitle = window.TableIssueId;
    // A joined series that cannot be loaded leaves the text-data record as it was: drawn
    // under this issue it would show some other series, so the chart is left alone.
    if (!window.BuildBarsFromGrid()) return;
    ShowKagiChartFromCache();
}

// --- The command ----------------------------------------------------------------------------

void ShowDataTable() {
    // The command has checked the menu, the selection and set the hourglass already.
    QWidget* owner = MainFrameExists() ? static_cast<QWidget*>(&MainFrame()) : nullptr;
    FRM_データ表 window(owner);
    window.exec();
}
