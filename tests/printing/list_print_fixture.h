#pragma once
// The whole issue list in the main frame with the printing commands installed, the PDF
// printer chosen, one copy in portrait and a fixed clock for the printed time.
#include <QDateTime>

#include "foundation/state.h"
#include "platform/printers.h"
#include "printing/commands.h"
#include "printing/state.h"
#include "views/chart_view_fixture.h"

class ListPrintFixture : public ChartViewFixture {
  protected:
    void SetUp() override {
        ChartViewFixture::SetUp();
        InstallPrintingCommands();
        Settei().PrinterNames = {kPdfPrinterName};
        Settei().PrintJob = PrintSettei{};
        Settei().PrintJob.OPT_縦 = -1;
        Settei().PrintJob.TXT_Count = 1;
        ListPrint().Clock = [] { return QDateTime(QDate(2024, 5, 1), QTime(9, 30)); };
    }
    std::string CodeOfRow(int row) { return SelectionWindow().Grid().TextMatrix(row, 2); }
};
