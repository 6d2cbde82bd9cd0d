// The answer of one benchmark operation, in a form every side writes alike: rows of
// TAB-separated fields, compared after sorting.
//
// Field spelling: integers in decimal; doubles in their shortest round-trip form with ".0"
// added when that has neither point nor exponent (so Python's repr() gives the same text);
// texts as their CP932 bytes; "(blank)" and "(error)" for the two special values, "(total)" for
// a total component of an aggregation key.
//
// Two answers agree when they hold the same number of rows and, after sorting, every pair of
// fields is byte-equal or both are numbers within a relative 1e-9 (sums in another order).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zbq::bench {

inline constexpr std::string_view kBlank = "(blank)";
inline constexpr std::string_view kError = "(error)";
inline constexpr std::string_view kTotal = "(total)";

std::string fmt(std::int64_t v);
std::string fmt(double v);

class Answer {
public:
    // Starts a row; add fields to it with `<<`.
    Answer& row() {
        rows_.emplace_back();
        freshRow_ = true;
        return *this;
    }
    Answer& operator<<(std::string_view field);
    Answer& operator<<(const std::string& field) { return *this << std::string_view(field); }
    Answer& operator<<(const char* field) { return *this << std::string_view(field); }
    Answer& operator<<(std::int64_t v) { return *this << fmt(v); }
    Answer& operator<<(std::int32_t v) { return *this << fmt(std::int64_t{v}); }
    Answer& operator<<(double v) { return *this << fmt(v); }

    const std::vector<std::string>& rows() const { return rows_; }
    bool empty() const { return rows_.empty(); }
    void clear() { rows_.clear(); }

    // One row per line, sorted. 0 or an errno.
    int save(const std::string& path) const;
    // false when the file cannot be read.
    bool load(const std::string& path);

private:
    std::vector<std::string> rows_;
    bool freshRow_ = false;  // the last row has no field yet
};

// true when the answers agree; otherwise `difference` says where (first differing row of each).
bool sameAnswer(const Answer& a, const Answer& b, std::string& difference);

}  // namespace zbq::bench
