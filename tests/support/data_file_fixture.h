// Data files for tests, written from a small in-memory table through the engine's own format
// writer, so that engine tests need no CSV builder.
//
// Cells are texts, classified the way the builder does: an empty cell is blank; a cell that
// does not parse as the item's type (or names no code) is an error. Integer: decimal int32;
// Float: a finite decimal; Date "y/m/d"; Time "h:m:s"; Code: exactly one code text; MultiAns:
// code texts separated by commas (an empty cell is one blank answer). Ordinary values sort as
// the format says: numbers ascending, texts and codes by unsigned bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/kw_format.h"
#include "engine/kw_search.h"

namespace zbq::test {

struct FixtureCode {
    std::string code;
    std::string name;  // display name
};

struct FixtureItem {
    std::string name;
    std::int32_t type = KW_TYPE_STRING;  // KWType
    std::vector<FixtureCode> codes = {};
};

struct FixtureTable {
    std::string title = "fixture";
    std::vector<FixtureItem> items;
    std::vector<std::vector<std::string>> rows;  // rows[record][item]; missing cells are blank
};

// The in-memory image of the data file the table makes.
kw::DataFileContents buildContents(const FixtureTable& table);

// Writes the table as a data file; fails the current test when the writer refuses.
void writeFixture(const std::string& path, const FixtureTable& table);

// The records of the search object's current view, row by row.
std::vector<int> viewRecords(const KW_search& s);

// Adds a test failure for every field in which the two images differ (the blob offset aside).
void expectSameContents(const kw::DataFileContents& actual, const kw::DataFileContents& expected);

}  // namespace zbq::test
