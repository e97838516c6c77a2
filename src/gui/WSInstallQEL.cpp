#include "gui/WSInstallQEL.h"

#include "base/EErro.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#ifndef MARVEK_SERVIDOR_INSTALACAO
#define MARVEK_SERVIDOR_INSTALACAO "http://instalador.sistemaqel.com.br"
#endif
#ifndef MARVEK_CODIGOS_MANUTENCAO
#define MARVEK_CODIGOS_MANUTENCAO "1,7,12,23,45,88"
#endif

namespace marvek {

namespace {

const QString NsEnvelope = QStringLiteral("http://schemas.xmlsoap.org/soap/envelope/");
const QString NsCodificacao = QStringLiteral("http://schemas.xmlsoap.org/soap/encoding/");
const QString NsXsd = QStringLiteral("http://www.w3.org/2001/XMLSchema");
const QString NsXsi = QStringLiteral("http://www.w3.org/2001/XMLSchema-instance");

QString g_endereco;
int g_tempoLimite = 30000;

struct Parametro {
    QString nome;
    QString tipo; // xsd:int, xsd:string
    QString valor;
};

QByteArray montarEnvelope(const QString& operacao, const QList<Parametro>& parametros) {
    QByteArray corpo;
    QXmlStreamWriter w(&corpo);
    w.writeStartDocument();
    w.writeNamespace(NsEnvelope, QStringLiteral("SOAP-ENV"));
    w.writeNamespace(NsXsd, QStringLiteral("xsd"));
    w.writeNamespace(NsXsi, QStringLiteral("xsi"));
    w.writeNamespace(NsCodificacao, QStringLiteral("SOAP-ENC"));
    w.writeStartElement(NsEnvelope, QStringLiteral("Envelope"));
    w.writeStartElement(NsEnvelope, QStringLiteral("Body"));
    w.writeAttribute(NsEnvelope, QStringLiteral("encodingStyle"), NsCodificacao);
    w.writeNamespace(QString::fromLatin1(NamespaceInstallQEL), QStringLiteral("NS1"));
    w.writeStartElement(QString::fromLatin1(NamespaceInstallQEL), operacao);
    for (const Parametro& p : parametros) {
        w.writeStartElement(p.nome);
        w.writeAttribute(NsXsi, QStringLiteral("type"), p.tipo);
        w.writeCharacters(p.valor);
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndDocument();
    return corpo;
}

// What a reply body holds: a return value, a fault, or nothing a SOAP client can read.
struct RespostaSoap {
    bool soap = false;
    bool falha = false;
    QString texto; // the return value or the fault's message
};

bool entrarEm(QXmlStreamReader& r, const QString& ns, const QString& nome) {
    while (r.readNextStartElement()) {
        if (r.namespaceUri() == ns && r.name() == nome)
            return true;
        r.skipCurrentElement();
    }
    return false;
}

RespostaSoap lerResposta(const QByteArray& dados) {
    RespostaSoap resposta;
    QXmlStreamReader r(dados);
    if (!r.readNextStartElement() || r.namespaceUri() != NsEnvelope ||
        r.name() != QLatin1String("Envelope"))
        return resposta;
    if (!entrarEm(r, NsEnvelope, QStringLiteral("Body")) || !r.readNextStartElement())
        return resposta;
    if (r.namespaceUri() == NsEnvelope && r.name() == QLatin1String("Fault")) {
        QString codigo, mensagem;
        while (r.readNextStartElement()) {
            if (r.name() == QLatin1String("faultstring"))
                mensagem = r.readElementText(QXmlStreamReader::IncludeChildElements);
            else if (r.name() == QLatin1String("faultcode"))
                codigo = r.readElementText(QXmlStreamReader::IncludeChildElements);
            else
                r.skipCurrentElement();
        }
        if (r.hasError())
            return resposta;
        resposta.soap = true;
        resposta.falha = true;
        resposta.texto = mensagem.isEmpty() ? codigo : mensagem;
        return resposta;
    }
    // The operation's response element; its single child is the return value.
    if (!r.readNextStartElement())
        return resposta;
    resposta.texto = r.readElementText(QXmlStreamReader::IncludeChildElements);
    resposta.soap = !r.hasError();
    return resposta;
}

// One HTTP exchange, waited for in a local event loop that leaves user input aside.
QByteArray trocar(const QString& endereco, const QByteArray* corpo, const QString& acao,
                  int& status) {
    const QUrl url(endereco);
    if (!url.isValid() || url.host().isEmpty())
        throw EErro(
            QString::fromUtf8("Endereço inválido do serviço de instalação: \"%1\"").arg(endereco));
    QNetworkAccessManager rede;
    QNetworkRequest pedido(url);
    std::unique_ptr<QNetworkReply> resposta;
    if (corpo) {
        pedido.setHeader(QNetworkRequest::ContentTypeHeader,
                         QStringLiteral("text/xml; charset=%1").arg(CodificacaoInstallQEL));
        pedido.setRawHeader("SOAPAction", '"' + acao.toUtf8() + '"');
        resposta.reset(rede.post(pedido, *corpo));
    } else {
        resposta.reset(rede.get(pedido));
    }

    QEventLoop laco;
    QTimer relogio;
    relogio.setSingleShot(true);
    QObject::connect(resposta.get(), &QNetworkReply::finished, &laco, &QEventLoop::quit);
    QObject::connect(&relogio, &QTimer::timeout, &laco, &QEventLoop::quit);
    relogio.start(g_tempoLimite);
    if (!resposta->isFinished())
        laco.exec(QEventLoop::ExcludeUserInputEvents);
    if (!resposta->isFinished()) {
        resposta->abort();
        throw EErro(QString::fromUtf8("O serviço de instalação não respondeu em %1 segundos "
                                      "(%2)")
                        .arg(QString::number(g_tempoLimite / 1000.0), endereco));
    }
    status = resposta->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QByteArray dados = resposta->readAll();
    // A SOAP fault usually comes with HTTP status 500: its message says more than the status.
    if (corpo) {
        const RespostaSoap soap = lerResposta(dados);
        if (soap.falha)
            throw EErro(soap.texto);
    }
    if (resposta->error() != QNetworkReply::NoError)
        throw EErro(resposta->errorString());
    return dados;
}

// Reads the endpoint of the service and port named in a service description.
QString enderecoDoWsdl(const THTTPRIO& rio) {
    int status = 0;
    const QByteArray wsdl = trocar(rio.WSDLLocation, nullptr, {}, status);
    QXmlStreamReader r(wsdl);
    bool noServico = false, naPorta = false;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            const QString nome = r.attributes().value(QLatin1String("name")).toString();
            if (r.name() == QLatin1String("service"))
                noServico = nome == rio.Service;
            else if (r.name() == QLatin1String("port"))
                naPorta = noServico && nome == rio.Port;
            else if (naPorta && r.name() == QLatin1String("address"))
                return r.attributes().value(QLatin1String("location")).toString();
        } else if (r.isEndElement()) {
            if (r.name() == QLatin1String("service"))
                noServico = false;
            else if (r.name() == QLatin1String("port"))
                naPorta = false;
        }
    }
    throw EErro(QString::fromUtf8("A descrição do serviço em \"%1\" não tem o endereço do "
                                  "serviço %2, porta %3")
                    .arg(rio.WSDLLocation, rio.Service, rio.Port));
}

class TInstallQEL : public IInstallQEL {
public:
    TInstallQEL(THTTPRIO* rio, std::unique_ptr<THTTPRIO> proprio)
        : m_rio(rio), m_proprio(std::move(proprio)) {}

    QString GetLoginFuncionarioQEL(qint32 iFuncionario_id, const QString& sSenha) override {
        return chamar(QStringLiteral("GetLoginFuncionarioQEL"),
                      {{QStringLiteral("iFuncionario_id"), QStringLiteral("xsd:int"),
                        QString::number(iFuncionario_id)},
                       texto(QStringLiteral("sSenha"), sSenha)});
    }

private:
    static Parametro texto(const QString& nome, const QString& valor) {
        return {nome, QStringLiteral("xsd:string"), valor};
    }

    QString chamar(const QString& operacao, const QList<Parametro>& parametros) {
        if (m_rio->URL.isEmpty() && !m_rio->WSDLLocation.isEmpty())
            m_rio->URL = enderecoDoWsdl(*m_rio);
        const QString acao = QString::fromLatin1(AcaoSoapInstallQEL)
                                 .replace(QLatin1String("%operationName%"), operacao);
        const QByteArray corpo = montarEnvelope(operacao, parametros);
        int status = 0;
        const QByteArray dados = trocar(m_rio->URL, &corpo, acao, status);
        const RespostaSoap soap = lerResposta(dados);
        if (!soap.soap)
            throw EErro(QString::fromUtf8("Resposta inválida do serviço de instalação (HTTP %1): "
                                          "não é uma resposta SOAP")
                            .arg(status));
        return soap.texto;
    }

    THTTPRIO* m_rio;
    std::unique_ptr<THTTPRIO> m_proprio;
};

} // namespace

QString EnderecoInstalacao() {
    QString e = g_endereco.isEmpty() ? QStringLiteral(MARVEK_SERVIDOR_INSTALACAO) : g_endereco;
    while (e.endsWith(QLatin1Char('/')))
        e.chop(1);
    return e;
}

void DefinirEnderecoInstalacao(const QString& endereco) {
    g_endereco = endereco;
}

int TempoLimiteInstalacao() {
    return g_tempoLimite;
}

void DefinirTempoLimiteInstalacao(int milissegundos) {
    g_tempoLimite = milissegundos;
}

std::shared_ptr<IInstallQEL> GetIInstallQEL(bool usarWSDL, const QString& endereco, THTTPRIO* rio) {
    QString addr = endereco;
    if (addr.isEmpty())
        addr = EnderecoInstalacao() +
               QString::fromLatin1(usarWSDL ? CaminhoWsdlInstallQEL : CaminhoSoapInstallQEL);
    std::unique_ptr<THTTPRIO> proprio;
    if (!rio) {
        proprio = std::make_unique<THTTPRIO>();
        rio = proprio.get();
    }
    if (usarWSDL) {
        rio->WSDLLocation = addr;
        rio->Service = QString::fromLatin1(ServicoInstallQEL);
        rio->Port = QString::fromLatin1(PortaInstallQEL);
        rio->URL.clear();
    } else {
        rio->URL = addr;
    }
    return std::make_shared<TInstallQEL>(rio, std::move(proprio));
}

QStringList CodigosManutencao() {
    return QString::fromLatin1(MARVEK_CODIGOS_MANUTENCAO)
        .split(QLatin1Char(','), Qt::SkipEmptyParts);
}

} // namespace marvek
