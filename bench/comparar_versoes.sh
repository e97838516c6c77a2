#!/usr/bin/env bash
# The backup or the restore side by side with an earlier version, alternating, so that the
# machine's drift falls on both alike.
#
#   bash bench/comparar_versoes.sh REVISION [ROUNDS] [backup|restaurar]   (default 6, backup)
#
# MARVEK_CMP_CONEXOES: the connections of the current version (default 1, the one-connection
# comparison; "padrao" for its default); the earlier version runs with its own default. The
# restore loads the archive that bench/executar.sh left in $MARVEK_BENCH_DIR/destA into a fresh
# store database before each run.
#
# Needs the server and pristine database that `bash bench/executar.sh 400` left in
# $MARVEK_BENCH_DIR (default build-bench/). Builds marvek-cli of REVISION (Release) in a work
# tree of its own, and the current one in $MARVEK_BENCH_BUILD (default build-e). Each round
# restores the pristine central database before each backup: the earlier version's, then the
# current one with --conexoes 1. Prints the wall and client CPU seconds of every round,
# the medians and their ratios.
set -euo pipefail
rev=${1:?revision}
RODADAS=${2:-6}
OPERACAO=${3:-backup}
CONEXOES=${MARVEK_CMP_CONEXOES:-1}
extra=()
[ "$CONEXOES" != padrao ] && extra=(--conexoes "$CONEXOES")
bench=$(cd "$(dirname "$0")" && pwd)
raiz=$(cd "$bench/.." && pwd)
build=${MARVEK_BENCH_BUILD:-$raiz/build-e}
trab=${MARVEK_BENCH_DIR:-$raiz/build-bench}
filial=${MARVEK_BENCH_FILIAL:-7}
[ -d "$trab/pristino" ] || { echo "no pristine database in $trab: run bench/executar.sh 400 first" >&2; exit 1; }

antiga="$trab/versao-$rev"
if [ ! -x "$antiga/build/src/marvek-cli" ]; then
  rm -rf "$antiga"
  git -C "$raiz" worktree add --force --detach "$antiga" "$rev" >/dev/null
  cmake -S "$antiga" -B "$antiga/build" -DCMAKE_BUILD_TYPE=Release -DMARVEK_TESTS=OFF >/dev/null
  cmake --build "$antiga/build" --target marvek-cli -j "$(nproc)" >/dev/null
fi
cmake --build "$build" --target marvek-cli -j "$(nproc)" >/dev/null
velho="$antiga/build/src/marvek-cli"
novo=$(find "$build" -name marvek-cli -type f -perm -u+x | head -n 1)

bash "$raiz/scripts/servidor-mariadb.sh" iniciar "$trab/servidor" >/dev/null
S=$(bash "$raiz/scripts/servidor-mariadb.sh" socket "$trab/servidor")
export MYSQL_UNIX_PORT=$S
c() { mariadb --no-defaults --socket="$S" -uroot -N -B "$@"; }
dados=$(c -e "select @@datadir")
repor() {
  c -e "DROP DATABASE IF EXISTS central; CREATE DATABASE central"
  cp "$trab"/pristino/*.frm "$trab"/pristino/*.MYD "$trab"/pristino/*.MYI "$dados"central/
  c -e "FLUSH TABLES"
  sync
}
repor_loja() {
  for b in $(c -e "show databases like 'loja%'"); do c -e "DROP DATABASE $b"; done
  c -e "CREATE DATABASE loja"
  c loja -e "
    CREATE TABLE filial (filial_id int not null primary key, nome varchar(60), apagado char(1),
      escritorio char(1), versao varchar(12), lojas_leram varchar(40)) ENGINE=MyISAM;
    INSERT INTO filial VALUES ($filial, 'LOJA', 'N', 'N', '000800000000', '*');"
  rm -rf "$trab/cmp"
  mkdir -p "$trab/cmp"
  cp "$trab/destA/Backup_Central.zip" "$trab/cmp/"
  sync
}
medir() {
  if [ "$OPERACAO" = restaurar ]; then
    repor_loja
  else
    repor
    rm -rf "$trab/cmp"
    mkdir -p "$trab/cmp"
  fi
  /usr/bin/time -f "%e %U %S" -o "$trab/cmp.tempo" "$@" >/dev/null 2>&1
  read -r parede usuario sistema <"$trab/cmp.tempo"
  echo "$parede $(python3 -c "print(round($usuario + $sistema, 2))")"
}
antes=()
agora=()
if [ "$OPERACAO" = restaurar ]; then
  [ -f "$trab/destA/Backup_Central.zip" ] || { echo "no archive in $trab/destA: run bench/executar.sh 400 first" >&2; exit 1; }
  comando=(--pasta "$trab/prog-loja" restaurar "$trab/cmp/Backup_Central.zip")
else
  comando=(--pasta "$trab/prog-central" backup --filial "$filial" --destino "$trab/cmp")
fi
for r in $(seq 1 "$RODADAS"); do
  read -r a ca < <(medir "$velho" "${comando[@]}")
  read -r b cb < <(medir "$novo" "${comando[@]}" "${extra[@]}")
  echo "round $r ($OPERACAO): $rev $a s (client CPU $ca s), now ${extra[*]:-default} $b s (client CPU $cb s)"
  antes+=("$a:$ca")
  agora+=("$b:$cb")
done
python3 - "${antes[*]}" "${agora[*]}" <<'PY'
import statistics, sys
a = [tuple(map(float, x.split(":"))) for x in sys.argv[1].split()]
b = [tuple(map(float, x.split(":"))) for x in sys.argv[2].split()]
for i, nome in ((0, "wall"), (1, "client CPU")):
    ma, mb = statistics.median(x[i] for x in a), statistics.median(x[i] for x in b)
    print(f"medians, {nome}: before {ma:.2f} s, now {mb:.2f} s, ratio {mb / ma:.3f}")
print("median of the rounds' ratios (wall): %.3f" % statistics.median(y[0] / x[0] for x, y in zip(a, b)))
PY
