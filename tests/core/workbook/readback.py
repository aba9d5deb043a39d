"""Independent reader for exported workbooks: dumps every sheet as JSON."""
import json
import sys

from openpyxl import load_workbook


def colour(c):
    return c.rgb if c is not None and c.type == "rgb" else None


def dump(path):
    wb = load_workbook(path)
    sheets = []
    for ws in wb.worksheets:
        cells = {}
        for row in ws.iter_rows():
            for c in row:
                if c.value is None and not c.has_style:
                    continue
                cells[c.coordinate] = {
                    "value": c.value,
                    "size": c.font.sz,
                    "bold": bool(c.font.b),
                    "fontName": c.font.name,
                    "fontColor": colour(c.font.color),
                    "fill": colour(c.fill.fgColor) if c.fill.fill_type == "solid" else None,
                    "horizontal": c.alignment.horizontal,
                    "vertical": c.alignment.vertical,
                    "wrap": bool(c.alignment.wrap_text),
                    "border": [c.border.left.style, c.border.right.style, c.border.top.style, c.border.bottom.style],
                    "numberFormat": c.number_format,
                }
        sheets.append({
            "title": ws.title,
            "merged": sorted(str(r) for r in ws.merged_cells.ranges),
            "widths": {k: v.width for k, v in sorted(ws.column_dimensions.items())},
            "heights": {str(k): v.height for k, v in sorted(ws.row_dimensions.items())},
            "cells": cells,
        })
    return {"sheets": sheets}


if __name__ == "__main__":
    print(json.dumps(dump(sys.argv[1]), ensure_ascii=False, default=str))
