// Runs this thread's file calls as an ordinary user while it lives, so that a test of a
// permission check means something when the tests run as root, who may write any file.
//
// As root: the paths handed in become the user nobody's own, and the thread's file-system ids
// become nobody's (setfsuid, setfsgid), which also drops root's file capabilities until the
// object goes. As anyone else nothing changes: the test user is ordinary already. Header-only.
#pragma once

#include <sys/fsuid.h>
#include <unistd.h>

#include <initializer_list>
#include <string>

namespace zbq::test {

class AsOrdinaryUser {
public:
    static constexpr uid_t kNobody = 65534;

    explicit AsOrdinaryUser(std::initializer_list<std::string> owned) {
        if (::geteuid() != 0) return;
        for (const std::string& path : owned)
            if (::lchown(path.c_str(), kNobody, kNobody) != 0) ok_ = false;
        ::setfsgid(kNobody);
        ::setfsuid(kNobody);
        active_ = true;
    }
    ~AsOrdinaryUser() {
        if (!active_) return;
        ::setfsuid(0);
        ::setfsgid(0);
    }
    AsOrdinaryUser(const AsOrdinaryUser&) = delete;
    AsOrdinaryUser& operator=(const AsOrdinaryUser&) = delete;

    // False when a path could not be handed over.
    bool ok() const { return ok_; }

private:
    bool active_ = false;
    bool ok_ = true;
};

}  // namespace zbq::test
