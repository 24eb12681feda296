#include "screening/user_settings_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <algorithm>
#include <span>
#include <string>
#include <tuple>

#include "foundation/settings.h"
#include "foundation/state.h"
#include "foundation/text_utils.h"
#include "foundation/trap.h"
#include "platform/busy_pointer.h"
#include "platform/surface.h"
#include "platform/twips.h"
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

// Each control stands where the window's design puts it, in twips: a frame's controls
// relative to the frame, a frame relative to the tab control, as a tab page begins under
// the tab row only once the window is shown.
constexpr const char* kTabPlace = "tabPlace";

template <typename Control>
Control* At(Control* control, int left, int top, int width = 0, int height = 0) {
    if (width > 0) {
        PlaceAt(control, left, top, width, height);
    } else {
        control->adjustSize();
        control->move(TwipsToPixels(left), TwipsToPixels(top));
    }
    return control;
}

template <typename Control>
Control* Named(Control* control, const char* name) {
    control->setObjectName(Q(name));
    return control;
}

QGroupBox* FrameOn(QWidget* page, const char* name, const char* caption, int left, int top,
                   int width, int height) {
    auto* frame = Named(new QGroupBox(Q(caption), page), name);
    frame->setProperty(kTabPlace, QRect(TwipsToPixels(left), TwipsToPixels(top),
                                        TwipsToPixels(width), TwipsToPixels(height)));
    frame->resize(TwipsToPixels(width), TwipsToPixels(height));
    return frame;
}

QWidget* AddPage(QTabWidget* tabs, const char* caption) {
    auto* page = new QWidget;
    tabs->addTab(page, Q(caption));
    return page;
}

QRadioButton* Option(QWidget* parent, const char* name, const char* caption) {
    return Named(new QRadioButton(Q(caption), parent), name);
}
QCheckBox* Check(QWidget* parent, const char* name, const char* caption) {
    return Named(new QCheckBox(Q(caption), parent), name);
}
QLabel* Label(QWidget* parent, const char* caption, bool wrapped = false) {
    auto* label = new QLabel(Q(caption), parent);
    label->setWordWrap(wrapped);
    return label;
}
QComboBox* List(QWidget* parent, const char* name, std::span<const char* const> items) {
    auto* list = Named(new QComboBox(parent), name);
    for (const char* item : items) list->addItem(Q(item));
    return list;
}

// A heading standing on an etched line, which it hides behind its caption.
QLabel* Heading(QWidget* parent, const char* caption, const char* name) {
    QLabel* heading = Named(Label(parent, caption), name);
    heading->setAlignment(Qt::AlignCenter);
    heading->setAutoFillBackground(true);
    return heading;
}

// The two option buttons of a frame at their usual places, the first selected at design.
void AddPair(QGroupBox* frame, const char* first, const char* firstCaption, const char* second,
             const char* secondCaption) {
    At(Option(frame, first, firstCaption), 120, 240)->setChecked(true);
    At(Option(frame, second, secondCaption), 120, 480);
}

// The sunken line of the window's design: a dark line over a light one.
class EtchedLine : public QWidget {
  public:
    EtchedLine(QWidget* parent, int left, int right, int darkTop, int lightTop) : QWidget(parent) {
        setObjectName(QStringLiteral("etchedLine"));
        const int dark = TwipsToPixels(darkTop);
        setGeometry(TwipsToPixels(left), dark, TwipsToPixels(right) - TwipsToPixels(left),
                    TwipsToPixels(lightTop) - dark + 1);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(0, 0, width(), 1, palette().color(QPalette::Dark));
        painter.fillRect(0, height() - 1, width(), 1, palette().color(QPalette::Light));
    }
};

// "下限：" box spinner "から" or "上限：" box spinner "まで".
void AddWatchLine(QGroupBox* frame, const char* suffix, int top) {
    const bool lower = std::string_view(suffix) == "Min";
    const std::string tail(suffix);
    At(Check(frame, ("CHK_注目" + tail).c_str(), lower ? "下限：" : "上限："), 360, top, 1020, 252);
    auto* box = Named(new QLineEdit(Q(lower ? "1" : "100"), frame), ("TXT_注目" + tail).c_str());
    box->setAlignment(Qt::AlignRight);
    box->setMaxLength(4);
    box->setAttribute(Qt::WA_InputMethodEnabled, false);
    const int boxHeight = box->sizeHint().height();
    box->setGeometry(TwipsToPixels(1440), TwipsToPixels(top) - 2, TwipsToPixels(480), boxHeight);
    // The arrows stand beside the box, as tall as it is.
    auto* spinner = Named(new UpDownSpinner(frame), ("UPD_注目" + tail).c_str());
    spinner->setGeometry(TwipsToPixels(1920), box->y(), TwipsToPixels(255), boxHeight);
    At(Label(frame, lower ? "から" : "まで"), 2280, top);
}

void BuildTurnTab(QTabWidget* tabs) {
    QWidget* page = AddPage(tabs, "転換分析－1");
    QGroupBox* scope = FrameOn(page, "FRM_市場", "対象範囲", 0, 480, 3255, 3735);
    At(Option(scope, "OPT_全て", "全て"), 120, 240, 1572, 252)->setChecked(true);
    At(Option(scope, "OPT_指定", "指定範囲のみ"), 120, 480, 1572, 252);
    new EtchedLine(scope, 120, 3135, 900, 915);
    At(Heading(scope, "市場", "Label9"), 1260, 840, 495, 255);
    const std::tuple<const char*, const char*, int, int> markets[] = {
        {"CHK_東プ", "東証プライム", 360, 960},  {"CHK_東ス", "東証スタンダード", 360, 1200},
        {"CHK_東グ", "東証グローズ", 360, 1440}, {"CHK_指標", "指標", 360, 1680},
        {"CHK_東1", "東証１部", 360, 1920},      {"CHK_東2", "東証２部", 360, 2160},
        {"CHK_大証", "大証", 360, 2400},         {"CHK_東", "東証", 1920, 1440},
        {"CHK_名証", "名証", 1920, 1680},        {"CHK_店頭", "ｼﾞｬｽﾀﾞｯｸ", 1920, 1920},
        {"CHK_マザ", "ﾏｻﾞｰｽﾞ", 1920, 2160},      {"CHK_ヘラ", "ﾍﾗｸﾚｽ", 1920, 2400},
    };
    for (const auto& [name, caption, left, top] : markets)
        At(Check(scope, name, caption), left, top);
    new EtchedLine(scope, 120, 3135, 2715, 2760);
    At(Heading(scope, "注目", "Label8"), 1260, 2640, 495, 255);
    AddWatchLine(scope, "Min", 2940);
    AddWatchLine(scope, "Max", 3300);

    QGroupBox* strokes = FrameOn(page, "FRM_転換状況", "転換文数", 3360, 480, 1212, 972);
    At(Option(strokes, "OPT_二文", "二文"), 120, 240, 852, 252)->setChecked(true);
    At(Option(strokes, "OPT_三文", "三文"), 120, 480, 852, 252);
    QGroupBox* lines = FrameOn(page, "FRA_斜線関門", "斜線・関門", 4680, 480, 3252, 3492);
    At(Check(lines, "CHK_関門", "週足関門を転換分析に加える。"), 240, 240, 2892, 252);
    At(Check(lines, "CHK_斜線", "週足斜線を転換分析に加える。"), 240, 480, 2892, 252);
    At(Named(Label(lines, "・棒足の斜線切転換に必要な文数", true), "Label1"), 600, 840, 2292, 372);
    At(List(lines, "CBO_必要文数", kRequiredStrokes), 720, 1320, 1812, 300);
    At(Named(Label(lines,
                   "・週足が斜線切した日の前後から、以下の日数以内に鈎足が転換すれば、鈎足と週足"
                   "の同時転換をとる。",
                   true),
             "Label2"),
       600, 1920, 2292, 732);
    At(List(lines, "CBO_同時転換", kTurnDays), 720, 2760, 1812, 300);
}

void BuildIndicatorTab(QTabWidget* tabs) {
    QWidget* page = AddPage(tabs, "転換分析－2");
    QGroupBox* range = FrameOn(page, "FRA_高値圏", "高値圏・安値圏", 240, 480, 1695, 1095);
    At(Check(range, "CHK_高値圏006M", "半年（日足）"), 120, 240, 1455, 252);
    At(Check(range, "CHK_高値圏120M", "10年（月足）"), 120, 600, 1455, 252);
    QGroupBox* average = FrameOn(page, "FRA_MA", "移動平均線", 2160, 480, 4095, 1095);
    At(Check(average, "CHK_MAx", "ｺﾞｰﾙﾃﾞﾝｸﾛｽ、ﾃﾞｯﾄﾞｸﾛｽ"), 120, 240);
    At(Check(average, "CHK_乖離率D", "乖離率"), 120, 600);
    QGroupBox* volume = FrameOn(page, "FRA_出来高", "出来高急増", 240, 1920, 4095, 735);
    At(Check(volume, "CHK_出増005D", "過去５営業日の平均と当日"), 120, 240, 2775, 252);
}

void BuildDisplayTab(QTabWidget* tabs) {
    QWidget* page = AddPage(tabs, "表示・その他");
    QGroupBox* counts = FrameOn(page, "FRA_表示本数", "罫線初期表示本数", 240, 480, 1935, 1935);
    const char* const captions[] = {"鈎足：", "日足：", "週足：", "月足："};
    const int labelTops[] = {420, 780, 1155, 1515};
    const int listTops[] = {348, 720, 1080, 1440};
    for (int i = 0; i < kDisplayKinds; ++i) {
        At(Label(counts, captions[i]), 240, labelTops[i]);
        At(List(counts, kCountLists[i],
                i == 0 ? std::span<const char* const>(kKagiCounts)
                       : std::span<const char* const>(kBarCounts)),
           840, listTops[i], 852, 300);
    }
    AddPair(FrameOn(page, "FRA_表示色", "鈎足表示色の切替", 2280, 480, 1812, 972), "OPT_陰陽",
            "陰線・陽線ごと", "OPT_転換", "転換ごと");
    AddPair(FrameOn(page, "FRA_枠", "転換時の法則表示", 4200, 480, 1935, 975), "OPT_枠", "枠で囲む",
            "OPT_Not枠", "枠で囲まない");
    AddPair(FrameOn(page, "FRA_2分割", "罫線2分割表示", 6240, 480, 1695, 975), "OPT_左右",
            "左右2分割", "OPT_上下", "上下2分割");
    QGroupBox* joined = FrameOn(page, "FRA_連続", "罫線連続表示", 2280, 1560, 3855, 855);
    At(Check(joined, "CHK_連続", "市場変更した銘柄のﾃﾞｰﾀを連続表示する。"), 120, 240, 3615, 372);
    AddPair(FrameOn(page, "FRA_移動平均", "移動平均線", 6240, 1560, 1695, 855), "OPT_MAOff",
            "表示しない", "OPT_MAOn", "表示する");
    QGroupBox* print = FrameOn(page, "FRA_印刷", "印刷", 240, 2760, 2412, 1212);
    AddPair(print, "OPT_速度", "速度重視", "OPT_精細", "精細重視");
    At(Check(print, "CHK_白黒", "罫線を白黒で印刷"), 360, 720);
    QGroupBox* rates = FrameOn(page, "FRA_上昇下落率", "上昇・下落率", 2760, 2760, 5175, 1215);
    At(Named(Label(rates,
                   "・高値からの下落率、および安値からの上昇率を指定日以降の期間について求める。",
                   true),
             "Label7"),
       120, 240, 4815, 495);
    auto* picker = Named(new QDateEdit(rates), "DPC_開始");
    picker->setDisplayFormat(QStringLiteral("yy/MM/dd"));
    picker->setCalendarPopup(true);
    At(picker, 360, 720, 1335, 255);
    At(Named(Label(rates, "以降"), "LBL_開始"), 1800, 780);
}

QLineEdit* AddSigninBox(QGroupBox* frame, const char* name, const char* caption,
                        const char* example, int top, int exampleTop) {
    At(Label(frame, caption), 600, top + 30);
    auto* box = Named(new QLineEdit(frame), name);
    box->setMaxLength(100);
    box->setAttribute(Qt::WA_InputMethodEnabled, false);
    box->setFont(QFont(InstalledFace(Q("ＭＳ ゴシック"))));
    At(box, 1440, top, 6015, 264);
    At(Label(frame, example), 1440, exampleTop);
    return box;
}

void BuildAccessTab(QTabWidget* tabs) {
    QWidget* page = AddPage(tabs, "アクセス");
    QGroupBox* signin = FrameOn(page, "FRA_認証", "ﾕｰｻﾞｰ認証", 240, 480, 7845, 2415);
    At(Label(signin, "ﾃﾞｰﾀベースにアクセスするにはIDとﾊﾟｽﾜｰﾄﾞの入力が必要です。"), 240, 240, 5775,
       255);
    At(Check(signin, "CHK_DGAuto", "データベースアクセスに下記の設定を使用する。"), 360, 510, 4500,
       255)
        ->setChecked(true);
    AddSigninBox(signin, "TXT_UID", "ﾛｸﾞｲﾝID：", "英数半角文字　（例：ABC123）", 810, 1080);
    QLineEdit* password =
        AddSigninBox(signin, "TXT_UPW", "ﾊﾟｽﾜｰﾄﾞ：", "英数半角文字　（例：******）", 1410, 1800);
    password->setEchoMode(QLineEdit::Password);
    auto* stars = new StarPasswordStyle;
    stars->setParent(password);
    password->setStyle(stars);
    auto* warning = Named(
        Label(signin, "※入力された文字は表示されませんので、正しく入力してください。"), "Label19");
    warning->setFont(QFont(InstalledFace(Q("ＭＳ Ｐゴシック"))));
    At(warning, 1440, 2040, 4935, 255);

    QGroupBox* icon = FrameOn(page, "FRA_アイコン", "ｱｲｺﾝﾒﾆｭｰ設定", 240, 2880, 6615, 1335);
    auto* label = Named(Label(icon, "取込"), "Label13");
    label->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    At(label, 120, 240, 1080, 975);
    At(Label(icon, "画面上部のﾃﾞｰﾀ取得用ｱｲｺﾝをｸﾘｯｸした際の、動作を設定する。", true), 1320, 240,
       5175, 375);
    At(Option(icon, "OPT_DGWeb", "ｲﾝﾀｰﾈｯﾄを利用して自動的にﾃﾞｰﾀを取り込む"), 1440, 540)
        ->setChecked(true);
    At(Option(icon, "OPT_DGMail", "既に受信済みのﾒｰﾙﾃﾞｰﾀを取り込む"), 1440, 780);
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
    setFixedSize(TwipsToPixels(11715), TwipsToPixels(5160));
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("STB_ユーザ設定"));
    BuildTurnTab(tabs_);
    BuildIndicatorTab(tabs_);
    BuildDisplayTab(tabs_);
    BuildAccessTab(tabs_);
    PlaceAt(tabs_, 120, 120, 8175, 4335);
    // The frames' captions sit on their top edges, so that the controls at the top of a
    // frame stand clear of its edge.
    tabs_->setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); margin-top: 7px; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }"));
    PlaceSettingsButtons(this, 4320, 4740);
    new EtchedLine(this, 120, 8300, 4560, 4575);
}

void FRM_ユーザ設定::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The tab control has laid out its pages by now: the frames go to their places on it.
    const QPoint origin = tabs_->currentWidget()->mapTo(tabs_, QPoint(0, 0));
    for (QGroupBox* frame : tabs_->findChildren<QGroupBox*>()) {
        const QVariant place = frame->property(kTabPlace);
        if (!place.isValid()) continue;
        // A frame at the tab control's very edge stays on the page, its own edge in sight.
        const QRect onPage = place.toRect().translated(-origin);
        frame->setGeometry(onPage.translated(std::max(0, -onPage.x()), std::max(0, -onPage.y())));
    }
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
