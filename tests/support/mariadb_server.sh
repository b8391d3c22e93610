#!/bin/sh
# A private MariaDB server for the database tests.
#   mariadb_server.sh start <folder>   fresh data folder, free loopback port, test database and users
#   mariadb_server.sh stop <folder>    stops the server started in <folder>
#   mariadb_server.sh kill <folder>    kills it with SIGKILL, as a crash would; its data stays
#   mariadb_server.sh resume <folder>  starts it again on its data and port after a kill
# Everything lives in <folder> (data, socket, pid file, error log). The connection data is
# written to <folder>/server.txt as name=value lines. A server left running by an earlier run is
# stopped first.
set -eu

action=${1:?usage: mariadb_server.sh start|stop <folder>}
folder=${2:?usage: mariadb_server.sh start|stop <folder>}
mkdir -p "$folder"
folder=$(cd "$folder" && pwd)

pid_file=$folder/mariadbd.pid
socket=$folder/mariadbd.sock
info=$folder/server.txt

test_database=zered_test
test_user=zered
test_password='zered-pw'
admin_user=zered_admin
admin_password='admin-pw'

find_tool() {
  for candidate in "$@"; do
    if command -v "$candidate" >/dev/null 2>&1; then command -v "$candidate"; return 0; fi
    for dir in /usr/sbin /usr/bin /usr/local/sbin /usr/local/bin; do
      if [ -x "$dir/$candidate" ]; then echo "$dir/$candidate"; return 0; fi
    done
  done
  echo "mariadb_server.sh: none of $* found (install mariadb-server)" >&2
  return 1
}

# The pid of the server running in this folder, or nothing. Only a server process: the number
# may belong to another program after a reboot; a killed server that nobody has reaped yet
# (a zombie) runs no more.
server_pid() {
  pid=$(cat "$pid_file" 2>/dev/null || true)
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null &&
    tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -q -e mariadbd -e mysqld &&
    ! grep -q '^[^)]*) Z' "/proc/$pid/stat" 2>/dev/null; then
    echo "$pid"
  fi
}

# Sends `signal` to the server and waits up to `tenths` tenths of a second for it to end.
end_server() {
  pid=$(server_pid)
  [ -n "$pid" ] || return 0
  kill "-$1" "$pid" 2>/dev/null || true
  i=0
  while [ -n "$(server_pid)" ] && [ $i -lt "$2" ]; do sleep 0.1; i=$((i + 1)); done
  [ -z "$(server_pid)" ]
}

stop_server() {
  rm -f "$info"
  end_server TERM 100 || end_server KILL 20 || true
  rm -f "$pid_file"
  # A server whose pid file is gone may still own the socket of this folder: ask it to stop.
  if [ -S "$socket" ]; then
    client=$(find_tool mariadb mysql) || true
    if [ -n "${client:-}" ] && "$client" --no-defaults --socket="$socket" -uroot -e SHUTDOWN >/dev/null 2>&1; then
      i=0
      while [ -S "$socket" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
    fi
  fi
  rm -f "$socket"
}

free_port() {
  python3 -c 'import socket
s = socket.socket()
s.bind(("127.0.0.1", 0))
print(s.getsockname()[1])
s.close()'
}

# Starts the server on the data folder and `port`, and waits until it answers.
run_server() {
  mariadbd=$(find_tool mariadbd mysqld)
  client=$(find_tool mariadb mysql)
  "$mariadbd" --no-defaults --user=root --datadir="$folder/data" --bind-address=127.0.0.1 \
    --port="$1" --socket="$socket" --pid-file="$pid_file" --log-error="$folder/error.log" \
    --tmpdir="$folder/tmp" \
    --local-infile=1 --skip-log-bin --innodb-buffer-pool-size=16M --innodb-log-file-size=8M \
    --character-set-server=utf8mb4 >/dev/null 2>&1 &
  i=0
  until "$client" --no-defaults --socket="$socket" -uroot -e 'SELECT 1' >/dev/null 2>&1; do
    i=$((i + 1))
    if [ $i -gt 300 ]; then
      echo "mariadb_server.sh: the server did not start; its log:" >&2
      cat "$folder/error.log" >&2 || true
      exit 1
    fi
    sleep 0.1
  done
}

case "$action" in
  stop)
    stop_server
    ;;
  kill)
    end_server KILL 100
    rm -f "$socket"
    ;;
  resume)
    port=$(sed -n 's/^port=//p' "$info" 2>/dev/null || true)
    if [ -z "$port" ]; then
      echo "mariadb_server.sh: no server was started in $folder" >&2
      exit 1
    fi
    [ -n "$(server_pid)" ] || run_server "$port"
    ;;
  start)
    stop_server
    install_db=$(find_tool mariadb-install-db mysql_install_db)
    client=$(find_tool mariadb mysql)
    # The empty system tables are made once and copied for every run: a fresh server in seconds.
    if [ ! -d "$folder/template/mysql" ]; then
      rm -rf "$folder/template"
      "$install_db" --no-defaults --datadir="$folder/template" --user=root \
        --auth-root-authentication-method=normal --skip-test-db >"$folder/install.log" 2>&1 || {
        cat "$folder/install.log" >&2
        exit 1
      }
    fi
    rm -rf "$folder/data" "$folder/tmp"
    cp -a "$folder/template" "$folder/data"
    # Its own folder for temporary tables: other programs may clean the shared /tmp meanwhile.
    mkdir -p "$folder/tmp"
    port=$(free_port)
    run_server "$port"
    "$client" --no-defaults --socket="$socket" -uroot <<SQL
CREATE DATABASE $test_database;
CREATE USER '$test_user'@'%' IDENTIFIED BY '$test_password';
GRANT ALL PRIVILEGES ON $test_database.* TO '$test_user'@'%';
CREATE USER '$admin_user'@'%' IDENTIFIED BY '$admin_password';
GRANT ALL PRIVILEGES ON *.* TO '$admin_user'@'%' WITH GRANT OPTION;
FLUSH PRIVILEGES;
SQL
    cat >"$info" <<INFO
host=127.0.0.1
port=$port
user=$test_user
password=$test_password
database=$test_database
admin_user=$admin_user
admin_password=$admin_password
root_user=root
socket=$socket
INFO
    ;;
  *)
    echo "usage: mariadb_server.sh start|stop <folder>" >&2
    exit 2
    ;;
esac
