#!/usr/bin/env bash
# check-package.sh <cpack> <build folder> <application id> <source folder>
# Builds the Debian package from the finished build, unpacks it into a temporary folder, checks
# it as a maintainer would (lintian), checks the desktop files are where a desktop looks for them
# and valid, that the help names only controls the program has, and starts the unpacked program.
set -euo pipefail
cpack=$1 build=$2 id=$3 source=$4
program_sources=("$source"/{app,list,dialogs,player,toolkit,views,platform,core,store})
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 \
    || { cat "$work/cpack.log" >&2; fail "cpack did not build the package"; }
deb=$(find "$work/out" -maxdepth 1 -name '*.deb' -print -quit)
[ -n "$deb" ] || fail "no .deb produced"

depends=$(dpkg-deb -f "$deb" Depends)
grep -q libqt5widgets5 <<<"$depends" || fail "runtime dependencies miss Qt: '$depends'"
grep -q libavcodec <<<"$depends" || fail "runtime dependencies miss FFmpeg: '$depends'"
grep -q fonts-dejavu-extra <<<"$depends" || fail "runtime dependencies miss the skin's fonts: '$depends'"

lintian --fail-on error "$deb" || fail "lintian reports errors"

root=$work/root
dpkg -x "$deb" "$root"
usr=$root/usr
icons=$usr/share/icons/hicolor
expected=(
    "$usr/bin/calvetrin-glintora"
    "$usr/lib/calvetrin-glintora/bin/calvetrin-glintora"
    "$usr/lib/calvetrin-glintora/Resources/help/index.html"
    "$usr/share/applications/$id.desktop"
    "$usr/share/metainfo/$id.metainfo.xml"
    "$icons/scalable/apps/$id.svg"
)
for size in 16 22 24 32 48 64 128 256 512; do
    expected+=("$icons/${size}x${size}/apps/$id.png")
done
for file in "${expected[@]}"; do
    [ -f "$file" ] || fail "missing ${file#"$root"}"
done
for size in 16 512; do
    file "$icons/${size}x${size}/apps/$id.png" | grep -q "$size x $size" || fail "icon of ${size} px has another size"
done

desktop-file-validate "$usr/share/applications/$id.desktop"
appstreamcli validate --no-net "$usr/share/metainfo/$id.metainfo.xml"

version=$(dpkg-deb -f "$deb" Version)
changed=$(zcat "$usr/share/doc/calvetrin-glintora/changelog.gz" | dpkg-parsechangelog -l - -S Version)
[ "$changed" = "$version" ] || fail "the changelog's last entry is $changed, the package $version"

# The controls the help names (bold, or a definition's term, or an italic choice) must be among
# the texts the program translates, as lupdate collects them from its sources.
lupdate -silent -recursive "${program_sources[@]}" -ts "$work/texts.ts"
sed -n 's|^ *<source>\(.*\)</source>$|\1|p' "$work/texts.ts" >"$work/texts"
help=$usr/lib/calvetrin-glintora/Resources/help/index.html
grep -oE '<(b|dt|i)>[^<]*</(b|dt|i)>' "$help" | sed -E 's/<[^>]*>//g' | sort -u >"$work/named"
unknown=$(grep -Fxv -f "$work/texts" "$work/named" || true)
[ -z "$unknown" ] || fail "the help names controls the program does not have: $(paste -sd, <<<"$unknown")"

# The program, started through its link in bin with a private home, must reach its main window.
home=$work/home
mkdir -p "$home/run" && chmod 700 "$home/run"
mkfifo "$work/log"
env -i PATH=/usr/bin:/bin HOME="$home" XDG_DATA_HOME="$home/.local/share" XDG_CONFIG_HOME="$home/.config" \
    XDG_CACHE_HOME="$home/.cache" XDG_RUNTIME_DIR="$home/run" QT_QPA_PLATFORM=offscreen \
    "$usr/bin/calvetrin-glintora" >"$work/log" 2>&1 &
program=$!
shown=0
grep -m1 -q "main window shown" <"$work/log" && shown=1
kill "$program" 2>/dev/null || true
wait "$program" 2>/dev/null || true
[ "$shown" = 1 ] || fail "the unpacked program did not show its main window"
echo "package $(basename "$deb") checked"
