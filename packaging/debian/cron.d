# /etc/cron.d/marvek: backup do Marvek pelo cron. Nada aqui está ativo.
#
# Para usar, tire o "#" do começo de UMA das linhas de exemplo abaixo e troque
# a filial (12) e a pasta. Várias filiais: uma linha para cada, cada uma com a
# sua pasta (o arquivo tem sempre o mesmo nome, Backup_Central.zip).
# Use o cron ou o timer do systemd (marvek-backup@.timer), não os dois para a
# mesma filial: veja /usr/share/doc/marvek/README.Debian.
#
# Campos: minuto hora dia mês dia-da-semana usuário comando. O backup roda
# como root, que lê a pasta de dados do MariaDB e o /etc/marvek/sistema_qel.ini.
# O flock faz os backups desta máquina (também os do systemd) esperarem um
# pelo outro, em vez de o segundo terminar com "ocupado" (código 75).
#
# Para quem o cron manda os e-mails (padrão: o root desta máquina):
#MAILTO=suporte@exemplo.com.br
#
# 1) Às 23:30, em silêncio (-q): o cron só manda e-mail quando o backup falha,
#    com a mensagem de erro.
#30 23 * * * root [ -x /usr/bin/marvek-cli ] && flock /run/marvek-backup-agendado.lock /usr/bin/marvek-cli -q backup --filial 12 --destino /srv/backups/marvek/12
#
# 2) Às 23:30, com a data e o andamento acrescentados a
#    /var/log/marvek/backup.log (o logrotate o gira todo mês); sem e-mail.
#30 23 * * * root [ -x /usr/bin/marvek-cli ] && { date; flock /run/marvek-backup-agendado.lock /usr/bin/marvek-cli backup --filial 12 --destino /srv/backups/marvek/12; } >>/var/log/marvek/backup.log 2>&1
