#!/usr/bin/env bash
# A private PostgreSQL cluster for one test run: `pg-cluster.sh start STATE` initialises a cluster
# in a new temporary folder, listening on a Unix socket there only, and writes its connection
# string to STATE; `pg-cluster.sh stop STATE` stops it and removes the folder. Run as root, the
# server runs as the `postgres` user (it refuses to run as root).
set -euo pipefail
action="$1"
state="$2"

bindir="$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)"
if [ -z "$bindir" ]; then
  echo "PostgreSQL's server is not installed (Debian package postgresql)" >&2
  exit 1
fi

as_server() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

stop() {
  [ -f "$state.dir" ] || return 0
  local dir
  dir="$(cat "$state.dir")"
  if [ -d "$dir/data" ]; then as_server "$bindir/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true; fi
  rm -rf "$dir"
  rm -f "$state" "$state.dir"
}

case "$action" in
  start)
    stop  # a cluster an interrupted run left behind
    dir="$(mktemp -d /tmp/zv-pg.XXXXXX)"
    chmod 755 "$dir"
    echo "$dir" > "$state.dir"
    if [ "$(id -u)" -eq 0 ]; then chown postgres "$dir"; fi
    if ! as_server "$bindir/initdb" -D "$dir/data" -U postgres -A trust -E UTF8 --locale=C.UTF-8 --no-sync >"$dir/initdb.log" 2>&1; then
      cat "$dir/initdb.log" >&2
      stop
      exit 1
    fi
    # Durability is not what a test run needs: no fsync, no full pages.
    if ! as_server "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 start \
        -o "-c listen_addresses='' -c unix_socket_directories='$dir' -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=50" >/dev/null; then
      cat "$dir/server.log" >&2 || true
      stop
      exit 1
    fi
    echo "host=$dir port=5432 user=postgres dbname=postgres" > "$state"
    ;;
  stop)
    stop
    ;;
  *)
    echo "usage: pg-cluster.sh start|stop STATE" >&2
    exit 2
    ;;
esac
