#!/usr/bin/env bash
# Installs the build into a scratch prefix, builds the consumer project against it and runs it.
#   tests/consumer/run.sh <kestrova-build-dir> <scratch-dir>
set -euo pipefail
build=$1
scratch=$2
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$scratch"
cmake --install "$build" --prefix "$scratch/prefix" > "$scratch.install.log"
cmake -S "$here" -B "$scratch/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_PREFIX_PATH="$scratch/prefix"
cmake --build "$scratch/build" --parallel 2
QT_QPA_PLATFORM=offscreen "$scratch/build/consumer"
