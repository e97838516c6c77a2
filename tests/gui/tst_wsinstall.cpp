#include "base/EErro.h"
#include "gui/ServidorSoap.h"
#include "gui/WSInstallQEL.h"

#include <QElapsedTimer>
#include <QtTest>

using namespace marvek;

class TstWSInstall : public QObject {
    Q_OBJECT

    // Runs the call and returns the message of the error it raised ("" when none).
    template <class F> static QString erroDe(F chamada) {
        try {
            chamada();
        } catch (const EErro& e) {
            return e.Mensagem().isEmpty() ? QStringLiteral("(empty message)") : e.Mensagem();
        }
        return {};
    }

private slots:
    void init() {
        DefinirEnderecoInstalacao({});
        DefinirTempoLimiteInstalacao(30000);
    }

    void enderecos() {
        QCOMPARE(EnderecoInstalacao(), QString(MARVEK_SERVIDOR_INSTALACAO));
        THTTPRIO rio;
        GetIInstallQEL(false, {}, &rio);
        QCOMPARE(rio.URL, QString(MARVEK_SERVIDOR_INSTALACAO) +
                              "/InstaladorQEL/InstallQEL.dll/soap/IInstallQEL");
        THTTPRIO descricao;
        GetIInstallQEL(true, {}, &descricao);
        QCOMPARE(descricao.WSDLLocation, QString(MARVEK_SERVIDOR_INSTALACAO) +
                                             "/InstaladorQEL/InstallQEL.dll/wsdl/IInstallQEL");
        QCOMPARE(descricao.Service, QString("IInstallQELservice"));
        QCOMPARE(descricao.Port, QString("IInstallQELPort"));

        DefinirEnderecoInstalacao("http://127.0.0.1:8080/");
        GetIInstallQEL(false, {}, &rio);
        QCOMPARE(rio.URL, QString("http://127.0.0.1:8080/InstaladorQEL/InstallQEL.dll/soap/"
                                  "IInstallQEL"));
        GetIInstallQEL(false, "http://outro/x", &rio);
        QCOMPARE(rio.URL, QString("http://outro/x"));
        QCOMPARE(CodigosManutencao().size(), 6);
    }

    void pedidoDoLogin() {
        teste::ServidorSoap servidor;
        servidor.responder = [](const teste::PedidoHttp& p) {
            return teste::RespostaSoap("GetLoginFuncionarioQEL",
                                       teste::LerChamada(p.corpo).filhos.value(1));
        };
        DefinirEnderecoInstalacao(servidor.Endereco());
        const QString senha = QString::fromUtf8("sênha <&> \"x\"");
        const QString resposta = GetIInstallQEL()->GetLoginFuncionarioQEL(-2147483647 - 1, senha);

        QCOMPARE(servidor.pedidos.size(), 1);
        const teste::PedidoHttp& p = servidor.pedidos.first();
        QCOMPARE(p.metodo, QByteArray("POST"));
        QCOMPARE(p.caminho, QByteArray("/InstaladorQEL/InstallQEL.dll/soap/IInstallQEL"));
        QCOMPARE(p.cabecalhos.value("soapaction"),
                 QByteArray("\"urn:InstallQELIntf-IInstallQEL#GetLoginFuncionarioQEL\""));
        QCOMPARE(p.cabecalhos.value("content-type"), QByteArray("text/xml; charset=utf-8"));
        const teste::ChamadaSoap c = teste::LerChamada(p.corpo);
        QCOMPARE(c.espacoEnvelope, QString("http://schemas.xmlsoap.org/soap/envelope/"));
        QCOMPARE(c.estiloCodificacao, QString("http://schemas.xmlsoap.org/soap/encoding/"));
        QCOMPARE(c.espaco, QString("urn:InstallQELIntf-IInstallQEL"));
        QCOMPARE(c.operacao, QString("GetLoginFuncionarioQEL"));
        QCOMPARE(c.filhos, QStringList({"iFuncionario_id|xsd:int|-2147483648",
                                        "sSenha|xsd:string|" + senha}));
        QCOMPARE(c.espacosFilhos, QStringList({"", ""}));
        // the reply's return value, read back
        QCOMPARE(resposta, "sSenha|xsd:string|" + senha);
    }

    void descricaoDoServico() {
        // the endpoint is read from the service description, for the named service and port
        teste::ServidorSoap servidor;
        const QString endpoint = servidor.Endereco() + "/outro/soap";
        servidor.responder = [endpoint](const teste::PedidoHttp& p) {
            if (p.metodo == "GET")
                return teste::RespostaHttp(
                    200, "text/xml",
                    "<definitions xmlns=\"http://schemas.xmlsoap.org/wsdl/\" "
                    "xmlns:soap=\"http://schemas.xmlsoap.org/wsdl/soap/\">"
                    "<service name=\"Outro\"><port name=\"IInstallQELPort\">"
                    "<soap:address location=\"http://errado/\"/></port></service>"
                    "<service name=\"IInstallQELservice\"><port name=\"IInstallQELPort\">"
                    "<soap:address location=\"" +
                        endpoint.toUtf8() + "\"/></port></service></definitions>");
            return teste::RespostaSoap("GetLoginFuncionarioQEL", "ok");
        };
        DefinirEnderecoInstalacao(servidor.Endereco());
        QCOMPARE(GetIInstallQEL(true)->GetLoginFuncionarioQEL(1, "x"), QString("ok"));
        QCOMPARE(servidor.pedidos.size(), 2);
        QCOMPARE(servidor.pedidos[0].caminho,
                 QByteArray("/InstaladorQEL/InstallQEL.dll/wsdl/IInstallQEL"));
        QCOMPARE(servidor.pedidos[1].metodo, QByteArray("POST"));
        QCOMPARE(servidor.pedidos[1].caminho, QByteArray("/outro/soap"));
    }

    void falhas_data() {
        QTest::addColumn<QByteArray>("resposta");
        QTest::addColumn<QString>("mensagem"); // a part of the expected message
        QTest::newRow("soap fault") << teste::FalhaSoap(QString::fromUtf8("Senha inválida"))
                                    << QString::fromUtf8("Senha inválida");
        QTest::newRow("http 404") << teste::RespostaHttp(404, "text/html", "<html>nada</html>")
                                  << QString("Not Found");
        QTest::newRow("http 500 without fault")
            << teste::RespostaHttp(500, "text/plain", "boom") << QString("Internal Server Error");
        QTest::newRow("not soap") << teste::RespostaHttp(200, "text/html", "<html>ok</html>")
                                  << QString::fromUtf8("não é uma resposta SOAP");
        QTest::newRow("empty body") << teste::RespostaHttp(200, "text/xml", "")
                                    << QString::fromUtf8("não é uma resposta SOAP");
        QTest::newRow("envelope without body element")
            << teste::RespostaHttp(200, "text/xml",
                                   "<e:Envelope xmlns:e=\"http://schemas.xmlsoap.org/soap/"
                                   "envelope/\"></e:Envelope>")
            << QString::fromUtf8("não é uma resposta SOAP");
    }

    void falhas() {
        QFETCH(QByteArray, resposta);
        QFETCH(QString, mensagem);
        teste::ServidorSoap servidor;
        servidor.responder = [resposta](const teste::PedidoHttp&) { return resposta; };
        DefinirEnderecoInstalacao(servidor.Endereco());
        const QString erro =
            erroDe([] { GetIInstallQEL()->GetLoginFuncionarioQEL(7, QStringLiteral("x")); });
        QVERIFY2(erro.contains(mensagem), qPrintable(erro));
    }

    void servidorInalcancavel() {
        DefinirEnderecoInstalacao(
            QStringLiteral("http://127.0.0.1:%1").arg(teste::ServidorSoap::PortaFechada()));
        const QString erro = erroDe([] { GetIInstallQEL()->GetLoginFuncionarioQEL(7, "x"); });
        QVERIFY2(erro.contains("refused", Qt::CaseInsensitive), qPrintable(erro));
    }

    void tempoEsgotado() {
        teste::ServidorSoap servidor; // records the request and never answers
        DefinirEnderecoInstalacao(servidor.Endereco());
        DefinirTempoLimiteInstalacao(200);
        QElapsedTimer relogio;
        relogio.start();
        const QString erro = erroDe([] { GetIInstallQEL()->GetLoginFuncionarioQEL(7, "x"); });
        QVERIFY2(erro.contains(QString::fromUtf8("não respondeu")), qPrintable(erro));
        QVERIFY(relogio.elapsed() >= 190);
        QVERIFY(relogio.elapsed() < 10000);
        QCOMPARE(servidor.pedidos.size(), 1);
        QCOMPARE(TempoLimiteInstalacao(), 200);
    }
};

QTEST_MAIN(TstWSInstall)
#include "tst_wsinstall.moc"
