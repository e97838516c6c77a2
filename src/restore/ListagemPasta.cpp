#include "restore/ListagemPasta.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace marvek {

QList<TEntradaPasta> ListarPastaOrdenada(const QString& pasta) {
    const QDir dir(pasta);
    if (!dir.exists())
        return {};
    QList<TEntradaPasta> entradas;
    const QFileInfoList infos = dir.entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QFileInfo& info : infos)
        entradas.append({info.fileName(), info.isDir() && !info.isSymLink()});
    std::sort(entradas.begin(), entradas.end(), [](const TEntradaPasta& a, const TEntradaPasta& b) {
        const QByteArray x = QFile::encodeName(a.nome).toUpper();
        const QByteArray y = QFile::encodeName(b.nome).toUpper();
        const int c = x.compare(y);
        return c != 0 ? c < 0 : a.nome < b.nome;
    });
    entradas.prepend({QStringLiteral(".."), true});
    entradas.prepend({QStringLiteral("."), true});
    return entradas;
}

} // namespace marvek
