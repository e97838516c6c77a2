#!/usr/bin/env bash
# The store restore done with peer tools, in phases that the benchmark times apart:
#
#   restaurar_b.sh SOCKET ARQUIVO BANCO LISTA FILIAL FASE...
#
#   unzip    unpack ARQUIVO into the folder beside it (ARQUIVO without .zip)
#   reserva  set the working database's tables aside in BANCO_Backup_<date>_<time>
#   copia    copy the unpacked .frm and .MYD files into BANCO's data folder
#   carga    REPAIR TABLE t USE_FRM for each, the marker UPDATEs (LISTA; filial, loaded first,
#            keeps its markers as they came), the version stamp and
#            the purge of the other branches (FILIAL kept) and of the PAF work tables
set -euo pipefail
socket=$1 arquivo=$2 banco=$3 lista=$4 filial=$5
shift 5

cliente() { mariadb --no-defaults --socket="$socket" -uroot -N -B "$@"; }
pasta=${arquivo%.zip}
datadir=$(cliente -e "select @@datadir")

paf="paf_req25_r01 paf_req25_r02 paf_req25_r03 paf_req25_r04 paf_req25_r04_r06
paf_req25_r04_r07 paf_req25_r05 paf_req25_r06 paf_req25_r06_r07 paf_req25_r06ex
paf_req25_r06ex_r07 paf_req25_r07 esp_estoque_anterior esp_paf_req25_r02 esp_paf_req25_r03
esp_paf_req25_r04 esp_paf_req25_r05 esp_paf_req25_r06ex esp_paf_req25_r07"

for fase in "$@"; do
  case "$fase" in
    unzip)
      rm -rf "$pasta"
      unzip -q -o "$arquivo" -d "$pasta" ;;
    reserva)
      reserva="${banco}_Backup_$(date +%d%m%Y_%H%M%S)"
      {
        echo "CREATE DATABASE $reserva;"
        cliente "$banco" -e "show tables" | while read -r t; do
          echo "RENAME TABLE $banco.$t TO $reserva.$t;"
        done
      } | cliente ;;
    copia)
      cp "$pasta"/*.frm "$pasta"/*.MYD "$datadir$banco/" ;;
    carga)
      saida=$(for f in "$pasta"/*.frm; do
                t=$(basename "$f" .frm)
                echo "REPAIR TABLE $t USE_FRM;"
              done | cliente "$banco")
      grep -v -e $'\tstatus\tOK$' -e 'Number of rows changed from 0' <<<"$saida" >&2 || true
      {
        cliente -e "select table_name from information_schema.columns where
          table_schema = '$banco' and column_name = 'lojas_leram' and table_name <> 'filial'" |
          while read -r t; do
          echo "UPDATE $t SET lojas_leram = \"$lista\";"
        done
        echo "UPDATE filial SET versao = \"001000000000\";"
        for t in movment entradas pedidos curvaabc pagar pagamentos; do
          echo "delete from $t where filial_id <> \"$filial\";"
        done
        for t in $paf; do echo "TRUNCATE $t;"; done
      } | cliente "$banco" ;;
    *)
      echo "unknown phase $fase" >&2; exit 2 ;;
  esac
done
