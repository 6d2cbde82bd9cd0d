// A zip package (a workbook file) held in memory: its parts by name, in archive order. Reading
// inflates every part; writing deflates them into a fresh archive. Used to edit what the
// workbook writer cannot express and to graft a sheet into an existing workbook.
//
// Part names compare exactly first and then without regard to ASCII case, as packages require.
// Reading refuses damaged archives, and packages larger than any workbook we read or write:
// more than kMaxEntries entries, or parts that inflate to more than kMaxUnpackedSize together.
// Both are checked against the archive's directory before anything is inflated, and every part
// must inflate to exactly the size the directory gives, so a package that lies cannot make us
// hold more than the limit. One owner; not shared between threads. Failures are values with a
// message.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zbq::workbook {

class ZipPackage {
public:
    // A few hundred parts make a large workbook; a package with thousands more is built to hurt.
    static constexpr std::size_t kMaxEntries = 10000;
    // All parts inflated; a file (compressed) larger than this is refused unread as well.
    static constexpr std::size_t kMaxUnpackedSize = std::size_t{512} << 20;

    static std::optional<ZipPackage> fromBytes(std::string_view bytes, std::string* error);
    static std::optional<ZipPackage> fromFile(const std::string& path, std::string* error);

    const std::string* find(std::string_view name) const;
    std::string* find(std::string_view name);
    bool contains(std::string_view name) const { return find(name) != nullptr; }
    // Replaces the part of that name, or appends a new one.
    void put(std::string_view name, std::string data);
    bool remove(std::string_view name);
    std::vector<std::string> names() const;

    // The archive's bytes; nullopt (with a message) if the zip library fails.
    std::optional<std::string> toBytes(std::string* error) const;
    // Writes the archive at `path` through a temporary file and a rename (atomic_file.h): a
    // failure leaves the old file as it was.
    bool save(const std::string& path, std::string* error) const;

private:
    struct Part {
        std::string name;
        std::string data;
    };
    std::vector<Part> parts_;
};

}  // namespace zbq::workbook
