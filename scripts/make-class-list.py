#!/usr/bin/python3
"""Writes the demo class as a school would hand it over, for trying the import.

Run with Debian's python3-openpyxl:
    /usr/bin/python3 scripts/make-class-list.py OUTDIR
Writes OUTDIR/class54.xlsx (sheet "学生名单": a title row, then the headers
学号 姓名 性别 组长 外宿生, student numbers stored as numbers) and
OUTDIR/class54.csv (the same rows, GB18030, as a Chinese Windows spreadsheet
program saves CSV). Rows are mixed boys and girls in student-number order;
importing either file gives the roster of examples/config.ini.
"""
import configparser
import csv
import os
import sys

from openpyxl import Workbook

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
HEADER = ["学号", "姓名", "性别", "组长", "外宿生"]


def demo_class():
    config = configparser.ConfigParser()
    config.read(os.path.join(ROOT, "examples", "config.ini"), encoding="utf-8")
    names = {section: config[section]["Names"].split(",") for section in ("Male", "Female", "Leaders", "Boarders")}
    return names["Male"], names["Female"], set(names["Leaders"]), set(names["Boarders"])


def rows():
    boys, girls, leaders, boarders = demo_class()
    # Alternate while both lists last; numbers follow, so each gender keeps its order.
    people = []
    for i in range(max(len(boys), len(girls))):
        people += [(name, gender) for name, gender in ((boys[i] if i < len(boys) else None, "男"),
                                                        (girls[i] if i < len(girls) else None, "女")) if name]
    return [[2024001 + n, name, gender, "是" if name in leaders else "", "√" if name in boarders else ""]
            for n, (name, gender) in enumerate(people)]


def main(out):
    os.makedirs(out, exist_ok=True)
    book = Workbook()
    sheet = book.active
    sheet.title = "学生名单"
    sheet.append(["高一(3)班学生名单"])
    sheet.append(HEADER)
    for row in rows():
        sheet.append(row)
    book.save(os.path.join(out, "class54.xlsx"))
    with open(os.path.join(out, "class54.csv"), "w", encoding="gb18030", newline="") as file:
        writer = csv.writer(file, lineterminator="\r\n")
        writer.writerow(["高一(3)班学生名单"])
        writer.writerow(HEADER)
        writer.writerows(rows())


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else ".")
