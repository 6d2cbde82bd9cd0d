// Zip packages in memory over libzip.
#include "zip_package.h"

#include <zip.h>

#include "platform/core/atomic_file.h"
#include "platform/core/cp932.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <unordered_set>
#include <utility>

namespace zbq::workbook {

namespace {

void setError(std::string* error, std::string message) {
    if (error) *error = std::move(message);
}

std::string zipErrorText(zip_error_t* err) {
    std::string text = zip_error_strerror(err);
    zip_error_fini(err);
    return text;
}

// A part name as find() compares it: two names fold alike exactly when they match without
// regard to case, so a set of folded names finds a part stored twice in one pass.
std::string foldedName(std::string_view name) {
    std::string out(name);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        if (zbq::cp932::isLeadByte(c) && i + 1 < out.size())
            ++i;  // a double-byte character is compared as it is
        else if (c >= 'A' && c <= 'Z')
            out[i] = static_cast<char>(c + ('a' - 'A'));
    }
    return out;
}

struct ArchiveCloser {
    void operator()(zip_t* za) const { zip_discard(za); }
};
struct FileCloser {
    void operator()(zip_file_t* f) const { zip_fclose(f); }
};

}  // namespace

std::optional<ZipPackage> ZipPackage::fromBytes(std::string_view bytes, std::string* error) {
    if (bytes.empty()) {  // the zip library would take it for an empty archive
        setError(error, "not a zip package: the file is empty");
        return std::nullopt;
    }
    zip_error_t err;
    zip_error_init(&err);
    zip_source_t* src = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &err);
    if (!src) {
        setError(error, zipErrorText(&err));
        return std::nullopt;
    }
    std::unique_ptr<zip_t, ArchiveCloser> za(zip_open_from_source(src, ZIP_RDONLY, &err));
    if (!za) {
        zip_source_free(src);
        setError(error, "not a zip package: " + zipErrorText(&err));
        return std::nullopt;
    }
    zip_error_fini(&err);

    zip_int64_t count = zip_get_num_entries(za.get(), 0);
    if (count < 0 || static_cast<zip_uint64_t>(count) > kMaxEntries) {
        setError(error, "not a workbook package: " + std::to_string(count) +
                            " entries, more than " + std::to_string(kMaxEntries));
        return std::nullopt;
    }
    // The directory's sizes first: nothing is inflated until the whole package is known to fit.
    struct Entry {
        zip_uint64_t index;
        std::string name;
        std::size_t size;
    };
    std::vector<Entry> entries;
    std::size_t total = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        if (zip_stat_index(za.get(), static_cast<zip_uint64_t>(i), 0, &st) != 0 ||
            !(st.valid & ZIP_STAT_NAME) || !(st.valid & ZIP_STAT_SIZE)) {
            setError(error, "damaged zip package: entry " + std::to_string(i));
            return std::nullopt;
        }
        std::string name = st.name;
        if (!name.empty() && name.back() == '/') continue;  // a folder entry holds no part
        if (st.size > kMaxUnpackedSize - total) {
            setError(error, "not a workbook package: its parts unpack to more than " +
                                std::to_string(kMaxUnpackedSize >> 20) + " MiB");
            return std::nullopt;
        }
        total += static_cast<std::size_t>(st.size);
        entries.push_back(Entry{static_cast<zip_uint64_t>(i), std::move(name),
                                static_cast<std::size_t>(st.size)});
    }

    ZipPackage pkg;
    std::unordered_set<std::string> seen;
    for (Entry& e : entries) {
        if (!seen.insert(foldedName(e.name)).second) {
            setError(error, "part stored twice: " + e.name);
            return std::nullopt;
        }
        std::unique_ptr<zip_file_t, FileCloser> f(zip_fopen_index(za.get(), e.index, 0));
        if (!f) {
            setError(error, "cannot read part " + e.name + ": " + zip_strerror(za.get()));
            return std::nullopt;
        }
        std::string data(e.size, '\0');
        zip_int64_t got = data.empty() ? 0 : zip_fread(f.get(), data.data(), data.size());
        char extra;
        // A part that inflates to more or less than its directory says is damage, not data.
        if (got != static_cast<zip_int64_t>(data.size()) || zip_fread(f.get(), &extra, 1) != 0) {
            setError(error, "damaged part " + e.name);
            return std::nullopt;
        }
        pkg.parts_.push_back(Part{std::move(e.name), std::move(data)});
    }
    return pkg;
}

std::optional<ZipPackage> ZipPackage::fromFile(const std::string& path, std::string* error) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        setError(error, path + ": cannot open");
        return std::nullopt;
    }
    std::string bytes;
    char buf[65536];
    // Parts are stored deflated, so a file beyond the unpacked limit is no package of ours:
    // reading stops just past it.
    for (std::size_t n;
         bytes.size() <= kMaxUnpackedSize && (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
        bytes.append(buf, n);
    bool failed = std::ferror(f);
    std::fclose(f);
    if (failed) {
        setError(error, path + ": read failed");
        return std::nullopt;
    }
    if (bytes.size() > kMaxUnpackedSize) {
        setError(error, path + ": not a workbook package: larger than " +
                            std::to_string(kMaxUnpackedSize >> 20) + " MiB");
        return std::nullopt;
    }
    return fromBytes(bytes, error);
}

const std::string* ZipPackage::find(std::string_view name) const {
    for (const Part& p : parts_)
        if (p.name == name) return &p.data;
    for (const Part& p : parts_)
        if (zbq::cp932::equalsNoCase(p.name, name)) return &p.data;
    return nullptr;
}

std::string* ZipPackage::find(std::string_view name) {
    return const_cast<std::string*>(std::as_const(*this).find(name));
}

void ZipPackage::put(std::string_view name, std::string data) {
    if (std::string* existing = find(name)) {
        *existing = std::move(data);
        return;
    }
    parts_.push_back(Part{std::string(name), std::move(data)});
}

bool ZipPackage::remove(std::string_view name) {
    return std::erase_if(parts_,
                         [&](const Part& p) { return zbq::cp932::equalsNoCase(p.name, name); }) > 0;
}

std::vector<std::string> ZipPackage::names() const {
    std::vector<std::string> out;
    out.reserve(parts_.size());
    for (const Part& p : parts_)
        out.push_back(p.name);
    return out;
}

std::optional<std::string> ZipPackage::toBytes(std::string* error) const {
    zip_error_t err;
    zip_error_init(&err);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &err);
    if (!buffer) {
        setError(error, zipErrorText(&err));
        return std::nullopt;
    }
    // The archive writes into `buffer`; keep it alive past zip_close to read the result.
    zip_source_keep(buffer);
    std::unique_ptr<zip_source_t, decltype(&zip_source_free)> keep(buffer, zip_source_free);
    std::unique_ptr<zip_t, ArchiveCloser> za(zip_open_from_source(buffer, ZIP_TRUNCATE, &err));
    if (!za) {
        setError(error, zipErrorText(&err));
        return std::nullopt;
    }
    zip_error_fini(&err);

    for (const Part& p : parts_) {
        zip_source_t* s = zip_source_buffer(za.get(), p.data.data(), p.data.size(), 0);
        zip_int64_t index = s ? zip_file_add(za.get(), p.name.c_str(), s, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            if (s) zip_source_free(s);
            setError(error, "cannot add part " + p.name + ": " + zip_strerror(za.get()));
            return std::nullopt;
        }
        zip_set_file_compression(za.get(), static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 6);
    }
    if (zip_close(za.get()) != 0) {
        setError(error, std::string("cannot write the package: ") + zip_strerror(za.get()));
        return std::nullopt;
    }
    za.release();  // closed

    std::string out;
    zip_stat_t st;
    if (zip_source_open(buffer) != 0 || zip_source_stat(buffer, &st) != 0) {
        setError(error, "cannot read the written package");
        return std::nullopt;
    }
    out.resize(static_cast<std::size_t>(st.size));
    zip_int64_t got = out.empty() ? 0 : zip_source_read(buffer, out.data(), out.size());
    zip_source_close(buffer);
    if (got != static_cast<zip_int64_t>(out.size())) {
        setError(error, "cannot read the written package");
        return std::nullopt;
    }
    return out;
}

bool ZipPackage::save(const std::string& path, std::string* error) const {
    auto bytes = toBytes(error);
    if (!bytes) return false;
    int err = 0;
    if (writeFileAtomically(path, *bytes, &err)) return true;
    setError(error, path + ": " + std::strerror(err));
    return false;
}

}  // namespace zbq::workbook
