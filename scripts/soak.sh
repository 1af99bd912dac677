#!/usr/bin/env bash
# Soak run: zvconfig and trelvaned together for N minutes (default 10) on a virtual X
# server, while the adapter is unplugged and plugged again, re-apply requests come in and
# the neighbourhood changes under the scans (trelvanectl load of other scenarios), all at
# random moments. Reports crashes (none allowed: exit status 1), zvconfig's resident memory
# at the start and the end, and its CPU use while idle (one minute before the first and
# after the last event).
#
#   scripts/soak.sh [MINUTES]
#
# ZV_SOAK_BUILD_DIR picks the build tree (default: build, built here like scripts/run.sh
# does when its programs are missing). ZV_SOAK_SEED makes the random events repeatable.
# The radio switch is a button of the Advance page only (no control command drives it), so
# this run does not switch it.
set -euo pipefail
cd "$(dirname "$0")/.."

minutes=${1:-${SOAK_MINUTES:-10}}
if ! [[ "$minutes" =~ ^[0-9]+$ ]] || [ "$minutes" -lt 3 ]; then
  echo "usage: scripts/soak.sh [MINUTES]  (3 or more)" >&2
  exit 2
fi

# Without a display, run again on a virtual X server.
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

build_dir=${ZV_SOAK_BUILD_DIR:-build}
bin="$build_dir/bin"
if [ ! -x "$bin/zvconfig" ] || [ ! -x "$bin/trelvaned" ] || [ ! -x "$bin/trelvanectl" ]; then
  cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZV_BUILD_TESTS=OFF \
    -DZV_BUILD_BENCHMARKS=OFF >/dev/null
  cmake --build "$build_dir" --target zvconfig trelvaned trelvanectl
fi
bin=$(cd "$bin" && pwd)

RANDOM=${ZV_SOAK_SEED:-$$}
work=$(mktemp -d /tmp/zvsoak.XXXXXX)
chmod 0700 "$work"
export XDG_RUNTIME_DIR="$work/run" HOME="$work/home"
mkdir -p -m 0700 "$XDG_RUNTIME_DIR" "$HOME"
export QT_QPA_PLATFORM=xcb
control="$work/control.sock"
log="$work/soak.log"

# Neighbourhoods the scans switch between: a few networks, others on other channels, none.
cat >"$work/small.json" <<'JSON'
{"networks": [
  {"ssid": "SoakOpen", "bssid": "00:1A:2B:3C:10:01", "channel": 1, "signal_dbm": -50},
  {"ssid": "SoakWpa", "bssid": "00:1A:2B:3C:10:02", "channel": 6, "signal_dbm": -65,
   "security": "wpa-psk", "passphrase": "soak-passphrase", "cipher": "tkip"}
]}
JSON
cat >"$work/other.json" <<'JSON'
{"networks": [
  {"ssid": "SoakWep", "bssid": "00:1A:2B:3C:20:01", "channel": 11, "signal_dbm": -70,
   "security": "wep", "wep_key": "A1B2C3D4E5"},
  {"ssid": "SoakAes", "bssid": "00:1A:2B:3C:20:02", "channel": 13, "signal_dbm": -58,
   "security": "wpa-psk", "passphrase": "another-soak-key", "cipher": "aes"},
  {"ssid": "SoakAdhoc", "bssid": "02:1A:2B:3C:20:03", "channel": 3, "mode": "adhoc"},
  {"ssid": "SoakHidden", "bssid": "00:1A:2B:3C:20:04", "channel": 9, "hidden": true}
]}
JSON
echo '{"networks": []}' >"$work/empty.json"
scenarios=("$work/small.json" "$work/other.json" "$work/empty.json")

daemon_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$daemon_pid" ] && kill "$daemon_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

ctl() { "$bin/trelvanectl" --control "$control" "$@" >>"$log" 2>&1 || true; }

rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status"; }
# utime + stime of a process, in clock ticks.
cpu_ticks() { awk '{sub(/^.*\) /, ""); print $12 + $13}' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)

crashes=0
check_alive() {
  if ! kill -0 "$app_pid" 2>/dev/null; then
    wait "$app_pid" && status=0 || status=$?
    echo "zvconfig ended during the run (status $status)" | tee -a "$log"
    crashes=$((crashes + 1))
    return 1
  fi
  if ! kill -0 "$daemon_pid" 2>/dev/null; then
    echo "trelvaned ended during the run" | tee -a "$log"
    crashes=$((crashes + 1))
    return 1
  fi
}

# Percentage of one core zvconfig uses over `seconds` without any event.
idle_cpu() {
  local seconds=$1 before after
  before=$(cpu_ticks "$app_pid")
  sleep "$seconds"
  after=$(cpu_ticks "$app_pid")
  awk -v d=$((after - before)) -v hz="$hz" -v s="$seconds" 'BEGIN {printf "%.2f", 100 * d / (hz * s)}'
}

"$bin/trelvaned" --control "$control" >>"$log" 2>&1 &
daemon_pid=$!
for _ in $(seq 50); do [ -S "$control" ] && break; sleep 0.1; done
[ -S "$control" ] || { echo "trelvaned did not start" >&2; cat "$log" >&2; exit 1; }

"$bin/zvconfig" >>"$work/zvconfig.err" 2>&1 &
app_pid=$!
sleep 10  # the first supervision ticks find the adapter and fill every page
check_alive || { cat "$work/zvconfig.err" >&2; exit 1; }

rss_start=$(rss_kb "$app_pid")
idle_start=$(idle_cpu 60)
echo "start: resident ${rss_start} kB, idle CPU ${idle_start}%"

declare -A events=([unplug]=0 [reapply]=0 [rescan]=0)
end=$((SECONDS + minutes * 60 - 60 - 70))
while [ "$SECONDS" -lt "$end" ]; do
  case $((RANDOM % 3)) in
    0)
      ctl unplug
      sleep $((1 + RANDOM % 6))  # one to six seconds without the adapter
      ctl plug
      events[unplug]=$((events[unplug] + 1))
      ;;
    1)
      ctl reapply $((RANDOM % 4))
      events[reapply]=$((events[reapply] + 1))
      ;;
    2)
      ctl load "${scenarios[RANDOM % ${#scenarios[@]}]}"
      events[rescan]=$((events[rescan] + 1))
      ;;
  esac
  check_alive || break
  sleep $((2 + RANDOM % 7))
done

if [ "$crashes" -eq 0 ]; then
  ctl plug
  sleep 10
  check_alive || true
fi
if [ "$crashes" -eq 0 ]; then
  idle_end=$(idle_cpu 60)
  rss_end=$(rss_kb "$app_pid")
fi

inconsistencies=$(grep -c "Invalid parameter not satisfying" "$work/zvconfig.err" || true)
sanitizer=$(grep -c "ERROR: AddressSanitizer\|runtime error:" "$work/zvconfig.err" || true)
echo "soak: ${minutes} min; events: ${events[unplug]} unplug/plug, ${events[reapply]} re-apply" \
  "requests, ${events[rescan]} neighbourhood changes; radio switch not driven"
echo "crashes: $crashes; sanitizer reports: $sanitizer; internal-consistency reports: $inconsistencies"
if [ "$crashes" -eq 0 ]; then
  echo "resident memory: start ${rss_start} kB, end ${rss_end} kB"
  echo "idle CPU (one core): start ${idle_start}%, end ${idle_end}%"
else
  tail -n 40 "$work/zvconfig.err" >&2
fi
[ "$crashes" -eq 0 ] && [ "$sanitizer" -eq 0 ]
