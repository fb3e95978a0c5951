#!/usr/bin/env bash
# The installed program: starts from /usr, plays one short game in mouse
# mode (the ball falls past the pad), stores the result in the per-user
# folder, and leaves no music files behind after the about window closes.
heim=$1 laufzeit=$2
. "$(dirname "$0")/hilfen.sh"

starte
haupt=$(warte_fenster "Quambel - F2 zum Starten drücken" 15)
[ -f "$laufzeit/QmbSound/game1.qmb" ] || fehler "Musikdateien fehlen in $laufzeit/QmbSound"
taste "$haupt" F2
eingabe=$(warte_fenster "HIGHSCORE!" 20)
taste "$eingabe" Return
meldung=$(warte_fenster "Punkte: [0-9]*" 10)
taste "$meldung" Return
liste=$(warte_fenster "Quambel - Highscore" 10)
taste "$liste" Escape
warte_weg "Quambel - Highscore"
liste_datei="$heim/.local/share/Quambel/Quambel/Highscores.qmb"
[ -s "$liste_datei" ] || fehler "keine Highscore-Liste unter $liste_datei"
taste "$haupt" ctrl+q
about=$(warte_fenster "About Quambel" 10)
[ ! -e "$laufzeit/QmbSound/game1.qmb" ] || fehler "Musikdateien nach dem Schließen noch da"
taste "$about" Escape
warte_ende 10 || fehler "Programm endet mit Fehler"
echo "installiert: gut"
