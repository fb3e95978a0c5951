#!/usr/bin/env bash
# Steering the real program under Xvfb: the window's client size, the pad
# driven to the right wall by the held arrow key, the pad under the mouse,
# the pointer confined to the window during a game in mouse mode and free
# again afterwards, and the abort message after Esc.
. "$(dirname "$0")/hilfen.sh"
eigener_ordner

starte
haupt=$(warte_fenster "Quambel - F2 zum Starten drücken" 15)
eval "$(xdotool getwindowgeometry --shell "$haupt")" # X Y WIDTH HEIGHT of the window
[ "$WIDTH" = 426 ] || fehler "Fensterbreite $WIDTH statt 426"
# 482 pixels of playfield below the menu bar.
[ "$HEIGHT" -ge 482 ] && [ "$HEIGHT" -le 520 ] || fehler "Fensterhöhe $HEIGHT passt nicht zu 482 + Menüleiste"
menue=$((HEIGHT - 482))
fx=$X fy=$((Y + menue))   # the playfield's top left corner on the screen

# Blue pixels of the pad, as "first last" x on the playfield's pad row.
pad_von_bis() {
  bild "$1"
  convert "$arbeit/e2e-$1.png" -crop 426x1+$fx+$((fy + 444)) +repage txt:- |
    awk -F'[ ,:]+' '/#0000FF|blue/ {x=$1; if (min=="") min=x; max=x} END {print min+0, max+0}'
}

# Keyboard: the held right arrow walks the pad to the right wall. The mode
# is chosen with the mouse, as a player would (after Alt+T the menu bar
# may take the arrows).
xdotool mousemove $((fx + 95)) $((fy + 88)) click 1
# Esc in a running game (the first ball is still above the centred pad).
taste "$haupt" F2
warte_fenster "Quambel" 5 >/dev/null
taste "$haupt" Escape
taste "$(warte_fenster 'Abbruch durch Spieler' 5)" Return
warte_weg "Abbruch durch Spieler"
taste "$haupt" F2
warte_fenster "Quambel" 5 >/dev/null
read -r a b < <(pad_von_bis mitte)
xdotool keydown Right; sleep 0.4; read -r c d < <(pad_von_bis rechts); xdotool keyup Right
echo "steuerung: Pad in der Mitte $a..$b, nach Pfeil rechts $c..$d"
[ "$a" -gt 150 ] && [ "$b" -lt 280 ] || fehler "das Pad steht am Anfang nicht in der Mitte"
[ "$d" -ge 395 ] && [ "$d" -le 401 ] || fehler "das Pad erreicht die rechte Wand nicht ($d)"
# With the pad at the wall the ball falls beside it: on a slow machine the game
# may be over before the Esc arrives. Either end is answered to its last window.
taste "$haupt" Escape
for ((i = 0; ; i++)); do
  [ "$i" -lt 150 ] || fehler "das Spiel endet weder durch Esc noch von selbst"
  if sichtbar "Abbruch durch Spieler"; then taste "$(warte_fenster 'Abbruch durch Spieler')" Return; warte_weg "Abbruch durch Spieler"; break; fi
  if sichtbar "Quambel - Highscore"; then taste "$(warte_fenster 'Quambel - Highscore')" Escape; warte_weg "Quambel - Highscore"; break; fi
  for t in 'HIGHSCORE!' 'Punkte: [0-9]*'; do sichtbar "$t" && taste "$(warte_fenster "$t")" Return; done
  sleep 0.1
done

# Mouse, confined: the pad follows the pointer, which cannot leave the window.
xdotool mousemove $((fx + 160)) $((fy + 88)) click 1
# Keyboard mode cleared the confinement box; mouse mode enables it again.
xdotool mousemove $((fx + 200)) $((fy + 88)) click 1
xdotool mousemove $((fx + 100)) $((fy + 300))
taste "$haupt" F2
warte_fenster "Quambel" 5 >/dev/null
xdotool mousemove $((fx + 300)) $((fy + 300)); sleep 0.1
xdotool mousemove $((fx + 100)) $((fy + 300)); sleep 0.2
read -r a b < <(pad_von_bis maus)
echo "steuerung: Pad unter dem Zeiger bei x=100: $a..$b"
[ "$a" -le 100 ] && [ "$b" -ge 100 ] || fehler "das Pad folgt der Maus nicht"
xdotool mousemove 780 580; sleep 0.2
eval "$(xdotool getmouselocation --shell)"
echo "steuerung: Zeiger im Spiel nach (780,580) bei ($X,$Y)"
[ "$X" -lt $((fx + 426)) ] && [ "$Y" -lt $((fy + 482)) ] || fehler "der Zeiger verlässt das Fenster im Spiel"
taste "$haupt" Escape
taste "$(warte_fenster 'Abbruch durch Spieler' 5)" Return
warte_weg "Abbruch durch Spieler"
xdotool mousemove 780 580; sleep 0.2
eval "$(xdotool getmouselocation --shell)"
[ "$X" -ge 700 ] || fehler "der Zeiger bleibt nach dem Spiel eingesperrt ($X,$Y)"
echo "steuerung: gut"
