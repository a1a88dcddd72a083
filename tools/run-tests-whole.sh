#!/bin/sh
# Runs every test program of a build whole, one process each, as a developer
# runs it. CTest runs one case per process, so a case that leaves
# process-wide state behind for the next only shows here. The programs run
# side by side, one a core (QV_JOBS sets another number).
#
#   tools/run-tests-whole.sh [BUILD_DIR]     (default: build)
set -u
bin=${1:-build}/bin
jobs=${QV_JOBS:-$(nproc)}
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
for t in "$bin"/test_*; do
  [ -f "$t" ] && [ -x "$t" ] || continue
  printf '%s\n' "$t"
done >"$logs/programs"
ran=$(wc -l <"$logs/programs")
if [ "$ran" -eq 0 ]; then
  echo "run-tests-whole.sh: no test programs in $bin" >&2
  exit 1
fi
# Each program's output goes to a log of its own and is shown only when it
# fails, so that the reports of programs running at once do not mix.
status=0
xargs -P "$jobs" -I{} sh -c '
  log="$1/$(basename "$2").log"
  if ! "$2" --gtest_brief=1 >"$log" 2>&1; then
    echo "FAILED when run whole: $2" >"$log.failed"
    exit 1
  fi' sh "$logs" {} <"$logs/programs" || status=1
for failed in "$logs"/*.failed; do
  [ -f "$failed" ] || continue
  cat "$failed" >&2
  cat "${failed%.failed}" >&2
done
echo "$ran test programs run whole"
exit $status
