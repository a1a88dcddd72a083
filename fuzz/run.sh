#!/usr/bin/env bash
# Fuzzes every target at once for a while from its kept inputs, as CI does:
#   fuzz/run.sh [BUILD [SECONDS]]      default: build-fuzz 60
# The libFuzzer programs come from the fuzz build (cmake --preset fuzz &&
# cmake --build --preset fuzz). New inputs that reach further go to a
# scratch folder of the build; an input that crashes, leaks or runs over
# the time limit stops its target and is kept as corpus/<name>/crash-...,
# leak-... or timeout-..., where every build's replay test runs it from
# then on. Each target's log is BUILD/fuzz-logs/<name>.log; the script
# fails when any target failed. The mutations follow QV_FUZZ_SEED (default
# 1), so that a run, and what it finds, can be had again.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build-fuzz}" && pwd)
seconds=${2:-60}
logs=$build/fuzz-logs
# Every check stays on; what goes is bookkeeping that costs more than the
# targets' own work: the allocation stacks kept for reports (2 frames; rerun
# a kept input for full stacks), the fill of every new block (a page fault
# per fresh page) and most of the quarantine. Measured: 1.5 to 3.6 times the
# inputs a second at the same coverage. A caller's own options come last and win.
export ASAN_OPTIONS="malloc_context_size=2:max_malloc_fill_size=0:quarantine_size_mb=16${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
mkdir -p "$logs"

pids=()
names=()
for program in "$build"/bin/fuzz_*; do
  name=${program##*/fuzz_}
  case $name in *_replay) continue ;; esac
  [ -d "$here/corpus/$name" ] || continue
  scratch=$build/fuzz-work/$name
  rm -rf "$scratch"
  mkdir -p "$scratch"
  dict=()
  [ -f "$here/$name.dict" ] && dict=(-dict="$here/$name.dict")
  # A page is parsed, laid out and drawn whole, so a long one costs in
  # proportion and rarely reaches further than a short one: the page
  # targets make inputs of up to 4 KB (without it, the longest kept page,
  # 44 KB, sets the limit). A longer kept input is cut to that here; the
  # replay tests still run it whole.
  limit=()
  case $name in html | layout) limit=(-max_len=4096) ;; esac
  "$program" -seed="${QV_FUZZ_SEED:-1}" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    "${limit[@]}" -artifact_prefix="$here/corpus/$name/" "${dict[@]}" "$scratch" "$here/corpus/$name" \
    >"$logs/$name.log" 2>&1 &
  pids+=($!)
  names+=("$name")
done
if [ ${#pids[@]} -eq 0 ]; then
  echo "fuzz/run.sh: no fuzz programs in $build/bin" >&2
  exit 1
fi

status=0
for i in "${!pids[@]}"; do
  name=${names[$i]}
  if wait "${pids[$i]}"; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$logs/$name.log" | tail -1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$logs/$name.log" | tail -1)
    echo "fuzz_$name: ${runs:-?} inputs, ${rate:-?} a second"
  else
    status=1
    echo "fuzz_$name FAILED; the input is kept in fuzz/corpus/$name/:" >&2
    grep -E "^(==[0-9]+==ERROR|SUMMARY|artifact_prefix|Test unit written)" "$logs/$name.log" >&2
  fi
done
exit $status
