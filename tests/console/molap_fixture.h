// What the aggregation settings page's tests share: items of every type (two of them twice, so
// seven items can be chosen), the page's lists written and read as short texts ("2 5:1" is
// item 2 without a suffix, then item 5 with code 1; aggregation rows add "/kind": "3/1:110"),
// and a main frame with its real console whose aggregation window keeps the parameters it is
// made with.
#pragma once

#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QWidget>

#include <sstream>
#include <string>
#include <vector>

#include "app/analysis_window.h"
#include "app/main_frame.h"
#include "app/step_text.h"
#include "console/cons_sheet.h"
#include "console/drag_item_list.h"
#include "console/molap_settings.h"
#include "console/molap_steps.h"
#include "macro/cmacro.h"
#include "platform/ui/scripted_prompts.h"

namespace zbq::test {

// Items 0 to 8: Code, MultiAns, Integer, Float, String, Date, Time, Integer, Date.
inline void describeMolapItems(CKWApp& app) {
    static const char* const names[] = {"code", "multi", "int",  "float", "text",
                                        "date", "time",  "int2", "date2"};
    static const std::int32_t types[] = {0, 1, 2, 3, 4, 5, 7, 2, 5};
    CStructDef& def = app.StructDef();
    def.items.clear();
    for (int i = 0; i < 9; ++i) {
        CItemDef item;
        item.itemNo = i;
        item.name = names[i];
        item.type = types[i];
        def.items.push_back(item);
    }
    def.itemCount = 9;
}

inline std::string molapRowsText(const std::vector<MolapRow>& rows, bool withKind) {
    std::string text;
    for (const MolapRow& row : rows) {
        if (!text.empty()) text += ' ';
        text += std::to_string(row.item);
        if (withKind) text += '/' + std::to_string(row.kind);
        if (row.code) text += ':' + std::to_string(row.code);
    }
    return text;
}

inline std::vector<MolapRow> molapRowsOf(CKWApp& app, const std::string& text) {
    std::vector<MolapRow> rows;
    std::istringstream in(text);
    std::string piece;
    while (in >> piece) {
        MolapRow row;
        row.item = std::stoi(piece);
        if (auto slash = piece.find('/'); slash != std::string::npos)
            row.kind = std::stoi(piece.substr(slash + 1));
        if (auto colon = piece.find(':'); colon != std::string::npos)
            row.code = std::stoi(piece.substr(colon + 1));
        row.name = app.GetItemName(row.item);
        rows.push_back(row);
    }
    return rows;
}

// A drop of `data` onto the list, as the window system delivers it: the drag enters, then
// drops. True when the list took it.
inline bool dropOnList(COlapItemList& list, const QMimeData& data) {
    QWidget* viewport = list.viewport();
    QDragEnterEvent enter(QPoint(4, 4), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QDropEvent event(QPointF(4, 4), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
    return enter.isAccepted() && event.isAccepted();
}

// The aggregation window's stand-in: its build records the settings it was given, as the
// window's does once its table stands.
class FakeMolapSettingsWindow : public QWidget, public MolapWindowOps {
public:
    FakeMolapSettingsWindow(CKWApp& app, const MolapParams& params) : app_(app), params_(params) {}
    std::int32_t ExecuteMolap() override {
        RecordMolapSettings(app_, params_);
        return 1;
    }

private:
    CKWApp& app_;
    MolapParams params_;
};

struct MolapScreen {
    explicit MolapScreen(bool withWindow = true)
        : withWindow(withWindow), frame(app, factories()), macro(app) {
        describeMolapItems(app);
        app.SetDataLoaded(1);
        frame.ShowConsole();
        console = qobject_cast<CConsSheet*>(frame.console());
        app.RefreshOlapPages();
    }
    WindowFactories factories() {
        WindowFactories f;
        f.console = [this](CMainFrame& owner) { return CConsSheet::MakeHandle(app, &owner); };
        if (withWindow)
            f.molapWindow = [this](CMainFrame&, const MolapParams& p) -> QWidget* {
                executed.push_back(p);
                return new FakeMolapSettingsWindow(app, p);
            };
        return f;
    }
    std::int32_t play(const std::string& step) { return macro.ExecuteStep(step); }
    std::vector<std::string> messages() const { return prompts.messageTexts(); }

    bool withWindow;
    std::vector<MolapParams> executed;
    zbq::ui::ScriptedPrompts prompts;
    CKWApp app;
    CMainFrame frame;
    CMacro macro;
    CConsSheet* console = nullptr;
};

}  // namespace zbq::test
