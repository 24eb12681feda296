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

// The file in the program's folder that the next PDF document is written to: "print.pdf"
// when neither it nor any "print-N.pdf" is there, else "print-N.pdf" with N one above the
// highest number there ("print.pdf" counting as 1). An earlier job's file is never
// written over, and the newest document always has the highest number.
std::string NextPdfPrintFile();

// Points a printer at the named device; a name no installed printer has (the "PDF"
// entry) makes it write kPdfPrintFileName in the program's folder.
void SelectPrinter(QPrinter& printer, const std::string& name);
