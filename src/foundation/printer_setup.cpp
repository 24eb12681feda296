#include "foundation/printer_setup.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>

#include "foundation/settings.h"
#include "platform/printers.h"

namespace {

QPrinter::PaperSource ToPaperSource(int bin) {
    switch (bin) {
        case kBinManual:
            return QPrinter::Manual;
        case kBinAuto:
            return QPrinter::Auto;
        default:
            return QPrinter::CustomSource;
    }
}

// The current printer as a set-up device. A PDF file has one paper path: every bin is
// taken, while paper size and orientation apply to it as to a real printer.
class QtPrinterDevice final : public PrinterSetupDevice {
  public:
    explicit QtPrinterDevice(QPrinter& printer) : printer_(printer) {}

    void Select(const std::string& name) override {
        // The printer refuses to change device while a document is open on it, so the
        // document in progress is ended first.
        EndDocument();
        if (!name.empty()) SelectPrinter(printer_, name);
    }

    void EndDocument() override {
        QPainter*& document = PrinterSetup().Document;
        if (document != nullptr && document->isActive()) document->end();
        document = nullptr;
    }

    bool SetPaperSize(int paper) override {
        const QPageSize size(paper == kPaperA3 ? QPageSize::A3 : QPageSize::A4);
        return printer_.setPageSize(size) && PaperSize() == paper;
    }

    bool SetPaperBin(int bin) override {
        if (printer_.outputFormat() == QPrinter::PdfFormat) return true;
        const QPrinter::PaperSource source = ToPaperSource(bin);
        printer_.setPaperSource(source);
        return printer_.paperSource() == source;
    }

    bool SetOrientation(int orientation) override {
        return printer_.setPageOrientation(orientation == kPortrait ? QPageLayout::Portrait
                                                                    : QPageLayout::Landscape);
    }

    int PaperSize() const override {
        switch (printer_.pageLayout().pageSize().id()) {
            case QPageSize::A4:
                return kPaperA4;
            case QPageSize::A3:
                return kPaperA3;
            default:
                return 0;
        }
    }

    int Orientation() const override {
        return printer_.pageLayout().orientation() == QPageLayout::Portrait ? kPortrait
                                                                            : kLandscape;
    }

  private:
    QPrinter& printer_;
};

}  // namespace

QPrinter& CurrentPrinter() {
    std::unique_ptr<QPrinter>& printer = PrinterSetup().Printer;
    if (!printer) printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer;
}

int CurrentPaperSize() {
    return QtPrinterDevice(CurrentPrinter()).PaperSize();
}

int CurrentOrientation() {
    return QtPrinterDevice(CurrentPrinter()).Orientation();
}

int32_t RowsPerPage(int paper, int orientation) {
    if (paper == kPaperA4 && orientation == kLandscape) return 32;
    if (paper == kPaperA3 && orientation == kPortrait) return 82;
    return 53;  // A4 portrait, A3 landscape and anything else
}

int32_t SetUpPrinter(PrinterSetupDevice& device, const PrinterChoice& choice, bool osVersionFlag) {
    device.Select(choice.PrinterName);
    device.EndDocument();
    device.SetPaperSize(choice.CBO_Size == 0 ? kPaperA4 : kPaperA3);
    if (choice.CBO_方法 == 0) {
        if (!device.SetPaperBin(kBinAuto)) device.SetPaperBin(kBinManual);
    } else if (!device.SetPaperBin(kBinManual)) {
        if (!osVersionFlag || !device.SetPaperBin(kBinDriverManual)) device.SetPaperBin(kBinAuto);
    }
    device.SetOrientation(choice.OPT_縦 == -1 ? kPortrait : kLandscape);
    return RowsPerPage(device.PaperSize(), device.Orientation());
}

PrinterChoice PrinterChoiceOf(const PrintSettei& settings, const std::vector<std::string>& names) {
    PrinterChoice choice;
    const int index = settings.CBO_Printer;
    if (index >= 0 && index < static_cast<int>(names.size())) choice.PrinterName = names[index];
    choice.CBO_Size = settings.CBO_Size;
    choice.CBO_方法 = settings.CBO_方法;
    choice.OPT_縦 = settings.OPT_縦;
    return choice;
}

void SetPrinterDefaults(const PrintSettei& settings) {
    const PrinterChoice choice = PrinterChoiceOf(settings, Settei().PrinterNames);
    QtPrinterDevice device(CurrentPrinter());
    PrinterSetupState& state = PrinterSetup();
    state.Drawing = PrinterDrawingDefaults{};
    state.PrintRowsPerPage = SetUpPrinter(device, choice, state.OsVersionFlag != 0);
}
