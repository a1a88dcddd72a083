#!/bin/sh
# Runs every test program of a build whole, one process each, as a developer
# runs it. CTest runs one case per process, so a case that leaves
# process-wide state behind for the next only shows here.
#
#   tools/run-tests-whole.sh [BUILD_DIR]     (default: build)
set -u
bin=${1:-build}/bin
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
ran=0
for t in "$bin"/test_*; do
  [ -f "$t" ] && [ -x "$t" ] || continue
  ran=$((ran + 1))
  if ! "$t" --gtest_brief=1 >"$log" 2>&1; then
    echo "FAILED when run whole: $t" >&2
    cat "$log" >&2
    status=1
  fi
done
if [ "$ran" -eq 0 ]; then
  echo "run-tests-whole.sh: no test programs in $bin" >&2
  exit 1
fi
echo "$ran test programs run whole"
exit $status
