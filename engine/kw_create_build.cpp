// KW_create: the item description and the build of a data file.
#include <unistd.h>

#include <cerrno>
#include <limits>
#include <new>
#include <string>

#include "engine/kw_create.h"
#include "platform/core/cp932.h"
#include "platform/core/engine_host.h"

namespace {

bool holdsNul(std::string_view text) {
    return text.find('\0') != std::string_view::npos;
}

// A write of the data file failed with r: the step's own code, except that a full disk is
// reported as such.
std::int32_t writeStepCode(std::int32_t r) {
    return r == KW_ERR_DISK_FULL ? KW_ERR_DISK_FULL : KW_ERR_STEP;
}

}  // namespace

std::int32_t KW_create::SetItemCount(std::int32_t n) {
    if (n < 0 || n > KW_MAX_ITEMS) return KW_ERR_ARGUMENT;
    try {
        std::vector<Item> fresh(static_cast<std::size_t>(n));
        items_.swap(fresh);
    } catch (const std::bad_alloc&) {
        return KW_ERR_NO_MEMORY;
    }
    return KW_OK;
}

std::int32_t KW_create::SetItem(std::int32_t i, std::string_view name, std::int32_t type,
                                std::int32_t column) {
    if (i < 0 || static_cast<std::size_t>(i) >= items_.size()) return KW_ERR_ARGUMENT;
    if (type < KW_TYPE_INTEGER || type > KW_TYPE_TIME || column < 0 || holdsNul(name)) {
        return KW_ERR_ARGUMENT;
    }
    // Each item owns its source column (and its column file, named after the column).
    for (std::size_t k = 0; k < items_.size(); ++k) {
        if (k != static_cast<std::size_t>(i) && items_[k].column == column) {
            return KW_ERR_ARGUMENT;
        }
    }
    try {
        Item& item = items_[static_cast<std::size_t>(i)];
        item.name.assign(name);
        item.type = type;
        item.column = column;
    } catch (const std::bad_alloc&) {
        return KW_ERR_NO_MEMORY;
    }
    return KW_OK;
}

std::int32_t KW_create::SetCodeCount(std::int32_t i, std::int32_t count) {
    if (i < 0 || static_cast<std::size_t>(i) >= items_.size()) return KW_ERR_ARGUMENT;
    // The dictionary holds count + 2 entries, counted in int32.
    if (count < 0 || count > std::numeric_limits<std::int32_t>::max() - KW_POS_FIRST_VALUE) {
        return KW_ERR_ARGUMENT;
    }
    try {
        std::vector<kw::CodeEntry> fresh(static_cast<std::size_t>(count));
        items_[static_cast<std::size_t>(i)].codes.swap(fresh);
    } catch (const std::bad_alloc&) {
        return KW_ERR_NO_MEMORY;
    }
    return KW_OK;
}

std::int32_t KW_create::SetCode(std::int32_t i, std::int32_t j, std::string_view code,
                                std::string_view name) {
    if (i < 0 || static_cast<std::size_t>(i) >= items_.size()) return KW_ERR_ARGUMENT;
    auto& codes = items_[static_cast<std::size_t>(i)].codes;
    if (j < 0 || static_cast<std::size_t>(j) >= codes.size()) return KW_ERR_ARGUMENT;
    if (holdsNul(code) || holdsNul(name)) return KW_ERR_ARGUMENT;
    try {
        kw::CodeEntry entry{std::string(code), std::string(name)};
        codes[static_cast<std::size_t>(j)] = std::move(entry);
    } catch (const std::bad_alloc&) {
        return KW_ERR_NO_MEMORY;
    }
    return KW_OK;
}

void KW_create::SetTitle(std::string_view title) {
    title_.assign(title.substr(0, title.find('\0')));
}

void KW_create::status(std::string_view text) {
    if (host_ != nullptr) host_->setStatusText(text);
}

void KW_create::checkDescription(char separator) {
    // A quote or a line end cannot separate fields; a NUL never reaches a line.
    if (separator == '"' || separator == '\n' || separator == '\r' || separator == '\0') {
        KWfail(err_, KW_ERR_ARGUMENT, "illegal separator.");
    }
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].type == 0 || items_[i].column < 0) {
            KWfail(err_, KW_ERR_ARGUMENT, "item " + std::to_string(i + 1) + " is not defined.");
        }
    }
}

void KW_create::buildItem(std::int32_t i, kw::BuildContext& context, kw::ItemBlock& block) {
    const Item& item = items_[static_cast<std::size_t>(i)];
    const char* method = "KW_create::IntDataSort";
    switch (item.type) {
        case KW_TYPE_MULTI:
            method = "KW_create::MultiDataSort";
            break;
        case KW_TYPE_STRING:
            method = item.codes.empty() ? "KW_create::StringDataSort" : "KW_create::CodeDataSort";
            break;
        case KW_TYPE_FLOAT:
            method = "KW_create::DoubleDataSort";
            break;
        case KW_TYPE_DATE:
        case KW_TYPE_TIME:
            method = "KW_create::DateDataSort";
            break;
    }
    try {
        try {
            Column& column = columns_[static_cast<std::size_t>(i)];
            CsvLineReader texts;
            if (inMemory_) {
                texts.openBytes(column.bytes);
            } else {
                CsvOpen(texts, column.path);
            }
            int rc = 0;
            if (item.type == KW_TYPE_MULTI ||
                (item.type == KW_TYPE_STRING && !item.codes.empty())) {
                rc = kw::buildCodeItem(item.type, item.codes, texts, records_, context, block);
            } else if (item.type == KW_TYPE_STRING) {
                rc = kw::buildStringItem(texts, records_, context, block);
            } else if (item.type == KW_TYPE_FLOAT) {
                rc = kw::buildFloatItem(texts, records_, context, block);
            } else {
                rc = kw::buildIntegerItem(item.type, texts, records_, context, block);
            }
            if (rc == EOVERFLOW) KWfail(err_, KW_ERR_STEP, "too many answers.");
            if (rc != 0) {
                try {
                    KWfail(err_, KW_ERR_ARGUMENT, "ReadFile() error = " + std::to_string(rc) + ".");
                } catch (...) {
                    KWpassOn(err_, "KW_create::CsvRead");
                }
            }
            if (inMemory_) {
                std::string().swap(column.bytes);  // this item's texts are no longer needed
            } else {
                CsvClose(texts);
                ::unlink(column.path.c_str());
                column.path.clear();
            }
        } catch (const std::bad_alloc&) {
            KWfail(err_, KW_ERR_NEW_FAILED, "new failed.");
        }
    } catch (...) {
        KWpassOn(err_, method);
    }
}

std::int32_t KW_create::KWcreate(const std::string& sourcePath, const std::string& dataPath,
                                 char separator, std::int32_t header) {
    separator_ = separator;
    if (items_.empty()) return KW_OK;
    const auto n = static_cast<std::int32_t>(items_.size());
    std::int32_t result = KW_OK;
    try {
        checkDescription(separator);
        status(zbq::cp932::literal("データ解析中"));
        DataSeparate(sourcePath, dataPath, header != 0, separator);

        kw::DataFileWriter writer(dataPath);
        if (const std::int32_t r = writer.begin(n, records_); r < 0) {
            KWfail(err_, writeStepCode(r), "KWVheadWrite failed. error=" + std::to_string(r));
        }
        const std::string itemText = zbq::cp932::literal("項目");
        const std::string processingText = zbq::cp932::literal("処理中");
        // One context and block for all items: their arrays are reused, not allocated anew.
        kw::BuildContext context(host_);
        kw::ItemBlock block;
        for (std::int32_t i = 0; i < n; ++i) {
            status(itemText + std::to_string(i + 1) + processingText);
            kw::setTextField(block.def.name, items_[static_cast<std::size_t>(i)].name);
            buildItem(i, context, block);
            if (const std::int32_t r = writer.append(block); r < 0) {
                KWfail(err_, writeStepCode(r), "KWVdataWrite failed. error=" + std::to_string(r));
            }
        }
        kw::FileHead head;
        head.title = title_;
        if (const std::int32_t r = writer.finish(head); r < 0) {
            KWfail(err_, writeStepCode(r), "KWVheadWrite failed. error=" + std::to_string(r));
        }
    } catch (...) {
        result = KWfinish(err_, "KW_create::KWcreate()");
    }
    removeColumnFiles();
    columns_.clear();
    columns_.shrink_to_fit();
    if (result < 0) records_ = 0;
    return result;
}
