// The Excel import (excel_read_model.h), over the workbook reader.
#include "app/excel_read_model.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <filesystem>

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "app/ckw_app.h"
#include "app/excel_read_rows.h"
#include "app/shown_message.h"
#include "app/startup_input.h"
#include "app/temp_names.h"
#include "platform/core/cp932.h"
#include "platform/core/shown_text.h"
#include "platform/workbook/workbook_reader.h"

namespace zbq::app {

namespace wb = zbq::workbook;

namespace {

// clang-format off
constexpr char kNoName[] = ZBQ_SHOWN("項目名が設定されていない項目があります。項目名を入力してください。");
constexpr char kTooLong[] = ZBQ_SHOWN("項目名が長すぎます。%1");
constexpr char kRepeated[] = ZBQ_SHOWN("項目名が重複しています。項目名はユニークな名前でなくてはなりません。次の項目名を変更してください。%1");
constexpr char kWrongType[] = ZBQ_SHOWN("%1 の項目タイプが違います。");
constexpr char kWrongTypeNeeded[] = ZBQ_SHOWN("%1 の項目タイプが違います。%2でなければなりません。");
// clang-format on

std::string sj(std::string_view utf8) {
    return cp932::literal(utf8);
}

std::string stageFailure(const wb::ReadFailure& failure, const std::string& fileName);

// The reader's message for a failure (readFailureMessage), in the language in force (UTF-8): the
// stage's message, and for a workbook no reading can take a line that says why.
std::string shownFailure(const wb::ReadFailure& failure, const std::string& fileName) {
    std::string shown = stageFailure(failure, fileName);
    if (failure.error == wb::ReadError::Encrypted)
        shown +=
            "\n" + shownMessage(ZBQ_SHOWN("パスワードで保護されたブックは読み込めません。"), {});
    else if (failure.error == wb::ReadError::TooOld)
        shown += "\n" + shownMessage(ZBQ_SHOWN("ブックの形式が古すぎるため読み込めません。"), {});
    return shown;
}

std::string stageFailure(const wb::ReadFailure& failure, const std::string& fileName) {
    switch (failure.error == wb::ReadError::NotCp932 ? -1 : static_cast<int>(failure.stage)) {
        case -1:
            return shownMessage(
                ZBQ_SHOWN("シフトJISで表せない文字が含まれています。[%1 : %2 : %3]"),
                {cp932::toUtf8(fileName), cp932::toUtf8(failure.sheet), failure.cell});
        case static_cast<int>(wb::ReadStage::ListSheets):
            return shownMessage(
                ZBQ_SHOWN("Excelのシート名の取得に失敗しました。処理を中止します。"), {});
        case static_cast<int>(wb::ReadStage::ReadItems):
            return shownMessage(ZBQ_SHOWN("Excelからの読込に失敗しました。処理を中止します。"), {});
        default:
            return shownMessage(
                ZBQ_SHOWN("Excelからのデータ読込に失敗しました。処理を中止します。"), {});
    }
}

// What an import may write: so much for any workbook and so much more for each byte of the
// workbooks read. A cell may name a shared string that thousands of others name too, so a small
// workbook could otherwise ask for gigabytes; past this the workbook itself is refused.
constexpr std::uint64_t kOutputFree = std::uint64_t{64} << 20;
constexpr std::uint64_t kOutputPerWorkbookByte = 32;

std::uint64_t outputBudget(const std::string& folder, const std::vector<SheetRow>& sheets) {
    std::uint64_t workbooks = 0;
    std::vector<std::string> counted;
    for (const SheetRow& row : sheets) {
        if (std::find(counted.begin(), counted.end(), row.file) != counted.end()) continue;
        counted.push_back(row.file);
        std::error_code error;
        const auto size = std::filesystem::file_size(folder + "/" + row.file, error);
        if (!error) workbooks += size;
    }
    return kOutputFree + kOutputPerWorkbookByte * workbooks;
}

// What this process may still write into `folder` (root may use the blocks kept back for it);
// nullopt when the file system does not say.
std::optional<std::uint64_t> freeSpace(const std::string& folder) {
    struct statvfs disk {};
    if (::statvfs(folder.c_str(), &disk) != 0) return std::nullopt;
    const std::uint64_t blocks = ::geteuid() == 0 ? disk.f_bfree : disk.f_bavail;
    return blocks * std::uint64_t{disk.f_frsize};
}

bool diskFull(int error) {
    return error == ENOSPC || error == EDQUOT;
}

// A size for the user: megabytes with one decimal, rounded up (what is needed) or down (what is
// free).
std::string megabytes(std::uint64_t bytes, bool roundUp) {
    constexpr std::uint64_t kTenth = (std::uint64_t{1} << 20) / 10;
    const std::uint64_t tenths = roundUp ? (bytes + kTenth - 1) / kTenth : bytes / kTenth;
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " MB";
}

// clang-format off
constexpr char kNoRoom[] = ZBQ_SHOWN("一時フォルダ[%1]の空き容量が足りません。\nこの読込には少なくとも%2の空きが必要です（今の空きは%3です）。");
// clang-format on

// Rows between two looks at the window, as many cells as the copy of old moved at once.
std::uint32_t blockRows(std::uint32_t lastColumn) {
    const std::uint32_t rows = 500000 / std::max<std::uint32_t>(lastColumn, 1) / 1000 * 1000;
    return std::max<std::uint32_t>(rows, 1000);
}

// A header cell's name: a number with two decimals, never a locale's decimal comma; a text
// without its line breaks and TABs, as its column's cells lose them in the data file.
std::string headerName(const wb::ReadCell& cell) {
    switch (cell.kind) {
        case wb::CellKind::Empty:
            return {};
        case wb::CellKind::Number: {
            char text[400];  // every digit of the largest double, and two decimals
            const auto end =
                std::to_chars(text, text + sizeof text, cell.number, std::chars_format::fixed, 2)
                    .ptr;
            return std::string(text, end);
        }
        default: {
            std::string name = cell.text;
            std::erase_if(name, [](char c) { return c == '\t' || c == '\r' || c == '\n'; });
            return name;
        }
    }
}

// What the data file may hold of a cell bound to an item of `typeChoice` (-1: none).
void appendCleaned(std::string& line, const std::string& text, int typeChoice) {
    const bool numeric = typeChoice == 0 || typeChoice == 1;
    if (text.find_first_of(numeric ? "\t\r\n,\"" : "\t\r\n\"") == std::string::npos) {
        line += text;  // the common case, whole
        return;
    }
    std::string cleaned;
    for (char c : text) {
        if (c == '\t' || c == '\r' || c == '\n') continue;
        if (numeric && c == ',') continue;
        cleaned += c;
    }
    appendBuilderField(line, cleaned);
}

StepBuilder rowsStep(const char* command, const std::vector<int>& rows) {
    StepBuilder step(command);
    for (int r : rows)
        step.number(r);
    return step;
}

}  // namespace

ExcelReadModel::ExcelReadModel(CKWApp& app, const std::vector<std::string>& paths, bool addMode)
    : app_(app), addMode_(addMode) {
    if (addMode_) {
        definition_ = app_.GetStructDef();
        title_ = definition_.title;
    }
    ListSheetNames(paths);
}

ExcelReadModel::~ExcelReadModel() {
    removeUntakenOutput();
}

void ExcelReadModel::removeUntakenOutput() {
    if (outputPath_.empty()) return;
    ::unlink(outputPath_.c_str());
    if (!addMode_) ::unlink(withEnding(outputPath_, ".dat").c_str());
    outputPath_.clear();
}

void ExcelReadModel::setTitle(std::string title) {
    if (!addMode_) title_ = std::move(title);
}

void ExcelReadModel::fail(const std::string& cp932Message) {
    failShown(cp932::toUtf8(cp932Message));
}

void ExcelReadModel::failShown(const std::string& utf8Message) {
    app_.ShowError(utf8Message);
    result_ = 0;
}

void ExcelReadModel::show(const std::string& cp932Progress) {
    progress_ = cp932Progress;
    if (progressSink_) progressSink_(progress_);
    app_.PumpMessages();
}

void ExcelReadModel::ListSheetNames(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        const std::filesystem::path p(path);
        if (folder_.empty()) folder_ = p.parent_path().string();
        const std::string file = p.filename().string();
        wb::ReadFailure failure;
        wb::WorkbookReader* book = openBook(file, wb::ReadStage::ListSheets, failure);
        if (!book) {
            // The rows listed so far stay.
            failShown(shownFailure(failure, cp932::pathToStored(file).value_or(file)));
            return;
        }
        for (std::size_t j = 0; j < book->sheets().size(); ++j)
            sheets_.push_back(SheetRow{static_cast<std::int32_t>(j), file, book->sheets()[j].name});
    }
}

wb::WorkbookReader* ExcelReadModel::openBook(const std::string& file, wb::ReadStage stage,
                                             wb::ReadFailure& failure) {
    const std::string path = folder_ + "/" + file;
    struct stat st {};
    const bool known = ::stat(path.c_str(), &st) == 0;
    OpenBook now;
    if (known)
        now = OpenBook{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                       static_cast<std::uint64_t>(st.st_size),
                       std::int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec, nullptr};
    if (auto it = books_.find(file); it != books_.end()) {
        const OpenBook& b = it->second;
        if (known && b.device == now.device && b.inode == now.inode && b.size == now.size &&
            b.modifiedNs == now.modifiedNs)
            return b.reader.get();
        books_.erase(it);  // changed since: read afresh
    }
    now.reader = wb::WorkbookReader::open(path, stage, &failure);
    if (!now.reader) return nullptr;
    wb::WorkbookReader* reader = now.reader.get();
    books_[file] = std::move(now);  // not taken again unless it could be looked at
    return reader;
}

void ExcelReadModel::selectSheets(std::vector<int> rows) {
    sheetSelection_ = normalizedSelection(std::move(rows), static_cast<int>(sheets_.size()));
}

void ExcelReadModel::selectItems(std::vector<int> rows) {
    itemSelection_ = normalizedSelection(std::move(rows), static_cast<int>(items_.size()));
}

void ExcelReadModel::OnDeleteSheet() {
    if (sheetSelection_.empty()) return;
    app_.Record(rowsStep("ExcelSheetDelete", sheetSelection_));
    deleteRows(sheets_, sheetSelection_);
    sheetSelection_.clear();
    if (sheets_.empty()) okEnabled_ = false;
}

void ExcelReadModel::OnSheetUp() {
    if (sheetSelection_.empty()) return;
    app_.Record(rowsStep("ExcelSheetUp", sheetSelection_));
    sheetSelection_ = moveRowsUp(sheets_, sheetSelection_);
}

void ExcelReadModel::OnSheetDown() {
    if (sheetSelection_.empty()) return;
    app_.Record(rowsStep("ExcelSheetDown", sheetSelection_));
    sheetSelection_ = moveRowsDown(sheets_, sheetSelection_);
}

void ExcelReadModel::ReadSheetItems(int headerOffset) {
    if (sheetSelection_.empty() || headerOffset < 0) return;
    const int selected = sheetSelection_.front();
    const SheetRow& row = sheets_[selected];
    const std::string fileName = cp932::pathToStored(row.file).value_or(row.file);
    wb::ReadFailure failure;
    wb::WorkbookReader* book = openBook(row.file, wb::ReadStage::ReadItems, failure);
    std::unique_ptr<wb::SheetReader> sheet =
        book ? book->openSheet(row.index, wb::ReadStage::ReadItems, &failure) : nullptr;
    if (!sheet) return failShown(shownFailure(failure, fileName));
    scannedFile_ = row.file;
    scannedIndex_ = row.index;
    scanned_ = sheet->scan();
    const wb::UsedRange range = sheet->usedRange();
    if (range.empty())
        return fail(sj(ZBQ_SHOWN("指定のシートから項目情報を取り出すことはせきませんでした。")));

    // The header row and the row below it, however far down the header has moved.
    const std::uint64_t header = std::uint64_t(range.firstRow) + std::uint64_t(headerOffset);
    if (header + 1 > range.lastRow)
        return fail(sj(ZBQ_SHOWN("Excelからの読込に失敗しました。処理を中止します。")));
    std::vector<wb::RangeRow> rows;
    const bool read = sheet->readRows(
        static_cast<std::uint32_t>(header), static_cast<std::uint32_t>(header + 1),
        wb::ReadStage::ReadItems,
        [&rows](const wb::RangeRow& r) {
            rows.push_back(r);
            return true;
        },
        &failure);
    if (!read) return failShown(shownFailure(failure, fileName));
    if (rows.size() != 2)
        return fail(sj(ZBQ_SHOWN("Excelからの読込に失敗しました。処理を中止します。")));

    items_.clear();
    itemSelection_.clear();
    const std::size_t columns = rows[0].cells.size();
    for (std::size_t c = 0; c < columns; ++c) {
        const int type = wb::proposeTypeChoice(rows[1].cells[c]);
        items_.push_back(ItemRow{static_cast<std::int32_t>(c + 1), headerName(rows[0].cells[c]),
                                 typeCaptions()[type]});
    }
    headerRow_ = headerOffset + 1;
    columnCount_ = static_cast<int>(columns);
    nextEnabled_ = okEnabled_ = true;
    if (headerOffset == 0)
        app_.Record(StepBuilder("ColumnInfoRead").number(selected));
    else
        app_.Record(StepBuilder("ColumnInfoReadNext"));
}

void ExcelReadModel::OnDeleteItem() {
    if (itemSelection_.empty()) return;
    app_.Record(rowsStep("ColumnInfoDelete", itemSelection_));
    deleteRows(items_, itemSelection_);
    itemSelection_.clear();
    if (items_.empty()) nextEnabled_ = okEnabled_ = false;
}

void ExcelReadModel::OnEditItem(const ItemEditor& edit) {
    for (int row : itemSelection_) {
        ItemRow& item = items_[row];
        std::optional<ImportItem> edited = edit(item.name, typeChoiceOf(item.caption));
        if (!edited) continue;
        item.name = edited->name;
        item.caption = typeCaptions()[std::clamp(edited->typeChoice, 0, kTypeChoices - 1)];
        app_.Record(StepBuilder("ColumnInfoUpdate").number(row).text(item.name).text(item.caption));
    }
}

bool ExcelReadModel::addToSelection(std::vector<int>& selection, const std::vector<int>& rows,
                                    int count) {
    for (int row : rows) {
        if (row < 0 || row >= count) return false;
        selection.push_back(row);
        selection = normalizedSelection(selection, count);
    }
    return true;
}

int ExcelReadModel::DeleteSheets(const std::vector<int>& rows) {
    if (!addToSelection(sheetSelection_, rows, static_cast<int>(sheets_.size()))) return 0;
    OnDeleteSheet();
    return 1;
}

int ExcelReadModel::MoveSheetsUp(const std::vector<int>& rows) {
    if (!addToSelection(sheetSelection_, rows, static_cast<int>(sheets_.size()))) return 0;
    OnSheetUp();
    return 1;
}

int ExcelReadModel::MoveSheetsDown(const std::vector<int>& rows) {
    if (!addToSelection(sheetSelection_, rows, static_cast<int>(sheets_.size()))) return 0;
    OnSheetDown();
    return 1;
}

int ExcelReadModel::ReadColumnInfo(int row) {
    if (!addToSelection(sheetSelection_, {row}, static_cast<int>(sheets_.size()))) return 0;
    ReadSheetItems(0);
    return result_;
}

int ExcelReadModel::ReadColumnInfoNext() {
    ReadSheetItems(headerRow_);
    return result_;
}

int ExcelReadModel::DeleteColumns(const std::vector<int>& rows) {
    if (!addToSelection(itemSelection_, rows, static_cast<int>(items_.size()))) return 0;
    OnDeleteItem();
    return 1;
}

int ExcelReadModel::UpdateColumnInfo(int row, std::string name, std::string caption) {
    if (row < 0 || row >= static_cast<int>(items_.size())) return 0;
    items_[row].name = std::move(name);
    items_[row].caption = std::move(caption);
    return 1;
}

int ExcelReadModel::Execute() {
    OnOK();
    return result_;
}

std::optional<ExcelReadModel::Outcome> ExcelReadModel::checkItems(
    const std::vector<ImportItem>& items) {
    auto refuse = [this](const std::string& utf8) {
        app_.ShowError(utf8);
        result_ = 0;
        return std::optional<Outcome>(Outcome::Stay);
    };
    if (addMode_ && static_cast<std::int32_t>(items.size()) != definition_.itemCount)
        return refuse(ZBQ_SHOWN("項目の数が異なっています。追加できません。"));
    if (!addMode_ && !definitionKeeps(title_)) return refuse(kTitleCharacters);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        const ImportItem& item = items[i];
        if (!addMode_) {
            const std::string shown = "[" + n + " : " + cp932::toUtf8(item.name) + "]";
            if (item.name.empty()) return refuse(kNoName);
            if (item.name.size() > kNameLimit) return refuse(shownMessage(kTooLong, {shown}));
            if (!definitionKeeps(item.name))
                return refuse(shownMessage(kNameCharacters, {}) + shown);
            for (std::size_t j = 0; j < i; ++j)
                if (items[j].name == item.name) return refuse(shownMessage(kRepeated, {shown}));
            continue;
        }
        const std::int32_t type =
            i < definition_.items.size() ? definition_.items[i].type : std::int32_t(-1);
        struct Need {
            std::int32_t type;
            int choice;
            const char* name;
        };
        static const Need needs[] = {{2, 0, ZBQ_SHOWN("整数")},
                                     {3, 1, ZBQ_SHOWN("浮動小数")},
                                     {5, 2, ZBQ_SHOWN("日付")},
                                     {7, 3, ZBQ_SHOWN("時刻")},
                                     {4, 4, ZBQ_SHOWN("文字列")}};
        const Need* need = nullptr;
        for (const Need& k : needs)
            if (k.type == type) need = &k;
        if (!need) return refuse(shownMessage(kWrongType, {n}));
        if (item.typeChoice != need->choice)
            return refuse(shownMessage(kWrongTypeNeeded, {n, shownMessage(need->name, {})}));
    }
    return std::nullopt;
}

ExcelReadModel::Outcome ExcelReadModel::OnOK() {
    std::vector<ImportItem> items;
    for (const ItemRow& row : items_)
        items.push_back(ImportItem{row.column, row.name, typeChoiceOf(row.caption)});
    if (std::optional<Outcome> refused = checkItems(items)) return *refused;
    removeUntakenOutput();

    busy_ = true;
    ImportOutput output;
    bool ready = claimImportOutput(app_, output);
    if (ready && addMode_) output.dropDefinition();
    if (ready && !addMode_) ready = output.writeDefinition(definitionText(title_, items));
    Outcome outcome = Outcome::Cancelled;
    if (!ready && diskFull(output.writeError())) {
        outcome = refuseNoRoom(output, output.bytesWritten() + 1);
    } else if (!ready) {
        fail(sj(ZBQ_SHOWN("ファイルが作成できません。")));
    } else {
        outcome = copySheets(items, output);
        if (outcome == Outcome::Accepted) {
            const std::string path = addMode_ ? output.dataPath() : output.definitionPath();
            const std::uint64_t written = output.bytesWritten();
            if (output.finish()) {
                outputPath_ = path;
            } else if (diskFull(output.writeError())) {
                outcome = refuseNoRoom(output, written);
            } else {
                fail(sj(ZBQ_SHOWN("ファイルに書き込みできません。")));
                outcome = Outcome::Cancelled;
            }
        }
    }
    busy_ = false;
    return outcome;
}

ExcelReadModel::Outcome ExcelReadModel::copySheets(const std::vector<ImportItem>& items,
                                                   ImportOutput& output) {
    // The item bound to each column of the rows, by its column number.
    std::vector<int> typeOfColumn;
    for (const ImportItem& item : items) {
        if (item.column < 1) continue;
        if (typeOfColumn.size() < static_cast<std::size_t>(item.column))
            typeOfColumn.resize(item.column, -1);
        typeOfColumn[item.column - 1] = item.typeChoice;
    }

    const std::uint64_t budget = outputBudget(folder_, sheets_);
    const std::optional<std::uint64_t> room =
        freeSpace(std::filesystem::path(output.dataPath()).parent_path().string());
    for (const SheetRow& row : sheets_) {
        const std::string fileName = cp932::pathToStored(row.file).value_or(row.file);
        show(fileName + " : " + row.sheet);
        wb::ReadFailure failure;
        wb::WorkbookReader* book = openBook(row.file, wb::ReadStage::ReadData, failure);
        std::unique_ptr<wb::SheetReader> sheet =
            book ? book->openSheet(
                       row.index, wb::ReadStage::ReadData, &failure,
                       row.file == scannedFile_ && row.index == scannedIndex_ ? scanned_ : nullptr)
                 : nullptr;
        bool writeFailed = false, overBudget = false;
        // What the rows would take when temp/ cannot hold them: at least what was written
        // before this sheet and this sheet's rows at the size of those read so far.
        std::optional<std::uint64_t> noRoom;
        const std::uint64_t sheetStart = output.bytesWritten();
        bool read = sheet != nullptr;
        if (sheet && !sheet->usedRange().empty()) {
            const wb::UsedRange range = sheet->usedRange();
            const std::uint64_t first = std::uint64_t(range.firstRow) + headerRow_;
            const std::uint32_t block = blockRows(range.lastColumn);
            std::uint64_t done = 0;
            const auto sheetNeeds = [&] {
                const std::uint64_t rows = range.lastRow - first + 1;
                const double perRow = double(output.bytesWritten() - sheetStart) /
                                      double(std::max<std::uint64_t>(done, 1));
                return std::max<std::uint64_t>(output.bytesWritten(),
                                               sheetStart + std::uint64_t(perRow * double(rows)));
            };
            std::string line;
            if (first <= range.lastRow)
                read = sheet->readRows(
                    static_cast<std::uint32_t>(first), range.lastRow, wb::ReadStage::ReadData,
                    [&](const wb::RangeRow& r) {
                        line.clear();
                        if (addMode_) {
                            // What is added has one column per item, in item order.
                            for (std::size_t i = 0; i < items.size(); ++i) {
                                if (i) line += '\t';
                                const std::size_t k = std::size_t(items[i].column) - 1;
                                if (items[i].column >= 1 && k < r.cells.size())
                                    appendCleaned(line, r.cells[k].text, items[i].typeChoice);
                            }
                        } else {
                            for (std::size_t k = 0; k < r.cells.size(); ++k) {
                                if (k) line += '\t';
                                appendCleaned(line, r.cells[k].text,
                                              k < typeOfColumn.size() ? typeOfColumn[k] : -1);
                            }
                            if (static_cast<int>(r.cells.size()) < columnCount_)
                                line.append(columnCount_ - r.cells.size(), '\t');
                        }
                        const bool written = output.writeLine(line);
                        ++done;
                        if (!written) {
                            if (diskFull(output.writeError()))
                                noRoom = sheetNeeds();
                            else
                                writeFailed = true;
                            return false;
                        }
                        if (output.bytesWritten() > budget) {
                            overBudget = true;
                            return false;
                        }
                        if (room && output.bytesWritten() > *room) {
                            noRoom = sheetNeeds();
                            return false;
                        }
                        if (done % block == 0 && r.row < range.lastRow)
                            show(fileName + " / " + row.sheet + " : " + std::to_string(done) +
                                 sj(ExcelReadModel::kRowsRead));
                        return true;
                    },
                    &failure);
        }
        if (writeFailed) {
            fail(sj(ZBQ_SHOWN("ファイルに書き込みできません。")));
            return Outcome::Cancelled;
        }
        if (noRoom) return refuseNoRoom(output, *noRoom);
        if (overBudget) {
            failure = {wb::ReadStage::ReadData,
                       wb::ReadError::TooLarge,
                       "more than the workbooks can hold",
                       {},
                       {}};
            failShown(shownFailure(failure, fileName));
            return Outcome::Cancelled;
        }
        if (!read) {
            failShown(shownFailure(failure, fileName));
            // A text the data file cannot hold is the user's to mend: the dialog stays.
            return failure.error == wb::ReadError::NotCp932 ? Outcome::Stay : Outcome::Cancelled;
        }
    }
    if (output.linesWritten() == 0) {
        fail(sj(ZBQ_SHOWN("Excelからデータを読み込めませんでした。")));
        return Outcome::Cancelled;
    }
    return Outcome::Accepted;
}

// temp/ cannot hold what the import writes: nothing is kept, and the dialog stays with the
// user's items, so that the import can run again once there is room.
ExcelReadModel::Outcome ExcelReadModel::refuseNoRoom(ImportOutput& output, std::uint64_t needed) {
    const std::string folder = std::filesystem::path(output.dataPath()).parent_path().string();
    output.discard();
    failShown(shownMessage(kNoRoom, {folder, megabytes(needed, true),
                                     megabytes(freeSpace(folder).value_or(0), false)}));
    return Outcome::Stay;
}

std::vector<std::string> ExcelReadModel::describe() const {
    std::vector<std::string> lines;
    lines.push_back(std::string("import ") + (addMode_ ? "add" : "new") +
                    " result=" + std::to_string(result_) + " header=" + std::to_string(headerRow_) +
                    " columns=" + std::to_string(columnCount_));
    for (const SheetRow& s : sheets_)
        lines.push_back("import sheet " + s.file + " " + std::to_string(s.index) + " " +
                        cp932::toUtf8(s.sheet));
    for (const ItemRow& i : items_)
        lines.push_back("import item " + std::to_string(i.column) + " " + cp932::toUtf8(i.name) +
                        " " + cp932::toUtf8(i.caption));
    return lines;
}

}  // namespace zbq::app
