#!/usr/bin/env bash
# Steering the real program under Xvfb: the pad driven to the right wall by
# the held arrow key, the pad under the mouse, the pointer confined to the
# window during a game in mouse mode and free again afterwards, the abort
# message after Esc; and all of it again in the window enlarged to the screen.
. "$(dirname "$0")/hilfen.sh"
eigener_ordner

starte
eval "$(xdotool getwindowgeometry --shell "$haupt")" # X Y WIDTH HEIGHT of the window
# 482 pixels of playfield below the menu bar: its top left corner on the
# screen; its width and the pad's middle row.
fx=$X fy=$((Y + HEIGHT - 482)) fb=426 zeile=444

# Takes a picture and sets a and b to the first and last x of the pad's blue
# pixels on the playfield's pad row.
pad_messen() {
  bild "$1"
  read -r a b < <(convert "$arbeit/e2e-$1.png" -crop "${fb}x1+$fx+$((fy + zeile))" +repage txt:- |
    awk -F'[ ,:]+' '/#0000FF|blue/ {x=$1; if (min=="") min=x; max=x} END {print min+0, max+0}')
}
# Pushes the pointer towards the far corner of the screen; X and Y tell where it stopped.
zeiger_in_die_ecke() {
  xdotool mousemove 780 580
  eval "$(xdotool getmouselocation --shell)"
}

# Keyboard: the held right arrow walks the pad to the right wall. The mode
# is chosen with the mouse, as a player would (after Alt+T the menu bar
# may take the arrows).
xdotool mousemove $((fx + 95)) $((fy + 88)) click 1
spiel_starten
# It stops at the wall: its right edge at 395 to 401, never beyond.
an_der_wand() { pad_messen rechts && [ "$b" -ge 395 ] && [ "$b" -le 401 ]; }
xdotool keydown Right
bis 3 "das Pad erreicht die rechte Wand nicht" an_der_wand
xdotool keyup Right
# With the pad at the wall the ball falls beside it: on a slow machine the game
# may be over before the Esc arrives. Either end is answered to its last window.
taste "$haupt" Escape
for ((i = 0; ; i++)); do
  [ "$i" -lt 150 ] || fehler "das Spiel endet weder durch Esc noch von selbst"
  if sichtbar "Abbruch durch Spieler"; then antworte "Abbruch durch Spieler" Return; break; fi
  if sichtbar "Quambel - Highscore"; then antworte "Quambel - Highscore" Escape; break; fi
  for t in 'HIGHSCORE!' 'Punkte: [0-9]*'; do sichtbar "$t" && taste "$(warte_fenster "$t")" Return; done
  sleep 0.1
done

# Mouse, confined: the pad follows the pointer, which cannot leave the window.
xdotool mousemove $((fx + 160)) $((fy + 88)) click 1
# Keyboard mode cleared the confinement box; mouse mode enables it again.
xdotool mousemove $((fx + 200)) $((fy + 88)) click 1
xdotool mousemove $((fx + 100)) $((fy + 300))
spiel_starten
xdotool mousemove $((fx + 300)) $((fy + 300))
xdotool mousemove $((fx + 100)) $((fy + 300))
unter_dem_zeiger() { pad_messen maus && [ "$a" -le 100 ] && [ "$b" -ge 100 ]; }
bis 3 "das Pad folgt der Maus nicht" unter_dem_zeiger
zeiger_in_die_ecke
[ "$X" -lt $((fx + 426)) ] && [ "$Y" -lt $((fy + 482)) ] || fehler "der Zeiger verlässt das Fenster im Spiel ($X,$Y)"
# The end of a game by Esc: the abort message, answered.
taste "$haupt" Escape
antworte 'Abbruch durch Spieler' Return 5
frei() { zeiger_in_die_ecke && [ "$X" -ge 700 ]; }
bis 2 "der Zeiger bleibt nach dem Spiel eingesperrt" frei

# The window enlarged to the whole screen by its border: the playfield 582
# pixels tall (a scale of 582/482) in the middle, 514 wide from x=143, its
# pad's middle row at 536. The pad comes under the pointer, which stays in
# the enlarged playfield.
xdotool windowsize "$haupt" 800 600
fx=$((fx + 143)) fb=514 zeile=536
xdotool mousemove $((fx + 121)) $((fy + 300))
spiel_starten
xdotool mousemove $((fx + 360)) $((fy + 300)) mousemove $((fx + 121)) $((fy + 300))
unter_dem_zeiger() { pad_messen gross && [ "$a" -le $((121 - 3)) ] && [ "$b" -ge $((121 + 3)) ] && [ $((b - a)) -ge 90 ]; }
bis 3 "das Pad folgt der Maus im vergrößerten Fenster nicht" unter_dem_zeiger
zeiger_in_die_ecke
[ "$X" -lt $((fx + 514)) ] && [ "$X" -ge $((fx + 500)) ] || fehler "der Zeiger bleibt nicht im vergrößerten Spielfeld ($X,$Y)"
taste "$haupt" Escape
antworte 'Abbruch durch Spieler' Return 5
