// The table of the 248 macro commands, in dispatch order: what the dispatcher needs to play a
// step (how many fields, which window must be open, which "???" fields to ask for) and what the
// work list shows (the caption). Names are ASCII, unique and compared byte for byte; captions are
// UTF-8 and go straight to widgets. The table is fixed at build time; read from any thread.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/window_port.h"

class CMacro;

// A step's fields: the command name, then the parameters.
using StepFields = std::vector<std::string>;
// Plays one step whose count, window and "???" fields the dispatcher has already checked; 1 to
// go on, 0 to stop the run (the player has told the user why). It may change its fields.
using Player = std::int32_t (*)(CMacro& macro, StepFields& fields);

enum class FieldRule : std::uint8_t {
    Exact,    // exactly `count` parameters; a command of count 0 ignores any it is given
    AtLeast,  // `count` or more (lists, and fields read without a count of their own)
    Padded,   // one missing last parameter is taken as empty, then exactly `count`
};

enum class Target : std::uint8_t {
    None,         // needs no window
    MainFrame,    // the main window
    Console,      // the console
    ConsolePage,  // the console, then its page `page`
    DataView,     // the original-data window
    CrossWindow,  // the cross-tab window
    MolapWindow,  // the aggregation window
    ItemWindow,   // the item window of the item that field 1 names
    Dialog,       // the console, then the player-opened dialog `dialog`
    ClassDialog,  // the console, then the class list dialog of either level
};

// A field that "???" asks for when the step plays.
struct ParameterAsk {
    std::int8_t field = 0;          // 0: no field is asked for
    const char* prompt = nullptr;   // UTF-8; "%d" stands for field 1 read as a number
    std::int8_t browseMode = -1;    // -1 none, 1 CSV, 2 data file, 3 Excel, 4/5 category file
    const char* missing = nullptr;  // what an empty value lacks (UTF-8); null: empty is taken
};

struct CommandRow {
    const char* name;
    const char* caption;
    FieldRule rule;
    std::int8_t count;  // parameters after the name; for AtLeast the fewest
    Target target;
    ConsolePage page;      // Target::ConsolePage
    PlayerDialog dialog;   // Target::Dialog
    ParameterAsk asks[2];  // in the order they are asked
    bool recorded;         // some user action records it
    Player player;         // null until the window that plays it is built
};

constexpr int kCommandCount = 248;
extern const std::array<CommandRow, kCommandCount> kCommandTable;

// The row whose name equals `name` byte for byte, by a scan in table order; -1 when none.
int FindCommand(std::string_view name);
// The work list's caption of a command; empty for a name that is not in the table.
std::string_view GetCommandCaption(std::string_view name);
