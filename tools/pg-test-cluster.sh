#!/usr/bin/env bash
# A private PostgreSQL cluster for the tests of the ward server store.
#   pg-test-cluster.sh start <state folder>   initdb in a temporary folder, start on a free port
#                                             of 127.0.0.1, write the connection string to
#                                             <state folder>/conninfo
#   pg-test-cluster.sh stop <state folder>    stop the cluster and remove its folder
# The server refuses to run as root: as root, the cluster belongs to the unprivileged
# user quillcase-test, created when missing.
set -euo pipefail

action="${1:-}"
state="${2:-}"
if [ -z "$action" ] || [ -z "$state" ]; then
    echo "usage: $0 start|stop <state folder>" >&2
    exit 2
fi

bindir="$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)"
if [ -z "$bindir" ] || [ ! -x "$bindir/initdb" ]; then
    echo "PostgreSQL server programs not found (install the postgresql package)" >&2
    exit 1
fi

owner=""
if [ "$(id -u)" -eq 0 ]; then
    owner="quillcase-test"
    if ! id "$owner" >/dev/null 2>&1; then
        # Another test run may be creating the same user at this moment.
        useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$owner" 2>/dev/null ||
            id "$owner" >/dev/null
    fi
fi

as_owner() {
    if [ -n "$owner" ]; then
        runuser -u "$owner" -- "$@"
    else
        "$@"
    fi
}

stop_cluster() {
    [ -f "$state/datadir" ] || return 0
    local data
    data="$(cat "$state/datadir")"
    if [ -d "$data" ]; then
        as_owner "$bindir/pg_ctl" -D "$data/db" -m immediate -w stop >/dev/null 2>&1 || true
        rm -rf "$data"
    fi
    rm -f "$state/datadir" "$state/conninfo"
}

free_port() {
    python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1]); s.close()'
}

case "$action" in
stop)
    stop_cluster
    ;;
start)
    mkdir -p "$state"
    stop_cluster # a cluster left behind by an interrupted run
    data="$(mktemp -d /tmp/quillcase-pg.XXXXXX)"
    echo "$data" >"$state/datadir"
    [ -n "$owner" ] && chown "$owner" "$data"
    chmod 700 "$data"
    trap 'stop_cluster' ERR
    as_owner "$bindir/initdb" -D "$data/db" -U postgres -E UTF8 --locale=C --auth=trust --no-sync >"$data/initdb.log" 2>&1 ||
        { cat "$data/initdb.log" >&2; false; }
    # Every role is trusted but the members of quillcase_password_login, which give a password
    # over TCP: the sign-in tests create that group and their roles in it.
    as_owner sed -i '1i host all +quillcase_password_login 127.0.0.1/32 scram-sha-256' "$data/db/pg_hba.conf"
    for attempt in 1 2 3 4 5; do
        port="$(free_port)"
        # Durability is not what these tests check: without fsync the cluster is quick.
        if as_owner "$bindir/pg_ctl" -D "$data/db" -l "$data/server.log" -w -t 60 start \
            -o "-p $port -k $data -c listen_addresses=127.0.0.1 -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=200" \
            >/dev/null 2>&1; then
            echo "host=127.0.0.1 port=$port user=postgres dbname=postgres connect_timeout=10" >"$state/conninfo"
            trap - ERR
            exit 0
        fi
        sleep 0.2
    done
    cat "$data/server.log" >&2 || true
    false
    ;;
*)
    echo "unknown action: $action" >&2
    exit 2
    ;;
esac
