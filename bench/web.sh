#!/usr/bin/env bash
# kinroll-web under load: the time a page takes on a kept-alive connection
# and on a fresh one; a generated ward of SIZE households (60 000 by
# default) uploaded and processed, the time from the post to the results
# page and the server's own peak memory (the batch child not counted);
# then RUNS small jobs in a row (50), after which, once they expire, no job
# folder, file or child process may be left; last, in headless Chromium,
# the time from the button to the results page and of the largest views.
#
# usage: bench/web.sh KINROLL_WEB KINROLL_GEN   (kinroll beside KINROLL_WEB)
# Environment: WEB_SIZE (60000), WEB_RUNS (50). Everything listens on
# 127.0.0.1 only; every wait is bounded.
set -eu
export LC_ALL=C
[ $# -eq 2 ] || { echo "usage: $0 KINROLL_WEB KINROLL_GEN" >&2; exit 2; }
web=$1
gen=$2
size=${WEB_SIZE:-60000}
runs=${WEB_RUNS:-50}
work=$(mktemp -d "${TMPDIR:-/tmp}/kinroll-webbench.XXXXXX")
pid=
cleanup() { [ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
trap 'exit 130' INT TERM

"$gen" "$size" "$work/big" >/dev/null
"$gen" 600 "$work/small" >/dev/null
mkdir "$work/tmp" "$work/state"
TMPDIR="$work/tmp" XDG_STATE_HOME="$work/state" XDG_CONFIG_HOME="$work/config" "$web" --port 0 --keep 1 --time-limit 120 \
  >"$work/out.txt" &
pid=$!
for _ in $(seq 100); do grep -q http:// "$work/out.txt" 2>/dev/null && break; sleep 0.05; done
url=$(grep -o 'http://[^ ]*' "$work/out.txt")  # http://127.0.0.1:PORT/TOKEN/

# post DIR: uploads the printouts and configuration files of DIR; prints
# the seconds until the results page is there.
post() {
  local dir=$1 t0 job args=()
  for f in mis231.txt mis232.txt mis239.txt mis1313.txt mis1413.txt mis121.txt; do
    args+=(-F "printouts=@$dir/$f")
  done
  t0=$EPOCHREALTIME
  job=$(curl -sS --max-time 120 -o /dev/null -w '%{redirect_url}' \
    -F unit=Ward -F "wardunits=@$dir/wardunits.txt" \
    -F "wardorgs=@$dir/wardorgs.txt" "${args[@]}" "${url}jobs")
  # The job's page waits up to 2 s for the job, so this asks again at once.
  for _ in $(seq 600); do
    curl -sS --max-time 10 "$job" 2>/dev/null | grep -q '<h1>Results' && break
  done
  awk -v a="$t0" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.2f\n", b - a }'
}

# stats: the median and the slowest 1 % of the seconds on standard input, in ms.
stats() {
  sort -n | awk '{ t[NR] = $1 } END { printf "median %.2f ms, 99th percentile %.2f ms (%d pages)\n",
    1000 * t[int((NR + 1) / 2)], 1000 * t[int(NR * 0.99)], NR }'
}
echo "== the form page, 500 times"
urls=()
for _ in $(seq 500); do urls+=(-o /dev/null "$url"); done
echo "one kept-alive connection: $(curl -sS -w '%{time_total}\n' "${urls[@]}" | stats)"
echo "a connection each:         $(for _ in $(seq 500); do
  curl -sS -o /dev/null -w '%{time_total}\n' "$url"; done | stats)"
connections=$(curl -sS -w '%{num_connects}\n' "${urls[@]:0:150}" | awk '{ s += $1 } END { print s }')
echo "(50 pages on one curl took $connections connection)"

input=$(du -sm "$work/big" | cut -f1)
echo "== $size households ($input MB of printouts): post to results page"
for i in 1 2 3; do echo "run $i: $(post "$work/big") s"; done
echo "server peak memory: $(awk '/VmHWM/ { printf "%.0f MB", $2 / 1024 }' /proc/$pid/status)"
echo "server memory now:  $(awk '/VmRSS/ { printf "%.0f MB", $2 / 1024 }' /proc/$pid/status)"

echo "== $runs jobs of 600 households in a row"
t0=$EPOCHREALTIME
for i in $(seq "$runs"); do post "$work/small" >/dev/null; done
awk -v a="$t0" -v b="$EPOCHREALTIME" -v n="$runs" 'BEGIN { printf "%.2f s in all, %.3f s a job\n", b - a, (b - a) / n }'
sleep 3  # every job expires one second after its last fetch; the sweep runs every second
left=$(find "$work/tmp" -mindepth 2 | wc -l)
children=$(cat /proc/$pid/task/*/children 2>/dev/null | wc -w)
echo "after expiry: $left job files or folders, $children child processes"
echo "server memory now:  $(awk '/VmRSS/ { printf "%.0f MB", $2 / 1024 }' /proc/$pid/status)"
kill "$pid"
wait "$pid" || true
pid=
echo "after the end: $(find "$work/tmp" -mindepth 1 | wc -l) files or folders left"
status=0
[ "$left" -eq 0 ] && [ "$children" -eq 0 ] || status=1

# The same printouts as a clerk sends them, in headless Chromium: from the
# button to the results page, and the largest views (bench/web_browser.py).
echo "== $size households in headless Chromium"
browser=0
/usr/bin/python3 "$(dirname "$0")/web_browser.py" "$web" "$work/big" || browser=$?
[ "$browser" -eq 77 ] && echo "(skipped: Selenium, Chromium or its driver is missing)"
[ "$browser" -eq 0 ] || [ "$browser" -eq 77 ] || status=1
exit "$status"
