#!/usr/bin/env bash
# Installs the Debian packages built by `scripts/setup.sh package` on this machine and checks
# them as a user and a sibling project's developer would: the programs start, the desktop entry
# is valid, the Designer plugin loads from where Qt looks and offers its classes, and a project
# finds the package under /usr.
set -euo pipefail
cd "$(dirname "$0")/.."

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get install -y -qq --no-install-recommends desktop-file-utils
# --reinstall: a package of the same version left by an earlier run is replaced, not kept.
"${sudo[@]}" apt-get install -y -qq --reinstall --no-install-recommends \
    ./out/kestrova_*.deb ./out/kestrova-dev_*.deb

export QT_QPA_PLATFORM=offscreen
for program in orvanta orvanta-teste orvanta-sim orvanta-ctl; do
    "$program" --help > /dev/null || { echo "$program --help failed" >&2; exit 1; }
done
# The English translation travels inside libkestrova_platform: the installed program finds it.
english_help=$(orvanta --lang en --help)
[[ $english_help == *"Controller of the Orvanta Kestrova treadmill."* ]] ||
    { echo "orvanta --lang en did not find its translation" >&2; exit 1; }
desktop-file-validate /usr/share/applications/orvanta.desktop
desktop-file-validate /usr/share/applications/orvanta-teste.desktop
plugin_dir=$(qtpaths6 --query QT_INSTALL_PLUGINS)/designer

# A scratch build inside the checkout, compiled through ccache when it is there (as
# scripts/setup.sh builds), so a fresh clone at another path finds these compiles in the cache.
scratch=build-check-package
rm -rf "$scratch"
trap 'rm -rf "$scratch"' EXIT
if command -v ccache >/dev/null 2>&1; then
    export CCACHE_BASEDIR=$PWD CCACHE_MAXSIZE=${CCACHE_MAXSIZE:-4G}
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache
fi
cmake -S tests/consumer -B "$scratch" -G Ninja -DCHECK_HEADERS=OFF
cmake --build "$scratch"
"$scratch/consumer"
# The Designer plugin as Designer finds it: loaded from Qt's plugin folder (its libraries from
# /usr), offering every component in its group.
"$scratch/designer-plugin-check" "$plugin_dir/libkestrova_designer_plugin.so"
echo "Packages installed and checked."
