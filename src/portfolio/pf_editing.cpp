// The editing half of the portfolio window: the two in-grid editors, the mouse rules that
// arm them and choose whole rows, and the buttons. Every change goes at once into the
// working list of the shown tab; PfLists and "PF.txt" change only on a save.
#include <QDate>
#include <QDateEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "foundation/error_texts.h"
#include "foundation/issue_list.h"
#include "foundation/settings.h"
#include "foundation/state.h"
#include "foundation/text_utils.h"
#include "foundation/trap.h"
#include "platform/busy_pointer.h"
#include "platform/flex_grid.h"
#include "platform/message_box.h"
#include "platform/number_format.h"
#include "portfolio/issue_rows.h"
#include "portfolio/news_window.h"
#include "portfolio/pf_window.h"
#include "portfolio/portfolio_file.h"
#include "ui/cell_editor_keys.h"
#include "ui/dialog_keys.h"
#include "ui/input_boxes.h"
#include "ui/state.h"
#include "views/issue_search_commands.h"
#include "views/list_services.h"
#include "views/main_frame.h"
#include "views/state.h"

namespace {

constexpr int kPfMaxEntries = 25;
constexpr int kTextEditLength = 9;
constexpr const char* kDateEditFormat = "yy/MM/dd";
constexpr int kNumberColumns[] = {kPfColQuantity, kPfColUnitPrice, kPfColTarget, kPfColStop};

bool IsNumberColumn(int col) {
    return std::find(std::begin(kNumberColumns), std::end(kNumberColumns), col) !=
           std::end(kNumberColumns);
}

int32_t DateNumberOf(const QDate& date) {
    return date.year() * 10000 + date.month() * 100 + date.day();
}

// The date a cell "yyyy/mm/dd" shows, or today when it holds none ("0000/00/00").
QDate DateOfCell(const std::string& text) {
    const QDate date =
        QDate::fromString(QString::fromStdString(text), QStringLiteral("yyyy/MM/dd"));
    return date.isValid() ? date : QDate::currentDate();
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

// The list's selection, which the issue search hands its choice over through, kept while
// the portfolio borrows the search.
struct ListSelectionKeeper {
    std::vector<int32_t> Rows = IssueSelection().SelectedRows;
    std::vector<std::string> Texts = IssueList().SelectedRowTexts;
    int32_t Current = IssueSelection().CurrentIssuePos;
    ~ListSelectionKeeper() {
        IssueSelection().SelectedRows = std::move(Rows);
        IssueList().SelectedRowTexts = std::move(Texts);
        IssueSelection().CurrentIssuePos = Current;
    }
};

}  // namespace

void FRM_PF::BuildButtons() {
    cmdAdd_ = MakeButton(this, "CMD_Add", "追加(&A)");
    cmdDel_ = MakeButton(this, "CMD_Del", "削除(&D)");
    cmdPrint_ = MakeButton(this, "CMD_Print", "印刷(&P)");
    cmdNews_ = MakeButton(this, "CMD_News", "ﾆｭｰｽ(&N)");
    cmdSet_ = MakeButton(this, "CMD_Set", "適用(&A)");
    cmdOk_ = MakeButton(this, "CMD_OK", "OK");
    cmdCancel_ = MakeButton(this, "CMD_cancel", "ｷｬﾝｾﾙ");
    const std::pair<QPushButton*, void (FRM_PF::*)()> actions[] = {
        {cmdAdd_, &FRM_PF::CMD_Add_Click},       {cmdDel_, &FRM_PF::CMD_Del_Click},
        {cmdPrint_, &FRM_PF::CMD_Print_Click},   {cmdNews_, &FRM_PF::CMD_News_Click},
        {cmdSet_, &FRM_PF::CMD_Set_Click},       {cmdOk_, &FRM_PF::CMD_OK_Click},
        {cmdCancel_, &FRM_PF::CMD_cancel_Click},
    };
    for (const auto& [button, action] : actions)
        connect(button, &QPushButton::clicked, this,
                [this, action = action] { (this->*action)(); });
}

void FRM_PF::BuildEditors() {
    txtEdit_ = new QLineEdit(this);
    txtEdit_->setObjectName(QStringLiteral("TXT_Edit"));
    txtEdit_->setMaxLength(kTextEditLength);
    txtEdit_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    dpcEdit_ = new QDateEdit(this);
    dpcEdit_->setObjectName(QStringLiteral("DPC_Edit"));
    dpcEdit_->setDisplayFormat(QString::fromLatin1(kDateEditFormat));
    dpcEdit_->setCalendarPopup(true);
    txtEdit_->hide();
    dpcEdit_->hide();
    new CellEditorKeys(
        this, fgrPf_, txtEdit_, dpcEdit_, [this] { TXT_Edit_LostFocus(); },
        [this] { DPC_Edit_LostFocus(); });
}

void FRM_PF::SetRowButtons(bool wholeRows) {
    cmdDel_->setEnabled(wholeRows);
    cmdPrint_->setEnabled(wholeRows);
}

// --- The mouse on the grid ------------------------------------------------------------------

void FRM_PF::OnGridMouseDown(int button, double x, double y) {
    if (button != 1) return;
    if (y >= fgrPf_->RowHeight(0)) {
        pfEditArmed_ = true;
        rowHeaderPress_ = ColumnAt(x) == 0;
        return;
    }
    pfEditArmed_ = false;
    rowHeaderPress_ = false;
    PressTitle(x);
}

void FRM_PF::OnGridMouseUp(int button) {
    if (button != 1) return;
    // A press on the row header chooses whole rows: the block from the pressed row to
    // where the button came up, across every column.
    if (rowHeaderPress_ && fgrPf_->Rows() > 1) {
        const int rowSel = fgrPf_->RowSel();
        fgrPf_->SetCol(kPfColRowKey);
        fgrPf_->SetColSel(kPfGridCols - 1);
        fgrPf_->SetRowSel(rowSel);
    }
    SetRowButtons(rowHeaderPress_ && fgrPf_->Rows() > 1);
}

void FRM_PF::DisarmEdit() {
    if (!pfEditArmed_) return;
    EndGridEdit(this);
    pfEditArmed_ = false;
}

void FRM_PF::OnGridDblClick() {
    if (!pfEditArmed_) return;
    RunTrapped([this] {
        if (!txtEdit_->isVisible()) {
            pfEditRow_ = fgrPf_->Row();
            pfEditCol_ = fgrPf_->Col();
        }
        if (pfEditRow_ < 1 || pfEditRow_ > static_cast<int>(rows_.size())) return;
        const int col = fgrPf_->Col();
        if (IsNumberColumn(col)) {
            PlaceCellEditor(' ', txtEdit_, fgrPf_);
            txtEdit_->setMaxLength(kTextEditLength);
            DisableDialogKeys(this);
        } else if (col == kPfColDate) {
            const QDate shown = DateOfCell(fgrPf_->TextMatrix(pfEditRow_, kPfColDate));
            dpcEdit_->setDate(shown);
            dpcOpenedDate_ = DateNumberOf(shown);
            PlaceCellEditor(' ', dpcEdit_, fgrPf_);
            DisableDialogKeys(this);
        }
    });
}

// --- The editors -------------------------------------------------------------------------------

void FRM_PF::TXT_Edit_LostFocus() {
    if (!txtEdit_->isVisible() || committingText_) return;
    committingText_ = true;
    RunTrapped([this] {
        if (TrimSpaces(txtEdit_->text().toStdString()).empty()) txtEdit_->setText("0");
        if (!CheckIntegerBox(txtEdit_)) return;
        const double value = NumericValue(txtEdit_->text().toStdString());
        if (IsNumberColumn(pfEditCol_)) {
            if (!(value > 0)) {
                MsgWarn(kPfAboveZero);
                SelectAllText(txtEdit_);
                return;
            }
            SetEntryValue(static_cast<size_t>(pfEditRow_ - 1), pfEditCol_, value);
        }
        txtEdit_->hide();
        EnableDialogKeys(this);
        StorePfGrid();
        ValuePfRow(pfEditRow_);
        ShowAllTotals();
        fgrPf_->setEnabled(true);
    });
    committingText_ = false;
}

void FRM_PF::DPC_Edit_LostFocus() {
    if (!dpcEdit_->isVisible()) return;
    dpcEdit_->hide();
    EnableDialogKeys(this);
    // A date is stored only when the user changed the picker: one opened on a purchase date
    // of 0 starts on today, and closing it untouched leaves the 0.
    const int32_t picked = DateNumberOf(dpcEdit_->date());
    if (picked == dpcOpenedDate_) return;
    HideGrid(*fgrPf_);
    RunTrapped([this, picked] {
        SetEntryValue(static_cast<size_t>(pfEditRow_ - 1), kPfColDate, picked);
        ValuePfRow(pfEditRow_);
        StorePfGrid();
    });
    ShowGrid(*fgrPf_);
}

void FRM_PF::SetEntryValue(size_t index, int col, double value) {
    PfEntry& entry = rows_.at(index).Entry;
    switch (col) {
        case kPfColQuantity:
            entry.Quantity = value;
            break;
        case kPfColUnitPrice:
            entry.UnitPrice = value;
            break;
        case kPfColTarget:
            entry.TargetPrice = value;
            break;
        case kPfColStop:
            entry.StopPrice = value;
            break;
        case kPfColDate:
            entry.PurchaseDate = static_cast<int32_t>(value);
            break;
        default:
            break;
    }
}

// --- Adding and deleting -----------------------------------------------------------------------

void FRM_PF::CMD_Add_Click() {
    setCursor(Qt::WaitCursor);
    if (static_cast<int>(rows_.size()) >= kPfMaxEntries) {
        MsgWarn(kPfFullMessage);
    } else {
        const ListSelectionKeeper keeper;
        IssueSearchState& search = IssueSearch();
        search.SearchFromPf = -1;
        FindByCodeAndShow();
        search.SearchFromPf = 0;
        if (search.SearchResult == -1) {
            search.SearchResult = 0;  // the found issues are taken here
            HideGrid(*fgrPf_);
            if (AddFoundIssues()) {
                StorePfGrid();
                ShowRows();
                fgrPf_->setEnabled(true);
            }
        }
        GridWheel().CurrentFormName = kPfFormName;
    }
    unsetCursor();
    ShowGrid(*fgrPf_);
}

bool FRM_PF::AddFoundIssues() {
    return RunTrapped([this] {
        const RecordsetPtr& found = IssueList().IssueListRecordset;
        const std::chrono::year_month_day today = SetteiToday();
        const int32_t todayNumber = static_cast<int>(today.year()) * 10000 +
                                    static_cast<int>(static_cast<unsigned>(today.month())) * 100 +
                                    static_cast<int>(static_cast<unsigned>(today.day()));
        bool queriesFailed = false;
        for (const int32_t position : IssueSelection().SelectedRows) {
            if (!found) break;
            if (static_cast<int>(rows_.size()) >= kPfMaxEntries) break;
            const std::vector<FieldValue>& issue = found->Row(position);
            PfEntry entry;
            entry.Code = FieldText(RowField(issue, kField銘柄ID));
            entry.PurchaseDate = todayNumber;
            PfRow row = RowOfIssue(issue, std::move(entry), queriesFailed);
            row.RowKey = fgrPf_->Rows() + static_cast<int32_t>(rows_.size());
            rows_.push_back(std::move(row));
        }
    });
}

void FRM_PF::CMD_Del_Click() {
    setCursor(Qt::WaitCursor);
    if (MsgOkCancel(kPfDeleteQuestion) == kAnswerOk) {
        int32_t first = 0;
        int32_t last = 0;
        GetGridSelRange(*fgrPf_, first, last);
        if (DeletePfRows(first, last)) {
            StorePfGrid();
            RunTrapped([this] { ShowPfTab(); });
            SetRowButtons(false);
            if (rows_.empty()) {
                fgrPf_->SetCol(kPfColRowKey);
                fgrPf_->setEnabled(false);
            }
        } else {
            MsgWarn(kPfUpdateFailed);
        }
    }
    unsetCursor();
}

bool FRM_PF::DeletePfRows(int32_t first, int32_t last) {
    return RunTrapped([&] {
        if (first < 1 || last > static_cast<int32_t>(rows_.size()) || first > last)
            throw std::out_of_range(kErrSubscriptOutOfRange);
        rows_.erase(rows_.begin() + (first - 1), rows_.begin() + last);
        // The rows left come back in the order they were filled or added.
        std::stable_sort(rows_.begin(), rows_.end(),
                         [](const PfRow& a, const PfRow& b) { return a.RowKey < b.RowKey; });
    });
}

// --- Saving and closing ------------------------------------------------------------------------

void FRM_PF::CMD_OK_Click() {
    if (!modified_) {
        accept();
        return;
    }
    if (MsgOkCancel(kPfSaveQuestion) != kAnswerOk) {
        reject();
        return;
    }
    if (SavePfIfComplete()) accept();
}

void FRM_PF::CMD_Set_Click() {
    if (MsgOkCancel(kPfSaveQuestion) == kAnswerOk) SavePfIfComplete();
}

void FRM_PF::CMD_cancel_Click() {
    reject();
}

bool FRM_PF::SavePfIfComplete() {
    if (!CheckPfComplete()) return false;
    if (SavePortfolio()) return true;
    MsgWarn(kPfUpdateFailed);
    return false;
}

bool FRM_PF::SavePortfolio() {
    CopyPfListsBack();
    return SavePfFile();
}

bool FRM_PF::CheckPfComplete() {
    SetHourglass();
    for (int list = 0; list < kPfListCount; ++list) {
        int row = 0;
        int col = 0;
        if (!FindIncompleteEntry(workLists_[list], row, col)) continue;
        ResetPointer();
        ShowIncompleteEntry(list, row, col);
        return false;
    }
    ResetPointer();
    return true;
}

void FRM_PF::ShowIncompleteEntry(int tab, int row, int col) {
    MsgWarn(kPfAboveZero);
    SetTab(tab);
    OpenPfEditorAt(row, col);
}

void FRM_PF::OpenPfEditorAt(int row, int col) {
    RunTrapped([&] {
        ShowPfTab();
        // The rebuilt grid is sorted by code: the entry's row is found by its place in the
        // list, which the grid keeps as each row's key.
        const auto shown = std::find_if(rows_.begin(), rows_.end(),
                                        [row](const PfRow& r) { return r.RowKey == row - 1; });
        if (shown == rows_.end()) return;
        fgrPf_->setEnabled(true);
        fgrPf_->SetRow(static_cast<int>(shown - rows_.begin()) + 1);
        fgrPf_->SetCol(col);
        PlaceCellEditor(' ', txtEdit_, fgrPf_);
        txtEdit_->setMaxLength(kTextEditLength);
        DisableDialogKeys(this);
        pfEditRow_ = fgrPf_->Row();
        pfEditCol_ = fgrPf_->Col();
        pfEditArmed_ = true;
    });
}

// --- Printing and the news ---------------------------------------------------------------------

void FRM_PF::CMD_Print_Click() {
    HandListToPrintDialog(*this, *fgrPf_, kPfFormName);
}

void FRM_PF::CMD_News_Click() {
    setCursor(Qt::WaitCursor);
    const NewsState& news = News();
    if (!TrimSpaces(news.NewsText).empty()) {
        ShowNewsWindow(MainFrameExists() ? static_cast<QWidget*>(&MainFrame()) : this);
    } else {
        const std::string digits = std::to_string(news.LatestDataDate);
        std::string date;
        if (digits.size() != 8)
            MsgInfo(kPfNoNews);
        else if (CheckDateText(digits, date))
            MsgInfo(date + kPfNoNews);
    }
    unsetCursor();
}
