#include "data/TDM.h"
#include "gui/Dialogos.h"
#include "gui/ServidorSoap.h"
#include "gui/TFPreValidacao.h"
#include "support/BancoTeste.h"
#include "support/TesteJanela.h"

#include <QButtonGroup>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QtTest>

using namespace marvek;

namespace {
const QString Cabecalho = QString::fromUtf8("========ATENÇÃO========\r\n");
const QString NaoDeveSer1 = QString::fromUtf8(" - O filial_id não deve ser 1.\r\n");
const QString DeveSer1 = QString::fromUtf8(" - O filial_id deve ser 1.\r\n");
const QString EscritorioN =
    QString::fromUtf8(" - A filial deve estar configurada como escritório = N");
const QString EscritorioS =
    QString::fromUtf8(" - A filial deve estar configurada como escritório = S");
QString NaoExiste(const QString& codigo) {
    return " - A filial_id " + codigo + QString::fromUtf8(" não existe no banco.\r\n");
}
const QString RegrasLoja =
    QString::fromUtf8(" - Concat no lojas_leram (lojas_leram + filial). [Backup]\r\n"
                      " - Será efetuado o comando delete default. [Restauração]\r\n"
                      " - O campo lojas_leram se compõe: (*). [Restauração]");
const QString RegrasNotebook =
    QString::fromUtf8(" - Concat no lojas_leram (lojas_leram + filial). [Backup]\r\n"
                      " - Não será efetuado os comandos de delete. [Restauração]\r\n"
                      " - O campo lojas_leram se compõe: (*lojas). [Restauração]");
const QString RegrasCentral =
    QString::fromUtf8(" - Concat no lojas_leram (lojas_leram + *). [Backup]\r\n"
                      " - Não será efetuado os comandos de delete. [Restauração]\r\n"
                      " - O campo lojas_leram se compõe: (*lojas). [Restauração]");
} // namespace

class TstPreValidacao : public teste::TTesteJanela {
    Q_OBJECT

    // Type and code on the wizard's pages, then ">>" on page 2 as the operator would.
    static void verificar(TFPreValidacao& w, int tipo, const QString& codigo) {
        w.Notebook1->setCurrentIndex(0);
        w.DefinirTipoInstalacao(tipo);
        w.btnAvancarPage1->click();
        QCOMPARE(w.Notebook1->currentIndex(), 1);
        w.txtFilialId->setText(codigo);
        w.btnProximoPage2->click();
    }

    static void filiais(const QString& valores) {
        teste::Sql("TRUNCATE pv_teste.filial");
        teste::Sql("INSERT INTO pv_teste.filial (filial_id, escritorio) VALUES " + valores);
    }

private slots:
    void initTestCase() {
        teste::RecriarBanco("pv_teste");
        teste::Sql("CREATE TABLE pv_teste.filial (filial_id INT, nome VARCHAR(30), "
                   "escritorio CHAR(1)) ENGINE=MyISAM");
        teste::RecriarBanco("pv_semcoluna");
        teste::Sql("CREATE TABLE pv_semcoluna.filial (filial_id INT) ENGINE=MyISAM");
        teste::Sql("INSERT INTO pv_semcoluna.filial VALUES (2)");
        DM().AbrirConexao("localhost", "pv_teste", "root", "", 3306);
    }

    void init() { GravarCaixas(); }

    void estadoInicial() {
        TFPreValidacao w;
        QCOMPARE(w.Notebook1->currentIndex(), 0);
        QCOMPARE(w.TipoInstalacao(), 0);
        QVERIFY(w.txtFilialId->text().isEmpty());
        QCOMPARE(w.CorPanelInf(), QColor(255, 128, 128));
        QVERIFY(!(w.windowFlags() & Qt::WindowCloseButtonHint));
        // page buttons
        w.btnAvancarPage1->click();
        QCOMPARE(w.Notebook1->currentIndex(), 1);
        w.BtnAnteriorPage2->click();
        QCOMPARE(w.Notebook1->currentIndex(), 0);
    }

    void codigoSemNumeroSoMoveOFoco_data() {
        QTest::addColumn<QString>("codigo");
        QTest::newRow("empty") << "";
        QTest::newRow("zero") << "0";
        QTest::newRow("zeros") << "000";
        QTest::newRow("beyond 32 bits") << "2147483648";
    }
    // Enter takes each page's way forward, also from the code field.
    void enterAvanca() {
        TFPreValidacao w;
        w.show();
        QTest::keyClick(&w, Qt::Key_Return);
        QCOMPARE(w.Notebook1->currentIndex(), 1);
        w.txtFilialId->setFocus();
        QTest::keyClicks(w.txtFilialId, "x1");
        QCOMPARE(w.txtFilialId->text(), QString("1"));
        QTest::keyClick(w.txtFilialId, Qt::Key_Return);
        QCOMPARE(w.Notebook1->currentIndex(), 2);
    }
    void codigoSemNumeroSoMoveOFoco() {
        QFETCH(QString, codigo);
        TFPreValidacao w;
        w.show();
        w.btnAvancarPage1->click();
        w.txtFilialId->setText(codigo);
        w.btnProximoPage2->setFocus();
        QCOMPARE(w.focusWidget(), w.btnProximoPage2);
        w.btnProximoPage2->click();
        QCOMPARE(w.focusWidget(), w.txtFilialId);
        QCOMPARE(w.Notebook1->currentIndex(), 1);
        QVERIFY(w.TextoDoResultado().isEmpty());
        QVERIFY(dialogos::Mostradas().isEmpty());
    }

    void resultados_data() {
        QTest::addColumn<QString>("filiais");
        QTest::addColumn<int>("tipo");
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<bool>("sucesso");
        QTest::addColumn<QString>("texto"); // after the header
        const QString base = "(1,'S'),(2,'N'),(3,'S'),(4,'s'),(5,'X'),(6,NULL),(7,'n')";
        // every failing check is listed, not only the first
        QTest::newRow("loja 1") << base << 0 << "1" << false << NaoDeveSer1 + EscritorioN;
        QTest::newRow("loja missing")
            << base << 0 << "99" << false << NaoExiste("99") + EscritorioN;
        QTest::newRow("loja office") << base << 0 << "3" << false << EscritorioN;
        QTest::newRow("loja null flag") << base << 0 << "6" << false << EscritorioN;
        QTest::newRow("loja ok") << base << 0 << "2" << true << RegrasLoja;
        QTest::newRow("loja lower-case s") << base << 0 << "4" << true << RegrasLoja;
        QTest::newRow("loja other flag") << base << 0 << "5" << true << RegrasLoja;
        QTest::newRow("loja leading zero") << base << 0 << "02" << true << RegrasLoja;
        QTest::newRow("notebook missing")
            << base << 1 << "99" << false << NaoExiste("99") + EscritorioS;
        QTest::newRow("notebook not office") << base << 1 << "2" << false << EscritorioS;
        QTest::newRow("notebook 1") << base << 1 << "1" << false << NaoDeveSer1;
        QTest::newRow("notebook ok") << base << 1 << "3" << true << RegrasNotebook;
        QTest::newRow("notebook lower-case n") << base << 1 << "7" << true << RegrasNotebook;
        QTest::newRow("notebook other flag") << base << 1 << "5" << true << RegrasNotebook;
        QTest::newRow("central ok") << base << 2 << "1" << true << RegrasCentral;
        // the text is compared, not the number; checks 2 and 3 look at branch 1 anyway
        QTest::newRow("central 01") << base << 2 << "01" << false << DeveSer1;
        QTest::newRow("central other code") << base << 2 << "99" << false << DeveSer1;
        QTest::newRow("central null flag")
            << "(1,NULL),(2,'N')" << 2 << "1" << false << EscritorioS + " ";
        QTest::newRow("central not office") << "(1,'N')" << 2 << "1" << false << EscritorioS + " ";
        QTest::newRow("central missing")
            << "(2,'S')" << 2 << "2" << false << DeveSer1 + NaoExiste("1") + EscritorioS + " ";
    }
    void resultados() {
        QFETCH(QString, filiais);
        QFETCH(int, tipo);
        QFETCH(QString, codigo);
        QFETCH(bool, sucesso);
        QFETCH(QString, texto);
        TstPreValidacao::filiais(filiais);
        TFPreValidacao w;
        verificar(w, tipo, codigo);
        QVERIFY2(dialogos::Mostradas().isEmpty(), qPrintable(dialogos::Resumo().join("\n")));
        QCOMPARE(w.Notebook1->currentIndex(), 2);
        QCOMPARE(w.TextoDoResultado(), Cabecalho + texto);
        QCOMPARE(w.CorPanelInf(), sucesso ? QColor(211, 255, 168) : QColor(255, 128, 128));
        // the label shows the same text with plain line breaks
        QCOMPARE(w.Label4->text(), QString(Cabecalho + texto).replace("\r\n", "\n"));
    }

    void voltarEAvancarMostraSoONovoResultado() {
        filiais("(1,'S'),(2,'N')");
        TFPreValidacao w;
        verificar(w, 0, "99");
        QCOMPARE(w.CorPanelInf(), QColor(255, 128, 128));
        w.Button2->click();
        QCOMPARE(w.Notebook1->currentIndex(), 1);
        QCOMPARE(w.txtFilialId->text(), QString("99"));
        QCOMPARE(w.TipoInstalacao(), 0);
        w.txtFilialId->setText("2");
        w.btnProximoPage2->click();
        QCOMPARE(w.TextoDoResultado(), Cabecalho + RegrasLoja);
        QCOMPARE(w.CorPanelInf(), QColor(211, 255, 168));
        // and back to red
        w.Button2->click();
        w.txtFilialId->setText("1");
        w.btnProximoPage2->click();
        QCOMPARE(w.TextoDoResultado(), Cabecalho + NaoDeveSer1 + EscritorioN);
        QCOMPARE(w.CorPanelInf(), QColor(255, 128, 128));
    }

    void sairAvisaSoComErro() {
        filiais("(1,'S'),(2,'N')");
        {
            TFPreValidacao w;
            w.open();
            verificar(w, 0, "2");
            w.Button1->click();
            QVERIFY(dialogos::Mostradas().isEmpty());
            QCOMPARE(w.result(), int(QDialog::Accepted));
            QVERIFY(!w.isVisible());
        }
        {
            TFPreValidacao w;
            w.open();
            verificar(w, 0, "99");
            w.Button1->click();
            QCOMPARE(dialogos::Resumo(),
                     QStringList(QString::fromUtf8(
                         "Alerta: Você está saindo com o processo apontando erro.\r\n"
                         "Procedimento sujeito a log para acompanhamento.")));
            QCOMPARE(dialogos::Mostradas().first().titulo, QString("Alerta"));
            QCOMPARE(w.result(), int(QDialog::Accepted));
            QVERIFY(!w.isVisible());
        }
    }

    void erroDoBancoDeixaAPagina() {
        DM().AbrirConexao("localhost", "pv_semcoluna", "root", "", 3306);
        TFPreValidacao w;
        verificar(w, 0, "2");
        DM().AbrirConexao("localhost", "pv_teste", "root", "", 3306);
        QCOMPARE(dialogos::Mostradas().size(), 1);
        QCOMPARE(dialogos::Mostradas().first().tipo, dialogos::Tipo::ErroPadrao);
        QVERIFY2(dialogos::Mostradas().first().texto.contains("escritorio"),
                 qPrintable(dialogos::Mostradas().first().texto));
        QCOMPARE(w.Notebook1->currentIndex(), 1);
        QVERIFY(w.TextoDoResultado().isEmpty());
        QCOMPARE(w.CorPanelInf(), QColor(255, 128, 128));
    }

    void campoSoAceitaDigitos() {
        TFPreValidacao w;
        w.show();
        w.btnAvancarPage1->click();
        w.txtFilialId->setFocus();
        QTest::keyClicks(w.txtFilialId, "1a2-3 ,9");
        QCOMPARE(w.txtFilialId->text(), QString("1239"));
        // backspace is a character too, and is discarded; Delete is not a character
        QTest::keyClick(w.txtFilialId, Qt::Key_Backspace);
        QCOMPARE(w.txtFilialId->text(), QString("1239"));
        w.txtFilialId->setCursorPosition(0);
        QTest::keyClick(w.txtFilialId, Qt::Key_Delete);
        QCOMPARE(w.txtFilialId->text(), QString("239"));
        QTest::keyClick(w.txtFilialId, Qt::Key_7, Qt::KeypadModifier);
        QCOMPARE(w.txtFilialId->text(), QString("7239"));
        // a paste keeps only the digits, by shortcut or from the menu
        w.txtFilialId->clear();
        QGuiApplication::clipboard()->setText("4x 5\n-6");
        QTest::keyClick(w.txtFilialId, Qt::Key_V, Qt::ControlModifier);
        w.txtFilialId->paste();
        QCOMPARE(w.txtFilialId->text(), QString("456"));
        // Escape does not close the wizard
        QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(w.isVisible());
    }

    void oferta() {
        // No: no window
        dialogos::Responder(false);
        bool abriu = false;
        auto* vigia = new QTimer(this);
        connect(vigia, &QTimer::timeout, this, [&] {
            if (auto* j = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                abriu = true;
                j->reject();
            }
        });
        vigia->start(0);
        OferecerPreValidacao(nullptr);
        QCoreApplication::processEvents();
        delete vigia;
        QVERIFY(!abriu);
        QCOMPARE(dialogos::Mostradas().size(), 1);
        const dialogos::Caixa pergunta = dialogos::Mostradas().first();
        QCOMPARE(pergunta.tipo, dialogos::Tipo::Pergunta);
        QCOMPARE(pergunta.texto, QString::fromUtf8("Deseja efetuar a pré-validação?"));
        QCOMPARE(pergunta.titulo, QString::fromUtf8("Confirmação..."));
        QVERIFY(pergunta.simPadrao);

        // Yes: a new wizard, modal, on page 1
        dialogos::AtivarTeste(true);
        dialogos::Responder(true);
        int pagina = -1;
        QPointer<TFPreValidacao> aberta;
        teste::QuandoModal<TFPreValidacao>([&](TFPreValidacao* w) {
            aberta = w;
            pagina = w->Notebook1->currentIndex();
            w->done(QDialog::Accepted);
        });
        OferecerPreValidacao(nullptr);
        QCOMPARE(pagina, 0);
        QTRY_VERIFY(aberta.isNull()); // destroyed after it closed
    }
};

QTEST_MAIN(TstPreValidacao)
#include "tst_prevalidacao.moc"
