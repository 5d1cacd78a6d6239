#!/usr/bin/env bash
# Fuzzes the profile store loader for longer than the test command does.
# Usage: scripts/fuzz-store.sh [seconds, default 600] [extra libFuzzer options...]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-600}
shift || true
build=build-fuzz-store
CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DRDP_FUZZ=ON -DRDP_SANITIZE=ON -DRDP_BUILD_BENCH=OFF -DRDP_BUILD_TESTS=OFF \
    -DRDP_WITH_FREERDP=OFF >/dev/null
cmake --build "$build" --target fuzz_store -j "$(nproc)"

work="$build/fuzz/corpus"
mkdir -p "$work" "$build/fuzz/findings"
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# -max_len: room for a store line of 30,000 characters (six digits each, and its check).
exec "$build/fuzz/fuzz_store" -max_total_time="$seconds" -max_len=200000 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$build/fuzz/findings/" "$@" "$work" fuzz/corpus
