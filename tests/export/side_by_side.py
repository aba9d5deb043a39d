"""The export beside an openpyxl load-fill-save of the same template.

    /usr/bin/python3 tests/export/side_by_side.py BUILD_DIR [--runs 9]

BUILD_DIR is a Release build holding tests/export/bench_export. For each
case (the demo class into the shipped style-1 template, the 200 x 60 grid
of seat markers, the 200 x 60 grid with a marker in every seventh cell) the
runs alternate between the built-in engine (one bench_export run, its time
per export) and openpyxl_fill.fill in this process, which goes first in
every other run. Times are CPU time (process_time / Google Benchmark's CPU)
and wall time; the table gives medians and the ratio openpyxl / ours. Both
outputs of every case are then read back with openpyxl and compared cell
by cell (value, font size, bold, fill, alignment, wrapping).
"""
import argparse
import json
import os
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import openpyxl_fill  # noqa: E402
from openpyxl import load_workbook  # noqa: E402

CONFIG = os.path.join(HERE, "..", "..", "examples", "config.ini")
CASES = [
    ("demo class, 座位样式1", "BM_ExportDemoClassStyle1$", "demo"),
    ("200 x 60, all seat markers", "BM_ExportMarkerGrid/rows:200/columns:60/every:1$", "grid-200x60-1"),
    ("200 x 60, 1 cell in 7 a marker", "BM_ExportMarkerGrid/rows:200/columns:60/every:7$", "grid-200x60-7"),
]
DATE = time.strftime("%Y.%m.%d")  # the export writes today's date too


def ours(bench, pattern, workdir):
    env = dict(os.environ, QUORVANE_BENCH_DIR=workdir)
    out = subprocess.run([bench, "--benchmark_filter=" + pattern, "--benchmark_min_time=0.3",
                          "--benchmark_format=json"], env=env, check=True, capture_output=True, text=True).stdout
    run = json.loads(out)["benchmarks"][0]
    scale = {"ms": 1.0, "us": 1e-3, "ns": 1e-6, "s": 1e3}[run["time_unit"]]
    return run["cpu_time"] * scale, run["real_time"] * scale


def openpyxl_once(template, output, roster, budget=0.3):
    """Mean CPU and wall ms per fill over as many fills as fit the budget."""
    count, cpu, wall = 0, 0.0, 0.0
    while count == 0 or wall < budget * 1000:
        c0, w0 = time.process_time(), time.perf_counter()
        openpyxl_fill.fill(template, output, roster, DATE)
        cpu += (time.process_time() - c0) * 1000
        wall += (time.perf_counter() - w0) * 1000
        count += 1
    return cpu / count, wall / count


def cells(path):
    ws = load_workbook(path).worksheets[0]
    seen = {}
    for row in ws.iter_rows():
        for c in row:
            if c.value is None and not c.has_style:
                continue
            fill = c.fill.fgColor.rgb if c.fill.fill_type == "solid" else None
            seen[c.coordinate] = (c.value, c.font.sz, bool(c.font.b), fill, c.alignment.horizontal,
                                  c.alignment.vertical, bool(c.alignment.wrap_text))
    return seen


def differences(a, b):
    left, right = cells(a), cells(b)
    keys = set(left) | set(right)
    # A cell emptied and without a format of its own may be left out by one side.
    empty = (None, 11, False, None, None, None, False)
    return sorted(k for k in keys if left.get(k, empty) != right.get(k, empty))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("build")
    parser.add_argument("--runs", type=int, default=9)
    args = parser.parse_args()
    bench = os.path.join(args.build, "tests", "export", "bench_export")
    roster = openpyxl_fill.Roster(CONFIG)
    failed = False
    with tempfile.TemporaryDirectory() as workdir:
        print(f"{'case':34} {'ours CPU':>10} {'wall':>8} {'openpyxl CPU':>13} {'wall':>8} {'CPU ratio':>10} {'wall ratio':>10}")
        for title, pattern, name in CASES:
            ours(bench, pattern, workdir)  # writes the template and a first plan
            template = os.path.join(workdir, name, "座位样式1.xlsx")
            theirs_out = os.path.join(workdir, name, "openpyxl.xlsx")
            mine, theirs = [], []
            for run in range(args.runs):
                if run % 2:
                    theirs.append(openpyxl_once(template, theirs_out, roster))
                    mine.append(ours(bench, pattern, workdir))
                else:
                    mine.append(ours(bench, pattern, workdir))
                    theirs.append(openpyxl_once(template, theirs_out, roster))
            m_cpu = statistics.median(x[0] for x in mine)
            m_wall = statistics.median(x[1] for x in mine)
            t_cpu = statistics.median(x[0] for x in theirs)
            t_wall = statistics.median(x[1] for x in theirs)
            print(f"{title:34} {m_cpu:9.2f}ms {m_wall:6.1f}ms {t_cpu:11.1f}ms {t_wall:6.1f}ms "
                  f"{t_cpu / m_cpu:9.1f}x {t_wall / m_wall:9.1f}x")
            diff = differences(os.path.join(workdir, name, "plan.xlsx"), theirs_out)
            if diff:
                failed = True
                print(f"  outputs differ in {len(diff)} cells, first {diff[:5]}")
        print(f"medians of {args.runs} alternating runs; outputs compared: {'DIFFERENT' if failed else 'same'}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
