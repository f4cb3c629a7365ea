#!/usr/bin/env bash
# Installs a configured and built tree into a temporary prefix and runs the installed programs
# from there: arvestra-cli --help, the manual pages, a Location File made by the installed tool,
# and the editor opening it offscreen. With --package it also builds the Debian package and
# checks that dpkg-shlibdeps gave it its library dependencies. Takes seconds.
set -euo pipefail

build=${1:?usage: check-install.sh BUILD_DIR [--package]}
package=${2:-}
work=$(mktemp -d)
editor_pid=
cleanup() {
  if [[ -n "$editor_pid" ]]; then kill "$editor_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" > "$work/install.log"

for file in bin/arvestra bin/arvestra-cli bin/arvestra-devsim \
            share/applications/arvestra.desktop share/mime/packages/arvestra-location.xml \
            share/icons/hicolor/scalable/apps/arvestra.svg \
            share/icons/hicolor/scalable/mimetypes/application-x-korvanex-location.svg \
            share/arvestra/help/index.html \
            share/man/man1/arvestra-cli.1 share/man/man1/arvestra-devsim.1; do
  [[ -s "$prefix/$file" ]] || { echo "not installed: $file" >&2; exit 1; }
done
grep -q '^\.SH' "$prefix/share/man/man1/arvestra-cli.1" || { echo "empty manual page" >&2; exit 1; }

"$prefix/bin/arvestra-cli" --help > "$work/help.txt"
grep -q 'new' "$work/help.txt"
"$prefix/bin/arvestra-cli" new "$work/hall.kvx" > /dev/null

# The installed editor opens that file offscreen, with its own settings and temporary files,
# and must still be running after start-up (a missing library or a failed open ends it).
export QT_QPA_PLATFORM=offscreen
export XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state" TMPDIR="$work"
"$prefix/bin/arvestra" "$work/hall.kvx" > "$work/editor.log" 2>&1 &
editor_pid=$!
for _ in 1 2 3 4 5 6; do
  sleep 0.5
  kill -0 "$editor_pid" 2>/dev/null || { cat "$work/editor.log" >&2; echo "the installed editor ended at start-up" >&2; exit 1; }
done
kill "$editor_pid"
wait "$editor_pid" 2>/dev/null || true
editor_pid=

if [[ "$package" == "--package" ]]; then
  (cd "$build" && cpack -G DEB -B "$work/package" > "$work/cpack.log" 2>&1)
  deb=$(ls "$work"/package/*.deb)
  depends=$(dpkg-deb -f "$deb" Depends)
  echo "package $(basename "$deb"): Depends: $depends"
  [[ "$depends" == *libqt6widgets6* && "$depends" == *libqt6svg6* && "$depends" == *libc6* ]] || {
    echo "the package lacks its library dependencies" >&2; exit 1; }
  dpkg-deb -c "$deb" > "$work/contents.txt"
  grep -q '\./usr/bin/arvestra-cli$' "$work/contents.txt"
  grep -q '\./usr/share/man/man1/arvestra-cli\.1' "$work/contents.txt"
fi
echo "installed programs run"
