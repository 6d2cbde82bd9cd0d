// Where the console's CP932 texts meet its text panes: "\r\n" line ends become the single "\n"
// that Qt's text documents count as one character, and the panes' fixed-pitch font.
#pragma once

#include <QFont>
#include <QString>

#include <string_view>

QString consoleText(std::string_view cp932);
// The panes' font: fixed pitch, 9 points.
QFont consolePaneFont();
