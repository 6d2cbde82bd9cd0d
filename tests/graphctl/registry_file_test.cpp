// The registry file: keys as paths with default and named values, subtree deletion, a strict
// parser, the modes of a saved file, and the user's file over the system-wide one.
#include "platform/core/registry_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "tests/support/temp_dir.h"

namespace {

mode_t modeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

using zbq::Registry;
using zbq::RegistryFile;
using zbq::test::readFile;
using zbq::test::TempDir;
using zbq::test::writeFile;

TEST(RegistryFile, ValuesRoundTripThroughTheText) {
    RegistryFile reg;
    ASSERT_TRUE(reg.setValue("HKEY_CLASSES_ROOT\\Grafvik.GraphCtl", "", "GraphCtl Control"));
    ASSERT_TRUE(reg.setValue("HKEY_CLASSES_ROOT\\CLSID\\{X}\\InprocServer32", "",
                             "/opt/zebrine/Grafvik.ocx"));
    const std::string awkward = "quote \" backslash \\ tab \t cr \r lf \n 日本語 @=[]";
    ASSERT_TRUE(
        reg.setValue("HKEY_CLASSES_ROOT\\CLSID\\{X}\\InprocServer32", "Threading\"Model", awkward));
    ASSERT_TRUE(reg.createKey("HKEY_CLASSES_ROOT\\CLSID\\{X}\\Control"));

    std::string error;
    auto back = RegistryFile::parse(reg.text(), &error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(back->text(), reg.text());
    EXPECT_EQ(back->value("HKEY_CLASSES_ROOT\\CLSID\\{X}\\InprocServer32", "Threading\"Model"),
              awkward);
    EXPECT_TRUE(back->keyExists("HKEY_CLASSES_ROOT\\CLSID\\{X}\\Control"));
    EXPECT_EQ(back->value("HKEY_CLASSES_ROOT\\CLSID\\{X}\\Control"), std::nullopt);
}

TEST(RegistryFile, NamesIgnoreCaseAndParentsExistImplicitly) {
    RegistryFile reg;
    reg.setValue("HKEY_CLASSES_ROOT\\Grafvik.GraphCtl\\CLSID", "", "{X}");
    reg.setValue("HKEY_CLASSES_ROOT\\Grafvik.GraphCtl\\clsid", "Name", "a");
    reg.setValue("hkey_classes_root\\grafvik.graphctl\\CLSID", "NAME", "b");  // same value
    EXPECT_EQ(reg.value("hkey_classes_root\\GRAFVIK.GRAPHCTL\\clsid"), "{X}");
    EXPECT_EQ(reg.value("HKEY_CLASSES_ROOT\\Grafvik.GraphCtl\\CLSID", "name"), "b");
    EXPECT_TRUE(reg.keyExists("HKEY_CLASSES_ROOT"));
    EXPECT_TRUE(reg.keyExists("HKEY_CLASSES_ROOT\\Grafvik.GraphCtl"));
    EXPECT_FALSE(reg.keyExists("HKEY_CLASSES_ROOT\\Grafvik"));  // a prefix is not a parent
    EXPECT_EQ(reg.subKeys("HKEY_CLASSES_ROOT"), std::vector<std::string>{"Grafvik.GraphCtl"});
}

TEST(RegistryFile, DeleteRemovesTheSubtreeAndNothingElse) {
    RegistryFile reg;
    reg.setValue("R\\A", "", "1");
    reg.setValue("R\\A\\B", "", "2");
    reg.setValue("R\\A\\B\\C", "v", "3");
    reg.setValue("R\\AB", "", "sibling with the same prefix");
    reg.setValue("R\\Z", "", "4");
    EXPECT_TRUE(reg.deleteKey("r\\a"));
    EXPECT_FALSE(reg.keyExists("R\\A"));
    EXPECT_FALSE(reg.keyExists("R\\A\\B\\C"));
    EXPECT_EQ(reg.value("R\\AB"), "sibling with the same prefix");
    EXPECT_EQ(reg.value("R\\Z"), "4");
    EXPECT_FALSE(reg.deleteKey("R\\A"));
}

TEST(RegistryFile, InvalidKeysChangeNothing) {
    RegistryFile reg;
    for (const char* key : {"", "\\A", "A\\", "A\\\\B", "A\nB", "A\x01"}) {
        EXPECT_FALSE(reg.setValue(key, "", "x")) << key;
        EXPECT_FALSE(reg.createKey(key)) << key;
    }
    EXPECT_EQ(reg.text(), RegistryFile().text());
}

TEST(RegistryFile, MalformedTextIsRefusedWithItsLine) {
    struct Case {
        const char* text;
        const char* line;
    } cases[] = {
        {"@=\"orphan\"\n", "line 1"},       {"[A]\n@=unquoted\n", "line 2"},
        {"[A]\n\"name\"\"v\"\n", "line 2"}, {"[A]\n@=\"v\" trailing\n", "line 2"},
        {"[A]\n@=\"open\n", "line 2"},      {"[A]\n@=\"bad \\q escape\"\n", "line 2"},
        {"; fine\n\n[A\n", "line 3"},       {"[A\\\\B]\n", "line 1"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(RegistryFile::parse(c.text, &error)) << c.text;
        EXPECT_NE(error.find(c.line), std::string::npos) << c.text << " -> " << error;
    }
    EXPECT_TRUE(RegistryFile::parse("; comment\r\n\r\n[A]\r\n@=\"v\"\r\n"));
}

TEST(RegistryFile, LoadAndSave) {
    TempDir dir;
    const std::string path = dir.file("deep/folder/registry.ini");
    auto missing = RegistryFile::load(path);
    ASSERT_TRUE(missing);  // a missing file is an empty registry
    EXPECT_FALSE(missing->keyExists("A"));

    RegistryFile reg;
    reg.setValue("A\\B", "n", "v");
    std::string error;
    ASSERT_TRUE(reg.save(path, &error)) << error;  // the folder is made
    auto back = RegistryFile::load(path, &error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(back->value("A\\B", "n"), "v");

    writeFile(path, "[A]\ngarbage\n");
    EXPECT_FALSE(RegistryFile::load(path, &error));
    EXPECT_NE(error.find(path), std::string::npos);
}

// The file names the library ZBQ loads: under umask 000 it must not become writable by others.
TEST(RegistryFile, SavedFileAndTheFoldersItMakesAreNotWritableByOthersWhateverTheUmask) {
    for (mode_t mask : {mode_t{0}, mode_t{077}}) {
        SCOPED_TRACE(mask);
        TempDir dir;
        ASSERT_EQ(::chmod(dir.path().c_str(), 0700), 0);
        RegistryFile reg;
        reg.setValue("A", "n", "v");
        const mode_t old = ::umask(mask);
        std::string error;
        const bool saved = reg.save(dir.file("zebrine/deep/registry.ini"), &error);
        ::umask(old);
        ASSERT_TRUE(saved) << error;
        EXPECT_EQ(modeOf(dir.file("zebrine/deep/registry.ini")), 0644u);
        EXPECT_EQ(modeOf(dir.file("zebrine/deep")), 0755u);
        EXPECT_EQ(modeOf(dir.file("zebrine")), 0755u);
        EXPECT_EQ(modeOf(dir.path()), 0700u) << "a folder that was there keeps its mode";
    }
}

TEST(Registry, UserKeysStandOverTheSystemFile) {
    TempDir dir;
    RegistryFile user, system;
    user.setValue("HKCR\\Both", "", "user");
    system.setValue("HKCR\\Both", "", "system");
    system.setValue("HKCR\\Both", "extra", "hidden by the user's key");
    system.setValue("HKCR\\SystemOnly", "", "system");
    ASSERT_TRUE(user.save(dir.file("user.ini")));
    ASSERT_TRUE(system.save(dir.file("system.ini")));

    Registry reg(dir.file("user.ini"), dir.file("system.ini"));
    EXPECT_EQ(reg.value("hkcr\\both"), "user");
    EXPECT_EQ(reg.value("HKCR\\Both", "extra"), std::nullopt);
    EXPECT_EQ(reg.value("HKCR\\SystemOnly"), "system");
    EXPECT_FALSE(reg.keyExists("HKCR\\Nowhere"));

    writeFile(dir.file("user.ini"), "not a registry");  // unreadable: as if empty
    EXPECT_EQ(reg.value("HKCR\\Both"), "system");
}

TEST(Registry, EnvironmentNamesTheUserFileAndDropsTheSystemFile) {
    TempDir dir;
    const char* old = std::getenv("ZBQ_REGISTRY_FILE");
    const std::string saved = old ? old : "";
    ::setenv("ZBQ_REGISTRY_FILE", dir.file("r.ini").c_str(), 1);
    EXPECT_EQ(zbq::userRegistryPath(), dir.file("r.ini"));
    EXPECT_EQ(zbq::systemRegistryPath(), "");
    EXPECT_EQ(Registry().userFile(), dir.file("r.ini"));
    ::unsetenv("ZBQ_REGISTRY_FILE");
    EXPECT_NE(zbq::systemRegistryPath(), "");
    EXPECT_NE(zbq::userRegistryPath().find("/zebrine/registry.ini"), std::string::npos);
    if (old) ::setenv("ZBQ_REGISTRY_FILE", saved.c_str(), 1);
}

}  // namespace
