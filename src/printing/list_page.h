#pragma once
// The page frame every printed list shares: character units (x in widths of 120 twips,
// y in lines of 240 twips, from the top left of the printable area), the metrics of each
// paper, the page stamp, and the print run that breaks the rows into pages, one document
// per copy.
#include <QDateTime>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct PrintSettei;
class Surface;
class QWidget;

// The width allowed for one character of the list font, in x units.
constexpr double ListCharWidth = 0.8405;

struct ListMetrics {
    double OffsetX = 0;
    double Width = 0;
};
// The metrics of A4 and A3 in either orientation; none for any other paper.
std::optional<ListMetrics> ListMetricsFor(int paper, int orientation);
// The right edge of the page stamp; none for a paper other than A4 and A3.
std::optional<double> StampRightEdge(int paper, int orientation);
// "yyyy/mm/dd hh:mm", two blanks, page index + 1, " / ", page count.
std::string ListStampText(const QDateTime& time, int32_t pageIndex, int32_t pageCount);
// The x at which a text ends 0.5 left of the rule: rule − L × ListCharWidth − 0.5.
double RightAlignedX(double rule, const std::string& text);
// A name column's text: widened to full width, then cut to limit characters, or filled
// with two half-width blanks for every character it lacks, so that what follows keeps its
// place in any font.
std::string FitListName(const std::string& name, int32_t limit);

struct PlacedText {
    double X = 0;
    std::string Text;
    bool operator==(const PlacedText&) const = default;
};

// A list page as the list printers draw on it. A document begins with the first drawing
// and every new page only when something is drawn on it, so a copy with nothing to print,
// or a page started just before the end, emits no sheet.
class ListPage {
  public:
    virtual ~ListPage() = default;
    // The set-up of copy n is done: the page starts anew.
    virtual void BeginCopy(int32_t copy) = 0;
    virtual void Text(double x, double y, const std::string& text) = 0;
    virtual void Line(double x1, double y1, double x2, double y2) = 0;
    virtual void Box(double x1, double y1, double x2, double y2) = 0;
    virtual void NewPage() = 0;
    virtual void EndDocument() = 0;
    // Ends the document at once after a failure; what it wrote is not kept.
    virtual void AbortDocument() = 0;
    virtual int PaperSize() const = 0;
    virtual int Orientation() const = 0;
};

// The current printer as a list page: the list font, the character scale, the printable
// area's corner as origin. With the "PDF" printer, copy n ≥ 2 goes to "print-n.pdf".
std::unique_ptr<ListPage> MakePrinterListPage();

// Sets ListPageOffsetX and ListPageWidth for the page's paper. Paper other than A4 and
// A3 keeps the values of the last A4 or A3 list, or takes A4 portrait's before any.
void SetListPageMetrics(const ListPage& page);
// The date-time and page stamp on line 5, ending at the paper's right edge.
void PrintListPageStamp(ListPage& page, int32_t pageIndex, int32_t pageCount);

// The ruled table of the lists drawn from line 7: the head of a page (title box with its
// rules, the list's title at (10, 5), the column titles and the stamp) and data row `line`
// of a page (its box, the rules from the page's first row down to it, its texts). The
// boxes end at ListPageWidth.
void PrintRuledListHead(ListPage& page, const std::string& title, const std::vector<double>& rules,
                        const std::vector<PlacedText>& titles, int32_t pageIndex,
                        int32_t pageCount);
void PrintRuledListRow(ListPage& page, int32_t line, const std::vector<double>& rules,
                       const std::vector<PlacedText>& texts);

// An open window by its name: the print dialog is modal over the window whose list it
// prints. nullptr when none is open.
QWidget* FindOpenWindow(const char* name);

// One list printer: its page head and its row (grid row, line r on the page from 1).
struct ListPrinter {
    bool SetsPageMetrics = true;
    std::function<void(ListPage&, int32_t pageIndex, int32_t pageCount)> PageHead;
    std::function<void(ListPage&, int32_t gridRow, int32_t line)> Row;
};

// The print run: for each copy the printer set-up, the rows first..last in pages of
// PrintRowsPerPage, each page opened by its head; a document per copy. A failure ends
// the document at once, nothing of it kept, and returns false with its description.
bool RunListPrint(ListPage& page, const ListPrinter& printer, int32_t firstRow, int32_t lastRow,
                  const PrintSettei& settings, std::string& error);
// The same on the current printer.
bool RunListPrint(const ListPrinter& printer, int32_t firstRow, int32_t lastRow,
                  const PrintSettei& settings, std::string& error);
