#!/usr/bin/env bash
# Start-up of Quorvane against a bare Qt window with the same captions, icon
# and libraries, run in turn RUNS times each (after one warm-up run of each):
# CPU time from exec to the first frame, and peak resident set (Quorvane's
# after one "生成分组" on the demo class). Prints the medians and the ratios.
# Needs a display: run it under Xvfb. Measure a Release build:
#   tests/app/compare-startup.sh build-release/tests/app [RUNS]
set -euo pipefail
bin="${1:?usage: compare-startup.sh DIRECTORY_OF_BENCH_STARTUP [RUNS]}"
runs="${2:-15}"
root="$(cd "$(dirname "$0")/../.." && pwd)"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$root/examples/config.ini" "$work/config.ini"

measure() { # program -> "cpu_ms rss_kb"
    QUORVANE_PROBE_DIR="$work" QUORVANE_UPDATE_URL=http://127.0.0.1:9/ timeout 60 "$bin/$1" 2>/dev/null |
        sed -n 's/^cpu_ms=\([0-9.]*\) rss_kb=\([0-9]*\) .*$/\1 \2/p'
}

# The warm-up runs fill the file caches; Quorvane's also records today's
# update check, so that no later run schedules one.
measure bench_startup >/dev/null
measure bench_barewindow >/dev/null
for ((i = 0; i < runs; ++i)); do
    echo "quorvane $(measure bench_startup)"
    echo "bare $(measure bench_barewindow)"
done >"$work/runs"

awk '
    function median(list, n,    sorted, i, j, t) {
        for (i = 1; i <= n; ++i) sorted[i] = list[i]
        for (i = 1; i <= n; ++i) for (j = i + 1; j <= n; ++j) if (sorted[j] < sorted[i]) { t = sorted[i]; sorted[i] = sorted[j]; sorted[j] = t }
        return n % 2 ? sorted[(n + 1) / 2] : (sorted[n / 2] + sorted[n / 2 + 1]) / 2
    }
    NF == 3 { n[$1]++; cpu[$1, n[$1]] = $2; rss[$1, n[$1]] = $3 }
    END {
        for (p in n) { for (i = 1; i <= n[p]; ++i) { c[i] = cpu[p, i]; r[i] = rss[p, i] } mc[p] = median(c, n[p]); mr[p] = median(r, n[p]) }
        printf "%-10s %5s %16s %14s\n", "program", "runs", "CPU to 1st frame", "peak RSS"
        printf "%-10s %5d %13.1f ms %11d KiB\n", "bare", n["bare"], mc["bare"], mr["bare"]
        printf "%-10s %5d %13.1f ms %11d KiB\n", "quorvane", n["quorvane"], mc["quorvane"], mr["quorvane"]
        printf "%-10s %5s %15.3fx %13.3fx\n", "ratio", "", mc["quorvane"] / mc["bare"], mr["quorvane"] / mr["bare"]
    }' "$work/runs"
