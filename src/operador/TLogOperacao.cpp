#include "operador/TLogOperacao.h"

#include "base/EErro.h"
#include "base/Pastas.h"

#include "plataforma/Plataforma.h"

#include <QFile>

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
    for (qsizetype i = m_gravadas; i < m_linhas.size(); ++i) {
        dados += m_linhas.at(i).toLatin1();
        dados += "\r\n";
    }
    QFile f(arquivo);
    const QIODevice::OpenMode modo =
        m_iniciado ? QIODevice::Append : QIODevice::WriteOnly | QIODevice::Truncate;
    const bool aberto = f.open(modo);
    const qint64 antes = aberto ? f.size() : 0;
    if (!aberto || f.write(dados) != dados.size() || !f.flush()) {
        const QString erro = f.errorString();
        // What reached the file is cut off again, so that the next call writes it whole.
        if (aberto && m_iniciado)
            f.resize(antes);
        throw EErro(QStringLiteral("Cannot create file \"%1\". %2").arg(arquivo, erro));
    }
    m_iniciado = true;
    m_gravadas = m_linhas.size();
}

void TLogOperacao::Sincronizar() {
    if (m_iniciado)
        SincronizarNoDisco(Arquivo());
}

} // namespace marvek
