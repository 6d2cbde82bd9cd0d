// One worksheet part from the fuzzer, in a package that is sound otherwise (shared strings, and
// styles with a date, a time and a text format): read through, or refused.
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "fuzz/workbook_fuzz_support.h"

namespace {

const std::string kRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const std::string kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";

uint32_t crc32Of(const std::string& data) {
    static const auto table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    uint32_t c = 0xFFFFFFFFu;
    for (unsigned char b : data)
        c = table[(c ^ b) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void put16(std::string& out, uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// The parts stored uncompressed: packing them costs next to nothing beside the reading.
std::string storedZip(const std::vector<std::pair<std::string, std::string>>& parts) {
    std::string out, directory;
    for (const auto& part : parts) {
        const std::string& name = part.first;
        const std::string& data = part.second;
        const uint32_t offset = static_cast<uint32_t>(out.size());
        const uint32_t crc = crc32Of(data), size = static_cast<uint32_t>(data.size());
        auto header = [&](std::string& to, bool central) {
            put32(to, central ? 0x02014b50 : 0x04034b50);
            if (central) put16(to, 20);
            for (uint32_t v : {20u, 0u, 0u, 0u, 0u})
                put16(to, v);
            put32(to, crc);
            put32(to, size);
            put32(to, size);
            put16(to, static_cast<uint32_t>(name.size()));
            put16(to, 0);
            if (central) {
                for (uint32_t v : {0u, 0u, 0u})
                    put16(to, v);
                put32(to, 0);
                put32(to, offset);
            }
            to += name;
        };
        header(out, false);
        out += data;
        header(directory, true);
    }
    const uint32_t at = static_cast<uint32_t>(out.size());
    out += directory;
    put32(out, 0x06054b50);
    put16(out, 0);
    put16(out, 0);
    put16(out, static_cast<uint32_t>(parts.size()));
    put16(out, static_cast<uint32_t>(parts.size()));
    put32(out, static_cast<uint32_t>(directory.size()));
    put32(out, at);
    put16(out, 0);
    return out;
}

std::vector<std::pair<std::string, std::string>> frame() {
    return {
        {"_rels/.rels",
         R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
         R"(<Relationship Id="rId1" Type=")" +
             kRel + R"(/officeDocument" Target="xl/workbook.xml"/></Relationships>)"},
        {"xl/workbook.xml", R"(<workbook xmlns=")" + kMain + R"(" xmlns:r=")" + kRel +
                                R"("><sheets><sheet name="S" sheetId="1" r:id="rId1"/>)"
                                R"(</sheets></workbook>)"},
        {"xl/_rels/workbook.xml.rels",
         R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
         R"(<Relationship Id="rId1" Type=")" +
             kRel + R"(/worksheet" Target="worksheets/sheet1.xml"/>)" +
             R"(<Relationship Id="rId2" Type=")" + kRel +
             R"(/sharedStrings" Target="sharedStrings.xml"/>)" +
             R"(<Relationship Id="rId3" Type=")" + kRel +
             R"(/styles" Target="styles.xml"/></Relationships>)"},
        {"xl/sharedStrings.xml", R"(<sst xmlns=")" + kMain +
                                     R"("><si><t>a</t></si><si><t>日本</t></si>)"
                                     R"(<si><r><t>b</t></r><r><t>c</t></r></si></sst>)"},
        {"xl/styles.xml", R"(<styleSheet xmlns=")" + kMain +
                              R"("><numFmts><numFmt numFmtId="164" formatCode="yyyy/m/d"/>)"
                              R"(</numFmts><cellXfs><xf numFmtId="0"/><xf numFmtId="164"/>)"
                              R"(<xf numFmtId="20"/><xf numFmtId="22"/><xf numFmtId="49"/>)"
                              R"(</cellXfs></styleSheet>)"},
    };
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const auto parts = frame();
    auto withSheet = parts;
    withSheet.emplace_back("xl/worksheets/sheet1.xml",
                           std::string(reinterpret_cast<const char*>(data), size));
    const std::string bytes = storedZip(withSheet);
    zbq::fuzz::MemoryFile file(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    zbq::fuzz::readEverySheet(file.path());
    return 0;
}
