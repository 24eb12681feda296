#pragma once
// The observation window FRM_先行観測: among the issues selected in the issue list, those
// whose forward (順次) or backward (逆次) observation is in force, with the line price,
// the observation and the rule. The user switches the direction, sorts by any column,
// prints the list and hands a choice of its rows back to the issue list.
//
// The window shows Observation().ObservationRecordset, which the observation command has
// filled; it closes with Observation().ObservationResult -1 after OK, 0 otherwise.
#include <QDialog>
#include <cstdint>

class FlexGrid;
class QRadioButton;
class QPushButton;

inline constexpr const char* kObservationFormName = "FRM_先行観測";
inline constexpr const char* kNoObservationMessage = "成立する銘柄はありませんでした。";

// The list mode of an observation order: 6 forward (0), 7 backward (-1).
int ObservationListMode(int16_t order);

class FRM_先行観測 : public QDialog {
  public:
    explicit FRM_先行観測(QWidget* parent = nullptr);
    ~FRM_先行観測() override;

    FlexGrid& Grid() const { return *grid_; }
    // The grid refilled from ObservationRecordset under its headers.
    void ShowObservation();

    void reject() override;

  private:
    void BuildControls();
    void WireControls();
    void FillObservationGrid();
    void SwitchOrder(int16_t order);
    void OnHeaderMouseDown(int button, double x, double y);
    void EnableChoice(bool enabled);
    void OnOk();
    void OnPrint();

    FlexGrid* grid_ = nullptr;
    QRadioButton* forward_ = nullptr;
    QRadioButton* backward_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* print_ = nullptr;
};
