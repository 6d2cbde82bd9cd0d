// CSysPage: the console's system tab. Above, the product, its version and the machine's memory
// (built once, when the page is made); below, the list of open analysis windows, a small window
// manager: its popup menu closes, minimises, restores or maximises the chosen window, or
// minimises or closes all of them.
//
// Every command is a public method taking the row it acts on, so the menu, the macro player and
// a test call the same code; each records its step ("CloseWindow,<row>" ..., "MinimizedAllWindow",
// "CloseAllWindow") once it has acted. A row outside the list does nothing and records nothing;
// a row without a window records its step and does nothing else. The all-window commands go from
// the last row to the first, skip rows without a window and record one step. Closes run under
// the application's CloseOne or CloseAll flag, so the closed window records no close of its own.
// A window that is destroyed leaves the list by itself. User-interface thread only.
#pragma once

#include <QWidget>

#include <cstdint>
#include <string>
#include <string_view>

#include "console/window_list.h"

class CKWApp;
class QMenu;
class QTextEdit;
class QTreeWidget;

class CSysPage : public QWidget {
    Q_OBJECT

public:
    CSysPage(CKWApp& app, QWidget* parent = nullptr);

    // CP932, "\r\n" line ends.
    const std::string& SystemText() const { return systemText_; }

    void AddWindow(std::string_view title, std::string_view kind, std::int32_t image,
                   QWidget* window);
    void RemoveWindow(const QObject* window);
    const WindowList& Windows() const { return list_; }

    // The first selected row; -1 when none is.
    int SelectedRow() const;
    void SelectRow(int row);

    // --- The popup menu's commands ---
    void OnCloseWindow(int row);
    void OnIconizeWindow(int row);
    void OnOriginalSize(int row);
    void OnMaximizeWindow(int row);
    void OnIconizeAll();
    void OnCloseAll();

    QTextEdit* textView() const { return text_; }
    QTreeWidget* listView() const { return view_; }
    QMenu* popupMenu() const { return menu_; }

private:
    // The row's window minimised, restored or maximised by `show`, and the list's `step`.
    void showWindowAt(int row, void (*show)(QWidget*), const char* step);
    void showPopup(const QPoint& at);
    void buildMenu();

    CKWApp& app_;
    std::string systemText_;
    WindowList list_;
    QTextEdit* text_;
    QTreeWidget* view_;
    QMenu* menu_;
};
