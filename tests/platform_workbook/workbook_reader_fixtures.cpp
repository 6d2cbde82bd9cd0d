// Writing the reader's test workbooks.
#include "tests/platform_workbook/workbook_reader_fixtures.h"

#include <gtest/gtest.h>
#include <xlsxwriter.h>

#include "platform/workbook/zip_package.h"
#include "tests/platform_workbook/workbook_test_support.h"

namespace zbq::test {

namespace {

void runScript(const std::string& script, const std::vector<std::string>& args) {
    std::vector<std::string> argv{"-c", script};
    argv.insert(argv.end(), args.begin(), args.end());
    const ProgramRun run = runPython(argv);
    ASSERT_EQ(run.status, 0) << run.output;
}

}  // namespace

void writeOpenpyxlBook(const std::string& path) {
    runScript(R"py(
import sys, datetime, openpyxl
from openpyxl.chart import BarChart, Reference
wb = openpyxl.Workbook()
ws = wb.active
ws.title = "データ"
ws["A1"] = "名前"; ws["B1"] = 2024; ws["C1"] = "日付"
ws["A2"] = "①～"; ws["B2"] = 3; ws["C2"] = datetime.date(2024, 3, 5)
ws["D2"] = datetime.time(7, 5, 9); ws["E2"] = datetime.datetime(2024, 3, 5, 7, 5, 9)
ws["F2"] = True
ws["A3"] = "#N/A"; ws["B3"] = 1.5; ws["B3"].number_format = "0.0"
ws["C3"] = 45000; ws["C3"].number_format = "yyyy/m/d"
ws["D3"] = "=SUM(B2:B3)"
ws["E3"] = 1234567.891; ws["E3"].number_format = "#,##0.00"
ws["B4"] = 0.1 + 0.2
ws["A5"] = 12345678901234567
ws["G1"] = "結合"; ws.merge_cells("G1:H2")
hidden = wb.create_sheet("隠し"); hidden.sheet_state = "hidden"; hidden["B2"] = "x"
chart = BarChart(); chart.add_data(Reference(ws, min_col=2, min_row=2, max_row=4))
wb.create_chartsheet("グラフ").add_chart(chart)
edge = wb.create_sheet("端"); edge["A1"] = 2; edge["XFD1048576"] = 1
wb.save(sys.argv[1])
)py",
              {path});
}

void writeOpenpyxl1904Book(const std::string& path) {
    runScript(R"py(
import sys, datetime, openpyxl
from openpyxl.utils.datetime import CALENDAR_MAC_1904
wb = openpyxl.Workbook()
wb.epoch = CALENDAR_MAC_1904
ws = wb.active
ws["A1"] = datetime.date(2024, 3, 5)
ws["B1"] = 0; ws["B1"].number_format = "yyyy/m/d"
wb.save(sys.argv[1])
)py",
              {path});
}

void writeXlwtBook(const std::string& path, bool dates1904) {
    runScript(R"py(
import sys, datetime, xlwt
wb = xlwt.Workbook(encoding="utf-8")
wb.dates_1904 = sys.argv[2] == "1"
ws = wb.add_sheet("一覧")
ws.write(0, 0, "日本語"); ws.write(0, 1, 42); ws.write(0, 2, 1.5); ws.write(0, 3, 123456789.25)
ws.write(1, 0, datetime.date(2024, 3, 5), xlwt.easyxf(num_format_str="yyyy/mm/dd"))
ws.write(1, 1, datetime.time(7, 5, 9), xlwt.easyxf(num_format_str="h:mm:ss"))
ws.write(1, 2, datetime.datetime(2024, 3, 5, 17, 5, 9), xlwt.easyxf(num_format_str="yyyy/mm/dd h:mm:ss"))
ws.write(3, 4, "end")
wb.add_sheet("二").write(2, 1, -3)
wb.save(sys.argv[1])
)py",
              {path, dates1904 ? "1" : "0"});
}

void writeXlwtSharedStringBook(const std::string& path, int length, int cells) {
    runScript(R"py(
import sys, xlwt
wb = xlwt.Workbook(encoding="utf-8")
ws = wb.add_sheet("S")
text = "x" * int(sys.argv[2])
for r in range(int(sys.argv[3])):
    ws.write(r, 0, text)
wb.save(sys.argv[1])
)py",
              {path, std::to_string(length), std::to_string(cells)});
}

void writeXlsxwriterBook(const std::string& path) {
    lxw_workbook* wb = workbook_new(path.c_str());
    ASSERT_NE(wb, nullptr);
    lxw_worksheet* ws = workbook_add_worksheet(wb, "表");
    lxw_chartsheet* cs = workbook_add_chartsheet(wb, "図");
    lxw_worksheet* hidden = workbook_add_worksheet(wb, "裏");
    lxw_format* date = workbook_add_format(wb);
    format_set_num_format(date, "yyyy/m/d");
    lxw_format* builtinDate = workbook_add_format(wb);
    format_set_num_format_index(builtinDate, 14);
    lxw_format* dateTime = workbook_add_format(wb);
    format_set_num_format_index(dateTime, 22);
    lxw_format* time = workbook_add_format(wb);
    format_set_num_format_index(time, 21);
    lxw_format* bold = workbook_add_format(wb);
    format_set_bold(bold);

    worksheet_write_string(ws, 0, 0, "テキスト", nullptr);
    worksheet_write_number(ws, 0, 1, 60, date);
    worksheet_write_number(ws, 0, 2, 61, date);
    worksheet_write_number(ws, 0, 3, 45000.5, dateTime);
    worksheet_write_number(ws, 0, 4, 0.75, time);
    worksheet_write_number(ws, 1, 0, 45000, builtinDate);
    worksheet_write_formula_num(ws, 1, 1, "=1+1", nullptr, 2);
    worksheet_write_boolean(ws, 1, 2, 0, nullptr);
    lxw_rich_string_tuple first{bold, const_cast<char*>("太")};
    lxw_rich_string_tuple second{nullptr, const_cast<char*>("字")};
    lxw_rich_string_tuple* runs[] = {&first, &second, nullptr};
    worksheet_write_rich_string(ws, 1, 3, runs, nullptr);
    worksheet_write_number(ws, 3, 5, -2.5, nullptr);
    worksheet_merge_range(ws, 4, 0, 5, 1, "結合", nullptr);
    worksheet_write_string(hidden, 0, 0, "x", nullptr);
    worksheet_hide(hidden);

    lxw_chart* chart = workbook_add_chart(wb, LXW_CHART_BAR);
    chart_add_series(chart, nullptr, "=表!$B$1:$C$1");
    chartsheet_set_chart(cs, chart);
    ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);
}

std::string sheetXml(const std::string& sheetData, const std::string& tail) {
    return R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
           R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
           "<sheetData>" +
           sheetData + "</sheetData>" + tail + "</worksheet>";
}

std::vector<std::pair<std::string, std::string>> assembledParts(const AssembledBook& book) {
    const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    std::vector<std::pair<std::string, std::string>> parts;
    parts.emplace_back(
        "_rels/.rels",
        R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
        R"(<Relationship Id="rId1" Type=")" +
            rel + R"(/officeDocument" Target="xl/workbook.xml"/></Relationships>)");
    std::string workbook =
        R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r=")" +
        rel + R"(">)" + (book.date1904 ? R"(<workbookPr date1904="1"/>)" : "") + "<sheets>";
    std::string rels =
        R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)";
    for (std::size_t i = 0; i < book.sheets.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        workbook += R"(<sheet name=")" + book.sheets[i].first + R"(" sheetId=")" + n +
                    R"(" r:id="rId)" + n + R"("/>)";
        rels += R"(<Relationship Id="rId)" + n + R"(" Type=")" + rel +
                R"(/worksheet" Target="worksheets/sheet)" + n + R"(.xml"/>)";
        parts.emplace_back("xl/worksheets/sheet" + n + ".xml", book.sheets[i].second);
    }
    if (!book.sharedStrings.empty()) {
        rels += R"(<Relationship Id="rIdS" Type=")" + rel +
                R"(/sharedStrings" Target="sharedStrings.xml"/>)";
        parts.emplace_back("xl/sharedStrings.xml", book.sharedStrings);
    }
    if (!book.styles.empty()) {
        rels += R"(<Relationship Id="rIdT" Type=")" + rel + R"(/styles" Target="styles.xml"/>)";
        parts.emplace_back("xl/styles.xml", book.styles);
    }
    parts.emplace_back("xl/workbook.xml", workbook + "</sheets></workbook>");
    parts.emplace_back("xl/_rels/workbook.xml.rels", rels + "</Relationships>");
    return parts;
}

void writeParts(const std::string& path,
                const std::vector<std::pair<std::string, std::string>>& parts) {
    workbook::ZipPackage pkg;
    for (const auto& [name, data] : parts)
        pkg.put(name, data);
    std::string error;
    ASSERT_TRUE(pkg.save(path, &error)) << error;
}

void writeAssembledBook(const std::string& path, const AssembledBook& book) {
    writeParts(path, assembledParts(book));
}

}  // namespace zbq::test
