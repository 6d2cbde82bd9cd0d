// The definition text of the data set: every line of the definition file, help lines and comments
// included, as a saved data file carries it (each line followed by CR LF), in one buffer with the
// offset where each line starts. A definition costs about its own size in memory, not a string
// per line: a file of millions of short lines is no heavier than a file of a few long ones.
//
// Lines are byte strings (CP932) without their line ends. A line views the buffer: it stays valid
// until the text is next changed. Not thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zbq::app {

class DefinitionText {
public:
    DefinitionText() = default;
    // The text of a data file's settings (CR LF after every line): cut at every CR LF; what
    // follows the last one is no line. A lone CR belongs to its line.
    static DefinitionText fromStored(std::string stored);
    static DefinitionText fromLines(const std::vector<std::string>& lines);

    // Appends the lines of a definition file read as text: LF and CR LF both end a line (one CR
    // before the LF goes with it), and a last line without its end still counts.
    void appendFileText(std::string_view bytes);
    void clear();

    std::size_t size() const { return starts_.size(); }
    bool empty() const { return starts_.empty(); }
    std::string_view operator[](std::size_t i) const;
    std::string_view back() const { return (*this)[size() - 1]; }
    // Lines `first` to `last - 1`, each followed by CR LF.
    std::string_view storedLines(std::size_t first, std::size_t last) const;
    // Every line followed by CR LF, as a data file's settings keep it.
    const std::string& stored() const { return text_; }
    // A copy of every line.
    std::vector<std::string> lines() const;

private:
    std::size_t startOf(std::size_t i) const {
        return i < starts_.size() ? starts_[i] : text_.size();
    }

    std::string text_;
    // A definition file is at most 10 MiB and a data file's settings at most 2 GiB, so an offset
    // always fits in 32 bits.
    std::vector<std::uint32_t> starts_;
};

}  // namespace zbq::app
