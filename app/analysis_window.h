// What the main frame asks of the windows it keeps: small interfaces that the original-data
// window, the item windows, the cross-tab and the aggregation windows implement (each in its own
// subsystem), and the factories through which the frame creates them. main() installs the
// factories; until a window's subsystem lands its factory is empty and the frame shows nothing.
// User-interface thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "app/window_port.h"

class QWidget;
class ConsolePort;
class CMainFrame;

class DataViewOps {
public:
    virtual ~DataViewOps() = default;
    virtual void RebuildGrid(std::int32_t flag) = 0;
    virtual std::int32_t ShowRecord(std::int32_t row, std::int32_t item) = 0;
    virtual std::int32_t GetCurrentRow() const = 0;
    // Writes the grid and opens the format file of the print entry with that number.
    virtual void FormatPrint(std::int32_t number) = 0;
};

class ItemWindowOps {
public:
    virtual ~ItemWindowOps() = default;
    virtual std::int32_t GetItemNo() const = 0;
    // The current selection changed: summary, value list, sort marks, counts.
    virtual void Refresh() = 0;
    // Data were added: the pages laid out again and the value list rebuilt.
    virtual void Rebuild() = 0;
};

class CrossWindowOps {
public:
    virtual ~CrossWindowOps() = default;
    virtual std::int32_t RefreshCrossView() = 0;
};

class MolapWindowOps {
public:
    virtual ~MolapWindowOps() = default;
    virtual std::int32_t ExecuteMolap() = 0;
};

// The ten parameters of an aggregation window.
struct MolapParams {
    std::vector<std::int32_t> xItems, yItems, zItems, zKinds;
    std::vector<std::int32_t> xDateUnits, yDateUnits, zUnits;
    std::int32_t xTotalMode = 0;
    std::int32_t yTotalMode = 0;
    std::int32_t decimalsIndex = 0;
};

// The console as the frame keeps it: its widget, the port the application talks to, and its
// pages by identity.
struct ConsoleHandle {
    QWidget* widget = nullptr;
    ConsolePort* port = nullptr;
    std::function<QWidget*(ConsolePage)> page;
};

struct WindowFactories {
    std::function<ConsoleHandle(CMainFrame&)> console;
    std::function<QWidget*(CMainFrame&)> dataView;  // an MDI child, implements DataViewOps
    std::function<QWidget*(CMainFrame&, std::int32_t item)> itemWindow;    // ItemWindowOps
    std::function<QWidget*(CMainFrame&)> crossWindow;                      // CrossWindowOps
    std::function<QWidget*(CMainFrame&, const MolapParams&)> molapWindow;  // MolapWindowOps
};
