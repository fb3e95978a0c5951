#!/usr/bin/env bash
# Runs a command under a virtual X server of its own:  xvfb.sh COMMAND [ARGS...]
# Xvfb chooses a free display itself (-displayfd), so tests started in parallel
# never race for a number as `xvfb-run -a` does; -noreset keeps the server up
# when its last client leaves, or a program restarted in that moment finds it
# resetting and cannot connect.
set -euo pipefail
ordner=$(mktemp -d)
mkfifo "$ordner/nummer"
Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 800x600x24 3>"$ordner/nummer" 2>/dev/null &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; rm -rf "$ordner"' EXIT
# The number arrives, ended by a line break, once the server accepts clients;
# should the server die first, the pipe ends empty.
read -r -t 30 anzeige <"$ordner/nummer" || { echo "Xvfb meldet keine Anzeige" >&2; exit 1; }
DISPLAY=:$anzeige "$@"
