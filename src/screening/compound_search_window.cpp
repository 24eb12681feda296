#include "screening/compound_search_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <functional>
#include <span>
#include <tuple>
#include <utility>

#include "foundation/issue_list.h"
#include "foundation/selection.h"
#include "foundation/settings.h"
#include "foundation/state.h"
#include "foundation/text_utils.h"
#include "foundation/trap.h"
#include "platform/busy_pointer.h"
#include "platform/flex_grid.h"
#include "platform/number_format.h"
#include "platform/twips.h"
#include "screening/search_query.h"
#include "screening/state.h"
#include "ui/dialog_builder.h"
#include "ui/grid_layouts.h"
#include "ui/input_boxes.h"
#include "ui/settings_binder.h"
#include "views/list_services.h"
#include "views/state.h"

namespace {

constexpr const char* kSection = "SearchSettei";
// The rise and fall rates stay within 0 to 999.
constexpr double kRateMax = 999;

// Which characters a numeric box takes while typing.
enum class Keys { Digits, Signed, Decimal };
enum class Steps { None, Percent, Rate };
using BoxRule = void (*)(QLineEdit*);
using PairRule = void (*)(QLineEdit*, QLineEdit*);

// A numeric condition line: its box, what it takes, its check, format and pair rule, and
// the up-down beside it. Lengths are in characters.
struct NumberBox {
    const char* Check;
    const char* Box;
    const char* Spinner;
    int MaxLength;
    Keys KeyRule;
    bool Decimal;
    BoxRule Format;
    PairRule Pair;
    const char* MinBox;
    const char* MaxBox;
    Steps StepRule;
};

const NumberBox kNumberBoxes[] = {
    {"CHK_注目Min", "TXT_注目Min", "UPD_注目Min", 3, Keys::Digits, false, FormatPercentBox,
     RaiseMaxToMin, "TXT_注目Min", "TXT_注目Max", Steps::Percent},
    {"CHK_注目Max", "TXT_注目Max", "UPD_注目Max", 3, Keys::Digits, false, FormatPercentBox,
     LowerMinToMax, "TXT_注目Min", "TXT_注目Max", Steps::Percent},
    {"CHK_前日Min", "TXT_前日Min", nullptr, 10, Keys::Signed, false, FormatCappedIntegerBox,
     RaiseMaxToMin, "TXT_前日Min", "TXT_前日Max", Steps::None},
    {"CHK_前日Max", "TXT_前日Max", nullptr, 10, Keys::Signed, false, FormatCappedIntegerBox,
     LowerMinToMax, "TXT_前日Min", "TXT_前日Max", Steps::None},
    {"CHK_下限", "TXT_Min", nullptr, 9, Keys::Digits, false, FormatIntegerBox, RaiseMaxToMin,
     "TXT_Min", "TXT_Max", Steps::None},
    {"CHK_上限", "TXT_Max", nullptr, 9, Keys::Digits, false, FormatIntegerBox, LowerMinToMax,
     "TXT_Min", "TXT_Max", Steps::None},
    {"CHK_出来高Min", "TXT_出来高Min", nullptr, 11, Keys::Digits, false, FormatIntegerBox,
     RaiseMaxToMin, "TXT_出来高Min", "TXT_出来高Max", Steps::None},
    {"CHK_出来高Max", "TXT_出来高Max", nullptr, 11, Keys::Digits, false, FormatIntegerBox,
     LowerMinToMax, "TXT_出来高Min", "TXT_出来高Max", Steps::None},
    {"CHK_DownMin", "TXT_DownMin", "UPD_DownMin", 3, Keys::Digits, false, FormatIntField,
     RaiseMaxToMin, "TXT_DownMin", "TXT_DownMax", Steps::Rate},
    {"CHK_DownMax", "TXT_DownMax", "UPD_DownMax", 3, Keys::Digits, false, FormatIntField,
     LowerMinToMax, "TXT_DownMin", "TXT_DownMax", Steps::Rate},
    {"CHK_UpMin", "TXT_UpMin", "UPD_UpMin", 3, Keys::Digits, false, FormatIntField, RaiseMaxToMin,
     "TXT_UpMin", "TXT_UpMax", Steps::Rate},
    {"CHK_UpMax", "TXT_UpMax", "UPD_UpMax", 3, Keys::Digits, false, FormatIntField, LowerMinToMax,
     "TXT_UpMin", "TXT_UpMax", Steps::Rate},
    {"CHK_乖離005DMin", "TXT_乖離005DMin", nullptr, 8, Keys::Decimal, true, FormatDecimalField,
     LowerDecimalMinToMax, "TXT_乖離005DMin", "TXT_乖離005DMax", Steps::None},
    {"CHK_乖離005DMax", "TXT_乖離005DMax", nullptr, 8, Keys::Decimal, true, FormatDecimalField,
     LowerDecimalMinToMax, "TXT_乖離005DMin", "TXT_乖離005DMax", Steps::None},
    {"CHK_乖離025DMin", "TXT_乖離025DMin", nullptr, 8, Keys::Decimal, true, FormatDecimalField,
     LowerDecimalMinToMax, "TXT_乖離025DMin", "TXT_乖離025DMax", Steps::None},
    {"CHK_乖離025DMax", "TXT_乖離025DMax", nullptr, 8, Keys::Decimal, true, FormatDecimalField,
     LowerDecimalMinToMax, "TXT_乖離025DMin", "TXT_乖離025DMax", Steps::None},
};

// The other condition lines: a check box and the input it switches.
struct ConditionLine {
    const char* Check;
    const char* Input;
};
const ConditionLine kOtherLines[] = {
    {"CHK_Name", "TXT_Name"}, {"CHK_Memo", "TXT_Memo"}, {"CHK_転換", "CBO_転換"},
    {"CHK_業種", "CBO_業種"}, {"CHK_開始", "DPC_開始"}, {"CHK_終了", "DPC_終了"},
};

using K = BoundKind;
// The order the conditions load in; a failure part-way leaves the rest as they were.
const BoundControl kLoadOrder[] = {
    {"CHK_Save", K::Check},        {"OPT_Asc", K::Option},        {"OPT_Desc", K::Option},
    {"CBO_Fields", K::List},       {"CHK_転換", K::Check},        {"CBO_転換", K::List},
    {"CHK_開始", K::Check},        {"DPC_開始", K::Date},         {"CHK_終了", K::Check},
    {"DPC_終了", K::Date},         {"CHK_前日Min", K::Check},     {"TXT_前日Min", K::Text},
    {"CHK_前日Max", K::Check},     {"TXT_前日Max", K::Text},      {"CHK_下限", K::Check},
    {"TXT_Min", K::Text},          {"CHK_上限", K::Check},        {"TXT_Max", K::Text},
    {"CHK_出来高Min", K::Check},   {"TXT_出来高Min", K::Text},    {"CHK_出来高Max", K::Check},
    {"TXT_出来高Max", K::Text},    {"CHK_UpMin", K::Check},       {"TXT_UpMin", K::Text},
    {"CHK_UpMax", K::Check},       {"TXT_UpMax", K::Text},        {"CHK_DownMin", K::Check},
    {"TXT_DownMin", K::Text},      {"CHK_DownMax", K::Check},     {"TXT_DownMax", K::Text},
    {"CHK_高値圏006M", K::Check},  {"CHK_高値圏120M", K::Check},  {"CHK_安値圏006M", K::Check},
    {"CHK_安値圏120M", K::Check},  {"CHK_MAxG", K::Check},        {"CHK_MAxD", K::Check},
    {"CHK_乖離005DMin", K::Check}, {"TXT_乖離005DMin", K::Text},  {"CHK_乖離005DMax", K::Check},
    {"TXT_乖離005DMax", K::Text},  {"CHK_乖離025DMin", K::Check}, {"TXT_乖離025DMin", K::Text},
    {"CHK_乖離025DMax", K::Check}, {"TXT_乖離025DMax", K::Text},  {"CHK_出増005D", K::Check},
    {"CHK_業種", K::Check},        {"CBO_業種", K::List},         {"CHK_Name", K::Check},
    {"TXT_Name", K::Text},         {"CHK_Memo", K::Check},        {"TXT_Memo", K::Text},
    {"OPT_全て", K::Option},       {"OPT_指定", K::Option},       {"CHK_東プ", K::Check},
    {"CHK_東ス", K::Check},        {"CHK_東グ", K::Check},        {"CHK_東", K::Check},
    {"CHK_名証", K::Check},        {"CHK_指標", K::Check},        {"CHK_東1", K::Check},
    {"CHK_東2", K::Check},         {"CHK_大証", K::Check},        {"CHK_マザ", K::Check},
    {"CHK_店頭", K::Check},        {"CHK_ヘラ", K::Check},        {"CHK_注目Min", K::Check},
    {"TXT_注目Min", K::Text},      {"CHK_注目Max", K::Check},     {"TXT_注目Max", K::Text},
};

// The save order differs from the load order only in the market boxes.
std::vector<BoundControl> SaveOrder() {
    static const char* const kMarkets[] = {"CHK_指標", "CHK_東プ", "CHK_東ス", "CHK_東グ",
                                           "CHK_東",   "CHK_東1",  "CHK_東2",  "CHK_大証",
                                           "CHK_名証", "CHK_店頭", "CHK_マザ", "CHK_ヘラ"};
    std::vector<BoundControl> order;
    for (const BoundControl& control : kLoadOrder) {
        if (std::string_view(control.Name) == "CHK_東プ")
            for (const char* market : kMarkets) order.push_back({market, K::Check});
        const bool market =
            std::find_if(std::begin(kMarkets), std::end(kMarkets), [&](const char* m) {
                return std::string_view(m) == control.Name;
            }) != std::end(kMarkets);
        if (!market) order.push_back(control);
    }
    return order;
}

const char* const kSortKeyNames[] = {"証券コード", "株価",   "転換日",    "上昇率",
                                     "下落率",     "出来高", "法則出現日"};
const char* const kTurnNames[] = {"売り", "買い", "未転換"};

template <typename Control>
Control* Child(const QWidget* window, const char* name) {
    return RequireControl(window->findChild<Control*>(QString::fromUtf8(name)));
}

// The numeric box's typing filter and its rule on leaving. Owned by the box.
class SearchBoxFilter : public QObject {
  public:
    static constexpr const char* kName = "searchBoxFilter";

    SearchBoxFilter(QLineEdit* box, const NumberBox& row, std::function<bool()> leave)
        : QObject(box), box_(box), row_(row), leave_(std::move(leave)) {
        setObjectName(kName);
        box->installEventFilter(this);
    }
    // OK and 適用: a click on them has just left the box, and a refusal shown then stands;
    // otherwise (Enter) the box has not been left and its rule runs now.
    bool Commit() {
        if (std::exchange(refusedOnLeaving_, false)) return false;
        return Leave();
    }
    // The check, format and pair rule; false when the check refused the text.
    bool Leave() {
        if (leaving_) return true;
        leaving_ = true;
        const bool taken = leave_();
        leaving_ = false;
        return taken;
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != box_) return false;
        switch (event->type()) {
            case QEvent::KeyPress:
                // A key in the box is the user working on, not the click that left it.
                refusedOnLeaving_ = false;
                return Refuses(static_cast<QKeyEvent*>(event));
            case QEvent::InputMethod:
                return !TakesAll(static_cast<QInputMethodEvent*>(event)->commitString());
            case QEvent::FocusOut:
                return Left(static_cast<QFocusEvent*>(event));
            default:
                return false;
        }
    }

  private:
    bool Refuses(const QKeyEvent* key) const {
        if (key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) return false;
        const QString text = key->text();
        // Editing keys and Backspace pass; only typed characters are filtered.
        if (text.isEmpty() || text.at(0).category() == QChar::Other_Control) return false;
        return !TakesAll(text);
    }
    bool TakesAll(const QString& typed) const {
        for (QChar c : typed)
            if (!Takes(c)) return false;
        return true;
    }
    // The box's rule for one typed character, against its text and selection now.
    bool Takes(QChar c) const {
        const QString text = box_->text();
        const QString selected = box_->selectedText();
        if (text.size() - selected.size() >= row_.MaxLength) return false;
        const bool whole = text.isEmpty() || selected == text;
        if (c >= u'0' && c <= u'9') return true;
        if (c == u'-') return row_.KeyRule != Keys::Digits && whole;
        if (c == u'.')
            return row_.KeyRule == Keys::Decimal && !whole && text != "-" && !text.contains(u'.');
        return false;
    }
    bool Left(QFocusEvent* event) {
        // The box drops its selection first, so that a refused text can be selected again.
        static_cast<QObject*>(box_)->event(event);
        const Qt::FocusReason reason = event->reason();
        // Focus lost to a message box, a menu or another application is not leaving the box.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
            reason != Qt::MenuBarFocusReason)
            refusedOnLeaving_ = !Leave();
        return true;
    }

    QLineEdit* box_;
    const NumberBox& row_;
    std::function<bool()> leave_;
    bool leaving_ = false;
    bool refusedOnLeaving_ = false;
};

QLineEdit* AddBox(QGroupBox* frame, const char* name, int row, int col) {
    auto* box = new QLineEdit(frame);
    box->setObjectName(Q(name));
    Grid(frame)->addWidget(box, row, col);
    return box;
}

const NumberBox& NumberRow(const char* box) {
    for (const NumberBox& row : kNumberBoxes)
        if (std::string_view(row.Box) == box) return row;
    throw std::invalid_argument(box);
}

// "下限：" box "から" or "上限：" box "まで", with the up-down where the line has one.
void AddNumberLine(QGroupBox* frame, const char* boxName, int row) {
    const NumberBox& line = NumberRow(boxName);
    const bool lower = std::string_view(line.MinBox) == boxName;
    AddButton<QCheckBox>(frame, line.Check, lower ? "下限：" : "上限：", row, 0);
    QLineEdit* box = AddBox(frame, line.Box, row, 1);
    box->setAlignment(Qt::AlignRight);
    box->setAttribute(Qt::WA_InputMethodEnabled, false);
    if (line.Spinner) {
        auto* spinner = new UpDownSpinner(frame);
        spinner->setObjectName(Q(line.Spinner));
        // The arrows stand beside the box, as tall as it is.
        spinner->setFixedHeight(box->sizeHint().height());
        Grid(frame)->addWidget(spinner, row, 2);
    }
    AddLabel(frame, lower ? "から" : "まで", row, 3);
}

void AddDateLine(QGroupBox* frame, const char* check, const char* caption, const char* name,
                 int row) {
    AddButton<QCheckBox>(frame, check, caption, row, 0);
    auto* picker = new QDateEdit(frame);
    picker->setObjectName(Q(name));
    picker->setDisplayFormat(QStringLiteral("yy/MM/dd"));
    picker->setDateRange(QDate(1998, 1, 1), QDate(2100, 12, 31));
    picker->setCalendarPopup(true);
    Grid(frame)->addWidget(picker, row, 1);
}

// A tab page whose frames stand in two columns, so that they fit the tab.
std::pair<QVBoxLayout*, QVBoxLayout*> AddColumnsTab(QTabWidget* tabs, const char* caption) {
    QVBoxLayout* page = AddTab(tabs, caption);
    auto* columns = new QHBoxLayout;
    page->addLayout(columns);
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);
    return {left, right};
}

// Frames of a lower and an upper bound: frame name, caption, min box, max box.
void AddPairFrames(QVBoxLayout* tab, std::span<const char* const[4]> pairs) {
    for (const auto& pair : pairs) {
        QGroupBox* frame = Frame(tab, pair[0], pair[1]);
        AddNumberLine(frame, pair[2], 0);
        AddNumberLine(frame, pair[3], 1);
    }
}

void BuildScopeTab(QTabWidget* tabs) {
    QVBoxLayout* tab = AddTab(tabs, "市場・表示順");
    QGroupBox* scope = Frame(tab, "FRM_市場", "対象範囲");
    AddButton<QRadioButton>(scope, "OPT_全て", "全て", 0, 0);
    AddButton<QRadioButton>(scope, "OPT_指定", "指定範囲のみ", 0, 1);
    AddLabel(scope, "市場", 1, 0);
    const char* const markets[][2] = {
        {"CHK_東プ", "東証プライム"}, {"CHK_東ス", "東証スタンダード"},
        {"CHK_東グ", "東証グローズ"}, {"CHK_東", "東証"},
        {"CHK_名証", "名証"},         {"CHK_指標", "指標"},
        {"CHK_東1", "東証１部"},      {"CHK_東2", "東証２部"},
        {"CHK_大証", "大証"},         {"CHK_マザ", "ﾏｻﾞｰｽﾞ"},
        {"CHK_店頭", "ｼﾞｬｽﾀﾞｯｸ"},     {"CHK_ヘラ", "ﾍﾗｸﾚｽ"},
    };
    for (int i = 0; i < 12; ++i)
        AddButton<QCheckBox>(scope, markets[i][0], markets[i][1], 2 + i / 3, i % 3);
    AddLabel(scope, "注目", 6, 0);
    AddNumberLine(scope, "TXT_注目Min", 7);
    AddNumberLine(scope, "TXT_注目Max", 8);

    // One line under the markets, so that the tab holds both frames.
    QGroupBox* order = Frame(tab, "FRA_表示順", "表示順");
    AddButton<QRadioButton>(order, "OPT_Asc", "昇順", 0, 0);
    AddButton<QRadioButton>(order, "OPT_Desc", "降順", 0, 1);
    AddLabel(order, "項目：", 0, 2);
    AddList(order, "CBO_Fields", kSortKeyNames, 0, 3);
    tab->addStretch();
}

void BuildAnalysisTab(QTabWidget* tabs) {
    auto [tab, side] = AddColumnsTab(tabs, "分析情報－1");
    for (const auto& [name, caption, prefix] : {std::tuple{"FRA_高値圏", "高値圏", "CHK_高値圏"},
                                                std::tuple{"FRA_安値圏", "安値圏", "CHK_安値圏"}}) {
        QGroupBox* range = Frame(tab, name, caption);
        AddButton<QCheckBox>(range, (std::string(prefix) + "006M").c_str(), "半年（日足）", 0, 0);
        AddButton<QCheckBox>(range, (std::string(prefix) + "120M").c_str(), "10年（月足）", 0, 1);
    }
    const char* const pairs[][4] = {
        {"FRM_前日比", "前日比", "TXT_前日Min", "TXT_前日Max"},
        {"FRA_上昇率", "上昇率", "TXT_UpMin", "TXT_UpMax"},
        {"FRA_下落率", "下落率", "TXT_DownMin", "TXT_DownMax"},
    };
    AddPairFrames(side, pairs);
    QGroupBox* turn = Frame(tab, "FRA_転換状況", "転換状況");
    AddButton<QCheckBox>(turn, "CHK_転換", "転換：", 0, 0);
    AddList(turn, "CBO_転換", kTurnNames, 0, 1);
    QGroupBox* dates = Frame(tab, "FRA_転換日", "最終転換日");
    AddDateLine(dates, "CHK_開始", "開始：", "DPC_開始", 0);
    AddDateLine(dates, "CHK_終了", "終了：", "DPC_終了", 1);
    tab->addStretch();
    side->addStretch();
}

void BuildTechnicalTab(QTabWidget* tabs) {
    auto [tab, side] = AddColumnsTab(tabs, "分析情報－2");
    const char* const pairs[][4] = {
        {"FRA_乖離005D", "乖離率（5日線）", "TXT_乖離005DMin", "TXT_乖離005DMax"},
        {"FRA_乖離025D", "乖離率（25日線）", "TXT_乖離025DMin", "TXT_乖離025DMax"},
    };
    AddPairFrames(tab, pairs);
    QGroupBox* surge = Frame(side, "FRA_出来急増", "出来高急増");
    AddButton<QCheckBox>(surge, "CHK_出増005D", "過去５営業日の平均と当日", 0, 0);
    QGroupBox* average = Frame(side, "FRA_移動平均", "移動平均線");
    AddButton<QCheckBox>(average, "CHK_MAxG", "ｺﾞｰﾙﾃﾞﾝｸﾛｽ", 0, 0);
    AddButton<QCheckBox>(average, "CHK_MAxD", "ﾃﾞｯﾄﾞｸﾛｽ", 0, 1);
    tab->addStretch();
    side->addStretch();
}

void BuildRegisteredTab(QTabWidget* tabs) {
    auto [tab, side] = AddColumnsTab(tabs, "登録情報");
    QGroupBox* texts = Frame(tab, "FRA_文字列", "含まれる文字");
    AddButton<QCheckBox>(texts, "CHK_Name", "銘柄名：", 0, 0);
    AddBox(texts, "TXT_Name", 0, 1);
    AddButton<QCheckBox>(texts, "CHK_Memo", "メ　　モ：", 1, 0);
    AddBox(texts, "TXT_Memo", 1, 1);
    QGroupBox* price = Frame(tab, "FRA_株価", "株価");
    AddNumberLine(price, "TXT_Min", 0);
    AddNumberLine(price, "TXT_Max", 1);
    QGroupBox* industry = Frame(side, "FRA_業種", "業種");
    AddButton<QCheckBox>(industry, "CHK_業種", "業種：", 0, 0);
    AddList(industry, "CBO_業種", kIndustryNames, 0, 1);
    QGroupBox* volume = Frame(side, "FRA_出来高", "出来高");
    AddNumberLine(volume, "TXT_出来高Min", 0);
    AddNumberLine(volume, "TXT_出来高Max", 1);
    tab->addStretch();
    side->addStretch();
}

// The check and the format of a numeric box, then its pair rule.
bool LeaveBox(QWidget* window, const NumberBox& row) {
    QLineEdit* box = Child<QLineEdit>(window, row.Box);
    if (!(row.Decimal ? CheckDecimalBox(box) : CheckIntegerBox(box))) return false;
    row.Format(box);
    row.Pair(Child<QLineEdit>(window, row.MinBox), Child<QLineEdit>(window, row.MaxBox));
    return true;
}

void Step(QLineEdit* box, Steps steps, bool up) {
    if (steps == Steps::Percent) return up ? SpinUpPercent(box) : SpinDownPercent(box);
    up ? IncrementField(box) : DecrementField(box);
}

// The rate's value as a whole number, when its text is a number.
bool RateValue(QLineEdit* box, double& value) {
    const std::string text = box->text().toStdString();
    if (!IsNumericText(text)) return false;
    value = std::nearbyint(NumericValue(text));
    return true;
}

void SetNumber(QLineEdit* box, double value) {
    box->setText(QString::fromStdString(FormatNumber(value, "###0")));
}

}  // namespace

void IncrementField(QLineEdit* box) {
    RunTrapped([box] {
        double value = 0;
        if (!RateValue(RequireControl(box), value) || value > kRateMax - 1) return;
        SetNumber(box, value + 1);
        SelectAllText(box);
    });
}

void DecrementField(QLineEdit* box) {
    RunTrapped([box] {
        double value = 0;
        if (!RateValue(RequireControl(box), value) || value <= 0) return;
        SetNumber(box, value - 1);
        SelectAllText(box);
    });
}

void FormatIntField(QLineEdit* box) {
    RunTrapped([box] {
        const std::string text = TrimSpaces(RequireControl(box)->text().toStdString());
        if (text.empty()) return box->setText(QStringLiteral("0"));
        if (!IsNumericText(text)) return;
        SetNumber(box, std::max(std::min(NumericValue(text), kRateMax), 0.0));
    });
}

void FormatDecimalField(QLineEdit* box) {
    RunTrapped([box] {
        const std::string text = TrimSpaces(RequireControl(box)->text().toStdString());
        if (text.empty()) return box->setText(QStringLiteral("0.0"));
        if (!IsNumericText(text)) return;
        box->setText(QString::fromStdString(FormatNumber(NumericValue(text), "###0.0#")));
    });
}

FRM_複合検索::FRM_複合検索(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FRM_複合検索"));
    setWindowTitle(QStringLiteral("複数条件による検索--"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    Build();
    BindControls();
}

void FRM_複合検索::Build() {
    setFixedSize(TwipsToPixels(6735), TwipsToPixels(6210));
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("SSTab1"));
    BuildScopeTab(tabs_);
    BuildAnalysisTab(tabs_);
    BuildTechnicalTab(tabs_);
    BuildRegisteredTab(tabs_);
    // Close lines, so that each tab's frames fit within it.
    for (QGroupBox* frame : tabs_->findChildren<QGroupBox*>()) {
        Grid(frame)->setContentsMargins(6, 2, 6, 2);
        Grid(frame)->setVerticalSpacing(2);
    }
    PlaceAt(tabs_, 120, 120, 6495, 4935);
    auto* save =
        new QCheckBox(QStringLiteral("ここでの設定を、起動時（次回以降）に反映させる。"), this);
    save->setObjectName(QStringLiteral("CHK_Save"));
    save->adjustSize();
    save->move(TwipsToPixels(360), TwipsToPixels(5280));
    PlaceSettingsButtons(this, 2640, 5760);
}

void FRM_複合検索::BindControls() {
    for (const NumberBox& row : kNumberBoxes) {
        QLineEdit* box = Child<QLineEdit>(this, row.Box);
        new SearchBoxFilter(box, row, [this, &row] { return LeaveBox(this, row); });
        auto* spinner = row.Spinner ? Child<UpDownSpinner>(this, row.Spinner) : nullptr;
        BindConditionLine(this, Child<QCheckBox>(this, row.Check), box, spinner);
        if (!spinner) continue;
        spinner->OnUp([box, &row] {
            row.Format(box);
            Step(box, row.StepRule, true);
        });
        spinner->OnDown([box, &row] {
            row.Format(box);
            Step(box, row.StepRule, false);
        });
    }
    for (const ConditionLine& line : kOtherLines)
        BindConditionLine(this, Child<QCheckBox>(this, line.Check),
                          Child<QWidget>(this, line.Input));
    // Each pair of options is exclusive by these handlers alone, so that a stored 0/0 pair
    // shows neither button and saves 0/0 again.
    for (const char* name : {"OPT_全て", "OPT_指定", "OPT_Asc", "OPT_Desc"})
        Child<QRadioButton>(this, name)->setAutoExclusive(false);
    connect(Child<QRadioButton>(this, "OPT_全て"), &QRadioButton::clicked, this,
            [this] { OnScopeOption(false); });
    connect(Child<QRadioButton>(this, "OPT_指定"), &QRadioButton::clicked, this,
            [this] { OnScopeOption(true); });
    connect(Child<QRadioButton>(this, "OPT_Asc"), &QRadioButton::clicked, this,
            [this] { OnSortOption(false); });
    connect(Child<QRadioButton>(this, "OPT_Desc"), &QRadioButton::clicked, this,
            [this] { OnSortOption(true); });
    BindDateRange(this);
    connect(Child<QPushButton>(this, "CMD_適用"), &QPushButton::clicked, this,
            [this] { OnApply(); });
    connect(Child<QPushButton>(this, "CMD_OK"), &QPushButton::clicked, this, [this] { OnOk(); });
    connect(Child<QPushButton>(this, "CMD_cancel"), &QPushButton::clicked, this,
            [this] { reject(); });
}

namespace {

// EnableByCheck for a condition line, with its up-down following its box.
void EnableLine(QWidget* window, const char* check) {
    for (const NumberBox& row : kNumberBoxes) {
        if (std::string_view(row.Check) != check) continue;
        QLineEdit* box = Child<QLineEdit>(window, row.Box);
        EnableByCheck(window, Child<QCheckBox>(window, check), box);
        if (row.Spinner) CopyEnabled(box, Child<QWidget>(window, row.Spinner));
        return;
    }
    for (const ConditionLine& line : kOtherLines)
        if (std::string_view(line.Check) == check)
            EnableByCheck(window, Child<QCheckBox>(window, check),
                          Child<QWidget>(window, line.Input));
}

void EnableWatchLines(QWidget* window) {
    EnableLine(window, "CHK_注目Max");
    EnableLine(window, "CHK_注目Min");
}

}  // namespace

void FRM_複合検索::OnScopeOption(bool specified) {
    RunTrapped([this, specified] {
        Child<QRadioButton>(this, "OPT_全て")->setChecked(!specified);
        Child<QRadioButton>(this, "OPT_指定")->setChecked(specified);
        specified ? EnableFilterChecks(*this) : DisableFilterChecks(*this);
        EnableWatchLines(this);
    });
}

void FRM_複合検索::OnSortOption(bool descending) {
    RunTrapped([this, descending] {
        Child<QRadioButton>(this, "OPT_Asc")->setChecked(!descending);
        Child<QRadioButton>(this, "OPT_Desc")->setChecked(descending);
    });
}

void FRM_複合検索::Load() {
    RunTrapped([this] {
        SetteiRecord& record = Settei().Record;
        if (!LoadBoundControls(*this, kSection, kLoadOrder, record)) {
            // Every setting goes back to its default; the run keeps the pair it signed in with.
            LogonPair logon = Signin().LogonInfo;
            ResetSettei(logon);
            LoadBoundControls(*this, kSection, kLoadOrder, record);
        }
        ClearSelectedRows();
        Child<QRadioButton>(this, "OPT_指定")->isChecked() ? EnableFilterChecks(*this)
                                                           : DisableFilterChecks(*this);
        EnableWatchLines(this);
        EnableLine(this, "CHK_開始");
        EnableLine(this, "CHK_終了");
        // The saved end shows only once the user has applied a search in this run.
        if (Search().SearchApplied == 0) {
            const auto today = SetteiToday();
            Child<QDateEdit>(this, "DPC_終了")
                ->setDate(QDate(static_cast<int>(today.year()),
                                static_cast<unsigned>(today.month()),
                                static_cast<unsigned>(today.day())));
        }
        KeepStartBeforeEnd(this);
        const char* const rest[] = {"CHK_前日Min",     "CHK_前日Max",     "CHK_下限",
                                    "CHK_上限",        "CHK_出来高Min",   "CHK_出来高Max",
                                    "CHK_DownMin",     "CHK_DownMax",     "CHK_UpMin",
                                    "CHK_UpMax",       "CHK_乖離005DMin", "CHK_乖離005DMax",
                                    "CHK_乖離025DMin", "CHK_乖離025DMax", "CHK_Name",
                                    "CHK_Memo",        "CHK_転換",        "CHK_業種"};
        for (const char* check : rest) EnableLine(this, check);
    });
}

bool FRM_複合検索::CommitFocusedBox() {
    QWidget* focused = QApplication::focusWidget();
    if (!focused || !isAncestorOf(focused)) return true;
    auto* filter = dynamic_cast<SearchBoxFilter*>(
        focused->findChild<QObject*>(SearchBoxFilter::kName, Qt::FindDirectChildrenOnly));
    return !filter || filter->Commit();
}

bool FRM_複合検索::SaveConditions() {
    if (!CommitFocusedBox()) return false;
    Search().SearchApplied = -1;
    const std::vector<BoundControl> order = SaveOrder();
    SaveBoundControls(*this, kSection, order, Settei().Record);
    SaveSettei(Signin().LogonInfo);
    return true;
}

void FRM_複合検索::OnApply() {
    SetHourglass();
    SaveConditions();
    ResetPointer();
}

void FRM_複合検索::OnOk() {
    SetHourglass();
    bool done = false;
    RunTrapped([this, &done] {
        if (!SaveConditions()) return;
        FlexGrid* grid = RequireControl(ListServices().Links.FGR_該当銘柄);
        ShowIssueList(*grid, kListCompound);
        if (grid->Rows() > 1) {
            grid->SetTopRow(1);
            SelectAllRows(*grid);
        }
        done = true;
    });
    ResetPointer();
    if (done) accept();
}

void ShowCompoundSearch() {
    FRM_複合検索 window(QApplication::activeWindow());
    window.Load();
    window.exec();
}
