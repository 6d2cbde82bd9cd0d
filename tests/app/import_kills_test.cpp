// Runs killed during an import or an addition: each is a process of its own (this test program
// started again as a child that imports or adds for ever), killed with SIGKILL at a random
// moment; the next start leaves temp/ holding its own files and nothing else.
//
// ZBQ_IMPORT_KILLS=<n> kills n runs instead of the few of the ordinary test run, and prints how
// many of them left an import's files behind (scripts/import-kills measures with it).
#include <signal.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "app/ckw_app.h"
#include "app/excel_read_model.h"
#include "app/text_read_dlg.h"
#include "tests/app/import_fixture.h"
#include "tests/app/start_fixture.h"
#include "tests/support/app_harness.h"

namespace zbq::test {
namespace {

constexpr int kRows = 20000;

// The text a start-up imports: items a and b, kRows records.
void writeText(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out << "a\tb\n";
    for (int r = 0; r < kRows; ++r)
        out << "r" << r << "\tv" << r % 97 << "\n";
}

// The workbook an addition reads: the same items, as texts.
void writeAddition(const std::string& path) {
    lxw_workbook* book = workbook_new(path.c_str());
    lxw_worksheet* sheet = workbook_add_worksheet(book, "S");
    worksheet_write_string(sheet, 0, 0, "a", nullptr);
    worksheet_write_string(sheet, 0, 1, "b", nullptr);
    for (int r = 1; r <= kRows; ++r) {
        const std::string a = "x" + std::to_string(r);
        worksheet_write_string(sheet, r, 0, a.c_str(), nullptr);
        worksheet_write_string(sheet, r, 1, "y", nullptr);
    }
    workbook_close(book);
}

// A start-up that imports `text` through the text import dialog, as the user answers it.
bool startImporting(AppHarness& h, const std::string& text) {
    h.setSpreadsheet("");
    h.prompts().chooseFiles(QStringList{QString::fromStdString(text)});
    h.driveImports([](QDialog& dialog) {
        app::TextReadModel& model = dynamic_cast<CTextReadDlg&>(dialog).model();
        model.setTitle("t");
        return model.ReadItemNames(0) && model.OnOK() == app::TextReadModel::Outcome::Accepted
                   ? int(QDialog::Accepted)
                   : int(QDialog::Rejected);
    });
    return h.start();
}

// One addition of the workbook through the Excel import, as the item-selection tab runs it.
bool addOnce(CKWApp& app, const std::string& workbook) {
    app::ExcelReadModel model(app, {workbook}, true);
    if (model.ReadColumnInfo(0) != 1 || model.OnOK() != app::ExcelReadModel::Outcome::Accepted)
        return false;
    const std::string added = model.takeOutputPath();
    app.SetAddFilePath(added);
    const bool done = app.AddExcelData() == 1;
    ::unlink(added.c_str());
    return done;
}

// The child: ZBQ_KILL_CHILD is "import" (starts importing, again and again) or "add" (starts on
// the data file and adds, again and again), in the program directory ZBQ_KILL_DIR.
TEST(ImportKills, Child) {
    const char* kind = std::getenv("ZBQ_KILL_CHILD");
    const char* dir = std::getenv("ZBQ_KILL_DIR");
    if (!kind || !dir) GTEST_SKIP() << "run by ImportKills.NextStartLeavesOnlyItsOwnFiles";
    const std::string folder = dir;
    AppHarness h;
    for (;;) {
        h.app().SetProgramDir(folder);
        if (std::string(kind) == "import") {
            startImporting(h, folder + "/in.txt");
        } else {
            h.start({folder + "/base.zbq"});
            for (int i = 0; i < 50; ++i)
                addOnce(h.app(), folder + "/add.xlsx");
        }
        h.exit();
        h.abandon();
    }
}

// The files of temp/ that only an import or an addition writes.
int importFilesIn(AppHarness& h) {
    const std::vector<std::string> names = h.tempFiles();
    return static_cast<int>(std::count_if(names.begin(), names.end(), [](const std::string& n) {
        return n.ends_with("_t.def") || n.ends_with("_t.dat");
    }));
}

TEST(ImportKills, NextStartLeavesOnlyItsOwnFiles) {
    const char* asked = std::getenv("ZBQ_IMPORT_KILLS");
    const int kills = asked ? std::max(1, std::atoi(asked)) : 6;
    AppHarness h;
    writeText(h.file("in.txt"));
    writeAddition(h.file("add.xlsx"));
    // The data file the additions start from, made by one import and a save.
    ASSERT_TRUE(startImporting(h, h.file("in.txt")));
    h.app().SetSaveMode(1);
    h.app().SetSavePath(h.file("base.zbq"));
    ASSERT_EQ(h.app().SaveDataAndMacro("", 0), 1);
    h.exit();
    ASSERT_TRUE(h.tempFiles().empty());

    std::mt19937 random(12345);
    int leftBehind = 0;
    for (int k = 0; k < kills; ++k) {
        const bool importing = k % 2 == 0;
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ZBQ_KILL_CHILD", importing ? "import" : "add");
        env.insert("ZBQ_KILL_DIR", QString::fromStdString(h.programDir()));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        child.setProcessEnvironment(env);
        child.start(QString::fromStdString(std::filesystem::read_symlink("/proc/self/exe")),
                    {"--gtest_filter=ImportKills.Child"});
        ASSERT_TRUE(child.waitForStarted(10000));
        // Until the run holds its names and is at work, then a moment more.
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 30000 && child.state() == QProcess::Running &&
               importFilesIn(h) == 0)
            QThread::msleep(5);
        QThread::msleep(std::uniform_int_distribution<int>(0, 400)(random));
        ASSERT_EQ(child.state(), QProcess::Running) << child.readAllStandardError().toStdString();
        child.kill();
        ASSERT_TRUE(child.waitForFinished(10000));
        if (importFilesIn(h) > 0) ++leftBehind;
    }

    ASSERT_TRUE(h.start({h.file("base.zbq")}));
    EXPECT_EQ(h.tempFiles(), runTemporaries(h.app().GetTempDataFile()));
    h.exit();
    EXPECT_TRUE(h.tempFiles().empty());
    std::printf(
        "%d runs killed during imports and additions, %d of them left an import's "
        "files; after the next start temp/ held %s\n",
        kills, leftBehind, h.tempFiles().empty() ? "only its own files" : "more");
}

}  // namespace
}  // namespace zbq::test
