// Merging cell formats between styles parts.
#include "styles_merge.h"

#include <algorithm>
#include <sstream>
#include <string>

#include "platform/workbook/package_xml.h"

namespace zbq::workbook {

namespace {

// Built-in number formats have ids below this; custom ones are declared in numFmts.
constexpr uint32_t kFirstCustomFormat = 164;

std::string serialized(const pugi::xml_node& node) {
    std::ostringstream out;
    node.print(out, "", pugi::format_raw);
    return out.str();
}

// Puts a copied subtree into the target's spelling of the namespace.
void adoptPrefix(pugi::xml_node node, const std::string& prefix) {
    if (prefix.empty() || node.type() != pugi::node_element) return;
    node.set_name((prefix + std::string(localName(node))).c_str());
    for (pugi::xml_node c : node.children())
        adoptPrefix(c, prefix);
}

std::vector<pugi::xml_node> items(const pugi::xml_node& collection, std::string_view item) {
    std::vector<pugi::xml_node> out;
    for (pugi::xml_node c : collection.children())
        if (c.type() == pugi::node_element && localName(c) == item) out.push_back(c);
    return out;
}

void setCount(pugi::xml_node collection, std::size_t count) {
    pugi::xml_attribute attr = collection.attribute("count");
    if (!attr) attr = collection.append_attribute("count");
    attr.set_value(static_cast<unsigned long long>(count));
}

// Appends a copy of `node` to `collection` unless an identical entry exists; returns its index.
uint32_t appendUnique(pugi::xml_node collection, std::string_view item, const pugi::xml_node& node,
                      const std::string& prefix) {
    pugi::xml_document scratch;
    pugi::xml_node copy = scratch.append_copy(node);
    adoptPrefix(copy, prefix);
    const std::string wanted = serialized(copy);
    std::vector<pugi::xml_node> existing = items(collection, item);
    for (std::size_t i = 0; i < existing.size(); ++i)
        if (serialized(existing[i]) == wanted) return static_cast<uint32_t>(i);
    // New entries go after the last existing one, before anything else the collection holds.
    if (existing.empty())
        collection.prepend_copy(copy);
    else
        collection.insert_copy_after(copy, existing.back());
    setCount(collection, existing.size() + 1);
    return static_cast<uint32_t>(existing.size());
}

}  // namespace

StyleMerger::StyleMerger(pugi::xml_document& target, const pugi::xml_document& source)
    : target_(child(target, "styleSheet")), source_(child(source, "styleSheet")) {
    std::string_view name = target_.name();
    auto colon = name.find(':');
    if (colon != std::string_view::npos) prefix_ = std::string(name.substr(0, colon + 1));
    valid_ = target_ && source_;
    for (const char* collection : {"fonts", "fills", "borders", "cellXfs"})
        valid_ = valid_ && child(target_, collection) && child(source_, collection);
}

std::optional<uint32_t> StyleMerger::carry(const char* collection, const char* item,
                                           uint32_t index) {
    std::vector<pugi::xml_node> from = items(child(source_, collection), item);
    if (index >= from.size()) return std::nullopt;
    return appendUnique(child(target_, collection), item, from[index], prefix_);
}

std::optional<uint32_t> StyleMerger::carryNumberFormat(uint32_t id) {
    if (id < kFirstCustomFormat) return id;
    std::string code;
    bool found = false;
    for (pugi::xml_node f : items(child(source_, "numFmts"), "numFmt")) {
        if (f.attribute("numFmtId").as_uint() == id) {
            code = f.attribute("formatCode").value();
            found = true;
        }
    }
    if (!found) return std::nullopt;
    pugi::xml_node formats = child(target_, "numFmts");
    if (!formats) formats = target_.prepend_child((prefix_ + "numFmts").c_str());  // first child
    uint32_t next = kFirstCustomFormat;
    std::vector<pugi::xml_node> existing = items(formats, "numFmt");
    for (pugi::xml_node f : existing) {
        if (code == f.attribute("formatCode").value()) return f.attribute("numFmtId").as_uint();
        next = std::max(next, f.attribute("numFmtId").as_uint() + 1);
    }
    pugi::xml_node f = formats.append_child((prefix_ + "numFmt").c_str());
    f.append_attribute("numFmtId").set_value(next);
    f.append_attribute("formatCode").set_value(code.c_str());
    setCount(formats, existing.size() + 1);
    return next;
}

std::optional<uint32_t> StyleMerger::map(uint32_t sourceXf) {
    if (!valid_) return std::nullopt;
    if (auto it = done_.find(sourceXf); it != done_.end()) return it->second;
    std::vector<pugi::xml_node> xfs = items(child(source_, "cellXfs"), "xf");
    if (sourceXf >= xfs.size()) return std::nullopt;
    const pugi::xml_node xf = xfs[sourceXf];

    auto numFmt = carryNumberFormat(xf.attribute("numFmtId").as_uint());
    auto font = carry("fonts", "font", xf.attribute("fontId").as_uint());
    auto fill = carry("fills", "fill", xf.attribute("fillId").as_uint());
    auto border = carry("borders", "border", xf.attribute("borderId").as_uint());
    if (!numFmt || !font || !fill || !border) return std::nullopt;

    pugi::xml_document scratch;
    pugi::xml_node copy = scratch.append_copy(xf);
    auto set = [&](const char* name, uint32_t value) {
        pugi::xml_attribute a = copy.attribute(name);
        if (!a) a = copy.append_attribute(name);
        a.set_value(value);
    };
    set("numFmtId", *numFmt);
    set("fontId", *font);
    set("fillId", *fill);
    set("borderId", *border);
    set("xfId", 0);  // the Normal cell style every workbook has
    uint32_t index = appendUnique(child(target_, "cellXfs"), "xf", copy, prefix_);
    done_[sourceXf] = index;
    return index;
}

}  // namespace zbq::workbook
