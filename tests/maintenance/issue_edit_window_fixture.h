#pragma once
// The issue attribute window opened over the issue list of the synthetic market, its
// controls reached by name. Rows 1 to 4 of the list are the index issues, 5 to 16 the
// ordinary issues 1301 to 1312, 17 and 18 the joined listing 9901 (markets 011, 012).
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "foundation/text_stores.h"
#include "issue_jobs_fixture.h"
#include "maintenance/issue_edit_window.h"
#include "ui/input_boxes.h"

class IssueAttributes : public IssueJobsTest {
  protected:
    // The selected rows in the window, on its edit tab (0) or its merge tab (1).
    static FRM_銘柄修正* Open(int first, int last, int tab = 0) {
        SelectRows(first, last);
        if (tab == 0) {
            Selection().Routines.ShowIssueEdit();
        } else {
            Selection().Routines.ShowIssueJoin();
        }
        FRM_銘柄修正* window = IssueEditWindow();
        EXPECT_NE(window, nullptr);
        return window;
    }
    template <typename T>
    static T* Get(const char* name) {
        FRM_銘柄修正* window = IssueEditWindow();
        T* control = window ? window->findChild<T*>(QString::fromUtf8(name)) : nullptr;
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    static std::string TextOf(const char* name) {
        if (auto* box = IssueEditWindow()->findChild<QLineEdit*>(QString::fromUtf8(name)))
            return box->text().toStdString();
        return Get<QLabel>(name)->text().toStdString();
    }
    static void Type(const char* box, const std::string& text) {
        Get<QLineEdit>(box)->setText(QString::fromStdString(text));
    }
    static void Press(const char* button) { Get<QPushButton>(button)->click(); }
    static void SelectCode(const char* combo, const std::string& code) {
        QComboBox* box = Get<QComboBox>(combo);
        const int item = box->findData(QString::fromStdString(code));
        ASSERT_GE(item, 0) << code;
        box->setCurrentIndex(item);
    }
    static std::string SelectedCode(const char* combo) {
        QComboBox* box = Get<QComboBox>(combo);
        return box->currentIndex() < 0 ? "(none)" : box->currentData().toString().toStdString();
    }
    // The user leaving the box for the next control.
    static void Leave(const char* box) {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(Get<QLineEdit>(box), &out);
    }
    static void SetWatch(bool on, const std::string& text) {
        QCheckBox* check = Get<QCheckBox>("CHK_注目");
        if (check->isChecked() != on) check->click();
        Type("TXT_注目", text);
    }
    // 銘柄名, 注目, 市場コード, 業種コード and メモ of an issue's attribute row.
    static std::vector<std::string> Stored(const std::string& issueId) {
        RecordsetPtr rs = Daily(
            "SELECT 銘柄名, 注目, 市場コード, 業種コード, メモ FROM TBL銘柄属性 WHERE 銘柄ID = ?",
            {issueId});
        if (!rs || rs->RecordCount() != 1) return {"(missing)"};
        return {rs->Text(0), rs->Text(1), rs->Text(2), rs->Text(3), rs->Text(4)};
    }
};
