// The registry: a small hierarchy of keys with string values, kept in a text file of our own. The
// program reads it to find the graph control's registration (and other look-ups a Windows program
// would make in its registry); the Grafvik registration tool writes it.
//
// Keys are paths whose parts are separated by backslashes ("HKEY_CLASSES_ROOT\Grafvik.GraphCtl");
// parts are never empty and hold no control characters. A key has a default value (name "") and
// named values. Key and value names compare without regard to ASCII case; the first spelling
// written is kept. A key exists when it was created or when a key below it exists.
//
// The file, UTF-8, one item a line (lines starting with ';' are comments, blank lines ignored):
//     [HKEY_CLASSES_ROOT\Grafvik.GraphCtl\CLSID]
//     @="{6B1D2F9E-...}"             the default value
//     "ThreadingModel"="Apartment"   a named value
// Names and values are quoted; inside quotes \\ \" \n \r \t stand for themselves. A file that
// does not follow this form is refused as a whole (never half read, never rewritten).
//
// Two files make up what the program sees: the user's file and a system-wide file beneath it. A
// key found in the user's file is taken from there whole; any other key comes from the system
// file. Writes go to the user's file only. ZBQ_REGISTRY_FILE names the user's file and switches
// the system file off (tests point it at a file of their own).
//
// A RegistryFile is an in-memory copy with one owner; it is not shared between threads. Saving
// replaces the file atomically (atomic_file.h). Failures are values.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zbq {

class RegistryFile {
public:
    RegistryFile() = default;

    // Parses the text of a registry file; on a malformed line returns nullopt and, when `error` is
    // given, a message naming the line.
    static std::optional<RegistryFile> parse(std::string_view text, std::string* error = nullptr);
    // Reads a file; a file that does not exist reads as an empty registry.
    static std::optional<RegistryFile> load(const std::string& path, std::string* error = nullptr);

    bool keyExists(std::string_view key) const;
    // The value `name` of `key` ("" is the default value); nullopt when either is missing.
    std::optional<std::string> value(std::string_view key, std::string_view name = {}) const;
    // The immediate sub-key names of `key` (its own spelling), in file order.
    std::vector<std::string> subKeys(std::string_view key) const;

    // Creates the key (with its parents, implicitly) and sets the value. False for a key or
    // name that is not valid; the registry is then unchanged.
    bool setValue(std::string_view key, std::string_view name, std::string_view value);
    bool createKey(std::string_view key);
    // Removes the key, its values and every key below it; false when there was nothing to remove.
    bool deleteKey(std::string_view key);

    std::string text() const;
    // Writes the file through a temporary and a rename, creating its folder when missing.
    bool save(const std::string& path, std::string* error = nullptr) const;

    static bool isValidKey(std::string_view key);

private:
    struct Value {
        std::string name;
        std::string data;
    };
    struct Key {
        std::string path;
        std::vector<Value> values;
    };

    const Key* findKey(std::string_view key) const;
    Key* findKey(std::string_view key);

    std::vector<Key> keys_;  // in file order
};

// The user's registry file: $ZBQ_REGISTRY_FILE, else $XDG_CONFIG_HOME/zebrine/registry.ini
// (~/.config when XDG_CONFIG_HOME is unset).
std::string userRegistryPath();
// The system-wide file: /etc/zebrine/registry.ini; empty when ZBQ_REGISTRY_FILE is set.
std::string systemRegistryPath();

// What the program sees: the user's file over the system-wide one. Files are read on each call,
// so a registration made meanwhile is seen; an unreadable or malformed file reads as empty.
class Registry {
public:
    // The standard pair of files above.
    Registry();
    // Explicit files; an empty systemFile means none.
    explicit Registry(std::string userFile, std::string systemFile = {});

    bool keyExists(std::string_view key) const;
    std::optional<std::string> value(std::string_view key, std::string_view name = {}) const;

    const std::string& userFile() const { return user_; }

private:
    std::string user_;
    std::string system_;
};

}  // namespace zbq
