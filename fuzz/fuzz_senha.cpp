// The stored password's decoder on any text: it returns a text or raises EErro, nothing else.
#include "base/EErro.h"
#include "data/Criptografia.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho) {
    const QString texto =
        QString::fromLatin1(reinterpret_cast<const char*>(dados), static_cast<qsizetype>(tamanho));
    try {
        const QString senha = marvek::Descriptografar(texto, marvek::ChaveSenha());
        // One character per pair of digits after the seed, never more.
        if (senha.size() > texto.size())
            std::abort();
        // What the encoder writes, the decoder reads back, for characters 1 to 254: the codec
        // cannot carry characters 0 and 255 (either may come back as the other), which no
        // password holds.
        const QString cifrada =
            marvek::Criptografar(QStringLiteral("E"), senha, marvek::ChaveSenha());
        if (!senha.isEmpty() && !senha.contains(QChar(0)) && !senha.contains(QChar(255)) &&
            marvek::Descriptografar(cifrada, marvek::ChaveSenha()) != senha)
            std::abort();
    } catch (const marvek::EErro&) {
    }
    return 0;
}
