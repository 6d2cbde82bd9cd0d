// .xls workbooks made byte by byte; the compound file around them is libgsf's.
#include "tests/platform_workbook/biff_writer.h"

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-stdio.h>
#include <gtest/gtest.h>

#include <cstring>

namespace zbq::test::biff {

std::string le16(uint16_t v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}

std::string le32(uint32_t v) {
    return le16(static_cast<uint16_t>(v)) + le16(static_cast<uint16_t>(v >> 16));
}

std::string f64(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return le32(static_cast<uint32_t>(bits)) + le32(static_cast<uint32_t>(bits >> 32));
}

std::string record(uint16_t type, std::string_view data) {
    return le16(type) + le16(static_cast<uint16_t>(data.size())) + std::string(data);
}

std::string cell(uint16_t row, uint16_t column, uint16_t xf) {
    return le16(row) + le16(column) + le16(xf);
}

std::string utf16(std::string_view utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        uint32_t cp;
        if (c < 0x80) {
            cp = c;
            i += 1;
        } else if (c < 0xE0) {
            cp = (c & 0x1F) << 6 | (utf8[i + 1] & 0x3F);
            i += 2;
        } else if (c < 0xF0) {
            cp = (c & 0x0F) << 12 | (utf8[i + 1] & 0x3F) << 6 | (utf8[i + 2] & 0x3F);
            i += 3;
        } else {
            cp = (c & 0x07) << 18 | (utf8[i + 1] & 0x3F) << 12 | (utf8[i + 2] & 0x3F) << 6 |
                 (utf8[i + 3] & 0x3F);
            i += 4;
        }
        if (cp >= 0x10000) {
            out += le16(static_cast<uint16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            cp = 0xDC00 + ((cp - 0x10000) & 0x3FF);
        }
        out += le16(static_cast<uint16_t>(cp));
    }
    return out;
}

std::string text16(std::string_view utf8) {
    bool ascii = true;
    for (char c : utf8)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) return le16(static_cast<uint16_t>(utf8.size())) + '\0' + std::string(utf8);
    const std::string wide = utf16(utf8);
    return le16(static_cast<uint16_t>(wide.size() / 2)) + '\1' + wide;
}

std::string formulaNumber(uint16_t row, uint16_t column, double value, uint16_t xf) {
    return record(kFormula, cell(row, column, xf) + f64(value) + le16(0) + le32(0) + le16(3) +
                                std::string("\x1E\x01\x00", 3));
}

std::string formulaSpecial(uint16_t row, uint16_t column, uint8_t kind, uint8_t value,
                           uint16_t xf) {
    std::string result(8, '\0');
    result[0] = static_cast<char>(kind);
    result[2] = static_cast<char>(value);
    result[6] = result[7] = '\xFF';
    return record(kFormula, cell(row, column, xf) + result + le16(0) + le32(0) + le16(3) +
                                std::string("\x1E\x01\x00", 3));
}

std::string stream(const Book& book) {
    const uint16_t version = book.biff8 ? 0x0600 : 0x0500;
    std::string globals = record(kBof, le16(version) + le16(0x0005) + std::string(12, '\0'));
    globals += book.globals;
    for (uint16_t id : book.xfFormats)
        globals += record(kXf, le16(0) + le16(id) + std::string(book.biff8 ? 16 : 12, '\0'));
    std::vector<std::size_t> patch;
    for (const Sheet& s : book.sheets) {
        std::string name;
        if (book.biff8) {
            const std::string t = text16(s.name);
            name = t.substr(0, 1) + t.substr(2);  // an 8-bit count
        } else {
            name = std::string(1, static_cast<char>(s.name.size())) + s.name;
        }
        patch.push_back(globals.size() + 4);
        globals += record(
            0x0085, le32(0) + static_cast<char>(s.visibility) + static_cast<char>(s.kind) + name);
    }
    globals += record(kEof, "");
    std::string out = globals;
    for (std::size_t i = 0; i < book.sheets.size(); ++i) {
        const std::string at = le32(static_cast<uint32_t>(out.size()));
        out.replace(patch[i], 4, at);
        out += record(kBof, le16(version) + le16(book.sheets[i].bofType) + std::string(12, '\0'));
        out += book.sheets[i].records;
        out += record(kEof, "");
    }
    return out;
}

void writeCompound(const std::string& path, const std::string& name, const std::string& stream) {
    GError* error = nullptr;
    GsfOutput* file = GSF_OUTPUT(gsf_output_stdio_new(path.c_str(), &error));
    ASSERT_NE(file, nullptr) << (error ? error->message : "");
    GsfOutfile* ole = gsf_outfile_msole_new(file);
    g_object_unref(file);
    GsfOutput* child = gsf_outfile_new_child(ole, name.c_str(), FALSE);
    ASSERT_TRUE(
        gsf_output_write(child, stream.size(), reinterpret_cast<const guint8*>(stream.data())));
    gsf_output_close(child);
    g_object_unref(child);
    gsf_output_close(GSF_OUTPUT(ole));
    g_object_unref(ole);
}

}  // namespace zbq::test::biff
