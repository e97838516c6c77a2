#!/usr/bin/env bash
# The real program on a real X server (run under xvfb-run), watched and driven from outside
# with xdotool:
#   1. an argument without "Backup_Central.zip": the "Error" box comes before any main window,
#      Return closes it and the program ends with exit code 0, having logged nothing;
#   2. a settings file naming a database that does not exist: the main window comes up without
#      any message (the restore-only start), the argument is ignored, Esc ends the program;
#   3. a normal start: the pre-validation question comes first, Esc answers No, the main window
#      comes up, and Esc ends the program.
# Usage: e2e_principal.sh PATH_OF_MARVEK   (MYSQL_UNIX_PORT names the test server's socket)
set -euo pipefail

programa=${1:?usage: e2e_principal.sh PATH_OF_MARVEK}
socket=${MYSQL_UNIX_PORT:?MYSQL_UNIX_PORT is not set}
[ -n "${DISPLAY:-}" ] || { echo "FAIL: no X display (run under xvfb-run)" >&2; exit 1; }
export QT_QPA_PLATFORM=xcb

pasta=$(mktemp -d)
pid=""
encerrar() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null || true
  fi
  rm -rf "$pasta"
}
trap encerrar EXIT

falhar() {
  echo "FAIL: $*" >&2
  for f in "$pasta"/saida*.txt; do
    [ -e "$f" ] && { echo "--- $f" >&2; cat "$f" >&2; }
  done
  exit 1
}

# The program folder is the executable's own: a copy of the program beside its settings file.
cp "$programa" "$pasta/marvek"
ini() {
  printf '[ip]\r\nlocal=localhost\r\ndatabase=%s\r\nusuario=root\r\nsenha=\r\n' "$1" \
    >"$pasta/sistema_qel.ini"
}
mariadb --no-defaults --socket="$socket" -uroot -e "
  DROP DATABASE IF EXISTS e2e_principal; CREATE DATABASE e2e_principal;
  CREATE TABLE e2e_principal.filial (filial_id INT, nome VARCHAR(40), apagado CHAR(1))
    ENGINE=MyISAM;
  INSERT INTO e2e_principal.filial VALUES (2,'Loja 2','N');"

# Waits, at most 30 seconds, for a visible window whose title matches; prints its id.
esperar_janela() {
  timeout 30 xdotool search --sync --onlyvisible --name "$1" | head -n1
}

# Types a key into a window.
teclar() {
  timeout 10 xdotool windowfocus --sync "$1" || falhar "window $1 did not take the focus"
  xdotool key "$2"
}

# Waits, at most 20 seconds, for the program to end; its exit code goes into rc.
esperar_fim() {
  timeout 20 tail --pid="$pid" -f /dev/null || falhar "the program did not end"
  rc=0
  wait "$pid" || rc=$?
  pid=""
}

# 1. invalid argument
ini e2e_principal
"$pasta/marvek" "$pasta/dados/backup_central.zip" >"$pasta/saida1.txt" 2>&1 &
pid=$!
caixa=$(esperar_janela '^Error') || true
[ -n "$caixa" ] || falhar "no \"Error\" box appeared"
if xdotool search --onlyvisible --name '^Marvek$' >/dev/null; then
  falhar "the main window was shown"
fi
teclar "$caixa" Return
esperar_fim
[ "$rc" = 0 ] || falhar "exit code $rc after \"Arquivo inválido\""
[ ! -e "$pasta/LOG_MARVEK.txt" ] || falhar "a log was written"
echo "ok: invalid argument -> Error box, exit code 0"

# 2. restore-only start
ini e2e_nao_existe
"$pasta/marvek" "$pasta/Backup_Central.zip" >"$pasta/saida2.txt" 2>&1 &
pid=$!
janela=$(esperar_janela '^Marvek - somente restauração$') || true
[ -n "$janela" ] || falhar "the main window did not appear, or its title does not say restore-only"
if xdotool search --onlyvisible --name '^(Error|Erro)' >/dev/null; then
  falhar "a message box was shown"
fi
[ ! -e "$pasta/LOG_MARVEK.txt" ] || falhar "the argument was not ignored"
teclar "$janela" Escape
esperar_fim
[ "$rc" = 0 ] || falhar "exit code $rc after Esc"
echo "ok: restore-only start, no box, the title says why; Esc ends the program"

# 3. normal start
ini e2e_principal
"$pasta/marvek" >"$pasta/saida3.txt" 2>&1 &
pid=$!
pergunta=$(esperar_janela '^Confirma') || true
[ -n "$pergunta" ] || falhar "the pre-validation question did not appear"
teclar "$pergunta" Escape
janela=$(esperar_janela '^Marvek$') || true
[ -n "$janela" ] || falhar "the main window did not appear"
teclar "$janela" Escape
esperar_fim
[ "$rc" = 0 ] || falhar "exit code $rc after Esc"
echo "ok: normal start, question answered No, Esc ends the program"

mariadb --no-defaults --socket="$socket" -uroot -e "DROP DATABASE IF EXISTS e2e_principal"
