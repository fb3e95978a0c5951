#!/usr/bin/env bash
# Installs every Debian 12 package that Quambel needs to build, run and test.
# Runs apt-get as root, through sudo otherwise, and asks apt only for what is
# missing, so that a second run takes a second.
set -euo pipefail

PAKETE=(
  # build
  build-essential cmake ninja-build ccache pkg-config git file dpkg-dev
  # Qt 6 widgets, SVG, tests, German standard buttons
  qt6-base-dev qt6-svg-dev qt6-translations-l10n libgl-dev
  # pointer confinement on X11 and the playfield's own window there (shared
  # memory, libxext), and on Wayland through the compositor's protocol
  # spoken on Qt's connection; Qt's Wayland plugin, so that Wayland desktops
  # run the game natively
  libx11-dev libxcb1-dev libxext-dev libwayland-dev wayland-protocols qt6-base-private-dev qt6-wayland
  # music: synthesiser, a General MIDI SoundFont, the desktop's sound server
  libfluidsynth-dev timgm6mb-soundfont libpulse-dev
  # scalable fonts close to the ones the game was drawn with: Liberation Sans
  # for "MS Sans Serif" and Arial, Comic Neue for Comic Sans, DejaVu besides
  fonts-liberation2 fonts-comic-neue fonts-dejavu-core
  # tests, fuzzing and benchmarks; FluidR3, the other GM SoundFont, for the music's levels
  libgtest-dev libbenchmark-dev clang clang-format libclang-rt-14-dev fluid-soundfont-gm
  # whole-program tests: virtual X server, input, screenshots, sound measurement;
  # on Wayland a headless sway with keys (wtype), screenshots (grim), its tree (jq)
  xvfb xauth xdotool x11-utils imagemagick sox sway grim wtype jq
  # desktop integration checks
  appstream desktop-file-utils
  # a sound server with a null sink: the sound-server tests run one of their own, the
  # measurements one where the music is really played
  pulseaudio
  # the Qt-free part cross-built for Windows, its tests under wine (scripts/windows-kreuz.sh)
  g++-mingw-w64-x86-64-posix wine wine64 googletest
)

fehlend=()
for p in "${PAKETE[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    fehlend+=("$p")
  fi
done

if [ ${#fehlend[@]} -eq 0 ]; then
  echo "setup: alle Pakete vorhanden."
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then als_root=(); else als_root=(sudo); fi
echo "setup: installiere ${fehlend[*]}"
"${als_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
"${als_root[@]}" env DEBIAN_FRONTEND=noninteractive \
  apt-get install -y -qq --no-install-recommends "${fehlend[@]}"
