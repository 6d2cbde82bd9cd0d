// Telling the workbook format by its signature, and the messages of failed readings.
#include "platform/workbook/workbook_reader.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/core/cp932.h"
#include "platform/core/regular_file.h"
#include "platform/workbook/workbook_reader_formats.h"
#include "platform/workbook/workbook_reader_xls.h"

namespace zbq::workbook {

namespace {

void (*readingPump)() = nullptr;

}  // namespace

void setReadingPump(void (*pump)()) {
    readingPump = pump;
}

namespace detail {

void pumpWhileReading() {
    if (readingPump) readingPump();
}

bool fail(ReadFailure* failure, ReadStage stage, ReadError error, std::string detail,
          std::string sheet, std::string cell) {
    if (failure)
        *failure = ReadFailure{stage, error, std::move(detail), std::move(sheet), std::move(cell)};
    return false;
}

std::string cp932Lossy(std::string_view utf8) {
    if (auto whole = cp932::fromUtf8(utf8)) return *whole;
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        const std::size_t len = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        const auto one = cp932::fromUtf8(utf8.substr(i, len));
        out += one ? *one : std::string("?");
        i += len;
    }
    return out;
}

}  // namespace detail

namespace {

std::string stageMessage(const ReadFailure& failure, const std::string& fileName);

}  // namespace

std::string readFailureMessage(const ReadFailure& failure, const std::string& fileName) {
    std::string message = stageMessage(failure, fileName);
    if (failure.error == ReadError::Encrypted)
        message += "\n" + cp932::literal("パスワードで保護されたブックは読み込めません。");
    else if (failure.error == ReadError::TooOld)
        message += "\n" + cp932::literal("ブックの形式が古すぎるため読み込めません。");
    return message;
}

namespace {

std::string stageMessage(const ReadFailure& failure, const std::string& fileName) {
    if (failure.error == ReadError::NotCp932) {
        return cp932::literal("シフトJISで表せない文字が含まれています。[") + fileName + " : " +
               failure.sheet + " : " + failure.cell + "]";
    }
    switch (failure.stage) {
        case ReadStage::ListSheets:
            return cp932::literal("Excelのシート名の取得に失敗しました。処理を中止します。");
        case ReadStage::ReadItems:
            return cp932::literal("Excelからの読込に失敗しました。処理を中止します。");
        case ReadStage::ReadData:
            break;
    }
    return cp932::literal("Excelからのデータ読込に失敗しました。処理を中止します。");
}

}  // namespace

std::unique_ptr<WorkbookReader> WorkbookReader::open(const std::string& path, ReadStage stage,
                                                     ReadFailure* failure) {
    // Opened without blocking and looked at before a byte is read: a FIFO or a device named as
    // a workbook must not stop the program in open() or feed it without end.
    RegularFileError error;
    const int fd = openRegularFile(path, kMaxFileSize, error);
    switch (error) {
        case RegularFileError::None:
            break;
        case RegularFileError::NotRegular:
            detail::fail(failure, stage, ReadError::NotWorkbook, path + ": not a regular file");
            return nullptr;
        case RegularFileError::TooLarge:
            detail::fail(failure, stage, ReadError::TooLarge, path + ": larger than a workbook is");
            return nullptr;
        case RegularFileError::CannotOpen:
        case RegularFileError::ReadFailed:
            detail::fail(failure, stage, ReadError::CannotOpen, path + ": cannot open");
            return nullptr;
    }
    unsigned char head[8] = {};
    ssize_t got;
    while ((got = ::pread(fd, head, sizeof head, 0)) < 0 && errno == EINTR) {
    }
    ::close(fd);
    if (got < 0) {
        detail::fail(failure, stage, ReadError::CannotOpen, path + ": read failed");
        return nullptr;
    }
    static constexpr unsigned char kZip[4] = {'P', 'K', 3, 4};
    static constexpr unsigned char kCompound[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    if (got >= 4 && std::memcmp(head, kZip, 4) == 0) return detail::openXlsx(path, stage, failure);
    if (got == 8 && std::memcmp(head, kCompound, 8) == 0)
        return detail::openXls(path, stage, failure);
    if (detail::isOldBiff(
            std::string_view(reinterpret_cast<const char*>(head), static_cast<std::size_t>(got)))) {
        detail::fail(failure, stage, ReadError::TooOld,
                     path + ": a workbook older than Excel 5, in a format too old to read");
        return nullptr;
    }
    detail::fail(failure, stage, ReadError::NotWorkbook,
                 path + ": neither a zip package nor a compound file");
    return nullptr;
}

}  // namespace zbq::workbook
