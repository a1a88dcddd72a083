#!/usr/bin/env bash
# Runs every conformance program on our layer and on the reference under
# wine64 (its own prefix in the build folder, no debug output), each in a
# scratch folder of its own, then compares the outputs. Pictures of
# differing pixels go to OUT/pictures.
#   run.sh SOURCE_DIR BUILD_DIR WINE64 PROGRAM...
set -u
src=$(cd "$1" && pwd) bin=$(cd "$2" && pwd) wine=$3
shift 3
out=$bin/out
rm -rf "$out"
mkdir -p "$out/pictures" "$out/home"
export WINEPREFIX=$bin/wineprefix WINEDEBUG=-all
# Our layer's C: drive for the native runs.
export QV_HOME=$out/home
args=()
status=0
for p in "$@"; do
  mkdir -p "$out/ours-$p" "$out/reference-$p"
  if ! (cd "$out/ours-$p" && "$bin/conf_$p" >"$out/$p.ours.txt" 2>"$out/$p.ours.err"); then
    echo "error   $p: the native program failed:"; cat "$out/$p.ours.err"; status=1
  fi
  if ! (cd "$out/reference-$p" && "$wine" "$bin/$p.exe" >"$out/$p.reference.txt" 2>"$out/$p.reference.err"); then
    echo "error   $p: the reference program failed:"; cat "$out/$p.reference.err"; status=1
  fi
  args+=("$p" "$out/$p.ours.txt" "$out/$p.reference.txt")
done
"$bin/conf_compare" --known "$src/known-differences.txt" --pictures "$out/pictures" "${args[@]}" || status=1
exit $status
