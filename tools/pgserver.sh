#!/usr/bin/env bash
# A throw-away PostgreSQL server for the tests and the benchmark: a fresh
# cluster in a temporary folder, listening only on a Unix socket there (no
# port, so runs side by side never collide), trusted for the user "sheetcraft";
# the role "checkpw", once a test creates it, must give its password.
#   pgserver.sh start DIR [PID]  start it; prints the connection text. With PID,
#                                a watchdog stops it once that process is gone,
#                                so a crashed test leaves nothing running.
#   pgserver.sh stop DIR         stop it and remove DIR.
# Exit status 3: PostgreSQL is not installed.
set -euo pipefail

bindir() {
    local dir
    if dir=$(dirname "$(command -v pg_ctl 2>/dev/null)") && [[ -x $dir/initdb && -x $dir/postgres ]]; then
        echo "$dir"
        return
    fi
    dir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)
    [[ -n $dir && -x $dir/initdb ]] || return 1
    echo "$dir"
}

# initdb refuses to run as root: the cluster then belongs to an unprivileged user.
as_owner() {
    if [[ $(id -u) -eq 0 ]]; then
        runuser -u nobody -- "$@"
    else
        "$@"
    fi
}

cmd=${1:-}
dir=${2:-}
[[ ($cmd == start || $cmd == stop) && -n $dir ]] || { echo "usage: $0 start|stop DIR [PID]" >&2; exit 2; }
# The server's user may not read the caller's folder (a checkout under /root,
# say), and PostgreSQL complains on standard error about a folder it cannot enter.
cd /

if [[ $cmd == stop ]]; then
    if bin=$(bindir) && [[ -f $dir/data/postmaster.pid ]]; then
        as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
    fi
    [[ -f $dir/watchdog.pid ]] && kill "$(cat "$dir/watchdog.pid")" 2>/dev/null || true
    rm -rf "$dir"
    exit 0
fi

if ! bin=$(bindir); then
    echo "PostgreSQL is not installed: 'apt-get install postgresql' (tools/build.sh does it)." >&2
    exit 3
fi
mkdir -p "$dir"
[[ $(id -u) -eq 0 ]] && chown nobody "$dir"
chmod 755 "$dir"
as_owner "$bin/initdb" -D "$dir/data" -U sheetcraft --auth=trust -E UTF8 --locale=C.UTF-8 \
    --no-sync >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; exit 1; }
hba=$dir/data/pg_hba.conf
{ echo "local all checkpw scram-sha-256"; cat "$hba"; } >"$hba.new" && mv "$hba.new" "$hba"
[[ $(id -u) -eq 0 ]] && chown nobody "$hba"
as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 30 \
    -o "-c listen_addresses='' -k '$dir' -c fsync=off" start >/dev/null ||
    { cat "$dir/server.log" >&2; exit 1; }
if [[ -n ${3:-} ]]; then
    parent=$3
    (
        trap '' HUP
        while kill -0 "$parent" 2>/dev/null; do sleep 1; done
        as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
        rm -rf "$dir"
    ) </dev/null >/dev/null 2>&1 &
    echo $! >"$dir/watchdog.pid"
fi
echo "host=$dir user=sheetcraft dbname=postgres"
