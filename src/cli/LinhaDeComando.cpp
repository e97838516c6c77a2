#include "cli/LinhaDeComando.h"

namespace marvek {

namespace {
const QStringList Comandos = {QStringLiteral("backup"), QStringLiteral("restaurar"),
                              QStringLiteral("verificar"), QStringLiteral("cifrar-senha"),
                              QStringLiteral("reverter")};

// The options that take a value, and the field each fills.
std::optional<QString>* campoDaOpcao(TLinhaDeComando& linha, const QString& nome) {
    if (nome == QLatin1String("--pasta"))
        return &linha.pasta;
    if (nome == QLatin1String("--filial"))
        return &linha.filial;
    if (nome == QLatin1String("--destino"))
        return &linha.destino;
    if (nome == QLatin1String("--conexoes"))
        return &linha.conexoes;
    return nullptr;
}

QString conferirComando(const TLinhaDeComando& linha) {
    const QString& c = linha.comando;
    if (c.isEmpty())
        return QStringLiteral("nenhum comando informado");
    if (!Comandos.contains(c))
        return QStringLiteral("comando desconhecido: %1").arg(c);
    if (c != QLatin1String("backup") && (linha.filial || linha.destino))
        return QStringLiteral("--filial e --destino valem só para o comando backup");
    if (c != QLatin1String("restaurar") && linha.navirel)
        return QStringLiteral("--navirel vale só para o comando restaurar");
    if (linha.conexoes && c != QLatin1String("backup") && c != QLatin1String("restaurar"))
        return QStringLiteral("--conexoes vale só para os comandos backup e restaurar");
    if (linha.conexoes && !LerConexoes(*linha.conexoes))
        return QStringLiteral("--conexoes: \"%1\" não é um número de 1 a 16").arg(*linha.conexoes);
    if (c == QLatin1String("backup")) {
        if (!linha.argumentos.isEmpty())
            return QStringLiteral("argumento inesperado: %1").arg(linha.argumentos.first());
        if (!linha.filial)
            return QStringLiteral("backup: falta --filial ID");
        if (!linha.destino)
            return QStringLiteral("backup: falta --destino PASTA");
        if (!LerIdFilial(*linha.filial))
            return QStringLiteral("backup: a filial \"%1\" não é um número inteiro")
                .arg(*linha.filial);
    } else if (c == QLatin1String("restaurar") || c == QLatin1String("verificar") ||
               c == QLatin1String("reverter")) {
        const QString nome = c == QLatin1String("reverter") ? QStringLiteral("BASE_RESERVA")
                                                            : QStringLiteral("ARQUIVO");
        if (linha.argumentos.isEmpty())
            return QStringLiteral("%1: falta o %2").arg(c, nome);
        if (linha.argumentos.size() > 1)
            return QStringLiteral("%1: um só %2, não %3").arg(c, nome).arg(linha.argumentos.size());
    } else if (!linha.argumentos.isEmpty()) {
        return QStringLiteral("argumento inesperado: %1").arg(linha.argumentos.first());
    }
    return {};
}
} // namespace

std::optional<int> LerConexoes(const QString& texto) {
    bool ok = false;
    const int n = texto.toInt(&ok, 10);
    if (!ok || n < 1 || n > 16 || texto.startsWith(QLatin1Char('+')))
        return std::nullopt;
    return n;
}

std::optional<int> LerIdFilial(const QString& texto) {
    const qsizetype inicio = texto.startsWith(QLatin1Char('-')) ? 1 : 0;
    if (texto.size() <= inicio)
        return std::nullopt;
    for (qsizetype i = inicio; i < texto.size(); ++i)
        if (texto.at(i) < QLatin1Char('0') || texto.at(i) > QLatin1Char('9'))
            return std::nullopt;
    bool ok = false;
    const int id = texto.toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return id;
}

QString AnalisarLinhaDeComando(const QStringList& argumentos, TLinhaDeComando& linha) {
    linha = TLinhaDeComando();
    bool soArgumentos = false;
    for (qsizetype i = 0; i < argumentos.size(); ++i) {
        const QString& a = argumentos.at(i);
        if (soArgumentos || !a.startsWith(QLatin1Char('-')) || a == QLatin1String("-")) {
            if (linha.comando.isEmpty() && !soArgumentos)
                linha.comando = a;
            else
                linha.argumentos << a;
            continue;
        }
        if (a == QLatin1String("--")) {
            soArgumentos = true;
            // An archive named after "--" still needs a command before it.
            if (linha.comando.isEmpty())
                return QStringLiteral("o comando vem antes de \"--\"");
            continue;
        }
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            linha.ajuda = true;
            continue;
        }
        if (a == QLatin1String("--version")) {
            linha.versao = true;
            continue;
        }
        if (a == QLatin1String("--navirel")) {
            linha.navirel = true;
            continue;
        }
        const qsizetype igual = a.indexOf(QLatin1Char('='));
        const QString nome = igual < 0 ? a : a.left(igual);
        std::optional<QString>* campo = campoDaOpcao(linha, nome);
        if (!campo)
            return QStringLiteral("opção desconhecida: %1").arg(nome);
        if (campo->has_value())
            return QStringLiteral("opção repetida: %1").arg(nome);
        if (igual >= 0) {
            *campo = a.mid(igual + 1);
        } else {
            if (i + 1 >= argumentos.size())
                return QStringLiteral("falta o valor de %1").arg(nome);
            *campo = argumentos.at(++i);
        }
    }
    if (linha.ajuda || linha.versao)
        return {};
    return conferirComando(linha);
}

QString TextoUso() {
    return QStringLiteral("Uso:\n"
                          "  marvek-cli [--pasta DIR] backup --filial ID --destino PASTA "
                          "[--conexoes N]\n"
                          "  marvek-cli [--pasta DIR] restaurar ARQUIVO [--navirel] "
                          "[--conexoes N]\n"
                          "  marvek-cli verificar ARQUIVO\n"
                          "  marvek-cli [--pasta DIR] reverter BASE_RESERVA\n"
                          "  marvek-cli cifrar-senha\n"
                          "  marvek-cli --help | --version\n");
}

QString TextoAjuda() {
    return QStringLiteral("marvek-cli: backup e restauração do banco da central, sem janela.\n"
                          "\n") +
           TextoUso() +
           QStringLiteral(
               "\n"
               "Comandos:\n"
               "  backup        marca as linhas de todas as tabelas como lidas pela filial ID,\n"
               "                copia as tabelas e grava PASTA/Backup_Central.zip\n"
               "  restaurar     guarda as tabelas atuais num banco de reserva, carrega as\n"
               "                tabelas do ARQUIVO e, numa loja, apaga os dados das outras\n"
               "                filiais; --navirel responde sim à pergunta final e inicia o\n"
               "                Navirel.exe da pasta do programa\n"
               "  verificar     confere o ARQUIVO (entradas, pares .frm/.MYD, CRC) sem tocar no\n"
               "                banco; uma linha por tabela: nome e tamanho em bytes\n"
               "  reverter      põe de volta as tabelas do banco de reserva BASE_RESERVA\n"
               "                (<banco>_Backup_<data>_<hora>), guardando antes as atuais\n"
               "                num novo banco de reserva\n"
               "  cifrar-senha  lê a senha da entrada padrão e escreve o valor da chave senha\n"
               "                do sistema_qel.ini\n"
               "\n"
               "Opções:\n"
               "  --pasta DIR   a pasta do programa: onde ficam sistema_qel.ini, LOG_MARVEK.txt\n"
               "                e query.txt (padrão: a pasta do marvek-cli)\n"
               "  --conexoes N  quantas conexões ao servidor trabalham nas tabelas ao mesmo\n"
               "                tempo (1 a 16; padrão: os núcleos da máquina, no máximo 4;\n"
               "                1 = uma tabela depois da outra)\n"
               "  --help        esta ajuda\n"
               "  --version     a versão\n"
               "\n"
               "Saída: 0 sucesso, 1 a operação informou um erro, 2 uso incorreto.\n"
               "\n"
               "Exemplos:\n"
               "  marvek-cli --pasta /opt/marvek backup --filial 7 --destino /srv/backups\n"
               "  marvek-cli --pasta /opt/marvek restaurar /srv/backups/Backup_Central.zip\n"
               "  marvek-cli verificar /srv/backups/Backup_Central.zip\n"
               "  marvek-cli cifrar-senha\n"
               "\n"
               "  Backup noturno da filial 7 às 23:30 (crontab -e):\n"
               "  30 23 * * * /usr/bin/marvek-cli --pasta /opt/marvek backup --filial 7 "
               "--destino /srv/backups >>/var/log/marvek-backup.log 2>&1\n");
}

} // namespace marvek
