#include "app/excel_read_start.h"

#include "app/excel_read_dlg.h"
#include "app/text_read_dlg.h"

namespace zbq::app {

CKWApp::ImportDialog importDialogs(CKWApp& app) {
    return [&app](CKWApp::ImportKind kind,
                  const std::vector<std::string>& files) -> std::optional<std::string> {
        if (kind == CKWApp::ImportKind::Text) return runTextReadDialog(app, files);
        return runExcelReadDialog(app, files, false);
    };
}

}  // namespace zbq::app
