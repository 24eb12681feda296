#include "screening/print_form_binding.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QWidget>
#include <stdexcept>

#include "foundation/state.h"
#include "foundation/trap.h"

namespace {

template <typename T>
T& Control(QWidget& dialog, const char* name) {
    return *RequireControl(dialog.findChild<T*>(QString::fromUtf8(name)));
}

// A list position that must exist, as a fixed list's saved choice must.
void SetListIndex(QWidget& dialog, const char* name, int index) {
    auto& list = Control<QComboBox>(dialog, name);
    if (index < 0 || index >= list.count()) throw std::out_of_range(name);
    list.setCurrentIndex(index);
}

// An option button takes -1 (chosen) or 0 as saved; a chosen button of a group is
// unchosen only with its group's exclusiveness lifted for the moment.
void SetOption(QWidget& dialog, const char* name, int16_t value) {
    auto& option = Control<QAbstractButton>(dialog, name);
    const bool exclusive = option.autoExclusive();
    option.setAutoExclusive(false);
    option.setChecked(value != 0);
    option.setAutoExclusive(exclusive);
}

// The saved index names a place in the printer list as it was when it was saved.
int PrinterIndex(int saved, int entries) {
    return saved >= 0 && saved < entries ? saved : 0;
}

}  // namespace

bool LoadPrintForm(QWidget& dialog) {
    try {
        const PrintSettei& saved = Settei().Record.PrintSettei;
        SetListIndex(dialog, "CBO_Size", saved.CBO_Size);
        SetListIndex(dialog, "CBO_方法", saved.CBO_方法);
        SetOption(dialog, "OPT_縦", saved.OPT_縦);
        SetOption(dialog, "OPT_横", saved.OPT_横);
        SetOption(dialog, "OPT_All", saved.OPT_All);
        SetOption(dialog, "OPT_Choice", saved.OPT_Choice);
        Control<QLineEdit>(dialog, "TXT_Count").setText(QString::number(saved.TXT_Count));
        auto& printers = Control<QComboBox>(dialog, "CBO_Printer");
        printers.setCurrentIndex(PrinterIndex(saved.CBO_Printer, printers.count()));
        return true;
    } catch (const std::exception&) {
        return false;
    }
}
