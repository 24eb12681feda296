// ctest-labels: datarows
// The price data table's added and deleted rows, its periods and its print hand-off.
#include <QCalendarWidget>
#include <QCheckBox>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <chrono>

#include "analysis/state.h"
#include "data_table_fixture.h"
#include "foundation/settings.h"
#include "foundation/state.h"
#include "platform/printers.h"
#include "platform/twips.h"
#include "printing/print_dialog.h"
#include "support/temp_folder.h"

namespace {

class DataRowsTest : public DataTableTest {
  protected:
    void SetUp() override {
        DataTableTest::SetUp();
        if (HasFatalFailure() || IsSkipped()) return;
        Settei().FixedToday = std::chrono::year{2024} / std::chrono::month{3} / std::chrono::day{1};
        // The print dialog is another window's business: the hand-off is what counts here.
        Selection().Routines.ShowPrintDialog = [this](QWidget* owner) {
            ++printDialogs_;
            printOwner_ = owner;
        };
    }
    void TearDown() override {
        SetPrinterSource({});
        DataTableTest::TearDown();
    }

    static QCheckBox* Check(FRM_データ表& window, const char* name) {
        return window.findChild<QCheckBox*>(QString::fromUtf8(name));
    }
    static QDateEdit* Picker(FRM_データ表& window, const char* name) {
        return window.findChild<QDateEdit*>(QString::fromUtf8(name));
    }
    static QPushButton* Button(FRM_データ表& window, const char* name) {
        return window.findChild<QPushButton*>(QString::fromUtf8(name));
    }
    // CHK_Period ticked, with the start and the end ticked where given (a null date: not).
    static void SetPeriod(FRM_データ表& window, const QDate& start, const QDate& end) {
        Check(window, "CHK_Period")->click();
        if (start.isValid()) {
            Check(window, "CHK_開始")->click();
            Picker(window, "DPC_開始")->setDate(start);
        }
        if (end.isValid()) {
            Check(window, "CHK_終了")->click();
            Picker(window, "DPC_終了")->setDate(end);
        }
    }
    static bool Enabled(FRM_データ表& window, const char* name) {
        return Button(window, name)->isEnabled();
    }
    // A left click on a data row's cell, through the grid's own mouse handling.
    static void ClickCell(FRM_データ表& window, int row, int col, int xOffset = 0) {
        FlexGrid& grid = window.Grid();
        const QRect cell = grid.visualRect(grid.model()->index(row - 1, col));
        const QPoint at(col == 0 ? cell.left() + 2 + xOffset : cell.center().x() + xOffset,
                        cell.center().y());
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, at);
    }

    int printDialogs_ = 0;
    QWidget* printOwner_ = nullptr;
};

INSTANTIATE_TEST_SUITE_P(Sqlite, DataRowsTest, testing::Values(TestEngine::Sqlite));

// The long issue: row r is dated 2024/01/01 + (40 - r) days, 2024/02/09 the newest.
struct PeriodCase {
    const char* name;
    QDate start;
    QDate end;
    int first;  // 0: refused
    int last;
    MsgKind message;
    const char* text;
};

TEST_P(DataRowsTest, PeriodsGiveTheirRowsOrTheirMessage) {
    const PeriodCase cases[] = {
        {"start only", QDate(2024, 2, 1), {}, 1, 9, MsgKind::Info, nullptr},
        {"end only", {}, QDate(2024, 1, 5), 36, 40, MsgKind::Info, nullptr},
        {"both", QDate(2024, 1, 10), QDate(2024, 1, 20), 21, 31, MsgKind::Info, nullptr},
        {"start on the newest", QDate(2024, 2, 9), {}, 1, 1, MsgKind::Info, nullptr},
        {"neither", {}, {}, 0, 0, MsgKind::Warn, kDtNoPeriod},
        {"start after the newest", QDate(2024, 2, 10), {}, 0, 0, MsgKind::Info, kDtPeriodOutside},
        {"end before the oldest", {}, QDate(2023, 12, 31), 0, 0, MsgKind::Info, kDtPeriodOutside},
    };
    for (const PeriodCase& c : cases) {
        SCOPED_TRACE(c.name);
        printDialogs_ = 0;
        if (c.text) sink_.Expect(c.message, c.text);
        WithIssueTable(kLongIssue, [&](FRM_データ表& window) {
            SetPeriod(window, c.start, c.end);
            EXPECT_TRUE(Enabled(window, "CMD_Del"));
            EXPECT_TRUE(Enabled(window, "CMD_Print"));
            EXPECT_EQ(window.Grid().Row(), 1);
            window.CMD_Print_Click();
        });
        EXPECT_TRUE(sink_.AllShown());
        if (c.first == 0) {
            EXPECT_EQ(printDialogs_, 0);
            continue;
        }
        const PrintSettei& print = Settei().Record.PrintSettei;
        EXPECT_EQ(printDialogs_, 1);
        EXPECT_EQ(print.PrintCaller, "FRM_データ表");
        EXPECT_EQ(print.FirstRow, c.first);
        EXPECT_EQ(print.LastRow, c.last);
    }
}

TEST_P(DataRowsTest, APeriodBetweenTwoRowsIsNotInTheData) {
    InsertDaily(kOneRowIssue, 20240120, {500.0, 520.0, 480.0, 510.0, 100.0});
    sink_.Expect(MsgKind::Info, kDtPeriodOutside);
    WithIssueTable(kOneRowIssue, [&](FRM_データ表& window) {
        SetPeriod(window, QDate(2024, 1, 10), QDate(2024, 1, 15));
        EXPECT_FALSE(window.ValidatePeriod());
        // The end moves up to a later start: the start is never after the end.
        Picker(window, "DPC_開始")->setDate(QDate(2024, 1, 18));
        EXPECT_EQ(Picker(window, "DPC_終了")->date(), QDate(2024, 1, 18));
    });
    EXPECT_TRUE(sink_.AllShown());
}

TEST_P(DataRowsTest, AChangeWhileTheCalendarIsOpenWaitsForItsClosing) {
    WithIssueTable(kLongIssue, [&](FRM_データ表& window) {
        SetPeriod(window, QDate(2024, 1, 10), QDate(2024, 1, 20));
        QDateEdit* start = Picker(window, "DPC_開始");
        QWidget* calendar = start->calendarWidget()->window();
        calendar->show();
        EXPECT_EQ(window.StartDroppedDown, -1);
        start->setDate(QDate(2024, 1, 25));
        EXPECT_EQ(Picker(window, "DPC_終了")->date(), QDate(2024, 1, 20));
        calendar->hide();
        EXPECT_EQ(window.StartDroppedDown, 0);
        EXPECT_EQ(Picker(window, "DPC_終了")->date(), QDate(2024, 1, 25));
        // And the other way: the start moves down to an earlier end.
        Picker(window, "DPC_終了")->setDate(QDate(2024, 1, 5));
        EXPECT_EQ(start->date(), QDate(2024, 1, 5));
    });
}

TEST_P(DataRowsTest, APeriodIsDeletedAndSaved) {
    sink_.Expect(MsgKind::OkCancel, kDtDeleteQuestion, kAnswerOk)
        .Expect(MsgKind::OkCancel, kDtChangedQuestion, kAnswerOk);
    WithIssueTable(kLongIssue, [&](FRM_データ表& window) {
        SetPeriod(window, QDate(2024, 1, 10), QDate(2024, 1, 20));
        window.CMD_Del_Click();
        FlexGrid& grid = window.Grid();
        ASSERT_EQ(grid.Rows(), 30);
        EXPECT_EQ(grid.TextMatrix(20, kDtColDate), "2024/01/21");
        EXPECT_EQ(grid.TextMatrix(21, kDtColDate), "2024/01/09");
        EXPECT_EQ(window.Rows().DeletedDates().size(), 11u);
        window.CMD_OK_Click();
    });
    EXPECT_TRUE(sink_.AllShown());
    EXPECT_EQ(StoredCount(kLongIssue), 29);
    EXPECT_TRUE(StoredRow(kLongIssue, 20240115).empty());
    EXPECT_FALSE(StoredRow(kLongIssue, 20240109).empty());
}

TEST_P(DataRowsTest, AddingGivesTodayOrTheNextCalendarDay) {
    WithIssueTable(kEmptyIssue, [&](FRM_データ表& window) {
        window.CMD_Add_Click();
        FlexGrid& grid = window.Grid();
        ASSERT_EQ(grid.Rows(), 2);
        EXPECT_EQ(grid.RowCells(1),
                  (FlexGrid::GridRow{"", "Add", "2024/03/01", "0", "0", "0", "0", "1"}));
        EXPECT_TRUE(grid.isEnabled());
        EXPECT_EQ(grid.Row(), 0) << "no data cell is current";
        EXPECT_FALSE(Enabled(window, "CMD_Del"));
    });
    WithIssueTable(kOneRowIssue, [&](FRM_データ表& window) {
        window.CMD_Add_Click();  // 2024/01/05 is a Friday: no day is skipped
        window.CMD_Add_Click();
        EXPECT_EQ(window.Grid().TextMatrix(1, kDtColDate), "2024/01/07");
        EXPECT_EQ(window.Grid().TextMatrix(2, kDtColDate), "2024/01/06");
        EXPECT_EQ(window.Grid().TextMatrix(3, kDtColDate), "2024/01/05");
    });
}

TEST_P(DataRowsTest, AChosenDateIsAddedOnceAndRetakesADeletedRow) {
    sink_.Expect(MsgKind::Warn, kDtDuplicateDate)
        .Expect(MsgKind::OkCancel, kDtDeleteQuestion, kAnswerOk)
        .Expect(MsgKind::OkCancel, kDtChangedQuestion, kAnswerOk);
    WithIssueTable(kOneRowIssue, [&](FRM_データ表& window) {
        Check(window, "CHK_Add")->click();
        EXPECT_TRUE(Picker(window, "DPC_Add")->isEnabled());
        Picker(window, "DPC_Add")->setDate(QDate(2024, 1, 5));
        window.CMD_Add_Click();
        ASSERT_EQ(window.Grid().Rows(), 2) << "a duplicate adds nothing";

        window.Grid().SetRow(1);
        window.CMD_Del_Click();
        EXPECT_EQ(window.Rows().DeletedDates(), std::vector<std::string>{"2024/01/05"});
        EXPECT_FALSE(window.Grid().isEnabled());
        EXPECT_FALSE(Enabled(window, "CMD_Del"));
        EXPECT_FALSE(Enabled(window, "CMD_Print"));

        window.CMD_Add_Click();
        ASSERT_EQ(window.Grid().Rows(), 2);
        EXPECT_EQ(window.Grid().TextMatrix(1, kDtColState), "Change");
        EXPECT_EQ(window.Rows().DeletedDates(), std::vector<std::string>{""});
        TypeValue(window, 1, kDtColClose, "600");
        window.CMD_OK_Click();
    });
    EXPECT_TRUE(sink_.AllShown());
    ASSERT_EQ(StoredCount(kOneRowIssue), 1) << "updated, not deleted and inserted";
    const std::vector<FieldValue> row = StoredRow(kOneRowIssue, 20240105);
    ASSERT_EQ(row.size(), 5u);
    EXPECT_EQ(row[3], FieldValue(600.0));
    EXPECT_EQ(row[4], FieldValue(1.0));
}

TEST_P(DataRowsTest, DeletingAddedRowsLeavesNoDeletedDates) {
    sink_.Expect(MsgKind::OkCancel, kDtDeleteQuestion, kAnswerOk);
    WithIssueTable(kOneRowIssue, [&](FRM_データ表& window) {
        window.CMD_Add_Click();
        window.CMD_Add_Click();
        window.Grid().SetRow(1);
        window.Grid().SetRowSel(2);
        window.CMD_Del_Click();
        EXPECT_TRUE(window.Rows().DeletedDates().empty());
        ASSERT_EQ(window.Grid().Rows(), 2);
        EXPECT_EQ(window.Grid().TextMatrix(1, kDtColDate), "2024/01/05");
    });
    EXPECT_TRUE(sink_.AllShown());
}

TEST_P(DataRowsTest, CancellingTheDeleteQuestionChangesNothing) {
    sink_.Expect(MsgKind::OkCancel, kDtDeleteQuestion, kAnswerCancel)
        .Expect(MsgKind::OkCancel, kDtDeleteQuestion, kAnswerCancel);
    WithIssueTable(kLongIssue, [&](FRM_データ表& window) {
        window.Grid().SetRow(3);
        window.Grid().SetRowSel(5);
        window.CMD_Del_Click();
        SetPeriod(window, QDate(2024, 1, 10), {});
        window.CMD_Del_Click();
        EXPECT_EQ(window.Grid().Rows(), 41);
        EXPECT_TRUE(window.Rows().DeletedDates().empty());
    });
    EXPECT_TRUE(sink_.AllShown());
}

TEST_P(DataRowsTest, TheMouseChoosesRowsOrACell) {
    WithIssueTable(kLongIssue, [&](FRM_データ表& window) {
        FlexGrid& grid = window.Grid();
        EXPECT_FALSE(Enabled(window, "CMD_Del"));
        SetPeriod(window, QDate(2024, 2, 1), {});
        ClickCell(window, 3, 0);  // the row header: whole rows, the period given up
        EXPECT_EQ(grid.Col(), kDtColState);
        EXPECT_FALSE(Check(window, "CHK_Period")->isChecked());
        EXPECT_FALSE(Check(window, "CHK_開始")->isEnabled());
        EXPECT_FALSE(Picker(window, "DPC_開始")->isEnabled());
        EXPECT_TRUE(Enabled(window, "CMD_Del"));
        EXPECT_TRUE(Enabled(window, "CMD_Print"));

        ClickCell(window, 4, kDtColOpen);  // a cell: no rows chosen
        EXPECT_FALSE(Enabled(window, "CMD_Del"));
        EXPECT_FALSE(Enabled(window, "CMD_Print"));

        // Just right of the row header's edge counts as the date column.
        const int edge = TwipsToPixels(grid.ColWidth(0));
        ClickCell(window, 5, 0, edge);
        EXPECT_EQ(grid.Row(), 5);
        EXPECT_EQ(grid.Col(), kDtColDate);
        EXPECT_FALSE(Enabled(window, "CMD_Del"));
    });
}

TEST_P(DataRowsTest, PrintingHandsOverTheSelectionOrSaysThereIsNoPrinter) {
    WithIssueTable(kLongIssue, [&](FRM_データ表& window) {
        window.Grid().SetRow(7);
        window.Grid().SetRowSel(4);
        window.CMD_Print_Click();
        EXPECT_EQ(printDialogs_, 1);
        EXPECT_EQ(printOwner_, &window);
        const PrintSettei& print = Settei().Record.PrintSettei;
        EXPECT_EQ(print.PrintCaller, "FRM_データ表");
        EXPECT_EQ(print.FirstRow, 4);
        EXPECT_EQ(print.LastRow, 7);

        SetPrinterSource([] { return InstalledPrinters{}; });
        sink_.Expect(MsgKind::Info, kNoPrinterMessage);
        window.CMD_Print_Click();
        EXPECT_EQ(printDialogs_, 1);
    });
    EXPECT_TRUE(sink_.AllShown());
}

TEST_P(DataRowsTest, ATextFilesSeriesIsListedReadOnly) {
    std::vector<SeriesPoint> bars(3);
    const char* dates[] = {"2023/12/28", "2023/12/29", "2024/01/04"};
    for (size_t i = 0; i < bars.size(); ++i) {
        bars[i].DateText = DateLabel(dates[i]);
        bars[i].Open = 1234.5 + static_cast<double>(i);
        bars[i].High = 1300.25;
        bars[i].Low = 1200;
        bars[i].Close = 1250.75;
        bars[i].Volume = 15000;
    }
    Series().TextDataSeries = bars;
    Series().TextDataCount = 3;
    TextData().TextDataMode = -1;
    TextData().TextDataTitle = "sample.txt";
    WithIssueTable(kLongIssue, [&](FRM_データ表& window) {
        FlexGrid& grid = window.Grid();
        ASSERT_EQ(grid.Rows(), 4);
        EXPECT_EQ(grid.RowCells(1), (FlexGrid::GridRow{"", "", "2024/01/04", "1,236.5", "1,300.25",
                                                       "1,200", "1,250.75", "15,000"}));
        EXPECT_EQ(grid.TextMatrix(3, kDtColDate), "2023/12/28");
        EXPECT_EQ(grid.Row(), 1);
        EXPECT_EQ(grid.Col(), kDtColDate);
        EXPECT_EQ(Label(window, "LBL_Name"), "sample.txt");
        EXPECT_EQ(Label(window, "LBL_位置"), "1");
        EXPECT_EQ(Label(window, "LBL_選択数"), "1");
        for (const char* name : {"CMD_Add", "CMD_Del", "CHK_Add", "CHK_Period", "CHK_開始",
                                 "CHK_終了", "DPC_Add", "DPC_開始", "DPC_終了", "UPD_Name"})
            EXPECT_FALSE(window.findChild<QWidget*>(QString::fromUtf8(name))->isEnabled()) << name;
        EXPECT_TRUE(Enabled(window, "CMD_Print"));

        grid.SetCol(kDtColOpen);
        window.FGR_日次_DblClick();
        EXPECT_FALSE(TextEditor(window)->isVisible());
        ClickCell(window, 2, 0);  // whole rows: no button changes in this view
        EXPECT_FALSE(Enabled(window, "CMD_Del"));
        grid.SetRow(1);
        grid.SetRowSel(2);
        window.CMD_Print_Click();
        EXPECT_EQ(Settei().Record.PrintSettei.FirstRow, 1);
        EXPECT_EQ(Settei().Record.PrintSettei.LastRow, 2);
        window.CMD_OK_Click();  // nothing to save, nothing asked
        EXPECT_FALSE(window.isVisible());
    });
    EXPECT_EQ(printDialogs_, 1);
    EXPECT_TRUE(sink_.Shown().empty());
    EXPECT_EQ(StoredCount(kLongIssue), 40);
}

TEST_P(DataRowsTest, TheChosenRowsArePrintedToThePdfPrinter) {
    TempAppFolder folder;
    SetPrinterSource([] { return InstalledPrinters{{{kPdfPrinterName, true}}, kPdfPrinterName}; });
    InitPrintSettei();
    PrintSettei& saved = Settei().Record.PrintSettei;
    saved.CBO_Printer = 0;
    saved.OPT_縦 = -1;
    saved.OPT_Choice = -1;
    saved.TXT_Count = 1;
    Selection().Routines.ShowPrintDialog = ShowPrintDialog;
    sink_.Expect(MsgKind::OkCancel, kStartPrintSettingsQuestion, kAnswerOk);
    WithIssueTable(kLongIssue, [&](FRM_データ表& window) {
        SetPeriod(window, QDate(2024, 2, 6), QDate(2024, 2, 7));
        bool answered = false;
        AnswerNextModalNamed(QString::fromUtf8(kPrintDialogName), [&](QWidget* modal) {
            auto* dialog = dynamic_cast<FRM_印刷*>(modal);
            ASSERT_NE(dialog, nullptr);
            answered = true;
            dialog->CMD_OK_Click();
        });
        window.CMD_Print_Click();
        EXPECT_TRUE(answered);
    });
    EXPECT_TRUE(sink_.AllShown());
    ASSERT_TRUE(QFile::exists(QString::fromStdString(folder.File(kPdfPrintFileName))));
    QProcess text;
    text.start("pdftotext",
               {"-layout", QString::fromStdString(folder.File(kPdfPrintFileName)), "-"});
    text.waitForFinished(60000);
    const std::string printed = text.readAllStandardOutput().toStdString();
    EXPECT_NE(printed.find("2024/02/07"), std::string::npos) << printed;
    EXPECT_NE(printed.find("2024/02/06"), std::string::npos);
    EXPECT_EQ(printed.find("2024/02/08"), std::string::npos);
    EXPECT_EQ(printed.find("2024/02/05"), std::string::npos);
}

}  // namespace
