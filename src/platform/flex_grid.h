#pragma once
// The grid every list window shows: a table addressed by row and column, row 0 being
// the header when FixedRows is 1, filled with whole rows of TAB-separated text.
//
// The cells live in one vector of rows (no item object per cell), so a list of thousands
// of issues fills at once. While Redraw is off the view is not told about added, removed
// or reordered rows; turning Redraw back on publishes the new shape in one step.
//
// Sizes and positions are in twips, as the layouts give them; a column width of 0 hides
// the column but keeps its cells, which the code reads back as keys.
#include <QTableView>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

class FlexGridModel;

// Column alignment, with the values of the grid's alignment constants.
enum class FlexAlign : int {
    LeftCenter = 1,
    CenterCenter = 4,
    RightCenter = 7,
    General = 9,  // numbers right, other texts left
};

// The grid's sort kinds, with the values of its sort constants.
enum class FlexSort : int {
    GenericAscending = 1,
    GenericDescending = 2,
    NumericAscending = 3,
    NumericDescending = 4,
    StringNoCaseAscending = 5,
    StringNoCaseDescending = 6,
    StringAscending = 7,
    StringDescending = 8,
};

// One sort key of a cell. The order is total: empty, then numbers by value, then other
// texts. The grid's own "generic" order compares two numbers as numbers and anything else
// as text, which is not transitive on a column mixing both; this one is, and it agrees
// with it on a column of one kind.
struct GridSortKey {
    int rank = 0;          // 0 empty, 1 number, 2 other text
    double number = 0;     // rank 1
    std::string text;      // rank 2: code page 932 bytes (folded to lower case for no-case)
    std::string_view raw;  // the cell's own text, the last word between keys
};
GridSortKey MakeGridSortKey(std::string_view cell, FlexSort kind);
// < 0, 0, > 0; 0 only for identical cell texts.
int CompareGridSortKeys(const GridSortKey& a, const GridSortKey& b);
bool IsDescending(FlexSort kind);
// A cell that reads as a number: optional blanks, sign, digits (thousands separators
// allowed in the whole part) with one point, exponent.
bool ReadGridNumber(std::string_view text, double& value);

// The error a wrong row or column raises; callers that trap it show its description.
class FlexGridError : public std::out_of_range {
  public:
    FlexGridError() : std::out_of_range("Subscript out of range") {}
};

class FlexGrid : public QTableView {
    Q_OBJECT
  public:
    using GridRow = std::vector<std::string>;

    explicit FlexGrid(QWidget* parent = nullptr);
    ~FlexGrid() override;

    // --- shape
    int Rows() const;
    void SetRows(int rows);  // new rows are empty; fewer rows drop the last ones
    int Cols() const;
    void SetCols(int cols);
    int FixedRows() const { return fixedRows_; }
    void SetFixedRows(int fixed);  // 0 or 1: row 0 is shown as the header when 1
    int FixedCols() const { return fixedCols_; }
    void SetFixedCols(int fixed);  // drawn in the header colour; they scroll with the rest

    // --- cells
    const std::string& TextMatrix(int row, int col) const;  // throws FlexGridError
    void SetTextMatrix(int row, int col, std::string text);
    const GridRow& RowCells(int row) const;
    // Appends one row (or inserts it at `index`); TAB separates the cells, missing cells
    // stay empty and cells beyond Cols are dropped.
    void AddItem(std::string_view tabText);
    void AddItem(std::string_view tabText, int index);
    // Replaces every row after the fixed ones by count rows whose texts source gives (for
    // 0 to count - 1, each resized to Cols) the first time anything reads or writes the row:
    // one change for the view however many rows come, and the texts made only of the rows
    // that are shown or asked for. The source is asked while the grid lives, so it has to
    // give what the rows hold at that time. A change that moves rows or their cells
    // (inserting, removing, sorting, another number of columns, clearing) first takes the
    // texts of every row still to come.
    using RowSource = std::function<GridRow(int scrollingRow)>;
    void SetScrollingRows(int count, RowSource source);
    void RemoveItem(int row);
    // Empties every cell; Rows and Cols stay.
    void Clear();

    // --- columns (twips)
    int ColWidth(int col) const;  // the width on screen, 0 for a hidden column
    void SetColWidth(int col, int twips);
    FlexAlign ColAlignment(int col) const;
    void SetColAlignment(int col, FlexAlign align);
    // Alignment of the fixed (header) cells of a column.
    void SetFixedAlignment(int col, FlexAlign align);
    FlexAlign FixedAlignment(int col) const;
    // Twips; row 0 is the header row when FixedRows is 1. The data rows share one height.
    int RowHeight(int row) const;
    void SetRowHeight(int row, int twips);
    // Whether the user may drag column edges wider or narrower.
    bool AllowUserResizing() const { return allowResizing_; }
    void SetAllowUserResizing(bool allow);

    // --- current cell and selection (rows and columns from 0)
    int Row() const { return row_; }
    void SetRow(int row);  // also collapses RowSel onto it
    int Col() const { return col_; }
    void SetCol(int col);  // also collapses ColSel onto it
    int RowSel() const { return rowSel_; }
    void SetRowSel(int row);  // selects the block Row..RowSel
    int ColSel() const { return colSel_; }
    void SetColSel(int col);
    // Whole rows are selected (the list grids) or single cells (the editing grids).
    void SetSelectionByRow(bool byRow);

    // --- scrolling
    int TopRow() const;  // the first scrollable row shown
    // Scrolls so that `row` is the top row as far as the rows below allow.
    // Throws FlexGridError for a row outside FixedRows..Rows-1.
    void SetTopRow(int row);
    int LeftCol() const;  // the first column at the left edge

    // --- drawing
    bool Redraw() const { return redraw_; }
    void SetRedraw(bool on);
    // Colours as colour numbers (red in the low byte).
    uint32_t BackColor() const { return backColor_; }
    void SetBackColor(uint32_t colour);
    uint32_t BackColorSel() const { return backColorSel_; }
    void SetBackColorSel(uint32_t colour);
    uint32_t ForeColorSel() const { return foreColorSel_; }
    void SetForeColorSel(uint32_t colour);
    // Colours of one cell; a cell never given one shows the grid's background and black
    // text. They travel with their row when rows are added, removed or sorted; Clear and
    // new rows have none.
    uint32_t CellBackColor(int row, int col) const;
    void SetCellBackColor(int row, int col, uint32_t colour);
    uint32_t CellForeColor(int row, int col) const;
    void SetCellForeColor(int row, int col, uint32_t colour);

    // --- geometry (twips): the control and its current cell, relative to the control
    int Height() const;
    int Width() const;
    int CellLeft() const;
    int CellTop() const;
    int CellWidth() const;
    int CellHeight() const;

    // --- sorting
    // Reorders the data rows first..last so that new position i holds the row that was
    // at first + order[i]; `order` is a permutation of 0 .. last - first.
    void ReorderRows(int first, const std::vector<int>& order);
    // Sorts the data rows first..last by one column, stably.
    void SortRows(int first, int last, int col, FlexSort kind);

  signals:
    // Mouse positions in twips relative to the control, header row included.
    void MouseDown(int button, int shift, double x, double y);
    void MouseMove(int button, int shift, double x, double y);
    void MouseUp(int button, int shift, double x, double y);
    void DblClick();
    // Key codes as the platform's virtual keys: 13 Enter, 32 Space, letters upper case.
    void KeyDown(int keyCode, int shift);
    // The current cell changed (by the user or the code).
    void EnterCell();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    void CheckRow(int row) const;
    void CheckCol(int col) const;
    void StructureChanged();  // rows added, removed or moved
    void Publish();           // tells the view the current shape
    void SyncSelectionToView();
    void SyncSelectionFromView();
    void ApplyColumnToView(int col);
    void ApplyPalette();
    QModelIndex ViewIndex(int row, int col) const;
    QPointF TwipsInControl(QWidget* source, QPointF pos) const;
    void EmitMouse(QWidget* source, QMouseEvent* event);

    // A cell's own colours; kNoColour where it has none.
    struct CellColours {
        uint32_t back = kNoColour;
        uint32_t fore = kNoColour;
    };
    static constexpr uint32_t kNoColour = 0xFFFFFFFF;
    const CellColours* ColoursOf(int row, int col) const;
    CellColours& ColoursFor(int row, int col);

    friend class FlexGridModel;
    // The row with its texts made, when it is one of the source's still to come.
    GridRow& MadeRow(int row) const;
    // Every row still to come made, and the source let go.
    void MakeEveryRow();
    // A row of the source still to come is empty; once made it has Cols cells.
    mutable std::vector<GridRow> cells_;
    RowSource source_;
    int sourceFirstRow_ = 0;  // the row the source's row 0 is
    // One entry per row, beside cells_; a row without colours has an empty vector.
    std::vector<std::vector<CellColours>> colours_;
    int cols_ = 2;
    int fixedRows_ = 1;
    int fixedCols_ = 1;
    std::vector<int> widthTwips_;  // -1: the default width
    std::vector<FlexAlign> align_;
    std::vector<int> fixedAlign_;  // 0: as the column
    int row_ = 1;
    int col_ = 1;
    int rowSel_ = 1;
    int colSel_ = 1;
    bool byRow_ = false;
    bool redraw_ = true;
    bool pending_ = false;  // a shape change waits for Redraw
    bool syncing_ = false;
    bool allowResizing_ = true;
    bool resizingColumn_ = false;  // a column border is being dragged in the header
    int headerHeight_ = -1;        // twips; -1: as the header needs
    uint32_t backColor_ = 0xFFFFFF;
    uint32_t backColorSel_ = 0x6A240A;  // the platform's highlight
    uint32_t foreColorSel_ = 0xFFFFFF;
    FlexGridModel* model_ = nullptr;
};
