#include "foundation/settings_fields.h"

#include <unordered_map>

#include "platform/cp932.h"

namespace {

// Collects the fields of a prototype record in file order; offsets are taken from the
// prototype, so every field is named with its real member and type-checked.
class TableBuilder {
  public:
    TableBuilder(const SetteiRecord& proto, std::vector<SetteiField>& out)
        : proto_(proto), out_(out) {}

    void Integer(const std::string& name, const int16_t& member, int32_t value) {
        Add(name, SetteiFieldType::Integer, &member, SetteiDefault::Value, value);
    }
    // A list position: -1 (nothing chosen) to the last entry of its list.
    void ListPos(const std::string& name, const int16_t& member, int32_t value, int32_t last) {
        Ranged(name, member, value, -1, last);
    }
    void Ranged(const std::string& name, const int16_t& member, int32_t value, int32_t min,
                int32_t max) {
        SetteiField& f = Add(name, SetteiFieldType::Integer, &member, SetteiDefault::Value, value);
        f.Ranged = true;
        f.Min = min;
        f.Max = max;
    }
    void Long(const std::string& name, const int32_t& member, SetteiDefault kind, int32_t value) {
        Add(name, SetteiFieldType::Long, &member, kind, value);
    }
    void Text(const std::string& name, const std::string& member, SetteiDefault kind,
              std::string text = {}) {
        Add(name, SetteiFieldType::Text, &member, kind, 0).DefaultText = std::move(text);
    }
    void LongArray(const std::string& name, const SavedLogonArray& member) {
        Add(name, SetteiFieldType::LongArray, &member, SetteiDefault::Keep, 0);
    }
    void Item(const std::string& section, const std::string& item, const std::string& check,
              const std::string& text, const ItemValue& member, int32_t checkValue,
              SetteiDefault textKind, std::string textValue = {}) {
        Integer(section + "." + check, member.Check, checkValue);
        Integer(section + "." + item + ".Spare", member.Spare, 0);
        Text(section + "." + text, member.Text, textKind, std::move(textValue));
    }
    void Scope(const std::string& s, const MarketScope& m) {
        Integer(s + ".OPT_全て", m.OPT_全て, -1);
        Integer(s + ".OPT_指定", m.OPT_指定, 0);
        const std::pair<const char*, const int16_t*> markets[] = {
            {"CHK_東プ", &m.CHK_東プ}, {"CHK_東ス", &m.CHK_東ス}, {"CHK_東グ", &m.CHK_東グ},
            {"CHK_東", &m.CHK_東},     {"CHK_名証", &m.CHK_名証}, {"CHK_指標", &m.CHK_指標},
            {"CHK_東1", &m.CHK_東1},   {"CHK_東2", &m.CHK_東2},   {"CHK_大証", &m.CHK_大証},
            {"CHK_店頭", &m.CHK_店頭}, {"CHK_マザ", &m.CHK_マザ}, {"CHK_ヘラ", &m.CHK_ヘラ},
        };
        for (auto [name, member] : markets) Integer(s + "." + name, *member, 0);
        Item(s, "注目Min", "CHK_注目Min", "TXT_注目Min", m.注目Min, 0, SetteiDefault::Value, "1");
        Item(s, "注目Max", "CHK_注目Max", "TXT_注目Max", m.注目Max, 0, SetteiDefault::Value, "1");
    }

  private:
    SetteiField& Add(const std::string& name, SetteiFieldType type, const void* member,
                     SetteiDefault kind, int32_t value) {
        SetteiField f;
        f.Name = name;
        f.Type = type;
        f.Default = kind;
        f.DefaultValue = value;
        f.Offset = static_cast<size_t>(static_cast<const char*>(member) -
                                       reinterpret_cast<const char*>(&proto_));
        out_.push_back(std::move(f));
        return out_.back();
    }

    const SetteiRecord& proto_;
    std::vector<SetteiField>& out_;
};

void AddSearchSettei(TableBuilder& b, const SearchSettei& r) {
    const std::string s = "SearchSettei";
    const auto V = SetteiDefault::Value;
    b.Scope(s, r.Scope);
    b.Integer(s + ".OPT_Asc", r.OPT_Asc, -1);
    b.Integer(s + ".OPT_Desc", r.OPT_Desc, 0);
    b.ListPos(s + ".CBO_Fields", r.CBO_Fields, 0, 6);
    b.Integer(s + ".CHK_転換", r.CHK_転換, 0);
    b.ListPos(s + ".CBO_転換", r.CBO_転換, 0, 2);
    // The lower end of the turn dates is unchecked by default; the start of the analysis
    // year is a date the user is likely to want when switching it on.
    b.Item(s, "開始", "CHK_開始", "DPC_開始", r.開始, 0, SetteiDefault::YearStart);
    b.Item(s, "終了", "CHK_終了", "DPC_終了", r.終了, 0, SetteiDefault::Today);
    b.Item(s, "前日Min", "CHK_前日Min", "TXT_前日Min", r.前日Min, 0, V, "0");
    b.Item(s, "前日Max", "CHK_前日Max", "TXT_前日Max", r.前日Max, 0, V, "0");
    b.Item(s, "株価Min", "CHK_下限", "TXT_Min", r.株価Min, 0, V, "0");
    b.Item(s, "株価Max", "CHK_上限", "TXT_Max", r.株価Max, 0, V, "0");
    b.Item(s, "出来高Min", "CHK_出来高Min", "TXT_出来高Min", r.出来高Min, 0, V, "0");
    b.Item(s, "出来高Max", "CHK_出来高Max", "TXT_出来高Max", r.出来高Max, 0, V, "0");
    b.Item(s, "UpMin", "CHK_UpMin", "TXT_UpMin", r.UpMin, 0, V, "0");
    b.Item(s, "UpMax", "CHK_UpMax", "TXT_UpMax", r.UpMax, 0, V, "0");
    b.Item(s, "DownMin", "CHK_DownMin", "TXT_DownMin", r.DownMin, 0, V, "0");
    b.Item(s, "DownMax", "CHK_DownMax", "TXT_DownMax", r.DownMax, 0, V, "0");
    b.Item(s, "Name", "CHK_Name", "TXT_Name", r.Name, 0, V, "");
    b.Item(s, "Memo", "CHK_Memo", "TXT_Memo", r.Memo, 0, V, "");
    b.Integer(s + ".CHK_業種", r.CHK_業種, 0);
    b.ListPos(s + ".CBO_業種", r.CBO_業種, 0, 35);
    b.Integer(s + ".CHK_高値圏006M", r.CHK_高値圏006M, 0);
    b.Integer(s + ".CHK_高値圏120M", r.CHK_高値圏120M, 0);
    b.Integer(s + ".CHK_安値圏006M", r.CHK_安値圏006M, 0);
    b.Integer(s + ".CHK_安値圏120M", r.CHK_安値圏120M, 0);
    b.Integer(s + ".CHK_MAxG", r.CHK_MAxG, 0);
    b.Integer(s + ".CHK_MAxD", r.CHK_MAxD, 0);
    b.Item(s, "乖離005DMin", "CHK_乖離005DMin", "TXT_乖離005DMin", r.乖離005DMin, 0, V, "0.0");
    b.Item(s, "乖離005DMax", "CHK_乖離005DMax", "TXT_乖離005DMax", r.乖離005DMax, 0, V, "0.0");
    b.Item(s, "乖離025DMin", "CHK_乖離025DMin", "TXT_乖離025DMin", r.乖離025DMin, 0, V, "0.0");
    b.Item(s, "乖離025DMax", "CHK_乖離025DMax", "TXT_乖離025DMax", r.乖離025DMax, 0, V, "0.0");
    b.Integer(s + ".CHK_出増005D", r.CHK_出増005D, 0);
    b.Integer(s + ".CHK_Save", r.CHK_Save, 0);
}

void AddSpareConditions(TableBuilder& b, const SpareConditions& r) {
    const std::string s = "SpareConditions";
    const auto T = SetteiDefault::Today;
    b.Item(s, "Item1", "Item1.Check", "Item1.Text", r.Item1, 0, T);
    b.Integer(s + ".Value1", r.Value1, 0);
    b.Integer(s + ".Value2", r.Value2, 0);
    b.Item(s, "Item2", "Item2.Check", "Item2.Text", r.Item2, 1, T);
    b.Item(s, "Item3", "Item3.Check", "Item3.Text", r.Item3, 1, T);
}

void AddUserSettei(TableBuilder& b, const UserSettei& r) {
    const std::string s = "UserSettei";
    b.Scope(s, r.Scope);
    b.Integer(s + ".OPT_二文", r.OPT_二文, -1);
    b.Integer(s + ".OPT_三文", r.OPT_三文, 0);
    b.Integer(s + ".CHK_関門", r.CHK_関門, 0);
    b.Integer(s + ".CHK_斜線", r.CHK_斜線, 0);
    b.ListPos(s + ".CBO_必要文数", r.CBO_必要文数, 2, 10);  // "同値", "１文" … "１０文"
    b.ListPos(s + ".CBO_同時転換", r.CBO_同時転換, 14, 16);  // "同日限定" … "日数制限無し"
    b.Integer(s + ".CHK_高値圏006M", r.CHK_高値圏006M, 0);
    b.Integer(s + ".CHK_高値圏120M", r.CHK_高値圏120M, 0);
    b.Integer(s + ".CHK_MAx", r.CHK_MAx, 0);
    b.Integer(s + ".CHK_乖離率D", r.CHK_乖離率D, 0);
    b.Integer(s + ".CHK_出増005D", r.CHK_出増005D, 0);
    b.ListPos(s + ".CBO_鈎足", r.CBO_鈎足, 4, 9);  // "10" … "100"
    b.ListPos(s + ".CBO_日足", r.CBO_日足, 2, 5);  // "50" … "300"
    b.ListPos(s + ".CBO_週足", r.CBO_週足, 2, 5);
    b.ListPos(s + ".CBO_月足", r.CBO_月足, 2, 5);
    const std::pair<const char*, std::pair<const int16_t*, int32_t>> flags[] = {
        {"OPT_転換", {&r.OPT_転換, 0}},    {"OPT_陰陽", {&r.OPT_陰陽, -1}},
        {"OPT_速度", {&r.OPT_速度, -1}},   {"OPT_精細", {&r.OPT_精細, 0}},
        {"CHK_白黒", {&r.CHK_白黒, 0}},    {"OPT_枠", {&r.OPT_枠, -1}},
        {"OPT_Not枠", {&r.OPT_Not枠, 0}},  {"OPT_左右", {&r.OPT_左右, -1}},
        {"OPT_上下", {&r.OPT_上下, 0}},    {"OPT_MAOn", {&r.OPT_MAOn, 0}},
        {"OPT_MAOff", {&r.OPT_MAOff, -1}}, {"CHK_連続", {&r.CHK_連続, 1}},
    };
    for (auto [name, field] : flags) b.Integer(s + "." + name, *field.first, field.second);
    b.Text(s + ".DPC_開始", r.DPC_開始, SetteiDefault::YearStart);
    b.Integer(s + ".OPT_DGWeb", r.OPT_DGWeb, -1);
    b.Integer(s + ".OPT_DGMail", r.OPT_DGMail, 0);
    b.Integer(s + ".CHK_DGAuto", r.CHK_DGAuto, 0);
    b.LongArray(s + ".SavedUserId", r.SavedUserId);
    b.LongArray(s + ".SavedPassword", r.SavedPassword);
}

void AddKagiJudgeSettei(TableBuilder& b, const KagiJudgeSettei& r) {
    const std::pair<const char*, std::pair<const int16_t*, int32_t>> pairs[] = {
        {"OPT_長線無制限", {&r.OPT_長線無制限, -1}}, {"OPT_Not長線", {&r.OPT_Not長線, 0}},
        {"OPT_連続無制限", {&r.OPT_連続無制限, 0}},  {"OPT_Not連続", {&r.OPT_Not連続, -1}},
        {"OPT_新値三超", {&r.OPT_新値三超, -1}},     {"OPT_新値三迄", {&r.OPT_新値三迄, 0}},
        {"OPT_第二無制限", {&r.OPT_第二無制限, -1}}, {"OPT_第二三迄", {&r.OPT_第二三迄, 0}},
        {"OPT_第三考慮", {&r.OPT_第三考慮, -1}},     {"OPT_第三無制限", {&r.OPT_第三無制限, 0}},
        {"OPT_山無制限", {&r.OPT_山無制限, -1}},     {"OPT_山三のみ", {&r.OPT_山三のみ, 0}},
        {"OPT_第二採用", {&r.OPT_第二採用, -1}},     {"OPT_第二不採用", {&r.OPT_第二不採用, 0}},
    };
    for (auto [name, field] : pairs)
        b.Integer(std::string("KagiJudgeSettei.") + name, *field.first, field.second);
}

void AddPrintSettei(TableBuilder& b, const PrintSettei& r) {
    const std::string s = "PrintSettei";
    b.Text(s + ".PrintCaller", r.PrintCaller, SetteiDefault::Keep);
    b.Long(s + ".FirstRow", r.FirstRow, SetteiDefault::Keep, 0);
    b.Long(s + ".LastRow", r.LastRow, SetteiDefault::Keep, 0);
    // The printer index is checked against the printer list by ListPrinters, not here:
    // the list is only known once the printers have been asked for.
    b.Integer(s + ".CBO_Printer", r.CBO_Printer, 0);
    b.ListPos(s + ".CBO_Size", r.CBO_Size, 0, 1);
    b.ListPos(s + ".CBO_方法", r.CBO_方法, 0, 1);
    b.Integer(s + ".OPT_縦", r.OPT_縦, -1);
    b.Integer(s + ".OPT_横", r.OPT_横, 0);
    b.Integer(s + ".OPT_All", r.OPT_All, 0);
    b.Integer(s + ".OPT_Choice", r.OPT_Choice, -1);
    b.Long(s + ".TXT_Count", r.TXT_Count, SetteiDefault::Value, 1);
}

std::vector<SetteiField> BuildTable() {
    static const SetteiRecord proto;
    std::vector<SetteiField> table;
    TableBuilder b(proto, table);
    AddSearchSettei(b, proto.SearchSettei);
    AddSpareConditions(b, proto.SpareConditions);
    AddUserSettei(b, proto.UserSettei);
    AddKagiJudgeSettei(b, proto.KagiJudgeSettei);
    AddPrintSettei(b, proto.PrintSettei);
    b.Scope("ManualSettei", proto.ManualSettei);
    const auto& d = proto.DefaultDisplayCount;
    b.Ranged("DefaultDisplayCount.鈎足", d[0], 50, 10, 100);
    b.Ranged("DefaultDisplayCount.日足", d[1], 150, 50, 300);
    b.Ranged("DefaultDisplayCount.週足", d[2], 150, 50, 300);
    b.Ranged("DefaultDisplayCount.月足", d[3], 150, 50, 300);
    return table;
}

template <typename T>
T& Member(SetteiRecord& record, const SetteiField& f) {
    return *reinterpret_cast<T*>(reinterpret_cast<char*>(&record) + f.Offset);
}
template <typename T>
const T& Member(const SetteiRecord& record, const SetteiField& f) {
    return *reinterpret_cast<const T*>(reinterpret_cast<const char*>(&record) + f.Offset);
}

template <typename T>
T* Typed(SetteiRecord& record, std::string_view name, SetteiFieldType type) {
    const SetteiField* f = FindSetteiField(name);
    return f && f->Type == type ? &Member<T>(record, *f) : nullptr;
}

void PutLe(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// Reads little-endian values from an image and notes when it runs out.
class ImageReader {
  public:
    explicit ImageReader(std::string_view image) : image_(image) {}
    bool Read(size_t bytes, uint32_t& value) {
        if (image_.size() - pos_ < bytes) return false;
        value = 0;
        for (size_t i = 0; i < bytes; ++i)
            value |= static_cast<uint32_t>(static_cast<unsigned char>(image_[pos_ + i])) << (8 * i);
        pos_ += bytes;
        return true;
    }
    bool ReadBytes(size_t bytes, std::string_view& out) {
        if (image_.size() - pos_ < bytes) return false;
        out = image_.substr(pos_, bytes);
        pos_ += bytes;
        return true;
    }

  private:
    std::string_view image_;
    size_t pos_ = 0;
};

bool DecodeField(ImageReader& in, const SetteiField& f, SetteiRecord& record) {
    uint32_t value = 0;
    switch (f.Type) {
        case SetteiFieldType::Integer:
            if (!in.Read(2, value)) return false;
            Member<int16_t>(record, f) = static_cast<int16_t>(value);
            return true;
        case SetteiFieldType::Long:
            if (!in.Read(4, value)) return false;
            Member<int32_t>(record, f) = static_cast<int32_t>(value);
            return true;
        case SetteiFieldType::Text: {
            std::string_view bytes;
            if (!in.Read(2, value) || !in.ReadBytes(value, bytes)) return false;
            std::string& text = Member<std::string>(record, f);
            if (!DecodeCp932Strict(bytes, text))
                record.KeptTexts[f.Name] = {std::string(bytes), text};
            return true;
        }
        case SetteiFieldType::LongArray:
            for (int32_t& element : Member<SavedLogonArray>(record, f)) {
                if (!in.Read(4, value)) return false;
                element = static_cast<int32_t>(value);
            }
            return true;
    }
    return false;
}

// The bytes a text field is written as: those read from the file while the text still
// reads as it did, else its CP932 form.
std::string TextFieldBytes(const SetteiRecord& record, const SetteiField& f) {
    const std::string& text = Member<std::string>(record, f);
    const auto kept = record.KeptTexts.find(f.Name);
    if (kept != record.KeptTexts.end() && kept->second.Shown == text) return kept->second.Bytes;
    return ToCp932(text);
}

size_t FieldBytes(const SetteiRecord& record, const SetteiField& f) {
    switch (f.Type) {
        case SetteiFieldType::Integer:
            return 2;
        case SetteiFieldType::Long:
            return 4;
        case SetteiFieldType::Text:
            return 2 + TextFieldBytes(record, f).size();
        case SetteiFieldType::LongArray:
            return 4 * std::tuple_size_v<SavedLogonArray>;
    }
    return 0;
}

}  // namespace

const std::vector<SetteiField>& SetteiFields() {
    static const std::vector<SetteiField> table = BuildTable();
    return table;
}

const SetteiField* FindSetteiField(std::string_view name) {
    static const auto index = [] {
        std::unordered_map<std::string_view, const SetteiField*> map;
        for (const SetteiField& f : SetteiFields()) map.emplace(f.Name, &f);
        return map;
    }();
    const auto it = index.find(name);
    return it == index.end() ? nullptr : it->second;
}

int16_t* SetteiInteger(SetteiRecord& record, std::string_view name) {
    return Typed<int16_t>(record, name, SetteiFieldType::Integer);
}
int32_t* SetteiLong(SetteiRecord& record, std::string_view name) {
    return Typed<int32_t>(record, name, SetteiFieldType::Long);
}
std::string* SetteiText(SetteiRecord& record, std::string_view name) {
    return Typed<std::string>(record, name, SetteiFieldType::Text);
}

bool EncodeSetteiImage(const SetteiRecord& record, std::string& image, std::string& error) {
    std::string out;
    for (const SetteiField& f : SetteiFields()) {
        switch (f.Type) {
            case SetteiFieldType::Integer:
                PutLe(out, static_cast<uint16_t>(Member<int16_t>(record, f)), 2);
                break;
            case SetteiFieldType::Long:
                PutLe(out, static_cast<uint32_t>(Member<int32_t>(record, f)), 4);
                break;
            case SetteiFieldType::Text: {
                const std::string bytes = TextFieldBytes(record, f);
                if (bytes.size() > 0xFFFF) {
                    error = f.Name + ": text too long";
                    return false;
                }
                PutLe(out, static_cast<uint32_t>(bytes.size()), 2);
                out += bytes;
                break;
            }
            case SetteiFieldType::LongArray:
                for (int32_t element : Member<SavedLogonArray>(record, f))
                    PutLe(out, static_cast<uint32_t>(element), 4);
                break;
        }
    }
    image = std::move(out);
    return true;
}

bool DecodeSetteiImage(std::string_view image, SetteiRecord& record) {
    ImageReader in(image);
    for (const SetteiField& f : SetteiFields())
        if (!DecodeField(in, f, record)) return false;
    return true;
}

void SettleSetteiRanges(SetteiRecord& record) {
    for (const SetteiField& f : SetteiFields()) {
        if (!f.Ranged) continue;
        int16_t& value = Member<int16_t>(record, f);
        if (value < f.Min || value > f.Max) value = static_cast<int16_t>(f.DefaultValue);
    }
}

int64_t SetteiImageOffset(const SetteiRecord& record, std::string_view name) {
    int64_t offset = 0;
    for (const SetteiField& f : SetteiFields()) {
        if (f.Name == name) return offset;
        offset += static_cast<int64_t>(FieldBytes(record, f));
    }
    return -1;
}
