// Writing the macro file over an old one: the ".bak" copy replaced whatever its mode, a full disk
// reported by the file it stopped rather than by a key, and a file the start-up reading refused
// or read only in part kept once as ".refused" before a write replaces it, also when that write
// fails or is undone.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "tests/macro/macro_fixture.h"
#include "tests/support/full_disk.h"
#include "tests/support/ordinary_user.h"
#include "tests/support/temp_dir.h"

namespace zbq::test {
namespace {

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

std::string failure(const std::string& path) {
    return "ファイルの書出しに失敗しました。\n[" + path + "]";
}

class MacroFileWriting : public MacroTest {
protected:
    MacroFileWriting() {
        app.StructDef() = everyItemType();
        app.SetLoadMode(2);
        EXPECT_EQ(macro.LoadStructureDefinition(), 1);
        macro.AddMacro("one", "", {"DispConsole"});
        macro.AddMacro("two", "", {"OpenLogTab", "SelectSet,1"});
    }

    // What the writer makes of the two macros: a file the start-up reads whole.
    std::string wholeFile() {
        const std::string scratch = dir.file("scratch.mcr");
        EXPECT_EQ(macro.WriteMacroFile(scratch), 1);
        const std::string bytes = readFile(scratch);
        std::filesystem::remove(scratch);
        return bytes;
    }

    TempDir dir;
    const std::string path = dir.file("data.mcr");
};

TEST_F(MacroFileWriting, AReadOnlyBackupIsReplacedAsTheProgramsOwnFile) {
    writeFile(path, "the old file");
    writeFile(path + ".bak", "an older file");
    ASSERT_EQ(::chmod((path + ".bak").c_str(), 0444), 0);
    AsOrdinaryUser user{dir.path(), path, path + ".bak"};
    ASSERT_TRUE(user.ok());

    EXPECT_EQ(macro.WriteMacroFile(path), 1);
    EXPECT_EQ(messages(), std::vector<std::string>{});
    EXPECT_EQ(readFile(path + ".bak"), "the old file");
    struct stat st {};
    ASSERT_EQ(::stat((path + ".bak").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u) << "the backup takes the mode of the file it copies";
    EXPECT_EQ(entriesIn(dir.path()), 2u) << "a temporary was left behind";
}

TEST_F(MacroFileWriting, AFullDiskNamesTheFileItStopped) {
    const std::size_t size = wholeFile().size();
    struct Case {
        const char* name;
        const char* old;  // nullptr: no file yet
        std::size_t room;
        std::string fails;
    };
    const Case cases[] = {
        {"no room at all", nullptr, 0, path},
        {"room for a few lines", nullptr, 40, path},
        {"one byte short", nullptr, size - 1, path},
        {"no room for the backup", "the old file", 0, path + ".bak"},
        {"room for the backup only", "the old file", 12, path},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompts.clear();
        std::filesystem::remove(path);
        if (c.old) writeFile(path, c.old);
        std::int32_t written;
        {
            FullDisk disk(c.room);
            written = macro.WriteMacroFile(path);
        }
        EXPECT_EQ(written, 0);
        EXPECT_EQ(messages(), std::vector<std::string>{failure(c.fails)});
        if (c.old) {
            EXPECT_EQ(readFile(path), c.old);
        } else {
            EXPECT_FALSE(std::filesystem::exists(path));
        }
        EXPECT_FALSE(std::filesystem::exists(path + ".bak"));
        EXPECT_EQ(entriesIn(dir.path()), c.old ? 1u : 0u) << "a temporary was left behind";
    }
}

TEST_F(MacroFileWriting, AFileTheStartUpCouldNotReadWholeIsKeptOnceBeforeItIsReplaced) {
    const std::string whole = wholeFile();
    const auto cp = [](const char* utf8) { return cp932::literal(utf8); };
    std::string pastTheLimit = whole.substr(0, whole.find(cp("[マクロ]"))) + cp("[マクロ]\r\n");
    for (int n = 1; n <= 1000; ++n) {
        const std::string i = std::to_string(n);
        pastTheLimit +=
            "Name" + i + "=m" + i + "\r\nStepCnt" + i + "=1\r\nStep" + i + "_1=DispConsole\r\n";
    }
    struct Case {
        const char* name;
        std::string text;
        bool kept;
    };
    const Case cases[] = {
        {"read whole", whole, false},
        {"another version", replaced(whole, "Version=2.0", "Version=3.0"), true},
        {"a damaged key", replaced(whole, "StepCnt1=1", "StepCnt1="), true},
        {"another structure", replaced(whole, "ItemCsvNo1=1", "ItemCsvNo1=9"), true},
        {"a name twice", replaced(whole, "Name2=two", "Name2=one"), true},
        {"a name too long", replaced(whole, "Name2=two", "Name2=" + std::string(65, 'x')), true},
        {"a macro without steps", replaced(whole, "StepCnt2=2", "StepCnt2=0"), true},
        {"past 999 macros", pastTheLimit, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            std::filesystem::remove(entry.path());
        writeFile(path, c.text);
        CMacro reader(app);
        for (int i = 0; i < 3; ++i)
            prompts.answer(ui::Answer::Yes);
        ASSERT_EQ(reader.ReadMacroFile(path), 1);
        reader.AddMacro("recorded", "", {"DispConsole"});

        for (int write = 1; write <= 3; ++write) {
            SCOPED_TRACE("write " + std::to_string(write));
            ASSERT_EQ(reader.WriteMacroFile(path), 1);
            EXPECT_EQ(std::filesystem::exists(path + ".refused"), c.kept);
            if (c.kept) {
                EXPECT_EQ(readFile(path + ".refused"), c.text);
            }
            EXPECT_FALSE(std::filesystem::exists(path + ".refused.1"));
        }
        EXPECT_NE(readFile(path), c.text);
    }
}

// Only a write that replaces the file read at start-up keeps it; one that fails or is undone
// keeps nothing and leaves the next write to keep it.
TEST_F(MacroFileWriting, TheRefusedFileIsKeptByTheWriteThatReplacesIt) {
    const std::string refused = replaced(wholeFile(), "Version=2.0", "Version=3.0");
    writeFile(path, refused);
    CMacro reader(app);
    prompts.answer(ui::Answer::Yes);
    ASSERT_EQ(reader.ReadMacroFile(path), 1);

    const std::string other = dir.file("other.mcr");
    ASSERT_EQ(reader.WriteMacroFile(other), 1);
    EXPECT_FALSE(std::filesystem::exists(other + ".refused"));
    EXPECT_FALSE(std::filesystem::exists(path + ".refused"));

    {
        FullDisk disk(0, "data.mcr.zbq-tmp");
        EXPECT_EQ(reader.WriteMacroFile(path), 0);
    }
    EXPECT_EQ(readFile(path), refused);
    EXPECT_FALSE(std::filesystem::exists(path + ".refused"));

    std::unique_ptr<MacroFileWrite> undone = reader.PrepareMacroFile(path);
    ASSERT_TRUE(undone);
    ASSERT_TRUE(undone->commit());
    EXPECT_EQ(undone->keptFile(), path + ".refused");
    undone->undo();
    EXPECT_EQ(undone->keptFile(), "");
    EXPECT_EQ(readFile(path), refused);
    EXPECT_FALSE(std::filesystem::exists(path + ".refused"));

    std::unique_ptr<MacroFileWrite> kept = reader.PrepareMacroFile(path);
    ASSERT_TRUE(kept);
    ASSERT_TRUE(kept->commit());
    EXPECT_EQ(kept->keptFile(), path + ".refused");
    EXPECT_EQ(readFile(path + ".refused"), refused);
    EXPECT_NE(readFile(path), refused);
}

}  // namespace
}  // namespace zbq::test
