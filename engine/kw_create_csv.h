// CSV intake of the builder: reading a delimited text line by line and splitting a line into
// fields. Used by KW_create (kw_create.h) for the source text and for its column files.
//
// Lines: a line ends at LF, CR LF or a lone CR (a lone CR never swallows the byte after it).
// The end of the data ends a last line that has no line end; it never starts a new, empty one.
// A line of any length is delivered whole (the buffer grows); nothing is cut.
//
// Fields (SplitCsvLine): the field separator splits a line; a field in second or later position
// that starts with a double quote runs, separators included, up to a double quote directly
// followed by the separator, and loses its enclosing quotes. A doubled quote stays doubled.
// Fields are views into the line; nothing is copied.
//
// Not thread-safe; one reader per open file. Failures are values (errno).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Appends the fields of `line` to `fields` after clearing it. `sep` is not a double quote.
//  - The first field is never quoted; a field in later position that starts with a double quote
//    is in quoted mode until a double quote directly followed by `sep`.
//  - A field ended by a separator that begins and ends with a double quote loses both.
//  - The last field loses a leading and, independently, a trailing double quote; it is dropped
//    when it is then empty. So "a,b," gives two fields and an empty line none.
void SplitCsvLine(std::string_view line, char sep, std::vector<std::string_view>& fields);

class CsvLineReader {
public:
    static constexpr std::size_t kChunkSize = 65536;

    CsvLineReader() = default;
    ~CsvLineReader();
    CsvLineReader(const CsvLineReader&) = delete;
    CsvLineReader& operator=(const CsvLineReader&) = delete;

    // Opens an existing file read-only and takes its size. 0, or the errno of the failure.
    int open(const std::string& path);
    // Reads lines out of bytes in memory, which must outlive the reader's use.
    void openBytes(std::string_view bytes);

    // 1: `line` holds the next line without its end (valid until the next call); 0: end of
    // data; -1: a read failed (error() holds the errno).
    int next(std::string_view& line);

    // 0, or the errno of a failed close. Also frees the buffer.
    int close();

    // Whether the line last delivered holds a NUL byte (no text table has one).
    bool lineHasNul() const { return lineHasNul_; }

    // The size of the file when it was opened (of the bytes for openBytes).
    std::int64_t size() const { return size_; }
    int error() const { return error_; }

private:
    // Reads more bytes behind the unread ones, moving them to the front first and growing the
    // buffer when a single line fills it. false on a read failure.
    bool fill();

    int fd_ = -1;
    std::vector<char> buffer_;
    const char* data_ = nullptr;  // buffer_.data() for a file, the bytes for openBytes
    std::size_t begin_ = 0;       // first unread byte
    std::size_t end_ = 0;         // end of the bytes held
    bool eof_ = false;            // nothing more to read behind end_
    bool lineHasNul_ = false;
    std::int64_t size_ = 0;
    int error_ = 0;
};
