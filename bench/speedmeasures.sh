#!/usr/bin/env bash
# Side by side: the three jobs a speed measure must pay on, run by several builds of kova-cli in one
# run, interleaved, so a busy machine slows all of them alike. The first build is the baseline; every
# other is reported as its best wall time and its peak memory against the baseline's, per job:
#   largest   normalize of the largest corpus template (open and save)
#   gen10     normalize --strings of the generated 10 MB template
#   reg20     convert (Save As) of a generated 20 MB REGEDIT4 export
#   bench/speedmeasures.sh RUNS BASE_BUILD OTHER_BUILD...
# BASE_BUILD must hold bench/bench_template and bench/genregexport (a build with KOVA_BENCH=ON).
# A measure stays where taking it out costs at least 15 % time or peak memory on one of the jobs.
set -euo pipefail
runs=${1:?usage: speedmeasures.sh RUNS BASE_BUILD OTHER_BUILD...}
shift
builds=("$@")
[ ${#builds[@]} -ge 2 ] || { echo "give a baseline build and at least one other" >&2; exit 64; }
base=${builds[0]}
corpus=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../shared/corpus" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TMPDIR="$work"

largest=$(ls -S "$corpus"/adm/*.adm | head -n 1)
"$base/bench/bench_template" --generate "$work/gen10.adm"
"$base/bench/genregexport" "$work/reg20.reg" 20 ansi
jobs=(largest gen10 reg20)
args_largest=(normalize "$largest" "$work/out.adm" --newer-statements --remove-conditionals)
args_gen10=(normalize "$work/gen10.adm" "$work/out.adm" --strings)
args_reg20=(convert "$work/reg20.reg" "$work/out.adm")

declare -A best peak
now() { date +%s.%N; }
for _ in $(seq "$runs"); do
    for job in "${jobs[@]}"; do
        declare -n args="args_$job"
        for b in "${!builds[@]}"; do
            start=$(now)
            /usr/bin/time -f "%M" -o "$work/rss" "${builds[$b]}/src/cli/kova-cli" "${args[@]}" >/dev/null 2>&1 ||
                { echo "${builds[$b]}: $job failed" >&2; exit 1; }
            wall=$(echo "$(now) - $start" | bc -l)
            rss=$(tail -n 1 "$work/rss")
            key="$job/$b"
            if [ -z "${best[$key]:-}" ] || [ "$(echo "$wall < ${best[$key]}" | bc -l)" = 1 ]; then best[$key]=$wall; fi
            [ "$rss" -gt "${peak[$key]:-0}" ] && peak[$key]=$rss
        done
        unset -n args
    done
done

printf '%-40s' "best of $runs: time, peak memory vs base"
for job in "${jobs[@]}"; do printf '%22s' "$job"; done
echo
for b in "${!builds[@]}"; do
    printf '%-40s' "$(basename "$(dirname "${builds[$b]}")")/$(basename "${builds[$b]}")"
    for job in "${jobs[@]}"; do
        if [ "$b" = 0 ]; then
            printf '%13.3fs %6.0fM' "${best[$job/0]}" "$(echo "${peak[$job/0]} / 1024" | bc -l)"
        else
            printf '%14.2fx %6.2fx' "$(echo "${best[$job/$b]} / ${best[$job/0]}" | bc -l)" \
                "$(echo "${peak[$job/$b]} / ${peak[$job/0]}" | bc -l)"
        fi
    done
    echo
done
