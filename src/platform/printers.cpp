#include "platform/printers.h"

#include <QPrinter>
#include <QPrinterInfo>

#include "platform/app_path.h"

namespace {

std::function<InstalledPrinters()>& Source() {
    static std::function<InstalledPrinters()> source;
    return source;
}

InstalledPrinters PlatformPrinters() {
    InstalledPrinters list;
    for (const QPrinterInfo& info : QPrinterInfo::availablePrinters())
        list.Printers.push_back({info.printerName().toStdString(), info.isDefault()});
    list.DefaultName = QPrinterInfo::defaultPrinterName().toStdString();
    if (list.Printers.empty()) list = {{{kPdfPrinterName, true}}, kPdfPrinterName};
    return list;
}

}  // namespace

InstalledPrinters QueryPrinters() {
    return Source() ? Source()() : PlatformPrinters();
}

void SetPrinterSource(std::function<InstalledPrinters()> source) {
    Source() = std::move(source);
}

void SelectPrinter(QPrinter& printer, const std::string& name) {
    const QString device = QString::fromStdString(name);
    if (!QPrinterInfo::printerInfo(device).isNull()) {
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setPrinterName(device);
        return;
    }
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(AppPath() + kPdfPrintFileName));
}
