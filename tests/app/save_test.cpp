// Saving a data set through CKWApp::SaveDataAndMacro on a started harness: what each scope and
// load mode writes and where the program works afterwards, passwords, the recorded step, the
// blob's scrambling by the written file's version, a save refused while other work runs, a save
// whose macro file cannot be written changing nothing, a macro file the start-up refused kept
// through later saves, and a save killed at every write.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "app/password_dlg.h"
#include "engine/kw_file.h"
#include "macro/cmacro.h"
#include "platform/core/cp932.h"
#include "platform/core/fd_io.h"
#include "platform/ui/modal_runner.h"
#include "platform/ui/termination.h"
#include "tests/app/start_fixture.h"
#include "tests/support/full_disk.h"
#include "tests/support/ordinary_user.h"

namespace zbq::test {
namespace {

// Starts the fixture and brings the program into `loadMode`: 1 from the definition, 2 working
// on a saved "loaded.zbq", 3 working on the joined file of an addition. The men of the fixture
// (5 records) are made the displayed set 1.
void prepare(AppHarness& h, int loadMode) {
    ASSERT_TRUE(h.start({h.writeFixture()}));
    CKWApp& app = h.app();
    if (loadMode == 2) {
        app.SetSaveMode(1);
        app.SetSavePath(h.file("loaded.zbq"));
        ASSERT_EQ(app.SaveDataAndMacro("", 0), 1);
    } else if (loadMode == 3) {
        std::filesystem::copy_file(app.GetTempDataFile(), app.GetTempMergeFile(),
                                   std::filesystem::copy_options::overwrite_existing);
        app.SetLoadMode(3);
    }
    ASSERT_EQ(app.KWsrch("#1=1"), 5);
    const KW_mapPtr men = app.KWmapGet();
    std::vector<SetRecord> sets = app.Sets();
    sets.push_back({1, 1, "#1=1", "No.1 #1=1 / 5", "", men, men->byteLength(), 5});
    app.SetSetList(2, sets);
    app.SetDisplayItems({3, 0});
    h.prompts().clear();
}

std::string workingFile(const CKWApp& app) {
    switch (app.GetLoadMode()) {
        case 1:
            return app.GetTempDataFile();
        case 3:
            return app.GetTempMergeFile();
        default:
            return app.GetDataFilePath();
    }
}

std::int32_t recordsIn(const std::string& path, const std::string& password = {}) {
    KW_search s;
    return s.KWopen(path, password) < 0 ? -1 : s.KWgetRecordCount();
}

TEST(Save, ScopeByLoadModeByTarget) {
    for (const int scope : {1, 2}) {
        for (const int mode : {1, 2, 3}) {
            for (const bool sameTarget : {false, true}) {
                SCOPED_TRACE("scope " + std::to_string(scope) + " mode " + std::to_string(mode) +
                             (sameTarget ? " over the working file" : " to another file"));
                AppHarness h;
                FakeMacro macro;
                h.usePorts(nullptr, nullptr, &macro);
                prepare(h, mode);
                macro.written.clear();
                CKWApp& app = h.app();
                const std::string working = workingFile(app);
                const std::string dataPath = app.GetDataFilePath();
                const std::string target = sameTarget ? working : h.file("out.zbq");
                if (!sameTarget) writeFile(target, "an older file");

                app.SetSaveMode(scope);
                app.SetSavePath(target);
                if (scope == 2 && sameTarget) {
                    // The displayed set alone would leave the program working on a file that
                    // lacks the records it shows, and the next save of all records would copy
                    // the shortened file: refused, with every file as it was.
                    EXPECT_EQ(app.SaveDataAndMacro("", 0), 0);
                    ASSERT_EQ(shown(h.prompts()).size(), 1u);
                    EXPECT_EQ(shown(h.prompts())[0].rfind(
                                  "ファイルの書出しに失敗しました。\n[" + target + "]\n", 0),
                              0u)
                        << shown(h.prompts())[0];
                    EXPECT_TRUE(macro.written.empty());
                    EXPECT_EQ(recordsIn(target), AppHarness::kFixtureRecords);
                    EXPECT_EQ(app.GetLoadMode(), mode);
                    app.SetSaveMode(1);
                    ASSERT_EQ(app.SaveDataAndMacro("", 0), 1);
                    EXPECT_EQ(recordsIn(app.GetDataFilePath()), AppHarness::kFixtureRecords);
                    continue;
                }
                ASSERT_EQ(app.SaveDataAndMacro("", 0), 1);

                const std::string macroFile = target.substr(0, target.size() - 4) + ".mcr";
                EXPECT_EQ(shown(h.prompts()),
                          std::vector<std::string>{savedMessage(target, macroFile)});
                EXPECT_EQ(macro.written, std::vector<std::string>{macroFile});
                EXPECT_EQ(recordsIn(target), scope == 1 ? AppHarness::kFixtureRecords : 5);
                EXPECT_EQ(app.GetSavedPaths().back(), target);

                // All records from a definition or an addition: the saved file becomes the one
                // the program works on, and the former working file goes.
                const bool takesOver = scope == 1 && mode != 2;
                EXPECT_EQ(app.GetLoadMode(), scope == 1 ? 2 : mode);
                EXPECT_EQ(app.GetDataFilePath(), takesOver ? target : dataPath);
                EXPECT_EQ(std::filesystem::exists(working), !takesOver || sameTarget);
                if (!sameTarget && std::filesystem::exists(working)) {
                    EXPECT_EQ(recordsIn(working), AppHarness::kFixtureRecords);
                }
            }
        }
    }
}

TEST(Save, DisplayedSetReadsBackAsSetZeroWithoutDisplayList) {
    AppHarness h;
    prepare(h, 2);
    h.app().SetSaveMode(2);
    h.app().SetSavePath(h.file("men.zbq"));
    ASSERT_EQ(h.app().SaveDataAndMacro("", 0), 1);

    ASSERT_TRUE(h.restart({h.file("men.zbq")}));
    const CKWApp& app = h.app();
    ASSERT_EQ(app.Sets().size(), 1u);
    EXPECT_EQ(app.Sets()[0].number, 0);
    EXPECT_EQ(app.Sets()[0].text1, "#1=1");
    EXPECT_FALSE(app.Sets()[0].map);
    EXPECT_EQ(app.GetDisplayItems(), std::vector<std::int32_t>{});
    EXPECT_EQ(app.GetNextSetNo(), 1);
    EXPECT_EQ(app.Search().KWgetRecordCount(), 5);
}

// The blob is scrambled when the file written has a version of 120 or more: all records of a
// version-120 file keep its version, the displayed set alone is written as version 100.
TEST(Save, BlobFollowsTheVersionOfTheWrittenFile) {
    AppHarness h;
    const std::string path = makeDataFile(h, "v120.zbq");
    std::string blob;
    ASSERT_GE(::KWreadBlob(path, blob), 0);
    CKWApp::ScrambleBlob(blob.data(), static_cast<std::int32_t>(blob.size()));
    ASSERT_GE(::KWwriteBlob(path, blob), 0);
    std::string bytes = readFile(path);
    bytes[8] = 120;
    writeFile(path, bytes);

    for (const int scope : {1, 2}) {
        SCOPED_TRACE("scope " + std::to_string(scope));
        ASSERT_TRUE(h.restart({path}));
        ASSERT_EQ(h.app().Search().KWgetVersion(), 120);
        const std::string out = h.file("out" + std::to_string(scope) + ".zbq");
        h.app().SetSaveMode(scope);
        h.app().SetSavePath(out);
        ASSERT_EQ(h.app().SaveDataAndMacro("", 0), 1);
        EXPECT_EQ(static_cast<unsigned char>(readFile(out)[8]), scope == 1 ? 120 : 100);
        h.prompts().clear();
        EXPECT_TRUE(h.restart({out}));
        EXPECT_EQ(shown(h.prompts()), std::vector<std::string>{});
    }
}

TEST(Save, Passwords) {
    struct Case {
        const char* name;
        std::int32_t ask;
        std::string given;                              // the password argument (CP932)
        std::vector<std::optional<std::string>> typed;  // the password dialog's answer
        std::int32_t protectedAfter;                    // KWpwdchk of the saved file
        std::string opensWith;
    };
    const Case cases[] = {
        {"typed in the dialog", 1, "ignored", {"Kennwort"}, 1, "Kennwort"},
        {"dialog cancelled: saved without one", 1, "ignored", {std::nullopt}, 0, ""},
        {"dialog confirmed empty", 1, "", {""}, 0, ""},
        {"given by a macro", 0, "given", {}, 1, "given"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AppHarness h;
        prepare(h, 1);
        h.answerDialogs(c.typed);
        h.app().SetSaveMode(1);
        h.app().SetSavePath(h.file("out.zbq"));
        ASSERT_EQ(h.app().SaveDataAndMacro(c.given, c.ask), 1);
        EXPECT_EQ(h.dialogsShown().size(), c.ask ? 1u : 0u);
        EXPECT_EQ(::KWpwdchk(h.file("out.zbq")), c.protectedAfter);
        EXPECT_EQ(recordsIn(h.file("out.zbq"), c.opensWith), AppHarness::kFixtureRecords);
    }
}

// A copy of a protected file saved without a password carries none.
TEST(Save, EmptyPasswordRemovesTheCopiedOne) {
    AppHarness h;
    const std::string path = makeDataFile(h, "locked.zbq", "pw");
    h.answerDialogs({"pw"});
    ASSERT_TRUE(h.restart({path}));
    h.app().SetSaveMode(1);
    h.app().SetSavePath(h.file("open.zbq"));
    ASSERT_EQ(h.app().SaveDataAndMacro("", 0), 1);
    EXPECT_EQ(::KWpwdchk(h.file("open.zbq")), 0);
    EXPECT_EQ(::KWpwdchk(path), 1);
}

// A password the file cannot hold fails the whole save: the old target stays, the working file
// stays, nothing is said to be made and nothing recorded.
TEST(Save, RefusedPasswordIsAFailedSave) {
    AppHarness h;
    FakeMacro macro;
    macro.recording = true;
    h.usePorts(nullptr, nullptr, &macro);
    prepare(h, 1);
    writeFile(h.file("out.zbq"), "an older file");
    h.app().SetSaveMode(1);
    h.app().SetSavePath(h.file("out.zbq"));
    EXPECT_EQ(h.app().SaveDataAndMacro(std::string(17, 'x'), 0), 0);
    EXPECT_EQ(shown(h.prompts()),
              std::vector<std::string>{"KWpwdSet()がエラー終了しました [errorNo:-1]"});
    EXPECT_EQ(readFile(h.file("out.zbq")), "an older file");
    EXPECT_EQ(h.app().GetLoadMode(), 1);
    EXPECT_EQ(recordsIn(h.app().GetTempDataFile()), AppHarness::kFixtureRecords);
    EXPECT_EQ(macro.steps, std::vector<std::string>{});
    EXPECT_EQ(macro.written, std::vector<std::string>{});
    for (const auto& entry : std::filesystem::directory_iterator(h.programDir()))
        EXPECT_EQ(entry.path().filename().string().find("zbq-tmp"), std::string::npos);
}

TEST(Save, WriteFailuresLeaveTheTargetAndTell) {
    struct Case {
        const char* name;
        std::function<std::string(AppHarness&)> target;
    };
    const Case cases[] = {
        {"a folder that does not exist", [](AppHarness& h) { return h.file("nowhere/out.zbq"); }},
        {"a folder in the target's place",
         [](AppHarness& h) {
             std::filesystem::create_directory(h.file("out.zbq"));
             return h.file("out.zbq");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AppHarness h;
        FakeMacro macro;
        h.usePorts(nullptr, nullptr, &macro);
        prepare(h, 1);
        h.app().SetSaveMode(1);
        const std::string target = c.target(h);
        h.app().SetSavePath(target);
        EXPECT_EQ(h.app().SaveDataAndMacro("", 0), 0);
        EXPECT_EQ(shown(h.prompts()),
                  std::vector<std::string>{"ファイルの書出しに失敗しました。\n[" + target + "]"});
        EXPECT_EQ(h.app().GetLoadMode(), 1);
        EXPECT_EQ(recordsIn(h.app().GetTempDataFile()), AppHarness::kFixtureRecords);
        EXPECT_EQ(macro.written, std::vector<std::string>{});
        EXPECT_EQ(h.app().GetSavedPaths(), std::vector<std::string>{});
    }
}

TEST(Save, RecordedStepNeverHoldsThePassword) {
    struct Case {
        std::int32_t scope;
        std::string password;
        bool variable;
        std::string step;  // %s: the path
    };
    const Case cases[] = {
        {1, "pw", false, "SaveZbw,\"%s\",\"???\",0"},
        {2, "", false, "SaveZbw,\"%s\",\"\",1"},
        {1, "", true, "SaveZbw,\"???\",\"???\",0"},
    };
    for (const Case& c : cases) {
        AppHarness h;
        FakeMacro macro;
        h.usePorts(nullptr, nullptr, &macro);
        prepare(h, 2);
        macro.recording = true;
        macro.variable = c.variable;
        const std::string path = h.file("saved.zbq");
        h.app().SetSaveMode(c.scope);
        h.app().SetSavePath(path);
        ASSERT_EQ(h.app().SaveDataAndMacro(c.password, 0), 1);
        std::string step = c.step;
        if (const auto at = step.find("%s"); at != std::string::npos) step.replace(at, 2, path);
        EXPECT_EQ(macro.steps, std::vector<std::string>{step});
    }
}

TEST(Save, PasswordDialogCountsBytesNotCharacters) {
    struct Case {
        const char* typed;
        const char* kept;
    };
    const Case cases[] = {
        {"abcdefghijklmnop", "abcdefghijklmno"},
        {"ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀ", "ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿ"},
        {"あいうえおかきく", "あいうえおかき"},
        {"abcdefghijklmnあ", "abcdefghijklmn"},
        {"x€y", "xy"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        std::string entered;
        ui::ScopedModalHook hook([&](QDialog& dialog) {
            // Typed one key at a time, as a user types.
            QLineEdit* edit = dynamic_cast<CPasswordDlg&>(dialog).passwordEdit();
            for (const QChar ch : QString::fromUtf8(c.typed)) {
                QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
                QApplication::sendEvent(edit, &key);
            }
            return int(QDialog::Accepted);
        });
        EXPECT_EQ(askSavePassword(nullptr), cp932::literal(c.kept));
    }
}

// --- Saves that must not run now ---

TEST(Save, RefusedWhileALoadAnAdditionAnAggregationOrAnotherSaveRuns) {
    const std::string wait = "データがロードされるまでお待ちください";
    struct Case {
        const char* name;
        // What runs while the save is asked for; it runs as long as what it gives is held.
        std::function<std::shared_ptr<void>(AppHarness&)> during;
    };
    const Case cases[] = {
        {"data still loading",
         [](AppHarness& h) {
             h.app().SetDataLoaded(0);
             return nullptr;
         }},
        {"data being added",
         [](AppHarness& h) {
             h.app().SetAddingData(1);
             return nullptr;
         }},
        // The aggregation's workers read the engine's tables while its window waits.
        {"an aggregation running",
         [](AppHarness& h) {
             return std::make_shared<kw::MolapCancel::Running>(h.app().Search().MolapCancelFlag());
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AppHarness h;
        FakeMacro macro;
        h.usePorts(nullptr, nullptr, &macro);
        prepare(h, 1);
        macro.recording = true;
        macro.written.clear();
        const std::shared_ptr<void> running = c.during(h);
        h.app().SetSaveMode(1);
        h.app().SetSavePath(h.file("out.zbq"));
        EXPECT_EQ(h.app().SaveDataAndMacro("", 1), 0);
        EXPECT_EQ(shown(h.prompts()), std::vector<std::string>{wait});
        EXPECT_EQ(h.dialogsShown().size(), 0u) << "the password was asked for";
        EXPECT_FALSE(std::filesystem::exists(h.file("out.zbq")));
        EXPECT_EQ(macro.written, std::vector<std::string>{});
        EXPECT_EQ(macro.steps, std::vector<std::string>{});
        EXPECT_EQ(h.app().GetLoadMode(), 1);
    }

    // A save asked for while the first one's engine steps let events in.
    {
        SCOPED_TRACE("a save under way");
        AppHarness h;
        FakeMacro macro;
        h.usePorts(nullptr, nullptr, &macro);
        prepare(h, 1);
        macro.recording = true;
        macro.written.clear();
        CKWApp& app = h.app();
        std::int32_t inner = -1;
        app.SetSaveFaultHook([&](int write) {
            if (write != 1 || inner != -1) return;
            app.SetSavePath(h.file("second.zbq"));
            inner = app.SaveDataAndMacro("", 0);
            app.SetSavePath(h.file("first.zbq"));
        });
        app.SetSaveMode(1);
        app.SetSavePath(h.file("first.zbq"));
        EXPECT_EQ(app.SaveDataAndMacro("", 0), 1);
        app.SetSaveFaultHook(nullptr);
        EXPECT_EQ(inner, 0);
        EXPECT_EQ(shown(h.prompts()),
                  (std::vector<std::string>{
                      wait, savedMessage(h.file("first.zbq"), h.file("first.mcr"))}));
        EXPECT_FALSE(std::filesystem::exists(h.file("second.zbq")));
        EXPECT_EQ(macro.written, std::vector<std::string>{h.file("first.mcr")});
        EXPECT_EQ(macro.steps.size(), 1u);
        EXPECT_FALSE(app.IsSaving());
    }
}

// --- Both files or neither ---

// Hands the program directory and everything in it to the ordinary user a test may become.
void handOver(const std::string& dir) {
    if (::geteuid() != 0) return;
    ASSERT_EQ(::lchown(dir.c_str(), AsOrdinaryUser::kNobody, AsOrdinaryUser::kNobody), 0);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir))
        ASSERT_EQ(::lchown(entry.path().c_str(), AsOrdinaryUser::kNobody, AsOrdinaryUser::kNobody),
                  0);
}

std::vector<std::string> temporariesIn(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        if (entry.path().filename().string().find("zbq-tmp") != std::string::npos)
            names.push_back(entry.path().filename().string());
    return names;
}

// From a definition, so that a save that went half-way would take the working file away. Each
// cause makes the save fail before either file is in place; with it gone, the same save runs.
TEST(Save, AFileThatCannotBeWrittenLeavesBothOldFilesAndTheWorkingFile) {
    struct Case {
        const char* name;
        const char* fails;  // the file the message names
        std::function<void(const std::string&folder)> cause, undo;
        bool fullDisk = false;
    };
    const Case cases[] = {
        {"the folder made unwritable", "out/target.zbq",
         [](const std::string& folder) { ::chmod(folder.c_str(), 0555); },
         [](const std::string& folder) { ::chmod(folder.c_str(), 0755); }},
        {"the macro file made read-only", "out/target.mcr",
         [](const std::string& folder) { ::chmod((folder + "/target.mcr").c_str(), 0444); },
         [](const std::string& folder) { ::chmod((folder + "/target.mcr").c_str(), 0644); }},
        {"the disk full while the macro file is written", "out/target.mcr",
         [](const std::string&) {}, [](const std::string&) {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AppHarness h;
        CMacro macro(h.app());
        prepare(h, 1);
        CKWApp& app = h.app();
        const std::string folder = h.file("out");
        std::filesystem::create_directory(folder);
        const std::string target = folder + "/target.zbq", macroFile = folder + "/target.mcr";
        writeFile(target, "the old data file");
        writeFile(macroFile, "the old macro file");
        writeFile(macroFile + ".bak", "an older macro file");
        const std::string working = app.GetTempDataFile();
        const std::string workingBytes = readFile(working);
        const std::string macroPathBefore = app.GetMacroFilePath();
        macro.StartRecording();
        app.SetSaveMode(1);
        app.SetSavePath(target);
        handOver(h.programDir());
        AsOrdinaryUser user{h.programDir()};
        ASSERT_TRUE(user.ok());

        c.cause(folder);
        std::int32_t saved;
        {
            std::optional<FullDisk> disk;
            if (c.fullDisk) disk.emplace(100, "target.mcr.zbq-tmp");
            saved = app.SaveDataAndMacro("", 0);
        }
        c.undo(folder);
        EXPECT_EQ(saved, 0);
        EXPECT_EQ(shown(h.prompts()),
                  std::vector<std::string>{"ファイルの書出しに失敗しました。\n[" + h.file(c.fails) +
                                           "]"});
        EXPECT_EQ(readFile(target), "the old data file");
        EXPECT_EQ(readFile(macroFile), "the old macro file");
        EXPECT_EQ(readFile(macroFile + ".bak"), "an older macro file");
        EXPECT_EQ(readFile(working), workingBytes);
        EXPECT_EQ(app.GetLoadMode(), 1);
        EXPECT_EQ(app.GetMacroFilePath(), macroPathBefore);
        EXPECT_EQ(app.GetSavedPaths(), std::vector<std::string>{});
        EXPECT_EQ(macro.RecordedSteps(), std::vector<std::string>{});
        EXPECT_EQ(temporariesIn(folder), std::vector<std::string>{});

        h.prompts().clear();
        ASSERT_EQ(app.SaveDataAndMacro("", 0), 1);
        EXPECT_EQ(shown(h.prompts()), std::vector<std::string>{savedMessage(target, macroFile)});
        EXPECT_EQ(recordsIn(target), AppHarness::kFixtureRecords);
        EXPECT_EQ(readFile(macroFile + ".bak"), "the old macro file");
        EXPECT_EQ(app.GetLoadMode(), 2);
        EXPECT_EQ(app.GetMacroFilePath(), macroFile);
        EXPECT_FALSE(std::filesystem::exists(working));
        EXPECT_EQ(macro.RecordedSteps(),
                  std::vector<std::string>{"SaveZbw,\"" + target + "\",\"\",0"});
    }
}

// The last step, the data file's rename, can still fail: the macro file already in place goes
// back to what it was.
TEST(Save, ADataFileThatCannotTakeItsPlacePutsTheOldMacroFileBack) {
    AppHarness h;
    CMacro macro(h.app());
    prepare(h, 1);
    CKWApp& app = h.app();
    const std::string target = h.file("target.zbq"), macroFile = h.file("target.mcr");
    writeFile(macroFile, "the old macro file");
    app.SetSaveFaultHook([&](int write) {
        // After every check, something takes the data file's place.
        if (write == 5) std::filesystem::create_directory(target);
    });
    app.SetSaveMode(1);
    app.SetSavePath(target);
    EXPECT_EQ(app.SaveDataAndMacro("", 0), 0);
    app.SetSaveFaultHook(nullptr);
    EXPECT_EQ(shown(h.prompts()),
              std::vector<std::string>{"ファイルの書出しに失敗しました。\n[" + target + "]"});
    EXPECT_EQ(readFile(macroFile), "the old macro file");
    EXPECT_EQ(recordsIn(app.GetTempDataFile()), AppHarness::kFixtureRecords);
    EXPECT_EQ(app.GetLoadMode(), 1);
    EXPECT_EQ(temporariesIn(h.programDir()), std::vector<std::string>{});
}

// A macro file the start-up could not read whole is kept before the first save replaces it, and
// no later save touches what was kept.
TEST(Save, AMacroFileRefusedAtStartUpSurvivesLaterSavesAsRefused) {
    const std::string refused = cp932::literal(
        "[ファイル]\r\nVersion=3.0\r\n[マクロ]\r\nName1=大事なマクロ\r\nStepCnt1=1\r\n"
        "Step1_1=DispConsole\r\n");
    struct Case {
        std::vector<std::string> taken;  // names of the series already in use
        std::string keptAs;
    };
    const Case cases[] = {
        {{}, "fixture.mcr.refused"},
        {{"fixture.mcr.refused", "fixture.mcr.refused.1"}, "fixture.mcr.refused.2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keptAs);
        AppHarness h;
        CMacro macro(h.app());
        const std::string definition = h.writeFixture();
        writeFile(h.file("fixture.mcr"), refused);
        for (const std::string& name : c.taken)
            writeFile(h.file(name), "another file");
        h.prompts().answer(ui::Answer::Yes);
        ASSERT_TRUE(h.start({definition}));
        ASSERT_EQ(macro.Macros().size(), 0u);
        CKWApp& app = h.app();
        const std::string target = h.file("fixture.zbq"), macroFile = h.file("fixture.mcr");
        for (int save = 1; save <= 3; ++save) {
            SCOPED_TRACE("save " + std::to_string(save));
            h.prompts().clear();
            app.SetSaveMode(1);
            app.SetSavePath(target);
            ASSERT_EQ(app.SaveDataAndMacro("", 0), 1);
            std::string message = savedMessage(target, macroFile);
            if (save == 1)
                message +=
                    "\n読込めなかった元のMCRファイルは[" + h.file(c.keptAs) + "]に残しました";
            EXPECT_EQ(shown(h.prompts()), std::vector<std::string>{message});
            EXPECT_EQ(readFile(h.file(c.keptAs)), refused);
            EXPECT_NE(readFile(macroFile), refused);
            for (const std::string& name : c.taken)
                EXPECT_EQ(readFile(h.file(name)), "another file");
            EXPECT_FALSE(std::filesystem::exists(h.file(c.keptAs + ".1")));
        }
    }
}

// --- A save killed at each of its writes ---

int g_killAt = -1;
int g_writes = 0;

ssize_t killingWrite(int fd, const void* data, std::size_t size) {
    if (g_writes++ == g_killAt) ::raise(SIGKILL);
    return ::write(fd, data, size);
}

// Runs the save in a child process, stopped by SIGKILL at save step `step` or at write(2)
// `write` (-1: neither). The child's exit status; a save that ends exits with its write count.
int saveInChild(CKWApp& app, int step, int write) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        app.SetSaveFaultHook([step](int at) {
            if (at == step) ::raise(SIGKILL);
        });
        g_killAt = write;
        g_writes = 0;
        setWriteFunctionForTesting(&killingWrite);
        const std::int32_t saved = app.SaveDataAndMacro("pw", 0);
        ::_exit(saved == 1 ? std::min(g_writes, 200) : 255);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

TEST(Save, KilledAtAnyWriteLeavesTheOldTargetOrTheWholeNewOne) {
    AppHarness h;
    prepare(h, 1);
    CKWApp& app = h.app();
    const std::string working = app.GetTempDataFile();
    const std::string workingBytes = readFile(working);
    const std::string target = h.file("target.zbq");
    // The old target: an earlier save of the displayed set.
    app.SetSaveMode(2);
    app.SetSavePath(target);
    ASSERT_EQ(app.SaveDataAndMacro("", 0), 1);
    const std::string oldBytes = readFile(target);

    // The whole new file, from a save nothing stops.
    app.SetSaveMode(1);
    app.SetSavePath(h.file("reference.zbq"));
    const int clean = saveInChild(app, -1, -1);
    ASSERT_TRUE(WIFEXITED(clean));
    const int writes = WEXITSTATUS(clean);
    ASSERT_GT(writes, 0);
    ASSERT_LT(writes, 200);
    // The password field holds random filler, so a whole new file is known by its size, its
    // password, its records and its blob.
    const auto newFileSize = std::filesystem::file_size(h.file("reference.zbq"));
    std::string newBlob;
    ASSERT_GT(::KWreadBlob(h.file("reference.zbq"), newBlob), 0);
    const auto isWholeNewFile = [&](const std::string& path) {
        std::string blob;
        return std::filesystem::file_size(path) == newFileSize &&
               recordsIn(path, "pw") == AppHarness::kFixtureRecords &&
               ::KWreadBlob(path, blob) > 0 && blob == newBlob;
    };
    ASSERT_TRUE(isWholeNewFile(h.file("reference.zbq")));

    app.SetSavePath(target);
    std::vector<std::pair<int, int>> kills;  // (save step, write)
    for (int step = 0; step <= 7; ++step)
        kills.push_back({step, -1});
    for (int write = 0; write < writes; ++write)
        kills.push_back({-1, write});
    int completed = 0;
    for (const auto& [step, write] : kills) {
        SCOPED_TRACE("step " + std::to_string(step) + " write " + std::to_string(write));
        writeFile(target, oldBytes);
        if (!std::filesystem::exists(working)) writeFile(working, workingBytes);

        const int status = saveInChild(app, step, write);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        const std::string after = readFile(target);
        const bool whole = isWholeNewFile(target);
        ASSERT_TRUE(after == oldBytes || whole);
        if (whole) ++completed;
        // The working file is whole until the new target is.
        if (after == oldBytes || std::filesystem::exists(working)) {
            EXPECT_EQ(recordsIn(working), AppHarness::kFixtureRecords);
        }
    }
    // The rename happens at one point of the road: kills after it find the new file.
    EXPECT_GT(completed, 0);
    EXPECT_LT(completed, static_cast<int>(kills.size()));
}

// Whatever a definition's help lines and comments hold, a data set built from it and saved
// opens again with the same lines; a zero byte in any line is refused when the definition is
// read, since the data file keeps the definition as text that ends at its first zero byte.
TEST(Save, HostileHelpLinesSaveAndOpenAgain) {
    const std::string data = "a\nx\ny\n";
    const std::vector<std::string> lines = {
        cp932::literal("Title = \"t\""),
        "help one\rtwo",             // a lone CR inside
        "help trail\r",              // and at the end
        "help lead \x81",            // a CP932 lead byte without its trail byte
        "help \"unpaired // quote",  // a quote that pairs with nothing
        "help " + std::string(5000, 'x'),
        "// NOTTAB Title = \"u\"",
        cp932::literal("item = \"a\"  // 項目"),
        " String",
        "EndItem",
        "EndTitle",
    };
    std::string definition;
    for (const std::string& line : lines)
        definition += line + "\r\n";
    {
        AppHarness h;
        writeFile(h.file("hostile.def"), definition);
        writeFile(h.file("hostile.dat"), data);
        ASSERT_TRUE(h.start({h.file("hostile.def")}));
        h.app().SetSaveMode(1);
        h.app().SetSavePath(h.file("hostile.zbq"));
        ASSERT_EQ(h.app().SaveDataAndMacro("", 0), 1);
        ASSERT_TRUE(h.restart({h.file("hostile.zbq")}))
            << ::testing::PrintToString(shown(h.prompts()));
        EXPECT_EQ(h.app().GetDefinitionLines(), lines);
        EXPECT_EQ(h.app().KWgetDataCount(), 2);
    }

    const struct {
        std::size_t line;
        std::string text;
    } zeros[] = {
        {1, std::string("help a\0b", 8)},
        {9, std::string("EndItem // \0", 12)},
        {6, std::string("// \0 NOTTAB", 11)},
    };
    for (const auto& zero : zeros) {
        SCOPED_TRACE(zero.line);
        AppHarness z;
        std::string text;
        for (std::size_t i = 0; i < lines.size(); ++i)
            text += (i == zero.line ? zero.text : lines[i]) + "\r\n";
        writeFile(z.file("zero.def"), text);
        writeFile(z.file("zero.dat"), data);
        EXPECT_FALSE(z.start({z.file("zero.def")}));
        EXPECT_EQ(shown(z.prompts()),
                  std::vector<std::string>{
                      "エラー発生のため終了します。\n認識できない文字列があります。"});
    }
}

// --- A signal to end the program during a save ---

// A look at the event loop, long enough for a signal's byte in the pipe to reach its notifier.
void pumpALittle() {
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        ::usleep(2000);
    }
}

// What the program leaves beside the save's target when it ends: the temporaries of the save.
int temporariesBeside(const std::string& folder) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().filename().string().find(".zbq-tmp.") != std::string::npos) ++count;
    return count;
}

// A SIGTERM that the message pump of a save sees (a save that "auto_open" runs, before the main
// loop, where a signal ends the program at once) ends it only after the save: the target is
// the whole new file and nothing temporary is left beside it. Each case is a process of its
// own (this program again, ZBQ_SAVE_SIGNAL_STEP naming the save step at which it takes the
// real signal), which tells by its exit status what it left when it ended.
TEST(SaveSignal, Child) {
    const char* step = std::getenv("ZBQ_SAVE_SIGNAL_STEP");
    if (!step) GTEST_SKIP() << "run by Save.ASignalDuringASaveEndsTheProgramOnlyAfterIt";
    AppHarness h;
    prepare(h, 1);
    CKWApp& app = h.app();
    app.SetSaveMode(1);
    const std::string target = h.file("target.zbq");
    app.SetSavePath(target);
    zbq::quitOnTerminationSignals();
    zbq::setEarlyTermination([&] {
        const int left = temporariesBeside(h.programDir());
        const bool saved = recordsIn(target) == AppHarness::kFixtureRecords;
        std::_Exit(left != 0 ? 10 + left : saved ? 0 : 3);
    });
    app.SetSaveFaultHook([at = std::atoi(step)](int write) {
        if (write != at) return;
        ::raise(SIGTERM);
        pumpALittle();  // a pump inside the save
    });
    app.SaveDataAndMacro("", 0);
    pumpALittle();  // the event loop's next look
    std::_Exit(4);  // the signal was lost
}

TEST(Save, ASignalDuringASaveEndsTheProgramOnlyAfterIt) {
    for (int step = 0; step <= 7; ++step) {
        SCOPED_TRACE("signal at save step " + std::to_string(step));
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ZBQ_SAVE_SIGNAL_STEP", QString::number(step));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        child.setProcessEnvironment(env);
        child.start(QString::fromStdString(std::filesystem::read_symlink("/proc/self/exe")),
                    {"--gtest_filter=SaveSignal.Child"});
        ASSERT_TRUE(child.waitForFinished(60000));
        ASSERT_EQ(child.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(child.exitCode(), 0) << "10 + n: n temporaries left; 3: not saved; 4: the "
                                          "signal was never acted on";
    }
}

}  // namespace
}  // namespace zbq::test
