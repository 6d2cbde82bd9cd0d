#include "app/temp_names.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <string_view>

namespace zbq::app {

namespace {

constexpr int kMaxSuffix = 1000;

TempNames namesFor(const std::string& folder, const std::string& base) {
    const std::string stem = folder + "/" + base;
    return {stem + "_t.zbq", stem + "_a.zbq", stem + "_m.zbq", stem + "_g.xlsx", stem + "_e.xlsx"};
}

// 0 created; else the errno of the refusal.
int createExclusive(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return errno;
    ::close(fd);
    return 0;
}

}  // namespace

std::string startupStamp(std::chrono::system_clock::time_point when) {
    const std::time_t t = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    ::localtime_r(&t, &local);
    char text[32];
    std::snprintf(text, sizeof text, "%02d%02d%02d%02d%02d%02d", local.tm_mon + 1, local.tm_mday,
                  local.tm_year % 100, local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

TempNames claimTempNames(const std::string& folder, const std::string& stamp) {
    for (int n = 1; n <= kMaxSuffix; ++n) {
        const TempNames names = namesFor(folder, n == 1 ? stamp : stamp + "-" + std::to_string(n));
        const std::string* all[] = {&names.data, &names.add, &names.merge, &names.graph,
                                    &names.exports};
        int created = 0;
        int refusal = 0;
        for (const std::string* path : all) {
            refusal = createExclusive(*path);
            if (refusal != 0) break;
            ++created;
        }
        if (refusal == 0) return names;
        // Give back what this attempt claimed; only a name already taken is worth another try.
        for (int i = 0; i < created; ++i)
            ::unlink(all[i]->c_str());
        if (refusal != EEXIST) break;
    }
    return namesFor(folder, stamp);
}

bool sameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

}  // namespace zbq::app
