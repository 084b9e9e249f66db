#!/bin/bash
# Builds Qt for 64-bit Windows from Debian's own qt6-base source package, the
# same version as the host's Qt, with MinGW-w64, and prints its prefix as the
# last line. Only what the program and its tests use is built. The result is
# cached outside the checkout, keyed by version and options, so a second run
# takes seconds. GLYPHSMITH_WINDOWS_QT names an existing Qt for Windows
# instead.
# shellcheck source=tools/strict.sh
. "$(dirname "$0")/strict.sh"
here=$(cd "$(dirname "$0")/.." && pwd)

if [ -n "${GLYPHSMITH_WINDOWS_QT:-}" ]; then
    [ -f "$GLYPHSMITH_WINDOWS_QT/lib/cmake/Qt6/Qt6Config.cmake" ] || {
        echo "GLYPHSMITH_WINDOWS_QT=$GLYPHSMITH_WINDOWS_QT holds no Qt 6" >&2; exit 1; }
    echo "$GLYPHSMITH_WINDOWS_QT"
    exit 0
fi

version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
options=(
    -DBUILD_SHARED_LIBS=ON -DCMAKE_BUILD_TYPE=Release
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
    -DFEATURE_tabletevent=OFF # the dfsg tarball lacks the tablet header
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF
    -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_opengl_dynamic=OFF -DFEATURE_dynamicgl=OFF
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF
    -DFEATURE_xml=OFF -DFEATURE_vulkan=OFF
    # direct2d builds the DirectWrite font engine, which draws a stretched
    # face at its exact width (GDI narrows it only in whole pixels of the
    # average character) and which Qt uses on scaled screens. GDI stays the
    # font database; the Direct2D platform plugin is not needed.
    -DFEATURE_direct2d=ON -DFEATURE_direct2d1_1=OFF -DFEATURE_directwrite3=OFF
    -DFEATURE_imageformat_jpeg=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF
    # Built for size, without what the program never uses: file, colour and
    # font dialogs, PDF, Markdown and ODF, style sheets, FreeType (DirectWrite
    # and GDI draw every face on Windows), the graphics view, the tray icon, and
    # widgets it has none of.
    -DFEATURE_optimize_size=ON
    -DFEATURE_filedialog=OFF -DFEATURE_colordialog=OFF -DFEATURE_fontdialog=OFF
    -DFEATURE_pdf=OFF -DFEATURE_textodfwriter=OFF
    -DFEATURE_textmarkdownreader=OFF -DFEATURE_textmarkdownwriter=OFF
    -DFEATURE_style_stylesheet=OFF -DFEATURE_freetype=OFF -DFEATURE_movie=OFF
    -DFEATURE_calendarwidget=OFF -DFEATURE_datetimeedit=OFF -DFEATURE_mdiarea=OFF
    -DFEATURE_wizard=OFF -DFEATURE_lcdnumber=OFF -DFEATURE_dial=OFF
    -DFEATURE_splashscreen=OFF -DFEATURE_fontcombobox=OFF -DFEATURE_keysequenceedit=OFF
    -DFEATURE_undocommand=OFF -DFEATURE_undostack=OFF -DFEATURE_undogroup=OFF
    -DFEATURE_undoview=OFF -DFEATURE_graphicsview=OFF -DFEATURE_systemtrayicon=OFF
)
key=$(printf '%s\n' "$version" "${options[@]}" "$(cat "$here/cmake/mingw-w64.cmake")" \
    | sha256sum | cut -c1-12)
cache=${GLYPHSMITH_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/glyphsmith}
prefix=$cache/qt-${version%%+*}-mingw-$key
if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

work=$cache/qt-build-$key
rm -rf "$work" "$prefix"
mkdir -p "$work/apt/lists/partial"
cd "$work"
start=$(date +%s)

# A private apt list with deb-src entries: the system's configuration is
# left as it is.
for suite in bookworm bookworm-updates; do
    echo "deb-src http://deb.debian.org/debian $suite main"
done > apt/sources.list
echo "deb-src http://deb.debian.org/debian-security bookworm-security main" >> apt/sources.list
apt_private=(-o Dir::Etc::SourceList="$work/apt/sources.list" -o Dir::Etc::SourceParts=/nonexistent
             -o Dir::State::Lists="$work/apt/lists" -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache=)
echo "Fetching qt6-base $version source ..." >&2
apt-get "${apt_private[@]}" update -qq >&2
apt-get "${apt_private[@]}" source -qq "qt6-base=$version" >&2
src=$(find . -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)

echo "Configuring Qt for Windows (log: $work/configure.log) ..." >&2
cmake -S "$src" -B build -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64.cmake" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_INSTALL_PREFIX="$prefix" "${options[@]}" > configure.log 2>&1 \
    || { tail -n 40 configure.log >&2; exit 1; }

# Ninja's status lines, reduced to one line each time another 5% is done.
echo "Building Qt for Windows (log: $work/build.log); this takes about 20 minutes ..." >&2
export NINJA_STATUS='[%f/%t] '
set +e
cmake --build build -j"$(nproc)" 2>&1 | tee build.log | awk -v t0="$start" '
    match($0, /^\[[0-9]+\/[0-9]+\]/) {
        split(substr($0, 2, RLENGTH - 2), n, "/")
        p = int(100 * n[1] / n[2] / 5) * 5
        if (p > last) { last = p; printf "  %3d%% (%d of %d steps, %d min)\n", p, n[1], n[2], (systime() - t0) / 60; fflush() }
    }' >&2
rc=${PIPESTATUS[0]}
set -e
[ "$rc" -eq 0 ] || { grep -m 20 -B 2 -A 10 'FAILED\|error:' build.log >&2; exit 1; }
cmake --install build > install.log 2>&1 || { tail -n 20 install.log >&2; exit 1; }
touch "$prefix/.complete"
cd / && rm -rf "$work"
echo "Qt for Windows built in $(( ($(date +%s) - start) / 60 )) min $(( ($(date +%s) - start) % 60 )) s: $prefix" >&2
echo "$prefix"
