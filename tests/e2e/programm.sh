#!/usr/bin/env bash
# The whole program as a player meets it, under Xvfb: the instructions while
# a game runs on, the list beside the program, and the close during a game
# with the about window and the music cleaned up. (Fire, from the key to the
# shot on the screen, is checked layer by layer in the unit tests.)
. "$(dirname "$0")/hilfen.sh"
eigener_ordner
ANLEITUNG="Anleitung zu Quambel. Viel Spaß beim Spielen!"

starte
musik_da "nach dem Start"

# Keyboard mode and a game. F1 shows the instructions, and the game runs on
# behind them: the ball, left to itself, falls and the game-over question
# comes while they are open. (The game is held from its first moment until
# F1 is sent, so that a loaded machine cannot let it end before.)
taste "$haupt" alt+t
spiel_halten
kill -CONT "$pid"
taste "$haupt" F1
warte_fenster "$ANLEITUNG" 5 >/dev/null
warte_fenster "HIGHSCORE!" 10 >/dev/null
sichtbar "$ANLEITUNG" || fehler "die Anleitung ging vor dem Spielende zu"
spielende_abschließen
antworte "$ANLEITUNG" Return
[ -s "$arbeit/Highscores.qmb" ] || fehler "die Highscore-Liste liegt nicht neben dem Programm"

# A new game, closed in its middle (held until the close is sent, as above).
spiel_halten
kill -CONT "$pid"
schließen
