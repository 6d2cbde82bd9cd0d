// The category models without a display: the set's keys, the keyword table, the four checks
// (message and failing row) and the category file's bytes, damaged files and export.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "console/category_file.h"
#include "console/category_set.h"
#include "platform/core/cp932.h"
#include "tests/support/ordinary_user.h"
#include "tests/support/temp_dir.h"

namespace {

using zbq::cp932::literal;

const std::vector<std::string> kReserved = {"Brank", "Error", "Normal", "Others"};

CategoryDefinition builtIn() {
    CategoryDefinition d;
    d.name = literal("単一");
    d.valueType = 0;
    d.smallClasses = {{literal("正常値"), 0, "Normal", ""}, {literal("エラー値"), 0, "Others", ""}};
    d.middleClasses = {{literal("全部"), "Others"}};
    return d;
}

CategoryDefinition named(std::string name, std::int32_t type = 1) {
    CategoryDefinition d;
    d.name = std::move(name);
    d.valueType = type;
    d.smallClasses = {{"A", 6, "1", "9"}};
    return d;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// --- The set ---

TEST(CategorySetTest, AddOrReplaceKeepsNamesUniqueAndPositions) {
    CategorySet set({named("a"), named("b"), named("c")});
    CategoryDefinition b = named("b", 2);
    b.smallClasses.push_back({"B", 2, "5", ""});
    EXPECT_EQ(set.AddOrReplace(b), 0);
    ASSERT_EQ(set.GetCount(), 3);
    EXPECT_EQ(set.ElementAt(1), b);
    EXPECT_EQ(set.GetTypeName(1), "Float");
    EXPECT_EQ(set.GetSmallCount(1), 2);
    set.Put(named("B"));  // byte comparison: case counts
    EXPECT_EQ(set.GetCount(), 4);
    EXPECT_EQ(set.GetName(3), "B");
    set.RemoveAt(0);
    EXPECT_EQ(set.GetName(0), "b");
    EXPECT_EQ(set.GetAt(3), nullptr);
    EXPECT_EQ(set.GetAt(-1), nullptr);
}

TEST(CategorySetTest, KeywordsBothWays) {
    const char* keywords[] = {"Universal", "Integer", "Float", "Date", "Time", "String", "Code"};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(CategorySet::ValueTypeToKeyword(i), keywords[i]);
        EXPECT_EQ(CategorySet::KeywordToValueType(keywords[i]), i);
    }
    EXPECT_EQ(CategorySet::ValueTypeToKeyword(-1), "");
    EXPECT_EQ(CategorySet::ValueTypeToKeyword(7), "");
    EXPECT_EQ(CategorySet::KeywordToValueType(""), -1);
    EXPECT_EQ(CategorySet::KeywordToValueType("integer"), -1);
}

// --- The checks ---

struct CheckCase {
    const char* what;
    CategoryDefinition definition;
    int level;  // 1 small, 2 middle, 3 large, 0 the whole register check
    std::optional<CategoryCheckFailure> expected;
};

CategoryDefinition withSmall(std::int32_t type, std::vector<SmallClassDefinition> rows) {
    CategoryDefinition d;
    d.name = "c";
    d.valueType = type;
    d.smallClasses = std::move(rows);
    return d;
}

CategoryDefinition withMiddle(std::vector<ClassGrouping> rows) {
    CategoryDefinition d = withSmall(1, {{"A", 0, "1", ""}, {"B", 0, "2", ""}});
    d.middleClasses = std::move(rows);
    return d;
}

CategoryDefinition withLarge(std::vector<ClassGrouping> rows) {
    CategoryDefinition d = withMiddle({{"M", "A"}, {"N", "B"}});
    d.largeClasses = std::move(rows);
    return d;
}

CategoryCheckFailure failure(const char* message, std::int32_t row) {
    return {message, row};
}

std::vector<CheckCase> checkCases() {
    return {
        {"Others before the last row",
         withSmall(0, {{"A", 0, "Others", ""}, {"B", 0, "Normal", ""}}), 1,
         failure("予約語othersは最終行のみ定義可能です", 0)},
        {"Others on the last row", withSmall(0, {{"A", 0, "Normal", ""}, {"B", 0, "Others", ""}}),
         1, std::nullopt},
        {"a repeated name fails the later row",
         withSmall(1, {{"A", 0, "1", ""},
                       {"B", 0, "2", ""},
                       {"C", 0, "3", ""},
                       {"B", 0, "4", ""},
                       {"A", 0, "5", ""}}),
         1, failure("同一の定義名が存在します", 4)},  // the pair (0, 4) comes first
        {"a reserved word takes = only", withSmall(1, {{"A", 0, "1", ""}, {"B", 2, "Brank", ""}}),
         1, failure("予約語の演算子には\"=\"のみです", 1)},
        {"Universal takes reserved words only",
         withSmall(0, {{"A", 0, "Error", ""}, {"B", 0, "5", ""}}), 1,
         failure("Universal定義で使用出来る値は予約語のみです", 1)},
        {"Integer range tests VAL2", withSmall(1, {{"A", 6, "1", "x"}}), 1,
         failure("VAL2の値がINT値として適当ではありません", 0)},
        {"Integer VAL2 of a lone minus", withSmall(1, {{"A", 6, "1", "-"}}), 1,
         failure("VAL2の値がINT値として適当ではありません", 0)},
        {"Integer =n1 ignores VAL2", withSmall(1, {{"A", 0, "-3", "x"}}), 1, std::nullopt},
        {"Integer beyond 32 bits", withSmall(1, {{"A", 0, "2147483648", ""}}), 1,
         failure("VAL1の値がINT値として適当ではありません", 0)},
        {"Integer empty", withSmall(1, {{"A", 0, "", ""}}), 1,
         failure("VAL1の値がINT値として適当ではありません", 0)},
        {"Float needs a digit", withSmall(2, {{"A", 6, "1.5", "."}}), 1,
         failure("VAL2の値がFloat値として適当ではありません", 0)},
        {"Float two dots", withSmall(2, {{"A", 0, "1.2.3", ""}}), 1,
         failure("VAL1の値がFloat値として適当ではありません", 0)},
        {"Date not a calendar date", withSmall(3, {{"A", 0, "2023/2/29", ""}}), 1,
         failure("VAL1の値がDate値として適当ではありません", 0)},
        {"Date and Time pass", withSmall(3, {{"A", 6, "2024/2/29", "2024/12/31"}}), 1,
         std::nullopt},
        {"Time out of the day", withSmall(4, {{"A", 0, "24:00:00", ""}}), 1,
         failure("VAL1の値がTime値として適当ではありません", 0)},
        {"String >=n1", withSmall(5, {{"A", 1, "x", ""}, {"B", 2, "y", ""}}), 1,
         failure("String定義で使用出来る演算子は\"=\"または\"!\"のみです", 1)},
        {"Code a-b", withSmall(6, {{"A", 0, "ab1", ""}, {"B", 0, "a-b", ""}}), 1,
         failure("VAL1の値がCODE値として適当ではありません", 1)},
        {"type -1 skips the value tests", withSmall(-1, {{"A", 2, "x", ""}, {"B", 9, ".", "-"}}), 1,
         std::nullopt},
        {"type -1 still tests the names", withSmall(-1, {{"A", 2, "x", ""}, {"A", 9, ".", "-"}}), 1,
         failure("同一の定義名が存在します", 1)},
        {"middle Brank", withMiddle({{"M", "A"}, {"N", "Brank"}}), 2,
         failure("中分類定義で使用出来る予約語はothersのみです", 1)},
        {"middle Others before the last", withMiddle({{"M", "Others"}, {"N", "A"}}), 2,
         failure("予約語othersは最終行のみ定義可能です", 0)},
        {"middle unknown member", withMiddle({{"M", "A"}, {"N", "Z"}}), 2,
         failure("指定された値は小分類名に存在しません", 1)},
        {"middle repeated member fails the earlier row",
         withMiddle({{"M", "A"}, {"N", "B"}, {"O", "B"}, {"P", "A"}}), 2,
         failure("値が2重定義されています", 0)},
        {"middle Others last passes", withMiddle({{"M", "A"}, {"M", "B"}, {"O", "Others"}}), 2,
         std::nullopt},
        {"large Normal", withLarge({{"L", "M"}, {"K", "Normal"}}), 3,
         failure("大分類定義で使用出来る予約語はothersのみです", 1)},
        {"large unknown member", withLarge({{"L", "A"}}), 3,
         failure("指定された値は中分類名に存在しません", 0)},
        {"large repeated member", withLarge({{"L", "M"}, {"K", "N"}, {"J", "N"}}), 3,
         failure("値が2重定義されています", 1)},
        {"large empty passes", withLarge({}), 3, std::nullopt},
        {"register: nothing at all is a silent refusal", withSmall(1, {}), 0,
         CategoryCheckFailure{}},
        {"register: small first", withLarge({{"L", "Z"}}), 0, std::nullopt},
        {"register: the built-in category passes", builtIn(), 0, std::nullopt},
    };
}

TEST(CategoryChecksTest, TableOfCases) {
    std::vector<CheckCase> cases = checkCases();
    // The register check stops at the first level that fails.
    cases[cases.size() - 2].definition.smallClasses[1].value1 = "x";
    cases[cases.size() - 2].expected = failure("VAL1の値がINT値として適当ではありません", 1);
    for (const CheckCase& c : cases) {
        std::optional<CategoryCheckFailure> got;
        switch (c.level) {
            case 1:
                got = CheckSmallClasses(c.definition, kReserved);
                break;
            case 2:
                got = CheckMiddleClasses(c.definition, kReserved);
                break;
            case 3:
                got = CheckLargeClasses(c.definition, kReserved);
                break;
            default:
                got = CheckCategory(c.definition, kReserved);
        }
        EXPECT_EQ(got.has_value(), c.expected.has_value()) << c.what;
        if (got && c.expected) {
            EXPECT_EQ(got->message, c.expected->message) << c.what;
            EXPECT_EQ(got->row, c.expected->row) << c.what;
        }
    }
}

// --- The category file ---

TEST(CategoryFileTest, BuiltInCategoryBytes) {
    const std::string expected =
        literal("単一\n0\n2\n1\n0\n正常値\nNormal\n\n0\nエラー値\nOthers\n\n0\n全部\nOthers\n");
    EXPECT_EQ(CategoryFile::WriteCategory(builtIn()), expected);
    CategoryDefinition empty;
    empty.name = "e";
    EXPECT_EQ(CategoryFile::WriteCategory(empty), "e\n-1\n0\n0\n0\n");
}

TEST(CategoryFileTest, RoundTripAndCrLf) {
    CategoryDefinition d = named(literal("年齢"), 1);
    d.smallClasses.push_back({"B", 2, "5", ""});
    d.middleClasses = {{"M", "A"}, {"M", "B"}};
    d.largeClasses = {{"L", "M"}};
    const std::string bytes = CategoryFile::WriteCategory(d);
    EXPECT_EQ(std::get<CategoryDefinition>(CategoryFile::ReadCategory(bytes)), d);

    std::string crlf;
    for (char c : bytes) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    EXPECT_EQ(std::get<CategoryDefinition>(CategoryFile::ReadCategory(crlf)), d);
    // Lines after the last group are ignored; a last line may lack its LF.
    EXPECT_EQ(std::get<CategoryDefinition>(CategoryFile::ReadCategory(bytes + "extra\n")), d);
    EXPECT_EQ(
        std::get<CategoryDefinition>(CategoryFile::ReadCategory(bytes.substr(0, bytes.size() - 1))),
        d);
}

std::int32_t damagedLine(const std::string& bytes) {
    const CategoryFile::ReadResult r = CategoryFile::ReadCategory(bytes);
    const auto* damage = std::get_if<CategoryFile::Damage>(&r);
    return damage ? damage->line : 0;
}

TEST(CategoryFileTest, DamagedFilesNameTheirLine) {
    const std::string good = CategoryFile::WriteCategory(builtIn());
    // Cut after each line: the header's lines are missing one by one, then the counts no longer
    // fit what is left (small groups need lines 6 to 13, the middle row 14 and 15).
    const std::int32_t expectedAfter[] = {2, 3, 4, 5, 3, 3, 3, 3, 3, 3, 3, 3, 4, 4};
    std::size_t end = 0;
    for (std::int32_t cut = 1; cut <= 14; ++cut) {
        end = good.find('\n', end) + 1;
        EXPECT_EQ(damagedLine(good.substr(0, end)), expectedAfter[cut - 1]) << "cut " << cut;
    }
    struct Case {
        const char* what;
        std::string bytes;
        std::int32_t line;
    } cases[] = {
        {"count abc", "n\n0\nabc\n0\n0\n", 3},
        {"count with blank", "n\n0\n 1\n0\n0\nA\n1\n\n0\n", 3},
        {"negative count", "n\n0\n0\n-1\n0\n", 4},
        {"two billion in ten lines", "n\n1\n2000000000\n0\n0\nA\n1\n\n0\nx\n", 3},
        {"type 7", "n\n7\n0\n0\n0\n", 2},
        {"type -2", "n\n-2\n0\n0\n0\n", 2},
        {"operator 10", "n\n1\n1\n0\n0\nA\n1\n\n10\n", 9},
        {"128-byte name", std::string(128, 'a') + "\n1\n0\n0\n0\n", 1},
        {"128-byte member", "n\n1\n0\n1\n0\nM\n" + std::string(128, 'a') + "\n", 7},
        {"256-byte value", "n\n1\n1\n0\n0\nA\n" + std::string(256, '1') + "\n\n0\n", 7},
        {"NUL in a value", std::string("n\n1\n1\n0\n0\nA\n1\0\n\n0\n", 18), 7},
        // A CR that ends no line: written again, it would be lost or end the line early.
        {"CR inside a name", "a\rb\n1\n0\n0\n0\n", 1},
        {"lone CR as a class name", "n\n1\n1\n0\n0\n\r\r\n1\n\n0\n", 6},
        {"value ending in CR, no LF after", "n\n1\n1\n0\n0\nA\n1\n\n0\nx\r", 0},
        {"last line ending in a lone CR", "n\n1\n1\n0\n0\nA\n1\n\n0\r", 9},
        // What the reader takes as it stands.
        {"empty file", "", 0},
        {"empty definition name", "\n1\n0\n0\n0\n", 0},
        {"empty class name", "n\n1\n0\n1\n0\n\nA\n", 0},
        {"127-byte name", std::string(127, 'a') + "\n1\n0\n0\n0\n", 0},
        {"255-byte value", "n\n1\n1\n0\n0\nA\n" + std::string(255, '1') + "\n\n0\n", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(damagedLine(c.bytes), c.line) << c.what;

    // An empty file is every line missing: an empty name, Universal, no classes.
    CategoryDefinition empty;
    empty.valueType = 0;
    EXPECT_EQ(std::get<CategoryDefinition>(CategoryFile::ReadCategory("")), empty);
}

// Whatever the reader takes, written and read again, is the same definition, and the writer
// refuses nothing it took. The corpus: good files cut, with bytes flipped, dropped, doubled
// and inserted (CR, LF, NUL, digits, '-'), counts raised, made at random with a fixed seed.
TEST(CategoryFileTest, WhatIsReadIsWrittenAndReadBackEqual) {
    CategoryDefinition wide = named(literal("年齢"), 2);
    wide.smallClasses.push_back({"", 7, "1.5", std::string(255, '9')});
    wide.smallClasses.push_back({"C", 0, "Others", ""});
    wide.middleClasses = {{"M", "A"}, {"", "Others"}};
    wide.largeClasses = {{"L", "M"}};
    std::vector<std::string> seeds = {CategoryFile::WriteCategory(builtIn()),
                                      CategoryFile::WriteCategory(wide), ""};
    std::uint64_t state = 0x9E3779B97F4A7C15u;
    const auto next = [&state](std::uint64_t bound) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return static_cast<std::size_t>(state % bound);
    };
    const char inserts[] = {'\r', '\n', '\0', '0', '1', '9', '-', ' ', '\x81', 'a'};
    int taken = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string bytes = seeds[next(seeds.size())];
        for (int edits = 1 + static_cast<int>(next(4)); edits > 0; --edits) {
            const std::size_t at = bytes.empty() ? 0 : next(bytes.size() + 1);
            switch (next(5)) {
                case 0:
                    bytes.resize(at);
                    break;
                case 1:
                    if (at < bytes.size()) bytes[at] = static_cast<char>(next(256));
                    break;
                case 2:
                    if (at < bytes.size()) bytes.erase(at, 1);
                    break;
                case 3:
                    bytes.insert(at, 1, inserts[next(sizeof inserts)]);
                    break;
                default:
                    if (at < bytes.size()) bytes.insert(at, bytes.substr(at, next(8)));
                    break;
            }
        }
        const CategoryFile::ReadResult first = CategoryFile::ReadCategory(bytes);
        const auto* read = std::get_if<CategoryDefinition>(&first);
        if (!read) continue;
        ++taken;
        const CategoryFile::ReadResult again =
            CategoryFile::ReadCategory(CategoryFile::WriteCategory(*read));
        const auto* back = std::get_if<CategoryDefinition>(&again);
        ASSERT_TRUE(back) << "round " << round << ": written, it is refused";
        ASSERT_EQ(*back, *read) << "round " << round;
    }
    EXPECT_GT(taken, 2000) << "the corpus should hold many readable files";
}

// The reader looks at what the path names before reading: a FIFO would block the program for
// ever, a huge file would be read whole.
TEST(CategoryFileTest, OnlyARegularFileOfAFewMegabytesIsRead) {
    zbq::test::TempDir dir;
    const std::string fifo = dir.file("pipe.ctg");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(CategoryFile::Import(fifo).message,
              "カテゴリファイル[" + fifo + "]を読み込めません。");

    const std::string big = dir.file("big.ctg");
    std::string bytes = CategoryFile::WriteCategory(builtIn());
    writeFile(big, bytes + std::string(CategoryFile::kFileMax - bytes.size(), '\n'));
    EXPECT_TRUE(CategoryFile::Import(big).definition) << "at the limit";
    writeFile(big, bytes + std::string(CategoryFile::kFileMax + 1 - bytes.size(), '\n'));
    EXPECT_EQ(CategoryFile::Import(big).message, "カテゴリファイル[" + big + "]を読み込めません。");
}

// What no line can hold is not exported: the file would read back as another definition.
TEST(CategoryFileTest, ExportRefusesTextsThatWouldNotReadBack) {
    zbq::test::TempDir dir;
    const std::string path = dir.file("out.ctg");
    for (const std::string& name : {std::string("a\r"), std::string("\r"), std::string("a\nb"),
                                    std::string("a\0", 2), std::string(128, 'n')}) {
        EXPECT_EQ(CategoryFile::Export(path, named(name)), "ファイルの書出しに失敗しました。");
        EXPECT_FALSE(std::ifstream(path).good());
    }
    CategoryDefinition value = named("v");
    value.smallClasses[0].value2 = std::string(255, '9');
    EXPECT_EQ(CategoryFile::Export(path, value), "");
    EXPECT_EQ(std::get<CategoryDefinition>(CategoryFile::ReadCategory(readFile(path))), value);
}

TEST(CategoryFileTest, ImportNamesThePathOfAnUnreadableOrDamagedFile) {
    zbq::test::TempDir dir;
    const std::string path = dir.file("bad.ctg");
    writeFile(path, "n\n0\nabc\n0\n0\n");
    CategoryFile::Imported imported = CategoryFile::Import(path);
    EXPECT_FALSE(imported.definition);
    EXPECT_EQ(imported.message, "カテゴリファイル[" + path + "]の3行目が不正です。");
    imported = CategoryFile::Import(dir.path());
    EXPECT_EQ(imported.message, "カテゴリファイル[" + dir.path() + "]を読み込めません。");
    imported = CategoryFile::Import(dir.file("missing.ctg"));
    EXPECT_FALSE(imported.definition);

    writeFile(path, CategoryFile::WriteCategory(builtIn()));
    imported = CategoryFile::Import(path);
    ASSERT_TRUE(imported.definition);
    EXPECT_EQ(*imported.definition, builtIn());
}

TEST(CategoryFileTest, ExportOverAReadOnlyFileKeepsItsBytes) {
    zbq::test::TempDir dir;
    const std::string path = dir.file("kept.ctg");
    writeFile(path, "old bytes\n");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    {
        zbq::test::AsOrdinaryUser user({path, dir.path()});
        ASSERT_TRUE(user.ok());
        EXPECT_EQ(CategoryFile::Export(path, builtIn()), "ファイルの書出しに失敗しました。");
    }
    EXPECT_EQ(readFile(path), "old bytes\n");

    const std::string fresh = dir.file("fresh.ctg");
    EXPECT_EQ(CategoryFile::Export(fresh, builtIn()), "");
    EXPECT_EQ(readFile(fresh), CategoryFile::WriteCategory(builtIn()));
}

}  // namespace
