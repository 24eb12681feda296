#include "ui/dialog_builder.h"

#include <QComboBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

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

void AddSettingsButtons(QDialog* dialog, QBoxLayout* layout) {
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    const char* const names[][2] = {
        {"CMD_OK", "OK"}, {"CMD_cancel", "ｷｬﾝｾﾙ"}, {"CMD_適用", "適用(&A)"}};
    for (const auto& [name, caption] : names) {
        auto* button = new QPushButton(Q(caption), dialog);
        button->setObjectName(Q(name));
        button->setFixedSize(80, 21);  // 1200 x 310 twips
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);
    dialog->findChild<QPushButton*>(QStringLiteral("CMD_OK"))->setDefault(true);
}
