#!/usr/bin/env bash
# dist_test.sh install|package BUILD GUI VERSION APP_ID
#   install: installs BUILD into a staging folder, finds every file there and
#            runs the installed velmorant-cli, which must find its data;
#   package: makes the Debian package with cpack and reads its contents.
set -euo pipefail
mode=$1 build=$2 gui=$3 version=$4 id=$5
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

files="usr/bin/velmorant-cli usr/share/velmorant/velmorant-blank.mdb usr/share/man/sk/man1/velmorant-cli.1.gz
  usr/share/man/man1/velmorant-cli.1.gz usr/share/doc/velmorant/copyright usr/share/doc/velmorant/changelog.gz"
if [ "$gui" = ON ]; then
  files+=" usr/bin/velmorant usr/share/man/sk/man1/velmorant.1.gz usr/share/man/man1/velmorant.1.gz
    usr/share/applications/$id.desktop
    usr/share/metainfo/$id.metainfo.xml usr/share/icons/hicolor/scalable/apps/$id.svg"
  for size in 16 22 24 32 48 64 128 256; do files+=" usr/share/icons/hicolor/${size}x$size/apps/$id.png"; done
fi

# Width and height of a PNG from its header.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{print $3*256+$4 "x" $7*256+$8}'; }

check_installed() {
  local root=$1 f
  for f in $files; do [ -f "$root/$f" ] || fail "$f is not installed"; done
  [ "$("$root/usr/bin/velmorant-cli" --version)" = "velmorant-cli $version" ] || fail "--version"
  "$root/usr/bin/velmorant-cli" generate "$stage/generated.mdb" --seed 1 --scale 1 >/dev/null ||
    fail "the installed velmorant-cli does not find its empty database"
  for f in "$root"/usr/share/man/sk/man1/*.gz; do
    [ -z "$(LC_ALL=C.UTF-8 man --warnings -E UTF-8 -l -Tutf8 -Z "$f" 2>&1 >/dev/null)" ] || fail "groff warns: $f"
    lexgrog "$f" >/dev/null || fail "no whatis entry in $f"
  done
  [ "$gui" = ON ] || return 0
  desktop-file-validate "$root/usr/share/applications/$id.desktop" || fail "desktop entry"
  appstreamcli validate --no-net --explain "$root/usr/share/metainfo/$id.metainfo.xml" >/dev/null ||
    fail "metadata: $(appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml")"
  grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/$id.metainfo.xml" || fail "release version"
  for f in "$root"/usr/share/icons/hicolor/*x*/apps/$id.png; do
    local dir=${f%/apps/*}
    [ "$(png_size "$f")" = "${dir##*/}" ] || fail "$f is $(png_size "$f")"
  done
}

case $mode in
install)
  cmake --install "$build" --prefix "$stage/usr" >/dev/null
  check_installed "$stage"
  ;;
package)
  (cd "$build" && cpack -G DEB -B "$stage/out" >/dev/null)
  deb="$stage/out/velmorant_${version}_$(dpkg --print-architecture).deb"
  [ -f "$deb" ] || fail "no $deb"
  listing=$(dpkg-deb -c "$deb")
  for f in $files; do grep -Eq " \./$f( -> .*)?\$" <<<"$listing" || fail "$f is not in the package"; done
  depends=$(dpkg-deb -f "$deb" Depends)
  grep -q "libc6" <<<"$depends" || fail "Depends: $depends"
  [ "$gui" = OFF ] || grep -q "libqt6widgets6" <<<"$depends" || fail "Depends: $depends"
  dpkg-deb -x "$deb" "$stage/root"
  check_installed "$stage/root"
  ;;
*) fail "mode $mode" ;;
esac
