#include "tests/support/random_macro.h"

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>

#include "macro/command_table.h"
#include "platform/core/cp932.h"

namespace zbq::test {

std::uint64_t MacroRng::next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

namespace {

// The fields of a step as the writer joins them: no quoting of its own, so that a broken quote
// stays broken.
std::string join(const std::vector<std::string>& fields) {
    std::string step;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i) step += ',';
        step += fields[i];
    }
    return step;
}

std::vector<std::string> splitAtCommas(const std::string& step) {
    // A plain split: good enough to find a template's fields; quoted commas are rare there.
    std::vector<std::string> fields;
    std::string field;
    bool quoted = false;
    for (char c : step) {
        if (c == '"') quoted = !quoted;
        if (c == ',' && !quoted) {
            fields.push_back(field);
            field.clear();
        } else {
            field += c;
        }
    }
    fields.push_back(field);
    return fields;
}

std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        out += c;
        if (c == '"') out += '"';
    }
    out += '"';
    return out;
}

class Generator {
public:
    Generator(std::uint64_t seed, const RandomMacroWorld& world) : rng_(seed), world_(world) {}

    std::vector<std::string> steps(int count) {
        std::vector<std::string> out;
        out.reserve(static_cast<std::size_t>(count));
        while (static_cast<int>(out.size()) < count) {
            const bool burst = !world_.sections.empty() && rng_.percent(70);
            for (std::string& step : burst ? this->burst() : next())
                if (static_cast<int>(out.size()) < count) out.push_back(clean(std::move(step)));
        }
        return out;
    }

private:
    // A window opened, then a run of the steps its gestures record, in their order from a
    // random start, with broken and unrelated steps among them.
    std::vector<std::string> burst() {
        const auto& [name, steps] = rng_.pick(world_.sections);
        std::vector<std::string> out = opener(name);
        if (steps.empty()) return out;
        auto at = rng_.below(static_cast<std::uint32_t>(steps.size()));
        const std::uint32_t length = 5 + rng_.below(40);
        for (std::uint32_t i = 0; i < length; ++i) {
            const std::string& step = steps[at];
            at = (at + 1) % static_cast<std::uint32_t>(steps.size());
            const std::uint32_t roll = rng_.below(100);
            if (roll < 60) {
                out.push_back(step);
            } else if (roll < 78) {
                out.push_back(mutated(step));
            } else if (roll < 84) {
                out.push_back(wrongCount(step));
            } else {
                for (std::string& other : next())
                    out.push_back(std::move(other));
            }
        }
        return out;
    }

    std::vector<std::string> opener(const std::string& section) {
        const std::vector<std::string> grid = {"ToListAllItem", "DispData"};
        const std::vector<std::string> cross = {"SelectItemX,2", "SelectItemY,1", "DispOlap"};
        if (section == "grid") return grid;
        if (section == "cross") return cross;
        if (section.starts_with("item:")) {
            std::vector<std::string> out = grid;
            out.push_back("DispItemDlg," + section.substr(5));
            return out;
        }
        if (section == "syslist") {
            std::vector<std::string> out = grid;
            out.insert(out.end(), cross.begin(), cross.end());
            return out;
        }
        if (section == "molap")
            return {"OpenMolapTab",  "SetXColumn,1:0", "SetYColumn,2:0", "SetSyukeiColumn,4:0,3",
                    "SetXTotal,1",   "SetYTotal,1",    "SetPoint,2",     "ExecuteMolap"};
        if (section == "excel")
            return {"DispExcelDialog," +
                    (rng_.percent(70) ? quoted(world_.folder + "/add.xlsx") : path())};
        if (section == "console") return {"DispConsole"};
        return {};
    }

    // One or a few steps.
    std::vector<std::string> next() {
        const std::uint32_t roll = rng_.below(100);
        if (roll < 28 && !world_.templates.empty()) return {rng_.pick(world_.templates)};
        if (roll < 50 && !world_.templates.empty()) return {mutated(rng_.pick(world_.templates))};
        if (roll < 62) return {tableCommand()};
        if (roll < 68 && !world_.templates.empty()) return {wrongCount(rng_.pick(world_.templates))};
        if (roll < 82) return windows();
        if (roll < 86) return {exeMacro()};
        if (roll < 91) return {oddity()};
        if (roll < 95) return {fileStep()};
        return {itemWindowStep()};
    }

    // --- Values ---
    std::string number() {
        static const std::vector<std::string> numbers = {
            "0",   "1",  "2",     "3",          "4",          "5",           "6",
            "7",   "8",  "9",     "10",         "11",         "12",          "13",
            "-1",  "-2", "100",   "255",        "256",        "65535",       "65536",
            "999", "1000", "32767", "32768",     "-32768",     "2147483647",  "2147483648",
            "-2147483648", "-2147483649", "4294967296", "99999999999999999999", "-99999999999999999999",
            "1e9", "0x10", "+3", " 2", "3 ", "1.5", "-0", "00000000000000000001"};
        return rng_.pick(numbers);
    }
    std::string itemNumber() {
        const auto n = static_cast<std::int32_t>(world_.itemNames.size());
        const std::uint32_t roll = rng_.below(10);
        if (roll < 7) return std::to_string(rng_.below(static_cast<std::uint32_t>(n)) + (roll < 4 ? 1 : 0));
        if (roll < 8) return std::to_string(n + static_cast<std::int32_t>(rng_.below(3)));
        return number();
    }
    std::string itemName() {
        if (world_.itemNames.empty() || rng_.percent(15)) return text();
        std::string name = rng_.pick(world_.itemNames);
        return rng_.percent(80) ? quoted(name) : name;
    }
    std::string text() {
        static const std::vector<std::string> texts = {
            "\"\"",
            "\"a,b\"",
            "\"say \"\"hi\"\"\"",
            "\"unclosed",
            "closed\"",
            "\"\"\"\"",
            "a\"b",
            "\",\"",
            "\"\t\"",
            "\" lead\"",
            "\"trail \"",
            "'single'",
            cp932::literal("\"性別\""),
            cp932::literal("\"男性\""),
            cp932::literal("\"ｶﾀｶﾅ①髙\""),
            cp932::literal("\"表\""),    // a trail byte 0x5C
            cp932::literal("\"ソ\\\""),  // 0x5C as a trail byte, then a backslash
            std::string("\"\x81\""),     // a lead byte alone
            std::string("\x82"),         // a lead byte at the very end
            std::string("\"\xFF\xFE\x80\xA0\""),
            std::string("\"\xEF\xBB\xBF\""),
            "\"???\"",
            "???",
            "?",
            ">3",
            "\"<=2\"",
            "1:0\t2:0",
            "1:0\t2:1\t3:2\t4:3",
            "0\t1\t2",
            "\"\t\t\t\"",
            "-1\t\t\t1",
            "99:99",
            ":",
            "\t",
        };
        if (rng_.percent(8)) return quoted(std::string(255 + rng_.below(3), 'A'));
        if (rng_.percent(4)) {
            std::string wide;
            for (int i = 0; i < 150; ++i)
                wide += cp932::literal("漢");
            return quoted(wide);
        }
        return rng_.pick(texts);
    }
    std::string path() {
        const std::string& f = world_.folder;
        const std::uint32_t roll = rng_.below(14);
        const std::string n = std::to_string(rng_.below(4));
        switch (roll) {
            case 0: return quoted(f + "/rnd" + n + ".csv");
            case 1: return quoted(f + "/rnd" + n + ".txt");
            case 2: return quoted(f + "/rnd" + n + ".ctg");
            case 3: return quoted(f + "/no such folder/rnd" + n + ".csv");
            case 4: return quoted(f + "/missing/deeper/rnd" + n + ".ctg");
            case 5: return quoted(f + "/fixture.def");
            case 6: {
                static const std::vector<std::string> books = {"/add.xlsx", "/bad.xlsx",
                                                               "/empty.xlsx", "/rnd0.xlsx"};
                return quoted(f + rng_.pick(books));
            }
            case 7: return quoted(f + "/");
            case 8: return quoted(f);
            case 9: return quoted("rnd-relative" + n + ".csv");
            case 10: return quoted(f + "/" + cp932::literal("出力") + n + ".csv");
            case 11: return quoted(f + "/rnd\"q" + n + ".csv");
            case 12: return quoted(f + "/rnd,comma" + n + ".csv");
            default: return "???";
        }
    }
    std::string anyValue() {
        const std::uint32_t roll = rng_.below(100);
        if (roll < 40) return number();
        if (roll < 55) return itemNumber();
        if (roll < 70) return text();
        if (roll < 78) return itemName();
        if (roll < 85) return path();
        if (roll < 92) return "???";
        return "";
    }

    // --- Steps ---
    std::string mutated(const std::string& step) {
        std::vector<std::string> fields = splitAtCommas(step);
        if (fields.size() < 2) {
            fields.push_back(anyValue());
            return join(fields);
        }
        const std::size_t at = 1 + rng_.below(static_cast<std::uint32_t>(fields.size() - 1));
        fields[at] = anyValue();
        if (rng_.percent(20)) {
            const std::size_t other = 1 + rng_.below(static_cast<std::uint32_t>(fields.size() - 1));
            fields[other] = anyValue();
        }
        return join(fields);
    }

    std::string wrongCount(const std::string& step) {
        std::vector<std::string> fields = splitAtCommas(step);
        if (fields.size() > 1 && rng_.percent(50)) {
            fields.pop_back();
        } else {
            const std::uint32_t extra = 1 + rng_.below(3);
            for (std::uint32_t i = 0; i < extra; ++i)
                fields.push_back(anyValue());
        }
        return join(fields);
    }

    std::string tableCommand() {
        const CommandRow& row = kCommandTable[rng_.below(kCommandCount)];
        std::vector<std::string> fields{row.name};
        int count = row.count;
        if (row.rule == FieldRule::AtLeast) count += static_cast<int>(rng_.below(3));
        if (row.rule == FieldRule::Padded && rng_.percent(50)) --count;
        if (rng_.percent(10)) count += static_cast<int>(rng_.below(3)) - 1;
        for (int i = 1; i <= count; ++i) {
            if (i == 1 && row.target == Target::ItemWindow) {
                fields.push_back(itemNumber());
                continue;
            }
            bool asked = false;
            for (const ParameterAsk& ask : row.asks)
                if (ask.field == i) asked = true;
            if (asked && rng_.percent(50)) {
                fields.push_back("???");
                continue;
            }
            fields.push_back(anyValue());
        }
        return join(fields);
    }

    std::vector<std::string> windows() {
        const std::string item = std::to_string(rng_.below(static_cast<std::uint32_t>(
            std::max<std::size_t>(world_.itemNames.size(), 1))));
        switch (rng_.below(20)) {
            case 0: return {"DispConsole"};
            case 1: return {"ToListAllItem", "DispData"};
            case 2: return {"DispData"};
            case 3: return {"ToListAllItem", "DispData", "DispItemDlg," + item};
            case 4: return {"DispItemDlg," + item};
            case 5: return {"SelectItemX,2", "SelectItemY,1", "DispOlap"};
            case 6: return {"DispOlap"};
            case 7:
                return {"OpenMolapTab", "SetXColumn,1:0", "SetYColumn,2:0",
                        "SetSyukeiColumn,4:0,3", "SetXTotal,1", "SetYTotal,1", "ExecuteMolap"};
            case 8: return {"DispAddFilterDialog"};
            case 9: return {"DispEditSmallClassDialog"};
            case 10: return {"DispEditMiddleClassDialog"};
            case 11: return {"DispEditLargeClassDialog"};
            case 12: return {"DispExcelDialog," + path()};
            case 13: return {"Data_Close"};
            case 14: return {"Item_Close," + itemNumber()};
            case 15: return {"Olap_Close"};
            case 16: return {"MolapClose"};
            case 17: return {rng_.percent(50) ? "CloseAllWindow" : "CloseWindow," + number()};
            case 18: {
                static const std::vector<std::string> closers = {
                    "OKFilterDialog",        "CancelFilterDialog",      "OKSmallClassDialog",
                    "CancelSmallClassDialog", "OKMiddleClassDialog",    "CancelMiddleClassDialog",
                    "OKLargeClassDialog",    "CancelLargeClassDialog",  "ExcelReadCancel",
                    "ExcelReadExecute",      "ExcelAddExecute"};
                return {rng_.pick(closers)};
            }
            default: return {"MinAll", "Cons_Restore"};
        }
    }

    std::string exeMacro() {
        const std::uint32_t roll = rng_.below(10);
        if (roll < 6 && !world_.macroNames.empty())
            return "ExeMacro," + quoted(rng_.pick(world_.macroNames));
        if (roll < 7) return "ExeMacro," + quoted(world_.selfName);
        if (roll < 8) return "ExeMacro," + quoted("no such macro");
        if (roll < 9) return "ExeMacro";
        return "ExeMacro," + anyValue();
    }

    std::string oddity() {
        switch (rng_.below(14)) {
            case 0: return " ";  // the file cannot hold an empty step; a blank one splits to nothing known
            case 1: return "NoSuchCommand,1,2";
            case 2: return "dispdata";
            case 3: return " DispData";
            case 4: return "DispData,";
            case 5: return ",,,,";
            case 6: return ",DispData";
            case 7: return std::string(300, 'X');
            case 8: return "SelectSet," + std::string(300, '9');
            case 9: return "InputSetName,1," + quoted(std::string(400, 'N'));
            case 10: return "\"DispData\"";
            case 11: return std::string("Disp\x82\xA0");
            case 12: return "ToListItem," + quoted(std::string(300, 'I'));
            default: return "???";
        }
    }

    std::string fileStep() {
        const std::string& f = world_.folder;
        const std::string n = std::to_string(rng_.below(3));
        switch (rng_.below(8)) {
            case 0: return "SaveZbw," + quoted(f + "/rnd" + n + ".zbq") + ",\"\",0";
            case 1: return "SaveZbw," + quoted(f + "/rnd" + n + ".zbq") + ",\"zebra\"," + number();
            case 2: return "SaveZbw," + quoted(f + "/no such folder/rnd.zbq") + ",\"\",0";
            case 3: return "SaveZbw,???,\"\",1";
            case 4: return "SaveZbw," + path() + "," + text() + "," + number();
            case 5: return "ExportCategory," + number() + "," + path();
            case 6: return "ImportCategory," + path();
            default: return "AddData," + path();
        }
    }

    std::string itemWindowStep() {
        // A command of an item window, on an item whose window may well be open.
        std::vector<const CommandRow*> rows;
        for (const CommandRow& row : kCommandTable)
            if (row.target == Target::ItemWindow) rows.push_back(&row);
        const CommandRow& row = *rng_.pick(rows);
        std::vector<std::string> fields{row.name, itemNumber()};
        for (int i = 2; i <= row.count; ++i)
            fields.push_back(rng_.percent(70) ? std::to_string(rng_.below(6)) : anyValue());
        return join(fields);
    }

    // A macro file holds no line break or NUL.
    static std::string clean(std::string step) {
        std::replace_if(
            step.begin(), step.end(), [](char c) { return c == '\r' || c == '\n' || c == '\0'; },
            ' ');
        return step;
    }

    MacroRng rng_;
    const RandomMacroWorld& world_;
};

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

void profileLine(std::string& out, const std::string& key, std::string_view value) {
    const bool guard = !value.empty() &&
                       (isBlank(value.front()) || isBlank(value.back()) ||
                        (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                         value.back() == value.front()));
    out += key;
    out += '=';
    if (guard) out += '"';
    out += value;
    if (guard) out += '"';
    out += "\r\n";
}

void tableLine(std::string& out, const std::string& key, std::string_view value) {
    out += key;
    out += '=';
    out += value;
    out += "\r\n";
}

}  // namespace

std::vector<std::string> RandomMacroSteps(std::uint64_t seed, const RandomMacroWorld& world,
                                          int count) {
    return Generator(seed, world).steps(count);
}

void ReadGestureSteps(const std::string& tablePath, const std::string& folder,
                      RandomMacroWorld& world) {
    std::ifstream in(tablePath, std::ios::binary);
    std::set<std::string> seen;
    std::size_t current = world.sections.size();
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            // A section named again goes on where it stopped.
            const std::string name = line.substr(1, line.find(']') - 1);
            current = 0;
            while (current < world.sections.size() && world.sections[current].first != name)
                ++current;
            if (current == world.sections.size()) world.sections.emplace_back(name, std::vector<std::string>{});
            continue;
        }
        std::vector<std::string> cells;
        std::stringstream cellsIn(line);
        std::string cell;
        while (std::getline(cellsIn, cell, '\t'))
            cells.push_back(cell);
        for (std::size_t i = 5; i < cells.size(); ++i) {
            std::string step = cells[i];
            if (step == "..." || step.empty()) continue;
            for (std::size_t at; (at = step.find("<out>")) != std::string::npos;)
                step.replace(at, 5, folder);
            for (std::size_t at; (at = step.find("\\t")) != std::string::npos;)
                step.replace(at, 2, "\t");
            const std::optional<std::string> bytes = cp932::fromUtf8(step);
            if (!bytes) continue;
            if (current < world.sections.size()) world.sections[current].second.push_back(*bytes);
            if (seen.insert(*bytes).second) world.templates.push_back(*bytes);
        }
    }
}

std::string MacroFileBytes(const MacroStructureBlock& block,
                           const std::vector<GeneratedMacro>& macros) {
    std::string out;
    out += "[" + cp932::literal("ファイル") + "]\r\n";
    profileLine(out, "Version", "2.0");
    out += "[" + cp932::literal("構造定義") + "]\r\n";
    profileLine(out, "ItemCnt", std::to_string(block.itemCount));
    for (std::size_t i = 0; i < block.itemTypes.size(); ++i)
        tableLine(out, "ItemType" + std::to_string(i + 1), block.itemTypes[i]);
    for (std::size_t i = 0; i < block.csvColumns.size(); ++i)
        tableLine(out, "ItemCsvNo" + std::to_string(i + 1), std::to_string(block.csvColumns[i]));
    for (std::size_t i = 0; i < block.groups.size(); ++i)
        tableLine(out, "ItemGroup" + std::to_string(i + 1), block.groups[i]);
    for (const CodeList& list : block.codeLists) {
        const std::string i = std::to_string(list.itemPosition);
        tableLine(out, "CodeCnt" + i, std::to_string(list.codes.size()));
        for (std::size_t k = 0; k < list.codes.size(); ++k)
            tableLine(out, "Code" + i + "_" + std::to_string(k + 1), list.codes[k]);
    }
    if (macros.empty()) return out;
    out += "[" + cp932::literal("マクロ") + "]\r\n";
    for (std::size_t n = 0; n < macros.size(); ++n) {
        const std::string i = std::to_string(n + 1);
        const GeneratedMacro& macro = macros[n];
        profileLine(out, "Name" + i, macro.name);
        std::string explanation;
        for (std::size_t at = 0; at < macro.explanation.size(); ++at) {
            const char c = macro.explanation[at];
            if (c == '\r' || c == '\n') {
                explanation += cp932::literal("<改行>");
                if (c == '\r' && at + 1 < macro.explanation.size() &&
                    macro.explanation[at + 1] == '\n')
                    ++at;
            } else {
                explanation += c;
            }
        }
        profileLine(out, "Exp" + i, explanation);
        profileLine(out, "StepCnt" + i, std::to_string(macro.steps.size()));
        for (std::size_t k = 0; k < macro.steps.size(); ++k)
            profileLine(out, "Step" + i + "_" + std::to_string(k + 1), macro.steps[k]);
    }
    return out;
}

bool StepWritesDataFile(std::string_view step) {
    // A save; an addition of records builds a new working data file.
    for (std::string_view command : {"SaveZbw", "AddData", "ExcelAddExecute", "ExcelReadExecute"})
        if (step.starts_with(command)) return true;
    return false;
}

}  // namespace zbq::test
