#!/usr/bin/env bash
# Glatte Bilder, gefilmt: spielt je Skala mit dem Bot des Dauerlaufs und lässt
# quambel_bildspur das Spielfeld etwa 60-mal je Sekunde vom X-Server greifen und
# Ball für Ball verfolgen (Rücksprünge, verschwundene und angeschnittene Bälle,
# Reste). Druckt je Skala eine Tabellenzeile; docs/BILDER.md erklärt sie.
#
#   scripts/bildspur.sh BAUORDNER [SEKUNDEN] [SKALEN...]
#
# Vorgabe: 60 s je Skala, Skalen 1 1.5 2. BILDSPUR_PROGRAMM=PFAD nimmt einen
# anderen quambel_dauerlauf (etwa den Bau eines älteren Stands); der Spurleser
# bleibt der aus BAUORDNER. BILDSPUR_AUSFUEHRLICH=1 listet jeden Befund.
set -euo pipefail
bau=$1 sekunden=${2:-60}
shift $(( $# >= 2 ? 2 : 1 ))
skalen=("$@")
[ ${#skalen[@]} -gt 0 ] || skalen=(1 1.5 2)
spur="$bau/bench/x11/quambel_bildspur"
programm=${BILDSPUR_PROGRAMM:-$bau/bench/qt/quambel_dauerlauf}
ausfuehrlich=()
[ "${BILDSPUR_AUSFUEHRLICH:-0}" = 1 ] && ausfuehrlich=(-v)

ordner=$(mktemp -d)
pids=()
aufraeumen() { kill "${pids[@]}" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$ordner"; }
trap aufraeumen EXIT
export XDG_RUNTIME_DIR=$ordner HOME=$ordner
# Kein Tonserver: die Musik läuft stumm auf der Uhr, das Bild ist dasselbe.
export PULSE_SERVER=unix:$ordner/kein-tonserver

erste=1
for skala in "${skalen[@]}"; do
  mkfifo "$ordner/nummer"
  # Groß genug für Skala 2 (852 x 1000); -noreset, damit der Server nicht
  # zurücksetzt, wenn sein letzter Klient geht.
  Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 1280x1100x24 3>"$ordner/nummer" 2>/dev/null &
  xvfb=$!
  pids=("$xvfb")
  read -r -t 30 anzeige <"$ordner/nummer"
  rm "$ordner/nummer"
  export DISPLAY=:$anzeige
  # 1 s Einstellungsfeld, dann spielt der Bot; etwas länger als gemessen wird.
  QT_SCALE_FACTOR=$skala "$programm" --leerlauf 1 --spiel $((sekunden + 30)) --stumm 1 >/dev/null 2>&1 &
  pids+=($!)
  fenster=
  for _ in $(seq 300); do
    fenster=$(xdotool search --onlyvisible --name "^Quambel" 2>/dev/null | head -1) && [ -n "$fenster" ] && break
    sleep 0.1
  done
  [ -n "$fenster" ] || { echo "bildspur: kein Fenster bei Skala $skala" >&2; exit 1; }
  last=$(cut -d' ' -f1 /proc/loadavg)
  ausgabe=$("$spur" "$fenster" "$sekunden" 60 "${ausfuehrlich[@]}")
  if [ "$erste" = 1 ]; then
    echo "$(sed -n 1p <<<"$ausgabe") Last vorher / nachher |"
    echo "$(sed -n 2p <<<"$ausgabe") --- |"
  fi
  echo "$(sed -n 3p <<<"$ausgabe") $last / $(cut -d' ' -f1 /proc/loadavg) |"
  erste=0
  kill "${pids[@]}" 2>/dev/null || true
  wait 2>/dev/null || true
done
