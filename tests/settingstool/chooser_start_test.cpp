// The entry dialog's file chooser starts in a folder that exists: temp/ beside the tool, made
// when a fresh program folder lacks it (ZBQ makes it only at its first start), or the tool's own
// folder when temp/ cannot be made. A chooser sent to a missing folder opens somewhere else.
#include "settingstool/print_format_dlg.h"
#include "tests/settingstool/settings_fixture.h"

#include <QPushButton>

#include <filesystem>

#include <gtest/gtest.h>

namespace zbq::settings {
namespace {

TEST(ChooserStart, TheMacroFileChooserStartsInAFolderThatExists) {
    for (const bool tempIsAFile : {false, true}) {
        test::ToolFolder folder{test::iniBytes({"[image]", "path=/a"})};
        const std::string temp = folder.dir.file("temp");
        ASSERT_FALSE(std::filesystem::exists(temp));
        // A file of that name stands where the folder would go: it cannot be made.
        if (tempIsAFile) zbq::test::writeFile(temp, "x");
        CPrintFormatDlg dialog({});
        folder.prompts.choose(std::nullopt);
        dialog.findChild<QPushButton*>("browse")->click();
        ASSERT_EQ(folder.prompts.choosers().size(), 1u);
        const std::string start = folder.prompts.choosers()[0].start.toStdString();
        EXPECT_EQ(start, tempIsAFile ? folder.dir.path() : temp) << tempIsAFile;
        EXPECT_TRUE(std::filesystem::is_directory(start)) << start;
    }
}

}  // namespace
}  // namespace zbq::settings
