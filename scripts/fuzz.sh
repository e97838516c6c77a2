#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer) in
# build-fuzz and runs each one for a bounded time on a small seed corpus written here.
#   bash scripts/fuzz.sh [SECONDS_PER_TARGET]      (default 30)
#   MARVEK_FUZZ_SEMENTE=N fixes the fuzzers' random seed (CI does, so its runs repeat).
# Exits 0 when no target found a crash, 1 when one did (the input is kept in
# build-fuzz/artefatos/), 2 when building failed.
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
segundos=${1:-30}
build="${MARVEK_BUILD_FUZZ:-$raiz/build-fuzz}"
jobs="${MARVEK_JOBS:-$(nproc)}"

MARVEK_FUZZ=1 bash "$raiz/scripts/dependencias.sh"
# Builds may share the machine with other builds: a lock keeps them one at a time.
trava=(); command -v flock >/dev/null && trava=(flock /tmp/marvek-build.lock)
"${trava[@]}" cmake -S "$raiz" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DMARVEK_FUZZ=ON -DMARVEK_TESTS=OFF -DMARVEK_WERROR=OFF >/dev/null \
  || exit 2
"${trava[@]}" cmake --build "$build" -j"$jobs" --target fuzz_senha fuzz_ini fuzz_arquivo || exit 2

sementes="$build/sementes"
rm -rf "$sementes"
mkdir -p "$sementes"/{fuzz_senha,fuzz_ini,fuzz_arquivo} "$build/artefatos"

# Passwords: the default, an empty one, odd lengths, not hexadecimal, lower case.
printf '5A8CB77DB844F86C8ABB' >"$sementes/fuzz_senha/padrao"
printf '' >"$sementes/fuzz_senha/vazia"
printf '5A8' >"$sementes/fuzz_senha/impar"
printf 'ZZ11' >"$sementes/fuzz_senha/nao_hex"
printf '5a8cb77db8' >"$sementes/fuzz_senha/minusculas"
# Settings: a whole file, repeated keys, other case, a NUL byte, no line breaks at the end.
printf '[ip]\r\nlocal=localhost\r\ndatabase=gerente\r\nusuario=root\r\nsenha=5A8CB77DB844F86C8ABB\r\n[FilialMatriz]\r\nCodFisica=7\r\n' \
  >"$sementes/fuzz_ini/completo"
printf '[IP]\nDatabase=a\ndatabase=b\n[ip]\nsenha=\n[FilialMatriz]\nCodFisica=abc' \
  >"$sementes/fuzz_ini/repetidas"
printf '[ip]\ndata\0base=x\n;comentario\n  senha = 00  \n' >"$sementes/fuzz_ini/nul"
# Archives: a sound backup archive (branch table and one more table, deflate level 6), one
# without the branch table, and one with a hostile name.
python3 - "$sementes/fuzz_arquivo" <<'PY'
import sys, zipfile, os
d = sys.argv[1]
def z(nome, entradas):
    with zipfile.ZipFile(os.path.join(d, nome), "w", zipfile.ZIP_DEFLATED, compresslevel=6) as f:
        for n, dados in entradas:
            f.writestr(n, dados)
frm = b"\xfe\x01\x0a\x09" + bytes(60)
z("backup.zip", [("filial.frm", frm), ("filial.MYD", b"\x01" * 40),
                 ("caixa.frm", frm), ("caixa.MYD", b"caixa" * 30)])
z("sem_filial.zip", [("caixa.frm", frm), ("caixa.MYD", b"x")])
z("hostil.zip", [("../filial.frm", frm), ("filial.MYD", b"x")])
PY

falhou=0
for alvo in fuzz_senha fuzz_ini fuzz_arquivo; do
  corpus="$build/corpus/$alvo"
  # with a fixed seed the run starts from the seeds alone, so it repeats
  [ -n "${MARVEK_FUZZ_SEMENTE:-}" ] && rm -rf "$corpus"
  mkdir -p "$corpus"
  echo "== $alvo: ${segundos}s"
  set +e
  semente=(); [ -n "${MARVEK_FUZZ_SEMENTE:-}" ] && semente=(-seed="$MARVEK_FUZZ_SEMENTE")
  ASAN_OPTIONS=detect_leaks=0 "$build/fuzz/$alvo" "${semente[@]}" -max_total_time="$segundos" -timeout=20 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/artefatos/$alvo-" \
    "$corpus" "$sementes/$alvo" 2>"$build/$alvo.log"
  rc=$?
  set -e
  grep -E '^stat::number_of_executed_units|^stat::new_units_added' "$build/$alvo.log" || true
  if [ $rc -ne 0 ]; then
    echo "$alvo: crash or failure (exit $rc); see $build/$alvo.log and $build/artefatos/" >&2
    tail -n 40 "$build/$alvo.log" >&2
    falhou=1
  fi
done
exit $falhou
