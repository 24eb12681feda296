#pragma once
// The manual analysis dialog FRM_手動分析: the scope of the run (all issues, or some
// markets and a range of watch numbers), kept in ManualSettei. OK saves the scope, runs the
// analysis under the progress window, rebuilds the personal news and reloads the issue
// list; ｷｬﾝｾﾙ saves nothing. The main frame takes no input while the dialog is open.
#include <QWidget>

class QCloseEvent;

class FRM_手動分析 : public QWidget {
  public:
    explicit FRM_手動分析(QWidget* parent = nullptr);
    // The window's load: the saved scope into the controls (all settings reset when it
    // cannot be shown) and the enable states.
    void Load();
    // The scope from the controls into the settings record, as OK saves it.
    bool LoadManualForm();
    void SaveManualForm();

  protected:
    // The title bar's close is the cancel button: the main frame gets its input back.
    void closeEvent(QCloseEvent* event) override;

  private:
    void Build();
    void BindControls();
    void OnScopeOption(bool specified);
    void EnableWatchLines();
    void OnOk();
    void OnCancel();
};

// MNU_手動分析: the dialog shown over the disabled main frame.
void ShowManualAnalysis();
