#!/usr/bin/env bash
# Builds the Debian package from a configured build directory, installs it
# (as root, or through sudo), starts the installed program under Xvfb with a
# throw-away home, plays one short game so that a result is stored, and
# removes the package again. Proves that the package carries everything the
# installed program needs and that it runs from the read-only /usr.
set -euo pipefail
bau=${1:-build/release}
cd "$(dirname "$0")/.."
if [ "$(id -u)" -eq 0 ]; then als_root=(); else als_root=(sudo); fi

(cd "$bau" && cpack -G DEB >/dev/null)
deb=$(ls -t "$bau"/quambel_*.deb | head -n1)
echo "paket: $deb"
dpkg-deb -I "$deb" | sed -n 's/^ Depends:/paket: hängt ab von:/p'
inhalt=$(dpkg-deb -c "$deb")
id=example.quambel.Quambel
for f in ./usr/bin/quambel ./usr/share/applications/$id.desktop ./usr/share/metainfo/$id.metainfo.xml \
         ./usr/share/icons/hicolor/scalable/apps/$id.svg ./usr/share/icons/hicolor/48x48/apps/$id.png \
         ./usr/share/doc/quambel/copyright; do
  grep -qF " $f" <<<"$inhalt" || { echo "paket: $f fehlt im Paket" >&2; exit 1; }
done

"${als_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./$deb" >/dev/null
aufräumen() { "${als_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq quambel >/dev/null || true; }
trap aufräumen EXIT

desktop-file-validate /usr/share/applications/$id.desktop
appstreamcli validate --no-net /usr/share/metainfo/$id.metainfo.xml >/dev/null
test "$(/usr/bin/quambel --version)" = "Quambel $(dpkg-deb -f "$deb" Version)"

heim=$(mktemp -d); laufzeit=$(mktemp -d); chmod 700 "$laufzeit"
HOME=$heim XDG_RUNTIME_DIR=$laufzeit QUAMBEL_E2E_PROGRAMM=/usr/bin/quambel \
  tests/e2e/xvfb.sh tests/e2e/installiert.sh "$heim" "$laufzeit"
rm -rf "$heim" "$laufzeit"
echo "paket: installiert, gestartet, gespielt, entfernt – gut"
