// The registry file: parsing, look-ups, edits and the user/system pair.
#include "registry_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "atomic_file.h"
#include "cp932.h"
#include "folders.h"

namespace zbq {

namespace {

// True when `key` is `ancestor` itself or lies below it.
bool isAtOrBelow(std::string_view key, std::string_view ancestor) {
    if (key.size() < ancestor.size()) return false;
    if (!cp932::equalsNoCase(key.substr(0, ancestor.size()), ancestor)) return false;
    return key.size() == ancestor.size() || key[ancestor.size()] == '\\';
}

std::string quote(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '"':
                out += "\\\"";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                out += c;
        }
    }
    out += '"';
    return out;
}

// Reads a quoted string starting at line[pos] == '"'; leaves pos after the closing quote.
std::optional<std::string> unquote(std::string_view line, std::size_t& pos) {
    if (pos >= line.size() || line[pos] != '"') return std::nullopt;
    std::string out;
    for (++pos; pos < line.size(); ++pos) {
        char c = line[pos];
        if (c == '"') {
            ++pos;
            return out;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++pos == line.size()) return std::nullopt;
        switch (line[pos]) {
            case '\\':
                out += '\\';
                break;
            case '"':
                out += '"';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            default:
                return std::nullopt;
        }
    }
    return std::nullopt;  // no closing quote
}

}  // namespace

bool RegistryFile::isValidKey(std::string_view key) {
    if (key.empty() || key.front() == '\\' || key.back() == '\\') return false;
    char prev = 0;
    for (char c : key) {
        auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) return false;
        if (c == '\\' && prev == '\\') return false;
        prev = c;
    }
    return true;
}

std::optional<RegistryFile> RegistryFile::parse(std::string_view text, std::string* error) {
    RegistryFile reg;
    std::string current;  // the key that value lines belong to
    std::size_t lineNo = 0;
    auto fail = [&](const char* what) -> std::optional<RegistryFile> {
        if (error) *error = "line " + std::to_string(lineNo) + ": " + what;
        return std::nullopt;
    };
    while (!text.empty()) {
        ++lineNo;
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == ';') continue;

        if (line.front() == '[') {
            if (line.back() != ']') return fail("a key line must end with ']'");
            std::string_view path = line.substr(1, line.size() - 2);
            if (!isValidKey(path)) return fail("not a valid key name");
            reg.createKey(path);
            current = path;
            continue;
        }
        if (current.empty()) return fail("a value before the first key");
        std::size_t pos = 0;
        std::string name;
        if (line.front() == '@') {
            pos = 1;
        } else {
            auto quoted = unquote(line, pos);
            if (!quoted) return fail("a value name must be \"quoted\" or @");
            name = std::move(*quoted);
        }
        if (pos >= line.size() || line[pos] != '=') return fail("'=' expected after the name");
        ++pos;
        auto data = unquote(line, pos);
        if (!data || pos != line.size()) return fail("the value must be one \"quoted\" text");
        reg.setValue(current, name, *data);
    }
    return reg;
}

std::optional<RegistryFile> RegistryFile::load(const std::string& path, std::string* error) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        if (errno == ENOENT) return RegistryFile{};
        if (error) *error = path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    std::string bytes;
    char buf[8192];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
        bytes.append(buf, n);
    bool failed = std::ferror(f);
    std::fclose(f);
    if (failed) {
        if (error) *error = path + ": read failed";
        return std::nullopt;
    }
    std::string why;
    auto reg = parse(bytes, &why);
    if (!reg && error) *error = path + ": " + why;
    return reg;
}

const RegistryFile::Key* RegistryFile::findKey(std::string_view key) const {
    for (const Key& k : keys_)
        if (cp932::equalsNoCase(k.path, key)) return &k;
    return nullptr;
}

RegistryFile::Key* RegistryFile::findKey(std::string_view key) {
    return const_cast<Key*>(std::as_const(*this).findKey(key));
}

bool RegistryFile::keyExists(std::string_view key) const {
    if (!isValidKey(key)) return false;
    for (const Key& k : keys_)
        if (isAtOrBelow(k.path, key)) return true;
    return false;
}

std::optional<std::string> RegistryFile::value(std::string_view key, std::string_view name) const {
    if (const Key* k = findKey(key))
        for (const Value& v : k->values)
            if (cp932::equalsNoCase(v.name, name)) return v.data;
    return std::nullopt;
}

std::vector<std::string> RegistryFile::subKeys(std::string_view key) const {
    std::vector<std::string> out;
    for (const Key& k : keys_) {
        if (k.path.size() <= key.size() || !isAtOrBelow(k.path, key)) continue;
        std::string_view rest = std::string_view(k.path).substr(key.size() + 1);
        std::string_view child = rest.substr(0, rest.find('\\'));
        bool seen = false;
        for (const std::string& s : out)
            seen = seen || cp932::equalsNoCase(s, child);
        if (!seen) out.emplace_back(child);
    }
    return out;
}

bool RegistryFile::createKey(std::string_view key) {
    if (!isValidKey(key)) return false;
    if (!findKey(key)) keys_.push_back(Key{std::string(key), {}});
    return true;
}

bool RegistryFile::setValue(std::string_view key, std::string_view name, std::string_view value) {
    if (!createKey(key)) return false;
    Key& k = *findKey(key);
    for (Value& v : k.values) {
        if (cp932::equalsNoCase(v.name, name)) {
            v.data = value;
            return true;
        }
    }
    k.values.push_back(Value{std::string(name), std::string(value)});
    return true;
}

bool RegistryFile::deleteKey(std::string_view key) {
    if (!isValidKey(key)) return false;
    auto removed = std::erase_if(keys_, [&](const Key& k) { return isAtOrBelow(k.path, key); });
    return removed > 0;
}

std::string RegistryFile::text() const {
    std::string out =
        "; ZEBRINE registry: keys and their values (see platform/core/registry_file.h)\n";
    for (const Key& k : keys_) {
        out += '[';
        out += k.path;
        out += "]\n";
        for (const Value& v : k.values) {
            out += v.name.empty() ? std::string("@") : quote(v.name);
            out += '=';
            out += quote(v.data);
            out += '\n';
        }
    }
    return out;
}

bool RegistryFile::save(const std::string& path, std::string* error) const {
    // The file names the library ZBQ loads: neither it nor its folder may be writable by others,
    // whatever the umask (folders.h, atomic_file.h).
    const std::string folder = parentFolder(path);
    int err = 0;
    if (!createFolders(folder, &err)) {
        if (error) *error = folder + ": " + std::strerror(err);
        return false;
    }
    if (writeFileAtomically(path, text(), &err)) return true;
    if (error) *error = path + ": " + std::strerror(err);
    return false;
}

std::string userRegistryPath() {
    if (const char* file = std::getenv("ZBQ_REGISTRY_FILE"); file && *file) return file;
    std::string config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') {
        config = xdg;
    } else {
        const char* home = std::getenv("HOME");
        config = std::string(home && *home ? home : ".") + "/.config";
    }
    return config + "/zebrine/registry.ini";
}

std::string systemRegistryPath() {
    if (const char* file = std::getenv("ZBQ_REGISTRY_FILE"); file && *file) return {};
    return "/etc/zebrine/registry.ini";
}

Registry::Registry() : Registry(userRegistryPath(), systemRegistryPath()) {}

Registry::Registry(std::string userFile, std::string systemFile)
    : user_(std::move(userFile)), system_(std::move(systemFile)) {}

bool Registry::keyExists(std::string_view key) const {
    for (const std::string* file : {&user_, &system_}) {
        if (file->empty()) continue;
        auto reg = RegistryFile::load(*file);
        if (reg && reg->keyExists(key)) return true;
    }
    return false;
}

std::optional<std::string> Registry::value(std::string_view key, std::string_view name) const {
    for (const std::string* file : {&user_, &system_}) {
        if (file->empty()) continue;
        auto reg = RegistryFile::load(*file);
        if (reg && reg->keyExists(key)) return reg->value(key, name);
    }
    return std::nullopt;
}

}  // namespace zbq
