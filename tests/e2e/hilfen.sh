# Shared steps of the whole-program tests: they drive the real program under
# an X server (tests/e2e/xvfb.sh starts one) with xdotool, as a player would.
# shellcheck shell=bash
set -euo pipefail

PROGRAMM=${QUAMBEL_E2E_PROGRAMM:?QUAMBEL_E2E_PROGRAMM nennt das Programm}
BILDER=${QUAMBEL_E2E_BILDER:-${TMPDIR:-/tmp}}
pid=""

fehler() { echo "FEHLER: $*" >&2; bild "fehler"; exit 1; }

bild() { import -window root "$BILDER/e2e-$1.png" 2>/dev/null || true; }

# Waits until a window with exactly this title is mapped; prints its id.
warte_fenster() {
  local titel=$1 sekunden=${2:-10} id
  for ((i = 0; i < sekunden * 10; i++)); do
    id=$(xdotool search --onlyvisible --name "^${titel}\$" 2>/dev/null | head -n1 || true)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  fehler "Fenster \"$titel\" erscheint nicht"
}

# True while a window with this title is mapped.
sichtbar() { xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }

warte_weg() {
  local titel=$1 sekunden=${2:-10}
  for ((i = 0; i < sekunden * 10; i++)); do
    sichtbar "$titel" || return 0
    sleep 0.1
  done
  fehler "Fenster \"$titel\" geht nicht zu"
}

# Sends keys to the window that has the keyboard focus (the program gives
# it to its active window; there is no window manager under Xvfb).
taste() {
  local id=$1; shift
  xdotool windowfocus --sync "$id" 2>/dev/null || xdotool windowfocus "$id"
  xdotool key --clearmodifiers "$@"
}

starte() {
  "$PROGRAMM" >"$BILDER/e2e-stdout.txt" 2>"$BILDER/e2e-stderr.txt" &
  pid=$!
}

warte_ende() {
  local sekunden=${1:-10}
  for ((i = 0; i < sekunden * 10; i++)); do
    kill -0 "$pid" 2>/dev/null || { wait "$pid"; return $?; }
    sleep 0.1
  done
  fehler "das Programm endet nicht"
}

aufräumen() { [ -n "$pid" ] && kill "$pid" 2>/dev/null || true; }
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
