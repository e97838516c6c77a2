#include "gui/Dialogos.h"
#include "gui/ServidorSoap.h"
#include "gui/TFConfiguracoes.h"
#include "gui/TFLogin.h"
#include "gui/WSInstallQEL.h"
#include "support/TesteJanela.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

using namespace marvek;

class TstLogin : public teste::TTesteJanela {
    Q_OBJECT
    std::unique_ptr<teste::ServidorSoap> m_servidor;
    QString m_resposta; // what the service answers
    int m_encerramentos = 0;

    // The numbers the service received as iFuncionario_id and the passwords, in order.
    QStringList recebidos() const {
        QStringList r;
        for (const teste::PedidoHttp& p : m_servidor->pedidos) {
            const teste::ChamadaSoap c = teste::LerChamada(p.corpo);
            r << c.filhos.value(0).section('|', 2) + "/" + c.filhos.value(1).section('|', 2);
        }
        return r;
    }

    static void entrar(TFLogin* w, const QString& codigo, const QString& senha) {
        w->EditLogin->setText(codigo);
        w->EditSenha->setText(senha);
        w->btnOK->click();
    }

    // One run of the maintenance flow: the login with code and password, then (when the
    // options window shows) the marks to set and whether to press "&OK" (else "&Cancelar").
    struct Passagem {
        bool opcoesMostradas = false;
        QList<bool> marcasAntes;
        bool loginVazio = false;
    };
    Passagem fluxo(TFConfiguracoes& opcoes, TConfiguracoes*& configuracoes, const QString& codigo,
                   QList<bool> marcas = {}, bool ok = true) {
        Passagem passagem;
        teste::QuandoModal<TFLogin>([&](TFLogin* w) {
            passagem.loginVazio = w->EditLogin->text().isEmpty() && w->EditSenha->text().isEmpty();
            entrar(w, codigo, "segredo");
            if (w->isVisible())
                w->close(); // refused: leave with the close box
        });
        if (!marcas.isEmpty()) {
            teste::QuandoModal<TFConfiguracoes>([&, marcas, ok](TFConfiguracoes* j) {
                passagem.opcoesMostradas = true;
                for (int i = 1; i <= 3; ++i) {
                    passagem.marcasAntes << j->Marcado(i);
                    j->Marcar(i, marcas[i - 1]);
                }
                (ok ? j->Button1 : j->Button2)->click();
            });
        }
        ExecutarLoginManutencao(nullptr, opcoes, configuracoes);
        return passagem;
    }

private slots:
    void initTestCase() {
        TFLogin::DefinirEncerramento([this] { ++m_encerramentos; });
    }

    void init() {
        GravarCaixas();
        m_encerramentos = 0;
        m_resposta.clear();
        m_servidor = std::make_unique<teste::ServidorSoap>();
        m_servidor->responder = [this](const teste::PedidoHttp&) {
            return teste::RespostaSoap("GetLoginFuncionarioQEL", m_resposta);
        };
        DefinirEnderecoInstalacao(m_servidor->Endereco());
        DefinirTempoLimiteInstalacao(30000);
    }

    void janela() {
        TFLogin w;
        QCOMPARE(w.imgCodigo->pixmap().size(), QSize(201, 35));
        QCOMPARE(w.imgSenha->pixmap().size(), QSize(201, 35));
        QCOMPARE(w.imgCodigo->pixmap().toImage().pixelColor(100, 3), QColor(255, 255, 225));
        QCOMPARE(w.EditSenha->echoMode(), QLineEdit::Password);
        QCOMPARE(w.EditSenha->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr,
                                                 w.EditSenha),
                 int('*'));
        QCOMPARE(w.Tag(), 0);

        QVERIFY(Mostrar(w));
        QCOMPARE(w.focusWidget(), w.EditLogin);
        QVERIFY(w.imgCodigo->isVisible());
        QVERIFY(!w.imgSenha->isVisible());
        // Enter moves on: code -> password -> OK
        QTest::keyClick(w.EditLogin, Qt::Key_Return);
        QTRY_COMPARE(QApplication::focusWidget(), w.EditSenha);
        QVERIFY(w.imgSenha->isVisible());
        QVERIFY(!w.imgCodigo->isVisible());
        QTest::keyClick(w.EditSenha, Qt::Key_Enter);
        QTRY_COMPARE(QApplication::focusWidget(), w.btnOK);
        w.EditLogin->setFocus();
        QTRY_VERIFY(w.imgCodigo->isVisible());
        QVERIFY(!w.imgSenha->isVisible());
        QVERIFY(m_servidor->pedidos.isEmpty());
        QVERIFY(w.isVisible());
    }

    void camposVazios() {
        TFLogin w;
        w.show();
        entrar(&w, "   ", "x");
        QCOMPARE(dialogos::Resumo(), QStringList(QString::fromUtf8("Atencao: Defina um usuário")));
        QCOMPARE(dialogos::Mostradas().first().titulo, QString::fromUtf8("Atenção"));
        QCOMPARE(w.focusWidget(), w.EditLogin);
        dialogos::Mostradas().clear();
        entrar(&w, "7", " \t ");
        QCOMPARE(dialogos::Resumo(), QStringList("Atencao: Defina uma senha"));
        QCOMPARE(w.focusWidget(), w.EditSenha);
        QVERIFY(m_servidor->pedidos.isEmpty());
        QVERIFY(w.isVisible());
    }

    void codigoQueNaoEInteiro_data() {
        QTest::addColumn<QString>("codigo");
        QTest::newRow("letters") << "abc";
        QTest::newRow("beyond 32 bits") << "2147483648";
        QTest::newRow("decimal") << "7.0";
    }
    void codigoQueNaoEInteiro() {
        QFETCH(QString, codigo);
        TFLogin w;
        w.show();
        entrar(&w, codigo, "x");
        QCOMPARE(dialogos::Mostradas().size(), 1);
        QCOMPARE(dialogos::Mostradas().first().tipo, dialogos::Tipo::ErroPadrao);
        QVERIFY(dialogos::Mostradas().first().texto.contains(codigo));
        QVERIFY(m_servidor->pedidos.isEmpty()); // the service is not called
        QVERIFY(w.isVisible());
        QCOMPARE(w.Tag(), 0);
    }

    void respostas_data() {
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<QString>("resposta");
        QTest::addColumn<bool>("aceito");
        QTest::addColumn<QStringList>("caixas");
        QTest::addColumn<QString>("enviado");
        QTest::newRow("equal") << "7"
                               << "7" << true << QStringList() << "7";
        QTest::newRow("negative") << "-5"
                                  << "-5" << true << QStringList() << "-5";
        // the service receives the number; the reply must equal the text as typed
        QTest::newRow("leading zero, reply without") << "07"
                                                     << "7" << false << QStringList() << "7";
        QTest::newRow("leading zero, reply with") << "07"
                                                  << "07" << true << QStringList() << "7";
        QTest::newRow("other code") << "7"
                                    << "8" << false << QStringList() << "7";
        QTest::newRow("empty reply") << "7"
                                     << "" << false << QStringList() << "7";
        QTest::newRow("8 characters") << "7"
                                      << "12345678" << false << QStringList() << "7";
        QTest::newRow("9 characters")
            << "7"
            << "123456789" << false << QStringList(QString::fromUtf8("Atencao: 123456789")) << "7";
        QTest::newRow("refusal text")
            << "7" << QString::fromUtf8("Senha inválida") << false
            << QStringList(QString::fromUtf8("Atencao: Senha inválida")) << "7";
    }
    void respostas() {
        QFETCH(QString, codigo);
        QFETCH(QString, resposta);
        QFETCH(bool, aceito);
        QFETCH(QStringList, caixas);
        QFETCH(QString, enviado);
        m_resposta = resposta;
        TFLogin w;
        w.open();
        entrar(&w, codigo, QString::fromUtf8(" sênha "));
        QCOMPARE(recebidos(), QStringList(enviado + QString::fromUtf8("/ sênha ")));
        QCOMPARE(dialogos::Resumo(), caixas);
        QCOMPARE(w.Tag(), aceito ? 1 : 0);
        QCOMPARE(w.isVisible(), !aceito);
        QCOMPARE(m_encerramentos, 0);
    }

    void falhasDoServico_data() {
        QTest::addColumn<QString>("caso");
        QTest::newRow("soap fault") << "fault";
        QTest::newRow("http error") << "http";
        QTest::newRow("unreachable") << "unreachable";
        QTest::newRow("time-out") << "timeout";
    }
    void falhasDoServico() {
        QFETCH(QString, caso);
        QString esperado;
        if (caso == "fault") {
            m_servidor->responder = [](const teste::PedidoHttp&) {
                return teste::FalhaSoap(QString::fromUtf8("Funcionário bloqueado"));
            };
            esperado = QString::fromUtf8("Funcionário bloqueado");
        } else if (caso == "http") {
            m_servidor->responder = [](const teste::PedidoHttp&) {
                return teste::RespostaHttp(404, "text/html", "<html/>");
            };
            esperado = "Not Found";
        } else if (caso == "unreachable") {
            DefinirEnderecoInstalacao(
                QStringLiteral("http://127.0.0.1:%1").arg(teste::ServidorSoap::PortaFechada()));
            esperado = "refused";
        } else {
            m_servidor->responder = {};
            DefinirTempoLimiteInstalacao(200);
            esperado = QString::fromUtf8("não respondeu");
        }
        TFLogin w;
        w.open();
        entrar(&w, "7", "x");
        QCOMPARE(dialogos::Mostradas().size(), 1);
        QCOMPARE(dialogos::Mostradas().first().tipo, dialogos::Tipo::ErroPadrao);
        QVERIFY2(dialogos::Mostradas().first().texto.contains(esperado, Qt::CaseInsensitive),
                 qPrintable(dialogos::Mostradas().first().texto));
        QVERIFY(w.isVisible());
        QCOMPARE(w.Tag(), 0);
    }

    void cancelarEncerraOPrograma() {
        {
            TFLogin w;
            w.open();
            QTest::keyClick(w.EditLogin, Qt::Key_Escape);
            QCOMPARE(m_encerramentos, 1);
            QVERIFY(!w.isVisible());
            QCOMPARE(w.Tag(), 0);
        }
        {
            TFLogin w;
            w.open();
            w.btnCancelar->click();
            QCOMPARE(m_encerramentos, 2);
            QVERIFY(!w.isVisible());
        }
        {
            // the close box only closes
            TFLogin w;
            w.open();
            w.close();
            QCOMPARE(m_encerramentos, 2);
            QVERIFY(!w.isVisible());
            QCOMPARE(w.Tag(), 0);
        }
    }

    void fluxoComOpcoes() {
        TFConfiguracoes opcoes;
        TConfiguracoes inicial;
        TConfiguracoes* configuracoes = &inicial;

        m_resposta = "12";
        Passagem p = fluxo(opcoes, configuracoes, "12", {true, true, true});
        QVERIFY(p.loginVazio);
        QVERIFY(p.opcoesMostradas);
        QCOMPARE(p.marcasAntes, QList<bool>({false, false, false}));
        QVERIFY(configuracoes);
        QCOMPARE(configuracoes, opcoes.Configuracoes());
        QVERIFY(configuracoes->ExecutarTruncates() && configuracoes->ZerarNumlanc() &&
                configuracoes->ExecutarDeletes());
        QVERIFY(!inicial.ExecutarTruncates()); // the object made at start is left alone

        // a second login: a fresh login window, the previous marks, the same object changed
        TConfiguracoes* primeiro = configuracoes;
        p = fluxo(opcoes, configuracoes, "12", {false, false, false});
        QVERIFY(p.loginVazio);
        QCOMPARE(p.marcasAntes, QList<bool>({true, true, true}));
        QCOMPARE(configuracoes, primeiro);
        QVERIFY(!configuracoes->ExecutarTruncates() && !configuracoes->ZerarNumlanc() &&
                !configuracoes->ExecutarDeletes());

        // "&Cancelar": no options at all; the marks stay in the window
        p = fluxo(opcoes, configuracoes, "12", {true, false, true}, false);
        QVERIFY(p.opcoesMostradas);
        QCOMPARE(configuracoes, nullptr);
        QVERIFY(opcoes.Marcado(1) && !opcoes.Marcado(2) && opcoes.Marcado(3));
        QVERIFY(!opcoes.Configuracoes()->ExecutarTruncates());

        // a later "&OK" gives the main window the object again
        p = fluxo(opcoes, configuracoes, "12", {true, false, true});
        QCOMPARE(p.marcasAntes, QList<bool>({true, false, true}));
        QCOMPARE(configuracoes, primeiro);
        QVERIFY(configuracoes->ExecutarTruncates() && !configuracoes->ZerarNumlanc() &&
                configuracoes->ExecutarDeletes());

        // the close box of the options window is "&Cancelar"
        teste::QuandoModal<TFLogin>([](TFLogin* w) { entrar(w, "12", "x"); });
        teste::QuandoModal<TFConfiguracoes>([](TFConfiguracoes* j) { j->close(); });
        ExecutarLoginManutencao(nullptr, opcoes, configuracoes);
        QCOMPARE(configuracoes, nullptr);
        QVERIFY(dialogos::Mostradas().isEmpty());
    }

    void fluxoSemPermissao() {
        TFConfiguracoes opcoes;
        TConfiguracoes inicial;
        TConfiguracoes* configuracoes = &inicial;
        // accepted by the service, but not a maintenance code
        m_resposta = "2";
        fluxo(opcoes, configuracoes, "2");
        QCOMPARE(dialogos::Resumo(),
                 QStringList(QString::fromUtf8("Erro: Usuário sem permissão para este módulo.")));
        QCOMPARE(configuracoes, &inicial);
        QCOMPARE(opcoes.Configuracoes(), nullptr);
        // the list is compared with the text as typed: "07" is not "7"
        dialogos::Mostradas().clear();
        QVERIFY(CodigosManutencao().contains("7"));
        m_resposta = "07";
        fluxo(opcoes, configuracoes, "07");
        QCOMPARE(dialogos::Resumo(),
                 QStringList(QString::fromUtf8("Erro: Usuário sem permissão para este módulo.")));
        QCOMPARE(configuracoes, &inicial);
    }

    void fluxoSemSucesso() {
        TFConfiguracoes opcoes;
        TConfiguracoes inicial;
        TConfiguracoes* configuracoes = &inicial;
        // refused by the service, then left with the close box: nothing happens
        m_resposta = "nao";
        fluxo(opcoes, configuracoes, "12");
        QCOMPARE(m_servidor->pedidos.size(), 1);
        QVERIFY(dialogos::Mostradas().isEmpty());
        QCOMPARE(configuracoes, &inicial);
        // Escape: the program is told to end, the flow does nothing more
        teste::QuandoModal<TFLogin>([](TFLogin* w) { QTest::keyClick(w, Qt::Key_Escape); });
        ExecutarLoginManutencao(nullptr, opcoes, configuracoes);
        QCOMPARE(m_encerramentos, 1);
        QVERIFY(dialogos::Mostradas().isEmpty());
        QCOMPARE(configuracoes, &inicial);
    }
};

QTEST_MAIN(TstLogin)
#include "tst_login.moc"
