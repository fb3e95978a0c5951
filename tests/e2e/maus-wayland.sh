#!/usr/bin/env bash
# Mouse play on Wayland, under tests/e2e/wayland.sh with a real pointer
# device: the pad follows the pointer, the picture shows the pad and the
# balls where the game has them, the pointer cannot leave the playfield on
# either axis while the box is ticked, and it is free again in the pause;
# when the compositor goes, the program cleans up.
# MASSSTAB is the compositor's scale: layout pixels times it are picture pixels.
. "$(dirname "$0")/hilfen.sh"
eigener_ordner
s=${MASSSTAB:?}

starte
eval "$(fenster_ort "$haupt")"
# The playfield's top left corner, in layout pixels: 482 below the menu bar.
fx=$X fy=$((Y + HEIGHT - 482))

# The first and last x (playfield pixels) of the pad's blue on its row, and
# the number of the balls' red pixels on the whole playfield, in one picture.
messen() {
  bild "$1"
  read -r a b < <(convert "$arbeit/e2e-$1.png" -crop "$((426 * s))x1+$((fx * s))+$(((fy + 444) * s))" +repage txt:- |
    awk -F'[ ,:]+' -v s="$s" '/#0000FF/ {x=int($1 / s); if (min=="") min=x; max=x} END {print min+0, max+0}')
  rot=$(convert "$arbeit/e2e-$1.png" -crop "$((426 * s))x$((482 * s))+$((fx * s))+$((fy * s))" +repage \
    -format %c histogram:info:- | awk '/#FF0000/ {n += $1} END {print n + 0}')
}
# The pad centred under x, ended by the walls, once (80 pixels: no old pad
# left standing); the ball in sight.
unter() { messen "pad-$1" && [ "$a" -le "$1" ] && [ "$b" -ge "$1" ] && [ $((b - a)) -le 82 ]; }
ball_zu_sehen() { messen ball && [ "$rot" -gt 0 ]; }
# Whether the pointer shows on the desktop beside the window, right of it:
# the desktop there is one grey, and the pointer is drawn where it is.
zeiger_daneben() {
  bild daneben
  [ "$(convert "$arbeit/e2e-daneben.png" -crop "$(((960 - fx - 440) * s))x$((700 * s))+$(((fx + 440) * s))+0" +repage \
    -format %k info:)" -gt 1 ]
}

# One game for each check, so that the ball left to itself lasts for it: the
# pointer is put over the playfield at x=START, the game starts and is held,
# the pointer makes MOVES (dx dy pairs) and the pad must come to x=ZIEL; then
# the game ends (Esc) with its dialogues answered. ZIEL lies outside the
# pad's span at START, so a pad left standing fails.
runde() {
  local start=$1 ziel=$2 meldung=$3
  shift 3
  zeiger absolut $((fx + start)) $((fy + 300)) 960 700
  spiel_halten
  # A new game's ball may fly under the score label, which lies in front
  # until the first ball divides; it shows again below it.
  im_takt "das Bild zeigt den Ball des neuen Spiels nicht" ball_zu_sehen
  while [ $# -gt 0 ]; do zeiger relativ "$1" "$2"; shift 2; done
  im_takt "$meldung" unter "$ziel"
}

# Mouse mode with the box ticked is how the game starts. Far to the right and down the pointer stops at the playfield's corner:
# 100 back to the left is x=325 over the playfield.
runde 100 325 "der Zeiger verlässt das Spielfeld nach rechts oder unten" 3000 3000 -100 0
spiel_beenden
# Far to the left and up, it stops at the other corner, below the menu bar:
# 100 on is x=100.
runde 325 100 "der Zeiger verlässt das Spielfeld nach links oder oben" -3000 -3000 100 0

# In the pause the pointer is free (and shown): far to the right it is on the
# desktop beside the window. (Ctrl+P is pressed while the game is held, so
# that the ball cannot end the game first.)
taste "$haupt" ctrl+p
kill -CONT "$pid"
warte_fenster "Quambel - pausiert - Strg \\+ P drücken" 5 >/dev/null
zeiger relativ 3000 0
bis 3 "der Zeiger bleibt in der Pause im Spielfeld" zeiger_daneben

# The compositor goes away in the middle of the game: the program ends and
# takes its music folder with it, as at a close.
musik_da "im Spiel"
swaymsg exit >/dev/null 2>&1 || true
warte_ende 10 || true
[ ! -e "$XDG_RUNTIME_DIR/QmbSound" ] || fehler "der Musikordner bleibt, als der Compositor ging"
