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
fx=$X fy=$((Y + HEIGHT - 482)) fb=426 fh=482 zeile=444

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
# It stops at the wall: its right edge at 395 to 401, never beyond. The
# game runs in slices while the pictures are taken (see im_takt), so that the
# ball cannot end it first.
an_der_wand() { pad_messen rechts && [ "$b" -ge 395 ] && [ "$b" -le 401 ]; }
spiel_halten
kill -CONT "$pid"
xdotool keydown Right
im_takt "das Pad erreicht die rechte Wand nicht" an_der_wand
kill -CONT "$pid"
xdotool keyup Right
spiel_beenden

# Mouse, confined: the pointer cannot leave the playfield during a game, and
# the pad follows it. A ball left to itself is lost about a second after the
# start, sooner than a loaded machine may take a picture: so the game is held
# (SIGSTOP) from its first moment while the pointer is pushed into the corner
# (the X server keeps it in), then runs only while the pointer moves and
# Ctrl+P pauses it, all in one go; paused, the pad stays for the picture.
# Then Esc ends the game. The pointer starts away from where the pad is
# sent: the motion queued while the program is held reaches it as one move
# to the last place, and Qt passes on no move to where it last saw the
# pointer (the start used to be that place, and one run in ten failed).
folgt() {
  local x=$1 rand=$2 meldung=$3
  xdotool mousemove $((fx + 300)) $((fy + 300))
  spiel_halten
  zeiger_in_die_ecke
  [ "$X" -lt $((fx + fb)) ] && [ "$X" -ge $((fx + fb - rand)) ] && [ "$Y" -lt $((fy + fh)) ] ||
    fehler "der Zeiger verlässt das Spielfeld im Spiel ($X,$Y)"
  kill -CONT "$pid"
  xdotool mousemove $((fx + 300)) $((fy + 300)) mousemove $((fx + x)) $((fy + 300)) key ctrl+p
  warte_fenster "Quambel - pausiert - Strg \\+ P drücken" 5 >/dev/null
  unter_dem_zeiger() { pad_messen "maus-$x" && [ "$a" -le $((x - 3)) ] && [ "$b" -ge $((x + 3)) ] && [ $((b - a)) -ge 76 ]; }
  bis 3 "$meldung" unter_dem_zeiger
  spiel_beenden
}
xdotool mousemove $((fx + 160)) $((fy + 88)) click 1
# Keyboard mode cleared the confinement box; mouse mode enables it again.
xdotool mousemove $((fx + 200)) $((fy + 88)) click 1
folgt 100 14 "das Pad folgt der Maus nicht"
frei() { zeiger_in_die_ecke && [ "$X" -ge 700 ]; }
bis 2 "der Zeiger bleibt nach dem Spiel eingesperrt" frei

# The window enlarged to the whole screen by its border: the playfield 582
# pixels tall (a scale of 582/482) in the middle, 514 wide from x=143, its
# pad's middle row at 536 and 97 pixels wide. The pointer stays in the
# enlarged playfield, and the pad comes under it.
xdotool windowsize "$haupt" 800 600
fx=$((fx + 143)) fb=514 fh=582 zeile=536
folgt 121 14 "das Pad folgt der Maus im vergrößerten Fenster nicht"
