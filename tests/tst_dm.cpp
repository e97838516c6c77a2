#include "base/EErro.h"
#include "base/Pastas.h"
#include "data/Criptografia.h"
#include "data/TDM.h"
#include "support/BancoTeste.h"

#include "support/Erros.h"
#include <QTemporaryDir>

#include <QtTest>

using namespace marvek;

class TstDM : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    void ini(const QByteArray& dados) {
        QFile f(m_dir.filePath("sistema_qel.ini"));
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(dados);
    }

private slots:
    void initTestCase() {
        teste::RecriarBanco("dm_teste");
        teste::Sql("CREATE TABLE dm_teste.t (id INT PRIMARY KEY, nome VARCHAR(20), "
                   "valor DECIMAL(10,2), quando DATE)");
        teste::Sql(QString::fromUtf8("INSERT INTO dm_teste.t VALUES (1,'um',1.50,'2026-12-08'),"
                                     "(2,NULL,NULL,NULL),(3,'três',3,NULL)"));
        DefinirPastaDoPrograma(m_dir.path());
    }

    void conectarPeloArquivoDaPasta() {
        ini("[IP]\nLOCAL=localhost\nDatabase=dm_teste\nusuario=root\nsenha=\n");
        TDM dm;
        dm.Conectar();
        QVERIFY(dm.Conexao.Aberta());
        QCOMPARE(dm.BancoAtual(), QString("dm_teste"));
        QCOMPARE(dm.Conexao.Porta, 3306);
        QCOMPARE(dm.ConsultarValor("select count(*) from t", 0).toInt(), 3);
    }

    void senhaCifradaEErradaESenhaInvalida() {
        teste::Sql("CREATE USER IF NOT EXISTS 'marvek_u'@'localhost' IDENTIFIED BY 'p@ss w0rd'");
        teste::Sql("GRANT ALL ON dm_teste.* TO 'marvek_u'@'localhost'");
        const QString cifrada = Criptografar("E", QString("p@ss w0rd"), "KZW");
        ini("[ip]\ndatabase=dm_teste\nusuario=marvek_u\nsenha=" + cifrada.toLatin1() + "\n");
        TDM dm;
        dm.Conectar();
        QCOMPARE(dm.ConsultarValor("select current_user()", "").toString(),
                 QString("marvek_u@localhost"));

        ini("[ip]\ndatabase=dm_teste\nusuario=marvek_u\nsenha=" +
            Criptografar("E", "outra", "KZW").toLatin1() + "\n");
        TDM errado;
        QVERIFY(teste::ErroDe([&] { errado.Conectar(); }).contains("Access denied"));
        QVERIFY(!errado.Conexao.Aberta());

        ini("[ip]\ndatabase=dm_teste\nsenha=XYZ1\n");
        TDM invalida;
        QCOMPARE(teste::ErroDe([&] { invalida.Conectar(); }),
                 QString("'$XY' is not a valid integer value"));
        // AbrirConexao never ran: the properties are untouched
        QCOMPARE(invalida.Conexao.Banco, QString());
    }

    void bancoDesconhecidoEServidorInalcancavel() {
        TDM dm;
        QCOMPARE(teste::ErroDe(
                     [&] { dm.AbrirConexao("localhost", "nao_existe_xyz", "root", "", 3306); }),
                 QString("Unknown database 'nao_existe_xyz'"));
        TDM longe;
        const QString erro =
            teste::ErroDe([&] { longe.AbrirConexao("127.0.0.1", "", "root", "", 1); });
        QVERIFY2(erro.contains("Can't connect"), qPrintable(erro));
    }

    void consultarValor() {
        TDM dm;
        dm.AbrirConexao("localhost", "dm_teste", "root", "", 3306);
        // typed values
        QCOMPARE(dm.ConsultarValor("select id from t where id = 1", 0).typeId(),
                 QMetaType::LongLong);
        QCOMPARE(dm.ConsultarValor("select valor from t where id = 1", 0).toDouble(), 1.5);
        QCOMPARE(dm.ConsultarValor("select nome from t where id = 3", "").toString(),
                 QString::fromUtf8("três"));
        // no row and NULL give the default
        QCOMPARE(dm.ConsultarValor("select nome from t where id = 99", "N").toString(),
                 QString("N"));
        QCOMPARE(dm.ConsultarValor("select nome from t where id = 2", "S").toString(),
                 QString("S"));
        QCOMPARE(dm.ConsultarValor("DESCRIBE t lojas_leram", "0").toString(), QString("0"));
        QCOMPARE(dm.ConsultarValor("DESCRIBE t nome", "0").toString(), QString("nome"));
        // several rows: first column of the first row
        QCOMPARE(dm.ConsultarValor("select id, nome from t order by id desc", 0).toInt(), 3);
        // an error keeps the server's text; the next call works
        QCOMPARE(teste::ErroDe([&] { dm.ConsultarValor("select x from nao_existe", 0); }),
                 QString("Table 'dm_teste.nao_existe' doesn't exist"));
        QVERIFY(!dm.TentarConsultarValor("select x from nao_existe", 0));
        QCOMPARE(dm.TentarConsultarValor("select 8", 0), QVariant(8));
        QCOMPARE(dm.ConsultarValor("select 7", 0).toInt(), 7);
    }

    void executarComando() {
        TDM dm;
        dm.AbrirConexao("localhost", "dm_teste", "root", "", 3306);
        QCOMPARE(dm.ExecutarComando("UPDATE t SET nome = nome WHERE id = 99"), 0);
        QCOMPARE(dm.ExecutarComando("UPDATE t SET valor = 9 WHERE id IN (1,2)"), 2);
        QVERIFY(!dm.TentarExecutarComando("UPDATE nao_existe SET a = 1"));
        QCOMPARE(dm.TentarExecutarComando("UPDATE t SET valor = 9 WHERE id IN (1,2)"), 0);
        QCOMPARE(teste::ErroDe([&] { dm.ExecutarComando("TRUNCATE nao_existe"); }),
                 QString("Table 'dm_teste.nao_existe' doesn't exist"));
        // a statement that returns rows through the executor leaves the connection usable
        dm.ExecutarComando("CHECK TABLE t");
        QCOMPARE(dm.ConsultarValor("select 1", 0).toInt(), 1);
    }

    void guardasDeTravaEDeRascunho() {
        TDM dm;
        dm.AbrirConexao("localhost", "dm_teste", "root", "", 3306);
        auto existe = [&] {
            return dm
                .ConsultarValor("SELECT COUNT(*) FROM information_schema.SCHEMATA WHERE "
                                "SCHEMA_NAME = 'dm_rascunho'",
                                0)
                .toInt();
        };
        // an error inside the scope: the lock is given back, the scratch database dropped
        QVERIFY(teste::ErroDe([&] {
                    TTravaTabelas trava(dm, "LOCK TABLES t WRITE");
                    dm.ExecutarComando("UPDATE nao_existe SET a = 1");
                }).contains("not locked"));
        QCOMPARE(dm.ConsultarValor("SELECT COUNT(*) FROM mysql.db", -1).toInt() >= 0, true);
        QCOMPARE(teste::ErroDe([&] {
                     TBancoRascunho rascunho(dm, "dm_rascunho");
                     QCOMPARE(existe(), 1);
                     throw EErro("falhou");
                 }),
                 QString("falhou"));
        QCOMPARE(existe(), 0);
        // the normal path gives back at once, and says when it cannot
        TTravaTabelas trava(dm, "LOCK TABLES t READ");
        trava.Liberar();
        QCOMPARE(dm.ConsultarValor("SELECT COUNT(*) FROM mysql.db", -1).toInt() >= 0, true);
        TBancoRascunho rascunho(dm, "dm_rascunho");
        dm.ExecutarComando("DROP DATABASE dm_rascunho");
        QVERIFY(!teste::ErroDe([&] { rascunho.Remover(); }).isEmpty());
    }

    void abrirConsulta() {
        TDM dm;
        dm.AbrirConexao("localhost", "dm_teste", "root", "", 3306);
        auto vazia = dm.AbrirConsulta("select * from t where id = 99");
        QVERIFY(vazia);
        QCOMPARE(vazia->RecordCount(), 0);
        QVERIFY(vazia->Eof());
        auto c = dm.AbrirConsulta("select id, nome from t order by id");
        QCOMPARE(c->RecordCount(), 3);
        QStringList visto;
        for (; !c->Eof(); c->Proximo())
            visto << c->Campo(0).toString() + "=" + c->Campo(1).toString();
        QCOMPARE(visto, QStringList({"1=um", "2=", "3=" + QString::fromUtf8("três")}));
        QCOMPARE(teste::ErroDe([&] { dm.AbrirConsulta("select"); }).left(36),
                 QString("You have an error in your SQL syntax"));
    }

    void abreSobDemandaETrocaDeBanco() {
        TDM dm;
        dm.Conexao.Servidor = "localhost";
        dm.Conexao.Usuario = "root";
        dm.Conexao.Banco = "dm_teste";
        QVERIFY(!dm.Conexao.Aberta());
        QCOMPARE(dm.ConsultarValor("select count(*) from t", 0).toInt(), 3);
        QVERIFY(dm.Conexao.Aberta());
        dm.Conexao.MudarBanco("mysql");
        QCOMPARE(dm.BancoAtual(), QString("mysql"));
        QVERIFY(!teste::ErroDe([&] { dm.Conexao.MudarBanco("nao_existe_abc"); }).isEmpty());
        QCOMPARE(dm.Conexao.Banco, QString("mysql"));
        dm.Conexao.MudarBanco("dm_teste");
        // a connection the server dropped stays lost (its locks went with it) until a new run
        // takes it up again on purpose
        const QString id = dm.ConsultarValor("select connection_id()", 0).toString();
        teste::Sql("KILL " + id);
        QVERIFY(!teste::ErroDe([&] { dm.ConsultarValor("select 1", 0); }).isEmpty());
        QVERIFY(dm.Conexao.Perdida());
        QVERIFY(teste::ErroDe([&] { dm.ExecutarComando("select 1"); }).contains("foi perdida"));
        QVERIFY(teste::ErroDe([&] { dm.ConsultarValor("select 1", 0); }).contains("foi perdida"));
        dm.Conexao.Retomar();
        QCOMPARE(dm.ConsultarValor("select count(*) from t", 0).toInt(), 3);
        QVERIFY(dm.ConsultarValor("select connection_id()", 0).toString() != id);
    }
};

QTEST_GUILESS_MAIN(TstDM)
#include "tst_dm.moc"
