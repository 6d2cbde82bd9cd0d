// CSettingsApp: the settings tool as a program. It runs the main dialog on the ZBQ.ini beside the
// executable (the program directory, platform/core/program_paths.h) and ends when the dialog
// closes. No command line, no document.
#pragma once

namespace zbq::settings {

class CSettingsApp {
public:
    // Needs a QApplication. Returns the exit code: 0 when the dialog ran, 1 when the settings
    // file could not be read.
    static int run();
};

}  // namespace zbq::settings
