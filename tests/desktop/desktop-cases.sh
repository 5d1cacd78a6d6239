#!/usr/bin/env bash
# The real program on a desktop with a window manager (run it through run-on-desktop.sh):
# what the desktop shows as each window's title, what its close requests do, which window
# holds the keyboard after each step, and a screenshot of each window (frame included) in
# OUT_DIR.
#   desktop-cases.sh CASE LAUNCHER MODULE RDP_STORE SOURCE_DIR OUT_DIR
# Cases: loginClose, firstUseQuestionClose, setupClose, sessionKeyboard, and
# sessionKeyboardBareX for a display without a window manager.
# Ends only the processes it started.
set -euo pipefail
case_name="$1"
launcher="$2"
module="$3"
store_tool="$4"
source_dir="$5"
out_dir="$6"

work="$(mktemp -d)"
pids=()
server_state="$work/server"
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    [ -d "$server_state" ] &&
        "$source_dir/scripts/rdp-test-server" stop --state "$server_state" >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT
export XDG_STATE_HOME="$work/state" XDG_CONFIG_HOME="$work/config"

# shellcheck source=../support/fail-with-logs.sh
. "$source_dir/tests/support/fail-with-logs.sh"
# shellcheck source=../support/shell-cases.sh
. "$source_dir/tests/support/shell-cases.sh"

# Polls "$@" every tenth of a second, for at most 20 seconds.
until_true() {
    for _ in $(seq 200); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# The visible window titled $1, or $1 with a suffix (the exact title is checked apart).
window_id() { xdotool search --onlyvisible --name "^$1( .*)?\$" 2>/dev/null | head -n 1; }
find_window() {
    local id=""
    for _ in $(seq 200); do
        id="$(window_id "$1")"
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    fail "no window \"$1\" appeared"
}
no_window() { [ -z "$(window_id "$1")" ]; }

# The title the desktop shows.
title_of() { xprop -id "$1" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p'; }
expect_title() {
    local shown
    shown="$(title_of "$1")"
    [ "$shown" = "$2" ] || fail "the desktop shows the title \"$shown\" instead of \"$2\""
    echo "ok: title \"$2\""
}

has_focus() { [ "$(xdotool getwindowfocus -f 2>/dev/null)" = "$1" ]; }
expect_focus() {
    until_true has_focus "$1" ||
        fail "$2 does not hold the keyboard (focus on $(xdotool getwindowfocus -f))"
    echo "ok: $2 holds the keyboard"
}

# The window manager's close (title bar's x, Alt+F4): WM_DELETE_WINDOW to the program.
close_window() { wmctrl -i -c "$1"; }

screenshot() { import -window "$1" -frame "$out_dir/desktop-$2.png" 2>/dev/null || true; }

ended() { ! kill -0 "$1" 2>/dev/null; }
expect_end() {
    until_true ended "$1" || fail "the program did not end"
    local status=0
    wait "$1" || status=$?
    [ "$status" -eq 0 ] || fail "the program ended with status $status"
    echo "ok: the program ended"
}

# A copy of the program in a folder of its own; $@: rdp-store add options per connection,
# separated by "--".
app="$work/apps/rdp-launcher"
make_app() {
    copy_program "$app"
    local options=()
    for arg in "$@" --; do
        if [ "$arg" = "--" ]; then
            [ ${#options[@]} -gt 0 ] && "$store_tool" add "$app/WinEx.DLL" "${options[@]}" >/dev/null
            options=()
        else
            options+=("$arg")
        fi
    done
}
start_app() {
    "$app/rdp-launcher" >"$work/launcher.log" 2>&1 &
    launcher_pid=$!
    pids+=("$launcher_pid")
}
# The program's folder as a text: names and contents.
folder_state() { (cd "$app" && ls -A && md5sum ./* 2>/dev/null); }

two_connections=(--name 甲 --server 127.0.0.1 --port 3389 --user u1 --
                 --name 乙 --server 127.0.0.2 --port 3389 --user u2)

case_loginClose() {
    make_app "${two_connections[@]}"
    local before
    before="$(folder_state)"
    start_app
    local login
    login="$(find_window 连接登录)"
    expect_title "$login" 连接登录
    expect_focus "$login" "the login window"
    xdotool key Tab
    xdotool type --delay 20 secret
    screenshot "$login" login
    # Another connection chosen, then the desktop closes the window: nothing is saved.
    xdotool key Tab Up
    close_window "$login"
    expect_end "$launcher_pid"
    [ "$(folder_state)" = "$before" ] || fail "the program folder changed"
    echo "ok: nothing written"
}

case_firstUseQuestionClose() {
    make_app
    local before
    before="$(folder_state)"
    start_app
    local question login
    question="$(find_window 连接)"
    expect_title "$question" 连接
    expect_focus "$question" "the first-use question"
    screenshot "$question" question
    login="$(find_window 连接登录)"
    # Closing the question answers No: no setup window, the login window gets the keyboard.
    close_window "$question"
    expect_focus "$login" "the login window"
    no_window 连接设置 || fail "closing the question opened the setup window"
    kill -0 "$launcher_pid" || fail "the program ended"
    [ "$(folder_state)" = "$before" ] || fail "something was written beside the program"
    echo "ok: answered No, nothing written"
}

# The setup window's client area is 422 x 389 pixels and its frame is centred on the screen.
expect_setup_geometry() {
    local info extents w h x y l r t b
    info="$(xwininfo -id "$1")"
    w="$(sed -n 's/^ *Width: //p' <<<"$info")"
    h="$(sed -n 's/^ *Height: //p' <<<"$info")"
    x="$(sed -n 's/^ *Absolute upper-left X: *//p' <<<"$info")"
    y="$(sed -n 's/^ *Absolute upper-left Y: *//p' <<<"$info")"
    extents="$(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')"
    read -r l r t b <<<"$extents"
    [ "$w" -eq 422 ] && [ "$h" -eq 389 ] || fail "the setup window's client area is ${w}x${h}"
    local dx=$(((x - l) * 2 + w + l + r - 1280)) dy=$(((y - t) * 2 + h + t + b - 1024))
    [ "${dx#-}" -le 1 ] && [ "${dy#-}" -le 1 ] ||
        fail "the setup window's frame is off centre by ($dx, $dy)/2 pixels"
    echo "ok: setup window 422x389, centred by its frame"
}

case_setupClose() {
    make_app "${two_connections[@]}"
    local before
    before="$(folder_state)"
    start_app
    local login setup dialog
    login="$(find_window 连接登录)"
    expect_focus "$login" "the login window"
    xdotool mousemove --window "$login" 377 203 click 1 # "设置  >>"
    setup="$(find_window 连接设置)"
    expect_title "$setup" 连接设置
    expect_focus "$setup" "the setup window"
    expect_setup_geometry "$setup"
    screenshot "$setup" setup
    # "新建连接" (sixth in the tab order), then the desktop closes its dialog: cancelled.
    xdotool key Tab Tab Tab Tab Tab space
    dialog="$(find_window 新建连接)"
    expect_title "$dialog" 新建连接
    screenshot "$dialog" new-connection
    close_window "$dialog"
    setup="$(find_window 连接设置)"
    expect_focus "$setup" "the setup window"
    # An edit, another connection chosen, then the desktop closes the window: as "取消".
    xdotool key shift+Tab Tab Tab ctrl+a
    xdotool type --delay 20 edited
    close_window "$setup"
    expect_focus "$login" "the login window"
    no_window 连接设置 || fail "the setup window is still shown"
    [ "$(folder_state)" = "$before" ] || fail "closing the setup window changed the store"
    echo "ok: the store is unchanged"
}

# The letters the key logger on the remote screen got pressed, in order.
remote_keys() {
    awk '/^KeyPress/ { p = 1; next } /^Key/ { p = 0 }
         p && /keysym/ { sub(/.*keysym 0x[0-9a-f]*, /, ""); sub(/\).*/, ""); printf "%s", $0; p = 0 }' \
        "$work/keys.txt"
}
remote_got() { [[ "$(remote_keys)" == *"$1"* ]]; }
expect_remote_keys() {
    until_true remote_got "$1" || fail "the remote side got \"$(remote_keys)\", not \"$1\""
    echo "ok: the remote side got the keys"
}

# The certificate question holds the keyboard; the keys $@ answer it; the session window
# then holds the keyboard. Sets $session.
answer_certificate() {
    local certificate
    certificate="$(find_window 服务器证书)"
    expect_focus "$certificate" "the certificate question"
    xdotool key "$@"
    session="$(find_window 测试服务器)"
    expect_focus "$session" "the session window"
}

# Logs on with the password typed in the login window.
log_on() {
    local login
    login="$(find_window 连接登录)"
    expect_focus "$login" "the login window"
    xdotool key Return # from the user name box on to the password box
    xdotool type --delay 20 "$server_password"
    xdotool key Return
}

# The loopback server, a clock on its screen and a window there that logs every key it gets
# and holds the keyboard; a copy of the program with a connection to it.
start_server_and_app() {
    start_test_server "$source_dir" --state "$server_state" --port "${RDP_DESKTOP_PORT:-36400}"
    DISPLAY="$server_display" xclock -update 1 -geometry 240x240+60+60 >/dev/null 2>&1 &
    pids+=($!)
    DISPLAY="$server_display" stdbuf -oL xev -event keyboard -geometry 400x260+560+440 \
        >"$work/keys.txt" &
    pids+=($!)
    local keylog
    keylog="$(DISPLAY="$server_display" until_true xdotool search --name '^Event Tester$')" ||
        fail "no key logger on the remote screen"
    DISPLAY="$server_display" xdotool windowfocus "$(head -n 1 <<<"$keylog")"
    make_app --name 测试服务器 --server 127.0.0.1 --port "$server_port" --user "$server_user" \
        --size 2
}

# The session window shows its own colour where the control does not reach (its right
# edge), not black: nothing of it is left unpainted once the status panel hides.
expect_painted_edge() {
    local w h colour
    eval "$(xwininfo -id "$1" | sed -n 's/^  Width: /w=/p; s/^  Height: /h=/p')"
    import -window "$1" "$work/edge.png" 2>/dev/null
    colour="$(convert "$work/edge.png" -format "%[pixel:p{$((w - 2)),$((h / 2))}]" info:)"
    case "$colour" in black | gray\(0\) | "srgb(0,0,0)") fail "the window's edge is $colour" ;; esac
    echo "ok: the window's edge is painted ($colour)"
}

case_sessionKeyboard() {
    start_server_and_app

    # A first session remembers the server's certificate ("始终接受"), then ends.
    start_app
    log_on
    local session
    answer_certificate Tab space
    close_window "$session"
    expect_end "$launcher_pid"

    # Keys typed right after Enter go to the session, and on to the remote side.
    start_app
    log_on
    xdotool type --delay 30 qzxj
    session="$(find_window 测试服务器)"
    expect_title "$session" 测试服务器
    expect_focus "$session" "the session window"
    expect_remote_keys qzxj
    expect_painted_edge "$session"
    screenshot "$session" session
    close_window "$session"
    expect_end "$launcher_pid"
}

# Without a window manager nobody hands the keyboard over: the session window takes it when
# it shows, and again when the certificate question closes.
case_sessionKeyboardBareX() {
    start_server_and_app
    start_app
    log_on
    local session
    answer_certificate Return
    xdotool type --delay 30 qzxj
    expect_remote_keys qzxj
    # The server goes away: after the reconnection attempts the lost link is explained, and
    # the program ends once the message is answered.
    "$source_dir/scripts/rdp-test-server" stop --state "$server_state" >/dev/null
    local lost
    lost="$(find_window 连接)"
    xdotool windowfocus --sync "$lost"
    xdotool key Return
    expect_end "$launcher_pid"
}

"case_$case_name"
