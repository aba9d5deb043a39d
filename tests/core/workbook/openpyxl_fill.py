"""The seating-plan fill done with openpyxl, for side-by-side timing.

Loads a template, fills exactly the cells the export fills (the date marker
and the seat markers of the first sheet, scanned from A1 over the used
range's size) with the demo class in groups of six in roster order, and
saves. Run with Debian's /usr/bin/python3:

    fill(template, output, roster, date)            in process (side_by_side.py)
    openpyxl_fill.py TEMPLATE OUTPUT CONFIG [GROUPS] as a whole process

GROUPS is the group table "quorvane generate" prints (one line per group,
"组 N" then the names, tab-separated); without it the class sits in groups
of six in roster order.
"""
import configparser
import re
import sys
import time

from openpyxl import load_workbook
from openpyxl.styles import PatternFill

SEAT = re.compile(r"[0-9]+-[0-9]+")
DATE_MARKER = "XXXX.XX.XX"


class Roster:
    """Names by person number, leaders and boarders, from a config.ini."""

    def __init__(self, config_path, groups_path=None):
        config = configparser.ConfigParser(interpolation=None)
        config.read(config_path, encoding="utf-8")

        def names(section):
            value = config.get(section, "Names", fallback="")
            return [n for n in value.split(",") if n]

        self.people = names("Male") + names("Female")
        self.leaders = set(names("Leaders"))
        self.boarders = set(names("Boarders"))
        self.groups = [self.people[i:i + 6] for i in range(0, len(self.people), 6)]
        if groups_path:
            with open(groups_path, encoding="utf-8") as table:
                self.groups = [[n for n in line.rstrip("\n").split("\t")[1:] if n]
                               for line in table if line.startswith("组 ")]


def fill(template, output, roster, date):
    wb = load_workbook(template)
    ws = wb.worksheets[0]
    rows = ws.max_row - ws.min_row + 1
    columns = ws.max_column - ws.min_column + 1
    cells = ws._cells  # looked up, never created, like the export's scan
    for r in range(1, rows + 1):
        for c in range(1, columns + 1):
            cell = cells.get((r, c))
            if cell is None or cell.value is None:
                continue
            text = cell.value if isinstance(cell.value, str) else str(cell.value)
            if DATE_MARKER in text:
                cell.value = date
            elif SEAT.fullmatch(text):
                write_seat(cell, text, roster)
    wb.save(output)


def write_seat(cell, marker, roster):
    group, seat = (int(part) for part in marker.split("-"))
    if not (1 <= group <= len(roster.groups) and 1 <= seat <= len(roster.groups[group - 1])):
        cell.value = None
        return
    name = roster.groups[group - 1][seat - 1]
    cell.value = name
    cell.alignment = cell.alignment.copy(horizontal="center", vertical="center", wrap_text=True)
    cell.font = cell.font.copy(sz=16, b=True if name in roster.leaders else cell.font.b)
    if name in roster.boarders:
        cell.fill = PatternFill("solid", fgColor="FFFFFF00")


if __name__ == "__main__":
    template, output, config = sys.argv[1:4]
    groups = sys.argv[4] if len(sys.argv) > 4 else None
    fill(template, output, Roster(config, groups), time.strftime("%Y.%m.%d"))
