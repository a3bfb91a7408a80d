#!/usr/bin/env bash
# Throughput and memory of the h33 commands on large generated programs, and
# the micro benchmarks. Usage: bench/run.sh BUILD_DIR
# BUILD_DIR holds src/cli/h33, bench/gen_program and bench/h33_micro_bench
# (a Release build). Generated programs are kept in bench/data/ and made again
# only when the generator binary changes.
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
BUILD=$(cd "${1:?usage: bench/run.sh BUILD_DIR}" && pwd)
H33=$BUILD/src/cli/h33
GEN=$BUILD/bench/gen_program
MICRO=$BUILD/bench/h33_micro_bench
DATA=$HERE/data
SEED=1
MIB=1048576
OUT=$DATA/output.up

# One line per command: name | throughput target as a fraction of wc -l on the
# same file | input format | arguments ({in} the program, {out} an output file
# beside it, removed after every run). A command that `h33 --help` does not
# list is skipped.
COMMANDS=(
  "time    | 10 | up  | time {in}"
  "correct | 15 | up  | correct {in} -o {out}"
  "convert | 15 | ptp | convert {in} -o {out}"
  "import  | 15 | nc  | import {in} -o {out}"
  "convert | 15 | nc  | convert {in} -o {out}"
)
# Throughput is measured on the middle size; memory is compared between the
# smallest and the largest size of each format.
UP_SIZES=(5 200 500)
PTP_SIZES=(5 200)
MEASURE_SIZE=200
MEMORY_SPREAD_KB=1024
RUNS=3

note() { printf '   %s\n' "$*"; }

# Cached programs are valid as long as the generator binary is the same.
check_cache() {
  mkdir -p "$DATA"
  local stamp
  stamp=$(md5sum <"$GEN" | cut -d' ' -f1)
  if [[ "$(cat "$DATA/stamp" 2>/dev/null)" != "$stamp" ]]; then
    rm -f "$DATA"/program-*
    echo "$stamp" >"$DATA/stamp"
  fi
}

program_path() { echo "$DATA/program-$2M-s$SEED.$1"; }

# program FORMAT MB: prints the path of the program, generating it when missing;
# prints nothing when the disk is too full for it.
program() {
  local format=$1 mb=$2 path
  path=$(program_path "$format" "$mb")
  if [[ ! -f "$path" ]]; then
    local free_mb
    free_mb=$(df --output=avail -B"$MIB" "$DATA" | tail -1 | tr -d ' ')
    # room for the program and for one output of the same size
    if ((free_mb < 2 * mb + 100)); then
      echo "   skipped: ${mb} MB $format program needs $((2 * mb + 100)) MB free, $free_mb MB left" >&2
      return
    fi
    echo "   generating $(basename "$path")" >&2
    "$GEN" --format "$format" --size "${mb}M" --seed "$SEED" -o "$path"
  fi
  echo "$path"
}

# The help is taken whole first: grep -q stopping early would break the pipe.
listed() {
  local help
  help=$("$H33" --help)
  grep -qE "^ +$1( |$)" <<<"$help"
}

# args TEMPLATE IN OUT: the command's arguments, one per line.
args() {
  local word
  for word in $1; do
    word=${word//\{in\}/$2}
    echo "${word//\{out\}/$3}"
  done
}

# run_once COMMAND...: one run, its output kept in $DATA/stdout and
# $DATA/stderr; a failure leaves its exit status in $DATA/status.
run_once() {
  "$@" >"$DATA/stdout" 2>"$DATA/stderr" || { echo $? >"$DATA/status"; return 1; }
}

# elapsed_us COMMAND...: wall time of one run in microseconds.
elapsed_us() {
  local start end
  start=$(date +%s%N)
  run_once "$@" || return
  end=$(date +%s%N)
  echo $(((end - start) / 1000))
}

# best_us COMMAND...: one warm-up run (the file is then in the page cache),
# then the best of $RUNS.
best_us() {
  local best=0 us i
  run_once "$@" || return
  cp "$DATA/stdout" "$DATA/first-stdout"
  for ((i = 0; i < RUNS; i++)); do
    us=$(elapsed_us "$@") || return
    if ((best == 0 || us < best)); then best=$us; fi
  done
  echo "$best"
}

# peak_kb COMMAND...: maximum resident set size of one run.
peak_kb() {
  run_once /usr/bin/time -v -o "$DATA/time.log" "$@" || return
  awk -F': ' '/Maximum resident set size/ { print $2 }' "$DATA/time.log"
}

seconds() { awk -v us="$1" 'BEGIN { printf "%.3f", us / 1e6 }'; }
mb_per_s() { awk -v bytes="$1" -v us="$2" 'BEGIN { printf "%.0f", bytes / 1048576 / (us / 1e6) }'; }
mb() { awk -v kb="$1" 'BEGIN { printf "%.1f", kb / 1024 }'; }
signed_mb() { awk -v kb="$1" 'BEGIN { printf "%+.1f", kb / 1024 }'; }
trim() {
  local text=${1#"${1%%[![:space:]]*}"}
  echo "${text%"${text##*[![:space:]]}"}"
}

failed() {
  note "FAILED (exit status $(cat "$DATA/status")): h33 $*"
  sed 's/^/      /' "$DATA/stdout" "$DATA/stderr" | head -8
  rm -f "$OUT"
}

# memory FORMAT TEMPLATE: peak memory on the smallest and the largest program.
memory_spread() {
  local format=$1 template=$2 sizes small large small_kb large_kb
  local -a command
  if [[ $format == up ]]; then sizes=("${UP_SIZES[@]}"); else sizes=("${PTP_SIZES[@]}"); fi
  # G-code is written in the sizes of the PTP tapes it stands for.
  small=$(program "$format" "${sizes[0]}")
  large=$(program "$format" "${sizes[-1]}")
  [[ -n $small && -n $large ]] || return 0
  mapfile -t command < <(args "$template" "$small" "$OUT")
  small_kb=$(peak_kb "$H33" "${command[@]}") || { failed "${command[@]}"; return; }
  mapfile -t command < <(args "$template" "$large" "$OUT")
  large_kb=$(peak_kb "$H33" "${command[@]}") || { failed "${command[@]}"; return; }
  rm -f "$OUT"
  local spread=$((large_kb - small_kb))
  local verdict=MISSED
  ((${spread#-} <= MEMORY_SPREAD_KB)) && verdict=met
  note "memory:  $(mb "$small_kb") MB peak on ${sizes[0]} MB, $(mb "$large_kb") MB on ${sizes[-1]} MB:" \
    "difference $(signed_mb "$spread") MB (target within $(mb $MEMORY_SPREAD_KB) MB): $verdict"
}

# measure NAME TARGET FORMAT TEMPLATE
measure() {
  local name=$1 target=$2 format=$3 template=$4
  echo
  echo "== h33 $name"
  if ! listed "$name"; then
    note "skipped: h33 --help does not list '$name'"
    return
  fi
  local input bytes h33_us wc_us kb
  local -a command
  input=$(program "$format" "$MEASURE_SIZE")
  [[ -n $input ]] || return 0
  bytes=$(stat -c %s "$input")
  mapfile -t command < <(args "$template" "$input" "$OUT")

  rm -f "$OUT"
  h33_us=$(best_us "$H33" "${command[@]}") || { failed "${command[@]}"; return; }
  note "input:   $(basename "$input"), $(mb $((bytes / 1024))) MB; h33 says:"
  sed '/^ *$/d; s/^/      /' "$DATA/first-stdout" | head -4
  wc_us=$(best_us wc -l "$input")
  note "h33:     $(seconds "$h33_us") s, $(mb_per_s "$bytes" "$h33_us") MB/s (best of $RUNS, warm)"
  note "wc -l:   $(seconds "$wc_us") s, $(mb_per_s "$bytes" "$wc_us") MB/s"
  awk -v h="$h33_us" -v w="$wc_us" -v t="$target" 'BEGIN {
    ratio = w / h
    printf "   ratio:   1/%.1f of wc -l throughput (target at least 1/%d): %s\n", 1 / ratio, t, (ratio * t >= 1) ? "met" : "MISSED"
  }'
  kb=$(peak_kb "$H33" "${command[@]}") || { failed "${command[@]}"; return; }
  rm -f "$OUT"
  note "memory:  $(mb "$kb") MB peak on $MEASURE_SIZE MB"
  memory_spread "$format" "$template"
}

for tool in "$H33" "$GEN" "$MICRO"; do
  [[ -x $tool ]] || { echo "missing $tool: build $BUILD first" >&2; exit 2; }
done
check_cache

echo "== micro benchmarks"
"$MICRO" --benchmark_min_time=0.2

echo
echo "== whole files (load average $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores: figures suffer when the machine is shared)"
for line in "${COMMANDS[@]}"; do
  IFS='|' read -r name target format template <<<"$line"
  measure "$(trim "$name")" "$(trim "$target")" "$(trim "$format")" "$(trim "$template")"
done
rm -f "$DATA/stdout" "$DATA/first-stdout" "$DATA/stderr" "$DATA/status" "$DATA/time.log"
