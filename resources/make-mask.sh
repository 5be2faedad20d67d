#!/usr/bin/env bash
# Makes mask1.jpg, the darkening mask offered on the Options page: a soft vignette, white over
# most of the middle (the picture unchanged there), falling to 35 % grey in the corners.
set -euo pipefail
cd "$(dirname "$0")"
convert -size 1024x768 -define gradient:radii=740,600 radial-gradient:white-black \
        -level 0%,45% +level 35%,100% -colorspace sRGB -type TrueColor -quality 92 mask1.jpg
