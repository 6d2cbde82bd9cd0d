// CMainFrame: ZBQ's main window. An MDI frame whose client area holds the original-data window,
// and the owner of every other top-level window: the console, the cross-tab window, the
// aggregation window and up to 255 item windows. It creates them (through the factories of
// analysis_window.h), finds, raises and closes them, reports them to the console's window list,
// and decides whether the program may close.
//
// It implements the application's window port: the registry of open windows (guarded pointers,
// so a window the user closed reads as not open) and the refresh fan-out. Every menu command is
// a public method with explicit arguments, so the menu, the macro player and a test call the
// same code. User-interface thread only.
#pragma once

#include <QMainWindow>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "app/analysis_window.h"
#include "app/window_port.h"

class CKWApp;
class QAction;
class QLabel;
class QMdiArea;
class QMenu;

class CMainFrame : public QMainWindow, public WindowPort {
    Q_OBJECT

public:
    // Command ids of the menus (the macro menu's are handled by the macro object).
    enum Command : std::int32_t {
        kShowConsole = 32772,
        kHelp = 32775,
        kPrintPlaceholder = 32797,
        kRecordStart = 32830,
        kRecordStop = 32831,
        kMacroMenu = 32832,
        kIconizeAll = 57649,
        kAbout = 57664,
        kExit = 57665,
    };
    static constexpr int kMaxItemWindows = 255;

    // Installs itself as the application's window port; the destructor removes it.
    CMainFrame(CKWApp& app, WindowFactories factories);
    ~CMainFrame() override;

    void setFactories(WindowFactories factories) { factories_ = std::move(factories); }
    // The macro menu's three commands go here (the macro object's dialogs).
    void setMacroCommandHandler(std::function<void(std::int32_t command)> handler) {
        macroHandler_ = std::move(handler);
    }

    // --- Menu commands ---
    // Runs one of the frame's own commands by its id, as its menu item does; false for an id
    // no item has. Format-printing entries are never reached from here.
    bool runCommand(std::int32_t command);
    // What a format-printing entry of that number does: prints the original-data window (when
    // one is open); false when no entry has the number.
    bool RunPrintEntry(std::int32_t number);
    // "ｺﾝｿｰﾙを表示": ShowConsole, recording DispConsole when it succeeded.
    void OnShowConsole();
    // Minimises every listed window (last row first), then the console; records MinAll.
    void OnIconizeAll();
    void OnHelp();
    void OnAbout();
    QAction* action(std::int32_t command) const;
    QMenu* printMenu() const { return printMenu_; }
    // Enables the macro menu's items by the recording flag.
    void updateMacroMenu();

    // --- Closing ---
    // What a close request does: asks, or refuses while loading or adding data. True to close.
    bool RequestClose();
    void SetConfirmOnClose(bool on) { confirmOnClose_ = on; }
    bool ConfirmOnClose() const { return confirmOnClose_; }

    // --- Windows ---
    std::int32_t ShowConsole() override;
    void DestroyConsole();
    void ShowDataView() override;
    void UnregisterDataView();
    std::int32_t ShowCrossWindow();
    void CloseCrossWindow();
    std::int32_t ShowMolapWindow(const MolapParams& params);
    void CloseMolapWindow();
    QWidget* FindItemSheet(std::int32_t item) const;
    // 1 shown or raised; 0 when the window could not be made or 255 are open already.
    std::int32_t ShowItemSheet(std::int32_t item);
    std::int32_t RemoveItemSheet(std::int32_t item);
    void CloseAllItemSheets();
    std::int32_t ItemSheetCount() const { return static_cast<std::int32_t>(items_.size()); }
    // A dialog a macro player opened without a modal loop (null forgets it).
    void SetPlayerDialog(PlayerDialog which, QWidget* dialog);

    // --- Window port ---
    QWidget* mainWindow() const override { return const_cast<CMainFrame*>(this); }
    void ShowMainWindowMaximized() override;
    void BuildPrintMenu() override;
    void CloseWithoutAsking() override;
    void RebuildGrid(std::int32_t flag) override;
    std::int32_t ShowRecord(std::int32_t row, std::int32_t item) override;
    std::int32_t GetCurrentRow() const override;
    void RefreshItemWindows() override;
    void RebuildItemWindows() override;
    std::int32_t RefreshCrossView() override;
    std::int32_t ExecuteMolap() override;
    void ResetWindows() override;
    QWidget* console() const override { return console_; }
    QWidget* consolePage(ConsolePage page) const override;
    QWidget* dataView() const override { return dataView_; }
    QWidget* crossWindow() const override { return cross_; }
    QWidget* molapWindow() const override { return molap_; }
    QWidget* itemWindow(std::int32_t item) const override { return FindItemSheet(item); }
    QWidget* playerDialog(PlayerDialog which) const override;

    // The status bar's recording indicator.
    void SetRecordingIndicator(bool on) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct ItemWindow {
        std::int32_t item;
        QPointer<QWidget> window;
    };

    void buildMenus();
    void placeCentred(QWidget* window, int width, int height, int dx, int dy);
    // Makes the frame the owner of a window of its own (the transient-for hint on X11), so that
    // the window manager keeps it above the frame.
    void own(QWidget* window);
    // Drops the entries of item windows destroyed meanwhile; an item left without a window gets
    // every value back in the engine.
    void forgetClosedItemWindows(const QObject* dying = nullptr);
    // The engine's exclusion flags of the item go when its last registered window goes; a window
    // taken off the registry and deleted later must not reach a newer window's marks.
    void itemWindowGone(std::int32_t item);

    CKWApp& app_;
    WindowFactories factories_;
    std::function<void(std::int32_t)> macroHandler_;
    QMdiArea* mdi_;
    QMenu* printMenu_ = nullptr;
    QLabel* recordingLabel_ = nullptr;
    std::map<std::int32_t, QAction*> actions_;
    bool confirmOnClose_ = true;

    // The window that last had the keyboard: the one a user minimised from its title bar.
    QPointer<QWindow> lastFocused_;
    QPointer<QWidget> console_;
    ConsoleHandle consoleHandle_;
    QPointer<QWidget> dataView_;
    QPointer<QWidget> cross_;
    QPointer<QWidget> molap_;
    std::vector<ItemWindow> items_;
    std::map<PlayerDialog, QPointer<QWidget>> playerDialogs_;
};
