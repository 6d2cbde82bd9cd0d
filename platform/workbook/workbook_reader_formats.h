// The two workbook formats behind WorkbookReader, and what their readers share.
#pragma once

#include <memory>
#include <string>

#include "platform/workbook/workbook_reader.h"

namespace zbq::workbook::detail {

std::unique_ptr<WorkbookReader> openXlsx(const std::string& path, ReadStage stage,
                                         ReadFailure* failure);
std::unique_ptr<WorkbookReader> openXls(const std::string& path, ReadStage stage,
                                        ReadFailure* failure);

// Sets `failure` (when given) and returns false, so that a failing step reads `return fail(...)`.
bool fail(ReadFailure* failure, ReadStage stage, ReadError error, std::string detail,
          std::string sheet = {}, std::string cell = {});

// UTF-8 as CP932 where it can be held, each character CP932 lacks shown as '?': for texts that
// only label things (format codes, the sheet named in a message).
std::string cp932Lossy(std::string_view utf8);

}  // namespace zbq::workbook::detail
