// ctest-labels: listprint firsthour
// Print jobs on the PDF printer: each job writes files of its own, so printing the list and
// then a chart leaves both, and no job writes over an earlier one's file.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>

#include "printing/list_print_fixture.h"

namespace {

class PrintJobsTest : public ListPrintFixture {
  protected:
    std::string File(const std::string& name) { return market.Path() + "/" + name; }
    bool Exists(const std::string& name) {
        return QFile::exists(QString::fromStdString(File(name)));
    }
    std::string Text(const std::string& name) {
        QProcess text;
        text.start("pdftotext", {"-layout", QString::fromStdString(File(name)), "-"});
        text.waitForFinished(60000);
        return text.readAllStandardOutput().toStdString();
    }
    void PrintFromToolbar() {
        sink.Expect(MsgKind::OkCancel, "印刷を開始しますか？", kAnswerOk);
        Press(19);
        ASSERT_TRUE(sink.AllShown());
    }
};

TEST_F(PrintJobsTest, TheListAndThenAChartLeaveTwoFiles) {
    SelectRows(2, 3);
    PrintFromToolbar();
    const std::string list = Text("print.pdf");
    ASSERT_NE(list.find(CodeOfRow(2)), std::string::npos) << list;

    Press(5);
    PrintFromToolbar();
    ASSERT_TRUE(Exists("print-2.pdf"));
    EXPECT_EQ(Text("print.pdf"), list);
    EXPECT_NE(Text("print-2.pdf").find("2024/05/01 09:30"), std::string::npos);
}

// Numbers go on from the highest file there, so the newest job always has the highest
// number, and two copies take two new names.
TEST_F(PrintJobsTest, CopiesTakeTheNextFreeNumbersAfterTheFilesThere) {
    for (const char* name : {"print.pdf", "print-4.pdf"}) {
        QFile earlier(QString::fromStdString(File(name)));
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier");
    }
    Settei().PrintJob.TXT_Count = 2;
    SelectRows(1, 1);
    PrintFromToolbar();
    for (const char* name : {"print-5.pdf", "print-6.pdf"})
        EXPECT_NE(Text(name).find(CodeOfRow(1)), std::string::npos) << name;
    for (const char* name : {"print.pdf", "print-4.pdf"}) {
        QFile earlier(QString::fromStdString(File(name)));
        ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
        EXPECT_EQ(earlier.readAll(), "earlier") << name;
    }
    EXPECT_FALSE(Exists("print-2.pdf"));
}

}  // namespace
