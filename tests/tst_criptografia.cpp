#include "base/EErro.h"
#include "data/Criptografia.h"

#include <QtTest>

using namespace marvek;

class TstCriptografia : public QObject {
    Q_OBJECT
private slots:
    void idaEVoltaDeTodosOsCodigosDe1a254() {
        QString texto;
        for (int c = 1; c <= 254; ++c)
            texto += QChar(c);
        for (int vez = 0; vez < 20; ++vez) {
            const QString cifrado = Criptografar("E", texto, "KZW");
            QCOMPARE(cifrado.size(), 2 + 2 * texto.size());
            QCOMPARE(cifrado, cifrado.toUpper());
            QCOMPARE(Criptografar("D", cifrado, "KZW"), texto);
        }
        // any key length
        QCOMPARE(Criptografar("D", Criptografar("E", "senha", "K"), "K"), QString("senha"));
        QCOMPARE(Criptografar("D", Criptografar("E", "senha", "CHAVELONGA"), "CHAVELONGA"),
                 QString("senha"));
    }

    void valoresConhecidos() {
        // seed 5A, "marvek.db" with KZW: the default of the settings file
        QCOMPARE(Descriptografar(SenhaPadraoCifrada(), ChaveSenha()), QString("marvek.db"));
        QCOMPARE(SenhaPadraoCifrada().size(), 20);
        // lower-case hex reads like upper-case
        QCOMPARE(Descriptografar(SenhaPadraoCifrada().toLower(), ChaveSenha()),
                 QString("marvek.db"));
    }

    void sementesDiferentes() {
        QSet<QString> vistos;
        for (int i = 0; i < 40; ++i)
            vistos.insert(Criptografar("E", "abc", "KZW"));
        QVERIFY(vistos.size() > 1);
    }

    void codigos0e255() {
        // code 0 after a seed other than 255 comes back as 255
        const QString zero = QString(QChar(0));
        QCOMPARE(
            Criptografar(
                "D",
                QStringLiteral("10") +
                    QStringLiteral("%1").arg((0 + 0x10) % 255 ^ 'K', 2, 16, QChar('0')).toUpper(),
                "KZW"),
            QString(QChar(255)));
        // code 0 after seed 255: x = 0, back as 0
        QCOMPARE(Criptografar(
                     "D",
                     QStringLiteral("FF%1").arg((0 + 255) % 255 ^ 'K', 2, 16, QChar('0')).toUpper(),
                     "KZW"),
                 zero);
        // code 255 after seed 255: comes back as 0
        QCOMPARE(
            Criptografar(
                "D",
                QStringLiteral("FF%1").arg((255 + 255) % 255 ^ 'K', 2, 16, QChar('0')).toUpper(),
                "KZW"),
            zero);
    }

    void modos() {
        QCOMPARE(Criptografar("e", "abc", "KZW"), QString());
        QCOMPARE(Criptografar("d", "0011", "KZW"), QString());
        QCOMPARE(Criptografar("X", "abc", "KZW"), QString());
        QCOMPARE(Criptografar("E", "", "KZW").size(), 2);
    }

    void textosEmBranco() {
        QCOMPARE(Descriptografar("", "KZW"), QString());
        QCOMPARE(Descriptografar("   ", "KZW"), QString());
        QCOMPARE(Descriptografar(" \t\r\n", "KZW"), QString());
    }

    void paresInvalidos_data() {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("erro");
        QTest::newRow("semente sozinha") << "5A"
                                         << "'$' is not a valid integer value";
        QTest::newRow("um caractere") << "5"
                                      << "'$' is not a valid integer value";
        QTest::newRow("nao hex") << "5AZZ"
                                 << "'$ZZ' is not a valid integer value";
        QTest::newRow("semente nao hex") << "G1AB"
                                         << "'$G1' is not a valid integer value";
        QTest::newRow("meio") << "5A8CXY"
                              << "'$XY' is not a valid integer value";
        QTest::newRow("branco interno") << "5A 8"
                                        << "'$ 8' is not a valid integer value";
    }
    void paresInvalidos() {
        QFETCH(QString, texto);
        QFETCH(QString, erro);
        try {
            Descriptografar(texto, "KZW");
            QFAIL("no error raised");
        } catch (const EErro& e) {
            QCOMPARE(e.Mensagem(), erro);
        }
    }

    void comprimentosImpares() {
        const QString cifrado = Criptografar("E", "ab", "KZW"); // 6 digits
        // a fifth unpaired character is ignored
        QCOMPARE(Criptografar("D", cifrado.left(5), "KZW"), QString("a"));
        QCOMPARE(Criptografar("D", cifrado + "F", "KZW"), QString("ab"));
        // three characters: the third read alone as one digit
        const int c = 0x7;
        const int t = c ^ 'K';
        const int codigo = t > 0x10 ? t - 0x10 : t - 0x10 + 255;
        QCOMPARE(Criptografar("D", "107", "KZW"), QString(QChar(codigo)));
    }
};

QTEST_APPLESS_MAIN(TstCriptografia)
#include "tst_criptografia.moc"
