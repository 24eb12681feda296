// ctest-labels: grid
#include "foundation/printer_setup.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <set>
#include <string>
#include <vector>

#include "foundation/settings.h"
#include "platform/printers.h"
#include "support/temp_folder.h"

namespace {

// A printer that refuses the paper sizes and bins it is told to.
class FakePrinter final : public PrinterSetupDevice {
  public:
    std::set<int> refusedSizes, refusedBins;
    std::vector<int> binsTried;
    std::string selected;
    int paper = kPaperA4, bin = 0, orientation = kPortrait;
    bool ended = false;

    void Select(const std::string& name) override { selected = name; }
    void EndDocument() override { ended = true; }
    bool SetPaperSize(int size) override {
        if (refusedSizes.count(size)) return false;
        paper = size;
        return true;
    }
    bool SetPaperBin(int value) override {
        binsTried.push_back(value);
        if (refusedBins.count(value)) return false;
        bin = value;
        return true;
    }
    bool SetOrientation(int value) override {
        orientation = value;
        return true;
    }
    int PaperSize() const override { return paper; }
    int Orientation() const override { return orientation; }
};

}  // namespace

TEST(PrinterSetup, RowsPerPageFollowWhatThePrinterAccepted) {
    struct Case {
        int16_t size, feed, portrait;
        std::set<int> refusedSizes, refusedBins;
        bool osVersionFlag;
        std::vector<int> binsTried;
        int32_t rows;
    };
    const std::vector<Case> cases = {
        {0, 0, -1, {}, {}, false, {kBinAuto}, 53},
        {0, 0, 0, {}, {}, false, {kBinAuto}, 32},
        {1, 0, -1, {}, {}, false, {kBinAuto}, 82},
        {1, 0, 0, {}, {}, false, {kBinAuto}, 53},
        // No A3 on this printer: it keeps A4, and A4 portrait gives 53.
        {1, 0, -1, {kPaperA3}, {}, false, {kBinAuto}, 53},
        {0, 0, -1, {}, {kBinAuto}, false, {kBinAuto, kBinManual}, 53},
        {0, 1, -1, {}, {}, false, {kBinManual}, 53},
        {0, 1, -1, {}, {kBinManual}, false, {kBinManual, kBinAuto}, 53},
        // Manual feed refused as 4 and as 265: the automatic bin, and the set-up completes.
        {0,
         1,
         0,
         {},
         {kBinManual, kBinDriverManual},
         true,
         {kBinManual, kBinDriverManual, kBinAuto},
         32},
        {0, 1, -1, {}, {kBinManual}, true, {kBinManual, kBinDriverManual}, 53},
    };
    for (const Case& test : cases) {
        FakePrinter printer;
        printer.refusedSizes = test.refusedSizes;
        printer.refusedBins = test.refusedBins;
        const PrinterChoice choice{"Office", test.size, test.feed, test.portrait};
        EXPECT_EQ(SetUpPrinter(printer, choice, test.osVersionFlag), test.rows);
        EXPECT_EQ(printer.binsTried, test.binsTried);
        EXPECT_EQ(printer.selected, "Office");
        EXPECT_TRUE(printer.ended);
    }
}

TEST(PrinterSetup, PdfPrinterTakesPaperAndOrientation) {
    TempAppFolder folder;
    Settei().PrinterNames = {kPdfPrinterName};
    PrintSettei settings;
    settings.CBO_Size = 1;
    settings.OPT_縦 = -1;
    SetPrinterDefaults(settings);
    EXPECT_EQ(PrinterSetup().PrintRowsPerPage, 82);
    EXPECT_EQ(CurrentPrinter().outputFileName().toStdString(), folder.File(kPdfPrintFileName));
    EXPECT_EQ(CurrentPrinter().outputFormat(), QPrinter::PdfFormat);
    EXPECT_EQ(CurrentPrinter().pageLayout().pageSize().id(), QPageSize::A3);

    // A document still open on the printer is ended before the new set-up, which then
    // points the printer at the chosen one again although the open document had it
    // writing elsewhere.
    CurrentPrinter().setOutputFileName(QString::fromStdString(folder.File("other.pdf")));
    QPainter document(&CurrentPrinter());
    ASSERT_TRUE(document.isActive());
    PrinterSetup().Document = &document;
    settings.CBO_Size = 0;
    settings.CBO_方法 = 1;
    settings.OPT_縦 = 0;
    SetPrinterDefaults(settings);
    EXPECT_FALSE(document.isActive());
    EXPECT_EQ(CurrentPrinter().outputFileName().toStdString(), folder.File(kPdfPrintFileName));
    EXPECT_EQ(PrinterSetup().PrintRowsPerPage, 32);
    EXPECT_EQ(CurrentPrinter().pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_EQ(PrinterSetup().Drawing.FontName, "ＭＳ 明朝");
}

TEST(PrinterSetup, ChoiceTakesThePrinterAtItsIndex) {
    PrintSettei settings;
    settings.CBO_Printer = 1;
    settings.CBO_方法 = 1;
    const std::vector<std::string> names = {"Office", "PDF"};
    EXPECT_EQ(PrinterChoiceOf(settings, names).PrinterName, "PDF");
    EXPECT_EQ(PrinterChoiceOf(settings, names).CBO_方法, 1);
    settings.CBO_Printer = 2;  // off the list: the current printer stays
    EXPECT_EQ(PrinterChoiceOf(settings, names).PrinterName, "");
    FakePrinter printer;
    SetUpPrinter(printer, PrinterChoiceOf(settings, names), false);
    EXPECT_EQ(printer.selected, "");
}
