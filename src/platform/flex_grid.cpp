#include "platform/flex_grid.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>
#include <cctype>
#include <charconv>
#include <numeric>

#include "platform/cp932.h"
#include "platform/twips.h"

namespace {

constexpr int kDefaultColWidth = 960;  // twips, the grid's own default
constexpr int kDataRowHeight = 270;    // twips: one line of Japanese text

QColor FromColourNumber(uint32_t colour) {
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

Qt::Alignment ToQt(FlexAlign align, std::string_view text) {
    switch (align) {
        case FlexAlign::LeftCenter:
            return Qt::AlignLeft | Qt::AlignVCenter;
        case FlexAlign::CenterCenter:
            return Qt::AlignHCenter | Qt::AlignVCenter;
        case FlexAlign::RightCenter:
            return Qt::AlignRight | Qt::AlignVCenter;
        case FlexAlign::General:
            break;
    }
    double ignored = 0;
    return (ReadGridNumber(text, ignored) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

// The section whose border a header press at x grabs, as the header itself finds it for
// resizing: within the style's grip margin of a section's right edge, or of its left edge
// (which is the right edge of the nearest shown section before it); -1 elsewhere.
int BorderSectionAt(const QHeaderView& header, int x) {
    const int visual = header.visualIndexAt(x);
    if (visual < 0) return -1;
    const int logical = header.logicalIndex(visual);
    const int start = header.sectionViewportPosition(logical);
    const int grip = header.style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, &header);
    if (x < start + grip) {
        for (int v = visual - 1; v >= 0; --v) {
            const int before = header.logicalIndex(v);
            if (!header.isSectionHidden(before)) return before;
        }
        return -1;
    }
    return x > start + header.sectionSize(logical) - grip ? logical : -1;
}

// A left press (or double click) on a border the user may drag starts resizing a column.
bool StartsColumnResize(const QHeaderView& header, const QMouseEvent& event) {
    const bool press =
        event.type() == QEvent::MouseButtonPress || event.type() == QEvent::MouseButtonDblClick;
    if (!press || event.button() != Qt::LeftButton) return false;
    const int section = BorderSectionAt(header, static_cast<int>(event.position().x()));
    return section >= 0 && header.sectionResizeMode(section) == QHeaderView::Interactive;
}

int ShiftState(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}

int ButtonCode(Qt::MouseButtons buttons) {
    return (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0) |
           (buttons & Qt::MiddleButton ? 4 : 0);
}

// The platform's virtual key code of a key, for handlers written against those codes.
int VirtualKey(const QKeyEvent& event) {
    const int key = event.key();
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return '0' + (key - Qt::Key_0);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return 112 + (key - Qt::Key_F1);
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return 13;
        case Qt::Key_Backspace:
            return 8;
        case Qt::Key_Tab:
            return 9;
        case Qt::Key_Shift:
            return 16;
        case Qt::Key_Control:
            return 17;
        case Qt::Key_Alt:
            return 18;
        case Qt::Key_Escape:
            return 27;
        case Qt::Key_Space:
            return 32;
        case Qt::Key_PageUp:
            return 33;
        case Qt::Key_PageDown:
            return 34;
        case Qt::Key_End:
            return 35;
        case Qt::Key_Home:
            return 36;
        case Qt::Key_Left:
            return 37;
        case Qt::Key_Up:
            return 38;
        case Qt::Key_Right:
            return 39;
        case Qt::Key_Down:
            return 40;
        case Qt::Key_Insert:
            return 45;
        case Qt::Key_Delete:
            return 46;
        default:
            return 0;
    }
}

}  // namespace

// ---------------------------------------------------------------- sort keys

bool ReadGridNumber(std::string_view text, double& value) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    const bool plus = !text.empty() && text.front() == '+';
    if (plus) text.remove_prefix(1);  // from_chars takes no '+'
    const size_t first = !plus && !text.empty() && text.front() == '-' ? 1 : 0;
    // A digit or a point must start the number: "inf" and "nan" are texts here.
    if (first >= text.size()) return false;
    const auto lead = static_cast<unsigned char>(text[first]);
    if (!std::isdigit(lead) && lead != '.') return false;
    // Thousands separators after a digit of the whole part, as the typed numbers take
    // them: "-1,025.0" is a number, not a text that sorts by its characters.
    std::string plain(text.substr(0, first));
    size_t at = first;
    for (; at < text.size() &&
           (std::isdigit(static_cast<unsigned char>(text[at])) || (text[at] == ',' && at > first));
         ++at) {
        if (text[at] != ',') plain.push_back(text[at]);
    }
    plain.append(text.substr(at));
    const char* end = plain.data() + plain.size();
    const auto [ptr, ec] = std::from_chars(plain.data(), end, value);
    return ec == std::errc() && ptr == end;
}

bool IsDescending(FlexSort kind) {
    return static_cast<int>(kind) % 2 == 0;
}

GridSortKey MakeGridSortKey(std::string_view cell, FlexSort kind) {
    GridSortKey key;
    key.raw = cell;
    if (cell.empty()) return key;
    const bool textOnly = kind >= FlexSort::StringNoCaseAscending;
    if (!textOnly && ReadGridNumber(cell, key.number)) {
        key.rank = 1;
        return key;
    }
    key.rank = 2;
    // Code page 932 order is the order of the Japanese character set the users know.
    key.text = ToCp932(cell);
    if (kind == FlexSort::StringNoCaseAscending || kind == FlexSort::StringNoCaseDescending) {
        for (size_t i = 0; i < key.text.size(); ++i) {
            const auto byte = static_cast<unsigned char>(key.text[i]);
            const bool lead = (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
            if (lead) {
                ++i;  // the trail byte of a double-byte character is no letter
            } else if (byte >= 'A' && byte <= 'Z') {
                key.text[i] = static_cast<char>(byte - 'A' + 'a');
            }
        }
    }
    return key;
}

int CompareGridSortKeys(const GridSortKey& a, const GridSortKey& b) {
    if (a.rank != b.rank) return a.rank < b.rank ? -1 : 1;
    if (a.rank == 1 && a.number != b.number) return a.number < b.number ? -1 : 1;
    if (a.rank == 2) {
        const int byText = a.text.compare(b.text);
        if (byText != 0) return byText < 0 ? -1 : 1;
    }
    const int byRaw = a.raw.compare(b.raw);
    return byRaw < 0 ? -1 : (byRaw > 0 ? 1 : 0);
}

// ---------------------------------------------------------------- model

// The view's window on the row vector. It reports the shape it last published, so a
// grid whose Redraw is off can change its rows freely without the view seeing them.
class FlexGridModel : public QAbstractTableModel {
  public:
    explicit FlexGridModel(FlexGrid& grid) : QAbstractTableModel(&grid), grid_(grid) {}

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : rows_;
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : cols_;
    }

    QVariant data(const QModelIndex& index, int role) const override {
        const int row = index.row() + grid_.fixedRows_;
        const int col = index.column();
        const std::string* text = Cell(row, col);
        switch (role) {
            case Qt::DisplayRole:
                return text ? QString::fromStdString(*text) : QString();
            case Qt::TextAlignmentRole:
                return QVariant::fromValue(ToQt(grid_.align_[col], text ? *text : ""));
            case Qt::BackgroundRole:
                if (col < grid_.fixedCols_) return grid_.palette().button();
                return CellBrush(row, col, &FlexGrid::CellColours::back);
            case Qt::ForegroundRole:
                return CellBrush(row, col, &FlexGrid::CellColours::fore);
            default:
                return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || grid_.fixedRows_ == 0) return {};
        const std::string* text = Cell(0, section);
        if (role == Qt::DisplayRole) return text ? QString::fromStdString(*text) : QString();
        if (role == Qt::TextAlignmentRole) {
            return QVariant::fromValue(ToQt(grid_.FixedAlignment(section), text ? *text : ""));
        }
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

    void Reset() {
        beginResetModel();
        rows_ = std::max(0, static_cast<int>(grid_.cells_.size()) - grid_.fixedRows_);
        cols_ = grid_.cols_;
        endResetModel();
    }
    void BeginInsert(int modelRow) { beginInsertRows({}, modelRow, modelRow); }
    void EndInsert() {
        ++rows_;
        endInsertRows();
    }
    void CellChanged(int row, int col) {
        if (row < grid_.fixedRows_) {
            emit headerDataChanged(Qt::Horizontal, col, col);
            return;
        }
        const QModelIndex at = index(row - grid_.fixedRows_, col);
        if (at.isValid()) emit dataChanged(at, at);
    }
    void AllChanged() {
        if (rows_ > 0 && cols_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, cols_ - 1));
        if (cols_ > 0) emit headerDataChanged(Qt::Horizontal, 0, cols_ - 1);
    }

  private:
    QVariant CellBrush(int row, int col, uint32_t FlexGrid::CellColours::*which) const {
        const FlexGrid::CellColours* colours = grid_.ColoursOf(row, col);
        if (!colours || colours->*which == FlexGrid::kNoColour) return {};
        return QBrush(FromColourNumber(colours->*which));
    }
    const std::string* Cell(int row, int col) const {
        if (row < 0 || row >= static_cast<int>(grid_.cells_.size())) return nullptr;
        const auto& cells = grid_.MadeRow(row);
        return col >= 0 && col < static_cast<int>(cells.size()) ? &cells[col] : nullptr;
    }

    FlexGrid& grid_;
    int rows_ = 0;
    int cols_ = 0;
};

// ---------------------------------------------------------------- grid

FlexGrid::FlexGrid(QWidget* parent) : QTableView(parent) {
    cells_.assign(2, GridRow(cols_));
    colours_.resize(2);
    widthTwips_.assign(cols_, -1);
    align_.assign(cols_, FlexAlign::General);
    fixedAlign_.assign(cols_, 0);
    model_ = new FlexGridModel(*this);
    setModel(model_);
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(TwipsToPixels(kDataRowHeight));
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->viewport()->installEventFilter(this);
    horizontalHeader()->viewport()->setMouseTracking(true);
    viewport()->setMouseTracking(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    setWordWrap(false);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int col, int, int size) {
        if (syncing_ || col >= static_cast<int>(widthTwips_.size())) return;
        widthTwips_[col] = static_cast<int>(PixelsToTwips(size));
    });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { SyncSelectionFromView(); });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { SyncSelectionFromView(); });
    ApplyPalette();
    Publish();
}

FlexGrid::~FlexGrid() = default;

void FlexGrid::CheckRow(int row) const {
    if (row < 0 || row >= Rows()) throw FlexGridError();
}

void FlexGrid::CheckCol(int col) const {
    if (col < 0 || col >= cols_) throw FlexGridError();
}

int FlexGrid::Rows() const {
    return static_cast<int>(cells_.size());
}

void FlexGrid::SetRows(int rows) {
    if (rows < 0) throw FlexGridError();
    cells_.resize(rows, GridRow(cols_));
    colours_.resize(rows);
    StructureChanged();
}

int FlexGrid::Cols() const {
    return cols_;
}

void FlexGrid::SetCols(int cols) {
    if (cols < 0) throw FlexGridError();
    MakeEveryRow();
    cols_ = cols;
    for (auto& row : cells_) row.resize(cols);
    for (auto& row : colours_)
        if (!row.empty()) row.resize(cols);
    widthTwips_.resize(cols, -1);
    align_.resize(cols, FlexAlign::General);
    fixedAlign_.resize(cols, 0);
    StructureChanged();
}

void FlexGrid::SetFixedRows(int fixed) {
    if (fixed < 0 || fixed > 1) throw FlexGridError();
    fixedRows_ = fixed;
    horizontalHeader()->setVisible(fixed == 1);
    StructureChanged();
}

void FlexGrid::SetFixedCols(int fixed) {
    if (fixed < 0 || fixed > cols_) throw FlexGridError();
    fixedCols_ = fixed;
    model_->AllChanged();
}

const std::string& FlexGrid::TextMatrix(int row, int col) const {
    CheckRow(row);
    CheckCol(col);
    return MadeRow(row)[col];
}

void FlexGrid::SetTextMatrix(int row, int col, std::string text) {
    CheckRow(row);
    CheckCol(col);
    MadeRow(row)[col] = std::move(text);
    if (!pending_) model_->CellChanged(row, col);
}

const FlexGrid::GridRow& FlexGrid::RowCells(int row) const {
    CheckRow(row);
    return MadeRow(row);
}

void FlexGrid::AddItem(std::string_view tabText) {
    AddItem(tabText, Rows());
}

void FlexGrid::AddItem(std::string_view tabText, int index) {
    if (index < 0 || index > Rows()) throw FlexGridError();
    GridRow row(cols_);
    size_t start = 0;
    for (int col = 0; col < cols_; ++col) {
        const size_t tab = tabText.find('\t', start);
        row[col] = std::string(tabText.substr(start, tab - start));
        if (tab == std::string_view::npos) break;
        start = tab + 1;
    }
    if (index < Rows()) MakeEveryRow();
    const bool tellView = redraw_ && !pending_ && index >= fixedRows_;
    if (tellView) model_->BeginInsert(index - fixedRows_);
    cells_.insert(cells_.begin() + index, std::move(row));
    colours_.insert(colours_.begin() + index, std::vector<CellColours>());
    if (tellView) {
        model_->EndInsert();
    } else {
        StructureChanged();
    }
}

void FlexGrid::SetScrollingRows(int count, RowSource source) {
    if (count < 0) throw FlexGridError();
    const int fixed = std::min(fixedRows_, Rows());
    cells_.resize(static_cast<size_t>(fixed));
    colours_.resize(static_cast<size_t>(fixed));
    colours_.resize(static_cast<size_t>(fixed + count));
    if (cols_ == 0 || !source) {
        source_ = nullptr;
        cells_.resize(static_cast<size_t>(fixed + count), GridRow(cols_));
    } else {
        source_ = std::move(source);
        sourceFirstRow_ = fixed;
        cells_.resize(static_cast<size_t>(fixed + count));
    }
    StructureChanged();
}

FlexGrid::GridRow& FlexGrid::MadeRow(int row) const {
    GridRow& cells = cells_[static_cast<size_t>(row)];
    if (cells.empty() && source_ && row >= sourceFirstRow_ && cols_ > 0) {
        cells = source_(row - sourceFirstRow_);
        cells.resize(static_cast<size_t>(cols_));
    }
    return cells;
}

void FlexGrid::MakeEveryRow() {
    if (!source_) return;
    for (int row = sourceFirstRow_; row < Rows(); ++row) MadeRow(row);
    source_ = nullptr;
}

void FlexGrid::RemoveItem(int row) {
    CheckRow(row);
    MakeEveryRow();
    cells_.erase(cells_.begin() + row);
    colours_.erase(colours_.begin() + row);
    StructureChanged();
}

void FlexGrid::Clear() {
    source_ = nullptr;
    for (auto& row : cells_) row.assign(static_cast<size_t>(cols_), std::string());
    for (auto& row : colours_) row.clear();
    if (!pending_) model_->AllChanged();
}

int FlexGrid::ColWidth(int col) const {
    CheckCol(col);
    const int twips = widthTwips_[col] < 0 ? kDefaultColWidth : widthTwips_[col];
    return static_cast<int>(PixelsToTwips(TwipsToPixels(twips)));
}

void FlexGrid::SetColWidth(int col, int twips) {
    CheckCol(col);
    widthTwips_[col] = std::max(-1, twips);
    ApplyColumnToView(col);
}

FlexAlign FlexGrid::ColAlignment(int col) const {
    CheckCol(col);
    return align_[col];
}

void FlexGrid::SetColAlignment(int col, FlexAlign align) {
    CheckCol(col);
    align_[col] = align;
    if (!pending_) model_->AllChanged();
}

void FlexGrid::SetFixedAlignment(int col, FlexAlign align) {
    CheckCol(col);
    fixedAlign_[col] = static_cast<int>(align);
    if (!pending_) model_->AllChanged();
}

FlexAlign FlexGrid::FixedAlignment(int col) const {
    CheckCol(col);
    return fixedAlign_[col] == 0 ? align_[col] : static_cast<FlexAlign>(fixedAlign_[col]);
}

int FlexGrid::RowHeight(int row) const {
    CheckRow(row);
    if (row < fixedRows_) {
        if (headerHeight_ >= 0) return headerHeight_;
        return static_cast<int>(PixelsToTwips(horizontalHeader()->sizeHint().height()));
    }
    return static_cast<int>(PixelsToTwips(verticalHeader()->defaultSectionSize()));
}

void FlexGrid::SetRowHeight(int row, int twips) {
    CheckRow(row);
    if (row < fixedRows_) {
        headerHeight_ = static_cast<int>(PixelsToTwips(TwipsToPixels(twips)));
        horizontalHeader()->setFixedHeight(TwipsToPixels(twips));
        return;
    }
    verticalHeader()->setDefaultSectionSize(std::max(1, TwipsToPixels(twips)));
}

void FlexGrid::SetAllowUserResizing(bool allow) {
    allowResizing_ = allow;
    horizontalHeader()->setSectionResizeMode(allow ? QHeaderView::Interactive : QHeaderView::Fixed);
}

void FlexGrid::SetRow(int row) {
    CheckRow(row);
    const bool moved = row != row_;
    row_ = rowSel_ = row;
    SyncSelectionToView();
    if (moved) emit EnterCell();
}

void FlexGrid::SetCol(int col) {
    CheckCol(col);
    const bool moved = col != col_;
    col_ = colSel_ = col;
    SyncSelectionToView();
    if (moved) emit EnterCell();
}

void FlexGrid::SetRowSel(int row) {
    CheckRow(row);
    rowSel_ = row;
    SyncSelectionToView();
}

void FlexGrid::SetColSel(int col) {
    CheckCol(col);
    colSel_ = col;
    SyncSelectionToView();
}

void FlexGrid::SetSelectionByRow(bool byRow) {
    byRow_ = byRow;
    setSelectionBehavior(byRow ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
    SyncSelectionToView();
}

int FlexGrid::TopRow() const {
    if (pending_) const_cast<FlexGrid*>(this)->Publish();
    return verticalScrollBar()->value() + fixedRows_;
}

void FlexGrid::SetTopRow(int row) {
    if (row < fixedRows_ || row >= Rows()) throw FlexGridError();
    if (pending_) Publish();
    updateGeometries();
    verticalScrollBar()->setValue(row - fixedRows_);
}

int FlexGrid::LeftCol() const {
    const int at = horizontalHeader()->logicalIndexAt(0);
    return std::max(fixedCols_, at);
}

void FlexGrid::SetRedraw(bool on) {
    redraw_ = on;
    setUpdatesEnabled(on);
    if (on && pending_) Publish();
}

void FlexGrid::SetBackColor(uint32_t colour) {
    backColor_ = colour;
    ApplyPalette();
}

const FlexGrid::CellColours* FlexGrid::ColoursOf(int row, int col) const {
    if (row < 0 || row >= static_cast<int>(colours_.size())) return nullptr;
    const auto& colours = colours_[row];
    return col >= 0 && col < static_cast<int>(colours.size()) ? &colours[col] : nullptr;
}

FlexGrid::CellColours& FlexGrid::ColoursFor(int row, int col) {
    CheckRow(row);
    CheckCol(col);
    auto& colours = colours_[row];
    if (colours.empty()) colours.resize(cols_);
    return colours[col];
}

uint32_t FlexGrid::CellBackColor(int row, int col) const {
    CheckRow(row);
    CheckCol(col);
    const CellColours* colours = ColoursOf(row, col);
    return colours && colours->back != kNoColour ? colours->back : backColor_;
}

void FlexGrid::SetCellBackColor(int row, int col, uint32_t colour) {
    ColoursFor(row, col).back = colour;
    if (!pending_) model_->CellChanged(row, col);
}

uint32_t FlexGrid::CellForeColor(int row, int col) const {
    CheckRow(row);
    CheckCol(col);
    const CellColours* colours = ColoursOf(row, col);
    return colours && colours->fore != kNoColour ? colours->fore : 0;
}

void FlexGrid::SetCellForeColor(int row, int col, uint32_t colour) {
    ColoursFor(row, col).fore = colour;
    if (!pending_) model_->CellChanged(row, col);
}

void FlexGrid::SetBackColorSel(uint32_t colour) {
    backColorSel_ = colour;
    ApplyPalette();
}

void FlexGrid::SetForeColorSel(uint32_t colour) {
    foreColorSel_ = colour;
    ApplyPalette();
}

int FlexGrid::Height() const {
    return static_cast<int>(PixelsToTwips(height()));
}
int FlexGrid::Width() const {
    return static_cast<int>(PixelsToTwips(width()));
}

int FlexGrid::CellLeft() const {
    const QRect rect = visualRect(ViewIndex(row_, col_));
    return static_cast<int>(TwipsInControl(viewport(), rect.topLeft()).x());
}

int FlexGrid::CellTop() const {
    if (row_ < fixedRows_) return 0;
    const QRect rect = visualRect(ViewIndex(row_, col_));
    return static_cast<int>(TwipsInControl(viewport(), rect.topLeft()).y());
}

int FlexGrid::CellWidth() const {
    return ColWidth(col_);
}

int FlexGrid::CellHeight() const {
    return RowHeight(row_);
}

void FlexGrid::ReorderRows(int first, const std::vector<int>& order) {
    const int count = static_cast<int>(order.size());
    if (first < fixedRows_ || first + count > Rows()) throw FlexGridError();
    for (int i = 0; i < count; ++i)
        if (order[i] < 0 || order[i] >= count) throw FlexGridError();
    MakeEveryRow();
    const auto reorder = [&](auto& rows) {
        std::vector<typename std::decay_t<decltype(rows)>::value_type> moved(count);
        for (int i = 0; i < count; ++i) moved[i] = std::move(rows[first + order[i]]);
        std::move(moved.begin(), moved.end(), rows.begin() + first);
    };
    reorder(cells_);
    reorder(colours_);
    if (pending_ || !redraw_) {
        pending_ = true;
        return;
    }
    model_->AllChanged();
}

void FlexGrid::SortRows(int first, int last, int col, FlexSort kind) {
    CheckCol(col);
    if (first < fixedRows_ || last >= Rows()) throw FlexGridError();
    if (last <= first) return;
    std::vector<GridSortKey> keys;
    keys.reserve(last - first + 1);
    for (int row = first; row <= last; ++row)
        keys.push_back(MakeGridSortKey(MadeRow(row)[col], kind));
    std::vector<int> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    const int sign = IsDescending(kind) ? -1 : 1;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return sign * CompareGridSortKeys(keys[a], keys[b]) < 0;
    });
    ReorderRows(first, order);
}

void FlexGrid::StructureChanged() {
    // As the grid's own Row and Col: never beyond the last row or column.
    const int lastRow = std::max(0, Rows() - 1);
    const int lastCol = std::max(0, cols_ - 1);
    row_ = std::min(row_, lastRow);
    rowSel_ = std::min(rowSel_, lastRow);
    col_ = std::min(col_, lastCol);
    colSel_ = std::min(colSel_, lastCol);
    if (redraw_) {
        Publish();
    } else {
        pending_ = true;
    }
}

void FlexGrid::Publish() {
    syncing_ = true;
    model_->Reset();
    pending_ = false;
    for (int col = 0; col < cols_; ++col) ApplyColumnToView(col);
    SetAllowUserResizing(allowResizing_);
    syncing_ = false;
    SyncSelectionToView();
}

void FlexGrid::ApplyColumnToView(int col) {
    if (pending_ || col >= model_->columnCount()) return;
    const bool wasSyncing = syncing_;
    syncing_ = true;
    const int twips = widthTwips_[col];
    setColumnHidden(col, twips == 0);
    if (twips != 0) setColumnWidth(col, TwipsToPixels(twips < 0 ? kDefaultColWidth : twips));
    syncing_ = wasSyncing;
}

void FlexGrid::ApplyPalette() {
    QPalette colours = palette();
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        colours.setColor(group, QPalette::Base, FromColourNumber(backColor_));
        colours.setColor(group, QPalette::Highlight, FromColourNumber(backColorSel_));
        colours.setColor(group, QPalette::HighlightedText, FromColourNumber(foreColorSel_));
    }
    setPalette(colours);
}

QModelIndex FlexGrid::ViewIndex(int row, int col) const {
    return model_->index(row - fixedRows_, col);
}

void FlexGrid::SyncSelectionToView() {
    if (pending_ || syncing_) return;
    syncing_ = true;
    QItemSelectionModel* selection = selectionModel();
    const QModelIndex current = ViewIndex(row_, std::clamp(col_, 0, std::max(0, cols_ - 1)));
    if (!current.isValid()) {
        selection->clear();
    } else {
        selection->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
        const int top = std::max(fixedRows_, std::min(row_, rowSel_));
        const int bottom = std::max(row_, rowSel_);
        const int left = byRow_ ? 0 : std::min(col_, colSel_);
        const int right = byRow_ ? cols_ - 1 : std::max(col_, colSel_);
        const QItemSelection block(ViewIndex(top, left), ViewIndex(bottom, right));
        selection->select(block, QItemSelectionModel::ClearAndSelect);
    }
    syncing_ = false;
}

void FlexGrid::SyncSelectionFromView() {
    if (syncing_ || pending_) return;
    const QModelIndex current = currentIndex();
    if (!current.isValid()) return;
    const int row = current.row() + fixedRows_;
    const int col = current.column();
    int top = row, bottom = row, left = col, right = col;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        top = std::min(top, range.top() + fixedRows_);
        bottom = std::max(bottom, range.bottom() + fixedRows_);
        left = std::min(left, range.left());
        right = std::max(right, range.right());
    }
    // The moving end of a block is the view's current cell; the anchor is the other end.
    const bool moved = row_ != (row == top ? bottom : top) || col_ != col;
    rowSel_ = row;
    row_ = row == top ? bottom : top;
    colSel_ = col;
    col_ = byRow_ ? col : (col == left ? right : left);
    if (moved) emit EnterCell();
}

QPointF FlexGrid::TwipsInControl(QWidget* source, QPointF pos) const {
    const QPointF inControl =
        QPointF(source->mapTo(this, QPoint(0, 0))) + pos - QPointF(frameWidth(), frameWidth());
    return {PixelsToTwips(inControl.x()), PixelsToTwips(inControl.y())};
}

void FlexGrid::EmitMouse(QWidget* source, QMouseEvent* event) {
    const QPointF at = TwipsInControl(source, event->position());
    const int shift = ShiftState(event->modifiers());
    switch (event->type()) {
        case QEvent::MouseButtonPress:
            emit MouseDown(ButtonCode(event->button()), shift, at.x(), at.y());
            break;
        case QEvent::MouseMove:
            emit MouseMove(ButtonCode(event->buttons()), shift, at.x(), at.y());
            break;
        case QEvent::MouseButtonRelease:
            emit MouseUp(ButtonCode(event->button()), shift, at.x(), at.y());
            break;
        case QEvent::MouseButtonDblClick:
            emit DblClick();
            break;
        default:
            break;
    }
}

bool FlexGrid::eventFilter(QObject* watched, QEvent* event) {
    QWidget* header = horizontalHeader()->viewport();
    auto* mouse = dynamic_cast<QMouseEvent*>(event);
    if (watched != header || mouse == nullptr) return QTableView::eventFilter(watched, event);
    // Dragging a column border only resizes that column: the press, the moves and the
    // release of the drag are not the grid's mouse events, so no window takes the press
    // for a click on the column's title.
    if (StartsColumnResize(*horizontalHeader(), *mouse)) resizingColumn_ = true;
    if (!resizingColumn_) EmitMouse(header, mouse);
    if (event->type() == QEvent::MouseButtonRelease) resizingColumn_ = false;
    return QTableView::eventFilter(watched, event);
}

void FlexGrid::mousePressEvent(QMouseEvent* event) {
    QTableView::mousePressEvent(event);
    EmitMouse(viewport(), event);
}

void FlexGrid::mouseMoveEvent(QMouseEvent* event) {
    QTableView::mouseMoveEvent(event);
    EmitMouse(viewport(), event);
}

void FlexGrid::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    EmitMouse(viewport(), event);
}

void FlexGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    EmitMouse(viewport(), event);
}

void FlexGrid::keyPressEvent(QKeyEvent* event) {
    emit KeyDown(VirtualKey(*event), ShiftState(event->modifiers()));
    QTableView::keyPressEvent(event);
}
