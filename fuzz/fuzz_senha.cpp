// The stored password's decoder on any text: it returns a text or raises EErro, nothing else.
#include "data/Criptografia.h"
#include "data/EErro.h"

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
        // What the encoder writes, the decoder reads back; the codec cannot carry a NUL
        // character (it comes back as character 255), which no password holds.
        const QString cifrada =
            marvek::Criptografar(QStringLiteral("E"), senha, marvek::ChaveSenha());
        if (!senha.isEmpty() && !senha.contains(QChar(0)) &&
            marvek::Descriptografar(cifrada, marvek::ChaveSenha()) != senha)
            std::abort();
    } catch (const marvek::EErro&) {
    }
    return 0;
}
