// The desktop opener: the replaceable service, and the desktop's own refusing a missing file
// without starting anything.
#include "platform/ui/desktop_opener.h"

#include <gtest/gtest.h>

using namespace zbq::ui;

TEST(DesktopOpener, ScriptedOpenerRecordsAndAnswersWhileInstalled) {
    DesktopOpener* before = &opener();
    {
        ScriptedOpener scripted(false);
        EXPECT_EQ(&opener(), &scripted);
        EXPECT_FALSE(opener().open("/opt/zbq/ZBQIniViewer.chm"));
        scripted.setResult(true);
        EXPECT_TRUE(opener().open("/opt/zbq/a b.pdf"));
        EXPECT_EQ(scripted.opened(),
                  (std::vector<QString>{"/opt/zbq/ZBQIniViewer.chm", "/opt/zbq/a b.pdf"}));
    }
    EXPECT_EQ(&opener(), before);
}

TEST(DesktopOpener, DesktopOpenerRefusesAMissingFile) {
    EXPECT_FALSE(opener().open("/nonexistent/zbq/help.chm"));
}
