// CSV intake: splitting a line into fields and reading lines across chunk boundaries.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/kw_create_csv.h"
#include "tests/support/temp_dir.h"

namespace {

using zbq::test::TempDir;
using zbq::test::writeFile;

std::vector<std::string> split(const std::string& line, char sep = ',') {
    std::vector<std::string_view> views;
    SplitCsvLine(line, sep, views);
    return {views.begin(), views.end()};
}

struct SplitCase {
    const char* line;
    std::vector<std::string> fields;
};

TEST(SplitCsvLine, EveryRuleOfTheSplitter) {
    const SplitCase cases[] = {
        {"a,b,c", {"a", "b", "c"}},
        {"", {}},  // an empty line has no field at all
        {"a", {"a"}},
        {"a,b,", {"a", "b"}},  // an empty last field is dropped
        {",b", {"", "b"}},
        {",", {""}},
        {",,", {"", ""}},
        {"a,\"x,y\"", {"a", "x,y"}},  // quoted in second position: one field
        {"a,\"x,y\",b", {"a", "x,y", "b"}},
        {"\"x,y\",b", {"\"x", "y\"", "b"}},  // the first field is never quoted
        {"\"x,y\"", {"\"x", "y"}},           // ... and the last loses its trailing quote
        {"\"a\",b", {"a", "b"}},             // a first field enclosed in quotes loses them
        {"\"a\"", {"a"}},
        {"a,\"\"", {"a"}},  // a lone pair of quotes at the end: empty, dropped
        {"a,\"\",b", {"a", "", "b"}},
        {"a,\"x\"\"y\",b", {"a", "x\"\"y", "b"}},  // a doubled quote stays doubled
        {"a,\"x\"y,b", {"a", "x\"y,b"}},  // only a quote before a separator closes the field
        {"a,\"", {"a"}},
        {"\",b", {"", "b"}},  // a lone quote is its own opening and closing quote
        {"a,\"b", {"a", "b"}},
        {"a,b\"", {"a", "b"}},
        {"a,b\"c", {"a", "b\"c"}},
        {"a, \"b\"", {"a", " \"b"}},                      // a blank before the quote: not quoted
        {"\x82\xa0,\x83\x5c", {"\x82\xa0", "\x83\x5c"}},  // CP932 bytes pass untouched
    };
    for (const SplitCase& c : cases) {
        EXPECT_EQ(split(c.line), c.fields) << "line: " << c.line;
    }
}

TEST(SplitCsvLine, TabSeparatorLeavesCommasInFields) {
    EXPECT_EQ(split("a,b\tc", '\t'), (std::vector<std::string>{"a,b", "c"}));
    EXPECT_EQ(split("a\t\"x\ty\"\tz", '\t'), (std::vector<std::string>{"a", "x\ty", "z"}));
}

// The lines of `bytes` by the rules: LF, CR LF and a lone CR end a line; the end of the data
// ends a last line and never starts an empty one.
std::vector<std::string> referenceLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::string current;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' || bytes[i] == '\r') {
            lines.push_back(current);
            current.clear();
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else {
            current.push_back(bytes[i]);
        }
    }
    if (!current.empty()) lines.push_back(current);
    return lines;
}

std::vector<std::string> readAll(CsvLineReader& reader) {
    std::vector<std::string> lines;
    std::string_view line;
    int got;
    while ((got = reader.next(line)) == 1)
        lines.emplace_back(line);
    EXPECT_EQ(got, 0);
    return lines;
}

std::vector<std::string> readFileLines(const std::string& bytes) {
    TempDir dir;
    writeFile(dir.file("t.csv"), bytes);
    CsvLineReader reader;
    EXPECT_EQ(reader.open(dir.file("t.csv")), 0);
    EXPECT_EQ(reader.size(), static_cast<std::int64_t>(bytes.size()));
    return readAll(reader);
}

std::vector<std::string> readByteLines(const std::string& bytes) {
    CsvLineReader reader;
    reader.openBytes(bytes);
    return readAll(reader);
}

TEST(CsvLineReader, LineEnds) {
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"a\nb\n", {"a", "b"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},  // a lone CR never swallows the next byte
        {"a\r\rb", {"a", "", "b"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"a\n\nb", {"a", "", "b"}},
        {"a\nb", {"a", "b"}},  // a last line without its end
        {"a\n\n", {"a", ""}},
        {"", {}},
        {"\n", {""}},
        {"\r\n", {""}},
        {"\r", {""}},
    };
    for (const auto& [bytes, lines] : cases) {
        EXPECT_EQ(readFileLines(bytes), lines);
        EXPECT_EQ(readByteLines(bytes), lines);
    }
}

TEST(CsvLineReader, LinesAcrossChunkBoundariesAndLongerThanAChunk) {
    constexpr std::size_t chunk = CsvLineReader::kChunkSize;
    std::vector<std::string> sources;
    // A CR LF pair split by the chunk boundary, and a lone CR as the chunk's last byte.
    sources.push_back(std::string(chunk - 1, 'x') + "\r\n" + "tail\n");
    sources.push_back(std::string(chunk - 1, 'x') + "\r" + "next\n");
    sources.push_back(std::string(chunk - 1, 'x') + "\r");  // the file's last byte
    // A line that runs over the boundary, and lines of several chunks.
    sources.push_back("head\n" + std::string(chunk, 'y') + "\nz");
    sources.push_back(std::string(3 * chunk + 17, 'w') + "\r\n" + std::string(chunk * 2, 'v'));
    // Random lines of random ends around the boundaries.
    std::mt19937 rng(7);
    std::string mixed;
    const char* ends[] = {"\n", "\r\n", "\r", ""};
    while (mixed.size() < 5 * chunk) {
        const std::size_t length = rng() % 4 == 0 ? rng() % 100000 : rng() % 40;
        mixed.append(length, static_cast<char>('a' + rng() % 26));
        mixed += ends[rng() % 3];
        if (rng() % 50 == 0) mixed += ends[rng() % 3];  // empty lines too
    }
    sources.push_back(mixed);
    for (const std::string& s : sources) {
        const auto expected = referenceLines(s);
        EXPECT_EQ(readFileLines(s), expected);
        EXPECT_EQ(readByteLines(s), expected);
    }
}

// A NUL marks the line it stands in, wherever in the line and however long the line; never
// the line before or after it.
TEST(CsvLineReader, NulMarksOnlyItsOwnLine) {
    for (std::size_t length : {1u, 15u, 16u, 17u, 40u}) {
        for (std::size_t at = 0; at < length; ++at) {
            std::string line(length, '\t');
            line[at] = '\0';
            const std::string bytes =
                std::string(length, 'a') + "\r\n" + line + "\n" + std::string(length, 'b') + "\n";
            CsvLineReader reader;
            reader.openBytes(bytes);
            std::string_view got;
            std::vector<bool> marked;
            while (reader.next(got) == 1)
                marked.push_back(reader.lineHasNul());
            EXPECT_EQ(marked, (std::vector<bool>{false, true, false}))
                << "length " << length << ", NUL at " << at;
        }
    }
}

TEST(CsvLineReader, MissingFileAndDirectoryAreRefused) {
    TempDir dir;
    CsvLineReader reader;
    EXPECT_EQ(reader.open(dir.file("missing.csv")), ENOENT);
    EXPECT_EQ(reader.open(dir.path()), EINVAL);
    std::string_view line;
    EXPECT_EQ(reader.next(line), 0);
}

}  // namespace
