// Grafting a worksheet into another workbook package.
#include "sheet_graft.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

#include "platform/core/cp932.h"
#include "platform/workbook/package_xml.h"
#include "platform/workbook/styles_merge.h"

namespace zbq::workbook {

namespace {

constexpr char kContentTypesPart[] = "[Content_Types].xml";
constexpr char kWorksheetRel[] =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet";
constexpr char kStrictNs[] = "http://purl.oclc.org/ooxml/spreadsheetml/main";

bool fail(std::string* error, std::string message) {
    if (error) *error = std::move(message);
    return false;
}

std::vector<pugi::xml_node> elements(const pugi::xml_node& parent, std::string_view local) {
    std::vector<pugi::xml_node> out;
    for (pugi::xml_node c : parent.children())
        if (c.type() == pugi::node_element && localName(c) == local) out.push_back(c);
    return out;
}

std::string prefixOf(const pugi::xml_node& node) {
    std::string_view name = node.name();
    auto colon = name.find(':');
    return colon == std::string_view::npos ? "" : std::string(name.substr(0, colon + 1));
}

// The attribute name that carries a relationship id on `root`'s elements ("r:id"), declaring the
// namespace on the root when it has no prefix for it yet.
std::string relIdAttribute(pugi::xml_node root) {
    for (pugi::xml_attribute a : root.attributes()) {
        std::string_view name = a.name();
        if (name.substr(0, 6) == "xmlns:" && a.value() == kRelationshipsNs)
            return std::string(name.substr(6)) + ":id";
    }
    std::string prefix = "r";
    while (root.attribute(("xmlns:" + prefix).c_str()))
        prefix += "r";
    root.append_attribute(("xmlns:" + prefix).c_str())
        .set_value(std::string(kRelationshipsNs).c_str());
    return prefix + ":id";
}

// The relative path from the folder of `fromPart` to `toPart`.
std::string relativeTarget(const std::string& fromPart, const std::string& toPart) {
    auto split = [](std::string_view path) {
        std::vector<std::string_view> segs;
        for (std::size_t pos = 0; pos <= path.size();) {
            std::size_t slash = path.find('/', pos);
            if (slash == std::string_view::npos) slash = path.size();
            segs.push_back(path.substr(pos, slash - pos));
            pos = slash + 1;
        }
        return segs;
    };
    std::vector<std::string_view> from = split(fromPart), to = split(toPart);
    from.pop_back();  // the file name: only its folder counts
    std::size_t common = 0;
    while (common < from.size() && common + 1 < to.size() && from[common] == to[common])
        ++common;
    std::string out;
    for (std::size_t i = common; i < from.size(); ++i)
        out += "../";
    for (std::size_t i = common; i < to.size(); ++i) {
        out += to[i];
        if (i + 1 < to.size()) out += '/';
    }
    return out;
}

// The grafting of one source sheet into one target package.
class Graft {
public:
    Graft(ZipPackage& target, const ZipPackage& source, std::string* error)
        : target_(target), source_(source), error_(error) {}

    bool run();

private:
    bool loadTargetWorkbook();
    bool transformSheet(const std::string& part, std::string& out);
    std::string freeName(const std::string& part);
    std::string contentTypeIn(const pugi::xml_document& types, const std::string& part) const;
    bool copyTree(const std::string& part, const std::string* replacement, std::string& newName);
    void deselectOtherSheets();
    void updateWorkbook(const std::string& sheetName, const std::string& newSheetPart);
    void dropCalcChain();
    void updateAppProperties(const std::string& sheetName);

    ZipPackage& target_;
    const ZipPackage& source_;
    std::string* error_;

    std::string wbPart_;
    pugi::xml_document wb_, wbRels_, types_, sourceTypes_;
    std::map<std::string, std::string> copied_;  // source part -> target part
    std::set<std::string> taken_;                // target names handed out
};

bool Graft::loadTargetWorkbook() {
    wbPart_ = workbookPartOf(target_);
    if (!loadXml(target_, wbPart_, wb_) || !loadXml(target_, relsPartOf(wbPart_), wbRels_) ||
        !loadXml(target_, kContentTypesPart, types_))
        return fail(error_, "not a workbook package (its workbook part is missing or damaged)");
    pugi::xml_node root = child(wb_, "workbook");
    // Without its list of sheets, its relationships or its content types a workbook has nowhere
    // to enter the new sheet, which would then be added nowhere.
    if (!root || !child(root, "sheets") || !child(wbRels_, "Relationships") ||
        !child(types_, "Types"))
        return fail(error_, "not a workbook package");
    for (pugi::xml_attribute a : root.attributes())
        if (std::string_view(a.value()) == kStrictNs)
            return fail(error_, "workbooks in the strict form cannot be added to");
    return loadXml(source_, kContentTypesPart, sourceTypes_) ||
           fail(error_, "the sheet to add has no content types");
}

// The sheet part with its shared strings made inline and its formats carried into the target.
bool Graft::transformSheet(const std::string& part, std::string& out) {
    const std::string srcWb = workbookPartOf(source_);
    pugi::xml_document sheet, strings, srcStyles, dstStyles;
    if (!loadXml(source_, part, sheet)) return fail(error_, "the sheet to add is unreadable");
    std::string sstPart = relatedPart(source_, srcWb, "/sharedStrings");
    if (!sstPart.empty() && !loadXml(source_, sstPart, strings))
        return fail(error_, "the strings of the sheet to add are unreadable");
    std::vector<pugi::xml_node> sst = elements(child(strings, "sst"), "si");

    std::string dstStylesPart = relatedPart(target_, wbPart_, "/styles");
    if (dstStylesPart.empty() || !loadXml(target_, dstStylesPart, dstStyles) ||
        !loadXml(source_, relatedPart(source_, srcWb, "/styles"), srcStyles))
        return fail(error_, "a styles part is missing");
    StyleMerger styles(dstStyles, srcStyles);
    if (!styles.valid()) return fail(error_, "a styles part is incomplete");

    auto remap = [&](pugi::xml_node node, const char* attr) {
        pugi::xml_attribute a = node.attribute(attr);
        if (!a) return true;
        auto to = styles.map(a.as_uint());
        if (to) a.set_value(*to);
        return to.has_value();
    };
    pugi::xml_node ws = child(sheet, "worksheet");
    for (pugi::xml_node col : elements(child(ws, "cols"), "col"))
        if (!remap(col, "style")) return fail(error_, "a column names a missing format");
    for (pugi::xml_node row : elements(child(ws, "sheetData"), "row")) {
        if (!remap(row, "s")) return fail(error_, "a row names a missing format");
        for (pugi::xml_node c : elements(row, "c")) {
            if (!remap(c, "s")) return fail(error_, "a cell names a missing format");
            if (std::string_view(c.attribute("t").value()) != "s") continue;
            pugi::xml_node v = child(c, "v");
            std::size_t index = v.text().as_ullong(sst.size());
            if (index >= sst.size()) return fail(error_, "a cell names a missing string");
            c.remove_child(v);
            c.attribute("t").set_value("inlineStr");
            pugi::xml_node is = c.append_child((prefixOf(c) + "is").c_str());
            for (pugi::xml_node run : sst[index].children())
                is.append_copy(run);
        }
    }
    // The new sheet is the one shown.
    for (pugi::xml_node view : elements(child(ws, "sheetViews"), "sheetView")) {
        pugi::xml_attribute sel = view.attribute("tabSelected");
        if (!sel) sel = view.prepend_attribute("tabSelected");
        sel.set_value("1");
    }
    storeXml(target_, dstStylesPart, dstStyles);
    ZipPackage scratch;
    storeXml(scratch, "sheet", sheet);
    out = *scratch.find("sheet");
    return true;
}

// "xl/drawings/drawing1.xml" -> the first free "xl/drawings/drawingN.xml" of the target.
std::string Graft::freeName(const std::string& part) {
    auto slash = part.rfind('/');
    auto dot = part.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) dot = part.size();
    std::size_t stemEnd = dot;
    while (stemEnd > slash + 1 && std::isdigit(static_cast<unsigned char>(part[stemEnd - 1])))
        --stemEnd;
    const std::string stem = part.substr(0, stemEnd), ext = part.substr(dot);
    for (unsigned n = 1;; ++n) {
        std::string name = stem + std::to_string(n) + ext;
        bool used = target_.contains(name);
        for (const std::string& t : taken_)
            used = used || zbq::cp932::equalsNoCase(t, name);
        if (!used) {
            taken_.insert(name);
            return name;
        }
    }
}

std::string Graft::contentTypeIn(const pugi::xml_document& types, const std::string& part) const {
    pugi::xml_node root = child(types, "Types");
    for (pugi::xml_node o : elements(root, "Override"))
        if (zbq::cp932::equalsNoCase(o.attribute("PartName").value(), "/" + part))
            return o.attribute("ContentType").value();
    auto dot = part.rfind('.');
    std::string ext = dot == std::string::npos ? "" : part.substr(dot + 1);
    for (pugi::xml_node d : elements(root, "Default"))
        if (zbq::cp932::equalsNoCase(d.attribute("Extension").value(), ext))
            return d.attribute("ContentType").value();
    return {};
}

// Copies `part` (or `replacement` in its place) and every part it relates to, under free names.
bool Graft::copyTree(const std::string& part, const std::string* replacement,
                     std::string& newName) {
    if (auto it = copied_.find(part); it != copied_.end()) {
        newName = it->second;
        return true;
    }
    const std::string* bytes = replacement ? replacement : source_.find(part);
    if (!bytes) return fail(error_, "the sheet to add lacks the part " + part);
    newName = freeName(part);
    copied_[part] = newName;

    pugi::xml_document rels;
    if (loadXml(source_, relsPartOf(part), rels)) {
        for (pugi::xml_node r : elements(child(rels, "Relationships"), "Relationship")) {
            if (std::string_view(r.attribute("TargetMode").value()) == "External") continue;
            std::string related;
            if (!copyTree(resolveTarget(part, r.attribute("Target").value()), nullptr, related))
                return false;
            r.attribute("Target").set_value(relativeTarget(newName, related).c_str());
        }
        storeXml(target_, relsPartOf(newName), rels);
    }
    std::string type = contentTypeIn(sourceTypes_, part);
    if (type.empty()) return fail(error_, "the part " + part + " has no content type");
    pugi::xml_node root = child(types_, "Types");
    pugi::xml_node o = root.append_child((prefixOf(root) + "Override").c_str());
    o.append_attribute("PartName").set_value(("/" + newName).c_str());
    o.append_attribute("ContentType").set_value(type.c_str());
    target_.put(newName, *bytes);
    return true;
}

// Only the new sheet is selected; another selected tab would group the sheets when opened.
void Graft::deselectOtherSheets() {
    for (pugi::xml_node r : elements(child(wbRels_, "Relationships"), "Relationship")) {
        std::string part = resolveTarget(wbPart_, r.attribute("Target").value());
        pugi::xml_document sheet;
        if (std::string_view(r.attribute("TargetMode").value()) == "External" ||
            !loadXml(target_, part, sheet))
            continue;
        bool changed = false;
        pugi::xml_node root = sheet.document_element();
        for (pugi::xml_node view : elements(child(root, "sheetViews"), "sheetView"))
            changed = view.remove_attribute("tabSelected") || changed;
        if (changed) storeXml(target_, part, sheet);
    }
}

void Graft::updateWorkbook(const std::string& sheetName, const std::string& newSheetPart) {
    pugi::xml_node root = child(wb_, "workbook");
    pugi::xml_node rels = child(wbRels_, "Relationships");

    std::set<std::string> ids;
    for (pugi::xml_node r : elements(rels, "Relationship"))
        ids.insert(r.attribute("Id").value());
    unsigned n = static_cast<unsigned>(ids.size()) + 1;
    while (ids.count("rId" + std::to_string(n)))
        ++n;
    const std::string id = "rId" + std::to_string(n);
    pugi::xml_node rel = rels.append_child((prefixOf(rels) + "Relationship").c_str());
    rel.append_attribute("Id").set_value(id.c_str());
    rel.append_attribute("Type").set_value(kWorksheetRel);
    rel.append_attribute("Target").set_value(relativeTarget(wbPart_, newSheetPart).c_str());

    const std::string idAttr = relIdAttribute(root);
    pugi::xml_node sheets = child(root, "sheets");
    unsigned maxId = 0;
    for (pugi::xml_node s : elements(sheets, "sheet"))
        maxId = std::max(maxId, s.attribute("sheetId").as_uint());
    pugi::xml_node sheet = sheets.prepend_child((prefixOf(root) + "sheet").c_str());
    sheet.append_attribute("name").set_value(sheetName.c_str());
    sheet.append_attribute("sheetId").set_value(maxId + 1);
    sheet.append_attribute(idAttr.c_str()).set_value(id.c_str());

    // Names scoped to a sheet say which by its position, and every position moved up by one.
    for (pugi::xml_node n : elements(child(root, "definedNames"), "definedName"))
        if (pugi::xml_attribute local = n.attribute("localSheetId"))
            local.set_value(local.as_uint() + 1);
    for (pugi::xml_node view : elements(child(root, "bookViews"), "workbookView")) {
        pugi::xml_attribute active = view.attribute("activeTab");
        if (!active) active = view.append_attribute("activeTab");
        active.set_value(0);
        view.remove_attribute("firstSheet");
    }
}

// The calculation chain lists cells by sheet; the spreadsheet program rebuilds it when missing.
void Graft::dropCalcChain() {
    pugi::xml_node rels = child(wbRels_, "Relationships");
    for (pugi::xml_node r : elements(rels, "Relationship")) {
        std::string_view type = r.attribute("Type").value();
        if (type.size() < 10 || type.substr(type.size() - 10) != "/calcChain") continue;
        std::string part = resolveTarget(wbPart_, r.attribute("Target").value());
        target_.remove(part);
        for (pugi::xml_node o : elements(child(types_, "Types"), "Override"))
            if (zbq::cp932::equalsNoCase(o.attribute("PartName").value(), "/" + part))
                o.parent().remove_child(o);
        rels.remove_child(r);
    }
}

// The document properties list the sheet names under a heading with their count.
void Graft::updateAppProperties(const std::string& sheetName) {
    std::string appPart = relatedPart(target_, "", "/extended-properties");
    pugi::xml_document app;
    if (appPart.empty() || !loadXml(target_, appPart, app)) return;
    pugi::xml_node props = app.document_element();
    pugi::xml_node pairs = child(child(props, "HeadingPairs"), "vector");
    pugi::xml_node titles = child(child(props, "TitlesOfParts"), "vector");
    if (!pairs || !titles) return;
    std::vector<pugi::xml_node> variants = elements(pairs, "variant");
    std::size_t position = 0;
    for (std::size_t i = 0; i + 1 < variants.size(); i += 2) {
        pugi::xml_node heading = child(variants[i], "lpstr");
        pugi::xml_node count = child(variants[i + 1], "i4");
        if (!heading || !count) return;
        std::string_view h = heading.text().get();
        if (h == "Worksheets" || h == "ワークシート") {
            std::vector<pugi::xml_node> names = elements(titles, "lpstr");
            if (position > names.size()) return;
            pugi::xml_node name =
                position < names.size()
                    ? titles.insert_child_before(names[position].name(), names[position])
                    : titles.append_child((prefixOf(titles) + "lpstr").c_str());
            name.text().set(sheetName.c_str());
            count.text().set(count.text().as_int() + 1);
            titles.attribute("size").set_value(names.size() + 1);
            storeXml(target_, appPart, app);
            return;
        }
        position += count.text().as_uint();
    }
}

bool Graft::run() {
    if (!loadTargetWorkbook()) return false;
    const std::string srcWb = workbookPartOf(source_);
    pugi::xml_document srcBook;
    if (!loadXml(source_, srcWb, srcBook)) return fail(error_, "the sheet to add is unreadable");
    pugi::xml_node first = child(child(child(srcBook, "workbook"), "sheets"), "sheet");
    const std::string name = first.attribute("name").value();
    auto part = sheetPart(source_, name);
    if (!first || !part) return fail(error_, "there is no sheet to add");
    for (pugi::xml_node s : elements(child(child(wb_, "workbook"), "sheets"), "sheet"))
        if (zbq::cp932::equalsNoCase(s.attribute("name").value(), name))
            return fail(error_, "the workbook already has a sheet named " + name);

    std::string sheetBytes, newSheetPart;
    if (!transformSheet(*part, sheetBytes)) return false;
    deselectOtherSheets();
    if (!copyTree(*part, &sheetBytes, newSheetPart)) return false;
    updateWorkbook(name, newSheetPart);
    dropCalcChain();
    updateAppProperties(name);
    storeXml(target_, wbPart_, wb_);
    storeXml(target_, relsPartOf(wbPart_), wbRels_);
    storeXml(target_, kContentTypesPart, types_);
    return true;
}

}  // namespace

std::optional<std::vector<std::string>> sheetNames(const ZipPackage& pkg) {
    pugi::xml_document book;
    if (!loadXml(pkg, workbookPartOf(pkg), book)) return std::nullopt;
    pugi::xml_node root = child(book, "workbook");
    if (!root) return std::nullopt;
    std::vector<std::string> names;
    for (pugi::xml_node s : elements(child(root, "sheets"), "sheet"))
        names.emplace_back(s.attribute("name").value());
    return names;
}

bool graftSheetInFront(ZipPackage& target, const ZipPackage& source, std::string* error) {
    return Graft(target, source, error).run();
}

}  // namespace zbq::workbook
