#pragma once

#include <QString>
#include <optional>

namespace marvek {

// Table names and the names of their files, mapped both ways exactly as the database server
// maps them: letters, digits and "_" of plain ASCII stay, a letter of the server's table is
// "@" and two characters (preço -> pre@0no), any other character "@" and four hexadecimal
// digits (a space -> @0020).

// The file name (without extension) of a table; nothing for a name the program cannot carry
// (empty, over 64 characters, a character outside the Basic Multilingual Plane, or a name the
// server shows with the #mysql50# prefix of a file it could not map).
std::optional<QString> ArquivoDaTabela(const QString& tabela);

// The table a file name (without extension) stands for; nothing when the name is not one the
// server writes (a character outside the encoding, an unknown code, a code where the plain
// character belongs).
std::optional<QString> TabelaDoArquivo(const QString& arquivo);

} // namespace marvek
