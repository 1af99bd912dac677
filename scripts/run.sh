#!/usr/bin/env bash
# Builds zvconfig and trelvaned, starts trelvaned with its default neighbourhood and runs
# zvconfig against it. Stops trelvaned again when zvconfig quits.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZV_BUILD_TESTS=OFF \
  -DZV_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build --target zvconfig trelvaned trelvanectl

display_reachable() {
  [ "${QT_QPA_PLATFORM:-}" = offscreen ] && return 0
  if [ -n "${WAYLAND_DISPLAY:-}" ]; then
    local sock="$WAYLAND_DISPLAY"
    [ "${sock#/}" != "$sock" ] || sock="${XDG_RUNTIME_DIR:-/nonexistent}/$sock"
    [ -S "$sock" ] && return 0
  fi
  [ -n "${DISPLAY:-}" ] && command -v xdpyinfo >/dev/null && xdpyinfo >/dev/null 2>&1 && return 0
  return 1
}
if ! display_reachable; then
  cat >&2 <<'MSG'
No display is reachable (neither DISPLAY nor WAYLAND_DISPLAY answers), so zvconfig would
wait for a console user for ever. Run it on your desktop session, or on a virtual display:
    xvfb-run -a scripts/run.sh
MSG
  exit 1
fi

export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-/tmp/zvconfig-run-$(id -u)}"
mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
build/bin/trelvaned &
daemon=$!
trap 'kill $daemon 2>/dev/null || true' EXIT
build/bin/zvconfig "$@"
