// grafvik-register: registers the graph control library in the registry file (as an installer
// would), or removes its registration.
//
//     grafvik-register [-u] [--registry FILE] LIBRARY
//
// The library registers itself: the tool loads it and calls its registration entry point, so
// the registry names exactly the file that was loaded. Without --registry the user's registry
// file is used. Exit status 0 on success, 1 on failure (with a message on standard error).
#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "graphctl/grafvik.h"

namespace {

int usage() {
    std::fprintf(stderr, "usage: grafvik-register [-u] [--registry FILE] LIBRARY\n");
    return 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    bool unregister = false;
    const char* registry = nullptr;
    const char* library = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-u") == 0) {
            unregister = true;
        } else if (std::strcmp(argv[i], "--registry") == 0 && i + 1 < argc) {
            registry = argv[++i];
        } else if (argv[i][0] != '-' && !library) {
            library = argv[i];
        } else {
            return usage();
        }
    }
    if (!library) return usage();

    // An absolute path, so that the registry names the file wherever the host runs from.
    char resolved[PATH_MAX];
    if (!realpath(library, resolved)) {
        std::fprintf(stderr, "grafvik-register: %s: %s\n", library, std::strerror(errno));
        return 1;
    }
    void* handle = dlopen(resolved, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        std::fprintf(stderr, "grafvik-register: %s\n", dlerror());
        return 1;
    }
    const char* entry = unregister ? "grafvik_unregister_server" : "grafvik_register_server";
    auto fn = reinterpret_cast<GrafvikRegisterFn>(dlsym(handle, entry));
    int rc = fn ? fn(registry) : GRAFVIK_E_REGISTRY;
    if (!fn)
        std::fprintf(stderr, "grafvik-register: %s lacks %s\n", resolved, entry);
    else if (rc == GRAFVIK_E_REGISTRY)
        std::fprintf(stderr, "grafvik-register: cannot read or write the registry file %s\n",
                     registry ? registry : "of the user");
    else if (rc != GRAFVIK_OK)
        std::fprintf(stderr, "grafvik-register: %s failed (%d)\n", entry, rc);
    dlclose(handle);
    return rc == GRAFVIK_OK ? 0 : 1;
}
