#include "screening/user_settings_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "foundation/settings.h"
#include "foundation/state.h"
#include "foundation/text_utils.h"
#include "foundation/trap.h"
#include "platform/busy_pointer.h"
#include "platform/surface.h"
#include "ui/dialog_builder.h"
#include "ui/grid_layouts.h"
#include "ui/input_boxes.h"
#include "ui/settings_binder.h"
#include "views/main_frame.h"

namespace {

constexpr const char* kSection = "UserSettei";
// The display counts' lists and the DefaultDisplayCount slot each one sets.
constexpr const char* kCountLists[kDisplayKinds] = {"CBO_鈎足", "CBO_日足", "CBO_週足", "CBO_月足"};
// The tabs that cannot be brought forward, and the one the window opens on.
constexpr int kTurnTabs = 2;
constexpr int kDisplayTab = 2;

using K = BoundKind;
// The controls before the sign-in boxes, in the order they load and save.
const BoundControl kLeadingOrder[] = {
    {"OPT_二文", K::Option},   {"OPT_三文", K::Option},   {"CHK_関門", K::Check},
    {"CHK_斜線", K::Check},    {"CBO_必要文数", K::List}, {"CBO_同時転換", K::List},
    {"CBO_鈎足", K::List},     {"CBO_日足", K::List},     {"CBO_週足", K::List},
    {"CBO_月足", K::List},     {"OPT_転換", K::Option},   {"OPT_陰陽", K::Option},
    {"OPT_速度", K::Option},   {"OPT_精細", K::Option},   {"CHK_白黒", K::Check},
    {"OPT_枠", K::Option},     {"OPT_Not枠", K::Option},  {"OPT_左右", K::Option},
    {"OPT_上下", K::Option},   {"OPT_MAOn", K::Option},   {"OPT_MAOff", K::Option},
    {"CHK_連続", K::Check},    {"DPC_開始", K::Date},     {"OPT_DGWeb", K::Option},
    {"OPT_DGMail", K::Option}, {"CHK_DGAuto", K::Check},
};
// The scope and the indicator options, after the sign-in boxes.
const BoundControl kTrailingOrder[] = {
    {"OPT_全て", K::Option},      {"OPT_指定", K::Option},      {"CHK_指標", K::Check},
    {"CHK_東プ", K::Check},       {"CHK_東ス", K::Check},       {"CHK_東グ", K::Check},
    {"CHK_東", K::Check},         {"CHK_東1", K::Check},        {"CHK_東2", K::Check},
    {"CHK_大証", K::Check},       {"CHK_名証", K::Check},       {"CHK_店頭", K::Check},
    {"CHK_マザ", K::Check},       {"CHK_ヘラ", K::Check},       {"CHK_注目Min", K::Check},
    {"TXT_注目Min", K::Text},     {"CHK_注目Max", K::Check},    {"TXT_注目Max", K::Text},
    {"CHK_高値圏006M", K::Check}, {"CHK_高値圏120M", K::Check}, {"CHK_MAx", K::Check},
    {"CHK_乖離率D", K::Check},    {"CHK_出増005D", K::Check},
};

// The option pairs that have no handler of their own.
constexpr const char* kPlainPairs[][2] = {
    {"OPT_二文", "OPT_三文"}, {"OPT_陰陽", "OPT_転換"},  {"OPT_枠", "OPT_Not枠"},
    {"OPT_左右", "OPT_上下"}, {"OPT_MAOff", "OPT_MAOn"}, {"OPT_DGWeb", "OPT_DGMail"},
};

const char* const kRequiredStrokes[] = {"同値", "１文", "２文", "３文", "４文",  "５文",
                                        "６文", "７文", "８文", "９文", "１０文"};
const char* const kTurnDays[] = {
    "同日限定",   "１日以内",   "２日以内",   "３日以内",   "４日以内",    "５日以内",
    "６日以内",   "７日以内",   "８日以内",   "９日以内",   "１０日以内",  "１１日以内",
    "１２日以内", "１３日以内", "１４日以内", "１５日以内", "日数制限無し"};
const char* const kKagiCounts[] = {"10", "20", "30", "40", "50", "60", "70", "80", "90", "100"};
const char* const kBarCounts[] = {"50", "100", "150", "200", "250", "300"};

template <typename Control>
Control* Child(const QWidget* window, const char* name) {
    return RequireControl(window->findChild<Control*>(QString::fromUtf8(name)));
}

// The password box shows every character as "*", whatever the style would draw.
class StarPasswordStyle : public QProxyStyle {
  public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_LineEdit_PasswordCharacter) return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// The two option buttons of a group, the first selected at design.
void AddPair(QGroupBox* frame, const char* first, const char* firstCaption, const char* second,
             const char* secondCaption) {
    AddButton<QRadioButton>(frame, first, firstCaption, 0, 0)->setChecked(true);
    AddButton<QRadioButton>(frame, second, secondCaption, 1, 0);
}

// "下限：" box spinner "から" or "上限：" box spinner "まで".
void AddWatchLine(QGroupBox* frame, const char* suffix, int row) {
    const bool lower = std::string_view(suffix) == "Min";
    const std::string tail(suffix);
    AddButton<QCheckBox>(frame, ("CHK_注目" + tail).c_str(), lower ? "下限：" : "上限：", row, 0);
    auto* box = new QLineEdit(Q(lower ? "1" : "100"), frame);
    box->setObjectName(Q(("TXT_注目" + tail).c_str()));
    box->setAlignment(Qt::AlignRight);
    box->setMaxLength(4);
    box->setAttribute(Qt::WA_InputMethodEnabled, false);
    Grid(frame)->addWidget(box, row, 1);
    auto* spinner = new UpDownSpinner(frame);
    spinner->setObjectName(Q(("UPD_注目" + tail).c_str()));
    Grid(frame)->addWidget(spinner, row, 2);
    AddLabel(frame, lower ? "から" : "まで", row, 3);
}

void BuildTurnTab(QTabWidget* tabs) {
    auto* columns = new QHBoxLayout;
    AddTab(tabs, "転換分析－1")->addLayout(columns);
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);
    QGroupBox* scope = Frame(left, "FRM_市場", "対象範囲");
    AddButton<QRadioButton>(scope, "OPT_全て", "全て", 0, 0)->setChecked(true);
    AddButton<QRadioButton>(scope, "OPT_指定", "指定範囲のみ", 1, 0);
    AddLabel(scope, "市場", 2, 0);
    const char* const markets[][2] = {
        {"CHK_東プ", "東証プライム"}, {"CHK_東ス", "東証スタンダード"},
        {"CHK_東グ", "東証グローズ"}, {"CHK_指標", "指標"},
        {"CHK_東1", "東証１部"},      {"CHK_東2", "東証２部"},
        {"CHK_大証", "大証"},         {"CHK_東", "東証"},
        {"CHK_名証", "名証"},         {"CHK_店頭", "ｼﾞｬｽﾀﾞｯｸ"},
        {"CHK_マザ", "ﾏｻﾞｰｽﾞ"},       {"CHK_ヘラ", "ﾍﾗｸﾚｽ"},
    };
    for (int i = 0; i < 12; ++i)
        AddButton<QCheckBox>(scope, markets[i][0], markets[i][1], 3 + i % 7, i / 7 * 2);
    AddLabel(scope, "注目", 10, 0);
    AddWatchLine(scope, "Min", 11);
    AddWatchLine(scope, "Max", 12);

    QGroupBox* strokes = Frame(right, "FRM_転換状況", "転換文数");
    AddPair(strokes, "OPT_二文", "二文", "OPT_三文", "三文");
    QGroupBox* lines = Frame(right, "FRA_斜線関門", "斜線・関門");
    AddButton<QCheckBox>(lines, "CHK_関門", "週足関門を転換分析に加える。", 0, 0);
    AddButton<QCheckBox>(lines, "CHK_斜線", "週足斜線を転換分析に加える。", 1, 0);
    AddLabel(lines, "・棒足の斜線切転換に必要な文数", 2, 0);
    AddList(lines, "CBO_必要文数", kRequiredStrokes, 3, 0);
    auto* together = new QLabel(
        Q("・週足が斜線切した日の前後から、以下の日数以内に鈎足が転換すれば、鈎足と週足の同時転"
          "換をとる。"),
        lines);
    together->setWordWrap(true);
    Grid(lines)->addWidget(together, 4, 0);
    AddList(lines, "CBO_同時転換", kTurnDays, 5, 0);
    right->addStretch();
}

void BuildIndicatorTab(QTabWidget* tabs) {
    QVBoxLayout* tab = AddTab(tabs, "転換分析－2");
    QGroupBox* range = Frame(tab, "FRA_高値圏", "高値圏・安値圏");
    AddButton<QCheckBox>(range, "CHK_高値圏006M", "半年（日足）", 0, 0);
    AddButton<QCheckBox>(range, "CHK_高値圏120M", "10年（月足）", 1, 0);
    QGroupBox* average = Frame(tab, "FRA_MA", "移動平均線");
    AddButton<QCheckBox>(average, "CHK_MAx", "ｺﾞｰﾙﾃﾞﾝｸﾛｽ、ﾃﾞｯﾄﾞｸﾛｽ", 0, 0);
    AddButton<QCheckBox>(average, "CHK_乖離率D", "乖離率", 1, 0);
    QGroupBox* volume = Frame(tab, "FRA_出来高", "出来高急増");
    AddButton<QCheckBox>(volume, "CHK_出増005D", "過去５営業日の平均と当日", 0, 0);
    tab->addStretch();
}

void BuildDisplayTab(QTabWidget* tabs) {
    auto* grid = new QGridLayout;
    AddTab(tabs, "表示・その他")->addLayout(grid);
    auto* counts = new QGroupBox(Q("罫線初期表示本数"));
    counts->setObjectName(QStringLiteral("FRA_表示本数"));
    counts->setLayout(new QGridLayout);
    const char* const captions[] = {"鈎足：", "日足：", "週足：", "月足："};
    for (int i = 0; i < kDisplayKinds; ++i) {
        AddLabel(counts, captions[i], i, 0);
        AddList(counts, kCountLists[i],
                i == 0 ? std::span<const char* const>(kKagiCounts)
                       : std::span<const char* const>(kBarCounts),
                i, 1);
    }
    grid->addWidget(counts, 0, 0, 2, 1);

    auto frameAt = [grid](const char* name, const char* caption, int row, int col) {
        auto* cell = new QVBoxLayout;
        grid->addLayout(cell, row, col);
        return Frame(cell, name, caption);
    };
    AddPair(frameAt("FRA_表示色", "鈎足表示色の切替", 0, 1), "OPT_陰陽", "陰線・陽線ごと",
            "OPT_転換", "転換ごと");
    AddPair(frameAt("FRA_枠", "転換時の法則表示", 0, 2), "OPT_枠", "枠で囲む", "OPT_Not枠",
            "枠で囲まない");
    AddPair(frameAt("FRA_2分割", "罫線2分割表示", 0, 3), "OPT_左右", "左右2分割", "OPT_上下",
            "上下2分割");
    QGroupBox* joined = frameAt("FRA_連続", "罫線連続表示", 1, 1);
    AddButton<QCheckBox>(joined, "CHK_連続", "市場変更した銘柄のﾃﾞｰﾀを連続表示する。", 0, 0);
    AddPair(frameAt("FRA_移動平均", "移動平均線", 1, 3), "OPT_MAOff", "表示しない", "OPT_MAOn",
            "表示する");
    QGroupBox* print = frameAt("FRA_印刷", "印刷", 2, 0);
    AddPair(print, "OPT_速度", "速度重視", "OPT_精細", "精細重視");
    AddButton<QCheckBox>(print, "CHK_白黒", "罫線を白黒で印刷", 2, 0);
    QGroupBox* rates = frameAt("FRA_上昇下落率", "上昇・下落率", 2, 1);
    auto* note = new QLabel(
        Q("・高値からの下落率、および安値からの上昇率を指定日以降の期間について求める。"), rates);
    note->setWordWrap(true);
    Grid(rates)->addWidget(note, 0, 0, 1, 2);
    auto* picker = new QDateEdit(rates);
    picker->setObjectName(QStringLiteral("DPC_開始"));
    picker->setDisplayFormat(QStringLiteral("yy/MM/dd"));
    picker->setCalendarPopup(true);
    Grid(rates)->addWidget(picker, 1, 0);
    auto* after = new QLabel(Q("以降"), rates);
    after->setObjectName(QStringLiteral("LBL_開始"));
    Grid(rates)->addWidget(after, 1, 1);
}

QLineEdit* AddSigninBox(QGroupBox* frame, const char* name, const char* caption,
                        const char* example, int row) {
    AddLabel(frame, caption, row, 0);
    auto* box = new QLineEdit(frame);
    box->setObjectName(Q(name));
    box->setMaxLength(100);
    box->setAttribute(Qt::WA_InputMethodEnabled, false);
    box->setFont(QFont(InstalledFace(Q("ＭＳ ゴシック"))));
    Grid(frame)->addWidget(box, row, 1);
    AddLabel(frame, example, row + 1, 1);
    return box;
}

void BuildAccessTab(QTabWidget* tabs) {
    QVBoxLayout* tab = AddTab(tabs, "アクセス");
    QGroupBox* signin = Frame(tab, "FRA_認証", "ﾕｰｻﾞｰ認証");
    Grid(signin)->addWidget(
        new QLabel(Q("ﾃﾞｰﾀベースにアクセスするにはIDとﾊﾟｽﾜｰﾄﾞの入力が必要です。"), signin), 0, 0, 1,
        2);
    auto* automatic = new QCheckBox(Q("データベースアクセスに下記の設定を使用する。"), signin);
    automatic->setObjectName(QStringLiteral("CHK_DGAuto"));
    automatic->setChecked(true);
    Grid(signin)->addWidget(automatic, 1, 0, 1, 2);
    AddSigninBox(signin, "TXT_UID", "ﾛｸﾞｲﾝID：", "英数半角文字　（例：ABC123）", 2);
    QLineEdit* password =
        AddSigninBox(signin, "TXT_UPW", "ﾊﾟｽﾜｰﾄﾞ：", "英数半角文字　（例：******）", 4);
    password->setEchoMode(QLineEdit::Password);
    auto* stars = new StarPasswordStyle;
    stars->setParent(password);
    password->setStyle(stars);
    auto* warning =
        new QLabel(Q("※入力された文字は表示されませんので、正しく入力してください。"), signin);
    warning->setObjectName(QStringLiteral("Label19"));
    warning->setFont(QFont(InstalledFace(Q("ＭＳ Ｐゴシック"))));
    Grid(signin)->addWidget(warning, 6, 1);

    QGroupBox* icon = Frame(tab, "FRA_アイコン", "ｱｲｺﾝﾒﾆｭｰ設定");
    auto* label = new QLabel(Q("取込"), icon);
    label->setObjectName(QStringLiteral("Label13"));
    label->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    label->setMinimumWidth(60);
    Grid(icon)->addWidget(label, 0, 0, 3, 1);
    Grid(icon)->setColumnStretch(1, 1);
    Grid(icon)->addWidget(
        new QLabel(Q("画面上部のﾃﾞｰﾀ取得用ｱｲｺﾝをｸﾘｯｸした際の、動作を設定する。"), icon), 0, 1);
    AddButton<QRadioButton>(icon, "OPT_DGWeb", "ｲﾝﾀｰﾈｯﾄを利用して自動的にﾃﾞｰﾀを取り込む", 1, 1)
        ->setChecked(true);
    AddButton<QRadioButton>(icon, "OPT_DGMail", "既に受信済みのﾒｰﾙﾃﾞｰﾀを取り込む", 2, 1);
    tab->addStretch();
}

void EnableWatchLine(QWidget* window, const char* check, const char* box, const char* spinner) {
    EnableByCheck(window, Child<QCheckBox>(window, check), Child<QLineEdit>(window, box));
    CopyEnabled(Child<QLineEdit>(window, box), Child<QWidget>(window, spinner));
}

// Step 4 of the opening: each watch box follows its check box, each spinner its box.
void EnableWatchLines(QWidget* window) {
    EnableWatchLine(window, "CHK_注目Max", "TXT_注目Max", "UPD_注目Max");
    EnableWatchLine(window, "CHK_注目Min", "TXT_注目Min", "UPD_注目Min");
}

void EnableSignalLists(QWidget* window) {
    auto* check = Child<QCheckBox>(window, "CHK_斜線");
    EnableByCheck(window, check, Child<QWidget>(window, "CBO_必要文数"));
    EnableByCheck(window, check, Child<QWidget>(window, "CBO_同時転換"));
}

void EnableSigninBoxes(QWidget* window) {
    auto* check = Child<QCheckBox>(window, "CHK_DGAuto");
    EnableByCheck(window, check, Child<QWidget>(window, "TXT_UPW"));
    EnableByCheck(window, check, Child<QWidget>(window, "TXT_UID"));
}

}  // namespace

bool LoadUserForm(QWidget& window) {
    SetteiRecord& record = Settei().Record;
    if (!LoadBoundControls(window, kSection, kLeadingOrder, record)) return false;
    try {
        const LogonPair& logon = Signin().LogonInfo;
        Child<QLineEdit>(&window, "TXT_UID")
            ->setText(QString::fromStdString(TrimSpaces(logon.UserId)));
        Child<QLineEdit>(&window, "TXT_UPW")
            ->setText(QString::fromStdString(TrimSpaces(logon.Password)));
    } catch (const std::exception&) {
        return false;
    }
    return LoadBoundControls(window, kSection, kTrailingOrder, record);
}

void SaveUserForm(QWidget& window) {
    SetteiRecord& record = Settei().Record;
    if (!SaveBoundControls(window, kSection, kLeadingOrder, record)) return;
    const bool signedIn = RunTrapped([&window] {
        const std::string id = Child<QLineEdit>(&window, "TXT_UID")->text().toStdString();
        const std::string password = Child<QLineEdit>(&window, "TXT_UPW")->text().toStdString();
        Signin().LogonInfo = {TrimSpaces(id), TrimSpaces(password)};
    });
    if (signedIn) SaveBoundControls(window, kSection, kTrailingOrder, record);
}

FRM_ユーザ設定::FRM_ユーザ設定(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FRM_ユーザ設定"));
    setWindowTitle(QStringLiteral("ﾕｰｻﾞｰ設定"));
    Build();
    BindControls();
}

void FRM_ユーザ設定::Build() {
    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("STB_ユーザ設定"));
    BuildTurnTab(tabs_);
    BuildIndicatorTab(tabs_);
    BuildDisplayTab(tabs_);
    BuildAccessTab(tabs_);
    layout->addWidget(tabs_);
    AddSettingsButtons(this, layout);
}

void FRM_ユーザ設定::BindControls() {
    for (const auto& [first, second] : kPlainPairs)
        BindOptionPair(Child<QRadioButton>(this, first), Child<QRadioButton>(this, second));
    BindOptionPair(Child<QRadioButton>(this, "OPT_全て"), Child<QRadioButton>(this, "OPT_指定"),
                   [this](bool everything) { OnScopeOption(everything); });
    // 速度重視 prints from the screen image, which has no black-and-white form; the box keeps
    // its tick for when fine printing is chosen again.
    BindOptionPair(Child<QRadioButton>(this, "OPT_速度"), Child<QRadioButton>(this, "OPT_精細"),
                   [this](bool speed) { Child<QCheckBox>(this, "CHK_白黒")->setEnabled(!speed); });
    for (const char* suffix : {"Min", "Max"}) {
        const std::string tail(suffix);
        auto* box = Child<QLineEdit>(this, ("TXT_注目" + tail).c_str());
        auto* spinner = Child<UpDownSpinner>(this, ("UPD_注目" + tail).c_str());
        BindPercentBox(box, spinner);
        BindConditionLine(this, Child<QCheckBox>(this, ("CHK_注目" + tail).c_str()), box, spinner);
    }
    BindMinMaxPair(Child<QLineEdit>(this, "TXT_注目Min"), Child<QLineEdit>(this, "TXT_注目Max"));
    connect(Child<QCheckBox>(this, "CHK_斜線"), &QCheckBox::clicked, this,
            [this] { EnableSignalLists(this); });
    connect(Child<QCheckBox>(this, "CHK_DGAuto"), &QCheckBox::clicked, this,
            [this] { EnableSigninBoxes(this); });
    connect(Child<QPushButton>(this, "CMD_適用"), &QPushButton::clicked, this,
            [this] { OnApply(); });
    connect(Child<QPushButton>(this, "CMD_OK"), &QPushButton::clicked, this, [this] { OnOk(); });
    connect(Child<QPushButton>(this, "CMD_cancel"), &QPushButton::clicked, this,
            [this] { reject(); });
}

void FRM_ユーザ設定::OnScopeOption(bool everything) {
    RunTrapped([this, everything] {
        everything ? DisableFilterChecks(*this) : EnableFilterChecks(*this);
        EnableWatchLines(this);
    });
}

void FRM_ユーザ設定::Load() {
    RunTrapped([this] {
        // The turn analysis options stay as stored: their tabs cannot be brought forward.
        for (int tab = 0; tab < kTurnTabs; ++tab) tabs_->setTabEnabled(tab, false);
        tabs_->setCurrentIndex(kDisplayTab);
        if (!LoadUserForm(*this)) {
            // Every setting goes back to its default; the run keeps the pair it signed in with.
            LogonPair logon = Signin().LogonInfo;
            ResetSettei(logon);
            LoadUserForm(*this);
        }
        if (Child<QRadioButton>(this, "OPT_全て")->isChecked()) DisableFilterChecks(*this);
        EnableWatchLines(this);
        Child<QCheckBox>(this, "CHK_白黒")
            ->setEnabled(!Child<QRadioButton>(this, "OPT_速度")->isChecked());
        EnableSignalLists(this);
        EnableSigninBoxes(this);
        Settei().UserSetteiBackup = Settei().Record.UserSettei;
    });
    ResetPointer();
}

void FRM_ユーザ設定::SaveSettings() {
    RunTrapped([this] {
        auto& counts = Settei().Record.DefaultDisplayCount;
        for (int kind = 0; kind < kDisplayKinds; ++kind) {
            const QComboBox* list = Child<QComboBox>(this, kCountLists[kind]);
            // A list with nothing chosen has no count to give; the one saved before stays.
            if (list->currentIndex() >= 0)
                counts[kind] = static_cast<int16_t>(list->currentText().toInt());
        }
    });
    SaveUserForm(*this);
    SaveSettei(Signin().LogonInfo);
}

void FRM_ユーザ設定::OnApply() {
    SetHourglass();
    SaveSettings();
    ResetPointer();
}

void FRM_ユーザ設定::OnOk() {
    SetHourglass();
    SaveSettings();
    ResetPointer();
    accept();
}

void ShowUserSettings() {
    // Owned by the main frame, from the list and the chart windows alike.
    FRM_ユーザ設定 window(MainFrameExists() ? &MainFrame() : QApplication::activeWindow());
    window.Load();
    window.exec();
}
