#!/usr/bin/env bash
# Mouse play on Wayland, under tests/e2e/wayland.sh with a real pointer
# device: the pad follows the pointer, the picture shows the pad and the
# balls where the game has them, the pointer cannot leave the playfield on
# either axis while the box is ticked, and it is free again in the pause.
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
  rot=$(convert "$arbeit/e2e-$1.png" -crop "$((426 * s))x$((482 * s))+$((fx * s))+$((fy * s))" +repage txt:- | grep -c '#FF0000')
}
# The pad centred under x, ended by the walls, once (80 pixels: no old pad
# left standing), and a ball in sight.
unter() { messen "pad-$1" && [ "$a" -le "$1" ] && [ "$b" -ge "$1" ] && [ $((b - a)) -le 82 ] && [ "$rot" -gt 0 ]; }
# A ball left to itself is lost a second after the start. So the game is held
# (SIGSTOP) while the pointer moves and the picture is measured, and runs in
# slices of a twentieth of a second until the pad has followed: the compositor
# confines the pointer whether the game runs or not.
halten() { kill -STOP "$pid"; }
bis_unter() {
  local ende=$((SECONDS + 15))
  while [ "$SECONDS" -lt "$ende" ]; do
    kill -CONT "$pid"; sleep 0.05; halten
    unter "$1" && return 0
  done
  kill -CONT "$pid"
  fehler "$2 (Pad $a bis $b, $rot rote Pixel)"
}
# Whether the pointer shows on the desktop beside the window, right of it:
# the desktop there is one grey, and the pointer is drawn where it is.
zeiger_daneben() {
  bild daneben
  [ "$(convert "$arbeit/e2e-daneben.png" -crop "$(((960 - fx - 440) * s))x$((700 * s))+$(((fx + 440) * s))+0" +repage \
    -format %k info:)" -gt 1 ]
}

# Mouse mode with the box ticked is how the game starts. Each place the pad
# is sent to lies outside the pad's span before, so a pad left standing fails.
zeiger absolut $((fx + 300)) $((fy + 300)) 960 700
spiel_starten
halten
zeiger relativ -200 0
bis_unter 100 "das Pad folgt dem Zeiger nicht nach x=100, oder das Bild zeigt Pad und Ball nicht"
# Far to the right and down the pointer stops at the playfield's corner:
# 100 back to the left is x=325 over the playfield. Far to the left and up,
# it stops at the other corner, below the menu bar: 100 on is x=100.
zeiger relativ 3000 3000
zeiger relativ -100 0
bis_unter 325 "der Zeiger verlässt das Spielfeld nach rechts oder unten"
zeiger relativ -3000 -3000
zeiger relativ 100 0
bis_unter 100 "der Zeiger verlässt das Spielfeld nach links oder oben"

# In the pause the pointer is free (and shown): far to the right it is on the
# desktop beside the window. (Ctrl+P is pressed while the game is held, so
# that the ball cannot end the game first.)
taste "$haupt" ctrl+p
kill -CONT "$pid"
warte_fenster "Quambel - pausiert - Strg \\+ P drücken" 5 >/dev/null
zeiger relativ 3000 0
bis 3 "der Zeiger bleibt in der Pause im Spielfeld" zeiger_daneben

# Esc ends the game with the abort message; then the window closes cleanly.
taste "$haupt" Escape
antworte 'Abbruch durch Spieler' Return 5
schließen
