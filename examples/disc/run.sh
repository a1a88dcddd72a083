#!/bin/sh
# Runs the demo disc's menu on the headless desktop and takes its tour
# (tour.drv): the disc is laid out as it would be burnt, with the runtime as
# "qvlaunch.exe" beside "autorun.inf" and the language file, in
# <build>/disc/, so this folder stays clean. The screenshots land in
# ./disc-shots/ together with the runtime's event log, which is printed.
#
#   examples/disc/run.sh               the menu of autorun.inf
#   examples/disc/run.sh skinned.inf   the same pages in a window shaped by skin.bmp
#
# QV_BUILD names another build folder (default: build).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "${QV_BUILD:-$root/build}" && pwd)
shots=$(pwd)/disc-shots
stage=$build/disc

if [ ! -x "$build/bin/qvlaunch" ]; then
  echo "run.sh: $build/bin/qvlaunch is missing; build first (cmake --build --preset default)" >&2
  exit 1
fi
rm -rf "$stage"
mkdir -p "$stage" "$shots"
for f in "$here"/*.inf "$here"/*.html "$here"/*.css "$here"/*.gif "$here"/*.bmp "$here"/*.ico "$here"/*.wav "$here"/*.lib; do
  cp "$f" "$stage/"
done
cp "$build/bin/qvlaunch" "$stage/qvlaunch.exe"
rm -f "$shots"/*.png "$shots/qvlaunch.log"

# The runtime reads nothing but its settings and language file; its C: drive
# (and the single-instance semaphore there) is a folder of the build.
cd "$shots"
status=0
QV_DRIVER="$here/tour.drv" QV_LOG="$shots/qvlaunch.log" QV_HOME="$build/disc-home" \
  "$stage/qvlaunch.exe" "$@" || status=$?

# The log is tab-separated, one event a line, in the runtime's 8-bit code page.
if [ -f "$shots/qvlaunch.log" ]; then
  iconv -f WINDOWS-1252 -t UTF-8 "$shots/qvlaunch.log" 2>/dev/null || cat "$shots/qvlaunch.log"
fi
echo "screenshots: $(ls "$shots"/*.png 2>/dev/null | sed "s|$shots/||" | tr '\n' ' ')in $shots"
exit $status
