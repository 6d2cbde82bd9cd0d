// Registering the control: the tool writes the class keys into a registry file, the client
// finds the library through them, and unregistering removes exactly what was written.
#include "graphctl/registration.h"

#include <gtest/gtest.h>
#include <limits.h>
#include <stdlib.h>

#include <filesystem>

#include "graphctl/graph_client.h"
#include "tests/platform_workbook/workbook_test_support.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace zbq::grafvik;
using zbq::Registry;
using zbq::RegistryFile;
using zbq::test::readFile;
using zbq::test::runProgram;
using zbq::test::TempDir;
using zbq::test::writeFile;

std::string realPath(const char* path) {
    char buf[PATH_MAX];
    return realpath(path, buf) ? buf : path;
}

int tool(const std::vector<std::string>& args) {
    std::vector<std::string> argv{GRAFVIK_REGISTER_TOOL};
    argv.insert(argv.end(), args.begin(), args.end());
    auto run = runProgram(argv);
    return run.status;
}

// A registry with entries of other programs, which registration must not touch.
RegistryFile othersRegistry() {
    RegistryFile reg;
    reg.setValue("HKEY_CLASSES_ROOT\\.xlsx", "", "Calc.Sheet");
    reg.setValue("HKEY_CLASSES_ROOT\\CLSID\\{00000000-0000-0000-0000-000000000001}", "", "x");
    reg.setValue("HKEY_CLASSES_ROOT\\Grafvik.GraphCtlOld", "", "a name with our prefix");
    return reg;
}

TEST(Registration, TheToolWritesTheKeysAndUnregisteringRemovesExactlyThem) {
    TempDir dir;
    const std::string file = dir.file("registry.ini");
    ASSERT_TRUE(othersRegistry().save(file));
    const std::string before = readFile(file);

    ASSERT_EQ(tool({"--registry", file, GRAFVIK_LIBRARY}), 0);
    auto reg = RegistryFile::load(file);
    ASSERT_TRUE(reg);
    const std::string clsid = "HKEY_CLASSES_ROOT\\CLSID\\" + std::string(kClassId);
    EXPECT_EQ(reg->value(progIdKey() + "\\CLSID"), kClassId);
    EXPECT_EQ(reg->value(clsid), kProgId);
    EXPECT_EQ(reg->value(serverKey()), realPath(GRAFVIK_LIBRARY));
    EXPECT_EQ(reg->value(serverKey(), "ThreadingModel"), "Apartment");
    EXPECT_EQ(reg->value(clsid + "\\ProgID"), kProgId);
    EXPECT_EQ(reg->value(clsid + "\\TypeLib"), kTypeLibId);
    EXPECT_TRUE(reg->keyExists(clsid + "\\Control"));
    EXPECT_TRUE(reg->keyExists("HKEY_CLASSES_ROOT\\TypeLib\\" + std::string(kTypeLibId)));
    EXPECT_EQ(reg->value("HKEY_CLASSES_ROOT\\Interface\\" + std::string(kDispatchIid)),
              "_GraphCtl");
    EXPECT_EQ(reg->value("HKEY_CLASSES_ROOT\\Interface\\" + std::string(kEventsIid)), "__GraphCtl");

    // Registering again replaces, never duplicates.
    const std::string once = readFile(file);
    ASSERT_EQ(tool({"--registry", file, GRAFVIK_LIBRARY}), 0);
    EXPECT_EQ(readFile(file), once);

    ASSERT_EQ(tool({"-u", "--registry", file, GRAFVIK_LIBRARY}), 0);
    EXPECT_EQ(readFile(file), before);
    ASSERT_EQ(tool({"-u", "--registry", file, GRAFVIK_LIBRARY}), 0);  // nothing left to remove
    EXPECT_EQ(readFile(file), before);
}

TEST(Registration, TheToolFailsWithoutTouchingTheFile) {
    TempDir dir;
    const std::string file = dir.file("registry.ini");
    writeFile(file, "[A]\nnot a value line\n");
    EXPECT_EQ(tool({"--registry", file, GRAFVIK_LIBRARY}), 1);
    EXPECT_EQ(readFile(file), "[A]\nnot a value line\n");
    EXPECT_EQ(tool({"--registry", dir.file("r.ini"), dir.file("missing.ocx")}), 1);
    EXPECT_EQ(tool({"--registry", dir.file("r.ini"), FAKE_GRAFVIK_BARE}), 1);
    EXPECT_EQ(tool({}), 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("r.ini")));
}

TEST(Registration, TheClientFindsTheRegisteredLibraryOrLeavesGraphsOff) {
    TempDir dir;
    const std::string file = dir.file("registry.ini");
    std::string why;
    EXPECT_EQ(GraphControlClient::open(Registry(file), nullptr, &why), nullptr);
    EXPECT_NE(why.find("not registered"), std::string::npos) << why;

    ASSERT_EQ(tool({"--registry", file, GRAFVIK_LIBRARY}), 0);
    auto ctl = GraphControlClient::open(Registry(file), nullptr, &why);
    ASSERT_TRUE(ctl) << why;
    EXPECT_EQ(ctl->setFilePath(dir.file("_g.xls")), GRAFVIK_OK);
    EXPECT_EQ(ctl->setData("a\t1"), GRAFVIK_OK);
    EXPECT_EQ(ctl->exNormal(), GRAFVIK_OK);
    EXPECT_TRUE(std::filesystem::exists(dir.file("_g.xls")));

    // The registration names a library that is gone, or one of another interface version.
    for (const std::string& path :
         {dir.file("gone/Grafvik.ocx"), std::string(FAKE_GRAFVIK_OTHER_VERSION)}) {
        auto reg = RegistryFile::load(file);
        reg->setValue(serverKey(), "", path);
        ASSERT_TRUE(reg->save(file));
        EXPECT_EQ(GraphControlClient::open(Registry(file), nullptr, &why), nullptr) << path;
    }
}

}  // namespace
