// ExportProgress: what a long export shows while it runs. Nothing at first; at the first block
// the console's status text becomes "書き込み中", its progress animation starts and the busy
// flag goes up, and every block lets pending window messages through. At the end everything it
// showed is taken back; an interrupted load's "読込み中" comes back with its animation.
// While one lives, running() is true: an export started from a message it lets through would
// build on a table that is being written out, so the exporter refuses it. User-interface thread
// only.
#pragma once

#include <cstdint>

class CKWApp;

class ExportProgress {
public:
    explicit ExportProgress(CKWApp& app) : app_(app) { ++running_; }
    ~ExportProgress();
    ExportProgress(const ExportProgress&) = delete;
    ExportProgress& operator=(const ExportProgress&) = delete;

    // Between two blocks of the export.
    void block();
    static bool running() { return running_ > 0; }

private:
    CKWApp& app_;
    bool shown_ = false;
    std::int32_t wasBusy_ = 0;
    static inline int running_ = 0;
};
