#pragma once

#include <QString>

namespace marvek {

// A database name that may stand unquoted in a statement: 1 to 64 characters, each a letter, a
// digit, "_" or "$". The working database named in the settings must be one.
bool EhIdentificadorSimples(const QString& nome);

// True for a word the server does not take as a bare table name (ORDER, GROUP, ...), whatever
// its case.
bool EhPalavraReservada(const QString& nome);

// Quotes an identifier for the server: `name`, inner backquotes doubled. Every statement the
// program runs quotes its names this way, whatever their source.
QString CitarIdentificador(const QString& nome);

// A name as the log writes it: bare when the server takes it bare (a plain identifier that is
// neither a reserved word nor read as a number, like 123 or 1e5, nor begins with "_"), quoted
// otherwise. The statement run is always built with CitarIdentificador.
QString NomeNoComando(const QString& nome);

// A text as a string literal of a statement: 'text' when it holds only letters, digits and
// "_$.-: ,/", otherwise its bytes in hexadecimal (CONVERT(X'...' USING utf8mb4)), which no
// setting of the server reads in another way.
QString CitarTexto(const QString& texto);

} // namespace marvek
