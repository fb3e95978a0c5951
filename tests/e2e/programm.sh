#!/usr/bin/env bash
# The whole program as a player meets it, under Xvfb: a game with held fire,
# the instructions while a game runs on, and the close during a game with the
# about window and the music cleaned up.
. "$(dirname "$0")/hilfen.sh"
eigener_ordner
ANLEITUNG="Anleitung zu Quambel. Viel Spaß beim Spielen!"

# Dark pixels inside the walls, above the pad: the shots (balls are red, the
# label sits higher up).
schüsse_im_bild() {
  convert "$arbeit/e2e-$1.png" -crop 360x280+32+150 +repage -colorspace Gray -threshold 15% -negate \
    -format '%[fx:round(mean*w*h)]' info:
}
# The label's third line, "Munition: N".
munition_zeile() { convert "$arbeit/e2e-$1.png" -crop 160x21+32+92 +repage -format '%#' info:; }

starte
musik_da "nach dem Start"
[ "$(stat -c %a "$XDG_RUNTIME_DIR/QmbSound")" = 700 ] || fehler "der Musikordner ist nicht privat"

# Keyboard mode and a game. F2 during the game does not start another one;
# F1 shows the instructions, and the game runs on behind them: the ball,
# left to itself, falls and the game-over question comes while they are open.
taste "$haupt" alt+t
spiel_starten
taste "$haupt" F2
sichtbar "Quambel" || fehler "F2 im Spiel hat das Spiel beendet"
taste "$haupt" F1
warte_fenster "$ANLEITUNG" 5 >/dev/null
warte_fenster "HIGHSCORE!" 10 >/dev/null
sichtbar "$ANLEITUNG" || fehler "die Anleitung ging vor dem Spielende zu"
spielende_abschließen
antworte "$ANLEITUNG" Return
[ -s "$arbeit/Highscores.qmb" ] || fehler "die Highscore-Liste liegt nicht neben dem Programm"

# A second game with fire held until shots fly: the ammunition falls.
spiel_starten
bild vorher
vorher=$(munition_zeile vorher)
[ "$(schüsse_im_bild vorher)" -lt 5 ] || fehler "Schüsse vor dem ersten Schuss?"
schüsse_zu_sehen() { bild feuer && [ "$(schüsse_im_bild feuer)" -gt 20 ]; }
xdotool keydown ctrl
bis 3 "keine Schüsse zu sehen" schüsse_zu_sehen
xdotool keyup ctrl
[ "$(munition_zeile feuer)" != "$vorher" ] || fehler "die Munitionsanzeige hat sich nicht geändert"
spielende_abschließen

# A new game, closed in its middle.
spiel_starten
schließen
