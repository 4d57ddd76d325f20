#!/bin/sh
# Runs a command on a private X server (Xvfb) under the openbox window
# manager, so window placement is tested as users see it. Exits 77, which
# ctest counts as skipped, when either cannot be started.
#   with_window_manager.sh WIDTHxHEIGHT COMMAND [ARGUMENTS...]
set -u
size=$1
shift

skip() {
    echo "SKIPPED: $*"
    exit 77
}

command -v Xvfb >/dev/null 2>&1 || skip "Xvfb is not installed (Debian package xvfb)"
command -v openbox >/dev/null 2>&1 || skip "openbox is not installed (Debian package openbox)"

work=$(mktemp -d) || skip "no temporary folder"
server=""
manager=""
cleanup() {
    [ -n "$manager" ] && kill "$manager" 2>/dev/null
    [ -n "$server" ] && kill "$server" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# Xvfb picks a free display itself and writes its number into the file.
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
server=$!
tries=0
while [ ! -s "$work/display" ]; do
    tries=$((tries + 1))
    if [ "$tries" -gt 100 ] || ! kill -0 "$server" 2>/dev/null; then
        cat "$work/xvfb.log"
        skip "the X server did not start"
    fi
    sleep 0.1
done
DISPLAY=":$(cat "$work/display")"
export DISPLAY

# openbox runs its start-up command once it manages the screen; the user's
# own openbox configuration stays out of the test.
XDG_CONFIG_HOME="$work/config" openbox --sm-disable --startup "touch $work/ready" >"$work/openbox.log" 2>&1 &
manager=$!
tries=0
while [ ! -e "$work/ready" ]; do
    tries=$((tries + 1))
    if [ "$tries" -gt 100 ] || ! kill -0 "$manager" 2>/dev/null; then
        cat "$work/openbox.log"
        skip "openbox did not start"
    fi
    sleep 0.1
done

# The leak checker of a sanitized build is told about libdbus's buffer only.
LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$(dirname "$0")/xcb-leaks.supp"
export LSAN_OPTIONS
QT_QPA_PLATFORM=xcb "$@"
status=$?
exit "$status"
