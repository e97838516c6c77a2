#!/usr/bin/env bash
# Backup and restore, marvek-cli side by side with the peer tools.
#
#   bash bench/executar.sh [MB] [ROUNDS]        (defaults 400 and 3)
#
# Starts a private MariaDB server in a folder of its own ($MARVEK_BENCH_DIR, default
# build-bench/ in the repository), generates the central database of MB megabytes of .frm+.MYD
# (kept between runs while the size matches) and runs every variant ROUNDS times, each on a fresh
# copy of the pristine central database. Results: bench/RESULTS.md and the raw numbers in
# $MARVEK_BENCH_DIR/medidas-<MB>.tsv.
#
# Installs what it needs and builds marvek-cli and the window probe marvek-sonda (Release) first.
# Variables: MARVEK_BENCH_BUILD (their build folder, default build-e),
# MARVEK_BENCH_TRAVA=FILE (a lock file held during each round, so that other heavy work on the
# machine waits; generation and setup run outside it), MARVEK_BENCH_ANTES_BACKUP and
# MARVEK_BENCH_ANTES_RESTAURAR (wall seconds of A before several connections, for the
# one-connection check), MARVEK_BENCH_SO_CLI=1 (only marvek-cli backup + restore, for the peak memory at a large size;
# RESULTS.md is not rewritten then), MARVEK_BENCH_FILIAL (store restored, default 7).
set -euo pipefail

MB=${1:-400}
RODADAS=${2:-3}
bench=$(cd "$(dirname "$0")" && pwd)
raiz=$(cd "$bench/.." && pwd)
build=${MARVEK_BENCH_BUILD:-$raiz/build-e}
trab=${MARVEK_BENCH_DIR:-$raiz/build-bench}
filial=${MARVEK_BENCH_FILIAL:-7}
so_cli=${MARVEK_BENCH_SO_CLI:-0}
trava=${MARVEK_BENCH_TRAVA:-}

# A of the last version before several connections, on this machine (medians of
# `bash bench/executar.sh 400 3`, 2026-12-09 10:07 UTC): the one-connection check at 400 MB.
antes_backup=${MARVEK_BENCH_ANTES_BACKUP:-}
antes_restaurar=${MARVEK_BENCH_ANTES_RESTAURAR:-}
if [ "$MB" = 400 ]; then
  antes_backup=${antes_backup:-28.47}
  antes_restaurar=${antes_restaurar:-122.09}
fi
antes_backup=${antes_backup:-0}
antes_restaurar=${antes_restaurar:-0}

# The programs measured: a Release build of the current sources (incremental).
bash "$raiz/scripts/dependencias.sh" >/dev/null
bash "$bench/dependencias.sh" >/dev/null
(
  if [ -n "$trava" ]; then exec 9>"$trava"; flock 9; fi
  [ -f "$build/CMakeCache.txt" ] ||
    cmake -S "$raiz" -B "$build" -DCMAKE_BUILD_TYPE=Release -DMARVEK_TESTS=OFF >/dev/null
  cmake --build "$build" --target marvek-cli marvek-sonda -j "$(nproc)" >/dev/null
)
cli=$(find "$build" -name marvek-cli -type f -perm -u+x 2>/dev/null | head -n 1)
sonda=$(find "$build" -name marvek-sonda -type f -perm -u+x 2>/dev/null | head -n 1)
[ -n "$cli" ] && [ -n "$sonda" ] || {
  echo "marvek-cli or marvek-sonda not found under $build (cmake --build $build --target marvek-cli marvek-sonda)" >&2
  exit 1
}
for p in mariadb zip unzip /usr/bin/time python3; do
  command -v "$p" >/dev/null || { echo "$p missing: bash bench/dependencias.sh" >&2; exit 1; }
done

mkdir -p "$trab"
srv="$trab/servidor"
bash "$raiz/scripts/servidor-mariadb.sh" iniciar "$srv" >/dev/null
socket=$(bash "$raiz/scripts/servidor-mariadb.sh" socket "$srv")
export MYSQL_UNIX_PORT=$socket
cliente() { mariadb --no-defaults --socket="$socket" -uroot -N -B "$@"; }
datadir=$(cliente -e "select @@datadir")
pid_srv=$(cat "$srv/mariadbd.pid")

# ---- the pristine central database --------------------------------------------------------------
pristino="$trab/pristino"
if [ "$(cat "$pristino/.tamanho" 2>/dev/null)" != "$MB" ]; then
  echo "== generating the central database ($MB MB)"
  rm -rf "$pristino"
  python3 "$bench/gerar.py" --socket "$socket" --datadir "$datadir" --banco central --mb "$MB" \
    --tmp "$trab/tsv"
  cliente -e "FLUSH TABLES"
  mkdir -p "$pristino"
  cp "$datadir"central/* "$pristino/"
  echo "$MB" >"$pristino/.tamanho"
fi
tamanho_banco=$(cat "$pristino"/*.frm "$pristino"/*.MYD | wc -c)

repor_central() {
  cliente -e "DROP DATABASE IF EXISTS central; CREATE DATABASE central"
  cp "$pristino"/*.frm "$pristino"/*.MYD "$pristino"/*.MYI "$datadir"central/
  cliente -e "FLUSH TABLES"
  sync
}

# The store's working database: a few tables of an older installation.
repor_loja() {
  for b in $(cliente -e "show databases like 'loja%'"); do cliente -e "DROP DATABASE $b"; done
  cliente -e "CREATE DATABASE loja"
  cliente loja -e "
    CREATE TABLE filial (filial_id int not null primary key, nome varchar(60), apagado char(1),
      escritorio char(1), versao varchar(12), lojas_leram varchar(40)) ENGINE=MyISAM;
    INSERT INTO filial VALUES ($filial, 'LOJA', 'N', 'N', '000800000000', '*');
    CREATE TABLE movment (movment_id int primary key, filial_id int, total decimal(12,2))
      ENGINE=MyISAM;
    INSERT INTO movment SELECT seq, $filial, seq / 100 FROM seq_1_to_20000;
    CREATE TABLE produtos (produtos_id int primary key, descricao varchar(60)) ENGINE=MyISAM;
    INSERT INTO produtos SELECT seq, concat('PRODUTO ', seq) FROM seq_1_to_5000;
    CREATE TABLE nlanc (nlanc_id int primary key) ENGINE=MyISAM;
    INSERT INTO nlanc VALUES (1);"
  sync
}

# Settings folders of the program: the central office and the store.
mkdir -p "$trab/prog-central" "$trab/prog-loja"
printf '[ip]\nlocal=localhost\ndatabase=central\nusuario=root\nsenha=\n[FilialMatriz]\nCodFisica=1\n' \
  >"$trab/prog-central/sistema_qel.ini"
printf '[ip]\nlocal=localhost\ndatabase=loja\nusuario=root\nsenha=\n[FilialMatriz]\nCodFisica=%s\n' \
  "$filial" >"$trab/prog-loja/sistema_qel.ini"

repor_central
# The marker of the branch (as the system codes it) and the list the restore writes.
marca=$(python3 -c "
import sys
n=int(sys.argv[1]); s='@#\$&+-!()={}[]<>;:'
print('*' if n==1 else chr(48+n) if n<10 else chr(55+n) if n<=35 else s[n-36])" "$filial")
lista=$(python3 -c "
import sys
s='@#\$&+-!()={}[]<>;:'
c=lambda n: '*' if n==1 else chr(48+n) if n<10 else chr(55+n) if n<=35 else s[n-36]
ids=[int(x) for x in sys.stdin.read().split()]
print('*'+''.join(c(i) for i in ids))" < <(cliente central -e "select filial_id from filial where apagado <> 'S'"))

medidas="$trab/medidas-$MB.tsv"
[ "$so_cli" = 1 ] && medidas="$trab/medidas-$MB-cli.tsv"
: >"$medidas"
log="$trab/execucao-$MB.log"
: >"$log"

cpu_srv() { awk '{print $14 + $15}' "/proc/$pid_srv/stat"; }
tique=$(getconf CLK_TCK)

# medir NAME ROUND OUTPUT-FILE command...: wall, user, sys and peak RSS of the command and its
# children, the server's CPU over the same span, the size of OUTPUT-FILE (or -).
medir() {
  local nome=$1 rodada=$2 saida=$3
  shift 3
  local tf="$trab/time.out" antes depois
  sync
  antes=$(cpu_srv)
  if ! /usr/bin/time -f "%e %U %S %M" -o "$tf" "$@" >>"$log" 2>&1; then
    echo "FAILED: $nome round $rodada (see $log)" >&2
    tail -n 20 "$log" >&2
    exit 1
  fi
  depois=$(cpu_srv)
  local tam=0
  [ "$saida" != - ] && tam=$(stat -c %s "$saida")
  read -r e u s m <"$tf"
  printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$nome" "$rodada" "$e" "$u" "$s" "$m" \
    "$(awk -v a="$antes" -v b="$depois" -v t="$tique" 'BEGIN{printf "%.2f", (b-a)/t}')" "$tam" \
    | tee -a "$medidas"
}

destA="$trab/destA"
destB="$trab/destB"
destF="$trab/destF"
restA="$trab/restA"
restB="$trab/restB"

# Keeps the logs of marvek-cli of the last round for the per-step reading.
guardar_log() { cp "$1/LOG_MARVEK.txt" "$trab/LOG_MARVEK-$2.txt" 2>/dev/null || true; rm -f "$1/LOG_MARVEK.txt"; }

echo "== $RODADAS round(s) at $MB MB (.frm+.MYD: $tamanho_banco bytes), store $filial"
printf 'nome\trodada\twall_s\tuser_s\tsys_s\trss_kb\tservidor_cpu_s\tsaida_bytes\n' | tee -a "$log"
# The restored store tables, to check that both restores leave the same thing behind.
assinatura() {
  cliente loja -e "CHECKSUM TABLE filial, movment, entradas, pedidos, curvaabc, pagar, pagamentos,
    nota_fiscal, nota_fiscal_item, produtos, paf_req25_r01, esp_estoque_anterior, nlanc" \
    | sed 's/^loja[^.]*\.//'
}
iguais=sim
for r in $(seq 1 "$RODADAS"); do
  if [ -n "$trava" ]; then exec 9>"$trava"; flock 9; fi
  # ---- backup ----
  repor_central
  rm -rf "$destA"; mkdir -p "$destA"
  medir backup_A "$r" "$destA/Backup_Central.zip" \
    "$cli" --pasta "$trab/prog-central" backup --filial "$filial" --destino "$destA"
  guardar_log "$trab/prog-central" backup
  if [ "$so_cli" != 1 ]; then
    # the same with one connection, tables one after another
    repor_central
    rm -rf "$destA"; mkdir -p "$destA"
    medir backup_A1 "$r" "$destA/Backup_Central.zip" "$cli" --pasta "$trab/prog-central" \
      backup --filial "$filial" --destino "$destA" --conexoes 1
    guardar_log "$trab/prog-central" backup1
    repor_central
    rm -rf "$destB"; mkdir -p "$destB"
    medir backup_B "$r" "$destB/Backup_Central.zip" \
      bash "$bench/backup_b.sh" "$socket" central "$marca" "$destB"
    repor_central
    rm -rf "$destF"; mkdir -p "$destF"
    medir backup_piso "$r" - bash "$bench/backup_b.sh" "$socket" central "$marca" "$destF" semzip
  fi

  # ---- restore at the store (from marvek's archive) ----
  repor_loja
  rm -rf "$restA"; mkdir -p "$restA"
  cp "$destA/Backup_Central.zip" "$restA/"
  sync
  medir restaurar_A "$r" - "$cli" --pasta "$trab/prog-loja" restaurar "$restA/Backup_Central.zip"
  guardar_log "$trab/prog-loja" restaurar
  assinatura >"$trab/assinatura-A"
  if [ "$so_cli" != 1 ]; then
    repor_loja
    rm -rf "$restA"; mkdir -p "$restA"
    cp "$destA/Backup_Central.zip" "$restA/"
    sync
    medir restaurar_A1 "$r" - "$cli" --pasta "$trab/prog-loja" restaurar \
      "$restA/Backup_Central.zip" --conexoes 1
    guardar_log "$trab/prog-loja" restaurar1
    assinatura >"$trab/assinatura-A1"
    if ! cmp -s "$trab/assinatura-A" "$trab/assinatura-A1"; then
      iguais=nao
      echo "WARNING: restore A with one and with several connections differ (round $r):" >&2
      diff "$trab/assinatura-A" "$trab/assinatura-A1" >&2 || true
    fi
    if ! diff <(sed 's/^[0-9:]* -> //' "$trab/LOG_MARVEK-restaurar.txt") \
              <(sed 's/^[0-9:]* -> //' "$trab/LOG_MARVEK-restaurar1.txt") >/dev/null; then
      iguais=nao
      echo "WARNING: the restore's log differs between one and several connections (round $r)" >&2
    fi
    repor_loja
    rm -rf "$restB"; mkdir -p "$restB"
    cp "$destA/Backup_Central.zip" "$restB/"
    medir restaurar_B "$r" - bash "$bench/restaurar_b.sh" "$socket" "$restB/Backup_Central.zip" \
      loja "$lista" "$filial" unzip reserva copia carga
    assinatura >"$trab/assinatura-B"
    if ! cmp -s "$trab/assinatura-A" "$trab/assinatura-B"; then
      iguais=nao
      echo "WARNING: restore A and restore B left different tables (round $r):" >&2
      diff "$trab/assinatura-A" "$trab/assinatura-B" >&2 || true
    fi
    # floor: the set-aside and the load, with the files unpacked and copied outside the timing
    repor_loja
    bash "$bench/restaurar_b.sh" "$socket" "$restB/Backup_Central.zip" loja "$lista" "$filial" unzip
    medir restaurar_piso_reserva "$r" - bash "$bench/restaurar_b.sh" "$socket" \
      "$restB/Backup_Central.zip" loja "$lista" "$filial" reserva
    bash "$bench/restaurar_b.sh" "$socket" "$restB/Backup_Central.zip" loja "$lista" "$filial" copia
    medir restaurar_piso_carga "$r" - bash "$bench/restaurar_b.sh" "$socket" \
      "$restB/Backup_Central.zip" loja "$lista" "$filial" carga
  fi
  if [ -n "$trava" ]; then flock -u 9; exec 9>&-; fi
done
# The window's probe: one backup and one store restore in the real main window (offscreen),
# timing the longest stretch without message processing while the archive is written and
# while it is checked and unpacked.
sondas="$trab/sonda-$MB.tsv"
: >"$sondas"
if [ "$so_cli" != 1 ]; then
  if [ -n "$trava" ]; then exec 9>"$trava"; flock 9; fi
  repor_central
  rm -rf "$destA"; mkdir -p "$destA"
  QT_QPA_PLATFORM=offscreen "$sonda" "$trab/prog-central" backup "$filial" "$destA" \
    2>>"$log" | tee -a "$sondas"
  repor_loja
  rm -rf "$restA"; mkdir -p "$restA"
  cp "$destA/Backup_Central.zip" "$restA/"
  QT_QPA_PLATFORM=offscreen "$sonda" "$trab/prog-loja" restaurar "$restA/Backup_Central.zip" \
    2>>"$log" | tee -a "$sondas"
  if [ -n "$trava" ]; then flock -u 9; exec 9>&-; fi
fi

# Checks that both restores left the same store database behind is done on the last round.
rm -rf "$destB/Backup_Central" "$restA/Backup_Central" "$restB/Backup_Central"

if [ "$so_cli" != 1 ]; then
  python3 "$bench/resumo.py" --medidas "$medidas" --mb "$MB" --rodadas "$RODADAS" \
    --bytes "$tamanho_banco" --cli "$cli" --saida "$bench/RESULTS.md" \
    --comando "bash bench/executar.sh $MB $RODADAS" --iguais "$iguais" --sonda "$sondas" \
    --antes-backup "$antes_backup" --antes-restaurar "$antes_restaurar"
else
  python3 "$bench/resumo.py" --medidas "$medidas" --mb "$MB" --rodadas "$RODADAS" \
    --bytes "$tamanho_banco" --cli "$cli" --saida - --comando "MARVEK_BENCH_SO_CLI=1 bash bench/executar.sh $MB $RODADAS"
fi
