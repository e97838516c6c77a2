#include "cli/LinhaDeComando.h"

#include "cli/TComando.h"

#include <QCommandLineParser>
#include <QHash>
#include <QSet>

namespace marvek {

namespace {

QString nomeNaLinha(const QString& nome) {
    return (nome.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + nome;
}

QString linhaDeOpcao(const TOpcaoCli& o) {
    QStringList nomes;
    for (const QString& n : o.nomes)
        nomes << nomeNaLinha(n);
    const QString cabeca = nomes.join(QStringLiteral(", ")) +
                           (o.valor.isEmpty() ? QString() : QLatin1Char(' ') + o.valor);
    QString texto = o.ajuda;
    texto.replace(QLatin1Char('\n'), QStringLiteral("\n                    "));
    return QStringLiteral("  ") + cabeca.leftJustified(17) + QLatin1Char(' ') + texto +
           QLatin1Char('\n');
}

// Reads args with a parser that knows these options; the first option given twice, unknown
// or without its value is the error. Fills valores (one per option name) and posicionais.
QString analisar(const QList<TOpcaoCli>& opcoes, const QStringList& args, bool soAntesDoComando,
                 QHash<QString, QString>& valores, QSet<QString>& chaves,
                 QStringList& posicionais) {
    QCommandLineParser p;
    p.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    if (soAntesDoComando)
        p.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    for (const TOpcaoCli& o : opcoes)
        p.addOption(o.valor.isEmpty() ? QCommandLineOption(o.nomes)
                                      : QCommandLineOption(o.nomes, o.ajuda, o.valor));
    // A value option at the very end has no value: said before the parser says it in English.
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--"))
            break;
        for (const TOpcaoCli& o : opcoes)
            if (!o.valor.isEmpty() && args[i] == nomeNaLinha(o.nomes.first()) &&
                i + 1 == args.size())
                return QStringLiteral("falta o valor de %1").arg(args[i]);
        if (soAntesDoComando && !args[i].startsWith(QLatin1Char('-')))
            break;
    }
    if (!p.parse(QStringList{QStringLiteral("marvek-cli")} + args)) {
        if (!p.unknownOptionNames().isEmpty())
            return QStringLiteral("opção desconhecida: %1")
                .arg(nomeNaLinha(p.unknownOptionNames().first()));
        return p.errorText();
    }
    for (const TOpcaoCli& o : opcoes) {
        const QString& nome = o.nomes.first();
        if (o.valor.isEmpty()) {
            if (p.isSet(nome))
                chaves.insert(nome);
            continue;
        }
        const QStringList v = p.values(nome);
        if (v.size() > 1 || (!v.isEmpty() && valores.contains(nome)))
            return QStringLiteral("opção repetida: %1").arg(nomeNaLinha(nome));
        if (!v.isEmpty())
            valores.insert(nome, v.first());
    }
    posicionais = p.positionalArguments();
    return {};
}

QString conferir(const TComando& c, const TLinhaDeComando& linha,
                 const QHash<QString, QString>& presentes) {
    if (linha.conexoes && !LerConexoes(*linha.conexoes))
        return QStringLiteral("--conexoes: \"%1\" não é um número de 1 a 16").arg(*linha.conexoes);
    if (!c.Argumento().isEmpty()) {
        if (linha.argumentos.isEmpty())
            return QStringLiteral("%1: falta o %2").arg(c.Nome(), c.Argumento());
        if (linha.argumentos.size() > 1)
            return QStringLiteral("%1: um só %2, não %3")
                .arg(c.Nome(), c.Argumento())
                .arg(linha.argumentos.size());
    } else if (!linha.argumentos.isEmpty()) {
        return QStringLiteral("argumento inesperado: %1").arg(linha.argumentos.first());
    }
    if (linha.manter && !LerManter(*linha.manter))
        return QStringLiteral("--manter: \"%1\" não é um número de 1 em diante (o banco reserva "
                              "mais novo sempre fica)")
            .arg(*linha.manter);
    if (linha.extrairEm && linha.extrairEm->isEmpty())
        return QStringLiteral("--extrair-em: falta a pasta");
    for (const TOpcaoCli& o : c.Opcoes())
        if (o.obrigatoria && !presentes.contains(o.nomes.first()))
            return QStringLiteral("%1: falta --%2 %3").arg(c.Nome(), o.nomes.first(), o.valor);
    return c.Conferir(linha);
}
} // namespace

std::optional<int> LerConexoes(const QString& texto) {
    bool ok = false;
    const int n = texto.toInt(&ok, 10);
    if (!ok || n < 1 || n > 16 || texto.startsWith(QLatin1Char('+')))
        return std::nullopt;
    return n;
}

std::optional<int> LerManter(const QString& texto) {
    bool ok = false;
    const int n = texto.toInt(&ok, 10);
    if (!ok || n < 1 || texto.startsWith(QLatin1Char('+')))
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
    QHash<QString, QString> valores;
    QSet<QString> chaves;
    QStringList resto;
    // Before the command: --pasta, the help and the version.
    QString erro = analisar({OpcaoPasta, OpcaoSilencioso, OpcaoJson, OpcaoAjuda, OpcaoVersao},
                            argumentos, true, valores, chaves, resto);
    if (!erro.isEmpty())
        return erro;
    linha.versao = chaves.contains(QStringLiteral("V"));
    linha.ajuda = chaves.contains(QStringLiteral("h"));
    if (resto.isEmpty())
        return linha.ajuda || linha.versao ? QString() : QStringLiteral("nenhum comando informado");
    linha.comando = resto.takeFirst();
    if (linha.comando == QLatin1String("help")) {
        // help [COMMAND]: the help of that command, or the general one.
        linha.ajuda = true;
        linha.comando = resto.value(0);
        if (resto.size() > 1)
            return QStringLiteral("argumento inesperado: %1").arg(resto.at(1));
    }
    const TComando* c = AcharComando(linha.comando);
    if (!c && !linha.comando.isEmpty())
        return QStringLiteral("comando desconhecido: %1").arg(linha.comando);
    if (!c || linha.ajuda || linha.versao)
        return {};

    QList<TOpcaoCli> opcoes = c->Opcoes();
    opcoes << OpcaoAjuda;
    // The switches given before the command count for it too; one given twice is no error.
    QSet<QString> antes = chaves;
    erro = analisar(opcoes, resto, false, valores, chaves, linha.argumentos);
    chaves.unite(antes);
    if (!erro.isEmpty())
        return erro;
    linha.ajuda = chaves.contains(QStringLiteral("h"));
    if (linha.ajuda)
        return {};
    const auto valor = [&](const char* nome) -> std::optional<QString> {
        const auto it = valores.constFind(QLatin1String(nome));
        return it == valores.constEnd() ? std::nullopt : std::optional<QString>(*it);
    };
    linha.pasta = valor("pasta");
    linha.filial = valor("filial");
    linha.destino = valor("destino");
    linha.conexoes = valor("conexoes");
    linha.extrairEm = valor("extrair-em");
    linha.manter = valor("manter");
    linha.navirel = chaves.contains(QStringLiteral("navirel"));
    linha.silencioso = chaves.contains(QStringLiteral("q"));
    linha.json = chaves.contains(QStringLiteral("json"));
    linha.outraFilial = chaves.contains(QStringLiteral("outra-filial"));
    linha.simular = chaves.contains(QStringLiteral("simular"));
    linha.nomes = chaves.contains(QStringLiteral("nomes"));
    linha.sim = chaves.contains(QStringLiteral("sim"));
    const bool semJson = linha.json && !c->Aceita(OpcaoJson);
    if ((linha.silencioso && !c->Aceita(OpcaoSilencioso)) || semJson)
        return QStringLiteral("%1 não aceita %2")
            .arg(c->Nome(), semJson ? QStringLiteral("--json") : QStringLiteral("-q"));
    return conferir(*c, linha, valores);
}

QString TextoUso() {
    QString uso = QStringLiteral("Uso:\n");
    for (const TComando* c : Comandos())
        uso += QStringLiteral("  marvek-cli ") + c->Uso() + QLatin1Char('\n');
    return uso + QStringLiteral("  marvek-cli help [COMANDO] | --help | --version\n");
}

QString TextoAjudaDoComando(const QString& comando) {
    const TComando* c = AcharComando(comando);
    if (!c)
        return {};
    QString resumo = c->Resumo();
    resumo[0] = resumo[0].toUpper();
    QString texto = QStringLiteral("Uso: marvek-cli ") + c->Uso() + QStringLiteral("\n\n") +
                    resumo + QStringLiteral(".\n\nOpções:\n");
    for (const TOpcaoCli& o : c->Opcoes())
        texto += linhaDeOpcao(o);
    return texto + linhaDeOpcao(OpcaoAjuda);
}

QString TextoAjuda() {
    QString comandosTexto;
    for (const TComando* c : Comandos()) {
        QString resumo = c->Resumo();
        resumo.replace(QLatin1Char('\n'), QStringLiteral("\n                  "));
        comandosTexto += QStringLiteral("  ") + c->Nome().leftJustified(15) + QLatin1Char(' ') +
                         resumo + QLatin1Char('\n');
    }
    QString opcoes;
    QSet<QString> ditas;
    for (const TComando* c : Comandos())
        for (const TOpcaoCli& o : c->Opcoes())
            if (!ditas.contains(o.nomes.first())) {
                ditas.insert(o.nomes.first());
                opcoes += linhaDeOpcao(o);
            }
    opcoes += linhaDeOpcao(OpcaoAjuda) + linhaDeOpcao(OpcaoVersao);
    return QStringLiteral("marvek-cli: backup e restauração do banco da central, sem janela.\n\n") +
           TextoUso() + QStringLiteral("\nComandos:\n") + comandosTexto +
           QStringLiteral("\nmarvek-cli help COMANDO (ou COMANDO --help) mostra a ajuda de um "
                          "comando.\n\nOpções:\n") +
           opcoes +
           QStringLiteral(
               "\n"
               "Saída: 0 sucesso; 1 a operação falhou ou foi recusada (o --json e o\n"
               "histórico dizem se algo foi alterado); 2 uso incorreto; 75 outra execução\n"
               "do Marvek ocupa o banco ou a pasta (tente mais tarde; nada foi alterado);\n"
               "130 ou 143 interrompida por SIGINT (Ctrl-C) ou SIGTERM.\n"
               "\n"
               "Exemplos:\n"
               "  marvek-cli backup --filial 7 --destino /srv/backups\n"
               "  marvek-cli restaurar --simular /media/pendrive/Backup_Central.zip\n"
               "  marvek-cli restaurar /srv/backups/Backup_Central.zip\n"
               "  marvek-cli verificar /srv/backups/Backup_Central.zip\n"
               "  marvek-cli limpar-reservas --manter 3\n"
               "  marvek-cli cifrar-senha\n"
               "\n"
               "Backup agendado da filial 7 (destino em /etc/marvek/backup-agendado.conf):\n"
               "  systemctl enable --now marvek-backup@7.timer\n"
               "ou, no cron (/etc/cron.d/marvek), às 23:30, com e-mail só quando falha:\n"
               "  30 23 * * * root /usr/bin/marvek-cli -q backup --filial 7 --destino "
               "/srv/backups\n");
}

} // namespace marvek
