#include "screening/kagi_judge_window.h"

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "foundation/settings.h"
#include "foundation/state.h"
#include "foundation/trap.h"
#include "platform/busy_pointer.h"
#include "ui/dialog_builder.h"
#include "ui/settings_binder.h"
#include "views/main_frame.h"

namespace {

constexpr const char* kSection = "KagiJudgeSettei";

// One option group: its frame, the frame holding it, and its two buttons with their
// captions, the default on top.
struct JudgeGroup {
    int Tab;
    const char* Outer;
    const char* OuterCaption;
    const char* Name;
    const char* Caption;
    const char* Top;
    const char* TopCaption;
    const char* Bottom;
    const char* BottomCaption;
};

const char* const kTabs[] = {"ろさ", "ろく", "ろゑ", "ろあ"};

const JudgeGroup kGroups[] = {
    {0, "FRA_ろさ_一二", "第一・第二法則", "FRA_ろさ_引線", "最初の引線が長い線", "OPT_長線無制限",
     "制限なし。", "OPT_Not長線", "最初の長大線はとらない。"},
    {0, "FRA_ろさ_一二", "第一・第二法則", "FRA_ろさ_連続", "連続出現", "OPT_Not連続",
     "連続出現はとらない。", "OPT_連続無制限", "制限なし。"},
    {0, "FRA_ろさ_三四五", "第三・第四・第五法則", "FRA_ろさ_新値", "新値の回数", "OPT_新値三超",
     "第三は４回、第四・第五は５回目でとる。", "OPT_新値三迄", "３回までをとる。"},
    {1, "FRA_ろく_第二", "第二法則", "FRA_ろく_半値引空間", "半値引空間の法則", "OPT_第二無制限",
     "制限なし。", "OPT_第二三迄", "３回までをとる。"},
    {1, "FRA_ろく_第三", "第三法則", "FRA_ろく_行来", "いってこいの法則", "OPT_第三考慮",
     "直前の引線の長さを考慮する。", "OPT_第三無制限", "制限なし。"},
    {2, "FRA_ろゑ_一二五", "第一・第二・第五法則", "FRA_ろゑ_山", "山の数", "OPT_山無制限",
     "制限なし。", "OPT_山三のみ", "３山のみをとる。"},
    {3, "FRA_ろあ_第2", "第二法則", "FRA_ろあ_採否", "法則の採否", "OPT_第二採用", "採用する。",
     "OPT_第二不採用", "採用しない。"},
};

using K = BoundKind;
// The fields in their record order, the order they load and save in.
const BoundControl kOrder[] = {
    {"OPT_長線無制限", K::Option}, {"OPT_Not長線", K::Option},    {"OPT_連続無制限", K::Option},
    {"OPT_Not連続", K::Option},    {"OPT_新値三超", K::Option},   {"OPT_新値三迄", K::Option},
    {"OPT_第二無制限", K::Option}, {"OPT_第二三迄", K::Option},   {"OPT_第三考慮", K::Option},
    {"OPT_第三無制限", K::Option}, {"OPT_山無制限", K::Option},   {"OPT_山三のみ", K::Option},
    {"OPT_第二採用", K::Option},   {"OPT_第二不採用", K::Option},
};

template <typename Control>
Control* Child(const QWidget* window, const char* name) {
    return RequireControl(window->findChild<Control*>(QString::fromUtf8(name)));
}

}  // namespace

bool LoadKagiJudgeForm(QWidget& window) {
    return LoadBoundControls(window, kSection, kOrder, Settei().Record);
}

void SaveKagiJudgeForm(QWidget& window) {
    SaveBoundControls(window, kSection, kOrder, Settei().Record);
}

FRM_鈎判設定::FRM_鈎判設定(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FRM_鈎判設定"));
    setWindowTitle(QStringLiteral("鈎足判定設定"));
    Build();
}

void FRM_鈎判設定::Build() {
    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("STB_ユーザ設定"));
    QVBoxLayout* pages[std::size(kTabs)];
    for (size_t tab = 0; tab < std::size(kTabs); ++tab) pages[tab] = AddTab(tabs_, kTabs[tab]);
    QGroupBox* outer = nullptr;
    for (const JudgeGroup& group : kGroups) {
        if (!outer || outer->objectName() != Q(group.Outer)) {
            outer = new QGroupBox(Q(group.OuterCaption));
            outer->setObjectName(Q(group.Outer));
            outer->setLayout(new QVBoxLayout);
            pages[group.Tab]->addWidget(outer);
        }
        QGroupBox* frame =
            Frame(static_cast<QVBoxLayout*>(outer->layout()), group.Name, group.Caption);
        auto* top = AddButton<QRadioButton>(frame, group.Top, group.TopCaption, 0, 0);
        auto* bottom = AddButton<QRadioButton>(frame, group.Bottom, group.BottomCaption, 1, 0);
        top->setChecked(true);
        BindOptionPair(top, bottom);
    }
    for (QVBoxLayout* page : pages) page->addStretch();
    layout->addWidget(tabs_);
    AddSettingsButtons(this, layout);
    connect(Child<QPushButton>(this, "CMD_適用"), &QPushButton::clicked, this, [this] {
        SetHourglass();
        SaveChoices();
        ResetPointer();
    });
    connect(Child<QPushButton>(this, "CMD_OK"), &QPushButton::clicked, this, [this] {
        SetHourglass();
        SaveChoices();
        ResetPointer();
        accept();
    });
    connect(Child<QPushButton>(this, "CMD_cancel"), &QPushButton::clicked, this,
            [this] { reject(); });
}

void FRM_鈎判設定::SaveChoices() {
    SaveKagiJudgeForm(*this);
    SaveSettei(Signin().LogonInfo);
}

void FRM_鈎判設定::Load() {
    RunTrapped([this] {
        if (!LoadKagiJudgeForm(*this)) {
            // Every setting goes back to its default; the run keeps the pair it signed in with.
            LogonPair logon = Signin().LogonInfo;
            ResetSettei(logon);
            LoadKagiJudgeForm(*this);
        }
        Settei().KagiJudgeBackup = Settei().Record.KagiJudgeSettei;
    });
    ResetPointer();
}

void ShowKagiJudgeSettings() {
    // Owned by the main frame, from the list and the chart windows alike.
    FRM_鈎判設定 window(MainFrameExists() ? &MainFrame() : QApplication::activeWindow());
    window.Load();
    window.exec();
}
