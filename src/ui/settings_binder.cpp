#include "ui/settings_binder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QRadioButton>
#include <stdexcept>

#include "foundation/error_texts.h"
#include "foundation/settings_fields.h"
#include "foundation/text_utils.h"
#include "foundation/trap.h"

namespace {

template <typename Control>
Control* Find(QWidget& dialog, const char* name) {
    return RequireControl(dialog.findChild<Control*>(QString::fromUtf8(name)));
}

// A check box's stored values 0, 1 and 2 (greyed) in the box's own terms.
constexpr Qt::CheckState kCheckStates[] = {Qt::Unchecked, Qt::Checked, Qt::PartiallyChecked};

int16_t CheckValue(Qt::CheckState state) {
    for (int16_t value = 0; value < 3; ++value)
        if (kCheckStates[value] == state) return value;
    return 0;
}

int16_t& IntegerField(SetteiRecord& record, const std::string& name) {
    int16_t* field = SetteiInteger(record, name);
    if (!field) throw std::invalid_argument(kErrSubscriptOutOfRange);
    return *field;
}

std::string& TextField(SetteiRecord& record, const std::string& name) {
    std::string* field = SetteiText(record, name);
    if (!field) throw std::invalid_argument(kErrSubscriptOutOfRange);
    return *field;
}

// A value the control would refuse.
void Refuse() {
    throw std::invalid_argument(kErrInvalidPropertyValue);
}

void LoadOne(QWidget& dialog, const BoundControl& control, const std::string& field,
             SetteiRecord& record) {
    switch (control.Kind) {
        case BoundKind::Check: {
            const int16_t value = IntegerField(record, field);
            if (value < 0 || value > 2) Refuse();
            Find<QCheckBox>(dialog, control.Name)->setCheckState(kCheckStates[value]);
            return;
        }
        case BoundKind::Option:
            Find<QRadioButton>(dialog, control.Name)->setChecked(IntegerField(record, field) != 0);
            return;
        case BoundKind::List: {
            QComboBox* list = Find<QComboBox>(dialog, control.Name);
            const int16_t position = IntegerField(record, field);
            if (position < -1 || position >= list->count()) Refuse();
            list->setCurrentIndex(position);
            return;
        }
        case BoundKind::Text:
            Find<QLineEdit>(dialog, control.Name)
                ->setText(QString::fromStdString(TextField(record, field)));
            return;
        case BoundKind::Date: {
            QDateTimeEdit* picker = Find<QDateTimeEdit>(dialog, control.Name);
            const std::string& text = TextField(record, field);
            if (!IsValidSlashDate(text)) Refuse();
            const QDate date = QDate::fromString(QString::fromStdString(text), "yyyy/MM/dd");
            if (date < picker->minimumDate() || date > picker->maximumDate()) Refuse();
            picker->setDate(date);
            return;
        }
    }
}

void SaveOne(QWidget& dialog, const BoundControl& control, const std::string& field,
             SetteiRecord& record) {
    switch (control.Kind) {
        case BoundKind::Check:
            IntegerField(record, field) =
                CheckValue(Find<QCheckBox>(dialog, control.Name)->checkState());
            return;
        case BoundKind::Option:
            IntegerField(record, field) =
                Find<QRadioButton>(dialog, control.Name)->isChecked() ? -1 : 0;
            return;
        case BoundKind::List:
            IntegerField(record, field) =
                static_cast<int16_t>(Find<QComboBox>(dialog, control.Name)->currentIndex());
            return;
        case BoundKind::Text:
            TextField(record, field) = Find<QLineEdit>(dialog, control.Name)->text().toStdString();
            return;
        case BoundKind::Date:
            TextField(record, field) = Find<QDateTimeEdit>(dialog, control.Name)
                                           ->date()
                                           .toString("yyyy/MM/dd")
                                           .toStdString();
            return;
    }
}

}  // namespace

bool LoadBoundControls(QWidget& dialog, const std::string& section,
                       std::span<const BoundControl> order, SetteiRecord& record) {
    try {
        for (const BoundControl& control : order)
            LoadOne(dialog, control, section + "." + control.Name, record);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool SaveBoundControls(QWidget& dialog, const std::string& section,
                       std::span<const BoundControl> order, SetteiRecord& record) {
    return RunTrapped([&] {
        for (const BoundControl& control : order)
            SaveOne(dialog, control, section + "." + control.Name, record);
    });
}

void BindOptionPair(QRadioButton* first, QRadioButton* second,
                    std::function<void(bool firstSelected)> clicked) {
    first->setAutoExclusive(false);
    second->setAutoExclusive(false);
    for (QRadioButton* button : {first, second}) {
        QObject::connect(button, &QRadioButton::clicked, button, [first, second, button, clicked] {
            // Without auto-exclusion a click on the selected button would clear it.
            first->setChecked(button == first);
            second->setChecked(button == second);
            if (clicked) clicked(button == first);
        });
    }
}
