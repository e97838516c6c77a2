#!/usr/bin/env bash
# Backup and restore of a central database of other engines: marvek-cli side by side with the
# hand chain a database administrator would run for transportable tablespaces.
#
#   bash bench/motores.sh [MOTOR] [ROUNDS]      MOTOR: InnoDB (default) or misto
#
# Takes the pristine 400 MB central database of bench/executar.sh (run it once first), turns
# every table into InnoDB (misto: a third each of MyISAM, Aria and InnoDB, by listing order)
# before each measured step, on the same private server, and times:
#   backup_A     marvek-cli backup
#   backup_B     the marker UPDATEs, FLUSH TABLES t FOR EXPORT, cp of the table's files (.frm
#                and .ibd/.cfg, .MAI/.MAD or .MYD), SHOW CREATE TABLE into t.sql, zip -6 -j
#   restaurar_A  marvek-cli restaurar
#   restaurar_B  unzip, the set-aside, per table CREATE/DISCARD/cp/IMPORT (InnoDB), cp (Aria),
#                cp + REPAIR USE_FRM (MyISAM), the marker UPDATEs, the stamp and the purge
# and checks that both restores leave the same store tables (CHECKSUM TABLE).
set -euo pipefail

MOTOR=${1:-InnoDB}
RODADAS=${2:-1}
bench=$(cd "$(dirname "$0")" && pwd)
raiz=$(cd "$bench/.." && pwd)
build=${MARVEK_BENCH_BUILD:-$raiz/build-e}
trab=${MARVEK_BENCH_DIR:-$raiz/build-bench}
filial=7
pristino="$trab/pristino"
[ -f "$pristino/.tamanho" ] || { echo "no pristine database: bash bench/executar.sh first" >&2; exit 1; }
cmake --build "$build" --target marvek-cli -j "$(nproc)" >/dev/null
cli=$(find "$build" -name marvek-cli -type f -perm -u+x | head -n 1)

srv="$trab/servidor"
bash "$raiz/scripts/servidor-mariadb.sh" iniciar "$srv" >/dev/null
socket=$(bash "$raiz/scripts/servidor-mariadb.sh" socket "$srv")
export MYSQL_UNIX_PORT=$socket
cliente() { mariadb --no-defaults --socket="$socket" -uroot -N -B "$@"; }
datadir=$(cliente -e "select @@datadir")

repor_central() {
  cliente -e "DROP DATABASE IF EXISTS central; CREATE DATABASE central"
  cp "$pristino"/*.frm "$pristino"/*.MYD "$pristino"/*.MYI "$datadir"central/
  cliente -e "FLUSH TABLES"
  local i=0
  for t in $(cliente central -e "show tables"); do
    local m=InnoDB
    if [ "$MOTOR" = misto ]; then m=$(echo "MyISAM Aria InnoDB" | cut -d' ' -f$((i % 3 + 1))); fi
    [ "$t" = filial ] && m=InnoDB
    [ "$m" = MyISAM ] || cliente central -e "ALTER TABLE \`$t\` ENGINE=$m"
    i=$((i + 1))
  done
  sync
}
repor_loja() {
  for b in $(cliente -e "show databases like 'loja%'"); do cliente -e "DROP DATABASE $b"; done
  cliente -e "CREATE DATABASE loja"
  cliente loja -e "CREATE TABLE filial (filial_id int primary key, nome varchar(60), apagado
    char(1), escritorio char(1), versao varchar(12), lojas_leram varchar(40)) ENGINE=MyISAM;
    INSERT INTO filial VALUES ($filial, 'LOJA', 'N', 'N', '000800000000', '*');"
  sync
}
mkdir -p "$trab/prog-central" "$trab/prog-loja"
printf '[ip]\nlocal=localhost\ndatabase=central\nusuario=root\nsenha=\n[FilialMatriz]\nCodFisica=1\n' \
  >"$trab/prog-central/sistema_qel.ini"
printf '[ip]\nlocal=localhost\ndatabase=loja\nusuario=root\nsenha=\n[FilialMatriz]\nCodFisica=%s\n' \
  "$filial" >"$trab/prog-loja/sistema_qel.ini"
# The branch's marker and the list the restore writes, as the system codes them (see
# bench/executar.sh).
marca=7
codigos() {
  python3 -c "
import sys
s='@#\$&+-!()={}[]<>;:'
c=lambda n: '*' if n==1 else chr(48+n) if n<10 else chr(55+n) if n<=35 else s[n-36]
print('*'+''.join(c(int(i)) for i in sys.stdin.read().split()))"
}
medidas="$trab/motores-$MOTOR.tsv"
: >"$medidas"
# medir NAME ROUND command...: the wall seconds of the command (a program or a function here).
medir() {
  local nome=$1 r=$2 t0 t1
  shift 2
  sync
  t0=$(date +%s.%N)
  "$@" >>"$trab/motores.log" 2>&1 || { echo "FAILED: $nome (see $trab/motores.log)" >&2; exit 1; }
  t1=$(date +%s.%N)
  printf '%s\t%s\t%s\n' "$nome" "$r" "$(awk -v a="$t0" -v b="$t1" 'BEGIN{printf "%.2f", b-a}')" |
    tee -a "$medidas"
}
backup_b() {
  local destino=$1 trabalho=$1/Temp_Backup
  rm -rf "$destino"; mkdir -p "$trabalho"
  for t in $(cliente central -e "show tables"); do
    local m col arquivos
    m=$(cliente -e "select engine from information_schema.tables where table_schema='central' and table_name='$t'")
    col=$(cliente -e "select count(*) from information_schema.columns where table_schema='central' and table_name='$t' and column_name='lojas_leram'")
    case $m in InnoDB) arquivos="frm ibd cfg" ;; Aria) arquivos="frm MAI MAD" ;; *) arquivos="frm MYD" ;; esac
    {
      [ "$col" = 1 ] && echo "UPDATE \`$t\` SET lojas_leram = CONCAT(coalesce(lojas_leram,\"\"),\"$marca\") where coalesce(lojas_leram,\"\") not like \"%$marca%\";"
      echo "FLUSH TABLES \`$t\` FOR EXPORT;"
      for x in $arquivos; do echo "system cp $datadir/central/$t.$x $trabalho/"; done
      echo "UNLOCK TABLES;"
    } | cliente central
    [ "$m" = InnoDB ] && cliente central -e "SHOW CREATE TABLE \`$t\`" | cut -f2- | sed 's/\\n/\n/g' >"$trabalho/$t.sql"
  done
  (cd "$trabalho" && zip -6 -j -q "$destino/Backup_Central.zip" ./*)
  rm -rf "$trabalho"
}
restaurar_b() {
  local arquivo=$1 pasta=${1%.zip} reserva
  rm -rf "$pasta"; unzip -q -o "$arquivo" -d "$pasta"
  reserva="loja_Backup_$(date +%d%m%Y_%H%M%S)"
  { echo "CREATE DATABASE $reserva;"
    cliente loja -e "show tables" | while read -r t; do echo "RENAME TABLE loja.$t TO $reserva.$t;"; done
  } | cliente
  for f in "$pasta"/*.frm; do
    local t; t=$(basename "$f" .frm)
    if [ -f "$pasta/$t.ibd" ]; then
      cliente loja <"$pasta/$t.sql"
      cliente loja -e "ALTER TABLE \`$t\` DISCARD TABLESPACE"
      cp "$pasta/$t.ibd" "$pasta/$t.cfg" "$datadir/loja/"
      cliente loja -e "ALTER TABLE \`$t\` IMPORT TABLESPACE"
    elif [ -f "$pasta/$t.MAD" ]; then
      cp "$pasta/$t.frm" "$pasta/$t.MAI" "$pasta/$t.MAD" "$datadir/loja/"
    else
      cp "$pasta/$t.frm" "$pasta/$t.MYD" "$datadir/loja/"
      cliente loja -e "REPAIR TABLE \`$t\` USE_FRM" >/dev/null
    fi
  done
  lista=$(cliente loja -e "select filial_id from filial where apagado <> 'S'" | codigos)
  { cliente -e "select table_name from information_schema.columns where table_schema = 'loja'
      and column_name = 'lojas_leram' and table_name <> 'filial'" | while read -r t; do
      echo "UPDATE \`$t\` SET lojas_leram = \"$lista\";"; done
    echo "UPDATE filial SET versao = \"001000000000\";"
    for t in movment entradas pedidos curvaabc pagar pagamentos; do
      echo "delete from $t where filial_id <> \"$filial\";"; done
  } | cliente loja
}
assinatura() {
  cliente loja -e "CHECKSUM TABLE filial, movment, entradas, pedidos, produtos, nota_fiscal,
    nota_fiscal_item, nlanc" | sed 's/^loja[^.]*\.//'
}

for r in $(seq 1 "$RODADAS"); do
  repor_central
  medir backup_A "$r" "$cli" --pasta "$trab/prog-central" backup --filial "$filial" --destino "$trab/mA"
  repor_central
  medir backup_B "$r" backup_b "$trab/mB"
  repor_loja
  rm -rf "$trab/rA"; mkdir -p "$trab/rA"; cp "$trab/mA/Backup_Central.zip" "$trab/rA/"
  medir restaurar_A "$r" "$cli" --pasta "$trab/prog-loja" restaurar "$trab/rA/Backup_Central.zip"
  assinatura >"$trab/motores-assinatura-A"
  repor_loja
  rm -rf "$trab/rB"; mkdir -p "$trab/rB"; cp "$trab/mB/Backup_Central.zip" "$trab/rB/"
  medir restaurar_B "$r" restaurar_b "$trab/rB/Backup_Central.zip"
  assinatura >"$trab/motores-assinatura-B"
  echo "the two restores' store tables (CHECKSUM TABLE): $(cmp -s "$trab/motores-assinatura-A" \
    "$trab/motores-assinatura-B" && echo identical || echo DIFFERENT)"
done
