#!/usr/bin/env bash
# Debian packages the benchmarks use besides the build's own: the server and its client, zip and
# unzip for the peer baselines, GNU time for the peak memory, Python 3 for the generator.
set -euo pipefail
pacotes=(mariadb-server mariadb-client zip unzip time python3)
faltam=()
for p in "${pacotes[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || faltam+=("$p")
done
if [ ${#faltam[@]} -gt 0 ]; then
  sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${faltam[@]}"
fi
