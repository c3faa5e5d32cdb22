#!/usr/bin/env bash
# First start of the editor with a real-size registry store against one with an empty store, side by
# side in the same run: the time from starting kova until its window is mapped on a virtual X server.
#   bench/startup-store.sh BUILD_DIR [SIZE_MB] [RUNS]
# Three cases each run: an empty store; a SIZE_MB system.reg without the associations (the first
# start writes them); the same store once they are there (nothing to write).
set -euo pipefail
build=${1:?usage: bench/startup-store.sh BUILD_DIR [SIZE_MB] [RUNS]}
size_mb=${2:-30}
runs=${3:-3}
kova="$build/src/app/kova"
[ -x "$kova" ] || { echo "no $kova: build the kova target first" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A Wine system.reg of about SIZE_MB: keys of a few string and dword values each.
generate() {
    python3 - "$1" "$size_mb" <<'PY'
import sys
path, mb = sys.argv[1], int(sys.argv[2])
limit = mb * 1024 * 1024
with open(path, "w", newline="\n") as f:
    f.write("WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n#arch=win64\n\n")
    n = 0
    while f.tell() < limit:
        f.write(f'[Software\\\\Bench\\\\Group{n // 100:05d}\\\\Key{n:07d}] 1733412345\n'
                f'#time=1db4f0e2a6e1c3c\n"Name"="Value number {n} of the benchmark store"\n'
                f'"Path"=str(2):"%SystemRoot%\\\\system32\\\\bench{n}.dll"\n"Count"=dword:{n % 65536:08x}\n\n')
        n += 1
PY
}

# Seconds from the start of kova until its window is first painted on the screen (Qt's own painting
# log, stamped with the time since the process started), then kova is ended.
time_to_window() { # STORE_DIR
    local home="$work/home" log="$work/kova.log"
    rm -rf "$home"
    mkdir -p "$home/runtime"
    chmod 700 "$home/runtime"
    : >"$log"
    xvfb-run -a -s "-screen 0 1280x1024x24" env HOME="$home" XDG_CONFIG_HOME="$home/config" \
        XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home/runtime" TMPDIR="$home" \
        QT_MESSAGE_PATTERN='%{time process} %{message}' QT_LOGGING_RULES='qt.widgets.painting=true' \
        bash -c '"$0" --registry "$1" 2>"$2" & pid=$!
            until grep -q "Painting and flushing" "$2"; do
                kill -0 $pid 2>/dev/null || { echo "kova ended early" >&2; exit 1; }
                sleep 0.05
            done
            kill $pid; wait $pid 2>/dev/null || true' "$kova" "$1" "$log"
    grep -m1 "Painting and flushing" "$log" | awk '{ printf "%.2f\n", $1 }'
}

mkdir -p "$work/big-template"
generate "$work/big-template/system.reg"
printf 'store: %s MB\n' "$(du -m "$work/big-template/system.reg" | cut -f1)"
printf '%-5s %12s %22s %20s\n' run empty "${size_mb} MB, first start" "${size_mb} MB, again"
for run in $(seq 1 "$runs"); do
    rm -rf "$work/empty" "$work/big"
    mkdir -p "$work/empty"
    cp -r "$work/big-template" "$work/big"
    empty=$(time_to_window "$work/empty")
    first=$(time_to_window "$work/big")
    again=$(time_to_window "$work/big")
    printf '%-5s %11ss %21ss %19ss\n' "$run" "$empty" "$first" "$again"
done
