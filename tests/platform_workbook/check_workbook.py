#!/usr/bin/python3
"""Reads a workbook with openpyxl, an independent reader, and compares it with an expectation.

    check_workbook.py WORKBOOK EXPECTATION_JSON

The workbook is described as a dictionary:
    sheets   [[name, "worksheet" | "chartsheet", state], ...] in tab order
    active   index of the active sheet
    cells    {sheet: {"A1": value, ...}}           every cell that holds a value
    formats  {sheet: {"A1": number format, ...}}   every cell whose format is not General
    fills    {sheet: {"A1": "RRGGBB", ...}}        cells with a solid fill
    borders  {sheet: {"A1": "thin", ...}}          cells with the same line on all four sides
    merges   {sheet: ["A1:B1", ...]}                 merged ranges, sorted
    charts   {sheet: [{type, cat, val, labels, legend, markers}, ...]}
    zoom_to_fit  {chart sheet: true | false}
    names    [[name, local sheet index or null, formula], ...] the defined names
Each top-level key of the expectation is compared with the description (per sheet for the
per-sheet sections), exactly. Exit status 0 when all match; otherwise the differences are
printed and the status is 1.
"""
import io
import json
import sys

import openpyxl
from openpyxl.chartsheet import Chartsheet


def chart_type(chart):
    name = type(chart).__name__
    if name == "BarChart":
        return "column" if chart.barDir == "col" else "bar"
    return {"PieChart": "pie", "DoughnutChart": "doughnut", "LineChart": "line",
            "AreaChart": "area"}.get(name, name)


def labels_of(series):
    d = series.dLbls
    if d is None:
        return []
    flags = [("value", d.showVal), ("category", d.showCatName), ("percent", d.showPercent),
             ("legendKey", d.showLegendKey), ("leaderLines", d.showLeaderLines),
             ("seriesName", d.showSerName)]
    return [name for name, on in flags if on]


def describe_chart(chart):
    s = chart.series[0]
    cat = None
    if s.cat is not None:
        ref = s.cat.strRef or s.cat.numRef
        cat = ref.f if ref is not None else None
    markers = None
    if chart_type(chart) == "line":
        # openpyxl reads the symbol "none" as None; an absent marker element is None itself.
        markers = not (s.marker is not None and s.marker.symbol is None)
    return {"type": chart_type(chart), "series": len(chart.series), "cat": cat,
            "val": s.val.numRef.f, "labels": labels_of(s), "legend": chart.legend is not None,
            "markers": markers}


def describe(path):
    # Read by content: openpyxl would judge a path by its ending, and ours may end in ".xls".
    with open(path, "rb") as f:
        wb = openpyxl.load_workbook(io.BytesIO(f.read()))
    out = {"sheets": [], "active": wb.sheetnames.index(wb.active.title), "cells": {}, "formats": {},
           "fills": {}, "borders": {}, "merges": {}, "charts": {}, "zoom_to_fit": {},
           "names": [[d.name, d.localSheetId, d.attr_text] for d in wb.defined_names.definedName]}
    for name in wb.sheetnames:
        ws = wb[name]
        kind = "chartsheet" if isinstance(ws, Chartsheet) else "worksheet"
        out["sheets"].append([name, kind, ws.sheet_state])
        out["charts"][name] = [describe_chart(c) for c in ws._charts]
        if kind == "chartsheet":
            out["zoom_to_fit"][name] = bool(ws.sheetViews.sheetView[0].zoomToFit)
            continue
        cells, formats, fills, borders = {}, {}, {}, {}
        for row in ws.iter_rows():
            for c in row:
                if c.value is not None:
                    cells[c.coordinate] = c.value
                if c.number_format != "General":
                    formats[c.coordinate] = c.number_format
                if c.fill is not None and c.fill.fill_type == "solid":
                    fills[c.coordinate] = str(c.fill.fgColor.rgb)[-6:]
                sides = {c.border.left.style, c.border.right.style, c.border.top.style,
                         c.border.bottom.style}
                if len(sides) == 1 and None not in sides:
                    borders[c.coordinate] = sides.pop()
        out["cells"][name], out["formats"][name] = cells, formats
        out["fills"][name], out["borders"][name] = fills, borders
        out["merges"][name] = sorted(str(r) for r in ws.merged_cells.ranges)
    return out


def main():
    path, expected = sys.argv[1], json.loads(sys.argv[2])
    actual = describe(path)
    problems = []
    for key, want in expected.items():
        if key not in actual:
            problems.append(f"unknown section {key}")
        elif isinstance(want, dict) and key != "active":
            for sheet, want_sheet in want.items():
                got = actual[key].get(sheet)
                if got != want_sheet:
                    problems.append(f"{key}[{sheet}]:\n  want {want_sheet}\n  got  {got}")
        elif actual[key] != want:
            problems.append(f"{key}:\n  want {want}\n  got  {actual[key]}")
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
