#include "views/main_frame.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QStatusBar>

#include "foundation/selection.h"
#include "foundation/startup.h"
#include "ui/frame_access.h"
#include "views/selection_window.h"

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

// The hidden menu bar an MDI child carries for the frame to show.
QMenuBar* MenusOf(QMdiSubWindow* window) {
    if (!window || !window->widget()) return nullptr;
    return window->widget()->findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly);
}

}  // namespace

MDF_メイン::MDF_メイン(QWidget* parent) : QMainWindow(parent) {
    setObjectName(Q(kMainFrameName));
    setAttribute(Qt::WA_DeleteOnClose);
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
    // The close is never refused and asks nothing.
    isClosing_ = true;
    event->accept();
    Shutdown();
    ProgramEnd()();
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

void ShowSelectionList() {
    try {
        Views().ViewKind = 3;
        ClearSelectedRows();
        MDF_メイン& frame = MainFrame();
        frame.setWindowTitle(Q("選択"));
        frame.show();
        FRM_選択& list = SelectionWindow();
        QMdiSubWindow* window = frame.AddChild(&list);
        // The list lives until the program ends: its sub-window has no buttons to close it.
        window->setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        const QSize client = frame.ClientArea()->viewport()->size();
        window->setGeometry(0, 0, client.width(), client.height());
        list.show();
        window->show();
        window->raise();
        frame.ClientArea()->setActiveSubWindow(window);
    } catch (...) {
        // Every failure here is ignored: the list shows as far as it came.
    }
}
