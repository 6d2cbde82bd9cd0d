#include "app/print_entries.h"

#include "platform/core/cp932.h"
#include "platform/core/print_section.h"

namespace zbq::app {

std::vector<PrintMenuEntry> readPrintEntries(const ProfileFile& ini,
                                             const std::string& programDir) {
    std::vector<PrintMenuEntry> entries;
    for (PrintEntry& read : readPrintSection(ini).entries) {
        PrintMenuEntry entry;
        entry.number = read.value();
        entry.menuName = std::move(read.menuName);
        entry.formatFile = cp932::pathFromStored(read.file);
        if (entry.formatFile.front() != '/') entry.formatFile = programDir + "/" + entry.formatFile;
        entries.push_back(std::move(entry));
    }
    return entries;
}

}  // namespace zbq::app
