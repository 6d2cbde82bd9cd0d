// The player of the data-file command SaveZbw: the application's own save, scope, path and
// password taken from the step.
#include "app/ckw_app.h"

#include "app/step_text.h"
#include "macro/cmacro.h"
#include "macro/players.h"
#include "platform/core/cp932.h"

// The save reports its own outcome; the run goes on either way. A password recorded as "???"
// is asked in the password dialog, which hides what is typed and keeps to what a data file can
// hold, rather than in the clear text of the variable-value prompt.
std::int32_t PlaySaveZbw(CMacro& macro, StepFields& fields) {
    if (!macro.MacroErrorNoFolder(fields[1], fields[0])) return 0;
    CKWApp& app = macro.App();
    app.SetSaveMode(ReadStepInt(fields[3]) == 0 ? 1 : 2);
    app.SetSavePath(zbq::cp932::pathFromStored(fields[1]));
    if (fields[2] == "???")
        app.SaveDataAndMacro("", 1);
    else
        app.SaveDataAndMacro(fields[2], 0);
    return 1;
}
