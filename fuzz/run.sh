#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz and runs the package
# fuzzer for N seconds (default 60) on its seed corpus. A crash, a sanitizer
# report or a file written outside the output folder fails the run; the
# input that caused it is left in build-fuzz/fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
dir=build-fuzz
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.ccache}"

scripts/install-deps.sh clang libclang-rt-14-dev
CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DBUILD_FUZZERS=ON -DBUILD_TESTING=OFF -DBUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$dir" -j "$(nproc)" --target fuzz_package fuzz_package_seeds

corpus="$dir/fuzz/corpus/package"
artifacts="$dir/fuzz/artifacts"
mkdir -p "$corpus" "$artifacts"
"$dir/fuzz/fuzz_package_seeds" "$dir/fuzz/seeds/package"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:halt_on_error=1:abort_on_error=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$PWD/.ci/lsan.supp}"
export QT_LOGGING_RULES="*=false"
# New inputs go to the corpus folder; the seeds stay as written.
"$dir/fuzz/fuzz_package" "$corpus" "$dir/fuzz/seeds/package" \
    -max_total_time="$seconds" -max_len=300000 -timeout=30 -rss_limit_mb=2048 \
    -artifact_prefix="$artifacts/" -print_final_stats=1
