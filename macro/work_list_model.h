// WorkListModel: the work list without its widgets. It holds the steps of one macro as they were
// when the list opened, the step that runs next, and each row's caption; step() plays the next
// step through the dispatcher and tells the list what follows. The completion message is shown
// here; a stopping step has already told the user why. User-interface thread only.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class CMacro;

class WorkListModel {
public:
    enum class Outcome { Next, Done, Stopped };

    WorkListModel(CMacro& macro, int index);

    int rowCount() const { return static_cast<int>(steps_.size()); }
    // The caption of the row's command (UTF-8; empty for an unknown command) and its text.
    std::string_view caption(int row) const;
    const std::string& text(int row) const { return steps_[static_cast<std::size_t>(row)]; }
    // The row the next press runs; it carries the arrow.
    int current() const { return current_; }

    // Plays the current step. Next: the arrow moves on; Done: the last step ran and the
    // completion message was shown; Stopped: the step stopped the run. The list closes on both.
    Outcome step();

private:
    CMacro& macro_;
    std::vector<std::string> steps_;
    std::vector<std::string> commands_;
    int current_ = 0;
};
