#pragma once
// The line and barrier tool panel PIC_斜線 on the main frame's toolbar TLB_斜線関門, shown
// while the user edits the lines or barriers of a single chart. Its option groups choose the
// slot (補助 / 判定), the object (斜線 / 関門), the line or edge (上値 / 下値), the end a
// click sets (終点 / 始点) and what a click does (設定 / 平行 / 延長); the mouse routines
// read them at each click. 切替 steps through the auxiliary slots; 削除, 保存 and 閉じる
// delete the current slot, save and end, or throw the changes away and end.
//
// Every control has its name as objectName. The panel only builds its controls (and lets Esc
// press 閉じる); the editing wires their handlers (views/line_editing.h).
#include <QWidget>

#include "analysis/lines_editing.h"

class QLineEdit;
class QPushButton;
class QRadioButton;
class UpDownSpinner;

class ShasenKanmonPanel : public QWidget {
  public:
    explicit ShasenKanmonPanel(QWidget* parent = nullptr);

    QRadioButton* Option(const char* name) const;
    QPushButton* Button(const char* name) const;
    QWidget* Frame(const char* name) const;
    UpDownSpinner* Spinner(const char* name) const;
    QLineEdit* PriceBox(const char* name) const;

    // The choices a line click reads.
    ShasenEditOptions LineOptions() const;
    bool Selected(const char* option) const;
    // FRA_TB shows exactly while 関門 is selected, FRA_LR and FRA_Mode while 斜線 is.
    void SyncFrames();
    // Selects 補助, 上値, 設定 and 終点: each option group back to its first choice.
    void ResetOptions();

  private:
    void BuildControls();
};
