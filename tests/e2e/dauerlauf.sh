#!/usr/bin/env bash
# Soak: random keys and mouse on the real program under Xvfb for a while
# (games started, paused, aborted, won and lost, dialogues answered or left
# open), then checks that the program still runs and that its resident
# memory grew by less than 5 MB after the warm-up.
#
#   dauerlauf.sh [SEKUNDEN]     (default 600; CI runs a short one)
dauer=${1:-600}
quelle=${QUAMBEL_E2E_PROGRAMM:?}
arbeit=$(mktemp -d)
export XDG_RUNTIME_DIR=$arbeit/laufzeit HOME=$arbeit/heim QUAMBEL_E2E_BILDER=$arbeit
mkdir -m 700 "$XDG_RUNTIME_DIR" "$HOME"
cp "$quelle" "$arbeit/quambel"
export QUAMBEL_E2E_PROGRAMM=$arbeit/quambel
. "$(dirname "$0")/hilfen.sh"
trap 'aufräumen; rm -rf "$arbeit"' EXIT

rss() { awk '/^VmRSS:/ {print $2}' "/proc/$pid/status"; }
lebt() {
  kill -0 "$pid" 2>/dev/null && return 0
  wait "$pid"; local status=$?
  fehler "das Programm endete mit Status $status (Ausgabe: $(tail -n 5 "$arbeit/e2e-stderr.txt"))"
}

starte
haupt=$(warte_fenster "Quambel - F2 zum Starten drücken" 15)
# Everything a player may press, except what ends the program (Ctrl+Q, the
# quit button, and the close of the main window, all tested elsewhere): so
# no Tab, which could bring the focus to the quit button, and clicks only
# below the settings panel. Return and Escape answer
# whatever dialogue is open; F2 is weighted so that games keep starting.
tasten=(F2 F2 F2 F2 Escape Return Return Return space ctrl ctrl+p Left Right Left Right Up Down
        shift c F1 F12 ctrl+m ctrl+h F11 F3 alt+t alt+m alt+e)
RANDOM=4711
schritte=0
ende=$((SECONDS + dauer))
anfang_rss=""
warmlauf_ende=$((SECONDS + (dauer < 60 ? dauer / 4 : 30)))
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
  sleep 0.0$((RANDOM % 8))
done
lebt
end_rss=$(rss)
zuwachs=$((end_rss - ${anfang_rss:-$end_rss}))
echo "dauerlauf: $dauer s, $schritte Eingaben, RSS nach dem Aufwärmen ${anfang_rss} KiB, am Ende ${end_rss} KiB, Zuwachs ${zuwachs} KiB"
[ "$zuwachs" -lt 5120 ] || fehler "der Speicher wuchs um $zuwachs KiB"
echo "dauerlauf: gut"
