#!/usr/bin/env bash
# A private MariaDB server for the tests and the demo: its own data folder, a Unix socket in
# that folder, no network, MyISAM as the default engine. Never touches the system's server.
#
#   servidor-mariadb.sh iniciar PASTA   create the data folder if needed and start the server
#   servidor-mariadb.sh parar PASTA     stop the server started in PASTA
#   servidor-mariadb.sh novo PASTA      stop a server left in PASTA, wipe it, start afresh
#   servidor-mariadb.sh socket PASTA    print the socket path
set -euo pipefail

acao=${1:?usage: servidor-mariadb.sh iniciar|novo|parar|socket PASTA}
pasta=${2:?usage: servidor-mariadb.sh iniciar|novo|parar|socket PASTA}
mkdir -p "$pasta"
pasta=$(cd "$pasta" && pwd)
dados="$pasta/dados"
socket="$pasta/mysql.sock"
pid="$pasta/mariadbd.pid"

usuario=()
[ "$(id -u)" -eq 0 ] && usuario=(--user=root)

admin() { mariadb-admin --no-defaults --socket="$socket" -uroot "$@"; }

if [ "$acao" = novo ]; then
  "$0" parar "$pasta" >/dev/null
  rm -rf "$pasta"
  exec "$0" iniciar "$pasta"
fi

case "$acao" in
  socket)
    echo "$socket" ;;
  iniciar)
    if [ -S "$socket" ] && admin ping >/dev/null 2>&1; then
      echo "MariaDB already running on $socket"
      exit 0
    fi
    if [ ! -d "$dados/mysql" ]; then
      mariadb-install-db --no-defaults --datadir="$dados" "${usuario[@]}" \
        --auth-root-authentication-method=normal --skip-test-db >"$pasta/install-db.log" 2>&1 \
        || { cat "$pasta/install-db.log" >&2; exit 1; }
    fi
    rm -f "$socket"
    # The server outlives this script: it must not keep the descriptors this script inherited
    # (a lock held by whoever started us, for example), so every one above 2 is closed for it.
    (
      for fd in /proc/$BASHPID/fd/*; do
        n=${fd##*/}
        [ "$n" -gt 2 ] 2>/dev/null && eval "exec $n>&-"
      done
      exec mariadbd --no-defaults --datadir="$dados" --socket="$socket" --pid-file="$pid" \
        --skip-networking --default-storage-engine=MyISAM --default-tmp-storage-engine=MyISAM \
        --character-set-server=latin1 --collation-server=latin1_swedish_ci \
        --log-error="$pasta/mariadbd.err" --skip-log-bin "${usuario[@]}" >/dev/null 2>&1
    ) &
    # mariadb-admin retries once a second until the server answers.
    if ! admin --connect-timeout=2 --wait=60 ping >/dev/null 2>&1; then
      echo "MariaDB did not start; its log follows" >&2
      tail -n 30 "$pasta/mariadbd.err" >&2 || true
      exit 1
    fi
    echo "MariaDB running on $socket" ;;
  parar)
    if [ -S "$socket" ]; then
      admin shutdown >/dev/null 2>&1 || true
    fi
    if [ -f "$pid" ]; then
      p=$(cat "$pid")
      # shutdown returns after the server has stopped accepting; wait until the process ends.
      while kill -0 "$p" 2>/dev/null; do sleep 0.2; done
    fi
    echo "MariaDB stopped" ;;
  *)
    echo "unknown action: $acao" >&2; exit 2 ;;
esac
