#include "views/main_frame.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "foundation/selection.h"
#include "foundation/settings.h"
#include "foundation/startup.h"
#include "foundation/trap.h"
#include "platform/twips.h"
#include "ui/frame_access.h"
#include "ui/state.h"
#include "views/selection_window.h"
#include "views/view_rules.h"

namespace {

QPointer<MDF_メイン>& Instance() {
    static QPointer<MDF_メイン> instance;
    return instance;
}

std::function<void()>& ProgramEnd() {
    static std::function<void()> end = [] { QCoreApplication::exit(0); };
    return end;
}

QString Q(const char* text) {
    return QString::fromUtf8(text);
}

// Heights of the frame's bars.
constexpr double kToolbarHeight = 885;
constexpr double kLineToolbarHeight = 810;
constexpr int kMaPanels = 4;
// The smallest frame, in twips.
constexpr double kMinimumWidth = 4800;
constexpr double kMinimumHeight = 3600;

// The hidden menu bar an MDI child carries for the frame to show.
QMenuBar* MenusOf(QMdiSubWindow* window) {
    if (!window || !window->widget()) return nullptr;
    return window->widget()->findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly);
}

}  // namespace

MDF_メイン::MDF_メイン(QWidget* parent) : QMainWindow(parent) {
    setObjectName(Q(kMainFrameName));
    setAttribute(Qt::WA_DeleteOnClose);
    setMinimumSize(TwipsToPixels(kMinimumWidth), TwipsToPixels(kMinimumHeight));
    resize(1024, 720);

    clientArea_ = new QMdiArea(this);
    clientArea_->setObjectName(QStringLiteral("MDIClient"));
    setCentralWidget(clientArea_);

    auto* status = new QStatusBar(this);
    status->setObjectName(Q(kMainStatusBarName));
    for (int i = 0; i < kMainStatusPanels; ++i) {
        panels_[i] = new QLabel(status);
        panels_[i]->setObjectName(MainStatusPanelName(i + 1));
        status->addWidget(panels_[i], i == 0 ? 0 : 1);
    }
    setStatusBar(status);
    BuildToolbars();

    // The frame's own menu, shown while no child with menus is active; it does nothing.
    ownMenus_ = new QMenuBar(this);
    ownMenus_->hide();
    QMenu* file = ownMenus_->addMenu(Q("ﾌｧｲﾙ(&F)"));
    file->setObjectName(QStringLiteral("f"));
    file->addAction(Q("終了(&X)"))->setObjectName(QStringLiteral("e"));
    setMenuBar(new QMenuBar(this));
    ShowMenusOf(nullptr);
    connect(clientArea_, &QMdiArea::subWindowActivated, this,
            [this](QMdiSubWindow* window) { ShowMenusOf(window); });
}

MDF_メイン::~MDF_メイン() {
    // The children close after this part of the frame is gone; their activations must not
    // reach it.
    clientArea_->disconnect(this);
}

QLabel* MDF_メイン::Panel(int panel) const {
    return panels_.at(panel - 1);
}

QLabel* MDF_メイン::MaPanel(int panel) const {
    return maPanels_.at(panel - 1);
}

void MDF_メイン::BuildToolbars() {
    toolbar_ = new QToolBar(this);
    toolbar_->setObjectName(QStringLiteral("TLB_menu"));
    toolbar_->setMovable(false);
    toolbar_->setFloatable(false);
    toolbar_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    toolbar_->setFixedHeight(TwipsToPixels(kToolbarHeight));
    for (int code = 1; code <= kToolbarButtons; ++code) {
        const ToolbarButtonRow& row = ToolbarTable()[code];
        QAction* button =
            *row.caption ? toolbar_->addAction(Q(row.caption)) : toolbar_->addSeparator();
        button->setObjectName(QStringLiteral("TLB_menu_%1").arg(code));
        button->setProperty("Index", code);
        // Buttons no view switches keep their place; the others follow the view.
        button->setVisible(row.shown != ButtonShown::Never);
        connect(button, &QAction::triggered, this, [code] {
            if (Views().ToolbarCommand) Views().ToolbarCommand(code);
        });
        buttons_[code] = button;
    }
    addToolBar(Qt::TopToolBarArea, toolbar_);

    lineToolbar_ = new QToolBar(this);
    lineToolbar_->setObjectName(Q("TLB_斜線関門"));
    lineToolbar_->setMovable(false);
    lineToolbar_->setFloatable(false);
    lineToolbar_->setFixedHeight(TwipsToPixels(kLineToolbarHeight));
    addToolBar(Qt::BottomToolBarArea, lineToolbar_);
    lineToolbar_->hide();

    maRow_ = new QToolBar(this);
    maRow_->setObjectName(QStringLiteral("STA_MA_Row"));
    maRow_->setMovable(false);
    maRow_->setFloatable(false);
    maBar_ = new QStatusBar(maRow_);
    maBar_->setObjectName(QStringLiteral("STA_MA"));
    maBar_->setSizeGripEnabled(false);
    for (int i = 0; i < kMaPanels; ++i) {
        maPanels_[i] = new QLabel(maBar_);
        maPanels_[i]->setObjectName(QStringLiteral("STA_MA_Panel%1").arg(i + 1));
        maBar_->addWidget(maPanels_[i], 1);
    }
    maRow_->addWidget(maBar_);
    addToolBarBreak(Qt::BottomToolBarArea);
    addToolBar(Qt::BottomToolBarArea, maRow_);
    SetMaStatusVisible(false);
}

QAction* MDF_メイン::ToolbarButton(int code) const {
    return buttons_.at(code);
}

void MDF_メイン::SetMaStatusVisible(bool visible) {
    maBar_->setVisible(visible);
    maRow_->setVisible(visible);
}

bool MDF_メイン::MaStatusVisible() const {
    return !maRow_->isHidden();
}

void MDF_メイン::Inet1_StateChanged(int state) {
    if (state == 11 || state == 12) Views().InetState = static_cast<int16_t>(state);
}

QMdiSubWindow* MDF_メイン::AddChild(QWidget* child) {
    for (QMdiSubWindow* window : clientArea_->subWindowList()) {
        if (window->widget() == child) return window;
    }
    QMdiSubWindow* window = clientArea_->addSubWindow(child);
    window->setObjectName(child->objectName() + QStringLiteral("_MDI"));
    // The sub-window's own menu would take keys such as Ctrl+W from the child's menus.
    for (QAction* action : window->systemMenu()->actions()) action->setShortcuts({});
    return window;
}

void MDF_メイン::ShowMenusOf(QMdiSubWindow* window) {
    // The area reports no active child while the frame itself is inactive (a modal dialog
    // over it); the menus stay those of its current child.
    if (!window) window = clientArea_->currentSubWindow();
    QMenuBar* source = MenusOf(window);
    if (!source) source = ownMenus_;
    QMenuBar* bar = menuBar();
    bar->clear();
    bar->addActions(source->actions());
}

void MDF_メイン::closeEvent(QCloseEvent* event) {
    // A routine under way would go on over closed connections: it is asked to stop, and the
    // frame closes when it has returned.
    if (Views().RoutineDepth > 0) {
        Views().ClosePending = true;
        Progress().CancelRequested = -1;
        event->ignore();
        return;
    }
    // The close is never refused and asks nothing.
    isClosing_ = true;
    event->accept();
    Shutdown();
    ProgramEnd()();
}

FrameCloseHold::FrameCloseHold() {
    ++Views().RoutineDepth;
}

FrameCloseHold::~FrameCloseHold() {
    ViewState& views = Views();
    if (--views.RoutineDepth > 0) return;
    if (views.ClosePending) {
        views.ClosePending = false;
        views.RelayoutPending = false;
        if (MainFrameExists()) MainFrame().close();
        return;
    }
    if (!views.RelayoutPending) return;
    views.RelayoutPending = false;
    if (views.RelayoutView) views.RelayoutView();
}

void MDF_メイン::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (isMinimized() || isClosing_ || relayoutQueued_) return;
    relayoutQueued_ = true;
    QTimer::singleShot(0, this, [this] { Relayout(); });
}

void MDF_メイン::Relayout() {
    relayoutQueued_ = false;
    if (isMinimized() || isClosing_) return;
    ViewState& views = Views();
    if (views.RoutineDepth > 0) {
        views.RelayoutPending = true;
        return;
    }
    if (views.RelayoutView) views.RelayoutView();
}

void UpdateMainToolbar() {
    if (!MainFrameExists()) return;
    MDF_メイン& frame = MainFrame();
    const int16_t view = Views().ViewKind;
    const bool list = view == kViewList;
    for (int code = 1; code <= kToolbarButtons; ++code) {
        if (ToolbarTable()[code].shown == ButtonShown::Always) continue;
        frame.ToolbarButton(code)->setVisible(ToolbarButtonVisible(code, list));
    }
    const StatusVisibility status = StatusFor(view, Settei().Record.UserSettei.OPT_MAOn == -1);
    for (int panel = 1; panel <= kMainStatusPanels; ++panel)
        frame.Panel(panel)->setVisible(status.MainPanel[panel]);
    frame.SetMaStatusVisible(status.MovingAverages);
}

MDF_メイン& MainFrame() {
    auto& instance = Instance();
    if (!instance) instance = new MDF_メイン;
    return *instance;
}

bool MainFrameExists() {
    return !Instance().isNull();
}

void DestroyMainFrame() {
    delete Instance().data();
}

void SetProgramEnd(std::function<void()> end) {
    ProgramEnd() = end ? std::move(end) : [] { QCoreApplication::exit(0); };
}

// Every step is attempted: a failure is passed over and the next step runs.
void ShowSelectionList() {
    IgnoringErrors([] { Views().ViewKind = kViewList; });
    // A search's issues shown in a chart view are done with once the list is back.
    IgnoringErrors([] { IssueSearch().SearchResult = 0; });
    IgnoringErrors([] { ClearSelectedRows(); });
    IgnoringErrors([] { MainFrame().setWindowTitle(Q("選択")); });
    IgnoringErrors([] { UpdateMainToolbar(); });
    LayoutSelectionList();
}

void LayoutSelectionList() {
    IgnoringErrors([] {
        MDF_メイン& frame = MainFrame();
        frame.show();
        FRM_選択& list = SelectionWindow();
        QMdiSubWindow* window = frame.AddChild(&list);
        // The list lives until the program ends: its sub-window has no buttons to close it.
        window->setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        if (QLayout* layout = frame.layout()) layout->activate();
        const QSize client = frame.ClientArea()->viewport()->size();
        window->setGeometry(0, 0, client.width(), client.height());
        list.show();
        window->show();
        window->raise();
        frame.ClientArea()->setActiveSubWindow(window);
    });
}
