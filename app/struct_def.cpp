// The definition records' images: each Save writes its fields in FORMAT.md's order, each Load
// reads them back and stops at the first field that does not fit.
#include "app/struct_def.h"

#include <limits>

namespace {

// Counts of our own vectors; a vector beyond int32 cannot be written.
bool fitsCount(std::size_t n) {
    return n <= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
}

}  // namespace

// ---- CCodeEntry ----

std::int32_t CCodeEntry::Save(std::string_view* out) {
    Clear();
    *out = {};
    if (AppendString(code) != 0 || AppendString(name) != 0) {
        Clear();
        return -1;
    }
    *out = image();
    return length();
}

std::int32_t CCodeEntry::Load(const char* source, std::int32_t length) {
    const bool ok =
        BeginRead(source, length) == 0 && ReadString(&code) == 0 && ReadString(&name) == 0;
    EndRead();
    return ok ? 0 : -1;
}

// ---- CCodeDef ----

std::int32_t CCodeDef::Save(std::string_view* out) {
    Clear();
    *out = {};
    bool ok = fitsCount(codes.size()) && AppendInt(itemNo) == 0 &&
              AppendInt(static_cast<std::int32_t>(codes.size())) == 0;
    for (std::size_t i = 0; ok && i < codes.size(); ++i)
        ok = AppendNested(codes[i]) == 0;
    if (!ok) {
        Clear();
        return -1;
    }
    *out = image();
    return length();
}

std::int32_t CCodeDef::Load(const char* source, std::int32_t length) {
    std::int32_t count = 0;
    bool ok = BeginRead(source, length) == 0 && ReadInt(&itemNo) == 0 && ReadCount(&count, 4) == 0;
    if (ok) {
        codes.clear();
        codes.reserve(static_cast<std::size_t>(count));
    }
    for (std::int32_t i = 0; ok && i < count; ++i) {
        CCodeEntry entry;
        ok = ReadNested(entry) == 0;
        if (ok) codes.push_back(std::move(entry));
    }
    EndRead();
    return ok ? 0 : -1;
}

// ---- CItemDef ----

std::int32_t CItemDef::Save(std::string_view* out) {
    Clear();
    *out = {};
    bool ok = fitsCount(groups.size()) && AppendInt(itemNo) == 0 && AppendString(name) == 0 &&
              AppendInt(type) == 0 && AppendInt(static_cast<std::int32_t>(groups.size())) == 0;
    for (std::size_t i = 0; ok && i < groups.size(); ++i)
        ok = AppendString(groups[i]) == 0;
    ok = ok && AppendInt(csvColumn) == 0;
    if (!ok) {
        Clear();
        return -1;
    }
    *out = image();
    return length();
}

std::int32_t CItemDef::Load(const char* source, std::int32_t length) {
    std::int32_t count = 0;
    bool ok = BeginRead(source, length) == 0 && ReadInt(&itemNo) == 0 && ReadString(&name) == 0 &&
              ReadInt(&type) == 0 && ReadCount(&count, 4) == 0;
    if (ok) {
        groups.clear();
        groups.reserve(static_cast<std::size_t>(count));
    }
    for (std::int32_t i = 0; ok && i < count; ++i) {
        std::string group;
        ok = ReadString(&group) == 0;
        if (ok) groups.push_back(std::move(group));
    }
    ok = ok && ReadInt(&csvColumn) == 0;
    EndRead();
    return ok ? 0 : -1;
}

// ---- CStructDef ----

void CStructDef::Reset() {
    Clear();
    title.clear();
    header = 1;
    separator = '\t';
    allocText.clear();
    alloc.clear();
    itemCount = 0;
    items.clear();
    codeLists.clear();
}

std::int32_t CStructDef::Save(std::string_view* out) {
    Clear();
    *out = {};
    bool ok = fitsCount(alloc.size()) && fitsCount(items.size()) && fitsCount(codeLists.size()) &&
              AppendString(title) == 0 && AppendInt(header) == 0 && Append(&separator, 1) == 0 &&
              AppendString(allocText) == 0 &&
              AppendInt(static_cast<std::int32_t>(alloc.size())) == 0;
    for (std::size_t i = 0; ok && i < alloc.size(); ++i)
        ok = AppendInt(alloc[i]) == 0;
    ok = ok && AppendInt(itemCount) == 0 && AppendInt(static_cast<std::int32_t>(items.size())) == 0;
    for (std::size_t i = 0; ok && i < items.size(); ++i)
        ok = AppendNested(items[i]) == 0;
    ok = ok && AppendInt(static_cast<std::int32_t>(codeLists.size())) == 0;
    for (std::size_t i = 0; ok && i < codeLists.size(); ++i)
        ok = AppendNested(codeLists[i]) == 0;
    if (!ok) {
        Clear();
        return -1;
    }
    *out = image();
    return length();
}

std::int32_t CStructDef::Load(const char* source, std::int32_t length) {
    std::int32_t count = 0;
    bool ok = BeginRead(source, length) == 0 && ReadString(&title) == 0 && ReadInt(&header) == 0 &&
              Read(&separator, 1) == 0 && ReadString(&allocText) == 0 && ReadCount(&count, 4) == 0;
    if (ok) alloc.assign(static_cast<std::size_t>(count), 0);
    for (std::int32_t i = 0; ok && i < count; ++i)
        ok = ReadInt(&alloc[static_cast<std::size_t>(i)]) == 0;

    // Every window looks items up by the item count and by the list alike: an image in which
    // they disagree is refused before any item is read.
    ok = ok && ReadInt(&itemCount) == 0 && ReadCount(&count, 4) == 0 && count == itemCount;
    if (ok) {
        items.clear();
        items.reserve(static_cast<std::size_t>(count));
    }
    for (std::int32_t i = 0; ok && i < count; ++i) {
        CItemDef item;
        ok = ReadNested(item) == 0;
        if (ok) items.push_back(std::move(item));
    }

    ok = ok && ReadCount(&count, 4) == 0;
    if (ok) {
        codeLists.clear();
        codeLists.reserve(static_cast<std::size_t>(count));
    }
    for (std::int32_t i = 0; ok && i < count; ++i) {
        CCodeDef list;
        ok = ReadNested(list) == 0;
        if (ok) codeLists.push_back(std::move(list));
    }
    EndRead();
    return ok ? 0 : -1;
}
