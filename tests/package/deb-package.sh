#!/usr/bin/env bash
# The Debian package as cpack makes it from this build: its name and fields, the programs with
# what they read beside them, the links in bin/, the desktop entry and its icon, a saver built by
# the packaged builder, and a Depends line that meets what dpkg-shlibdeps finds for the packaged
# programs and for the saver runtime they carry inside.
#   deb-package.sh CPACK BUILD-DIR VERSION LIBDIR kestrava-saver
set -euo pipefail
cpack=$1 build=$2 version=$3 libdir=$4 runtime=$5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  echo "FAIL: cpack" >&2
  exit 1
fi
deb="$work/out/kestrava_${version}_$(dpkg --print-architecture).deb"
if [[ ! -f $deb ]]; then
  echo "FAIL: no $(basename "$deb"); cpack made: $(cd "$work/out" && ls ./*.deb 2>/dev/null)" >&2
  exit 1
fi

# Fields.
for field in "Package kestrava" "Version $version" "Section graphics"; do
  read -r name expected <<<"$field"
  [[ $(dpkg-deb -f "$deb" "$name") == "$expected" ]] ||
    fail "$name is '$(dpkg-deb -f "$deb" "$name")', not '$expected'"
done

# Files.
root="$work/root"
dpkg-deb -x "$deb" "$root"
home="usr/$libdir/kestrava"
for file in "$home/kestrava" "$home/kestrava-build" "$home/mask1.jpg" "$home/manual/index.html" \
  usr/share/applications/kestrava.desktop usr/share/icons/hicolor/48x48/apps/kestrava.png \
  usr/share/icons/hicolor/256x256/apps/kestrava.png usr/share/doc/kestrava/copyright; do
  [[ -f "$root/$file" && ! -L "$root/$file" ]] || fail "no file /$file"
done

# The links in bin/ lead to the programs within the package, relative or from /.
for program in kestrava kestrava-build; do
  link="$root/usr/bin/$program"
  if [[ ! -L $link ]]; then
    fail "/usr/bin/$program is not a link"
    continue
  fi
  target=$(readlink "$link")
  if [[ $target == /* ]]; then resolved="$root$target"; else resolved="$root/usr/bin/$target"; fi
  [[ -f $resolved && $(realpath "$resolved") == $(realpath "$root/$home/$program") ]] ||
    fail "/usr/bin/$program -> $target is not /$home/$program"
done

# The desktop entry starts a program in /usr/bin and names an icon the package has.
desktop="$root/usr/share/applications/kestrava.desktop"
exec_command=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[[ -n $exec_command && -x "$root/usr/bin/$exec_command" ]] ||
  fail "the desktop entry's Exec '$exec_command' is not in /usr/bin"
icon=$(sed -n 's/^Icon=//p' "$desktop")
compgen -G "$root/usr/share/icons/hicolor/*/apps/$icon.png" >/dev/null ||
  fail "the desktop entry's icon '$icon' is not in the package"

# The packaged (stripped) builder, started through its link, makes a saver with the mask beside
# it, and that saver plays.
if [[ -x "$root/usr/bin/kestrava-build" ]]; then
  convert -size 160x120 xc:teal -fill white -draw "circle 80 60 80 20" "$work/one.jpg"
  cat >"$work/one.kvp" <<KVP
[saverType]
type=pic
[dataFiles]
filenum=1
file0=$work/one.jpg
[myBuild]
OutPath=$work/
OutFileName=one
OutType=0
KVP
  if "$root/usr/bin/kestrava-build" "$work/one.kvp" --quiet --mask --screen 160x120 \
    >"$work/build.log" 2>&1 &&
    "$work/one.scr" --frames 1 --dump "$work/frames" >/dev/null 2>&1 &&
    [[ -f "$work/frames/frame-00000.png" ]]; then
    :
  else
    cat "$work/build.log" >&2
    fail "the packaged kestrava-build does not make a saver that plays"
  fi
fi

# Depends: one entry at most per package and version, and every library package dpkg-shlibdeps
# finds for the packaged programs and the runtime, at the least version it asks for.
depends=$(dpkg-deb -f "$deb" Depends)
entries=${depends//, /$'\n'}
repeated=$(sort <<<"$entries" | uniq -d)
[[ -z $repeated ]] || fail "Depends repeats: $repeated"
mkdir -p "$work/shlibdeps/debian"
touch "$work/shlibdeps/debian/control"
shlibdeps() {
  (cd "$work/shlibdeps" && dpkg-shlibdeps --ignore-missing-info -O "${@/#/-e}" 2>/dev/null) |
    sed 's/^.*Depends=//'
}
needed=$(shlibdeps "$runtime" "$root/$home/kestrava" "$root/$home/kestrava-build")
runtime_needs=$(shlibdeps "$runtime")
# Against a wrong runtime path the comparison would say nothing: the runtime's own list must have
# its display, sound and drawing libraries.
for library in 'libsdl2-[0-9]' 'libsdl2-mixer-' 'libcairo2'; do
  grep -Eq "(^|, )$library" <<<"$runtime_needs" || fail "the runtime needs no $library package?"
  grep -Eq "(^|, )$library" <<<"$depends" || fail "Depends names no $library package"
done
met() {
  local package=$1 least=$2 entry
  while read -r entry; do
    if [[ $entry =~ ^([^ ]+)( \(\>= (.+)\))?$ && ${BASH_REMATCH[1]} == "$package" ]]; then
      [[ -z $least ]] && return 0
      [[ -n ${BASH_REMATCH[3]} ]] && dpkg --compare-versions "${BASH_REMATCH[3]}" ge "$least" &&
        return 0
    fi
  done <<<"$entries"
  return 1
}
while read -r need; do
  if [[ $need =~ ^([^ ]+)( \(\>= (.+)\))?$ ]]; then
    met "${BASH_REMATCH[1]}" "${BASH_REMATCH[3]}" || fail "Depends does not meet '$need'"
  else
    grep -Fxq "$need" <<<"$entries" || fail "Depends lacks '$need'"
  fi
done <<<"${needed//, /$'\n'}"

if ((failures > 0)); then
  echo "Depends: $depends" >&2
  exit 1
fi
echo "$(basename "$deb"): $(stat -c %s "$deb") bytes; Depends: $depends"
