#include "data/Pastas.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace marvek {

namespace {
QString& pastaDefinida() {
    static QString pasta;
    return pasta;
}

QString comBarra(QString pasta) {
    if (!pasta.endsWith(QLatin1Char('/')))
        pasta += QLatin1Char('/');
    return pasta;
}
} // namespace

QString PastaDoPrograma() {
    if (!pastaDefinida().isEmpty())
        return pastaDefinida();
    QString pasta;
    if (QCoreApplication::instance())
        pasta = QCoreApplication::applicationDirPath();
    else
        pasta = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section('/', 0, -2);
    return comBarra(pasta);
}

void DefinirPastaDoPrograma(const QString& pasta) {
    pastaDefinida() = pasta.isEmpty() ? QString() : comBarra(QDir(pasta).absolutePath());
}

QString ArquivoDoPrograma(const QString& nome) {
    return PastaDoPrograma() + nome;
}

} // namespace marvek
