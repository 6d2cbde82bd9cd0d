// The status text, progress animation and busy flag of a long export.
#include "windows/export_progress.h"

#include "app/ckw_app.h"
#include "platform/core/cp932.h"
#include "platform/core/shown_text.h"

void ExportProgress::block() {
    if (!shown_) {
        shown_ = true;
        wasBusy_ = app_.IsAddingData();
        if (wasBusy_) {
            app_.StopProgress();
            app_.SetStatusText("");
        }
        app_.SetStatusText(zbq::cp932::literal(ZBQ_SHOWN("書き込み中")));
        app_.StartProgress();
        app_.SetAddingData(1);
    }
    app_.PumpMessages();
}

ExportProgress::~ExportProgress() {
    --running_;
    if (!shown_) return;
    app_.StopProgress();
    app_.SetStatusText("");
    app_.SetAddingData(wasBusy_);
    if (wasBusy_) {
        app_.SetStatusText(zbq::cp932::literal(ZBQ_SHOWN("読込み中")));
        app_.StartProgress();
    }
}
