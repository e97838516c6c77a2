// The settings reader on a file of any content: every key reads as a text or the default.
#include "base/EErro.h"
#include "data/ArquivoIni.h"

#include <QDir>
#include <QFile>
#include <cstddef>
#include <cstdint>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
    static const QString arquivo =
        QDir::tempPath() + QStringLiteral("/marvek-fuzz-ini-%1.ini").arg(::getpid());
    {
        QFile f(arquivo);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(reinterpret_cast<const char*>(dados), static_cast<qint64>(tamanho));
    }
    try {
        for (const char* chave : {"local", "database", "usuario", "senha"})
            marvek::LerTextoIni(arquivo, QStringLiteral("ip"), QLatin1String(chave),
                                QStringLiteral("padrao"));
        marvek::LerTextoIni(arquivo, QStringLiteral("IP"), QStringLiteral("Database"), QString());
        marvek::LerTextoIni(arquivo, QStringLiteral("FilialMatriz"), QStringLiteral("CodFisica"),
                            QString());
    } catch (const marvek::EErro&) {
    }
    return 0;
}
