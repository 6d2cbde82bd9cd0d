// A small reference builder: table of texts -> dictionaries, pools and value lists.
#include "tests/support/data_file_fixture.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <map>
#include <optional>

namespace zbq::test {

namespace {

template <typename T>
std::optional<T> parseWhole(std::string_view text) {
    T value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// "a/b/c" or "a:b:c" as three non-negative numbers.
std::optional<std::array<int, 3>> threeParts(std::string_view text, char separator) {
    std::array<int, 3> parts{};
    for (int i = 0; i < 3; ++i) {
        const auto cut = i < 2 ? text.find(separator) : text.size();
        if (cut == std::string_view::npos) return std::nullopt;
        const auto part = parseWhole<int>(text.substr(0, cut));
        if (!part || *part < 0) return std::nullopt;
        parts[static_cast<std::size_t>(i)] = *part;
        text.remove_prefix(std::min(text.size(), cut + 1));
    }
    return parts;
}

std::optional<std::int32_t> parseDate(std::string_view text) {
    const auto p = threeParts(text, '/');
    if (!p) return std::nullopt;
    const auto [y, m, d] = *p;
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
    if (y < 1000 || y > 9999 || m < 1 || m > 12) return std::nullopt;
    if (d < 1 || d > kDays[m - 1] + (m == 2 && leap)) return std::nullopt;
    return y * 10000 + m * 100 + d;
}

std::optional<std::int32_t> parseTime(std::string_view text) {
    const auto p = threeParts(text, ':');
    if (!p || (*p)[0] > 23 || (*p)[1] > 59 || (*p)[2] > 59) return std::nullopt;
    return (*p)[0] * 10000 + (*p)[1] * 100 + (*p)[2];
}

std::optional<double> parseDouble(std::string_view text) {
    const auto v = parseWhole<double>(text);
    if (!v || !std::isfinite(*v)) return std::nullopt;
    return v;
}

std::int32_t appendString(kw::LargeVector<char>& pool, std::string_view text) {
    const auto offset = static_cast<std::int32_t>(pool.size());
    pool.insert(pool.end(), text.begin(), text.end());
    pool.push_back('\0');
    return offset;
}

KW_dict marked(std::int32_t low) {
    KW_dict e{};
    e.low = low;
    return e;
}

// Numbers: one dictionary entry per distinct value in ascending order.
template <typename T, typename Parse, typename Store>
void buildNumbers(const std::vector<std::string>& cells, Parse parse, Store store,
                  kw::ItemBlock& out) {
    std::map<T, std::int32_t> order;
    std::vector<std::optional<T>> parsed;
    for (const std::string& cell : cells) {
        parsed.push_back(cell.empty() ? std::nullopt : parse(cell));
        if (parsed.back()) order.emplace(*parsed.back(), 0);
    }
    out.dict = {marked(-2), marked(-1)};
    for (auto& [value, position] : order) {
        position = static_cast<std::int32_t>(out.dict.size());
        out.dict.push_back(store(value));
    }
    for (std::size_t r = 0; r < cells.size(); ++r)
        out.values.push_back(cells[r].empty() ? KW_POS_BLANK
                             : parsed[r]      ? order.at(*parsed[r])
                                              : KW_POS_ERROR);
}

void buildStrings(const std::vector<std::string>& cells, kw::ItemBlock& out) {
    std::map<std::string, std::int32_t> order;
    for (const std::string& cell : cells)
        if (!cell.empty()) order.emplace(cell, 0);
    out.strings.assign(KW_CAPTIONS, KW_CAPTIONS + KW_CAPTIONS_SIZE);
    out.dict.assign(2, KW_dict{});
    out.dict[1].high = KW_BLANK_CAPTION_OFFSET;
    for (auto& [text, position] : order) {
        position = static_cast<std::int32_t>(out.dict.size());
        KW_dict e{};
        e.high = appendString(out.strings, text);
        out.dict.push_back(e);
    }
    for (const std::string& cell : cells)
        out.values.push_back(cell.empty() ? KW_POS_BLANK : order.at(cell));
}

// Code and MultiAns items: one entry per code, in code-text order.
void buildCodes(const FixtureItem& item, const std::vector<std::string>& cells,
                kw::ItemBlock& out) {
    std::map<std::string, std::string> codes;
    for (const FixtureCode& c : item.codes)
        codes.emplace(c.code, c.name);
    std::map<std::string, std::int32_t> position;
    out.strings.assign(KW_CAPTIONS, KW_CAPTIONS + KW_CAPTIONS_SIZE);
    out.dict.assign(2, KW_dict{});
    out.dict[1].high = KW_BLANK_CAPTION_OFFSET;
    for (const auto& [code, name] : codes) {
        position[code] = static_cast<std::int32_t>(out.dict.size());
        KW_dict e{};
        e.high = appendString(out.strings, code);
        e.low = appendString(out.names, name);
        out.dict.push_back(e);
    }
    out.def.codeCount = static_cast<std::int32_t>(item.codes.size());
    auto positionOf = [&](const std::string& text) {
        const auto found = position.find(text);
        return found == position.end() ? KW_POS_ERROR : found->second;
    };
    const bool multi = item.type == KW_TYPE_MULTI;
    for (const std::string& cell : cells) {
        if (multi) out.starts.push_back(static_cast<std::int32_t>(out.values.size()));
        if (cell.empty()) {
            out.values.push_back(KW_POS_BLANK);
        } else if (!multi) {
            out.values.push_back(positionOf(cell));
        } else {
            for (std::size_t from = 0;;) {
                const auto comma = cell.find(',', from);
                out.values.push_back(positionOf(cell.substr(from, comma - from)));
                if (comma == std::string::npos) break;
                from = comma + 1;
            }
        }
    }
    if (multi) out.starts.push_back(static_cast<std::int32_t>(out.values.size()));
}

}  // namespace

kw::DataFileContents buildContents(const FixtureTable& table) {
    kw::DataFileContents c;
    c.head.title = table.title;
    c.recordCount = static_cast<std::int32_t>(table.rows.size());
    for (std::size_t i = 0; i < table.items.size(); ++i) {
        const FixtureItem& item = table.items[i];
        std::vector<std::string> cells;
        for (const auto& row : table.rows)
            cells.push_back(i < row.size() ? row[i] : "");
        kw::ItemBlock block;
        kw::setTextField(block.def.name, item.name);
        block.def.type = item.type;
        switch (item.type) {
            case KW_TYPE_INTEGER:
            case KW_TYPE_DATE:
            case KW_TYPE_TIME: {
                std::optional<std::int32_t> (*parse)(std::string_view) =
                    item.type == KW_TYPE_DATE   ? parseDate
                    : item.type == KW_TYPE_TIME ? parseTime
                                                : parseWhole<std::int32_t>;
                buildNumbers<std::int32_t>(
                    cells, parse,
                    [](std::int32_t v) {
                        KW_dict e{};
                        e.high = v;
                        return e;
                    },
                    block);
                break;
            }
            case KW_TYPE_FLOAT:
                buildNumbers<double>(
                    cells, parseDouble,
                    [](double v) {
                        KW_dict e{};
                        e.setDouble(v);
                        return e;
                    },
                    block);
                break;
            default:
                if (item.codes.empty() && item.type == KW_TYPE_STRING)
                    buildStrings(cells, block);
                else
                    buildCodes(item, cells, block);
        }
        block.def.listLength = static_cast<std::int32_t>(block.values.size());
        kw::fillCounts(block);
        c.items.push_back(std::move(block));
    }
    return c;
}

void writeFixture(const std::string& path, const FixtureTable& table) {
    const std::int32_t rc = kw::writeDataFile(path, buildContents(table));
    if (rc != 0) ADD_FAILURE() << "fixture " << path << " not written: " << rc;
}

namespace {

template <typename Vector>
std::string bytesOf(const Vector& v) {
    return std::string(reinterpret_cast<const char*>(v.data()),
                       v.size() * sizeof(typename Vector::value_type));
}

}  // namespace

void expectSameContents(const kw::DataFileContents& actual, const kw::DataFileContents& expected) {
    EXPECT_EQ(actual.head.version, expected.head.version);
    EXPECT_EQ(actual.head.password, expected.head.password);
    EXPECT_EQ(actual.head.passwordLength, expected.head.passwordLength);
    EXPECT_EQ(actual.head.title, expected.head.title);
    EXPECT_EQ(actual.recordCount, expected.recordCount);
    ASSERT_EQ(actual.items.size(), expected.items.size());
    for (std::size_t i = 0; i < actual.items.size(); ++i) {
        SCOPED_TRACE("item " + std::to_string(i));
        const kw::ItemBlock& a = actual.items[i];
        const kw::ItemBlock& e = expected.items[i];
        EXPECT_EQ(std::string(a.def.name, sizeof a.def.name),
                  std::string(e.def.name, sizeof e.def.name));
        EXPECT_EQ(a.def.type, e.def.type);
        EXPECT_EQ(a.def.codeCount, e.def.codeCount);
        EXPECT_EQ(a.def.listLength, e.def.listLength);
        EXPECT_EQ(bytesOf(a.dict), bytesOf(e.dict));
        EXPECT_EQ(a.strings, e.strings);
        EXPECT_EQ(a.names, e.names);
        EXPECT_EQ(a.starts, e.starts);
        EXPECT_EQ(a.values, e.values);
    }
}

std::vector<int> viewRecords(const KW_search& s) {
    std::vector<int> out;
    for (int row = 0; row < s.KWgetDataCount(); ++row)
        out.push_back(s.RecordOfRow(row));
    return out;
}

}  // namespace zbq::test
