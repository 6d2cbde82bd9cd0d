// The entries of the format-printing menu, from the section [print] of ZBQ.ini, as
// platform/core/print_section.h reads them for ZBQ and the settings tool alike (keys PRT01 to
// PRT99; malformed entries and a second entry with a number already taken are left out). The
// number is the menu's command id; the format file is a path in the file's CP932, given back in
// UTF-8: a relative one resolved against the program directory, an absolute one as it stands.
#pragma once

#include <string>
#include <vector>

#include "app/shared_records.h"
#include "platform/core/profile.h"

namespace zbq::app {

std::vector<PrintMenuEntry> readPrintEntries(const ProfileFile& ini, const std::string& programDir);

}  // namespace zbq::app
