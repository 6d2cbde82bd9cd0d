// Running a side's own program and reading the times it reports.
#include "bench/compare/script_side.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace zbq::bench {

bool runScript(const std::vector<std::string>& argv, const std::string& timesFile,
               std::map<std::string, ScriptResult>& byOp, std::string& error) {
    byOp.clear();
    ::unlink(timesFile.c_str());
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child < 0) {
        error = std::string("cannot start ") + argv[0] + ": " + std::strerror(errno);
        return false;
    }
    if (child == 0) {
        // The table is ours alone on standard output; the script's progress goes with ours.
        ::dup2(STDERR_FILENO, STDOUT_FILENO);
        ::execvp(args[0], args.data());
        std::fprintf(stderr, "cannot start %s: %s\n", args[0], std::strerror(errno));
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!ok) {
        error = argv[0] + std::string(WIFEXITED(status) ? " exited with status " +
                                                              std::to_string(WEXITSTATUS(status))
                                                        : " was killed");
    }

    std::ifstream times(timesFile);
    for (std::string line; std::getline(times, line);) {
        const auto tab = line.find('\t');
        if (tab == std::string::npos) continue;
        ScriptResult& r = byOp[line.substr(0, tab)];
        const std::string value = line.substr(tab + 1);
        double s = -1;
        const auto parsed = std::from_chars(value.data(), value.data() + value.size(), s);
        if (parsed.ec == std::errc() && parsed.ptr == value.data() + value.size() && s >= 0) {
            r.seconds = s;
        } else {
            r.failure = value.empty() ? "failed" : value;
        }
    }
    return ok;
}

}  // namespace zbq::bench
