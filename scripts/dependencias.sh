#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Marvek need.
# Runs apt-get update before installing, and only when something is missing.
# Never starts, stops or relies on the system's own MariaDB service.
set -euo pipefail

PACOTES=(
  build-essential cmake pkg-config
  qt6-base-dev libgl-dev
  libmariadb-dev mariadb-server mariadb-client
  zlib1g-dev libzip-dev libdeflate-dev libsimpleini-dev
  xvfb xauth xdotool zip unzip python3
  qt6-translations-l10n
)
if [ "${MARVEK_FUZZ:-0}" = 1 ]; then
  PACOTES+=(clang libclang-rt-14-dev)
fi

faltando=()
for p in "${PACOTES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    faltando+=("$p")
  fi
done

if [ ${#faltando[@]} -gt 0 ]; then
  echo "Installing: ${faltando[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update
  # The server package's scripts may fail to start the system service in a container;
  # that service is not used here, so a policy-rc.d keeps it from being started at all.
  if [ ! -e /usr/sbin/policy-rc.d ]; then
    printf '#!/bin/sh\nexit 101\n' | $SUDO tee /usr/sbin/policy-rc.d >/dev/null
    $SUDO chmod +x /usr/sbin/policy-rc.d
    trap '$SUDO rm -f /usr/sbin/policy-rc.d' EXIT
  fi
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${faltando[@]}"
fi
