#!/usr/bin/env bash
# The throwaway PostgreSQL cluster of the server tests.
#
#   pg_cluster.sh start STATE   initdb into a new folder under /tmp, serve on a Unix socket in
#                               that folder only (no TCP), and write the connection text (no
#                               database) to STATE/connection; the superuser logs in without
#                               a password, any other role with its own (scram-sha-256)
#   pg_cluster.sh stop STATE    stop that server and remove its folder
#
# initdb and the server refuse to run as root, so as root they run as the `postgres` system
# user (made by Debian's postgresql package) in a folder it owns; anyone else runs them
# directly. When the server binaries are missing, start fails under CI (CI=true); elsewhere it
# writes the reason to STATE/unavailable and the server tests skip with it.
set -euo pipefail
cd /  # the server user may not reach the caller's folder

action=${1:?usage: pg_cluster.sh start|stop STATE_FOLDER}
state=${2:?usage: pg_cluster.sh start|stop STATE_FOLDER}
port=5432
superuser=postgres

server_bin() {
  if [ -n "${PG_BIN:-}" ]; then
    echo "$PG_BIN"
    return
  fi
  local found
  found=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1 || true)
  echo "${found:-}"
}

as_server_user() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u postgres -- "$@"
  else
    "$@"
  fi
}

unavailable() {
  if [ "${CI:-}" = "true" ]; then
    echo "pg_cluster: $1" >&2
    exit 1
  fi
  echo "$1" >"$state/unavailable"
  echo "pg_cluster: $1; the server tests will be skipped"
  exit 0
}

stop() {
  if [ ! -f "$state/folder" ]; then
    rm -f "$state/connection" "$state/unavailable"
    return
  fi
  local folder
  folder=$(cat "$state/folder")
  case "$folder" in
    /tmp/vesk-pg.*) ;;
    *) echo "pg_cluster: refusing to remove unexpected folder '$folder'" >&2; exit 1 ;;
  esac
  local bin
  bin=$(server_bin)
  if [ -d "$folder/data" ] && [ -n "$bin" ]; then
    as_server_user "$bin/pg_ctl" -D "$folder/data" -m fast -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$folder"
  rm -f "$state/folder" "$state/connection" "$state/unavailable"
}

start() {
  mkdir -p "$state"
  stop  # a cluster left behind by an interrupted run
  local bin
  bin=$(server_bin)
  if [ -z "$bin" ] || [ ! -x "$bin/initdb" ] || [ ! -x "$bin/pg_ctl" ]; then
    unavailable "the PostgreSQL server binaries were not found (package postgresql; or set PG_BIN)"
  fi
  if [ "$(id -u)" -eq 0 ] && ! id postgres >/dev/null 2>&1; then
    unavailable "running as root needs the 'postgres' system user to run the server"
  fi

  local folder
  folder=$(mktemp -d /tmp/vesk-pg.XXXXXX)
  echo "$folder" >"$state/folder"
  chmod 755 "$folder"
  if [ "$(id -u)" -eq 0 ]; then
    chown postgres: "$folder"
  fi

  as_server_user "$bin/initdb" -D "$folder/data" -U "$superuser" -A trust -E UTF8 --no-locale \
    --no-sync --no-instructions >"$folder/initdb.log" 2>&1 ||
    { cat "$folder/initdb.log" >&2; exit 1; }
  cat >>"$folder/data/postgresql.conf" <<CONF
listen_addresses = ''
unix_socket_directories = '$folder'
port = $port
fsync = off
synchronous_commit = off
full_page_writes = off
autovacuum = off
max_connections = 50
shared_buffers = 32MB
CONF
  # The superuser logs in without a password; every other role must give its own, so that
  # the tests of password logins meet a server that checks them.
  cat >"$folder/data/pg_hba.conf" <<HBA
local all $superuser trust
local all all scram-sha-256
HBA
  as_server_user "$bin/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w -t 60 start \
    >/dev/null ||
    { cat "$folder/server.log" >&2; exit 1; }
  echo "Provider=PostgreSQL;Host=$folder;Port=$port;User ID=$superuser" >"$state/connection"
  echo "pg_cluster: serving on $folder/.s.PGSQL.$port"
}

case "$action" in
  start) start ;;
  stop) stop ;;
  *) echo "usage: pg_cluster.sh start|stop STATE_FOLDER" >&2; exit 2 ;;
esac
