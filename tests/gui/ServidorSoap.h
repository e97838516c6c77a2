#pragma once

// A small HTTP server on 127.0.0.1 for the tests of the installation web-service client: it
// records every request and answers as the test says.

#include <QApplication>
#include <QMap>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QXmlStreamReader>
#include <functional>

namespace teste {

struct PedidoHttp {
    QByteArray metodo;
    QByteArray caminho;
    QMap<QByteArray, QByteArray> cabecalhos; // names in lower case
    QByteArray corpo;
};

// The RPC element of a SOAP request: its namespace, its name and its children in order.
struct ChamadaSoap {
    QString espacoEnvelope;
    QString estiloCodificacao;
    QString espaco;
    QString operacao;
    QStringList filhos;        // "name|xsi:type|text"
    QStringList espacosFilhos; // namespace of every child (empty: unqualified)
};

inline ChamadaSoap LerChamada(const QByteArray& corpo) {
    ChamadaSoap c;
    const QString xsi = QStringLiteral("http://www.w3.org/2001/XMLSchema-instance");
    QXmlStreamReader r(corpo);
    if (!r.readNextStartElement() || r.name() != QLatin1String("Envelope"))
        return c;
    c.espacoEnvelope = r.namespaceUri().toString();
    while (r.readNextStartElement() && r.name() != QLatin1String("Body"))
        r.skipCurrentElement();
    c.estiloCodificacao =
        r.attributes().value(c.espacoEnvelope, QLatin1String("encodingStyle")).toString();
    if (!r.readNextStartElement())
        return c;
    c.espaco = r.namespaceUri().toString();
    c.operacao = r.name().toString();
    while (r.readNextStartElement()) {
        const QString nome = r.name().toString();
        const QString tipo = r.attributes().value(xsi, QLatin1String("type")).toString();
        c.espacosFilhos << r.namespaceUri().toString();
        c.filhos << nome + "|" + tipo + "|" + r.readElementText();
    }
    return c;
}

inline QByteArray RespostaHttp(int status, const QByteArray& tipo, const QByteArray& corpo) {
    const QByteArray motivo = status == 200   ? "OK"
                              : status == 500 ? "Internal Server Error"
                                              : "Not Found";
    return "HTTP/1.1 " + QByteArray::number(status) + " " + motivo + "\r\nContent-Type: " + tipo +
           "\r\nContent-Length: " + QByteArray::number(corpo.size()) +
           "\r\nConnection: close\r\n\r\n" + corpo;
}

inline QByteArray EnvelopeResposta(const QString& operacao, const QString& valor,
                                   const QString& tipo = QStringLiteral("xsd:string")) {
    QByteArray valorXml = valor.toHtmlEscaped().toUtf8();
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
           "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\" "
           "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" "
           "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
           "xmlns:SOAP-ENC=\"http://schemas.xmlsoap.org/soap/encoding/\">"
           "<SOAP-ENV:Body SOAP-ENV:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\">"
           "<NS1:" +
           operacao.toUtf8() + "Response xmlns:NS1=\"urn:InstallQELIntf-IInstallQEL\">" +
           "<return xsi:type=\"" + tipo.toUtf8() + "\">" + valorXml +
           "</return></NS1:" + operacao.toUtf8() + "Response></SOAP-ENV:Body></SOAP-ENV:Envelope>";
}

inline QByteArray RespostaSoap(const QString& operacao, const QString& valor,
                               const QString& tipo = QStringLiteral("xsd:string")) {
    return RespostaHttp(200, "text/xml; charset=utf-8", EnvelopeResposta(operacao, valor, tipo));
}

inline QByteArray FalhaSoap(const QString& mensagem) {
    return RespostaHttp(
        500, "text/xml; charset=utf-8",
        "<?xml version=\"1.0\"?><SOAP-ENV:Envelope "
        "xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\"><SOAP-ENV:Body>"
        "<SOAP-ENV:Fault><faultcode>SOAP-ENV:Server</faultcode><faultstring>" +
            mensagem.toHtmlEscaped().toUtf8() +
            "</faultstring></SOAP-ENV:Fault></SOAP-ENV:Body></SOAP-ENV:Envelope>");
}

class ServidorSoap {
public:
    // Returns the whole HTTP response; an empty one means: never answer.
    std::function<QByteArray(const PedidoHttp&)> responder;
    QList<PedidoHttp> pedidos;

    ServidorSoap() {
        m_servidor.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_servidor, &QTcpServer::newConnection, &m_servidor, [this] {
            while (QTcpSocket* s = m_servidor.nextPendingConnection()) {
                auto* buffer = new QByteArray;
                QObject::connect(s, &QObject::destroyed, [buffer] { delete buffer; });
                QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
                QObject::connect(s, &QTcpSocket::readyRead, s,
                                 [this, s, buffer] { ler(s, *buffer); });
            }
        });
    }
    quint16 Porta() const { return m_servidor.serverPort(); }
    QString Endereco() const { return QStringLiteral("http://127.0.0.1:%1").arg(Porta()); }

    // A port on which nothing listens.
    static quint16 PortaFechada() {
        QTcpServer s;
        s.listen(QHostAddress::LocalHost, 0);
        const quint16 p = s.serverPort();
        s.close();
        return p;
    }

private:
    void ler(QTcpSocket* s, QByteArray& buffer) {
        buffer += s->readAll();
        const qsizetype fim = buffer.indexOf("\r\n\r\n");
        if (fim < 0)
            return;
        PedidoHttp p;
        const QList<QByteArray> linhas = buffer.left(fim).split('\n');
        const QList<QByteArray> primeira = linhas.first().trimmed().split(' ');
        p.metodo = primeira.value(0);
        p.caminho = primeira.value(1);
        for (qsizetype i = 1; i < linhas.size(); ++i) {
            const qsizetype dp = linhas[i].indexOf(':');
            if (dp > 0)
                p.cabecalhos[linhas[i].left(dp).trimmed().toLower()] =
                    linhas[i].mid(dp + 1).trimmed();
        }
        const qsizetype tamanho = p.cabecalhos.value("content-length", "0").toLongLong();
        if (buffer.size() < fim + 4 + tamanho)
            return;
        p.corpo = buffer.mid(fim + 4, tamanho);
        buffer.clear();
        pedidos << p;
        const QByteArray resposta = responder ? responder(p) : QByteArray();
        if (!resposta.isEmpty()) {
            s->write(resposta);
            s->disconnectFromHost();
        }
    }

    QTcpServer m_servidor;
};

// Runs the action once a modal window of class T is on screen (checked by a timer after every
// pass of the event loop), e.g. to fill and close a dialog that a flow opens with exec().
template <class T> void QuandoModal(std::function<void(T*)> acao) {
    auto* relogio = new QTimer;
    relogio->setInterval(0);
    QObject::connect(relogio, &QTimer::timeout, [relogio, acao] {
        if (auto* janela = qobject_cast<T*>(QApplication::activeModalWidget())) {
            relogio->stop();
            relogio->deleteLater();
            acao(janela);
        }
    });
    relogio->start();
}

} // namespace teste
