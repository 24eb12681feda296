#pragma once
// The compound search window, FRM_複合検索: the conditions of SearchSettei on four tabs.
// Each condition's input is usable only while its box is ticked; the numeric boxes
// filter keys as they are typed and are checked, formatted and put in order when they
// lose the focus. 適用 saves the conditions, OK saves them and lists the screened issues
// with every one selected, ｷｬﾝｾﾙ saves nothing.
#include <QDialog>
#include <string>

class QLineEdit;
class QTabWidget;

class FRM_複合検索 : public QDialog {
  public:
    explicit FRM_複合検索(QWidget* parent = nullptr);
    // The window's load: the saved conditions into the controls (all settings reset when
    // they cannot be shown), the list's selection emptied, the enable states set.
    void Load();
    QTabWidget* Tabs() const { return tabs_; }

  private:
    void Build();
    void BindControls();
    void OnScopeOption(bool specified);
    void OnSortOption(bool descending);
    // The check, format and pair rule of the numeric box that holds the focus, as leaving
    // it runs them; false when its check refused the text.
    bool CommitFocusedBox();
    bool SaveConditions();
    void OnApply();
    void OnOk();

    QTabWidget* tabs_ = nullptr;
};

// MNU_複数条件: the window shown modally over the issue selection window.
void ShowCompoundSearch();

// The window's own steps and formats of the rise and fall rates (0 to 999) and of the
// deviation bounds.
void IncrementField(QLineEdit* box);
void DecrementField(QLineEdit* box);
void FormatIntField(QLineEdit* box);
void FormatDecimalField(QLineEdit* box);
