#!/usr/bin/env bash
# sdi12 log --every 1 against sdi12-sim (paced at 1200 baud) for a while: how many readings
# came, how many were missed, and the program's memory over the run (VmRSS every 10 s).
#   bench/cli_log.sh [BUILD_DIR] [SECONDS]     (defaults: build-bench, 600)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-bench}
seconds=${2:-600}
work=$(mktemp -d)
trap 'kill "$sim" 2>/dev/null; rm -rf "$work"' EXIT

# A probe whose data are ready at once: a reading takes well under the second.
"$build/sim/sdi12-sim" --level 1 --fault 1:zero-wait --quiet --link "$work/bus" >/dev/null &
sim=$!
for _ in $(seq 50); do [[ -e $work/bus ]] && break; sleep 0.1; done

HOME=$work XDG_STATE_HOME=$work/state XDG_CONFIG_HOME=$work/config \
    "$build/src/cli/sdi12" --port "$work/bus" --json log 1 --every 1 --for "$seconds" \
    >"$work/readings" 2>"$work/errors" &
cli=$!
rss=()
while kill -0 "$cli" 2>/dev/null; do
    rss+=("$(awk '/VmRSS/ {print $2}' "/proc/$cli/status" 2>/dev/null || true)")
    sleep 10
done
status=0
wait "$cli" || status=$?
readings=$(wc -l <"$work/readings")
echo "sdi12 log --every 1 for $seconds s: $readings readings, exit status $status"
cat "$work/errors"
samples=$(printf '%s\n' "${rss[@]}" | grep -c . || true)
# The first sample is taken while the program starts; the second is the baseline.
echo "VmRSS (kB), every 10 s: ${rss[*]}"
echo "VmRSS (kB): at 10 s ${rss[1]:-?}, at the end ${rss[$((samples - 1))]:-?}, highest $(printf '%s\n' "${rss[@]}" | sort -n | tail -1) over $samples samples"
