#pragma once
// The drawing surface of picture panes, chart cells and printed pages: one class over
// QPainter with the vocabulary the chart code is written in. Coordinates are user-scale
// units (a scale maps its left/top/width/height onto the device; negative heights run
// upward), so the same procedure paints a widget's image, a QImage or a QPrinter page.
// Before any scale is set the scale is twips from the top-left corner, as a page is.
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>

// A colour number as the platform keeps it: red in the low byte, blue in the third.
using ColorNumber = uint32_t;
constexpr ColorNumber RgbColor(int red, int green, int blue) {
    return static_cast<ColorNumber>(red & 0xFF) | static_cast<ColorNumber>(green & 0xFF) << 8 |
           static_cast<ColorNumber>(blue & 0xFF) << 16;
}
QColor ToQColor(ColorNumber color);

enum class DrawStyle { Solid = 0, Dotted = 2 };
enum class FillStyle { Solid = 0, Transparent = 1, HorizontalLine = 2, DiagonalCross = 7 };

// The installed Japanese faces: Gothic for panes, Mincho for printed pages.
extern const char* const kGothicFace;
extern const char* const kMinchoFace;
// The installed face that stands in for a platform face ("ＭＳ Ｐゴシック" → IPAPGothic);
// any other face as it is.
QString InstalledFace(const QString& face);

// Maps the platform faces that windows, grids and pages name ("ＭＳ Ｐゴシック" and the like)
// to the installed faces for the whole program, and gives every grid "ＭＳ Ｐゴシック" 9 pt
// unless its window names another font. Called once at start-up, before any widget.
void InstallFaceSubstitutions();

// The descriptions of a surface's run-time errors: no device behind it, a zero scale.
extern const char* const kMissingObjectError;
extern const char* const kInvalidValueError;

class Surface {
  public:
    // The device must outlive the surface or be replaced with SetDevice first.
    explicit Surface(QPaintDevice* device = nullptr);
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    // Ends painting on the old device and starts on the new one; the scale becomes twips.
    void SetDevice(QPaintDevice* device);
    QPaintDevice* Device() const { return device_; }
    // Ends the painter so the device can be read, resized or shown; the next call starts again.
    void Release();

    // On a printer, ends the page and starts the next one; elsewhere false.
    bool NewPage();

    // Fills the device with the back colour; the current position goes to (0, 0).
    void Clear();
    void SetBackColor(ColorNumber color) { backColor_ = color; }

    // The user scale: (x1, y1) is the top-left corner, (x2, y2) the bottom-right.
    void SetScale(double x1, double y1, double x2, double y2);
    void SetScaleTop(double top);
    void SetScaleHeight(double height);
    void SetScaleLeft(double left);
    void SetScaleWidth(double width);
    double ScaleLeft() const { return scaleLeft_; }
    double ScaleTop() const { return scaleTop_; }
    double ScaleWidth() const { return scaleWidth_; }
    double ScaleHeight() const { return scaleHeight_; }
    // The device's drawable size in twips (a pane's size in its container's units).
    double WidthTwips() const;
    double HeightTwips() const;

    void SetDrawStyle(DrawStyle style) { drawStyle_ = style; }
    void SetFillStyle(FillStyle style) { fillStyle_ = style; }
    void SetFillColor(ColorNumber color) { fillColor_ = color; }
    void SetForeColor(ColorNumber color) { foreColor_ = color; }
    ColorNumber ForeColor() const { return foreColor_; }

    // A face by name; the platform's Japanese faces ("ＭＳ 明朝" and the like) take the
    // installed faces of the same design.
    void SetFontFace(const QString& face);
    void SetFontSize(double points);
    double FontSize() const;
    void SetFontBold(bool on);
    void SetFontItalic(bool on);
    void SetFontUnderline(bool on);

    void SetCurrentX(double x) { currentX_ = x; }
    void SetCurrentY(double y) { currentY_ = y; }
    double CurrentX() const { return currentX_; }
    double CurrentY() const { return currentY_; }

    // A line between two points, both ends included; the position moves to the second.
    void Line(double x1, double y1, double x2, double y2, ColorNumber color);
    // A rectangle outline in the line colour, its inside painted in the fill style and colour.
    void Box(double x1, double y1, double x2, double y2, ColorNumber color);
    // A rectangle filled with the line colour, both corners included.
    void FilledBox(double x1, double y1, double x2, double y2, ColorNumber color);
    // An image scaled to fill the rectangle from (x, y) of the given size, its aspect ratio
    // not kept.
    void PaintPicture(const QImage& image, double x, double y, double width, double height);

    // Writes text in the fore colour with its top-left corner at the current position;
    // the position moves to the text's right end on the same line.
    void Print(const std::string& text);
    // Sizes in scale units, as absolute values whatever the direction of the scale.
    double TextWidth(const std::string& text);
    double TextHeight(const std::string& text);

    // A scale point in device coordinates (pixels of an image, dots of a printer).
    QPointF ToDevice(double x, double y) const;

    // Device dots per line width and hatch cell unit: 1 on screens and images; on a
    // printer the dots of a 600 dpi page, so lines and hatches look the same on any printer.
    double DotScale() const { return dotScale_; }

  private:
    QPainter& Painter();
    void ResetScaleToTwips();
    double DeviceWidth() const;
    double DeviceHeight() const;
    void ApplyPen(ColorNumber color);
    void UpdateDotScale();
    void PaintHatch(QPainter& painter, const QRect& rect, Qt::BrushStyle brush);

    QPaintDevice* device_ = nullptr;
    std::unique_ptr<QPainter> painter_;
    double scaleLeft_ = 0;
    double scaleTop_ = 0;
    double scaleWidth_ = 1;
    double scaleHeight_ = 1;
    double dotScale_ = 1;
    double currentX_ = 0;
    double currentY_ = 0;
    DrawStyle drawStyle_ = DrawStyle::Solid;
    FillStyle fillStyle_ = FillStyle::Transparent;
    ColorNumber fillColor_ = 0;
    ColorNumber foreColor_ = 0;
    ColorNumber backColor_ = RgbColor(255, 255, 255);
    QFont font_;
};

// A picture pane: a widget that keeps its drawing in an image of its own size and shows
// it, so what a procedure drew stays until the next clear, as a pane that redraws itself.
class PictureBox : public QWidget {
  public:
    explicit PictureBox(QWidget* parent = nullptr);
    Surface& surface();
    // The drawing so far (the surface's painter is ended first).
    const QImage& image();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void FitImage();
    QImage image_;
    Surface surface_;
};
