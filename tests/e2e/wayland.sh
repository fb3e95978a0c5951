#!/usr/bin/env bash
# Runs a command under a headless Wayland compositor of its own, with a
# pointer device:  wayland.sh SCALE COMMAND [ARGS...]
# sway draws into memory (headless backend, pixman renderer) on one output
# at the given scale. It refuses to run as root, so as root it
# runs as nobody; the command stays who it is and reaches the compositor by
# the socket's full path. The command gets WAYLAND_DISPLAY, SWAYSOCK and
# ZEIGER (a descriptor: one line of tools/zeiger's commands each) and no
# DISPLAY, so that Qt picks its Wayland platform as on a Wayland desktop.
set -euo pipefail
massstab=$1; shift
ordner=$(mktemp -d)
chmod 755 "$ordner"
laufzeit=$ordner/sway
mkdir -m 700 "$laufzeit"
# 960x700 logical pixels at every scale: room for the window and its dialogues.
modus=$(awk -v s="$massstab" 'BEGIN { printf "%dx%d", 960 * s, 700 * s }')
cat >"$laufzeit/config" <<KONFIG
output HEADLESS-1 mode $modus@60Hz scale $massstab
xwayland disable
focus_follows_mouse no
# Without any seat section sway 1.7 leaves pointer constraints off; a
# desktop's configuration has one.
seat * pointer_constraint enable
# The main window floats at its first size, as on a stacking desktop, so
# that the tests know where the playfield lies; tiled, sway would enlarge it.
for_window [title="^Quambel"] floating enable
KONFIG
umgebung=(env -i PATH=/usr/bin:/bin HOME="$laufzeit" XDG_RUNTIME_DIR="$laufzeit"
  WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman WLR_HEADLESS_OUTPUTS=1)
if [ "$(id -u)" -eq 0 ]; then
  chown -R nobody:nogroup "$laufzeit"
  umgebung=(setpriv --reuid=nobody --regid=nogroup --clear-groups "${umgebung[@]}")
fi
"${umgebung[@]}" sway -c "$laufzeit/config" >"$ordner/sway.log" 2>&1 &
sway=$!
zeiger=""
ende() {
  [ -z "$zeiger" ] || kill "$zeiger" 2>/dev/null || true
  kill "$sway" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$ordner"
}
trap ende EXIT
for ((i = 0; i < 100; i++)); do
  [ -S "$laufzeit/wayland-1" ] && ls "$laufzeit"/sway-ipc.*.sock >/dev/null 2>&1 && break
  kill -0 "$sway" 2>/dev/null || { cat "$ordner/sway.log" >&2; echo "sway startet nicht" >&2; exit 1; }
  sleep 0.1
done
export WAYLAND_DISPLAY=$laufzeit/wayland-1
SWAYSOCK=$(ls "$laufzeit"/sway-ipc.*.sock)
export SWAYSOCK
unset DISPLAY QT_QPA_PLATFORM

# The pointer: a client that stays for the whole run, fed through a pipe.
mkfifo "$ordner/zeiger.ein" "$ordner/zeiger.aus"
"${QUAMBEL_E2E_ZEIGER:?QUAMBEL_E2E_ZEIGER nennt tools/zeiger}" <"$ordner/zeiger.ein" >"$ordner/zeiger.aus" &
zeiger=$!
exec {ZEIGER}>"$ordner/zeiger.ein" {ZEIGER_ANTWORT}<"$ordner/zeiger.aus"
read -r -t 10 antwort <&"$ZEIGER_ANTWORT" && [ "$antwort" = ok ] || { echo "kein virtueller Zeiger" >&2; exit 1; }
export ZEIGER ZEIGER_ANTWORT
# A keyboard that stays on the seat: each wtype brings one of its own, and a
# seat whose last keyboard leaves takes the keyboard focus from every window.
wtype -s 36000000 &
tastatur=$!
trap 'kill "$tastatur" 2>/dev/null; ende' EXIT
"$@"
