#include "platform/surface.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPaintEvent>
#include <QResizeEvent>
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "platform/twips.h"

namespace {
constexpr char kGothicFaceName[] = "IPAGothic";
constexpr char kMinchoFaceName[] = "IPAMincho";
}  // namespace
const char* const kGothicFace = kGothicFaceName;
const char* const kMinchoFace = kMinchoFaceName;
const char* const kMissingObjectError =
    "オブジェクト変数または With ブロック変数が設定されていません。";
const char* const kInvalidValueError = "プロパティの値が不正です。";

namespace {

constexpr double kDefaultFontPoints = 9;
// The resolution whose single dot is a printed line's width and a hatch's unit.
constexpr double kReferencePrintDpi = 600;

Qt::BrushStyle BrushStyleOf(FillStyle style) {
    switch (style) {
        case FillStyle::Solid:
            return Qt::SolidPattern;
        case FillStyle::HorizontalLine:
            return Qt::HorPattern;
        case FillStyle::DiagonalCross:
            return Qt::DiagCrossPattern;
        case FillStyle::Transparent:
            break;
    }
    return Qt::NoBrush;
}

void RequireExtent(double extent) {
    if (extent == 0 || !std::isfinite(extent)) throw std::runtime_error(kInvalidValueError);
}

}  // namespace

QColor ToQColor(ColorNumber color) {
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>(color >> 8 & 0xFF),
                  static_cast<int>(color >> 16 & 0xFF));
}

Surface::Surface(QPaintDevice* device) : device_(device) {
    font_.setFamily(QString::fromLatin1(kGothicFace));
    font_.setPointSizeF(kDefaultFontPoints);
    ResetScaleToTwips();
    UpdateDotScale();
}

void Surface::UpdateDotScale() {
    dotScale_ = 1;
    if (device_ && device_->devType() == QInternal::Printer)
        dotScale_ = std::max(1.0, device_->logicalDpiX() / kReferencePrintDpi);
}

Surface::~Surface() {
    Release();
}

void Surface::SetDevice(QPaintDevice* device) {
    Release();
    device_ = device;
    ResetScaleToTwips();
    UpdateDotScale();
}

void Surface::Release() {
    painter_.reset();
}

QPainter& Surface::Painter() {
    if (!device_) throw std::runtime_error(kMissingObjectError);
    if (!painter_) {
        painter_ = std::make_unique<QPainter>(device_);
        if (!painter_->isActive()) {
            painter_.reset();
            throw std::runtime_error(kMissingObjectError);
        }
        painter_->setRenderHint(QPainter::Antialiasing, false);
        // A printer's engine keeps the pen and brush of its last document, while a new
        // painter believes they are the defaults and skips setting a default again: the first
        // black text of the next page came out in the last colour of the previous one.
        painter_->setPen(Qt::NoPen);
        painter_->setPen(QPen());
        painter_->setBrush(Qt::SolidPattern);
        painter_->setBrush(QBrush());
    }
    return *painter_;
}

double Surface::DeviceWidth() const {
    return device_ ? device_->width() : 0;
}
double Surface::DeviceHeight() const {
    return device_ ? device_->height() : 0;
}

double Surface::WidthTwips() const {
    if (!device_) throw std::runtime_error(kMissingObjectError);
    return DotsToTwips(DeviceWidth(), device_->logicalDpiX());
}

double Surface::HeightTwips() const {
    if (!device_) throw std::runtime_error(kMissingObjectError);
    return DotsToTwips(DeviceHeight(), device_->logicalDpiY());
}

void Surface::ResetScaleToTwips() {
    scaleLeft_ = 0;
    scaleTop_ = 0;
    scaleWidth_ = device_ && DeviceWidth() > 0 ? WidthTwips() : 1;
    scaleHeight_ = device_ && DeviceHeight() > 0 ? HeightTwips() : 1;
}

bool Surface::NewPage() {
    auto* paged = dynamic_cast<QPagedPaintDevice*>(device_);
    if (!paged) return false;
    Painter();  // a page is only ended once it was begun
    currentX_ = 0;
    currentY_ = 0;
    return paged->newPage();
}

void Surface::Clear() {
    QPainter& painter = Painter();
    painter.fillRect(QRect(0, 0, static_cast<int>(DeviceWidth()), static_cast<int>(DeviceHeight())),
                     ToQColor(backColor_));
    currentX_ = 0;
    currentY_ = 0;
}

void Surface::SetScale(double x1, double y1, double x2, double y2) {
    RequireExtent(x2 - x1);
    RequireExtent(y2 - y1);
    scaleLeft_ = x1;
    scaleTop_ = y1;
    scaleWidth_ = x2 - x1;
    scaleHeight_ = y2 - y1;
}

void Surface::SetScaleTop(double top) {
    scaleTop_ = top;
}
void Surface::SetScaleLeft(double left) {
    scaleLeft_ = left;
}

void Surface::SetScaleHeight(double height) {
    RequireExtent(height);
    scaleHeight_ = height;
}

void Surface::SetScaleWidth(double width) {
    RequireExtent(width);
    scaleWidth_ = width;
}

namespace {
// The platform's Japanese faces that the settings and the print set-up name, and the
// installed faces of the same design that stand in for them.
struct FaceAlias {
    const char* Platform;
    const char* Installed;
};
constexpr FaceAlias kFaceAliases[] = {
    {"ＭＳ 明朝", kMinchoFaceName},
    {"ＭＳ ゴシック", kGothicFaceName},
    {"ＭＳ Ｐ明朝", "IPAPMincho"},
    {"ＭＳ Ｐゴシック", "IPAPGothic"},
};
}  // namespace

QString InstalledFace(const QString& face) {
    for (const FaceAlias& alias : kFaceAliases)
        if (face == QString::fromUtf8(alias.Platform)) return QString::fromLatin1(alias.Installed);
    return face;
}

void InstallFaceSubstitutions() {
    // Without it fontconfig answers a platform face with a wide Latin face, and the
    // columns sized for the platform faces cut their values.
    for (const FaceAlias& alias : kFaceAliases)
        QFont::insertSubstitution(QString::fromUtf8(alias.Platform),
                                  QString::fromLatin1(alias.Installed));
    QApplication::setFont(QFont(QString::fromUtf8("ＭＳ Ｐゴシック"), 9), "FlexGrid");
}

void Surface::SetFontFace(const QString& face) {
    font_.setFamily(InstalledFace(face));
}
void Surface::SetFontSize(double points) {
    font_.setPointSizeF(std::max(1.0, points));
}
double Surface::FontSize() const {
    return font_.pointSizeF();
}
void Surface::SetFontBold(bool on) {
    font_.setBold(on);
}
void Surface::SetFontItalic(bool on) {
    font_.setItalic(on);
}
void Surface::SetFontUnderline(bool on) {
    font_.setUnderline(on);
}

QPointF Surface::ToDevice(double x, double y) const {
    return QPointF((x - scaleLeft_) * DeviceWidth() / scaleWidth_,
                   (y - scaleTop_) * DeviceHeight() / scaleHeight_);
}

void Surface::ApplyPen(ColorNumber color) {
    QPen pen(ToQColor(color));
    // One device dot, as a pane's line of width 1; on a printer one dot of a 600 dpi page.
    if (dotScale_ > 1)
        pen.setWidthF(dotScale_);
    else
        pen.setWidth(0);
    pen.setStyle(drawStyle_ == DrawStyle::Dotted ? Qt::DotLine : Qt::SolidLine);
    Painter().setPen(pen);
}

void Surface::Line(double x1, double y1, double x2, double y2, ColorNumber color) {
    ApplyPen(color);
    Painter().drawLine(ToDevice(x1, y1).toPoint(), ToDevice(x2, y2).toPoint());
    currentX_ = x2;
    currentY_ = y2;
}

namespace {
// The device rectangle between two corners, rounded to whole dots, both corners inside.
QRect CornerRect(QPointF a, QPointF b) {
    const QPoint p = a.toPoint();
    const QPoint q = b.toPoint();
    return QRect(QPoint(std::min(p.x(), q.x()), std::min(p.y(), q.y())),
                 QPoint(std::max(p.x(), q.x()), std::max(p.y(), q.y())));
}
}  // namespace

// A hatch of a 600 dpi page: the pattern's 8-dot cells and one-dot lines grown by the dot
// scale, drawn as lines, since a printer engine may keep a pattern's cells in its own dots.
void Surface::PaintHatch(QPainter& painter, const QRect& rect, Qt::BrushStyle brush) {
    const double step = 8 * dotScale_;
    painter.save();
    painter.setClipRect(rect);
    QPen pen(ToQColor(fillColor_));
    pen.setWidthF(dotScale_);
    painter.setPen(pen);
    const double left = rect.left();
    const double right = rect.right() + 1.0;
    const double top = rect.top();
    const double bottom = rect.bottom() + 1.0;
    if (brush == Qt::HorPattern) {
        for (double y = std::floor(top / step) * step; y < bottom; y += step)
            painter.drawLine(QPointF(left, y), QPointF(right, y));
    } else {
        // Lines x - y = c and x + y = c, anchored to the page so neighbours line up.
        const double height = bottom - top;
        for (double c = std::floor((left - bottom) / step) * step; c < right - top; c += step)
            painter.drawLine(QPointF(c + top, top), QPointF(c + bottom, bottom));
        for (double c = std::floor((left + top) / step) * step; c < right + bottom; c += step)
            painter.drawLine(QPointF(c - top, top), QPointF(c - top - height, bottom));
    }
    painter.restore();
}

void Surface::Box(double x1, double y1, double x2, double y2, ColorNumber color) {
    QPainter& painter = Painter();
    const QRect rect = CornerRect(ToDevice(x1, y1), ToDevice(x2, y2));
    const Qt::BrushStyle brush = BrushStyleOf(fillStyle_);
    if (brush == Qt::SolidPattern || (brush != Qt::NoBrush && dotScale_ == 1))
        painter.fillRect(rect, QBrush(ToQColor(fillColor_), brush));
    else if (brush != Qt::NoBrush)
        PaintHatch(painter, rect, brush);
    ApplyPen(color);
    painter.setBrush(Qt::NoBrush);
    // QRect's right and bottom are inclusive; drawRect outlines one dot further.
    painter.drawRect(rect.adjusted(0, 0, -1, -1).normalized());
    currentX_ = x2;
    currentY_ = y2;
}

void Surface::FilledBox(double x1, double y1, double x2, double y2, ColorNumber color) {
    Painter().fillRect(CornerRect(ToDevice(x1, y1), ToDevice(x2, y2)), ToQColor(color));
    currentX_ = x2;
    currentY_ = y2;
}

void Surface::PaintPicture(const QImage& image, double x, double y, double width, double height) {
    QPainter& painter = Painter();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(QRectF(ToDevice(x, y), ToDevice(x + width, y + height)).normalized(), image);
}

void Surface::Print(const std::string& text) {
    QPainter& painter = Painter();
    const QString qtext = QString::fromStdString(text);
    painter.setFont(font_);
    painter.setPen(ToQColor(foreColor_));
    const QFontMetricsF metrics(font_, device_);
    const QPointF topLeft = ToDevice(currentX_, currentY_);
    painter.drawText(QPointF(topLeft.x(), topLeft.y() + metrics.ascent()), qtext);
    currentX_ += TextWidth(text) * (scaleWidth_ < 0 ? -1 : 1);
}

double Surface::TextWidth(const std::string& text) {
    if (!device_) throw std::runtime_error(kMissingObjectError);
    const QFontMetricsF metrics(font_, device_);
    const double dots = metrics.horizontalAdvance(QString::fromStdString(text));
    return std::fabs(dots * scaleWidth_ / DeviceWidth());
}

double Surface::TextHeight(const std::string& text) {
    if (!device_) throw std::runtime_error(kMissingObjectError);
    const QFontMetricsF metrics(font_, device_);
    return std::fabs(metrics.height() * scaleHeight_ / DeviceHeight());
}

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

// The image follows the widget's size, also before the widget was first shown.
void PictureBox::FitImage() {
    const QSize wanted = size().expandedTo(QSize(1, 1));
    if (image_.size() == wanted) return;
    surface_.SetDevice(nullptr);  // no painter may stay on the old image
    image_ = QImage(wanted, QImage::Format_RGB32);
    image_.fill(Qt::white);
    surface_.SetDevice(&image_);
}

Surface& PictureBox::surface() {
    FitImage();
    return surface_;
}

const QImage& PictureBox::image() {
    FitImage();
    surface_.Release();
    return image_;
}

void PictureBox::paintEvent(QPaintEvent* event) {
    FitImage();
    surface_.Release();
    QPainter painter(this);
    painter.drawImage(event->rect(), image_, event->rect());
}

void PictureBox::resizeEvent(QResizeEvent* event) {
    FitImage();
    QWidget::resizeEvent(event);
}
