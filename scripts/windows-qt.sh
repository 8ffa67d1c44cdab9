#!/bin/bash
# Gives a static, release Qt 5.15 for MinGW-w64 (x86_64, posix threads) that the Windows
# program links against, and prints its prefix on the last line of its output.
#
#   scripts/windows-qt.sh               build (or resume) in the foreground
#   scripts/windows-qt.sh --background  the same, detached, at the lowest CPU and I/O priority,
#                                       logging to <cache>/build.log; returns at once
#   scripts/windows-qt.sh --prefix      print the prefix if the Qt is complete, else fail
#   scripts/windows-qt.sh --pack FILE   write the complete prefix as FILE (.tar.xz), host tools stripped
#
# The cache is $LUMETRA_WINQT (default /var/cache/lumetra/winqt-5.15), outside the tree so that
# it outlives a work tree: the unpacked sources, the build folders and the prefix stay there, a
# stamp marks each finished step, and a second run goes on where the first stopped. A prebuilt
# archive (*.tar.xz holding the prefix's contents) in ../shared/winqt/ beside the tree is
# unpacked instead of building. Otherwise the modules the program needs are built from
# Debian's source packages: qtbase, qtdeclarative (Qt Quick) and qtquickcontrols2 (the progress
# bar and the popup of Step three). No picture of the program is SVG, so qtsvg is left out.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
cache=${LUMETRA_WINQT:-/var/cache/lumetra/winqt-5.15}
prefix=$cache/prefix
stamps=$cache/stamps
complete=$prefix/.lumetra-complete
modules="qtbase qtdeclarative qtquickcontrols2"

case "${1:-}" in
--prefix)
    [ -e "$complete" ] || { echo "no complete cross Qt in $prefix" >&2; exit 1; }
    echo "$prefix"
    exit 0
    ;;
--pack)
    [ -e "$complete" ] || { echo "no complete cross Qt in $prefix" >&2; exit 1; }
    out=${2:?"--pack takes the archive to write"}
    # The host tools (qmake, moc, rcc, qmlcachegen...) carry symbols nobody needs.
    for tool in "$prefix"/bin/*; do strip "$tool" 2>/dev/null || true; done
    tar -C "$prefix" --exclude=./.lumetra-complete -cf - . | nice -n 19 xz -6 >"$out"
    echo "$out: $(du -h "$out" | cut -f1)"
    exit 0
    ;;
--background)
    mkdir -p "$cache"
    setsid nohup nice -n 19 ionice -c3 "$0" >>"$cache/build.log" 2>&1 </dev/null &
    echo "Building the cross Qt in the background (pid $!); log: $cache/build.log"
    exit 0
    ;;
"") ;;
*)
    sed -n '2,10s/^# \{0,1\}//p' "$0" >&2
    exit 3
    ;;
esac

if [ -e "$complete" ]; then
    echo "$prefix"
    exit 0
fi

mkdir -p "$cache" "$stamps"
# One builder at a time per cache; a second run waits rather than mixing into the first.
exec 9>"$cache/.lock"
if ! flock -n 9; then
    echo "another build of the cross Qt holds $cache/.lock; waiting for it" >&2
    flock 9
    [ -e "$complete" ] && { echo "$prefix"; exit 0; }
fi

# The Qt's own configuration in the prefix, so that qmake finds its files wherever the prefix
# is unpacked (CMake's package files are relative already). Qt 5.15's CMake reads a QML
# plugin's link dependencies from lib<plugin>.prl, where MinGW's qmake writes <plugin>.prl;
# without the second name the Controls 2 plugin comes without the libraries it needs.
finish_prefix()
{
    printf '[Paths]\nPrefix=..\n' >"$prefix/bin/qt.conf"
    local prl
    find "$prefix/qml" -name '*.prl' ! -name 'lib*' | while read -r prl; do
        ln -sfn "$(basename "$prl")" "$(dirname "$prl")/lib$(basename "$prl")"
    done
}

for archive in "$top"/../shared/winqt/*.tar.xz; do
    [ -f "$archive" ] || continue
    echo "Unpacking the prebuilt cross Qt $archive into $prefix"
    rm -rf "$prefix"
    mkdir -p "$prefix"
    tar -xJf "$archive" -C "$prefix"
    finish_prefix
    touch "$complete"
    echo "$prefix"
    exit 0
done

as_root()
{
    if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

packages="mingw-w64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix dpkg-dev
          g++ make perl python3 xz-utils util-linux"
missing=""
for package in $packages; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
    fi
done
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    as_root apt-get update -q
    DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -q --no-install-recommends $missing
fi

# apt-get source needs deb-src entries for the archive the machine installs from. They go into
# a file of their own, copied from the Debian entries already there, so nothing else changes
# and removing that file undoes it.
add_deb_src()
{
    local lists=/etc/apt/sources.list.d
    if grep -rqsE '^[[:space:]]*(deb-src[[:space:]]|Types:.*deb-src)' /etc/apt/sources.list \
           $lists/*.list $lists/*.sources; then
        return 1
    fi
    local file found=""
    for file in $lists/*.sources; do
        [ -f "$file" ] && grep -qE '^URIs:.*/debian' "$file" || continue
        # Each stanza as it is, with deb-src for its type.
        sed -E 's/^Types:.*/Types: deb-src/' "$file" >>"$lists/lumetra-deb-src.sources"
        echo >>"$lists/lumetra-deb-src.sources"
        found=1
    done
    if [ -f /etc/apt/sources.list ] && grep -qE '^deb[[:space:]].*/debian' /etc/apt/sources.list; then
        grep -E '^deb[[:space:]].*/debian' /etc/apt/sources.list |
            sed -E 's/^deb([[:space:]])/deb-src\1/' >"$lists/lumetra-deb-src.list"
        found=1
    fi
    [ -n "$found" ] || { echo "no Debian entry in the apt sources to add deb-src to" >&2; exit 1; }
    echo "Added deb-src entries in $lists/lumetra-deb-src.*"
}

source_packages="qtbase-opensource-src qtdeclarative-opensource-src qtquickcontrols2-opensource-src"
mkdir -p "$cache/src"
if [ ! -e "$stamps/sources" ]; then
    if add_deb_src; then
        as_root apt-get update -q
    fi
    # Unpacked with Debian's patches, beside their .dsc and tarballs.
    (cd "$cache/src" && apt-get source -q $source_packages)
    touch "$stamps/sources"
fi

source_dir()
{
    local dir
    dir=$(ls -d "$cache/src/$1-opensource-src-"*/ 2>/dev/null | head -n1)
    [ -n "$dir" ] || { echo "no unpacked source of $1 in $cache/src" >&2; exit 1; }
    echo "${dir%/}"
}

# The posix-thread variant of the cross compiler (std::thread, std::mutex), under the plain
# names that Qt's mkspec calls, first on the PATH; the system alternative may point at win32.
toolbin=$cache/toolchain
mkdir -p "$toolbin"
for tool in gcc g++; do
    ln -sfn "/usr/bin/x86_64-w64-mingw32-$tool-posix" "$toolbin/x86_64-w64-mingw32-$tool"
done
export PATH="$toolbin:$PATH"

low() { nice -n 19 ionice -c3 "$@"; }

configure_module()
{
    local module=$1 src=$2
    if [ "$module" = qtbase ]; then
        # JPEG stays in: the pictures of the steps are JPEG. Debian's sources lack the bundled
        # wintab headers, hence no tablet events (the program has no use for them).
        low "$src/configure" -xplatform win32-g++ -device-option CROSS_COMPILE=x86_64-w64-mingw32- \
            -prefix "$prefix" -opensource -confirm-license -release -static -static-runtime \
            -nomake examples -nomake tests -no-pkg-config -no-dbus -no-icu -no-openssl \
            -no-widgets -no-feature-sql -no-feature-testlib -no-feature-tabletevent \
            -opengl desktop -qt-zlib -qt-pcre -qt-libpng -qt-libjpeg -qt-freetype -qt-harfbuzz
    elif [ "$module" = qtdeclarative ]; then
        # The Direct3D 12 backend needs Microsoft's shader compiler (fxc.exe).
        low "$prefix/bin/qmake" "$src" -- -no-qml-debug -no-feature-quick-particles -no-d3d12
    else
        low "$prefix/bin/qmake" "$src"
    fi
}

minutes() { printf '%d min %02d s' $(( $1 / 60 )) $(( $1 % 60 )); }

total_start=$(date +%s)
for module in $modules; do
    if [ -e "$stamps/$module.installed" ]; then
        echo "$module: already built ($(cat "$stamps/$module.installed"))"
        continue
    fi
    src=$(source_dir "$module")
    build=$cache/build/$module
    mkdir -p "$build"
    # Time spent on the module by earlier runs that stopped: each up to the last file it wrote.
    earlier=$(cat "$stamps/$module.seconds" 2>/dev/null || echo 0)
    if [ -e "$stamps/$module.start" ]; then
        last=$(find "$build" -type f -printf '%T@\n' | sort -n | tail -n1)
        last=${last%.*}
        earlier=$(( earlier + ${last:-0} - $(cat "$stamps/$module.start") ))
        echo "$earlier" >"$stamps/$module.seconds"
        echo "$module: going on after $(minutes "$earlier") in earlier runs"
    fi
    start=$(date +%s)
    echo "$start" >"$stamps/$module.start"
    echo "$module: building in $build ($(date '+%F %T'))"
    if [ ! -e "$stamps/$module.configured" ]; then
        (cd "$build" && configure_module "$module" "$src")
        touch "$stamps/$module.configured"
    fi
    # A build stopped by a kill may leave the objects or programs it was writing cut short yet
    # newer than their sources, so make would take them as done: the newest few go and are made
    # again.
    if [ ! -e "$stamps/$module.built" ]; then
        find "$build" -type f -newer "$stamps/$module.configured" \( -name '*.o' -o -name '*.a' \
                -o -name '*.exe' -o -name 'moc_*' -o -name '*.moc' -o -path "$build/bin/*" \) \
                -printf '%T@ %p\n' |
            sort -rn | head -n 6 | cut -d' ' -f2- | xargs -r -d '\n' rm -f
    fi
    (cd "$build" && low make -j2)
    touch "$stamps/$module.built"
    (cd "$build" && low make install)
    took=$(( $(date +%s) - start + earlier ))
    rm -f "$stamps/$module.start"
    echo "$(minutes $took), finished $(date '+%F %T')" >"$stamps/$module.installed"
    echo "$module: done in $(minutes $took)" | tee -a "$cache/times.txt"
done

finish_prefix
touch "$complete"
echo "Cross Qt complete in $(minutes $(( $(date +%s) - total_start ))) (this run); $(du -sh "$prefix" | cut -f1) installed"
echo "$prefix"
