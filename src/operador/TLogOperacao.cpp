#include "operador/TLogOperacao.h"

#include "base/EErro.h"
#include "base/Pastas.h"

#include <QSaveFile>

namespace marvek {

TLogOperacao::TLogOperacao(QString arquivo) : m_arquivo(std::move(arquivo)) {}

QString TLogOperacao::Arquivo() const {
    return m_arquivo.isEmpty() ? PastaDeDados() + QStringLiteral("LOG_MARVEK.txt") : m_arquivo;
}

void TLogOperacao::GravarLog(const QString& texto) {
    GravarLog(texto, QTime::currentTime());
}

void TLogOperacao::GravarLog(const QString& texto, const QTime& hora) {
    m_linhas.append(hora.toString(QStringLiteral("hh:mm:ss")) + QStringLiteral(" -> ") + texto);
    escrever();
}

void TLogOperacao::escrever() {
    const QString arquivo = Arquivo();
    QByteArray dados;
    for (const QString& linha : m_linhas) {
        dados += linha.toLatin1();
        dados += "\r\n";
    }
    // Written under a temporary name and renamed, so a failed write never leaves the log
    // half written.
    QSaveFile f(arquivo);
    if (!f.open(QIODevice::WriteOnly) || f.write(dados) != dados.size() || !f.commit())
        throw EErro(QStringLiteral("Cannot create file \"%1\". %2").arg(arquivo, f.errorString()));
}

} // namespace marvek
