#!/usr/bin/env bash
# Builds the Debian package and checks what it holds: the three programs, cw.wav where the
# program looks for it, a valid desktop entry and AppStream file, the icon in every size,
# manual pages that render, the station service, and dependencies found from the programs.
# The programs are run from the unpacked package.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/package.sh >/dev/null
deb=$(ls -1 build/zarnikcontrol_*_amd64.deb | tail -1)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dpkg-deb -x "$deb" "$work"
fail() { echo "check-package: $*" >&2; exit 1; }

echo "== $deb"
dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '/$'
for f in usr/bin/zarnikcontrol usr/bin/corvel-sim usr/bin/zarnik-modem \
         usr/share/zarnikcontrol/cw.wav \
         usr/share/applications/org.zarnikcontrol.ZarnikControl.desktop \
         usr/share/metainfo/org.zarnikcontrol.ZarnikControl.metainfo.xml \
         usr/share/icons/hicolor/scalable/apps/zarnikcontrol.svg \
         usr/lib/systemd/user/zarnikcontrol-station.service; do
  [ -s "$work/$f" ] || fail "missing $f"
done
for size in 16 24 32 48 64 128 256; do
  [ -s "$work/usr/share/icons/hicolor/${size}x${size}/apps/zarnikcontrol.png" ] || fail "no ${size}x${size} icon"
done

desktop-file-validate "$work/usr/share/applications/org.zarnikcontrol.ZarnikControl.desktop"
appstreamcli validate --no-net "$work/usr/share/metainfo/org.zarnikcontrol.ZarnikControl.metainfo.xml"

for page in zarnikcontrol corvel-sim zarnik-modem; do
  file="$work/usr/share/man/man1/$page.1.gz"
  [ -s "$file" ] || fail "no manual page for $page"
  warnings=$(zcat "$file" | groff -man -Tutf8 -ww -z 2>&1 || true)
  [ -z "$warnings" ] || fail "$page.1: $warnings"
  MANWIDTH=80 man -l "$file" >/dev/null 2>"$work/man.err" || fail "man -l $page: $(cat "$work/man.err")"
done
for section in OPTIONS FILES "PORT FOLDER" ENVIRONMENT; do
  MANWIDTH=80 man -l "$work/usr/share/man/man1/zarnikcontrol.1.gz" 2>/dev/null | grep -q "^$section" \
    || fail "man zarnikcontrol has no $section section"
done

depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6core6 libqt6widgets6 libqt6serialport6 libqt6multimedia6 libliquid1; do
  grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
done

version=$(dpkg-deb -f "$deb" Version)
"$work/usr/bin/zarnikcontrol" --version | grep -qx "ZarnikControl version $version" || fail "zarnikcontrol --version"
"$work/usr/bin/corvel-sim" --version | grep -q "$version" || fail "corvel-sim --version"
"$work/usr/bin/zarnik-modem" --version | grep -q "$version" || fail "zarnik-modem --version"
grep -q "^ExecStart=/usr/bin/zarnikcontrol --unattended" "$work/usr/lib/systemd/user/zarnikcontrol-station.service" \
  || fail "the station service does not start the unattended program"
echo "check-package: $deb is complete (version $version)"
