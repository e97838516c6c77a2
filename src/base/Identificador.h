#pragma once

#include <QString>

namespace marvek {

// A table or database name that may stand unquoted in a statement: 1 to 64 characters, each a
// letter, a digit, "_" or "$". Names that come from outside the program (archive entries, an
// operator's argument) are checked with it before they reach SQL.
inline bool EhIdentificadorSimples(const QString& nome) {
    if (nome.isEmpty() || nome.size() > 64)
        return false;
    for (QChar c : nome) {
        const ushort u = c.unicode();
        if (!((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
              u == '_' || u == '$'))
            return false;
    }
    return true;
}

// Quotes an identifier for the server: `name`, inner backquotes doubled.
inline QString CitarIdentificador(const QString& nome) {
    QString s = nome;
    s.replace(QLatin1Char('`'), QLatin1String("``"));
    return QLatin1Char('`') + s + QLatin1Char('`');
}

// A table name as a statement writes it: a plain name as it is, any other quoted. Only for
// names the server itself listed.
inline QString NomeNoComando(const QString& nome) {
    return EhIdentificadorSimples(nome) ? nome : CitarIdentificador(nome);
}

} // namespace marvek
