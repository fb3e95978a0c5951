#!/usr/bin/env bash
# Soak: random keys and mouse on the real program under Xvfb for a while
# (games started, paused, aborted, won and lost, dialogues answered or left
# open), then checks that the program still runs and that its resident
# memory grew by less than 5 MB after the warm-up.
#
#   dauerlauf.sh [SEKUNDEN]     (default 600; CI runs a short one)
dauer=${1:-600}
. "$(dirname "$0")/hilfen.sh"
eigener_ordner

rss() { awk '/^VmRSS:/ {print $2}' "/proc/$pid/status"; }
# A quit is a player's right (the panel's buttons take the arrow keys and
# Return too): then the program must have ended cleanly, and it is started
# again. Anything but a clean end is a failure. Memory is compared within one
# process's life, after its warm-up.
neustarts=0 max_zuwachs=0 warm=$((dauer < 60 ? dauer / 4 : 30))
neu() {
  starte
  warte_fenster "Quambel - F2 zum Starten drücken" 15 >/dev/null
  anfang_rss="" warmlauf_ende=$((SECONDS + warm))
}
lebt() {
  if [ -n "$anfang_rss" ] && [ $((letzte_rss - anfang_rss)) -gt "$max_zuwachs" ]; then max_zuwachs=$((letzte_rss - anfang_rss)); fi
  kill -0 "$pid" 2>/dev/null && return 0
  wait "$pid"; local status=$?
  [ "$status" -eq 0 ] || fehler "das Programm endete mit Status $status (Ausgabe: $(tail -n 5 "$arbeit/e2e-stderr.txt"))"
  neustarts=$((neustarts + 1))
  neu
}
neu
# Everything a player may press, except the direct ways out (Ctrl+Q, the
# quit button, the close of the main window, all tested elsewhere): so no
# Tab and clicks only below the settings panel. A quit that still happens
# (arrow keys move the focus between the panel's buttons) restarts it. Return and Escape answer
# whatever dialogue is open; F2 is weighted so that games keep starting.
tasten=(F2 F2 F2 F2 Escape Return Return Return space ctrl ctrl+p Left Right Left Right Up Down
        shift c F1 F12 ctrl+m ctrl+h F11 F3 alt+t alt+m alt+e)
RANDOM=4711
schritte=0
ende=$((SECONDS + dauer))
while [ $SECONDS -lt $ende ]; do
  case $((RANDOM % 10)) in
    0|1|2|3|4) xdotool key --clearmodifiers "${tasten[RANDOM % ${#tasten[@]}]}" 2>/dev/null || true ;;
    5|6) xdotool mousemove $((20 + RANDOM % 390)) $((280 + RANDOM % 200)) 2>/dev/null || true ;;
    7) xdotool mousemove $((20 + RANDOM % 390)) $((280 + RANDOM % 200)) click $((RANDOM % 2 ? 1 : 3)) 2>/dev/null || true ;;
    8) xdotool keydown ctrl; sleep 0.$((RANDOM % 5)); xdotool keyup ctrl ;;
    9) xdotool keydown Left; sleep 0.$((RANDOM % 4)); xdotool keyup Left ;;
  esac
  schritte=$((schritte + 1))
  # The high-score window asks before it clears the list; never let that
  # question or a name dialogue sit forever.
  if sichtbar "Highscoreliste"; then xdotool key Escape; fi
  lebt
  if [ -z "$anfang_rss" ] && [ $SECONDS -ge $warmlauf_ende ]; then anfang_rss=$(rss); fi
  letzte_rss=$(rss 2>/dev/null || echo "${letzte_rss:-0}")
  sleep 0.0$((RANDOM % 8))
done
lebt
echo "dauerlauf: $dauer s, $schritte Eingaben, $neustarts Neustarts nach Beenden, größter Speicherzuwachs nach dem Aufwärmen ${max_zuwachs} KiB"
[ "$max_zuwachs" -lt 5120 ] || fehler "der Speicher wuchs um $max_zuwachs KiB"
echo "dauerlauf: gut"
