// Text tables for builder and merge tests: a generated table with items of every type
// (values, blanks, errors, CP932 text, separators inside fields), its delimited text, the
// builder's description of it, and each cell as a read-back data file says it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/kw_create.h"
#include "engine/kw_format.h"
#include "tests/support/data_file_fixture.h"

namespace zbq::test {

// How readBack shows an error value of a single-valued item.
inline const std::string kErrorCell = "<error>";

// A table and what each cell must read back as.
struct CsvTable {
    FixtureTable fixture;
    std::vector<std::vector<std::string>> expected;  // [record][item]; kErrorCell for errors
};

// Items Integer, Float, String, Code, MultiAns, Date, Time (in that order); records of values,
// blanks and errors drawn from `seed`. MultiAns error answers read back as "zz".
CsvTable mixedTable(int records, unsigned seed);

// The table as delimited text, each line ended by lineEnd, after `header`; fields after the
// first that hold the separator are quoted.
std::string csvOf(const FixtureTable& t, char sep, const std::string& lineEnd = "\n",
                  const std::string& header = "");

// Describes the table's items to the builder, item i on source column i, and its title.
void describe(KW_create& create, const FixtureTable& t);

// Cell (record r, item i) of a read data file in the terms of CsvTable::expected.
std::string readBack(const kw::DataFileContents& c, std::size_t item, std::size_t record);

}  // namespace zbq::test
