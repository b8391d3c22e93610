#!/bin/bash
# Exports the same generated invoice tables with our table export and with pgdbf, side by side
# in one run, and prints the wall and the cpu (user + system) times of both, the ratios
# ours / pgdbf, and the peak resident memory of our export.
#
#   bench/compare_export.sh [RECORDS_PER_TABLE ...]
#
# Each size is the number of records in fap.dbf and in fav.dbf alike; the default
# "50000 500000" gives 100,000 and 1,000,000 records in all, to show that memory stays flat.
# Environment: ZERED_BENCH_BUILD, the build folder (build-release; configured as Release when
# new, bench_export is brought up to date); REPEAT, runs per tool and size (3; the fastest
# counts, since other load on a shared machine only ever adds time). The tables are generated
# once into the build folder and reused.
#
# Ours runs as the program does: reads both tables through the table cursor and writes
# sa2.txt to disk (flushed before it replaces the old file). pgdbf converts both tables with
# their memo files to UTF-8 PostgreSQL text on /dev/null.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=${ZERED_BENCH_BUILD:-$root/build-release}
repeat=${REPEAT:-3}
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(50000 500000)

command -v pgdbf >/dev/null || { echo "pgdbf is not installed (apt-get install pgdbf)" >&2; exit 1; }
bench=$build/bench/bench_export
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZERED_GUI=OFF >/dev/null
fi
if ! cmake --build "$build" --target bench_export -j 2 >"$build/bench_export.log" 2>&1; then
  cat "$build/bench_export.log" >&2
  exit 1
fi

# timed TIMES OUTPUT COMMAND...: runs the command with its output to the file OUTPUT and
# appends "wall cpu" seconds to the file TIMES (cpu = user + system, which other load on a
# shared machine hardly changes). A failing command ends the script with its messages.
timed() {
  local times=$1 output=$2 TIMEFORMAT='%3R %3U %3S'
  shift 2
  if ! { time "${@}" >"$output" 2>"$work/errors"; } 2>"$work/time"; then
    echo "failed: $*" >&2
    cat "$work/errors" >&2
    exit 1
  fi
  awk '{ printf "%.3f %.3f\n", $1, $2 + $3 }' "$work/time" >>"$times"
}
# The smallest wall and the smallest cpu time of a timing file.
fastest() {
  sort -n -k1,1 "$1" | head -1 | cut -d' ' -f1
  sort -n -k2,2 "$1" | head -1 | cut -d' ' -f2
}

export_ours() { "$bench" --once --tables="$tables"; }
export_pgdbf() {
  pgdbf -s cp1250 -m "$tables/fap.fpt" "$tables/fap.dbf" &&
    pgdbf -s cp1250 -m "$tables/fav.fpt" "$tables/fav.dbf"
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '%-9s %9s | %8s %8s %6s | %8s %8s %6s | %9s\n' records exported \
  ours_s pgdbf_s ratio ours_cpu pgdbf_cpu ratio peak_MiB
for size in "${sizes[@]}"; do
  tables=$build/bench/invoice_tables_$size
  if [ ! -f "$tables/fap.dbf" ] || [ ! -f "$tables/fav.dbf" ]; then
    /usr/bin/python3 "$here/make_invoice_tables.py" "$tables" "$size"
  fi
  : >"$work/ours"
  : >"$work/pgdbf"
  peak=0
  for ((run = 0; run < repeat; run++)); do
    timed "$work/ours" "$work/report" export_ours
    exported=$(awk '$1 == "records" { print $2 }' "$work/report")
    kib=$(awk '$1 == "peak_rss_kib" { print $2 }' "$work/report")
    [ "$kib" -gt "$peak" ] && peak=$kib
    timed "$work/pgdbf" /dev/null export_pgdbf
  done
  read -r -d '' ours_wall ours_cpu < <(fastest "$work/ours") || true
  read -r -d '' pgdbf_wall pgdbf_cpu < <(fastest "$work/pgdbf") || true
  awk -v n=$((2 * size)) -v e="$exported" -v ow="$ours_wall" -v pw="$pgdbf_wall" \
    -v oc="$ours_cpu" -v pc="$pgdbf_cpu" -v p="$peak" 'BEGIN {
      printf "%-9d %9d | %8.3f %8.3f %6.2f | %8.3f %8.3f %6.2f | %9.1f\n",
             n, e, ow, pw, ow / pw, oc, pc, oc / pc, p / 1024 }'
done
