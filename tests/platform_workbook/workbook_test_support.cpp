// Reading back workbooks in tests.
#include "workbook_test_support.h"

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>

#include "platform/workbook/package_xml.h"

extern char** environ;

namespace zbq::test {

using workbook::ZipPackage;

ZipPackage readPackage(const std::string& path) {
    std::string error;
    auto pkg = ZipPackage::fromFile(path, &error);
    if (!pkg) {
        ADD_FAILURE() << path << ": " << error;
        return {};
    }
    return std::move(*pkg);
}

pugi::xml_document xmlPart(const ZipPackage& pkg, std::string_view part) {
    pugi::xml_document doc;
    if (!workbook::loadXml(pkg, part, doc)) ADD_FAILURE() << "no readable part " << part;
    return doc;
}

std::vector<std::pair<std::string, std::string>> sheetsOf(const ZipPackage& pkg) {
    std::vector<std::pair<std::string, std::string>> out;
    pugi::xml_document book = xmlPart(pkg, workbook::workbookPartOf(pkg));
    for (pugi::xml_node s : book.child("workbook").child("sheets").children("sheet"))
        out.emplace_back(s.attribute("name").value(), s.attribute("state").value());
    return out;
}

pugi::xml_document sheetXml(const ZipPackage& pkg, std::string_view sheet) {
    auto part = workbook::sheetPart(pkg, sheet);
    if (!part) {
        ADD_FAILURE() << "no sheet " << sheet;
        return {};
    }
    return xmlPart(pkg, *part);
}

pugi::xml_document chartXmlOf(const ZipPackage& pkg, std::string_view sheet) {
    pugi::xml_document doc;
    auto part = workbook::sheetPart(pkg, sheet);
    if (!part) return doc;
    std::string drawing = workbook::relatedPart(pkg, *part, "/drawing");
    std::string chart = drawing.empty() ? "" : workbook::relatedPart(pkg, drawing, "/chart");
    if (!chart.empty()) workbook::loadXml(pkg, chart, doc);
    return doc;
}

namespace {

void put16(std::string& out, uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void put32(std::string& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

constexpr uint32_t kMiB = 1u << 20;

}  // namespace

std::string rawZip(const std::vector<RawZipEntry>& entries) {
    std::string out, directory;
    for (const RawZipEntry& e : entries) {
        // The fields a local header and a directory entry share, from "version needed" on.
        std::string common;
        put16(common, 20);                       // version needed: deflate
        put16(common, 0);                        // flags
        put16(common, e.deflated ? 8 : 0);       // method
        put16(common, 0);                        // time
        put16(common, (0 << 9) | (1 << 5) | 1);  // 1980-01-01
        put32(common, e.crc);
        put32(common, static_cast<uint32_t>(e.data.size()));
        put32(common, e.unpackedSize);
        put16(common, static_cast<uint32_t>(e.name.size()));
        put16(common, 0);  // extra field length

        const auto offset = static_cast<uint32_t>(out.size());
        put32(out, 0x04034b50);
        out += common + e.name + e.data;

        put32(directory, 0x02014b50);
        put16(directory, 20);  // version made by
        directory += common;
        put16(directory, 0);  // comment length
        put16(directory, 0);  // disk
        put16(directory, 0);  // internal attributes
        put32(directory, 0);  // external attributes
        put32(directory, offset);
        directory += e.name;
    }
    const auto directoryOffset = static_cast<uint32_t>(out.size());
    out += directory;
    put32(out, 0x06054b50);
    put16(out, 0);
    put16(out, 0);
    put16(out, static_cast<uint32_t>(entries.size()));
    put16(out, static_cast<uint32_t>(entries.size()));
    put32(out, static_cast<uint32_t>(directory.size()));
    put32(out, directoryOffset);
    put16(out, 0);  // comment length
    return out;
}

RawZipEntry deflatedEntry(std::string name, const std::string& plain) {
    RawZipEntry e;
    e.name = std::move(name);
    e.deflated = true;
    e.unpackedSize = static_cast<uint32_t>(plain.size());
    e.crc = static_cast<uint32_t>(crc32(crc32(0, nullptr, 0),
                                        reinterpret_cast<const Bytef*>(plain.data()),
                                        static_cast<uInt>(plain.size())));
    z_stream z{};
    // Raw deflate (negative window bits): a zip entry carries no zlib header.
    if (deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK) {
        ADD_FAILURE() << "deflateInit2";
        return e;
    }
    e.data.resize(deflateBound(&z, static_cast<uLong>(plain.size())));
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(plain.data()));
    z.avail_in = static_cast<uInt>(plain.size());
    z.next_out = reinterpret_cast<Bytef*>(e.data.data());
    z.avail_out = static_cast<uInt>(e.data.size());
    if (deflate(&z, Z_FINISH) != Z_STREAM_END) ADD_FAILURE() << "deflate";
    e.data.resize(z.total_out);
    deflateEnd(&z);
    return e;
}

namespace {

// `plain` as raw deflate blocks, none of them final (`last`: ending the stream), so that the
// blocks of several pieces, each deflated on its own, join into one stream.
std::string deflatePiece(const std::string& plain, bool last) {
    z_stream z{};
    if (deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK) {
        ADD_FAILURE() << "deflateInit2";
        return {};
    }
    std::string out(deflateBound(&z, static_cast<uLong>(plain.size())) + 64, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(plain.data()));
    z.avail_in = static_cast<uInt>(plain.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    if (deflate(&z, last ? Z_FINISH : Z_FULL_FLUSH) != (last ? Z_STREAM_END : Z_OK))
        ADD_FAILURE() << "deflate";
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

uLong crcOf(const std::string& s) {
    return crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(s.data()),
                 static_cast<uInt>(s.size()));
}

}  // namespace

RawZipEntry repeatedEntry(std::string name, const std::string& head, const std::string& unit,
                          std::size_t mebibytes, const std::string& tail) {
    std::string block;
    while (block.size() + unit.size() <= kMiB)
        block += unit;
    const std::string blockDeflated = deflatePiece(block, false);
    const uLong blockCrc = crcOf(block);
    RawZipEntry e;
    e.name = std::move(name);
    e.deflated = true;
    e.data = deflatePiece(head, false);
    uLong crc = crcOf(head);
    for (std::size_t i = 0; i < mebibytes; ++i) {
        e.data += blockDeflated;
        crc = crc32_combine(crc, blockCrc, static_cast<z_off_t>(block.size()));
    }
    e.data += deflatePiece(tail, true);
    crc = crc32_combine(crc, crcOf(tail), static_cast<z_off_t>(tail.size()));
    e.crc = static_cast<uint32_t>(crc);
    e.unpackedSize = static_cast<uint32_t>(head.size() + mebibytes * block.size() + tail.size());
    return e;
}

RawZipEntry zerosEntry(std::string name, uint32_t unpackedSize) {
    static const RawZipEntry zeros = deflatedEntry("", std::string(kMiB, '\0'));
    RawZipEntry e = zeros;
    e.name = std::move(name);
    e.unpackedSize = unpackedSize;
    return e;
}

std::string inflatingZip(std::size_t unpacked) {
    std::vector<RawZipEntry> entries;
    for (std::size_t i = 0; i * kMiB < unpacked; ++i)
        entries.push_back(zerosEntry("zeros/" + std::to_string(i), kMiB));
    return rawZip(entries);
}

std::string manyPartsZip(std::size_t count) {
    std::vector<RawZipEntry> entries(count);
    for (std::size_t i = 0; i < count; ++i)
        entries[i].name = "p/" + std::to_string(i);
    return rawZip(entries);
}

ProgramRun runProgram(const std::vector<std::string>& argv) {
    ProgramRun run;
    int fds[2];
    if (argv.empty() || ::pipe(fds) != 0) return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    char buf[4096];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;)
        run.output.append(buf, n);
    ::close(fds[0]);
    if (rc != 0) {
        run.output = "cannot start " + argv[0];
        return run;
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) == pid && WIFEXITED(status)) run.status = WEXITSTATUS(status);
    return run;
}

ProgramRun runPython(const std::vector<std::string>& args) {
    std::vector<std::string> argv{ZBQ_TEST_PYTHON};
    argv.insert(argv.end(), args.begin(), args.end());
    return runProgram(argv);
}

std::string json(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", c);
            out += esc;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string openpyxlMismatch(const std::string& path, const std::string& expectationJson) {
    ProgramRun run =
        runProgram({ZBQ_TEST_PYTHON, ZBQ_CHECK_WORKBOOK_SCRIPT, path, expectationJson});
    if (run.status == 0) return {};
    return run.output.empty() ? "check_workbook.py failed" : run.output;
}

const char* kindName(workbook::CellKind k) {
    switch (k) {
        case workbook::CellKind::Empty:
            return "empty";
        case workbook::CellKind::Number:
            return "number";
        case workbook::CellKind::Text:
            return "text";
        case workbook::CellKind::Boolean:
            return "boolean";
        case workbook::CellKind::Error:
            return "error";
    }
    return "?";
}

}  // namespace zbq::test
