// Attached files of the original-data window. A cell may name a file (an image, a document, a
// workbook) kept in the folder that ZBQ.ini's [image] Path names; a double-click on the cell opens
// it with the desktop's program for it. A double-click on a cell that names no such file, or on a
// row label, starts the attachment viewer (when the application has one switched on) with the
// record's registration number, the Integer value of item 0.
//
// The name in the cell is taken relative to the folder: "\" separates folders as "/" does, and
// the file is looked for as written, lower-cased, then with each part matched regardless of case.
// A name that is absolute or leaves the folder ("..") is not looked for: it gets the not-found
// message. Messages use the product caption; nothing here changes the grid.
#pragma once

#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zbq::windows {

class DataGridModel;

// True when the lower-cased text ends with one of the attachment extensions.
bool HasAttachmentExtension(std::string_view lowerText);
// The file `name` (UTF-8, "\" or "/" between parts) names inside `folder`; nullopt when there is
// none or the name reaches outside it.
std::optional<std::string> FindAttachment(const std::string& folder, std::string name);

// The double-click on a cell: opens its attached file, or starts the viewer for the row.
void OpenAttachedFile(CKWApp& app, const DataGridModel& model, std::int32_t row,
                      std::int32_t column);
// The viewer for the record in that row; nothing while the viewer is off.
void LaunchAttachmentViewer(CKWApp& app, std::int32_t row);

}  // namespace zbq::windows
