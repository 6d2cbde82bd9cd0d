// Rules of the source tree that the compiler does not keep:
//  - the console and the windows record through the application's port and reach nothing of
//    the macro folder, so no file of theirs includes a header of it;
//  - the tests that record what a user does move the focus as a user does, with clicks and keys
//    on an active window, so none of their files makes a focus event of its own.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Rule {
    std::vector<std::string> folders;  // below the source root, searched recursively
    std::string needle;                // a line holding it breaks the rule
    std::string why;
};

bool isSource(const fs::path& path) {
    const std::string ext = path.extension().string();
    return ext == ".h" || ext == ".cpp";
}

// "file:line: text" of every line in the rule's folders that holds its needle.
std::vector<std::string> breaches(const Rule& rule) {
    std::vector<std::string> found;
    for (const std::string& folder : rule.folders) {
        const fs::path root = fs::path(ZBQ_SOURCE_DIR) / folder;
        EXPECT_TRUE(fs::is_directory(root)) << root;
        if (!fs::is_directory(root)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            if (!entry.is_regular_file() || !isSource(entry.path())) continue;
            std::ifstream in(entry.path());
            std::string line;
            for (int number = 1; std::getline(in, line); ++number)
                if (line.find(rule.needle) != std::string::npos)
                    found.push_back(folder + "/" + entry.path().filename().string() + ":" +
                                    std::to_string(number) + ": " + line);
        }
    }
    return found;
}

TEST(SourceRules, HoldEverywhere) {
    const Rule rules[] = {
        {{"console", "windows"}, "#include \"macro/", "pages and windows include no macro header"},
        {{"console", "windows"}, "#include <macro/", "pages and windows include no macro header"},
        // Spelt in two pieces, so that this file does not hold what it forbids.
        {{"tests/system", "tests/support"},
         std::string("QFocus") + "Event",
         "user-input tests make no focus event"},
        {{"tests/system", "tests/support"},
         std::string("QEvent::Focus") + "In",
         "user-input tests make no focus event"},
        {{"tests/system", "tests/support"},
         std::string("QEvent::Focus") + "Out",
         "user-input tests make no focus event"},
    };
    for (const Rule& rule : rules) {
        for (const std::string& line : breaches(rule))
            ADD_FAILURE() << rule.why << ": " << line;
    }
}

}  // namespace
