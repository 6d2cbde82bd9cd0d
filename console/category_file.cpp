#include "console/category_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <vector>

#include "console/category_set.h"
#include "platform/core/atomic_file.h"
#include "platform/core/shown_text.h"

namespace {

// The lines of a file: each ends at LF, and a CR right before the LF goes with it. A last line
// without its LF still counts.
std::vector<std::string_view> splitLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        const bool ended = end != std::string_view::npos;
        if (!ended) end = bytes.size();
        std::string_view line = bytes.substr(start, end - start);
        if (ended && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

class LineReader {
public:
    explicit LineReader(std::string_view bytes) : lines_(splitLines(bytes)) {}

    std::int64_t remaining() const { return static_cast<std::int64_t>(lines_.size()) - next_; }
    std::int32_t lineNumber() const { return static_cast<std::int32_t>(next_) + 1; }

    // The next line as a text of at most `limit` bytes.
    bool text(std::string& out, std::size_t limit) {
        if (!take()) return false;
        if (current_.size() > limit) return damaged("line too long");
        out.assign(current_);
        return true;
    }
    // The next line as a decimal number within [low, high].
    bool number(std::int32_t& out, std::int64_t low, std::int64_t high) {
        if (!take()) return false;
        std::int64_t value = 0;
        const char* first = current_.data();
        const char* last = first + current_.size();
        const auto [end, ec] = std::from_chars(first, last, value);
        if (current_.empty() || ec != std::errc() || end != last)
            return damaged("not a decimal number");
        if (value < low || value > high) return damaged("number out of range");
        out = static_cast<std::int32_t>(value);
        return true;
    }
    bool damaged(std::string reason) {
        damage_ = {static_cast<std::int32_t>(next_), std::move(reason)};
        return false;
    }
    const CategoryFile::Damage& damage() const { return damage_; }

private:
    bool take() {
        if (next_ >= lines_.size()) {
            ++next_;
            return damaged("missing line");
        }
        current_ = lines_[next_++];
        if (current_.find('\0') != std::string_view::npos) return damaged("NUL byte");
        // A CR that ends no line would be lost or split the text when it is written again.
        if (current_.find('\r') != std::string_view::npos) return damaged("CR inside a line");
        return true;
    }

    std::vector<std::string_view> lines_;
    std::size_t next_ = 0;
    std::string_view current_;
    CategoryFile::Damage damage_;
};

void appendLine(std::string& out, std::string_view value) {
    out.append(value);
    out.push_back('\n');
}

void appendNumber(std::string& out, std::int64_t value) {
    char digits[24];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
    (void)ec;
    appendLine(out, std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

// The whole of a regular file of at most kCategoryFileMax bytes. Opened without blocking, so
// that a FIFO or a device named as the file never stops the program, and looked at before a
// byte is read.
bool readAll(const std::string& path, std::string& out) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        st.st_size > static_cast<off_t>(CategoryFile::kFileMax)) {
        ::close(fd);
        return false;
    }
    char buffer[4096];
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ok = false;
        if (n <= 0) break;
        out.append(buffer, static_cast<std::size_t>(n));
        // It grew while it was read.
        if (out.size() > CategoryFile::kFileMax) ok = false;
        if (!ok) break;
    }
    ::close(fd);
    return ok;
}

}  // namespace

std::string CategoryFile::WriteCategory(const CategoryDefinition& definition) {
    std::string out;
    appendLine(out, definition.name);
    appendNumber(out, definition.valueType);
    appendNumber(out, static_cast<std::int64_t>(definition.smallClasses.size()));
    appendNumber(out, static_cast<std::int64_t>(definition.middleClasses.size()));
    appendNumber(out, static_cast<std::int64_t>(definition.largeClasses.size()));
    for (const SmallClassDefinition& s : definition.smallClasses) {
        appendLine(out, s.name);
        appendLine(out, s.value1);
        appendLine(out, s.value2);
        appendNumber(out, s.op);
    }
    for (const ClassGrouping& g : definition.middleClasses) {
        appendLine(out, g.name);
        appendLine(out, g.member);
    }
    for (const ClassGrouping& g : definition.largeClasses) {
        appendLine(out, g.name);
        appendLine(out, g.member);
    }
    return out;
}

CategoryFile::ReadResult CategoryFile::ReadCategory(std::string_view bytes) {
    CategoryDefinition d;
    // Read as lines that are all missing: an empty name, type 0, no classes.
    if (bytes.empty()) {
        d.valueType = 0;
        return d;
    }
    LineReader in(bytes);
    std::int32_t counts[3] = {};
    constexpr std::int64_t kCountMax = 0x7fffffff;
    bool ok = in.text(d.name, kNameMax) && in.number(d.valueType, -1, 6);
    for (int i = 0; ok && i < 3; ++i)
        ok = in.number(counts[i], 0, kCountMax);
    if (!ok) return in.damage();

    // Every count must fit the lines that follow, so a damaged count never makes the reader
    // reserve or walk more than the file holds.
    std::int64_t left = in.remaining();
    constexpr std::int64_t kLinesPerGroup[3] = {4, 2, 2};
    for (int i = 0; i < 3; ++i) {
        const std::int64_t needed = counts[i] * kLinesPerGroup[i];
        if (needed > left) return Damage{3 + i, "count beyond the lines present"};
        left -= needed;
    }

    d.smallClasses.resize(static_cast<std::size_t>(counts[0]));
    for (SmallClassDefinition& s : d.smallClasses)
        if (!(in.text(s.name, kNameMax) && in.text(s.value1, kValueMax) &&
              in.text(s.value2, kValueMax) && in.number(s.op, 0, 9)))
            return in.damage();
    d.middleClasses.resize(static_cast<std::size_t>(counts[1]));
    for (ClassGrouping& g : d.middleClasses)
        if (!(in.text(g.name, kNameMax) && in.text(g.member, kNameMax))) return in.damage();
    d.largeClasses.resize(static_cast<std::size_t>(counts[2]));
    for (ClassGrouping& g : d.largeClasses)
        if (!(in.text(g.name, kNameMax) && in.text(g.member, kNameMax))) return in.damage();
    return d;
}

CategoryFile::Imported CategoryFile::Import(const std::string& path) {
    std::string bytes;
    if (!readAll(path, bytes))
        return {std::nullopt, "カテゴリファイル[" + path + "]を読み込めません。",
                ZBQ_SHOWN("カテゴリファイル[%1]を読み込めません。")};
    ReadResult read = ReadCategory(bytes);
    if (const Damage* damage = std::get_if<Damage>(&read))
        return {
            std::nullopt,
            "カテゴリファイル[" + path + "]の" + std::to_string(damage->line) + "行目が不正です。",
            ZBQ_SHOWN("カテゴリファイル[%1]の%2行目が不正です。"), damage->line};
    return {std::get<CategoryDefinition>(std::move(read)), {}};
}

std::string CategoryFile::Export(const std::string& path, const CategoryDefinition& definition) {
    // A text no line can hold (a line break, a NUL, more than the reader takes) would come back
    // as another definition, or none: such a file is not written.
    const std::string bytes = WriteCategory(definition);
    const ReadResult back = ReadCategory(bytes);
    const CategoryDefinition* same = std::get_if<CategoryDefinition>(&back);
    if (!same || !(*same == definition) || !zbq::writeFileAtomically(path, bytes))
        return ZBQ_SHOWN("ファイルの書出しに失敗しました。");
    return {};
}
