#!/usr/bin/env bash
# Installs the build into a scratch prefix, checks the run paths of what it installed, builds the
# consumer project against it and runs it.
#   tests/consumer/run.sh <kestrova-build-dir> <scratch-dir> <prefix-the-build-is-configured-for>
set -euo pipefail
build=$1
scratch=$2
configured_prefix=$3
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$scratch"
cmake --install "$build" --prefix "$scratch/prefix" > "$scratch.install.log"

# Built for /usr (the packages), programs, libraries and plugin carry no run path; built for any
# other prefix, each finds Kestrova's libraries through its own, relative to where it lies.
mapfile -t installed < <(find "$scratch/prefix" -type f \( -path '*/bin/*' \
    -o -name 'libkestrova_*.so.*' -o -name 'libkestrova_designer_plugin.so' \))
for file in "${installed[@]}"; do
    if [ "$configured_prefix" = /usr ]; then
        if readelf -d "$file" | grep -E 'R(UN)?PATH'; then
            echo "run path in $file of a build for /usr" >&2
            exit 1
        fi
    elif ldd "$file" | grep 'not found'; then
        echo "libraries of $file not found" >&2
        exit 1
    fi
done
if [ "$configured_prefix" = /usr ]; then
    # Installed in /usr the loader finds the libraries by itself; in the scratch prefix it is
    # told where they are.
    platform_lib=$(find "$scratch/prefix" -name 'libkestrova_platform.so.0')
    export LD_LIBRARY_PATH=$(dirname "$platform_lib")${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}
fi
cmake -S "$here" -B "$scratch/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_PREFIX_PATH="$scratch/prefix"
cmake --build "$scratch/build" --parallel 2
QT_QPA_PLATFORM=offscreen "$scratch/build/consumer"
# The Designer plugin, loaded from where it was installed.
plugin=$(find "$scratch/prefix" -name libkestrova_designer_plugin.so)
if [ -n "$plugin" ]; then
    QT_QPA_PLATFORM=offscreen "$scratch/build/designer-plugin-check" "$plugin"
fi
