#pragma once
// The news window FRM_News: the personal news, to read and select, never to edit.
#include <QDialog>
#include <cstdint>
#include <string>

class QPlainTextEdit;
class QPushButton;

inline constexpr const char* kNewsDesignCaption = "ﾊﾟｰｿﾅﾙﾆｭｰｽ";

// The caption for the newest data date: its yyyy/mm/dd text followed by "のﾊﾟｰｿﾅﾙﾆｭｰｽ"
// for eight digits of a date, "のﾊﾟｰｿﾅﾙﾆｭｰｽ" alone for a value of another length (0 before
// any data), and the design caption for eight digits that are no date.
std::string NewsCaption(int32_t latestDate);

class FRM_News : public QDialog {
  public:
    explicit FRM_News(QWidget* parent = nullptr);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void AddSeparator();

    QPlainTextEdit* txtNews_ = nullptr;
    QPushButton* cmdOk_ = nullptr;
};

// Shows FRM_News modally over owner when NewsText holds more than blanks.
void ShowNewsWindow(QWidget* owner);
