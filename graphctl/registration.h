// The graph control's class registration in the registry (platform/core/registry_file.h): what
// registering the library writes, what unregistering removes, and how a host finds the library.
//
// Registration writes the program identifier "Grafvik.GraphCtl" with its class identifier, the
// class key with the library's path, and the keys of its type library and two interfaces, all
// under HKEY_CLASSES_ROOT. Unregistering removes exactly those keys and everything below them.
// These identifiers are shared by the library and its hosts and never change.
#pragma once

#include <optional>
#include <string>

#include "platform/core/registry_file.h"

namespace zbq::grafvik {

inline constexpr char kProgId[] = "Grafvik.GraphCtl";
inline constexpr char kClassId[] = "{EB8F9D58-F3E0-4CF0-B06C-19483AE71CB3}";
inline constexpr char kTypeLibId[] = "{F5E60647-68BE-4791-B1FB-A888E1299F21}";
inline constexpr char kDispatchIid[] = "{2C367A2D-86C1-4B10-93C1-41EA6755DBEE}";  // _GraphCtl
inline constexpr char kEventsIid[] = "{6E025253-F761-4544-A47E-C9B8AE280B67}";    // __GraphCtl

// "HKEY_CLASSES_ROOT\Grafvik.GraphCtl": the key whose presence means "registered".
std::string progIdKey();
// "HKEY_CLASSES_ROOT\CLSID\{...}\InprocServer32": its default value is the library's path.
std::string serverKey();

// Replaces any earlier registration with one for the library at `libraryPath`.
void registerServer(RegistryFile& registry, const std::string& libraryPath);
// Removes the registration; false when there was none.
bool unregisterServer(RegistryFile& registry);

// The path of the registered library; nullopt when the class is not registered.
std::optional<std::string> registeredLibrary(const Registry& registry);

}  // namespace zbq::grafvik
