#!/usr/bin/env bash
# Shows what a test run left behind on the machine, so that the tests leave it as they found it.
#   machine-check.sh before DIR   # before the tests: notes the moment in DIR
#   machine-check.sh after DIR    # after them: lists what they left; fails when anything
# What counts: a process still running that carries this run's mark (RDP_TEST_RUN in its
# environment, which every process the tests start inherits unless they clear it), and a
# file changed since "before" in the real home of the user running the tests (whatever HOME
# says) or under /etc, except the user database files, which the xrdp cases change once to
# create their local test user. The checkout itself is not looked at.
set -euo pipefail
mode="${1:-}"
dir="${2:-}"
[ -n "$dir" ] || { sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//'; exit 2; }

# (Run without the mark itself: test.sh passes it as RDP_TEST_MARK.)
marked_processes() {
    local environ pid
    for environ in $(grep -lxzF "RDP_TEST_RUN=$RDP_TEST_MARK" /proc/[0-9]*/environ 2>/dev/null); do
        pid="${environ#/proc/}"
        # (a process that ended and waits only for its parent to notice is gone)
        ps -o stat=,pid=,user=,args= -p "${pid%/environ}" 2>/dev/null | grep -v '^Z' || true
    done
}

changed_files() {
    local home checkout
    home="$(getent passwd "$(id -u)" | cut -d: -f6)"
    checkout="$(cd "$(dirname "$0")/.." && pwd -P)"
    # (A compiler cache the build may use is not the tests' doing.)
    find "$home" /etc -xdev \( -path "$checkout" -o -path "$home/.cache/ccache" \) -prune -o \
        -newer "$dir/stamp" \
        \( -type f -o -type d -o -type l \) -print 2>/dev/null |
        grep -vxE "$home|/etc|/etc/(passwd|shadow|group|gshadow|subuid|subgid)-?|/etc/\.pwd\.lock" ||
        true
}

case "$mode" in
before)
    mkdir -p "$dir"
    touch "$dir/stamp"
    ;;
after)
    [ -n "${RDP_TEST_MARK:-}" ] || { echo "machine-check: RDP_TEST_MARK is not set" >&2; exit 2; }
    # Processes the tests ended may still be on their way out.
    for _ in $(seq 20); do
        [ -z "$(marked_processes)" ] && break
        sleep 0.5
    done
    left="$(marked_processes)"
    changed="$(changed_files)"
    [ -z "$left" ] && [ -z "$changed" ] && { echo "machine-check: nothing left behind"; exit 0; }
    [ -z "$left" ] || printf 'machine-check: processes the tests left running:\n%s\n' "$left"
    [ -z "$changed" ] || printf 'machine-check: files the tests changed:\n%s\n' "$changed"
    exit 1
    ;;
*)
    echo "machine-check: before or after?" >&2
    exit 2
    ;;
esac
