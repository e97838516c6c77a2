#include "base/EErro.h"
#include "base/Pastas.h"
#include "data/ArquivoIni.h"
#include "data/Instalacao.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace marvek;

class TstArquivoIni : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString escrever(const QByteArray& dados) {
        const QString caminho = m_dir.filePath("sistema_qel.ini");
        QFile f(caminho);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(dados);
        return caminho;
    }

private slots:
    void initTestCase() { marvek::DefinirPastaDoPrograma(m_dir.path()); }

    void semArquivoDaPadroes() {
        const QString c = m_dir.filePath("nao_existe.ini");
        QCOMPARE(LerTextoIni(c, "ip", "local", "localhost"), QString("localhost"));
    }

    void caixaDeNomesEValoresVazios() {
        const QString c = escrever("[IP]\r\nDatabase=loja\r\nlocal=\r\n[filialmatriz]\r\n"
                                   "codfisica=12\r\n");
        QCOMPARE(LerTextoIni(c, "ip", "database", "gerente"), QString("loja"));
        QCOMPARE(LerTextoIni(c, "ip", "local", "localhost"), QString(""));
        QVERIFY(!LerTextoIni(c, "ip", "local", "localhost").isNull() ||
                LerTextoIni(c, "ip", "local", "localhost").isEmpty());
        QCOMPARE(LerTextoIni(c, "ip", "usuario", "root"), QString("root"));
        QCOMPARE(LerTextoIni(c, "FilialMatriz", "CodFisica", ""), QString("12"));
    }

    void lidoDeNovoACadaUso() {
        const QString c = escrever("[ip]\ndatabase=a\n");
        QCOMPARE(LerTextoIni(c, "ip", "database", "gerente"), QString("a"));
        escrever("[ip]\ndatabase=b\n");
        QCOMPARE(LerTextoIni(c, "ip", "database", "gerente"), QString("b"));
    }

    void latin1() {
        const QString c = escrever("[ip]\ndatabase=ger\xEAnte\n");
        QCOMPARE(LerTextoIni(c, "ip", "database", ""), QString::fromUtf8("gerênte"));
    }

    void codFisica_data() {
        QTest::addColumn<QByteArray>("valor");
        QTest::addColumn<int>("esperado");
        QTest::newRow("zero") << QByteArray("0") << 0;
        QTest::newRow("vazio") << QByteArray("") << 0;
        QTest::newRow("letras") << QByteArray("abc") << 0;
        QTest::newRow("misto") << QByteArray("12abc") << 0;
        QTest::newRow("grande demais") << QByteArray("99999999999") << 0;
        QTest::newRow("sete") << QByteArray("7") << 7;
        QTest::newRow("negativo") << QByteArray("-3") << 0;
    }
    void codFisica() {
        QFETCH(QByteArray, valor);
        QFETCH(int, esperado);
        escrever("[FilialMatriz]\nCodFisica=" + valor + "\n");
        // 0: refused, as every id that is not a positive number
        int lido = 0;
        try {
            lido = LerCodFisica();
        } catch (const EErro& e) {
            QCOMPARE(e.Mensagem(),
                     QString::fromUtf8("Filial inválida, verifique o arquivo sistema_qel.ini"));
        }
        QCOMPARE(lido, esperado);
    }

    void lixoNaoDerruba() {
        QByteArray lixo("\x00\x01\xFF[ip\n=\n[[[\nsem igual\n", 24);
        lixo += QByteArray(200000, 'x');
        lixo += "\n[ip]\ndatabase=primeiro\ndatabase=segundo\n";
        const QString c = escrever(lixo);
        QCOMPARE(LerTextoIni(c, "ip", "database", "gerente"), QString("primeiro"));
    }

    void arquivoEnormeEhRecusado() {
        const QString c = escrever(QByteArray(5 * 1024 * 1024, 'a'));
        QVERIFY_THROWS_EXCEPTION(EErro, LerTextoIni(c, "ip", "local", "x"));
    }
};

QTEST_APPLESS_MAIN(TstArquivoIni)
#include "tst_arquivoini.moc"
