// WindowPort: how the application object reaches the windows the main frame keeps (the
// original-data window, item windows, the cross-tab and aggregation windows) and the registry of
// open windows that macro players read afresh at every step. The main frame implements it,
// holding guarded pointers, so a window the user closed reads as not open. The null port stands
// until then: nothing is open, and every call gives its neutral result. User-interface thread.
#pragma once

#include <cstdint>

class QWidget;

// Console pages, addressed by identity (the OLAP page has no tab).
enum class ConsolePage { System, ItemSelection, DataSelection, Olap, Molap, Log };

// Dialogs a macro player opened without a modal loop and the following steps act on.
enum class PlayerDialog { Filter, SmallClass, MiddleClass, LargeClass, ExcelRead };

class WindowPort {
public:
    virtual ~WindowPort() = default;

    // Owner of message boxes; null when there is no main window.
    virtual QWidget* mainWindow() const { return nullptr; }

    // --- The frame itself, for start-up, saving and shutdown ---
    // Creates the console or raises it; 0 when it cannot be created. Headless: nothing, 1.
    virtual std::int32_t ShowConsole() { return 1; }
    // Rebuilds and maximises the original-data window, or opens one.
    virtual void ShowDataView() {}
    // Shows the frame maximised once the data set is loaded.
    virtual void ShowMainWindowMaximized() {}
    // Replaces the format-printing menu's items by the application's print entries.
    virtual void BuildPrintMenu() {}
    // Closes the frame without the exit question (a refused or cancelled start-up).
    virtual void CloseWithoutAsking() {}

    // --- Refresh fan-out ---
    virtual void RebuildGrid(std::int32_t /*flag*/) {}
    // -1 when the original-data window is not open.
    virtual std::int32_t ShowRecord(std::int32_t /*row*/, std::int32_t /*item*/) { return -1; }
    virtual std::int32_t GetCurrentRow() const { return -1; }
    virtual void RefreshItemWindows() {}
    virtual void RebuildItemWindows() {}
    // 0 when the window is not open, else its result.
    virtual std::int32_t RefreshCrossView() { return 0; }
    virtual std::int32_t ExecuteMolap() { return 0; }
    // The windows' part of the screen reset before a macro runs (closes the item windows).
    virtual void ResetWindows() {}
    // The status bar's "記録" while a macro is being recorded.
    virtual void SetRecordingIndicator(bool /*on*/) {}

    // --- Registry of open windows (null: not open) ---
    virtual QWidget* console() const { return nullptr; }
    virtual QWidget* consolePage(ConsolePage /*page*/) const { return nullptr; }
    virtual QWidget* dataView() const { return nullptr; }
    virtual QWidget* crossWindow() const { return nullptr; }
    virtual QWidget* molapWindow() const { return nullptr; }
    virtual QWidget* itemWindow(std::int32_t /*item*/) const { return nullptr; }
    virtual QWidget* playerDialog(PlayerDialog /*which*/) const { return nullptr; }
};
