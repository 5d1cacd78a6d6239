#!/bin/bash
# Installs the launcher's desktop entry, icons and AppStream metainfo for the current user
# (under ~/.local/share, or $XDG_DATA_HOME), pointing at the folder this script is in.
#   install-desktop-entry.sh            install, or repoint after the folder was moved
#   install-desktop-entry.sh --remove   take them away again
set -euo pipefail

app_id=io.github.rdp_launcher
here=$(CDPATH='' cd -- "$(dirname -- "${BASH_SOURCE[0]}")" && pwd -P)
program="$here/rdp-launcher"

data="${XDG_DATA_HOME:-}"
case "$data" in
/*) ;;
*) data="$HOME/.local/share" ;;
esac
entry="$data/applications/$app_id.desktop"
metainfo="$data/metainfo/$app_id.metainfo.xml"
icons="$data/icons/hicolor"

say() { printf '%s\n' "$@"; }

# A desktop entry's string value: a backslash is written as two.
string_value() { printf '%s' "${1//\\/\\\\}"; }

# A desktop entry's Exec value for one program path: quoted as one argument (with ", `, $
# and \ escaped inside the quotes), then written as a string value, and % doubled so that
# it is not taken for a field code.
exec_value() {
    local q="$1"
    q=${q//\\/\\\\}
    q=${q//\"/\\\"}
    q=${q//\`/\\\`}
    q=${q//\$/\\\$}
    q=$(string_value "\"$q\"")
    printf '%s' "${q//%/%%}"
}

refresh_caches() {
    touch "$icons" 2>/dev/null || true
    if command -v update-desktop-database >/dev/null 2>&1; then
        update-desktop-database -q "$data/applications" || true
    fi
    # Only a cache that is already there is brought up to date; none is made.
    if [ -f "$icons/icon-theme.cache" ] && command -v gtk-update-icon-cache >/dev/null 2>&1; then
        gtk-update-icon-cache -q -t -f "$icons" || true
    fi
}

remove() {
    rm -f "$entry" "$metainfo"
    find "$icons" -path "*/apps/$app_id.*" -type f -delete 2>/dev/null || true
    refresh_caches
    say "已删除桌面项。" "The desktop entry was removed."
}

install_entry() {
    if [ ! -x "$program" ]; then
        say "找不到程序：$program" "The program is missing: $program" >&2
        exit 1
    fi
    case "$here" in
    *$'\n'*)
        say "文件夹名称中不能有换行符。" "The folder's name must not hold a line break." >&2
        exit 1
        ;;
    esac
    local template
    template=$(<"$here/$app_id.desktop.in")
    template=${template//'{{PROGRAM}}'/"$(string_value "$program")"}
    template=${template//'{{EXEC}}'/"$(exec_value "$program")"}
    mkdir -p "$data/applications" "$data/metainfo"
    printf '%s\n' "$template" >"$entry.new"
    mv -f "$entry.new" "$entry"
    cp -f "$here/$app_id.metainfo.xml" "$metainfo"
    local icon size
    for icon in "$here"/icons/hicolor/*/apps/"$app_id".*; do
        size=$(basename "$(dirname "$(dirname "$icon")")")
        mkdir -p "$icons/$size/apps"
        cp -f "$icon" "$icons/$size/apps/"
    done
    refresh_caches
    say "已安装桌面项：$entry" "Desktop entry installed: $entry" "程序 / program: $program"
    if [ ! -w "$here" ]; then
        say "注意：程序把连接保存在它所在的文件夹中，但此文件夹不可写。" \
            "Note: the program keeps its connections in its own folder, which is not writable." >&2
    fi
}

case "${1:-}" in
"") install_entry ;;
--remove) remove ;;
*)
    say "用法 / usage: $0 [--remove]" >&2
    exit 2
    ;;
esac
