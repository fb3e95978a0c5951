# Shared steps of the whole-program tests: they drive the real program under
# an X server (tests/e2e/xvfb.sh starts one) with xdotool, as a player would.
# shellcheck shell=bash
set -euo pipefail

PROGRAMM=${QUAMBEL_E2E_PROGRAMM:?QUAMBEL_E2E_PROGRAMM nennt das Programm}
BILDER=${QUAMBEL_E2E_BILDER:-${TMPDIR:-/tmp}}
pid=""
START="Quambel - F2 zum Starten drücken"

fehler() { echo "FEHLER: $*" >&2; bild "fehler"; exit 1; }

bild() { import -window root "$BILDER/e2e-$1.png" 2>/dev/null || true; }

# Asks every tenth of a second for up to SEKUNDEN whether the command
# succeeds; after that the test fails with MELDUNG.
bis() {
  local sekunden=$1 meldung=$2 i
  shift 2
  for ((i = 0; i < sekunden * 10; i++)); do
    "$@" && return 0
    sleep 0.1
  done
  fehler "$meldung"
}

# The id of the mapped window with exactly this title; fails while there is
# none. (sed reads all ids: head could leave xdotool writing into a closed pipe.)
fenster_id() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | sed -n 1p | grep .; }
sichtbar() { fenster_id "$1" >/dev/null; }
weg() { ! sichtbar "$1"; }
# Waits until the window is mapped; prints its id.
warte_fenster() { bis "${2:-10}" "Fenster \"$1\" erscheint nicht" fenster_id "$1"; }

# Sends keys to the window that has the keyboard focus (the program gives
# it to its active window; there is no window manager under Xvfb).
taste() {
  local id=$1; shift
  xdotool windowfocus --sync "$id" 2>/dev/null || xdotool windowfocus "$id"
  xdotool key --clearmodifiers "$@"
}

# Answers the window with this title by a key and waits until it is gone.
antworte() {
  taste "$(warte_fenster "$1" "${3:-10}")" "$2"
  bis 10 "Fenster \"$1\" geht nicht zu" weg "$1"
}

# After a game over that enters the list: name, place, list.
spielende_abschließen() {
  antworte 'HIGHSCORE!' Return 20
  antworte 'Punkte: [0-9]*' Return
  antworte 'Quambel - Highscore' Escape
}

# Starts a copy and waits for its main window: $pid and $haupt. A script
# starts it with Ctrl+C ignored; it gets it back, as from a terminal.
starte() {
  env --default-signal=INT "$PROGRAMM" >"$BILDER/e2e-stdout.txt" 2>"$BILDER/e2e-stderr.txt" &
  pid=$!
  haupt=$(warte_fenster "$START" 15)
}

# F2 in the main window; a running game takes the title "Quambel".
spiel_starten() {
  taste "$haupt" F2
  warte_fenster "Quambel" 5 >/dev/null
}

# A ball left to itself is lost about a second after the start, sooner than
# a loaded machine may take a picture. So checks on a running game hold it
# (SIGSTOP) while they look, and let it run in slices of a twentieth of a
# second until the check holds. Input sent while it is held waits for it.
im_takt() {
  local meldung=$1 ende=$((SECONDS + 15))
  shift
  while [ "$SECONDS" -lt "$ende" ]; do
    kill -CONT "$pid"; sleep 0.05; kill -STOP "$pid"
    "$@" && return 0
  done
  kill -CONT "$pid"
  fehler "$meldung"
}
# F2, and the game held from the first slice in which it runs.
spiel_halten() {
  taste "$haupt" F2
  im_takt "das Spiel startet nicht" sichtbar "Quambel"
}

# Esc ends the running game (a held one goes on first). With the pad away
# from the ball the game may be over before the Esc arrives: either end is
# answered, each dialogue until it is gone, until the start title shows alone.
spiel_beenden() {
  local i t
  kill -CONT "$pid"
  taste "$haupt" Escape
  for ((i = 0; i < 150; i++)); do
    sichtbar "$START" && ! sichtbar "Abbruch durch Spieler" && ! sichtbar "HIGHSCORE!" && ! sichtbar 'Punkte: [0-9]*' &&
      ! sichtbar "Quambel - Highscore" && return 0
    for t in "Abbruch durch Spieler" 'HIGHSCORE!' 'Punkte: [0-9]*'; do sichtbar "$t" && antworte "$t" Return; done
    sichtbar "Quambel - Highscore" && antworte "Quambel - Highscore" Escape
    sleep 0.1
  done
  fehler "das Spiel endet weder durch Esc noch von selbst"
}

# Every music file in the private music folder, not empty.
musik_da() {
  for n in game1 game2 game3 game4 lost won; do
    [ -s "$XDG_RUNTIME_DIR/QmbSound/$n.qmb" ] || fehler "$n.qmb fehlt $1"
  done
}

# Closes the main window by Ctrl+Q (without a window manager there is no
# close box to click; Ctrl+Q closes the window the same way, through its close
# event): no abort message, no high-score question, but the about window, and
# the music already gone; closing the about window ends the program cleanly.
schließen() {
  taste "$haupt" ctrl+q
  about=$(warte_fenster "About Quambel" 10)
  sichtbar "Abbruch durch Spieler" && fehler "Abbruchmeldung beim Schließen"
  sichtbar "HIGHSCORE!" && fehler "Highscore-Frage beim Schließen"
  [ ! -e "$XDG_RUNTIME_DIR/QmbSound" ] || fehler "der Musikordner ist nach dem Schließen noch da"
  taste "$about" Escape
  warte_ende 10 || fehler "das Programm endet mit einem Fehler"
}

läuft_nicht() { ! kill -0 "$pid" 2>/dev/null; }
# Waits for the end of the copy $pid and returns its exit status.
warte_ende() {
  bis "${1:-10}" "das Programm endet nicht" läuft_nicht
  wait "$pid"
}

# The program removes its music folder when told to end: that is waited for
# (up to five seconds), so that the test's own clean-up does not race it.
aufräumen() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || return 0
  kill -CONT "$pid" 2>/dev/null || true # a test may have held it
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || return 0; sleep 0.1; done
  kill -9 "$pid" 2>/dev/null || true
}
trap aufräumen EXIT

# Runs a copy of the program in a folder of its own, with its own home and
# runtime folder, so that its high-score list and music folder are the
# test's alone. Sets $arbeit; QUAMBEL_E2E_BEHALTEN=1 keeps it for a look.
eigener_ordner() {
  arbeit=$(mktemp -d)
  export XDG_RUNTIME_DIR=$arbeit/laufzeit HOME=$arbeit/heim
  BILDER=$arbeit
  mkdir -m 700 "$XDG_RUNTIME_DIR" "$HOME"
  cp "$PROGRAMM" "$arbeit/quambel"
  PROGRAMM=$arbeit/quambel
  trap 'aufräumen; [ -n "${QUAMBEL_E2E_BEHALTEN:-}" ] || rm -rf "$arbeit"' EXIT
}

# Under a Wayland compositor (tests/e2e/wayland.sh) the same steps go through
# sway's tree, wtype and grim, and the pointer through tools/zeiger.
if [ -n "${WAYLAND_DISPLAY:-}" ] && [ -z "${DISPLAY:-}" ]; then
  baum() { swaymsg -t get_tree; }
  bild() { grim "$BILDER/e2e-$1.png" 2>/dev/null || true; }
  fenster_id() {
    baum | jq -r --arg t "^$1\$" '.. | objects | select(.pid? != null and .name != null)
      | select(.name | test($t)) | .id' | sed -n 1p | grep .
  }
  # The window's inside in layout pixels: X Y WIDTH HEIGHT.
  fenster_ort() {
    baum | jq -r --argjson id "$1" '.. | objects | select(.id? == $id)
      | "X=\(.rect.x + .window_rect.x) Y=\(.rect.y + .window_rect.y) WIDTH=\(.window_rect.width) HEIGHT=\(.window_rect.height)"'
  }
  # xdotool's key names with + for modifiers, as wtype's arguments.
  taste() {
    local id=$1 k teile
    shift
    swaymsg "[con_id=$id] focus" >/dev/null
    for k; do
      IFS=+ read -r -a teile <<<"$k"
      local args=() m
      for m in "${teile[@]:0:${#teile[@]}-1}"; do args+=(-M "$m"); done
      args+=(-k "${teile[-1]}")
      for m in "${teile[@]:0:${#teile[@]}-1}"; do args+=(-m "$m"); done
      wtype "${args[@]}"
    done
  }
  # One command to the pointer (see tools/zeiger), answered once the compositor took it.
  zeiger() {
    local antwort
    echo "$*" >&"$ZEIGER"
    read -r -t 10 antwort <&"$ZEIGER_ANTWORT" && [ "$antwort" = ok ] || fehler "der Zeiger nimmt \"$*\" nicht"
  }
fi
