// A fresh temporary folder for one test, removed with everything in it when the test ends.
#pragma once

#include <cstddef>
#include <string>

namespace zbq::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // path() + "/" + name
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// How many entries a folder holds (a temporary left behind shows up here).
std::size_t entriesIn(const std::string& dir);

// Whole-file helpers for tests; they fail the current test on an I/O error.
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);

}  // namespace zbq::test
