#!/usr/bin/env bash
# Takes the README's picture of the main window: the demo window on a virtual X display, store
# "Loja Centro" chosen and a destination folder typed in. Run after scripts/executar.sh has
# built the program and created the demo database (the demo server may be stopped).
#   bash scripts/demo-captura.sh [docs/marvek-janela.png]
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
build="${MARVEK_BUILD:-$raiz/build}"
saida="${1:-$raiz/docs/marvek-janela.png}"
bash "$raiz/scripts/servidor-mariadb.sh" iniciar "$build/demo/servidor" >/dev/null
export MYSQL_UNIX_PORT
MYSQL_UNIX_PORT=$(bash "$raiz/scripts/servidor-mariadb.sh" socket "$build/demo/servidor")
mkdir -p "$(dirname "$saida")"
export MARVEK_PROGRAMA="$build/src/marvek" MARVEK_SAIDA="$saida"
xvfb-run -a -s "-screen 0 640x480x24" bash -c '
  "$MARVEK_PROGRAMA" & programa=$!
  trap "kill $programa 2>/dev/null || true" EXIT
  # The pre-validation offer comes first: answer No.
  pergunta=$(xdotool search --sync --onlyvisible --name "Confirma" | head -1)
  xdotool windowfocus --sync "$pergunta" key alt+n
  janela=$(xdotool search --sync --onlyvisible --name "^Marvek$" | head -1)
  xdotool windowfocus --sync "$janela"
  # Branch list: third row (Loja Centro); destination field: a folder.
  xdotool mousemove --window "$janela" 120 34 click 1 key Escape Down Down
  xdotool mousemove --window "$janela" 120 122 click 1 type "/srv/backups"
  xdotool mousemove --window "$janela" 300 300
  sleep 1 # let the window paint before the picture
  import -window "$janela" "$MARVEK_SAIDA"
'
echo "Picture written to $saida"
