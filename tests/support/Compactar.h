#pragma once

#include "zip/Compactador.h"

#include <QString>
#include <QStringList>

namespace teste {

// An archive of the files named, in one call: what a backup's compressor makes of them.
inline void CompactarArquivos(const QString& arquivoZip, const QStringList& arquivos,
                              const marvek::FuncaoProcessar& processar = {}) {
    marvek::TCompactador compactador(arquivoZip);
    compactador.Concluir(arquivos, processar);
}

} // namespace teste

using teste::CompactarArquivos;
