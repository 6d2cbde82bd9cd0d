// The variable-value question without its widgets: the file chooser each browse mode opens, the
// chosen path as a step field holds it, and the typed value's limits (256 characters, all of them
// CP932's). Browse modes: 1 CSV or text file to write, 2 data file to write, 3 Excel workbook to
// read, 4 category file to read, 5 category file to write; any other mode has no chooser.
#pragma once

#include <QString>
#include <QValidator>

#include <optional>
#include <string>

#include "platform/ui/prompts.h"

struct VarCondBrowse {
    zbq::ui::Chooser chooser;
    QString defaultSuffix;  // added to a chosen name without an extension; empty: none
};

std::optional<VarCondBrowse> varCondBrowse(int browseMode);

// The chosen path with its default extension, in the stored form a step field holds (CP932);
// nullopt when CP932 cannot hold it.
std::optional<std::string> storedChoice(QString path, const QString& defaultSuffix);

constexpr int kMaxVarCondChars = 256;

// Takes at most 256 characters, each one CP932 holds.
class VarCondValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};
