// BIFF workbooks (.xls) read by our own code: the workbook stream out of the compound file
// (libgsf) and one walk of its records, every length checked against its record and the stream.
//
// BIFF8 (Excel 97 and later) and BIFF5/BIFF7 (Excel 5 and 95) are read; older workbooks are no
// compound files and are told apart by WorkbookReader::open. The workbook's globals (sheet list,
// shared strings, cell formats, date system, code page) are read when it opens; a worksheet's
// cells when it is opened, in one pass over its records, charts and other substreams inside it
// passed over by their bounds. No Qt.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/workbook/workbook_reader.h"

namespace zbq::workbook::detail {

// What taking the workbook stream out of a compound file came to.
enum class XlsStream { Ok, NotCompound, NoWorkbook, Encrypted, Damaged };

// The workbook stream ("Workbook", or "Book" in Excel 5 and 95) of the compound file at `path`
// or held in `file`; larger than the file could hold counts as damaged.
XlsStream readWorkbookStream(const std::string& path, std::string& stream);
XlsStream readWorkbookStreamFromMemory(std::string_view file, std::string& stream);

// The workbook held in `stream` (a workbook stream's bytes); `name` says which file in failures.
std::unique_ptr<WorkbookReader> openXlsStream(std::string stream, const std::string& name,
                                              ReadStage stage, ReadFailure* failure);

// BIFF2-BIFF4 workbooks are single streams of records that begin with a BOF record of their own
// kind: true when `head` (the file's first bytes) is one.
bool isOldBiff(std::string_view head);

}  // namespace zbq::workbook::detail
