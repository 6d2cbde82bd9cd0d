// The search language: the cases of search_cases.txt (a table, expressions and the records each
// must find, or its error), the limits of the operator stack, the program and the value, and
// what a failed search leaves behind.
#include <gtest/gtest.h>

#include <charconv>
#include <fstream>
#include <map>

#include "engine/kw_search.h"
#include "platform/core/cp932.h"
#include "tests/support/data_file_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

using zbq::test::FixtureTable;
using zbq::test::TempDir;

struct GoldenCase {
    int line = 0;
    std::string expression;  // CP932
    std::int32_t error = 0;  // the expected code, or 0 when records are expected
    std::vector<std::int32_t> records;
};

struct GoldenTable {
    FixtureTable table;
    std::vector<GoldenCase> cases;
};

std::string_view trim(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// UTF-8 text of the case file -> CP932, then \xNN and \\ escapes.
std::string bytes(std::string_view utf8) {
    const auto cp932 = zbq::cp932::fromUtf8(utf8);
    if (!cp932) {
        ADD_FAILURE() << "not CP932: " << utf8;
        return {};
    }
    std::string out;
    for (std::size_t i = 0; i < cp932->size(); ++i) {
        const char c = (*cp932)[i];
        if (c == '\\' && i + 1 < cp932->size() && (*cp932)[i + 1] == '\\') {
            out += '\\';
            ++i;
        } else if (c == '\\' && i + 3 < cp932->size() && (*cp932)[i + 1] == 'x') {
            unsigned value = 0;
            std::from_chars(cp932->data() + i + 2, cp932->data() + i + 4, value, 16);
            out += static_cast<char>(value);
            i += 3;
        } else {
            out += c;
        }
    }
    return out;
}

std::vector<std::int32_t> numbers(std::string_view s) {
    std::vector<std::int32_t> out;
    while (!(s = trim(s)).empty()) {
        std::int32_t n = 0;
        const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
        if (ec != std::errc()) {
            ADD_FAILURE() << "not a number: " << s;
            break;
        }
        out.push_back(n);
        s.remove_prefix(static_cast<std::size_t>(end - s.data()));
    }
    return out;
}

std::vector<GoldenTable> readCases(const std::string& path) {
    static const std::map<std::string, std::int32_t, std::less<>> kTypes = {
        {"Integer", KW_TYPE_INTEGER}, {"Float", KW_TYPE_FLOAT},    {"String", KW_TYPE_STRING},
        {"Code", KW_TYPE_STRING},     {"MultiAns", KW_TYPE_MULTI}, {"Date", KW_TYPE_DATE},
        {"Time", KW_TYPE_TIME}};
    std::vector<GoldenTable> tables;
    std::ifstream in(path);
    if (!in) ADD_FAILURE() << "cannot read " << path;
    std::string text;
    for (int line = 1; std::getline(in, text); ++line) {
        std::string_view l = text;
        if (l.ends_with('\r')) l.remove_suffix(1);
        if (l.empty() || l.front() == '#') continue;
        const std::string_view word = l.substr(0, l.find(' '));
        const std::string_view rest = word.size() < l.size() ? l.substr(word.size() + 1) : "";
        if (word == "table") {
            tables.emplace_back();
            continue;
        }
        if (tables.empty()) {
            ADD_FAILURE() << path << ":" << line << ": no table yet";
            continue;
        }
        GoldenTable& t = tables.back();
        if (word == "item") {
            std::vector<std::string_view> parts;
            for (std::string_view r = trim(rest); !r.empty();
                 r = trim(r.substr(parts.back().size())))
                parts.push_back(r.substr(0, r.find(' ')));
            const auto type = parts.empty() ? kTypes.end() : kTypes.find(parts[0]);
            if (parts.size() < 2 || type == kTypes.end()) {
                ADD_FAILURE() << path << ":" << line << ": bad item";
                continue;
            }
            zbq::test::FixtureItem item{std::string(parts[1]), type->second};
            for (std::size_t i = 2; i < parts.size(); ++i) {
                const auto eq = parts[i].find('=');
                item.codes.push_back(
                    {bytes(parts[i].substr(0, eq)), bytes(parts[i].substr(eq + 1))});
            }
            t.table.items.push_back(std::move(item));
        } else if (word == "row") {
            std::vector<std::string> cells;
            for (std::size_t from = 0;;) {
                const auto bar = rest.find('|', from);
                cells.push_back(bytes(trim(rest.substr(from, bar - from))));
                if (bar == std::string_view::npos) break;
                from = bar + 1;
            }
            t.table.rows.push_back(std::move(cells));
        } else if (word == "search") {
            t.cases.push_back({line, bytes(rest), 0, {}});
        } else if (word == "records" && !t.cases.empty()) {
            t.cases.back().records = numbers(rest);
        } else if (word == "error" && !t.cases.empty()) {
            const auto code = numbers(rest);
            t.cases.back().error = code.empty() ? 0 : code[0];
        } else {
            ADD_FAILURE() << path << ":" << line << ": cannot read this line";
        }
    }
    return tables;
}

std::vector<std::int32_t> selected(const KW_search& s) {
    std::vector<std::int32_t> out;
    for (std::int32_t r = 0; r < s.KWgetRecordCount(); ++r)
        if (!s.KWmapGet() || s.KWmapGet()->test(r)) out.push_back(r);
    return out;
}

// Every in-map count of every item.
std::vector<std::int32_t> counts(const KW_search& s) {
    std::vector<std::int32_t> out;
    for (std::int32_t item = 0; item < s.KWgetItemCount(); ++item)
        for (const KW_dict& e : s.dictionary(item))
            out.push_back(e.mapCount);
    return out;
}

TEST(SearchLanguage, GoldenCases) {
    const std::vector<GoldenTable> tables = readCases(ZBQ_SEARCH_CASES);
    ASSERT_GE(tables.size(), 2u);
    for (const GoldenTable& t : tables) {
        ASSERT_FALSE(t.cases.empty());
        TempDir dir;
        zbq::test::writeFixture(dir.file("s.zbq"), t.table);
        KW_search s;
        ASSERT_EQ(s.KWopen(dir.file("s.zbq"), ""), 0);
        const std::int32_t records = s.KWgetRecordCount();
        auto first = std::make_shared<KW_map>(records);
        if (records > 0) first->set(0);
        const KW_mapPtr sentinel = first;
        for (const GoldenCase& c : t.cases) {
            SCOPED_TRACE("search_cases.txt:" + std::to_string(c.line));
            ASSERT_EQ(s.KWmapSet(sentinel), records > 0 ? 1 : 0);
            const std::vector<std::int32_t> before = counts(s);
            const std::int32_t rc = s.KWsrch(c.expression);
            if (c.error != 0) {
                EXPECT_EQ(rc, c.error);
                EXPECT_EQ(s.KWmapGet(), sentinel);
                EXPECT_EQ(s.KWgetDataCount(), records > 0 ? 1 : 0);
                EXPECT_EQ(counts(s), before);
            } else {
                EXPECT_EQ(rc, static_cast<std::int32_t>(c.records.size()));
                EXPECT_EQ(selected(s), c.records);
                EXPECT_EQ(s.KWgetDataCount(), rc);
            }
        }
    }
}

class SearchLimits : public ::testing::Test {
protected:
    void SetUp() override {
        FixtureTable t;
        t.items = {{"int", KW_TYPE_INTEGER}, {"text", KW_TYPE_STRING}};
        t.rows = {{"5", std::string(1023, 'a')}, {"6", std::string(1018, 'b')}};
        zbq::test::writeFixture(dir_.file("l.zbq"), t);
        ASSERT_EQ(s_.KWopen(dir_.file("l.zbq"), ""), 0);
    }

    static std::string nested(int depth) {
        return std::string(static_cast<std::size_t>(depth), '(') + "#0=5" +
               std::string(static_cast<std::size_t>(depth), ')');
    }

    static std::string chain(int terms) {
        std::string s = "#0=5";
        for (int i = 1; i < terms; ++i)
            s += i % 2 ? "+#0=6" : "*#0!=7";
        return s;
    }

    TempDir dir_;
    KW_search s_;
};

TEST_F(SearchLimits, OperatorStackAndProgramHoldTheirLastEntry) {
    EXPECT_EQ(s_.KWsrch(nested(1024)), 1);
    EXPECT_EQ(s_.KWsrch(nested(1025)), -1022);
    // 512 terms and 511 operators fill the 1023 entries of the program.
    EXPECT_EQ(s_.KWsrch(chain(512)), 2);
    EXPECT_EQ(s_.KWsrch(chain(513)), -1022);
}

TEST_F(SearchLimits, ValuesRunTo1023BytesWithOrWithoutNamePrefix) {
    EXPECT_EQ(s_.KWsrch("#1=" + std::string(1023, 'a')), 1);
    EXPECT_EQ(s_.KWsrch("#1=" + std::string(1024, 'a')), -1020);
    EXPECT_EQ(s_.KWsrch("#1=NAME:" + std::string(1018, 'b')), 1);
    EXPECT_EQ(s_.KWgetDataCount(), 1);
    EXPECT_TRUE(s_.KWmapGet()->test(1));
    EXPECT_EQ(s_.KWsrch("#1=%" + std::string(1021, 'a') + "%"), 1);
    EXPECT_EQ(s_.KWsrch("#1=%" + std::string(1022, 'a') + "%"), -1020);
}

TEST_F(SearchLimits, TextEndsAtItsFirstNul) {
    EXPECT_EQ(s_.KWsrch(std::string_view("#0=5\0garbage", 12)), 1);
    EXPECT_EQ(s_.KWsrch(std::string_view("\0#0=5", 5)), -1);
}

}  // namespace
