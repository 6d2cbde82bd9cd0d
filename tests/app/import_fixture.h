// What the import tests share: CP932 literals and a file's bytes.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "platform/core/cp932.h"

namespace zbq::test {

inline std::string sj(std::string_view utf8) {
    return cp932::literal(utf8);
}

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace zbq::test
