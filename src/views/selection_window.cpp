#include "views/selection_window.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QVBoxLayout>

#include "foundation/selection.h"
#include "foundation/state.h"
#include "foundation/trap.h"
#include "platform/flex_grid.h"
#include "platform/message_box.h"
#include "ui/frame_access.h"
#include "ui/grid_layouts.h"
#include "ui/grid_sort.h"
#include "ui/grid_wheel.h"
#include "views/about_window.h"
#include "views/list_services.h"

namespace {

constexpr const char* kFormName = "FRM_選択";
constexpr const char* kGridName = "FGR_該当銘柄";
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr int kLastSortColumn = 16;

// The menus the Load handler hides besides those created hidden.
constexpr std::array<const char*, 3> kHiddenOnLoad = {"MNU_データ取得", "MNU_DB", "MNU_手動分析"};

using K = MenuKind;

QPointer<FRM_選択>& Instance() {
    static QPointer<FRM_選択> instance;
    return instance;
}

QString Q(const char* text) {
    return QString::fromUtf8(text);
}

// Runs an installed routine; one that is not installed yet does nothing.
template <typename Routine, typename... Args>
void Run(const Routine& routine, Args... args) {
    if (routine) routine(args...);
}

}  // namespace

namespace {

std::vector<MenuRow> BuildSelectionMenuTable() {
    const std::vector<MenuRow> head = {
        {K::Top, "MNU_ファイル", "", "ﾌｧｲﾙ(&F)", "", false},
        {K::Item, "MNU_印刷", "MNU_ファイル", "印刷(&P)", "Ctrl+P", false},
        {K::Separator, "区分線f01", "MNU_ファイル", "", "", false},
        {K::Item, "MNU_終了", "MNU_ファイル", "終了(&X)", "", false},
        {K::Top, "MNU_データ取得", "", "ﾃﾞｰﾀ取得(&I)", "", false},
        {K::Item, "MNU_DGWeb", "MNU_データ取得", "ﾃﾞｰﾀ自動取得(&A)", "", false},
        {K::Separator, "区分線i01", "MNU_データ取得", "", "", false},
        {K::Item, "MNU_メールデータ", "MNU_データ取得", "ﾒｰﾙﾃﾞｰﾀ(&M)", "Ctrl+I", false},
        {K::Separator, "区分線i03", "MNU_データ取得", "", "", false},
        {K::Item, "MNU_テキストデータ", "MNU_データ取得", "ﾃｷｽﾄﾃﾞｰﾀ(&T)", "", false},
        {K::Top, "MNU_検索", "", "検索(&S)", "", false},
        {K::Item, "MNU_全銘柄", "MNU_検索", "全銘柄(&A)", "Ctrl+A", false},
        {K::Item, "MNU_注目銘柄", "MNU_検索", "注目銘柄(&L)", "", false},
        {K::Item, "MNU_複数条件", "MNU_検索", "複数条件(&M)", "", false},
        {K::Separator, "区分線s01", "MNU_検索", "", "", false},
        {K::Item, "MNU_コード検索", "MNU_検索", "証券ｺｰﾄﾞ(&C)", "Ctrl+K", false},
        {K::Item, "MNU_銘柄名検索", "MNU_検索", "銘柄名(&N)", "", false},
    };
    const std::vector<MenuRow> tail = {
        {K::Top, "MNU_編集", "", "編集(&E)", "", false},
        {K::Item, "MNU_手動分析", "MNU_編集", "手動分析(&M)", "Ctrl+M", true},
        {K::Separator, "区分線e01", "MNU_編集", "", "", false},
        {K::Submenu, "MNU_銘柄情報", "MNU_編集", "銘柄情報(&B)", "", false},
        {K::Item, "MNU_銘柄修正", "MNU_銘柄情報", "修正(&U)", "Ctrl+U", false},
        {K::Item, "MNU_銘柄結合", "MNU_銘柄情報", "結合(&C)", "", true},
        {K::Item, "MNU_銘柄削除", "MNU_銘柄情報", "削除(&D)", "", true},
        {K::Submenu, "MNU_注目", "MNU_編集", "注目(&H)", "", true},
        {K::Item, "MNU_注目指定", "MNU_注目", "指定(&E)", "Ctrl+L", false},
        {K::Item, "MNU_注目取消", "MNU_注目", "取消(&C)", "", false},
        {K::Submenu, "MNU_PF", "MNU_編集", "ﾎﾟｰﾄﾌｫﾘｵ(&P)", "", false},
        {K::Item, "MNU_PF00", "MNU_PF", "「買い」-1(&O)", "Ctrl+B", false},
        {K::Item, "MNU_PF01", "MNU_PF", "「買い」-2(&I)", "", false},
        {K::Item, "MNU_PF02", "MNU_PF", "「売り」-1(&L)", "", false},
        {K::Item, "MNU_PF03", "MNU_PF", "「売り」-2(&K)", "", false},
        {K::Item, "MNU_データ表", "MNU_編集", "ﾃﾞｰﾀ表(&R)", "Ctrl+J", false},
        {K::Separator, "区分線e02", "MNU_編集", "", "", false},
        {K::Item, "MNU_全選択", "MNU_編集", "すべて選択(&A)", "", false},
        {K::Top, "MNU_ツール", "", "ﾂｰﾙ(&T)", "", false},
        {K::Item, "MNU_ユーザ設定", "MNU_ツール", "ﾕｰｻﾞｰ設定(&C)", "", false},
        {K::Item, "MNU_鈎足判定", "MNU_ツール", "鈎足判定ｵﾌﾟｼｮﾝ(&O)", "", false},
        {K::Separator, "区分線t01", "MNU_ツール", "", "", false},
        {K::Submenu, "MNU_先行観測", "MNU_ツール", "先行観測機能(&N)", "", false},
        {K::Item, "MNU_順次", "MNU_先行観測", "順次（&F)", "Ctrl+N", false},
        {K::Item, "MNU_逆次", "MNU_先行観測", "逆次(&R)", "", false},
        {K::Separator, "区分線t02", "MNU_ツール", "", "", false},
        {K::Submenu, "MNU_DB", "MNU_ツール", "ﾃﾞｰﾀﾍﾞｰｽ(&D)", "", true},
        {K::Item, "MNU_最適化", "MNU_DB", "最適化(&C)", "", false},
        {K::Top, "MNU_ヘルプ", "", "ﾍﾙﾌﾟ(&H)", "", false},
        {K::Item, "MNU_バージョン情報", "MNU_ヘルプ", "ﾊﾞｰｼﾞｮﾝ情報(&A)", "", false},
    };
    return JoinMenuRows({head, ChartViewMenuRows(), tail});
}

}  // namespace

const std::vector<MenuRow>& SelectionMenuTable() {
    static const std::vector<MenuRow> table = BuildSelectionMenuTable();
    return table;
}

FRM_選択::FRM_選択(QWidget* parent) : QWidget(parent) {
    setObjectName(Q(kFormName));
    setWindowTitle(Q("選択"));
    grid_ = new FlexGrid(this);
    grid_->setObjectName(Q(kGridName));
    grid_->SetSelectionByRow(true);
    grid_->SetRows(1);
    grid_->SetCols(17);
    SetSelectGridLayout(*grid_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grid_);

    menuBar_ = new QMenuBar(this);
    menuBar_->setObjectName(QStringLiteral("MenuBar"));
    menuBar_->hide();
    BuildMenuBar(*menuBar_, SelectionMenuTable(), items_);
    WireMenus();
    WireGrid();

    // Load.
    RegisterSelectionWindow(
        {grid_, this, [](const std::string& text) { SetMainStatusPanel(2, text); }});
    GridWheel().CurrentFormName = kFormName;
    InstallGridWheel(*grid_, kFormName);
    for (const char* name : kHiddenOnLoad) items_.at(name)->setVisible(false);
}

FRM_選択::~FRM_選択() {
    if (ListServices().Links.FRM_選択 == this) ListServices() = ListServicesState{};
    if (GridWheel().CurrentFormName == kFormName) GridWheel().CurrentFormName.clear();
}

QAction* FRM_選択::MenuItem(const std::string& name) const {
    const auto found = items_.find(name);
    return found == items_.end() ? nullptr : found->second;
}

void FRM_選択::OnMenu(const std::string& name, const std::function<void()>& handler) {
    QAction* action = items_.at(name);
    connect(action, &QAction::triggered, this, [this, action, handler] {
        if (MenuItemReachable(action)) handler();
    });
}

void FRM_選択::WithPointer(const std::function<void()>& work) {
    setCursor(Qt::WaitCursor);
    work();
    unsetCursor();
}

void FRM_選択::WireMenus() {
    auto& r = Selection().Routines;
    OnMenu("MNU_印刷", [&r] {
        Selection().QuickPrintFlag = 0;
        if (TextData().TextDataMode != -1) Run(r.PrintCommand);
    });
    OnMenu("MNU_終了", [] { UnloadMainFrame(); });
    OnMenu("MNU_DGWeb", [&r] { Run(r.AcquireData, true); });
    OnMenu("MNU_メールデータ", [&r] { Run(r.AcquireData, false); });
    OnMenu("MNU_テキストデータ", [this] { EnterTextDataMode(); });
    OnMenu("MNU_全銘柄", [] { ShowAllIssues(); });
    OnMenu("MNU_注目銘柄", [] { ShowChuumokuIssues(); });
    OnMenu("MNU_複数条件", [this, &r] { WithPointer([&r] { Run(r.ShowCompoundSearch); }); });
    OnMenu("MNU_コード検索", [&r] { Run(r.SearchByCode); });
    OnMenu("MNU_銘柄名検索", [this, &r] { WithPointer([&r] { Run(r.SearchByName); }); });

    const std::pair<const char*, std::function<void()> SelectionRoutines::*> views[] = {
        {"MNU_鈎足", &SelectionRoutines::ShowKagiView},
        {"MNU_日足", &SelectionRoutines::ShowDailyView},
        {"MNU_週足", &SelectionRoutines::ShowWeeklyView},
        {"MNU_月足", &SelectionRoutines::ShowMonthlyView},
        {"MNU_日鈎", &SelectionRoutines::ShowDailyKagiView},
        {"MNU_週鈎", &SelectionRoutines::ShowWeeklyKagiView},
        {"MNU_月鈎", &SelectionRoutines::ShowMonthlyKagiView},
        {"MNU_鈎日週月", &SelectionRoutines::ShowFourViews},
    };
    for (const auto& [name, view] : views) {
        OnMenu(name, [&r, view] {
            if (CheckIssueSelected()) Run(r.*view);
        });
    }

    OnMenu("MNU_手動分析", [&r] { Run(r.ShowManualAnalysis); });
    OnMenu("MNU_銘柄修正", [&r] { Run(r.ShowIssueEdit); });
    OnMenu("MNU_銘柄結合", [this] { JoinIssues(); });
    OnMenu("MNU_銘柄削除", [this] { DeleteIssues(); });
    OnMenu("MNU_注目指定", [&r] { Run(r.ShowChuumokuDialog); });
    OnMenu("MNU_注目取消", [&r] { Run(r.ClearChuumoku); });
    for (int32_t tab = 0; tab < 4; ++tab) {
        OnMenu("MNU_PF0" + std::to_string(tab), [&r, tab] { Run(r.ShowPortfolio, tab); });
    }
    OnMenu("MNU_データ表", [] {
        // The toolbar's ﾃﾞｰﾀ表, whose checks the list's item shares.
        if (const auto& command = Views().ToolbarCommand) command(12);
    });
    OnMenu("MNU_全選択", [this] { SelectAllRows(*grid_); });
    OnMenu("MNU_ユーザ設定", [this, &r] { WithPointer([&r] { Run(r.ShowUserSettings); }); });
    OnMenu("MNU_鈎足判定", [this, &r] { WithPointer([&r] { Run(r.ShowKagiJudgeSettings); }); });
    OnMenu("MNU_順次", [&r] {
        Selection().ObservationOrder = 0;
        Run(r.RunObservation);
    });
    OnMenu("MNU_逆次", [&r] {
        Selection().ObservationOrder = -1;
        Run(r.RunObservation);
    });
    OnMenu("MNU_最適化", [&r] { Run(r.RunOptimize); });
    OnMenu("MNU_バージョン情報", [this] {
        FRM_バージョン情報 about(this);
        about.exec();
    });
}

void FRM_選択::WireGrid() {
    connect(grid_, &FlexGrid::DblClick, this, [this] { OpenKagiFromList(); });
    connect(grid_, &FlexGrid::KeyDown, this, [this](int keyCode, int) {
        if (keyCode == 13) OpenKagiFromList();
    });
    connect(grid_, &FlexGrid::MouseDown, this,
            [this](int button, int, double x, double y) { OnHeaderMouseDown(button, x, y); });
    connect(grid_, &FlexGrid::MouseMove, this,
            [this](int, int, double x, double) { SetGridFlagByMouseX(*grid_, x, false); });
    connect(grid_, &FlexGrid::EnterCell, this, [this] { grid_->SetBackColor(kWhite); });
}

void FRM_選択::OpenKagiFromList() {
    // The test is on the current row, not on the row under the pointer.
    if (grid_->Row() <= 0) return;
    if (CheckIssueSelected()) Run(Selection().Routines.ShowKagiView);
}

void FRM_選択::OnHeaderMouseDown(int button, double x, double y) {
    if (button != 1) return;
    FlexGrid& grid = *grid_;
    grid.SetBackColor(kWhite);
    if (y > grid.RowHeight(0)) return;
    const int column = HeaderColumnAt(grid, kLastSortColumn, x);
    if (column >= 0) SortSelectGrid(grid, ColumnSortFlags[column], column);
    grid.SetCol(0);
    // A list without data rows has no row 1 to move to.
    if (grid.Rows() <= 1) return;
    grid.SetRow(1);
    grid.SetTopRow(1);
}

void FRM_選択::EnterTextDataMode() {
    SetMainPointer(11);
    auto& text = TextData();
    text.TextDataTitle.clear();
    Run(Selection().Routines.ShowTextDataWindow);
    if (!text.TextDataTitle.empty()) {
        text.TextDataMode = -1;
        UpdateSelectionMenus();
        MarkTextDataMode();
    }
    SetMainPointer(0);
}

void FRM_選択::JoinIssues() {
    auto& r = Selection().Routines;
    WithPointer([this, &r] {
        if (CollectSelectedRows(*grid_)) {
            Run(r.ShowIssueJoin);
        } else {
            MsgWarn(kSelectIssueMessage);
        }
    });
}

void FRM_選択::DeleteIssues() {
    auto& r = Selection().Routines;
    if (CollectSelectedRows(*grid_)) {
        Run(r.DeleteSelectedIssues);
        return;
    }
    MsgWarn(kSelectIssueMessage);
    unsetCursor();
}

FRM_選択& SelectionWindow() {
    auto& instance = Instance();
    if (!instance) instance = new FRM_選択;
    return *instance;
}

bool SelectionWindowExists() {
    return !Instance().isNull();
}
