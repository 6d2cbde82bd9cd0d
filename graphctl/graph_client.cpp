// Loading the graph control and calling it.
#include "graph_client.h"

#include <dlfcn.h>

#include "graphctl/registration.h"

namespace zbq::grafvik {

struct GraphControlClient::Library {
    void* handle = nullptr;
    GrafvikCreateFn create = nullptr;
    GrafvikReleaseFn release = nullptr;
    GrafvikDispatchIdFn dispatchId = nullptr;
    GrafvikInvokeFn invoke = nullptr;

    ~Library() {
        if (handle) dlclose(handle);
    }
};

namespace {

void setWhy(std::string* why, std::string text) {
    if (why) *why = std::move(text);
}

template <typename Fn>
bool resolve(void* handle, const char* name, Fn& fn, std::string* why) {
    fn = reinterpret_cast<Fn>(dlsym(handle, name));
    if (!fn) setWhy(why, std::string("the graph control lacks ") + name);
    return fn != nullptr;
}

}  // namespace

std::unique_ptr<GraphControlClient> GraphControlClient::open(const Registry& registry,
                                                             GraphHost* host, std::string* why) {
    auto path = registeredLibrary(registry);
    if (!path) {
        setWhy(why, std::string(kProgId) + " is not registered");
        return nullptr;
    }
    return openLibrary(*path, host, why);
}

std::unique_ptr<GraphControlClient> GraphControlClient::openLibrary(const std::string& path,
                                                                    GraphHost* host,
                                                                    std::string* why) {
    auto lib = std::make_unique<Library>();
    lib->handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!lib->handle) {
        const char* err = dlerror();
        setWhy(why, err ? err : path + ": cannot load");
        return nullptr;
    }
    GrafvikInterfaceVersionFn version = nullptr;
    if (!resolve(lib->handle, "grafvik_interface_version", version, why)) return nullptr;
    if (int v = version(); v != GRAFVIK_INTERFACE_VERSION) {
        setWhy(why, path + ": interface version " + std::to_string(v) + ", expected " +
                        std::to_string(GRAFVIK_INTERFACE_VERSION));
        return nullptr;
    }
    if (!resolve(lib->handle, "grafvik_create", lib->create, why) ||
        !resolve(lib->handle, "grafvik_release", lib->release, why) ||
        !resolve(lib->handle, "grafvik_dispatch_id", lib->dispatchId, why) ||
        !resolve(lib->handle, "grafvik_invoke", lib->invoke, why))
        return nullptr;

    std::unique_ptr<GraphControlClient> client(new GraphControlClient(std::move(lib), host));
    GrafvikHost services{client.get(), clipboardThunk, askThunk, beepThunk};
    if (int rc = client->lib_->create(&services, &client->object_); rc != GRAFVIK_OK) {
        setWhy(why, path + ": the control could not be created (" + std::to_string(rc) + ")");
        return nullptr;
    }
    return client;
}

GraphControlClient::GraphControlClient(std::unique_ptr<Library> lib, GraphHost* host)
    : lib_(std::move(lib)), host_(host) {}

GraphControlClient::~GraphControlClient() {
    if (object_) lib_->release(object_);
}

int GraphControlClient::dispatchId(const std::string& name, int32_t* dispid) const {
    return lib_->dispatchId(name.c_str(), dispid);
}

int GraphControlClient::invoke(int32_t dispid, const std::vector<std::string>& args,
                               int32_t* result) {
    std::vector<const char*> argv;
    argv.reserve(args.size());
    for (const std::string& a : args)
        argv.push_back(a.c_str());
    return lib_->invoke(object_, dispid, static_cast<int>(argv.size()), argv.data(), result);
}

int GraphControlClient::invoke(const std::string& name, const std::vector<std::string>& args,
                               int32_t* result) {
    int32_t dispid = 0;
    if (int rc = dispatchId(name, &dispid); rc != GRAFVIK_OK) return rc;
    return invoke(dispid, args, result);
}

int GraphControlClient::setFilePath(const std::string& path) {
    return invoke(GRAFVIK_DISPID_SETFILEPATH, {path});
}

int GraphControlClient::setData(const std::string& text) {
    return invoke(GRAFVIK_DISPID_SETDATA, {text});
}

int GraphControlClient::closeXls(const std::string& path) {
    return invoke(GRAFVIK_DISPID_CLOSEXLS, {path});
}

int GraphControlClient::exNormal() {
    return invoke(GRAFVIK_DISPID_EXNORMAL, {});
}

// The thunks run inside the library's calls: nothing may be thrown through them.
const char* GraphControlClient::clipboardThunk(void* self) {
    auto* client = static_cast<GraphControlClient*>(self);
    if (!client->host_) return nullptr;
    try {
        client->clipboard_ = client->host_->clipboardText();
    } catch (...) {
        return nullptr;
    }
    return client->clipboard_.c_str();
}

int GraphControlClient::askThunk(void* self, const char* title, const char* text) {
    auto* client = static_cast<GraphControlClient*>(self);
    try {
        return client->host_ && client->host_->askOkCancel(title, text) ? 1 : 0;
    } catch (...) {
        return 0;  // as Cancel: nothing is overwritten
    }
}

void GraphControlClient::beepThunk(void* self) {
    auto* client = static_cast<GraphControlClient*>(self);
    try {
        if (client->host_) client->host_->beep();
    } catch (...) {
    }
}

}  // namespace zbq::grafvik
