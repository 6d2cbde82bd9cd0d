// A file made whole in a temporary beside its target before anything is replaced, and put in
// place later, so that a caller can make several files complete first and replace them after.
//
// It is meant for copies the program keeps of its own files: placed over its target whatever
// that target's mode (a backup is ours to replace), or kept under the first free name of a
// series, never over another file. A target that is a symbolic link stays one: the file it
// names is what is replaced (and the series is named after it); a dangling link is refused. Until
// it is placed, the temporary (temp_file.h) is removed when the object goes. One object per file,
// not shared between threads; failures are values (false or "", with errno set).
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

namespace zbq {

class StagedFile {
public:
    explicit StagedFile(std::string target);
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Writes all the bytes into a fresh temporary with `mode`, flushed to disk.
    bool write(std::string_view bytes, mode_t mode);
    // Renames the temporary over the target.
    bool replaceTarget();
    // Puts the temporary under the target's name, or "<target>.1", "<target>.2" ... whichever is
    // free first. The name it took; "" when it could not be placed.
    std::string placeUnderFreeName();

    // Puts the temporary under the target's name only if no file has it; false with EEXIST when
    // one has, even one made a moment ago by another writer.
    bool placeIfFree();

    const std::string& target() const { return target_; }

private:
    void discard();
    // 1: placed under `name`; 0: the name is taken; -1: failed (errno).
    int placeAt(const std::string& name);

    std::string target_;
    std::string dest_;  // the target, or the file it links to
    std::string temp_;
};

}  // namespace zbq
