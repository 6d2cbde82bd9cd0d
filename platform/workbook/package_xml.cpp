// XML parts of a workbook package.
#include "package_xml.h"

#include <sstream>
#include <vector>

namespace zbq::workbook {

bool loadXml(const ZipPackage& pkg, std::string_view part, pugi::xml_document& doc) {
    const std::string* bytes = pkg.find(part);
    if (!bytes) return false;
    auto flags = pugi::parse_default | pugi::parse_declaration;
    return doc.load_buffer(bytes->data(), bytes->size(), flags, pugi::encoding_utf8);
}

void storeXml(ZipPackage& pkg, std::string_view part, const pugi::xml_document& doc) {
    std::ostringstream out;
    // The declaration is a node of the document (parse_declaration), so it is written as read.
    doc.save(out, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    pkg.put(part, out.str());
}

std::string_view localName(const pugi::xml_node& node) {
    std::string_view name = node.name();
    auto colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

pugi::xml_node child(const pugi::xml_node& node, std::string_view local) {
    for (pugi::xml_node c : node.children())
        if (c.type() == pugi::node_element && localName(c) == local) return c;
    return {};
}

pugi::xml_attribute attribute(const pugi::xml_node& node, std::string_view local, bool prefixed) {
    for (pugi::xml_attribute a : node.attributes()) {
        std::string_view name = a.name();
        auto colon = name.find(':');
        if ((colon != std::string_view::npos) != prefixed) continue;
        if ((prefixed ? name.substr(colon + 1) : name) == local) return a;
    }
    return {};
}

std::string relsPartOf(std::string_view part) {
    auto slash = part.rfind('/');
    std::string_view folder = slash == std::string_view::npos ? "" : part.substr(0, slash + 1);
    std::string_view file = slash == std::string_view::npos ? part : part.substr(slash + 1);
    return std::string(folder) + "_rels/" + std::string(file) + ".rels";
}

std::string resolveTarget(std::string_view sourcePart, std::string_view target) {
    std::vector<std::string_view> segments;
    auto push = [&](std::string_view path) {
        while (!path.empty()) {
            auto slash = path.find('/');
            std::string_view seg = path.substr(0, slash);
            path = slash == std::string_view::npos ? std::string_view{} : path.substr(slash + 1);
            if (seg.empty() || seg == ".") continue;
            if (seg == "..") {
                if (!segments.empty()) segments.pop_back();
            } else {
                segments.push_back(seg);
            }
        }
    };
    if (target.empty() || target.front() != '/') {
        auto slash = sourcePart.rfind('/');
        if (slash != std::string_view::npos) push(sourcePart.substr(0, slash));
    }
    push(target);
    std::string out;
    for (std::string_view seg : segments) {
        if (!out.empty()) out += '/';
        out += seg;
    }
    return out;
}

namespace {

bool endsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

}  // namespace

std::string relatedPart(const ZipPackage& pkg, std::string_view part, std::string_view typeSuffix) {
    pugi::xml_document rels;
    if (!loadXml(pkg, relsPartOf(part), rels)) return {};
    for (pugi::xml_node r : child(rels, "Relationships").children()) {
        if (localName(r) != "Relationship" || !endsWith(r.attribute("Type").value(), typeSuffix))
            continue;
        if (std::string_view(r.attribute("TargetMode").value()) == "External") continue;
        return resolveTarget(part, r.attribute("Target").value());
    }
    return {};
}

std::string workbookPartOf(const ZipPackage& pkg) {
    // The root relationships part is "_rels/.rels": the relationships of the package itself.
    std::string part = relatedPart(pkg, "", "/officeDocument");
    return part.empty() ? std::string(kWorkbookPart) : part;
}

std::optional<std::string> sheetPart(const ZipPackage& pkg, std::string_view sheetName) {
    const std::string wbPart = workbookPartOf(pkg);
    pugi::xml_document book, rels;
    if (!loadXml(pkg, wbPart, book) || !loadXml(pkg, relsPartOf(wbPart), rels)) return std::nullopt;
    std::string id;
    for (pugi::xml_node sheet : child(child(book, "workbook"), "sheets").children()) {
        if (localName(sheet) == "sheet" && sheetName == sheet.attribute("name").value()) {
            id = attribute(sheet, "id", true).value();
            break;
        }
    }
    if (id.empty()) return std::nullopt;
    for (pugi::xml_node rel : child(rels, "Relationships").children()) {
        if (id == rel.attribute("Id").value())
            return resolveTarget(wbPart, rel.attribute("Target").value());
    }
    return std::nullopt;
}

}  // namespace zbq::workbook
