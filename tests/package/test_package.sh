#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a temporary root and uses the
# unpacked program as an ordinary user with a fresh home: the window's settings
# and the plans go to the user's folders, the installed templates are used,
# and nothing is written into the unpacked tree.
# Arguments: cpack, the build directory, the demo config.ini.
set -euo pipefail
cpack="$1" build="$2" demo="$3"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && "$cpack" -G DEB -B "$work/package" >"$work/cpack.log") || { cat "$work/cpack.log"; fail "cpack"; }
deb="$(ls "$work"/package/quorvane_*.deb)"
depends="$(dpkg-deb -f "$deb" Depends)"
for needed in fonts-noto-cjk qt6-translations-l10n libqt6widgets6 libgecode libfreexl; do
    [[ "$depends" == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done
dpkg-deb -x "$deb" "$work/root"
program="$work/root/usr/bin/quorvane"
[ -f "$work/root/usr/share/quorvane/templates/座位样式1.xlsx" ] || fail "template not installed"
cmp -s "$demo" "$work/root/usr/share/quorvane/examples/config.ini" || fail "demo class not installed"
[ -f "$work/root/usr/libexec/quorvane/libquorvane-solver.so" ] || fail "solver not installed"
zcat "$work/root/usr/share/man/man1/quorvane.1.gz" | grep -q '^\.B quorvane generate' || fail "manual page"
snapshot() { (cd "$work/root" && find . -printf '%p %s %m\n' | sort && find . -type f -exec md5sum {} + | sort); }
before="$(snapshot)"

# An ordinary user, when the test runs as root and can become one.
home="$work/home"
mkdir -p "$home"
as_user=()
if [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null; then
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    chown -R 65534:65534 "$home"
fi
user_env=(env -i PATH=/usr/bin:/bin HOME="$home" LC_ALL=C.UTF-8 QUORVANE_UPDATE_URL=http://127.0.0.1:9/
          QT_QPA_PLATFORM=offscreen)
run() { "${as_user[@]}" "${user_env[@]}" "$@"; }

# The window writes its first setting (the update check's date) at start-up.
# Started directly (no function, no subshell) so that $! is the program's own
# chain of execs; timeout ends it even if this script dies first.
config="$home/.config/Quorvane/config.ini"
"${as_user[@]}" "${user_env[@]}" timeout 60 "$program" >"$work/window.log" 2>&1 &
window=$!
trap 'kill "$window" 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 100); do
    [ -s "$config" ] && break
    sleep 0.2
done
kill "$window" 2>/dev/null || true
wait "$window" 2>/dev/null || true
grep -q '^LastCheck=' "$config" || { cat "$work/window.log"; fail "the window wrote no config.ini to $config"; }

# The command line reads the class from the same place.
cp "$demo" "$work/demo.ini" && chmod 644 "$work/demo.ini"
run cp "$work/demo.ini" "$config"
run "$program" generate --seed 7 --export "$home/plan" >"$work/generate.log" 2>&1 \
    || { cat "$work/generate.log"; fail "generate --export"; }
grep -q "^座位表已导出到: $home/plan.xlsx\$" "$work/generate.log" || fail "no export line"
/usr/bin/python3 - "$home/plan.xlsx" <<'PY' || fail "the plan does not read back"
import re, sys, openpyxl
cells = [str(c.value) for row in openpyxl.load_workbook(sys.argv[1]).worksheets[0].iter_rows() for c in row
         if c.value is not None]
assert "张宇航" in cells, cells
assert not [c for c in cells if re.fullmatch(r"\d+-\d+", c)], "seat markers left"
PY

# "保存" writes into the documents folder; check finds the newest plan there.
run "$program" check >"$work/check.log" 2>&1 || fail "check without a plan"
grep -q "$home/Documents/座位表" "$work/check.log" || fail "check did not look in the documents folder"
run mkdir -p "$home/Documents/座位表"
run cp "$home/plan.xlsx" "$home/Documents/座位表/20251008_093000_座位表.xlsx"
run "$program" check >"$work/check.log" 2>&1 || { cat "$work/check.log"; fail "check"; }
grep -q "^总人数: 54 " "$work/check.log" || { cat "$work/check.log"; fail "check read no plan"; }

[ "$(snapshot)" == "$before" ] || fail "the unpacked tree changed"
echo "package $(basename "$deb") works from an unpacked root"
