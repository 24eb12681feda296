// ctest-labels: observation
#include "ui/dialog_keys.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDateEdit>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

// A dialog with OK, cancel and the two in-grid editors, counting the buttons' clicks.
class DialogKeysTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ok = Add(new QPushButton(QStringLiteral("OK"), &dialog), "CMD_OK");
        cancel = Add(new QPushButton(QStringLiteral("cancel"), &dialog), "CMD_cancel");
        text = Add(new QLineEdit(&dialog), "TXT_Edit");
        date = Add(new QDateEdit(&dialog), "DPC_Edit");
        QObject::connect(ok, &QPushButton::clicked, [this] { ++oks; });
        QObject::connect(cancel, &QPushButton::clicked, [this] { ++cancels; });
        EnableDialogKeys(&dialog);
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }
    template <typename T>
    T* Add(T* control, const char* name) {
        control->setObjectName(QString::fromLatin1(name));
        return control;
    }
    // A key pressed in the text editor, as the user types into the open cell.
    void Press(Qt::Key key) {
        text->setVisible(true);
        text->setFocus();
        QTest::keyClick(text, key);
    }

    QDialog dialog;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    QLineEdit* text = nullptr;
    QDateEdit* date = nullptr;
    int oks = 0;
    int cancels = 0;
};

}  // namespace

TEST_F(DialogKeysTest, EnterAndEscBelongToTheWindowOnlyWhileNoEditorIsOpen) {
    EXPECT_TRUE(ok->isDefault());
    Press(Qt::Key_Return);
    Press(Qt::Key_Escape);
    EXPECT_EQ(oks, 1);
    EXPECT_EQ(cancels, 1);

    DisableDialogKeys(&dialog);
    EXPECT_FALSE(ok->isDefault());
    EXPECT_FALSE(EscAction(dialog)->isEnabled());
    Press(Qt::Key_Return);
    Press(Qt::Key_Escape);
    EXPECT_EQ(oks, 1);
    EXPECT_EQ(cancels, 1);
    EXPECT_TRUE(dialog.isVisible()) << "Esc closed the dialog past its cancel button";
}

TEST_F(DialogKeysTest, EndGridEditHidesBothEditorsAndGivesTheKeysBack) {
    DisableDialogKeys(&dialog);
    text->setVisible(true);
    date->setVisible(false);
    EndGridEdit(&dialog);
    EXPECT_FALSE(text->isVisible());
    EXPECT_FALSE(date->isVisible());
    EXPECT_TRUE(ok->isDefault());
    cancel->setFocus();
    ok->setFocus();
    QTest::keyClick(&dialog, Qt::Key_Return);
    EXPECT_EQ(oks, 1);
}
