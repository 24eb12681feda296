#pragma once
// The loading half of the print dialog's binding: the saved print settings copied into
// the dialog's controls, found by name. The dialog fills its three lists first (one entry
// per installed printer, "A4" and "A3", "自動" and "手差し") and then calls this.
class QWidget;

// CBO_Size, CBO_方法, OPT_縦, OPT_横, OPT_All, OPT_Choice, TXT_Count and CBO_Printer from
// the saved PrintSettei, in that order. A saved printer index off the list (printers
// removed since, or never valid) selects the first printer. False, without a message,
// when a setting fits no control (a paper size or feed outside its list, a missing
// control): the dialog then resets the settings and loads them once more.
bool LoadPrintForm(QWidget& dialog);
