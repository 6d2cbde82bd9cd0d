#include "console/cons_sys_command.h"

const char* consoleSysCommandStep(ConsoleSysCommand command) {
    switch (command) {
        case ConsoleSysCommand::Maximize:
            return "Cons_Max";
        case ConsoleSysCommand::Minimize:
            return "Cons_Min";
        case ConsoleSysCommand::Restore:
            return "Cons_Restore";
    }
    return "";
}

std::optional<ConsoleSysCommand> sysCommandForStateChange(Qt::WindowStates before,
                                                          Qt::WindowStates after) {
    const bool wasMin = before.testFlag(Qt::WindowMinimized);
    const bool isMin = after.testFlag(Qt::WindowMinimized);
    if (isMin && !wasMin) return ConsoleSysCommand::Minimize;
    if (wasMin && !isMin) return ConsoleSysCommand::Restore;
    if (isMin) return std::nullopt;
    const bool wasMax = before.testFlag(Qt::WindowMaximized);
    const bool isMax = after.testFlag(Qt::WindowMaximized);
    if (isMax && !wasMax) return ConsoleSysCommand::Maximize;
    if (wasMax && !isMax) return ConsoleSysCommand::Restore;
    return std::nullopt;
}
