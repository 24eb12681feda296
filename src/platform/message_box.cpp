#include "platform/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {

class QtMessageSink final : public MessageSink {
  public:
    int Show(MsgKind kind, const std::string& text, const std::string& title) override {
        QMessageBox box(QApplication::activeWindow());
        box.setWindowTitle(QString::fromStdString(title.empty() ? ApplicationTitle() : title));
        box.setText(QString::fromStdString(text));
        switch (kind) {
            case MsgKind::Info:
                box.setIcon(QMessageBox::Information);
                box.setStandardButtons(QMessageBox::Ok);
                break;
            case MsgKind::Warn:
                box.setIcon(QMessageBox::Warning);
                box.setStandardButtons(QMessageBox::Ok);
                break;
            case MsgKind::OkCancel:
                box.setIcon(QMessageBox::Question);
                box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
                box.setDefaultButton(QMessageBox::Cancel);
                break;
            case MsgKind::Plain:
                box.setIcon(QMessageBox::NoIcon);
                box.setStandardButtons(QMessageBox::Ok);
                break;
            case MsgKind::YesNo:
                box.setIcon(QMessageBox::NoIcon);
                box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
                box.setDefaultButton(QMessageBox::Yes);
                break;
        }
        const int answer = box.exec();
        switch (answer) {
            case QMessageBox::Cancel:
                return kAnswerCancel;
            case QMessageBox::Yes:
                return kAnswerYes;
            case QMessageBox::No:
                return kAnswerNo;
            default:
                return kind == MsgKind::OkCancel && answer != QMessageBox::Ok ? kAnswerCancel
                                                                              : kAnswerOk;
        }
    }
};

QtMessageSink qtSink;
MessageSink* currentSink = &qtSink;
thread_local MessageSink* threadSink = nullptr;

int ShowBox(MsgKind kind, const std::string& text, const std::string& title = {}) {
    return (threadSink ? threadSink : currentSink)->Show(kind, text, title);
}

}  // namespace

MessageSink* SetMessageSink(MessageSink* sink) {
    MessageSink* previous = currentSink == &qtSink ? nullptr : currentSink;
    currentSink = sink ? sink : &qtSink;
    return previous;
}

MessageSink* SetThreadMessageSink(MessageSink* sink) {
    MessageSink* previous = threadSink;
    threadSink = sink;
    return previous;
}

std::string ApplicationTitle() {
    const QString name = QApplication::applicationDisplayName();
    return name.isEmpty() ? std::string("Kabuto") : name.toStdString();
}

void MsgInfo(const std::string& text) {
    ShowBox(MsgKind::Info, text);
}
void MsgWarn(const std::string& text) {
    ShowBox(MsgKind::Warn, text);
}
int MsgOkCancel(const std::string& text) {
    return ShowBox(MsgKind::OkCancel, text);
}
void MsgPlain(const std::string& text) {
    ShowBox(MsgKind::Plain, text);
}
int MsgYesNo(const std::string& text, const std::string& title) {
    return ShowBox(MsgKind::YesNo, text, title);
}
