#include "base/EErro.h"
#include "data/TDM.h"
#include "markers/LojasLeram.h"
#include "support/BancoTeste.h"

#include <QtTest>

using namespace marvek;

class TstLojasLeram : public QObject {
    Q_OBJECT
    TDM m_dm;

    void filiais(const QString& valores) {
        teste::Sql("TRUNCATE ll_teste.filial");
        if (!valores.isEmpty())
            teste::Sql("INSERT INTO ll_teste.filial (filial_id, apagado) VALUES " + valores);
    }

private slots:
    void initTestCase() {
        teste::RecriarBanco("ll_teste");
        teste::Sql("CREATE TABLE ll_teste.filial (filial_id INT, nome VARCHAR(30), "
                   "apagado CHAR(1)) ENGINE=MyISAM");
        m_dm.AbrirConexao("localhost", "ll_teste", "root", "", 3306);
    }

    void codigos() {
        const QList<QPair<int, QString>> casos = {
            {1, "*"},  {2, "2"},  {9, "9"},  {0, "0"},  {10, "A"}, {12, "C"}, {35, "Z"},
            {36, "@"}, {37, "#"}, {40, "+"}, {45, "="}, {52, ";"}, {53, ":"}};
        for (const auto& [id, marcador] : casos)
            QCOMPARE(CodigoLojasLeram(id), marcador);
        QString simbolos;
        for (int i = 36; i <= 53; ++i)
            simbolos += CodigoLojasLeram(i);
        QCOMPARE(simbolos, QString("@#$&+-!()={}[]<>;:"));
        // every id of 9 or less: the byte 48 + n
        QCOMPARE(CodigoLojasLeram(-1), QString("/"));
        QCOMPARE(CodigoLojasLeram(-48), QString(QChar(0)));
        for (int id : {54, 60, 1000}) {
            try {
                CodigoLojasLeram(id);
                QFAIL("no error");
            } catch (const EErro& e) {
                QCOMPARE(e.Mensagem(),
                         QString::fromUtf8("O filial_id %1 não pode ser convertido para um "
                                           "\"lojas_leram\" válido")
                             .arg(id));
            }
        }
    }

    void listas() {
        filiais("(1,'N'),(2,'N'),(3,NULL),(4,'S'),(5,'n')");
        // NULL and "S" contribute nothing; "n" is live
        QCOMPARE(ListaLojasLeram(m_dm), QString("**25"));
        filiais("(40,'N'),(2,'N'),(12,'N')");
        QCOMPARE(ListaLojasLeram(m_dm), QString("*+2C"));
        filiais("");
        QCOMPARE(ListaLojasLeram(m_dm), QString("*"));
        filiais("(2,'S')");
        QCOMPARE(ListaLojasLeram(m_dm), QString("*"));
        filiais("(2,'N'),(60,'N')");
        QVERIFY_THROWS_EXCEPTION(EErro, ListaLojasLeram(m_dm));
    }
};

QTEST_GUILESS_MAIN(TstLojasLeram)
#include "tst_lojasleram.moc"
