// The import dialogs of ZBQ's start-up, as CKWApp::SetImportDialog takes them: workbooks go to
// the Excel import dialog, text files to the text import dialog; either gives the written
// definition file's path, or nullopt when it was cancelled or failed. main() and the test
// harness install the same.
#pragma once

#include "app/ckw_app.h"

namespace zbq::app {

CKWApp::ImportDialog importDialogs(CKWApp& app);

}  // namespace zbq::app
