// What the category tests share: definitions written compactly, the fixture data set loaded
// with a category frame of its own and a recording macro port, and the texts of the frame.
#pragma once

#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <gtest/gtest.h>

#include <QTreeWidget>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "console/category_frame.h"
#include "console/category_list_view.h"
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
    std::vector<std::string> appNames() {
        std::vector<std::string> names;
        for (const CategoryDefinition& d : h.app().GetCategoryList())
            names.push_back(d.name);
        return names;
    }
    std::vector<std::string> shownMessages() {
        std::vector<std::string> texts;
        for (const ui::Message& m : h.prompts().messages())
            texts.push_back(m.text.toStdString());
        return texts;
    }

    AppHarness h;
    RecordingMacro macro;
    std::unique_ptr<COlapFrm> frame;
};

}  // namespace zbq::test
