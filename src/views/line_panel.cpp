#include "views/line_panel.h"

#include <QButtonGroup>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <tuple>
#include <vector>

#include "platform/twips.h"
#include "ui/input_boxes.h"

namespace {

QString Q(const char* text) {
    return QString::fromUtf8(text);
}

// The panel and its place on the toolbar, in twips.
constexpr double kPanelWidth = 11610;
constexpr double kPanelHeight = 735;
constexpr double kOptionWidth = 855;
constexpr double kOptionHeight = 180;
constexpr double kOptionTops[] = {120, 360};
constexpr double kButtonTop = 300;
constexpr double kButtonWidth = 1200;
constexpr double kButtonHeight = 310;
constexpr int kPriceBoxLength = 9;

QRect Twips(double left, double top, double width, double height) {
    return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
                 TwipsToPixels(height));
}

template <typename W>
W* Named(W* widget, const char* name, const QRect& place) {
    widget->setObjectName(Q(name));
    widget->setGeometry(place);
    return widget;
}

// A frame without a border holding one option group.
struct OptionGroup {
    const char* frame;
    double left;
    double width;
    double height;
    std::vector<const char*> options;  // names, the first one selected
    std::vector<const char*> captions;
};

const std::vector<OptionGroup>& OptionGroups() {
    static const std::vector<OptionGroup> groups = {
        {"Frame3", 240, 935, 735, {"OPT_補助", "OPT_判定"}, {"補助", "判定"}},
        {"FRA_Menu", 1320, 935, 735, {"OPT_斜線", "OPT_関門"}, {"斜線", "関門"}},
        {"FRA_UD", 2400, 935, 735, {"OPT_上値", "OPT_下値"}, {"上値", "下値"}},
        {"FRA_LR", 3480, 935, 735, {"OPT_右端", "OPT_左端"}, {"終点", "始点"}},
        {"FRA_Mode",
         4560,
         1755,
         735,
         {"OPT_設定", "OPT_平行", "OPT_延長"},
         {"設定", "平行", "延長"}},
    };
    return groups;
}

// Etched separators between the groups: a dark line with a light one beside it.
struct Separator {
    const char* dark;
    const char* light;
    double left;
};
constexpr Separator kSeparators[] = {
    {"Line1", "Line7", 1230},
    {"Line2", "Line8", 2310},
    {"Line3", "Line9", 3390},
    {"Line4", "Line10", 6390},
};

QFrame* SeparatorLine(QWidget* parent, const char* name, double left, const QColor& colour) {
    auto* line = Named(new QFrame(parent), name, Twips(left, 60, 15, 615));
    line->setAutoFillBackground(true);
    line->setPalette(QPalette(colour));
    return line;
}

}  // namespace

ShasenKanmonPanel::ShasenKanmonPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(Q("PIC_斜線"));
    setFixedSize(TwipsToPixels(kPanelWidth), TwipsToPixels(kPanelHeight));
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);
    BuildControls();
    // The panel's cancel button answers Esc wherever the focus is in the frame.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, Button("CMD_cancel"), &QPushButton::click);
    SyncFrames();
}

void ShasenKanmonPanel::BuildControls() {
    // Created first, so that it is first in the tab order.
    auto* cancel = Named(new QPushButton(Q("閉じる(&C)"), this), "CMD_cancel",
                         Twips(10200, kButtonTop, kButtonWidth, kButtonHeight));
    cancel->setAutoDefault(false);
    for (const OptionGroup& group : OptionGroups()) {
        QWidget* frame =
            Named(new QWidget(this), group.frame, Twips(group.left, 0, group.width, group.height));
        auto* buttons = new QButtonGroup(frame);
        buttons->setObjectName(Q(group.frame));
        for (size_t i = 0; i < group.options.size(); ++i) {
            // 延長 stands to the right of 設定.
            const bool right = i == 2;
            auto* option = Named(
                new QRadioButton(Q(group.captions[i]), frame), group.options[i],
                Twips(right ? 840 : 0, kOptionTops[right ? 0 : i], kOptionWidth, kOptionHeight));
            option->setChecked(i == 0);
            buttons->addButton(option);
        }
    }
    QWidget* prices = Named(new QWidget(this), "FRA_TB", Twips(3480, 0, 2775, 630));
    for (auto [box, spin, left, top] : {std::tuple{"TXT_Max", "UPD_Max", 0.0, 60.0},
                                        std::tuple{"TXT_Min", "UPD_Min", 1320.0, 360.0}}) {
        auto* edit = Named(new QLineEdit(prices), box, Twips(left, top, 1095, 264));
        edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        edit->setMaxLength(kPriceBoxLength);
        edit->setAttribute(Qt::WA_InputMethodEnabled, false);
        Named(new UpDownSpinner(prices), spin, Twips(left + 1080, top, 240, 255));
    }
    auto* tilde = Named(new QLabel(Q("～"), prices), "Label1", Twips(960, 390, 240, 240));
    tilde->adjustSize();
    auto* sw = Named(new QGroupBox(Q("切替"), this), "FRA_SW", Twips(6480, 60, 630, 555));
    Named(new UpDownSpinner(sw), "UPD_Next", Twips(195, 195, 240, 330));
    Named(new QPushButton(Q("削除(&D)"), this), "CMD_Delete",
          Twips(7560, kButtonTop, kButtonWidth, kButtonHeight))
        ->setAutoDefault(false);
    Named(new QPushButton(Q("保存(&U)"), this), "CMD_OK",
          Twips(8880, kButtonTop, kButtonWidth, kButtonHeight))
        ->setAutoDefault(false);
    for (const Separator& separator : kSeparators) {
        SeparatorLine(this, separator.dark, separator.left, QColor(128, 128, 128));
        SeparatorLine(this, separator.light, separator.left + 15, Qt::white);
    }
}

QRadioButton* ShasenKanmonPanel::Option(const char* name) const {
    return findChild<QRadioButton*>(Q(name));
}

QPushButton* ShasenKanmonPanel::Button(const char* name) const {
    return findChild<QPushButton*>(Q(name));
}

QWidget* ShasenKanmonPanel::Frame(const char* name) const {
    return findChild<QWidget*>(Q(name));
}

UpDownSpinner* ShasenKanmonPanel::Spinner(const char* name) const {
    return findChild<UpDownSpinner*>(Q(name));
}

QLineEdit* ShasenKanmonPanel::PriceBox(const char* name) const {
    return findChild<QLineEdit*>(Q(name));
}

bool ShasenKanmonPanel::Selected(const char* option) const {
    return Option(option)->isChecked();
}

ShasenEditOptions ShasenKanmonPanel::LineOptions() const {
    ShasenEditOptions options;
    options.Upper = Selected("OPT_上値");
    options.LeftEnd = Selected("OPT_左端");
    options.Mode = Selected("OPT_平行")   ? ShasenClickMode::Parallel
                   : Selected("OPT_延長") ? ShasenClickMode::Extend
                                          : ShasenClickMode::Set;
    return options;
}

void ShasenKanmonPanel::ResetOptions() {
    for (const char* name : {"OPT_補助", "OPT_上値", "OPT_設定", "OPT_右端"})
        Option(name)->setChecked(true);
}

void ShasenKanmonPanel::SyncFrames() {
    const bool barriers = Selected("OPT_関門");
    Frame("FRA_TB")->setVisible(barriers);
    Frame("FRA_LR")->setVisible(!barriers);
    Frame("FRA_Mode")->setVisible(!barriers);
}
