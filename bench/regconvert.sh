#!/usr/bin/env bash
# Registry-export conversion benchmark. Generates a SIZE_MB (default 20) REGEDIT4 export and a
# 2*SIZE_MB UTF-16LE export, each also with one unbalanced escaped quote in its first value, and times
# `kova-cli convert` on each, raw (--raw) and as Save As writes it, beside `cat FILE >/dev/null` on the
# same file (best of RUNS, default 3). Prints every time as a ratio to cat, the peak memory as a ratio to
# the input's size, and checks the goals:
#   - the file with the odd quote converts within 2x the time of the plain one;
#   - Save As stays under 50x cat;
#   - the peak memory stays under 8x the input's size.
# Then reports what per-line event processing costs.
#   bench/regconvert.sh BUILD_DIR [SIZE_MB] [RUNS]
set -euo pipefail
build=${1:?usage: regconvert.sh BUILD_DIR [SIZE_MB] [RUNS]}
size=${2:-20}
runs=${3:-3}
cli="$build/src/cli/kova-cli"
gen="$build/bench/genregexport"
events="$build/bench/regconvert_events"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TMPDIR="$work"

now() { date +%s.%N; }
# best wall time in seconds and the largest peak resident size in KiB of running "$@" $runs times
best() {
    local best="" peak=0 start end wall rss
    for _ in $(seq "$runs"); do
        start=$(now)
        /usr/bin/time -f "%M" -o "$work/rss" "$@" >/dev/null 2>&1 || true
        end=$(now)
        wall=$(echo "$end - $start" | bc -l)
        rss=$(tail -n 1 "$work/rss")
        [ "$rss" -gt "$peak" ] && peak=$rss
        if [ -z "$best" ] || [ "$(echo "$wall < $best" | bc -l)" = 1 ]; then best=$wall; fi
    done
    echo "$best $peak"
}
ratio() { printf '%.1f' "$(echo "$1 / $2" | bc -l)"; }

failures=0
goal() { # description, ok (1/0)
    if [ "$2" = 1 ]; then echo "  ok    $1"; else echo "  MISSED $1"; failures=$((failures + 1)); fi
}

printf '%-6s %-6s %7s %9s %9s %9s %9s %9s\n' enc input MB "cat s" "raw/cat" "saveas/cat" "peak/MB" "raw s"
for enc in ansi utf16; do
    mb=$size
    [ "$enc" = utf16 ] && mb=$((size * 2))
    declare -A raw=()
    for kind in plain odd; do
        file="$work/export-$enc-$kind.reg"
        if [ "$kind" = odd ]; then "$gen" "$file" "$mb" "$enc" odd-quote; else "$gen" "$file" "$mb" "$enc"; fi
        bytes=$(stat -c %s "$file")
        read -r cat _ < <(best cat "$file")
        read -r rawt rawpeak < <(best "$cli" convert "$file" "$work/out.adm" --raw)
        read -r savet savepeak < <(best "$cli" convert "$file" "$work/out.adm")
        peak=$((rawpeak > savepeak ? rawpeak : savepeak))
        peakratio=$(echo "$peak * 1024 / $bytes" | bc -l)
        raw[$kind]=$rawt
        save=$(ratio "$savet" "$cat")
        printf '%-6s %-6s %7.1f %9.4f %9s %9s %9.1f %9.2f\n' "$enc" "$kind" "$(echo "$bytes / 1048576" | bc -l)" \
            "$cat" "$(ratio "$rawt" "$cat")" "$save" "$peakratio" "$rawt"
        goal "$enc $kind: Save As under 50x cat ($save)" "$(echo "$savet < 50 * $cat" | bc -l)"
        goal "$enc $kind: peak memory under 8x the input ($(printf '%.1f' "$peakratio"))" \
            "$(echo "$peakratio < 8" | bc -l)"
    done
    goal "$enc: odd quote within 2x the plain file ($(ratio "${raw[odd]}" "${raw[plain]}"))" \
        "$(echo "${raw[odd]} < 2 * ${raw[plain]}" | bc -l)"
    unset raw
done
echo
echo "Event processing once per line (8-bit export):"
"$events" "$work/export-ansi-plain.reg"
exit $((failures > 0))
