#include "app/excel_read_add.h"

#include "app/ckw_app.h"
#include "app/excel_read_dlg.h"
#include "platform/core/cp932.h"

namespace zbq::app {

void addWorkbookData(CKWApp& app, const std::vector<std::string>& files) {
    StepBuilder step("DispExcelDialog");
    const bool variable = app.macro().isVariable();
    for (const std::string& file : files) {
        step.textOrAsk(cp932::pathToStored(file).value_or(file), variable);
        if (variable) break;  // one "???" asks for the workbook
    }
    app.Record(step);

    const std::optional<std::string> written = runExcelReadDialog(app, files, true);
    if (!written) {
        app.Record(StepBuilder("ExcelReadCancel"));
        return;
    }
    if (app.AddDataFromFile(*written) == 1) app.Record(StepBuilder("ExcelAddExecute"));
}

}  // namespace zbq::app
