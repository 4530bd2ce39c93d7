#!/bin/sh
# Makes the launcher icons res/icons/kelvo-N.png (16 to 256 px) and the Windows icon
# res/kelvo.ico from the two drawn pictures res/icon16.xpm and res/icon32.xpm.
#
# Run by hand after changing a picture, and commit what it writes: the build then needs
# no ImageMagick, and the icons are the same on every machine whatever its version.
# Needs ImageMagick (convert).
#   tools/make-icons.sh
set -eu

res=$(cd "$(dirname "$0")/../res" && pwd)
out=$res/icons
mkdir -p "$out"

# Whole multiples of a picture repeat its pixels (-scale): the drawing stays sharp. 24 and
# 48 px are not whole multiples of 32; there the picture is resampled (-resize).
make() {  # SIZE PICTURE OPERATION
    convert "$2" -background none $3 -strip -define png:exclude-chunks=date,time \
        "PNG32:$out/kelvo-$1.png"
}
make 16 "$res/icon16.xpm" ""
make 24 "$res/icon32.xpm" "-resize 24x24"
make 32 "$res/icon32.xpm" ""
make 48 "$res/icon16.xpm" "-scale 300%"
make 64 "$res/icon32.xpm" "-scale 200%"
make 128 "$res/icon32.xpm" "-scale 400%"
make 256 "$res/icon32.xpm" "-scale 800%"

# One image per size, 32 bits with alpha; the 256 px one is stored as PNG, as Windows
# expects of that size.
convert $(for size in 16 24 32 48 64 128 256; do echo "$out/kelvo-$size.png"; done) "$res/kelvo.ico"
echo "wrote $out/kelvo-{16,24,32,48,64,128,256}.png and $res/kelvo.ico"
