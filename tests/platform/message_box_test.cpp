// ctest-labels: util
#include "platform/message_box.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTest>
#include <algorithm>
#include <vector>

#include "platform/qt_texts.h"
#include "support/modal.h"
#include "support/scripted_sink.h"

TEST(MessageBox, OkCancelAnsweredByEnterIsCancel) {
    MessageSink* scripted = SetMessageSink(nullptr);  // the real QMessageBox
    QString shownText;
    QString shownTitle;
    AnswerNextModalNamed(QStringLiteral("QMessageBox"), [&](QWidget* modal) {
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

TEST(MessageBox, StandardButtonsReadInJapanese) {
    ASSERT_TRUE(InstallJapaneseQtTexts()) << "Qt's Japanese translations are not installed";
    struct Case {
        MsgKind kind;
        std::vector<QString> buttons;  // as shown, without the access key
    };
    const Case cases[] = {
        {MsgKind::YesNo, {"はい", "いいえ"}},
        {MsgKind::OkCancel, {"OK", "キャンセル"}},
        {MsgKind::Warn, {"OK"}},
    };
    MessageSink* scripted = SetMessageSink(nullptr);  // the real QMessageBox
    for (const Case& c : cases) {
        std::vector<QString> shown;
        AnswerNextModalNamed(QStringLiteral("QMessageBox"), [&shown](QWidget* modal) {
            for (QAbstractButton* button : qobject_cast<QMessageBox*>(modal)->buttons()) {
                // "はい(&Y)" shows as "はい(Y)" with the Y underlined.
                shown.push_back(button->text().remove('&').remove(QRegularExpression(R"(\(.\)$)")));
            }
            QTest::keyClick(modal, Qt::Key_Escape);
        });
        if (c.kind == MsgKind::YesNo) MsgYesNo("二重ログインです。続けますか", "確認");
        if (c.kind == MsgKind::OkCancel) MsgOkCancel("続けますか");
        if (c.kind == MsgKind::Warn) MsgWarn("注意");
        std::sort(shown.begin(), shown.end());
        std::vector<QString> expected = c.buttons;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(shown, expected) << MsgKindName(c.kind);
    }
    SetMessageSink(scripted);
}
