// The text import (text_read_model.h).
#include "app/text_read_model.h"

#include <ext/stdio_filebuf.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <limits>
#include <optional>

#include "app/ckw_app.h"
#include "app/excel_read_rows.h"
#include "app/shown_message.h"
#include "app/temp_names.h"
#include "engine/kw_format.h"
#include "platform/core/cp932.h"
#include "platform/core/regular_file.h"
#include "platform/core/shown_text.h"

namespace zbq::app {

namespace {

// clang-format off
constexpr char kCannotReadNames[] = ZBQ_SHOWN("指定のファイルから項目情報を取り出すことはせきませんでした。");
constexpr char kNoName[] = ZBQ_SHOWN("項目名が設定されて項目があります。項目名を入力してください。");
constexpr char kNoTitle[] = ZBQ_SHOWN("タイトルが設定されていません。タイトルを入力してください。");
constexpr char kCannotCreate[] = ZBQ_SHOWN("ファイルが作成できません。");
constexpr char kCannotCopy[] = ZBQ_SHOWN("ファイルが作成できませんでした。処理を終了します。");
constexpr char kCannotWrite[] = ZBQ_SHOWN("ファイルに書き込みできませんでした。処理を終了します。");
constexpr char kNoData[] = ZBQ_SHOWN("テキストファイルからデータを読み込めませんでした。");
constexpr char kTooLong[] = ZBQ_SHOWN("項目名が長すぎます。%1");
constexpr char kBom[] = ZBQ_SHOWN("テキストファイル[%1]はBOM付きのUTF-8です。Shift-JIS(CP932)で保存してください。");
constexpr char kUnreadable[] = ZBQ_SHOWN("テキストファイル[%1]の%2行目に読み込めない文字（NUL、改行）があります。");
constexpr char kUtf8[] = ZBQ_SHOWN("テキストファイル[%1]の%2行目はUTF-8です。Shift-JIS(CP932)で保存してください。");
constexpr char kNotCp932[] = ZBQ_SHOWN("テキストファイル[%1]の%2行目にShift-JIS(CP932)でない文字があります。");
constexpr char kNamesTooLong[] = ZBQ_SHOWN("テキストファイル[%1]の1行目が長すぎます。項目名の行は%2バイトまでです。");
constexpr char kTooManyItems[] = ZBQ_SHOWN("項目が多すぎます。項目は%1個までです。");
// clang-format on

// The line of item names, with its line feed, is shorter than this: 1,024 names of 60 bytes and
// their TABs fit, and a file with no line end in sight (a device, a file of one endless line) is
// not read on.
constexpr std::size_t kNameLineMax = 65536;

// A text file the import reads, opened without blocking and only when it is a regular file: a
// FIFO or a device named by mistake is refused at once, never waited on or read without end.
class TextFile {
public:
    explicit TextFile(const std::string& path) {
        RegularFileError error;
        const int fd = openRegularFile(path, std::numeric_limits<std::uint64_t>::max(), error);
        if (fd < 0) return;
        buffer_.emplace(fd, std::ios::in);  // owns the descriptor from here
        in_.rdbuf(&*buffer_);
    }
    explicit operator bool() const { return buffer_.has_value(); }
    std::istream& in() { return in_; }

private:
    std::optional<__gnu_cxx::stdio_filebuf<char>> buffer_;
    std::istream in_{nullptr};
};

// The first line of `in` as nextTextLine gives it, read no further than kNameLineMax bytes:
// false at the end of an empty file, or (with `tooLong`) when no line end comes in time.
bool nameLine(std::istream& in, std::string& line, bool& tooLong) {
    line.clear();
    tooLong = false;
    std::streambuf& buffer = *in.rdbuf();
    for (;;) {
        const int c = buffer.sbumpc();
        if (c == std::char_traits<char>::eof()) break;
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return true;
        }
        if (line.size() + 1 >= kNameLineMax) {
            tooLong = true;
            return false;
        }
        line.push_back(static_cast<char>(c));
    }
    if (line.empty()) return false;
    if (line.back() == '\r') line.pop_back();
    return true;
}

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool trailByte(unsigned char c) {
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}

// Every byte is ASCII, a half-width katakana or one of a lead and a trail byte.
bool isCp932(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80 || (c >= 0xA1 && c <= 0xDF)) continue;
        if (!cp932::isLeadByte(c) || i + 1 == text.size() ||
            !trailByte(static_cast<unsigned char>(text[i + 1])))
            return false;
        ++i;
    }
    return true;
}

// Well-formed UTF-8 (no overlong form, surrogate or code point beyond U+10FFFF) holding at
// least one character beyond ASCII.
bool isUtf8BeyondAscii(std::string_view text) {
    bool beyond = false;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        beyond = true;
        std::size_t length = 0;
        unsigned char low = 0x80, high = 0xBF;  // the second byte's range
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0) low = 0xA0;
            if (c == 0xED) high = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0) low = 0x90;
            if (c == 0xF4) high = 0x8F;
        } else {
            return false;
        }
        if (i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto b = static_cast<unsigned char>(text[i + k]);
            if (b < (k == 1 ? low : 0x80) || b > (k == 1 ? high : 0xBF)) return false;
        }
        i += length;
    }
    return beyond;
}

// What a text file may hold, line by line: CP932 text without NUL and without a CR inside a
// line (the builder would end a line there). A file whose every line beyond ASCII is also
// UTF-8 is taken for UTF-8, named at the first of them: CP932 text seldom is, and a UTF-8 file
// read as CP932 would load as garbage without a word. The refusal is a message naming the file
// and the line, UTF-8.
class TextCheck {
public:
    explicit TextCheck(std::string file) : file_(std::move(file)) {}

    // The next line (without its line end); false once refused.
    bool line(std::string_view text) {
        ++number_;
        if (number_ == 1 && text.starts_with(kUtf8Bom)) return refuse(shownMessage(kBom, {file_}));
        if (text.find_first_of(std::string_view("\0\r", 2)) != std::string_view::npos)
            return refuse(at(kUnreadable));
        const bool cp932 = isCp932(text);
        const bool utf8 = isUtf8BeyondAscii(text);
        if (!cp932) return refuse(at(utf8 ? kUtf8 : kNotCp932));
        if (utf8 && firstUtf8_ == 0) firstUtf8_ = number_;
        if (!utf8 && std::any_of(text.begin(), text.end(),
                                 [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
            cp932Only_ = true;
        return true;
    }
    // After the last line; false when the file was UTF-8 after all.
    bool end() {
        if (firstUtf8_ != 0 && !cp932Only_) {
            number_ = firstUtf8_;
            return refuse(at(kUtf8));
        }
        return true;
    }
    const std::string& message() const { return message_; }

private:
    // A message naming the file (%1) and the line (%2).
    std::string at(const char* message) const {
        return shownMessage(message, {file_, std::to_string(number_)});
    }
    bool refuse(std::string message) {
        message_ = std::move(message);
        return false;
    }

    std::string file_;
    std::int64_t number_ = 0;
    std::int64_t firstUtf8_ = 0;  // the first line that is UTF-8 beyond ASCII
    bool cp932Only_ = false;      // a line beyond ASCII that only CP932 reads
    std::string message_;
};

// The line as the data file holds it: its cells as they stand (appendBuilderField), padded
// with TABs to `columns` cells.
void appendDataLine(std::string& out, const std::string& line, int columns) {
    out.clear();
    if (line.find('"') == std::string::npos) {
        out = line;
    } else {
        const std::vector<std::string> cells = splitAtTabs(line);
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (i) out += '\t';
            appendBuilderField(out, cells[i]);
        }
    }
    const auto tabs = std::count(line.begin(), line.end(), '\t');
    if (tabs + 1 < columns) out.append(columns - tabs - 1, '\t');
}

}  // namespace

bool nextTextLine(std::istream& in, std::string& line) {
    if (!std::getline(in, line)) return false;
    // A CR anywhere but before the LF stays, for the checks to find.
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

std::vector<std::string> splitAtTabs(const std::string& line) {
    std::vector<std::string> cells;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        cells.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos) return cells;
        start = tab + 1;
    }
}

TextReadModel::TextReadModel(CKWApp& app, const std::vector<std::string>& paths) : app_(app) {
    for (const std::string& path : paths) {
        const std::filesystem::path p(path);
        if (folder_.empty()) folder_ = p.parent_path().string();
        files_.push_back(p.filename().string());
    }
}

bool TextReadModel::ReadItemNames(int row) {
    if (row < 0 || row >= static_cast<int>(files_.size())) return false;
    TextFile file(pathOf(files_[row]));
    std::string line;
    bool tooLong = false;
    if (!file || !nameLine(file.in(), line, tooLong)) {
        if (tooLong)
            app_.ShowError(
                shownMessage(kNamesTooLong, {files_[row], std::to_string(kNameLineMax - 1)}));
        else
            app_.ShowError(kCannotReadNames);
        return false;
    }
    // Names the definition could not hold, or text in another encoding, never reach the list.
    // These refusals say what is wrong in a sentence of their own.
    TextCheck check(files_[row]);
    if (!check.line(line) || !check.end()) {
        app_.ShowError(check.message());
        return false;
    }
    const std::vector<std::string> names = splitAtTabs(line);
    // The engine holds no more items: refused here rather than after the whole copy.
    if (names.size() > static_cast<std::size_t>(KW_MAX_ITEMS)) {
        app_.ShowError(shownMessage(kTooManyItems, {std::to_string(KW_MAX_ITEMS)}));
        return false;
    }
    items_.clear();
    for (std::size_t i = 0; i < names.size(); ++i)
        items_.push_back(ImportItem{static_cast<std::int32_t>(i + 1), names[i], 4});
    columnCount_ = static_cast<int>(names.size());
    okEnabled_ = true;
    return true;
}

std::vector<int> TextReadModel::DeleteFiles(const std::vector<int>& selected) {
    deleteRows(files_, normalizedSelection(selected, static_cast<int>(files_.size())));
    if (files_.empty()) okEnabled_ = false;
    return {};
}

std::vector<int> TextReadModel::MoveFilesUp(const std::vector<int>& selected) {
    return moveRowsUp(files_, normalizedSelection(selected, static_cast<int>(files_.size())));
}

std::vector<int> TextReadModel::MoveFilesDown(const std::vector<int>& selected) {
    return moveRowsDown(files_, normalizedSelection(selected, static_cast<int>(files_.size())));
}

void TextReadModel::DeleteItems(const std::vector<int>& selected) {
    deleteRows(items_, normalizedSelection(selected, static_cast<int>(items_.size())));
    if (items_.empty()) okEnabled_ = false;
}

bool TextReadModel::SetItem(int row, std::string name, int typeChoice) {
    if (row < 0 || row >= static_cast<int>(items_.size())) return false;
    items_[row].name = std::move(name);
    items_[row].typeChoice = typeChoice;
    return true;
}

TextReadModel::Outcome TextReadModel::OnOK() {
    for (const ImportItem& item : items_) {
        const std::string shown = "[" + cp932::toUtf8(item.name) + "]";
        if (item.name.empty()) {
            app_.ShowError(kNoName);
            return Outcome::Stay;
        }
        if (item.name.size() > kNameLimit) {
            app_.ShowError(shownMessage(kTooLong, {shown}));
            return Outcome::Stay;
        }
        if (!definitionKeeps(item.name)) {
            app_.ShowError(shownMessage(kNameCharacters, {}) + shown);
            return Outcome::Stay;
        }
    }
    if (title_.empty()) {
        app_.ShowError(kNoTitle);
        return Outcome::Stay;
    }
    if (!definitionKeeps(title_)) {
        app_.ShowError(kTitleCharacters);
        return Outcome::Stay;
    }

    ImportOutput output;
    if (!claimImportOutput(app_, output) ||
        !output.writeDefinition(definitionText(title_, items_))) {
        app_.ShowError(kCannotCreate);
        return Outcome::Cancelled;
    }
    std::string data;
    for (const std::string& file : files_) {
        TextFile text(pathOf(file));
        std::istream& in = text.in();
        std::string line;
        if (!text) {
            app_.ShowError(kCannotCopy);
            return Outcome::Cancelled;
        }
        TextCheck check(file);
        // The header is not copied; only a BOM on it is looked at, which says the whole file
        // is UTF-8.
        if (nextTextLine(in, line) && line.starts_with(kUtf8Bom)) {
            check.line(line);
            app_.ShowError(check.message());
            return Outcome::Stay;
        }
        check.line("");
        while (nextTextLine(in, line)) {
            // A file the data set would not hold as it stands is the user's to mend: the
            // dialog stays, and what was written goes with `output`.
            if (!check.line(line)) {
                app_.ShowError(check.message());
                return Outcome::Stay;
            }
            appendDataLine(data, line, columnCount_);
            if (!output.writeLine(data)) {
                app_.ShowError(kCannotWrite);
                return Outcome::Cancelled;
            }
        }
        if (in.bad()) {
            app_.ShowError(kCannotCopy);
            return Outcome::Cancelled;
        }
        if (!check.end()) {
            app_.ShowError(check.message());
            return Outcome::Stay;
        }
    }
    if (output.linesWritten() == 0) {
        app_.ShowError(kNoData);
        return Outcome::Cancelled;
    }
    const std::string definition = output.definitionPath();
    if (!output.finish()) {
        app_.ShowError(kCannotWrite);
        return Outcome::Cancelled;
    }
    outputPath_ = definition;
    return Outcome::Accepted;
}

}  // namespace zbq::app
