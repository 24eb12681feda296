#include "ui/dialog_builder.h"

#include <QComboBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <vector>

#include "platform/twips.h"

QVBoxLayout* AddTab(QTabWidget* tabs, const char* caption) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    tabs->addTab(page, Q(caption));
    return layout;
}

QGroupBox* Frame(QBoxLayout* column, const char* name, const char* caption) {
    auto* frame = new QGroupBox(Q(caption));
    frame->setObjectName(Q(name));
    frame->setLayout(new QGridLayout);
    column->addWidget(frame);
    return frame;
}

void AddLabel(QGroupBox* frame, const char* caption, int row, int col) {
    Grid(frame)->addWidget(new QLabel(Q(caption), frame), row, col);
}

QComboBox* AddList(QGroupBox* frame, const char* name, std::span<const char* const> items, int row,
                   int col) {
    auto* list = new QComboBox(frame);
    list->setObjectName(Q(name));
    list->setEditable(false);
    for (const char* item : items) list->addItem(Q(item));
    Grid(frame)->addWidget(list, row, col);
    return list;
}

namespace {

constexpr int kButtonWidth = 1200;
constexpr int kButtonHeight = 310;

// OK (the default button), ｷｬﾝｾﾙ and 適用, in that order.
std::vector<QPushButton*> MakeSettingsButtons(QDialog* dialog) {
    const char* const names[][2] = {
        {"CMD_OK", "OK"}, {"CMD_cancel", "ｷｬﾝｾﾙ"}, {"CMD_適用", "適用(&A)"}};
    std::vector<QPushButton*> buttons;
    for (const auto& [name, caption] : names) {
        auto* button = new QPushButton(Q(caption), dialog);
        button->setObjectName(Q(name));
        button->setFixedSize(TwipsToPixels(kButtonWidth), TwipsToPixels(kButtonHeight));
        buttons.push_back(button);
    }
    buttons.front()->setDefault(true);
    return buttons;
}

}  // namespace

void AddSettingsButtons(QDialog* dialog, QBoxLayout* layout) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton* button : MakeSettingsButtons(dialog)) row->addWidget(button);
    layout->addLayout(row);
}

void PlaceSettingsButtons(QDialog* dialog, int leftTwips, int topTwips) {
    for (QPushButton* button : MakeSettingsButtons(dialog)) {
        PlaceAt(button, leftTwips, topTwips, kButtonWidth, kButtonHeight);
        leftTwips += kButtonWidth + 120;
    }
}

void PlaceAt(QWidget* control, int left, int top, int width, int height) {
    control->setGeometry(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
                         TwipsToPixels(height));
}
