#!/bin/bash
# Checks what the build makes for desktops and installers.
# Usage: check_desktop_files.sh windows-resource|desktop-entry|package BUILD_DIR
# shellcheck source=tools/strict.sh
. "$(dirname "$0")/../tools/strict.sh"
mode=$1 build=$2
# shellcheck source=/dev/null
. "$build/identity.sh"
app_id=$GLYPHSMITH_APP_ID
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

require() { # description, haystack, needle
    if ! grep -qF -- "$3" <<<"$2"; then
        echo "FAIL $1: no '$3' in:" >&2
        echo "$2" >&2
        exit 1
    fi
    echo "ok $1"
}

# A check whose tool is missing is skipped, never passed.
need() {
    command -v "$1" >/dev/null || { echo "SKIP: $1 is not installed"; exit 77; }
}

case $mode in
windows-resource)
    need x86_64-w64-mingw32-windres
    # Compiled as the Windows build compiles it, then read back.
    x86_64-w64-mingw32-windres --preprocessor=cpp -i "$build/src/glyphsmith.rc" -O res \
        -o "$work/glyphsmith.res"
    record=$(x86_64-w64-mingw32-windres -i "$work/glyphsmith.res" -J res -O rc)
    require "file version" "$record" 'VALUE "FileVersion", "2.00"'
    require "product version" "$record" 'VALUE "ProductVersion", "2.00"'
    require "product name" "$record" 'VALUE "ProductName", "Ravenmoor Glyphsmith"'
    require "company" "$record" 'VALUE "CompanyName", "Ravenmoor"'
    require "description" "$record" 'VALUE "FileDescription"'
    require "numeric version" "$record" 'FILEVERSION 2, 0, 0, 0'
    require "icon" "$record" 'RT_GROUP_ICON'
    require "manifest" "$record" 'RT_MANIFEST'
    # The icon file the record names, at the sizes Windows asks for.
    ico=$(sed -n 's/^1 ICON "\(.*\)"$/\1/p' "$build/src/glyphsmith.rc")
    sizes=$(python3 - "$ico" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
for i in range(struct.unpack_from("<H", data, 4)[0]):
    w, h, colours, _, _, bits = struct.unpack_from("<BBBBHH", data, 6 + 16 * i)
    print(f"{w or 256}x{h or 256} {bits} bits")
PY
)
    for size in "16x16 4 bits" "32x32 32 bits" "48x48 32 bits" "256x256 32 bits"; do
        require "icon at $size" "$sizes" "$size"
    done
    ;;
desktop-entry)
    need desktop-file-validate
    need appstreamcli
    desktop-file-validate "$build/src/$app_id.desktop"
    echo "ok desktop entry"
    appstreamcli validate --no-net "$build/src/$app_id.metainfo.xml"
    echo "ok metainfo"
    ;;
package)
    need dpkg-deb
    (cd "$build" && cpack -G DEB -B "$work" >/dev/null)
    deb=$work/${GLYPHSMITH_PACKAGE_NAME}_${GLYPHSMITH_VERSION}_amd64.deb
    files=$(dpkg-deb -c "$deb")
    for f in ./usr/bin/glyphsmith ./usr/share/applications/$app_id.desktop \
        ./usr/share/metainfo/$app_id.metainfo.xml \
        ./usr/share/icons/hicolor/16x16/apps/$app_id.png \
        ./usr/share/icons/hicolor/scalable/apps/$app_id.svg \
        ./usr/share/icons/hicolor/256x256/apps/$app_id.png \
        "./usr/share/doc/$GLYPHSMITH_PACKAGE_NAME/copyright" \
        "./usr/share/doc/$GLYPHSMITH_PACKAGE_NAME/changelog.gz" \
        ./usr/share/man/man1/glyphsmith.1.gz; do
        require "package holds $f" "$files" "$f"
    done
    depends=$(dpkg-deb -f "$deb" Depends)
    for d in libqt6widgets6 libqt6gui6 libqt6core6 libc6 fonts-dejavu-core fonts-liberation2; do
        require "package depends on $d" "$depends" "$d"
    done
    require "package version" "$(dpkg-deb -f "$deb" Version)" "2.00"
    require "the changelog's date is the release date" \
        "$(LC_ALL=C date -u -d "$GLYPHSMITH_RELEASE_DATE" '+%a, %d %b %Y 00:00:00 +0000')" \
        "$GLYPHSMITH_CHANGELOG_DATE"
    # Debian's own rules: no error and no warning.
    need lintian
    out=$(lintian --fail-on error,warning --tag-display-limit 0 "$deb" 2>&1) && status=0 || status=$?
    grep -v 'running with root privileges' <<<"$out" || true
    if [ "$status" -ne 0 ]; then
        echo "FAIL lintian" >&2
        exit 1
    fi
    echo "ok lintian"
    ;;
*)
    echo "unknown check $mode" >&2
    exit 2
    ;;
esac
