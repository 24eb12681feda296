#pragma once
// The printer set-up before every print job, lists and charts alike: the printer chosen
// in the print settings, paper size, paper bin, orientation and the drawing defaults,
// and the number of list rows that fit on a page of what the printer then reports.
#include <QPrinter>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "foundation/state.h"

class QPainter;
struct PrintSettei;

// The print-setting values the set-up reads.
struct PrinterChoice {
    std::string PrinterName;  // "" keeps the current printer
    int16_t CBO_Size = 0;     // 0 "A4", 1 "A3"
    int16_t CBO_方法 = 0;     // 0 "自動" (automatic bin), 1 "手差し" (manual feed)
    int16_t OPT_縦 = -1;      // -1 portrait
};

// Device-mode numbers of paper sizes, bins and orientations, as the lists expect them.
constexpr int kPaperA3 = 8;
constexpr int kPaperA4 = 9;
constexpr int kBinManual = 4;
constexpr int kBinAuto = 7;
constexpr int kBinDriverManual = 265;  // the manual feed some drivers of the NT family use
constexpr int kPortrait = 1;
constexpr int kLandscape = 2;

// One printer as the set-up sees it: each setting is accepted or refused.
class PrinterSetupDevice {
  public:
    virtual ~PrinterSetupDevice() = default;
    virtual void Select(const std::string& name) = 0;
    virtual void EndDocument() = 0;  // ends a document still in progress
    virtual bool SetPaperSize(int paper) = 0;
    virtual bool SetPaperBin(int bin) = 0;
    virtual bool SetOrientation(int orientation) = 0;
    virtual int PaperSize() const = 0;  // 0 for a size other than A4 and A3
    virtual int Orientation() const = 0;
};

QPrinter& CurrentPrinter();
// The paper size code (kPaperA4, kPaperA3, or 0 for any other) and the orientation code
// that the current printer reports.
int CurrentPaperSize();
int CurrentOrientation();

// List rows per page for the paper and orientation a printer reports.
int32_t RowsPerPage(int paper, int orientation);

// The set-up on one device. A setting the printer refuses is skipped and the next one
// runs; the row count follows what the printer accepted. Returns that row count.
int32_t SetUpPrinter(PrinterSetupDevice& device, const PrinterChoice& choice, bool osVersionFlag);

// The choice a print setting makes: the printer at CBO_Printer of the printer list
// (an index off the list keeps the current printer), paper, bin and orientation.
PrinterChoice PrinterChoiceOf(const PrintSettei& settings, const std::vector<std::string>& names);

// The set-up on the current printer, the printer list being PrinterNames of the settings;
// sets PrintRowsPerPage and the drawing defaults. The "PDF" entry of the list is a printer
// like the others: paper, orientation and rows per page apply to it.
void SetPrinterDefaults(const PrintSettei& settings);
