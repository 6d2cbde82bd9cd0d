// Random macros for the whole program: from a seed, a macro of many steps that mixes steps a
// user's gestures record on the harness's fixture with the same steps broken in every way a
// hand-edited or damaged macro file can break them (fields out of range, wrong field counts,
// negative numbers and numbers beyond 32 bits, quotes and commas, CP932 text and invalid bytes,
// "???" fields, paths to missing folders and into the test's folder), random commands of the
// command table with fields of the right and the wrong count, windows opened and closed in
// between, nested runs of other macros (and of the macro itself), and the macro file that holds
// them, byte for byte as the macro file's format lays it out.
//
// A seed gives the same steps on every machine and library: the generator draws from its own
// generator (splitmix64), never from the standard distributions. No Qt; texts are CP932 bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "macro/structure_block.h"

namespace zbq::test {

// splitmix64: small, fast, and the same sequence everywhere.
class MacroRng {
public:
    explicit MacroRng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next();
    // Uniform in [0, n); n > 0. (The tiny bias of a modulo is of no matter here.)
    std::uint32_t below(std::uint32_t n) { return static_cast<std::uint32_t>(next() % n); }
    // True with probability percent / 100.
    bool percent(std::uint32_t percent) { return below(100) < percent; }
    template <typename T>
    const T& pick(const std::vector<T>& values) {
        return values[below(static_cast<std::uint32_t>(values.size()))];
    }

private:
    std::uint64_t state_;
};

// What the generator knows of the world the macro plays in.
struct RandomMacroWorld {
    // Steps known to play on the fixture (CP932), e.g. from gestures.tsv; "<out>" already
    // replaced by `folder`.
    std::vector<std::string> templates;
    // The same steps by the window they act on, as gestures.tsv groups them ("grid", "cross",
    // "item:4", "console", "olap", "molap", "syslist", ...).
    std::vector<std::pair<std::string, std::vector<std::string>>> sections;
    // The test's own folder (ASCII): files are written and read there. It holds a workbook of
    // records to add, "add.xlsx", and two that are none: "bad.xlsx" and "empty.xlsx".
    std::string folder;
    // Item names of the data set (CP932), in item order (item numbers from 1... as the
    // original-data window counts its columns, from 0).
    std::vector<std::string> itemNames;
    // Names of the other macros the file holds (CP932), for ExeMacro.
    std::vector<std::string> macroNames;
    // The name of the macro being generated, so that it can call itself.
    std::string selfName;
};

// `count` steps for `seed`. No step holds CR, LF or NUL (a macro file cannot hold them).
std::vector<std::string> RandomMacroSteps(std::uint64_t seed, const RandomMacroWorld& world,
                                          int count);

// The steps of a gestures table (gestures.tsv: UTF-8, "\t" for a TAB, "<out>" for the test's
// folder), as CP932 step texts, in order, without repeats, into `world` (templates and sections).
void ReadGestureSteps(const std::string& tablePath, const std::string& folder,
                      RandomMacroWorld& world);

struct GeneratedMacro {
    std::string name;  // CP932
    std::string explanation;
    std::vector<std::string> steps;
};

// The macro file holding `macros` for the data set of `block`: CP932, CR LF, the three sections
// in order, every value that reading would alter kept inside one more pair of quotes.
std::string MacroFileBytes(const MacroStructureBlock& block,
                           const std::vector<GeneratedMacro>& macros);

// Whether a step's command writes a data file (a save, with the macro file beside it, or an
// addition of records).
bool StepWritesDataFile(std::string_view step);

}  // namespace zbq::test
