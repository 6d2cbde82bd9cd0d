// The engine host hook: the only way the engine reaches its owner (the application object).
//
// Long engine operations run on the user-interface thread; through this interface they show a
// status text, keep the windows alive by dispatching pending messages, and read the one setting
// the engine needs. The engine never owns its host and works without one (a null host): then it
// shows nothing, pumps nothing and uses the defaults below. Tests pass a recording host.
//
// Threads: called only on the thread that runs the engine operation; implementations need not
// be thread-safe. Texts are CP932 bytes.
#pragma once

#include <string_view>

namespace zbq {

class EngineHost {
public:
    // [MEMORY] MemoryReadCsvSize of ZBQ.ini when the key is missing or no host is set.
    static constexpr int kDefaultMemoryReadCsvSizeMb = 50;

    virtual ~EngineHost() = default;

    // A progress text for the status bar ("データ解析中", "項目1処理中"), CP932 bytes.
    virtual void setStatusText(std::string_view text) = 0;
    // Dispatches the window messages that are pending now and returns. The engine calls it
    // often enough to keep the windows responsive, not once per byte.
    virtual void pumpMessages() = 0;
    // [MEMORY] MemoryReadCsvSize: the largest source text, in megabytes, that a build keeps in
    // memory; larger sources go through one temporary column file per item.
    virtual int memoryReadCsvSizeMb() = 0;
};

}  // namespace zbq
