// The spreadsheet probe on a desktop of the test's own: XDG folders and PATH point into a
// temporary folder, so what counts as "installed" is exactly what each case puts there.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>

#include "platform/ui/spreadsheet_probe.h"
#include "tests/support/temp_dir.h"

namespace zbq::test {
namespace {

constexpr const char* kWorkbookType =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet";

class Environment {
public:
    ~Environment() {
        for (const auto& [name, value] : saved_) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
    }
    void set(const std::string& name, const std::string& value) {
        const char* old = std::getenv(name.c_str());
        saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        ::setenv(name.c_str(), value.c_str(), 1);
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

struct Desktop {
    TempDir dir;
    std::string config() const { return dir.file("config"); }
    std::string apps() const { return dir.file("data/applications"); }
    std::string bin() const { return dir.file("bin"); }

    Desktop() {
        for (const std::string& d : {config(), apps(), bin()})
            std::filesystem::create_directories(d);
    }
    void installDesktopFile(const std::string& id) const {
        writeFile(apps() + "/" + id, "[Desktop Entry]\nType=Application\n");
    }
    void installProgram(const std::string& name) const {
        writeFile(bin() + "/" + name, "#!/bin/sh\n");
        ::chmod((bin() + "/" + name).c_str(), 0755);
    }
};

TEST(SpreadsheetProbe, FindsWhatTheDesktopRegistersOrPathHolds) {
    struct Case {
        const char* name;
        std::function<void(const Desktop&)> arrange;
        std::function<std::string(const Desktop&)> expected;
    };
    const Case cases[] = {
        {"nothing installed", [](const Desktop&) {}, [](const Desktop&) { return ""; }},
        {"the user's default application",
         [](const Desktop& d) {
             d.installDesktopFile("calc.desktop");
             writeFile(d.config() + "/mimeapps.list", std::string("[Default Applications]\n") +
                                                          kWorkbookType + "=calc.desktop;\n");
         },
         [](const Desktop&) { return "calc.desktop"; }},
        {"an association whose program is gone, a cached one that is there",
         [](const Desktop& d) {
             writeFile(d.config() + "/mimeapps.list",
                       std::string("[Added Associations]\n") + kWorkbookType + "=gone.desktop;\n");
             d.installDesktopFile("sheets.desktop");
             writeFile(d.apps() + "/mimeinfo.cache",
                       std::string("[MIME Cache]\n") + kWorkbookType + "=sheets.desktop;\n");
         },
         [](const Desktop&) { return "sheets.desktop"; }},
        {"a spreadsheet program on PATH",
         [](const Desktop& d) {
             d.installProgram("gnumeric");
             d.installDesktopFile("writer.desktop");
             writeFile(d.apps() + "/mimeinfo.cache", "[MIME Cache]\ntext/plain=writer.desktop;\n");
         },
         [](const Desktop& d) { return d.bin() + "/gnumeric"; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Desktop desktop;
        Environment env;
        env.set("XDG_CONFIG_HOME", desktop.config());
        env.set("XDG_CONFIG_DIRS", desktop.dir.file("no-config"));
        env.set("XDG_DATA_HOME", desktop.dir.file("data"));
        env.set("XDG_DATA_DIRS", desktop.dir.file("no-data"));
        env.set("PATH", desktop.bin());
        c.arrange(desktop);
        EXPECT_EQ(ui::spreadsheetProgram(), c.expected(desktop));

        // The switch for the road without one.
        env.set("ZBQ_NO_SPREADSHEET", "1");
        EXPECT_EQ(ui::spreadsheetProgram(), "");
    }
}

}  // namespace
}  // namespace zbq::test
