#!/usr/bin/env bash
# The real program on a desktop with a window manager (run it through run-on-desktop.sh):
# what the desktop shows as each window's title, what its close requests do, which window
# holds the keyboard after each step, and a screenshot of each window (frame included) in
# OUT_DIR.
#   desktop-cases.sh CASE LAUNCHER MODULE RDP_STORE SOURCE_DIR OUT_DIR
# Cases: loginClose, firstUseQuestionClose, setupClose, sessionKeyboard, and
# sessionKeyboardBareX for a display without a window manager; the screens users sit at:
# scaledBy2, scaledBy125, twoMonitors, smallScreen, darkPaletteLargeFont.
# Ends only the processes it started.
set -euo pipefail
case_name="$1"
launcher="$2"
module="$3"
store_tool="$4"
source_dir="$5"
out_dir="$6"

# shellcheck source=../support/fail-with-logs.sh
. "$source_dir/tests/support/fail-with-logs.sh"
# shellcheck source=../support/shell-cases.sh
. "$source_dir/tests/support/shell-cases.sh"
open_case_work
export XDG_STATE_HOME="$work/state" XDG_CONFIG_HOME="$work/config"

# Polls "$@" every tenth of a second, for at most 20 seconds; until_true_for N polls N times.
until_true() { until_true_for 200 "$@"; }
until_true_for() {
    local n="$1"
    shift
    for _ in $(seq "$n"); do
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
has_window() { ! no_window "$1"; }

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

    # Keys typed right after Enter (the session usually still connecting) go to the session
    # and on to the remote side once it is up. (They are typed once the window manager has
    # given the new window the keyboard: a key sent within milliseconds of Enter can reach
    # no window at all while the login window is already unmapped and the session window
    # not yet focused.)
    start_app
    log_on
    session="$(find_window 测试服务器)"
    expect_focus "$session" "the session window"
    xdotool type --delay 30 qzxj
    expect_title "$session" 测试服务器
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
    # (the attempts are spread over about 90 seconds, so that a short outage is outlasted)
    local lost
    until_true_for 1500 has_window 连接 || fail "the lost-link message did not appear"
    lost="$(window_id 连接)"
    xdotool windowfocus --sync "$lost"
    xdotool key Return
    expect_end "$launcher_pid"
}

# ---- Screens users sit at: scaled, two monitors, small, a dark palette with a large font.
# Each case's screen comes with it (RDP_DESKTOP_SCREEN); every figure a case measures is
# printed as "measured: ..." for the record.

measured() { echo "measured: $*"; }

# The scale the desktop asks for, as a desktop sets it: the X resource Qt reads at start.
set_dpi() { xrdb -nocpp -merge <<<"Xft.dpi: $1"; }

# The client area's position and size on the screen (device pixels): sets cx cy cw ch.
client_area() {
    local info
    info="$(xwininfo -id "$1")"
    cx="$(sed -n 's/^ *Absolute upper-left X: *//p' <<<"$info")"
    cy="$(sed -n 's/^ *Absolute upper-left Y: *//p' <<<"$info")"
    cw="$(sed -n 's/^ *Width: //p' <<<"$info")"
    ch="$(sed -n 's/^ *Height: //p' <<<"$info")"
}

# The frame's position and size: sets fx fy fw fh.
frame_area() {
    local l r t b
    client_area "$1"
    read -r l r t b <<<"$(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')"
    fx=$((cx - l)) fy=$((cy - t)) fw=$((cw + l + r)) fh=$((ch + t + b))
}

# A loopback peer that prints what each client asks for (desktop size, scale factors).
start_request_peer() {
    winpr-makecert -silent -rdp -path "$work" peer >/dev/null
    peer_port=$((${RDP_DESKTOP_PORT:-36400} + 5))
    stdbuf -oL "$RDP_REQUEST_PEER" "$peer_port" "$work/peer.crt" "$work/peer.key" \
        >"$work/peer.log" 2>&1 &
    pids+=($!)
    until_true grep -q listening "$work/peer.log" || fail "the request peer did not listen"
}
peer_request() { sed -n 's/^request //p' "$work/peer.log" | tail -n 1; }
requests() { grep -c '^request ' "$work/peer.log" || true; }
# A request beyond the $1 the peer had told of.
has_request() { [ "$(requests)" -gt "${1:-0}" ]; }

# The program asks the peer for a session with size code $1 (peer_request then tells what),
# its login window first moved to ($2, $3) when they are given.
request_of_code() {
    rm -f "$app/WinEx.DLL"
    make_app --name 请求 --server 127.0.0.1 --port "$peer_port" --user peer --size "$1"
    local before login certificate
    before="$(requests)"
    start_app
    login="$(find_window 连接登录)"
    [ $# -lt 3 ] || { xdotool windowmove --sync "$login" "$2" "$3"; sleep 0.5; }
    server_password=any-password log_on >/dev/null
    certificate="$(find_window 服务器证书)"
    expect_focus "$certificate" "the certificate question" >/dev/null
    xdotool key Return
    until_true has_request "$before" || fail "the peer got no request"
    close_window "$(find_window 请求)"
    expect_end "$launcher_pid" >/dev/null
}

# The loopback shadow server with a screen of $1 and a copy of the program whose one
# connection (size code $2) goes to it.
start_sized_server() {
    start_test_server "$source_dir" --state "$server_state" --port "${RDP_DESKTOP_PORT:-36400}" \
        --size "$1"
    # Something on the remote screen to see in the screenshots.
    DISPLAY="$server_display" xclock -update 1 -geometry 300x300+100+100 >/dev/null 2>&1 &
    pids+=($!)
    rm -f "$app/WinEx.DLL"
    make_app --name 测试服务器 --server 127.0.0.1 --port "$server_port" --user "$server_user" \
        --size "$2"
}
server_log_size() {
    sed -n 's/.*Client from .* is activated (\([0-9]*x[0-9]*\)@.*/\1/p' \
        "$server_state/shadow.log" | tail -n 1
}
activated() { [ -n "$(server_log_size)" ]; }

# Logs on to the shadow server and waits for its picture; sets $session.
open_session() {
    start_app
    log_on
    answer_certificate Return
    until_true activated || fail "the server saw no client"
    sleep 2 # the first full picture
}

# Where the server's pointer is: sets sx sy.
server_pointer() {
    eval "$(DISPLAY="$server_display" xdotool getmouselocation --shell | sed -n 's/^X=/sx=/p; s/^Y=/sy=/p')"
}

# Points at picture pixel ($1, $2) (the control's top-left corner is the client area's) and
# clicks: the server's pointer must be on that very pixel.
expect_click_lands() {
    client_area "$session"
    xdotool mousemove "$((cx + $1))" "$((cy + $2))" click 1
    local tries=0
    while server_pointer && [ "$sx,$sy" != "$1,$2" ] && [ $tries -lt 30 ]; do
        sleep 0.1
        tries=$((tries + 1))
    done
    measured "pointer at picture pixel ($1,$2) -> server ($sx,$sy), error ($((sx - $1)),$((sy - $2)))"
    [ "$sx,$sy" = "$1,$2" ] || fail "the click landed on ($sx,$sy), not ($1,$2)"
    echo "ok: the click lands on the pixel under the pointer"
}

# The colour of client-area pixel ($2, $3) of window $1.
pixel_at() {
    import -window "$1" "$work/shot.png" 2>/dev/null
    convert "$work/shot.png" -format "%[pixel:p{$2,$3}]" info:
}
is_white() { case "$1" in white | "srgb(255,255,255)" | "gray(255)") return 0 ;; esac; return 1; }

# The program asks for what $2 says with size code $1.
expect_request() {
    request_of_code "$1"
    local asked
    asked="$(peer_request)"
    measured "Xft.dpi $dpi, code $1: asked for $asked"
    [ "$asked" = "$2" ] || fail "code $1 asked for \"$asked\", not \"$2\""
    echo "ok: code $1 asks for $2"
}

# A scaled screen ($1 dpi, ratio $2 as "N/D"): the desktop asked for in device pixels with the
# scale factors (codes 0 and 4 as $4 and $5 say: the monitor's device size less the frame's
# room), the server's picture of that size filling the control, clicks on target.
scaled_case() {
    local dpi="$1" num="${2%/*}" den="${2#*/}" name="$3"
    set_dpi "$dpi"
    local w=$((1024 * num / den)) h=$((768 * num / den)) factor=$((100 * num / den))
    start_request_peer
    expect_request 2 "${w}x${h} scale ${factor}/100"
    expect_request 0 "$4 scale ${factor}/100"
    expect_request 4 "$5 scale ${factor}/100"

    start_sized_server "${w}x${h}" 2
    open_session
    frame_area "$session"
    measured "window ${fw}x${fh} (client ${cw}x${ch}) device pixels"
    # The picture fills the control: the server's white screen near its far corner.
    local colour
    colour="$(pixel_at "$session" $((w * 9 / 10)) $((h * 9 / 10)))"
    is_white "$colour" || fail "the picture does not reach its far corner ($colour there)"
    echo "ok: the picture fills the control"
    # Where the status panel's text was, only the remote screen (white) is left.
    local darkest
    darkest="$(convert "$work/shot.png" -crop "300x80+$((cw / 2 - 150))+$((ch / 2 - 40))" \
        -format "%[fx:minima]" info:)"
    [ "$darkest" = 1 ] || fail "something is left where the status panel was (darkest $darkest)"
    echo "ok: the status panel left nothing behind"
    expect_click_lands 601 401
    expect_click_lands $((w - 40)) $((h - 40))
    import -window "$session" -frame "$out_dir/desktop-$name.png" 2>/dev/null || true
    close_window "$session"
    expect_end "$launcher_pid"
}

case_scaledBy2() { scaled_case 192 2/1 scaled-by-2 3836x2100 3836x2084; }
case_scaledBy125() { scaled_case 120 5/4 scaled-by-125 1918x1042 1918x1032; }

# Two 1920 x 1080 monitors side by side; the login window dragged to the right one: the
# session (code 0) opens there, the size of that monitor, and asks for that monitor's size.
log_on_right_monitor() {
    start_app
    local login
    login="$(find_window 连接登录)"
    xdotool windowmove --sync "$login" 2600 400
    sleep 0.5
    log_on
}
case_twoMonitors() {
    # The screen's one output belongs to the left monitor; the right one has none.
    xrandr --setmonitor left 1920/508x1080/286+0+0 screen >/dev/null
    xrandr --setmonitor right 1920/508x1080/286+1920+0 none >/dev/null
    measured "monitors: $(xrandr --listmonitors | tail -n +2 | awk '{print $3}' | tr '\n' ' ')"
    start_request_peer
    request_of_code 0 2600 400
    measured "code 0 on the right monitor: asked for $(peer_request)"
    [ "$(peer_request)" = "1918x1050 scale 0/0" ] || fail "asked for $(peer_request)"

    start_sized_server 1920x1080 0
    log_on_right_monitor
    answer_certificate Return
    until_true activated || fail "the server saw no client"
    sleep 2
    frame_area "$session"
    measured "code 0: frame ${fw}x${fh} at ($fx,$fy)"
    [ "$fx" -eq 1920 ] && [ "$fy" -eq 0 ] || fail "the session window is at ($fx,$fy), not (1920,0)"
    [ "$fw" -eq 1920 ] && [ "$fh" -eq 1080 ] || fail "the session window is ${fw}x${fh}"
    echo "ok: the session fills the login window's monitor"
    expect_click_lands 601 401
    import -window root -resize 50% "$out_dir/desktop-two-monitors.png" 2>/dev/null || true
    close_window "$session"
    expect_end "$launcher_pid"

    # Code 4 (the frame's room added) stays on that monitor too.
    rm -f "$app/WinEx.DLL"
    make_app --name 测试服务器 --server 127.0.0.1 --port "$server_port" --user "$server_user" \
        --size 4
    log_on_right_monitor
    answer_certificate Return
    sleep 1
    frame_area "$session"
    measured "code 4: frame ${fw}x${fh} at ($fx,$fy)"
    [ "$fx" -eq 1920 ] && [ "$fy" -eq 0 ] && [ "$fw" -eq 1920 ] && [ "$fh" -eq 1080 ] ||
        fail "code 4's window is ${fw}x${fh} at ($fx,$fy)"
    echo "ok: code 4 stays on the login window's monitor"
    close_window "$session"
    expect_end "$launcher_pid"
}

# A 1366 x 768 laptop screen, code 1 (1280 x 768): the window stays on the screen and the
# control's scroll bars bring the remote desktop's last row into reach.
case_smallScreen() {
    start_request_peer
    request_of_code 1
    measured "code 1 on 1366x768: asked for $(peer_request)"
    start_sized_server 1280x768 1
    open_session
    frame_area "$session"
    measured "code 1 on 1366x768: frame ${fw}x${fh} at ($fx,$fy)"
    [ "$fy" -ge 0 ] && [ $((fy + fh)) -le 768 ] && [ $((fx + fw)) -le 1366 ] ||
        fail "the window reaches past the screen"
    # The vertical bar's slider dragged down past the bar's end: scrolled to the bottom.
    local bar_x=$((cx + cw - 8)) i lowest=0
    xdotool mousemove "$bar_x" "$((cy + ch / 2))" mousedown 1 sleep 0.2 \
        mousemove "$bar_x" "$((cy + ch + 100))" sleep 0.2 mouseup 1
    for i in $(seq 0 40); do
        xdotool mousemove "$((cx + 100))" "$((cy + ch - 1 - i))"
        sleep 0.05
        server_pointer
        [ "$sy" -gt "$lowest" ] && lowest="$sy"
    done
    measured "lowest server row reached: $lowest"
    [ "$lowest" -eq 767 ] || fail "the lowest row reached is $lowest, not 767"
    echo "ok: the remote desktop's last row is in reach"
    screenshot "$session" small-screen
    close_window "$session"
    expect_end "$launcher_pid"
}

# The contrast ratio (x100) between the darkest and the lightest pixel of a region
# ("WxH+X+Y") of a screenshot.
contrast_of() {
    convert "$1" -crop "$2" -colorspace LinearGray -format "%[fx:int(100*(maxima+0.05)/(minima+0.05))]" info:
}

# A desktop with a dark palette and a 14 pt font (set through the qt6ct platform theme): the
# login window's captions stay dark on its light artwork and the setup window keeps its
# layout; both screenshots kept.
case_darkPaletteLargeFont() {
    mkdir -p "$XDG_CONFIG_HOME/qt6ct"
    cat >"$XDG_CONFIG_HOME/qt6ct/qt6ct.conf" <<'CONF'
[Appearance]
custom_palette=true
color_scheme_path=/usr/share/qt6ct/colors/darker.conf
style=Fusion
[Fonts]
fixed="Noto Sans Mono CJK SC,14,-1,5,400,0,0,0,0,0,0,0,0,0,0,1"
general="Noto Sans CJK SC,14,-1,5,400,0,0,0,0,0,0,0,0,0,0,1"
CONF
    make_app "${two_connections[@]}"
    QT_QPA_PLATFORMTHEME=qt6ct start_app
    local login setup ratio
    login="$(find_window 连接登录)"
    expect_focus "$login" "the login window"
    sleep 1 # the theme applies its palette and font once the program runs
    import -window "$login" "$out_dir/desktop-dark-login.png" 2>/dev/null
    # "用户" at 1770, 1530 twips: 118, 102 pixels.
    ratio="$(contrast_of "$out_dir/desktop-dark-login.png" 28x16+118+100)"
    measured "login caption 用户: contrast $((ratio / 100)).$((ratio % 100)):1"
    [ "$ratio" -ge 450 ] || fail "the caption's contrast is $ratio/100"
    xdotool mousemove --window "$login" 377 203 click 1 # "设置  >>"
    setup="$(find_window 连接设置)"
    expect_setup_geometry "$setup"
    screenshot "$setup" dark-setup
    close_window "$setup"
    expect_focus "$login" "the login window"
    close_window "$login"
    expect_end "$launcher_pid"
}

"case_$case_name"
