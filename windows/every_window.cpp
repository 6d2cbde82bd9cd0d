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

namespace {

// The windows' pictures among the item images, as the window list shows them.
constexpr int kMolapWindowImage = 11;
constexpr int kCrossWindowImage = 12;

}  // namespace

WindowFactories everyWindowFactory(CKWApp& app) {
    WindowFactories f;
    f.console = [&app](CMainFrame& frame) { return CConsSheet::MakeHandle(app, &frame); };
    f.dataView = [&app](CMainFrame&) { return CKWView::Make(app); };
    f.itemWindow = [&app](CMainFrame& frame, std::int32_t item) -> QWidget* {
        auto* sheet = new CItemSheet(app, frame, item);
        sheet->setWindowIcon(zbqImage(kItemImages, app.GetItemType(item)));
        return sheet;
    };
    // Each analysis window carries the picture the window list and the console show for it.
    f.crossWindow = [&app](CMainFrame&) {
        QWidget* window = CCrossFrm::Make(app);
        window->setWindowIcon(zbqImage(kItemImages, kCrossWindowImage));
        return window;
    };
    f.molapWindow = [&app](CMainFrame&, const MolapParams& params) {
        QWidget* window = CMOLAPFrm::Make(app, params);
        window->setWindowIcon(zbqImage(kItemImages, kMolapWindowImage));
        return window;
    };
    return f;
}

}  // namespace zbq::windows
