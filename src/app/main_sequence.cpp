#include "app/main_sequence.h"

#include <QApplication>
#include <QPointer>
#include <stdexcept>
#include <string>

#include "acquisition/mail_data_window.h"
#include "foundation/database.h"
#include "foundation/issue_list.h"
#include "foundation/printer_setup.h"
#include "foundation/selection.h"
#include "foundation/signin.h"
#include "foundation/startup.h"
#include "maintenance/commands.h"
#include "platform/end_signals.h"
#include "platform/message_box.h"
#include "portfolio/commands.h"
#include "portfolio/news_file.h"
#include "portfolio/portfolio_file.h"
#include "screening/atec_file.h"
#include "screening/commands.h"
#include "views/chart_commands.h"
#include "views/list_services.h"
#include "views/logon_window.h"
#include "views/main_frame.h"
#include "views/selection_window.h"
#include "views/splash_window.h"

namespace {

constexpr const char* kStartupErrorTag = "main_ERR";
constexpr const char* kInterrupted = "処理が中断されました。";

// A step of the start-up before the sign-in: its failure is passed over.
template <typename Step>
void IgnoreFailure(Step&& step) {
    try {
        step();
    } catch (...) {
    }
}

// A step that reported its own failure: the start-up takes its error path with an empty
// description, since the step's message already told the user what went wrong.
struct StepReported : std::runtime_error {
    StepReported() : std::runtime_error("") {}
};

void ShowSplash(QPointer<FRM_見出し>& splash) {
    splash = new FRM_見出し;
    splash->show();
    QCoreApplication::processEvents();
}

// A step that shows its own failure; the start-up names the step and takes its error path.
void ReportedStep(bool (*step)(), const char* name) {
    if (step()) return;
    MsgWarn(name);
    throw StepReported();
}

// The start-up list in the selection window, shown in the main frame. The frame exists
// before the list is filled, so the fill's count reaches its status bar.
void ShowStartupList() {
    InstallViewsCommands();
    MainFrame();
    ShowIssueList(SelectionWindow().Grid(), kListStartup);
    ShowSelectionList();
}

// The start-up after the sign-in, up to the list shown and the start-up files read.
void StartSignedIn(QPointer<FRM_見出し>& splash) {
    InstallPortfolioCommands();
    InstallMaintenanceCommands();
    ReadTextStores();
    ShowSplash(splash);
    if (!OpenPriceDatabases()) throw StepReported();
    QCoreApplication::processEvents();
    Search().SearchApplied = 0;
    Views().ListReloadPending = 0;
    LoadWorkingSettings(Views().DisplayCount);
    GetSijou();
    ShowStartupList();
    PrinterSetup().OsVersionFlag = PlatformOsVersionFlag();
    ReportedStep(SetRSALL, "SetRSALL");
    ReportedStep(GetSijou, "GetSijou");
    LoadPfFile();
    IssueSearch().SearchFromPf = 0;
    LoadNewsFile();
    LoadATec();
}

bool AnyWindowShown() {
    for (const QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible()) return true;
    }
    return false;
}

// A second copy ends without a word, as the first one is on the screen already; a lock
// that cannot be made at all ends the start with the reason.
bool HoldsProgramFolder() {
    switch (TakeInstanceLock()) {
        case InstanceLock::Taken:
            return true;
        case InstanceLock::HeldElsewhere:
            return false;
        case InstanceLock::Failed:
            MsgWarn(InstanceLockFailedMessage());
            return false;
    }
    return false;
}

bool ProgramRuns() {
    return MainFrameExists() && MainFrame().isVisible();
}

}  // namespace

bool Main() {
    if (!HoldsProgramFolder()) return false;
    // The menus and the toolbar start the subsystems' commands through these routines.
    InstallScreeningCommands();
    InstallAcquisitionCommands();
    IgnoreFailure(RemoveInterruptedWrites);
    IgnoreFailure(MakeMailDataFolder);
    IgnoreFailure(LoadSavedSignIn);
    IgnoreFailure(AskForSignIn);
    if (!HasSignInPair()) {
        MsgPlain(kSignInNeededMessage);
        return false;
    }
    switch (SignInUser()) {
        case SigninResult::SignedIn:
            break;
        case SigninResult::InvalidUser:
            // The sign-in window stays open; the program ends when it is closed.
            ShowLogonWindowModeless();
            return AnyWindowShown();
        case SigninResult::Failed:
            return false;
    }
    // An end before the main frame runs signs out, so the next start meets no double
    // sign-in question.
    SignOutOnEarlyEnd signOut;
    QPointer<FRM_見出し> splash;
    try {
        StartSignedIn(splash);
    } catch (const std::exception& error) {
        MsgWarn(std::string(kStartupErrorTag) + error.what());
        MsgInfo(kInterrupted);
    }
    if (splash) splash->close();
    if (!ProgramRuns()) return false;
    signOut.Keep();
    return true;
}

int RunProgram() {
    // The system's request to end closes the main frame as the user would, so the
    // program signs out and writes its text stores. Before the sign-in there is nothing
    // to keep and the program ends at once; between the sign-in and the frame the
    // request waits for the start-up to finish.
    bool endRequested = false;
    CloseOnEndSignals([&endRequested] {
        endRequested = true;
        if (MainFrameExists()) {
            MainFrame().close();
        } else if (Signin().SessionStamp.empty()) {
            QCoreApplication::exit(0);
        }
    });
    if (!Main()) return 0;
    if (endRequested) {
        if (MainFrameExists()) MainFrame().close();
        return 0;
    }
    return QApplication::exec();
}
