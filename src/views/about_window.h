#pragma once
// The about window FRM_バージョン情報: product name, version and two installation items.
#include <QDialog>
#include <string>

class QPlainTextEdit;
class QPushButton;

// Installation items: "InstDir" the program's folder, "User" this machine's user name;
// every other key gives "".
std::string GetAboutValue(const std::string& key);
// A value longer than 36 bytes is cut to at most 34 bytes followed by "..".
std::string AboutItemText(const std::string& value);
// The text of TXT_Ver.
std::string BuildAboutText(const std::string& installFolder, const std::string& userName);

// moc cannot read non-ASCII identifiers: windows named in Japanese carry no Q_OBJECT and
// wire their events with lambdas.
class FRM_バージョン情報 : public QDialog {
  public:
    explicit FRM_バージョン情報(QWidget* parent = nullptr);
    static QString ProductName() { return QStringLiteral("Kabuto"); }
    static QString VersionText() { return QStringLiteral(KABUTO_VERSION); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void RestoreText();

    QPlainTextEdit* txtVer_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QString keptText_;
    bool restoring_ = false;
};
