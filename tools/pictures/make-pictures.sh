#!/bin/sh
# Draws the program's own pictures and the sample skin with ImageMagick, and writes them into the
# source tree: src/assets (icon, splash, credits) and skins/sample. Run from anywhere; the pictures
# are committed, so the build itself does not need ImageMagick.
set -eu

root=$(cd "$(dirname "$0")/../.." && pwd)
assets="$root/src/assets"
skin="$root/skins/sample"
mkdir -p "$assets" "$skin"

bold=DejaVu-Sans-Bold
plain=DejaVu-Sans
# No time stamps or tool names in the files, so that rerunning the script changes nothing.
strip="-strip -define png:exclude-chunks=date,time"

# Program icon: 32 x 32, 16 colours. A rounded teal tile with a white "Z2".
convert -size 32x32 xc:none \
    -fill '#1b6f8a' -draw 'roundrectangle 1,1 30,30 6,6' \
    -fill '#2a9bbd' -draw 'roundrectangle 3,3 28,15 5,5' \
    -font "$bold" -pointsize 17 -fill white -gravity center -annotate +0+1 'Z2' \
    -colors 16 $strip PNG8:"$assets/icon.png"

# Splash picture: 500 x 195, 24-bit colour, carrying the program's name.
convert -size 500x195 gradient:'#0f3a4f-#2a9bbd' \
    -fill '#ffffff22' -draw 'circle 430,40 500,40' -draw 'circle 470,170 520,170' \
    -fill '#ffffff18' -draw 'circle 60,180 120,180' \
    -stroke '#ffffff55' -strokewidth 2 -draw 'line 30,128 470,128' -stroke none \
    -font "$bold" -pointsize 40 -fill white -annotate +30+95 'Zeno 2 Organizer' \
    -font "$plain" -pointsize 15 -fill '#d8f1f8' -annotate +32+156 'Levels, tilesets and music in good order' \
    -type TrueColor $strip PNG24:"$assets/splash.png"

# Credits picture of the About box: 257 x 89, 256 colours.
convert -size 257x89 gradient:'#f4f9fb-#d6ecf3' \
    -fill '#1b6f8a' -draw 'rectangle 0,0 256,3' -draw 'rectangle 0,85 256,88' \
    -font "$bold" -pointsize 15 -fill '#0f3a4f' -gravity north -annotate +0+10 'Zeno 2 Organizer' \
    -font "$plain" -pointsize 11 -fill '#1d2b33' -annotate +0+38 'Program: The Zeno 2 Organizer team' \
    -annotate +0+58 'Title art: The Zeno 2 Organizer team' \
    -colors 256 $strip PNG8:"$assets/credits.png"

# Sample skin: one soft picture a window, each the size of that window's client area.
# $1 file, $2 size, $3 top colour, $4 bottom colour
skin_picture() {
    convert -size "$2" gradient:"$3-$4" \
        -fill '#ffffff30' -draw 'circle 0,0 120,0' \
        -fill '#ffffff20' -draw "circle ${2%x*},${2#*x} $((${2%x*} - 90)),${2#*x}" \
        -type TrueColor $strip PNG24:"$skin/$1"
}
skin_picture main.png 361x397 '#e9f3f6' '#b9d9e3'
skin_picture prefs.png 314x392 '#eef5e9' '#c5ddb6'
skin_picture settings.png 281x295 '#f6efe6' '#e0c9a8'
skin_picture restore.png 337x280 '#efeaf5' '#cbbfe0'
skin_picture about.png 306x240 '#e9f3f6' '#9fcbd9'
