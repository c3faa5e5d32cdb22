#!/usr/bin/env bash
# Registry-export conversion benchmark: generates an 8-bit and a UTF-16LE export of SIZE_MB (default
# 100), times `kova-cli convert --raw` on each beside `wc -l` on the same file (best of RUNS, default
# 3), and prints the throughput and the ratio. Also reports what per-line event processing costs.
#   bench/regconvert.sh BUILD_DIR [SIZE_MB] [RUNS]
set -euo pipefail
build=${1:?usage: regconvert.sh BUILD_DIR [SIZE_MB] [RUNS]}
size=${2:-100}
runs=${3:-3}
cli="$build/src/cli/kova-cli"
gen="$build/bench/genregexport"
events="$build/bench/regconvert_events"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TMPDIR="$work"

best() { # best wall time and its CPU time (user + system) in seconds of running "$@" $runs times
    local best="" cpu=""
    for _ in $(seq "$runs"); do
        /usr/bin/time -f "%e %U %S" -o "$work/time" "$@" >/dev/null 2>&1
        read -r wall user sys <"$work/time"
        if [ -z "$best" ] || [ "$(echo "$wall < $best" | bc -l)" = 1 ]; then
            best=$wall
            cpu=$(echo "$user + $sys" | bc -l)
        fi
    done
    echo "$best $cpu"
}

printf '%-8s %8s %10s %8s %8s %10s %8s\n' encoding MB "convert s" "cpu s" "MB/s" "wc -l s" ratio
for enc in ansi utf16; do
    file="$work/export-$enc.reg"
    "$gen" "$file" "$size" "$enc"
    mb=$(echo "$(stat -c %s "$file") / 1048576" | bc -l)
    read -r conv convcpu < <(best "$cli" convert "$file" "$work/out.adm" --raw)
    read -r wc _ < <(best wc -l "$file")
    [ "$(echo "$wc < 0.01" | bc -l)" = 1 ] && wc=0.01 # the timer's resolution
    printf '%-8s %8.1f %10.2f %8.2f %8.1f %10.2f %8.1f\n' "$enc" "$mb" "$conv" "$convcpu" "$(echo "$mb / $conv" | bc -l)" \
        "$wc" "$(echo "$conv / $wc" | bc -l)"
done
echo
echo "Event processing once per line (8-bit export):"
"$events" "$work/export-ansi.reg"
