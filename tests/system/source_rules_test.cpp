// Rules of the source tree that the compiler does not keep:
//  - the console and the windows record through the application's port and reach nothing of
//    the macro folder, so no file of theirs includes a header of it;
//  - the tests move the focus as a user does, with clicks and keys on an active window: none of
//    their files makes or sends a focus event of its own, calls a widget's focus handler, makes
//    a window active by decree or puts the focus somewhere with setFocus.
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
        {{"tests"}, std::string("QFocus") + "Event", "tests make no focus event"},
        {{"tests"}, std::string("QEvent::Focus") + "In", "tests send no focus event"},
        {{"tests"}, std::string("QEvent::Focus") + "Out", "tests send no focus event"},
        {{"tests"}, std::string("QEvent::FocusAbout") + "ToChange", "tests send no focus event"},
        {{"tests"}, std::string("QEvent::Window") + "Activate", "tests send no activation"},
        {{"tests"}, std::string("focusIn") + "Event(", "tests call no focus handler"},
        {{"tests"}, std::string("focusOut") + "Event(", "tests call no focus handler"},
        {{"tests"}, std::string("setActive") + "Window(", "tests make no window active by decree"},
        {{"tests"}, std::string("setFo") + "cus(", "tests move the focus by clicks and keys"},
    };
    for (const Rule& rule : rules) {
        for (const std::string& line : breaches(rule))
            ADD_FAILURE() << rule.why << ": " << line;
    }
}

}  // namespace
