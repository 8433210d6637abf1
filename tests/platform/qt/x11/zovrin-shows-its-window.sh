#!/usr/bin/env bash
# zovrin-shows-its-window.sh ZOVRIN
# Run on an X server with a window manager (with-xvfb.sh): the main program shows its main
# window, mapped and captioned "Zovrin", and exits with 0 once the window manager closes it.
set -u
zovrin="$1"
if [ -z "${ZV_TEST_WINDOW_MANAGER:-}" ] || ! command -v xdotool >/dev/null 2>&1; then
  echo "no window manager or no xdotool: skipped"
  exit 77
fi

# Up to 20 seconds each way: a sanitized build on a loaded machine starts and stops slowly.
"$zovrin" &
app=$!
window=""
for _ in $(seq 400); do
  window="$(xdotool search --onlyvisible --name '^Zovrin$' 2>/dev/null | head -n 1)"
  [ -n "$window" ] && break
  kill -0 "$app" 2>/dev/null || break
  sleep 0.05
done
if [ -z "$window" ]; then
  echo "FAIL: no visible window named Zovrin appeared"
  kill "$app" 2>/dev/null
  exit 1
fi
xwininfo -id "$window" | grep -E 'Width|Height|Map State'

# Alt+F4 asks the window manager to close the window; on a loaded machine a key sent while the
# window manager is still busy with the new window can be lost, so ask again, a few times.
for _ in 1 2 3 4; do
  xdotool windowactivate --sync "$window" key alt+F4 2>/dev/null
  for _ in $(seq 100); do
    kill -0 "$app" 2>/dev/null || break
    sleep 0.05
  done
  kill -0 "$app" 2>/dev/null || break
done
if kill -0 "$app" 2>/dev/null; then
  echo "FAIL: the program kept running after its main window was closed"
  kill "$app"
  exit 1
fi
wait "$app"
status=$?
echo "closed by the window manager; exit status $status"
exit "$status"
