// A host for the graph control in tests: clipboard text, scripted answers to the OK/Cancel
// question, and a record of the questions and beeps.
#pragma once

#include <string>
#include <vector>

#include "graphctl/grafvik.h"

namespace zbq::test {

struct FakeGraphHost {
    const char* clipboard = nullptr;  // null: the clipboard holds no text
    bool answerOk = true;
    int beeps = 0;
    std::vector<std::string> questions;  // title + "|" + text

    GrafvikHost services() { return GrafvikHost{this, &clipboardText, &ask, &beep}; }

private:
    static const char* clipboardText(void* self) {
        return static_cast<FakeGraphHost*>(self)->clipboard;
    }
    static int ask(void* self, const char* title, const char* text) {
        auto* host = static_cast<FakeGraphHost*>(self);
        host->questions.push_back(std::string(title) + "|" + text);
        return host->answerOk ? 1 : 0;
    }
    static void beep(void* self) { ++static_cast<FakeGraphHost*>(self)->beeps; }
};

}  // namespace zbq::test
