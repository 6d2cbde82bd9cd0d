// Text as the XML of a workbook part can hold it.
//
// XML 1.0 forbids the C0 control characters other than TAB, LF and CR, and U+FFFE and U+FFFF;
// one of them, or a byte that is not UTF-8, makes the whole part unreadable to every reader.
// Cell texts are escaped by the writer, but other texts (the category names a chart caches,
// sheet names) go into the XML as they are, so callers clean such text first, the same way
// for a cell and for the chart drawn over it. Pure functions; thread-safe.
#pragma once

#include <string>
#include <string_view>

namespace zbq::workbook {

// `text` with each forbidden character, and each byte that is not part of a UTF-8 character,
// replaced by U+FFFD; everything else kept byte for byte.
std::string xmlSafeText(std::string_view text);

// True when xmlSafeText would change nothing.
bool isXmlSafeText(std::string_view text);

}  // namespace zbq::workbook
