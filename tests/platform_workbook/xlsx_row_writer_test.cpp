// The row writer: typed cells as an independent reader (openpyxl) sees them, the sheet's limits
// refused before any file is made, and a target that keeps its old bytes whenever the new
// workbook is not committed.
#include "platform/workbook/xlsx_row_writer.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "tests/platform_workbook/workbook_test_support.h"
#include "tests/support/ordinary_user.h"
#include "tests/support/temp_dir.h"

using namespace zbq::workbook;
using zbq::test::entriesIn;
using zbq::test::openpyxlMismatch;
using zbq::test::readFile;
using zbq::test::TempDir;
using zbq::test::writeFile;

TEST(XlsxRowWriter, CellsKeepTheirTypeAndShownForm) {
    TempDir dir;
    const std::string path = dir.file("out.xlsx");
    XlsxRowWriter writer(path);
    ASSERT_TRUE(writer.open(3, 4));
    // A title row, then a code that must stay text, grouped and decimal numbers, an empty cell.
    for (const char* title : {"コード", "金額", "比率", "備考"})
        ASSERT_TRUE(writer.addText(title));
    ASSERT_TRUE(writer.endRow());
    ASSERT_TRUE(writer.addText("001"));
    ASSERT_TRUE(writer.addNumber(1200000, {0, true}));
    ASSERT_TRUE(writer.addNumber(2.5, {3, false}));
    ASSERT_TRUE(writer.addEmpty());
    ASSERT_TRUE(writer.endRow());
    ASSERT_TRUE(writer.addText("ﾌﾞﾗﾝｸ品"));
    ASSERT_TRUE(writer.addNumber(-7, {0, false}));
    ASSERT_TRUE(writer.addNumber(1234.5, {2, true}));
    ASSERT_TRUE(writer.addText("a\tb"));
    ASSERT_TRUE(writer.endRow());
    ASSERT_TRUE(writer.commit()) << writer.error();

    EXPECT_EQ(openpyxlMismatch(path, R"({
        "cells": {"Sheet1": {"A1": "コード", "B1": "金額", "C1": "比率", "D1": "備考",
                             "A2": "001", "B2": 1200000, "C2": 2.5,
                             "A3": "ﾌﾞﾗﾝｸ品", "B3": -7, "C3": 1234.5, "D3": "a\tb"}},
        "formats": {"Sheet1": {"B2": "#,##0", "C2": "0.000", "C3": "#,##0.00"}}
    })"),
              "");
    EXPECT_EQ(entriesIn(dir.path()), 1u);  // no temporary or scratch file left
}

TEST(XlsxRowWriter, ShapesPastTheSheetAreRefusedBeforeAnyFileIsMade) {
    TempDir dir;
    const std::string path = dir.file("out.xlsx");
    writeFile(path, "old workbook");
    struct Shape {
        std::uint64_t rows, columns;
        bool fits;
    };
    for (Shape shape :
         {Shape{1048576, 16384, true}, Shape{1048577, 1, false}, Shape{1, 16385, false}}) {
        EXPECT_EQ(XlsxRowWriter::fits(shape.rows, shape.columns), shape.fits);
        if (shape.fits) continue;
        XlsxRowWriter writer(path);
        EXPECT_FALSE(writer.open(shape.rows, shape.columns));
        EXPECT_FALSE(writer.error().empty());
        EXPECT_EQ(entriesIn(dir.path()), 1u);
    }
    EXPECT_EQ(readFile(path), "old workbook");
}

TEST(XlsxRowWriter, AnUncommittedWorkbookLeavesTheOldFile) {
    TempDir dir;
    const std::string path = dir.file("out.xlsx");
    writeFile(path, "old workbook");
    {
        XlsxRowWriter writer(path);
        ASSERT_TRUE(writer.open(1, 1));
        ASSERT_TRUE(writer.addText("x"));
        EXPECT_FALSE(writer.addText("a cell past the declared columns"));
        EXPECT_FALSE(writer.endRow());  // nothing goes on after a failure
        EXPECT_FALSE(writer.commit());
    }
    EXPECT_EQ(readFile(path), "old workbook");
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(XlsxRowWriter, ReplacingKeepsTheFilesPermission) {
    TempDir dir;
    const std::string path = dir.file("out.xlsx");
    writeFile(path, "old workbook");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    XlsxRowWriter writer(path);
    ASSERT_TRUE(writer.open(1, 1));
    ASSERT_TRUE(writer.addNumber(1, {}));
    ASSERT_TRUE(writer.endRow());
    ASSERT_TRUE(writer.commit()) << writer.error();
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(openpyxlMismatch(path, R"({"cells": {"Sheet1": {"A1": 1}}})"), "");
}

TEST(XlsxRowWriter, AFolderTheUserMayNotWriteIsRefusedAtOpen) {
    TempDir dir;
    ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
    zbq::test::AsOrdinaryUser user({dir.path()});
    ASSERT_TRUE(user.ok());
    XlsxRowWriter writer(dir.file("out.xlsx"));
    EXPECT_FALSE(writer.open(1, 1));
    EXPECT_FALSE(writer.error().empty());
    EXPECT_EQ(entriesIn(dir.path()), 0u);
}

TEST(XlsxRowWriter, ASpreadsheetsLockFileMeansTheFileIsHeld) {
    TempDir dir;
    const std::string path = dir.file("20261210_e.xlsx");
    EXPECT_FALSE(heldBySpreadsheet(path));
    writeFile(dir.file(".~lock.other.xlsx#"), "");
    EXPECT_FALSE(heldBySpreadsheet(path));
    writeFile(dir.file(".~lock.20261210_e.xlsx#"), ",user,host,10.12.2026 11:00,user;");
    EXPECT_TRUE(heldBySpreadsheet(path));
}
