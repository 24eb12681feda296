#include "portfolio/news_window.h"

#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>

#include "foundation/text_utils.h"
#include "platform/busy_pointer.h"
#include "platform/twips.h"
#include "portfolio/state.h"
#include "ui/list_dialogs.h"

namespace {

constexpr int kDateDigits = 8;

// One line of the etched separator, a pixel high in the given colour of the palette.
void AddLine(QWidget* parent, const char* name, int topTwips, QPalette::ColorRole colour) {
    auto* line = new QFrame(parent);
    line->setObjectName(QString::fromLatin1(name));
    line->setGeometry(TwipsToPixels(120), TwipsToPixels(topTwips),
                      TwipsToPixels(6120) - TwipsToPixels(120), 1);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, parent->palette().color(colour));
    line->setPalette(palette);
    line->setAutoFillBackground(true);
}

bool IsClosingKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

}  // namespace

std::string NewsCaption(int32_t latestDate) {
    const std::string digits = std::to_string(latestDate);
    if (digits.size() != kDateDigits) return "のﾊﾟｰｿﾅﾙﾆｭｰｽ";
    const std::string date = SlashDate(digits);
    return IsValidSlashDate(date) ? date + "のﾊﾟｰｿﾅﾙﾆｭｰｽ" : kNewsDesignCaption;
}

FRM_News::FRM_News(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FRM_News"));
    setWindowTitle(QString::fromStdString(NewsCaption(News().LatestDataDate)));
    setFixedSize(TwipsToPixels(6255), TwipsToPixels(4320));

    txtNews_ = new QPlainTextEdit(this);
    txtNews_->setObjectName(QStringLiteral("TXT_News"));
    PlaceWidget(txtNews_, "", 120, 120, 6000, 3375);
    // Read-only keeps pasting and dropping out; the filter below keeps out every key.
    txtNews_->setReadOnly(true);
    txtNews_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    txtNews_->setPlainText(QString::fromStdString(News().NewsText));
    txtNews_->installEventFilter(this);

    AddLine(this, "Line1", 3720, QPalette::Dark);
    AddLine(this, "Line2", 3735, QPalette::Light);

    cmdOk_ = new QPushButton(QStringLiteral("OK"), this);
    cmdOk_->setObjectName(QStringLiteral("CMD_OK"));
    PlaceWidget(cmdOk_, "", 4800, 3900, 1200, 310);
    cmdOk_->setDefault(true);
    connect(cmdOk_, &QPushButton::clicked, this, &QDialog::accept);
    ResetPointer();
}

bool FRM_News::eventFilter(QObject* watched, QEvent* event) {
    if (watched != txtNews_) return QDialog::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::KeyPress:
            // The text takes no key, but Enter and Esc still close the window as its button.
            if (IsClosingKey(static_cast<QKeyEvent*>(event)->key())) cmdOk_->click();
            return true;
        case QEvent::KeyRelease:
        case QEvent::InputMethod:
        case QEvent::ShortcutOverride:
            return true;
        default:
            return QDialog::eventFilter(watched, event);
    }
}

void ShowNewsWindow(QWidget* owner) {
    if (TrimSpaces(News().NewsText).empty()) return;
    FRM_News window(owner);
    window.exec();
}
