// Reading back the workbooks that tests write: the package and its XML parts (libzip and
// pugixml through our own package layer), and the independent check with openpyxl
// (check_workbook.py) run as a separate program.
#pragma once

#include <pugixml.hpp>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/workbook/workbook_cell.h"
#include "platform/workbook/zip_package.h"

namespace zbq::test {

// The package at `path`; an empty package (and a test failure) when it cannot be read.
workbook::ZipPackage readPackage(const std::string& path);
// A part as XML; an empty document (and a test failure) when it is missing or malformed.
pugi::xml_document xmlPart(const workbook::ZipPackage& pkg, std::string_view part);
// Sheet names from xl/workbook.xml in tab order, each with its state ("" when visible).
std::vector<std::pair<std::string, std::string>> sheetsOf(const workbook::ZipPackage& pkg);
// The XML of the part behind a sheet name.
pugi::xml_document sheetXml(const workbook::ZipPackage& pkg, std::string_view sheet);
// The chart part drawn on a sheet (through its drawing); empty when there is none.
pugi::xml_document chartXmlOf(const workbook::ZipPackage& pkg, std::string_view sheet);

// Zip archives made byte by byte, for packages that no writer of ours would make. Each entry is
// stored as given: `data` is raw deflate when `deflated`, and `unpackedSize` and `crc` are what
// the headers claim, true or not.
struct RawZipEntry {
    std::string name{};
    std::string data{};
    bool deflated = false;
    uint32_t unpackedSize = 0;
    uint32_t crc = 0;
};
std::string rawZip(const std::vector<RawZipEntry>& entries);
// A package whose parts truly inflate to `unpacked` bytes of zeros in all, 1 MiB a part (the
// count rounded up); its own size is about a thousandth of that.
std::string inflatingZip(std::size_t unpacked);
// A package of `count` empty parts.
std::string manyPartsZip(std::size_t count);
// `plain` deflated, with its true size and checksum.
RawZipEntry deflatedEntry(std::string name, const std::string& plain);
// A bomb made at test time: `head`, then about `mebibytes` MiB of `unit` over and over, then
// `tail`, truly deflated with its true size and checksum, each MiB of it stored only once
// deflated (about a thousandth of it), so that a few MiB of package inflate to gigabytes.
RawZipEntry repeatedEntry(std::string name, const std::string& head, const std::string& unit,
                          std::size_t mebibytes, const std::string& tail);
// An entry whose deflated data is 1 MiB of zeros, claiming `unpackedSize`.
RawZipEntry zerosEntry(std::string name, uint32_t unpackedSize);

struct ProgramRun {
    int status = -1;     // exit status; -1 when it could not run or did not exit normally
    std::string output;  // standard output and standard error together
};
ProgramRun runProgram(const std::vector<std::string>& argv);

// The interpreter that has openpyxl, with these arguments.
ProgramRun runPython(const std::vector<std::string>& args);

// A JSON string literal of UTF-8 text.
std::string json(std::string_view text);

// Runs check_workbook.py on the file; "" when openpyxl reads it as expected, else what differs.
std::string openpyxlMismatch(const std::string& path, const std::string& expectationJson);

// A cell kind's name, for messages that say which cell differs.
const char* kindName(workbook::CellKind kind);

}  // namespace zbq::test
