#include "data/Instalacao.h"

#include "base/EErro.h"
#include "base/Identificador.h"
#include "base/Pastas.h"
#include "data/ArquivoIni.h"
#include "data/TDM.h"

#include <QCryptographicHash>

namespace marvek {

QString ArquivoDeConfiguracao() {
    return PastaDeConfiguracao() + QStringLiteral("sistema_qel.ini");
}

bool EhBancoDoServidor(const QString& banco) {
    for (const char* b : {"mysql", "information_schema", "performance_schema", "sys"})
        if (banco.compare(QLatin1String(b), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString LerBancoDeTrabalho() {
    const QString banco = LerTextoIni(ArquivoDeConfiguracao(), QStringLiteral("ip"),
                                      QStringLiteral("database"), QStringLiteral("gerente"));
    // An empty name would make the data folder itself the database folder to empty.
    if (banco.trimmed().isEmpty())
        throw EErro(QStringLiteral("O nome do banco de dados em sistema_qel.ini está vazio"));
    if (!EhIdentificadorSimples(banco))
        throw EErro(QStringLiteral("O banco de dados \"%1\" (chave database do sistema_qel.ini) "
                                   "não é um nome simples: só letras, dígitos, \"_\" e \"$\". "
                                   "Nada foi alterado.")
                        .arg(banco));
    if (EhBancoDoServidor(banco))
        throw EErro(QStringLiteral("O banco de dados \"%1\" (chave database do sistema_qel.ini) "
                                   "é um banco do próprio servidor e não pode receber uma "
                                   "restauração. Nada foi alterado.")
                        .arg(banco));
    return banco;
}

int LerCodFisica() {
    const QString texto = LerTextoIni(ArquivoDeConfiguracao(), QStringLiteral("FilialMatriz"),
                                      QStringLiteral("CodFisica"), QString());
    bool ok = false;
    const int id = texto.trimmed().toInt(&ok, 10);
    if (!ok || id <= 0)
        throw EErro(QStringLiteral("Filial inválida, verifique o arquivo sistema_qel.ini"));
    return id;
}

QString TTravaExecucao::Nome(const QString& banco) {
    // One name whatever the case the database is written in (a server may fold it); the
    // server takes names of up to 64 characters.
    const QString b = banco.toLower();
    const QString nome = QStringLiteral("marvek.") + b;
    if (nome.size() <= 64)
        return nome;
    return QStringLiteral("marvek.") +
           QString::fromLatin1(
               QCryptographicHash::hash(b.toUtf8(), QCryptographicHash::Sha1).toHex());
}

TTravaExecucao::TTravaExecucao(TDM& dm, const QString& banco) : m_dm(dm), m_nome(Nome(banco)) {
    if (banco.isEmpty())
        throw EErro(QStringLiteral("Nenhum banco de dados selecionado"));
    const QVariant obtida = m_dm.ConsultarValor(
        QStringLiteral("SELECT GET_LOCK(%1, 0)").arg(CitarTexto(m_nome)), QVariant());
    if (obtida.toLongLong() != 1)
        throw EExecucaoEmAndamento(
            QStringLiteral("Outra execução do Marvek (backup, restauração ou reversão) "
                           "está em andamento no banco %1. Aguarde o fim dela e tente de "
                           "novo; nada foi alterado.")
                .arg(banco));
}

TTravaExecucao::~TTravaExecucao() {
    // A connection the server dropped has released the lock already: it is not opened again
    // only to release it.
    if (!m_dm.Conexao.Aberta())
        return;
    try {
        m_dm.TentarConsultarValor(QStringLiteral("SELECT RELEASE_LOCK(%1)").arg(CitarTexto(m_nome)),
                                  QVariant());
    } catch (...) {
        // Nothing to report from here: the server releases the lock with the connection.
    }
}

} // namespace marvek
