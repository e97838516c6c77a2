#include "backup/Backup.h"
#include "base/Pastas.h"
#include "data/TDM.h"
#include "restore/LimparOutrasFiliais.h"
#include "restore/Restauracao.h"
#include "restore/Reversao.h"
#include "restore/VerificacaoArquivo.h"
#include "support/BancoTeste.h"
#include "support/BancoVarejo.h"
#include "support/Compactar.h"
#include "support/Falhas.h"
#include "support/TOperadorGravador.h"
#include "zip/MotorZip.h"

#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>

using namespace marvek;
using teste::TOperadorGravador;

namespace {
const QList<teste::TFilialTeste> Filiais = {{1, "S"}, {2, "N"}, {3, "N"}, {12, "S"}, {4, "N", "S"}};
const QString ListaEsperada = "**23C"; // "*", then 1, 2, 3 and 12 in the server's order
} // namespace

class TstRestauracao : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_zip;         // the central backup for branch 3
    QStringList m_tabelas; // the tables of the central database

    std::unique_ptr<TDM> conectar(const QString& banco) {
        auto dm = std::make_unique<TDM>();
        dm->AbrirConexao("localhost", banco, "root", "", 3306);
        return dm;
    }

    // A fresh copy of the central archive in a folder of its own.
    QString copiaDoZip(const QString& pasta) {
        QDir().mkpath(m_dir.filePath(pasta));
        const QString destino = m_dir.filePath(pasta + "/Backup_Central.zip");
        QFile::remove(destino);
        QFile::copy(m_zip, destino);
        return destino;
    }

    // An installation with its own older tables.
    void loja(const QString& banco) {
        teste::RecriarBanco(banco);
        teste::Sql("CREATE TABLE " + banco + ".caixa (id INT PRIMARY KEY, x VARCHAR(9))");
        teste::Sql("INSERT INTO " + banco + ".caixa VALUES (1,'antigo'),(2,'dado')");
        teste::Sql("CREATE TABLE " + banco + ".so_da_loja (id INT, KEY(id))");
        teste::Sql("INSERT INTO " + banco + ".so_da_loja VALUES (5),(6),(7)");
    }

    std::unique_ptr<TOperadorGravador> restaurar(const QString& banco, const QString& arquivo,
                                                 const QString& codFisica, int conexoes = 1) {
        teste::EscreverIni(m_dir.path(), banco, codFisica);
        // opened on demand, as after a start without a database
        auto dm = std::make_unique<TDM>();
        dm->Conexao.Usuario = "root";
        dm->Conexao.Banco = banco;
        auto op = std::make_unique<TOperadorGravador>(m_dir.filePath("LOG_" + banco + ".txt"));
        op->Backup = false;
        op->ArquivoZip = arquivo;
        op->NumeroConexoes = conexoes;
        op->AoGravarLog = m_aoGravarLog;
        op->Resultado = ExecutarRestauracao(*op, *dm);
        return op;
    }

    std::function<void(const QString&)> m_aoGravarLog;

    QStringList reservas(const QString& banco) {
        return teste::Linhas("SHOW DATABASES LIKE '" + banco + "\\_Backup\\_%'");
    }

private slots:
    // A central of MyISAM, Aria and InnoDB tables goes to office 12 and arrives with the same
    // rows in the same engines, every row marked. Rows written between an InnoDB table's marker
    // UPDATE and its export lock make it marked again: none reaches the archive without the
    // marker. A tablespace of another page size is refused before anything changes.
    void motoresMisturados() {
        teste::CriarBancoVarejo("rs_mistura", Filiais);
        const QMap<QString, QString> motores = teste::MisturarMotores("rs_mistura");
        TDM escritor;
        escritor.AbrirConexao("localhost", "rs_mistura", "root", "", 3306);
        teste::TOperadorFalha op(m_dir.filePath("LOG_mistura.txt"));
        int escritas = 0;
        op.AoGravarLog = [&](const QString& linha) {
            if (linha.startsWith("UPDATE movment") && escritas++ < 2)
                escritor.ExecutarComando("INSERT INTO movment (filial_id) VALUES (9)");
        };
        const QString zip = teste::ArquivoCentral(op, "rs_mistura", 12, m_dir.filePath("mistura"));
        QVERIFY2(!zip.isEmpty(), qPrintable(op.Mostrados.join('\n')));
        QCOMPARE(escritas, 3); // marked three times: twice a row came in before the export lock
        const QStringList entradas = teste::EntradasDoZip(zip);
        for (const char* e : {"filial.frm", "filial.ibd", "filial.cfg", "filial.sql", "caixa.frm",
                              "caixa.MAI", "caixa.MAD", "movment.ibd"})
            QVERIFY2(entradas.contains(e), e);
        // the archive's movment, loaded aside: the written rows are there, with the marker
        const QString extraida = m_dir.filePath("mistura_extraida");
        QVERIFY(QDir().mkpath(extraida));
        ExtrairZip(zip, extraida);
        teste::RecriarBanco("rs_mistura_arq");
        TDM arq;
        arq.AbrirConexao("localhost", "rs_mistura_arq", "root", "", 3306);
        arq.RestoreTables("movment", extraida);
        QCOMPARE(teste::Valor("SELECT COUNT(*) FROM rs_mistura_arq.movment"), QString("6"));
        QCOMPARE(teste::Valor("SELECT COUNT(*) FROM rs_mistura_arq.movment WHERE "
                              "COALESCE(lojas_leram, '') NOT LIKE '%C%'"),
                 QString("0"));

        teste::RecriarBanco("rs_mistura_loja");
        const auto r = restaurar("rs_mistura_loja", zip, "12");
        QVERIFY2(r->Resultado.Sucesso(), qPrintable(r->Mostrados.join('\n')));
        for (auto it = motores.begin(); it != motores.end(); ++it) {
            const QString t = it.key();
            QCOMPARE(teste::Valor("SELECT ENGINE FROM information_schema.TABLES WHERE "
                                  "TABLE_SCHEMA = 'rs_mistura_loja' AND TABLE_NAME = '" +
                                  t + "'"),
                     it.value());
            const bool marcada =
                !teste::Linhas("SHOW COLUMNS FROM rs_mistura." + t + " LIKE 'lojas_leram'")
                     .isEmpty();
            if (marcada && t != "filial") { // filial keeps the central's markers, as it loads
                const QStringList marcas = teste::Linhas(
                    "SELECT DISTINCT COALESCE(lojas_leram, 'NULL') FROM rs_mistura_loja." + t);
                QVERIFY2(marcas == QStringList{ListaEsperada} || marcas.isEmpty(),
                         qPrintable(t + ": " + marcas.join(", ")));
            }
            // the markers set alike on both sides, then the rows compared whole
            if (marcada)
                for (const char* b : {"rs_mistura", "rs_mistura_loja"})
                    teste::Sql(QString("UPDATE %1.%2 SET lojas_leram = 'x'").arg(b, t));
        }
        teste::Sql("UPDATE rs_mistura.filial SET versao = '001000000000'");
        QCOMPARE(teste::Somas("rs_mistura_loja"), teste::Somas("rs_mistura"));

        // an archive whose tablespaces have 32 KiB pages
        const QString cfg = extraida + "/filial.cfg";
        QByteArray dados = teste::LerArquivo(cfg);
        const auto em = [&](int p) {
            return (uchar(dados[p]) << 24) | (uchar(dados[p + 1]) << 16) |
                   (uchar(dados[p + 2]) << 8) | uchar(dados[p + 3]);
        };
        const int pagina = 4 + 4 + em(4) + 4 + em(8 + em(4)) + 8;
        QCOMPARE(em(pagina), 16384);
        dados[pagina + 2] = char(0x80);
        teste::GravarArquivo(cfg, dados);
        QDir().mkpath(m_dir.filePath("pagina"));
        const QString outraPagina = m_dir.filePath("pagina/Backup_Central.zip");
        QStringList arquivos;
        for (const QString& n : QDir(extraida).entryList(QDir::Files))
            arquivos << extraida + "/" + n;
        CompactarArquivos(outraPagina, arquivos);
        const auto antes = teste::Somas("rs_mistura_loja");
        const auto recusada = restaurar("rs_mistura_loja", outraPagina, "12");
        QVERIFY2(recusada->Mostrados.join("").contains("filial (páginas de 32768 bytes)"),
                 qPrintable(recusada->Mostrados.join('\n')));
        QCOMPARE(reservas("rs_mistura_loja").size(), 1); // the one of the restore above
        QCOMPARE(teste::Somas("rs_mistura_loja"), antes);

        // What a stop in the middle of an InnoDB load leaves (the table created, its
        // tablespace discarded, not imported): the next restore sets it aside with the rest,
        // and the way back brings it back.
        teste::Sql("CREATE TABLE rs_mistura_loja.meio (id INT PRIMARY KEY) ENGINE=InnoDB");
        teste::Sql("ALTER TABLE rs_mistura_loja.meio DISCARD TABLESPACE");
        const auto depois = restaurar("rs_mistura_loja", zip, "12");
        QVERIFY2(depois->Resultado.Sucesso(), qPrintable(depois->Mostrados.join('\n')));
        const QString comMeio = depois->Resultado.bancoReserva;
        QCOMPARE(teste::Linhas("SHOW TABLES FROM " + comMeio + " LIKE 'meio'"),
                 QStringList("meio"));
        TOperadorGravador volta;
        TDM dm;
        dm.AbrirConexao("localhost", "rs_mistura_loja", "root", "", 3306);
        QVERIFY(ReverterRestauracao(volta, dm, comMeio).Sucesso());
        QCOMPARE(teste::Valor("SELECT ENGINE FROM information_schema.TABLES WHERE TABLE_SCHEMA = "
                              "'rs_mistura_loja' AND TABLE_NAME = 'meio'"),
                 QString("InnoDB"));
        auto somas = teste::Somas("rs_mistura_loja");
        QCOMPARE(somas.remove("meio"), 1);
        QCOMPARE(somas, antes);
    }

    void initTestCase() {
        DefinirPastaDoPrograma(m_dir.path());
        m_zip = teste::ArquivoCentral("rs_central", Filiais, 3, m_dir.filePath("central"));
        m_tabelas = teste::Linhas("SHOW TABLES FROM rs_central");
    }

    // Several connections give the same tables and the same log lines as one.
    void conexoesDaoOMesmoResultado() {
        QMap<int, QStringList> logBackup, logRestauracao;
        QMap<int, QMap<QString, QString>> central, loja;
        const QString arquivo = copiaDoZip("conexoes");
        for (int n : {1, 3}) {
            const QString banco = QString("rs_con_central%1").arg(n);
            teste::CriarBancoVarejo(banco, Filiais);
            TOperadorGravador op(m_dir.filePath("LOG_con.txt"));
            op.Filial = "12";
            op.Pasta = m_dir.filePath(QString("con%1").arg(n));
            op.NumeroConexoes = n;
            RealizarBackup(op, *conectar(banco));
            QVERIFY2(op.Mostrados.value(0).startsWith("Informar"),
                     qPrintable(op.Mostrados.join("")));
            QCOMPARE(op.Posicoes.mid(0, m_tabelas.size()).last(), m_tabelas.size());
            QCOMPARE(teste::EntradasDoZip(op.Pasta + "/Backup_Central.zip").size(),
                     2 * m_tabelas.size());
            logBackup[n] = op.LinhasLog();
            central[n] = teste::Somas(banco);
            auto r = restaurar(QString("rs_con_loja%1").arg(n), arquivo, "3", n);
            QCOMPARE(r->Mostrados.size(), 1);
            logRestauracao[n] = r->LinhasLog();
            loja[n] = teste::Somas(QString("rs_con_loja%1").arg(n));
        }
        QCOMPARE(logBackup[3], logBackup[1]);
        QCOMPARE(central[3], central[1]);
        QCOMPARE(logRestauracao[3], logRestauracao[1]);
        QCOMPARE(loja[3], loja[1]);
        QCOMPARE(teste::Linhas("select distinct filial_id from rs_con_loja3.movment"),
                 QStringList({"3"}));

        // a table in the middle that cannot be loaded: the same error; the log holds, in table
        // order, every table that was loaded and nothing else
        const QString pasta = m_dir.filePath("conexoes_dano/partes");
        QVERIFY(QDir().mkpath(pasta));
        ExtrairZip(m_zip, pasta);
        QFile frm(pasta + "/movment.frm");
        QVERIFY(frm.open(QIODevice::WriteOnly | QIODevice::Truncate));
        frm.write(QByteArray(600, 'x'));
        frm.close();
        QStringList arquivos;
        for (const QString& n : QDir(pasta).entryList(QDir::Files))
            arquivos << pasta + "/" + n;
        const QString dano = m_dir.filePath("conexoes_dano/Backup_Central.zip");
        CompactarArquivos(dano, arquivos);
        auto um = restaurar("rs_con_dano1", dano, "3", 1);
        auto tres = restaurar("rs_con_dano3", dano, "3", 3);
        QCOMPARE(um->Mostrados.size(), 1);
        QVERIFY(um->Mostrados.first().startsWith("ErroPadrao: Ocorreu o seguinte erro: \r\r"));
        QCOMPARE(tres->Mostrados.join("").replace("rs_con_dano3", "rs_con_dano1"),
                 um->Mostrados.join(""));
        QCOMPARE(um->LinhasLog().mid(um->LinhasLog().size() - 3),
                 QStringList({"Inicio SQL",
                              "RESTORE TABLES movment FROM \"" +
                                  m_dir.filePath("conexoes_dano/Backup_Central/\""),
                              "Fim Restore"}));
        QStringList carregadas;
        const QStringList linhas = tres->LinhasLog();
        for (qsizetype i = 0; i + 1 < linhas.size(); ++i)
            if (linhas[i].startsWith("RESTORE TABLES ") && linhas[i + 1] == "Fim SQL")
                carregadas << linhas[i].section(' ', 2, 2);
        QVERIFY(carregadas.size() > 1);
        QCOMPARE(carregadas.first(), QString("FILIAL"));
        QStringList ordenadas = carregadas.mid(1); // in the folder listing's order
        std::sort(ordenadas.begin(), ordenadas.end(), [](const QString& a, const QString& b) {
            return (a + ".frm").toUpper().toLatin1() < (b + ".frm").toUpper().toLatin1();
        });
        QCOMPARE(carregadas.mid(1), ordenadas);
        QStringList noBanco = teste::Linhas("SHOW TABLES FROM rs_con_dano3");
        noBanco.replaceInStrings("filial", "FILIAL");
        std::sort(noBanco.begin(), noBanco.end());
        std::sort(carregadas.begin(), carregadas.end());
        QCOMPARE(noBanco, carregadas);
        QCOMPARE(tres->LinhasLog().last(), QString("Fim Restore"));
    }

    void arquivosDeTabela() {
        QVERIFY(ArquivoDeTabela("frmx.txt"));
        QVERIFY(ArquivoDeTabela("caixa.myi"));
        QVERIFY(!ArquivoDeTabela("leia.txt"));
        QCOMPARE(PastaDeExtracao("/srv/loja/Backup_Central.zip"),
                 QString("/srv/loja/Backup_Central"));
        QCOMPARE(PastaDeExtracao("/dados/copia"), QString("/dados/c"));
    }

    void restauracaoCompletaNumaLoja() {
        loja("rs_loja");
        const QString caixaAntes = teste::Checksum("rs_loja", "caixa");
        const QString lojaAntes = teste::Checksum("rs_loja", "so_da_loja");
        QFile::remove(m_dir.filePath("query.txt"));
        const QString zip = copiaDoZip("loja");
        // The settings are read once: a file changed once the checks passed (another database,
        // another branch) changes nothing of this run.
        m_aoGravarLog = [this](const QString& linha) {
            if (linha == "Fim Validacao")
                teste::EscreverIni(m_dir.path(), "rs_outra", "12");
        };
        auto op = restaurar("rs_loja", zip, "3");
        m_aoGravarLog = nullptr;

        // the previous tables, unchanged, in the aside database
        const QStringList aside = reservas("rs_loja");
        QCOMPARE(aside.size(), 1);
        QCOMPARE(teste::Linhas("SHOW TABLES FROM " + aside.first()),
                 QStringList({"caixa", "so_da_loja"}));
        QCOMPARE(teste::Checksum(aside.first(), "caixa"), caixaAntes);
        QCOMPARE(teste::Checksum(aside.first(), "so_da_loja"), lojaAntes);

        // every archived table, the markers rewritten, the version stamped
        QCOMPARE(teste::Linhas("SHOW TABLES FROM rs_loja"), m_tabelas);
        for (const QString& t : m_tabelas) {
            if (t == "filial") // loaded by the first statement, outside the loop
                continue;
            if (teste::Linhas("SHOW COLUMNS FROM rs_loja." + t + " LIKE 'lojas_leram'").isEmpty())
                continue;
            const QStringList marcas =
                teste::Linhas("select distinct lojas_leram from rs_loja." + t);
            QVERIFY2(marcas.isEmpty() || marcas == QStringList({ListaEsperada}),
                     qPrintable(t + ": " + marcas.join(',')));
        }
        QCOMPARE(teste::Valor("select count(*) from rs_loja.caixa"), QString("5"));
        QCOMPARE(teste::Linhas("select distinct versao from rs_loja.filial"),
                 QStringList({"001000000000"}));
        QCOMPARE(teste::Linhas("CHECK TABLE rs_loja.caixa").last().section('|', 3), QString("OK"));

        // the purge of a store: only its own rows, empty PAF tables, no query.txt
        for (const QString& t : teste::TabelasDaLimpeza())
            QCOMPARE(teste::Linhas("select distinct filial_id from rs_loja." + t),
                     QStringList({"3"}));
        for (const QString& t : ListaTabelasPAF())
            QCOMPARE(teste::Valor("select count(*) from rs_loja." + t), QString("0"));
        QVERIFY(!QFile::exists(m_dir.filePath("query.txt")));

        // the log, in order
        QStringList tabelas = m_tabelas;
        tabelas.removeAll("filial");
        std::sort(tabelas.begin(), tabelas.end(),
                  [](const QString& a, const QString& b) { return a.toUpper() < b.toUpper(); });
        const QString pasta = m_dir.filePath("loja/Backup_Central/");
        QStringList esperado = {"Inicio Restore",
                                "Inicio Validacao",
                                "Fim Validacao",
                                "Inicio TratarDataBases",
                                "Fim TratarDatabases",
                                "Inicio SQL",
                                "RESTORE TABLES FILIAL FROM \"" + pasta + "\"",
                                "Fim SQL"};
        int comMarcas = 0;
        for (const QString& t : tabelas) {
            esperado << "Inicio SQL"
                     << "RESTORE TABLES " + t + " FROM \"" + pasta + "\""
                     << "Fim SQL"
                     << "Inicio SQL"
                     << "DESCRIBE " + t + " lojas_leram"
                     << "Fim SQL";
            if (!teste::Linhas("SHOW COLUMNS FROM rs_central." + t + " LIKE 'lojas_leram'")
                     .isEmpty()) {
                esperado << "Inicio SQL "
                         << "UPDATE " + t + " SET lojas_leram = \"" + ListaEsperada + "\""
                         << "Fim SQL";
                ++comMarcas;
            }
        }
        esperado << "Obter Cod. Filial: 3"
                 << "Obter Cod. Filial: 3";
        for (const QString& t : ListaTabelasPAF())
            esperado << "Truncate na tabela " + t;
        esperado << "Fim Restore";
        QCOMPARE(op->LinhasLog(), esperado);
        QCOMPARE(op->Posicoes.mid(0, op->Posicoes.size() - 1).size(), comMarcas);
        QCOMPARE(op->Posicoes.last(), 0);

        // the closing question, Navirel started from the program folder, controls back on
        QCOMPARE(op->Mostrados.size(), 1);
        QVERIFY(op->Mostrados.first().startsWith(
            QString::fromUtf8("Confirmar[Confirmação...|Sim]: Backup restaurado com sucesso! Por "
                              "favor, verifique. \r\nUm log foi salvo")));
        QCOMPARE(op->Programas, QStringList({m_dir.filePath("Navirel.exe")}));
        QCOMPARE(op->Resultado.desfecho, TResultado::Concluida);
        // the unpacked files stay beside the archive; nothing else is left there
        QVERIFY(QFile::exists(pasta + "caixa.MYD"));
        QCOMPARE(QDir(m_dir.filePath("loja"))
                     .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList({"Backup_Central", "Backup_Central.zip"}));
    }

    void escritorioNaoLimpaERespostaNao() {
        teste::RecriarBanco("rs_escr");
        auto op = [&] {
            teste::EscreverIni(m_dir.path(), "rs_escr", "12");
            auto dm = conectar("rs_escr");
            auto o = std::make_unique<TOperadorGravador>(m_dir.filePath("LOG_escr.txt"));
            o->Backup = false;
            o->ArquivoZip = copiaDoZip("escr");
            o->Respostas = {false};
            o->Resultado = ExecutarRestauracao(*o, *dm);
            return o;
        }();
        QCOMPARE(op->LinhasLog().count("Obter Cod. Filial: 12"), 1);
        QCOMPARE(teste::Valor("select count(*) from rs_escr.movment"), QString("4"));
        QCOMPARE(reservas("rs_escr").size(), 1);
        QCOMPARE(op->Programas, QStringList());
        QCOMPARE(op->Resultado.desfecho, TResultado::Concluida);
    }

    // Refused before anything is touched, no longer after the loads.
    void semCodFisica() {
        teste::RecriarBanco("rs_semcod");
        auto op = restaurar("rs_semcod", copiaDoZip("semcod"), "");
        QCOMPARE(op->Mostrados, QStringList({QString::fromUtf8(
                                    "ErroPadrao: Ocorreu o seguinte erro: \r\rFilial inválida, "
                                    "verifique o arquivo sistema_qel.ini")}));
        QCOMPARE(teste::Linhas("SHOW TABLES FROM rs_semcod"), QStringList());
        QCOMPARE(reservas("rs_semcod"), QStringList());
        QCOMPARE(op->LinhasLog(),
                 QStringList({"Inicio Restore", "Inicio Validacao", "Fim Restore"}));
        QCOMPARE(op->Resultado.desfecho, TResultado::Falhou);
    }

    void bancoQueNaoExisteECriado() {
        teste::Sql("DROP DATABASE IF EXISTS rs_nova");
        auto op = restaurar("rs_nova", copiaDoZip("nova"), "2");
        QCOMPARE(reservas("rs_nova"), QStringList());
        QCOMPARE(teste::Linhas("SHOW TABLES FROM rs_nova"), m_tabelas);
        QCOMPARE(teste::Linhas("select distinct filial_id from rs_nova.pagar"), QStringList({"2"}));
    }

    void arquivosDanificadosNaoTocamNada() {
        loja("rs_dano");
        const QString antes = teste::Checksum("rs_dano", "caixa");
        // not a ZIP at all
        const QString falso = m_dir.filePath("falso/Backup_Central.zip");
        QDir().mkpath(m_dir.filePath("falso"));
        QFile f(falso);
        f.open(QIODevice::WriteOnly);
        f.write("PK isto nao e um zip");
        f.close();
        auto op = restaurar("rs_dano", falso, "3");
        QCOMPARE(op->Mostrados.size(), 1);
        QVERIFY(op->Mostrados.first().startsWith(
            "ErroPadrao: Ocorreu o seguinte erro: \r\rO arquivo " + falso));
        QCOMPARE(op->LinhasLog(),
                 QStringList({"Inicio Restore", "Inicio Validacao", "Fim Restore"}));

        // a damaged entry (CRC), a missing branch table, a hostile name
        const QString dano = copiaDoZip("crc");
        QFile z(dano);
        z.open(QIODevice::ReadWrite);
        QByteArray dados = z.readAll();
        dados[200] = static_cast<char>(dados[200] ^ 0x5A);
        z.seek(0);
        z.write(dados);
        z.close();
        QVERIFY(restaurar("rs_dano", dano, "3")->Mostrados.first().contains(dano));

        QDir().mkpath(m_dir.filePath("semfilial/t"));
        QFile::copy(m_dir.filePath("loja/Backup_Central/caixa.frm"),
                    m_dir.filePath("semfilial/t/caixa.frm"));
        QFile::copy(m_dir.filePath("loja/Backup_Central/caixa.MYD"),
                    m_dir.filePath("semfilial/t/caixa.MYD"));
        const QString semFilial = m_dir.filePath("semfilial/Backup_Central.zip");
        CompactarArquivos(semFilial, {m_dir.filePath("semfilial/t/caixa.frm"),
                                      m_dir.filePath("semfilial/t/caixa.MYD")});
        QVERIFY(restaurar("rs_dano", semFilial, "3")
                    ->Mostrados.first()
                    .endsWith("não contém a tabela filial"));

        // an archive path whose extraction folder would not be a folder beside it
        QVERIFY(restaurar("rs_dano", m_dir.filePath("a.zi"), "3")
                    ->Mostrados.first()
                    .contains("pasta de extração"));

        QCOMPARE(reservas("rs_dano"), QStringList());
        QCOMPARE(teste::Checksum("rs_dano", "caixa"), antes);
    }

    // Tables of any engine move aside whole: the set-aside follows the server's own list.
    void separacaoDeOutrosMotores() {
        loja("rs_inno");
        for (const char* t : {"inno1", "inno2", "inno3"}) {
            teste::Sql(QString("CREATE TABLE rs_inno.%1 (id INT) ENGINE=InnoDB").arg(t));
            teste::Sql(QString("INSERT INTO rs_inno.%1 VALUES (1)").arg(t));
        }
        teste::Sql("CREATE TABLE rs_inno.`com-traco` (id INT) ENGINE=Aria");
        const auto antes = teste::Somas("rs_inno");
        auto op = restaurar("rs_inno", copiaDoZip("inno"), "3");
        QCOMPARE(op->Mostrados.size(), 1);
        QVERIFY(op->Mostrados.first().startsWith("Confirmar"));
        const QStringList aside = reservas("rs_inno");
        QCOMPARE(aside.size(), 1);
        QCOMPARE(teste::Somas(aside.first()), antes);
        QCOMPARE(teste::Linhas("SHOW TABLES FROM rs_inno"), m_tabelas);
    }

    void arquivosAvulsosNoArquivo() {
        // a stray file and a third file of one table among the table files
        const QString pasta = m_dir.filePath("avulsos/t");
        QDir().mkpath(pasta);
        QStringList arquivos;
        for (const QString& n :
             QDir(m_dir.filePath("loja/Backup_Central")).entryList(QDir::Files)) {
            QFile::copy(m_dir.filePath("loja/Backup_Central/" + n), pasta + "/" + n);
            arquivos << pasta + "/" + n;
        }
        QFile leia(pasta + "/leia.txt");
        leia.open(QIODevice::WriteOnly);
        leia.write("notas");
        leia.close();
        QFile::copy(pasta + "/caixa.MYD", pasta + "/caixa.MYI");
        arquivos << pasta + "/leia.txt" << pasta + "/caixa.MYI";
        const QString zip = m_dir.filePath("avulsos/Backup_Central.zip");
        CompactarArquivos(zip, arquivos);
        teste::RecriarBanco("rs_avulsos");
        auto op = restaurar("rs_avulsos", zip, "12");
        QCOMPARE(op->Mostrados.size(), 1);
        QVERIFY(op->Mostrados.first().startsWith("Confirmar"));
        QCOMPARE(teste::Linhas("SHOW TABLES FROM rs_avulsos"), m_tabelas);
    }
};

QTEST_GUILESS_MAIN(TstRestauracao)
#include "tst_restauracao.moc"
