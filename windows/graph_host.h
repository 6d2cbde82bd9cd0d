// The graph host: the graph control's client, opened once at start-up when graph output is on
// and kept for the whole run, lending the control the clipboard, the OK/Cancel question and the
// beep; every graph of the run goes through it. When the control cannot be opened graph output
// is switched off and the reason written to the error log.
//
// The host installed is the one DispGraph uses (tests install their own GraphOutput). Texts to
// the control are converted from CP932 to UTF-8 here. User-interface thread only.
#pragma once

#include <memory>
#include <string>

#include "windows/graph_data.h"

class CKWApp;

namespace zbq::grafvik {
class GraphHost;
}

namespace zbq::windows {

// The output DispGraph sends to; null when none is open.
GraphOutput* graphOutput();
// Installs `output` (not owned; null for none) and returns the one it replaces.
GraphOutput* setGraphOutput(GraphOutput* output);

// Opens the registered control when the application's graph output is on and installs it;
// failing that switches graph output off (the reason to the error log). The host lives until
// the returned object goes.
std::unique_ptr<GraphOutput> openGraphHost(CKWApp& app);

// The host the control is opened with: the clipboard, the OK/Cancel question in a message box of
// the program's, in the language in force, and the beep.
std::unique_ptr<grafvik::GraphHost> makeGraphHost(CKWApp& app);

// The installed output; when none is and graph output is on (a graph asked for before the
// start-up's host was opened, as by the "auto_open" macro), the host is opened then and kept
// for the rest of the run. Null when graph output is off or the control cannot be opened.
GraphOutput* graphOutputFor(CKWApp& app);

}  // namespace zbq::windows
