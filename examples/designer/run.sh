#!/bin/sh
# Runs the menu designer qvdesigner on the headless desktop with a copy of
# the demo disc's settings (examples/disc/) as its project and takes the
# tour of tour.drv: a screenshot of the project page. With "en" it runs on
# the English profile (english.profile), whose registry holds the
# machine-wide choice of English for the designer, as the designer's
# English edition installs it; the designer then shows its English module.
# The project and the designer's C: drive are folders of the build, so
# examples/ stays clean; the screenshot lands in ./designer-shots/ as
# project-de.png or project-en.png, and the designer's event log is printed.
#
#   examples/designer/run.sh      in German
#   examples/designer/run.sh en   in English
#
# QV_BUILD names another build folder (default: build).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "${QV_BUILD:-$root/build}" && pwd)
lang=${1:-de}
case "$lang" in
  de | en) ;;
  *) echo "usage: run.sh [de|en]" >&2; exit 2 ;;
esac
shots=$(pwd)/designer-shots
stage=$build/designer-$lang
home=$build/designer-home-$lang

for tool in qvdesigner qvreg; do
  if [ ! -x "$build/bin/$tool" ]; then
    echo "run.sh: $build/bin/$tool is missing; build first (cmake --build --preset default)" >&2
    exit 1
  fi
done
rm -rf "$stage" "$home"
mkdir -p "$stage" "$shots"
for f in "$root"/examples/disc/*.inf "$root"/examples/disc/*.html "$root"/examples/disc/*.bmp \
         "$root"/examples/disc/*.ico "$root"/examples/disc/*.wav; do
  cp "$f" "$stage/"
done
rm -f "$shots/project-$lang.png" "$shots/qvdesigner-$lang.log"

profile=
if [ "$lang" = en ]; then
  profile=$here/english.profile
  # The locale key names the designer by its full path in the platform's
  # form: the host's files lie on drive Z:.
  program="Z:$(readlink -f "$build/bin/qvdesigner" | tr / '\\')"
  QV_HOME="$home" "$build/bin/qvreg" HKLM 'Software\Borland\Locales' "$program" ENU
fi

cd "$shots"
status=0
QV_DRIVER="$here/tour.drv" QV_LOG="$shots/qvdesigner-$lang.log" QV_HOME="$home" QV_PROFILE="$profile" \
  "$build/bin/qvdesigner" "$stage/autorun.inf" || status=$?
[ -f project.png ] && mv project.png "project-$lang.png"

# The log is tab-separated, one event a line, in the designer's 8-bit code page.
if [ -f "qvdesigner-$lang.log" ]; then
  iconv -f WINDOWS-1252 -t UTF-8 "qvdesigner-$lang.log" 2>/dev/null || cat "qvdesigner-$lang.log"
fi
echo "screenshot: $shots/project-$lang.png"
exit $status
