// The definition text in one buffer (definition_text.h).
#include "app/definition_text.h"

#include <algorithm>

namespace zbq::app {

DefinitionText DefinitionText::fromStored(std::string stored) {
    DefinitionText text;
    std::size_t start = 0;
    for (std::size_t end = stored.find("\r\n"); end != std::string::npos;
         end = stored.find("\r\n", start)) {
        text.starts_.push_back(static_cast<std::uint32_t>(start));
        start = end + 2;
    }
    stored.resize(start);
    text.text_ = std::move(stored);
    return text;
}

DefinitionText DefinitionText::fromLines(const std::vector<std::string>& lines) {
    DefinitionText text;
    for (const std::string& line : lines) {
        text.starts_.push_back(static_cast<std::uint32_t>(text.text_.size()));
        text.text_ += line;
        text.text_ += "\r\n";
    }
    return text;
}

void DefinitionText::appendFileText(std::string_view bytes) {
    // Sized once: every line end becomes CR LF, so the text grows by at most a byte a line and
    // two for a last line without its end.
    const auto ends = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
    text_.reserve(text_.size() + bytes.size() + ends + 2);
    starts_.reserve(starts_.size() + ends + 1);
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        starts_.push_back(static_cast<std::uint32_t>(text_.size()));
        text_ += line;
        text_ += "\r\n";
        start = end + 1;
    }
}

void DefinitionText::clear() {
    text_ = std::string();
    starts_ = std::vector<std::uint32_t>();
}

std::string_view DefinitionText::operator[](std::size_t i) const {
    return std::string_view(text_).substr(starts_[i], startOf(i + 1) - 2 - starts_[i]);
}

std::string_view DefinitionText::storedLines(std::size_t first, std::size_t last) const {
    return std::string_view(text_).substr(startOf(first), startOf(last) - startOf(first));
}

std::vector<std::string> DefinitionText::lines() const {
    std::vector<std::string> out;
    out.reserve(size());
    for (std::size_t i = 0; i < size(); ++i)
        out.emplace_back((*this)[i]);
    return out;
}

}  // namespace zbq::app
