// What the macro tests share: an application object with scripted prompts, a window port that
// opens one window at a time (or every window, or none), a scripted answer to every "???", and
// the macro object.
#pragma once

// The engine's headers name a member "slots", which Qt's keywords would take: they come first.
#include "app/ckw_app.h"

#include <gtest/gtest.h>

#include <QWidget>

#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "app/window_port.h"
#include "macro/cmacro.h"
#include "macro/parameter_asker.h"
#include "platform/core/cp932.h"
#include "platform/ui/scripted_prompts.h"

namespace zbq::test {

// The kinds of window a macro step can need.
enum class WindowKind {
    None,
    MainFrame,
    Console,
    DataView,
    CrossWindow,
    MolapWindow,
    ItemWindow,
    Dialog
};

// One window: its kind, and which dialog or which item's window it is.
struct OneWindow {
    WindowKind kind = WindowKind::None;
    PlayerDialog dialog = PlayerDialog::Filter;  // WindowKind::Dialog
    std::int32_t item = 0;                       // WindowKind::ItemWindow
};

// The windows a test has open, one widget standing for each: `only` one of them (a dialog a
// player opened comes with the console that keeps it, and an open console has all its pages), or,
// with `open`, every window at once for tests that are about runs rather than windows.
class SwitchedWindows : public WindowPort {
public:
    bool open = false;
    OneWindow only;
    int resets = 0;

    QWidget* mainWindow() const override { return shown(is(WindowKind::MainFrame)); }
    void ResetWindows() override { ++resets; }
    QWidget* console() const override {
        return shown(is(WindowKind::Console) || is(WindowKind::Dialog));
    }
    QWidget* consolePage(ConsolePage) const override { return console(); }
    QWidget* dataView() const override { return shown(is(WindowKind::DataView)); }
    QWidget* crossWindow() const override { return shown(is(WindowKind::CrossWindow)); }
    QWidget* molapWindow() const override { return shown(is(WindowKind::MolapWindow)); }
    QWidget* itemWindow(std::int32_t item) const override {
        return shown(is(WindowKind::ItemWindow) && only.item == item);
    }
    QWidget* playerDialog(PlayerDialog dialog) const override {
        return shown(is(WindowKind::Dialog) && only.dialog == dialog);
    }

private:
    bool is(WindowKind kind) const { return only.kind == kind; }
    QWidget* shown(bool one) const { return open || one ? &widget_ : nullptr; }
    mutable QWidget widget_;
};

class ScriptedAsker : public ParameterAsker {
public:
    std::deque<std::string> answers;                          // none left: cancelled
    std::vector<std::pair<std::string, std::int32_t>> asked;  // prompt, browse mode

    std::string askMacroParameter(std::string_view prompt, std::int32_t browseMode) override {
        asked.emplace_back(std::string(prompt), browseMode);
        if (answers.empty()) return {};
        std::string answer = std::move(answers.front());
        answers.pop_front();
        return answer;
    }
};

class MacroTest : public ::testing::Test {
protected:
    MacroTest() {
        app.SetWindowPort(&windows);
        macro.SetParameterAsker(&asker);
    }
    ~MacroTest() override { app.SetWindowPort(nullptr); }

    // The texts of the message boxes shown so far (UTF-8).
    std::vector<std::string> messages() const { return prompts.messageTexts(); }
    std::string lastMessage() const {
        return prompts.messages().empty() ? std::string()
                                          : prompts.messages().back().text.toStdString();
    }

    ui::ScriptedPrompts prompts;
    CKWApp app;
    SwitchedWindows windows;
    ScriptedAsker asker;
    CMacro macro{app};
};

// A structure definition of every item type: a Code item in one group, an Integer item in two,
// a MultiAns item whose CSV column comes after the next item's, Japanese names and codes.
inline CStructDef everyItemType() {
    const auto cp = [](const char* utf8) { return cp932::literal(utf8); };
    CStructDef def;
    const struct {
        const char* name;
        std::int32_t type;
        std::vector<std::string> groups;
        std::int32_t csv;
    } items[] = {
        {"ID", 4, {}, 0},
        {"性別", 0, {cp("属性")}, 1},
        {"年齢", 2, {cp("属性"), cp("基本")}, 2},
        {"趣味", 1, {}, 4},
        {"満足度", 3, {}, 3},
        {"回答日", 5, {}, 5},
        {"回答時刻", 7, {}, 6},
    };
    for (const auto& item : items) {
        CItemDef d;
        d.itemNo = static_cast<std::int32_t>(def.items.size());
        d.name = cp(item.name);
        d.type = item.type;
        d.groups = item.groups;
        d.csvColumn = item.csv;
        def.items.push_back(d);
    }
    def.itemCount = static_cast<std::int32_t>(def.items.size());
    const auto codes = [&](std::int32_t itemNo,
                           std::vector<std::pair<const char*, const char*>> list) {
        CCodeDef c;
        c.itemNo = itemNo;
        for (const auto& [code, name] : list) {
            CCodeEntry e;
            e.code = cp(code);
            e.name = cp(name);
            c.codes.push_back(e);
        }
        def.codeLists.push_back(c);
    };
    codes(1, {{"1", "男性"}, {"2", "女性"}});
    codes(3, {{"1", "読書"}, {"2", "旅行"}, {"3", "料理"}});
    return def;
}

inline const std::string kNoWindow =
    "画面が表示されていないため、マクロを実行できません。\nマクロの実行を中止します。";

inline std::string countMessage(std::string_view command, int parameters) {
    return "コマンド[" + std::string(command) +
           "]のパラメータ数が不正です。\nこのコマンドのパラメータ数は[" +
           std::to_string(parameters) + "]個です。\nマクロの実行を中止します。";
}

}  // namespace zbq::test
