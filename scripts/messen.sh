#!/usr/bin/env bash
# Runs every measurement of the game and prints one table (Markdown):
# the tick and paint benchmarks, the player's synthesis, and the soak
# harness (the real program with a bot, music on) under Xvfb. Sound goes to
# a PulseAudio null sink when PulseAudio is installed, so that the music is
# really synthesised in real time as on a desktop; without it the player
# runs silently on the clock and the CPU figures leave out the synthesis.
# The pieces are recorded on a first start, in a cache folder of the run's
# own; the measurements after it play them from the recordings.
#
#   scripts/messen.sh [BAUORDNER] [SPIELSEKUNDEN] [LASTSEKUNDEN]   (default build/release, 60, 0)
#
# With LASTSEKUNDEN > 0 it also plays that long while two busy loops keep
# both cores loaded, and counts the underruns of the sound output.
set -euo pipefail
cd "$(dirname "$0")/.."
bau=${1:-build/release}
spiel=${2:-60}
last=${3:-0}
cmake --build "$bau" -j2 --target bench_kern bench_zeichnen bench_player quambel_dauerlauf quambel_ausgabezeiten \
  quambel_zeiger >/dev/null

json() { "$@" --benchmark_format=json 2>/dev/null; }
zeile() { # a Google Benchmark JSON file → one table row per benchmark
  python3 - "$1" <<'PY'
import json, sys
d = json.load(open(sys.argv[1]))
for b in d["benchmarks"]:
    if b.get("run_type") == "aggregate":
        continue
    extra = "".join(", %s %.1f" % (k, v) for k, v in b.items() if k == "Echtzeitfaktor")
    print("| %s | %.3g %s%s |" % (b["name"], b["real_time"], b["time_unit"], extra))
PY
}
tmp=$(mktemp -d)
# The server is found through its socket in the run's folder: it is asked
# to quit before the folder goes, or it would be left running.
trap '{ [ -n "${pa:-}" ] && pulseaudio -k 2>/dev/null; } || true; rm -rf "$tmp"' EXIT

json "$bau/bench/kern/bench_kern" >"$tmp/kern.json"
QT_QPA_PLATFORM=offscreen json "$bau/bench/qt/bench_zeichnen" >"$tmp/zeichnen.json"
json "$bau/bench/player/bench_player" >"$tmp/player.json"

export XDG_RUNTIME_DIR=$tmp/laufzeit
mkdir -m 700 "$XDG_RUNTIME_DIR"
# The recordings of the pieces start empty, as on a player's first start.
export XDG_CACHE_HOME=$tmp/cache
ton="stumm auf der Uhr (kein PulseAudio)"
if command -v pulseaudio >/dev/null; then
  pulseaudio --daemonize=yes --exit-idle-time=-1 -n -L "module-null-sink sink_name=stumm" \
    -L module-native-protocol-unix 2>/dev/null && pa=1 && ton="FluidSynth über PulseAudio (Null-Senke)"
  sleep 1
fi
# Every background piece the game picks is piece $STUECK (default 2, the
# dearest to synthesise), so that the CPU figures of two runs compare.
stueck=${STUECK:-2}
dauerlauf() { tests/e2e/xvfb.sh "$bau/bench/qt/quambel_dauerlauf" --stück "$stueck" "$@" 2>>"$tmp/dauerlauf.err"; }
# Music off against no sound output at all: no server to reach, no card.
PULSE_SERVER=unix:/nonexistent tests/e2e/xvfb.sh "$bau/bench/qt/quambel_dauerlauf" --stück "$stueck" --spiel "$spiel" --leerlauf 20 \
  2>>"$tmp/dauerlauf.err" >"$tmp/ohneton.md"
if [ -n "${pa:-}" ]; then "$bau/bench/player/quambel_ausgabezeiten" 20 >"$tmp/zeiten.md" 2>>"$tmp/dauerlauf.err"; fi
# The first start records the pieces at idle priority while they play
# live; every run after it plays them from the recordings.
dauerlauf --spiel 30 --leerlauf 10 >"$tmp/erster.md"
dauerlauf --spiel "$spiel" --leerlauf 20 >"$tmp/dauerlauf.md"
# The same without music, and the frames of a field kept at 95 to 99 balls.
dauerlauf --spiel "$spiel" --leerlauf 20 --stumm 1 >"$tmp/stumm.md"
dauerlauf --spiel 30 --leerlauf 5 --voll 95 >"$tmp/voll.md"
dauerlauf --spiel 30 --leerlauf 5 --voll 95 --nur-takte 1 >"$tmp/takte.md"
# The picture on X11 (Xvfb) and on Wayland (headless sway, pixman), side by
# side at scales 1 and 2, music off so that only the drawing differs.
for s in 1 2; do
  QT_SCALE_FACTOR=$s dauerlauf --spiel 30 --leerlauf 5 --stumm 1 >"$tmp/x11-$s.md"
  QUAMBEL_E2E_ZEIGER=$bau/tools/zeiger/quambel_zeiger tests/e2e/wayland.sh "$s" \
    "$bau/bench/qt/quambel_dauerlauf" --spiel 30 --leerlauf 5 --stumm 1 >"$tmp/wayland-$s.md" 2>>"$tmp/dauerlauf.err"
done
if [ "$last" -gt 0 ]; then
  sh -c 'while :; do :; done' & l1=$!
  sh -c 'while :; do :; done' & l2=$!
  dauerlauf --spiel "$last" --leerlauf 5 >"$tmp/last.md"
  kill "$l1" "$l2"
fi

echo "## Messungen $(date -u +%Y-%m-%d)"
echo
echo "Rechner: $(nproc) Kerne, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(awk '/MemTotal/ {printf "%.0f GiB", $2/1048576}' /proc/meminfo); Ton: $ton; SoundFont: ${QUAMBEL_SOUNDFONT:-Vorgabe des Spiels}; Hintergrundstück: game$stueck"
echo
echo "| Benchmark | Zeit je Durchlauf |"
echo "| --- | --- |"
zeile "$tmp/kern.json"
zeile "$tmp/zeichnen.json"
zeile "$tmp/player.json"
echo
echo "Das ganze Programm mit Bot ($spiel s Spiel, 20 s Einstellungsfeld, Musik an):"
echo
cat "$tmp/dauerlauf.md"
echo
echo "Der erste Start (30 s Spiel, 10 s Einstellungsfeld): die Stücke werden nebenher aufgenommen:"
echo
grep -E '^\| (Messung|---|CPU|Spitze)' "$tmp/erster.md"
echo
echo "Ohne Musik ($spiel s Spiel, 20 s Einstellungsfeld):"
echo
grep -E '^\| (Messung|---|Bilder|CPU)' "$tmp/stumm.md"
echo
echo "Volles Feld (95–99 Bälle, 30 s, Musik an), flüssig und nur zu den Takten (--nur-takte):"
echo
grep -E '^\| (Messung|---|Bilder|CPU im Spiel)' "$tmp/voll.md"
grep -E '^\| (Bilder|CPU im Spiel)' "$tmp/takte.md"
echo
echo "Ohne jede Tonausgabe (kein Tonserver, keine Karte: die Musik läuft stumm auf der Uhr):"
echo
grep -E '^\| (Messung|---|CPU)' "$tmp/ohneton.md"
echo
echo "Zeichnen auf X11 (Xvfb) und Wayland (sway ohne Bildschirm, pixman), je 30 s Spiel mit Bot, Musik aus:"
echo
echo "| Anzeige | Maßstab | CPU im Spiel | Bilder: Abstand im Mittel / 99. Perzentil | Spitze RSS |"
echo "| --- | --- | --- | --- | --- |"
for s in 1 2; do
  for a in x11 wayland; do
    f=$tmp/$a-$s.md
    cpu=$(sed -n 's/^| CPU im Spiel[^|]*| \([^|]*\) |.*/\1/p' "$f")
    bilder=$(sed -n 's/^| Bilder im Spiel[^|]*| \([^|]*\) |.*/\1/p' "$f")
    rss=$(sed -n 's/^| Spitze des belegten Speichers (RSS) | \([^|]*\) |.*/\1/p' "$f")
    echo "| $a | $s | $cpu | $bilder | $rss |"
  done
done
if [ -s "$tmp/zeiten.md" ]; then
  echo
  echo "Tonausgabe öffnen und schließen:"
  echo
  cat "$tmp/zeiten.md"
fi
if [ "$last" -gt 0 ]; then
  echo
  echo "$last s Spiel mit Musik, während zwei Endlosschleifen beide Kerne belegen:"
  echo
  grep -E '^\| (Messung|---|CPU im Spiel|Aussetzer)' "$tmp/last.md"
fi
