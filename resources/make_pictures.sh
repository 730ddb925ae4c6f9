#!/usr/bin/env bash
# Draws the window's pictures and the application icon with ImageMagick:
#   kestrune_banner.bmp  807 x 80   top panel of the main window
#   kestrune_side.bmp    198 x 159  side panel of the software page (white background)
#   kestrune_splash.bmp  480 x 300  start-up splash
#   kestrune.ico         16, 32 and 48 px
# Usage: make_pictures.sh OUTPUT_DIR FONT_FILE VERSION
# The bitmaps are plain 24-bit BMP (BITMAPINFOHEADER, no colour profile, no time stamps), so the
# same inputs give the same bytes.
set -euo pipefail

if [ $# -ne 3 ]; then
  echo "usage: $0 OUTPUT_DIR FONT_FILE VERSION" >&2
  exit 2
fi
out=$1
font=$2
version=$3
if [ -z "$out" ] || [ -z "$version" ]; then
  echo "make_pictures: OUTPUT_DIR and VERSION must not be empty" >&2
  exit 2
fi
if [ ! -f "$font" ]; then
  echo "make_pictures: font file not found: $font" >&2
  exit 1
fi
command -v convert >/dev/null || { echo "make_pictures: ImageMagick 'convert' not found" >&2; exit 1; }

mkdir -p "$out"
work="$out/pictures.tmp"
rm -rf "$work"
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT

# One thread, so that every run renders exactly the same pixels.
export MAGICK_THREAD_LIMIT=1

navy='#0a2a5e'
deep_blue='#0d3b7a'
teal='#0e7c86'
pale_teal='#9fdbe6'
amber='#f0a23b'

# The kestrel mark, drawn in a 100 x 100 box (content spans x 2-98, y 14-90): two wings of two
# facets each, a slim body and a notched tail. Arguments: light facet colour, dark facet colour,
# tail colour. Callers place it with "translate X,Y scale S,S" in front.
mark() {
  echo "stroke none" \
    "fill $1 polygon 48,34 2,14 27,37 48,46" \
    "fill $2 polygon 48,46 27,37 2,14 13,33 21,39 28,43 36,51 46,60" \
    "fill $1 polygon 52,34 98,14 73,37 52,46" \
    "fill $2 polygon 52,46 73,37 98,14 87,33 79,39 72,43 64,51 54,60" \
    "fill $1 polygon 50,18 54,27 53,57 50,63 47,57 46,27" \
    "fill $3 polygon 47,60 53,60 59,90 50,84 41,90"
}

# Dark backdrop shared by the banner and the splash: deep blue on the left turning to a dark teal
# on the right, dark enough everywhere for white text.
backdrop() { # width height output
  local w=$1 h=$2
  convert -size "${w}x${h}" xc: -sparse-color Bilinear \
    "0,0 #0d3674 $((w - 1)),0 #0b5a6c 0,$((h - 1)) #081f4c $((w - 1)),$((h - 1)) #08404f" \
    "$3"
}

# Rounded square with the blue-to-teal gradient and the mark in white: the application's badge.
# The mark spans 78% of the badge, or more where the badge is tiny and every pixel counts.
badge() { # size output [mark span]
  local s=$1 span=${3:-0.78} r
  r=$(awk -v s="$s" 'BEGIN { printf "%.2f", s * 0.22 }')
  convert -size "${s}x${s}" xc: -sparse-color Bilinear \
    "0,0 #1560a8 $((s - 1)),0 #1188a0 0,$((s - 1)) $navy $((s - 1)),$((s - 1)) #0b5f70" \
    \( -size "${s}x${s}" xc:black -fill white -draw "roundrectangle 0,0 $((s - 1)),$((s - 1)) $r,$r" \) \
    -alpha off -compose CopyOpacity -composite -compose Over \
    -draw "translate $(awk -v s="$s" -v span="$span" 'BEGIN { k = s * span / 100; printf "%.3f,%.3f scale %.4f,%.4f", s/2 - 50*k, s/2 - 52*k, k, k }') \
           $(mark white "$pale_teal" "$amber")" \
    "$2"
}

# Final form of every bitmap: flattened on white, 24 bits, BMP version 3 header.
save_bmp() { # input output
  convert "$1" -background white -alpha remove -alpha off -type TrueColor \
    -define bmp:format=bmp3 -compress none "BMP3:$2"
}

banner() {
  backdrop 807 80 "$work/banner_back.png"
  # Light shards in the middle only: the version label sits at x 280-465 near the top and the
  # three links at x 680-789 near the bottom, and both need a calm background.
  convert "$work/banner_back.png" \
    -fill 'rgba(255,255,255,0.05)' -draw "polygon 500,0 560,0 470,80 410,80" \
    -fill 'rgba(255,255,255,0.04)' -draw "polygon 575,0 600,0 510,80 485,80" \
    -fill 'rgba(159,219,230,0.07)' -draw "polygon 620,0 700,0 610,80 530,80" \
    -fill 'rgba(39,179,194,0.75)' -draw "rectangle 0,78 806,79" \
    -draw "translate 716,0 scale 0.55,0.55 $(mark 'rgba(255,255,255,0.10)' 'rgba(255,255,255,0.06)' 'rgba(255,255,255,0.06)')" \
    -draw "translate 14,6 scale 0.66,0.66 $(mark white "$pale_teal" "$amber")" \
    -font "$font" \
    -fill white -stroke white -strokewidth 0.6 -pointsize 30 -annotate +88+41 'Kestrune' \
    -stroke none -fill "$pale_teal" -pointsize 13 -kerning 1.5 -annotate +90+64 '特征卸载 · 彻底清除' \
    "$work/banner.png"
  save_bmp "$work/banner.png" "$out/kestrune_banner.bmp"
}

side_picture() {
  badge 78 "$work/side_badge.png"
  convert "$work/side_badge.png" \( +clone -background "$deep_blue" -shadow 45x4+0+4 \) \
    +swap -background none -layers merge +repage "$work/side_badge_shadow.png"
  convert -size 198x159 xc:white \
    -fill '#eef6f9' -draw "circle 99,50 99,2" \
    -fill '#e2f0f5' -draw "circle 99,50 99,14" \
    "$work/side_badge_shadow.png" -gravity north -geometry +0+9 -composite \
    -font "$font" -gravity north \
    -fill "$deep_blue" -stroke "$deep_blue" -strokewidth 0.4 -pointsize 14 -annotate +0+104 '特征识别  精准卸载' \
    -stroke none -fill '#4d7d8f' -pointsize 11 -annotate +0+128 '注册表 · 文件 · 快捷方式' \
    -fill "$teal" -draw "gravity north rectangle 84,148 114,149" \
    "$work/side.png"
  save_bmp "$work/side.png" "$out/kestrune_side.bmp"
}

splash() {
  backdrop 480 300 "$work/splash_back.png"
  convert "$work/splash_back.png" \
    -fill 'rgba(255,255,255,0.05)' -draw "polygon 330,0 400,0 250,300 180,300" \
    -fill 'rgba(159,219,230,0.06)' -draw "polygon 420,0 450,0 300,300 270,300" \
    -draw "translate 30,52 scale 1.4,1.4 $(mark white "$pale_teal" "$amber")" \
    -font "$font" \
    -fill white -stroke white -strokewidth 0.8 -pointsize 46 -annotate +190+130 'Kestrune' \
    -stroke none -fill "$pale_teal" -pointsize 17 -kerning 2 -annotate +193+166 '特征卸载 · 彻底清除' \
    -kerning 0 -fill 'rgba(255,255,255,0.25)' -draw "rectangle 24,246 455,246" \
    -fill 'rgba(39,179,194,0.9)' -draw "rectangle 0,296 479,299" \
    -fill white -pointsize 13 -annotate +24+274 '正在启动...' \
    -fill "$pale_teal" -gravity southeast -annotate +24+15 "版本 $version" \
    -gravity northwest -fill none -stroke '#06183a' -strokewidth 1 -draw "rectangle 0,0 479,299" \
    "$work/splash.png"
  save_bmp "$work/splash.png" "$out/kestrune_splash.bmp"
}

icon() {
  badge 16 "$work/icon_16.png" 0.94
  badge 32 "$work/icon_32.png"
  badge 48 "$work/icon_48.png"
  convert "$work/icon_16.png" "$work/icon_32.png" "$work/icon_48.png" "$out/kestrune.ico"
}

banner
side_picture
splash
icon
