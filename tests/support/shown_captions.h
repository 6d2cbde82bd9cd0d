// A harness snapshot with the captions it quotes as shown taken out, for comparing two programs
// that ran in different languages: the window list's titles and the analysis windows' own (the
// windows' captions), the value kinds of the condition list, the aggregate kinds of the
// aggregation page's list and the groupings and units of its rows, the category editor's roots.
// Everything else a snapshot holds is the same in both languages.
#pragma once

#include <regex>
#include <sstream>
#include <string>

namespace zbq::test {

inline std::string withoutShownCaptions(const std::string& snapshot) {
    static const std::regex kind(R"((\[\d+ "[^"]*") [^\]]*\])");
    static const std::regex root(R"(^  [^ ].* (open|closed)$)");
    static const std::regex suffix(R"((\[\d+ "[^"]*?)\\t[^"]*")");
    std::string out;
    std::istringstream in(snapshot);
    bool categoryEditor = false;
    for (std::string line; std::getline(in, line);) {
        // The category editor's three roots are captions of ours; their classes are data.
        if (!line.starts_with("  ")) categoryEditor = line.starts_with("category editor:");
        if (categoryEditor && std::regex_match(line, root))
            line = "  <root> " + line.substr(line.rfind(' ') + 1);
        if (line.starts_with("window row ") || line.starts_with("cross window: ") ||
            line.starts_with("molap window: ")) {
            const std::size_t open = line.find('"');
            const std::size_t close = line.find('"', open + 1);
            if (close != std::string::npos) line.erase(open, close - open + 2);
        }
        if (line.starts_with("  condition row ")) {
            const std::size_t kind = line.rfind(" \"");
            if (kind != std::string::npos) line.erase(kind);
        }
        if (line.starts_with("molap sum:")) line = std::regex_replace(line, kind, "$1]");
        // A grouping or unit after a row's TAB is a caption of ours; the name before it is data.
        if (line.starts_with("molap X:") || line.starts_with("molap Y:") ||
            line.starts_with("molap sum:"))
            line = std::regex_replace(line, suffix, "$1\"");
        out += line + "\n";
    }
    return out;
}

}  // namespace zbq::test
