#pragma once
// Image-backed panes for the chart drawing tests: a chart window's four panes laid out
// as the window lays them out, or a grid of cells, composed into one PNG for review.
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QString>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "drawing/chart_frame.h"
#include "platform/surface.h"

struct ImagePane {
    QImage image;
    Surface surface;
    explicit ImagePane(QSize size) : image(size, QImage::Format_RGB32), surface(nullptr) {
        image.fill(Qt::gray);  // a pane the procedure never cleared shows up grey
        surface.SetDevice(&image);
    }
    // The colour at a point of the pane's current scale.
    QColor At(double x, double y) {
        const QPoint p = surface.ToDevice(x, y).toPoint();
        surface.Release();
        return image.pixelColor(p);
    }
};

// Price pane with its label strip on the right, volume pane and date pane below.
class ChartWindowPanes {
  public:
    explicit ChartWindowPanes(int priceWidth = 1200, int priceHeight = 520, int labelWidth = 90,
                              int volumeHeight = 140, int dateHeight = 44)
        : price(QSize(priceWidth, priceHeight)),
          labels(QSize(labelWidth, priceHeight)),
          volume(QSize(priceWidth, volumeHeight)),
          dates(QSize(priceWidth, dateHeight)) {}

    ChartPanes Panes() {
        return {&price.surface, &labels.surface, &volume.surface, &dates.surface};
    }

    QImage Compose() {
        for (ImagePane* pane : {&price, &labels, &volume, &dates}) pane->surface.Release();
        QImage page(price.image.width() + labels.image.width(),
                    price.image.height() + volume.image.height() + dates.image.height(),
                    QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter painter(&page);
        painter.drawImage(0, 0, price.image);
        painter.drawImage(price.image.width(), 0, labels.image);
        painter.drawImage(0, price.image.height(), volume.image);
        painter.drawImage(0, price.image.height() + volume.image.height(), dates.image);
        return page;
    }

    ImagePane price;
    ImagePane labels;
    ImagePane volume;
    ImagePane dates;
};

// Cells of a multi-issue view, `columns` across.
class CellGrid {
  public:
    CellGrid(int count, int columns, QSize cellSize) : columns_(columns), cellSize_(cellSize) {
        for (int i = 0; i < count; ++i) cells_.push_back(std::make_unique<ImagePane>(cellSize));
    }
    ImagePane& Cell(int i) { return *cells_.at(i); }
    QImage Compose() {
        const int rows = (static_cast<int>(cells_.size()) + columns_ - 1) / columns_;
        QImage page((cellSize_.width() + 4) * columns_, (cellSize_.height() + 4) * rows,
                    QImage::Format_RGB32);
        page.fill(Qt::darkGray);
        QPainter painter(&page);
        for (size_t i = 0; i < cells_.size(); ++i) {
            cells_[i]->surface.Release();
            const int column = static_cast<int>(i) % columns_;
            const int row = static_cast<int>(i) / columns_;
            painter.drawImage(column * (cellSize_.width() + 4) + 2,
                              row * (cellSize_.height() + 4) + 2, cells_[i]->image);
        }
        return page;
    }

  private:
    int columns_;
    QSize cellSize_;
    std::vector<std::unique_ptr<ImagePane>> cells_;
};

// Where the rendered pictures go for review.
inline QString ReviewPath(const char* name) {
    return QStringLiteral(KABUTO_BINARY_DIR "/") + QString::fromLatin1(name);
}
