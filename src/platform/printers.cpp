#include "platform/printers.h"

#include <QDir>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <algorithm>

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

std::string NextPdfPrintFile() {
    const QDir folder(QString::fromStdString(AppPath()));
    static const QRegularExpression numbered(QStringLiteral("^print-([1-9][0-9]{0,8})\\.pdf$"));
    int highest = folder.exists(QString::fromUtf8(kPdfPrintFileName)) ? 1 : 0;
    for (const QString& name : folder.entryList({QStringLiteral("print-*.pdf")}, QDir::Files)) {
        const QRegularExpressionMatch match = numbered.match(name);
        if (match.hasMatch()) highest = std::max(highest, match.captured(1).toInt());
    }
    if (highest == 0) return AppPath() + kPdfPrintFileName;
    return AppPath() + "print-" + std::to_string(highest + 1) + ".pdf";
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
