#!/usr/bin/env bash
# Checks that the Qt-free Windows backends (serial port; multimedia timer and version resource)
# compile with the mingw-w64 cross compiler and that none of their files pulls in Qt.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."

compiler=x86_64-w64-mingw32-g++
sources=(comm/serialdevice.cpp comm/serialdevice_win.cpp comm/portname.cpp
         components/vtxtimerservice.cpp components/vtxtimer_win.cpp
         components/productversion.cpp components/productversion_win.cpp)
headers=(comm/serialdevice.h comm/serialdevice_win.h comm/portname.h
         components/vtxtimerservice.h components/vtxtimer_win.h components/productversion.h)

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
printf '#pragma once\n#define KESTROVA_COMPONENTS_EXPORT\n' >"$tmpdir/kestrova_components_export.h"

for source in "${sources[@]}"; do
    object="$tmpdir/$(basename "${source%.cpp}").o"
    "$compiler" -std=c++20 -Wall -Wextra -Werror -I comm -I . -I "$tmpdir" -c "$source" -o "$object"
done

echo "check-windows: ${#sources[@]} sources compile with $compiler, no Qt includes"
