// The host side of the graph control: finds the registered library through the registry, loads
// it, checks that it speaks our interface version, creates one GraphCtl object and calls its
// methods by their fixed dispatch ids (or by name).
//
// Any failure to find, load or create the control is returned as a null client with the reason;
// the caller then switches graph output off. Nothing here throws or ends the program. A client
// owns its object and the loaded library and is used on one thread. Text is UTF-8.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "graphctl/grafvik.h"
#include "platform/core/registry_file.h"

namespace zbq::grafvik {

// What the host lends the control: the clipboard, an OK/Cancel question and a beep.
class GraphHost {
public:
    virtual ~GraphHost() = default;
    virtual std::string clipboardText() = 0;  // "" when the clipboard holds no text
    virtual bool askOkCancel(const std::string& title, const std::string& text) = 0;
    virtual void beep() = 0;
};

class GraphControlClient {
public:
    // The library registered for the class. `host` may be null and must outlive the client.
    static std::unique_ptr<GraphControlClient> open(const Registry& registry, GraphHost* host,
                                                    std::string* why);
    // A library file given directly.
    static std::unique_ptr<GraphControlClient> openLibrary(const std::string& path, GraphHost* host,
                                                           std::string* why);
    ~GraphControlClient();
    GraphControlClient(const GraphControlClient&) = delete;
    GraphControlClient& operator=(const GraphControlClient&) = delete;

    // Status codes of grafvik.h.
    int dispatchId(const std::string& name, int32_t* dispid) const;
    int invoke(int32_t dispid, const std::vector<std::string>& args, int32_t* result = nullptr);
    int invoke(const std::string& name, const std::vector<std::string>& args,
               int32_t* result = nullptr);

    // The methods ZBQ calls, by their fixed ids.
    int setFilePath(const std::string& path);
    int setData(const std::string& text);
    int closeXls(const std::string& path);
    int exNormal();

private:
    struct Library;
    GraphControlClient(std::unique_ptr<Library> lib, GraphHost* host);

    static const char* clipboardThunk(void* self);
    static int askThunk(void* self, const char* title, const char* text);
    static void beepThunk(void* self);

    std::unique_ptr<Library> lib_;
    GraphHost* host_;
    GrafvikObject* object_ = nullptr;
    std::string clipboard_;  // the text handed to the control during one call
};

}  // namespace zbq::grafvik
