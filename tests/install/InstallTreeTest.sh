#!/usr/bin/env bash
# Installs the build into a staging folder with prefix /usr and checks it as a
# Linux desktop expects: the desktop entry, AppStream metadata and manual
# pages validate clean and the completions complete; the program answers
# --help and --version and says in one line why it cannot start; the tree
# still works after it is moved to another prefix, and its windows are the
# desktop entry's; and the Debian package builds without lintian errors.
# Usage: InstallTreeTest.sh BUILD_DIR (on a display: xvfb-run)
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
            share/bash-completion/completions/vidlatch share/bash-completion/completions/vidlatch-cli \
            share/doc/vidlatch/copyright; do
  [ -e "$usr/$file" ] || fail "missing $file"
done
for size in 16 24 32 48 64 128 256; do
  [ -e "$usr/share/icons/hicolor/${size}x${size}/apps/$id.png" ] || fail "missing the ${size} px icon"
done

desktop-file-validate "$usr/share/applications/$id.desktop"
for language in zh_TW zh_HK; do
  grep -q "^Name\[$language\]=" "$usr/share/applications/$id.desktop" || fail "the desktop entry has no $language name"
  grep -q "<name xml:lang=\"$language\">" "$usr/share/metainfo/$id.metainfo.xml" || fail "the AppStream file has no $language name"
done
appstreamcli validate --no-net --pedantic "$usr/share/metainfo/$id.metainfo.xml"
for page in vidlatch vidlatch-cli; do
  warnings=$(zcat "$usr/share/man/man1/$page.1.gz" | groff -mandoc -ww -z 2>&1)
  [ -z "$warnings" ] || fail "groff warns about $page.1: $warnings"
done
echo "validators: clean"

# What Tab offers after the words typed, from the installed completions.
offered() {
  bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
           $(complete -p "$1" | sed "s/.*-F \([^ ]*\) .*/\1/"); echo "${COMPREPLY[*]}"' \
    _ "$usr/share/bash-completion/completions/$1" "$@"
}
while IFS='|' read -r words offers; do
  # shellcheck disable=SC2086 # the words are split on purpose
  got=$(offered $words)
  [ "$got" = "$offers" ] || fail "completing '$words' offers '$got', not '$offers'"
done <<'ROWS'
vidlatch --|--help --version
vidlatch --v|--version
vidlatch-cli --v|--version
vidlatch-cli parse --|--reject-empty --json --help --
vidlatch-cli build --|--json --format --width --height --help --
vidlatch-cli convert --format b|bbcode
ROWS
echo "completions: complete"

# The installed program before any window: the help and the version with no
# display, usage errors, and a single line and status 1 where it cannot
# start, never Qt's abort and its core; and the help of the source tree's
# scripts, which answers at once and touches nothing. Each row: status,
# environment (as env(1) takes it), command (vidlatch, or a script of the
# source tree), arguments, the first line on standard output (status 0) or
# standard error.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
source=$(sed -n 's/^Vidlatch_SOURCE_DIR:STATIC=//p' "$build/CMakeCache.txt")
silent=90
while [ -e "/tmp/.X11-unix/X$silent" ] || [ -e "/tmp/.X$silent-lock" ]; do silent=$((silent + 1)); done
no_display="-u DISPLAY -u WAYLAND_DISPLAY QTWEBENGINE_DISABLE_SANDBOX=1"
rows="0|$no_display|vidlatch|stray --version|vidlatch $version
0|$no_display|vidlatch|-h|Usage: vidlatch [options]
2|$no_display|vidlatch|--frob --help-all -style fusion|vidlatch: Unknown options: frob, help-all.
2|$no_display|vidlatch|a1b2c3d4e5f|vidlatch: unexpected argument 'a1b2c3d4e5f': Vidlatch takes no arguments
1|$no_display|vidlatch||vidlatch: no display: DISPLAY is not set and no Wayland session was found; Vidlatch needs a graphical desktop
1|$no_display DISPLAY=:$silent|vidlatch||vidlatch: no display: cannot connect to display :$silent and no Wayland session was found; Vidlatch needs a graphical desktop
1|$no_display|vidlatch|-display :$silent -platform xcb|vidlatch: no display for the platform 'xcb': cannot connect to display :$silent; Vidlatch needs a graphical desktop
1|$no_display XDG_RUNTIME_DIR=$work WAYLAND_DISPLAY=wayland-vidlatch QT_QPA_PLATFORM=wayland|vidlatch||vidlatch: no display for the platform 'wayland': cannot connect to the Wayland display wayland-vidlatch; Vidlatch needs a graphical desktop
0||run|--help|Installs what is missing, builds Vidlatch and starts it.
0||test|-h|Installs what is missing, builds, and runs every test: the main build under
2||test|--frob|test: unknown option '--frob' (try --help)"
if [ "$(id -u)" = 0 ]; then
  # With a display, so that only the sandbox stands in the way.
  rows="$rows
1|-u QTWEBENGINE_DISABLE_SANDBOX -u QTWEBENGINE_CHROMIUM_FLAGS|vidlatch||vidlatch: refusing to run as root: the web engine's sandbox does not work for root; run Vidlatch as an ordinary user (or set QTWEBENGINE_DISABLE_SANDBOX=1 at your own risk)"
fi
cores="$work/cores"
mkdir "$cores"
while IFS='|' read -r status environment command arguments line; do
  program="$source/$command"
  [ "$command" != vidlatch ] || program="$usr/bin/vidlatch"
  got=0
  # A hung start is ended with the helpers it started: timeout signals its process group.
  # shellcheck disable=SC2086 # the environment and the arguments are split on purpose
  (cd "$cores" && { ulimit -c unlimited 2>/dev/null || true; } &&
   exec timeout -s KILL 60 env $environment "$program" $arguments) > "$work/out" 2> "$work/err" || got=$?
  what="$command $arguments with $environment"
  [ "$got" = "$status" ] || fail "$what: status $got, not $status: $(cat "$work/err")"
  stream="$work/err"
  [ "$status" != 0 ] || stream="$work/out"
  [ "$(head -n 1 "$stream")" = "$line" ] || fail "$what: '$(head -n 1 "$stream")', not '$line'"
  [ "$status" != 1 ] || [ "$(wc -l < "$work/err")" = 1 ] || fail "$what: more than one line: $(cat "$work/err")"
  [ -z "$(ls -A "$cores")" ] || fail "$what left $(ls -A "$cores")"
  # Usage is the script's opening comment, and nothing of its code.
  ! grep -q 'set -euo' "$work/out" || fail "$what prints its code: $(cat "$work/out")"
done <<< "$rows"
echo "start-up: $(wc -l <<< "$rows") command lines answered"

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

# On the display the main window is the desktop entry's (its WM_CLASS is the
# entry's StartupWMClass) and carries the icon up to 256 px. A dead proxy
# keeps the browsers off the network.
[ -n "${DISPLAY:-}" ] || fail "no display to show the windows on: run under xvfb-run"
wm_class=$(sed -n 's/^StartupWMClass=//p' "$moved/share/applications/$id.desktop")
[ "$wm_class" = "$id" ] || fail "the desktop entry's StartupWMClass is '$wm_class', not $id"
http_proxy=http://127.0.0.1:9 setsid "$moved/bin/vidlatch" > "$work/app.log" 2>&1 &
app=$!
window=
for _ in $(seq 300); do
  # The walk fails when a window goes away under it (the engine's own come and go): look again.
  window=$(xwininfo -root -tree 2>/dev/null | awk '/Vidlatch[^"]*": \(/ { print $1; exit }') || window=
  [ -n "$window" ] && break
  kill -0 "$app" 2>/dev/null || break
  sleep 0.1
done
[ -n "$window" ] || { cat "$work/app.log" >&2; fail "the main window did not appear"; }
class=$(xprop -id "$window" WM_CLASS)
[ "$class" = "WM_CLASS(STRING) = \"$wm_class\", \"$wm_class\"" ] || fail "the main window's $class"
icons=$(xprop -len 1000000 -id "$window" _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' | tr '\n' ' ')
[ "$icons" = "Icon (16 x 16) Icon (24 x 24) Icon (32 x 32) Icon (48 x 48) Icon (64 x 64) Icon (128 x 128) Icon (256 x 256) " ] ||
  fail "the main window's icons: $icons"
kill -KILL -- "-$app" 2>/dev/null || true
wait "$app" 2>/dev/null || true
app=
echo "windows: WM_CLASS $wm_class, icons 16 to 256 px"

# The Debian package.
(cd "$build" && cpack -G DEB -B "$work/package" > "$work/cpack.log") || { cat "$work/cpack.log" >&2; fail "cpack"; }
deb=$(ls "$work"/package/vidlatch_*.deb)
[ "$(dpkg-deb -f "$deb" Package)" = vidlatch ] || fail "the package is not named vidlatch"
for font in fonts-arphic-uming fonts-dejavu-core; do
  dpkg-deb -f "$deb" Depends | grep -q "$font" || fail "no dependency on $font"
done
[ "$(dpkg-deb -f "$deb" Recommends)" = "qt6-wayland, bash-completion" ] || fail "Recommends: $(dpkg-deb -f "$deb" Recommends)"
lintian --fail-on error "$deb" 2>&1 | grep -v "root privileges" || true
lintian --fail-on error "$deb" > /dev/null 2>&1 || fail "lintian reports errors"
echo "1 passed, 0 failed"
