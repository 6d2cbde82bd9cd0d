#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include "windows/every_window.h"

#include "app/images.h"
#include "app/main_frame.h"
#include "console/cons_sheet.h"
#include "windows/cross_frame.h"
#include "windows/item_sheet.h"
#include "windows/kw_view.h"
#include "windows/molap_frame.h"

namespace zbq::windows {

WindowFactories everyWindowFactory(CKWApp& app) {
    WindowFactories f;
    f.console = [&app](CMainFrame& frame) { return CConsSheet::MakeHandle(app, &frame); };
    f.dataView = [&app](CMainFrame&) { return CKWView::Make(app); };
    f.itemWindow = [&app](CMainFrame& frame, std::int32_t item) -> QWidget* {
        auto* sheet = new CItemSheet(app, frame, item);
        sheet->setWindowIcon(zbqImage(kItemImages, app.GetItemType(item)));
        return sheet;
    };
    f.crossWindow = [&app](CMainFrame&) { return CCrossFrm::Make(app); };
    f.molapWindow = [&app](CMainFrame&, const MolapParams& params) {
        return CMOLAPFrm::Make(app, params);
    };
    return f;
}

}  // namespace zbq::windows
