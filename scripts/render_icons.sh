#!/usr/bin/env bash
# Renders the compiled-in images from their SVG sources and rewrites the Qt
# resource file.
#
#   scripts/render_icons.sh            regenerate SVGs, render PNGs + .ico, write .qrc
#   scripts/render_icons.sh --no-gen   render the SVGs as they are (hand edits kept)
#
# Needs: python3, rsvg-convert (librsvg2-bin), ImageMagick (convert) and the
# font "WenQuanYi Micro Hei" (fonts-wqy-microhei) for the Chinese texts.
# The build only uses the committed PNGs, the .ico and resources/icons.qrc.
#
# Images (resource path :/icons/resources/icons/<file>), pixel size, where used:
#   qv_logo.ico             16/32/48/256  window icon
#   resources/desktop/icons/kestrane-N.png  N = 16..256  desktop menu icon (hicolor)
#   boot_kestrane.png       400x800   boot window background
#   deviceselection.png     600x405   series selection background (light centre)
#   Unselected_Series_A..D  600x405   "camera not connected" pages per series
#   Series_A..D.png         224x224   series pictures (shown at 112 and 60)
#   a1/b1/C5/A1Max/d1/default _on/_off.png  60x60  device-list buttons
#   minimize, close, return 48x48     title buttons (shown at 12..24)
#   ptz, ptz_on, collapse, expand  48x48  device-list header toggles (24)
#   up, down, left, right   32x32     PTZ pad arrows (shown at 8)
#   home                    32x32     PTZ pad centre (16)
#   add, delete, rename, replace  28x28  AI model buttons (14)
#   image, exposure, focus, color, palette, setting  32x32  page group icons (16)
#   color_picker, reset_hsv 32x32     colour page buttons (16)
#   Enlarge                 36x36     colour page enlarge button (18)
#   lens-change             16x16     lens row icon
#   switch_on, switch_off   40x20     toggle switches
#   PTZ_background          360x100   compact PTZ bar background
#   HSV_Hue, HSV_Sta        330x110   24-point hue / saturation table pictures
#   NAME_en                 as NAME   the English user interface's picture where NAME
#                                     shows text (boot, not-connected pages, PTZ bar);
#                                     the resource file gives it NAME's path for English
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
SRC="$ROOT/resources/icons/src"
OUT="$ROOT/resources/icons"
QRC="$ROOT/resources/icons.qrc"

if [[ "${1:-}" != "--no-gen" ]]; then
  python3 "$ROOT/scripts/gen_icon_svgs.py" "$SRC"
fi

for tool in rsvg-convert convert; do
  command -v "$tool" >/dev/null || { echo "missing tool: $tool" >&2; exit 1; }
done

# name -> WIDTHxHEIGHT of the rendered PNG
size_of() {
  case "${1%_en}" in
    boot_kestrane) echo 400x800 ;;
    deviceselection|Unselected_Series_?) echo 600x405 ;;
    Series_?) echo 224x224 ;;
    *_on|*_off)
      case "$1" in
        switch_on|switch_off) echo 40x20 ;;
        ptz_on) echo 48x48 ;;
        *) echo 60x60 ;;
      esac ;;
    minimize|close|return|ptz|collapse|expand) echo 48x48 ;;
    up|down|left|right|home) echo 32x32 ;;
    add|delete|rename|replace) echo 28x28 ;;
    image|exposure|focus|color|palette|setting|color_picker|reset_hsv) echo 32x32 ;;
    Enlarge) echo 36x36 ;;
    lens-change) echo 16x16 ;;
    PTZ_background) echo 360x100 ;;
    HSV_Hue|HSV_Sta) echo 330x110 ;;
    qv_logo) echo ico ;;
    *) echo "no size for $1" >&2; return 1 ;;
  esac
}

# Every file the application loads; the render fails if one has no source.
EXPECTED=(
  qv_logo.ico boot_kestrane.png deviceselection.png
  Unselected_Series_A.png Unselected_Series_B.png Unselected_Series_C.png Unselected_Series_D.png
  Series_A.png Series_B.png Series_C.png Series_D.png
  a1_on.png a1_off.png b1_on.png b1_off.png C5_on.png C5_off.png
  A1Max_on.png A1Max_off.png d1_on.png d1_off.png default_on.png default_off.png
  minimize.png close.png return.png ptz.png ptz_on.png collapse.png expand.png
  up.png down.png left.png right.png home.png
  add.png delete.png rename.png replace.png switch_on.png switch_off.png
  image.png exposure.png focus.png color.png palette.png setting.png
  color_picker.png reset_hsv.png Enlarge.png lens-change.png
  PTZ_background.png HSV_Hue.png HSV_Sta.png
  boot_kestrane_en.png PTZ_background_en.png
  Unselected_Series_A_en.png Unselected_Series_B_en.png Unselected_Series_C_en.png Unselected_Series_D_en.png
)
for file in "${EXPECTED[@]}"; do
  [[ -f "$SRC/${file%.*}.svg" ]] || { echo "no source for $file" >&2; exit 1; }
done

TMP="$(mktemp -d)"
trap 'rm -rf "$TMP"' EXIT

files=()
for svg in "$SRC"/*.svg; do
  name="$(basename "$svg" .svg)"
  size="$(size_of "$name")"
  if [[ "$size" == ico ]]; then
    for px in 16 32 48 256; do
      rsvg-convert -w "$px" -h "$px" "$svg" -o "$TMP/logo_$px.png"
    done
    # No timestamps or other run-dependent chunks in the embedded PNGs.
    convert "$TMP/logo_16.png" "$TMP/logo_32.png" "$TMP/logo_48.png" "$TMP/logo_256.png" \
      -define png:exclude-chunks=date,time +set date:create +set date:modify \
      "$OUT/$name.ico"
    files+=("$name.ico")
  else
    rsvg-convert -w "${size%x*}" -h "${size#*x}" "$svg" -o "$OUT/$name.png"
    files+=("$name.png")
  fi
done

# The desktop menu's application icon (installed into the hicolor theme) in its sizes.
DESKTOP_ICONS="$ROOT/resources/desktop/icons"
mkdir -p "$DESKTOP_ICONS"
for px in 16 24 32 48 64 128 256; do
  rsvg-convert -w "$px" -h "$px" "$SRC/qv_logo.svg" -o "$DESKTOP_ICONS/kestrane-$px.png"
done

# Qt resource file: prefix + relative path give :/icons/resources/icons/<file>.
{
  echo '<!DOCTYPE RCC>'
  echo '<RCC version="1.0">'
  echo '    <qresource prefix="/icons/resources">'
  printf '%s\n' "${files[@]}" | grep -v '_en\.' | LC_ALL=C sort | while read -r file; do
    echo "        <file>icons/$file</file>"
  done
  echo '    </qresource>'
  echo '    <qresource prefix="/icons/resources" lang="en">'
  printf '%s\n' "${files[@]}" | grep '_en\.' | LC_ALL=C sort | while read -r file; do
    echo "        <file alias=\"icons/${file/_en./.}\">icons/$file</file>"
  done
  echo '    </qresource>'
  echo '</RCC>'
} >"$QRC"

echo "rendered ${#files[@]} images into $OUT"
