#!/usr/bin/env bash
# The package as an administrator meets it: builds it, runs lintian --pedantic, installs it,
# looks at what it put where, removes it (the settings stay), purges it (nothing stays).
# Needs root (it installs the package on this machine). Exit 0 when every check holds.
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
falha() { echo "verificar-pacote: $*" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || falha "run as root: the package is installed on this machine"
command -v lintian >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends lintian >/dev/null

deb=$(bash "$raiz/scripts/empacotar.sh" | tail -n 1)
echo "== lintian --pedantic $deb"
saida=$(lintian --pedantic --display-info "$deb" 2>/dev/null || true)
echo "${saida:-(clean)}"
[ -z "$saida" ] || falha "lintian reported tags"

echo "== install"
dpkg -i "$deb" >/dev/null 2>&1 || DEBIAN_FRONTEND=noninteractive apt-get install -y -f >/dev/null
for f in /usr/bin/marvek /usr/bin/marvek-cli /usr/share/man/man1/marvek-cli.1.gz \
         /usr/share/man/man1/marvek.1.gz /usr/share/bash-completion/completions/marvek-cli \
         /usr/share/applications/marvek.desktop /usr/share/doc/marvek/copyright \
         /usr/share/doc/marvek/changelog.gz /etc/marvek/sistema_qel.ini; do
  [ -e "$f" ] || falha "missing after install: $f"
done
[ "$(stat -c %a /etc/marvek/sistema_qel.ini)" = 600 ] || falha "/etc/marvek/sistema_qel.ini is not 0600"
[ -d /var/lib/marvek ] || falha "/var/lib/marvek missing after install"
dpkg-query -W -f='${Conffiles}\n' marvek | grep -q /etc/marvek/sistema_qel.ini ||
  falha "/etc/marvek/sistema_qel.ini is not a conffile"
[ -z "$(find /opt -path '*marvek*' 2>/dev/null)" ] || falha "files under /opt"
marvek-cli -V
man -w marvek-cli >/dev/null || falha "man marvek-cli finds no page"
# The programs write where the package says: a run leaves its log and history in /var/lib/marvek.
marvek-cli verificar /nao/existe.zip >/dev/null 2>&1 || true
marvek-cli restaurar /nao/existe/Backup_Central.zip >/dev/null 2>&1 || true
[ -f /var/lib/marvek/LOG_MARVEK_historico.txt ] || falha "no history in /var/lib/marvek"

echo "== remove"
dpkg -r marvek >/dev/null
[ -f /etc/marvek/sistema_qel.ini ] || falha "remove deleted the settings"
[ ! -e /usr/bin/marvek-cli ] || falha "remove left /usr/bin/marvek-cli"

echo "== purge"
dpkg -P marvek >/dev/null
for f in /etc/marvek /var/lib/marvek /usr/share/doc/marvek; do
  [ ! -e "$f" ] || falha "purge left $f"
done
echo "verificar-pacote: every check holds"
