#include "ui/frame_access.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QStatusBar>

#include "foundation/trap.h"

namespace {

QLabel* FindPanel(int panel) {
    QMainWindow* frame = FindMainFrame();
    if (!frame) return nullptr;
    auto* bar = frame->findChild<QStatusBar*>(QString::fromUtf8(kMainStatusBarName));
    return bar ? bar->findChild<QLabel*>(MainStatusPanelName(panel)) : nullptr;
}

}  // namespace

QString MainStatusPanelName(int panel) {
    return QString::fromUtf8(kMainStatusBarName) + QStringLiteral("_Panel%1").arg(panel);
}

QMainWindow* FindMainFrame() {
    const QString name = QString::fromUtf8(kMainFrameName);
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == name) return qobject_cast<QMainWindow*>(widget);
    }
    return nullptr;
}

QMdiArea* FindMainClientArea() {
    QMainWindow* frame = FindMainFrame();
    return frame ? qobject_cast<QMdiArea*>(frame->centralWidget()) : nullptr;
}

void SetMainStatusPanel(int panel, const std::string& text) {
    if (QLabel* label = FindPanel(panel)) label->setText(QString::fromStdString(text));
}

std::string MainStatusPanel(int panel) {
    QLabel* label = FindPanel(panel);
    return label ? label->text().toStdString() : std::string();
}

void SetMainCaption(const std::string& caption) {
    if (QMainWindow* frame = FindMainFrame())
        frame->setWindowTitle(QString::fromStdString(caption));
}

void SetMainPointer(int pointer) {
    QMainWindow* frame = FindMainFrame();
    if (!frame) return;
    if (pointer == 11) {
        frame->setCursor(Qt::WaitCursor);
    } else {
        frame->unsetCursor();
    }
}

void WithMainPointer(const std::function<void()>& work) {
    SetMainPointer(kHourglassPointer);
    RunTrapped(work);
    SetMainPointer(kDefaultPointer);
}

void UnloadMainFrame() {
    if (QMainWindow* frame = FindMainFrame()) frame->close();
}
