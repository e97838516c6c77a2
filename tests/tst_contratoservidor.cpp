#include "base/EErro.h"
#include "base/Identificador.h"
#include "base/NomesDeArquivo.h"
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
    // The statement an InnoDB table of an archive is created from: the server's own passes;
    // anything that would read elsewhere, hide a second engine or a second statement does not.
    void definicaoDeTabelaInnoDB() {
        teste::RecriarBanco("cs_def");
        teste::Sql("CREATE TABLE cs_def.t (id INT PRIMARY KEY, `select` VARCHAR(9) DEFAULT "
                   "'a;b' COMMENT 'ENGINE=MyISAM', d DATETIME DEFAULT current_timestamp()) "
                   "ENGINE=InnoDB COMMENT='x\\'y'");
        TDM dm;
        dm.AbrirConexao("localhost", "cs_def", "root", "", 3306);
        const QString boa = dm.DefinicaoDaTabela("t");
        ConferirDefinicao(boa, "t");
        const QString cabeca = "CREATE TABLE `t` (\n  `id` int(11) NOT NULL\n) ";
        for (const QString& ma : QStringList{
                 boa + " SELECT * FROM mysql.user", cabeca + "ENGINE=InnoDB COMMENT'x'SELECT 1",
                 cabeca + "ENGINE=InnoDB MAX_ROWS=1e5SELECT 1",
                 cabeca + "ENGINE=InnoDB COMMENT'x'ENGINE=CONNECT",
                 cabeca + "ENGINE=InnoDB; DROP DATABASE cs_def", cabeca + "ENGINE=InnoDB -- x",
                 cabeca + "ENGINE=InnoDB DATA DIRECTORY='/tmp'",
                 cabeca + "ENGINE=InnoDB COMMENT 'x\\'", cabeca + "ENGINE=Aria",
                 "CREATE TABLE `u` (id INT) ENGINE=InnoDB",
                 cabeca.chopped(2) + ", FOREIGN KEY (id) REFERENCES `u` (id)) ENGINE=InnoDB",
                 "CREATE TABLE `t` LIKE `u`"})
            QVERIFY2(!teste::ErroDe([&] { ConferirDefinicao(ma, "t"); }).isEmpty(), qPrintable(ma));
    }

    void initTestCase() {
        teste::RecriarBanco("cs_origem");
        teste::RecriarBanco("cs_destino");
        teste::RecriarBanco("cs_nomes");
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

    // The file name of every character a table name may hold is the one the server writes,
    // and only that name is taken back; quoted or bare, the server reads the name alike.
    void nomesDeArquivoComoOServidor() {
        m_dm.ExecutarComando("SET SESSION max_recursive_iterations = 70000");
        auto c = m_dm.AbrirConsulta(
            "WITH RECURSIVE n(cp) AS (SELECT 1 UNION ALL SELECT cp + 1 FROM n WHERE cp < 65535) "
            "SELECT cp, CAST(CONVERT(CHAR(cp USING ucs2) USING filename) AS BINARY) FROM n "
            "WHERE cp NOT BETWEEN 55296 AND 57343");
        int conferidos = 0;
        for (; !c->Eof(); c->Proximo(), ++conferidos) {
            const QString tabela(QChar(static_cast<ushort>(c->Campo(0).toUInt())));
            const QString servidor = c->Campo(1).toString();
            QCOMPARE(ArquivoDaTabela(tabela).value_or("-"), servidor);
            QCOMPARE(TabelaDoArquivo(servidor).value_or("-"), tabela);
        }
        QCOMPARE(conferidos, 65535 - 2048);
        for (const char* nao : {"@00E7", "@0041", "a@0", "a@@", "a@", "a@00g1", "a.b", ""})
            QVERIFY2(!TabelaDoArquivo(QString::fromLatin1(nao)), nao);
        QVERIFY(!ArquivoDaTabela("#mysql50#velho"));
        QVERIFY(!ArquivoDaTabela(QString(65, 'x')));

        for (const QString& nome :
             {QString("order"), QString("1e5"), QString("123"), QString("0x1f"), QString("caixa"),
              QString("a$b"), QString("2via"), QString("_latin1"), QString::fromUtf8("preço")}) {
            teste::Sql("CREATE TABLE cs_nomes." + CitarIdentificador(nome) + " (id INT)");
            QCOMPARE(
                m_dm.ConsultarValor("SELECT COUNT(*) FROM cs_nomes." + NomeNoComando(nome), -1),
                QVariant(0));
        }
        QCOMPARE(NomeNoComando("caixa"), QString("caixa"));
        QCOMPARE(NomeNoComando("2via"), QString("2via"));
        QCOMPARE(NomeNoComando("1e5"), QString("`1e5`"));
        QCOMPARE(NomeNoComando("Group"), QString("`Group`"));
        QCOMPARE(NomeNoComando("_latin1"), QString("`_latin1`"));
        QCOMPARE(NomeNoComando("a`b"), QString("`a``b`"));
        QCOMPARE(m_dm.ConsultarValor("SELECT " + CitarTexto(QString::fromUtf8("a'b\\c\"表")), 0),
                 QVariant(QString::fromUtf8("a'b\\c\"表")));
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
