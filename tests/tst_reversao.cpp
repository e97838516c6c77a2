#include "backup/Backup.h"
#include "base/Pastas.h"
#include "data/TDM.h"
#include "restore/Restauracao.h"
#include "restore/Reversao.h"
#include "restore/TratarDataBases.h"
#include "support/BancoTeste.h"
#include "support/BancoVarejo.h"
#include "support/TOperadorGravador.h"

#include <QMap>
#include <QTemporaryDir>
#include <QtTest>

using namespace marvek;
using teste::TOperadorGravador;

namespace {
// The checksum of every table of a database, by name.
QMap<QString, QString> somas(const QString& banco) {
    QMap<QString, QString> r;
    for (const QString& t : teste::Linhas("SHOW TABLES FROM " + banco))
        r.insert(t, teste::Checksum(banco, t));
    return r;
}

QStringList reservas(const QString& banco) {
    return teste::Linhas("SHOW DATABASES LIKE '" + banco + "\\_Backup\\_%'");
}

// Moves every table of one database into another (created here), as an administrator would.
void moverTabelas(const QString& de, const QString& para) {
    teste::Sql("CREATE DATABASE " + para);
    for (const QString& t : teste::Linhas("SHOW TABLES FROM " + de))
        teste::Sql("RENAME TABLE " + de + "." + t + " TO " + para + "." + t);
    teste::Sql("DROP DATABASE " + de);
}
} // namespace

class TstReversao : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_zip;
    QStringList m_central;

    std::unique_ptr<TDM> conexao(const QString& banco) {
        auto dm = std::make_unique<TDM>();
        dm->Conexao.Usuario = "root";
        dm->Conexao.Banco = banco;
        return dm;
    }

    std::unique_ptr<TOperadorGravador> operador(const QString& nome) {
        auto op = std::make_unique<TOperadorGravador>(m_dir.filePath("LOG_" + nome + ".txt"));
        op->Backup = false;
        return op;
    }

    // An installation that differs from the central database: other rows, a table of its own,
    // an InnoDB table (kept in another file layout).
    void instalacao(const QString& banco) {
        teste::CriarBancoVarejo(banco, {{1, "S"}, {3, "N"}});
        teste::Sql("UPDATE " + banco + ".caixa SET valor = valor + 1000, lojas_leram = 'loja'");
        teste::Sql("CREATE TABLE " + banco + ".so_da_loja (id INT PRIMARY KEY, nota TEXT)");
        teste::Sql("INSERT INTO " + banco + ".so_da_loja VALUES (1, 'a'), (2, NULL)");
        teste::Sql("CREATE TABLE " + banco + ".transacional (id INT) ENGINE=InnoDB");
        teste::Sql("INSERT INTO " + banco + ".transacional VALUES (42)");
    }

    // Restores the central archive over the installation and gives the aside database a fixed
    // older name, so that the revert's own set-aside never meets the same name.
    QString restaurarSobre(const QString& banco) {
        teste::EscreverIni(m_dir.path(), banco, "3");
        const QString pasta = m_dir.filePath("r_" + banco);
        QDir().mkpath(pasta);
        QFile::remove(pasta + "/Backup_Central.zip");
        QFile::copy(m_zip, pasta + "/Backup_Central.zip");
        auto dm = conexao(banco);
        auto op = operador(banco);
        op->ArquivoZip = pasta + "/Backup_Central.zip";
        op->Resultado = ExecutarRestauracao(*op, *dm);
        if (op->Mostrados.size() != 1 || !op->Mostrados.first().startsWith("Confirmar"))
            qFatal("restore failed: %s", qPrintable(op->Mostrados.join('\n')));
        const QStringList r = reservas(banco);
        if (r.size() != 1)
            qFatal("expected one aside database, found %s", qPrintable(r.join(',')));
        const QString reserva = banco + "_Backup_01012020_080000";
        moverTabelas(r.first(), reserva);
        return reserva;
    }

private slots:
    void initTestCase() {
        DefinirPastaDoPrograma(m_dir.path());
        teste::ApagarBancos("rv_");
        m_zip = teste::ArquivoCentral("rv_central", {{1, "S"}, {2, "N"}, {3, "N"}}, 3,
                                      m_dir.filePath("central"));
        m_central = teste::Linhas("SHOW TABLES FROM rv_central");
    }

    void nomesDeBancoReserva() {
        QVERIFY(EhBancoReserva("gerente", "gerente_Backup_08122026_153005"));
        QVERIFY(EhBancoReserva("gerente", "gerente_Backup_1_2"));
        QVERIFY(!EhBancoReserva("gerente", "gerente"));
        QVERIFY(!EhBancoReserva("gerente", "gerente_Backup_08122026"));
        QVERIFY(!EhBancoReserva("gerente", "gerente_Backup_08122026_"));
        QVERIFY(!EhBancoReserva("gerente", "gerente_Backup__153005"));
        QVERIFY(!EhBancoReserva("gerente", "gerente_backup_08122026_153005"));
        QVERIFY(!EhBancoReserva("gerente", "outro_Backup_08122026_153005"));
        QVERIFY(!EhBancoReserva("gerente", "gerente2_Backup_08122026_153005"));
        QVERIFY(!EhBancoReserva("gerente", "gerente_Backup_0812-2026_153005"));
        QVERIFY(!EhBancoReserva("gerente", "gerente_Backup_1_2;DROP DATABASE gerente"));
        QVERIFY(!EhBancoReserva("gerente", "gerente_Backup_1_2\n"));
        QVERIFY(!EhBancoReserva("ger ente", "ger ente_Backup_1_2"));
        QVERIFY(!EhBancoReserva("", "_Backup_1_2"));

        // two set-asides within one second take names of their own, of the same form
        const QDateTime agora(QDate(2026, 12, 8), QTime(15, 30, 5));
        teste::ApagarBancos("rv_nome_Backup_");
        TDM dm;
        dm.AbrirConexao("localhost", QString(), "root", "", 3306);
        QCOMPARE(NomeBancoReservaLivre(dm, "rv_nome", agora), "rv_nome_Backup_08122026_153005");
        teste::Sql("CREATE DATABASE rv_nome_Backup_08122026_153005");
        QCOMPARE(NomeBancoReservaLivre(dm, "rv_nome", agora), "rv_nome_Backup_08122026_15300501");
        QVERIFY(EhBancoReserva("rv_nome", NomeBancoReservaLivre(dm, "rv_nome", agora)));
        teste::ApagarBancos("rv_nome_Backup_");
    }

    // Restore over an installation, revert: every table is back with the same checksum, and the
    // restored tables are kept in a new aside database.
    void restaurarEReverter() {
        instalacao("rv_loja");
        const QMap<QString, QString> antes = somas("rv_loja");
        QVERIFY(antes.size() > 30);
        const QString reserva = restaurarSobre("rv_loja");
        QCOMPARE(teste::Linhas("SHOW TABLES FROM rv_loja"), m_central);
        const QMap<QString, QString> restauradas = somas("rv_loja");

        auto dm = conexao("rv_loja");
        auto op = operador("rv_reverter");
        QVERIFY(ReverterRestauracao(*op, *dm, reserva).Sucesso());

        QCOMPARE(somas("rv_loja"), antes);
        for (const QString& t : antes.keys()) {
            const QStringList check = teste::Linhas("CHECK TABLE rv_loja." + t);
            QCOMPARE(check.last().section('|', 3), QString("OK"));
        }
        QCOMPARE(teste::Linhas("SHOW TABLES FROM " + reserva), QStringList());
        const QStringList novas = reservas("rv_loja");
        QCOMPARE(novas.size(), 2);
        const QString nova = novas.first() == reserva ? novas.last() : novas.first();
        QCOMPARE(somas(nova), restauradas);

        QCOMPARE(op->Mostrados.size(), 1);
        QVERIFY(op->Mostrados.first().startsWith("Informar: Restauração revertida com sucesso!"));
        const QStringList log = op->LinhasLog();
        QCOMPARE(log.mid(0, 2), QStringList({"Inicio TratarDataBases", "Fim TratarDatabases"}));
        QStringList renomeacoes = log.mid(2);
        renomeacoes.sort();
        QStringList esperado;
        for (const QString& t : antes.keys())
            esperado << "RENAME TABLES " + reserva + "." + t + " TO rv_loja." + t;
        esperado.sort();
        QCOMPARE(renomeacoes, esperado);
        // the connection stands on the working database again
        QCOMPARE(dm->BancoAtual(), QString("rv_loja"));

        // and forward again: the aside of the restored tables reverts just as well
        const QString de_novo = "rv_loja_Backup_02012020_080000";
        moverTabelas(nova, de_novo);
        auto op2 = operador("rv_reverter2");
        QVERIFY(ReverterRestauracao(*op2, *dm, de_novo).Sucesso());
        QCOMPARE(somas("rv_loja"), restauradas);
    }

    // Names that are not an aside database of the working database, and aside databases that
    // cannot be moved back whole, change nothing at all.
    void recusasNaoMudamNada() {
        instalacao("rv_recusa");
        teste::EscreverIni(m_dir.path(), "rv_recusa", "3");
        const QMap<QString, QString> antes = somas("rv_recusa");
        teste::RecriarBanco("rv_recusa_Backup_1_1"); // empty
        teste::RecriarBanco("rv_recusa_Backup_1_2"); // a table of an odd name: it moves, quoted
        teste::Sql("CREATE TABLE rv_recusa_Backup_1_2.`x; DROP DATABASE rv_recusa` (id INT)");
        teste::RecriarBanco("rv_recusa_Backup_1_3"); // a view
        teste::Sql("CREATE TABLE rv_recusa_Backup_1_3.t (id INT)");
        teste::Sql("CREATE VIEW rv_recusa_Backup_1_3.v AS SELECT id FROM rv_recusa_Backup_1_3.t");
        teste::RecriarBanco("rv_outro_Backup_1_1");
        teste::Sql("CREATE TABLE rv_outro_Backup_1_1.t (id INT)");

        const QList<QPair<QString, QString>> casos = {
            {"rv_recusa", "não é um banco reserva do banco rv_recusa"},
            {"", "não é um banco reserva"},
            {"rv_outro_Backup_1_1", "não é um banco reserva"},
            {"rv_recusa_Backup_9_9", "O banco reserva rv_recusa_Backup_9_9 não existe"},
            {"rv_recusa_Backup_1_1", "não contém tabelas"},
            {"rv_recusa_Backup_1_3", "que não é uma tabela"},
            {"rv_recusa_Backup_1_1; DROP DATABASE rv_recusa", "não é um banco reserva"},
            {"rv_recusa_Backup_1_1 ", "não é um banco reserva"},
            {"RV_RECUSA_Backup_1_1", "não é um banco reserva"},
        };
        for (const auto& [nome, motivo] : casos) {
            auto dm = conexao("rv_recusa");
            auto op = operador("rv_recusa");
            QVERIFY2(!ReverterRestauracao(*op, *dm, nome).Sucesso(), qPrintable(nome));
            QCOMPARE(op->Mostrados.size(), 1);
            QVERIFY2(
                op->Mostrados.first().startsWith("ErroPadrao: Ocorreu o seguinte erro: \r\r") &&
                    op->Mostrados.first().contains(motivo),
                qPrintable(nome + ": " + op->Mostrados.first()));
            QCOMPARE(op->LinhasLog(), QStringList());
        }
        QCOMPARE(somas("rv_recusa"), antes);
        QCOMPARE(reservas("rv_recusa"), QStringList({"rv_recusa_Backup_1_1", "rv_recusa_Backup_1_2",
                                                     "rv_recusa_Backup_1_3"}));
        QCOMPARE(teste::Linhas("SHOW TABLES FROM rv_outro_Backup_1_1"), QStringList({"t"}));

        auto dm = conexao("rv_recusa");
        auto op = operador("rv_recusa");
        QVERIFY2(ReverterRestauracao(*op, *dm, "rv_recusa_Backup_1_2").Sucesso(),
                 qPrintable(op->Mostrados.join(" / ")));
        QCOMPARE(teste::Linhas("SHOW TABLES FROM rv_recusa"),
                 QStringList({"x; DROP DATABASE rv_recusa"}));
    }

    // A statement that fails half-way: the tables already moved stay in the working database,
    // the others in their aside database, the tables set aside in the new one. None is lost.
    void falhaNoMeioNaoPerdeTabelas() {
        instalacao("rv_meio");
        const QMap<QString, QString> antes = somas("rv_meio");
        const QString reserva = restaurarSobre("rv_meio");
        const QMap<QString, QString> restauradas = somas("rv_meio");

        // another session holds the table "nlanc" of the aside database: its move times out
        TDM trava;
        trava.AbrirConexao("localhost", reserva, "root", "", 3306);
        trava.ExecutarComando("LOCK TABLES nlanc WRITE");
        EsperaPorTrava() = 1;
        auto dm = conexao("rv_meio");
        auto op = operador("rv_meio");
        QVERIFY(!ReverterRestauracao(*op, *dm, reserva).Sucesso());
        EsperaPorTrava() = 120;
        trava.ExecutarComando("UNLOCK TABLES");

        QCOMPARE(op->Mostrados.size(), 1);
        QVERIFY2(op->Mostrados.first().startsWith(
                     "ErroPadrao: Ocorreu o seguinte erro: \r\rOutro programa mantém travada "
                     "uma tabela de que o comando \"RENAME TABLES `" +
                     reserva + "`.`nlanc`") &&
                     op->Mostrados.first().contains("esperou 1 s"),
                 qPrintable(op->Mostrados.first()));
        QCOMPARE(op->LinhasLog().last(), "RENAME TABLES " + reserva + ".nlanc TO rv_meio.nlanc");

        QMap<QString, QString> depois = somas("rv_meio");
        for (const QString& t : depois.keys())
            QVERIFY2(t < "nlanc", qPrintable(t));
        const QMap<QString, QString> ficaram = somas(reserva);
        for (auto i = ficaram.begin(); i != ficaram.end(); ++i) {
            QVERIFY(!depois.contains(i.key()));
            depois.insert(i.key(), i.value());
        }
        QCOMPARE(depois, antes);
        QStringList novas = reservas("rv_meio");
        novas.removeAll(reserva);
        QCOMPARE(novas.size(), 1);
        QCOMPARE(somas(novas.first()), restauradas);

        // the same command again finishes the way back, without a third aside database
        auto outra = operador("rv_meio");
        QVERIFY(ReverterRestauracao(*outra, *conexao("rv_meio"), reserva).Sucesso());
        QCOMPARE(outra->LinhasLog().first(), "Retomando a reversão de " + reserva);
        QCOMPARE(somas("rv_meio"), antes);
        QCOMPARE(somas(novas.first()), restauradas);
        QCOMPARE(reservas("rv_meio").size(), 2);
        QCOMPARE(teste::Valor("SELECT SCHEMA_COMMENT FROM information_schema.SCHEMATA WHERE "
                              "SCHEMA_NAME = '" +
                              novas.first() + "'"),
                 QString());
    }
};

QTEST_GUILESS_MAIN(TstReversao)
#include "tst_reversao.moc"
