// Reading back workbooks in tests.
#include "workbook_test_support.h"

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "platform/workbook/package_xml.h"

extern char** environ;

namespace zbq::test {

using workbook::ZipPackage;

ZipPackage readPackage(const std::string& path) {
    std::string error;
    auto pkg = ZipPackage::fromFile(path, &error);
    if (!pkg) {
        ADD_FAILURE() << path << ": " << error;
        return {};
    }
    return std::move(*pkg);
}

pugi::xml_document xmlPart(const ZipPackage& pkg, std::string_view part) {
    pugi::xml_document doc;
    if (!workbook::loadXml(pkg, part, doc)) ADD_FAILURE() << "no readable part " << part;
    return doc;
}

std::vector<std::pair<std::string, std::string>> sheetsOf(const ZipPackage& pkg) {
    std::vector<std::pair<std::string, std::string>> out;
    pugi::xml_document book = xmlPart(pkg, workbook::workbookPartOf(pkg));
    for (pugi::xml_node s : book.child("workbook").child("sheets").children("sheet"))
        out.emplace_back(s.attribute("name").value(), s.attribute("state").value());
    return out;
}

pugi::xml_document sheetXml(const ZipPackage& pkg, std::string_view sheet) {
    auto part = workbook::sheetPart(pkg, sheet);
    if (!part) {
        ADD_FAILURE() << "no sheet " << sheet;
        return {};
    }
    return xmlPart(pkg, *part);
}

pugi::xml_document chartXmlOf(const ZipPackage& pkg, std::string_view sheet) {
    pugi::xml_document doc;
    auto part = workbook::sheetPart(pkg, sheet);
    if (!part) return doc;
    std::string drawing = workbook::relatedPart(pkg, *part, "/drawing");
    std::string chart = drawing.empty() ? "" : workbook::relatedPart(pkg, drawing, "/chart");
    if (!chart.empty()) workbook::loadXml(pkg, chart, doc);
    return doc;
}

ProgramRun runProgram(const std::vector<std::string>& argv) {
    ProgramRun run;
    int fds[2];
    if (argv.empty() || ::pipe(fds) != 0) return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    char buf[4096];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;)
        run.output.append(buf, n);
    ::close(fds[0]);
    if (rc != 0) {
        run.output = "cannot start " + argv[0];
        return run;
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) == pid && WIFEXITED(status)) run.status = WEXITSTATUS(status);
    return run;
}

ProgramRun runPython(const std::vector<std::string>& args) {
    std::vector<std::string> argv{ZBQ_TEST_PYTHON};
    argv.insert(argv.end(), args.begin(), args.end());
    return runProgram(argv);
}

std::string json(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", c);
            out += esc;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string openpyxlMismatch(const std::string& path, const std::string& expectationJson) {
    ProgramRun run =
        runProgram({ZBQ_TEST_PYTHON, ZBQ_CHECK_WORKBOOK_SCRIPT, path, expectationJson});
    if (run.status == 0) return {};
    return run.output.empty() ? "check_workbook.py failed" : run.output;
}

}  // namespace zbq::test
