#include "base/EErro.h"
#include "data/TDM.h"
#include "support/BancoTeste.h"

#include "support/Erros.h"
#include <QTemporaryDir>

#include <QtTest>

using namespace marvek;

class TstContratoServidor : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    TDM m_dm;

private slots:
    void initTestCase() {
        teste::RecriarBanco("cs_origem");
        teste::RecriarBanco("cs_destino");
        teste::Sql("CREATE TABLE cs_origem.caixa (id INT AUTO_INCREMENT PRIMARY KEY, "
                   "filial_id INT, texto VARCHAR(40), lojas_leram VARCHAR(60), "
                   "KEY ix_filial (filial_id), UNIQUE KEY ux_texto (texto)) ENGINE=MyISAM");
        QString valores;
        for (int i = 0; i < 500; ++i)
            valores += QStringLiteral("%1(%2,'linha %3','*2')").arg(i ? "," : "").arg(i % 7).arg(i);
        teste::Sql("INSERT INTO cs_origem.caixa (filial_id, texto, lojas_leram) VALUES " + valores);
        teste::Sql("CREATE TABLE cs_origem.inno (id INT) ENGINE=InnoDB");
        m_dm.AbrirConexao("localhost", "cs_origem", "root", "", 3306);
    }

    void copiaECargaDeIdaEVolta() {
        const QString pasta = m_dir.filePath("Temp_Backup");
        QVERIFY(QDir().mkpath(pasta));
        m_dm.BackupTables("caixa", pasta + "/");
        QVERIFY(QFile::exists(pasta + "/caixa.frm"));
        QVERIFY(QFile::exists(pasta + "/caixa.MYD"));
        QVERIFY(!QFile::exists(pasta + "/caixa.MYI"));
        // the lock of the copy is gone
        QCOMPARE(m_dm.ExecutarComando("UPDATE caixa SET texto = texto WHERE id = 1"), 0);

        m_dm.Conexao.MudarBanco("cs_destino");
        QCOMPARE(m_dm.RestoreTables("caixa", pasta), QString("caixa"));
        QCOMPARE(teste::Checksum("cs_destino", "caixa"), teste::Checksum("cs_origem", "caixa"));
        QCOMPARE(teste::Linhas("CHECK TABLE cs_destino.caixa").last().section('|', 3),
                 QString("OK"));
        QCOMPARE(teste::Linhas("SHOW INDEX FROM cs_destino.caixa").size(), 3);
        QCOMPARE(teste::Valor("select count(*) from cs_destino.caixa where filial_id = 3"),
                 QString("71"));
        // the table is writable afterwards
        QCOMPARE(m_dm.ExecutarComando("UPDATE caixa SET lojas_leram = 'X'"), 500);

        // a table that exists is refused and left as it was
        const QString antes = teste::Checksum("cs_destino", "caixa");
        QCOMPARE(teste::ErroDe([&] { m_dm.RestoreTables("caixa", pasta); }),
                 QString("Table 'caixa' already exists"));
        QCOMPARE(teste::Checksum("cs_destino", "caixa"), antes);
    }

    void nomeDoArquivoDecideONomeDaTabela() {
        const QString pasta = m_dir.filePath("maiusculas");
        QVERIFY(QDir().mkpath(pasta));
        m_dm.Conexao.MudarBanco("cs_origem");
        m_dm.BackupTables("caixa", pasta);
        QFile::rename(pasta + "/caixa.frm", pasta + "/filial.frm");
        QFile::rename(pasta + "/caixa.MYD", pasta + "/filial.MYD");
        m_dm.Conexao.MudarBanco("cs_destino");
        QCOMPARE(m_dm.RestoreTables("FILIAL", pasta + "/"), QString("filial"));
        QCOMPARE(teste::Valor("select count(*) from cs_destino.filial"), QString("500"));
    }

    void arquivosQueFaltam() {
        const QString pasta = m_dir.filePath("vazia");
        QVERIFY(QDir().mkpath(pasta));
        m_dm.Conexao.MudarBanco("cs_destino");
        const QString erro = teste::ErroDe([&] { m_dm.RestoreTables("pagar", pasta); });
        QVERIFY2(erro.contains("pagar.frm") && erro.contains(pasta), qPrintable(erro));
        QCOMPARE(teste::Linhas("SHOW TABLES FROM cs_destino LIKE 'pagar'").size(), 0);

        // a definition without its data
        QFile f(pasta + "/pagar.frm");
        f.open(QIODevice::WriteOnly);
        f.write("lixo");
        f.close();
        QVERIFY(!teste::ErroDe([&] { m_dm.RestoreTables("pagar", pasta); }).isEmpty());

        // damaged files: the load fails and leaves nothing behind in the database
        QFile d(pasta + "/pagar.MYD");
        d.open(QIODevice::WriteOnly);
        d.write("lixo tambem");
        d.close();
        const QString dano = teste::ErroDe([&] { m_dm.RestoreTables("pagar", pasta); });
        QVERIFY(!dano.isEmpty());
        const QString dados = m_dm.PastaDeDados();
        QVERIFY(!QFile::exists(dados + "cs_destino/pagar.frm"));
        QVERIFY(!QFile::exists(dados + "cs_destino/pagar.MYD"));
    }

    void tabelaQueNaoPodeSerCopiada() {
        const QString pasta = m_dir.filePath("inno");
        QVERIFY(QDir().mkpath(pasta));
        m_dm.Conexao.MudarBanco("cs_origem");
        const QString erro = teste::ErroDe([&] { m_dm.BackupTables("inno", pasta); });
        QVERIFY2(erro.contains("inno"), qPrintable(erro));
        QVERIFY(!teste::ErroDe([&] { m_dm.BackupTables("nao_existe", pasta); }).isEmpty());
        // no lock left behind
        QCOMPARE(m_dm.ExecutarComando("UPDATE caixa SET texto = texto WHERE id = 1"), 0);
        const QString destinoRuim = m_dir.filePath("nao/existe");
        QVERIFY(
            teste::ErroDe([&] { m_dm.BackupTables("caixa", destinoRuim); }).contains("caixa.frm"));
    }
};

QTEST_GUILESS_MAIN(TstContratoServidor)
#include "tst_contratoservidor.moc"
