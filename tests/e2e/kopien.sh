#!/usr/bin/env bash
# Two copies of the program sharing one music folder, and the end by a
# signal: the second copy, ended by SIGHUP as at a logout, leaves the first
# its music; the first, ended by SIGTERM in the middle of a game, shuts down
# as closing its window does, and as the last one out takes the folder along.
. "$(dirname "$0")/hilfen.sh"
eigener_ordner
trap 'kill "${erster:-}" "${zweiter:-}" 2>/dev/null || true; [ -n "${QUAMBEL_E2E_BEHALTEN:-}" ] || rm -rf "$arbeit"' EXIT

# Sends the signal and waits: the copy must die of it, not hang or crash.
beenden_durch() {
  pid=$2
  kill -"$1" "$pid"
  local status=0
  warte_ende 15 || status=$?
  [ "$status" -eq $((128 + $(kill -l "$1"))) ] || fehler "nach SIG$1 endet das Programm mit $status"
}

starte
erster=$pid
spiel_starten
starte
zweiter=$pid
musik_da "mit zwei Kopien"
beenden_durch HUP "$zweiter"
musik_da "nachdem die zweite Kopie endete"
beenden_durch TERM "$erster"
[ ! -e "$XDG_RUNTIME_DIR/QmbSound" ] || fehler "der Musikordner ist nach SIGTERM noch da: $(ls -A "$XDG_RUNTIME_DIR/QmbSound")"
