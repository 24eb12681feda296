// ctest-labels: news
#include "portfolio/news_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFrame>
#include <QInputMethodEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "portfolio/state.h"
#include "support/modal.h"

namespace {

TEST(NewsWindow, TheCaptionFollowsTheNewestDataDate) {
    const struct {
        int32_t date;
        const char* caption;
    } cases[] = {
        {20240501, "2024/05/01のﾊﾟｰｿﾅﾙﾆｭｰｽ"},
        {0, "のﾊﾟｰｿﾅﾙﾆｭｰｽ"},
        {20241330, "ﾊﾟｰｿﾅﾙﾆｭｰｽ"},
    };
    for (const auto& c : cases) {
        News().LatestDataDate = c.date;
        FRM_News window;
        EXPECT_EQ(window.windowTitle().toStdString(), c.caption) << c.date;
    }
}

TEST(NewsWindow, TheTextTakesNoKeyButScrollsAndSelects) {
    std::string news;
    for (int i = 0; i < 40; ++i)
        news += "<買い－1>銘柄" + std::to_string(i) + "で、法則が出現しました。\r\n";
    News().NewsText = news;
    FRM_News window;
    window.show();
    auto* text = window.findChild<QPlainTextEdit*>("TXT_News");
    ASSERT_NE(text, nullptr);
    const QString before = text->toPlainText();
    EXPECT_TRUE(before.startsWith(QStringLiteral("<買い－1>銘柄0で、")));

    text->setFocus();
    QTest::keyClicks(text, "typed");
    QTest::keyClick(text, Qt::Key_Backspace);
    QTest::keyClick(text, Qt::Key_Delete);
    QTest::keyClick(text, Qt::Key_V, Qt::ControlModifier);
    QInputMethodEvent ime;
    ime.setCommitString(QStringLiteral("日本語"));
    QApplication::sendEvent(text, &ime);
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    text->paste();
    EXPECT_EQ(text->toPlainText(), before);
    EXPECT_TRUE(window.isVisible());

    EXPECT_GT(text->verticalScrollBar()->maximum(), 0);
    text->moveCursor(QTextCursor::Start);
    const QPoint from = text->cursorRect().center();
    QTest::mousePress(text->viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(text->viewport(), from + QPoint(120, 30));
    QTest::mouseRelease(text->viewport(), Qt::LeftButton, {}, from + QPoint(120, 30));
    EXPECT_TRUE(text->textCursor().hasSelection());
    EXPECT_EQ(text->toPlainText(), before);

    EXPECT_NE(window.findChild<QFrame*>("Line1"), nullptr);
    EXPECT_NE(window.findChild<QFrame*>("Line2"), nullptr);
    EXPECT_TRUE(window.findChild<QPushButton*>("CMD_OK")->isDefault());
}

TEST(NewsWindow, EnterAndEscCloseItFromTheText) {
    News().NewsText = "A\r\n";
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        FRM_News window;
        window.show();
        auto* text = window.findChild<QPlainTextEdit*>("TXT_News");
        text->setFocus();
        QTest::keyClick(text, key);
        EXPECT_FALSE(window.isVisible()) << key;
        EXPECT_EQ(window.result(), QDialog::Accepted) << key;
    }
}

TEST(NewsWindow, OpensOnlyOverNewsWithMoreThanBlanks) {
    News().NewsText = "  ";
    ShowNewsWindow(nullptr);  // returns at once: no window to answer

    News().NewsText = "<買い－1>A\r\n";
    QString shown;
    AnswerNextModalNamed(QString::fromUtf8("FRM_News"), [&shown](QWidget* modal) {
        shown = modal->objectName() + ":" +
                modal->findChild<QPlainTextEdit*>("TXT_News")->toPlainText();
        modal->findChild<QPushButton*>("CMD_OK")->click();
    });
    ShowNewsWindow(nullptr);
    EXPECT_EQ(shown.toStdString(), "FRM_News:<買い－1>A\n");
}

}  // namespace
