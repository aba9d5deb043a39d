#!/usr/bin/python3
"""Builds the two seating-plan templates shipped beside the program.

Run with Debian's python3-openpyxl:  /usr/bin/python3 scripts/make-templates.py
Writes templates/座位样式1.xlsx and templates/座位样式2.xlsx. The output is
byte-for-byte reproducible (fixed document dates and zip time stamps).
"""
import datetime
import io
import os
import re
import zipfile

from openpyxl import Workbook
from openpyxl.styles import Alignment, Border, Font, PatternFill, Side

FIXED = datetime.datetime(2025, 9, 1, 8, 0, 0)
ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "templates")

THIN = Side(style="thin", color="FF000000")
MEDIUM = Side(style="medium", color="FF000000")
BOX = Border(left=THIN, right=THIN, top=THIN, bottom=THIN)
CENTRE = Alignment(horizontal="center", vertical="center", wrap_text=True)
SEAT_FONT = Font(name="宋体", size=12, color="FF000000")
LABEL_FONT = Font(name="黑体", size=12, bold=True)
LABEL_FILL = PatternFill("solid", fgColor="FFDDEBF7")
PODIUM_FILL = PatternFill("solid", fgColor="FFE2EFDA")


def heading(ws, last_column, title):
    # The title starts in A1: the program scans from A1 for as many rows and
    # columns as the used range has, so the used range must start there too.
    ws.merge_cells(start_row=1, start_column=1, end_row=1, end_column=last_column)
    ws.cell(1, 1, title).font = Font(name="黑体", size=22, bold=True)
    ws.cell(1, 1).alignment = Alignment(horizontal="center", vertical="center")
    ws.row_dimensions[1].height = 36
    ws.merge_cells(start_row=2, start_column=1, end_row=2, end_column=last_column)
    ws.cell(2, 1, "XXXX.XX.XX").font = Font(name="宋体", size=12)
    ws.cell(2, 1).alignment = Alignment(horizontal="right", vertical="center")
    ws.row_dimensions[2].height = 20


def podium(ws, row, first_column, last_column):
    ws.merge_cells(start_row=row, start_column=first_column, end_row=row, end_column=last_column)
    cell = ws.cell(row, first_column, "讲  台")
    cell.font = Font(name="黑体", size=16, bold=True)
    cell.alignment = CENTRE
    cell.fill = PODIUM_FILL
    for column in range(first_column, last_column + 1):
        ws.cell(row, column).border = Border(left=MEDIUM if column == first_column else None,
                                             right=MEDIUM if column == last_column else None,
                                             top=MEDIUM, bottom=MEDIUM)
    ws.row_dimensions[row].height = 32


def group_block(ws, group, top, left, seats_per_row):
    """A group label over its desks; seats numbered left to right, front to back."""
    ws.merge_cells(start_row=top, start_column=left, end_row=top, end_column=left + seats_per_row - 1)
    label = ws.cell(top, left, "第%d组" % group)
    label.font = LABEL_FONT
    label.alignment = CENTRE
    label.fill = LABEL_FILL
    for column in range(left, left + seats_per_row):
        ws.cell(top, column).border = BOX
    ws.row_dimensions[top].height = 22
    rows = 6 // seats_per_row
    for r in range(rows):
        row = top + 1 + r
        ws.row_dimensions[row].height = 40
        for c in range(seats_per_row):
            cell = ws.cell(row, left + c, "%d-%d" % (group, r * seats_per_row + c + 1))
            cell.font = SEAT_FONT
            cell.alignment = CENTRE
            cell.border = BOX


def notes_sheet(wb):
    ws = wb.create_sheet("说明")
    lines = [
        "本模板由 Quorvane 填写：",
        "“XXXX.XX.XX” 所在单元格写入导出日期；",
        "形如 组-座（例如 3-5）的单元格写入该组该座位的学生姓名，没有学生的座位留空。",
        "只填写第一个工作表；本页保持不变。",
    ]
    for i, line in enumerate(lines, start=1):
        ws.cell(i, 1, line)
    ws.column_dimensions["A"].width = 80


def page_setup(ws):
    ws.page_setup.orientation = "landscape"
    ws.page_setup.paperSize = ws.PAPERSIZE_A4
    ws.page_setup.fitToWidth = 1
    ws.page_setup.fitToHeight = 1
    ws.sheet_properties.pageSetUpPr.fitToPage = True
    ws.print_options.horizontalCentered = True


def classroom(block_rows, block_columns, seats_per_row, aisle_width, desk_width, podium_columns, gap_height):
    """Groups of six in a grid of blocks; each block is a caption row and its desks."""
    wb = Workbook()
    ws = wb.active
    ws.title = "座位表"
    ws.column_dimensions["A"].width = 3
    columns_per_group = seats_per_row + 1
    rows_per_block = 6 // seats_per_row + 2
    last_column = 1 + block_columns * columns_per_group - 1
    for index in range(block_columns * columns_per_group):
        letter = ws.cell(1, 2 + index).column_letter
        ws.column_dimensions[letter].width = aisle_width if index % columns_per_group == seats_per_row else desk_width
    heading(ws, last_column, "班级座位表")
    podium(ws, 4, *podium_columns)
    ws.row_dimensions[3].height = 10
    ws.row_dimensions[5].height = 10
    for block_row in range(block_rows):
        top = 6 + block_row * rows_per_block
        ws.row_dimensions[top + rows_per_block - 1].height = gap_height
        for block_column in range(block_columns):
            group = block_row * block_columns + block_column + 1
            group_block(ws, group, top, 2 + block_column * columns_per_group, seats_per_row)
    page_setup(ws)
    notes_sheet(wb)
    return wb


def style1():
    """Nine groups of six in three rows of three, two desks side by side."""
    return classroom(3, 3, 2, aisle_width=4, desk_width=14, podium_columns=(4, 7), gap_height=10)


def style2():
    """Ten groups of six in two rows of five, three desks side by side."""
    return classroom(2, 5, 3, aisle_width=3, desk_width=11, podium_columns=(8, 13), gap_height=12)


def save_reproducibly(wb, path):
    wb.properties.creator = "Quorvane"
    wb.properties.created = FIXED
    wb.properties.modified = FIXED
    buffer = io.BytesIO()
    wb.save(buffer)
    source = zipfile.ZipFile(io.BytesIO(buffer.getvalue()))
    stamp = FIXED.strftime("%Y-%m-%dT%H:%M:%SZ")
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as target:
        for info in source.infolist():
            data = source.read(info.filename)
            if info.filename == "docProps/core.xml":
                data = re.sub(rb"(<dcterms:(created|modified)[^>]*>)[^<]*", rb"\g<1>" + stamp.encode(), data)
            entry = zipfile.ZipInfo(info.filename, date_time=(1980, 1, 1, 0, 0, 0))
            entry.compress_type = zipfile.ZIP_DEFLATED
            target.writestr(entry, data)


def main():
    os.makedirs(ROOT, exist_ok=True)
    save_reproducibly(style1(), os.path.join(ROOT, "座位样式1.xlsx"))
    save_reproducibly(style2(), os.path.join(ROOT, "座位样式2.xlsx"))


if __name__ == "__main__":
    main()
