#include "app/program_run.h"

#include "app/ckw_app.h"

namespace zbq::app {

int runProgram(CKWApp& app, const std::vector<std::string>& arguments,
               const std::function<int()>& eventLoop, const std::function<void()>& startUpOver) {
    const bool run = app.InitInstance(arguments);
    if (startUpOver) startUpOver();
    const int status = run ? eventLoop() : kStartRefused;
    app.ExitInstance();
    return status;
}

}  // namespace zbq::app
