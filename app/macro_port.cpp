// StepBuilder: the one way recorders write a step's fields; the macro port's default macro-file
// write.
#include "app/macro_port.h"

#include <charconv>

StepBuilder& StepBuilder::number(std::int32_t value) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    step_ += ',';
    step_.append(digits, end);
    return *this;
}

StepBuilder& StepBuilder::text(std::string_view value) {
    step_ += ",\"";
    for (char c : value) {
        if (c == '"') step_ += '"';
        step_ += c;
    }
    step_ += '"';
    return *this;
}

namespace {

// A port that writes its file in one go does so at the commit.
class WriteAtCommit final : public MacroFileWrite {
public:
    WriteAtCommit(MacroPort& port, std::string path) : port_(port), path_(std::move(path)) {}
    bool commit() override { return port_.WriteMacroFile(path_) != 0; }

private:
    MacroPort& port_;
    std::string path_;
};

}  // namespace

std::unique_ptr<MacroFileWrite> MacroPort::PrepareMacroFile(const std::string& path) {
    return std::make_unique<WriteAtCommit>(*this, path);
}
