// The application core end to end, headless: the harness's fixture is parsed, built, opened and
// restored through CKWApp, and what the core then holds is the golden snapshot. Saving its
// settings into the data file and opening that file again gives the same snapshot.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/support/app_harness.h"
#include "tests/support/recording_console.h"

namespace zbq::test {
namespace {

std::string golden(const std::string& name, const std::string& actual) {
    const std::string path = std::string(ZBQ_GOLDEN_DIR) + "/" + name;
    if (std::getenv("ZBQ_UPDATE_GOLDEN")) {
        std::ofstream(path, std::ios::binary) << actual;
        return actual;
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(AppHarness, LoadedFixtureMatchesGoldenSnapshot) {
    AppHarness h;
    ASSERT_TRUE(h.load());
    EXPECT_TRUE(h.prompts().messages().empty());
    const std::string snapshot = h.snapshot();
    EXPECT_EQ(golden("fixture_loaded.snapshot", snapshot), snapshot);
}

// Everything the settings blob carries survives a save into the data file and a load of it:
// sets with their maps, the marked set made current, display items, categories, the next set
// number, the definition. Search conditions are not saved; the free condition items are
// rebuilt from the definition.
TEST(AppHarness, SettingsSavedIntoTheDataFileRestoreTheSameState) {
    std::string before, dataFile;
    {
        AppHarness h;
        ASSERT_TRUE(h.load());
        CKWApp& app = h.app();
        RecordingConsole console;
        app.SetConsolePort(&console);
        ASSERT_EQ(app.Search().KWsrch("#1=1"), 5);
        const KW_mapPtr men = app.Search().KWmapGet();
        std::vector<SetRecord> sets = app.Sets();
        sets.push_back({1, 1, "#1=1", "No.1 #1=1 / 5", "", men, men->byteLength(), 5});
        app.SetSetList(2, sets);
        console.currentSetNo = 1;
        app.SetDisplayItems({3, 0, 6});
        std::vector<CategoryDefinition> categories = app.GetCategoryList();
        categories.push_back({"年代", 1, {{"若", 4, "29", ""}}, {{"中", "若"}}, {}});
        app.SetCategoryList(categories);
        const auto blob = app.BuildSettingsBlob();
        ASSERT_TRUE(blob.has_value());
        ASSERT_GE(app.KWwriteBlob(app.GetTempDataFile(), *blob), 0);
        app.SetConsolePort(nullptr);
        before = h.snapshot();
        dataFile = readFile(app.GetTempDataFile());
    }
    AppHarness h;
    CKWApp& app = h.app();
    writeFile(h.file("saved.zbq"), dataFile);
    app.SetLoadMode(2);
    app.SetDataFilePath(h.file("saved.zbq"));
    ASSERT_EQ(app.Search().KWopen(app.GetDataFilePath(), ""), 0);
    ASSERT_EQ(app.ReadSettingsBlob(), 1);
    ASSERT_EQ(app.ParseDefinitionFile(), 1);
    app.RestoreDisplayList();
    ASSERT_EQ(app.RestoreSets(), 1);
    app.InitConditionItems();
    app.RestoreCategories();
    app.SelectRestoredSet();
    app.SetDataLoaded(1);

    const auto withoutModes = [](std::string text) {
        const std::size_t end = text.find('\n');
        text.erase(0, end + 1);  // load mode
        const std::size_t restored = text.find("restored set: ");
        text.erase(restored, text.find('\n', restored) - restored + 1);
        return text;
    };
    EXPECT_EQ(withoutModes(h.snapshot()), withoutModes(before));
    EXPECT_EQ(app.GetRestoredSetNo(), 1);
    EXPECT_EQ(app.Search().KWgetDataCount(), 5);  // the marked set is current again
    EXPECT_TRUE(h.prompts().messages().empty());
}

}  // namespace
}  // namespace zbq::test
