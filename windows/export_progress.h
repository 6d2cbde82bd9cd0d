// ExportProgress: what a long export shows while it runs. Nothing at first; at the first block
// the console's status text becomes "書き込み中", its progress animation starts and the busy
// flag goes up, and every block lets pending window messages through. At the end everything it
// showed is taken back; an interrupted load's "読込み中" comes back with its animation.
// User-interface thread only.
#pragma once

#include <cstdint>

class CKWApp;

class ExportProgress {
public:
    explicit ExportProgress(CKWApp& app) : app_(app) {}
    ~ExportProgress();
    ExportProgress(const ExportProgress&) = delete;
    ExportProgress& operator=(const ExportProgress&) = delete;

    // Between two blocks of the export.
    void block();

private:
    CKWApp& app_;
    bool shown_ = false;
    std::int32_t wasBusy_ = 0;
};
