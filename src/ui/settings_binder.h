#pragma once
// Binds a settings dialog's controls to the settings record: each control by its name,
// its field "<section>.<control name>" found through the settings field table. A dialog
// lists its controls in the order they load and save.
#include <QWidget>
#include <functional>
#include <span>
#include <string>

#include "foundation/settings_record.h"

class QRadioButton;

enum class BoundKind {
    Check,   // QCheckBox: 0, 1 or 2 (greyed)
    Option,  // QRadioButton: -1 selected, 0 not
    List,    // QComboBox: the position, -1 for nothing chosen
    Text,    // QLineEdit: the text, whole, whatever the box's typing limit
    Date,    // QDateTimeEdit: "yyyy/mm/dd"
};

struct BoundControl {
    const char* Name;
    BoundKind Kind;
};

// Sets the controls from the record in order. False, without a message, at the first
// value its control would not have held (a list position outside its list, a check value
// other than 0, 1 or 2, a date that is not one or lies outside the picker's range, a
// control or field missing); the controls set before keep their new values.
bool LoadBoundControls(QWidget& dialog, const std::string& section,
                       std::span<const BoundControl> order, SetteiRecord& record);
// Copies the controls back into the record in order. A failure shows its description
// through MsgWarn, ends the copy and gives false; the fields copied before keep their new
// values.
bool SaveBoundControls(QWidget& dialog, const std::string& section,
                       std::span<const BoundControl> order, SetteiRecord& record);

// Two option buttons of one group made exclusive by their clicks alone, so that a stored
// pair with neither selected shows neither and saves both as 0 again. A click selects its
// button and clears the other, then runs `clicked` (when given) with the first button's state.
void BindOptionPair(QRadioButton* first, QRadioButton* second,
                    std::function<void(bool firstSelected)> clicked = {});
