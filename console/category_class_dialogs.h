// How the category editor opens the class dialogs: a hook the dialogs install, so the editor
// works (and is tested) before and without them. Each call edits the list it is given in place
// while the dialog runs modally and returns once it is closed, by either button; a cancelled
// dialog leaves the list as it was. Without a hook the editor's class buttons do nothing.
// User-interface thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/shared_records.h"

class QWidget;

class CategoryClassDialogs {
public:
    virtual ~CategoryClassDialogs() = default;
    virtual void EditSmallClasses(QWidget* parent, std::vector<SmallClassDefinition>& classes,
                                  const std::vector<std::string>& reservedWords) = 0;
    // level 1 middle rows (choices: small class names, then "Others"), 0 large rows.
    virtual void EditClassRows(QWidget* parent, std::vector<ClassGrouping>& rows,
                               const std::vector<std::string>& choices, std::int32_t level) = 0;
};

// The hook in force, or null; install returns the one it replaces (not owned).
CategoryClassDialogs* categoryClassDialogs();
CategoryClassDialogs* setCategoryClassDialogs(CategoryClassDialogs* dialogs);
