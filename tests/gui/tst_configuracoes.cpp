#include "gui/TFConfiguracoes.h"
#include "support/TesteJanela.h"

#include <QListWidget>
#include <QPushButton>
#include <QtTest>

using namespace marvek;

class TstConfiguracoes : public teste::TTesteJanela {
    Q_OBJECT

private slots:
    void aplicarOpcoes() {
        TFConfiguracoes w;
        // each item sets its own flag
        const QList<QList<bool>> casos = {
            {true, false, false}, {false, true, false}, {false, false, true}, {true, true, true}};
        TConfiguracoes* objeto = nullptr;
        for (const QList<bool>& marcas : casos) {
            for (int i = 1; i <= 3; ++i)
                w.Marcar(i, marcas[i - 1]);
            w.AplicarOpcoes();
            QVERIFY(w.Configuracoes());
            if (!objeto) {
                objeto = w.Configuracoes();
                objeto->SetArquivoTruncates("a.txt");
                objeto->SetArquivoDeletes("b.txt");
            }
            QCOMPARE(w.Configuracoes(), objeto); // made once, then reused
            QCOMPARE(objeto->ExecutarTruncates(), marcas[0]);
            QCOMPARE(objeto->ZerarNumlanc(), marcas[1]);
            QCOMPARE(objeto->ExecutarDeletes(), marcas[2]);
        }
        QCOMPARE(objeto->ArquivoTruncates(), QString("a.txt"));
        QCOMPARE(objeto->ArquivoDeletes(), QString("b.txt"));
    }

    void botoes() {
        TFConfiguracoes w;
        w.open();
        // a tick by the operator, then "&OK"
        QListWidgetItem* item = w.CheckListBox1->item(1);
        const QRect r = w.CheckListBox1->visualItemRect(item);
        QTest::mouseClick(w.CheckListBox1->viewport(), Qt::LeftButton, {},
                          QPoint(r.left() + 10, r.center().y()));
        QVERIFY(w.Marcado(2));
        w.Button1->click();
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QVERIFY(!w.isVisible());
        QVERIFY(w.Configuracoes() && w.Configuracoes()->ZerarNumlanc());
        QVERIFY(!w.Configuracoes()->ExecutarTruncates());

        // shown again: the marks are kept; "&Cancelar" leaves the object as it was
        w.open();
        QVERIFY(w.Marcado(2));
        w.Marcar(1, true);
        w.Button2->click();
        QCOMPARE(w.result(), int(QDialog::Rejected));
        QVERIFY(!w.Configuracoes()->ExecutarTruncates());
        QVERIFY(w.Marcado(1));

        // the close box is "&Cancelar"
        w.open();
        w.close();
        QCOMPARE(w.result(), int(QDialog::Rejected));
        QVERIFY(!w.Configuracoes()->ExecutarTruncates());
    }
};

QTEST_MAIN(TstConfiguracoes)
#include "tst_configuracoes.moc"
