#pragma once
// The installed printers, behind a seam that tests fill with a fake list. On a machine
// without printers the list holds one entry "PDF", which prints to a PDF file in the
// program's folder, so printing works everywhere.
#include <functional>
#include <string>
#include <vector>

class QPrinter;

struct PrinterEntry {
    std::string Name;       // device name
    bool DefaultAttribute;  // the printer's own attributes mark it as the default
};

struct InstalledPrinters {
    std::vector<PrinterEntry> Printers;  // in the platform's order
    std::string DefaultName;             // the system's default printer; "" when unknown
};

constexpr const char* kPdfPrinterName = "PDF";
constexpr const char* kPdfPrintFileName = "print.pdf";

// The printers of the machine, or of the source a test installed.
InstalledPrinters QueryPrinters();
// Installs a source of printer lists; an empty function restores the platform's.
void SetPrinterSource(std::function<InstalledPrinters()> source);

// Points a printer at the named device; a name no installed printer has (the "PDF"
// entry) makes it write kPdfPrintFileName in the program's folder.
void SelectPrinter(QPrinter& printer, const std::string& name);
