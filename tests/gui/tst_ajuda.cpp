#include "gui/ServidorSoap.h"
#include "gui/TfrmAjuda.h"
#include "support/TesteJanela.h"

#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace marvek;

class TstAjuda : public teste::TTesteJanela {
    Q_OBJECT
    QStringList m_passos; // which picture shows at each painted step

    static QString visivel(TfrmAjuda* w) {
        if (!w->img1->isHidden() && !w->img2->isHidden())
            return "img1+img2";
        if (!w->img1->isHidden())
            return "img1";
        if (!w->img2->isHidden())
            return "img2";
        return "Image1";
    }

    static void entrar(QWidget* alvo) {
        QEvent evento(QEvent::Enter);
        QCoreApplication::sendEvent(alvo, &evento);
    }

    const QStringList Sequencia = {"img1", "img2", "Image1"};

private slots:
    void initTestCase() {
        TfrmAjuda::DefinirEspera(40);
        TfrmAjuda::DefinirObservador([this](TfrmAjuda* w) { m_passos << visivel(w); });
    }
    void init() { m_passos.clear(); }

    void janela() {
        TfrmAjuda w;
        QVERIFY(!w.Image1->pixmap().isNull());
        QVERIFY(w.Image1->pixmap().width() <= 289 && w.Image1->pixmap().height() <= 233);
        QVERIFY(w.Image1->pixmap().width() == 289 || w.Image1->pixmap().height() == 233);
        QCOMPARE(w.img1->size(), QSize(268, 129));
        QCOMPARE(w.img1->pixmap().size(), QSize(268, 129));
        QCOMPARE(w.img2->size(), QSize(281, 105));
        QCOMPARE(w.img2->pixmap().size(), QSize(281, 105));
        QVERIFY(w.img1->isHidden() && w.img2->isHidden());
        QCOMPARE(w.GroupBox2->cursor().shape(), Qt::PointingHandCursor);

        QStringList itens;
        for (QLabel* l : w.Itens)
            itens << l->text();
        QCOMPARE(itens,
                 QStringList({"Item 1:", "Item 2:", "Item 3:", "Item 4:", "Item 5:", "Item 6:"}));
        // item 1 has three lines, 2 two, 3 three, the others one each
        QCOMPARE(w.Descricoes.size(), 11);
        QVERIFY(w.Descricoes[0]->text().startsWith("O campo Filial ID"));
        QCOMPARE(w.Descricoes[10]->text(), QString("Sai do aplicativo."));
        for (QLabel* l : w.Itens)
            QVERIFY(l->font().bold());
        // the invisible label covers "Item 1:" and shows the arrow
        QVERIFY(w.Lbl1->text().isEmpty());
        QCOMPARE(w.Lbl1->size(), QSize(48, 13));
        QVERIFY(w.Lbl1->geometry().intersects(w.Itens.first()->geometry()));
        QCOMPARE(w.Lbl1->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(w.LinhasItem1.size(), 3);
        for (QLabel* l : w.LinhasItem1)
            QCOMPARE(l->cursor().shape(), Qt::ArrowCursor);
        // every description line shows whole
        for (QLabel* l : w.Descricoes)
            QVERIFY2(QFontMetrics(l->font()).horizontalAdvance(l->text()) <= l->width(),
                     qPrintable(l->text()));
    }

    void apontarParaOItem1() {
        TfrmAjuda w;
        w.show();
        QList<QWidget*> alvos = {w.Lbl1};
        for (QLabel* l : w.LinhasItem1)
            alvos << l;
        for (QWidget* alvo : alvos) {
            m_passos.clear();
            QElapsedTimer relogio;
            relogio.start();
            entrar(alvo);
            QCOMPARE(m_passos, Sequencia);
            QVERIFY(relogio.elapsed() >= 2 * TfrmAjuda::Espera());
            QVERIFY(w.img1->isHidden() && w.img2->isHidden());
        }
    }

    void outrosItensNadaFazem() {
        TfrmAjuda w;
        w.show();
        for (int i = 1; i < w.Itens.size(); ++i)
            entrar(w.Itens[i]);
        for (int i = 3; i < w.Descricoes.size(); ++i)
            entrar(w.Descricoes[i]);
        entrar(w.Image1);
        entrar(w.GroupBox2);
        QVERIFY(m_passos.isEmpty());
    }

    void teclas() {
        TfrmAjuda w;
        w.show();
        QTest::keyClick(&w, Qt::Key_1);
        QCOMPARE(m_passos, Sequencia);
        m_passos.clear();
        // keypad 1, with the focus on the close button: the window sees the key first
        w.btnFechar->setFocus();
        QTest::keyClick(w.btnFechar, Qt::Key_1, Qt::KeypadModifier);
        QCOMPARE(m_passos, Sequencia);
        m_passos.clear();
        QTest::keyClick(&w, Qt::Key_2);
        QTest::keyClick(&w, Qt::Key_A);
        QVERIFY(m_passos.isEmpty());
        QVERIFY(w.isVisible());
    }

    void fechar() {
        {
            TfrmAjuda w;
            w.open();
            QTest::keyClick(w.btnFechar, Qt::Key_Escape);
            QVERIFY(!w.isVisible());
            QCOMPARE(w.result(), int(QDialog::Accepted));
        }
        {
            TfrmAjuda w;
            w.open();
            w.btnFechar->click();
            QVERIFY(!w.isVisible());
            QCOMPARE(w.result(), int(QDialog::Accepted));
        }
        // the entry point shows it modally
        bool mostrada = false;
        teste::QuandoModal<TfrmAjuda>([&](TfrmAjuda* w) {
            mostrada = true;
            w->btnFechar->click();
        });
        MostrarSobre(nullptr);
        QVERIFY(mostrada);
    }
};

QTEST_MAIN(TstAjuda)
#include "tst_ajuda.moc"
