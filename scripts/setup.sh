#!/usr/bin/env bash
# Installs what is missing on Debian/Ubuntu, builds, and runs the program or the tests.
#   scripts/setup.sh run            build and start the demonstration on a simulated port
#   scripts/setup.sh test           build and run the whole test suite
#   scripts/setup.sh sanitize       the test suite under AddressSanitizer + UBSan
#   scripts/setup.sh check-windows  the Windows backends: compiled with mingw-w64, tested under Wine
#   scripts/setup.sh bench          build and run the benchmarks
#   scripts/setup.sh package        build the Debian packages kestrova and kestrova-dev into out/
#   scripts/setup.sh fuzz [seconds] build the libFuzzer targets and run each in turn (default 60 s)
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD_PACKAGES=(cmake ninja-build g++ lld ccache pkg-config qt6-base-dev qt6-base-dev-tools
                qt6-serialport-dev qt6-tools-dev libqt6opengl6-dev libgl-dev libqt6sql6-sqlite fonts-liberation
                qt6-translations-l10n qt6-l10n-tools qt6-connectivity-dev libqt6sql6-psql)
# The printing tests read the PDFs they produce back with pdftotext and pdftoppm; the database
# tests start PostgreSQL servers of their own.
TEST_PACKAGES=(poppler-utils postgresql)
# The Windows backends' test programs run under Wine; their pty peer is a small native program.
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64 wine64 g++ ccache)
# CPack's Debian generator works out the packages' dependencies with dpkg-shlibdeps and file.
PACKAGE_PACKAGES=(dpkg-dev file)
# The chart benchmark compares against QCustomPlot; only the benchmarks need it.
BENCH_PACKAGES=(libqcustomplot-dev)
# The sanitizer build is the clang build of the whole tree: clang with its sanitizer runtimes.
SANITIZE_PACKAGES=(clang libclang-rt-14-dev)
# The fuzz targets: clang with its libFuzzer and sanitizer runtimes.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)

install_missing() {
    local missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
            || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
}

# Every compile goes through ccache; its cache (~/.cache/ccache) outlives the checkout. Paths
# inside the checkout are hashed relative to it (CCACHE_BASEDIR) and the debug information names
# the build directory relative to the checkout (CMakeLists.txt), so a fresh clone at another path
# hits the cache. The launcher variables in the environment also reach the CMake projects that
# the tests and scripts/check-package.sh configure (tests/consumer).
use_ccache() {
    command -v ccache >/dev/null 2>&1 || return 0
    export CCACHE_BASEDIR=$PWD
    export CCACHE_MAXSIZE=${CCACHE_MAXSIZE:-4G}
    export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
}

configure_and_build() {
    local dir=$1
    shift
    use_ccache
    # Configured for /usr, the prefix of the Debian packages; `cmake --install` elsewhere is
    # described in the README. Linked with lld: a hundred test programs link in a sixth of the
    # time GNU ld takes.
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
        -DKESTROVA_WARNINGS_AS_ERRORS=ON \
        -DCMAKE_CXX_COMPILER_LAUNCHER="${CMAKE_CXX_COMPILER_LAUNCHER:-}" \
        -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld -DCMAKE_SHARED_LINKER_FLAGS=-fuse-ld=lld \
        -DCMAKE_MODULE_LINKER_FLAGS=-fuse-ld=lld "$@"
    cmake --build "$dir" --parallel "$(nproc)"
}

run_tests() {
    local dir=$1
    ctest --test-dir "$dir" --output-on-failure --parallel "$(nproc)" --timeout 300
}

case "${1:-}" in
    run)
        install_missing "${BUILD_PACKAGES[@]}"
        configure_and_build build
        exec build/app/orvanta --simulate "${@:2}"
        ;;
    test)
        install_missing "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
        configure_and_build build
        run_tests build
        ;;
    sanitize)
        # Built with clang (the test build is gcc's): every target of the tree, the benchmarks
        # too, so this build is also the check that the whole tree compiles with clang.
        install_missing "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${SANITIZE_PACKAGES[@]}"
        configure_and_build build-sanitize -DKESTROVA_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug \
            -DCMAKE_CXX_COMPILER=clang++
        ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
            run_tests build-sanitize
        ;;
    check-windows)
        install_missing "${WINDOWS_PACKAGES[@]}"
        use_ccache
        scripts/check-windows.sh
        ;;
    package)
        install_missing "${BUILD_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"
        configure_and_build build
        rm -f out/*.deb
        (cd build && cpack -G DEB -B ../out)
        rm -rf out/_CPack_Packages
        ls -1 out/*.deb
        ;;
    bench)
        install_missing "${BUILD_PACKAGES[@]}" "${BENCH_PACKAGES[@]}"
        configure_and_build build
        # Every benchmark runs even when an earlier one misses its bar; the exit status says
        # whether any did.
        failed=()
        while read -r bench; do
            "$bench" "${@:2}" || failed+=("$(basename "$bench")")
        done < <(find build/bench -type f -name 'bench_*' -perm -u+x | sort)
        if [ ${#failed[@]} -ne 0 ]; then
            echo "Benchmarks that missed a bar or failed: ${failed[*]}" >&2
            exit 1
        fi
        ;;
    fuzz)
        install_missing "${BUILD_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"
        seconds=${2:-60}
        use_ccache
        cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DKESTROVA_WARNINGS_AS_ERRORS=ON -DKESTROVA_BUILD_FUZZ=ON -DKESTROVA_BUILD_BENCH=OFF \
            -DCMAKE_CXX_COMPILER=clang++ \
            -DCMAKE_CXX_COMPILER_LAUNCHER="${CMAKE_CXX_COMPILER_LAUNCHER:-}"
        cmake --build build-fuzz --parallel "$(nproc)" --target fuzz_all
        # New inputs go to build-fuzz/corpus/<target> (seeded from fuzz/corpus/<target>), faults
        # to build-fuzz/artifacts/. One target at a time, each for the given seconds.
        mkdir -p build-fuzz/artifacts
        for target in build-fuzz/fuzz/fuzz_*; do
            [ -f "$target" ] && [ -x "$target" ] && [[ "$target" != *_replay ]] || continue
            name=$(basename "$target")
            name=${name#fuzz_}
            mkdir -p "build-fuzz/corpus/$name"
            # Longer inputs only repeat the same code at a higher cost: a store of more than ~56
            # records, a form of more than 1 KB.
            limits=()
            case "$name" in
                chart_store) limits=(-max_len=512) ;;
                *_properties) limits=(-max_len=1024) ;;
            esac
            echo "== $name: ${seconds} s"
            # Short allocation stacks and a small quarantine: the widget targets run 3 x faster.
            # An input that runs 10 s is a fault too: a window would hang that long.
            LSAN_OPTIONS=suppressions=fuzz/lsan.supp \
                ASAN_OPTIONS=detect_leaks=1:malloc_context_size=2:quarantine_size_mb=16 \
                "$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
                -print_final_stats=1 "${limits[@]}" \
                -artifact_prefix=build-fuzz/artifacts/"$name"- \
                "build-fuzz/corpus/$name" "fuzz/corpus/$name"
        done
        ;;
    *)
        sed -n '2,9p' "$0"
        exit 2
        ;;
esac
