// The library's C entry points: objects, dispatch and self-registration. Nothing thrown inside
// crosses this file; every failure becomes a status code.
#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>

#include <atomic>
#include <new>
#include <string>
#include <vector>

#include "graphctl/grafvik.h"
#include "graphctl/graph_ctl.h"
#include "graphctl/registration.h"

struct GrafvikObject {
    explicit GrafvikObject(const GrafvikHost* host) : control(host) {}
    zbq::grafvik::GraphCtl control;
};

namespace {

std::atomic<long> liveObjects{0};

// This library's own file, as the registry should name it.
std::string ownPath() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&grafvik_register_server), &info) || !info.dli_fname)
        return {};
    char resolved[PATH_MAX];
    return realpath(info.dli_fname, resolved) ? std::string(resolved) : std::string(info.dli_fname);
}

template <typename F>
int guarded(F&& body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return GRAFVIK_E_NO_MEMORY;
    } catch (...) {
        return GRAFVIK_E_WRITE;
    }
}

int editRegistry(const char* registryFile, bool add) {
    return guarded([&]() -> int {
        const std::string file = registryFile ? registryFile : zbq::userRegistryPath();
        auto reg = zbq::RegistryFile::load(file);
        if (!reg) return GRAFVIK_E_REGISTRY;
        if (add) {
            std::string path = ownPath();
            if (path.empty()) return GRAFVIK_E_REGISTRY;
            zbq::grafvik::registerServer(*reg, path);
        } else if (!zbq::grafvik::unregisterServer(*reg)) {
            return GRAFVIK_OK;  // nothing was registered: nothing to write
        }
        return reg->save(file) ? GRAFVIK_OK : GRAFVIK_E_REGISTRY;
    });
}

}  // namespace

extern "C" {

GRAFVIK_EXPORT int grafvik_interface_version(void) {
    return GRAFVIK_INTERFACE_VERSION;
}

GRAFVIK_EXPORT int grafvik_create(const GrafvikHost* host, GrafvikObject** object) {
    if (!object) return GRAFVIK_E_INVALID_ARG;
    *object = nullptr;
    return guarded([&]() -> int {
        *object = new GrafvikObject(host);
        liveObjects.fetch_add(1);
        return GRAFVIK_OK;
    });
}

GRAFVIK_EXPORT void grafvik_release(GrafvikObject* object) {
    if (!object) return;
    delete object;
    liveObjects.fetch_sub(1);
}

GRAFVIK_EXPORT long grafvik_object_count(void) {
    return liveObjects.load();
}

GRAFVIK_EXPORT int grafvik_dispatch_id(const char* name, int32_t* dispid) {
    if (!name || !dispid) return GRAFVIK_E_INVALID_ARG;
    const zbq::grafvik::Method* m = zbq::grafvik::methodByName(name);
    if (!m) return GRAFVIK_E_UNKNOWN_NAME;
    *dispid = m->dispid;
    return GRAFVIK_OK;
}

GRAFVIK_EXPORT int grafvik_invoke(GrafvikObject* object, int32_t dispid, int argc,
                                  const char* const* argv, int32_t* result) {
    if (result) *result = 0;
    if (!object || argc < 0 || (argc > 0 && !argv)) return GRAFVIK_E_INVALID_ARG;
    return guarded([&]() -> int {
        std::vector<std::string_view> args;
        for (int i = 0; i < argc; ++i) {
            if (!argv[i]) return GRAFVIK_E_INVALID_ARG;
            args.emplace_back(argv[i]);
        }
        return object->control.invoke(dispid, args, result);
    });
}

GRAFVIK_EXPORT int grafvik_register_server(const char* registry_file) {
    return editRegistry(registry_file, true);
}

GRAFVIK_EXPORT int grafvik_unregister_server(const char* registry_file) {
    return editRegistry(registry_file, false);
}

}  // extern "C"
