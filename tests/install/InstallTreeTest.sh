#!/usr/bin/env bash
# Installs the build into a staging folder with prefix /usr and checks it as a
# Linux desktop expects: the desktop entry, AppStream metadata and manual
# pages validate clean; the tree still works after it is moved to another
# prefix; and the Debian package builds without lintian errors.
# Usage: InstallTreeTest.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
app=
cleanup() {
  # The traced program, its tracer and the web engine's helpers share one process group.
  if [ -n "$app" ]; then kill -KILL -- "-$app" 2>/dev/null || true; wait "$app" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$work/stage" cmake --install "$build" --prefix /usr > /dev/null
usr="$work/stage/usr"
id=org.brightfold.vidlatch

# bin/ holds exactly the two commands; the private files are in lib/vidlatch.
[ "$(ls "$usr/bin" | tr '\n' ' ')" = "vidlatch vidlatch-cli " ] || fail "bin/ holds: $(ls "$usr/bin")"
[ "$(readlink "$usr/bin/vidlatch")" = "../lib/vidlatch/vidlatch" ] || fail "bin/vidlatch is no relative link"
for file in lib/vidlatch/pf4.she lib/vidlatch/ruffle/ruffle.js share/applications/$id.desktop \
            share/metainfo/$id.metainfo.xml share/icons/hicolor/scalable/apps/$id.svg \
            share/bash-completion/completions/vidlatch-cli share/doc/vidlatch/copyright; do
  [ -e "$usr/$file" ] || fail "missing $file"
done
for size in 16 24 32 48 64 128 256; do
  [ -e "$usr/share/icons/hicolor/${size}x${size}/apps/$id.png" ] || fail "missing the ${size} px icon"
done

desktop-file-validate "$usr/share/applications/$id.desktop"
appstreamcli validate --no-net --pedantic "$usr/share/metainfo/$id.metainfo.xml"
for page in vidlatch vidlatch-cli; do
  warnings=$(zcat "$usr/share/man/man1/$page.1.gz" | groff -mandoc -ww -z 2>&1)
  [ -z "$warnings" ] || fail "groff warns about $page.1: $warnings"
done
bash -n "$usr/share/bash-completion/completions/vidlatch-cli"
echo "validators: clean"

# Moved to another prefix, the tree still works.
moved="$work/elsewhere/vidlatch"
mkdir -p "$(dirname "$moved")"
mv "$usr" "$moved"
page='http://v.vidsite.example/page/W/f/t/a1b2c3d4e5f.html'
player='http://static.vidsite.example/v1/res/vidplayer.swf?f=3&vid=a1b2c3d4e5f'
[ "$("$moved/bin/vidlatch-cli" convert "$page")" = "$player" ] || fail "vidlatch-cli convert in the moved tree"

# The program finds its skin and its Flash player beside its real executable.
trace="$work/trace.txt"
QT_QPA_PLATFORM=offscreen setsid strace -f -qq -e trace=openat -e status=successful -o "$trace" \
  "$moved/bin/vidlatch" > "$work/app.log" 2>&1 &
app=$!
found=0
for _ in $(seq 300); do
  if grep -q "\"$moved/lib/vidlatch/pf4.she\"" "$trace" 2>/dev/null &&
     grep -q "\"$moved/lib/vidlatch/ruffle/ruffle.js\"" "$trace" 2>/dev/null; then
    found=1
    break
  fi
  kill -0 "$app" 2>/dev/null || break
  sleep 0.1
done
[ "$found" = 1 ] || { cat "$work/app.log" >&2; fail "the moved program did not open its skin and its player"; }
kill -KILL -- "-$app" 2>/dev/null || true
wait "$app" 2>/dev/null || true
app=
echo "moved tree: vidlatch-cli and vidlatch work"

# The Debian package.
(cd "$build" && cpack -G DEB -B "$work/package" > "$work/cpack.log") || { cat "$work/cpack.log" >&2; fail "cpack"; }
deb=$(ls "$work"/package/vidlatch_*.deb)
[ "$(dpkg-deb -f "$deb" Package)" = vidlatch ] || fail "the package is not named vidlatch"
dpkg-deb -f "$deb" Depends | grep -q fonts-arphic-uming || fail "no dependency on the font"
lintian --fail-on error "$deb" 2>&1 | grep -v "root privileges" || true
lintian --fail-on error "$deb" > /dev/null 2>&1 || fail "lintian reports errors"
echo "1 passed, 0 failed"
