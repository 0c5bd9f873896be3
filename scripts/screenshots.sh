#!/usr/bin/env bash
# Screenshots of ondrel as a new user sees it: Xvfb at 96 DPI, Debian's default
# fonts, the window at its minimum size on the simulated cards, once idle and
# once during a polled AI run, and the device and graph settings dialogs.
# Writes idle.png, running.png, settings.png and graph-settings.png into the
# folder given (default build/screenshots).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = "--inside-xvfb" ]; then
  out=$2
  build/release/bin/ondrel &
  app=$!
  trap 'kill $app 2>/dev/null || true' EXIT
  window=$(xdotool search --sync --onlyvisible --name '^Ondrel 2\.0$' | head -n 1)
  click() { xdotool mousemove --window "$window" "$1" "$2" click 1; }
  sleep 1   # let the first frame paint
  import -window root "$out/idle.png"
  # Window-relative centres at the minimum size and 96 DPI: the AI switch, then Start.
  click 539 386
  click 704 300
  sleep 4   # four seconds of 100 ms polling on the chart
  import -window root "$out/running.png"
  click 704 300
  # The two settings dialogs, each closed again with Escape.
  click 60 369
  sleep 1
  import -window root "$out/settings.png"
  xdotool key Escape
  click 264 417
  sleep 1
  import -window root "$out/graph-settings.png"
  xdotool key Escape
  exit 0
fi

out=${1:-build/screenshots}
mkdir -p "$out"
out=$(cd "$out" && pwd)
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target ondrel tickwell
xvfb-run -a -s '-screen 0 1280x1024x24 -dpi 96' "$0" --inside-xvfb "$out"
echo "Screenshots in $out: idle.png running.png settings.png graph-settings.png"
