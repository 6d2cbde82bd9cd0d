// What the cross-tab page's and class dialogs' tests share: items of every type, a cross-tab
// window that keeps each settings block it is shown with, and a main frame with its real
// console, the data set marked loaded, the steps played through the dispatcher.
#pragma once

#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <QWidget>

#include <string>
#include <vector>

#include "app/analysis_window.h"
#include "app/main_frame.h"
#include "app/step_text.h"
#include "console/cons_sheet.h"
#include "console/olap_page.h"
#include "macro/cmacro.h"
#include "platform/ui/scripted_prompts.h"

namespace zbq::test {

// Items 0 to 6: Code, MultiAns, Integer, Float, String, Date, Time.
inline void describeOlapItems(CKWApp& app) {
    static const char* const names[] = {"code", "multi", "int", "float", "text", "date", "time"};
    static const std::int32_t types[] = {0, 1, 2, 3, 4, 5, 7};
    CStructDef& def = app.StructDef();
    def.items.clear();
    for (int i = 0; i < 7; ++i) {
        CItemDef item;
        item.itemNo = i;
        item.name = names[i];
        item.type = types[i];
        def.items.push_back(item);
    }
    def.itemCount = 7;
}

// The cross-tab window's stand-in: every refresh keeps the block it reads.
class FakeCrossWindow : public QWidget, public CrossWindowOps {
public:
    FakeCrossWindow(CKWApp& app, std::vector<CrossSettings>& blocks) : app_(app), blocks_(blocks) {}
    std::int32_t RefreshCrossView() override {
        blocks_.push_back(app_.GetCrossSettings());
        return 1;
    }

private:
    CKWApp& app_;
    std::vector<CrossSettings>& blocks_;
};

struct OlapScreen {
    explicit OlapScreen(bool withCrossWindow = true)
        : withCross(withCrossWindow), frame(app, factories()), macro(app) {
        describeOlapItems(app);
        app.InitCategories(1);
        app.SetDataLoaded(1);
        frame.ShowConsole();
        console = qobject_cast<CConsSheet*>(frame.console());
        page = console->OlapPage();
        app.RefreshOlapPages();
    }
    WindowFactories factories() {
        WindowFactories f;
        f.console = [this](CMainFrame& owner) { return CConsSheet::MakeHandle(app, &owner); };
        if (withCross)
            f.crossWindow = [this](CMainFrame&) -> QWidget* {
                return new FakeCrossWindow(app, blocks);
            };
        return f;
    }
    std::int32_t play(const std::string& step) { return macro.ExecuteStep(step); }
    std::vector<std::string> messages() const { return prompts.messageTexts(); }

    bool withCross;
    std::vector<CrossSettings> blocks;
    zbq::ui::ScriptedPrompts prompts;
    CKWApp app;
    CMainFrame frame;
    CMacro macro;
    CConsSheet* console = nullptr;
    COlapPage* page = nullptr;
};

inline const std::string kStop = "\nマクロの実行を中止します。";
inline std::string rangeMessage(const std::string& command) {
    return "コマンド[" + command + "]のパラメータが範囲を超えています。" + kStop;
}
inline std::string invalidMessage(const std::string& command) {
    return "コマンド[" + command + "]のパラメータが不正です。" + kStop;
}
inline std::string noWindowMessage() {
    return "画面が表示されていないため、マクロを実行できません。" + kStop;
}

}  // namespace zbq::test
