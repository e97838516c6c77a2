#include "base/EErro.h"
#include "operador/Historico.h"
#include "operador/TLogOperacao.h"
#include "support/Falhas.h"

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

    void historicoComRodizio();

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

// The history of runs: one line per run in UTF-8 (outcome and figures), its log lines indented
// under it; past its cap it turns over once.
void TstLogOperacao::historicoComRodizio() {
    QTemporaryDir d;
    const QString log = d.filePath("LOG_MARVEK.txt");
    const QString historico = d.filePath("LOG_MARVEK_historico.txt");
    const QDateTime quando(QDate(2026, 12, 9), QTime(8, 5, 1));
    // an earlier version's history (Latin-1, CR LF) is turned over, not mixed with UTF-8
    QFile antigo(historico);
    QVERIFY(antigo.open(QIODevice::WriteOnly));
    antigo.write("==== 2026-12-01 08:00:00 backup /srv/b: conclu\xED"
                 "da\r\n");
    antigo.close();
    TResultado feito;
    feito.filial = "7";
    feito.banco = "gerente";
    feito.tabelas = 152;
    feito.tamanhoArquivo = 123456;
    feito.duracaoMs = 61240;
    RegistrarNoHistorico(log, "backup", "/srv/b", feito, {"08:05:00 -> UPDATE caixa"}, quando);
    QCOMPARE(teste::LerArquivo(d.filePath("LOG_MARVEK_historico.1.txt")),
             QByteArray("==== 2026-12-01 08:00:00 backup /srv/b: conclu\xED"
                        "da\r\n"));
    QFile h(historico);
    QVERIFY(h.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(h.readAll()),
             QString("==== 2026-12-09 08:05:01 backup /srv/b: concluída | filial 7 | banco "
                     "gerente | 152 tabelas | 123456 bytes | 61.2 s | saída 0\n"
                     "  08:05:00 -> UPDATE caixa\n"));
    h.close();

    // Filled to its cap: the next run starts a new file, the old one is kept once. A run
    // another one kept out says so with its own exit code.
    QVERIFY(h.open(QIODevice::Append));
    h.write(QByteArray(TamanhoMaximoHistorico, 'x'));
    h.close();
    TResultado ocupada;
    ocupada.desfecho = TResultado::Recusada;
    ocupada.ocupada = true;
    ocupada.erros = {"Ocorreu o seguinte erro: \r\rOutra execução"};
    RegistrarNoHistorico(log, "restauração", "/srv/b/Backup_Central.zip", ocupada, {}, quando);
    QCOMPARE(QFileInfo(d.filePath("LOG_MARVEK_historico.1.txt")).size(),
             TamanhoMaximoHistorico + 154);
    QVERIFY(h.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(h.readAll()),
             QString("==== 2026-12-09 08:05:01 restauração /srv/b/Backup_Central.zip: recusada: "
                     "Ocorreu o seguinte erro:   Outra execução | 0.0 s | saída 75\n"));
}

QTEST_APPLESS_MAIN(TstLogOperacao)
#include "tst_logoperacao.moc"
