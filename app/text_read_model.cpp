// The text import (text_read_model.h).
#include "app/text_read_model.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>

#include "app/ckw_app.h"
#include "app/excel_read_rows.h"
#include "app/temp_names.h"
#include "platform/core/cp932.h"

namespace zbq::app {

namespace {

constexpr char kCannotReadNames[] = "指定のファイルから項目情報を取り出すことはせきませんでした。";
constexpr char kNoName[] = "項目名が設定されて項目があります。項目名を入力してください。";
constexpr char kCannotCreate[] = "ファイルが作成できません。";
constexpr char kCannotCopy[] = "ファイルが作成できませんでした。処理を終了します。";
constexpr char kCannotWrite[] = "ファイルに書き込みできませんでした。処理を終了します。";
constexpr char kNoData[] = "テキストファイルからデータを読み込めませんでした。";

// The next line of `in` without its LF and without any CR; false at the end of the file.
bool nextLine(std::istream& in, std::string& line) {
    if (!std::getline(in, line)) return false;
    line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
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

}  // namespace

TextReadModel::TextReadModel(CKWApp& app, const std::vector<std::string>& paths) : app_(app) {
    for (const std::string& path : paths) {
        const std::filesystem::path p(path);
        if (folder_.empty()) folder_ = p.parent_path().string();
        files_.push_back(p.filename().string());
    }
}

bool TextReadModel::ReadItemNames(int row) {
    if (row < 0 || row >= static_cast<int>(files_.size())) return false;
    std::ifstream in(pathOf(files_[row]), std::ios::binary);
    std::string line;
    if (!in || !nextLine(in, line)) {
        app_.ShowError(kCannotReadNames);
        return false;
    }
    items_.clear();
    const std::vector<std::string> names = splitAtTabs(line);
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
        if (item.name.empty()) {
            app_.ShowError(kNoName);
            return Outcome::Stay;
        }
        if (item.name.size() > kNameLimit) {
            app_.ShowError("項目名が長すぎます。[" + cp932::toUtf8(item.name) + "]");
            return Outcome::Stay;
        }
    }

    ImportOutput output;
    if (!output.claim(app_.GetProgramDir(), startupStamp(app_.Now())) ||
        !output.writeDefinition(definitionText(title_, items_))) {
        app_.ShowError(kCannotCreate);
        return Outcome::Cancelled;
    }
    for (const std::string& file : files_) {
        std::ifstream in(pathOf(file), std::ios::binary);
        std::string line;
        if (!in) {
            app_.ShowError(kCannotCopy);
            return Outcome::Cancelled;
        }
        nextLine(in, line);  // the header
        while (nextLine(in, line)) {
            const auto tabs = std::count(line.begin(), line.end(), '\t');
            if (tabs + 1 < columnCount_) line.append(columnCount_ - tabs - 1, '\t');
            if (!output.writeLine(line)) {
                app_.ShowError(kCannotWrite);
                return Outcome::Cancelled;
            }
        }
        if (in.bad()) {
            app_.ShowError(kCannotCopy);
            return Outcome::Cancelled;
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
