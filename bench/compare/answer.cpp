// Writing, reading and comparing the answers of the benchmark operations.
#include "bench/compare/answer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>

#include "platform/core/atomic_file.h"

namespace zbq::bench {
namespace {

std::vector<std::string_view> fields(std::string_view row) {
    std::vector<std::string_view> out;
    for (std::size_t start = 0;;) {
        const std::size_t tab = row.find('\t', start);
        out.push_back(row.substr(start, tab - start));
        if (tab == std::string_view::npos) return out;
        start = tab + 1;
    }
}

bool number(std::string_view text, double& v) {
    if (text.empty()) return false;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

bool sameField(std::string_view a, std::string_view b) {
    if (a == b) return true;
    double x = 0, y = 0;
    if (!number(a, x) || !number(b, y)) return false;
    return std::fabs(x - y) <= 1e-9 * std::max({1.0, std::fabs(x), std::fabs(y)});
}

bool sameRow(std::string_view a, std::string_view b) {
    const auto fa = fields(a), fb = fields(b);
    if (fa.size() != fb.size()) return false;
    for (std::size_t i = 0; i < fa.size(); ++i)
        if (!sameField(fa[i], fb[i])) return false;
    return true;
}

std::vector<std::string> sorted(const std::vector<std::string>& rows) {
    std::vector<std::string> s = rows;
    std::sort(s.begin(), s.end());
    return s;
}

}  // namespace

std::string fmt(std::int64_t v) {
    char buf[24];
    return std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

std::string fmt(double v) {
    char buf[32];
    std::string s(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
    if (s.find_first_of(".en") == std::string::npos) s += ".0";
    return s;
}

Answer& Answer::operator<<(std::string_view field) {
    if (rows_.empty()) row();
    std::string& r = rows_.back();
    if (!freshRow_) r += '\t';
    freshRow_ = false;
    r += field;
    return *this;
}

int Answer::save(const std::string& path) const {
    std::string text;
    for (const std::string& r : sorted(rows_)) {
        text += r;
        text += '\n';
    }
    int err = 0;
    return writeFileAtomically(path, text, &err) ? 0 : err;
}

bool Answer::load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    rows_.clear();
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        rows_.push_back(line);
    }
    return true;
}

bool sameAnswer(const Answer& a, const Answer& b, std::string& difference) {
    const auto x = sorted(a.rows()), y = sorted(b.rows());
    for (std::size_t i = 0; i < std::min(x.size(), y.size()); ++i) {
        if (!sameRow(x[i], y[i])) {
            difference = "row " + std::to_string(i + 1) + ": [" + x[i] + "] vs [" + y[i] + "]";
            return false;
        }
    }
    if (x.size() != y.size()) {
        difference = std::to_string(x.size()) + " rows vs " + std::to_string(y.size());
        return false;
    }
    return true;
}

}  // namespace zbq::bench
