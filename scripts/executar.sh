#!/usr/bin/env bash
# The demo: installs what is needed, builds into build/, starts a private MariaDB server in
# build/demo/servidor with a demo retail database "gerente" and opens the window.
#
#   bash scripts/executar.sh           build, start the demo server, open the window
#   bash scripts/executar.sh --parar   stop the demo server (its data stays in build/demo)
#
# A second start reuses the demo server and its data. The system's own MariaDB service is
# never started, stopped or used.
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
build="${MARVEK_BUILD:-$raiz/build}"
servidor="$build/demo/servidor"

if [ "${1:-}" = "--parar" ]; then
  if [ -d "$servidor" ]; then
    bash "$raiz/scripts/servidor-mariadb.sh" parar "$servidor"
  else
    echo "No demo server in $servidor"
  fi
  exit 0
fi

bash "$raiz/scripts/dependencias.sh"
cmake -S "$raiz" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j"$(nproc)" --target marvek marvek-cli

bash "$raiz/scripts/servidor-mariadb.sh" iniciar "$servidor"
socket=$(bash "$raiz/scripts/servidor-mariadb.sh" socket "$servidor")
sql() { mariadb --no-defaults --socket="$socket" -uroot --default-character-set=utf8mb4 "$@"; }

if [ -z "$(sql -N -e "SHOW DATABASES LIKE 'gerente'")" ]; then
  echo "Creating the demo database gerente"
  sql < "$raiz/scripts/demo-gerente.sql"
fi

# The settings beside the executables: the demo database, root without a password, and the
# installation's own branch: store 3 (Loja Centro).
ini="$build/src/sistema_qel.ini"
if [ ! -f "$ini" ]; then
  printf '[ip]\r\nlocal=localhost\r\ndatabase=gerente\r\nusuario=root\r\nsenha=\r\n[FilialMatriz]\r\nCodFisica=3\r\n' >"$ini"
fi
mkdir -p "$build/demo/backups"

cat <<TEXTO

Demo database: gerente on $socket
Settings:      $ini
Backups:       pick $build/demo/backups as the destination folder
Console:       MYSQL_UNIX_PORT=$socket $build/src/marvek-cli --help
Stop the demo server with: bash scripts/executar.sh --parar

TEXTO

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat >&2 <<TEXTO
The window needs a display, and none is set (neither DISPLAY nor WAYLAND_DISPLAY).
Run it in a desktop session, or on a virtual X display:

    xvfb-run -a bash scripts/executar.sh

The demo server keeps running; stop it with: bash scripts/executar.sh --parar
TEXTO
  exit 1
fi

export MYSQL_UNIX_PORT="$socket"
exec "$build/src/marvek" "$@"
