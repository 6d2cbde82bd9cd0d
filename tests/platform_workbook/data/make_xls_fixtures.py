#!/usr/bin/python3
"""Saves the .xls fixtures of xls_fixture_test.cpp and their .xlsx twins.

Each workbook is written here as a source (flat ODF for LibreOffice Calc, gnumeric's XML for
gnumeric) and saved by that program as .xls and as .xlsx, so that both files of a pair come from
one program and one source. The tests read only the saved files; this script is for whoever has
to save them again (Debian: libreoffice-calc-nogui, gnumeric; python3-openpyxl for the chart
sheet's source):

    python3 make_xls_fixtures.py [--sources DIR]

--sources also keeps the sources in DIR, to open them in the program they were written for.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
from xml.sax.saxutils import escape, quoteattr

HERE = os.path.dirname(os.path.abspath(__file__))

# --- flat ODF for LibreOffice -------------------------------------------------------------------

FODS_HEAD = """<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" \
xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" \
xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" \
xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2" \
xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0" \
xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" \
xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0" \
xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0" \
xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0" \
xmlns:chart="urn:oasis:names:tc:opendocument:xmlns:chart:1.0" \
xmlns:xlink="http://www.w3.org/1999/xlink" \
office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:styles><style:default-style style:family="table-cell">\
<style:text-properties fo:language="ja" fo:country="JP"/></style:default-style></office:styles>
"""


def fods(tables, styles="", settings=""):
    """A workbook: `tables` are (name, rows xml, table attributes); `styles` the automatic
    styles (number styles and the cell styles naming them)."""
    out = [FODS_HEAD, "<office:automatic-styles>", styles, "</office:automatic-styles>",
           "<office:body><office:spreadsheet>", settings]
    for name, rows, attrs in tables:
        out.append("<table:table table:name=%s%s>%s</table:table>" % (quoteattr(name), attrs, rows))
    out.append("</office:spreadsheet></office:body></office:document>\n")
    return "".join(out)


def row(*cells):
    return "<table:table-row>%s</table:table-row>" % "".join(cells)


def empty(n=1):
    return "<table:table-cell/>" if n == 1 else \
        '<table:table-cell table:number-columns-repeated="%d"/>' % n


def style_attr(style):
    return ' table:style-name="%s"' % style if style else ""


def text(t, style=None):
    return '<table:table-cell office:value-type="string"%s><text:p>%s</text:p></table:table-cell>' % (
        style_attr(style), escape(t))


def num(v, style=None):
    return '<table:table-cell office:value-type="float" office:value="%r"%s/>' % (v, style_attr(style))


def date(iso, style):
    return '<table:table-cell office:value-type="date" office:date-value="%s"%s/>' % (
        iso, style_attr(style))


def time(iso, style):
    return '<table:table-cell office:value-type="time" office:time-value="%s"%s/>' % (
        iso, style_attr(style))


def boolean(b, style="bool"):
    return '<table:table-cell office:value-type="boolean" office:boolean-value="%s"%s/>' % (
        "true" if b else "false", style_attr(style))


def formula(f, style=None):
    return '<table:table-cell table:formula=%s%s/>' % (quoteattr("of:=" + f), style_attr(style))


def cell_style(name, data_style):
    return ('<style:style style:name="%s" style:family="table-cell" style:data-style-name="%s"/>'
            % (name, data_style))


BOOL_STYLE = ('<number:boolean-style style:name="Nb"><number:boolean/></number:boolean-style>'
              + cell_style("bool", "Nb"))


def number_style(name, decimals, grouping=False, percent=False):
    tag = "percentage-style" if percent else "number-style"
    body = '<number:number number:decimal-places="%d" number:min-integer-digits="1"%s/>' % (
        decimals, ' number:grouping="true"' if grouping else "")
    if percent:
        body += "<number:text>%</number:text>"
    return '<number:%s style:name="%s">%s</number:%s>' % (tag, name, body, tag)


# A bar chart of `values_range` (flat ODF keeps the chart's document inside the frame), anchored
# in the cell that holds it.
def chart_frame(values_range, end_cell):
    return (
        '<draw:frame draw:z-index="0" svg:width="8cm" svg:height="5cm" svg:x="0cm" svg:y="0cm" '
        'table:end-cell-address=%s table:end-x="0cm" table:end-y="0cm">'
        '<draw:object draw:notify-on-update-of-ranges=%s>'
        '<office:document office:version="1.2" '
        'office:mimetype="application/vnd.oasis.opendocument.chart"><office:body><office:chart>'
        '<chart:chart chart:class="chart:bar" svg:width="8cm" svg:height="5cm">'
        '<chart:plot-area table:cell-range-address=%s chart:data-source-has-labels="none">'
        '<chart:axis chart:dimension="x" chart:name="primary-x"/>'
        '<chart:axis chart:dimension="y" chart:name="primary-y"/>'
        '<chart:series chart:values-cell-range-address=%s chart:class="chart:bar"/>'
        '</chart:plot-area></chart:chart></office:chart></office:body></office:document>'
        '</draw:object></draw:frame>' % (quoteattr(end_cell), quoteattr(values_range),
                                         quoteattr(values_range), quoteattr(values_range)))


def chart_cell(values_range, end_cell):
    return "<table:table-cell>%s</table:table-cell>" % chart_frame(values_range, end_cell)


# --- gnumeric's XML -----------------------------------------------------------------------------

# ValueType of a gnumeric cell.
G_BOOL, G_FLOAT, G_ERROR, G_STRING = 20, 40, 50, 60


def gnumeric(sheets):
    """`sheets`: (name, cells) or (name, cells, formats) with cells (row, col, content, value
    type or None for a formula) and formats (row, col, number format), 0-based."""
    out = ['<?xml version="1.0" encoding="UTF-8"?>\n'
           '<gnm:Workbook xmlns:gnm="http://www.gnumeric.org/v10.dtd">\n<gnm:SheetNameIndex>']
    for sheet in sheets:
        out.append("<gnm:SheetName>%s</gnm:SheetName>" % escape(sheet[0]))
    out.append("</gnm:SheetNameIndex>\n<gnm:Sheets>\n")
    for sheet in sheets:
        name, cells = sheet[0], sheet[1]
        formats = sheet[2] if len(sheet) > 2 else []
        max_col = max((c[1] for c in cells), default=0)
        max_row = max((c[0] for c in cells), default=0)
        out.append("<gnm:Sheet><gnm:Name>%s</gnm:Name><gnm:MaxCol>%d</gnm:MaxCol>"
                   "<gnm:MaxRow>%d</gnm:MaxRow>" % (escape(name), max_col, max_row))
        if formats:
            out.append("<gnm:Styles>")
            for r, c, fmt in formats:
                out.append('<gnm:StyleRegion startCol="%d" startRow="%d" endCol="%d" endRow="%d">'
                           '<gnm:Style Format=%s/></gnm:StyleRegion>' % (c, r, c, r, quoteattr(fmt)))
            out.append("</gnm:Styles>")
        out.append("<gnm:Cells>\n")
        for r, c, content, value_type in cells:
            vt = "" if value_type is None else ' ValueType="%d"' % value_type
            out.append('<gnm:Cell Row="%d" Col="%d"%s>%s</gnm:Cell>\n' % (r, c, vt, escape(content)))
        out.append("</gnm:Cells></gnm:Sheet>\n")
    out.append("</gnm:Sheets>\n</gnm:Workbook>\n")
    return "".join(out)


# --- the workbooks ------------------------------------------------------------------------------

LONG_ASCII = "".join("%05d," % i for i in range(17000 // 6 + 1))[:17000]
LONG_KANA = "あ" * 8300


def chart_book():
    # The sheet's merged area is told after the chart's own records, and a sheet follows: a
    # chart inside a sheet must not end the walk of that sheet or of the workbook.
    rows = [row(text("値"), text("名"), chart_cell("データ.A2:データ.A11", "データ.H14"))]
    for i in range(1, 11):
        rows.append(row(num(i * 1.5 if i % 3 else i), text("項%d" % i)))
    rows.append(row(empty(), empty(), empty(), empty(), num(43),
                    '<table:table-cell table:number-columns-spanned="2" '
                    'office:value-type="float" office:value="5"/>',
                    '<table:covered-table-cell office:value-type="float" office:value="6"/>'))
    return fods([("データ", "".join(rows), ""),
                 ("後", row(num(43), num(2.5)), "")])


def long_text_book():
    return fods([("長文",
                  row(text(LONG_KANA), formula('REPT("あ";5000)'), num(43)) +
                  row(text(LONG_ASCII), formula('REPT("ab";4200)&"!"'), text("後")) +
                  row(num(2.5), formula('"x"&"y"'), formula("1+1")), "")])


def long_text_gnumeric():
    return gnumeric([("長文", [
        (0, 0, LONG_KANA, G_STRING), (0, 1, '=REPT("あ",5000)', None), (0, 2, "43", G_FLOAT),
        (1, 0, LONG_ASCII, G_STRING), (1, 1, '=REPT("ab",4200)&"!"', None),
        (1, 2, "後", G_STRING),
        (2, 0, "2.5", G_FLOAT), (2, 1, '="x"&"y"', None), (2, 2, "=1+1", None)])])


def excel95_gnumeric():
    return gnumeric([
        ("Sheet1", [
            (0, 0, "n", G_STRING), (0, 1, "f1", G_STRING), (0, 2, "f2", G_STRING),
            (0, 3, "f3", G_STRING), (0, 4, "f4", G_STRING), (0, 5, "f5", G_STRING),
            (1, 0, "41", G_FLOAT), (1, 1, "=1+1", None), (1, 2, '="x"&"y"', None),
            (1, 3, "=1>0", None), (1, 4, "=A2+1", None), (1, 5, '="t"&1', None),
            (2, 0, "2.5", G_FLOAT), (2, 1, "=A3*2", None), (2, 2, '=""', None),
            (2, 3, "TRUE", G_BOOL), (2, 4, "=A2+2", None), (2, 5, "=1/0", None),
            (3, 0, "text", G_STRING), (3, 1, "-7", G_FLOAT), (3, 2, "FALSE", G_BOOL)]),
        ("Two", [(0, 0, "=Sheet1!A2", None), (0, 1, "b", G_STRING)]),
    ])


DATE_FORMATS = [
    # (label, number style body); LibreOffice saves each under the built-in format of a Japanese
    # workbook where one matches, else as the workbook's own format.
    ("ymd", '<number:year number:style="long"/><number:text>/</number:text><number:month/>'
            '<number:text>/</number:text><number:day/>', "date"),
    ("mdy", '<number:month/><number:text>/</number:text><number:day/><number:text>/</number:text>'
            '<number:year/>', "date"),
    ("d-mmm-yy", '<number:day/><number:text>-</number:text><number:month number:textual="true"/>'
                 '<number:text>-</number:text><number:year/>', "date"),
    ("d-mmm", '<number:day/><number:text>-</number:text><number:month number:textual="true"/>',
     "date"),
    ("mmm-yy", '<number:month number:textual="true"/><number:text>-</number:text><number:year/>',
     "date"),
    ("h:mm AM/PM", '<number:hours/><number:text>:</number:text><number:minutes number:style="long"/>'
                   '<number:text> </number:text><number:am-pm/>', "time"),
    ("h:mm:ss AM/PM", '<number:hours/><number:text>:</number:text>'
                      '<number:minutes number:style="long"/><number:text>:</number:text>'
                      '<number:seconds number:style="long"/><number:text> </number:text>'
                      '<number:am-pm/>', "time"),
    ("h:mm", '<number:hours/><number:text>:</number:text><number:minutes number:style="long"/>',
     "time"),
    ("h:mm:ss", '<number:hours/><number:text>:</number:text><number:minutes number:style="long"/>'
                '<number:text>:</number:text><number:seconds number:style="long"/>', "time"),
    ("m/d/yy h:mm", '<number:month/><number:text>/</number:text><number:day/>'
                    '<number:text>/</number:text><number:year/><number:text> </number:text>'
                    '<number:hours/><number:text>:</number:text>'
                    '<number:minutes number:style="long"/>', "date"),
    ("mm:ss", '<number:minutes number:style="long"/><number:text>:</number:text>'
              '<number:seconds number:style="long"/>', "time"),
    ("[h]:mm:ss", '<number:hours/><number:text>:</number:text><number:minutes number:style="long"/>'
                  '<number:text>:</number:text><number:seconds number:style="long"/>', "time-elapsed"),
    ("yyyy年m月d日", '<number:year number:style="long"/><number:text>年</number:text><number:month/>'
                    '<number:text>月</number:text><number:day/><number:text>日</number:text>', "date"),
    ("yyyy年m月", '<number:year number:style="long"/><number:text>年</number:text><number:month/>'
                 '<number:text>月</number:text>', "date"),
    ("m月d日", '<number:month/><number:text>月</number:text><number:day/><number:text>日</number:text>',
     "date"),
    ("h時mm分", '<number:hours/><number:text>時</number:text><number:minutes number:style="long"/>'
               '<number:text>分</number:text>', "time"),
    ("h時mm分ss秒", '<number:hours/><number:text>時</number:text>'
                  '<number:minutes number:style="long"/><number:text>分</number:text>'
                  '<number:seconds number:style="long"/><number:text>秒</number:text>', "time"),
    ("ge.m.d", '<number:era/><number:year/><number:text>.</number:text><number:month/>'
               '<number:text>.</number:text><number:day/>', "date"),
]


def dates_book():
    styles = []
    rows = [row(text("書式"), text("定数"), text("式"), text("数"))]
    for i, (label, body, kind) in enumerate(DATE_FORMATS):
        name = "D%d" % i
        if kind == "date":
            styles.append('<number:date-style style:name="%s">%s</number:date-style>' % (name, body))
        else:
            extra = ' number:truncate-on-overflow="false"' if kind == "time-elapsed" else ""
            styles.append('<number:time-style style:name="%s"%s>%s</number:time-style>'
                          % (name, extra, body))
        styles.append(cell_style("c%d" % i, name))
        r = i + 2
        if kind == "date":
            constant = date("2024-03-%02dT%02d:30:00" % (i + 1, i % 24), "c%d" % i)
            f = "DATE(2024;3;5)+[.D%d]+0.75" % r
        else:
            constant = time("PT%02dH%02dM%02dS" % (i % 24, 7 + i, 30), "c%d" % i)
            f = "TIME(13;45;30)+[.D%d]/24" % r
        rows.append(row(text(label), constant, formula(f, "c%d" % i), num(i)))
    return fods([("日付", "".join(rows), "")], "".join(styles))


# Formats gnumeric saves under built-in format ids where they match its table of them.
GNUMERIC_DATE_FORMATS = [
    "m/d/yy", "d-mmm-yy", "d-mmm", "mmm-yy", "h:mm AM/PM", "h:mm:ss AM/PM", "h:mm", "h:mm:ss",
    "m/d/yy h:mm", "mm:ss", "[h]:mm:ss", "mm:ss.0", "yyyy/m/d", 'yyyy"年"m"月"d"日"',
    'm"月"d"日"', 'h"時"mm"分"', 'h"時"mm"分"ss"秒"', "ge.m.d", 'ggge"年"m"月"d"日"',
    'yyyy"年"m"月"', "General",
]


def dates_gnumeric():
    cells = [(0, 0, "書式", G_STRING), (0, 1, "定数", G_STRING), (0, 2, "式", G_STRING),
             (0, 3, "数", G_STRING)]
    formats = []
    for i, fmt in enumerate(GNUMERIC_DATE_FORMATS):
        r = i + 1
        cells += [(r, 0, fmt, G_STRING), (r, 1, repr(45356 + i + (i % 5) * 0.125), G_FLOAT),
                  (r, 2, "=DATE(2024,3,5)+D%d+0.75" % (r + 1), None), (r, 3, str(i), G_FLOAT)]
        formats += [(r, 1, fmt), (r, 2, fmt)]
    return gnumeric([("日付", cells, formats)])


def date1904_book():
    styles = ('<number:date-style style:name="N1"><number:year number:style="long"/>'
              '<number:text>/</number:text><number:month/><number:text>/</number:text><number:day/>'
              '</number:date-style>' + cell_style("d", "N1"))
    settings = ('<table:calculation-settings><table:null-date table:date-value="1904-01-01"/>'
                '</table:calculation-settings>')
    rows = (row(text("定数"), text("式"), text("数")) +
            row(date("2024-03-05", "d"), formula("DATE(2024;3;5)+[.C2]", "d"), num(1)) +
            row(date("1904-01-02", "d"), formula("[.A3]+1", "d"), num(45356)) +
            row(date("1900-03-01", "d"), formula('DATEVALUE("2000-01-01")', "d"), num(-1)))
    return fods([("1904", rows, "")], styles, settings)


ERROR_FORMULAS_LO = [
    ("#NULL!", "1+#NULL!"),  # an empty intersection is #REF! here
    ("#DIV/0!", "1/0"),
    ("#VALUE!", '"a"+1'),
    ("#REF!", 'INDIRECT("XYZ0")'),
    ("#NAME?", "NOSUCHFUNCTION(1)"),
    ("#NUM!", "10^400"),
    ("#N/A", "NA()"),
]


def errors_book():
    rows = [row(text("誤り"), text("式"), text("真偽"), text("式"))]
    for i, (name, f) in enumerate(ERROR_FORMULAS_LO):
        r = i + 2
        rows.append(row(text(name), formula(f), boolean(i % 2 == 0),
                        formula("[.A%d]=\"#N/A\"" % r if i % 2 else "1>0")))
    return fods([("誤り", "".join(rows), "")], BOOL_STYLE)


ERROR_FORMULAS_GNUMERIC = [
    ("#NULL!", "=F2:F3 G2:G3"),
    ("#DIV/0!", "=1/0"),
    ("#VALUE!", '="a"+1'),
    ("#REF!", "=#REF!"),
    ("#NAME?", "=nosuchfunction(1)"),
    ("#NUM!", "=SQRT(-1)"),
    ("#N/A", "=NA()"),
]


def errors_gnumeric():
    cells = [(0, 0, "定数", G_STRING), (0, 1, "式", G_STRING), (0, 2, "真偽", G_STRING),
             (0, 3, "式", G_STRING)]
    for i, (name, f) in enumerate(ERROR_FORMULAS_GNUMERIC):
        r = i + 1
        cells += [(r, 0, name, G_ERROR), (r, 1, f, None),
                  (r, 2, "TRUE" if i % 2 == 0 else "FALSE", G_BOOL),
                  (r, 3, "=1>0" if i % 2 == 0 else "=1<0", None)]
    return gnumeric([("誤り", cells)])


def formats_book():
    styles = "".join([
        number_style("F1", 1), cell_style("f1", "F1"),
        number_style("F0", 0), cell_style("f0", "F0"),
        number_style("F2", 2, grouping=True), cell_style("f2", "F2"),
        number_style("FP", 0, percent=True), cell_style("fp", "FP"),
        '<number:number-style style:name="FS"><number:scientific-number number:decimal-places="2" '
        'number:min-integer-digits="1" number:min-exponent-digits="2"/></number:number-style>',
        cell_style("fs", "FS"),
        '<number:text-style style:name="FT"><number:text-content/></number:text-style>',
        cell_style("ft", "FT"),
    ])
    rows = (row(text("0.0"), num(2, "f1"), num(2.5, "f1"), formula("[.B1]*2", "f1")) +
            row(text("0"), num(3, "f0"), num(3.25, "f0"), formula("[.B2]+1", "f0")) +
            row(text("#,##0.00"), num(1234, "f2"), num(1234567.891, "f2"),
                formula("[.B3]*2", "f2")) +
            row(text("0%"), num(1, "fp"), num(0.25, "fp"), formula("[.C4]/2", "fp")) +
            row(text("0.00E+00"), num(12345, "fs"), num(0.000123, "fs"), formula("[.B5]*10", "fs")) +
            row(text("標準"), num(4), num(4.125), formula("[.B6]/3")) +
            row(text("@"), num(5, "ft"), text("文字", "ft"), formula("[.B7]+1")))
    return fods([("書式", rows, "")], styles)


def sheets_book():
    # The merged areas' covered cells keep values of their own: they are under the area, and a
    # reader shows them blank, as the program does.
    merged = (
        row('<table:table-cell table:number-columns-spanned="2" table:number-rows-spanned="2" '
            'office:value-type="string"><text:p>結合</text:p></table:table-cell>',
            '<table:covered-table-cell office:value-type="float" office:value="7"/>',
            num(1)) +
        row('<table:covered-table-cell office:value-type="string"><text:p>下</text:p>'
            '</table:covered-table-cell>',
            '<table:covered-table-cell office:value-type="float" office:value="8"/>', num(2)) +
        row(num(3), num(4),
            '<table:table-cell table:number-rows-spanned="3" office:value-type="float" '
            'office:value="9"/>') +
        row(empty(), text("a"), '<table:covered-table-cell/>') +
        row(num(5), empty(),
            '<table:covered-table-cell office:value-type="float" office:value="10"/>'))
    styles = ('<style:style style:name="hid" style:family="table">'
              '<style:table-properties table:display="false"/></style:style>')
    return fods([("表", merged, ""),
                 ("隠し", row(text("見えない"), num(12)), ' table:style-name="hid"'),
                 ("三", row(empty(), num(1)) + row(empty(), empty(), text("z")), ""),
                 ("空", "", "")], styles)


def chart_sheet_source(path):
    # A chart sheet for LibreOffice to open (flat ODF has none): it saves it as a sheet that
    # holds nothing but the chart.
    import openpyxl
    from openpyxl.chart import BarChart, Reference
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = "データ"
    ws.append(["値", "名"])
    for i in range(1, 11):
        ws.append([i * 1.5 if i % 3 else i, "項%d" % i])
    cs = wb.create_chartsheet("グラフ")
    chart = BarChart()
    chart.add_data(Reference(ws, min_col=1, min_row=2, max_row=11))
    cs.add_chart(chart)
    after = wb.create_sheet("後")
    after.append([43, 2.5])
    wb.save(path)


# name, source writer, program; each saved as <name>.xls and <name>.xlsx.
BOOKS = [
    ("chart", lambda: chart_book(), "lo", "fods"),
    ("chart_sheet", None, "lo", "xlsx"),
    ("long_text", lambda: long_text_book(), "lo", "fods"),
    ("long_text_gnumeric", lambda: long_text_gnumeric(), "gnumeric", "gnumeric"),
    ("excel95_gnumeric", lambda: excel95_gnumeric(), "gnumeric95", "gnumeric"),
    ("dates", lambda: dates_book(), "lo", "fods"),
    ("dates_gnumeric", lambda: dates_gnumeric(), "gnumeric", "gnumeric"),
    ("date1904", lambda: date1904_book(), "lo", "fods"),
    ("errors", lambda: errors_book(), "lo", "fods"),
    ("errors_gnumeric", lambda: errors_gnumeric(), "gnumeric", "gnumeric"),
    ("formats", lambda: formats_book(), "lo", "fods"),
    ("sheets", lambda: sheets_book(), "lo", "fods"),
]


def lo_save(src, out_dir, profile):
    for target in ("xls:MS Excel 97", "xlsx:Calc MS Excel 2007 XML"):
        subprocess.run(["soffice", "-env:UserInstallation=file://" + profile, "--headless",
                        "--convert-to", target, "--outdir", out_dir, src],
                       check=True, stdout=subprocess.DEVNULL)


def gnumeric_save(src, out_dir, name, xls_exporter):
    for exporter, ext in ((xls_exporter, "xls"), ("Gnumeric_Excel:xlsx", "xlsx")):
        subprocess.run(["ssconvert", "--recalc", "-T", exporter, src,
                        os.path.join(out_dir, "%s.%s" % (name, ext))],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--sources", help="keep the sources in this folder")
    parser.add_argument("names", nargs="*", help="only these workbooks")
    args = parser.parse_args()
    work = tempfile.mkdtemp(prefix="xls-fixtures-")
    try:
        for name, write, program, ext in BOOKS:
            if args.names and name not in args.names:
                continue
            src = os.path.join(work, "%s.%s" % (name, ext))
            if write is None:
                chart_sheet_source(src)
            else:
                with open(src, "w", encoding="utf-8") as f:
                    f.write(write())
            if args.sources:
                os.makedirs(args.sources, exist_ok=True)
                shutil.copy(src, args.sources)
            if program == "lo":
                out = os.path.join(work, "out")
                os.makedirs(out, exist_ok=True)
                lo_save(src, out, os.path.join(work, "profile"))
                for saved in ("xls", "xlsx"):
                    shutil.move(os.path.join(out, "%s.%s" % (name, saved)),
                                os.path.join(HERE, "%s.%s" % (name, saved)))
            else:
                exporter = ("Gnumeric_Excel:excel_biff7" if program == "gnumeric95"
                            else "Gnumeric_Excel:excel_biff8")
                gnumeric_save(src, HERE, name, exporter)
            print("saved", name)
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
