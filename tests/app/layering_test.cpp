// The application core calls the console, the windows and the macro object only through the
// ports it owns: no file of app/ but the one that builds the executable includes their headers.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

TEST(AppLayering, TheCoreIncludesNothingOfTheLayersAboveIt) {
    const std::filesystem::path folder = std::filesystem::path(ZBQ_SOURCE_ROOT) / "app";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::filesystem::path& path = entry.path();
        if (path.extension() != ".cpp" && path.extension() != ".h") continue;
        if (path.filename() == "main.cpp") continue;  // wires the program together
        ++files;
        std::ifstream in(path);
        std::string line;
        for (int number = 1; std::getline(in, line); ++number) {
            if (line.rfind("#include", 0) != 0) continue;
            for (const char* above : {"\"console/", "\"windows/", "\"macro/"})
                EXPECT_EQ(line.find(above), std::string::npos)
                    << path.filename().string() << ":" << number << ": " << line;
        }
    }
    EXPECT_GT(files, 10);
}

}  // namespace
