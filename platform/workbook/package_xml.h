// XML parts of a workbook package: load and store a part as a pugixml document, find a sheet's
// part through the workbook and its relationships, and walk elements by local name (so that
// packages written with namespace prefixes read the same as those without).
//
// Stored parts keep their XML declaration and are written without added whitespace. Functions
// return nullopt or false when a part is missing or is not well-formed XML.
#pragma once

#include <pugixml.hpp>

#include <optional>
#include <string>
#include <string_view>

#include "platform/workbook/zip_package.h"

namespace zbq::workbook {

inline constexpr std::string_view kWorkbookPart = "xl/workbook.xml";  // where writers put it
inline constexpr std::string_view kRelationshipsNs =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

bool loadXml(const ZipPackage& pkg, std::string_view part, pugi::xml_document& doc);
void storeXml(ZipPackage& pkg, std::string_view part, const pugi::xml_document& doc);

// The element name without its namespace prefix.
std::string_view localName(const pugi::xml_node& node);
// The first child element of `node` with that local name; empty when there is none.
pugi::xml_node child(const pugi::xml_node& node, std::string_view local);
// The attribute with that local name, whatever its prefix ("r:id" is found as "id" only when
// `prefixed` is true, so that a plain "id" never stands in for it).
pugi::xml_attribute attribute(const pugi::xml_node& node, std::string_view local, bool prefixed);

// The relationships part of a part: "xl/workbook.xml" -> "xl/_rels/workbook.xml.rels".
std::string relsPartOf(std::string_view part);
// A relationship target made absolute against the folder of `sourcePart` (no leading '/').
std::string resolveTarget(std::string_view sourcePart, std::string_view target);

// The main workbook part, as the package's root relationships name it ("xl/workbook.xml").
std::string workbookPartOf(const ZipPackage& pkg);
// The first part related to `part` by a relationship whose type ends with `typeSuffix`
// ("/styles", "/drawing"); "" when there is none.
std::string relatedPart(const ZipPackage& pkg, std::string_view part, std::string_view typeSuffix);

// The part name of the sheet called `sheetName` (exact), e.g. "xl/worksheets/sheet2.xml".
std::optional<std::string> sheetPart(const ZipPackage& pkg, std::string_view sheetName);

}  // namespace zbq::workbook
