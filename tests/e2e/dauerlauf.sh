#!/usr/bin/env bash
# Soak: random keys and mouse on the real program under Xvfb for a while
# (games started, paused, aborted, won and lost, dialogues answered or left
# open): the program must never end but by a clean quit. Its memory over a
# long run is measured by the soak harness in bench/qt, not asserted here.
#
#   dauerlauf.sh [SEKUNDEN]     (default 600; CI runs a short one)
dauer=${1:-600}
. "$(dirname "$0")/hilfen.sh"
eigener_ordner
# A quit is a player's right (the panel's buttons take the arrow keys and
# Return too): then the program must have ended cleanly, and it is started
# again. Anything but a clean end is a failure.
lebt() {
  kill -0 "$pid" 2>/dev/null && return 0
  warte_ende || fehler "das Programm endete mit Status $? (Ausgabe: $(tail -n 5 "$arbeit/e2e-stderr.txt"))"
  starte
}
starte
# Everything a player may press, except the direct ways out (Ctrl+Q, the
# quit button, the close of the main window, all tested elsewhere): so no
# Tab and clicks only below the settings panel. A quit that still happens
# (arrow keys move the focus between the panel's buttons) restarts it. Return and Escape answer
# whatever dialogue is open; F2 is weighted so that games keep starting.
tasten=(F2 F2 F2 F2 Escape Return Return Return space ctrl ctrl+p Left Right Left Right Up Down
        shift c F1 F12 ctrl+m ctrl+h F11 F3 alt+t alt+m alt+e)
RANDOM=4711
ende=$((SECONDS + dauer))
while [ $SECONDS -lt $ende ]; do
  case $((RANDOM % 10)) in
    0|1|2|3|4) xdotool key --clearmodifiers "${tasten[RANDOM % ${#tasten[@]}]}" 2>/dev/null || true ;;
    5|6) xdotool mousemove $((20 + RANDOM % 390)) $((280 + RANDOM % 200)) 2>/dev/null || true ;;
    7) xdotool mousemove $((20 + RANDOM % 390)) $((280 + RANDOM % 200)) click $((RANDOM % 2 ? 1 : 3)) 2>/dev/null || true ;;
    8) xdotool keydown ctrl; sleep 0.$((RANDOM % 5)); xdotool keyup ctrl ;;
    9) xdotool keydown Left; sleep 0.$((RANDOM % 4)); xdotool keyup Left ;;
  esac
  # The high-score window asks before it clears the list; never let that
  # question or a name dialogue sit forever.
  if sichtbar "Highscoreliste"; then xdotool key Escape; fi
  lebt
  sleep 0.0$((RANDOM % 8))
done
lebt
echo "dauerlauf: $dauer s ohne Absturz"
