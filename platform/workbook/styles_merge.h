// Carrying cell formats from one workbook's styles part into another's, so that a sheet moved
// between packages looks the same: each source format (an index into cellXfs) gets a target
// index whose number format, font, fill and border are copies of the source's. Entries that are
// already present byte for byte are reused rather than added again.
//
// Works on parsed styles parts (package_xml.h); the target document is changed in place. One
// merger per pair of documents; not thread-safe.
#pragma once

#include <pugixml.hpp>

#include <cstdint>
#include <map>
#include <optional>

namespace zbq::workbook {

class StyleMerger {
public:
    StyleMerger(pugi::xml_document& target, const pugi::xml_document& source);

    // False when either document lacks the collections a styles part must hold.
    bool valid() const { return valid_; }
    // The target index for source format `sourceXf`; nullopt when the source has no such format.
    std::optional<uint32_t> map(uint32_t sourceXf);

private:
    std::optional<uint32_t> carry(const char* collection, const char* item, uint32_t index);
    std::optional<uint32_t> carryNumberFormat(uint32_t id);

    pugi::xml_node target_;
    pugi::xml_node source_;
    std::string prefix_;  // the target's prefix for the spreadsheet namespace ("" or "x:")
    bool valid_ = false;
    std::map<uint32_t, uint32_t> done_;
};

}  // namespace zbq::workbook
