// The BIFF8 record walk behind the formula results, and the Workbook stream out of libgsf.
#include "platform/workbook/workbook_reader_xls_formulas.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input-stdio.h>

#include <cstring>
#include <optional>

#include "platform/workbook/workbook_cell.h"

namespace zbq::workbook::detail {

namespace {

bool streamOf(GsfInput* file, std::string& stream) {
    if (!file) return false;
    const gsf_off_t fileSize = gsf_input_size(file);
    GError* error = nullptr;
    GsfInfile* ole = gsf_infile_msole_new(file, &error);
    g_clear_error(&error);
    g_object_unref(file);
    if (!ole) return false;
    GsfInput* book = gsf_infile_child_by_name(ole, "Workbook");
    bool ok = false;
    if (book) {
        const gsf_off_t size = gsf_input_size(book);
        // A stream is stored in the file's own sectors: one larger than the file lies.
        if (size > 0 && size <= fileSize) {
            stream.resize(static_cast<std::size_t>(size));
            ok = gsf_input_read(book, static_cast<std::size_t>(size),
                                reinterpret_cast<guint8*>(stream.data())) != nullptr;
        }
        g_object_unref(book);
    }
    g_object_unref(ole);
    if (!ok) stream.clear();
    return ok;
}

uint16_t u16(std::string_view s, std::size_t at) {
    return static_cast<uint16_t>(static_cast<unsigned char>(s[at]) |
                                 static_cast<unsigned char>(s[at + 1]) << 8);
}

uint32_t u32(std::string_view s, std::size_t at) {
    return u16(s, at) | static_cast<uint32_t>(u16(s, at + 2)) << 16;
}

void appendUtf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Characters of a BIFF8 string, which may run on over CONTINUE records; each piece is either
// one byte a character (Latin-1) or UTF-16LE, as its own flag says.
class UnicodeText {
public:
    explicit UnicodeText(uint16_t count) : left_(count) {}
    bool done() const { return left_ == 0; }
    // Takes what `piece` holds of the characters; `highByte` tells its width.
    void take(std::string_view piece, bool highByte) {
        std::size_t i = 0;
        while (left_ > 0 && i + (highByte ? 2 : 1) <= piece.size()) {
            uint32_t c = highByte ? u16(piece, i) : static_cast<unsigned char>(piece[i]);
            i += highByte ? 2 : 1;
            --left_;
            if (c >= 0xD800 && c < 0xDC00) {
                pendingHigh_ = c;
                continue;
            }
            if (c >= 0xDC00 && c < 0xE000 && pendingHigh_) {
                c = 0x10000 + ((pendingHigh_ - 0xD800) << 10) + (c - 0xDC00);
            } else if (c >= 0xDC00 && c < 0xE000) {
                c = 0xFFFD;
            }
            if (pendingHigh_ && c < 0x10000) appendUtf8(text_, 0xFFFD);
            pendingHigh_ = 0;
            appendUtf8(text_, c);
        }
    }
    std::string finish() {
        if (pendingHigh_) appendUtf8(text_, 0xFFFD);
        return std::move(text_);
    }

private:
    uint32_t left_;
    uint32_t pendingHigh_ = 0;
    std::string text_;
};

// A ShortXLUnicodeString (one-byte count) wholly inside `data` from `at`.
std::string shortText(std::string_view data, std::size_t at) {
    if (at + 2 > data.size()) return {};
    UnicodeText text(static_cast<unsigned char>(data[at]));
    text.take(data.substr(at + 2), (data[at + 1] & 1) != 0);
    return text.finish();
}

constexpr uint16_t kFormula = 0x0006;
constexpr uint16_t kEof = 0x000A;
constexpr uint16_t kContinue = 0x003C;
constexpr uint16_t kBoundSheet = 0x0085;
constexpr uint16_t kXf = 0x00E0;
constexpr uint16_t kString = 0x0207;
constexpr uint16_t kFormat = 0x041E;
constexpr uint16_t kBof = 0x0809;

const char* errorText(unsigned char code) {
    switch (code) {
        case 0x00:
            return "#NULL!";
        case 0x07:
            return "#DIV/0!";
        case 0x0F:
            return "#VALUE!";
        case 0x17:
            return "#REF!";
        case 0x1D:
            return "#NAME?";
        case 0x24:
            return "#NUM!";
        case 0x2A:
            return "#N/A";
        default:
            return nullptr;
    }
}

}  // namespace

bool readWorkbookStream(const std::string& path, std::string& stream) {
    GError* error = nullptr;
    GsfInput* file = GSF_INPUT(gsf_input_stdio_new(path.c_str(), &error));
    g_clear_error(&error);
    return streamOf(file, stream);
}

bool readWorkbookStreamFromMemory(std::string_view file, std::string& stream) {
    GsfInput* input = gsf_input_memory_new(reinterpret_cast<const guint8*>(file.data()),
                                           static_cast<gsf_off_t>(file.size()), FALSE);
    return streamOf(input, stream);
}

FormulaResults formulaResults(std::string_view s) {
    FormulaResults results;
    // Records are walked once, front to back: a sheet's records begin at the BOF its
    // BOUNDSHEET record points at, and end at the EOF that closes it (charts embedded in a
    // sheet open and close substreams of their own, whose records are not the sheet's).
    std::unordered_map<uint32_t, std::string> sheetAt;  // BOF offset -> name
    std::vector<uint16_t> xfFormat;                     // each XF's number format id
    std::unordered_map<uint16_t, std::string> formats;  // the workbook's own codes (UTF-8)
    std::unordered_map<uint16_t, uint8_t> temporalOfFormat;
    std::vector<FormulaResult>* sheet = nullptr;
    int depth = 0;
    bool globals = true;
    // The FORMULA record whose text result the next STRING record holds.
    std::optional<FormulaResult> awaitingText;
    std::optional<UnicodeText> text;  // a STRING record's text running on in CONTINUE records

    auto temporalOfXf = [&](uint16_t xf) -> uint8_t {
        if (xf >= xfFormat.size()) return 0;
        const uint16_t id = xfFormat[xf];
        if (auto known = temporalOfFormat.find(id); known != temporalOfFormat.end())
            return known->second;
        Temporal t = Temporal::None;
        if (auto own = formats.find(id); own != formats.end())
            t = temporalOf(own->second);
        else if (auto builtin = builtinFormatCode(id))
            t = temporalOf(*builtin);
        return temporalOfFormat[id] = static_cast<uint8_t>(t);
    };
    auto finishText = [&] {
        if (awaitingText && text && sheet) {
            awaitingText->text = text->finish();
            if (!awaitingText->text.empty()) sheet->push_back(std::move(*awaitingText));
        }
        awaitingText.reset();
        text.reset();
    };

    for (std::size_t at = 0; at + 4 <= s.size();) {
        const uint16_t type = u16(s, at);
        const uint16_t size = u16(s, at + 2);
        if (at + 4 + size > s.size()) break;
        const std::string_view data = s.substr(at + 4, size);
        const auto offset = static_cast<uint32_t>(at);
        at += 4 + std::size_t{size};

        if (type == kContinue) {
            if (text && !text->done() && !data.empty())
                text->take(data.substr(1), (data[0] & 1) != 0);
            if (text && text->done()) finishText();
            continue;
        }
        if (text) finishText();  // a text cut short by the record after it

        if (type == kBof) {
            if (offset == 0) {
                // Only BIFF8 lays out its records as read here.
                if (size < 2 || u16(data, 0) != 0x0600) return results;
                depth = 1;
                continue;
            }
            if (auto named = sheetAt.find(offset); named != sheetAt.end() && !globals) {
                sheet = &results[named->second];
                depth = 1;
            } else {
                ++depth;
            }
            continue;
        }
        if (type == kEof) {
            if (--depth <= 0) {
                globals = false;
                sheet = nullptr;
                depth = 0;
            }
            awaitingText.reset();
            continue;
        }
        if (globals) {
            if (type == kBoundSheet && size >= 8) {
                std::string name = shortText(data, 6);
                if (!name.empty()) sheetAt.emplace(u32(data, 0), std::move(name));
            } else if (type == kXf && size >= 4) {
                xfFormat.push_back(u16(data, 2));
            } else if (type == kFormat && size >= 5) {
                UnicodeText code(u16(data, 2));
                code.take(data.substr(5), (data[4] & 1) != 0);
                formats[u16(data, 0)] = code.finish();
            }
            continue;
        }
        if (!sheet || depth != 1) continue;
        if (type == kFormula && size >= 20) {
            awaitingText.reset();
            FormulaResult r;
            r.row = u16(data, 0);
            r.column = u16(data, 2);
            const std::string_view value = data.substr(6, 8);
            if (u16(value, 6) != 0xFFFF) {
                uint64_t bits = u32(value, 0) | static_cast<uint64_t>(u32(value, 4)) << 32;
                std::memcpy(&r.number, &bits, sizeof r.number);
                if (r.number != r.number) continue;  // no NaN is a result
                r.temporal = temporalOfXf(u16(data, 4));
                sheet->push_back(std::move(r));
                continue;
            }
            switch (static_cast<unsigned char>(value[0])) {
                case 0:
                    r.kind = FormulaResult::Kind::Text;
                    awaitingText = std::move(r);
                    break;
                case 1:
                    r.kind = FormulaResult::Kind::Boolean;
                    r.number = value[2] != 0 ? 1 : 0;
                    sheet->push_back(std::move(r));
                    break;
                case 2:
                    if (const char* e = errorText(static_cast<unsigned char>(value[2]))) {
                        r.kind = FormulaResult::Kind::Error;
                        r.text = e;
                        sheet->push_back(std::move(r));
                    }
                    break;
                default:  // an empty text: no value
                    break;
            }
            continue;
        }
        if (type == kString && awaitingText) {
            if (size < 3) {
                awaitingText.reset();
                continue;
            }
            text.emplace(u16(data, 0));
            text->take(data.substr(3), (data[2] & 1) != 0);
            if (text->done()) finishText();
            continue;
        }
    }
    if (text) finishText();
    return results;
}

}  // namespace zbq::workbook::detail
