#!/usr/bin/env bash
# Screenshots of ondrel as a new user sees it, at three screen scales: Xvfb at
# 96, 144 and 192 DPI with the desktop's Xft.dpi set to match (1x, 1.5x, 2x),
# Debian's default fonts, the window at its minimum size on the simulated
# cards. At each scale: idle, during a polled AI run, the device settings
# dialog, and the graph settings dialog. Writes idle-1x.png, running-1x.png,
# settings-1x.png, graph-settings-1x.png and the same for 1.5x and 2x into the
# folder given (default build/screenshots).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = "--inside-xvfb" ]; then
  out=$2
  dpi=$3
  name=$4
  printf 'Xft.dpi:\t%s\n' "$dpi" | xrdb -nocpp -merge -
  build/release/bin/ondrel &
  app=$!
  trap 'kill $app 2>/dev/null || true' EXIT
  window=$(xdotool search --sync --onlyvisible --name '^Ondrel 2\.0$' | head -n 1)
  # Window-relative points measured at 96 DPI, scaled with the window.
  click() {
    xdotool mousemove --window "$window" $(($1 * dpi / 96)) $(($2 * dpi / 96)) click 1
  }
  sleep 1   # let the first frame paint
  import -window root "$out/idle-$name.png"
  # The AI switch, then Start.
  click 539 386
  click 704 300
  sleep 4   # four seconds of 100 ms polling on the chart
  import -window root "$out/running-$name.png"
  click 704 300
  # The two settings dialogs, each closed again with Escape.
  click 60 369
  sleep 1
  import -window root "$out/settings-$name.png"
  xdotool key Escape
  click 264 417
  sleep 1
  import -window root "$out/graph-settings-$name.png"
  xdotool key Escape
  exit 0
fi

out=${1:-build/screenshots}
mkdir -p "$out"
out=$(cd "$out" && pwd)
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target ondrel tickwell
unset QT_QPA_PLATFORM QT_SCALE_FACTOR
# -noreset: the X server keeps the Xft.dpi resource after xrdb disconnects.
for scale in 1x:96:1366x768 1.5x:144:2049x1152 2x:192:2732x1536; do
  IFS=: read -r name dpi screen <<<"$scale"
  xvfb-run -a -s "-noreset -screen 0 ${screen}x24 -dpi $dpi" "$0" --inside-xvfb "$out" "$dpi" "$name"
done
echo "Screenshots in $out: {idle,running,settings,graph-settings}-{1x,1.5x,2x}.png"
