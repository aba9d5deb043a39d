"""The export beside an openpyxl load-fill-save of the same template.

    /usr/bin/python3 tests/core/workbook/side_by_side.py BUILD_DIR [--runs 9]

BUILD_DIR is a Release build holding tests/core/workbook/bench_export and, for the
whole-process half, the program itself. Cases: the demo class into the
shipped style-1 template, the 200 x 60 grid of seat markers, and the
200 x 60 grid with a marker in every seventh cell.

In process: one bench_export run (its CPU time per export) against
openpyxl_fill.fill in this process, as often as fits 0.3 s.
Whole process: "quorvane generate --seed 7 --export" against
"python3 openpyxl_fill.py" filling in the groups that seed gives.

The runs alternate, each side going first in every other run; the table
gives medians of CPU time (process_time, Google Benchmark's CPU, or the
child's user + system time) and of wall time, and the ratio openpyxl / ours.
Both outputs of every case are then read back with openpyxl and compared
cell by cell (value, font size, bold, fill, alignment, wrapping).
"""
import argparse
import json
import os
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import openpyxl_fill  # noqa: E402
from openpyxl import load_workbook  # noqa: E402

ROOT = os.path.normpath(os.path.join(HERE, "..", "..", ".."))
CONFIG = os.path.join(ROOT, "examples", "config.ini")
CASES = [
    ("demo class, 座位样式1", "BM_ExportDemoClassStyle1$", "demo"),
    ("200 x 60, all seat markers", "BM_ExportMarkerGrid/rows:200/columns:60/every:1$", "grid-200x60-1"),
    ("200 x 60, 1 cell in 7 a marker", "BM_ExportMarkerGrid/rows:200/columns:60/every:7$", "grid-200x60-7"),
]
SEED = "7"
DATE = time.strftime("%Y.%m.%d")  # the export writes today's date too


def bench_once(bench, pattern, workdir):
    env = dict(os.environ, QUORVANE_BENCH_DIR=workdir)
    out = subprocess.run([bench, "--benchmark_filter=" + pattern, "--benchmark_min_time=0.3",
                          "--benchmark_format=json"], env=env, check=True, capture_output=True, text=True).stdout
    run = json.loads(out)["benchmarks"][0]
    scale = {"ms": 1.0, "us": 1e-3, "ns": 1e-6, "s": 1e3}[run["time_unit"]]
    return run["cpu_time"] * scale, run["real_time"] * scale


def openpyxl_in_process(template, output, roster, budget=0.3):
    """Mean CPU and wall ms per fill over as many fills as fit the budget."""
    count, cpu, wall = 0, 0.0, 0.0
    while count == 0 or wall < budget * 1000:
        c0, w0 = time.process_time(), time.perf_counter()
        openpyxl_fill.fill(template, output, roster, DATE)
        cpu += (time.process_time() - c0) * 1000
        wall += (time.perf_counter() - w0) * 1000
        count += 1
    return cpu / count, wall / count


def process_once(command):
    """CPU (user + system) and wall ms of one child process."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    w0 = time.perf_counter()
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wall = (time.perf_counter() - w0) * 1000
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime) * 1000
    return cpu, wall


def alternate(runs, ours, theirs):
    mine, others = [], []
    for run in range(runs):
        if run % 2:
            others.append(theirs())
            mine.append(ours())
        else:
            mine.append(ours())
            others.append(theirs())
    return [statistics.median(x[i] for x in series) for series in (mine, others) for i in (0, 1)]


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
    # A cell emptied and without a format of its own may be left out by one side.
    empty = (None, 11, False, None, None, None, False)
    return sorted(k for k in set(left) | set(right) if left.get(k, empty) != right.get(k, empty))


def report(title, m_cpu, m_wall, t_cpu, t_wall, ours_out, theirs_out):
    print(f"{title:34} {m_cpu:9.2f}ms {m_wall:7.1f}ms {t_cpu:10.1f}ms {t_wall:8.1f}ms "
          f"{t_cpu / m_cpu:8.1f}x {t_wall / m_wall:8.1f}x")
    diff = differences(ours_out, theirs_out)
    if diff:
        print(f"  outputs differ in {len(diff)} cells, first {diff[:5]}")
    return not diff


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("build")
    parser.add_argument("--runs", type=int, default=9)
    args = parser.parse_args()
    bench = os.path.join(args.build, "tests", "core", "workbook", "bench_export")
    program = os.path.join(args.build, "quorvane")
    header = f"{'case':34} {'ours CPU':>11} {'wall':>9} {'openpyxl CPU':>12} {'wall':>10} {'CPU':>9} {'wall':>9}"
    same = True
    with tempfile.TemporaryDirectory() as workdir:
        # A copy: an export records the arrangement in history.json beside the class.
        config = shutil.copy(CONFIG, workdir)
        print(f"In process (medians of {args.runs} alternating runs)")
        print(header)
        roster = openpyxl_fill.Roster(config)
        for title, pattern, name in CASES:
            bench_once(bench, pattern, workdir)  # writes the template and a first plan
            template = os.path.join(workdir, name, "座位样式1.xlsx")
            theirs_out = os.path.join(workdir, name, "openpyxl.xlsx")
            medians = alternate(args.runs, lambda: bench_once(bench, pattern, workdir),
                                lambda: openpyxl_in_process(template, theirs_out, roster))
            same &= report(title, *medians, os.path.join(workdir, name, "plan.xlsx"), theirs_out)

        print(f"\nWhole process (medians of {args.runs} alternating runs)")
        help_text = subprocess.run([program, "generate", "--help"], capture_output=True, text=True).stdout \
            if os.path.exists(program) else ""
        if "--export" not in help_text:
            print("  not measured: this build has no command-line export (quorvane generate --export)")
        else:
            print(header)
            table = subprocess.run([program, "generate", "--config", config, "--seed", SEED],
                                   check=True, capture_output=True, text=True).stdout
            groups = os.path.join(workdir, "groups.tsv")
            with open(groups, "w", encoding="utf-8") as out:
                out.write(table)
            for title, _, name in CASES:
                template = os.path.join(workdir, name, "座位样式1.xlsx")
                ours_out = os.path.join(workdir, name, "cli.xlsx")
                theirs_out = os.path.join(workdir, name, "openpyxl-cli.xlsx")
                ours = [program, "generate", "--config", config, "--seed", SEED, "--export", ours_out,
                        "--style", template, "--quiet"]
                theirs = ["/usr/bin/python3", os.path.join(HERE, "openpyxl_fill.py"), template, theirs_out,
                          config, groups]
                medians = alternate(args.runs, lambda: process_once(ours), lambda: process_once(theirs))
                same &= report(title, *medians, ours_out, theirs_out)
        print(f"outputs compared: {'same' if same else 'DIFFERENT'}")
    return 0 if same else 1


if __name__ == "__main__":
    sys.exit(main())
