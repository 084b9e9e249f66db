#!/bin/bash
# Makes the Windows portable zip and the per-user installer from a built
# glyphsmith.exe (and the console glyphsmith.com beside it): one folder with
# them and exactly the DLLs and plugins they
# load, stripped, zipped as they are and installed by NSIS. The same input
# gives the same bytes: every file takes the time SOURCE_DATE_EPOCH gives
# (the commit's, from tools/windows.sh), and the zip lists them in order.
# Writes SHA256SUMS beside the two packages.
# Usage: package.sh EXE QT_PREFIX OUT_DIR NAME IDENTITY_NSH ICON
# shellcheck source=tools/strict.sh
. "$(dirname "$0")/../../tools/strict.sh"
exe=$1 qt=$2 out=$3 name=$4 identity=$5 icon=$6
here=$(cd "$(dirname "$0")" && pwd)
mingw=x86_64-w64-mingw32
stage=$out/$name
zipfile=$out/$name-windows-x64.zip
setup=$out/$name-setup.exe
rm -rf "$stage" "$zipfile" "$setup"
mkdir -p "$stage/platforms" "$stage/styles"
cp "$exe" "${exe%.exe}.com" "$stage/"
# Loaded by Qt at run time, not imported: the window system and the style.
cp "$qt/plugins/platforms/qwindows.dll" "$stage/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"

# DLLs every Windows 10 and 11 has; an import that is neither one of these
# nor found below fails the packaging.
system_dlls=" advapi32 authz bcrypt comctl32 comdlg32 crypt32 d3d11 d3d12 d3d9 dwmapi dwrite
    dxgi gdi32 imm32 iphlpapi kernel32 mpr msvcrt netapi32 ntdll ole32 oleaut32 rpcrt4 secur32
    setupapi shcore shell32 shlwapi user32 userenv uxtheme version winmm wtsapi32 ws2_32 "
read -ra names <<<"${system_dlls//$'\n'/ }"
system_dlls=" ${names[*]} " # one space between names, line ends included
is_system() {
    local base=${1,,}
    base=${base%.dll}
    [[ $system_dlls == *" $base "* || $base == api-ms-win-* ]]
}
search=("$qt/bin" "$(dirname "$($mingw-g++-posix -print-file-name=libstdc++-6.dll)")"
        "/usr/$mingw/lib")
find_dll() { # the first found, in the search folders' order
    local dir found
    for dir in "${search[@]}"; do
        found=$(find "$dir" -maxdepth 1 -iname "$1" -print -quit)
        if [ -n "$found" ]; then
            printf '%s\n' "$found"
            return
        fi
    done
}
imports() { $mingw-objdump -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p'; }

# Follows the imports of every file in the folder until none is missing.
queue=("$stage/glyphsmith.exe" "$stage/glyphsmith.com" "$stage"/platforms/*.dll "$stage"/styles/*.dll)
missing=()
while [ ${#queue[@]} -gt 0 ]; do
    file=${queue[0]}
    queue=("${queue[@]:1}")
    while read -r dll; do
        [ -n "$(find "$stage" -maxdepth 1 -iname "$dll" -print -quit)" ] && continue
        is_system "$dll" && continue
        found=$(find_dll "$dll")
        if [ -z "$found" ]; then
            missing+=("$dll (imported by ${file#"$stage"/})")
            continue
        fi
        cp "$found" "$stage/"
        queue+=("$stage/$(basename "$found")")
    done < <(imports "$file")
done
if [ ${#missing[@]} -gt 0 ]; then
    printf 'Not found, and not a Windows DLL: %s\n' "${missing[@]}" >&2
    exit 1
fi
find "$stage" \( -iname '*.exe' -o -iname '*.com' -o -iname '*.dll' \) -exec $mingw-strip --strip-unneeded {} +
find "$stage" -exec touch -h -d "@${SOURCE_DATE_EPOCH:-0}" {} +

(cd "$out" && find "$name" | LC_ALL=C sort | zip -q -9 -X -D "$(basename "$zipfile")" -@)

# What the uninstaller removes: exactly the files installed, then their
# folders if empty. It never touches the user's slot files.
list=$out/uninstall-files.nsh
# shellcheck disable=SC2016 # $INSTDIR is NSIS's, not the shell's
(cd "$stage" && find . -type f | sort | sed 's|^\./||; s|/|\\|g; s|.*|Delete "$INSTDIR\\&"|'
 cd "$stage" && find . -mindepth 1 -type d | sort -r | sed 's|^\./||; s|/|\\|g; s|.*|RMDir "$INSTDIR\\&"|'
) > "$list"
# The same files, each checked before anything is removed.
checks=$out/removable-files.nsh
(cd "$stage" && find . -type f | sort | sed 's|^\./||; s|/|\\|g; s|.*|!insertmacro CHECK_FILE "&"|') > "$checks"
makensis -V2 -DIDENTITY="$identity" -DSTAGE="$stage" \
    -DOUTFILE="$setup" -DICON="$icon" -DFILE_LIST="$list" -DCHECK_LIST="$checks" \
    -DSIZE_KB="$(du -sk "$stage" | cut -f1)" "$here/installer.nsi"
(cd "$out" && sha256sum "$(basename "$zipfile")" "$(basename "$setup")" > SHA256SUMS)
ls -l "$zipfile" "$setup"
