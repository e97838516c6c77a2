#!/usr/bin/env bash
# Builds the Debian package: Release, prefix /usr, the system's folders (/etc/marvek,
# /var/lib/marvek), the hardening flags of dpkg-buildflags. Prints the package's path.
#   MARVEK_BUILD_PACOTE=<folder> (default build-deb)
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
build="${MARVEK_BUILD_PACOTE:-$raiz/build-deb}"
bash "$raiz/scripts/dependencias.sh" >&2
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CXXFLAGS LDFLAGS
cmake -S "$raiz" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
      -DMARVEK_PASTAS_DO_SISTEMA=ON -DMARVEK_TESTS=OFF -DMARVEK_WERROR=ON >&2
cmake --build "$build" -j"$(nproc)" --target marvek marvek-cli marvek_documentos >&2
# As Debian's own strip step does: no compiler notes in the programs (cpack strips the rest).
for p in marvek marvek-cli; do
  objcopy --remove-section=.comment "$build/src/$p"
done
(cd "$build" && cpack -G DEB >&2)
ls "$build"/marvek_*.deb
