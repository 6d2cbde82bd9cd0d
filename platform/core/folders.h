// Folders the program makes, and the folder part of a path.
//
// A folder the program creates gets mode 0755 whatever the umask: what it holds (the registry
// file that names the library ZBQ loads, the temporaries of a build) must not become writable
// by other users because the user's umask happened to be 000. Folders that already exist keep
// their modes. Thread-safe; failures are values (errno).
#pragma once

#include <sys/types.h>

#include <string>

namespace zbq {

inline constexpr mode_t kFolderMode = 0755;

// The folder part of a path: "." for a bare name, "/" for a name at the root.
std::string parentFolder(const std::string& path);

// Creates `path` and every missing folder above it with kFolderMode. True when the folder
// exists afterwards; false with the errno in *err (when given) otherwise.
bool createFolders(const std::string& path, int* err = nullptr);

}  // namespace zbq
