#!/usr/bin/env bash
# Builds the release archive from a build directory, unpacks it into a temporary home
# (a folder whose name has a blank and Chinese characters), checks what it holds, installs
# its desktop entry there, validates the entry and the metainfo, and starts the unpacked
# program on its own Xvfb until its login window is mapped. Nothing is written outside the
# build directory; only the processes started here are ended, by their PIDs.
#   check-archive.sh BUILD_DIR WORK_DIR PACKAGE_NAME VERSION
set -euo pipefail

build=$1
work=$2
name=$3
version=$4
app_id=io.github.rdp_launcher

fail() {
    printf 'FAIL: %s\n' "$*" >&2
    exit 1
}
for tool in cpack tar ldd readelf iconv Xvfb xdotool desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps.sh installs it)"
done

mkdir -p "$work"
tmp=$(mktemp -d "$work/run.XXXXXX")
xvfb=""
program_pid=""
cleanup() {
    if [ -n "$program_pid" ]; then kill "$program_pid" 2>/dev/null || true; fi
    if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
    wait 2>/dev/null || true
    rm -rf "$tmp"
}
trap cleanup EXIT

export HOME="$tmp/home"
export XDG_STATE_HOME="$tmp/state"
export XDG_DATA_HOME="$HOME/.local/share"
export XDG_CONFIG_HOME="$HOME/.config"
export XDG_CACHE_HOME="$HOME/.cache"
export XDG_RUNTIME_DIR="$tmp/runtime"
mkdir -p "$HOME"
mkdir -m 0700 "$XDG_RUNTIME_DIR"

echo "== building the archive"
cpack -G TGZ --config "$build/CPackConfig.cmake" -B "$tmp/package" >"$tmp/cpack.log" 2>&1 ||
    { cat "$tmp/cpack.log"; fail "cpack failed"; }
archive="$tmp/package/$name.tar.gz"
[ -f "$archive" ] || fail "no archive named $name.tar.gz"
case "$name" in
rdp-launcher-"$version"-linux-*) ;;
*) fail "the archive's name $name does not carry the version $version" ;;
esac

echo "== content"
tar -tzf "$archive" >"$tmp/listing"
tops=$(cut -d/ -f1 "$tmp/listing" | sort -u)
[ "$tops" = "$name" ] || fail "top-level entries are not the one folder $name: $tops"
for member in rdp-launcher rdp-store install-desktop-entry.sh LICENSE 说明.txt README.txt \
    "$app_id.desktop.in" "$app_id.metainfo.xml" "icons/hicolor/scalable/apps/$app_id.svg"; do
    grep -qx "$name/$member" "$tmp/listing" || fail "$member is missing from the archive"
done
for size in 16 32 48 64 128 256; do
    grep -qx "$name/icons/hicolor/${size}x$size/apps/$app_id.png" "$tmp/listing" ||
        fail "the ${size}x$size icon is missing from the archive"
done

echo "== unpacking into a folder of the home"
parent="$HOME/我的 程序"
mkdir -p "$parent"
tar -xzf "$archive" -C "$parent"
folder="$parent/$name"
program="$folder/rdp-launcher"
for exe in "$program" "$folder/rdp-store" "$folder/install-desktop-entry.sh"; do
    [ -x "$exe" ] || fail "$exe is not executable"
done
for size in 16 32 48 64 128 256; do
    read -r w h < <(od -An -tu1 -j16 -N8 "$folder/icons/hicolor/${size}x$size/apps/$app_id.png" |
        awk '{print $3*256+$4, $7*256+$8}')
    [ "$w $h" = "$size $size" ] || fail "the ${size}x$size icon is ${w}x$h"
done
if ! { grep -q "$version" "$folder/说明.txt" && grep -q "WinClientPath.DLL" "$folder/说明.txt"; }; then
    fail "说明.txt does not name the version and the run-location record"
fi
grep -q "apt-get install .*libfreerdp2-2" "$folder/README.txt" ||
    fail "README.txt does not give the runtime packages"

echo "== shared libraries"
for exe in "$program" "$folder/rdp-store"; do
    ! readelf -d "$exe" | grep -E 'RPATH|RUNPATH' || fail "$exe carries a run path"
    ldd "$exe" >"$tmp/ldd" || fail "ldd failed on $exe"
    ! grep 'not found' "$tmp/ldd" || fail "$exe misses libraries"
    if awk '/=>/ {print $3}' "$tmp/ldd" | grep -v -E '^/(usr/)?lib[^/]*/'; then
        fail "$exe loads libraries from outside the system folders"
    fi
done
[ "$("$program" --version)" = "rdp-launcher $version" ] || fail "rdp-launcher --version"
[ "$("$folder/rdp-store" --version)" = "rdp-store $version" ] || fail "rdp-store --version"

echo "== desktop entry and metainfo"
"$folder/install-desktop-entry.sh" >/dev/null
entry="$XDG_DATA_HOME/applications/$app_id.desktop"
[ -f "$entry" ] || fail "the desktop entry was not installed"
desktop-file-validate "$entry" || fail "desktop-file-validate"
exec_line=$(grep '^Exec=' "$entry")
[ "$exec_line" = "Exec=\"$program\"" ] || fail "the entry runs $exec_line, not $program"
grep -qx "TryExec=$program" "$entry" || fail "TryExec does not name $program"
if ! { grep -q '^Name\[zh_CN\]=' "$entry" && grep -q '^Comment\[zh_CN\]=' "$entry"; }; then
    fail "the entry has no Chinese name or comment"
fi
for size in 16x16 32x32 48x48 64x64 128x128 256x256 scalable; do
    ls "$XDG_DATA_HOME/icons/hicolor/$size/apps/$app_id".* >/dev/null 2>&1 ||
        fail "the $size icon was not installed"
done
appstreamcli validate --no-net "$folder/$app_id.metainfo.xml" ||
    fail "appstreamcli validate"
"$folder/install-desktop-entry.sh" --remove >/dev/null
[ ! -e "$entry" ] || fail "--remove left the desktop entry"
! ls "$XDG_DATA_HOME"/icons/hicolor/*/apps/"$app_id".* 2>/dev/null || fail "--remove left icons"

echo "== starting the unpacked program"
fdfile="$tmp/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fdfile" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do
    [ -s "$fdfile" ] && break
    sleep 0.05
done
[ -s "$fdfile" ] || fail "Xvfb did not start"
DISPLAY=":$(tr -d '\n' <"$fdfile")"
export DISPLAY
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
(cd "$HOME" && exec "$program") >"$tmp/program.log" 2>&1 &
program_pid=$!
if ! window=$(timeout 30 xdotool search --sync --onlyvisible --name '^连接登录$' | head -n1); then
    cat "$tmp/program.log"
    fail "the login window did not appear"
fi
kill -0 "$program_pid" 2>/dev/null || fail "the program ended"
echo "login window $window"

# The first start recorded its folder in the user's state folder, in code page 936.
record="$XDG_STATE_HOME/rdp-launcher/WinClientPath.DLL"
[ -f "$record" ] || fail "no run-location record in $XDG_STATE_HOME/rdp-launcher"
[ "$(iconv -f GBK -t UTF-8 "$record")" = "$folder"$'\r' ] ||
    fail "the run-location record does not hold the program folder"

kill "$program_pid"
wait "$program_pid" 2>/dev/null || true
program_pid=""
echo "== the archive is sound"
