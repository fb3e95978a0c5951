#!/usr/bin/env bash
# Every way out leaves nothing behind and nothing hangs: end requests alone
# and in bursts (a logout sends HUP and TERM at once), with two copies
# sharing the music (it goes with the last), and the display going away
# under the program.
. "$(dirname "$0")/hilfen.sh"
eigener_ordner
MUSIK=$XDG_RUNTIME_DIR/QmbSound

# The copy $pid ends with one of the STATUS values and its music folder is
# gone (unless a third argument says another copy still plays).
endet_sauber() {
  local status=0
  warte_ende 15 || status=$?
  [[ " $1 " == *" $status "* ]] || fehler "$2: das Programm endet mit $status statt $1"
  [ -n "${3:-}" ] || [ ! -e "$MUSIK" ] || fehler "$2: der Musikordner ist noch da: $(ls -A "$MUSIK")"
}

# The second copy ends by a logout and leaves the first its music; the
# first ends by SIGTERM in the middle of a game, as closing its window does.
# Then bursts: the later signals reach the program while it cleans up.
starte
erster=$pid
spiel_starten
starte
kill -HUP "$pid"
endet_sauber 129 "die zweite Kopie" noch
musik_da "nachdem die zweite Kopie endete"
pid=$erster
for signale in TERM INT "$(printf 'TERM %.0s' {1..30})" "HUP TERM INT HUP TERM INT"; do
  [ "$signale" = TERM ] || starte
  for s in $signale; do kill -"$s" "$pid" 2>/dev/null || true; done
  # Requests go to the process, not to a thread: two threads may take two of
  # a burst at once, and either may be the one that counts. It dies of one
  # it was sent, after the clean-up.
  erlaubt=$(for s in $signale; do echo $((128 + $(kill -l "$s"))); done | sort -u | xargs)
  set -- $signale
  endet_sauber "$erlaubt" "nach $# Signalen ab SIG$1"
done

# The X server dies: Qt ends the program with status 1, the music goes too.
mkfifo "$arbeit/nummer"
Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 800x600x24 3>"$arbeit/nummer" 2>/dev/null &
zweiter=$!
read -r -t 30 anzeige <"$arbeit/nummer" || fehler "der zweite X-Server meldet keine Anzeige"
DISPLAY=:$anzeige starte
kill -9 "$zweiter"
endet_sauber 1 "ohne X-Server"
