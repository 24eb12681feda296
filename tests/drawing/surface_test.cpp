// ctest-labels: drawing
#include "platform/surface.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontInfo>
#include <QPrinter>
#include <QTemporaryDir>
#include <stdexcept>

namespace {

const QColor kRed(255, 0, 0);
const QColor kWhite(255, 255, 255);

int CountColor(const QImage& image, const QColor& color, QRect area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) count += image.pixelColor(x, y) == color;
    return count;
}

// Glyphs are smoothed: count the dots the text touched.
int CountInk(const QImage& image, QRect area) {
    return area.width() * area.height() - CountColor(image, kWhite, area);
}

struct ImageSurface {
    QImage image{200, 100, QImage::Format_RGB32};
    Surface surface{&image};
    ImageSurface() { surface.Clear(); }
    const QImage& Image() {
        surface.Release();
        return image;
    }
};

TEST(Surface, ScalesMapOntoTheDevice) {
    ImageSurface pane;
    // Before a scale is set the units are twips from the top-left corner.
    EXPECT_DOUBLE_EQ(pane.surface.ScaleWidth(), 3000);
    EXPECT_DOUBLE_EQ(pane.surface.ScaleHeight(), 1500);
    EXPECT_DOUBLE_EQ(pane.surface.HeightTwips(), 1500);

    pane.surface.SetScale(0, 10, 100, 0);  // y upward
    EXPECT_EQ(pane.surface.ToDevice(0, 10), QPointF(0, 0));
    EXPECT_EQ(pane.surface.ToDevice(100, 0), QPointF(200, 100));
    pane.surface.SetScaleTop(20);
    pane.surface.SetScaleHeight(-20);
    EXPECT_EQ(pane.surface.ToDevice(50, 10), QPointF(100, 50));

    EXPECT_THROW(pane.surface.SetScale(0, 5, 100, 5), std::runtime_error);
    EXPECT_THROW(pane.surface.SetScaleWidth(0), std::runtime_error);
    Surface nowhere;
    EXPECT_THROW(nowhere.Clear(), std::runtime_error);
}

TEST(Surface, FilledBoxIncludesBothCornersAndBoxesUseTheFillStyle) {
    ImageSurface pane;
    pane.surface.SetScale(0, 10, 100, 0);
    pane.surface.FilledBox(10, 5, 20, 2, RgbColor(255, 0, 0));
    const QImage& image = pane.Image();
    EXPECT_EQ(image.pixelColor(20, 50), kRed);
    EXPECT_EQ(image.pixelColor(40, 80), kRed);
    EXPECT_EQ(image.pixelColor(41, 80), kWhite);
    EXPECT_EQ(image.pixelColor(19, 50), kWhite);
    // Neighbouring boxes share their border: no gap between them.
    pane.surface.FilledBox(20, 5, 30, 2, RgbColor(0, 0, 255));
    EXPECT_EQ(pane.Image().pixelColor(40, 60), QColor(0, 0, 255));
    EXPECT_EQ(pane.Image().pixelColor(39, 60), kRed);

    // A box with the diagonal cross-hatch: an outline in the line colour, a hatched inside.
    pane.surface.SetFillStyle(FillStyle::DiagonalCross);
    pane.surface.SetFillColor(RgbColor(0, 255, 0));
    pane.surface.Box(50, 9, 90, 1, RgbColor(0, 0, 0));
    const QImage& hatched = pane.Image();
    EXPECT_EQ(hatched.pixelColor(100, 40), QColor(0, 0, 0));
    const QRect inside(110, 30, 60, 40);
    EXPECT_GT(CountColor(hatched, QColor(0, 255, 0), inside), 100);
    EXPECT_GT(CountColor(hatched, kWhite, inside), 100);

    // Dotted lines leave gaps.
    pane.surface.SetDrawStyle(DrawStyle::Dotted);
    pane.surface.Line(5, 10, 5, 0, RgbColor(255, 0, 0));
    const int dots = CountColor(pane.Image(), kRed, QRect(10, 0, 1, 100));
    EXPECT_GT(dots, 20);
    EXPECT_LT(dots, 80);
}

TEST(Surface, TextSitsBelowItsTopLeftCornerInTheForeColour) {
    ImageSurface pane;
    pane.surface.SetScale(0, 10, 100, 0);
    pane.surface.SetFontSize(12);
    const double height = pane.surface.TextHeight("ろ");
    EXPECT_GT(height, 0);  // absolute on an upward scale
    EXPECT_NEAR(pane.surface.TextWidth("00"), 2 * pane.surface.TextWidth("0"), 1e-9);
    pane.surface.SetForeColor(RgbColor(255, 0, 0));
    pane.surface.SetCurrentX(10);
    pane.surface.SetCurrentY(8);
    pane.surface.Print("ろさ売");
    EXPECT_GT(pane.surface.CurrentX(), 10);
    const QPoint corner = pane.surface.ToDevice(10, 8).toPoint();
    const QPoint far = pane.surface.ToDevice(10, 8 - height).toPoint();
    const QImage& image = pane.Image();
    EXPECT_GT(CountInk(image, QRect(corner, QPoint(image.width() - 1, far.y()))), 20);
    EXPECT_EQ(CountInk(image, QRect(0, 0, image.width(), corner.y())), 0);
    EXPECT_GT(CountColor(image, kRed, QRect(corner, QPoint(image.width() - 1, far.y()))), 0);

    // Underlined text adds a line under the glyphs.
    ImageSurface plain;
    ImageSurface underlined;
    underlined.surface.SetFontUnderline(true);
    for (ImageSurface* p : {&plain, &underlined}) {
        p->surface.SetForeColor(RgbColor(255, 0, 0));
        p->surface.SetCurrentX(100);
        p->surface.SetCurrentY(100);
        p->surface.Print("ab");
    }
    EXPECT_GT(CountInk(underlined.Image(), QRect(0, 0, 200, 100)),
              CountInk(plain.Image(), QRect(0, 0, 200, 100)));
}

TEST(Surface, PaintsAPrinterPageInTwips) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("page.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setPageSize(QPageSize(QPageSize::A4));
    {
        Surface page(&printer);
        page.SetFontFace(QString::fromLatin1(kMinchoFace));
        // The page's own scale is twips: A4 is about 11906 x 16838 twips with its margins.
        const QRectF paper = printer.pageLayout().paintRectPoints();
        EXPECT_NEAR(page.ScaleWidth(), paper.width() * 20, 40);
        EXPECT_NEAR(page.ScaleHeight(), paper.height() * 20, 40);
        page.SetFontSize(10);
        page.SetCurrentX(1134);
        page.SetCurrentY(1134);
        page.Print("印刷 2008/03/14");
        page.SetFillStyle(FillStyle::DiagonalCross);
        page.SetFillColor(RgbColor(128, 128, 128));
        page.Box(1134, 2000, 6000, 4000, RgbColor(0, 255, 0));
        ASSERT_TRUE(page.NewPage());
        page.Line(1134, 1134, 6000, 1134, RgbColor(0, 0, 0));
    }
    EXPECT_GT(QFileInfo(file).size(), 500);
    QFile pdf(file);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.readAll().contains("/Count 2"));

    ImageSurface image;
    EXPECT_FALSE(image.surface.NewPage());
}

// The page fonts the settings name are the platform's; they print in the installed faces.
// Each installed face is checked to be the family Qt resolves, or the comparisons would be
// between two stand-ins; each name then prints as its own face and as none of the others.
TEST(Surface, PlatformFaceNamesTakeTheInstalledFaces) {
    struct Case {
        const char* platform;
        const char* installed;
    };
    const Case cases[] = {
        {"ＭＳ 明朝", kMinchoFace},
        {"ＭＳ ゴシック", kGothicFace},
        {"ＭＳ Ｐ明朝", "IPAPMincho"},
        {"ＭＳ Ｐゴシック", "IPAPGothic"},
    };
    const std::string sample = "0123456789 Wiql 銘柄";
    const auto printed = [&sample](const QString& face, double* width = nullptr) {
        ImageSurface pane;
        pane.surface.SetFontFace(face);
        pane.surface.SetFontSize(10);
        if (width) *width = pane.surface.TextWidth(sample);
        pane.surface.Print(sample);
        return pane.Image();
    };
    for (const Case& c : cases) {
        const QString installed = QString::fromLatin1(c.installed);
        ASSERT_EQ(QFontInfo(QFont(installed)).family(), installed);
        double namedWidth = 0, installedWidth = 0;
        const QImage named = printed(QString::fromUtf8(c.platform), &namedWidth);
        EXPECT_EQ(named, printed(installed, &installedWidth)) << c.platform;
        EXPECT_DOUBLE_EQ(namedWidth, installedWidth) << c.platform;
        for (const Case& other : cases) {
            if (&other == &c) continue;
            EXPECT_NE(named, printed(QString::fromLatin1(other.installed)))
                << c.platform << " prints as " << other.installed;
        }
    }
}

TEST(Surface, PictureBoxKeepsItsDrawing) {
    PictureBox box;
    box.resize(300, 200);  // drawn into before it is shown
    Surface& surface = box.surface();
    surface.Clear();
    surface.SetScale(0, 100, 300, 0);
    surface.FilledBox(100, 50, 200, 20, RgbColor(255, 0, 0));
    EXPECT_EQ(box.image().size(), QSize(300, 200));
    EXPECT_EQ(box.image().pixelColor(150, 100), kRed);
    box.show();
    EXPECT_EQ(box.grab().toImage().pixelColor(150, 100), kRed);
    // Drawing goes on after the widget painted itself.
    surface.FilledBox(0, 100, 10, 90, RgbColor(0, 0, 255));
    EXPECT_EQ(box.image().pixelColor(5, 5), QColor(0, 0, 255));
}

}  // namespace
