#include "screening/issue_search_window.h"

#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <string>

#include "foundation/issue_list.h"
#include "foundation/state.h"
#include "foundation/text_utils.h"
#include "foundation/trap.h"
#include "platform/flex_grid.h"
#include "platform/message_box.h"
#include "ui/dialog_keys.h"
#include "ui/frame_access.h"
#include "ui/grid_layouts.h"
#include "ui/grid_wheel.h"
#include "ui/input_boxes.h"
#include "ui/list_dialogs.h"
#include "views/list_services.h"
#include "views/state.h"

namespace {

constexpr int16_t kListView = 3;
constexpr int kCodeLength = 4;

QPointer<FRM_銘柄検索>& Instance() {
    static QPointer<FRM_銘柄検索> instance;
    return instance;
}

bool AllDigits(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void ShowListCount(int count) {
    SetMainStatusPanel(2, std::to_string(count) + kListCountSuffix);
}

// Enter in a box starts its search; the code box takes only digits and Backspace from
// the keyboard (a pasted text is checked when the search starts).
class SearchBoxKeys : public QObject {
  public:
    SearchBoxKeys(QLineEdit& box, bool digitsOnly, std::function<void()> search)
        : QObject(&box), digitsOnly_(digitsOnly), search_(std::move(search)) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            search_();
            return true;
        }
        if (!digitsOnly_ || key->text().isEmpty()) return false;
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
        int code = key->text().at(0).unicode();
        FilterDigitKey(code);
        return code == 0;
    }

  private:
    bool digitsOnly_;
    std::function<void()> search_;
};

}  // namespace

void UpdateOkButton(const FlexGrid& grid, QWidget& control) {
    try {
        if (grid.Rows() < 2) {
            control.setEnabled(false);
        } else if (!grid.TextMatrix(1, 1).empty()) {
            control.setEnabled(true);
        }
    } catch (const std::exception&) {
        control.setEnabled(false);
    }
}

FRM_銘柄検索::FRM_銘柄検索(QWidget* parent) : QDialog(parent) {
    SetUpListDialog(*this, kSearchFormName, "銘柄検索", 5655, 3840);
    BuildControls();
    WireControls();

    // Load.
    GridWheel().CurrentFormName = kSearchFormName;
    RunTrapped([this] {
        InitSearchGrid();
        ok_->setEnabled(false);
        grid_->setEnabled(false);
        InstallGridWheel(*grid_, kSearchFormName);
    });
    EnableDialogKeys(this);
    SetMainPointer(kDefaultPointer);
}

FRM_銘柄検索::~FRM_銘柄検索() {
    if (GridWheel().CurrentFormName == kSearchFormName) GridWheel().CurrentFormName.clear();
}

void FRM_銘柄検索::BuildControls() {
    grid_ = PlaceControl(new FlexGrid(this), "FGR_該当銘柄", 120, 120, 5412, 2052);
    StyleListGrid(*grid_);
    grid_->SetFixedCols(0);

    auto* frame = PlaceControl(new QFrame(this), "FRA_検索", 240, 2280, 1332, 732);
    byName_ = PlaceControl(new QRadioButton(Utf8("銘柄名："), frame), "OPT_銘柄名検索", 120, 120,
                           1212, 252);
    byCode_ = PlaceControl(new QRadioButton(Utf8("証券ｺｰﾄﾞ："), frame), "OPT_コード検索", 120, 480,
                           1332, 252);
    const IssueSearchState& texts = IssueSearch();
    name_ = PlaceControl(new QLineEdit(QString::fromStdString(texts.NameText), this), "TXT_Name",
                         1680, 2400, 3732, 264);
    code_ = PlaceControl(new QLineEdit(QString::fromStdString(texts.CodeText), this), "TXT_Code",
                         1680, 2760, 492, 264);
    code_->setMaxLength(kCodeLength);
    code_->setAttribute(Qt::WA_InputMethodEnabled, false);
    ok_ =
        PlaceControl(new QPushButton(QStringLiteral("OK"), this), "CMD_OK", 2880, 3420, 1200, 310);
    auto* cancel =
        PlaceControl(new QPushButton(Utf8("ｷｬﾝｾﾙ"), this), "CMD_cancel", 4200, 3420, 1200, 310);
    AddSeparator(this, 120, 3240, 5410);

    setTabOrder(byName_, name_);
    setTabOrder(name_, byCode_);
    setTabOrder(byCode_, code_);
    setTabOrder(code_, ok_);
    setTabOrder(ok_, cancel);
}

void FRM_銘柄検索::WireControls() {
    connect(byCode_, &QRadioButton::clicked, this, [this] { SetSearchByCode(this); });
    connect(byName_, &QRadioButton::clicked, this, [this] { SetSearchByName(this); });
    connect(name_, &QLineEdit::textChanged, this,
            [](const QString& text) { IssueSearch().NameText = text.toStdString(); });
    connect(code_, &QLineEdit::textChanged, this,
            [](const QString& text) { IssueSearch().CodeText = text.toStdString(); });
    name_->installEventFilter(new SearchBoxKeys(*name_, false, [this] { SearchByNameText(); }));
    code_->installEventFilter(new SearchBoxKeys(*code_, true, [this] { SearchByCodeText(); }));
    connect(grid_, &FlexGrid::MouseDown, this, [this](int button, int, double, double) {
        if (button == 1) UpdateOkButton(*grid_, *ok_);
    });
    connect(grid_, &FlexGrid::MouseMove, this,
            [this](int, int, double x, double) { SetGridFlagByMouseX(*grid_, x, false); });
    connect(grid_, &FlexGrid::EnterCell, this, [this] {
        if (grid_->Row() > 0) ok_->setEnabled(true);
    });
    connect(ok_, &QPushButton::clicked, this, [this] { OnOk(); });
    connect(findChild<QPushButton*>(QStringLiteral("CMD_cancel")), &QPushButton::clicked, this,
            [this] { reject(); });
}

QLineEdit* FRM_銘柄検索::PreparedBox() const {
    return byCode_->isChecked() ? code_ : name_;
}

void FRM_銘柄検索::SearchByNameText() {
    SetMainPointer(kHourglassPointer);
    if (name_->text().isEmpty()) {
        MsgWarn(kEnterNameMessage);
    } else {
        SearchIssues(IssueSearch().SearchFromPf != 0 ? kListByNameNoIndex : kListByName);
    }
    SetMainPointer(kDefaultPointer);
}

void FRM_銘柄検索::SearchByCodeText() {
    SetMainPointer(kHourglassPointer);
    // A code pasted in full-width digits is a code all the same.
    const std::string code = ToNarrow(code_->text().toStdString());
    if (!AllDigits(code)) {
        MsgWarn(kBadCodeMessage);
        code_->clear();
    } else {
        code_->setText(QString::fromStdString(code));
        SearchIssues(IssueSearch().SearchFromPf != 0 ? kListByCodeNoIndex : kListByCode);
    }
    SetMainPointer(kDefaultPointer);
}

void FRM_銘柄検索::SearchIssues(int mode) {
    RunTrapped([&] {
        RecordsetPtr result;
        const bool queried = QueryIssueList(mode, result);
        // After a failure (told by ExecuteSql) nothing found before may be handed on.
        found_ = queried ? std::move(result) : nullptr;
        HideGrid(*grid_);
        InitSearchGrid();
        const bool filled = queried && FillSearchGrid();
        ShowGrid(*grid_);
        SelectAllText(PreparedBox());
        UpdateOkButton(*grid_, *grid_);
        if (!filled) ok_->setEnabled(false);
        if (grid_->Rows() > 1) grid_->SetTopRow(1);
    });
}

void FRM_銘柄検索::InitSearchGrid() {
    InitFoundIssuesGrid(*grid_);
}

bool FRM_銘柄検索::FillSearchGrid() {
    if (!found_ || found_->RecordCount() == 0) {
        ShowGrid(*grid_);
        MsgInfo(kNotFoundMessage);
        SetMainPointer(kDefaultPointer);
        return false;
    }
    AddFoundIssueRows(*grid_, *found_);
    grid_->SetCol(0);
    if (Views().ViewKind == kListView) ShowListCount(found_->RecordCount());
    return true;
}

void FRM_銘柄検索::OnOk() {
    SetMainPointer(kHourglassPointer);
    if (!HandOverChosenRows(*grid_, found_)) {
        MsgWarn(kSelectIssueMessage);
        SetMainPointer(kDefaultPointer);
        return;
    }
    IssueSearch().SearchResult = -1;
    Unload();
    done(Accepted);
}

void FRM_銘柄検索::reject() {
    SetMainPointer(kHourglassPointer);
    IssueSearch().SearchResult = 0;
    if (Views().ViewKind == kListView) {
        const FlexGrid* list = ListServices().Links.FGR_該当銘柄;
        ShowListCount(std::max(list ? list->Rows() : 1, 1) - 1);
    }
    Unload();
    QDialog::reject();
}

// The texts belong to this search: the next one starts empty.
void FRM_銘柄検索::Unload() {
    IssueSearch().NameText.clear();
    IssueSearch().CodeText.clear();
}

FRM_銘柄検索& IssueSearchWindow() {
    auto& instance = Instance();
    if (!instance) instance = new FRM_銘柄検索(FindMainFrame());
    return *instance;
}

void ShowIssueSearchWindow() {
    FRM_銘柄検索& window = IssueSearchWindow();
    window.exec();
    delete &window;
}
