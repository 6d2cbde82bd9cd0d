// Fixtures of the settings tool's tests: ZBQ.ini bytes from readable lines, and a program folder
// holding a ZBQ.ini with the scripted Prompts and the string table of a chosen language in force.
#pragma once

#include "platform/ui/scripted_prompts.h"
#include "tests/support/temp_dir.h"

#include <QLocale>
#include <QString>

class QWidget;

#include <cstdlib>
#include <initializer_list>
#include <string>
#include <string_view>

namespace zbq::settings::test {

// UTF-8 lines as the CP932 bytes of a file with CR LF line ends.
std::string iniBytes(std::initializer_list<std::string_view> lines);
// UTF-8 text as CP932 bytes.
std::string sjis(std::string_view utf8);

// Types `text` into `widget` key by key, any characters (QTest types ASCII only).
void typeText(QWidget* widget, const QString& text);

// A temporary program folder (ZBQ_PROGRAM_DIR points at it) with `ini` as its ZBQ.ini, the
// scripted Prompts installed and the tool's strings in `language`.
class ToolFolder {
public:
    explicit ToolFolder(const std::string& ini,
                        QLocale language = QLocale(QLocale::Japanese, QLocale::Japan));
    ~ToolFolder();

    std::string iniPath() const { return dir.file("ZBQ.ini"); }
    std::string ini() const { return zbq::test::readFile(iniPath()); }

    zbq::test::TempDir dir;
    zbq::ui::ScriptedPrompts prompts;
};

}  // namespace zbq::settings::test
