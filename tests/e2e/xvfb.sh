#!/usr/bin/env bash
# Runs a command under a virtual X server of its own:  xvfb.sh COMMAND [ARGS...]
# Xvfb chooses a free display itself (-displayfd), so tests started in parallel
# never race for a number as `xvfb-run -a` does; -noreset keeps the server up
# when its last client leaves, or a program restarted in that moment finds it
# resetting and cannot connect.
set -euo pipefail
nummer=$(mktemp)
Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 800x600x24 3>"$nummer" 2>/dev/null &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; rm -f "$nummer"' EXIT
# The number arrives, ended by a line break, once the server accepts clients.
for ((i = 0; i < 200; i++)); do
  grep -q '^[0-9]*$' "$nummer" && [ "$(wc -l <"$nummer")" -ge 1 ] && break
  kill -0 "$xvfb" 2>/dev/null || { echo "Xvfb startet nicht" >&2; exit 1; }
  sleep 0.05
done
[ "$(wc -l <"$nummer")" -ge 1 ] || { echo "Xvfb meldet keine Anzeige" >&2; exit 1; }
DISPLAY=:$(head -n1 "$nummer") "$@"
