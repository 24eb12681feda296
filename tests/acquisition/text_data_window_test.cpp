// ctest-labels: textseries
#include "acquisition/text_data_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <cstdio>

#include "acquisition/mail_data_window.h"
#include "analysis/state.h"
#include "foundation/state.h"
#include "platform/atomic_file.h"
#include "platform/cp932.h"
#include "platform/flex_grid.h"
#include "support/modal.h"
#include "support/scripted_sink.h"
#include "support/temp_folder.h"
#include "views/list_services.h"
#include "views/main_frame.h"
#include "views/selection_window.h"

namespace {

constexpr const char* kNoData = "取得可能なﾃﾞｰﾀがありせん。";

std::string Bars(int count, int invalid) {
    std::string text;
    for (int i = 0; i < invalid; ++i) text += "not a bar\r\n";
    for (int i = 0; i < count; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "x,2024/%02d/%02d,1,2,1,%d,10\r\n", i / 28 + 1, i % 28 + 1,
                      i + 1);
        text += line;
    }
    return ToCp932(text);
}

class TextDataWindowTest : public ::testing::Test {
  protected:
    void SetUp() override { previousFolder_ = QDir::currentPath(); }
    void TearDown() override {
        QDir::setCurrent(previousFolder_);
        DestroyMainFrame();
    }
    void Put(const std::string& name, const std::string& bytes) {
        std::string error;
        ASSERT_TRUE(WriteFileAtomically(folder.File(name), bytes, error)) << error;
    }
    static QPushButton* Ok(QWidget* dialog) { return dialog->findChild<QPushButton*>("CMD_OK"); }
    static QListWidget* Files(QWidget* dialog) {
        return dialog->findChild<QListWidget*>("FIL_File");
    }
    // Chooses the file in the open dialog and clicks OK.
    static void Choose(QWidget* dialog, const QString& name) {
        QListWidget* files = Files(dialog);
        const auto found = files->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        files->setCurrentItem(found.front());
        QTest::mouseClick(Ok(dialog), Qt::LeftButton);
    }

    TempAppFolder folder;
    ScriptedSink sink;
    QString previousFolder_;
};

TEST_F(TextDataWindowTest, OkNeedsATextFileInTheFolderAndAChosenOne) {
    FRM_テキストデータ dialog;
    QDir().mkpath(QString::fromStdString(folder.File("empty")));
    dialog.SetDirectoryPath(QString::fromStdString(folder.File("empty")));
    EXPECT_FALSE(Ok(&dialog)->isEnabled());
    EXPECT_FALSE(Files(&dialog)->isEnabled());

    Put("other.csv", "x");
    Put("DATA.TXT", Bars(1, 0));
    dialog.SetDirectoryPath(QString::fromStdString(folder.Path()));
    ASSERT_TRUE(Ok(&dialog)->isEnabled());
    EXPECT_EQ(Files(&dialog)->count(), 1);
    EXPECT_EQ(dialog.findChild<QLineEdit*>("TXT_PathName")->text().toStdString(), folder.File(""));
    EXPECT_TRUE(dialog.findChild<QLineEdit*>("TXT_PathName")->isReadOnly());

    sink.Expect(MsgKind::Warn, "ﾌｧｲﾙを指定してください。");
    QTest::mouseClick(Ok(&dialog), Qt::LeftButton);
    EXPECT_TRUE(sink.AllShown());
}

TEST_F(TextDataWindowTest, ARefusedDriveLeavesTheFolderAsItWas) {
    FRM_テキストデータ dialog;
    const QString path = QString::fromStdString(folder.Path());
    dialog.SetDirectoryPath(path);
    auto* drives = dialog.findChild<QComboBox*>("DRV_Drive");
    const QString before = drives->currentText();
    struct Case {
        const char* type;
        bool warned;
    };
    for (const Case& c : {Case{"nfs4", false}, Case{"ext4", true}}) {
        SCOPED_TRACE(c.type);
        drives->addItem(QStringLiteral("/no-such-mount"), QString::fromUtf8(c.type));
        if (c.warned) sink.Expect(MsgKind::Warn, "指定したﾄﾞﾗｲﾌﾞは無効です。");
        drives->setCurrentIndex(drives->count() - 1);
        emit drives->activated(drives->count() - 1);
        EXPECT_TRUE(sink.AllShown());
        EXPECT_EQ(drives->currentText(), before);
        EXPECT_EQ(dialog.DirectoryPath(), QDir(path).absolutePath());
    }
}

TEST_F(TextDataWindowTest, FilesWithoutBarsKeepTheDialogOpen) {
    Put("empty.txt", "");
    Put("為替.txt", ToCp932("0.01\r\n"));
    Put("gone.txt", Bars(5, 0));
    FRM_テキストデータ dialog;
    dialog.SetDirectoryPath(QString::fromStdString(folder.Path()));
    dialog.show();
    for (const char* name : {"empty.txt", "為替.txt"}) {
        SCOPED_TRACE(name);
        sink.Expect(MsgKind::Info, kNoData);
        Choose(&dialog, QString::fromUtf8(name));
        EXPECT_TRUE(sink.AllShown());
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(TextData().TextDataTitle, "");
    }
    std::remove(folder.File("gone.txt").c_str());
    sink.Expect(MsgKind::Warn, "ファイルが見つかりません。").Expect(MsgKind::Info, kNoData);
    Choose(&dialog, "gone.txt");
    EXPECT_TRUE(sink.AllShown());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(Series().TextDataCount, 0);
}

TEST_F(TextDataWindowTest, AGoodFileEntersTextDataModeWithItsSeries) {
    Put("sample.txt", Bars(100, 3));
    QDir::setCurrent(QString::fromStdString(folder.Path()));
    InstallAcquisitionCommands();
    ShowSelectionList();
    // The item sits in the data menu, hidden as the selection window has it.
    SelectionWindow().MenuItem("MNU_データ取得")->setVisible(true);

    sink.Expect(MsgKind::Info, "3件の不正ﾃﾞｰﾀがありました。");
    AnswerNextModalNamed(QString::fromUtf8("FRM_テキストデータ"),
                         [](QWidget* dialog) { Choose(dialog, "sample.txt"); });
    SelectionWindow().MenuItem("MNU_テキストデータ")->trigger();
    EXPECT_TRUE(sink.AllShown());
    EXPECT_EQ(TextData().TextDataTitle, "sample.txt");
    EXPECT_EQ(TextData().TextDataMode, -1);
    ASSERT_EQ(Series().TextDataCount, 100);
    EXPECT_EQ(Series().TextDataSeries.back().Close, 100);
    EXPECT_EQ(SelectionWindow().Grid().Rows(), 2);
    EXPECT_EQ(SelectionWindow().Grid().TextMatrix(1, 4), "sample.txt");
}

}  // namespace
