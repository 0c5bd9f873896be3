#!/usr/bin/env bash
# Screenshots of ondrel as a new user sees it, at three screen scales: Xvfb at
# 96, 144 and 192 DPI with the desktop's Xft.dpi set to match (1x, 1.5x, 2x),
# Debian's default fonts, the window at its minimum size on the simulated
# cards. At each scale: idle, during a polled AI run, every dialog (device
# settings with their range dialog, device chooser and Fast AI tab; graph
# settings; Save As), then the saved project opened from the command line for
# replay, its Convert dialog and its overview. Writes <picture>-<scale>.png
# into the folder given (default build/screenshots).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = "--inside-xvfb" ]; then
  out=$2
  dpi=$3
  name=$4
  printf 'Xft.dpi:\t%s\n' "$dpi" | xrdb -nocpp -merge -
  # Points measured at 96 DPI, scaled with the window: in the window, and on
  # the screen for the dialogs, which Qt centres over the window.
  click() {
    xdotool mousemove --window "$window" $(($1 * dpi / 96)) $(($2 * dpi / 96)) click 1
  }
  clickscreen() {
    xdotool mousemove $(($1 * dpi / 96)) $(($2 * dpi / 96)) click 1
  }
  # At home in the screenshots folder, where Save As offers to save.
  export HOME=$out
  build/release/bin/ondrel &
  app=$!
  trap 'kill $app 2>/dev/null || true' EXIT
  window=$(xdotool search --sync --onlyvisible --name '^Ondrel 2\.0$' | head -n 1)
  sleep 1   # let the first frame paint
  import -window root "$out/idle-$name.png"
  # The AI switch, AI Save2Disk, then Start.
  click 539 386
  click 26 401
  click 704 300
  sleep 4   # four seconds of 100 ms polling on the chart
  import -window root "$out/running-$name.png"
  click 704 300
  # The device settings, with their range dialog, device chooser and Fast AI
  # tab, each closed again with Escape; then the graph settings.
  click 60 369
  sleep 1
  import -window root "$out/settings-$name.png"
  clickscreen 282 387
  sleep 1
  import -window root "$out/ranges-$name.png"
  xdotool key Escape
  clickscreen 246 85
  sleep 1
  import -window root "$out/device-chooser-$name.png"
  xdotool key Escape
  clickscreen 128 24
  sleep 1
  import -window root "$out/fast-ai-$name.png"
  xdotool key Escape
  click 264 417
  sleep 1
  import -window root "$out/graph-settings-$name.png"
  xdotool key Escape
  # Save As offers its folder dialog; the recording goes into a new folder.
  click 704 350
  # The folder tree can take a while to list: wait for the dialog itself.
  timeout 20 xdotool search --sync --onlyvisible --name '^Save As$' >/dev/null || true
  sleep 1
  import -window root "$out/save-as-$name.png"
  clickscreen 370 427
  xdotool type "project-$name"
  xdotool key Return
  sleep 2
  kill $app
  wait $app || true
  # The saved folder opened from the command line, replayed, and Convert.
  build/release/bin/ondrel "$out/project-$name" &
  app=$!
  window=$(xdotool search --sync --onlyvisible --name '^Ondrel 2\.0$' | head -n 1)
  sleep 2
  import -window root "$out/history-$name.png"
  click 586 313
  timeout 20 xdotool search --sync --onlyvisible --name '^Convert$' >/dev/null || true
  sleep 1
  import -window root "$out/convert-$name.png"
  xdotool key Escape
  # The chart's pop-up menu, its last item "Overview...": the overview opens
  # beside the window.
  sleep 1
  xdotool mousemove --window "$window" $((400 * dpi / 96)) $((150 * dpi / 96)) click 3
  sleep 1
  xdotool key Up Return
  sleep 2
  import -window root "$out/overview-$name.png"
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
rm -rf "$out"/project-*
for scale in 1x:96:1366x768 1.5x:144:2049x1152 2x:192:2732x1536; do
  IFS=: read -r name dpi screen <<<"$scale"
  xvfb-run -a -s "-noreset -screen 0 ${screen}x24 -dpi $dpi" "$0" --inside-xvfb "$out" "$dpi" "$name"
done
echo "Screenshots in $out: {idle,running,settings,ranges,device-chooser,fast-ai,graph-settings,save-as,history,convert,overview}-{1x,1.5x,2x}.png"
