// The console's six pages by identity: the tab each one has (the OLAP page has none), its
// caption and the macro step a change to its tab records. The strip shows five tabs:
// 0 System, 1 Item selection, 2 Data selection, 3 Multi-dimensional, 4 Log.
#pragma once

#include <array>
#include <optional>

#include "app/window_port.h"

inline constexpr int kConsoleTabCount = 5;

// Every page, in the order the sheet builds them.
inline constexpr std::array<ConsolePage, 6> kConsolePages = {
    ConsolePage::System, ConsolePage::ItemSelection, ConsolePage::DataSelection,
    ConsolePage::Olap,   ConsolePage::Molap,         ConsolePage::Log};

// The tab position of a page; nullopt for the OLAP page.
std::optional<int> consoleTabOf(ConsolePage page);
// The page at a tab position; nullopt outside 0 to 4.
std::optional<ConsolePage> consolePageAtTab(int tab);
// The caption of the page's tab (UTF-8; the OLAP page's as it would read).
const char* consolePageCaption(ConsolePage page);
// "OpenSystemTab", "OpenItemSelTab", "OpenDataSelTab", "OpenOlapTab", "OpenMolapTab",
// "OpenLogTab".
const char* consoleOpenTabStep(ConsolePage page);
