#!/bin/bash
# Builds the checkout twice, each copy in a folder of its own (of different
# lengths), and compares the packages byte for byte: the Debian package, or
# for "windows" the portable zip and the installer. Where two differ, says
# which files inside them do.
# Usage: check_reproducible.sh linux
#        check_reproducible.sh windows QT_FOR_WINDOWS_PREFIX
# shellcheck source=tools/strict.sh
. "$(dirname "$0")/../tools/strict.sh"
kind=$1 qt=${2:-}
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
. tools/source_date.sh
for tool in cmake ninja git cmp; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
work=$(mktemp -d /tmp/glyphsmith-reproducible.XXXXXX)
trap 'rm -rf "$work"' EXIT

build() { # source folder
    local src=$1
    git ls-files -z --cached --others --exclude-standard |
        while IFS= read -r -d '' file; do if [ -e "$file" ]; then printf '%s\0' "$file"; fi; done |
        xargs -0 cp --parents -t "$src"
    if [ "$kind" = windows ]; then
        cmake -S "$src" -B "$src/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
            -DGLYPHSMITH_BENCHMARKS=OFF -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-w64.cmake" \
            -DCMAKE_PREFIX_PATH="$qt" -DQT_HOST_PATH=/usr \
            -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake >/dev/null
        cmake --build "$src/build" --target windows_package >/dev/null
    else
        # The README's way: its build command, then cpack in a shell of its own.
        BUILD_DIR="$src/build" "$src/tools/build.sh" -DBUILD_TESTING=OFF \
            -DGLYPHSMITH_BENCHMARKS=OFF >/dev/null
        (cd "$src/build" && env -u SOURCE_DATE_EPOCH cpack -G DEB -B package >/dev/null)
    fi
}

# What differs inside two packages: their members, unpacked, file by file.
explain() { # package a, package b
    local a=$work/explain-a b=$work/explain-b
    mkdir -p "$a" "$b"
    case $1 in
    *.deb) dpkg-deb -R "$1" "$a" && dpkg-deb -R "$2" "$b" ;;
    *.zip) unzip -q "$1" -d "$a" && unzip -q "$2" -d "$b"; zipinfo -l "$1" | diff - <(zipinfo -l "$2") || true ;;
    *) cmp -l "$1" "$2" | head -n 20; return ;;
    esac
    diff -r "$a" "$b" || true
    rm -rf "$a" "$b"
}

mkdir -p "$work/a" "$work/second-copy-b"
build "$work/a"
build "$work/second-copy-b"
if [ "$kind" = windows ]; then
    packages=(*-windows-x64.zip *-setup.exe)
else
    packages=(*.deb)
fi
failed=0
for pattern in "${packages[@]}"; do
    # shellcheck disable=SC2086 # the pattern names the package, whatever its version
    a=$(ls "$work"/a/build/package/$pattern)
    # shellcheck disable=SC2086
    b=$(ls "$work"/second-copy-b/build/package/$pattern)
    if cmp -s "$a" "$b"; then
        echo "ok $(basename "$a") is the same in both builds: $(sha256sum < "$a" | cut -c1-64)"
    else
        echo "FAIL $(basename "$a") differs between the two builds:" >&2
        explain "$a" "$b" >&2
        failed=1
    fi
done
exit $failed
