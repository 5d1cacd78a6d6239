#!/usr/bin/env bash
# Connect time phase by phase: the program (from Enter, its own phase stamps) and xfreerdp
# (from process start, its log at debug level stamped on arrival), ROUNDS rounds each
# (default 15) on the shadow server and on xrdp, with the settings of bench/run-all.sh;
# prints min / median / max per phase and client, and the protocol floor of each server.
#
#   bench/connect-phases.sh [BUILD_DIR] [ROUNDS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
BENCH_PARTS=phases BENCH_PHASE_ROUNDS="${2:-15}" exec "$root/bench/run-all.sh" "${1:-$root/build-bench}"
