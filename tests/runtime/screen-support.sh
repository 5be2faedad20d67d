# Shared by the on-screen tests (sourced): a saver built from pictures, and the screen's colours.

# build_show BUILDER FOLDER INTERVAL PICTURE... : FOLDER/show.scr for a 640 x 480 screen, the
# wipe of style 52 between pictures, a key to end it.
build_show() {
  local builder=$1 folder=$2 interval=$3
  shift 3
  {
    printf '[saverType]\ntype=pic\n[dataFiles]\nfilenum=%d\n' $#
    local i=0 picture
    for picture in "$@"; do printf 'file%d=%s\n' $i "$picture"; i=$((i + 1)); done
    printf '[myOptions]\nquitMode=3\nDelayTime=%d\n' "$interval"
    printf '[myBuild]\nOutPath=%s/\nOutFileName=show\nOutType=0\n' "$folder"
  } >"$folder/show.kvp"
  "$builder" "$folder/show.kvp" --quiet --effects 52 --screen 640x480 >/dev/null
}

# The colour name of the root window's pixel at x y: red, blue, black or other(#RRGGBB).
colour_at() {
  local rgb
  rgb=$(import -window root -crop "1x1+$1+$2" -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}' | head -1)
  local r=$((16#${rgb:1:2})) g=$((16#${rgb:3:2})) b=$((16#${rgb:5:2}))
  if ((r > 200 && g < 60 && b < 60)); then echo red
  elif ((b > 200 && r < 60 && g < 60)); then echo blue
  elif ((r < 20 && g < 20 && b < 20)); then echo black
  else echo "other($rgb)"; fi
}
