#!/usr/bin/env bash
# The central backup done with peer tools: the marker UPDATEs and FLUSH ... FOR EXPORT through the
# mariadb client, cp of each table's .frm and .MYD while its export lock is held, then zip -6 -j.
#
#   backup_b.sh SOCKET BANCO MARCA DESTINO [semzip]
#
# With "semzip" the archive step is left out (the floor of the backup).
set -euo pipefail
socket=$1 banco=$2 marca=$3 destino=$4 modo=${5:-}

cliente() { mariadb --no-defaults --socket="$socket" -uroot -N -B "$@"; }

datadir=$(cliente -e "select @@datadir")
trabalho="$destino/Temp_Backup"
rm -rf "$trabalho" "$destino/Backup_Central.zip"
mkdir -p "$trabalho"

mapfile -t tabelas < <(cliente "$banco" -e "show tables")
declare -A coluna=()
while read -r t; do coluna[$t]=1; done < <(cliente -e "select table_name from
  information_schema.columns where table_schema = '$banco' and column_name = 'lojas_leram'")

{
  for t in "${tabelas[@]}"; do
    if [ -n "${coluna[$t]:-}" ]; then
      echo "UPDATE $t SET lojas_leram = CONCAT(coalesce(lojas_leram,\"\"),\"$marca\") where coalesce(lojas_leram,\"\") not like \"%$marca%\";"
    fi
    echo "FLUSH TABLES $t FOR EXPORT;"
    echo "system cp $datadir$banco/$t.frm $datadir$banco/$t.MYD $trabalho/"
    echo "UNLOCK TABLES;"
  done
} | cliente "$banco"

if [ "$modo" != semzip ]; then
  (cd "$trabalho" && zip -6 -j -q "$destino/Backup_Central.zip" ./*)
fi
rm -rf "$trabalho"
