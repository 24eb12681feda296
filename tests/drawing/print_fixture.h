#pragma once
// Printed pages for the chart printing tests: a document on the "PDF" printer set up as the
// chart print sets it up (full sheet, Mincho, the time and the title on top), ended and
// rendered with pdftoppm into PNG pages kept in the build folder for review.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QString>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "drawing/kagi_fixture.h"
#include "drawing/pane_images.h"
#include "drawing/print_page.h"
#include "drawing/series_fixture.h"
#include "platform/printers.h"
#include "platform/surface.h"
#include "support/temp_folder.h"

struct RenderedPages {
    int PageCount = 0;
    std::vector<QImage> Pages;
};

// Share of a page's pixels that are not white.
inline double InkShare(const QImage& page) {
    int64_t ink = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (page.pixel(x, y) != qRgb(255, 255, 255)) ++ink;
    return static_cast<double>(ink) / (static_cast<double>(page.width()) * page.height());
}

// Pixels of a clear colour (not black, white or grey).
inline int64_t ColouredPixels(const QImage& page) {
    int64_t coloured = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            const int high = std::max({c.red(), c.green(), c.blue()});
            const int low = std::min({c.red(), c.green(), c.blue()});
            if (high - low > 60) ++coloured;
        }
    return coloured;
}

class PrintedDocument {
  public:
    explicit PrintedDocument(PaperSize size = PaperSize::A4, bool landscape = false)
        : printer_(QPrinter::HighResolution) {
        SelectPrinter(printer_, kPdfPrinterName);
        printer_.setFullPage(true);
        printer_.setPageSize(QPageSize(size == PaperSize::A3 ? QPageSize::A3 : QPageSize::A4));
        printer_.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
        page_ = std::make_unique<Surface>(&printer_);
        page_->SetFontFace(QString::fromLatin1(kMinchoFace));
        page_->SetFontSize(10);
    }

    Surface& Page() { return *page_; }

    // The time on the right and the title at 12 points on the left, both above 2.5 cm; the
    // title's font is what the chart procedures start with.
    void Header(const std::string& title) {
        Surface& page = *page_;
        page.SetScale(0, 0, page.WidthTwips(), page.HeightTwips());
        page.SetForeColor(RgbColor(0, 0, 0));
        page.SetFontSize(10);
        page.SetCurrentX(page.WidthTwips() - 3118.5);
        page.SetCurrentY(1134 - page.TextHeight("0"));
        page.Print(QDateTime::currentDateTime()
                       .toString(QStringLiteral("yyyy/MM/dd hh:mm"))
                       .toStdString());
        page.SetFontSize(12);
        page.SetCurrentX(1134);
        page.SetCurrentY(1417 - page.TextHeight("0"));
        page.Print(title);
    }

    void NewPage() { ASSERT_TRUE(page_->NewPage()); }

    // Ends the document; the PDF and its pages go to the build folder as name.pdf and
    // name-N.png.
    RenderedPages Finish(const char* name) {
        page_.reset();
        const QString pdf = ReviewPath(name) + QStringLiteral(".pdf");
        QFile::remove(pdf);
        EXPECT_TRUE(QFile::copy(QString::fromStdString(folder_.File(kPdfPrintFileName)), pdf));
        RenderedPages rendered;
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {pdf});
        info.waitForFinished(60000);
        for (const QString& line : QString::fromUtf8(info.readAllStandardOutput()).split('\n'))
            if (line.startsWith(QStringLiteral("Pages:")))
                rendered.PageCount = line.mid(6).trimmed().toInt();

        const QDir dir(QStringLiteral(KABUTO_BINARY_DIR));
        const QString prefix = QString::fromLatin1(name) + QStringLiteral("-");
        for (const QString& old : dir.entryList({prefix + QStringLiteral("*.png")}))
            QFile::remove(dir.filePath(old));
        QProcess render;
        render.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("60"),
                                                  QStringLiteral("-png"), pdf, ReviewPath(name)});
        render.waitForFinished(120000);
        for (const QString& png :
             dir.entryList({prefix + QStringLiteral("*.png")}, QDir::Files, QDir::Name))
            rendered.Pages.emplace_back(dir.filePath(png));
        return rendered;
    }

  private:
    TempAppFolder folder_;
    QPrinter printer_;
    std::unique_ptr<Surface> page_;
};

// 400 daily bars with averages, a split, two barriers and two line slots over the last 150.
inline SeriesRecord MarkedDailyBars() {
    SeriesRecord daily = DailyBars(400, 1200, 7);
    AddAverages(daily, 5, 25);
    daily.Points[330].SplitFlag = kSplitHere;
    daily.Points[330].SplitRatio = 1.5;
    double high = 0;
    double low = 1e18;
    for (int32_t i = 250; i < 400; ++i) {
        high = std::max(high, daily.Points[i].High);
        if (daily.Points[i].Low > 0) low = std::min(low, daily.Points[i].Low);
    }
    const double span = high - low;
    daily.KanmonSlots[0] = {low + span * 0.55, low + span * 0.45, 0};
    daily.KanmonSlots[1] = {high + span * 0.2, high - span * 0.1, 1};  // cut at the top
    ShasenRec& judgement = daily.ShasenSlots[0];
    judgement.UpperLeftIndex = 240;  // left of the shown bars: cut at the first one
    judgement.UpperLeftPrice = high;
    judgement.UpperRightIndex = 405;  // in the empty slots on the right
    judgement.UpperRightPrice = low + span * 0.6;
    judgement.LowerLeftIndex = 280;
    judgement.LowerLeftPrice = low;
    judgement.LowerRightIndex = 390;
    judgement.LowerRightPrice = low + span * 0.4;
    ShasenRec& auxiliary = daily.ShasenSlots[2];
    auxiliary.UpperLeftIndex = 300;
    auxiliary.UpperLeftPrice = low - span;  // enters the range from below
    auxiliary.UpperRightIndex = 380;
    auxiliary.UpperRightPrice = high;
    return daily;
}

// 60 strokes with marks of both sides, joins of every code, a barrier and a line pair.
inline KagiFixture MarkedKagi(uint32_t seed = 9) {
    KagiFixture chart(60, 800, seed);
    chart.Mark(9, "", "ろく売");
    chart.Mark(12, "買", "ろさ買");
    chart.Mark(25, "売", "ろさろく売");
    chart.Mark(34, "買", "ろあ買");
    chart.Mark(49, "売", "ろゑ売");
    const int16_t codes[] = {10, 11, 12, 15, 16};
    for (int i = 0; i < 5; ++i) {
        const SeriesPoint& stroke = chart.record.Points[38 + 2 * i];
        const double span = stroke.Close - stroke.Open;
        chart.Join(38 + 2 * i, codes[i], stroke.Open + span / 3, stroke.Open + span * 2 / 3);
    }
    chart.SetSignalColours();
    double high = 0;
    double low = 1e18;
    for (const SeriesPoint& stroke : chart.record.Points) {
        high = std::max(high, stroke.Close);
        low = std::min(low, stroke.Close);
    }
    chart.record.KanmonSlots[0] = {low + (high - low) * 0.6, low + (high - low) * 0.5, 0};
    ShasenRec& line = chart.record.ShasenSlots[0];
    line.UpperLeftIndex = 20;
    line.UpperLeftPrice = high;
    line.UpperRightIndex = 65;
    line.UpperRightPrice = low + (high - low) * 0.7;
    line.LowerLeftIndex = 15;
    line.LowerLeftPrice = low;
    line.LowerRightIndex = 58;
    line.LowerRightPrice = low + (high - low) * 0.3;
    return chart;
}
