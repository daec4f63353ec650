#!/usr/bin/env bash
# Checks that the Qt-free Windows serial backend compiles with the mingw-w64 cross compiler and
# that none of its files pulls in Qt.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."

compiler=x86_64-w64-mingw32-g++
sources=(comm/serialdevice.cpp comm/serialdevice_win.cpp comm/portname.cpp)
headers=(comm/serialdevice.h comm/serialdevice_win.h comm/portname.h)

if ! command -v "$compiler" >/dev/null 2>&1; then
    echo "check-windows: $compiler not found; install mingw-w64 first" >&2
    exit 1
fi

if grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*(<Q|"q)' "${sources[@]}" "${headers[@]}"; then
    echo "check-windows: Qt include found in the Windows backend" >&2
    exit 1
fi

tmpdir=$(mktemp -d)
trap 'rm -rf "$tmpdir"' EXIT

# CMake generates the real export header; an empty macro suffices for a compile check.
printf '#pragma once\n#define KESTROVA_COMM_EXPORT\n' >"$tmpdir/kestrova_comm_export.h"

for source in "${sources[@]}"; do
    object="$tmpdir/$(basename "${source%.cpp}").o"
    "$compiler" -std=c++20 -Wall -Wextra -Werror -I comm -I "$tmpdir" -c "$source" -o "$object"
done

echo "check-windows: ${#sources[@]} sources compile with $compiler, no Qt includes"
