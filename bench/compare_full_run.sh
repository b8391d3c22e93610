#!/usr/bin/env bash
# Times one complete unattended run ("zered /A": read both tables, write sa2.txt and sa.txt,
# send the script to the server) against the MariaDB command-line client sending the same
# sa.txt with the same sa2.txt, on the same private server, and prints both times and the
# ratio ours / client.
#
#   bench/compare_full_run.sh [RECORDS_PER_TABLE [BUILD_FOLDER]]
#
# RECORDS_PER_TABLE: records in fap.dbf and in fav.dbf alike (500000, so 1,000,000 lines).
# BUILD_FOLDER: a Release build folder (build-bench10); zered and bench_export are built there.
# Environment:
#   REPEAT   timed runs of each side, alternating ours and the client's (2; the fastest counts,
#            since a shared machine only ever adds time)
#   PROFILE  1 (default): afterwards one more run of ours under perf and one with call graphs
#            at PROFILE_RECORDS (20000) records per table (callgrind there when perf is
#            missing), and the top of the profiles
#   SAME_SESSION  1 (default): also time the client with autocommit off, the session our
#            connection opens, to tell the session's share of a difference from the sender's
#   CLIENT_NET_BUFFERS  sizes in bytes, e.g. "8192 65536": also time the client sending
#            compressed packets of each size (its own default is 16384)
#   LOAD_BUFFERS  packet sizes for timing the load statement alone with the client
#            ("8192 16384 65536"; empty to skip)
#   ZERED_LOCALE  the locale names our process runs under (cs_CZ.UTF-8: ANSI code page 1250,
#            decimal comma and day.month.year dates, as on the machines the program serves)
#   RUN_TIMEOUT  seconds a run may take before it counts as failed (900); a failed
#            unattended run keeps its error box open and would never end by itself
#
# What is compared. "ours, whole" is the wall time of the zered process: start-up, reading the
# tables, writing sa2.txt and sa.txt, connecting, executing the 13 statements, writing
# proto.txt. "ours, sending" is the part from writing sa.txt (just before the connect) to
# writing proto.txt (just after the last statement), taken from the two files' modification
# times in nanoseconds; it does the same work as the client. "client" is the wall time of
# `mariadb --compress --local-infile=1 ... velbor < sa.txt` in the program folder. "export" is
# bench_export --once on the same tables: reading them and writing sa2.txt without a window.
# Every run is checked: exit code 0, six new lines in proto.txt ending in " odeslano", and as
# many rows in pohledavky as the run log counted records.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
records=${1:-500000}
build=${2:-$root/build-bench10}
repeat=${REPEAT:-2}
profile=${PROFILE:-1}
profile_records=${PROFILE_RECORDS:-20000}
locale_name=${ZERED_LOCALE:-cs_CZ.UTF-8}
run_timeout=${RUN_TIMEOUT:-900}
same_session=${SAME_SESSION:-1}
net_buffers=${CLIENT_NET_BUFFERS:-}
load_buffers=${LOAD_BUFFERS-8192 16384 65536}

[[ $records =~ ^[0-9]+$ ]] || { echo "records per table must be a number: $records" >&2; exit 2; }
[[ $repeat =~ ^[1-9][0-9]*$ ]] || { echo "REPEAT must be a positive number: $repeat" >&2; exit 2; }
mkdir -p "$build"
build=$(cd "$build" && pwd)

# --- build -----------------------------------------------------------------------------------
if [[ ! -f $build/CMakeCache.txt ]] || ! grep -q '^CMAKE_BUILD_TYPE:STRING=Release$' "$build/CMakeCache.txt"; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" --target zered bench_export -j 2 >/dev/null

work=$build/full_run
server=$work/server
program=$work/program
tables=$work/tables_$records
mkdir -p "$work" "$program/bin"

# --- server ----------------------------------------------------------------------------------
trap 'sh "$root/tests/support/mariadb_server.sh" stop "$server"' EXIT
# The server's temporary tables (multi-table UPDATE) get a folder of their own: in a shared
# /tmp another program's clean-up can delete them under a running statement.
mkdir -p "$work/server_tmp"
TMPDIR=$work/server_tmp sh "$root/tests/support/mariadb_server.sh" start "$server"
# shellcheck source=/dev/null
. <(sed 's/^/server_/' "$server/server.txt")
client=(mariadb --no-defaults --protocol=TCP -h "$server_host" -P "$server_port"
  -u "$server_admin_user" "-p$server_admin_password")
"${client[@]}" -e "CREATE DATABASE velbor CHARACTER SET utf8mb4 COLLATE utf8mb4_czech_ci"
"${client[@]}" --default-character-set=utf8mb4 velbor <"$root/demo/schema.sql"
mariadb_version=$("${client[@]}" -N -e 'SELECT CONCAT(VERSION(), " (tmpdir ", @@tmpdir, ")")')
# Every statement's execution time on the server goes to mysql.slow_log, to tell the server's
# share of a run from the sender's.
"${client[@]}" -e "SET GLOBAL log_output='TABLE'; SET GLOBAL long_query_time=0;
  SET GLOBAL slow_query_log=1"
: >"$work/statements.tsv"

# --- tables and program folder ---------------------------------------------------------------
if [[ ! -f $tables/fap.dbf || ! -f $tables/fav.dbf ]]; then
  echo "generating $records records per table in $tables"
  /usr/bin/python3 "$here/make_invoice_tables.py" "$tables" "$records"
fi

# Lays out <folder>/bin/zered with its window settings (data folder $2) and, one folder up,
# the connection settings of the server's admin user.
lay_out_program() {
  local folder=$1 data=$2
  mkdir -p "$folder/bin"
  cp "$build/src/qt/zered" "$folder/bin/zered"
  printf '[LogON]\r\nIP=%s\r\nUser=%s\r\nPassword=%s\r\nSQLport=%s\r\n' \
    "$server_host" "$server_admin_user" "$server_admin_password" "$server_port" \
    >"$folder/velbor05.ini"
  printf '[TForm1]\r\nFormVersion=0\r\nLMDBrowseEdit1_Path=%s\r\n' "$data" >"$folder/bin/zered.INI"
}
lay_out_program "$program" "$tables"
rm -f "$program/bin/proto.txt" "$program/bin/sa.txt" "$program/bin/sa2.txt"

now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
smaller() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b < a) ? b : a }'; }
mtime() { stat -c '%.9Y' "$1"; }
rows() { "${client[@]}" -N velbor -e "SELECT COUNT(*) FROM $1"; }
# Appends the statements of the last script run (the session that sent "commit" last),
# numbered from its BEGIN, to statements.tsv as "side, number, seconds, text"; prints their sum.
server_statements() {
  local side=$1
  "${client[@]}" -N -e "SELECT TIME_TO_SEC(query_time),
      LEFT(REPLACE(REPLACE(CONVERT(sql_text USING latin1), '\r', ''), '\n', ' '), 50)
    FROM mysql.slow_log WHERE thread_id = (SELECT thread_id FROM mysql.slow_log
      WHERE sql_text = 'commit' ORDER BY start_time DESC LIMIT 1)
    ORDER BY start_time; TRUNCATE mysql.slow_log" |
    awk -F '\t' -v side="$side" -v out="$work/statements.tsv" '
      $2 == "BEGIN" { n = 0; counting = 1 }
      counting { n++; printf "%s\t%d\t%s\t%s\n", side, n, $1, $2 >>out; sum += $1 }
      END { printf "%.3f\n", sum }'
}
fail() {
  echo "compare_full_run: $*" >&2
  exit 1
}

# Runs zered /A in program folder $1 (optionally under a profiler given as further words)
# and checks what it left behind; sets run_wall, run_send, run_cpu, run_rss_kib, run_in,
# run_out.
run_ours() {
  local folder=$1
  shift
  local bin=$folder/bin log=$folder/bin/proto.txt before=0 start end status=0 block
  [[ -f $log ]] && before=$(wc -l <"$log")
  start=$(now)
  env QT_QPA_PLATFORM=offscreen LC_ALL="$locale_name" \
    /usr/bin/time -f '%U %S %M' -o "$work/time.txt" \
    timeout --kill-after=10 "$run_timeout" "$@" "$bin/zered" /A \
    >"$work/zered.out" 2>&1 || status=$?
  end=$(now)
  if ((status != 0)); then
    cat "$work/zered.out" >&2
    echo "the last statements the server finished:" >&2
    "${client[@]}" -e "SELECT thread_id, query_time, LEFT(CONVERT(sql_text USING latin1), 60) AS
      statement FROM mysql.slow_log ORDER BY start_time DESC LIMIT 14" >&2 || true
    fail "zered /A ended with status $status (124: still running after ${run_timeout}s, as a failed unattended run does)"
  fi
  [[ -f $log ]] || fail "zered /A wrote no run log"
  (($(wc -l <"$log") == before + 6)) || fail "zered /A did not append one six-line block to proto.txt"
  block=$(tail -n 6 "$log" | tr -d '\r')
  [[ $(sed -n 6p <<<"$block") == *" odeslano" ]] || fail "the run log's last line is not \"... odeslano\": $block"
  run_in=$(sed -n 3p <<<"$block" | sed 's/.* IN: //')
  run_out=$(sed -n 4p <<<"$block" | sed 's/.* OUT: //')
  (($(rows pohledavky) == run_in + run_out)) || fail "pohledavky does not hold the $((run_in + run_out)) records the run read"
  run_wall=$(elapsed "$start" "$end")
  run_send=$(elapsed "$(mtime "$bin/sa.txt")" "$(mtime "$log")")
  read -r user sys run_rss_kib <"$work/time.txt"
  run_cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%.2f", u + s }')
}

# Sends sa.txt with the client from the program folder, exactly as a user would; further
# words are extra client options. Sets client_wall, client_cpu, client_rss_kib.
run_client() {
  local start end status=0
  "${client[@]}" -N velbor -e 'TRUNCATE pohledavky; TRUNCATE pohledavky2'
  start=$(now)
  (cd "$program/bin" && /usr/bin/time -f '%U %S %M' -o "$work/time.txt" \
    mariadb --no-defaults --local-infile=1 --compress "$@" -h 127.0.0.1 -P "$server_port" \
    -u "$server_admin_user" "-p$server_admin_password" velbor <sa.txt) || status=$?
  end=$(now)
  ((status == 0)) || fail "the mariadb client ended with status $status"
  (($(rows pohledavky) == run_in + run_out)) || fail "the client's load left pohledavky without the $((run_in + run_out)) records"
  client_wall=$(elapsed "$start" "$end")
  read -r user sys client_rss_kib <"$work/time.txt"
  client_cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%.2f", u + s }')
}

# One timed run of a side: ours; client; client_ac0, the client in the session our connection
# opens (autocommit off, so the script's statements up to each TRUNCATE and up to its commit
# form one transaction, where the client's own session commits every statement); client_nbN,
# the client with a network buffer of N bytes (the size of each compressed packet it sends).
# Prints the side's columns and keeps its fastest wall time in best[side].
declare -A best=()
time_side() {
  local side=$1 server_s wall
  case "$side" in
    ours)
      run_ours "$program"
      server_s=$(server_statements ours)
      wall=$run_wall
      best_send=$(smaller "$best_send" "$run_send")
      printf '%-14s %10.3f %10.3f %10.2f %10.3f %10.1f\n' ours "$run_wall" "$run_send" "$run_cpu" \
        "$server_s" "$(awk -v k="$run_rss_kib" 'BEGIN { print k / 1024 }')"
      ;;
    client*)
      case "$side" in
        client) run_client ;;
        client_ac0) run_client --init-command='SET autocommit=0' ;;
        client_nb*) run_client --net-buffer-length="${side#client_nb}" ;;
      esac
      server_s=$(server_statements "$side")
      wall=$client_wall
      printf '%-14s %10.3f %10s %10.2f %10.3f %10.1f\n' "$side" "$client_wall" - "$client_cpu" \
        "$server_s" "$(awk -v k="$client_rss_kib" 'BEGIN { print k / 1024 }')"
      ;;
  esac
  best[$side]=$(smaller "${best[$side]:-}" "$wall")
}

# --- timed runs ------------------------------------------------------------------------------
echo
echo "records per table: $records; server: MariaDB $mariadb_version on $server_host:$server_port;" \
  "zered locale: $locale_name"
echo "wall_s: the whole process; send_s: from writing sa.txt to writing proto.txt (ours);"
echo "cpu_s: user + system of the process; server_s: the script's statements on the server"
sides=(ours client)
[[ $same_session == 1 ]] && sides+=(client_ac0)
for size in $net_buffers; do
  [[ $size =~ ^[0-9]+$ ]] || fail "CLIENT_NET_BUFFERS holds a size that is no number: $size"
  sides+=("client_nb$size")
done
best_send=
for ((run = 1; run <= repeat; run++)); do
  echo "run $run"
  printf '%-14s %10s %10s %10s %10s %10s\n' side wall_s send_s cpu_s server_s rss_MiB
  # The order alternates, so that neither side always follows the other's load.
  if ((run % 2 == 1)); then
    order=("${sides[@]}")
  else
    order=()
    for ((i = ${#sides[@]} - 1; i >= 0; i--)); do order+=("${sides[i]}"); done
  fi
  for side in "${order[@]}"; do time_side "$side"; done
done
lines=$(wc -l <"$program/bin/sa2.txt")
bytes=$(stat -c %s "$program/bin/sa2.txt")

# The export alone: the same tables read and sa2.txt written, without window, server or start-up.
export_best=
for ((run = 1; run <= repeat; run++)); do
  report=$("$build/bench/bench_export" --once --tables="$tables")
  export_best=$(smaller "$export_best" "$(awk '$1 == "seconds" { print $2 }' <<<"$report")")
done

echo
echo "sa2.txt: $lines lines, $bytes bytes; in the run log: IN $run_in, OUT $run_out"
awk -v w="${best[ours]}" -v s="$best_send" -v c="${best[client]}" -v e="$export_best" 'BEGIN {
  printf "best of each     ours whole %.3f s, ours sending %.3f s, client %.3f s, export alone %.3f s\n", w, s, c, e
  printf "ratio ours / client: whole run %.2f, sending part %.2f (target: at most 1.10)\n", w / c, s / c
  printf "ours whole - sending: %.3f s (start-up, reading, writing sa2.txt and proto.txt); export alone %.3f s\n", w - s, e
}'
for side in "${sides[@]:2}"; do
  awk -v side="$side" -v t="${best[$side]}" -v s="$best_send" \
    'BEGIN { printf "%s best %.3f s; ratio ours sending / %s %.2f\n", side, t, side, s / t }'
done
echo
echo "server time per statement, fastest run of each side (from the server's statement log):"
awk -F '\t' -v sides="${sides[*]}" '
  { key = $2; text[key] = $4
    if (!(($1, key) in fastest) || $3 < fastest[$1, key]) fastest[$1, key] = $3
    if ($2 > last) last = $2 }
  END {
    n = split(sides, side, " ")
    printf "  %3s", "#"
    for (j = 1; j <= n; j++) printf " %12s", side[j]
    printf "  statement\n"
    for (i = 1; i <= last; i++) {
      printf "  %3d", i
      for (j = 1; j <= n; j++) { printf " %12.3f", fastest[side[j], i]; sum[j] += fastest[side[j], i] }
      printf "  %s\n", text[i]
    }
    printf "  sum"
    for (j = 1; j <= n; j++) printf " %12.3f", sum[j]
    printf "\n"
  }' "$work/statements.tsv"

# The load statement alone, sent by the client with compressed packets of each size: the
# sending side's cost of the packet size, without the rest of the script. Our connection
# sends 8 KiB packets (the client library's default), the client 16 KiB (its own default).
if [[ -n $load_buffers ]]; then
  printf "LOAD DATA LOCAL INFILE 'sa2.txt' INTO TABLE pohledavky2 CHARACTER SET cp1250 FIELDS TERMINATED BY \"|\";\n" \
    >"$work/load_only.sql"
  echo
  echo "the load statement alone, by the client, fastest of $repeat (wall and user + system cpu):"
  printf '  %12s %10s %10s\n' packet_bytes wall_s cpu_s
  for size in $load_buffers; do
    [[ $size =~ ^[0-9]+$ ]] || fail "LOAD_BUFFERS holds a size that is no number: $size"
    load_wall=
    load_cpu=
    for ((run = 1; run <= repeat; run++)); do
      "${client[@]}" -N velbor -e 'TRUNCATE pohledavky2'
      start=$(now)
      (cd "$program/bin" && /usr/bin/time -f '%U %S' -o "$work/time.txt" \
        mariadb --no-defaults --local-infile=1 --compress --net-buffer-length="$size" \
        -h 127.0.0.1 -P "$server_port" -u "$server_admin_user" "-p$server_admin_password" velbor \
        <"$work/load_only.sql") || fail "the client's load statement failed"
      load_wall=$(smaller "$load_wall" "$(elapsed "$start" "$(now)")")
      read -r user sys <"$work/time.txt"
      load_cpu=$(smaller "$load_cpu" "$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')")
    done
    printf '  %12d %10.3f %10.2f\n' "$size" "$load_wall" "$load_cpu"
  done
fi

# --- profile ---------------------------------------------------------------------------------
if [[ $profile == 1 ]]; then
  echo
  small_tables=$work/tables_$profile_records
  if [[ ! -f $small_tables/fap.dbf || ! -f $small_tables/fav.dbf ]]; then
    /usr/bin/python3 "$here/make_invoice_tables.py" "$small_tables" "$profile_records" >/dev/null
  fi
  if command -v perf >/dev/null && perf record -q -o /dev/null -- true >/dev/null 2>&1; then
    echo "profile of one more run of ours ($records records per table), by library and by function:"
    run_ours "$program" perf record -q -F 499 -o "$work/perf.data" --
    # awk rather than head: a reader that stops early would fail the pipeline.
    perf report -i "$work/perf.data" --stdio --sort dso 2>/dev/null |
      awk '!/^#/ && NF && ++n <= 8'
    echo
    perf report -i "$work/perf.data" --stdio --sort dso,symbol 2>/dev/null |
      awk '!/^#/ && NF && ++n <= 25 { print substr($0, 1, 110) }'
    echo
    echo "share of our process's samples spent in and below each function (call graphs," \
      "$profile_records records per table):"
    lay_out_program "$work/profile" "$small_tables"
    run_ours "$work/profile" perf record -q --call-graph dwarf,16384 -F 999 -o "$work/perf_graph.data" --
    perf report -i "$work/perf_graph.data" --stdio --children --sort symbol -g none 2>/dev/null |
      awk '{ name = substr($0, index($0, "] ") + 2); sub(/[ -]+$/, "", name) }
        !seen[name]++ && name ~ /^(main|zered::TForm1::Run|zered::ExportTable|zered::TZMySQLStatement::ExecuteUpdate|zered::TReadOnlyFile::ReadAt|compress2|deflateReset|__memset_.*)$/ {
          printf "  %8s  %s\n", $1, name }' 
  elif command -v valgrind >/dev/null; then
    echo "callgrind profile of ours on $profile_records records per table:"
    lay_out_program "$work/profile" "$small_tables"
    run_ours "$work/profile" valgrind --tool=callgrind --callgrind-out-file="$work/callgrind.out"
    callgrind_annotate "$work/callgrind.out" 2>/dev/null | head -n 40
  else
    echo "neither perf nor valgrind is installed: no profile"
  fi
fi
