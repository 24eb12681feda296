// ctest-labels: util
#include "platform/message_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTest>

#include "support/modal.h"
#include "support/scripted_sink.h"

TEST(MessageBox, OkCancelAnsweredByEnterIsCancel) {
    MessageSink* scripted = SetMessageSink(nullptr);  // the real QMessageBox
    QString shownText;
    QString shownTitle;
    AnswerNextModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        shownText = box->text();
        shownTitle = box->windowTitle();
        QTest::keyClick(box, Qt::Key_Return);
    });
    EXPECT_EQ(MsgOkCancel("続けますか"), kAnswerCancel);
    SetMessageSink(scripted);
    EXPECT_EQ(shownText, QStringLiteral("続けますか"));
    EXPECT_EQ(shownTitle, QStringLiteral("Kabuto"));
}

TEST(MessageBox, ScriptedSinkRecordsAndAnswers) {
    ScriptedSink sink;
    sink.Expect(MsgKind::Warn, "GetMemo read失敗")
        .Expect(MsgKind::OkCancel, "", kAnswerOk)
        .Expect(MsgKind::YesNo, "優先?", kAnswerNo);
    MsgWarn("GetMemo read失敗");
    EXPECT_EQ(MsgOkCancel("any"), kAnswerOk);
    EXPECT_EQ(MsgYesNo("優先?", "二重ログイン"), kAnswerNo);
    ASSERT_EQ(sink.Shown().size(), 3u);
    EXPECT_EQ(sink.Shown()[1].second, "any");
}
