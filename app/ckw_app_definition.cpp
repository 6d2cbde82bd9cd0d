// CKWApp's definition file: reading its lines and parsing them into the structure definition
// (title, reading options, items, groups, code lists), with the checks and their messages. A
// definition is taken whole or not at all: the first refused line ends the parse, told, and the
// structure definition in force stays as it was.
//
// A line is prepared before it is read: double quotes pair up in order, the first "//" outside
// a quoted range starts a comment, and every blank and TAB goes (also inside quotes). Keywords
// compare without regard to ASCII case, the first row of the table that the line's start
// matches takes it. CP932 is safe byte by byte here: '"', '/', blank, TAB, '=' and the ASCII
// letters of a keyword never occur as the second byte of a two-byte character at a position
// where a keyword could still match.
#include <charconv>
#include <chrono>
#include <cstdio>
#include <set>

#include "app/ckw_app.h"
#include "app/shown_message.h"
#include "engine/kw_format.h"
#include "platform/core/cp932.h"
#include "platform/core/regular_file.h"
#include "platform/core/shown_text.h"
#include "platform/ui/shown_bytes.h"

namespace {

constexpr char kFailure[] = ZBQ_SHOWN("エラー発生のため終了します。\n");
// clang-format off
constexpr char kTooLarge[] = ZBQ_SHOWN("定義ファイル[%1]が大きすぎます。定義ファイルは%2バイトまでです。");
constexpr char kTooManyItems[] = ZBQ_SHOWN("項目が多すぎます。項目は%1個までです。");
// clang-format on

// No definition reaches this: its text travels in every saved data file, whose settings were
// always gathered in a work buffer of this size. A larger file is refused before it is read.
constexpr std::uint64_t kDefinitionFileMax = 10485760;
// Lines that cannot be refused reach the reading log in blocks that end at a hundredth line (the
// log shows a counter every 100 lines), no more often than the window is kept alive: a counter
// shown 90,000 times in a few seconds is seen by nobody and costs most of the reading.
constexpr std::size_t kLogEvery = 100;
constexpr auto kLogInterval = std::chrono::milliseconds(30);

// The message of a definition that cannot be read: what is wrong after kFailure, both in the
// language in force (the detail is marked where it is given).
std::string failure(const char* detail) {
    return zbq::app::shownMessage(kFailure, {}) + zbq::app::shownMessage(detail, {});
}

bool isAsciiAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The line starts with the keyword, ASCII letters compared without case.
bool startsWithKeyword(std::string_view line, std::string_view keyword) {
    if (line.size() < keyword.size()) return false;
    for (std::size_t i = 0; i < keyword.size(); ++i)
        if (asciiLower(line[i]) != asciiLower(keyword[i])) return false;
    return true;
}

// The comment cut off and every blank and TAB removed.
std::string prepareLine(std::string_view line) {
    if (line.empty()) return {};
    std::vector<std::size_t> quotes;
    for (std::size_t i = 0; i < line.size(); ++i)
        if (line[i] == '"') quotes.push_back(i);
    const auto insideQuotes = [&](std::size_t first, std::size_t last) {
        for (std::size_t q = 0; q + 1 < quotes.size(); q += 2)
            if (quotes[q] < first && last < quotes[q + 1]) return true;
        return false;
    };
    std::size_t end = line.size();
    for (std::size_t at = line.find("//"); at != std::string_view::npos;
         at = line.find("//", at + 1)) {
        if (!insideQuotes(at, at + 1)) {
            end = at;
            break;
        }
    }
    std::string prepared;
    for (char c : line.substr(0, end))
        if (c != ' ' && c != '\t') prepared += c;
    return prepared;
}

std::string withoutQuotes(std::string_view text) {
    std::string out;
    for (char c : text)
        if (c != '"') out += c;
    return out;
}

// An Alloc piece as a 0-based column: the 1-based number less one; an empty piece is 0 (so -1);
// a number too large for a column is refused as a bad number (-1).
std::int32_t allocColumn(std::string_view piece) {
    if (piece.empty()) return -1;
    std::int32_t number = 0;
    const auto [end, ec] = std::from_chars(piece.data(), piece.data() + piece.size(), number);
    if (ec != std::errc() || end != piece.data() + piece.size()) return -1;
    return number - 1;
}

}  // namespace

std::int32_t CKWApp::ReadDefinitionFile() {
    if (loadMode_ != 1) return 1;
    // A missing file, one we may not read, a directory, a FIFO or a device are all told alike,
    // without waiting on any of them; nothing is kept of a file that could not be read whole.
    std::string bytes;
    const zbq::RegularFileError error =
        zbq::readRegularFile(definitionPath_, kDefinitionFileMax, bytes);
    if (error != zbq::RegularFileError::None) {
        StopProgress();
        SetStatusText("");
        if (error == zbq::RegularFileError::TooLarge)
            ShowError(zbq::app::shownMessage(kFailure, {}) +
                      zbq::app::shownMessage(
                          kTooLarge, {definitionPath_, std::to_string(kDefinitionFileMax)}));
        else
            ShowError(zbq::app::shownMessage(ZBQ_SHOWN("定義ファイル[%1]を読み込めません。"),
                                             {definitionPath_}));
        return 0;
    }
    definitionText_.appendFileText(bytes);
    return 1;
}

namespace {

// The working state of one parse.
struct ParseState {
    int titleOpen = 0;
    int itemOpen = 0;
    int codeOpen = 0;
    int itemHasCodes = 0;  // the item being built has stored its code list
    std::vector<std::string> groups;
    CItemDef item;
    CCodeDef codes;
    std::int32_t counter = 0;
};

enum class Keyword {
    Title,
    EndTitle,
    NoHeader,
    NotTab,
    Alloc,
    Group,
    EndGroup,
    Item,
    EndItem,
    Def,
    EndDef,
    Integer,
    Code,
    MultiAns,
    String,
    Float,
    Date,
    Time,
    Help,
    CodeLine
};

struct KeywordRow {
    const char* text;
    Keyword keyword;
};

// First match wins, in this order.
constexpr KeywordRow kKeywords[] = {
    {"Title=", Keyword::Title},      {"endTitle", Keyword::EndTitle},
    {"NOHEADER", Keyword::NoHeader}, {"NOTTAB", Keyword::NotTab},
    {"Alloc=", Keyword::Alloc},      {"Group=", Keyword::Group},
    {"endGroup", Keyword::EndGroup}, {"item=", Keyword::Item},
    {"endItem", Keyword::EndItem},   {"Def", Keyword::Def},
    {"endDef", Keyword::EndDef},     {"Integer", Keyword::Integer},
    {"Code", Keyword::Code},         {"MultiAns", Keyword::MultiAns},
    {"String", Keyword::String},     {"Float", Keyword::Float},
    {"Date", Keyword::Date},         {"Time", Keyword::Time},
    {"help", Keyword::Help},
};

std::int32_t typeOf(Keyword k) {
    switch (k) {
        case Keyword::Integer:
            return 2;
        case Keyword::Code:
            return 0;
        case Keyword::MultiAns:
            return 1;
        case Keyword::String:
            return 4;
        case Keyword::Float:
            return 3;
        case Keyword::Date:
            return 5;
        case Keyword::Time:
            return 7;
        default:
            return -1;
    }
}

}  // namespace

// Every check tells a failure the same way: the animation stopped, the status emptied, the
// offending line shown in red at the end of the reading log, then the message.
namespace {
std::int32_t refuse(CKWApp& app, std::string_view line, const std::string& message) {
    app.StopProgress();
    app.SetStatusText("");
    app.EndReadLog(line);
    app.ShowError(message);
    return 0;
}
}  // namespace

std::int32_t CKWApp::CheckQuotedValue(std::string_view value, std::string_view line) {
    if (!value.empty() && value.front() == '"' && value.back() == '"') return 1;
    return refuse(*this, line, failure(ZBQ_SHOWN("\"がありません。")));
}

std::int32_t CKWApp::CheckExactKeyword(std::string_view line, std::size_t length) {
    if (line.size() == length) return 1;
    return refuse(*this, line, failure(ZBQ_SHOWN("認識できない文字列があります。")));
}

std::int32_t CKWApp::CheckAllocDigits(std::string_view value, std::string_view line) {
    for (char c : value)
        if (!(c >= '0' && c <= '9') && c != ',')
            return refuse(*this, line, failure(ZBQ_SHOWN("数値以外の文字があります。")));
    return 1;
}

std::int32_t CKWApp::CheckBlockState(std::int32_t state, std::int32_t expected,
                                     std::string_view line) {
    if (state == expected) return 1;
    return refuse(*this, line, failure(ZBQ_SHOWN("認識子が重複しているか、又は足りません。")));
}

namespace {

bool takesCodes(std::int32_t type) {
    return type == 0 || type == 1;
}

// The last item stored in `def` is complete. A code list on an item of another type would be
// loaded without a word and never shown, so it is refused as the code block itself would be.
std::int32_t itemComplete(CKWApp& app, const CStructDef& def, std::string_view line) {
    if (def.items.empty())
        return refuse(app, line, failure(ZBQ_SHOWN("項目情報が取得できません。")));
    const CItemDef& item = def.items.back();
    if (item.name.empty()) return refuse(app, line, failure(ZBQ_SHOWN("項目名が取得できません。")));
    if (item.type == -1)
        return refuse(app, line, failure(ZBQ_SHOWN("項目タイプが取得できません。")));
    bool hasCodes = false;
    for (const CCodeDef& list : def.codeLists)
        if (list.itemNo == item.itemNo && !list.codes.empty()) hasCodes = true;
    if (takesCodes(item.type) && !hasCodes)
        return refuse(app, line, failure(ZBQ_SHOWN("コードの情報が取得できません。")));
    if (!takesCodes(item.type) && hasCodes)
        return refuse(app, line, failure(ZBQ_SHOWN("この項目にコード情報はありません。")));
    return 1;
}

std::int32_t allocListFits(CKWApp& app, const CStructDef& def, std::string_view line) {
    const std::vector<std::int32_t>& alloc = def.alloc;
    if (alloc.empty()) return 1;
    if (static_cast<std::int32_t>(alloc.size()) != def.itemCount)
        return refuse(app, line, ZBQ_SHOWN("Alloc が、項目数と一致しません"));
    std::set<std::int32_t> seen;
    for (std::int32_t column : alloc)
        if (!seen.insert(column).second)
            return refuse(app, line, ZBQ_SHOWN("Alloc で、同一番号が重複しています"));
    for (std::int32_t column : alloc)
        if (column < 0) return refuse(app, line, ZBQ_SHOWN("Alloc で、不正な番号があります"));
    return 1;
}

}  // namespace

std::int32_t CKWApp::CheckItemComplete(std::string_view line) {
    return itemComplete(*this, structDef_, line);
}

std::int32_t CKWApp::CheckCodeListOwner(const CItemDef& item, std::string_view line) {
    if (takesCodes(item.type)) return 1;
    return refuse(*this, line, failure(ZBQ_SHOWN("この項目にコード情報はありません。")));
}

std::int32_t CKWApp::CheckAllocList(std::string_view line) {
    return allocListFits(*this, structDef_, line);
}

char CKWApp::DefinitionSeparator(std::string_view text) {
    // Line by line as a data file's text is cut (definition_text.h), without keeping the lines.
    std::size_t start = 0;
    for (std::size_t end = text.find("\r\n"); end != std::string_view::npos;
         end = text.find("\r\n", start)) {
        const std::string prepared = prepareLine(text.substr(start, end - start));
        if (prepared.size() == 6 && startsWithKeyword(prepared, "NOTTAB")) return ',';
        start = end + 2;
    }
    return '\t';
}

std::int32_t CKWApp::ParseDefinitionFile() {
    if (loadMode_ == 2) {
        definitionText_.clear();
        std::string text = block_ ? std::move(block_->definitionText) : std::string();
        if (block_) block_->definitionText.clear();
        // A data file without definition text keeps the structure its settings carried.
        if (text.empty()) return 1;
        AppendReadLog(text);
        FlushReadLog();
        definitionText_ = zbq::app::DefinitionText::fromStored(std::move(text));
        return 1;
    }
    if (loadMode_ != 1) return 0;

    // The parse fills a structure of its own: a refused definition leaves the one in force (and
    // what the windows show of it while the pump runs between lines) exactly as it was.
    CStructDef def;
    ParseState s;
    const auto codeLineFails = [this](const char* detail) {
        StopProgress();
        SetStatusText("");
        FlushReadLog();
        ShowError(failure(detail));
        return 0;
    };

    // The reading log counts every line and shows the whole text at the end: lines that cannot
    // be refused (empty once prepared, or help) reach it in blocks, any other line before it is
    // taken, so that a refusal's red line follows the count of the lines up to it. Pending
    // messages are dispatched as often, so a file of millions of empty lines costs neither a log
    // call nor a pump each.
    using Clock = std::chrono::steady_clock;
    const zbq::app::DefinitionText& lines = definitionText_;
    std::size_t logged = 0;
    Clock::time_point loggedAt = Clock::now();
    const auto logUpTo = [&](std::size_t end) {
        if (end <= logged) return;
        AppendReadLines(lines.storedLines(logged, end), static_cast<std::int32_t>(end - logged));
        logged = end;
        loggedAt = Clock::now();
        PumpMessages();
    };
    for (std::size_t at = 0; at < lines.size(); ++at) {
        if (at % kLogEvery == 0 && at > logged && Clock::now() - loggedAt >= kLogInterval)
            logUpTo(at);
        const std::string_view raw = lines[at];
        const std::string line = prepareLine(raw);
        if (line.empty() || startsWithKeyword(line, "help")) {
            // The data file keeps every line, help lines and comments too, as text that ends at
            // its first zero byte: a line holding one would make a file that never opens again.
            if (raw.find('\0') == std::string_view::npos) continue;
        }
        logUpTo(at + 1);
        if (raw.find('\0') != std::string_view::npos)
            return refuse(*this, raw, failure(ZBQ_SHOWN("認識できない文字列があります。")));

        Keyword keyword = Keyword::CodeLine;
        std::size_t length = 0;
        for (const KeywordRow& row : kKeywords) {
            const std::string_view text = row.text;
            if (startsWithKeyword(line, text)) {
                keyword = row.keyword;
                length = text.size();
                break;
            }
        }
        // A line break (a lone CR the line kept) could not be written back into the macro
        // file, which carries the groups and codes.
        if (keyword != Keyword::Help &&
            line.find_first_of(std::string_view("\r\n", 2)) != std::string::npos)
            return refuse(*this, raw, failure(ZBQ_SHOWN("認識できない文字列があります。")));
        const std::string_view value = std::string_view(line).substr(length);

        switch (keyword) {
            case Keyword::Title:
                if (!CheckBlockState(s.titleOpen, 0, raw) || !CheckQuotedValue(value, raw))
                    return 0;
                def.title = withoutQuotes(value);
                s.titleOpen = 1;
                break;
            case Keyword::EndTitle:
                if (!CheckBlockState(s.titleOpen, 1, raw) || !CheckExactKeyword(line, length))
                    return 0;
                s.titleOpen = 0;
                break;
            case Keyword::NoHeader:
                if (!CheckExactKeyword(line, length)) return 0;
                def.header = 0;
                break;
            case Keyword::NotTab:
                if (!CheckExactKeyword(line, length)) return 0;
                def.separator = ',';
                break;
            case Keyword::Alloc: {
                if (!CheckQuotedValue(value, raw)) return 0;
                const std::string digits = withoutQuotes(value);
                if (!CheckAllocDigits(digits, raw)) return 0;
                def.allocText = digits;
                std::size_t start = 0;
                while (true) {
                    const std::size_t comma = digits.find(',', start);
                    const std::size_t end = comma == std::string::npos ? digits.size() : comma;
                    def.alloc.push_back(
                        allocColumn(std::string_view(digits).substr(start, end - start)));
                    if (comma == std::string::npos) break;
                    start = comma + 1;
                }
                break;
            }
            case Keyword::Group:
                if (!CheckQuotedValue(value, raw)) return 0;
                s.groups.push_back(withoutQuotes(value));
                break;
            case Keyword::EndGroup:
                if (!CheckBlockState(s.groups.empty() ? 0 : 1, 1, raw) ||
                    !CheckExactKeyword(line, length))
                    return 0;
                s.groups.pop_back();
                break;
            case Keyword::Item:
                if (!CheckBlockState(s.itemOpen, 0, raw) || !CheckQuotedValue(value, raw)) return 0;
                // The engine holds no more items; refused here, where the line shows which.
                if (s.counter >= KW_MAX_ITEMS)
                    return refuse(
                        *this, raw,
                        zbq::app::shownMessage(kFailure, {}) +
                            zbq::app::shownMessage(kTooManyItems, {std::to_string(KW_MAX_ITEMS)}));
                s.item.name = withoutQuotes(value);
                s.item.itemNo = s.counter;
                s.item.csvColumn = s.counter;
                ++s.counter;
                s.itemOpen = 1;
                s.itemHasCodes = 0;
                break;
            case Keyword::EndItem:
                if (!CheckBlockState(s.itemOpen, 1, raw) || !CheckExactKeyword(line, length))
                    return 0;
                s.item.groups = s.groups;
                def.items.push_back(s.item);
                s.item.name.clear();
                s.item.type = -1;
                s.item.groups.clear();
                if (!itemComplete(*this, def, raw)) return 0;
                s.itemOpen = 0;
                break;
            case Keyword::Def:
                // A code list belongs to the item whose block holds it, once: outside an item it
                // would join whichever item comes next, or none.
                if (!CheckBlockState(s.codeOpen, 0, raw) || !CheckExactKeyword(line, length) ||
                    !CheckBlockState(s.itemOpen, 1, raw) ||
                    !CheckBlockState(s.itemHasCodes, 0, raw) || !CheckCodeListOwner(s.item, raw))
                    return 0;
                s.codes.itemNo = static_cast<std::int32_t>(def.items.size());
                s.codeOpen = 1;
                break;
            case Keyword::EndDef:
                if (!CheckBlockState(s.codeOpen, 1, raw) || !CheckExactKeyword(line, length))
                    return 0;
                def.codeLists.push_back(s.codes);
                s.codes.codes.clear();
                s.codeOpen = 0;
                s.itemHasCodes = 1;
                break;
            case Keyword::Help:
                break;
            case Keyword::CodeLine: {
                if (!isAsciiAlnum(line.front()))
                    return codeLineFails(ZBQ_SHOWN("先頭の識別子が認識できません。"));
                const std::size_t equals = line.find('=');
                if (equals == std::string::npos)
                    return codeLineFails(ZBQ_SHOWN("\"=\"が認識できません。"));
                const std::string_view quoted = std::string_view(line).substr(equals + 1);
                if (!CheckQuotedValue(quoted, raw)) return 0;
                // Outside a code block the code would join the next item's list.
                if (!CheckBlockState(s.codeOpen, 1, raw)) return 0;
                CCodeEntry entry;
                entry.code = withoutQuotes(std::string_view(line).substr(0, equals));
                entry.name = withoutQuotes(quoted);
                s.codes.codes.push_back(std::move(entry));
                break;
            }
            default:  // the seven type words
                // One type, set inside its item: a type word elsewhere would retype the next item
                // (or none), a second one would retype an item after its code list was checked.
                if (!CheckExactKeyword(line, length) || !CheckBlockState(s.itemOpen, 1, raw) ||
                    !CheckBlockState(s.item.type == -1 ? 0 : 1, 0, raw))
                    return 0;
                s.item.type = typeOf(keyword);
                break;
        }
    }

    logUpTo(lines.size());
    def.itemCount = static_cast<std::int32_t>(def.items.size());
    const std::string_view lastLine = lines.empty() ? std::string_view() : lines.back();
    if (!allocListFits(*this, def, lastLine)) return 0;
    for (std::size_t i = 0; i < def.alloc.size(); ++i)
        def.items[i].csvColumn = def.alloc[i];

    // The block left open, named in the reading log in the language in force.
    const auto block = [](const char* japanese) {
        return zbq::ui::shownBytes(zbq::cp932::literal(japanese));
    };
    // clang-format off
    if (!CheckBlockState(s.titleOpen, 0, block(ZBQ_SHOWN("タイトル[Title-EndTitle]の対応が不完全です。"))) ||
        !CheckBlockState(s.groups.empty() ? 0 : 1, 0, block(ZBQ_SHOWN("グループ[Group-EndGroup]の対応が不完全です。"))) ||
        !CheckBlockState(s.itemOpen, 0, block(ZBQ_SHOWN("アイテム[Item-EndItem]の対応が不完全です。"))) ||
        !CheckBlockState(s.codeOpen, 0, block(ZBQ_SHOWN("コード定義[Def-EndDef]の対応が不完全です。"))))
        return 0;
    // clang-format on
    // A data set of no items cannot be built; say so here rather than fail later on the
    // temporary file the build would leave.
    if (def.items.empty())
        return refuse(*this, lastLine, failure(ZBQ_SHOWN("項目情報が取得できません。")));

    structDef_ = std::move(def);
    console().ColourReadLogComments();
    return 1;
}
