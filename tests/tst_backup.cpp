#include "backup/Backup.h"
#include "data/TDM.h"
#include "support/BancoTeste.h"
#include "support/BancoVarejo.h"
#include "support/TOperadorGravador.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace marvek;
using teste::TOperadorGravador;

class TstBackup : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    // caixa (with lojas_leram), fotos (with lojas_leram), cidades (without).
    void bancoTres(const QString& banco) {
        teste::RecriarBanco(banco);
        teste::Sql("CREATE TABLE " + banco +
                   ".caixa (id INT PRIMARY KEY, lojas_leram VARCHAR(20))");
        teste::Sql("INSERT INTO " + banco +
                   ".caixa VALUES (1,'2A'),(2,'AC'),(3,NULL),(4,''),(5,'C2')");
        teste::Sql("CREATE TABLE " + banco + ".fotos (id INT, lojas_leram VARCHAR(20))");
        teste::Sql("INSERT INTO " + banco + ".fotos VALUES (1,'2')");
        teste::Sql("CREATE TABLE " + banco + ".cidades (id INT PRIMARY KEY, nome VARCHAR(20))");
        teste::Sql("INSERT INTO " + banco + ".cidades VALUES (1,'Curitiba')");
    }

    struct Execucao {
        std::unique_ptr<TDM> dm = std::make_unique<TDM>();
        std::unique_ptr<TOperadorGravador> op;
    };
    Execucao executar(const QString& banco, const QString& filial, const QString& destino) {
        Execucao e;
        e.dm->AbrirConexao("localhost", banco, "root", "", 3306);
        e.op = std::make_unique<TOperadorGravador>(m_dir.filePath("LOG_" + banco + ".txt"));
        e.op->Filial = filial;
        e.op->Pasta = destino;
        e.op->Resultado = RealizarBackup(*e.op, *e.dm);
        return e;
    }

    static QString update(const QString& t, const QString& m) {
        return "UPDATE " + t + " SET lojas_leram = CONCAT(coalesce(lojas_leram,\"\"),\"" + m +
               "\") where coalesce(lojas_leram,\"\") not like \"%" + m + "%\";";
    }

private slots:
    void tresTabelas() {
        bancoTres("bk_tres");
        const QString destino = m_dir.filePath("Backups");
        QVERIFY(QDir().mkpath(destino));
        auto e = executar("bk_tres", "12", destino);
        const QString zip = destino + "/Backup_Central.zip";
        QCOMPARE(
            e.op->Mostrados,
            QStringList({"Informar: Backup realizado com sucesso!\r\rArquivo salvo em : " + zip}));
        QCOMPARE(teste::EntradasDoZip(zip),
                 QStringList({"caixa.MYD", "caixa.frm", "cidades.MYD", "cidades.frm"}));
        // empty but for the mark of a folder the program made
        QCOMPARE(QDir(destino + "/Temp_Backup")
                     .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList({".marvek"}));
        QCOMPARE(e.op->LinhasLog(), QStringList({update("caixa", "C"), update("fotos", "C")}));
        QCOMPARE(teste::Linhas("select id, lojas_leram from bk_tres.caixa order by id"),
                 QStringList({"1|2AC", "2|AC", "3|C", "4|C", "5|C2"}));
        QCOMPARE(teste::Valor("select lojas_leram from bk_tres.fotos"), QString("2C"));
        QCOMPARE(e.op->Maximos, QList<int>({3}));
        QCOMPARE(e.op->Posicoes, QList<int>({1, 2, 3, 0, 45, 80, 0}));
        QCOMPARE(e.op->Resultado.desfecho, TResultado::Concluida);
        QCOMPARE(e.op->Processamentos >= 3, true);

        // Sound for other tools too: unzip -t and Python's zipfile, deflate everywhere.
        QProcess unzip;
        unzip.start("unzip", {"-t", zip});
        QVERIFY(unzip.waitForFinished(60000));
        QCOMPARE(unzip.exitCode(), 0);
        QProcess py;
        py.start(
            "python3",
            {"-c",
             "import sys,zipfile\n"
             "z=zipfile.ZipFile(sys.argv[1])\n"
             "assert z.testzip() is None\n"
             "print(','.join(sorted(f'{i.filename}:{i.compress_type}' for i in z.infolist())))",
             zip});
        QVERIFY(py.waitForFinished(60000));
        QCOMPARE(QString::fromUtf8(py.readAllStandardOutput()).trimmed(),
                 QString("caixa.MYD:8,caixa.frm:8,cidades.MYD:8,cidades.frm:8"));

        // The same backup again appends nothing and gives the same entries.
        const QString antes = teste::Checksum("bk_tres", "caixa");
        auto segunda = executar("bk_tres", "12", destino);
        QCOMPARE(teste::Checksum("bk_tres", "caixa"), antes);
        QCOMPARE(teste::EntradasDoZip(zip),
                 QStringList({"caixa.MYD", "caixa.frm", "cidades.MYD", "cidades.frm"}));
        QCOMPARE(segunda.op->LinhasLog(),
                 QStringList({update("caixa", "C"), update("fotos", "C")}));
    }

    void filialUmENomesExatos() {
        teste::RecriarBanco("bk_um");
        teste::Sql("CREATE TABLE bk_um.Fotos (id INT, lojas_leram VARCHAR(20))");
        teste::Sql("INSERT INTO bk_um.Fotos VALUES (1,'2*3'),(2,'23')");
        teste::Sql("CREATE TABLE bk_um.servidor_central (id INT)");
        const QString destino = m_dir.filePath("um");
        auto e = executar("bk_um", "1", destino); // the destination folder does not exist yet
        QCOMPARE(teste::Linhas("select lojas_leram from bk_um.Fotos order by id"),
                 QStringList({"2*3", "23*"}));
        QCOMPARE(teste::EntradasDoZip(destino + "/Backup_Central.zip"),
                 QStringList({"Fotos.MYD", "Fotos.frm"}));
    }

    void pastaDeTrabalhoComCopiaAntigaESubpasta() {
        bancoTres("bk_antiga");
        const QString destino = m_dir.filePath("antiga");
        QVERIFY(QDir().mkpath(destino + "/Temp_Backup/sub"));
        QFile marca(destino + "/Temp_Backup/.marvek"); // made by an earlier run
        QVERIFY(marca.open(QIODevice::WriteOnly));
        marca.close();
        QFile velho(destino + "/Temp_Backup/velha.MYD");
        QVERIFY(velho.open(QIODevice::WriteOnly));
        velho.close();
        QFile dentro(destino + "/Temp_Backup/sub/x.frm");
        QVERIFY(dentro.open(QIODevice::WriteOnly));
        dentro.close();
        auto e = executar("bk_antiga", "2", destino);
        QCOMPARE(teste::EntradasDoZip(destino + "/Backup_Central.zip"),
                 QStringList({"caixa.MYD", "caixa.frm", "cidades.MYD", "cidades.frm"}));
        QVERIFY(!QFile::exists(destino + "/Temp_Backup/velha.MYD"));
        QVERIFY(QFile::exists(destino + "/Temp_Backup/sub/x.frm"));
    }

    void filial54ParaNaPrimeiraTabelaComAColuna() {
        teste::RecriarBanco("bk_54");
        teste::Sql("CREATE TABLE bk_54.a_cidades (id INT)");
        teste::Sql("CREATE TABLE bk_54.b_caixa (id INT, lojas_leram VARCHAR(9))");
        teste::Sql("CREATE TABLE bk_54.c_pagar (id INT)");
        const QString destino = m_dir.filePath("b54");
        QVERIFY(QDir().mkpath(destino));
        QFile antigo(destino + "/Backup_Central.zip");
        QVERIFY(antigo.open(QIODevice::WriteOnly));
        antigo.close();
        auto e = executar("bk_54", "54", destino);
        QCOMPARE(e.op->Mostrados,
                 QStringList({QString::fromUtf8("ErroPadrao: Ocorreu o seguinte erro: \r\rO "
                                                "filial_id 54 não pode ser convertido para um "
                                                "\"lojas_leram\" válido")}));
        // refused before the first copy; the archive that was there stays as it was
        QVERIFY(!QFile::exists(destino + "/Temp_Backup/a_cidades.frm"));
        QVERIFY(QFile::exists(destino + "/Backup_Central.zip"));
        QCOMPARE(e.op->Resultado.desfecho, TResultado::Falhou); // the window's controls stay off
    }

    void entradasQueFaltam() {
        bancoTres("bk_vazio");
        auto e = executar("bk_vazio", "12", "");
        QCOMPARE(e.op->Mostrados, QStringList({QString::fromUtf8(
                                      "ErroPadrao: Ocorreu o seguinte erro: \r\rNenhum diretório "
                                      "selecionado")}));
        QCOMPARE(e.op->Maximos, QList<int>({3}));
        QCOMPARE(e.op->Resultado.desfecho,
                 TResultado::Recusada); // controls back, focus on the field
        QCOMPARE(e.op->Recusas, QList<TCampo>({TCampo::Diretorio}));
        QCOMPARE(teste::Valor("select lojas_leram from bk_vazio.caixa where id = 1"),
                 QString("2A"));
        auto f = executar("bk_vazio", "", m_dir.filePath("x"));
        QCOMPARE(f.op->Mostrados.value(0),
                 QString("ErroPadrao: Ocorreu o seguinte erro: \r\rNenhuma filial selecionada"));
    }

    void falhaAoGravarOArquivoNaoEhSucesso() {
        bancoTres("bk_falha");
        const QString destino = m_dir.filePath("falha");
        // a folder where the archive should go: it cannot be deleted nor replaced
        QVERIFY(QDir().mkpath(destino + "/Backup_Central.zip/ocupado"));
        auto e = executar("bk_falha", "12", destino);
        QCOMPARE(e.op->Mostrados.size(), 1);
        QVERIFY2(e.op->Mostrados.first().startsWith("ErroPadrao: Ocorreu o seguinte erro: \r\r"),
                 qPrintable(e.op->Mostrados.first()));
        QVERIFY(e.op->Mostrados.first().contains("Backup_Central.zip"));
        // refused before the first marker: nothing copied, nothing marked, nothing left behind
        QCOMPARE(e.op->LinhasLog(), QStringList());
        QVERIFY(!QFile::exists(destino + "/Temp_Backup/caixa.MYD"));
        QCOMPARE(QDir(destino).entryList(QDir::Files), QStringList());
    }

    void tabelaQueNaoPodeSerCopiadaEncerra() {
        teste::RecriarBanco("bk_inno");
        teste::Sql("CREATE TABLE bk_inno.a (id INT) ENGINE=MyISAM");
        teste::Sql("CREATE TABLE bk_inno.b (id INT) ENGINE=MEMORY");
        const QString destino = m_dir.filePath("inno");
        auto e = executar("bk_inno", "2", destino);
        QCOMPARE(e.op->Mostrados,
                 QStringList({QString::fromUtf8("ErroPadrao: Ocorreu o seguinte erro: \r\rSó "
                                                "tabelas MyISAM, Aria e InnoDB podem ser "
                                                "copiadas, e estas não podem: b (MEMORY). Nada "
                                                "foi alterado.")}));
        QVERIFY(!QFile::exists(destino + "/Backup_Central.zip"));
        QVERIFY(!QFile::exists(destino + "/Temp_Backup/a.frm"));
    }
};

QTEST_GUILESS_MAIN(TstBackup)
#include "tst_backup.moc"
