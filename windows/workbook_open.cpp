#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include "windows/workbook_open.h"

namespace zbq::windows {

void openWrittenWorkbook(CKWApp& app, const std::string& path) {
    // The program start-up found (none: the path is empty) is what opens the workbook.
    if (app.GetExcelPath().empty()) {
        app.ShowError("エクセルの起動に失敗しました");
        return;
    }
    app.LaunchExcel(path);
}

}  // namespace zbq::windows
