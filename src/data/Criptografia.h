#pragma once

#include <QString>

namespace marvek {

// The codec of the stored password: a seed byte and one cipher byte per character, each
// written as two upper-case hexadecimal digits. Texts are Latin-1, one byte per character.

// Mode "E" enciphers, "D" deciphers; any other mode (lower case included) gives "".
// Deciphering raises "'$..' is not a valid integer value" on a pair that is not hexadecimal.
QString Criptografar(const QString& modo, const QString& texto, const QString& chave);

// "" for a blank text (empty, blanks and control characters only); otherwise mode "D".
QString Descriptografar(const QString& texto, const QString& chave);

// The key of the settings file's password.
inline QString ChaveSenha() {
    return QStringLiteral("KZW");
}

// The enciphered default of the key senha: the password "marvek.db".
inline QString SenhaPadraoCifrada() {
    return QStringLiteral("5A8CB77DB844F86C8ABB");
}

} // namespace marvek
