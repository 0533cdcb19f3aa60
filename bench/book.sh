#!/usr/bin/env bash
# Times kinroll-book on generated printouts of growing size, page by page
# (A4) and as a booklet (--booklet), and prints per size and mode the best
# wall time, the least CPU time, the peak memory, the pages and the size of
# the PDF; then the growth between sizes (10 for linear growth when the
# sizes step by ten, 100 for quadratic growth).
#
# usage: bench/book.sh KINROLL_BOOK KINROLL_GEN
#   KINROLL_BOOK  the program, best a Release build
#   KINROLL_GEN   the printout generator (bench/gen/kinroll-gen.cpp)
# Environment:
#   BOOK_SIZES    households per run (default "600 6000 60000")
#   BOOK_RUNS     runs per timing, the best one counts (default 3)
#   BOOK_SEED     generator seed (default 1)
set -eu
export LC_ALL=C  # a decimal point in $EPOCHREALTIME and in awk

if [ $# -ne 2 ]; then
  echo "usage: $0 KINROLL_BOOK KINROLL_GEN" >&2
  exit 2
fi
book=$1
gen=$2
for b in "$book" "$gen"; do
  [ -x "$b" ] || { echo "$0: $b is not an executable" >&2; exit 2; }
done
[ -x /usr/bin/time ] || { echo "$0: /usr/bin/time (GNU time) is needed for peak memory" >&2; exit 2; }

sizes=${BOOK_SIZES:-600 6000 60000}
runs=${BOOK_RUNS:-3}
seed=${BOOK_SEED:-1}

work=$(mktemp -d "${TMPDIR:-/tmp}/kinroll-book.XXXXXX")
trap 'rm -rf "$work"' EXIT
trap 'exit 130' INT TERM HUP
# The same paper and PDF dates on every machine.
export PAPERSIZE=a4 SOURCE_DATE_EPOCH=1713052800

# timed ARGS...: runs kinroll-book with ARGS under /usr/bin/time; prints
# "SECONDS PEAK_KB STATUS CPU_SECONDS" (CPU: user plus system). Its error
# stream goes to err.txt.
timed() {
  local t0 t1 status
  t0=$EPOCHREALTIME
  set +e
  /usr/bin/time -f '%M %U %S' -o "$work/time.txt" "$book" "$@" 2>"$work/err.txt"
  status=$?
  set -e
  t1=$EPOCHREALTIME
  awk -v t0="$t0" -v t1="$t1" -v status="$status" '
    { peak = $1; cpu = $2 + $3 }
    END { printf "%.4f %d %d %.2f\n", t1 - t0, peak, status, cpu }' "$work/time.txt"
}

# best: the fastest run's seconds, the largest peak, the first non-zero
# status (else 0), the least CPU time of "SECONDS PEAK STATUS CPU" lines.
best() {
  awk 'NR == 1 || $1 < t { t = $1 } $2 > m { m = $2 } s == 0 && $3 != 0 { s = $3 }
       NR == 1 || $4 < c { c = $4 }
       END { printf "%.4f %d %d %.2f\n", t, m, s, c }'
}

printf '%s\n' "kinroll-book on generated printouts, best of $runs runs, A4"
printf '%8s %9s %8s %10s %8s %9s %7s %8s %6s\n' N families mode wall_s cpu_s peak_MB pages pdf_MB exit
results=""
for n in $sizes; do
  in="$work/in-$n"
  echo "generating $n households ..." >&2
  "$gen" "$n" "$in" "$seed" >"$work/gen-$n.txt"
  families=$(sed -n 's/^directory: \([0-9]*\) families.*/\1/p' "$work/gen-$n.txt")
  for mode in pages booklet; do
    flags=()
    [ "$mode" = booklet ] && flags=(--booklet)
    : >"$work/runs.txt"
    for i in $(seq "$runs"); do
      echo "  $n households, $mode, run $i ..." >&2
      timed ${flags[@]+"${flags[@]}"} --pdf "$work/book.pdf" "$in" >>"$work/runs.txt"
    done
    read -r secs peak status cpu <<<"$(best <"$work/runs.txt")"
    # "kinroll-book: N households, P pages ..." on the error stream.
    pages=$(sed -n 's/.* households, \([0-9]*\) pages.*/\1/p' "$work/err.txt")
    bytes=$(wc -c <"$work/book.pdf")
    printf '%8d %9d %8s %10.3f %8.2f %9.1f %7s %8.1f %6d\n' "$n" "$families" "$mode" "$secs" \
      "$cpu" "$(awk -v k="$peak" 'BEGIN { print k / 1024 }')" "${pages:--}" \
      "$(awk -v b="$bytes" 'BEGIN { print b / 1e6 }')" "$status"
    [ "$mode" = pages ] && results="$results $n:$secs"
  done
done

# Growth between consecutive sizes, page by page.
echo "$results" | awk '{
  for (i = 2; i <= NF; ++i) {
    split($(i - 1), a, ":"); split($i, b, ":")
    if (a[2] > 0) printf "time(%s)/time(%s) = %.1f  (households x%.0f)\n", b[1], a[1], b[2] / a[2], b[1] / a[1]
  }
}'
