// The entries of the format-printing menu, from the section [print] of ZBQ.ini: keys PRT01 to
// PRT99 (the key's case does not matter), each "number,menu name,format file". A key that is
// missing or empty, or an entry that is malformed (fewer than two commas, no menu name, no file),
// is skipped and reading goes on. The number is the leading decimal integer of its field (0 when
// there is none), the menu's command id; the format file is a path in the file's CP932, given
// back in UTF-8: a relative one resolved against the program directory, an absolute one as it
// stands.
#pragma once

#include <string>
#include <vector>

#include "app/shared_records.h"
#include "platform/core/profile.h"

namespace zbq::app {

std::vector<PrintMenuEntry> readPrintEntries(const ProfileFile& ini, const std::string& programDir);

}  // namespace zbq::app
