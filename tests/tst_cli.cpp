// marvek-cli run as a separate process against the private server.

#include "base/EErro.h"
#include "base/Pastas.h"
#include "cli/TComando.h"
#include "data/Criptografia.h"
#include "data/TDM.h"
#include "markers/LojasLeram.h"
#include "restore/LimparOutrasFiliais.h"
#include "support/Compactar.h"
#include "support/BancoTeste.h"
#include "support/BancoVarejo.h"
#include "support/Falhas.h"
#include "zip/MotorZip.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <tuple>

using namespace marvek;

namespace {
struct TExecucao {
    int codigo = -1;
    QString saida;
    QString erros;     // stderr without the progress lines
    QStringList fases; // the progress lines
};

const QString PerguntaFinal = QStringLiteral(
    "Backup restaurado com sucesso! Por favor, verifique. \nUm log foi salvo na pasta do "
    "aplicativo com os comandos efetuados.\n\nDeseja abrir o programa de correção da tabela "
    "sequenciador?\n\nObs: O navirel.exe deve estar dentro da pasta do sistemaqel.\n");

QString programa() {
    return qEnvironmentVariable("MARVEK_BINARIOS") + QStringLiteral("/src/marvek-cli");
}

TExecucao executar(const QStringList& argumentos, const QByteArray& entrada = {},
                   const QProcessEnvironment& ambiente = QProcessEnvironment::systemEnvironment()) {
    QProcess p;
    p.setProcessEnvironment(ambiente);
    p.start(programa(), argumentos);
    TExecucao r;
    if (!p.waitForStarted(30000))
        return r;
    p.write(entrada);
    p.closeWriteChannel();
    if (!p.waitForFinished(180000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.codigo = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.saida = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression fase(
        QStringLiteral("^(Marcando e copiando as tabelas|Compactando e conferindo o arquivo|"
                       "Conferindo e descompactando o arquivo|Carregando e marcando as tabelas|"
                       "Apagando os dados das outras filiais)(: \\d+ de \\d+ tabelas)?$"));
    for (const QString& l : QString::fromUtf8(p.readAllStandardError()).split('\n')) {
        if (fase.match(l).hasMatch())
            r.fases << l;
        else
            r.erros += l + '\n';
    }
    r.erros.chop(1);
    return r;
}

// The log lines of a run without their "hh:mm:ss -> " prefix; every line must carry it and end
// in CR LF.
QStringList linhasDoLog(const QString& pasta) {
    QFile f(pasta + QStringLiteral("/LOG_MARVEK.txt"));
    if (!f.open(QIODevice::ReadOnly))
        return {QStringLiteral("<no log>")};
    const QString dados = QString::fromLatin1(f.readAll());
    if (!dados.endsWith(QLatin1String("\r\n")))
        return {QStringLiteral("<log not ended by CR LF>")};
    static const QRegularExpression prefixo(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d -> "));
    QStringList r;
    for (const QString& linha : dados.chopped(2).split(QStringLiteral("\r\n"))) {
        if (!prefixo.match(linha).hasMatch() || linha.contains(QLatin1Char('\n')))
            return {QStringLiteral("<bad line: ") + linha + QStringLiteral(">")};
        r << linha.mid(12);
    }
    return r;
}

QString updateMarcador(const QString& t, const QString& m) {
    return "UPDATE " + t + " SET lojas_leram = CONCAT(coalesce(lojas_leram,\"\"),\"" + m +
           "\") where coalesce(lojas_leram,\"\") not like \"%" + m + "%\";";
}
} // namespace

class TstCli : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString pasta(const QString& nome) {
        const QString p = m_dir.filePath(nome);
        QDir(p).removeRecursively();
        QDir().mkpath(p);
        return p;
    }

    // A central office with branches 1 and 2 (offices), 3 and 4 (stores), 5 (deleted).
    static void criarCentral(const QString& banco) {
        teste::CriarBancoVarejo(banco, {{1, "S"}, {2, "S"}, {3, "N"}, {4, "N"}, {5, "N", "S"}});
    }

    // Runs a backup of the database for branch 3 through marvek-cli; the archive's path.
    QString gerarArquivo(const QString& banco, const QString& nome) {
        const QString prog = pasta(nome + "_central");
        teste::EscreverIni(prog, banco);
        const QString destino = pasta(nome + "_destino");
        const TExecucao r =
            executar({"--pasta", prog, "backup", "--filial", "3", "--destino", destino});
        if (r.codigo != 0)
            qWarning() << "backup failed:" << r.codigo << r.erros;
        return r.codigo == 0 ? destino + "/Backup_Central.zip" : QString();
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        QVERIFY2(QFileInfo(programa()).isExecutable(), qPrintable(programa()));
        teste::ApagarBancos("cli_");
    }

    void cleanupTestCase() { teste::ApagarBancos("cli_"); }

    void usoIncorreto_data() {
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<QString>("motivo");
        const QString p = m_dir.path();
        QTest::newRow("nothing") << QStringList() << "nenhum comando";
        QTest::newRow("unknown command") << QStringList{"copiar"} << "comando desconhecido: copiar";
        QTest::newRow("unknown option") << QStringList{"backup", "--filal", "3", "--destino", p}
                                        << "opção desconhecida: --filal";
        QTest::newRow("backup without branch")
            << QStringList{"backup", "--destino", p} << "falta --filial";
        QTest::newRow("backup without folder")
            << QStringList{"backup", "--filial", "3"} << "falta --destino";
        QTest::newRow("branch not a number")
            << QStringList{"backup", "--filial", "abc", "--destino", p} << "\"abc\"";
        QTest::newRow("branch with letters")
            << QStringList{"backup", "--filial", "3a", "--destino", p} << "\"3a\"";
        QTest::newRow("branch with SQL")
            << QStringList{"backup", "--filial", "3 or 1=1", "--destino", p} << "\"3 or 1=1\"";
        QTest::newRow("branch empty")
            << QStringList{"backup", "--filial=", "--destino", p} << "\"\"";
        QTest::newRow("branch too big")
            << QStringList{"backup", "--filial", "99999999999", "--destino", p}
            << "\"99999999999\"";
        QTest::newRow("branch given twice")
            << QStringList{"backup", "--filial", "3", "--filial", "4", "--destino", p}
            << "opção repetida";
        QTest::newRow("option without value")
            << QStringList{"backup", "--filial"} << "falta o valor";
        QTest::newRow("restore without archive") << QStringList{"restaurar"} << "falta o ARQUIVO";
        QTest::newRow("restore with two archives")
            << QStringList{"restaurar", "a.zip", "b.zip"} << "um só ARQUIVO";
        QTest::newRow("navirel on verify")
            << QStringList{"verificar", "a.zip", "--navirel"} << "--navirel";
        QTest::newRow("branch on restore")
            << QStringList{"restaurar", "a.zip", "--filial", "3"} << "--filial";
        QTest::newRow("revert without name") << QStringList{"reverter"} << "falta o BASE_RESERVA";
        QTest::newRow("argument to cifrar-senha")
            << QStringList{"cifrar-senha", "segredo"} << "argumento inesperado";
        QTest::newRow("prune without count") << QStringList{"limpar-reservas"} << "falta --manter";
        QTest::newRow("prune negative count")
            << QStringList{"limpar-reservas", "--manter", "-1"} << "--manter: \"-1\"";
        QTest::newRow("prune everything")
            << QStringList{"limpar-reservas", "--manter", "0"} << "de 1 em diante";
        QTest::newRow("extract nowhere")
            << QStringList{"restaurar", "a.zip", "--extrair-em="} << "--extrair-em: falta";
        QTest::newRow("quiet password") << QStringList{"-q", "cifrar-senha"} << "não aceita -q";
        QTest::newRow("quiet listing") << QStringList{"-q", "reservas"} << "não aceita -q";
        QTest::newRow("program folder missing")
            << QStringList{"--pasta", p + "/nao-existe", "verificar", "a.zip"} << "nao-existe";
    }

    void usoIncorreto() {
        QFETCH(QStringList, argumentos);
        QFETCH(QString, motivo);
        const TExecucao r = executar(argumentos);
        QCOMPARE(r.codigo, 2);
        QCOMPARE(r.saida, QString());
        QVERIFY2(r.erros.startsWith("marvek-cli: ") && r.erros.contains(motivo),
                 qPrintable(r.erros));
        QVERIFY2(r.erros.contains("Uso:\n  marvek-cli [--pasta DIR] backup --filial ID"),
                 qPrintable(r.erros));
    }

    // The manual page's synopsis and the bash completion say what the command table says:
    // the same commands, usage lines and options.
    void manualECompletacaoSeguemATabela() {
        const QString fontes = qEnvironmentVariable("MARVEK_FONTES");
        QFile manual(fontes + "/packaging/marvek-cli.1");
        QFile completacao(fontes + "/packaging/marvek-cli.bash-completion");
        QVERIFY(manual.open(QIODevice::ReadOnly) && completacao.open(QIODevice::ReadOnly));

        // The synopsis as a reader sees it: one line per .br, the font macros' words joined.
        const QString roff = QString::fromUtf8(manual.readAll());
        const qsizetype ini = roff.indexOf(".SH SINOPSE\n") + 12, fim = roff.indexOf("\n.SH", ini);
        QStringList sinopse{QString()};
        for (QString l : roff.mid(ini, fim - ini).split('\n')) {
            l.replace("\\-", "-");
            if (l == ".br") {
                sinopse << QString();
                continue;
            }
            const QString macro = l.section(' ', 0, 0), resto = l.section(' ', 1);
            QString& atual = sinopse.last();
            atual += (atual.isEmpty() ? "" : " ") +
                     (macro == ".B" || macro == ".I" ? resto : QString(resto).remove(' '));
        }
        QStringList esperada;
        for (const TComando* c : Comandos())
            esperada << "marvek-cli " +
                            QString(c->Uso()).replace("[--pasta DIR]", "[OPÇÕES]").simplified();
        esperada << "marvek-cli help [COMANDO]"
                 << "marvek-cli -h|-V";
        QCOMPARE(sinopse, esperada);

        // Each command's options in the completion, and the options that take a value.
        const QString sh = QString::fromUtf8(completacao.readAll());
        const QString gerais =
            QRegularExpression("local gerais=\"([^\"]*)\"").match(sh).captured(1);
        QStringList nomes, comValor; // --pasta is read back, the others skipped
        for (const TComando* c : Comandos()) {
            nomes << c->Nome();
            QStringList opcoes{"--help"};
            for (const TOpcaoCli& o : c->Opcoes())
                for (const QString& n : o.nomes) {
                    opcoes << (n.size() == 1 ? "-" : "--") + n;
                    if (!o.valor.isEmpty() && !(o == OpcaoPasta))
                        comValor << "--" + n;
                }
            const QRegularExpression linha("\n\\s*" + QRegularExpression::escape(c->Nome()) +
                                           "\\)[^;]*?opcoes=(\"[^\"]*\"|\\S+)");
            const QString dita = linha.match(sh).captured(1).remove('"').replace("$gerais", gerais);
            QStringList naCompletacao = dita.split(' ', Qt::SkipEmptyParts);
            naCompletacao.sort();
            opcoes.removeDuplicates();
            opcoes.sort();
            QCOMPARE(naCompletacao, opcoes);
        }
        QVERIFY(sh.contains("local comandos=\"" + nomes.join(' ') + " help\""));
        comValor.removeDuplicates();
        QVERIFY2(sh.contains(comValor.join(" | ") + ") ((i++))"), qPrintable(comValor.join(" | ")));
    }

    void ajudaEVersao() {
        const TExecucao ajuda = executar({"--help"});
        QCOMPARE(ajuda.codigo, 0);
        QCOMPARE(ajuda.erros, QString());
        for (const char* c : {"backup --filial ID --destino PASTA", "restaurar ARQUIVO [--navirel]",
                              "verificar ARQUIVO", "cifrar-senha", "--pasta DIR"})
            QVERIFY2(ajuda.saida.contains(c), c);
        // A cron line: five time fields, then the program with a backup command.
        static const QRegularExpression cron(QStringLiteral(
            "\n *[0-9*]+ [0-9*]+ [0-9*]+ [0-9*]+ [0-9*]+ (root )?\\S*marvek-cli .*backup "
            "--filial \\d+ --destino \\S+"));
        QVERIFY2(cron.match(ajuda.saida).hasMatch(), qPrintable(ajuda.saida));
        for (const char* o : {"--filial ID", "--destino PASTA", "--navirel", "--conexoes N", "-V"})
            QVERIFY2(ajuda.saida.contains(o), o);

        // One command's help, asked either way; the settings are not looked at.
        const TExecucao restaurar = executar({"restaurar", "--help"});
        QCOMPARE(restaurar.codigo, 0);
        QVERIFY2(restaurar.saida.startsWith("Uso: marvek-cli [--pasta DIR] restaurar ARQUIVO "
                                            "[--navirel]") &&
                     restaurar.saida.contains("--navirel") && !restaurar.saida.contains("--filial"),
                 qPrintable(restaurar.saida));
        QCOMPARE(executar({"help", "restaurar"}).saida, restaurar.saida);
        QCOMPARE(executar({"--pasta", m_dir.path(), "restaurar", "-h"}).saida, restaurar.saida);
        QCOMPARE(restaurar.erros, QString());
        const TExecucao nenhum = executar({"help", "copiar"});
        QCOMPARE(nenhum.codigo, 2);
        QVERIFY(nenhum.erros.startsWith("marvek-cli: comando desconhecido: copiar"));

        for (const char* v : {"--version", "-V"}) {
            const TExecucao versao = executar({v});
            QCOMPARE(versao.codigo, 0);
            QCOMPARE(versao.saida, QStringLiteral("marvek-cli " MARVEK_VERSAO "\n"));
        }

        // Without the settings file the defaults hold, and the run says so first.
        const TExecucao semIni = executar({"--pasta", pasta("sem_ini"), "restaurar", "a.zip"});
        QVERIFY2(semIni.erros.startsWith("marvek-cli: " + m_dir.filePath("sem_ini") +
                                         "/sistema_qel.ini não existe; valem os valores padrão"),
                 qPrintable(semIni.erros));
        // One that is there but cannot be read is never replaced by the defaults.
        const QString ilegivel = pasta("ini_ilegivel");
        QVERIFY(QDir().mkdir(ilegivel + "/sistema_qel.ini"));
        const TExecucao semLeitura =
            executar({"--pasta", ilegivel, "backup", "--filial", "3", "--destino", ilegivel});
        QCOMPARE(semLeitura.codigo, 1);
        QVERIFY2(semLeitura.erros.contains(ilegivel + "/sistema_qel.ini existe, mas não pode ser "
                                                      "lido") &&
                     semLeitura.erros.contains("Execute como root") &&
                     !semLeitura.erros.contains("Access denied"),
                 qPrintable(semLeitura.erros));

        // The window program answers --help and --version, and without a display says so.
        QProcess janela;
        QProcessEnvironment semTela = QProcessEnvironment::systemEnvironment();
        for (const char* v : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            semTela.remove(v);
        janela.setProcessEnvironment(semTela);
        const QString marvek = qEnvironmentVariable("MARVEK_BINARIOS") + "/src/marvek";
        for (const auto& [args, codigo, texto] :
             {std::tuple{QStringList{"--version"}, 0, QString("marvek " MARVEK_VERSAO "\n")},
              std::tuple{QStringList{"--help"}, 0, QString("Uso: marvek [ARQUIVO")},
              std::tuple{QStringList{}, 1, QString("marvek: não há tela para abrir a janela")}}) {
            janela.start(marvek, args);
            QVERIFY(janela.waitForFinished(30000));
            QCOMPARE(janela.exitStatus(), QProcess::NormalExit); // no abort, no core dump
            QCOMPARE(janela.exitCode(), codigo);
            const QString dito = QString::fromUtf8(codigo == 0 ? janela.readAllStandardOutput()
                                                               : janela.readAllStandardError());
            QVERIFY2(dito.startsWith(texto), qPrintable(dito));
        }
    }

    // What a script or a scheduler relies on: -q says nothing on success, --json ends with one
    // object that tells the outcome, the archive describes itself and a restore for another
    // branch is refused unless asked for, --simular and a refusal change nothing, --extrair-em
    // writes nothing beside the archive, reverter names the aside database it made, reservas
    // lists them oldest first and limpar-reservas keeps the newest and those a way back uses.
    void contratoDeScripts() {
        criarCentral("cli_contrato");
        const QString zip = gerarArquivo("cli_contrato", "contrato"); // made for branch 3
        const QString prog = pasta("contrato_prog");
        teste::EscreverIni(prog, "cli_contrato");
        const QString destino = pasta("contrato_saida");
        const TExecucao quieto =
            executar({"--pasta", prog, "-q", "backup", "--filial", "3", "--destino", destino});
        QCOMPARE(quieto.codigo, 0);
        QCOMPARE(quieto.saida + quieto.erros + quieto.fases.join(""), QString());
        const auto json = [](const TExecucao& r) {
            QJsonParseError erro;
            const QJsonDocument d = QJsonDocument::fromJson(r.saida.toUtf8(), &erro);
            if (erro.error != QJsonParseError::NoError || r.saida.count('\n') != 1)
                qWarning() << "not one JSON object:" << r.saida;
            return d.object();
        };
        const TExecucao feito =
            executar({"--pasta", prog, "backup", "--json", "--filial", "4", "--destino", destino});
        QCOMPARE(feito.codigo, 0);
        const QJsonObject b = json(feito);
        QCOMPARE(b.value("operacao").toString(), QString("backup"));
        QCOMPARE(b.value("resultado").toString(), QString("concluida"));
        QCOMPARE(b.value("codigo_saida").toInt(), 0);
        QCOMPARE(b.value("alterou").toBool(), true);
        QCOMPARE(b.value("filial").toInt(), 4);
        QCOMPARE(b.value("banco").toString(), QString("cli_contrato"));
        QCOMPARE(b.value("arquivo").toString(), destino + "/Backup_Central.zip");
        QCOMPARE(b.value("tamanho_arquivo").toInteger(),
                 QFileInfo(destino + "/Backup_Central.zip").size());
        QCOMPARE(b.value("tabelas").toInt(), 30);
        QVERIFY(b.value("banco_reserva").isNull());
        const QJsonObject falhou = json(executar(
            {"--pasta", prog, "--json", "backup", "--filial", "99", "--destino", destino}));
        QCOMPARE(falhou.value("codigo_saida").toInt(), 1);
        QCOMPARE(falhou.value("resultado").toString(), QString("falhou"));
        QCOMPARE(falhou.value("alterou").toBool(), false);
        QVERIFY(falhou.value("erros").toArray().first().toString().contains("99"));

        // At store 4, with the archive made for 3.
        teste::ApagarBancos("cli_cloja");
        teste::RecriarBanco("cli_cloja");
        teste::Sql("CREATE TABLE cli_cloja.antiga (id INT) ENGINE=MyISAM");
        const QString loja = pasta("contrato_loja");
        teste::EscreverIni(loja, "cli_cloja", "4");
        const auto reservas = [&] { return executar({"--pasta", loja, "reservas", "--nomes"}); };
        const TExecucao outra = executar({"--pasta", loja, "--json", "restaurar", zip});
        QCOMPARE(outra.codigo, 1);
        QVERIFY2(outra.erros.contains("foi feito para a filial 3 (Filial 3), banco cli_contrato") &&
                     outra.erros.contains("--outra-filial"),
                 qPrintable(outra.erros));
        QCOMPARE(json(outra).value("resultado").toString(), QString("recusada"));
        QCOMPARE(json(outra).value("alterou").toBool(), false);
        const auto antes = teste::Somas("cli_cloja");
        // what a killed run left beside the archive: a simulation leaves it, a restore removes it
        const QString sobra = QFileInfo(zip).path() + "/.marvek-extracao-sobra";
        QVERIFY(QDir().mkdir(sobra, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const TExecucao simulada =
            executar({"--pasta", loja, "restaurar", zip, "--simular", "--outra-filial"});
        QCOMPARE(simulada.codigo, 0);
        QVERIFY2(simulada.saida.startsWith("Simulação concluída"), qPrintable(simulada.saida));
        QCOMPARE(teste::Somas("cli_cloja"), antes);
        QCOMPARE(reservas().saida, QString());
        QVERIFY(!QFileInfo::exists(zip.chopped(4)));
        QVERIFY(QFileInfo::exists(sobra));

        const QString fora = pasta("contrato_extrair");
        const QStringList aoLado =
            QDir(QFileInfo(zip).path())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        const TExecucao r1 = executar({"--pasta", loja, "-q", "--json", "restaurar", zip,
                                       "--outra-filial", "--extrair-em", fora});
        QCOMPARE(r1.codigo, 0);
        QCOMPARE(r1.erros, QString());
        const QString a = json(r1).value("banco_reserva").toString();
        QVERIFY2(a.startsWith("cli_cloja_Backup_"), qPrintable(r1.saida));
        QCOMPARE(QDir(QFileInfo(zip).path())
                     .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 aoLado);
        QVERIFY(QFileInfo(fora + "/" + QFileInfo(zip.chopped(4)).fileName()).isDir());
        QCOMPARE(executar({"--pasta", loja, "restaurar", zip, "--outra-filial"}).codigo, 0);
        QVERIFY(!QFileInfo::exists(sobra));
        const TExecucao volta = executar({"--pasta", loja, "reverter", a});
        QCOMPARE(volta.codigo, 0);
        static const QRegularExpression criado(
            QStringLiteral("\nBanco reserva criado: (cli_cloja_Backup_\\d+_\\d+)\n$"));
        const QRegularExpressionMatch c = criado.match(volta.saida);
        QVERIFY2(c.hasMatch(), qPrintable(volta.saida));
        const QStringList tres = reservas().saida.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(tres.size(), 3);
        QCOMPARE(tres.first(), a); // oldest first, the emptied one included
        QCOMPARE(tres.last(), c.captured(1));
        const QJsonArray lista =
            json(executar({"--pasta", loja, "reservas", "--json"})).value("reservas").toArray();
        QCOMPARE(lista.size(), 3);
        QCOMPARE(lista.at(0).toObject().value("tabelas").toInt(), 0);
        QVERIFY(lista.at(1).toObject().value("bytes").toInteger() > 0);

        // Without --sim and without a terminal: nothing dropped. The newest always stays, and a
        // way back cut short uses the aside database it made and the one it reads from.
        const TExecucao semSim = executar({"--pasta", loja, "limpar-reservas", "--manter", "1"});
        QCOMPARE(semSim.codigo, 1);
        QVERIFY2(semSim.erros.contains(tres.at(1)) && semSim.erros.contains("use --sim"),
                 qPrintable(semSim.erros));
        QCOMPARE(reservas().saida.split('\n', Qt::SkipEmptyParts), tres);
        teste::Sql("ALTER DATABASE `" + tres.at(2) + "` COMMENT 'marvek: voltando de " + a +
                   " para cli_cloja'");
        const TExecucao limpou =
            executar({"--pasta", loja, "limpar-reservas", "--manter", "1", "--sim"});
        QCOMPARE(limpou.codigo, 0);
        QCOMPARE(reservas().saida.split('\n', Qt::SkipEmptyParts), QStringList({a, tres.at(2)}));
        QFile h(loja + "/LOG_MARVEK.txt");
        QVERIFY(h.open(QIODevice::ReadOnly));
        QVERIFY(h.readAll().contains("DROP DATABASE " + tres.at(1).toLatin1()));
    }

    // An archive made on another server: its transactional Aria table (with that server's log
    // positions) and its InnoDB branch table arrive whole at this one, and open cleanly.
    void deOutroServidor() {
        const QString script =
            qEnvironmentVariable("MARVEK_FONTES") + "/scripts/servidor-mariadb.sh";
        const QString outro = m_dir.filePath("outro_servidor");
        QCOMPARE(QProcess::execute("bash", {script, "iniciar", outro}), 0);
        const auto parar = qScopeGuard([&] {
            QProcess::execute("bash", {script, "parar", outro});
        });
        QProcess cliente;
        cliente.start("mariadb", {"--no-defaults", "-S", outro + "/mysql.sock", "-uroot"});
        QVERIFY(cliente.waitForStarted());
        cliente.write(
            "CREATE DATABASE cli_outro;"
            "CREATE TABLE cli_outro.filial (filial_id INT PRIMARY KEY, nome VARCHAR(40), apagado "
            "CHAR(1), escritorio CHAR(1), versao VARCHAR(12), lojas_leram VARCHAR(60)) "
            "ENGINE=InnoDB;"
            "INSERT INTO cli_outro.filial VALUES "
            "(1,'Central','N','S','0','*'),(3,'Escritorio','N','S',"
            "'0','*');"
            "CREATE TABLE cli_outro.caixa (id INT PRIMARY KEY, v VARCHAR(20), lojas_leram "
            "VARCHAR(60)) ENGINE=Aria TRANSACTIONAL=1;"
            "USE cli_outro;"
            "INSERT INTO caixa SELECT seq, CONCAT('v', seq), NULL FROM seq_1_to_2000;");
        cliente.closeWriteChannel();
        QVERIFY2(cliente.waitForFinished() && cliente.exitCode() == 0,
                 cliente.readAllStandardError().constData());
        QProcessEnvironment noOutro = QProcessEnvironment::systemEnvironment();
        noOutro.insert("MYSQL_UNIX_PORT", outro + "/mysql.sock");
        const QString prog = pasta("outro_prog");
        teste::EscreverIni(prog, "cli_outro");
        const QString destino = pasta("outro_destino");
        const TExecucao b = executar(
            {"--pasta", prog, "backup", "--filial", "3", "--destino", destino}, {}, noOutro);
        QVERIFY2(b.codigo == 0, qPrintable(b.erros));

        teste::ApagarBancos("cli_doutro");
        const QString loja = pasta("outro_loja");
        teste::EscreverIni(loja, "cli_doutro", "3");
        const TExecucao r =
            executar({"--pasta", loja, "-q", "restaurar", destino + "/Backup_Central.zip"});
        QVERIFY2(r.codigo == 0, qPrintable(r.erros));
        QCOMPARE(teste::Valor("SELECT CONCAT(COUNT(*), ' ', SUM(id), ' ', SUM(LENGTH(v))) FROM "
                              "cli_doutro.caixa"),
                 QString("2000 2001000 8893"));
        QCOMPARE(
            teste::Linhas("SELECT CONCAT(TABLE_NAME, ' ', ENGINE) FROM information_schema.TABLES "
                          "WHERE TABLE_SCHEMA = 'cli_doutro' ORDER BY 1"),
            QStringList({"caixa Aria", "filial InnoDB"}));
        QFile log(QFileInfo(qEnvironmentVariable("MYSQL_UNIX_PORT")).path() + "/mariadbd.err");
        QVERIFY(log.open(QIODevice::ReadOnly));
        // the server saw that the table came from elsewhere and reset its log positions
        const QByteArray erros = log.readAll();
        QVERIFY(erros.contains("Zerofilling moved table:  './cli_doutro/caixa'"));
    }

    // A backup at the central office, then its restore at store 3.
    // SIGINT and SIGTERM while the backup waits on a table another session holds: the waiting
    // statement is ended on the server, the run unwinds, one log line, exit 128 + signal, no
    // archive and no copy left, the run's lock free again.
    void sinalEncerraLimpo() {
        for (const int sinal : {SIGINT, SIGTERM}) {
            criarCentral("cli_sinal");
            const QString prog = pasta("sinal");
            teste::EscreverIni(prog, "cli_sinal");
            const QString destino = pasta("sinal_destino");
            TDM trava;
            trava.AbrirConexao("localhost", "cli_sinal", "root", "", 3306);
            trava.ExecutarComando("LOCK TABLES caixa READ");
            QProcess p;
            p.start(programa(), {"--pasta", prog, "backup", "--filial", "3", "--destino", destino});
            QVERIFY(p.waitForStarted(30000));
            bool esperando = false;
            TDM vigia;
            vigia.AbrirConexao("localhost", QString(), "root", "", 3306);
            for (int i = 0; i < 200000 && !esperando && p.state() == QProcess::Running; ++i)
                esperando = vigia
                                .ConsultarValor("SELECT COUNT(*) FROM information_schema."
                                                "PROCESSLIST WHERE INFO LIKE 'LOCK TABLES `caixa` "
                                                "WRITE' AND STATE LIKE '%lock%'",
                                                0)
                                .toInt() > 0;
            QVERIFY(esperando);
            ::kill(static_cast<pid_t>(p.processId()), sinal);
            QVERIFY(p.waitForFinished(60000));
            trava.ExecutarComando("UNLOCK TABLES");
            QCOMPARE(p.exitCode(), 128 + sinal);
            const QString erro = QString::fromUtf8(p.readAllStandardError());
            QVERIFY2(erro.contains("Interrompido pelo sinal"), qPrintable(erro));
            QVERIFY(!QFile::exists(destino + "/Backup_Central.zip"));
            QCOMPARE(QDir(destino + "/Temp_Backup").entryList(QDir::Files | QDir::Hidden),
                     QStringList({".marvek"}));
            QFile log(prog + "/LOG_MARVEK.txt");
            QVERIFY(log.open(QIODevice::ReadOnly));
            QCOMPARE(QString::fromLatin1(log.readAll()).count("Interrompido pelo sinal"), 1);
            QCOMPARE(vigia.ConsultarValor("SELECT IS_FREE_LOCK('marvek.cli_sinal')", 0).toInt(), 1);
        }
    }

    void backupERestauracao() {
        criarCentral("cli_central");
        const QString prog = pasta("central");
        teste::EscreverIni(prog, "cli_central");
        const QString destino = pasta("destino");
        const QString zip = destino + "/Backup_Central.zip";

        const TExecucao b =
            executar({"--pasta", prog, "backup", "--filial", "3", "--destino", destino});
        QCOMPARE(b.erros, QString());
        QCOMPARE(b.codigo, 0);
        // Progress in a pipe: each phase once, the tables with their total.
        QCOMPARE(b.fases.value(0), QString("Marcando e copiando as tabelas: 0 de 30 tabelas"));
        QCOMPARE(b.fases.mid(b.fases.size() - 2),
                 QStringList({"Marcando e copiando as tabelas: 30 de 30 tabelas",
                              "Compactando e conferindo o arquivo"}));
        QCOMPARE(b.saida, "Backup realizado com sucesso!\n\nArquivo salvo em : " + zip + "\n");
        QVERIFY(QFile::exists(zip));
        QVERIFY(teste::EntradasDoZip(zip).contains("filial.frm"));
        QVERIFY(teste::EntradasDoZip(zip).contains("caixa.MYD"));
        QCOMPARE(teste::EntradasDoZip(zip).size(), 2 * (3 + 6 + 19 + 2));

        // Marked: every table with lojas_leram got the marker of branch 3, logged as run.
        const QString m = CodigoLojasLeram(3);
        QCOMPARE(teste::Valor("select count(*) from cli_central.caixa where lojas_leram not like "
                              "'%" +
                              m + "%'"),
                 QString("0"));
        const QStringList log = linhasDoLog(prog);
        QVERIFY2(log.contains(updateMarcador("caixa", m)), qPrintable(log.join('\n')));
        QVERIFY(log.contains(updateMarcador("movment", m)));
        QVERIFY(!log.join('\n').contains("cidades"));
        for (const QString& l : log)
            QVERIFY2(l.startsWith("UPDATE "), qPrintable(l));

        // The restore at store 3, whose current tables are set aside.
        teste::ApagarBancos("cli_loja");
        teste::RecriarBanco("cli_loja");
        teste::Sql("CREATE TABLE cli_loja.antiga (id INT) ENGINE=MyISAM");
        const QString loja = pasta("loja");
        teste::EscreverIni(loja, "cli_loja", "3");
        const TExecucao r = executar({"--pasta", loja, "restaurar", zip});
        QCOMPARE(r.erros, QString());
        QCOMPARE(r.codigo, 0);
        QCOMPARE(r.saida, PerguntaFinal + "Resposta: Não\n");
        QCOMPARE(r.fases.first(), QString("Conferindo e descompactando o arquivo"));
        QVERIFY2(r.fases.contains("Carregando e marcando as tabelas: 29 de 29 tabelas") &&
                     r.fases.last() == "Apagando os dados das outras filiais",
                 qPrintable(r.fases.join('\n')));

        // Both runs are in the history beside each log: how they ended, with what, and the
        // exit code.
        static const QRegularExpression figuras(
            QStringLiteral(": concluída \\| filial 3 \\| banco cli_(central|loja) (\\| reserva "
                           "cli_loja_Backup_\\d+_\\d+ )?"
                           "\\| (29|30) tabelas \\| \\d+ bytes \\| \\d+\\.\\d s \\| saída 0\n"));
        for (const auto& [p, linha] :
             {std::pair{prog, " backup " + destino}, std::pair{loja, " restauração " + zip}}) {
            QFile h(p + "/LOG_MARVEK_historico.txt");
            QVERIFY(h.open(QIODevice::ReadOnly));
            const QString historico = QString::fromUtf8(h.readAll());
            const QString primeira = historico.section('\n', 0, 0) + '\n';
            QVERIFY2(primeira.startsWith("==== ") && primeira.contains(linha) &&
                         figuras.match(primeira).hasMatch() &&
                         historico.endsWith(" -> Fim Restore\n") == (p == loja),
                     qPrintable(historico.left(400)));
        }

        const QStringList l = linhasDoLog(loja);
        QCOMPARE(l.first(), QString("Inicio Restore"));
        QCOMPARE(l.last(), QString("Fim Restore"));
        const QString pastaServidor = destino + "/Backup_Central/";
        QVERIFY(l.contains("RESTORE TABLES FILIAL FROM \"" + pastaServidor + "\""));
        QVERIFY(l.contains("RESTORE TABLES caixa FROM \"" + pastaServidor + "\""));
        QVERIFY(l.contains("UPDATE caixa SET lojas_leram = \"*" + CodigoLojasLeram(1) +
                           CodigoLojasLeram(2) + m + CodigoLojasLeram(4) + "\""));
        QCOMPARE(l.count("Obter Cod. Filial: 3"), 2);
        QVERIFY(l.contains("Truncate na tabela paf_req25_r01"));

        // The store now holds the central's tables, its own branch's rows only, empty PAF
        // tables; its old table stands in an aside database.
        QCOMPARE(teste::Valor("select count(*) from cli_loja.caixa"), QString("5"));
        QCOMPARE(teste::Valor("select versao from cli_loja.filial where filial_id = 3"),
                 QString("001000000000"));
        for (const QString& t : teste::TabelasDaLimpeza())
            QCOMPARE(teste::Linhas("select distinct filial_id from cli_loja." + t),
                     QStringList{"3"});
        for (const QString& t : ListaTabelasPAF())
            QCOMPARE(teste::Valor("select count(*) from cli_loja." + t), QString("0"));
        QVERIFY(teste::Linhas("SHOW TABLES FROM cli_loja LIKE 'antiga'").isEmpty());
        const QStringList reservas = teste::Linhas("SHOW DATABASES LIKE 'cli\\_loja\\_Backup\\_%'");
        QCOMPARE(reservas.size(), 1);
        QCOMPARE(teste::Linhas("SHOW TABLES FROM `" + reservas.first() + "`"),
                 QStringList{"antiga"});
        // No maintenance login: the options' clean-up steps did not run.
        QCOMPARE(teste::Valor("select count(*) from cli_loja.nlanc"), QString("2"));

        // A history that cannot be written (a folder stands at its name) is said, but the
        // backup that succeeded still succeeds, and the folder is left alone.
        const QString historico = prog + "/LOG_MARVEK_historico.txt";
        QVERIFY(QFile::remove(historico) && QDir().mkdir(historico));
        QVERIFY(QFile(historico + "/meu.txt").open(QIODevice::WriteOnly));
        const TExecucao semHistorico =
            executar({"--pasta", prog, "backup", "--filial", "3", "--destino", destino});
        QCOMPARE(semHistorico.codigo, 0);
        QVERIFY2(semHistorico.erros.startsWith("marvek-cli: Não foi possível gravar o histórico " +
                                               historico),
                 qPrintable(semHistorico.erros));
        QVERIFY(QFile::exists(historico + "/meu.txt"));
    }

    // The way back from a restore: the aside database's tables return, the current ones are
    // set aside in a new aside database.
    void reverter() {
        teste::ApagarBancos("cli_volta");
        teste::RecriarBanco("cli_volta");
        teste::Sql("CREATE TABLE cli_volta.restaurada (id INT) ENGINE=MyISAM");
        const QString reserva = "cli_volta_Backup_01012020_000000";
        teste::RecriarBanco(reserva);
        teste::Sql("CREATE TABLE " + reserva + ".antiga (id INT) ENGINE=MyISAM");
        teste::Sql("INSERT INTO " + reserva + ".antiga VALUES (7)");
        const QString prog = pasta("volta");
        teste::EscreverIni(prog, "cli_volta");

        const TExecucao errado = executar({"--pasta", prog, "reverter", "cli_central"});
        QCOMPARE(errado.codigo, 1);
        QCOMPARE(errado.saida, QString());
        QCOMPARE(teste::Linhas("SHOW TABLES FROM cli_volta"), QStringList{"restaurada"});

        const TExecucao volta = executar({"--pasta", prog, "reverter", reserva});
        QCOMPARE(volta.erros, QString());
        QCOMPARE(volta.codigo, 0);
        QVERIFY2(volta.saida.startsWith("Restauração revertida com sucesso!\n\n"),
                 qPrintable(volta.saida));
        QCOMPARE(teste::Linhas("SHOW TABLES FROM cli_volta"), QStringList{"antiga"});
        QCOMPARE(teste::Valor("select id from cli_volta.antiga"), QString("7"));
        QVERIFY(linhasDoLog(prog).join('\n').contains("cli_volta.antiga"));
    }

    // The closing question answered yes starts Navirel.exe from the program folder.
    void navirel() {
        criarCentral("cli_navirel");
        const QString zip = gerarArquivo("cli_navirel", "navirel");
        QVERIFY(!zip.isEmpty());
        const QString loja = pasta("navirel_loja");
        teste::EscreverIni(loja, "cli_navirel_loja", "3");
        const QString marca = loja + "/navirel-iniciado";
        QFile script(loja + "/Navirel.exe");
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\necho iniciado >> '" + marca.toUtf8() + "'\n");
        script.close();
        QVERIFY(script.setPermissions(script.permissions() | QFile::ExeOwner));

        teste::ApagarBancos("cli_navirel_loja");
        teste::RecriarBanco("cli_navirel_loja");
        const TExecucao nao = executar({"--pasta", loja, "restaurar", zip});
        QCOMPARE(nao.codigo, 0);
        QVERIFY(nao.saida.endsWith("Resposta: Não\n"));

        teste::ApagarBancos("cli_navirel_loja");
        teste::RecriarBanco("cli_navirel_loja");
        const TExecucao sim = executar({"--pasta", loja, "restaurar", zip, "--navirel"});
        QCOMPARE(sim.erros, QString());
        QCOMPARE(sim.codigo, 0);
        QCOMPARE(sim.saida, PerguntaFinal + "Resposta: Sim\n");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marca), 20000);
        QFile f(marca);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("iniciado\n")); // once: not by the first restore
    }

    // Errors of the restore, including those after which it goes on, give exit code 1.
    void restauracaoComErro() {
        const QString loja = pasta("erro_loja");
        teste::EscreverIni(loja, "cli_erro_loja", "3");
        teste::RecriarBanco("cli_erro_loja");

        // A missing archive: nothing is touched.
        teste::Sql("CREATE TABLE cli_erro_loja.minha (id INT) ENGINE=MyISAM");
        const TExecucao falta =
            executar({"--pasta", loja, "restaurar", loja + "/Backup_Central.zip"});
        QCOMPARE(falta.codigo, 1);
        QCOMPARE(falta.saida, QString());
        QVERIFY2(falta.erros.startsWith("marvek-cli: Ocorreu o seguinte erro: \n\n"),
                 qPrintable(falta.erros));
        QCOMPARE(linhasDoLog(loja),
                 QStringList({"Inicio Restore", "Inicio Validacao", "Fim Restore"}));
        QCOMPARE(teste::Linhas("SHOW TABLES FROM cli_erro_loja"), QStringList{"minha"});

        // An empty archive name: the window's own check and text.
        const TExecucao vazio = executar({"--pasta", loja, "restaurar", ""});
        QCOMPARE(vazio.codigo, 1);
        QCOMPARE(vazio.erros,
                 QString("marvek-cli: Ocorreu o seguinte erro: \n\nNenhum arquivo selecionado\n"));

        // The purge fails (the central has no movment): the restore still ends with its
        // question, but the run reports the error.
        criarCentral("cli_sem_movment");
        teste::Sql("DROP TABLE cli_sem_movment.movment");
        const QString zip = gerarArquivo("cli_sem_movment", "sem_movment");
        QVERIFY(!zip.isEmpty());
        teste::ApagarBancos("cli_erro_loja");
        teste::RecriarBanco("cli_erro_loja");
        const TExecucao limpeza = executar({"--pasta", loja, "restaurar", zip});
        QCOMPARE(limpeza.codigo, 1);
        QCOMPARE(limpeza.saida, PerguntaFinal + "Resposta: Não\n");
        QVERIFY2(limpeza.erros.startsWith("marvek-cli: Ocorreu o seguinte erro:\n"),
                 qPrintable(limpeza.erros));
        QVERIFY(limpeza.erros.contains("movment"));

        // No CodFisica: the restore stops after loading, before the question.
        const QString semFilial = pasta("erro_sem_filial");
        teste::EscreverIni(semFilial, "cli_erro_loja");
        teste::ApagarBancos("cli_erro_loja");
        teste::RecriarBanco("cli_erro_loja");
        const TExecucao codFisica = executar({"--pasta", semFilial, "restaurar", zip});
        QCOMPARE(codFisica.codigo, 1);
        QCOMPARE(codFisica.saida, QString());
        QCOMPARE(codFisica.erros,
                 QString("marvek-cli: Ocorreu o seguinte erro: \n\nFilial inválida, verifique o "
                         "arquivo sistema_qel.ini\n"));
        QCOMPARE(linhasDoLog(semFilial).last(), QString("Fim Restore"));
    }

    // The backup refuses a branch that is not live, and a connection that fails, before
    // anything is touched.
    void backupRecusado() {
        criarCentral("cli_recusa");
        const QString prog = pasta("recusa");
        teste::EscreverIni(prog, "cli_recusa");
        const QString destino = pasta("recusa_destino");
        const QStringList antes = teste::Linhas("select * from cli_recusa.caixa order by caixa_id");

        for (const QString& id : QStringList{"5", "99", "-3"}) {
            const TExecucao r =
                executar({"--pasta", prog, "backup", "--filial", id, "--destino", destino});
            QCOMPARE(r.codigo, 1);
            QCOMPARE(r.saida, QString());
            QVERIFY2(r.erros.contains("filial " + id + " "), qPrintable(r.erros));
        }
        QVERIFY(QDir(destino).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
        QVERIFY(!QFile::exists(prog + "/LOG_MARVEK.txt"));
        QCOMPARE(teste::Linhas("select * from cli_recusa.caixa order by caixa_id"), antes);

        // A database that does not exist: the server's message, exit 1.
        const QString outra = pasta("recusa_sem_banco");
        teste::EscreverIni(outra, "cli_nao_existe");
        const TExecucao r =
            executar({"--pasta", outra, "backup", "--filial", "3", "--destino", destino});
        QCOMPARE(r.codigo, 1);
        QVERIFY2(r.erros.contains("cli_nao_existe"), qPrintable(r.erros));
        QVERIFY(QDir(destino).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    }

    void verificar() {
        criarCentral("cli_verifica");
        const QString zip = gerarArquivo("cli_verifica", "verifica");
        QVERIFY(!zip.isEmpty());
        // No database is reached: the server's socket is not even given.
        QProcessEnvironment semServidor = QProcessEnvironment::systemEnvironment();
        semServidor.insert("MYSQL_UNIX_PORT", m_dir.filePath("nao-existe.sock"));

        const TExecucao r = executar({"verificar", zip}, {}, semServidor);
        QCOMPARE(r.erros, QString());
        QCOMPARE(r.codigo, 0);
        // One line per table: its name and the size of its .frm and .MYD in the data folder.
        const QString dados = teste::Admin().PastaDeDados() + "cli_verifica/";
        QStringList esperado;
        for (const QString& t : teste::Linhas("SHOW TABLES FROM cli_verifica"))
            esperado << t + "\t" +
                            QString::number(QFileInfo(dados + t + ".frm").size() +
                                            QFileInfo(dados + t + ".MYD").size()) +
                            "\tMyISAM";
        QStringList linhas = r.saida.split('\n');
        QCOMPARE(linhas.takeLast(), QString());
        // First what the archive says about itself.
        static const QRegularExpression descricao(
            QStringLiteral("^# filial 3 \\(Filial 3\\), banco cli_verifica, \\d{4}-\\d\\d-\\d\\d "
                           "\\d\\d:\\d\\d:\\d\\d, Marvek " MARVEK_VERSAO "$"));
        const QString primeira = linhas.takeFirst();
        QVERIFY2(descricao.match(primeira).hasMatch(), qPrintable(primeira));
        linhas.sort();
        esperado.sort();
        QCOMPARE(linhas, esperado);

        // A flipped byte inside the first entry's compressed data.
        QFile f(zip);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QByteArray bytes = f.readAll();
        f.close();
        const auto le16 = [&bytes](int pos) {
            return static_cast<uchar>(bytes[pos]) | (static_cast<uchar>(bytes[pos + 1]) << 8);
        };
        QCOMPARE(bytes.left(4), QByteArray("PK\x03\x04"));
        const int dadosInicio = 30 + le16(26) + le16(28);
        const qint64 comprimido = ListarEntradas(zip).first().comprimido;
        QVERIFY(comprimido > 4);
        bytes[dadosInicio + comprimido / 2] =
            static_cast<char>(bytes[dadosInicio + comprimido / 2] ^ 0x55);
        const QString danificado = m_dir.filePath("danificado.zip");
        QFile d(danificado);
        QVERIFY(d.open(QIODevice::WriteOnly));
        d.write(bytes);
        d.close();
        const TExecucao dano = executar({"verificar", danificado}, {}, semServidor);
        QCOMPARE(dano.codigo, 1);
        QCOMPARE(dano.saida, QString());
        QVERIFY(!dano.erros.isEmpty());

        // A table without its data file.
        const QString pastaArquivos = pasta("incompleto");
        for (const char* n : {"filial.frm", "filial.MYD", "caixa.frm"}) {
            QFile a(pastaArquivos + "/" + n);
            QVERIFY(a.open(QIODevice::WriteOnly));
            a.write("conteudo");
        }
        const QString incompleto = m_dir.filePath("incompleto.zip");
        CompactarArquivos(incompleto, {pastaArquivos + "/filial.frm", pastaArquivos + "/filial.MYD",
                                       pastaArquivos + "/caixa.frm"});
        const TExecucao par = executar({"verificar", incompleto}, {}, semServidor);
        QCOMPARE(par.codigo, 1);
        QCOMPARE(par.saida, QString());
        QVERIFY2(par.erros.contains("caixa.MYD"), qPrintable(par.erros));

        const TExecucao nenhum =
            executar({"verificar", m_dir.filePath("nenhum.zip")}, {}, semServidor);
        QCOMPARE(nenhum.codigo, 1);
        QVERIFY(!nenhum.erros.isEmpty());
    }

    // The enciphered password opens a real login to a server user with that password.
    void cifrarSenha() {
        const QString senha = QString::fromUtf8("Pão de 3 queijos!");
        teste::Sql("DROP USER IF EXISTS 'cli_senha'@'localhost'");
        // The password reaches the server as the settings file holds it, in Latin-1.
        const QByteArray hash = QCryptographicHash::hash(
            QCryptographicHash::hash(senha.toLatin1(), QCryptographicHash::Sha1),
            QCryptographicHash::Sha1);
        teste::Sql("CREATE USER 'cli_senha'@'localhost' IDENTIFIED BY PASSWORD '*" +
                   QString::fromLatin1(hash.toHex().toUpper()) + "'");
        teste::RecriarBanco("cli_senha_db");
        teste::Sql("GRANT ALL ON cli_senha_db.* TO 'cli_senha'@'localhost'");
        const QString prog = pasta("senha");
        const auto conectar = [&prog](const QString& usuario, const QString& cifrada) {
            QFile ini(prog + "/sistema_qel.ini");
            if (!ini.open(QIODevice::WriteOnly | QIODevice::Truncate))
                return QString("<no ini>");
            ini.write("[ip]\r\nlocal=localhost\r\ndatabase=cli_senha_db\r\nusuario=" +
                      usuario.toLatin1() + "\r\nsenha=" + cifrada.toLatin1() + "\r\n");
            ini.close();
            DefinirPastaDoPrograma(prog);
            TDM dm;
            try {
                dm.Conectar();
                return dm.ConsultarValor("select current_user()", QString()).toString();
            } catch (const EErro& e) {
                return "<" + e.Mensagem() + ">";
            }
        };

        for (const QByteArray& fim : {QByteArray("\n"), QByteArray("\r\n"), QByteArray()}) {
            const TExecucao r = executar({"cifrar-senha"}, senha.toUtf8() + fim);
            QCOMPARE(r.codigo, 0);
            static const QRegularExpression hex(QStringLiteral("^([0-9A-F]{2})+\n$"));
            QVERIFY2(hex.match(r.saida).hasMatch(), qPrintable(r.saida));
            QCOMPARE(r.saida.size(), 2 + 2 * senha.size() + 1);
            QCOMPARE(conectar("cli_senha", r.saida.trimmed()), QString("cli_senha@localhost"));
        }
        // Another password's cipher is refused by the server.
        const TExecucao outra = executar({"cifrar-senha"}, "Pao de 3 queijos!\n");
        QCOMPARE(outra.codigo, 0);
        QVERIFY(conectar("cli_senha", outra.saida.trimmed()).contains("Access denied"));

        // An empty password gives the empty value the settings file takes for it.
        const TExecucao vazia = executar({"cifrar-senha"}, "\n");
        QCOMPARE(vazia.codigo, 0);
        QCOMPARE(vazia.saida, QString("\n"));
        QCOMPARE(conectar("root", vazia.saida.trimmed()), QString("root@localhost"));

        // What the settings file cannot hold, and no input at all.
        const TExecucao euro = executar({"cifrar-senha"}, QString::fromUtf8("€uro\n").toUtf8());
        QCOMPARE(euro.codigo, 1);
        QCOMPARE(euro.saida, QString());
        const TExecucao nada = executar({"cifrar-senha"}, {});
        QCOMPARE(nada.codigo, 1);
        QCOMPARE(nada.saida, QString());
        teste::Sql("DROP USER 'cli_senha'@'localhost'");
    }
};

QTEST_GUILESS_MAIN(TstCli)
#include "tst_cli.moc"
