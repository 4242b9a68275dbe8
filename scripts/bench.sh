#!/usr/bin/env bash
# Builds the native core in Release without sanitizers and runs the benchmarks
# of the configuration rewrite and table stamping (each against a plain read and write).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KIV_BUILD_DIR:-$root/build}/bench

cmake -S "$root" -B "$build" -DKIV_NATIVE=ON -DKIV_SANITIZE=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target kiv_bench -j "$(nproc)"
"$build/bench/kiv_bench"
