// Registering the graph control's class.
#include "registration.h"

namespace zbq::grafvik {

namespace {

constexpr char kRoot[] = "HKEY_CLASSES_ROOT\\";

std::string classKey() {
    return std::string(kRoot) + "CLSID\\" + kClassId;
}
std::string typeLibKey() {
    return std::string(kRoot) + "TypeLib\\" + kTypeLibId;
}
std::string interfaceKey(const char* iid) {
    return std::string(kRoot) + "Interface\\" + iid;
}

}  // namespace

std::string progIdKey() {
    return std::string(kRoot) + kProgId;
}

std::string serverKey() {
    return classKey() + "\\InprocServer32";
}

void registerServer(RegistryFile& reg, const std::string& libraryPath) {
    unregisterServer(reg);
    reg.setValue(progIdKey(), "", "GraphCtl Control");
    reg.setValue(progIdKey() + "\\CLSID", "", kClassId);

    reg.setValue(classKey(), "", kProgId);
    reg.setValue(serverKey(), "", libraryPath);
    reg.setValue(serverKey(), "ThreadingModel", "Apartment");
    reg.setValue(classKey() + "\\ProgID", "", kProgId);
    reg.setValue(classKey() + "\\TypeLib", "", kTypeLibId);
    reg.setValue(classKey() + "\\Version", "", "1.0");
    reg.createKey(classKey() + "\\Control");

    reg.setValue(typeLibKey() + "\\1.0", "", "Grafvik");
    reg.setValue(typeLibKey() + "\\1.0\\0\\lib", "", libraryPath);
    for (const auto& [iid, name] :
         {std::pair{kDispatchIid, "_GraphCtl"}, std::pair{kEventsIid, "__GraphCtl"}}) {
        reg.setValue(interfaceKey(iid), "", name);
        reg.setValue(interfaceKey(iid) + "\\TypeLib", "", kTypeLibId);
        reg.setValue(interfaceKey(iid) + "\\TypeLib", "Version", "1.0");
    }
}

bool unregisterServer(RegistryFile& reg) {
    bool removed = false;
    for (const std::string& key : {progIdKey(), classKey(), typeLibKey(),
                                   interfaceKey(kDispatchIid), interfaceKey(kEventsIid)})
        removed = reg.deleteKey(key) || removed;
    return removed;
}

std::optional<std::string> registeredLibrary(const Registry& registry) {
    auto path = registry.value(serverKey());
    if (!path || path->empty()) return std::nullopt;
    return path;
}

}  // namespace zbq::grafvik
