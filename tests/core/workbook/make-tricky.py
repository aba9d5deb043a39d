"""Writes a template that is awkward in every way the export must get right."""
import sys

from openpyxl import Workbook
from openpyxl.styles import Alignment, Border, Font, PatternFill, Side

wb = Workbook()
ws = wb.active
ws.title = "第一页"
thin = Side(style="thin", color="FF0000FF")
# The used range is C3:F9: 7 rows and 4 columns, so the scan covers A1:D7.
ws["C3"] = "第6周 XXXX.XX.XX"
ws["D3"] = "xxxx.xx.xx"
ws["F3"] = "1-2"          # right of the scanned columns
ws["C4"] = "03-02"
ws["C4"].font = Font(name="楷体", size=11, color="FFFF0000", italic=True)
ws["C4"].border = Border(left=thin, right=thin, top=thin, bottom=thin)
ws["C4"].number_format = "@"
ws["C4"].fill = PatternFill("solid", fgColor="FF00B0F0")
ws["D4"] = " 3-5"
ws["C5"] = "3-5-1"
ws["D5"] = "0-1"
ws["C6"] = "4-1"
ws["D6"] = "2-7"
ws["C7"] = "1-1"
ws["D7"] = 12
ws["C9"] = "1-1"          # below the scanned rows, same shared string as C7
ws["D9"] = "3-3"
ws.merge_cells("E5:F6")
ws.column_dimensions["C"].width = 20

notes = wb.create_sheet("备注")
notes["A1"] = "1-1"
notes["A2"] = "XXXX.XX.XX"
notes["B2"] = "2-1"
wb.save(sys.argv[1])
