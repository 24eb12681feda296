#include "support/modal.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <memory>

namespace {

void AnswerModalWhere(std::function<bool(QWidget*)> wanted, std::function<void(QWidget*)> answer,
                      int timeoutMs) {
    auto* timer = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, clock, wanted, answer, timeoutMs]() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && wanted(modal)) {
            timer->stop();
            timer->deleteLater();
            QPointer<QWidget> answered(modal);
            answer(modal);
            // An answer cut short by a failed assertion would leave the dialog waiting for
            // ever: close it, so the test fails instead of hanging.
            if (::testing::Test::HasFatalFailure() && answered && answered->isVisible())
                answered->close();
            return;
        }
        if (clock->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no modal dialog appeared of the awaited name";
        }
    });
    timer->start();
}

}  // namespace

void AnswerNextModalNamed(const QString& name, std::function<void(QWidget*)> answer,
                          int timeoutMs) {
    AnswerModalWhere(
        [name](QWidget* modal) {
            return modal->objectName() == name ||
                   (modal->objectName().isEmpty() &&
                    QString::fromLatin1(modal->metaObject()->className()) == name);
        },
        std::move(answer), timeoutMs);
}
