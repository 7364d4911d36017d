#!/usr/bin/env bash
# cmake --install puts the viewer, its menu entry, its file types and its icon in place, and the
# desktop then knows .dsx, .dsb and .dsa files by their extension and by their first line.
# Usage: desktop_install_test.sh BUILD_DIR EXAMPLES_DIR
set -euo pipefail
build=$1
examples=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$work/usr" >/dev/null
for f in bin/lumatix-viewer bin/lumatix share/applications/lumatix-viewer.desktop \
         share/mime/packages/lumatix-viewer.xml share/icons/hicolor/scalable/apps/lumatix-viewer.svg \
         share/doc/lumatix-viewer/README.md; do
  [[ -e "$work/usr/$f" ]] || fail "$f is not installed"
done
[[ -x "$work/usr/bin/lumatix-viewer" ]] || fail "lumatix-viewer is not executable"

desktop="$work/usr/share/applications/lumatix-viewer.desktop"
grep -qx 'Exec=lumatix-viewer %f' "$desktop" || fail "the menu entry does not start the viewer with the file"
grep -qx 'Icon=lumatix-viewer' "$desktop" || fail "the menu entry has no icon"
for type in application/x-lumatix-lumbinaryx application/x-lumatix-lumbinary application/x-lumatix-store; do
  grep -q "^MimeType=.*$type;" "$desktop" || fail "the menu entry does not open $type"
done
if command -v xmllint >/dev/null; then
  xmllint --noout "$work/usr/share/mime/packages/lumatix-viewer.xml" "$work/usr/share/icons/hicolor/scalable/apps/lumatix-viewer.svg"
fi

command -v update-mime-database >/dev/null || { echo "update-mime-database missing (shared-mime-info)"; exit 1; }
command -v gio >/dev/null || { echo "gio missing (libglib2.0-bin)"; exit 1; }
update-mime-database "$work/usr/share/mime" >/dev/null 2>&1
mkdir -p "$work/files"
printf 'LumBinary\nold store\n' > "$work/files/old.dsb"
printf 'LumBinary\nold store\n' > "$work/files/old-without-extension"
cp "$examples/cd_thermal_melt.dsx" "$work/files/melt.dsx"
cp "$examples/cd_thermal_melt.dsa" "$work/files/melt.dsa"
cp "$examples/cd_thermal_melt.dsx" "$work/files/binary-without-extension"
cp "$examples/cd_thermal_melt.dsa" "$work/files/text-without-extension"
check() {
  local file=$1 expected=$2 got
  got=$(XDG_DATA_DIRS="$work/usr/share:/usr/share" XDG_DATA_HOME="$work/none" \
        gio info -a standard::content-type "$work/files/$file" | sed -n 's/.*standard::content-type: //p')
  [[ "$got" == "$expected" ]] || fail "$file is $got, not $expected"
}
check melt.dsx application/x-lumatix-lumbinaryx
check melt.dsa application/x-lumatix-store
check old.dsb application/x-lumatix-lumbinary
check binary-without-extension application/x-lumatix-lumbinaryx
check text-without-extension application/x-lumatix-store
check old-without-extension application/x-lumatix-lumbinary
echo "desktop files installed and recognised"
