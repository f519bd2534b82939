#!/usr/bin/env bash
# Checks what an installation puts on disk and that it runs from there.
#
#   check_install_tree.sh install BUILD_DIR APP_ID VENDOR_HEX VERSION
#       cmake --install into a temporary root: file list, udev rule, desktop entry and
#       AppStream data checked by their validators (skipped, exit 77, without them).
#   check_install_tree.sh deb BUILD_DIR APP_ID VENDOR_HEX VERSION
#       cpack builds the .deb; its dependencies are checked, it is unpacked into a clean
#       root and both programs are run from there.
set -euo pipefail
mode=$1 build=$(cd "$2" && pwd) app_id=$3 vendor=$4 version=$5

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
fail() { echo "FAIL: $*" >&2; exit 1; }

expected_files() {
  printf '%s\n' \
    usr/bin/kestrane usr/bin/kestrane-cli \
    usr/lib/udev/rules.d/70-kestrane.rules \
    "usr/share/applications/$app_id.desktop" \
    "usr/share/metainfo/$app_id.metainfo.xml" \
    "usr/share/icons/hicolor/scalable/apps/$app_id.svg"
  for px in 16 24 32 48 64 128 256; do
    echo "usr/share/icons/hicolor/${px}x${px}/apps/$app_id.png"
  done
}

check_tree() {
  local actual
  actual=$(cd "$root" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)
  diff -u <(expected_files | LC_ALL=C sort) <(echo "$actual") || fail "installed files differ"
  for exe in kestrane kestrane-cli; do
    [ -x "$root/usr/bin/$exe" ] || fail "$exe is not executable"
  done
  grep -Eq "^KERNEL==\"hidraw\*\", ATTRS\{idVendor\}==\"$vendor\", TAG\+=\"uaccess\"" \
    "$root/usr/lib/udev/rules.d/70-kestrane.rules" || fail "udev rule does not open hidraw of $vendor to the user"
  grep -q "^Icon=$app_id$" "$root/usr/share/applications/$app_id.desktop" || fail "desktop entry names another icon"
}

case "$mode" in
install)
  cmake --install "$build" --prefix "$root/usr" >/dev/null
  check_tree
  missing=0
  for tool in desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; missing=1; }
  done
  [ $missing -eq 0 ] || exit 77
  desktop-file-validate "$root/usr/share/applications/$app_id.desktop" || fail "desktop-file-validate"
  appstreamcli validate --no-net --explain "$root/usr/share/metainfo/$app_id.metainfo.xml" || fail "appstreamcli validate"
  ;;
deb)
  command -v dpkg-deb >/dev/null || { echo "SKIP: dpkg-deb is not installed"; exit 77; }
  # gzip: quicker than the release's xz; the contents are the same.
  (cd "$work" && cpack --config "$build/CPackConfig.cmake" -B "$work/out" \
      -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
  deb=$(ls "$work"/out/kestrane_*.deb)
  depends=$(dpkg-deb -f "$deb" Depends)
  echo "Depends: $depends"
  for lib in libqt6core6 libqt6gui6 libqt6widgets6 libqt6multimedia6 qt6-qpa-plugins \
             gstreamer1.0-plugins-base gstreamer1.0-plugins-good \
             'libhidapi-hidraw0' 'libopencv-core[0-9.]*' 'libopencv-imgproc[0-9.]*' 'liblo7'; do
    grep -Eq "(^|, )$lib( |,|$)" <<<"$depends" || fail "Depends lacks $lib"
  done
  dpkg-deb -f "$deb" Recommends | grep -Eq 'fonts-(noto-cjk|wqy)' || fail "no CJK font recommended"
  dpkg-deb -f "$deb" Version | grep -qx "$version" || fail "package version"
  dpkg-deb -x "$deb" "$root"
  check_tree
  export HOME=$work/home XDG_DATA_HOME=$work/home/data
  out=$("$root/usr/bin/kestrane" --version) || fail "kestrane --version"
  [ "$out" = "kestrane $version" ] || fail "kestrane --version printed '$out'"
  out=$("$root/usr/bin/kestrane-cli" --simulate list) || fail "kestrane-cli --simulate list"
  echo "$out"
  [ -n "$out" ] || fail "kestrane-cli listed nothing"
  # An installed program keeps its files in the user's data directory, not in bin/.
  [ ! -e "$root/usr/bin/logs" ] || fail "logs written into usr/bin"
  ls "$XDG_DATA_HOME"/kestrane/logs/*.log >/dev/null 2>&1 || fail "no log in the user's data directory"
  ;;
*)
  fail "unknown mode $mode"
  ;;
esac
echo "OK: $mode"
