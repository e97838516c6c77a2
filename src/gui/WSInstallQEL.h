#pragma once

#include <QString>
#include <QStringList>
#include <memory>

namespace marvek {

// Client of the vendor's installation web service IInstallQEL (SOAP 1.1, RPC style, section 5
// encoding, over HTTP). Every call is synchronous: it runs a local event loop until the reply
// arrives or the time-out passes. Failures (server unreachable, HTTP error, a reply that is not
// a SOAP response, a SOAP fault, the time-out) are raised as EErro with their message.

// Registration of the interface.
inline constexpr const char* NamespaceInstallQEL = "urn:InstallQELIntf-IInstallQEL";
inline constexpr const char* CodificacaoInstallQEL = "utf-8";
inline constexpr const char* AcaoSoapInstallQEL = "urn:InstallQELIntf-IInstallQEL#%operationName%";

// Endpoint constants; the server's address is put in front of both paths.
inline constexpr const char* CaminhoSoapInstallQEL =
    "/InstaladorQEL/InstallQEL.dll/soap/IInstallQEL";
inline constexpr const char* CaminhoWsdlInstallQEL =
    "/InstaladorQEL/InstallQEL.dll/wsdl/IInstallQEL";
inline constexpr const char* ServicoInstallQEL = "IInstallQELservice";
inline constexpr const char* PortaInstallQEL = "IInstallQELPort";

// The installation server: scheme and host (and port, if any), without a trailing "/". By
// default the address fixed at build time; DefinirEnderecoInstalacao replaces it for the rest of
// the run (an empty text restores the default).
QString EnderecoInstalacao();
void DefinirEnderecoInstalacao(const QString& endereco);

// Time-out of one call in milliseconds (30000 by default).
int TempoLimiteInstalacao();
void DefinirTempoLimiteInstalacao(int milissegundos);

// The SOAP client object: where the calls go. In service-description mode the endpoint is read
// from the description (WSDL) at the first call.
class THTTPRIO {
public:
    QString URL;          // the SOAP endpoint
    QString WSDLLocation; // the service description, when the endpoint is to be read from it
    QString Service;
    QString Port;
};

// The service interface: the one operation the program calls (the service offers six more,
// for the installer).
class IInstallQEL {
public:
    virtual ~IInstallQEL() = default;
    virtual QString GetLoginFuncionarioQEL(qint32 iFuncionario_id, const QString& sSenha) = 0;
};

// Binds an interface reference to the service. usarWSDL selects the service description instead
// of the SOAP endpoint; an empty endereco takes the full address of the one selected. Without a
// client object a new one is made whose lifetime follows the reference; a given one is used and
// must outlive the reference.
std::shared_ptr<IInstallQEL> GetIInstallQEL(bool usarWSDL = false, const QString& endereco = {},
                                            THTTPRIO* rio = nullptr);

// The six employee codes allowed into the maintenance options, in their order.
QStringList CodigosManutencao();

} // namespace marvek
