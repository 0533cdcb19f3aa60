#!/usr/bin/env bash
# Times the batch run (`kinroll -c`) on generated printouts of growing size
# and sets it against the I/O floor of the same run: reading the same input
# bytes and writing the same output bytes with cat. Prints one table row per
# size and the growth factor between sizes (10 for linear growth, 100 for
# quadratic growth when the sizes step by ten).
#
# usage: bench/scale.sh KINROLL KINROLL_GEN
#   KINROLL       the program, best a Release build
#   KINROLL_GEN   the printout generator (bench/gen/kinroll-gen.cpp)
# Environment:
#   SCALE_SIZES    households per run (default "600 6000 60000")
#   SCALE_RUNS     runs per timing, the best one counts (default 3)
#   SCALE_TIMEOUT  seconds one run may take (default 900); a size that runs
#                  out of time is reported as such and larger sizes are skipped
#   SCALE_SEED     generator seed (default 1)
#   SCALE_KEEP     when set, the scratch folder is kept and named at the end
#   SCALE_CONSOLE  when set, the program runs without -c and reads this
#                  console script instead ("\n" ends a line), to time menu
#                  options, e.g. SCALE_CONSOLE='201\n\n202\n\n209\n\nq\n'
set -eu
export LC_ALL=C  # a decimal point in $EPOCHREALTIME and in awk

if [ $# -ne 2 ]; then
  echo "usage: $0 KINROLL KINROLL_GEN" >&2
  exit 2
fi
abs() { (cd "$(dirname "$1")" && printf '%s/%s\n' "$(pwd)" "$(basename "$1")"); }
kinroll=$(abs "$1")
gen=$(abs "$2")
for b in "$kinroll" "$gen"; do
  [ -x "$b" ] || { echo "$0: $b is not an executable" >&2; exit 2; }
done
[ -x /usr/bin/time ] || { echo "$0: /usr/bin/time (GNU time) is needed for peak memory" >&2; exit 2; }

sizes=${SCALE_SIZES:-600 6000 60000}
runs=${SCALE_RUNS:-3}
limit=${SCALE_TIMEOUT:-900}
seed=${SCALE_SEED:-1}

work=$(mktemp -d "${TMPDIR:-/tmp}/kinroll-scale.XXXXXX")
if [ -z "${SCALE_KEEP:-}" ]; then
  trap 'rm -rf "$work"' EXIT
  trap 'exit 130' INT TERM HUP
fi

# timed DIR STATSFILE CMD...: runs CMD in DIR under /usr/bin/time and the
# time limit; prints "SECONDS PEAK_KB STATUS CPU_SECONDS" (CPU: user plus
# system). Standard output and error of
# CMD go to out.txt and err.txt in the scratch folder.
timed() {
  local dir=$1 stats=$2 t0 t1 status peak cpu
  shift 2
  cd "$dir"
  t0=$EPOCHREALTIME
  set +e
  timeout "$limit" /usr/bin/time -f '%e %M %U %S' -o "$stats" "$@" <"$console" >"$work/out.txt" 2>"$work/err.txt"
  status=$?
  set -e
  t1=$EPOCHREALTIME
  cd "$work"
  peak=$(tail -n 1 "$stats" 2>/dev/null | awk '{print $2}')
  cpu=$(tail -n 1 "$stats" 2>/dev/null | awk '{print $3 + $4}')
  awk -v t0="$t0" -v t1="$t1" -v peak="${peak:-0}" -v status="$status" -v cpu="${cpu:-0}" \
    'BEGIN { printf "%.4f %d %d %.2f\n", t1 - t0, peak, status, cpu }'
}

# best "SECONDS PEAK STATUS CPU" lines on standard input: the fastest run's
# seconds, the largest peak, the first non-zero status (else 0), the least
# CPU time.
best() {
  awk 'NR == 1 || $1 < t { t = $1 } $2 > m { m = $2 } s == 0 && $3 != 0 { s = $3 }
       NR == 1 || $4 < c { c = $4 }
       END { printf "%.4f %d %d %.2f\n", t, m, s, c }'
}

console=/dev/null
mode="kinroll -c"
args=(-c)
if [ -n "${SCALE_CONSOLE:-}" ]; then
  console="$work/console.txt"
  printf '%b' "$SCALE_CONSOLE" >"$console"
  mode="kinroll with the console script $(printf '%s' "$SCALE_CONSOLE" | sed 's/\\n/ /g')"
  args=()
fi

# What starting a process through the same wrappers costs; at small sizes it
# is most of both timings.
: >"$work/start.txt"
for i in $(seq "$runs"); do timed "$work" "$work/time.txt" true >>"$work/start.txt"; done
read -r startup _ <<<"$(best <"$work/start.txt")"

printf '%s\n' "Run of $mode on generated printouts, best of $runs runs; floor: cat of the same input and output bytes"
printf '%8s %9s %8s %9s %10s %8s %10s %8s %9s %6s\n' N families input_MB outputs kinroll_s cpu_s floor_s ratio peak_MB exit
results=""
skip=""
for n in $sizes; do
  if [ -n "$skip" ]; then
    printf '%8s %9s %8s %9s %10s %8s %10s %8s %9s %6s\n' "$n" - - - skipped - - - - -
    continue
  fi
  in="$work/in-$n"
  echo "generating $n households ..." >&2
  "$gen" "$n" "$in" "$seed" >"$work/gen-$n.txt"
  families=$(sed -n 's/^directory: \([0-9]*\) families.*/\1/p' "$work/gen-$n.txt")
  input_bytes=$(cat "$in"/* | wc -c)

  run="$work/run-$n"
  : >"$work/kinroll-$n.txt"
  i=0
  while [ "$i" -lt "$runs" ]; do
    i=$((i + 1))
    echo "  $mode, run $i ..." >&2
    rm -rf "$run"
    mkdir "$run"
    cp "$in"/* "$run"/
    timed "$run" "$work/time.txt" "$kinroll" ${args[@]+"${args[@]}"} >>"$work/kinroll-$n.txt"
    if [ "$(tail -n 1 "$work/kinroll-$n.txt" | awk '{print $3}')" = 124 ]; then break; fi
  done
  read -r secs peak status cpu <<<"$(best <"$work/kinroll-$n.txt")"
  note=""
  if [ -s "$work/err.txt" ]; then
    note="$(wc -l <"$work/err.txt") line(s) on the error stream, the first: $(head -n 1 "$work/err.txt")"
  fi

  # What the run wrote: every file of the run folder that is not an input.
  outputs=()
  for f in "$run"/* "$run"/.[!.]*; do
    [ -f "$f" ] || continue
    name=$(basename "$f")
    [ -e "$in/$name" ] && continue
    outputs+=("$name")
  done

  scratch="$work/floor-$n"
  : >"$work/floor-$n.txt"
  i=0
  while [ "$i" -lt "$runs" ]; do
    i=$((i + 1))
    rm -rf "$scratch"
    mkdir "$scratch"
    # shellcheck disable=SC2016  # the script gets its folders as arguments
    timed "$scratch" "$work/time.txt" sh -c '
      in=$1 run=$2
      shift 2
      cat "$in"/* >/dev/null
      for f in "$@"; do cat "$run/$f" >"$f"; done' floor "$in" "$run" ${outputs[@]+"${outputs[@]}"} \
      >>"$work/floor-$n.txt"
  done
  read -r floor _ <<<"$(best <"$work/floor-$n.txt")"

  if [ "$status" = 124 ]; then
    printf '%8s %9s %8.1f %9s %10s %8s %10.4f %8s %9s %6s\n' "$n" "$families" \
      "$(echo "$input_bytes" | awk '{print $1 / 1e6}')" "${#outputs[@]}" ">$limit" - "$floor" - - timeout
    skip=yes
    continue
  fi
  echo "$n $secs $floor $peak $input_bytes ${#outputs[@]} $status $cpu" | awk -v fam="$families" '{
    ratio = $3 > 0 ? $2 / $3 : 0
    printf "%8d %9d %8.1f %9d %10.4f %8.2f %10.4f %8.1f %9.1f %6d\n", $1, fam, $5 / 1e6, $6, $2, $8, $3, ratio, $4 / 1024, $7
  }'
  results="$results $n:$secs"
  [ -n "$note" ] && notes="${notes:-}
  N=$n: $note"
done

# Growth between consecutive sizes.
echo "$results" | awk '{
  for (i = 2; i <= NF; ++i) {
    split($(i - 1), a, ":"); split($i, b, ":")
    if (a[2] > 0) printf "time(%s)/time(%s) = %.1f  (households x%.0f)\n", b[1], a[1], b[2] / a[2], b[1] / a[1]
  }
}'
echo "Starting a process through the same wrappers takes $startup s (included in both timings)."
if [ -n "${notes:-}" ]; then
  echo "Notes:$notes"
fi
if [ -n "${SCALE_KEEP:-}" ]; then
  echo "Scratch folder kept: $work"
fi
