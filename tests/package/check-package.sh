#!/usr/bin/env bash
# Builds the Debian package from a build folder, unpacks it and checks it as an installer
# would see it: files in place, desktop entries and metainfo valid, the client starting.
set -euo pipefail
build="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

(cd "$work" && cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || {
  cat "$work/cpack.log"; exit 1; }
deb="$(ls "$work"/out/delmora_*.deb)"
echo "package: $(basename "$deb")"

# The package as the archive would take it: lintian reports no error and no warning.
lintian --fail-on error,warning "$deb"

dpkg-deb -x "$deb" "$work/root"
dpkg-deb -f "$deb" Depends | tee "$work/depends"
for dep in fonts-nanum tdsodbc libqt6widgets6 libsqlite3-0 libqt6webenginewidgets6 libqt6webenginecore6 zlib1g; do
  grep -q "$dep" "$work/depends" || { echo "missing dependency: $dep"; exit 1; }
done

app=kr.co.delmora.callcenter
for f in usr/bin/delmora-callcenter usr/bin/delmora-store \
         usr/share/applications/$app.desktop usr/share/applications/$app-demo.desktop \
         usr/share/icons/hicolor/scalable/apps/$app.svg \
         usr/share/icons/hicolor/48x48/apps/$app.png usr/share/icons/hicolor/256x256/apps/$app.png \
         usr/share/metainfo/$app.metainfo.xml \
         usr/share/man/man1/delmora-callcenter.1.gz usr/share/man/man1/delmora-store.1.gz \
         usr/lib/*/delmora/libdelmora-web.so usr/lib/*/delmora/libdelmora-print.so; do
  # shellcheck disable=SC2086 # the module's folder is found by its pattern
  set -- "$work"/root/$f
  [ -s "$1" ] || { echo "missing in package: /$f"; exit 1; }
done

# The web window's engine is a module the client loads when the first web window opens, from
# ../lib/<multiarch>/delmora beside its own folder: the client itself must not link the engine
# (it would map it, and the OpenGL driver, for every agent), and must look where the module is.
module="$(cd "$work/root/usr" && ls lib/*/delmora/libdelmora-web.so)"
# Nor does it link what only some desks need (the PostgreSQL and ODBC client libraries are
# loaded with the first such store): an agent on the embedded store maps none of it at start.
for lib in webengine libpq libodbc libxlsxwriter printsupport; do
  if readelf -d "$work/root/usr/bin/delmora-callcenter" | grep NEEDED | grep -qi "$lib"; then
    echo "delmora-callcenter links $lib itself"; exit 1
  fi
done
grep -aq "/../$module" "$work/root/usr/bin/delmora-callcenter" ||
  { echo "delmora-callcenter does not look for its web module at ../$module"; exit 1; }
readelf -d "$work/root/usr/$module" | grep NEEDED | grep -q libQt6WebEngineWidgets ||
  { echo "the web module does not link Qt WebEngine"; exit 1; }
# Printing likewise: a module in the same folder, looked for there.
grep -aq "/../${module%/*}/libdelmora-print.so" "$work/root/usr/bin/delmora-callcenter" ||
  { echo "delmora-callcenter does not look for its print module beside the web module"; exit 1; }
identify -format '%w %h\n' "$work/root/usr/share/icons/hicolor/48x48/apps/$app.png" | grep -qx '48 48'
identify -format '%w %h\n' "$work/root/usr/share/icons/hicolor/256x256/apps/$app.png" | grep -qx '256 256'

desktop-file-validate "$work/root/usr/share/applications/$app.desktop" "$work/root/usr/share/applications/$app-demo.desktop"
grep -qx 'Name=델모라 콜센터 (데모)' "$work/root/usr/share/applications/$app-demo.desktop"
grep -qx 'Exec=delmora-callcenter --demo' "$work/root/usr/share/applications/$app-demo.desktop"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/$app.metainfo.xml"
zcat "$work/root/usr/share/man/man1/delmora-store.1.gz" | grep -q simulate

version="$(QT_QPA_PLATFORM=offscreen "$work/root/usr/bin/delmora-callcenter" --version)"
echo "$version"
case "$version" in "delmora-callcenter "[0-9]*) ;; *) echo "bad --version answer"; exit 1 ;; esac
"$work/root/usr/bin/delmora-store" init "$work/s.sqlite" --demo --orders 10 2>/dev/null
"$work/root/usr/bin/delmora-store" sql "$work/s.sqlite" "select count(*) from 화물오더" | tail -1 | grep -q '^[0-9]'
echo "package ok"
