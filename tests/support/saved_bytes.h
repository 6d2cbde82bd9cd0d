// A saved data file's bytes with its password field masked: the field is the password mixed with
// random filler, so two saves of one password differ there and nowhere else.
#pragma once

#include <cstddef>
#include <string>

namespace zbq::test {

inline std::string withoutPasswordField(std::string bytes) {
    constexpr std::size_t kField = 12, kFieldSize = 16;
    if (bytes.size() >= kField + kFieldSize) bytes.replace(kField, kFieldSize, kFieldSize, '\0');
    return bytes;
}

}  // namespace zbq::test
