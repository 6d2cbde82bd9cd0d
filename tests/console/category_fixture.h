// What the category tests share: definitions written compactly, the fixture data set loaded
// with a category frame of its own and a recording macro port, and the texts of the frame.
#pragma once

#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QTreeWidget>

#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/main_frame.h"
#include "app/step_text.h"
#include "console/category_frame.h"
#include "console/category_list_view.h"
#include "console/cons_sheet.h"
#include "macro/cmacro.h"
#include "platform/core/cp932.h"
#include "tests/support/app_harness.h"
#include "tests/support/recording_macro.h"

namespace zbq::test {

inline CategoryDefinition categoryOf(std::string name, std::int32_t type,
                                     std::vector<SmallClassDefinition> small,
                                     std::vector<ClassGrouping> middle = {},
                                     std::vector<ClassGrouping> large = {}) {
    return {std::move(name), type, std::move(small), std::move(middle), std::move(large)};
}

inline std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::vector<std::string> categoryNames(const CKWApp& app) {
    std::vector<std::string> names;
    for (const CategoryDefinition& d : app.GetCategoryList())
        names.push_back(d.name);
    return names;
}

inline std::vector<std::string> messageTexts(const ui::ScriptedPrompts& prompts) {
    return prompts.messageTexts();
}

// A program with its frame, console and macro object, started by the test. Its clock stands
// still, so two programs name their temporary files alike.
struct CategoryProgram {
    CategoryProgram() : frame(h.app(), factories()) {
        h.app().SetClock([] {
            using namespace std::chrono;
            return system_clock::time_point(sys_days{year{2024} / 5 / 6} + hours{12});
        });
    }
    ~CategoryProgram() { h.exit(); }
    WindowFactories factories() {
        WindowFactories f;
        f.console = [this](CMainFrame& owner) { return CConsSheet::MakeHandle(h.app(), &owner); };
        return f;
    }
    COlapFrm& categories() const {
        return *qobject_cast<CConsSheet*>(frame.console())->OlapFrame();
    }
    std::int32_t play(const std::string& step) { return macro.ExecuteStep(step); }
    std::vector<std::string> messages() { return messageTexts(h.prompts()); }
    std::vector<std::string> names() { return categoryNames(h.app()); }

    AppHarness h;
    CMacro macro{h.app()};
    CMainFrame frame;
};

// The fixture loaded, three categories A, B, C beside the built-in one's place taken, and a
// category frame on them, recording every step.
class CategoryFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(h.load());
        h.app().SetCategoryList({categoryOf("A", 1, {{"a", 6, "1", "9"}}),
                                 categoryOf("B", 1, {{"b", 2, "5", ""}}),
                                 categoryOf("C", 6, {{"c", 0, "x", ""}})});
        frame = std::make_unique<COlapFrm>(h.app());
        frame->AttachCategorySet();
        h.app().SetMacroPort(&macro);
    }
    void TearDown() override { h.app().SetMacroPort(nullptr); }

    std::vector<std::string> listNames() const {
        std::vector<std::string> names;
        for (int i = 0; i < frame->list()->topLevelItemCount(); ++i)
            names.push_back(frame->list()->topLevelItem(i)->text(0).toStdString());
        return names;
    }
    std::vector<std::string> appNames() { return categoryNames(h.app()); }
    std::vector<std::string> shownMessages() { return messageTexts(h.prompts()); }

    AppHarness h;
    RecordingMacro macro;
    std::unique_ptr<COlapFrm> frame;
};

}  // namespace zbq::test
