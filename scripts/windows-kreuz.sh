#!/usr/bin/env bash
# The Qt-free part of Quambel built for 64-bit Windows with MinGW-w64 and its
# tests run under wine: the game, the controls, the list with its Win32 file
# layer, the MIDI reader and sequencer. Qt and FluidSynth for Windows are not
# available here, so the program itself is not built this way.
#   scripts/windows-kreuz.sh [build dir, default build/mingw]
set -euo pipefail
cd "$(dirname "$0")/.."
ordner=${1:-build/mingw}
gtest=${QUAMBEL_GTEST_QUELLEN:-/usr/src/googletest}

start=$(date +%s)
cmake -S . -B "$ordner" -G Ninja --no-warn-unused-cli -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUAMBEL_NUR_KERN=ON -DQUAMBEL_WERROR=ON \
  -DQUAMBEL_GTEST_QUELLEN="$gtest" >/dev/null
nice cmake --build "$ordner" -j2
gebaut=$(date +%s)
echo "windows-kreuz: gebaut in $((gebaut - start)) s"

# A private wine prefix beside the build; one wineserver for all tests, so
# that a test program starts in well under a second.
export WINEPREFIX="$PWD/$ordner/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot --init >/dev/null 2>&1
  echo "windows-kreuz: wine eingerichtet in $(($(date +%s) - gebaut)) s"
fi
wineserver -w # the one wineboot left behind ends first
wineserver -p
trap 'wineserver -k || true' EXIT
# Wine's own services start with the first program and live as long as the
# server; started here, they do not hold ctest's output pipes open.
/usr/lib/wine/wine64 cmd /c exit </dev/null >/dev/null 2>&1 || wine cmd /c exit </dev/null >/dev/null 2>&1
lauf=$(date +%s)
ctest --test-dir "$ordner" --output-on-failure -j2
echo "windows-kreuz: Tests unter wine in $(($(date +%s) - lauf)) s"
