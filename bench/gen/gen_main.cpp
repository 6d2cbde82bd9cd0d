// zbq-gen: writes the benchmark questionnaire into a folder.
//
//   zbq-gen [--records N] [--seed S] <folder>
//
// Makes <folder>/questionnaire.dat (the tab-separated source with a heading line),
// questionnaire.def (its definition file, which ZBQ opens) and items.json (types and codes for
// tools outside the engine). N defaults to 1,000,000; sizes such as 100k and 10M are accepted.
#include <sys/stat.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "bench/gen/questionnaire.h"

namespace {

int usage() {
    std::fputs("usage: zbq-gen [--records N] [--seed S] <folder>\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::int64_t records = 1'000'000;
    std::uint64_t seed = zbq::bench::kDefaultSeed;
    std::string dir;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--records" && i + 1 < argc) {
            if (!zbq::bench::parseRecordCount(argv[++i], records)) return usage();
        } else if (arg == "--seed" && i + 1 < argc) {
            const std::string_view v = argv[++i];
            if (std::from_chars(v.data(), v.data() + v.size(), seed).ec != std::errc()) {
                return usage();
            }
        } else if (!arg.empty() && arg[0] != '-' && dir.empty()) {
            dir = arg;
        } else {
            return usage();
        }
    }
    if (dir.empty()) return usage();
    ::mkdir(dir.c_str(), 0777);
    std::int64_t bytes = 0;
    int err = zbq::bench::writeSource(dir + "/questionnaire.dat", records, seed, &bytes);
    if (err == 0) err = zbq::bench::writeDefinition(dir + "/questionnaire.def");
    if (err == 0) err = zbq::bench::writeItemsJson(dir + "/items.json");
    if (err != 0) {
        std::fprintf(stderr, "zbq-gen: %s: %s\n", dir.c_str(), std::strerror(err));
        return 1;
    }
    std::printf("%lld records, %lld bytes of source in %s\n", static_cast<long long>(records),
                static_cast<long long>(bytes), dir.c_str());
    return 0;
}
