#!/usr/bin/env bash
# with-xvfb.sh PROGRAM [ARGS...]
# Runs a test program on a private X server (Xvfb, no backing store, so that a covered window
# must repaint) with Qt's xcb platform and, when installed, the openbox window manager, then
# stops both. Exits 77 (CTest: skipped) when no X server can be started here.
set -u
program="$1"
shift

if ! command -v Xvfb >/dev/null 2>&1; then
  echo "Xvfb is not installed: the windowed tests are skipped"
  exit 77
fi

work="$(mktemp -d)"
cleanup() {
  [ -n "${wm:-}" ] && kill "$wm" 2>/dev/null
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# -displayfd picks a free display and writes its number once the server accepts clients.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -bs -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  kill -0 "$xvfb" 2>/dev/null || break
  sleep 0.05
done
display="$(head -n 1 "$work/display" 2>/dev/null)"
if [ -z "$display" ]; then
  echo "Xvfb did not start: the windowed tests are skipped"
  cat "$work/xvfb.log"
  exit 77
fi
export DISPLAY=":$display" QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY

# ZV_TEST_BARE_X=1: no window manager, as on a bare X server.
if [ -z "${ZV_TEST_BARE_X:-}" ] && command -v openbox >/dev/null 2>&1; then
  HOME="$work" openbox --sm-disable >"$work/wm.log" 2>&1 &
  wm=$!
  # Ready once it names itself on the root window.
  for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
  done
  export ZV_TEST_WINDOW_MANAGER=openbox
fi

"$program" "$@"
exit $?
