#!/usr/bin/env bash
# Checks the Qt-free Windows backends (serial port; multimedia timer and version resource): they
# compile with the mingw-w64 cross compiler, none of their files pulls in Qt, and their test
# programs pass under Wine, the serial one against a pseudo-terminal on this side (Wine maps COM5
# to it through a symbolic link in the prefix). Exits non-zero on any failure.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."

compiler=x86_64-w64-mingw32-g++
sources=(comm/serialdevice.cpp comm/serialdevice_win.cpp comm/wincommio_win.cpp comm/portname.cpp
         components/vtxtimerservice.cpp components/vtxtimer_win.cpp
         components/productversion.cpp components/productversion_win.cpp)
headers=(comm/serialdevice.h comm/serialdevice_win.h comm/wincommio_win.h comm/portname.h
         components/vtxtimerservice.h components/vtxtimer_win.h components/productversion.h)
test_sources=(tests/windows/testharness.cpp tests/windows/peerclient.cpp tests/windows/hexcodec.cpp
              tests/windows/tst_winserialdevice.cpp tests/windows/tst_wintimerservice.cpp
              tests/windows/tst_winproductversion.cpp)

if ! command -v "$compiler" >/dev/null 2>&1; then
    echo "check-windows: $compiler not found; install mingw-w64 first" >&2
    exit 1
fi
wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
if [ ! -x "$wine" ] || [ ! -x "$wineserver" ]; then
    echo "check-windows: Wine not found; install wine64 first (scripts/setup.sh check-windows)" >&2
    exit 1
fi

if grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*(<Q|"q)' "${sources[@]}" "${headers[@]}" \
        "${test_sources[@]}"; then
    echo "check-windows: Qt include found in the Windows backend" >&2
    exit 1
fi

tmpdir=$(mktemp -d)
peer_pid=
cleanup() {
    [ -n "$peer_pid" ] && kill "$peer_pid" 2>/dev/null || true
    WINEPREFIX="$tmpdir/prefix" "$wineserver" -k 2>/dev/null || true
    rm -rf "$tmpdir"
}
trap cleanup EXIT

# A fresh prefix in the background while the programs compile. No Mono, no Gecko, no display.
# Wine maps Unix file names through the locale: UTF-8, for the version test's accented name.
export WINEPREFIX="$tmpdir/prefix" WINEDEBUG=-all DISPLAY= WINEDLLOVERRIDES="mscoree,mshtml=" \
    LC_ALL=C.UTF-8
wine_start=$(date +%s.%N)
mkdir -p "$WINEPREFIX"
# A persistent server, started first: each program then starts in a fraction of a second.
"$wineserver" -p >"$tmpdir/wineserver.log" 2>&1
("$wine" wineboot -i >"$tmpdir/wineboot.log" 2>&1 && date +%s.%N >"$tmpdir/wineboot.end") &
wineboot_pid=$!

# CMake generates the real export header; an empty macro suffices here. It lies in the checkout
# and every path on the compilers' command lines is relative to it, so ccache (when installed)
# finds these compiles again from a fresh clone at any path.
generated=build-windows/include
mkdir -p "$generated"
printf '#pragma once\n#define KESTROVA_COMM_EXPORT\n' >"$generated/kestrova_comm_export.h"
printf '#pragma once\n#define KESTROVA_COMPONENTS_EXPORT\n' >"$generated/kestrova_components_export.h"
launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(ccache)

flags=(-std=c++20 -O1 -Wall -Wextra -Werror -I comm -I . -I "$generated")
for source in "${sources[@]}" "${test_sources[@]}"; do
    "${launcher[@]}" "$compiler" "${flags[@]}" -c "$source" \
        -o "$tmpdir/$(basename "${source%.cpp}").o" &
done
x86_64-w64-mingw32-windres tests/windows/versioninfo.rc -O coff -o "$tmpdir/versioninfo.o" &
native_flags=(-std=c++20 -O1 -Wall -Wextra -Werror)
for source in tests/windows/ptypeer.cpp tests/windows/hexcodec.cpp; do
    "${launcher[@]}" c++ "${native_flags[@]}" -c "$source" \
        -o "$tmpdir/native_$(basename "${source%.cpp}").o" &
done
for job in $(jobs -p); do
    [ "$job" = "$wineboot_pid" ] || wait "$job"
done
c++ -o "$tmpdir/ptypeer" "$tmpdir/native_ptypeer.o" "$tmpdir/native_hexcodec.o"
echo "check-windows: ${#sources[@]} sources compile with $compiler, no Qt includes"

link=("$compiler" -static -o)
o() { for name in "$@"; do printf '%s\n' "$tmpdir/$name.o"; done; }
mapfile -t serial_objects < <(o serialdevice serialdevice_win wincommio_win portname testharness \
                                peerclient hexcodec tst_winserialdevice)
mapfile -t timer_objects < <(o vtxtimerservice vtxtimer_win testharness tst_wintimerservice)
"${link[@]}" "$tmpdir/tst_winserialdevice.exe" "${serial_objects[@]}" -lws2_32
"${link[@]}" "$tmpdir/tst_wintimerservice.exe" "${timer_objects[@]}" -lwinmm
mapfile -t version_objects < <(o productversion productversion_win testharness tst_winproductversion \
                                 versioninfo)
"${link[@]}" "$tmpdir/tst_winproductversion_versão.exe" "${version_objects[@]}" -lversion

wait "$wineboot_pid" || { cat "$tmpdir/wineboot.log" >&2; exit 1; }
"$tmpdir/ptypeer" "$WINEPREFIX/dosdevices/com5" >"$tmpdir/peer.port" &
peer_pid=$!
for _ in $(seq 100); do
    [ -s "$tmpdir/peer.port" ] && break
    sleep 0.05
done
export KESTROVA_PEER_PORT
KESTROVA_PEER_PORT=$(cat "$tmpdir/peer.port")

runs_start=$(date +%s.%N)
status=0
for program in tst_winserialdevice tst_wintimerservice tst_winproductversion_versão; do
    echo "check-windows: $program under Wine"
    # The programs end a hung test themselves; the bound is for Wine itself.
    timeout --kill-after=5 300 "$wine" "$tmpdir/$program.exe" || status=1
done
wine_end=$(date +%s.%N)
# The prefix is made while the programs compile.
awk -v s="$wine_start" -v b="$(cat "$tmpdir/wineboot.end")" -v r="$runs_start" -v e="$wine_end" \
    'BEGIN { printf "check-windows: Wine: prefix %.1f s (beside the compile), test runs %.1f s\n", b - s, e - r }'
exit "$status"
