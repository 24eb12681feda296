#include "platform/application.h"

#include <exception>
#include <string>

#include "platform/message_box.h"

bool ProgramApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        MsgWarn(error.what());
    } catch (...) {
        MsgWarn("不明なエラーが発生しました。");
    }
    return false;
}
