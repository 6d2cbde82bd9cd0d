// The built library "Grafvik.ocx" as a host sees it: only the C entry points are exported, the
// client loads it and calls every method by name and by id, and bad calls give distinct errors.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>

#include "graphctl/graph_client.h"
#include "tests/platform_workbook/workbook_test_support.h"
#include "tests/support/temp_dir.h"

namespace {

using zbq::grafvik::GraphControlClient;
using zbq::test::TempDir;
using zbq::test::writeFile;

bool exists(const std::string& path) {
    return std::filesystem::exists(path);
}

TEST(GrafvikLibrary, ExportsOnlyItsCEntryPoints) {
    EXPECT_EQ(std::filesystem::path(GRAFVIK_LIBRARY).filename(), "Grafvik.ocx");
    auto run = zbq::test::runProgram({"nm", "-D", "--defined-only", GRAFVIK_LIBRARY});
    ASSERT_EQ(run.status, 0) << run.output;
    std::set<std::string> exported;
    std::istringstream lines(run.output);
    for (std::string line; std::getline(lines, line);) {
        std::string address, kind, name;
        std::istringstream(line) >> address >> kind >> name;
        if (!name.empty()) exported.insert(name);
    }
    EXPECT_EQ(exported, (std::set<std::string>{"grafvik_create", "grafvik_dispatch_id",
                                               "grafvik_interface_version", "grafvik_invoke",
                                               "grafvik_object_count", "grafvik_register_server",
                                               "grafvik_release", "grafvik_unregister_server"}));
}

TEST(GrafvikLibrary, CountsLiveObjectsAndRefusesNullArguments) {
    void* lib = dlopen(GRAFVIK_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    auto create = reinterpret_cast<GrafvikCreateFn>(dlsym(lib, "grafvik_create"));
    auto release = reinterpret_cast<GrafvikReleaseFn>(dlsym(lib, "grafvik_release"));
    auto count = reinterpret_cast<GrafvikObjectCountFn>(dlsym(lib, "grafvik_object_count"));
    auto invoke = reinterpret_cast<GrafvikInvokeFn>(dlsym(lib, "grafvik_invoke"));
    auto dispatchId = reinterpret_cast<GrafvikDispatchIdFn>(dlsym(lib, "grafvik_dispatch_id"));
    ASSERT_TRUE(create && release && count && invoke && dispatchId);

    GrafvikObject *a = nullptr, *b = nullptr;
    ASSERT_EQ(create(nullptr, &a), GRAFVIK_OK);
    ASSERT_EQ(create(nullptr, &b), GRAFVIK_OK);
    EXPECT_EQ(count(), 2);
    release(a);
    EXPECT_EQ(count(), 1);

    const char* nullArg[] = {nullptr};
    int32_t id = 0;
    EXPECT_EQ(create(nullptr, nullptr), GRAFVIK_E_INVALID_ARG);
    EXPECT_EQ(invoke(nullptr, GRAFVIK_DISPID_EXNORMAL, 0, nullptr, nullptr), GRAFVIK_E_INVALID_ARG);
    EXPECT_EQ(invoke(b, GRAFVIK_DISPID_SETDATA, 1, nullArg, nullptr), GRAFVIK_E_INVALID_ARG);
    EXPECT_EQ(invoke(b, GRAFVIK_DISPID_SETDATA, 1, nullptr, nullptr), GRAFVIK_E_INVALID_ARG);
    EXPECT_EQ(dispatchId(nullptr, &id), GRAFVIK_E_INVALID_ARG);
    release(b);
    release(nullptr);
    EXPECT_EQ(count(), 0);
    dlclose(lib);
}

class Host : public zbq::grafvik::GraphHost {
public:
    std::string clipboardText() override { return clipboard; }
    bool askOkCancel(const std::string& title, const std::string&) override {
        asked = title;
        return true;
    }
    void beep() override { ++beeps; }

    std::string clipboard;
    std::string asked;
    int beeps = 0;
};

TEST(GrafvikClient, CallsEveryMethodByNameAndById) {
    TempDir dir;
    Host host;
    std::string why;
    auto ctl = GraphControlClient::openLibrary(GRAFVIK_LIBRARY, &host, &why);
    ASSERT_TRUE(ctl) << why;
    const std::string book = dir.file("_g.xls");

    // ZBQ's road, by the fixed ids.
    ASSERT_EQ(ctl->setFilePath(book), GRAFVIK_OK);
    ASSERT_EQ(ctl->setData("名前\t3\tx\t4"), GRAFVIK_OK);
    ASSERT_EQ(ctl->closeXls(book), GRAFVIK_OK);
    ASSERT_EQ(ctl->exNormal(), GRAFVIK_OK);
    EXPECT_EQ(zbq::test::sheetsOf(zbq::test::readPackage(book)).size(), 8u);

    // Every method by name, in any case.
    host.clipboard = "c\t1";
    EXPECT_EQ(ctl->invoke("SETDATA", {""}), GRAFVIK_OK);
    EXPECT_EQ(ctl->invoke("exup", {}), GRAFVIK_OK);
    EXPECT_EQ(zbq::test::openpyxlMismatch(book, R"({"cells": {"Data": {"A1": "c", "B1": 1}}})"),
              "");
    EXPECT_EQ(ctl->invoke("ExDown", {}), GRAFVIK_OK);
    EXPECT_EQ(ctl->invoke("DelFile", {}), GRAFVIK_OK);
    EXPECT_FALSE(exists(book));
    EXPECT_EQ(ctl->invoke("ExNormal", {}), GRAFVIK_OK);
    EXPECT_TRUE(exists(book));
    writeFile(dir.file(".~lock._g.xls#"), "user");
    int32_t answer = -1;
    EXPECT_EQ(ctl->invoke("CheckExcel", {book}, &answer), GRAFVIK_OK);
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(host.asked, "上書き確認");
    EXPECT_EQ(host.beeps, 1);
    EXPECT_EQ(ctl->invoke("CloseCSV", {dir.file("a.csv")}), GRAFVIK_OK);
    EXPECT_EQ(ctl->invoke("CloseXLS", {dir.file("sum.xlsx")}), GRAFVIK_OK);
    EXPECT_EQ(ctl->invoke("ShowGraph", {}), GRAFVIK_OK);
    EXPECT_EQ(zbq::test::sheetsOf(zbq::test::readPackage(dir.file("sum.xlsx"))).size(), 1u);
    EXPECT_EQ(ctl->invoke("SetFilePath", {dir.file("id.xls")}), GRAFVIK_OK);

    // And by id.
    EXPECT_EQ(ctl->invoke(GRAFVIK_DISPID_EXDOWN, {}), GRAFVIK_OK);
    EXPECT_TRUE(exists(dir.file("id.xls")));
    EXPECT_EQ(ctl->invoke(GRAFVIK_DISPID_CHECKEXCEL, {dir.file("id.xls")}, &answer), GRAFVIK_OK);
    EXPECT_EQ(answer, 0);

    int32_t id = 0;
    EXPECT_EQ(ctl->dispatchId("closexls", &id), GRAFVIK_OK);
    EXPECT_EQ(id, GRAFVIK_DISPID_CLOSEXLS);
}

TEST(GrafvikClient, EveryMethodAnswersToItsFixedId) {
    TempDir dir;
    std::string why;
    auto ctl = GraphControlClient::openLibrary(GRAFVIK_LIBRARY, nullptr, &why);
    ASSERT_TRUE(ctl) << why;
    const std::string book = dir.file("_g.xls");
    struct Call {
        const char* name;
        int32_t id;
        std::vector<std::string> args;
    } calls[] = {
        {"CloseCSV", 0x60030011, {dir.file("a.csv")}},
        {"SetFilePath", 0x6003000B, {book}},
        {"SetData", 0x6003000D, {"a\t1\tb\t2"}},
        {"CloseXLS", 0x60030010, {book}},
        {"ExNormal", 0x60030007, {}},
        {"ExUp", 0x60030008, {}},
        {"ExDown", 0x60030009, {}},
        {"CheckExcel", 0x6003000F, {book}},  // free, and its own twin: removed
        {"ShowGraph", 0x60030012, {}},
        {"DelFile", 0x6003000C, {}},
    };
    for (const Call& c : calls) {
        int32_t id = 0;
        EXPECT_EQ(ctl->dispatchId(c.name, &id), GRAFVIK_OK);
        EXPECT_EQ(id, c.id) << c.name;
        EXPECT_EQ(ctl->invoke(c.id, c.args), GRAFVIK_OK) << c.name;
        if (std::string_view(c.name).starts_with("Ex") || c.id == 0x60030012) {
            EXPECT_TRUE(exists(book)) << c.name;
        }
    }
    EXPECT_FALSE(exists(book));
}

TEST(GrafvikClient, BadCallsGiveDistinctErrors) {
    std::string why;
    auto ctl = GraphControlClient::openLibrary(GRAFVIK_LIBRARY, nullptr, &why);
    ASSERT_TRUE(ctl) << why;
    EXPECT_EQ(ctl->invoke("Draw", {}), GRAFVIK_E_UNKNOWN_NAME);
    EXPECT_EQ(ctl->invoke(0x6003000E, {}), GRAFVIK_E_UNKNOWN_ID);
    EXPECT_EQ(ctl->invoke("SetFilePath", {}), GRAFVIK_E_ARG_COUNT);
    EXPECT_EQ(ctl->invoke(GRAFVIK_DISPID_SHOWGRAPH, {"x"}), GRAFVIK_E_ARG_COUNT);
    EXPECT_EQ(ctl->invoke("SetData", {""}), GRAFVIK_OK);  // no host: no clipboard text
    EXPECT_EQ(ctl->invoke("ExNormal", {}), GRAFVIK_E_NO_DATA);
}

TEST(GrafvikClient, LibrariesThatCannotServeAreRefused) {
    struct Case {
        std::string path;
        const char* reason;
    } cases[] = {
        {"/nonexistent/Grafvik.ocx", "Grafvik.ocx"},
        {FAKE_GRAFVIK_OTHER_VERSION, "interface version 99"},
        {FAKE_GRAFVIK_BARE, "lacks grafvik_create"},
    };
    for (const Case& c : cases) {
        std::string why;
        EXPECT_EQ(GraphControlClient::openLibrary(c.path, nullptr, &why), nullptr) << c.path;
        EXPECT_NE(why.find(c.reason), std::string::npos) << why;
    }
}

}  // namespace
