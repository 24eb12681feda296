// ctest-labels: observation
#include "screening/print_form_binding.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QWidget>

#include "foundation/settings.h"
#include "foundation/state.h"

namespace {

// The print dialog's bound controls, its lists filled as the dialog fills them on loading.
class PrintFormBindingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        LogonPair logon;
        InitSettei(logon);
        printers = List("CBO_Printer", {});
        List("CBO_Size", {"A4", "A3"});
        List("CBO_方法", {"自動", "手差し"});
        auto* orientation = new QGroupBox(&dialog);
        Option(orientation, "OPT_縦");
        Option(orientation, "OPT_横");
        auto* range = new QGroupBox(&dialog);
        Option(range, "OPT_All");
        Option(range, "OPT_Choice");
        auto* count = new QLineEdit(&dialog);
        count->setObjectName(QStringLiteral("TXT_Count"));
    }
    QComboBox* List(const char* name, const QStringList& entries) {
        auto* list = new QComboBox(&dialog);
        list->setObjectName(QString::fromUtf8(name));
        list->addItems(entries);
        return list;
    }
    void Option(QWidget* group, const char* name) {
        auto* option = new QRadioButton(group);
        option->setObjectName(QString::fromUtf8(name));
    }
    void InstallPrinters(int count) {
        printers->clear();
        for (int i = 0; i < count; ++i) printers->addItem(QStringLiteral("P%1").arg(i));
    }
    template <typename T>
    T* Control(const char* name) const {
        return dialog.findChild<T*>(QString::fromUtf8(name));
    }
    bool Chosen(const char* name) const { return Control<QRadioButton>(name)->isChecked(); }

    QWidget dialog;
    QComboBox* printers = nullptr;
};

}  // namespace

TEST_F(PrintFormBindingTest, AFreshRecordShowsTheDefaults) {
    InstallPrinters(3);
    ASSERT_TRUE(LoadPrintForm(dialog));
    EXPECT_EQ(printers->currentIndex(), 0);
    EXPECT_EQ(Control<QComboBox>("CBO_Size")->currentText(), "A4");
    EXPECT_EQ(Control<QComboBox>("CBO_方法")->currentText(), "自動");
    EXPECT_TRUE(Chosen("OPT_縦"));
    EXPECT_FALSE(Chosen("OPT_横"));
    EXPECT_FALSE(Chosen("OPT_All"));
    EXPECT_TRUE(Chosen("OPT_Choice"));
    EXPECT_EQ(Control<QLineEdit>("TXT_Count")->text(), "1");
}

TEST_F(PrintFormBindingTest, ASavedPrinterOffTheListSelectsTheFirst) {
    struct Case {
        int16_t saved;
        int installed;
        int shown;
    };
    const Case cases[] = {{2, 3, 2}, {2, 2, 0}, {-1, 3, 0}, {1, 2, 1}};
    for (const Case& c : cases) {
        Settei().Record.PrintSettei.CBO_Printer = c.saved;
        InstallPrinters(c.installed);
        printers->setCurrentIndex(c.installed - 1);
        EXPECT_TRUE(LoadPrintForm(dialog)) << c.saved << " of " << c.installed;
        EXPECT_EQ(printers->currentIndex(), c.shown) << c.saved << " of " << c.installed;
    }
}

TEST_F(PrintFormBindingTest, SavedChoicesAndCopiesAndAListIndexThatDoesNotExist) {
    InstallPrinters(1);
    PrintSettei& saved = Settei().Record.PrintSettei;
    saved.CBO_Size = 1;
    saved.CBO_方法 = 1;
    saved.OPT_縦 = 0;
    saved.OPT_横 = -1;
    saved.OPT_All = -1;
    saved.OPT_Choice = 0;
    saved.TXT_Count = 12;
    ASSERT_TRUE(LoadPrintForm(dialog));
    EXPECT_EQ(Control<QComboBox>("CBO_Size")->currentText(), "A3");
    EXPECT_EQ(Control<QComboBox>("CBO_方法")->currentText(), "手差し");
    EXPECT_TRUE(Chosen("OPT_横"));
    EXPECT_FALSE(Chosen("OPT_縦"));
    EXPECT_TRUE(Chosen("OPT_All"));
    EXPECT_FALSE(Chosen("OPT_Choice"));
    EXPECT_EQ(Control<QLineEdit>("TXT_Count")->text(), "12");

    for (int16_t size : {2, -1}) {
        saved.CBO_Size = size;
        EXPECT_FALSE(LoadPrintForm(dialog)) << size;
    }
}
