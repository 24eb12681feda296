#include "screening/manual_analysis_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <vector>

#include "foundation/settings.h"
#include "foundation/state.h"
#include "foundation/text_utils.h"
#include "foundation/trap.h"
#include "platform/busy_pointer.h"
#include "platform/message_box.h"
#include "platform/twips.h"
#include "portfolio/news.h"
#include "portfolio/state.h"
#include "screening/manual_analysis.h"
#include "ui/child_windows.h"
#include "ui/grid_layouts.h"
#include "ui/input_boxes.h"
#include "ui/list_dialogs.h"
#include "ui/progress_window.h"
#include "ui/settings_binder.h"
#include "ui/state.h"
#include "views/main_frame.h"

namespace {

constexpr const char* kSection = "ManualSettei";
constexpr const char* kNewsFailedMessage = "ﾎﾟｰﾄﾌｫﾘｵ分析中に不具合が発生しました。";
constexpr const char* kFinishedMessage = "処理が終了しました。";
constexpr const char* kStoppedMessage = "処理が中断されました。";
constexpr int kClientWidth = 3810;
constexpr int kClientHeight = 5760;

using K = BoundKind;
// The order the scope loads and saves in.
const BoundControl kFormOrder[] = {
    {"OPT_全て", K::Option},  {"OPT_指定", K::Option},   {"CHK_指標", K::Check},
    {"CHK_東プ", K::Check},   {"CHK_東ス", K::Check},    {"CHK_東グ", K::Check},
    {"CHK_東", K::Check},     {"CHK_東1", K::Check},     {"CHK_東2", K::Check},
    {"CHK_大証", K::Check},   {"CHK_名証", K::Check},    {"CHK_店頭", K::Check},
    {"CHK_マザ", K::Check},   {"CHK_ヘラ", K::Check},    {"CHK_注目Min", K::Check},
    {"TXT_注目Min", K::Text}, {"CHK_注目Max", K::Check}, {"TXT_注目Max", K::Text},
};

// A check box of the frame: name, caption, twips left, top, width.
struct MarketBox {
    const char* Name;
    const char* Caption;
    int Left, Top, Width;
};
constexpr MarketBox kMarketBoxes[] = {
    {"CHK_指標", "指標", 240, 1080, 1212},
    {"CHK_東プ", "東証プライム", 240, 1350, 1455},
    {"CHK_東ス", "東証スタンダード", 240, 1620, 1695},
    {"CHK_東グ", "東証グローズ", 240, 1890, 1455},
    {"CHK_東", "東証", 240, 2160, 1212},
    {"CHK_名証", "名証", 240, 2400, 1212},
    {"CHK_東1", "東証１部", 240, 2760, 1212},
    {"CHK_東2", "東証２部", 240, 3000, 1212},
    {"CHK_大証", "大証", 240, 3240, 1212},
    {"CHK_店頭", "ｼﾞｬｽﾀﾞｯｸ", 1800, 2640, 1095},
    {"CHK_マザ", "ﾏｻﾞｰｽﾞ", 1800, 2880, 1095},
    {"CHK_ヘラ", "ﾍﾗｸﾚｽ", 1800, 3120, 1095},
};

// The tab order of the controls that take the focus.
constexpr const char* kTabOrder[] = {
    "OPT_全て",    "OPT_指定",    "CHK_指標",    "CHK_東1",     "CHK_東2",
    "CHK_大証",    "CHK_名証",    "CHK_店頭",    "CHK_マザ",    "CHK_ヘラ",
    "CHK_注目Min", "TXT_注目Min", "CHK_注目Max", "TXT_注目Max", "CMD_OK",
    "CMD_cancel",  "CHK_東プ",    "CHK_東ス",    "CHK_東グ",    "CHK_東",
};

template <typename Control>
Control* Child(const QWidget* window, const char* name) {
    return RequireControl(window->findChild<Control*>(QString::fromUtf8(name)));
}

QLabel* AddLabel(QWidget* parent, const char* caption, int left, int top, int width) {
    return PlaceControl(new QLabel(Utf8(caption), parent), "", left, top, width, 255);
}

// A watch line: "下限：" or "上限：", its box, its spinner and the word after it.
void AddWatchLine(QGroupBox* frame, const char* which, const char* caption, const char* after,
                  int top) {
    const std::string suffix = which;
    PlaceControl(new QCheckBox(Utf8(caption), frame), ("CHK_注目" + suffix).c_str(), 240, top, 972,
                 252);
    auto* box =
        PlaceControl(new QLineEdit(frame), ("TXT_注目" + suffix).c_str(), 1320, top, 492, 264);
    box->setAlignment(Qt::AlignRight);
    box->setMaxLength(4);
    box->setAttribute(Qt::WA_InputMethodEnabled, false);
    PlaceControl(new UpDownSpinner(frame), ("UPD_注目" + suffix).c_str(), 1800, top, 240, 255);
    AddLabel(frame, after, 2160, top, 615);
}

}  // namespace

FRM_手動分析::FRM_手動分析(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("FRM_手動分析"));
    setWindowTitle(QStringLiteral("手動分析"));
    setFixedSize(TwipsToPixels(kClientWidth), TwipsToPixels(kClientHeight));
    Build();
    BindControls();
}

void FRM_手動分析::Build() {
    auto* frame =
        PlaceControl(new QGroupBox(Utf8("対象範囲"), this), "FRM_市場", 120, 120, 3495, 4695);
    PlaceControl(new QRadioButton(Utf8("全て"), frame), "OPT_全て", 120, 240, 1572, 252);
    PlaceControl(new QRadioButton(Utf8("指定範囲のみ"), frame), "OPT_指定", 120, 480, 1572, 252);
    AddLabel(frame, "市場", 1260, 840, 495);
    AddSeparator(frame, 285, 900, 2465);
    for (const MarketBox& market : kMarketBoxes)
        PlaceControl(new QCheckBox(Utf8(market.Caption), frame), market.Name, market.Left,
                     market.Top, market.Width, 252);
    AddLabel(frame, "注目", 1140, 3720, 495);
    AddSeparator(frame, 120, 3720, 2585);
    AddWatchLine(frame, "Min", "下限：", "から", 3900);
    AddWatchLine(frame, "Max", "上限：", "まで", 4260);
    AddSeparator(this, 120, 5040, 3010);
    auto* ok =
        PlaceControl(new QPushButton(QStringLiteral("OK"), this), "CMD_OK", 480, 5220, 1200, 310);
    ok->setDefault(true);
    PlaceControl(new QPushButton(Utf8("ｷｬﾝｾﾙ"), this), "CMD_cancel", 1800, 5220, 1200, 310);
    QWidget* previous = nullptr;
    for (const char* name : kTabOrder) {
        QWidget* control = Child<QWidget>(this, name);
        if (previous) setTabOrder(previous, control);
        previous = control;
    }
}

void FRM_手動分析::BindControls() {
    for (const char* which : {"Min", "Max"}) {
        const std::string suffix = which;
        auto* box = Child<QLineEdit>(this, ("TXT_注目" + suffix).c_str());
        auto* spinner = Child<UpDownSpinner>(this, ("UPD_注目" + suffix).c_str());
        BindPercentBox(box, spinner);
        BindConditionLine(this, Child<QCheckBox>(this, ("CHK_注目" + suffix).c_str()), box,
                          spinner);
    }
    BindMinMaxPair(Child<QLineEdit>(this, "TXT_注目Min"), Child<QLineEdit>(this, "TXT_注目Max"));
    // The pair of options is exclusive by these handlers alone, so that a stored 0/0 pair
    // shows neither button and saves 0/0 again.
    for (const char* name : {"OPT_全て", "OPT_指定"})
        Child<QRadioButton>(this, name)->setAutoExclusive(false);
    connect(Child<QRadioButton>(this, "OPT_全て"), &QRadioButton::clicked, this,
            [this] { OnScopeOption(false); });
    connect(Child<QRadioButton>(this, "OPT_指定"), &QRadioButton::clicked, this,
            [this] { OnScopeOption(true); });
    QPushButton* ok = Child<QPushButton>(this, "CMD_OK");
    QPushButton* cancel = Child<QPushButton>(this, "CMD_cancel");
    connect(ok, &QPushButton::clicked, this, [this] { OnOk(); });
    connect(cancel, &QPushButton::clicked, this, [this] { OnCancel(); });
    // A window is no dialog: Enter and Esc reach the default and cancel buttons this way.
    for (const auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* enter = new QShortcut(QKeySequence(key), this);
        connect(enter, &QShortcut::activated, ok, &QPushButton::click);
    }
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, cancel, &QPushButton::click);
}

bool FRM_手動分析::LoadManualForm() {
    return LoadBoundControls(*this, kSection, kFormOrder, Settei().Record);
}

void FRM_手動分析::SaveManualForm() {
    SaveBoundControls(*this, kSection, kFormOrder, Settei().Record);
}

void FRM_手動分析::EnableWatchLines() {
    for (const char* which : {"Max", "Min"}) {
        const std::string suffix = which;
        auto* box = Child<QLineEdit>(this, ("TXT_注目" + suffix).c_str());
        EnableByCheck(this, Child<QCheckBox>(this, ("CHK_注目" + suffix).c_str()), box);
        CopyEnabled(box, Child<QWidget>(this, ("UPD_注目" + suffix).c_str()));
    }
}

void FRM_手動分析::Load() {
    RunTrapped([this] {
        if (!LoadManualForm()) {
            // Every setting goes back to its default; the run keeps the pair it signed in with.
            LogonPair logon = Signin().LogonInfo;
            ResetSettei(logon);
            LoadManualForm();
        }
        if (Child<QRadioButton>(this, "OPT_全て")->isChecked()) DisableFilterChecks(*this);
        EnableWatchLines();
        DoNothing(*this);
    });
    ResetPointer();
}

void FRM_手動分析::OnScopeOption(bool specified) {
    RunTrapped([this, specified] {
        Child<QRadioButton>(this, "OPT_全て")->setChecked(!specified);
        Child<QRadioButton>(this, "OPT_指定")->setChecked(specified);
        specified ? EnableFilterChecks(*this) : DisableFilterChecks(*this);
        EnableWatchLines();
    });
}

void FRM_手動分析::OnOk() {
    SetHourglass();
    SaveManualForm();
    SaveSettei(Signin().LogonInfo);
    FRM_処理中& progress = ProgressWindow();
    progress.ResetProgress();
    Progress().CancelRequested = 0;
    ShowChildDisabled(this, &progress);
    const bool finished = RunManualAnalysis();
    if (finished && !CheckPfNews()) {
        News().NewsText.clear();
        MsgWarn(kNewsFailedMessage);
    }
    CloseChildEnable(this, &progress);
    // The window is unloaded here: nothing of it is touched after.
    FinishChildDialog(-1, &MainFrame(), this);
    MsgInfo(finished ? kFinishedMessage : kStoppedMessage);
    ResetPointer();
}

void FRM_手動分析::OnCancel() {
    FinishChildDialog(0, &MainFrame(), this);
    ResetPointer();
}

void FRM_手動分析::closeEvent(QCloseEvent* event) {
    if (IsUnloaded(this)) return QWidget::closeEvent(event);
    event->ignore();
    OnCancel();
}

void ShowManualAnalysis() {
    auto* window = new FRM_手動分析;
    window->Load();
    ShowChildDisabled(&MainFrame(), window);
}
