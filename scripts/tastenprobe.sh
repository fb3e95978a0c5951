#!/usr/bin/env bash
# Gehaltenes Feuer unter echten X-Ereignissen: hält RUNDEN mal die Pfeiltaste
# nach oben 3 s lang (X-Autorepeat an, wie Xvfb es vorgibt) und druckt je
# Runde die Schüsse. Die Regeln geben einen Schuss je sieben 30-ms-Takte: 15.
#
#   scripts/tastenprobe.sh BAUORDNER [SKALA] [RUNDEN] [LASTSCHLEIFEN]
#
# LASTSCHLEIFEN Endlosschleifen laufen daneben (Last auf allen Kernen).
set -euo pipefail
bau=$1 skala=${2:-1} runden=${3:-4} last=${4:-0}
ordner=$(mktemp -d)
export XDG_RUNTIME_DIR=$ordner HOME=$ordner
mkfifo "$ordner/nummer"
Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 1280x1100x24 3>"$ordner/nummer" 2>/dev/null &
xvfb=$!
read -r anzeige <"$ordner/nummer"
export DISPLAY=:$anzeige
QT_SCALE_FACTOR=$skala "$bau/bench/qt/quambel_tastenprobe" 2>/dev/null &
probe=$!
lasten=()
trap 'kill "$probe" "${lasten[@]}" "$xvfb" 2>/dev/null; rm -rf "$ordner"' EXIT
for _ in $(seq 100); do
  fenster=$(xdotool search --onlyvisible --name "^Quambel - F2" 2>/dev/null | head -1) && [ -n "$fenster" ] && break
  sleep 0.1
done
for _ in $(seq "$last"); do (while :; do :; done) & lasten+=($!); done
for _ in $(seq "$runden"); do
  xdotool windowfocus --sync "$fenster"; xdotool key F2; sleep 0.5
  xdotool keydown Up; sleep 3; xdotool keyup Up; sleep 0.5
  xdotool key Escape; sleep 0.5; xdotool key Return; sleep 0.5
done
