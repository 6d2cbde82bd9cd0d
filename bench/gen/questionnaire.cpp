// The questionnaire's items and the record generator.
#include "bench/gen/questionnaire.h"

#include <charconv>
#include <cstring>
#include <string_view>

#include "engine/kw_create.h"
#include "engine/kw_dates.h"
#include "engine/kw_format.h"
#include "platform/core/atomic_file.h"
#include "platform/core/cp932.h"

namespace zbq::bench {
namespace {

using cp932::literal;

// One record's random stream (splitmix64): cheap, and seeded per record so that any prefix of
// a larger file is the smaller file.
class Stream {
public:
    Stream(std::uint64_t seed, std::int64_t record)
        : state_(mix(seed ^ mix(static_cast<std::uint64_t>(record) + 0x632BE59BD9B4E019u))) {}
    std::uint64_t next() { return mix(state_ += 0x9E3779B97F4A7C15u); }
    // 0 .. n - 1.
    std::uint32_t below(std::uint32_t n) {
        return static_cast<std::uint32_t>(((next() >> 32) * n) >> 32);
    }
    // True with probability `rate`.
    bool chance(double rate) { return static_cast<double>(next() >> 11) * 0x1.0p-53 < rate; }

private:
    static std::uint64_t mix(std::uint64_t z) {
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return z ^ (z >> 31);
    }
    std::uint64_t state_;
};

std::vector<CodeDef> numberedCodes(std::initializer_list<const char*> names) {
    std::vector<CodeDef> codes;
    int n = 0;
    for (const char* name : names)
        codes.push_back({std::to_string(++n), literal(name)});
    return codes;
}

std::vector<CodeDef> prefectures() {
    static const char* const names[] = {
        "北海道", "青森県", "岩手県", "宮城県", "秋田県", "山形県",   "福島県", "茨城県",
        "栃木県", "群馬県", "埼玉県", "千葉県", "東京都", "神奈川県", "新潟県", "富山県",
        "石川県", "福井県", "山梨県", "長野県", "岐阜県", "静岡県",   "愛知県", "三重県",
        "滋賀県", "京都府", "大阪府", "兵庫県", "奈良県", "和歌山県", "鳥取県", "島根県",
        "岡山県", "広島県", "山口県", "徳島県", "香川県", "愛媛県",   "高知県", "福岡県",
        "佐賀県", "長崎県", "熊本県", "大分県", "宮崎県", "鹿児島県", "沖縄県"};
    std::vector<CodeDef> codes;
    for (int i = 0; i < 47; ++i) {
        char code[3] = {static_cast<char>('0' + (i + 1) / 10),
                        static_cast<char>('0' + (i + 1) % 10), 0};
        codes.push_back({code, literal(names[i])});
    }
    codes.push_back({"99", literal("海外")});
    return codes;
}

std::vector<ItemDef> makeItems() {
    std::vector<ItemDef> items(kItemCount);
    auto code = [&](Item i, const char* name, std::vector<CodeDef> codes, double blank = 0,
                    double error = 0) {
        items[i] = {literal(name), KW_TYPE_STRING, std::move(codes), blank, error};
    };
    auto plain = [&](Item i, const char* name, std::int32_t type, double blank, double error) {
        items[i] = {literal(name), type, {}, blank, error};
    };
    plain(kId, "ID", KW_TYPE_INTEGER, 0, 0);
    code(kGender, "性別", numberedCodes({"男性", "女性"}));
    code(kMarried, "婚姻", numberedCodes({"未婚", "既婚"}));
    code(kChildren, "子供", numberedCodes({"なし", "1人", "2人以上"}));
    code(kHousing, "住居", numberedCodes({"持家", "賃貸", "その他"}));
    code(kCar, "自動車", numberedCodes({"あり", "なし"}));
    code(kSmoking, "喫煙", numberedCodes({"吸う", "以前吸っていた", "吸わない"}));
    code(kDrinking, "飲酒", numberedCodes({"飲む", "時々飲む", "飲まない"}));
    code(kExercise, "運動", numberedCodes({"週3回以上", "週1～2回", "しない"}));
    code(kSatisfaction, "満足度",
         numberedCodes({"満足", "やや満足", "どちらでもない", "やや不満", "不満"}));
    code(kOccupation, "職業", numberedCodes({"会社員",
                                             "公務員",
                                             "自営業",
                                             "会社役員",
                                             "自由業",
                                             "専業主婦",
                                             "パート・アルバイト",
                                             "学生",
                                             "無職",
                                             "医師",
                                             "看護師",
                                             "教員",
                                             "弁護士",
                                             "農業",
                                             "漁業",
                                             "建設業",
                                             "製造業",
                                             "販売業",
                                             "サービス業",
                                             "その他"}),
         0.02, 0.002);
    code(kPrefecture, "居住地", prefectures(), 0.02, 0.002);
    items[kHobbies] = {literal("趣味"), KW_TYPE_MULTI,
                       numberedCodes({"読書", "映画鑑賞", "音楽", "スポーツ", "旅行", "料理",
                                      "ゲーム", "園芸", "釣り", "写真", "手芸", "その他"}),
                       0.03, 0.003};
    items[kMedia] = {literal("利用媒体"), KW_TYPE_MULTI,
                     numberedCodes({"テレビ", "新聞", "雑誌", "ラジオ", "インターネット", "SNS",
                                    "口コミ", "その他"}),
                     0.05, 0.002};
    plain(kAge, "年齢", KW_TYPE_INTEGER, 0.02, 0.005);
    plain(kScore, "得点", KW_TYPE_FLOAT, 0.03, 0.005);
    plain(kName, "氏名", KW_TYPE_STRING, 0.01, 0);
    plain(kComment, "自由回答", KW_TYPE_STRING, 0.6, 0);
    plain(kAnswerDate, "回答日", KW_TYPE_DATE, 0.01, 0.003);
    plain(kAnswerTime, "回答時刻", KW_TYPE_TIME, 0.01, 0.003);
    return items;
}

std::vector<std::string> literals(std::initializer_list<const char*> texts) {
    std::vector<std::string> out;
    for (const char* t : texts)
        out.push_back(literal(t));
    return out;
}

struct Words {
    std::vector<std::string> surnames = literals(
        {"佐藤", "鈴木", "高橋",   "田中", "伊藤", "渡辺", "山本", "中村", "小林", "加藤",
         "吉田", "山田", "佐々木", "山口", "松本", "井上", "木村", "林",   "斎藤", "清水",
         "山崎", "森",   "池田",   "橋本", "阿部", "石川", "山下", "中島", "石井", "小川",
         "前田", "岡田", "長谷川", "藤田", "後藤", "近藤", "村上", "遠藤", "青木", "坂本",
         "福田", "太田", "西村",   "藤井", "金子", "岡本", "藤原", "中野", "三浦", "原田"});
    std::vector<std::string> givenNames = literals(
        {"翔",     "蓮",     "大翔",   "陽翔",   "悠真",  "湊",     "樹",   "大和", "陽太",
         "悠斗",   "結衣",   "陽菜",   "葵",     "凛",    "芽依",   "結菜", "莉子", "美咲",
         "花子",   "太郎",   "一郎",   "健太",   "誠",    "剛",     "学",   "修",   "浩",
         "恵子",   "幸子",   "洋子",   "明美",   "由美",  "真由美", "智子", "直樹", "哲也",
         "亮",     "拓也",   "大輔",   "翔太",   "ﾀﾛｳ",   "ﾊﾅｺ",    "ｹﾝ",   "ﾕｲ",   "さくら",
         "ひなた", "あおい", "ゆうき", "はるか", "かおる"});
    std::vector<std::string> phrases = literals(
        {"特になし", "満足しています", "価格が高い", "品揃えが良い", "店員の対応が良かった",
         "また利用したい", "駐車場が狭い", "もっと安くしてほしい", "配送が遅い",
         "ポイント制度が分かりにくい", "Webサイトが使いやすい", "ｱﾝｹｰﾄが長い"});
    std::string unknownAge = literal("不明");
};

const Words& words() {
    static const Words w;
    return w;
}

void appendNumber(std::string& out, std::int64_t n) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, n);
    out.append(buf, r.ptr);
}

// Days since 2020-01-01 to y/m/d (the civil calendar).
void appendDate(std::string& out, std::int32_t day) {
    const std::int64_t ymd = kw::YmdFromDays(day + 18262);  // 2020-01-01 is day 18262 of 1970
    const std::int64_t y = ymd / 10000, m = ymd / 100 % 100, d = ymd % 100;
    appendNumber(out, y);
    out += '/';
    appendNumber(out, m);
    out += '/';
    appendNumber(out, d);
}

void appendAnswers(std::string& out, Stream& s, std::uint32_t codes, std::uint32_t most,
                   bool error) {
    // 1 to `most` distinct codes in ascending order; an error adds one code the table lacks.
    std::uint32_t chosen = 0;
    for (std::uint32_t n = 1 + s.below(most); n > 0; --n)
        chosen |= 1u << s.below(codes);
    bool first = true;
    for (std::uint32_t c = 0; c < codes; ++c) {
        if ((chosen >> c & 1u) == 0) continue;
        if (!first) out += ',';
        first = false;
        appendNumber(out, c + 1);
    }
    if (error) {
        out += ',';
        appendNumber(out, codes + 1);
    }
}

enum class Cell { Value, Blank, Error };

Cell kindOf(Stream& s, const ItemDef& item) {
    // Two draws whatever the rates, so one item's rates never shift another item's values.
    const bool blank = s.chance(item.blankRate);
    const bool error = s.chance(item.errorRate);
    return blank ? Cell::Blank : error ? Cell::Error : Cell::Value;
}

}  // namespace

bool parseRecordCount(std::string_view text, std::int64_t& out) {
    std::int64_t scale = 1;
    if (!text.empty() && (text.back() == 'k' || text.back() == 'K')) scale = 1000;
    if (!text.empty() && (text.back() == 'm' || text.back() == 'M')) scale = 1000000;
    if (scale != 1) text.remove_suffix(1);
    std::int64_t n = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), n);
    if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size() || n < 0 ||
        n > 2'000'000'000 / scale) {
        return false;
    }
    out = n * scale;
    return true;
}

const std::vector<ItemDef>& questionnaireItems() {
    static const std::vector<ItemDef> items = makeItems();
    return items;
}

void appendHeader(std::string& out) {
    const auto& items = questionnaireItems();
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) out += '\t';
        out += items[i].name;
    }
    out += '\n';
}

void appendRecord(std::string& out, std::uint64_t seed, std::int64_t record) {
    const auto& items = questionnaireItems();
    const Words& w = words();
    Stream s(seed, record);
    for (std::int32_t i = 0; i < kItemCount; ++i) {
        if (i > 0) out += '\t';
        const ItemDef& item = items[static_cast<std::size_t>(i)];
        const Cell cell = kindOf(s, item);
        if (cell == Cell::Blank) continue;
        const bool error = cell == Cell::Error;
        switch (i) {
            case kId:
                appendNumber(out, record + 1);
                break;
            case kHobbies:
                appendAnswers(out, s, 12, 4, error);
                break;
            case kMedia:
                appendAnswers(out, s, 8, 3, error);
                break;
            case kAge:
                if (error) {
                    out += w.unknownAge;
                } else {
                    appendNumber(out, 15 + s.below(98));
                }
                break;
            case kScore:
                if (error) {
                    out += "N/A";
                } else {
                    const std::uint32_t tenths = s.below(1001);
                    appendNumber(out, tenths / 10);
                    out += '.';
                    appendNumber(out, tenths % 10);
                }
                break;
            case kName:
                out += w.surnames[s.below(50)];
                out += w.givenNames[s.below(50)];
                break;
            case kComment:
                out += w.phrases[s.below(static_cast<std::uint32_t>(w.phrases.size()))];
                out += " No.";
                appendNumber(out, s.below(100000));
                break;
            case kAnswerDate:
                if (error) {
                    out += "2023/2/30";
                } else {
                    appendDate(out, static_cast<std::int32_t>(s.below(1827)));
                }
                break;
            case kAnswerTime:
                if (error) {
                    out += "25:00:00";
                } else {
                    const std::uint32_t t = s.below(86400);
                    appendNumber(out, t / 3600);
                    out += ':';
                    appendNumber(out, t / 60 % 60);
                    out += ':';
                    appendNumber(out, t % 60);
                }
                break;
            default:  // Code items
                if (error) {
                    out += i == kPrefecture ? "00" : "0";
                } else {
                    const auto n = static_cast<std::uint32_t>(item.codes.size());
                    out += item.codes[s.below(n)].code;
                }
                break;
        }
    }
    out += '\n';
}

int writeSource(const std::string& path, std::int64_t records, std::uint64_t seed,
                std::int64_t* bytes) {
    AtomicFile file(path);
    if (!file.open()) return file.error();
    std::string buffer;
    buffer.reserve(1 << 22);
    appendHeader(buffer);
    std::int64_t total = 0;
    for (std::int64_t r = 0; r < records; ++r) {
        appendRecord(buffer, seed, r);
        if (buffer.size() >= (1u << 22) - 4096 || r + 1 == records) {
            if (!file.write(buffer)) return file.error();
            total += static_cast<std::int64_t>(buffer.size());
            buffer.clear();
        }
    }
    if (records == 0) {
        if (!file.write(buffer)) return file.error();
        total += static_cast<std::int64_t>(buffer.size());
    }
    if (!file.commit()) return file.error();
    if (bytes != nullptr) *bytes = total;
    return 0;
}

namespace {

const char* typeWord(const ItemDef& item) {
    switch (item.type) {
        case KW_TYPE_INTEGER:
            return "Integer";
        case KW_TYPE_FLOAT:
            return "Float";
        case KW_TYPE_MULTI:
            return "MultiAns";
        case KW_TYPE_DATE:
            return "Date";
        case KW_TYPE_TIME:
            return "Time";
        default:
            return item.codes.empty() ? "String" : "Code";
    }
}

const char* kTitle = "質問票ベンチマーク";

}  // namespace

int writeDefinition(const std::string& path) {
    std::string out = "Title=\"" + literal(kTitle) + "\"\r\n";
    for (const ItemDef& item : questionnaireItems()) {
        out += "\titem=\"" + item.name + "\"\r\n\t\t";
        out += typeWord(item);
        out += "\r\n";
        if (!item.codes.empty()) {
            out += "\t\tDef\r\n";
            for (const CodeDef& c : item.codes)
                out += "\t\t\t" + c.code + "=\"" + c.name + "\"\r\n";
            out += "\t\tendDef\r\n";
        }
        out += "\tEndItem\r\n";
    }
    out += "EndTitle\r\n";
    int err = 0;
    return writeFileAtomically(path, out, &err) ? 0 : err;
}

int writeItemsJson(const std::string& path) {
    // Names and codes hold no quote, backslash or control character: no escaping needed.
    std::string out = "{\"title\": \"" + std::string(kTitle) + "\", \"items\": [\n";
    const auto& items = questionnaireItems();
    for (std::size_t i = 0; i < items.size(); ++i) {
        const ItemDef& item = items[i];
        out += "  {\"name\": \"" + cp932::toUtf8(item.name) + "\", \"type\": \"" + typeWord(item) +
               "\", \"codes\": [";
        for (std::size_t c = 0; c < item.codes.size(); ++c) {
            if (c > 0) out += ", ";
            out += "\"" + item.codes[c].code + "\"";
        }
        out += i + 1 < items.size() ? "]},\n" : "]}\n";
    }
    out += "]}\n";
    int err = 0;
    return writeFileAtomically(path, out, &err) ? 0 : err;
}

void describe(KW_create& create) {
    const auto& items = questionnaireItems();
    create.SetItemCount(kItemCount);
    for (std::int32_t i = 0; i < kItemCount; ++i) {
        const ItemDef& item = items[static_cast<std::size_t>(i)];
        create.SetItem(i, item.name, item.type, i);
        if (item.codes.empty()) continue;
        create.SetCodeCount(i, static_cast<std::int32_t>(item.codes.size()));
        for (std::size_t c = 0; c < item.codes.size(); ++c) {
            create.SetCode(i, static_cast<std::int32_t>(c), item.codes[c].code, item.codes[c].name);
        }
    }
    create.SetTitle(literal(kTitle));
}

}  // namespace zbq::bench
