// Shared by the settings blob and restore tests: a small data set opened by the application, record
// maps by their records, and the state a blob carries written out as text, so that two states
// compare as two texts and a difference shows where it is.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <sstream>
#include <string>

#include "app/ckw_app.h"
#include "tests/support/data_file_fixture.h"

namespace zbq::test {

// Writes a data file of `records` records (`items` Integer items, each the record number) and
// opens it.
inline void openDataSet(CKWApp& app, const std::string& path, int records,
                        const std::string& title = "blob", int items = 1) {
    FixtureTable table;
    table.title = title;
    table.items = {{"n", KW_TYPE_INTEGER}};
    for (int i = 1; i < items; ++i)
        table.items.push_back({"n" + std::to_string(i), KW_TYPE_INTEGER});
    for (int r = 0; r < records; ++r)
        table.rows.push_back(
            std::vector<std::string>(static_cast<std::size_t>(items), std::to_string(r)));
    writeFixture(path, table);
    ASSERT_EQ(app.Search().KWopen(path, ""), 0);
}

// A map of a data set of `records` records holding the given ones.
inline KW_mapPtr mapOf(int records, std::initializer_list<int> held) {
    auto map = std::make_shared<KW_map>(records);
    for (int r : held)
        map->set(r);
    return map;
}

inline std::string hexOf(const KW_map& map) {
    std::string out;
    char word[10];
    for (std::int32_t i = 0; i < map.wordCount(); ++i) {
        std::snprintf(word, sizeof word, "%08x ", map.data()[i]);
        out += word;
    }
    return out;
}

// What a settings blob carries and the restore steps rebuild, one fact a line.
inline std::string stateOf(const CKWApp& app) {
    std::ostringstream out;
    CStructDef def = app.GetStructDef();
    std::string_view image;
    def.Save(&image);
    out << "structure:";
    char byte[4];
    for (unsigned char c : image) {
        std::snprintf(byte, sizeof byte, " %02x", c);
        out << byte;
    }
    out << "\n";
    out << "display:";
    for (int i : app.GetDisplayItems())
        out << " " << i;
    out << "\nnext set: " << app.GetNextSetNo() << "\n";
    for (const SetRecord& s : app.Sets()) {
        out << "set " << s.number << " level " << s.level << " [" << s.text1 << "] [" << s.text2
            << "] [" << s.text3 << "] records " << s.recordCount << " map " << s.mapLength
            << (s.map ? " " + hexOf(*s.map) : std::string(" none")) << "\n";
    }
    const KW_mapPtr current = app.Search().KWmapGet();
    out << "current: " << (current ? hexOf(*current) : std::string("all")) << "\n";
    out << "condition items:";
    for (int i : app.GetConditionItems())
        out << " " << i;
    out << "\nreserved:";
    for (const std::string& w : app.GetReservedWords())
        out << " " << w;
    out << "\n";
    for (const CategoryDefinition& c : app.GetCategoryList()) {
        out << "category [" << c.name << "] " << c.valueType << "\n";
        for (const SmallClassDefinition& s : c.smallClasses)
            out << "  small [" << s.name << "] " << s.op << " [" << s.value1 << "] [" << s.value2
                << "]\n";
        for (const ClassGrouping& m : c.middleClasses)
            out << "  middle [" << m.name << "] [" << m.member << "]\n";
        for (const ClassGrouping& l : c.largeClasses)
            out << "  large [" << l.name << "] [" << l.member << "]\n";
    }
    return out.str();
}

}  // namespace zbq::test
