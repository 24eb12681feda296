#include "views/chart_window.h"

#include <QAction>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "analysis/lines_geometry.h"
#include "platform/twips.h"
#include "ui/frame_access.h"
#include "views/main_frame.h"
#include "views/menu_table.h"
#include "views/state.h"
#include "views/view_rules.h"

namespace {

using K = MenuKind;

QString Q(const char* text) {
    return QString::fromUtf8(text);
}

// The menu tree but for the two count submenus' items, which depend on the kind.
std::vector<MenuRow> BuildChartMenuRows() {
    const std::vector<MenuRow> head = {
        {K::Top, "MNU_ファイル", "", "ﾌｧｲﾙ(&F)", "", false},
        {K::Item, "MNU_印刷", "MNU_ファイル", "印刷(&P)", "Ctrl+P", false},
        {K::Separator, "区分線f01", "MNU_ファイル", "", "", false},
        {K::Item, "MNU_終了", "MNU_ファイル", "閉じる(&X)", "Ctrl+Q", false},
        {K::Top, "MNU_検索", "", "検索(&S)", "", false},
        {K::Item, "MNU_コード検索", "MNU_検索", "証券ｺｰﾄﾞ(&C)", "Ctrl+K", false},
        {K::Item, "MNU_銘柄名検索", "MNU_検索", "銘柄名(&N)", "", false},
    };
    const std::vector<MenuRow> tail = {
        {K::Top, "MNU_編集", "", "編集(&E)", "", false},
        {K::Item, "MNU_斜線", "MNU_編集", "斜線(&B)", "Ctrl+G", false},
        {K::Item, "MNU_関門", "MNU_編集", "関門(&Z)", "", false},
        {K::Separator, "区分線e01", "MNU_編集", "", "", false},
        {K::Submenu, "MNU_注目", "MNU_編集", "注目(&H)", "", true},
        {K::Item, "MNU_注目指定", "MNU_注目", "指定(&E)", "Ctrl+L", false},
        {K::Item, "MNU_注目取消", "MNU_注目", "取消(&C)", "", false},
        {K::Item, "MNU_データ表", "MNU_編集", "ﾃﾞｰﾀ表(&R)", "Ctrl+J", false},
        {K::Top, "MNU_表示", "", "表示(&V)", "", false},
        {K::Submenu, "MNU_表示本数", "MNU_表示", "表示本数(&T)", "", false},
        {K::Submenu, "MNU_表示銘柄数", "MNU_表示", "表示銘柄数(&D)", "", false},
        {K::Separator, "区分線h01", "MNU_表示", "", "", false},
        {K::Submenu, "MNU_移動", "MNU_表示", "表示銘柄の移動(&M)", "", false},
        {K::Item, "MNU_前銘柄", "MNU_移動", "前(&R)", "Ctrl+Z", false},
        {K::Item, "MNU_次銘柄", "MNU_移動", "次(&N)", "Ctrl+X", false},
        {K::Top, "MNU_ツール", "", "ﾂｰﾙ(&T)", "", false},
        {K::Item, "MNU_ユーザ設定", "MNU_ツール", "ﾕｰｻﾞｰ設定(&C)", "", false},
        {K::Item, "MNU_鈎足判定", "MNU_ツール", "鈎足判定ｵﾌﾟｼｮﾝ(&O)", "", false},
        {K::Top, "MNU_ヘルプ", "", "ﾍﾙﾌﾟ(&H)", "", false},
        {K::Item, "MNU_バージョン情報", "MNU_ヘルプ", "バージョン情報(&A)", "", false},
    };
    return JoinMenuRows({head, ChartViewMenuRows(), tail});
}

const std::vector<MenuRow>& ChartMenuRows() {
    static const std::vector<MenuRow> rows = BuildChartMenuRows();
    return rows;
}

// The creation marks: " 50本" / "50本" and one issue per window.
constexpr int kCheckedCountItem = 4;
constexpr int kCheckedCandleCountItem = 0;

QRect ToPixels(const TwipRect& rect) {
    return QRect(TwipsToPixels(rect.Left), TwipsToPixels(rect.Top), TwipsToPixels(rect.Width),
                 TwipsToPixels(rect.Height));
}

void PaintLine(QPainter& painter, const Surface& surface, const LinePlacement& line) {
    if (!line.Visible) return;
    painter.setPen(QPen(ToQColor(static_cast<ColorNumber>(line.BorderColor)), 1));
    painter.drawLine(surface.ToDevice(line.X1, line.Y1), surface.ToDevice(line.X2, line.Y2));
}

void PaintShape(QPainter& painter, const Surface& surface, const ShapePlacement& shape) {
    if (!shape.Visible) return;
    painter.setPen(QPen(ToQColor(static_cast<ColorNumber>(shape.BorderColor)), 1));
    painter.setBrush(Qt::NoBrush);
    const QPointF a = surface.ToDevice(shape.Left, shape.Top);
    const QPointF b = surface.ToDevice(shape.Left + shape.Width, shape.Top - shape.Height);
    painter.drawRect(QRectF(a, b).normalized());
}

template <typename W>
W* Named(W* widget, const char* name, QWidget* parent) {
    widget->setObjectName(Q(name));
    if (parent) widget->setParent(parent);
    return widget;
}

PictureBox* WhitePane(const char* name, QWidget* parent) {
    return Named(new PictureBox(parent), name, nullptr);
}

}  // namespace

ChartPricePane::ChartPricePane(int32_t chartKind, QWidget* parent)
    : PictureBox(parent), chartKind_(chartKind) {
    LIN_CursorX.BorderColor = kCursorLineColour;
    LIN_CursorY.BorderColor = kCursorLineColour;
    QFont font(InstalledFace(Q("ＭＳ ゴシック")));
    font.setPointSize(9);
    setFont(font);
    setMouseTracking(true);
}

QPointF ChartPricePane::ToScale(QPointF pixel) {
    const Surface& scale = surface();
    const double width = std::max(1, this->width());
    const double height = std::max(1, this->height());
    return {scale.ScaleLeft() + pixel.x() * scale.ScaleWidth() / width,
            scale.ScaleTop() + pixel.y() * scale.ScaleHeight() / height};
}

void ChartPricePane::mouseMoveEvent(QMouseEvent* event) {
    PictureBox::mouseMoveEvent(event);
    if (!MouseMoved) return;
    const QPointF at = ToScale(event->position());
    MouseMoved(at.x(), at.y());
}

void ChartPricePane::mousePressEvent(QMouseEvent* event) {
    PictureBox::mousePressEvent(event);
    if (MousePressed) MousePressed(ToScale(event->position()).y());
}

void ChartPricePane::mouseReleaseEvent(QMouseEvent* event) {
    PictureBox::mouseReleaseEvent(event);
    if (MouseReleased) MouseReleased(ToScale(event->position()).y());
}

void ChartPricePane::mouseDoubleClickEvent(QMouseEvent* event) {
    // The base class would take the double click for a second press.
    event->accept();
    if (DoubleClicked) DoubleClicked();
}

void ChartPricePane::paintEvent(QPaintEvent* event) {
    PictureBox::paintEvent(event);
    const Surface& scale = surface();
    QPainter painter(this);
    const PriceOverlay& overlay = OverlayOf(chartKind_);
    for (const ShapePlacement& shape : overlay.SHP_関門10) PaintShape(painter, scale, shape);
    for (int i = 0; i < kLineSlotCount; ++i) {
        PaintLine(painter, scale, overlay.LIN_斜線T10[i]);
        PaintLine(painter, scale, overlay.LIN_斜線B10[i]);
    }
    PaintLine(painter, scale, LIN_CursorX);
    PaintLine(painter, scale, LIN_CursorY);
}

const char* ChartWindow::FormName(int32_t chartKind) {
    static const char* const names[] = {"FRM_罫線_鈎", "FRM_罫線_日", "FRM_罫線_週", "FRM_罫線_月"};
    return names[KindIndex(chartKind)];
}

ChartWindow::ChartWindow(int32_t chartKind, QWidget* parent)
    : QWidget(parent), chartKind_(chartKind) {
    setObjectName(Q(FormName(chartKind)));
    setWindowTitle(Q(FormName(chartKind)));
    BuildControls();
    BuildMenus();
    // A window created again shows its chart's shapes in their creation colours.
    OverlayOf(chartKind) = PriceOverlay{};
}

ChartWindow::~ChartWindow() {
    ChartWindow*& entry = Views().ChartWindows[KindIndex(chartKind_)];
    if (entry == this) entry = nullptr;
}

void ChartWindow::BuildControls() {
    container_ = Named(new QWidget(this), "PIC_罫線", nullptr);
    container_->setAutoFillBackground(true);
    container_->setPalette(QPalette(Qt::white));
    QFont titleFont(InstalledFace(Q("ＭＳ Ｐゴシック")));
    titleFont.setPointSize(9);
    for (int i = 0; i < kCellCount; ++i) {
        auto* border = Named(new QLabel(container_), "LBL_Border", nullptr);
        border->setProperty("Index", i);
        border->setAutoFillBackground(true);
        border->setPalette(QPalette(QColor(0x80, 0x80, 0x80)));
        border->hide();
    }
    for (int i = 0; i < kCellCount; ++i) {
        auto* title = Named(new QLineEdit(container_), "TXT_Title", nullptr);
        title->setProperty("Index", i);
        title->setFont(titleFont);
        title->setReadOnly(true);
        title->hide();
    }
    price_ = Named(new ChartPricePane(chartKind_, container_), "PIC_Cht10", nullptr);
    panes_["PIC_Cht10"] = price_;
    for (const char* name : {"PIC_Cht20", "PIC_Cht11", "PIC_Cht30"})
        panes_[name] = WhitePane(name, container_);
    for (int i = 0; i < kCellCount; ++i) {
        PictureBox* cell = WhitePane("PIC_MCht", container_);
        cell->setProperty("Index", i);
        cell->hide();
        cells_.push_back(cell);
    }
    panes_["PIC_Cht00"] = WhitePane("PIC_Cht00", container_);
    panes_["PIC_Cht00"]->hide();
    PictureBox* corner = WhitePane("PIC_Cht31", container_);
    panes_["PIC_Cht31"] = corner;
    auto* type = Named(new QLabel(corner), "LBL_ChtTyp", nullptr);
    static const char* const captions[] = {"[鈎足]", "[日足]", "[週足]", "[月足]"};
    type->setText(Q(captions[KindIndex(chartKind_)]));
    type->move(4, 4);

    scroll_ = Named(new QScrollBar(Qt::Horizontal, this), "FSB_期間", nullptr);
    // The chart moves when the user lets go of the thumb, not while it is dragged.
    scroll_->setTracking(false);
    scroll_->setRange(0, 32767);
    scroll_->setValue(0);
    scroll_->setSingleStep(1);
    scroll_->setPageStep(5);
    scroll_->setProperty("Arrows", 0);
    scroll_->setFixedHeight(TwipsToPixels(kScrollHeight));
}

void ChartWindow::BuildMenus() {
    menuBar_ = new QMenuBar(this);
    menuBar_->setObjectName(QStringLiteral("MenuBar"));
    menuBar_->hide();
    std::vector<MenuRow> rows = ChartMenuRows();
    // The count items go into their submenus, which stand before 区分線h01.
    std::vector<MenuRow> counts;
    for (const CountItem& item : CountItems(chartKind_))
        counts.push_back({K::Item, item.name, "MNU_表示本数", item.caption, "", false});
    for (const CountItem& item : IssuesPerWindowItems(chartKind_))
        counts.push_back({K::Item, item.name, "MNU_表示銘柄数", item.caption, "", false});
    const auto at = std::find_if(rows.begin(), rows.end(), [](const MenuRow& row) {
        return std::string(row.name) == "区分線h01";
    });
    rows.insert(at, counts.begin(), counts.end());
    BuildMenuBar(*menuBar_, rows, items_);
    for (const CountItem& item : CountItems(chartKind_)) items_.at(item.name)->setCheckable(true);
    for (const CountItem& item : IssuesPerWindowItems(chartKind_))
        items_.at(item.name)->setCheckable(true);
    const int checked = chartKind_ == 4 ? kCheckedCountItem : kCheckedCandleCountItem;
    items_.at(CountItems(chartKind_)[checked].name)->setChecked(true);
    items_.at("MNU_表示銘柄数001")->setChecked(true);
}

PictureBox* ChartWindow::Pane(const std::string& name) const {
    const auto found = panes_.find(name);
    return found == panes_.end() ? nullptr : found->second;
}

ChartPanes ChartWindow::Panes() const {
    return {&panes_.at("PIC_Cht10")->surface(), &panes_.at("PIC_Cht11")->surface(),
            &panes_.at("PIC_Cht20")->surface(), &panes_.at("PIC_Cht30")->surface()};
}

QAction* ChartWindow::MenuItem(const std::string& name) const {
    const auto found = items_.find(name);
    return found == items_.end() ? nullptr : found->second;
}

void ChartWindow::ClearCountChecks() {
    for (const CountItem& item : CountItems(chartKind_)) items_.at(item.name)->setChecked(false);
}

void ChartWindow::Clear表示本数_鈎() {
    ClearCountChecks();
}

void ChartWindow::Clear表示本数_ロ() {
    ClearCountChecks();
}

void ChartWindow::Apply(const ChartWindowLayout& layout) {
    if (QMdiSubWindow* sub = ChartSubWindow(*this)) sub->setGeometry(ToPixels(layout.Window));
    resize(ToPixels(layout.Window).size());
    container_->setGeometry(ToPixels(layout.Container));
    const PaneStack& stack = layout.Panes;
    const std::pair<const char*, const TwipRect*> placed[] = {
        {"PIC_Cht10", &stack.Price}, {"PIC_Cht11", &stack.Scale},  {"PIC_Cht20", &stack.Volume},
        {"PIC_Cht30", &stack.Dates}, {"PIC_Cht31", &stack.Corner},
    };
    for (const auto& [name, rect] : placed) panes_.at(name)->setGeometry(ToPixels(*rect));
    scroll_->setGeometry(ToPixels(layout.Scroll));
}

void ChartWindow::SetInert(bool inert) {
    inert_ = inert;
    // A disabled sub-window takes neither input nor the focus, so a click on the strip of it
    // that shows beside a pair cannot make it the active window either.
    QMdiSubWindow* sub = ChartSubWindow(*this);
    (sub ? static_cast<QWidget*>(sub) : this)->setEnabled(!inert);
}

ChartWindow& ChartWindowOf(int32_t chartKind) {
    ChartWindow*& entry = Views().ChartWindows[KindIndex(chartKind)];
    if (entry) return *entry;
    auto* window = new ChartWindow(chartKind);
    entry = window;
    QMdiSubWindow* sub = MainFrame().AddChild(window);
    // No frame: the layouts place the window and 閉じる is the way back to the list.
    sub->setWindowFlags(Qt::SubWindow | Qt::FramelessWindowHint);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    if (Views().WireChartWindow) Views().WireChartWindow(*window);
    return *window;
}

ChartWindow* FindChartWindow(int32_t chartKind) {
    return Views().ChartWindows[KindIndex(chartKind)];
}

void UnloadChartWindow(int32_t chartKind) {
    ChartWindow*& entry = Views().ChartWindows[KindIndex(chartKind)];
    ChartWindow* window = entry;
    entry = nullptr;
    if (!window) return;
    window->hide();
    QMdiSubWindow* sub = ChartSubWindow(*window);
    // The menu item that asked for this is still running: the window goes when it is done.
    if (sub) {
        sub->hide();
        sub->deleteLater();
    } else {
        window->deleteLater();
    }
}

QMdiSubWindow* ChartSubWindow(const ChartWindow& window) {
    return qobject_cast<QMdiSubWindow*>(window.parentWidget());
}

ClientSize MainClientTwips() {
    MDF_メイン& frame = MainFrame();
    // Showing or hiding a bar changes the client area only when the frame lays itself out.
    if (QLayout* layout = frame.layout()) layout->activate();
    const QSize size = frame.ClientArea()->viewport()->size();
    return {PixelsToTwips(size.width()), PixelsToTwips(size.height())};
}
