// Faults injected into the backup and the restore: a database server (of this test's own) that
// stops at a chosen point, a destination that cannot be written, a disk that fills up, a log
// that cannot be written. Whatever fails, the operation says so clearly, never reports success,
// leaves no half archive and loses no table.
#include "backup/Backup.h"
#include "base/Pastas.h"
#include "data/TDM.h"
#include "markers/LojasLeram.h"
#include "plataforma/Parada.h"
#include "plataforma/Plataforma.h"
#include "restore/Restauracao.h"
#include "support/BancoTeste.h"
#include "support/BancoVarejo.h"
#include "support/Falhas.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <csignal>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace marvek;
using teste::TOperadorFalha;

namespace {
QByteArray ler(const QString& arquivo) {
    return teste::LerArquivo(arquivo);
}

void gravar(const QString& arquivo, const QByteArray& dados) {
    teste::GravarArquivo(arquivo, dados);
}
} // namespace

class TstConfiabilidadeServidor : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QTemporaryDir m_pastaServidor{QDir::tempPath() + "/mcf-XXXXXX"};
    std::unique_ptr<teste::TServidorProprio> m_servidor;
    QString m_zip; // a sound archive of cf_central for branch 3

    // A central database; with grandes, two tables of 400 kB of incompressible data each.
    void central(const QString& banco, bool grandes) {
        teste::CriarBancoVarejo(banco, {{1, "S"}, {2, "N"}, {3, "N"}, {12, "S"}});
        if (!grandes)
            return;
        for (const char* t : {"grande1", "grande2"}) {
            teste::Sql(QString("CREATE TABLE %1.%2 (id INT PRIMARY KEY, dados BLOB, "
                               "lojas_leram VARCHAR(60)) ENGINE=MyISAM")
                           .arg(banco, t));
            for (int lote = 0; lote < 8; ++lote) {
                QStringList linhas;
                for (int i = 0; i < 50; ++i) {
                    QByteArray b(1000, '\0');
                    QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(b.data()),
                                                          250);
                    linhas << QString("(%1, UNHEX('%2'), '*')")
                                  .arg(lote * 50 + i)
                                  .arg(QString::fromLatin1(b.toHex()));
                }
                teste::Sql(QString("INSERT INTO %1.%2 VALUES ").arg(banco, t) + linhas.join(','));
            }
        }
    }

    // What the central database must hold after a backup for branch 3 that stopped after its
    // first k tables: a copy taken before, with the marker appended in those tables.
    void referencia(const QString& banco, const QString& ref, int k) {
        teste::CopiarBanco(banco, ref);
        const QString m = CodigoLojasLeram(3);
        const QStringList tabelas = teste::Linhas("SHOW TABLES FROM " + banco);
        for (int i = 0; i < k && i < tabelas.size(); ++i) {
            const QString& t = tabelas.at(i);
            if (teste::Linhas("SHOW COLUMNS FROM " + ref + "." + t + " LIKE 'lojas_leram'")
                    .isEmpty())
                continue;
            teste::Sql("UPDATE " + ref + "." + t +
                       " SET lojas_leram = CONCAT(coalesce(lojas_leram,''),'" + m +
                       "') where coalesce(lojas_leram,'') not like '%" + m + "%'");
        }
    }

    // When the point of failure depends on timing (the archive is written while the tables
    // are copied), the log says which marker appends ran: they must be the first tables with
    // the column, in the table order, and exactly those must have changed.
    void marcasDoLog(const QString& banco, const QString& ref, const TOperadorFalha& op) {
        QStringList comColuna;
        for (const QString& t : teste::Linhas("SHOW TABLES FROM " + ref))
            if (!teste::Linhas("SHOW COLUMNS FROM " + ref + "." + t + " LIKE 'lojas_leram'")
                     .isEmpty())
                comColuna << t;
        QStringList marcadas;
        for (const QString& l : op.LinhasLog()) {
            if (!l.startsWith("UPDATE "))
                continue;
            const QString t = l.section(' ', 1, 1);
            marcadas << t;
            teste::Sql("UPDATE " + ref + "." + t + l.mid(7 + t.size()));
        }
        QCOMPARE(marcadas, comColuna.mid(0, marcadas.size()));
        Q_UNUSED(banco);
    }

    void conferirCentral(const QString& banco, const QString& ref) {
        QCOMPARE(teste::Somas(banco), teste::Somas(ref));
        for (const QString& t : teste::Linhas("SHOW TABLES FROM " + banco))
            QCOMPARE(teste::Linhas("CHECK TABLE " + banco + "." + t).last().section('|', 3),
                     QString("OK"));
    }

    void backup(TOperadorFalha& op, const QString& banco, const QString& destino) {
        teste::ArquivoCentral(op, banco, 3, destino);
    }

    static void semArquivoFinal(const QString& destino) {
        for (const QString& n : teste::ArvoreDePasta(destino))
            QVERIFY2(!n.contains("Backup_Central"), qPrintable(destino + ": " + n));
    }

    static QString unicoErro(const TOperadorFalha& op, const QString& tipo) {
        const QStringList erros = op.Mostrados.filter(tipo + ": ");
        if (erros.size() != 1 || op.Mostrados.filter("Informar").size() != 0)
            return "mostrados: " + op.Mostrados.join(" / ");
        return erros.first();
    }

    // An installation of its own tables, in an older shape than the central database's.
    QMap<QString, QString> instalacao(const QString& banco) {
        teste::CriarBancoVarejo(banco, {{1, "S"}, {3, "N"}});
        teste::Sql("UPDATE " + banco + ".caixa SET valor = valor + 500");
        teste::Sql("CREATE TABLE " + banco + ".so_da_loja (id INT PRIMARY KEY, nota TEXT)");
        teste::Sql("INSERT INTO " + banco + ".so_da_loja VALUES (1, 'nota'), (2, NULL)");
        teste::EscreverIni(m_dir.path(), banco, "3");
        return teste::Somas(banco);
    }

    QString copiaDoZip(const QString& pasta) {
        QDir().mkpath(m_dir.filePath(pasta));
        const QString destino = m_dir.filePath(pasta + "/Backup_Central.zip");
        QFile::remove(destino);
        QFile::copy(m_zip, destino);
        return destino;
    }

    void restaurar(TOperadorFalha& op, const QString& banco, const QString& arquivo) {
        TDM dm;
        dm.Conexao.Usuario = "root";
        dm.Conexao.Banco = banco;
        op.Backup = false;
        op.ArquivoZip = arquivo;
        op.Resultado = ExecutarRestauracao(op, dm);
    }

    static QStringList reservas(const QString& banco) {
        return teste::Linhas("SHOW DATABASES LIKE '" + banco + "\\_Backup\\_%'");
    }

private slots:
    void initTestCase() {
        QVERIFY(m_pastaServidor.isValid());
        m_servidor = std::make_unique<teste::TServidorProprio>(m_pastaServidor.path());
        m_servidor->Iniciar();
        DefinirPastaDoPrograma(m_dir.path());
        central("cf_central", true);
        TOperadorFalha op(m_dir.filePath("LOG_central.txt"));
        m_zip = teste::ArquivoCentral(op, "cf_central", 3, m_dir.filePath("central"));
        QVERIFY2(!m_zip.isEmpty(), qPrintable(op.Mostrados.join('\n')));
    }

    void cleanupTestCase() {
        if (m_servidor)
            m_servidor->Parar();
    }

    // ---- backup ----

    void backupServidorParaDepoisDeCincoTabelas() {
        central("cf_bk_para", false);
        referencia("cf_bk_para", "cf_bk_para_ref", 5);
        TOperadorFalha op(m_dir.filePath("LOG_bk_para.txt"));
        op.Armar();
        op.AoProcessar = [&](int n) {
            if (n == 5)
                m_servidor->Parar();
        };
        const QString destino = m_dir.filePath("bk_para");
        backup(op, "cf_bk_para", destino);
        m_servidor->Iniciar();

        const QString erro = unicoErro(op, "ErroPadrao");
        QVERIFY2(erro.startsWith("ErroPadrao: Ocorreu o seguinte erro: \r\r") &&
                     teste::ErroDeConexao(erro),
                 qPrintable(erro));
        QCOMPARE(op.Resultado.desfecho, TResultado::Falhou);
        semArquivoFinal(destino);
        conferirCentral("cf_bk_para", "cf_bk_para_ref");
    }

    void backupDestinoSomenteLeitura() {
        central("cf_bk_ro", false);
        referencia("cf_bk_ro", "cf_bk_ro_ref", 0);
        const QString destino = m_dir.filePath("bk_ro");
        std::unique_ptr<teste::TDiscoPequeno> disco;
        if (::geteuid() == 0) {
            disco = std::make_unique<teste::TDiscoPequeno>(destino, 1 << 20, true);
            QVERIFY2(disco->Montado(), "root could not mount a read-only tmpfs");
        } else {
            QDir().mkpath(destino);
            QVERIFY(::chmod(QFile::encodeName(destino).constData(), 0555) == 0);
        }
        TOperadorFalha op(m_dir.filePath("LOG_bk_ro.txt"));
        backup(op, "cf_bk_ro", destino);
        const QString erro = unicoErro(op, "ErroPadrao");
        QVERIFY2(erro.startsWith("ErroPadrao: Ocorreu o seguinte erro: \r\r") &&
                     erro.contains(destino + "/"),
                 qPrintable(erro));
        semArquivoFinal(destino);
        marcasDoLog("cf_bk_ro", "cf_bk_ro_ref", op);
        conferirCentral("cf_bk_ro", "cf_bk_ro_ref");
    }

    void backupDiscoCheioNoArquivo() {
        central("cf_bk_cheio", true);
        referencia("cf_bk_cheio", "cf_bk_cheio_ref", 0);
        // Room for the table copies (each file takes whole pages) and 128 kB more: the
        // archive (about 0.8 MB of incompressible data) cannot be written whole.
        const QString dados = teste::Valor("SELECT @@datadir") + "/cf_bk_cheio";
        qint64 copias = 0;
        for (const QFileInfo& f : QDir(dados).entryInfoList({"*.frm", "*.MYD"}, QDir::Files))
            copias += (f.size() + 4095) / 4096 * 4096;
        const QString destino = m_dir.filePath("bk_cheio");
        TOperadorFalha op(m_dir.filePath("LOG_bk_cheio.txt"));
        {
            teste::TDiscoPequeno disco(destino, copias + 128 * 1024);
            std::unique_ptr<teste::TLimiteArquivo> limite;
            if (!disco.Montado()) {
                qInfo("no tmpfs here: the file size limit stands for the full disk");
                QDir().mkpath(destino);
                limite = std::make_unique<teste::TLimiteArquivo>(500 * 1024);
            }
            backup(op, "cf_bk_cheio", destino);
            semArquivoFinal(destino);
        }
        const QString erro = unicoErro(op, "ErroPadrao");
        QVERIFY2(erro.startsWith("ErroPadrao: Ocorreu o seguinte erro: \r\r") &&
                     erro.contains(destino + "/"),
                 qPrintable(erro));
        marcasDoLog("cf_bk_cheio", "cf_bk_cheio_ref", op);
        conferirCentral("cf_bk_cheio", "cf_bk_cheio_ref");
    }

    void backupLogSemEscrita() {
        central("cf_bk_log", false);
        referencia("cf_bk_log", "cf_bk_log_ref", 1); // caixa's update runs before its log line
        QFile comum(m_dir.filePath("arquivo_comum"));
        QVERIFY(comum.open(QIODevice::WriteOnly));
        comum.close();
        const QString log = m_dir.filePath("arquivo_comum/LOG_MARVEK.txt");
        TOperadorFalha op(log);
        const QString destino = m_dir.filePath("bk_log");
        backup(op, "cf_bk_log", destino);
        const QString erro = unicoErro(op, "ErroPadrao");
        QVERIFY2(erro.startsWith("ErroPadrao: Ocorreu o seguinte erro: \r\rCannot create file \"" +
                                 log + "\""),
                 qPrintable(erro));
        semArquivoFinal(destino);
        conferirCentral("cf_bk_log", "cf_bk_log_ref");
    }

    // ---- stops ----

    // A stop asked for in the middle of a backup (a signal, the window closed) unwinds it: one
    // log line, the previous archive byte for byte, no copy nor part left, the locks free.
    void paradaNoMeioDoBackup() {
        central("cf_bk_sinal", false);
        const QString destino = m_dir.filePath("sinal");
        TOperadorFalha primeira(m_dir.filePath("LOG_sinal0.txt"));
        backup(primeira, "cf_bk_sinal", destino);
        const QByteArray anterior = ler(destino + "/Backup_Central.zip");
        QVERIFY(!anterior.isEmpty());
        TOperadorFalha op(m_dir.filePath("LOG_sinal.txt"));
        int marcas = 0;
        op.AoGravarLog = [&](const QString& l) {
            if (l.startsWith("UPDATE ") && ++marcas == 3)
                PedirParada(SIGTERM);
        };
        backup(op, "cf_bk_sinal", destino);
        EsquecerParada();
        QCOMPARE(op.Resultado.desfecho, TResultado::Interrompida);
        QCOMPARE(op.LinhasLog().filter("Interrompido pelo sinal SIGTERM").size(), 1);
        QCOMPARE(ler(destino + "/Backup_Central.zip"), anterior);
        QCOMPARE(QDir(destino + "/Temp_Backup").entryList(QDir::Files | QDir::Hidden),
                 QStringList({".marvek"}));
        QCOMPARE(QDir(destino).entryList({".Backup_Central.zip.*"},
                                         QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
        TOperadorFalha depois(m_dir.filePath("LOG_sinal2.txt"));
        backup(depois, "cf_bk_sinal", destino);
        QCOMPARE(depois.Resultado.desfecho, TResultado::Concluida);
    }

    // What a killed run leaves is recognised by its name, owner and lock at the next run and
    // removed with a log line; what a run in progress holds stays.
    void sobrasDeUmaExecucaoMorta() {
        central("cf_sobras", false);
        const QString destino = m_dir.filePath("sobras");
        gravar(destino + "/.Backup_Central.zip.partes-abc123/0", "x");
        gravar(destino + "/.Backup_Central.zip.Xy12Ab", "PK");
        TOperadorFalha bk(m_dir.filePath("LOG_sobras.txt"));
        backup(bk, "cf_sobras", destino);
        QCOMPARE(bk.Resultado.desfecho, TResultado::Concluida);
        QCOMPARE(bk.LinhasLog().filter("Removido o que uma execução interrompida deixou").size(),
                 2);
        QCOMPARE(QDir(destino).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList({".marvek-backup.lock", "Backup_Central.zip", "Temp_Backup"}));

        const QString arquivo = copiaDoZip("sobras_rs");
        const QString pasta = QFileInfo(arquivo).absolutePath();
        gravar(pasta + "/.marvek-extracao-morta1/caixa.MYD", "x");
        QVERIFY(QDir().mkpath(pasta + "/.marvek-extracao-viva01"));
        TTravaArquivo viva;
        QVERIFY(viva.TravarPasta(pasta + "/.marvek-extracao-viva01"));
        teste::Sql("CREATE DATABASE IF NOT EXISTS marvek_verificacao_999999");
        // a load into it that the kill cut short: a part file the server does not know
        gravar(teste::Valor("SELECT @@datadir") +
                   "marvek_verificacao_999999/filial.MYD.marvek-parte",
               "x");
        const auto antes = instalacao("cf_sobras_loja");
        TOperadorFalha rs(m_dir.filePath("LOG_sobras_rs.txt"));
        restaurar(rs, "cf_sobras_loja", arquivo);
        QVERIFY2(rs.Resultado.Sucesso(), qPrintable(rs.Mostrados.join(" / ")));
        QVERIFY(!QFileInfo::exists(pasta + "/.marvek-extracao-morta1"));
        QVERIFY(QFileInfo::exists(pasta + "/.marvek-extracao-viva01"));
        QCOMPARE(teste::Linhas("SHOW DATABASES LIKE 'marvek\\_verificacao\\_%'"), QStringList());
        QCOMPARE(rs.LinhasLog().filter("Removido o que uma execução interrompida deixou").size(),
                 2);
        QVERIFY(teste::TabelasPerdidas("cf_sobras_loja", antes).isEmpty());
    }

    // A load cut short between a table's files and its index leaves a .frm and a .MYD without
    // their .MYI: the next set-aside rebuilds the index and moves the table, nothing is lost.
    void tabelaInterrompidaNaCarga() {
        const auto antes = instalacao("cf_meia");
        teste::Sql("FLUSH TABLES cf_meia.caixa");
        QVERIFY(QFile::remove(teste::Valor("SELECT @@datadir") + "cf_meia/caixa.MYI"));
        TOperadorFalha op(m_dir.filePath("LOG_meia.txt"));
        restaurar(op, "cf_meia", copiaDoZip("meia"));
        QVERIFY2(op.Resultado.Sucesso(), qPrintable(op.Mostrados.join(" / ")));
        QVERIFY(op.LinhasLog().contains(
            QString::fromUtf8("Tabela interrompida na carga, índice reconstruído: caixa")));
        const QStringList p = teste::TabelasPerdidas("cf_meia", antes);
        QVERIFY2(p.isEmpty(), qPrintable(p.join("\n")));
    }

    // ---- restore ----

    void restauracaoServidorParaAntesDaSeparacao() {
        const auto antes = instalacao("cf_rs_ini");
        TOperadorFalha op(m_dir.filePath("LOG_rs_ini.txt"));
        op.AoGravarLog = [&](const QString& l) {
            if (l == "Inicio TratarDataBases")
                m_servidor->Parar();
        };
        restaurar(op, "cf_rs_ini", copiaDoZip("rs_ini"));
        m_servidor->Iniciar();
        const QString erro = unicoErro(op, "MostrarErro");
        QVERIFY2(erro.startsWith("MostrarErro: Ocorreu o seguinte erro: \r\r") &&
                     teste::ErroDeConexao(erro),
                 qPrintable(erro));
        QCOMPARE(op.LinhasLog().mid(3),
                 QStringList({"Inicio TratarDataBases", "Fim TratarDatabases", "Fim Restore"}));
        {
            const QStringList p = teste::TabelasPerdidas("cf_rs_ini", antes);
            QVERIFY2(p.isEmpty(), qPrintable(p.join("\n")));
        }
        QCOMPARE(teste::Somas("cf_rs_ini"), antes);
    }

    void restauracaoServidorParaNoMeioDaSeparacao() {
        const auto antes = instalacao("cf_rs_meio");
        // Another session holds "movment": the set-aside's RENAME of it waits; while it waits,
        // the server stops.
        TDM trava;
        trava.AbrirConexao("localhost", "cf_rs_meio", "root", "", 3306);
        trava.ExecutarComando("LOCK TABLES movment WRITE");
        std::atomic<bool> parou{false};
        std::thread vigia([&] {
            TDM dm;
            dm.AbrirConexao("localhost", QString(), "root", "", 3306);
            const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(120);
            while (std::chrono::steady_clock::now() < limite) {
                const qlonglong esperando =
                    dm.ConsultarValor(
                          "SELECT COUNT(*) FROM information_schema.PROCESSLIST "
                          "WHERE INFO LIKE 'RENAME TABLES `cf_rs_meio`.`movment` %' AND "
                          "STATE LIKE '%metadata lock%'",
                          0)
                        .toLongLong();
                if (esperando > 0) {
                    dm.Conexao.Fechar();
                    m_servidor->Parar();
                    parou = true;
                    return;
                }
            }
        });
        TOperadorFalha op(m_dir.filePath("LOG_rs_meio.txt"));
        restaurar(op, "cf_rs_meio", copiaDoZip("rs_meio"));
        vigia.join();
        QVERIFY(parou);
        m_servidor->Iniciar();

        const QString erro = unicoErro(op, "MostrarErro");
        QVERIFY2(erro.startsWith("MostrarErro: Ocorreu o seguinte erro: \r\r") &&
                     teste::ErroDeConexao(erro),
                 qPrintable(erro));
        {
            const QStringList p = teste::TabelasPerdidas("cf_rs_meio", antes);
            QVERIFY2(p.isEmpty(), qPrintable(p.join("\n")));
        }
        // it did stop half-way: some tables moved, the others still in place
        const QStringList r = reservas("cf_rs_meio");
        QCOMPARE(r.size(), 1);
        const int movidas = teste::Linhas("SHOW TABLES FROM " + r.first()).size();
        const int ficaram = teste::Linhas("SHOW TABLES FROM cf_rs_meio").size();
        QVERIFY2(movidas > 0 && ficaram > 0,
                 qPrintable(QString("%1 %2").arg(movidas).arg(ficaram)));
        QCOMPARE(movidas + ficaram, antes.size());
    }

    void restauracaoServidorParaDuranteAsCargas() {
        const auto antes = instalacao("cf_rs_carga");
        TOperadorFalha op(m_dir.filePath("LOG_rs_carga.txt"));
        op.AoGravarLog = [&](const QString& l) {
            if (l == "Fim TratarDatabases")
                op.Armar();
        };
        op.AoProcessar = [&](int n) {
            if (n == 5)
                m_servidor->Parar();
        };
        restaurar(op, "cf_rs_carga", copiaDoZip("rs_carga"));
        m_servidor->Iniciar();
        const QString erro = unicoErro(op, "ErroPadrao");
        QVERIFY2(erro.startsWith("ErroPadrao: Ocorreu o seguinte erro: \r\r") &&
                     teste::ErroDeConexao(erro),
                 qPrintable(erro));
        QVERIFY(op.Mostrados.filter("Confirmar").isEmpty());
        {
            const QStringList p = teste::TabelasPerdidas("cf_rs_carga", antes);
            QVERIFY2(p.isEmpty(), qPrintable(p.join("\n")));
        }
        // the tables loaded before the stop are sound
        const QStringList carregadas = teste::Linhas("SHOW TABLES FROM cf_rs_carga");
        QVERIFY(!carregadas.isEmpty());
        for (const QString& t : carregadas)
            QCOMPARE(teste::Linhas("CHECK TABLE cf_rs_carga." + t).last().section('|', 3),
                     QString("OK"));
    }

    void restauracaoServidorParaNaLimpeza() {
        const auto antes = instalacao("cf_rs_limpa");
        TOperadorFalha op(m_dir.filePath("LOG_rs_limpa.txt"));
        int codigos = 0;
        op.AoGravarLog = [&](const QString& l) {
            if (l == "Obter Cod. Filial: 3" && ++codigos == 2)
                op.Armar();
        };
        op.AoProcessar = [&](int n) {
            if (n == 2)
                m_servidor->Parar();
        };
        restaurar(op, "cf_rs_limpa", copiaDoZip("rs_limpa"));
        m_servidor->Iniciar();
        // the purge reports its own error; the tables cannot be put on the disk without the
        // server, so no success is said (no closing question)
        QCOMPARE(op.Mostrados.size(), 2);
        QVERIFY2(op.Mostrados.at(0).startsWith("ErroPadrao: Ocorreu o seguinte erro:\r") &&
                     teste::ErroDeConexao(op.Mostrados.at(0)),
                 qPrintable(op.Mostrados.at(0)));
        QVERIFY2(op.Mostrados.at(1).startsWith("ErroPadrao: Ocorreu o seguinte erro: \r\r"),
                 qPrintable(op.Mostrados.at(1)));
        {
            const QStringList p = teste::TabelasPerdidas("cf_rs_limpa", antes);
            QVERIFY2(p.isEmpty(), qPrintable(p.join("\n")));
        }
        // the other branches' rows went as each table was loaded; the purge stopped before the
        // PAF tables were emptied
        QCOMPARE(teste::Linhas("select distinct filial_id from cf_rs_limpa.pedidos"),
                 QStringList({"3"}));
        QCOMPARE(teste::Valor("select count(*) from cf_rs_limpa.paf_req25_r01"), QString("2"));
    }

    void restauracaoDiscoCheioNaExtracao() {
        const auto antes = instalacao("cf_rs_cheio");
        const QString zip = copiaDoZip("rs_cheio");
        TOperadorFalha op(m_dir.filePath("LOG_rs_cheio.txt"));
        {
            // the free space is ample, but no file may pass 200 kB: the large tables' files
            // fail half-way through the extraction
            teste::TLimiteArquivo limite(200 * 1024);
            restaurar(op, "cf_rs_cheio", zip);
        }
        const QString erro = unicoErro(op, "ErroPadrao");
        QVERIFY2(erro.startsWith("ErroPadrao: Ocorreu o seguinte erro: \r\rNão foi possível "
                                 "gravar ") &&
                     erro.contains("/rs_cheio/") && erro.contains("grande"),
                 qPrintable(erro));
        QCOMPARE(teste::ArvoreDePasta(m_dir.filePath("rs_cheio")),
                 QStringList({"Backup_Central.zip"}));
        QCOMPARE(reservas("cf_rs_cheio"), QStringList());
        QCOMPARE(teste::Somas("cf_rs_cheio"), antes);
    }

    void restauracaoSemEspacoParaExtrair() {
        const auto antes = instalacao("cf_rs_espaco");
        const QString pasta = m_dir.filePath("rs_espaco");
        // the archive (about 0.8 MB) fits, its extracted files (about 1 MB) do not
        teste::TDiscoPequeno disco(pasta, 1300 * 1024);
        if (!disco.Montado())
            QSKIP("this process cannot mount a tmpfs; the extraction limit is covered above");
        QVERIFY(QFile::copy(m_zip, pasta + "/Backup_Central.zip"));
        TOperadorFalha op(m_dir.filePath("LOG_rs_espaco.txt"));
        restaurar(op, "cf_rs_espaco", pasta + "/Backup_Central.zip");
        const QString erro = unicoErro(op, "ErroPadrao");
        QVERIFY2(erro.contains("bytes para ser extraído, mas só há"), qPrintable(erro));
        QCOMPARE(teste::ArvoreDePasta(pasta), QStringList({"Backup_Central.zip"}));
        QCOMPARE(reservas("cf_rs_espaco"), QStringList());
        QCOMPARE(teste::Somas("cf_rs_espaco"), antes);
    }
};

QTEST_GUILESS_MAIN(TstConfiabilidadeServidor)
#include "tst_confiabilidade_servidor.moc"
