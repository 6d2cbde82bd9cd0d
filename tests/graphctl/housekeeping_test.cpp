// The small methods and the housekeeping: paths, file tests, lock files, CheckExcel's question,
// CloseXLS and CloseCSV that close nothing and delete nothing, DelFile, SetData and the state
// that objects on one thread share.
#include "graphctl/housekeeping.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "graphctl/graph_ctl.h"
#include "graphctl/graph_state.h"
#include "tests/graphctl/graph_host_fake.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace zbq::grafvik;
using zbq::test::TempDir;
using zbq::test::writeFile;

bool exists(const std::string& path) {
    return std::filesystem::exists(path);
}

TEST(Housekeeping, NamesDerivedFromThePath) {
    struct Case {
        const char* path;
        const char* fileName;
        const char* twin;
    } cases[] = {
        {"/home/u/temp/_g.xls", "_g.xls", "/home/u/temp/_g.xls"},
        {"/home/u/out.csv", "out.csv", "/home/u/out.xls"},
        {"book.xlsx", "book.xlsx", "book.xxls"},
        {"/home/u/folder/", "folder/", "/home/u/foldxls"},  // the last character is not looked at
        {"/", "/", "xls"},
        {"", "", "xls"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fileNameFromPath(c.path), c.fileName) << c.path;
        EXPECT_EQ(xlsTwin(c.path), c.twin) << c.path;
    }
}

TEST(Housekeeping, FileExistsOnlyForReadableRegularFiles) {
    TempDir dir;
    writeFile(dir.file("a.xls"), "x");
    EXPECT_TRUE(fileExists(dir.file("a.xls")));
    EXPECT_TRUE(fileExists(dir.file("a.xls") + "/"));  // a trailing '/' is dropped
    EXPECT_FALSE(fileExists(dir.file("b.xls")));
    EXPECT_FALSE(fileExists(dir.path()));
    EXPECT_FALSE(fileExists(""));
}

TEST(Housekeeping, OpenInASpreadsheetMeansItsLockFileExists) {
    TempDir dir;
    const std::string book = dir.file("表.xlsx");
    writeFile(book, "x");
    EXPECT_FALSE(openInSpreadsheet(book));
    writeFile(dir.file(".~lock.表.xlsx#"), "user");
    EXPECT_TRUE(openInSpreadsheet(book));
    std::filesystem::remove(dir.file(".~lock.表.xlsx#"));
    writeFile(dir.file("~$表.xlsx"), "user");
    EXPECT_TRUE(openInSpreadsheet(book));
    EXPECT_FALSE(openInSpreadsheet(dir.file("other.xlsx")));
}

class GraphMethods : public ::testing::Test {
protected:
    void SetUp() override { threadState() = {}; }

    TempDir dir;
    zbq::test::FakeGraphHost host;
    GrafvikHost services = host.services();
    GraphCtl ctl{&services};
};

TEST_F(GraphMethods, CheckExcelAsksOnlyWhenAnotherProgramHoldsTheWorkbook) {
    const std::string book = dir.file("g.xls");

    writeFile(book, "free");
    EXPECT_EQ(ctl.checkExcel(book), 0);
    EXPECT_FALSE(exists(book));  // its own twin: about to be overwritten
    EXPECT_TRUE(host.questions.empty());
    EXPECT_EQ(host.beeps, 0);

    writeFile(book, "held");
    writeFile(dir.file(".~lock.g.xls#"), "user");
    host.answerOk = false;
    EXPECT_EQ(ctl.checkExcel(book), 2);
    EXPECT_TRUE(exists(book));
    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(host.questions[0],
              "上書き確認|'g.xls' へ上書きしようとしています。\rよろしいですか？");
    EXPECT_EQ(host.beeps, 1);

    host.answerOk = true;
    EXPECT_EQ(ctl.checkExcel(book), 1);
    EXPECT_FALSE(exists(book));

    GraphCtl silent(nullptr);  // a host that cannot ask: as Cancel, nothing is overwritten
    writeFile(book, "held");
    EXPECT_EQ(silent.checkExcel(book), 2);
    EXPECT_TRUE(exists(book));
}

TEST_F(GraphMethods, CheckExcelAndCloseCsvLeaveTheXlsBesideACsv) {
    const std::string csv = dir.file("out.csv"), xls = dir.file("out.xls");
    writeFile(csv, "a,b");
    writeFile(xls, "someone's workbook");
    writeFile(dir.file(".~lock.out.csv#"), "user");
    EXPECT_EQ(ctl.checkExcel(csv), 1);
    ctl.closeCsv(csv);
    EXPECT_EQ(threadState().xlsPath, xls);
    ctl.closeXls(xls);
    EXPECT_TRUE(exists(csv));
    EXPECT_TRUE(exists(xls));
    EXPECT_EQ(threadState().filePath, xls);
    EXPECT_EQ(threadState().fileName, "out.xls");
}

TEST_F(GraphMethods, DelFileDeletesTheTargetAndIgnoresAMissingOne) {
    writeFile(dir.file("g.xls"), "x");
    ctl.setFilePath(dir.file("g.xls"));
    ctl.delFile();
    EXPECT_FALSE(exists(dir.file("g.xls")));
    ctl.delFile();  // nothing there: quietly done
    ctl.setFilePath(dir.path());
    ctl.delFile();  // a folder is not deleted
    EXPECT_TRUE(exists(dir.path()));
}

TEST_F(GraphMethods, SetDataTakesTheClipboardOnlyWhenGivenNothing) {
    host.clipboard = "clip\t1";
    ctl.setData("given\t2");
    EXPECT_EQ(threadState().fileData, "given\t2");
    ctl.setData("");
    EXPECT_EQ(threadState().fileData, "clip\t1");
    host.clipboard = nullptr;
    ctl.setData("");
    EXPECT_EQ(threadState().fileData, "");
    ctl.setFilePath(dir.file("g.xls"));
    EXPECT_EQ(ctl.exNormal(), GRAFVIK_E_NO_DATA);
    EXPECT_EQ(threadState().abortFlag, 1);
}

TEST_F(GraphMethods, ObjectsOnOneThreadShareTheStateAndThreadsDoNot) {
    GraphCtl other(nullptr);
    ctl.setFilePath(dir.file("shared.xls"));
    other.setData("A\t1");
    EXPECT_EQ(ctl.exNormal(), GRAFVIK_OK);  // the path of one, the data of the other
    EXPECT_TRUE(exists(dir.file("shared.xls")));

    std::string seen = "unset";
    std::thread([&] { seen = threadState().filePath; }).join();
    EXPECT_EQ(seen, "");
}

TEST(Dispatch, NamesIdsAndArgumentCounts) {
    threadState() = {};
    GraphCtl ctl(nullptr);
    EXPECT_EQ(methodByName("exnormal")->dispid, GRAFVIK_DISPID_EXNORMAL);
    EXPECT_EQ(methodByName("SHOWGRAPH")->dispid, GRAFVIK_DISPID_SHOWGRAPH);
    EXPECT_EQ(methodByName("Show"), nullptr);
    EXPECT_EQ(methodById(0x6003000A), nullptr);
    EXPECT_EQ(methodById(0x6003000E), nullptr);

    std::string_view one[] = {"x"};
    int32_t result = -1;
    EXPECT_EQ(ctl.invoke(0x6003000A, {}, &result), GRAFVIK_E_UNKNOWN_ID);
    EXPECT_EQ(ctl.invoke(GRAFVIK_DISPID_SETFILEPATH, {}, &result), GRAFVIK_E_ARG_COUNT);
    EXPECT_EQ(ctl.invoke(GRAFVIK_DISPID_EXNORMAL, one, &result), GRAFVIK_E_ARG_COUNT);
    EXPECT_EQ(ctl.invoke(GRAFVIK_DISPID_SETFILEPATH, one, &result), GRAFVIK_OK);
    EXPECT_EQ(threadState().filePath, "x");
    EXPECT_EQ(result, 0);
}

}  // namespace
