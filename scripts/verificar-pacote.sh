#!/usr/bin/env bash
# The package as an administrator meets it: builds it, runs lintian --pedantic, installs it,
# looks at what it put where, checks the scheduled backup's units with systemd-analyze, removes
# it (the settings and the logs stay), purges it (nothing stays).
# Needs root (it installs the package on this machine). Exit 0 when every check holds.
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
falha() { echo "verificar-pacote: $*" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || falha "run as root: the package is installed on this machine"
command -v lintian >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends lintian >/dev/null
command -v systemd-analyze >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends systemd >/dev/null
temp=$(mktemp -d)
trap 'rm -rf "$temp"' EXIT

deb=$(bash "$raiz/scripts/empacotar.sh" | tail -n 1)
echo "== lintian --pedantic $deb"
saida=$(lintian --pedantic --display-info "$deb" 2>/dev/null || true)
echo "${saida:-(clean)}"
[ -z "$saida" ] || falha "lintian reported tags"

echo "== install"
dpkg -i "$deb" >/dev/null 2>&1 || DEBIAN_FRONTEND=noninteractive apt-get install -y -f >/dev/null
unidades=/usr/lib/systemd/system
conffiles="/etc/marvek/sistema_qel.ini /etc/marvek/backup-agendado.conf /etc/cron.d/marvek
           /etc/logrotate.d/marvek"
for f in /usr/bin/marvek /usr/bin/marvek-cli /usr/share/man/pt_BR/man1/marvek-cli.1.gz \
         /usr/share/man/pt_BR/man1/marvek.1.gz /usr/share/man/man1/marvek-cli.1.gz \
         /usr/share/man/man1/marvek.1.gz /usr/share/bash-completion/completions/marvek-cli \
         /usr/share/applications/marvek.desktop /usr/share/doc/marvek/copyright \
         /usr/share/doc/marvek/changelog.gz /usr/share/doc/marvek/README.Debian \
         /usr/share/doc/marvek/examples/marvek-falha@.service \
         /usr/share/doc/marvek/examples/aviso-de-falha.conf \
         /usr/share/doc/marvek/examples/horario.conf \
         "$unidades/marvek-backup@.service" "$unidades/marvek-backup@.timer" $conffiles; do
  [ -e "$f" ] || falha "missing after install: $f"
done
[ "$(stat -c %a /etc/marvek/sistema_qel.ini)" = 600 ] || falha "/etc/marvek/sistema_qel.ini is not 0600"
for f in /etc/marvek/backup-agendado.conf /etc/cron.d/marvek /etc/logrotate.d/marvek \
         "$unidades/marvek-backup@.service" "$unidades/marvek-backup@.timer"; do
  [ "$(stat -c '%a %U' "$f")" = "644 root" ] || falha "$f is not 0644 root"
done
[ -d /var/lib/marvek ] || falha "/var/lib/marvek missing after install"
[ "$(stat -c '%a %U:%G' /var/log/marvek 2>/dev/null)" = "750 root:adm" ] ||
  falha "/var/log/marvek is not a folder 0750 root:adm after install"
registrados=$(dpkg-query -W -f='${Conffiles}\n' marvek)
for f in $conffiles; do
  grep -q "^ $f " <<<"$registrados" || falha "$f is not a conffile"
done
[ -z "$(find /opt -path '*marvek*' 2>/dev/null)" ] || falha "files under /opt"
marvek-cli -V
# The pages are Portuguese, under pt_BR; in any other language man1 leads to them.
for p in marvek marvek-cli; do
  man -w "$p" >/dev/null || falha "man $p finds no page"
  LC_ALL=C.UTF-8 MANWIDTH=80 man -P cat "$p" 2>/dev/null | grep '^SINOPSE' >/dev/null ||
    falha "man $p in another language does not show the Portuguese page"
done

echo "== systemd-analyze verify"
# The units as systemd reads them for branch 12, away from any drop-in of this machine.
cp "$unidades/marvek-backup@.service" "$unidades/marvek-backup@.timer" "$temp/"
saida=$(systemd-analyze verify "$temp/marvek-backup@12.service" "$temp/marvek-backup@12.timer" 2>&1) ||
  falha "systemd-analyze verify failed: $saida"
echo "${saida:-(clean)}"
[ -z "$saida" ] || falha "systemd-analyze verify reported: $saida"
if command -v logrotate >/dev/null; then
  logrotate -d -s "$temp/logrotate.estado" /etc/logrotate.d/marvek >/dev/null 2>&1 ||
    falha "logrotate rejects /etc/logrotate.d/marvek"
fi
# The programs write where the package says: a run leaves its log and history in /var/lib/marvek.
marvek-cli verificar /nao/existe.zip >/dev/null 2>&1 || true
marvek-cli restaurar /nao/existe/Backup_Central.zip >/dev/null 2>&1 || true
[ -f /var/lib/marvek/LOG_MARVEK_historico.txt ] || falha "no history in /var/lib/marvek"

echo "== remove"
# A branch's own settings, as an administrator writes them: purge takes them too.
echo 'DESTINO=/srv/backups/outra' >/etc/marvek/backup-agendado-12.conf
dpkg -r marvek >/dev/null
for f in $conffiles /var/log/marvek /var/lib/marvek; do
  [ -e "$f" ] || falha "remove deleted $f"
done
for f in /usr/bin/marvek-cli "$unidades/marvek-backup@.service" "$unidades/marvek-backup@.timer"; do
  [ ! -e "$f" ] || falha "remove left $f"
done

echo "== purge"
dpkg -P marvek >/dev/null
for f in /etc/marvek /var/lib/marvek /var/log/marvek /etc/cron.d/marvek /etc/logrotate.d/marvek \
         /usr/share/doc/marvek /usr/share/man/pt_BR/man1/marvek-cli.1.gz; do
  [ ! -e "$f" ] || falha "purge left $f"
done
echo "verificar-pacote: every check holds"
