// The archive check on a file of any content: it accepts a sound backup archive or raises EErro;
// it never crashes, never reads out of bounds and never writes a file.
#include "base/EErro.h"
#include "restore/VerificacaoArquivo.h"

#include <QDir>
#include <QFile>
#include <cstddef>
#include <cstdint>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
    static const QString pasta =
        QDir::tempPath() + QStringLiteral("/marvek-fuzz-zip-%1").arg(::getpid());
    static const bool criada = QDir().mkpath(pasta);
    if (!criada)
        return 0;
    const QString arquivo = pasta + QStringLiteral("/Backup_Central.zip");
    {
        QFile f(arquivo);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(reinterpret_cast<const char*>(dados), static_cast<qint64>(tamanho));
    }
    try {
        marvek::VerificarArquivoBackup(arquivo, true);
    } catch (const marvek::EErro&) {
    }
    return 0;
}
