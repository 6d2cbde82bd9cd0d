// The macro file's section names, key names and explanation form.
#include "macro/macro_file_format.h"

#include <charconv>
#include <fstream>

#include "platform/core/cp932.h"

namespace macrofile {

namespace {

const std::string& lineBreakMark() {
    static const std::string mark = zbq::cp932::literal("<改行>");
    return mark;
}

void appendNumber(std::string& out, std::int32_t n) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    out.append(digits, end);
}

}  // namespace

const char* sectionNameUtf8(Section section) {
    switch (section) {
        case Section::File:
            return "ファイル";
        case Section::Structure:
            return "構造定義";
        case Section::Macros:
            break;
    }
    return "マクロ";
}

const std::string& sectionName(Section section) {
    static const std::string names[] = {zbq::cp932::literal(sectionNameUtf8(Section::File)),
                                        zbq::cp932::literal(sectionNameUtf8(Section::Structure)),
                                        zbq::cp932::literal(sectionNameUtf8(Section::Macros))};
    return names[static_cast<int>(section)];
}

std::string keyName(std::string_view prefix, std::int32_t n) {
    std::string key(prefix);
    appendNumber(key, n);
    return key;
}

std::string keyName(std::string_view prefix, std::int32_t n, std::int32_t k) {
    std::string key = keyName(prefix, n);
    key += '_';
    appendNumber(key, k);
    return key;
}

std::string explanationToFile(std::string_view explanation) {
    std::string out;
    out.reserve(explanation.size());
    for (std::size_t i = 0; i < explanation.size(); ++i) {
        const char c = explanation[i];
        if (c == '\r' || c == '\n') {
            out += lineBreakMark();
            if (c == '\r' && i + 1 < explanation.size() && explanation[i + 1] == '\n') ++i;
        } else {
            out += c;
        }
    }
    return out;
}

std::string explanationFromFile(std::string_view value) {
    const std::string& mark = lineBreakMark();
    std::string out;
    // A lone CR is a line break too, as the writer takes it, so that the explanation read is the
    // one the next save writes back.
    const auto append = [&out](std::string_view text) {
        for (char c : text) {
            out += c;
            if (c == '\r') out += '\n';
        }
    };
    // The mark is sought byte by byte, as the writer puts it in: its '<' is never a trail byte,
    // so this differs from a search by characters only after a lone lead byte, and there the two
    // must still agree.
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = value.find(mark, from);
        append(value.substr(from, at == std::string_view::npos ? value.npos : at - from));
        if (at == std::string_view::npos) return out;
        out += "\r\n";
        from = at + mark.size();
    }
}

bool fitsOneLine(std::string_view value) {
    return value.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

bool readFileBytes(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return false;
    const std::streamoff size = in.tellg();
    if (size < 0) return false;
    bytes.resize(static_cast<std::size_t>(size));
    in.seekg(0);
    return static_cast<bool>(in.read(bytes.data(), size));
}

}  // namespace macrofile
