#!/usr/bin/env bash
# The installed program: starts from /usr, plays one short game in mouse
# mode (the ball falls past the pad), stores the result in the per-user
# folder, and leaves no music files behind after the about window closes.
#   HOME=… XDG_RUNTIME_DIR=… QUAMBEL_E2E_PROGRAMM=/usr/bin/quambel installiert.sh
. "$(dirname "$0")/hilfen.sh"

starte
musik_da "in $XDG_RUNTIME_DIR/QmbSound"
taste "$haupt" F2
spielende_abschließen
liste_datei="$HOME/.local/share/Quambel/Quambel/Highscores.qmb"
[ -s "$liste_datei" ] || fehler "keine Highscore-Liste unter $liste_datei"
schließen
