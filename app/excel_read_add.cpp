#include "app/excel_read_add.h"

#include "app/ckw_app.h"
#include "app/excel_read_dlg.h"
#include "platform/core/cp932.h"

namespace zbq::app {

void addWorkbookData(CKWApp& app, const std::vector<std::string>& files) {
    StepBuilder step("DispExcelDialog");
    // A workbook the macro file cannot name is asked for when the step plays, as with 可変.
    bool variable = app.macro().isVariable();
    for (const std::string& file : files)
        variable = variable || !cp932::pathToStored(file);
    if (variable) {
        step.textOrAsk({}, true);  // one "???" asks for the workbook
    } else {
        for (const std::string& file : files)
            step.text(*cp932::pathToStored(file));
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
