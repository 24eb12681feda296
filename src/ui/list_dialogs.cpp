#include "ui/list_dialogs.h"

#include <QDialog>
#include <QFrame>

#include "platform/flex_grid.h"
#include "platform/twips.h"

namespace {

constexpr uint32_t kCyan = 0xFFFF00;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr int kSeparatorHeight = 30;

}  // namespace

QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}

void PlaceWidget(QWidget* control, const char* name, int left, int top, int width, int height) {
    if (*name) control->setObjectName(Utf8(name));
    control->setGeometry(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
                         TwipsToPixels(height));
}

void StyleListGrid(FlexGrid& grid) {
    grid.SetSelectionByRow(true);
    grid.SetBackColorSel(kCyan);
    grid.SetForeColorSel(kBlack);
    grid.SetBackColor(kWhite);
}

void AddSeparator(QWidget* parent, int left, int top, int width) {
    auto* line = PlaceControl(new QFrame(parent), "LIN_区切", left, top, width, kSeparatorHeight);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
}

void SetUpListDialog(QDialog& dialog, const char* name, const char* caption, int width,
                     int height) {
    dialog.setObjectName(Utf8(name));
    dialog.setWindowTitle(Utf8(caption));
    dialog.setModal(true);
    dialog.setFixedSize(TwipsToPixels(width), TwipsToPixels(height));
}
