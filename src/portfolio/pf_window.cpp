#include "portfolio/pf_window.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QVBoxLayout>
#include <stdexcept>

#include "foundation/database.h"
#include "foundation/issue_list.h"
#include "foundation/sql_builders.h"
#include "foundation/state.h"
#include "foundation/trap.h"
#include "platform/busy_pointer.h"
#include "platform/flex_grid.h"
#include "platform/number_format.h"
#include "platform/twips.h"
#include "portfolio/issue_rows.h"
#include "portfolio/news.h"
#include "ui/dialog_keys.h"
#include "ui/frame_access.h"
#include "ui/grid_layouts.h"
#include "ui/grid_wheel.h"
#include "ui/state.h"
#include "ui/window_teardown.h"
#include "views/list_services.h"
#include "views/main_frame.h"
#include "views/state.h"

namespace {

constexpr uint32_t kGridBackColour = 0xEBEBEB;  // RGB(235, 235, 235)
constexpr uint32_t kEditableColour = 0xFFFFFF;
constexpr uint32_t kNegativeColour = 0xFF0000;  // blue, red in the low byte
constexpr uint32_t kTextColour = 0x000000;
constexpr int kEditableColumns[] = {kPfColQuantity, kPfColUnitPrice, kPfColTarget, kPfColStop,
                                    kPfColDate};
constexpr int kListView = 3;

// The newest valid close as text, "－" when there is none. After a query failed (its
// message shown) no further query runs in the same fill: every entry still gets its row.
std::string GetLatestClose(const std::string& issueId, bool& queriesFailed) {
    // The ID comes from "PF.txt": one no catalog could hold has no close.
    if (queriesFailed || !IsIssueIdForm(issueId)) return kPfNoValueText;
    RecordsetPtr rows;
    std::string statement = MakeDailyBarsSql(issueId);
    if (!ExecuteSql(Database().DailyConnection, statement, rows)) {
        queriesFailed = true;
        return kPfNoValueText;
    }
    const int valid = FirstValidBar(*rows, 0);
    const std::string close = valid < 0 ? kPfNoValueText : PlainNumber(BarClose(*rows, valid));
    CloseRecordset(rows);
    return close;
}

void SetTextColour(QLabel* label, bool negative) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, negative ? QColor(0, 0, 255) : QColor(0, 0, 0));
    label->setPalette(palette);
}

}  // namespace

FRM_PF::FRM_PF(QWidget* parent) : QDialog(parent) {
    setObjectName(QString::fromLatin1(kPfFormName));
    setWindowTitle(QStringLiteral("ﾎﾟｰﾄﾌｫﾘｵ"));
    Views().ViewKind = kPfViewKind;
    GridWheel().CurrentFormName = kPfFormName;
    const PortfolioState& portfolio = Portfolio();
    for (int list = 0; list < kPfListCount; ++list) {
        const auto& entries = portfolio.PfLists[list];
        const size_t count =
            std::min<size_t>(std::max<int16_t>(portfolio.PfCounts[list], 0), entries.size());
        workLists_[list].assign(entries.begin(), entries.begin() + count);
    }

    stbPf_ = new QTabBar(this);
    stbPf_->setObjectName(QStringLiteral("STB_PF"));
    for (int tab = 0; tab < kPfTabCount; ++tab)
        stbPf_->addTab(QString::fromStdString(PfTabCaption(tab)));
    lblTabName_ = new QLabel(this);
    lblTabName_->setObjectName(QStringLiteral("LBL_TabName"));
    fgrPf_ = new FlexGrid(this);
    fgrPf_->setObjectName(QStringLiteral("FGR_PF"));
    fgrPf_->SetSelectionByRow(false);

    auto* totals = new QGroupBox(QStringLiteral("合計（表示毎）"), this);
    lblPal_ = new QLabel(totals);
    lblPal_->setObjectName(QStringLiteral("LBL_PAL"));
    lblRate_ = new QLabel(totals);
    lblRate_->setObjectName(QStringLiteral("LBL_Rate"));
    auto* totalsLayout = new QHBoxLayout(totals);
    totalsLayout->addWidget(new QLabel(QStringLiteral("損益："), totals));
    totalsLayout->addWidget(lblPal_);
    totalsLayout->addWidget(new QLabel(QStringLiteral("損益率："), totals));
    totalsLayout->addWidget(lblRate_);

    BuildButtons();
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {cmdAdd_, cmdDel_, cmdPrint_, cmdNews_}) buttons->addWidget(button);
    buttons->addStretch(1);
    for (QPushButton* button : {cmdSet_, cmdOk_, cmdCancel_}) buttons->addWidget(button);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(stbPf_);
    layout->addWidget(lblTabName_);
    layout->addWidget(fgrPf_, 1);
    layout->addWidget(totals);
    layout->addLayout(buttons);
    resize(TwipsToPixels(11200), TwipsToPixels(6600));
    BuildEditors();

    RunTrapped([this] { ShowPfTab(); });
    connect(stbPf_, &QTabBar::currentChanged, this, [this](int) {
        SetHourglass();
        RunTrapped([this] { ShowPfTab(); });
        if (!rows_.empty()) fgrPf_->setEnabled(true);
        ResetPointer();
    });
    // A press on the tab strip ends an open edit before the tab changes.
    connect(stbPf_, &QTabBar::tabBarClicked, this, [this](int) { DisarmEdit(); });
    connect(fgrPf_, &FlexGrid::MouseDown, this,
            [this](int button, int, double x, double y) { OnGridMouseDown(button, x, y); });
    connect(fgrPf_, &FlexGrid::MouseUp, this,
            [this](int button, int, double, double) { OnGridMouseUp(button); });
    connect(fgrPf_, &FlexGrid::MouseMove, this,
            [this](int, int, double x, double) { SetGridFlagByMouseX(*fgrPf_, x, true); });
    connect(fgrPf_, &FlexGrid::DblClick, this, [this] { OnGridDblClick(); });
    for (QScrollBar* bar : {fgrPf_->verticalScrollBar(), fgrPf_->horizontalScrollBar()})
        connect(bar, &QScrollBar::valueChanged, this, [this](int) { DisarmEdit(); });
    GridEditors editors;
    editors.window = this;
    editors.TXT_Edit_LostFocus = [this] { TXT_Edit_LostFocus(); };
    editors.DPC_Edit_LostFocus = [this] { DPC_Edit_LostFocus(); };
    InstallGridWheel(*fgrPf_, kPfFormName, editors);
    EnableDialogKeys(this);
}

FRM_PF::~FRM_PF() {
    StopHandlersForTeardown(*this);
}

void FRM_PF::SetTab(int tab) {
    if (tab != stbPf_->currentIndex()) stbPf_->setCurrentIndex(tab);
}

int FRM_PF::Tab() const {
    return stbPf_->currentIndex();
}

void FRM_PF::ShowPfTab() {
    HideGrid(*fgrPf_);
    rows_.clear();
    try {
        SetPfGridLayout(*fgrPf_);
        FillPfGrid(workLists_[Tab()], Tab() + 1);
        int16_t ascending = -1;
        SortPfGrid(ascending, kPfColCode);
    } catch (...) {
        ShowGrid(*fgrPf_);
        throw;
    }
    ShowGrid(*fgrPf_);
    SetRowButtons(false);
    if (!rows_.empty()) {
        fgrPf_->SetRow(1);
        fgrPf_->SetCol(kPfColCode);
    }
    lblTabName_->setText(QString::fromStdString("''" + PfTabCaption(Tab()) + "''"));
}

PfRow FRM_PF::RowOfIssue(const std::vector<FieldValue>& issue, PfEntry entry, bool& queriesFailed) {
    PfRow row;
    row.Entry = std::move(entry);
    row.DisplayOrder = static_cast<int64_t>(FieldNumber(RowField(issue, kField表示順)));
    row.Code = FieldText(RowField(issue, kField証券コード));
    row.Name = FieldText(RowField(issue, kField銘柄名));
    row.Market = FieldText(RowField(issue, kField略称));
    const double price = FieldNumber(RowField(issue, kField株価));
    row.Price = price != 0 ? PlainNumber(price) : GetLatestClose(row.Entry.Code, queriesFailed);
    return row;
}

void FRM_PF::FillPfGrid(const std::vector<PfEntry>& entries, int listNumber) {
    bool queriesFailed = false;
    for (size_t i = 0; i < entries.size(); ++i) {
        PfRow row;
        if (const std::vector<FieldValue>* issue =
                FindIssueRow(IssueList().AllIssuesRecordset, entries[i].Code)) {
            row = RowOfIssue(*issue, entries[i], queriesFailed);
        } else {
            const auto& markets = IssueSelection().SijouList;
            row.Entry = entries[i];
            MsgWarn(std::string(kMissingIssueText) + "\r\n   " +
                    MissingIssueName(listNumber, row.Entry.Code, markets) + "\r\n");
            row.Code = row.Entry.Code.substr(0, 4);
            row.Market = MarketAbbreviation(row.Entry.Code, markets);
            row.Price = "0";
            row.Valued = false;
        }
        row.RowKey = static_cast<int32_t>(i);
        rows_.push_back(std::move(row));
    }
}

void FRM_PF::ShowRows() {
    const bool buy = IsBuyTab(Tab());
    fgrPf_->SetRows(1);
    fgrPf_->SetRows(1 + static_cast<int>(rows_.size()));
    for (size_t i = 0; i < rows_.size(); ++i) DrawRow(i, buy);
    PaintEditableCells();
    ShowAllTotals();
}

void FRM_PF::DrawRow(size_t index, bool buy) {
    const std::vector<std::string> cells = PfRowCells(rows_[index], buy);
    const int gridRow = static_cast<int>(index) + 1;
    for (int col = 0; col < kPfGridCols; ++col) fgrPf_->SetTextMatrix(gridRow, col, cells[col]);
    if (!rows_[index].Valued) return;
    const PfValueText value =
        ValuePfCells(cells[kPfColQuantity], cells[kPfColUnitPrice], cells[kPfColPrice], buy);
    fgrPf_->SetCellForeColor(gridRow, kPfColProfit,
                             value.ProfitNegative ? kNegativeColour : kTextColour);
    fgrPf_->SetCellForeColor(gridRow, kPfColRate,
                             value.RateNegative ? kNegativeColour : kTextColour);
}

void FRM_PF::ValuePfRow(int gridRow) {
    if (gridRow < 1 || gridRow > static_cast<int>(rows_.size())) return;
    DrawRow(static_cast<size_t>(gridRow - 1), IsBuyTab(Tab()));
}

void FRM_PF::ShowAllTotals() {
    const bool buy = IsBuyTab(Tab());
    std::vector<std::vector<std::string>> cells;
    for (const PfRow& row : rows_) cells.push_back(PfRowCells(row, buy));
    ShowPfTotals(cells);
}

void FRM_PF::PaintEditableCells() {
    fgrPf_->SetBackColor(kGridBackColour);
    fgrPf_->setEnabled(!rows_.empty());
    for (int row = 1; row < fgrPf_->Rows(); ++row)
        for (const int col : kEditableColumns) fgrPf_->SetCellBackColor(row, col, kEditableColour);
}

void FRM_PF::ShowPfTotals(const std::vector<std::vector<std::string>>& cells) {
    const PfValueText totals = PfTotalsOf(cells, IsBuyTab(Tab()));
    lblPal_->setText(QString::fromStdString(totals.Profit));
    SetTextColour(lblPal_, totals.ProfitNegative);
    lblRate_->setText(QString::fromStdString(totals.Rate));
    SetTextColour(lblRate_, totals.RateNegative);
}

void FRM_PF::SortPfGrid(int16_t& flag, int column) {
    SetHourglass();
    const bool descending = flag == 0;
    flag = descending ? -1 : 0;
    SortPfRows(rows_, column, descending, IsBuyTab(Tab()));
    ShowRows();
    if (fgrPf_->Rows() > 1) fgrPf_->SetCol(column);
    ResetPointer();
}

int FRM_PF::ColumnAt(double x) const {
    // The grid's own placement of its columns, so a horizontal scroll is taken into account;
    // a press on a border belongs to the column on its left.
    const int pixel = static_cast<int>(x / kTwipsPerPixel) - fgrPf_->viewport()->x();
    const QHeaderView* header = fgrPf_->horizontalHeader();
    for (int col = 0; col < kPfGridCols; ++col) {
        const int left = header->sectionViewportPosition(col);
        const int width = header->sectionSize(col);
        if (width > 0 && !header->isSectionHidden(col) && left <= pixel && pixel <= left + width)
            return col;
    }
    return -1;
}

void FRM_PF::PressTitle(double x) {
    const int column = ColumnAt(x);
    if (column >= kPfColCode) {
        RunTrapped([&] { SortPfGrid(sortFlags_[column - kPfColCode], column); });
    }
    if (fgrPf_->Rows() > 1) fgrPf_->SetTopRow(1);
    fgrPf_->setFocus();
}

void FRM_PF::StorePfGrid() {
    modified_ = true;
    std::vector<PfEntry> entries;
    for (const PfRow& row : rows_) entries.push_back(row.Entry);
    workLists_[Tab()] = std::move(entries);
}

void FRM_PF::CopyPfListsBack() {
    PortfolioState& portfolio = Portfolio();
    for (int list = 0; list < kPfListCount; ++list) {
        portfolio.PfLists[list] = workLists_[list];
        portfolio.PfCounts[list] = static_cast<int16_t>(workLists_[list].size());
    }
}

void FRM_PF::done(int result) {
    if (!closed_) {
        closed_ = true;
        Views().ViewKind = kListView;
        IssueList().IssueListRecordset = IssueList().ShownListRecordset;
        GridWheel().CurrentFormName.clear();
    }
    QDialog::done(result);
}

void ShowPortfolio(int tab) {
    SetMainPointer(kHourglassPointer);
    QWidget* owner = MainFrameExists() ? static_cast<QWidget*>(&MainFrame()) : nullptr;
    FRM_PF window(owner);
    window.SetTab(tab);
    window.exec();
    SetMainPointer(kDefaultPointer);
}
