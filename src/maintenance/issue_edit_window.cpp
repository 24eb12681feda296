#include "maintenance/issue_edit_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <stdexcept>

#include "foundation/database.h"
#include "foundation/error_texts.h"
#include "foundation/issue_edit_queue.h"
#include "foundation/issue_list.h"
#include "foundation/selection.h"
#include "foundation/sql_builders.h"
#include "foundation/text_stores.h"
#include "foundation/text_utils.h"
#include "foundation/trap.h"
#include "maintenance/issue_deletion.h"
#include "maintenance/watch_numbers.h"
#include "platform/busy_pointer.h"
#include "platform/flex_grid.h"
#include "platform/number_format.h"
#include "platform/twips.h"
#include "ui/child_windows.h"
#include "ui/frame_access.h"
#include "ui/input_boxes.h"
#include "ui/list_dialogs.h"
#include "views/list_services.h"
#include "views/main_frame.h"
#include "views/state.h"

namespace {

constexpr const char* kIndexMarket = "100";
constexpr const char* kUndefinedIndustry = "00";
constexpr int kMemoField = 13;  // メモ in the attribute query
constexpr int kCodeLength = 4;
constexpr int kWatchLength = 3;
// The columns of TBL市場 and TBL業種 as the window reads them.
constexpr int kMarketCode = 0;
constexpr int kMarketName = 1;
constexpr int kMarketShortName = 2;
constexpr int kIndustryCode = 0;
constexpr int kIndustryName = 1;

QPointer<FRM_銘柄修正>& Instance() {
    static QPointer<FRM_銘柄修正> instance;
    return instance;
}

QLabel* AddLabel(QWidget* parent, const char* name, const char* text, int left, int top,
                 int width) {
    return PlaceControl(new QLabel(Utf8(text), parent), name, left, top, width, 252);
}

RecordsetPtr OpenLookup(const char* table, const char* order) {
    std::string statement = MakeSelectSql(table, "*") + MakeOrderBy(order);
    RecordsetPtr rs;
    if (!ExecuteSql(Database().DailyConnection, statement, rs)) return nullptr;
    return rs;
}

std::string Text(const QLineEdit* box) {
    return box->text().toStdString();
}

// The code each item of a lookup combo stands for.
std::string ItemCode(const QComboBox* box) {
    return box->currentIndex() < 0 ? std::string() : box->currentData().toString().toStdString();
}

}  // namespace

std::string AcceptedSecurityCode(const std::string& text) {
    if (QString::fromStdString(text).size() != kCodeLength) return {};
    const std::string narrow = ToNarrow(text);
    if (!IsNumericText(narrow) || narrow.front() == '-') return {};
    return narrow;
}

std::string MemoForStore(const std::string& memo) {
    std::string line = memo;
    for (char& c : line)
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    return line;
}

FRM_銘柄修正::FRM_銘柄修正(int tab, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FRM_銘柄修正"));
    setWindowTitle(QStringLiteral("銘柄修正"));
    setFixedSize(TwipsToPixels(6480), TwipsToPixels(5400));
    BuildControls();
    WireControls();
    tabs_->setCurrentIndex(tab);
    Load();
}

void FRM_銘柄修正::BuildControls() {
    tabs_ = PlaceControl(new QTabWidget(this), "STB_銘柄修正", 120, 1080, 6240, 3600);
    auto* editTab = new QWidget;
    auto* mergeTab = new QWidget;
    tabs_->addTab(editTab, QStringLiteral("銘柄修正"));
    tabs_->addTab(mergeTab, QStringLiteral("銘柄結合"));
    BuildEditTab(editTab);
    BuildMergeTab(mergeTab);

    auto* entry =
        PlaceControl(new QGroupBox(Utf8("処理対象"), this), "FRM_処理対象", 120, 60, 6240, 900);
    position_ = AddLabel(entry, "LBL_位置", "00000", 120, 300, 600);
    AddLabel(entry, "Label11", "/", 760, 300, 120);
    count_ = AddLabel(entry, "LBL_選択数", "00000", 900, 300, 600);
    caption_ = AddLabel(entry, "LBL_対象銘柄", " ｺｰﾄﾞ｜銘柄名", 1620, 300, 3900);
    next_ = PlaceControl(new UpDownSpinner(entry), "UPD_Next", 5640, 240, 300, 480);

    PlaceControl(new QPushButton(QStringLiteral("OK"), this), "CMD_OK", 2280, 4860, 1260, 360);
    PlaceControl(new QPushButton(Utf8("適用(&A)"), this), "CMD_適用", 3660, 4860, 1260, 360);
    PlaceControl(new QPushButton(Utf8("閉じる"), this), "CMD_cancel", 5040, 4860, 1260, 360);
}

void FRM_銘柄修正::BuildEditTab(QWidget* tab) {
    auto* frame =
        PlaceControl(new QGroupBox(Utf8("銘柄情報の修正"), tab), "FRM_修正", 60, 60, 6000, 3000);
    AddLabel(frame, "Label8", "証券ｺｰﾄﾞ：", 120, 300, 1080);
    code_ = PlaceControl(new QLineEdit(frame), "TXT_コード", 1260, 280, 720, 300);
    codeLabel_ = AddLabel(frame, "LBL_コード指標", "ｺｰﾄﾞ", 1260, 300, 720);
    AddLabel(frame, "Label6", "銘柄名：", 120, 720, 1080);
    name_ = PlaceControl(new QLineEdit(frame), "TXT_銘柄名", 1260, 700, 4500, 300);
    nameLabel_ = AddLabel(frame, "LBL_銘柄名指標", "銘柄名", 1260, 720, 4500);
    AddLabel(frame, "Label9", "市場：", 120, 1140, 1080);
    market_ = PlaceControl(new QComboBox(frame), "CBO_市場", 1260, 1120, 2400, 300);
    marketLabel_ = AddLabel(frame, "LBL_市場指標", "指標", 1260, 1140, 2400);
    AddLabel(frame, "Label2", "業種：", 120, 1560, 1080);
    industry_ = PlaceControl(new QComboBox(frame), "CBO_業種", 1260, 1540, 2400, 300);
    industryLabel_ = AddLabel(frame, "LBL_業種指標", "業種名", 1260, 1560, 2400);
    AddLabel(frame, "Label10", "注目：", 120, 1980, 1080);
    watchCheck_ = PlaceControl(new QCheckBox(frame), "CHK_注目", 1260, 1980, 300, 252);
    watch_ = PlaceControl(new QLineEdit(frame), "TXT_注目", 1620, 1960, 600, 300);
    watchSpinner_ = PlaceControl(new UpDownSpinner(frame), "UPD_注目", 2220, 1960, 240, 300);
    AddLabel(frame, "Label7", "ﾒﾓ：", 120, 2400, 1080);
    memo_ = PlaceControl(new QLineEdit(frame), "TXT_メモ", 1260, 2380, 4500, 300);
    for (QComboBox* box : {market_, industry_}) box->setEditable(false);
}

void FRM_銘柄修正::BuildMergeTab(QWidget* tab) {
    auto* frame =
        PlaceControl(new QGroupBox(Utf8("結合銘柄の指定"), tab), "FRM_結合", 60, 60, 6000, 3000);
    search_ =
        PlaceControl(new QPushButton(Utf8("銘柄検索(&S)"), frame), "CMD_検索", 120, 300, 1500, 360);
    candidates_ = PlaceControl(new FlexGrid(frame), "FGR_該当銘柄", 120, 780, 5760, 1500);
    StyleListGrid(*candidates_);
    candidates_->SetFixedCols(0);
    AddLabel(frame, "Label1", "結合銘柄：", 120, 2460, 1080);
    targetCode_ = AddLabel(frame, "LBL_コード", "0000", 1260, 2460, 600);
    targetMarket_ = AddLabel(frame, "LBL_市場", "市場", 1920, 2460, 1200);
    targetName_ = AddLabel(frame, "LBL_銘柄名", "結合先銘柄名", 3180, 2460, 2700);
}

void FRM_銘柄修正::WireControls() {
    BindDigitBox(code_, [this] { CheckCodeInput(); });
    BindDigitBox(watch_);
    connect(watchCheck_, &QCheckBox::clicked, this, [this] { OnChuumokuCheck(); });
    watchSpinner_->OnUp([this] {
        watch_->setText(QString::fromStdString(IncChuumokuNumber(Text(watch_))));
        SelectAllText(watch_);
    });
    watchSpinner_->OnDown([this] {
        watch_->setText(QString::fromStdString(DecChuumokuNumber(Text(watch_))));
        SelectAllText(watch_);
    });
    next_->OnUp([this] { Step(+1); });
    next_->OnDown([this] { Step(-1); });
    connect(findChild<QPushButton*>(QStringLiteral("CMD_OK")), &QPushButton::clicked, this, [this] {
        applyMode_ = false;
        if (ApplyChanges()) CloseWindow();
    });
    connect(findChild<QPushButton*>(QStringLiteral("CMD_適用")), &QPushButton::clicked, this,
            [this] {
                applyMode_ = true;
                ApplyChanges();
            });
    connect(findChild<QPushButton*>(QStringLiteral("CMD_cancel")), &QPushButton::clicked, this,
            [this] { CloseWindow(); });
    connect(search_, &QPushButton::clicked, this, [this] { SearchCandidates(); });
    const auto onRow = [this](int button) { return candidates_->Rows() > 1 && button == 1; };
    connect(candidates_, &FlexGrid::MouseDown, this,
            [this, onRow](int button, int, double, double) {
                if (onRow(button)) SelectMergeTarget();
            });
    connect(candidates_, &FlexGrid::MouseUp, this, [this, onRow](int button, int, double, double) {
        if (onRow(button)) candidates_->SetRowSel(candidates_->Row());
    });
}

void FRM_銘柄修正::Load() {
    appliedFlag_ = applyMode_ = readyFlag_ = false;
    marketRecordset_ = OpenLookup("TBL市場", "市場コード");
    if (!marketRecordset_) return;
    industryRecordset_ = OpenLookup("TBL業種", "業種コード");
    if (!industryRecordset_) return;
    RunTrapped([this] {
        entryPos_ = 1;
        entryCount_ = 0;
        removedCount_ = 0;
        newIssueId_.clear();
        mergeTargetId_.clear();
        InitIndicatorLabels();
        ClearMergeTarget();
        entryCount_ = IssueSelection().SelectedCount();
        CollectSelection(1);
        ShowCurrentIssue();
        ShowSelectionCount();
    });
    readyFlag_ = true;
}

IssueWorkRecord& FRM_銘柄修正::Entry() {
    return IssueSelection().IssueWorkArray.at(entryPos_ - 1);
}

bool FRM_銘柄修正::IsIndexEntry() {
    return Entry().Market == kIndexMarket;
}

void FRM_銘柄修正::InitIndicatorLabels() {
    marketLabel_->setText(QStringLiteral("指標"));
    code_->setMaxLength(kCodeLength);
    watch_->setMaxLength(kWatchLength);
    for (QLineEdit* box : {code_, watch_}) box->setAttribute(Qt::WA_InputMethodEnabled, false);
    for (QLineEdit* box : {name_, memo_}) box->setAttribute(Qt::WA_InputMethodEnabled, true);
    FillIndustryCombo();
    FillMarketCombo();
}

// Each item carries its 業種コード: the box selects and reads by code, whatever codes the
// table holds.
void FRM_銘柄修正::FillIndustryCombo() {
    industry_->clear();
    for (int i = 0; i < industryRecordset_->RecordCount(); ++i) {
        const std::vector<FieldValue>& row = industryRecordset_->Row(i);
        const std::string code = FieldText(row.at(kIndustryCode));
        const std::string shown =
            code == kUndefinedIndustry ? "(未定義)" : ToNarrow(FieldText(row.at(kIndustryName)));
        industry_->addItem(QString::fromStdString(shown), QString::fromStdString(code));
    }
}

// The markets but the indices' in display order, each item carrying its 市場コード.
void FRM_銘柄修正::FillMarketCombo() {
    market_->clear();
    RecordsetPtr byOrder = OpenLookup("TBL市場", "表示順");
    if (!byOrder) return;  // the road has told the user
    for (int i = 0; i < byOrder->RecordCount(); ++i) {
        const std::vector<FieldValue>& row = byOrder->Row(i);
        const std::string code = FieldText(row.at(kMarketCode));
        if (code == kIndexMarket) continue;
        market_->addItem(QString::fromStdString(ToNarrow(FieldText(row.at(kMarketName)))),
                         QString::fromStdString(code));
    }
}

void FRM_銘柄修正::ShowCurrentIssue() {
    RunTrapped([this] {
        LoadIssueFields();
        ShowTargetCaption();
        SetCodeEditable();
    });
}

void FRM_銘柄修正::LoadIssueFields() {
    const IssueWorkRecord& e = Entry();
    position_->setText(QString::number(e.Number));
    code_->setText(QString::fromStdString(e.Code));
    codeLabel_->setText(QString::fromStdString(e.Code));
    name_->setText(QString::fromStdString(e.Name));
    nameLabel_->setText(QString::fromStdString(e.Name));
    SelectMarketInCombo();
    SelectIndustryInCombo();
    LoadChuumokuFields();
    memo_->setText(QString::fromStdString(e.Memo));
}

void FRM_銘柄修正::ShowTargetCaption() {
    const IssueWorkRecord& e = Entry();
    const std::string shortName =
        FindFieldValue(*marketRecordset_, kMarketShortName, kMarketCode, e.Market);
    caption_->setText(QString::fromStdString(JoinWithSpaces(e.Code, shortName, e.Name)));
}

void FRM_銘柄修正::ShowSelectionCount() {
    count_->setText(QString::number(entryCount_ - removedCount_));
}

void FRM_銘柄修正::SetCodeEditable() {
    const bool index = IsIndexEntry();
    for (QWidget* input : {static_cast<QWidget*>(code_), static_cast<QWidget*>(name_),
                           static_cast<QWidget*>(market_), static_cast<QWidget*>(industry_)})
        input->setVisible(!index);
    for (QLabel* label : {codeLabel_, nameLabel_, marketLabel_, industryLabel_})
        label->setVisible(index);
    search_->setEnabled(!index);
    candidates_->setEnabled(!index);
}

// A market that is not listed selects nothing: the entry keeps its own code.
void FRM_銘柄修正::SelectMarketInCombo() {
    market_->setCurrentIndex(market_->findData(QString::fromStdString(Entry().Market)));
}

void FRM_銘柄修正::SelectIndustryInCombo() {
    const std::string& code = Entry().Industry;
    industry_->setCurrentIndex(industry_->findData(QString::fromStdString(code)));
    industryLabel_->setText(QString::fromStdString(
        FindFieldValue2(*industryRecordset_, kIndustryName, kIndustryCode, code)));
}

std::string FRM_銘柄修正::GetMarketInput() {
    if (IsIndexEntry() || market_->currentIndex() < 0) return Entry().Market;
    return ItemCode(market_);
}

std::string FRM_銘柄修正::GetIndustryInput() {
    if (IsIndexEntry() || industry_->currentIndex() < 0) return Entry().Industry;
    return ItemCode(industry_);
}

void FRM_銘柄修正::LoadChuumokuFields() {
    const int32_t watch = Entry().Watch;
    const bool watched = watch >= kChuumokuMin && watch <= kChuumokuMax;
    watch_->setText(watched ? QString::number(watch) : QString());
    // The box's click action, which may take the focus, runs only when the tick changes.
    const bool changed = watchCheck_->isChecked() != watched;
    watchCheck_->setChecked(watched);
    if (changed) OnChuumokuCheck();
    if (watched) {
        EnableChuumokuInput();
    } else {
        DisableChuumokuInput();
    }
}

int32_t FRM_銘柄修正::GetChuumokuInput() {
    if (!watchCheck_->isChecked()) return 0;
    int32_t number = 0;
    RunTrapped([&] {
        const std::string text = Text(watch_);
        if (!IsNumericText(text)) throw std::invalid_argument(kErrTypeMismatch);
        number = RoundHalfEven<int16_t>(NumericValue(text));
    });
    return number;
}

void FRM_銘柄修正::EnableChuumokuInput() {
    SetEnabledLook(watch_);
    watchSpinner_->setEnabled(true);
}

// An issue without a watch number shows a disabled "1", ready for the box to be ticked.
void FRM_銘柄修正::DisableChuumokuInput() {
    if (watch_->text().isEmpty()) watch_->setText(QStringLiteral("1"));
    SetDisabledLook(this, watch_);
    watchSpinner_->setEnabled(false);
}

void FRM_銘柄修正::OnChuumokuCheck() {
    if (!watchCheck_->isChecked()) return DisableChuumokuInput();
    EnableChuumokuInput();
    if (readyFlag_) SelectAllText(watch_);
}

void FRM_銘柄修正::CheckCodeInput() {
    const std::string accepted = AcceptedSecurityCode(Text(code_));
    if (!accepted.empty()) {
        code_->setText(QString::fromStdString(accepted));
        return;
    }
    MsgWarn(kBadCodeInputMessage);
    SelectAllText(code_);
}

void FRM_銘柄修正::Step(int direction) {
    readyFlag_ = false;
    ClearMergeTarget();
    if (direction > 0) {
        GoNextIssue();
    } else {
        GoPrevIssue();
    }
    readyFlag_ = true;
}

void FRM_銘柄修正::GoNextIssue() {
    RunTrapped([this] {
        const auto& entries = IssueSelection().IssueWorkArray;
        for (int32_t pos = entryPos_ + 1; pos <= static_cast<int32_t>(entries.size()); ++pos) {
            if (entries[pos - 1].Flag != 0) continue;
            entryPos_ = pos;
            ShowCurrentIssue();
            return;
        }
    });
}

void FRM_銘柄修正::GoPrevIssue() {
    RunTrapped([this] {
        const auto& entries = IssueSelection().IssueWorkArray;
        for (int32_t pos = entryPos_ - 1; pos >= 1; --pos) {
            if (entries[pos - 1].Flag != 0) continue;
            entryPos_ = pos;
            ShowCurrentIssue();
            return;
        }
    });
}

bool FRM_銘柄修正::ApplyChanges() {
    const bool applied = ApplyEdit();
    setEnabled(true);
    ResetPointer();
    return applied;
}

bool FRM_銘柄修正::ApplyEdit() {
    bool result = false;
    RunTrapped([this, &result] {
        // Issues are not merged: an apply on the merge tab writes nothing.
        const bool written = tabs_->currentIndex() == 0 && WriteIssueEdits();
        if (!written || !SetRSALL()) return;
        appliedFlag_ = true;
        result = applyMode_ ? RefreshAfterApply() : true;
    });
    return result;
}

// The code and the market make up the issue ID, under which its bars, lines, barriers,
// split factors and store lines are kept: they are shown, not changed.
bool FRM_銘柄修正::WriteIssueEdits() {
    const IssueWorkRecord& e = Entry();
    if (Text(code_) != e.Code) {
        MsgWarn(kFixedIdMessage);
        SelectAllText(code_);
        return false;
    }
    const std::string marketCode = GetMarketInput();
    if (marketCode != e.Market) {
        MsgWarn(kFixedIdMessage);
        market_->setFocus();
        return false;
    }
    newIssueId_ = e.IssueId;
    const std::string memo = MemoForStore(Text(memo_));
    ClearEditQueue();
    QueueIssueEdit(kField銘柄ID, 0, newIssueId_);
    QueueIssueEdit(kField銘柄名, 0, Text(name_));
    QueueIssueEdit(kField証券コード, 0, e.Code);
    QueueIssueEdit(kMemoField, 0, memo);
    QueueIssueEdit(kField注目, 0, std::to_string(GetChuumokuInput()));
    QueueIssueEdit(kField業種コード, 0, GetIndustryInput());
    QueueIssueEdit(kField市場コード, 0, marketCode);
    if (!MakeIssueUpdateSql(IssueEdits().EditQueue, e.IssueId)) return false;

    TextStoreState& stores = TextStores();
    stores.MemoText = ReplaceIssueValueLine(stores.MemoText, newIssueId_, memo);
    // An empty memo is still a line of its own: the ID and the TAB.
    if (memo.empty()) stores.MemoText += newIssueId_ + "\t\r\n";
    // The watch number as typed; one that is not above "0" as text means none.
    const std::string watch = Text(watch_);
    const bool watched = watchCheck_->isChecked() && watch > "0";
    stores.ChuumokuText =
        ReplaceIssueValueLine(stores.ChuumokuText, newIssueId_, watched ? watch : "");
    return true;
}

bool FRM_銘柄修正::RefreshAfterApply() {
    StoreEditsInSelection();
    LoadIssueFields();
    ShowTargetCaption();
    ClearMergeTarget();
    return true;
}

void FRM_銘柄修正::StoreEditsInSelection() {
    IssueWorkRecord& e = Entry();
    e.IssueId = newIssueId_;
    e.Code = Text(code_);
    e.Watch = GetChuumokuInput();
    e.Name = Text(name_);
    e.Market = GetMarketInput();
    e.Industry = GetIndustryInput();
    e.Memo = MemoForStore(Text(memo_));
}

void FRM_銘柄修正::CloseWindow() {
    if (closing_) return;
    closing_ = true;
    for (RecordsetPtr* rs : {&marketRecordset_, &industryRecordset_, &candidateRecordset_})
        CloseRecordset(*rs);
    FinishChildDialog(appliedFlag_ ? -1 : 0, &MainFrame(), this);
    ClearIssueWorkArray();
}

void FRM_銘柄修正::reject() {
    CloseWindow();
}

void FRM_銘柄修正::closeEvent(QCloseEvent* event) {
    if (IsUnloaded(this)) return QDialog::closeEvent(event);
    event->ignore();
    CloseWindow();
}

// --- The merge tab ---------------------------------------------------------------------------

void FRM_銘柄修正::InitMergeGrid() {
    InitFoundIssuesGrid(*candidates_);
}

// The issues listed under the entry's code, through the list's own code search.
void FRM_銘柄修正::SearchCandidates() {
    RunTrapped([this] {
        ClearMergeTarget();
        IssueSearch().CodeText = Entry().Code;
        RecordsetPtr found;
        const bool queried = QueryIssueList(kListByCode, found);
        candidateRecordset_ = queried ? std::move(found) : nullptr;
        HideGrid(*candidates_);
        const bool filled = queried && FillMergeGrid();
        ShowGrid(*candidates_);
        if (filled && candidates_->Rows() > 1) candidates_->SetTopRow(1);
    });
    IssueSearch().CodeText.clear();
}

bool FRM_銘柄修正::FillMergeGrid() {
    if (!candidateRecordset_ || candidateRecordset_->RecordCount() == 0) {
        ShowGrid(*candidates_);
        MsgInfo(kNoCandidateMessage);
        ResetPointer();
        return false;
    }
    AddFoundIssueRows(*candidates_, *candidateRecordset_);
    candidates_->SetCol(0);
    return true;
}

void FRM_銘柄修正::SelectMergeTarget() {
    RunTrapped([this] {
        mergeTargetId_.clear();
        const int row = candidates_->Row();
        if (row == 0 || !candidateRecordset_) return;
        const int number = std::stoi(candidates_->TextMatrix(row, 0));
        mergeTargetId_ = FieldText(candidateRecordset_->Row(number - 1).at(kField銘柄ID));
        ShowMergeTarget();
    });
}

void FRM_銘柄修正::ShowMergeTarget() {
    const int row = candidates_->RowSel();
    targetCode_->setText(QString::fromStdString(candidates_->TextMatrix(row, 1)));
    targetMarket_->setText(QString::fromStdString(candidates_->TextMatrix(row, 2)));
    targetName_->setText(QString::fromStdString(candidates_->TextMatrix(row, 3)));
}

void FRM_銘柄修正::ClearMergeTarget() {
    RunTrapped([this] {
        mergeTargetId_.clear();
        for (QLabel* label : {targetCode_, targetMarket_, targetName_}) label->clear();
        InitMergeGrid();
        candidates_->SetRow(0);
        candidates_->SetCol(0);
    });
}

// --- Opening ---------------------------------------------------------------------------------

namespace {

void OpenOnTab(int tab) {
    QPointer<FRM_銘柄修正>& instance = Instance();
    if (instance && !IsUnloaded(instance)) return;
    instance = new FRM_銘柄修正(tab, &MainFrame());
    ShowChildDisabled(&MainFrame(), instance);
}

}  // namespace

void ShowIssueEdit() {
    SetMainPointer(kHourglassPointer);
    if (CheckIssueSelected()) OpenOnTab(0);
    SetMainPointer(kDefaultPointer);
}

void ShowIssueJoin() {
    OpenOnTab(1);
}

FRM_銘柄修正* IssueEditWindow() {
    FRM_銘柄修正* window = Instance();
    return window && !IsUnloaded(window) ? window : nullptr;
}
