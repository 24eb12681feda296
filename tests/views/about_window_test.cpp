// ctest-labels: util
#include "views/about_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "foundation/text_utils.h"

TEST(AboutWindow, CutsLongValues) {
    const std::string exact(36, 'a');
    EXPECT_EQ(AboutItemText(exact), exact);
    const std::string longer = std::string(35, 'a') + "株";  // 37 bytes
    const std::string cut = AboutItemText(longer);
    EXPECT_EQ(cut, std::string(34, 'a') + "..");
    const std::string kanji = "株式会社株式会社株式会社株式会社株式";  // 36 bytes: whole
    EXPECT_EQ(AboutItemText(kanji), kanji);
    const std::string odd = "a株式会社株式会社株式会社株式会社株式";  // 37 bytes
    EXPECT_LE(LenSjis(AboutItemText(odd)), 36);
    EXPECT_EQ(AboutItemText(odd), "a株式会社株式会社株式会社株式会社..");
    EXPECT_EQ(BuildAboutText("/opt/k/", "user"),
              "\r\n    Install：\t\t/opt/k/\r\n\r\n    名前：\t\tuser");
    EXPECT_EQ(GetAboutValue("Other"), "");
}

TEST(AboutWindow, ShowsNameVersionAndKeepsItsText) {
    FRM_バージョン情報 window;
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Kabuto のﾊﾞｰｼﾞｮﾝ情報"));
    EXPECT_EQ(window.findChild<QLabel*>("LBL_商品名")->text(), QStringLiteral("Kabuto"));
    EXPECT_TRUE(window.findChild<QLabel*>("LBL_Ver")->text().startsWith("Ver. "));
    auto* text = window.findChild<QPlainTextEdit*>("TXT_Ver");
    ASSERT_NE(text, nullptr);
    const QString before = text->toPlainText();
    EXPECT_TRUE(before.contains(QStringLiteral("Install：")));

    text->setFocus();
    QTest::keyClicks(text, "typed");
    QTest::keyClick(text, Qt::Key_Backspace);
    QInputMethodEvent ime;
    ime.setCommitString(QStringLiteral("日本語"));
    QApplication::sendEvent(text, &ime);
    EXPECT_EQ(text->toPlainText(), before);
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    text->paste();
    text->insertPlainText(QStringLiteral("inserted"));
    EXPECT_EQ(text->toPlainText(), before);
}

TEST(AboutWindow, EnterAndEscCloseItFromTheTextAndFromOk) {
    struct Case {
        const char* control;
        Qt::Key key;
        QDialog::DialogCode result;
    };
    const Case cases[] = {
        {"TXT_Ver", Qt::Key_Return, QDialog::Accepted},
        {"TXT_Ver", Qt::Key_Enter, QDialog::Accepted},
        {"TXT_Ver", Qt::Key_Escape, QDialog::Rejected},
        {"CMD_OK", Qt::Key_Return, QDialog::Accepted},
        {"CMD_OK", Qt::Key_Escape, QDialog::Rejected},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.control) + " " + std::to_string(c.key));
        FRM_バージョン情報 window;
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        auto* control = window.findChild<QWidget*>(c.control);
        ASSERT_NE(control, nullptr);
        control->setFocus();
        const QString before = window.findChild<QPlainTextEdit*>("TXT_Ver")->toPlainText();
        QTest::keyClick(control, c.key);
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(window.result(), c.result);
        EXPECT_EQ(window.findChild<QPlainTextEdit*>("TXT_Ver")->toPlainText(), before);
    }
    // OK is the default button, so Enter from anywhere in the window presses it.
    FRM_バージョン情報 window;
    EXPECT_TRUE(window.findChild<QPushButton*>("CMD_OK")->isDefault());
}
