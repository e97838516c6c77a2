#include "base/EErro.h"
#include "operador/TLogOperacao.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace marvek;

class TstLogOperacao : public QObject {
    Q_OBJECT
private slots:
    void bytesExatosDoArquivo() {
        QTemporaryDir dir;
        const QString arquivo = dir.filePath("LOG_MARVEK.txt");
        {
            QFile f(arquivo);
            f.open(QIODevice::WriteOnly);
            f.write("linhas de uma execução anterior\r\n");
        }
        TLogOperacao log(arquivo);
        log.GravarLog("Inicio Restore", QTime(9, 5, 3));
        log.GravarLog(QString::fromUtf8("Ação"), QTime(9, 5, 3));
        log.GravarLog("Fim Restore", QTime(23, 0, 0));
        QFile f(arquivo);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("09:05:03 -> Inicio Restore\r\n"
                                         "09:05:03 -> A\xE7\xE3o\r\n"
                                         "23:00:00 -> Fim Restore\r\n"));
    }

    void nadaGravadoDeixaOArquivoAnterior() {
        QTemporaryDir dir;
        const QString arquivo = dir.filePath("LOG_MARVEK.txt");
        QFile f(arquivo);
        f.open(QIODevice::WriteOnly);
        f.write("anterior\r\n");
        f.close();
        { TLogOperacao log(arquivo); }
        f.open(QIODevice::ReadOnly);
        QCOMPARE(f.readAll(), QByteArray("anterior\r\n"));
    }

    void falhaNomeiaOArquivoEGuardaALinha() {
        QTemporaryDir dir;
        const QString pasta = dir.filePath("sub");
        const QString arquivo = pasta + "/LOG_MARVEK.txt";
        TLogOperacao log(arquivo);
        try {
            log.GravarLog("primeira", QTime(1, 2, 3));
            QFAIL("no error");
        } catch (const EErro& e) {
            QVERIFY2(e.Mensagem().contains(arquivo), qPrintable(e.Mensagem()));
        }
        QVERIFY(QDir().mkpath(pasta));
        log.GravarLog("segunda", QTime(1, 2, 4));
        QFile f(arquivo);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("01:02:03 -> primeira\r\n01:02:04 -> segunda\r\n"));
    }
};

QTEST_APPLESS_MAIN(TstLogOperacao)
#include "tst_logoperacao.moc"
