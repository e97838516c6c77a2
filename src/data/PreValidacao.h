#pragma once

#include <QString>

namespace marvek {

class TDM;

// The statement that reads a branch's escritorio flag ("S" an office, "N" a store); filial is
// the branch id as digits.
QString ComandoDoEscritorio(const QString& filial);

// The kinds of installation the pre-validation knows, in the order the wizard offers them.
enum class TTipoInstalacao { Loja = 0, Notebook = 1, Central = 2 };

// What the branch table says against an installation of that kind with that store code (the
// code as typed, a number other than 0): one " - ..." line per problem, each but the last
// escritorio line ending in "\r\n"; empty when there is none. Reads the database only; raises
// what the server says.
QString ProblemasDaInstalacao(TDM& dm, TTipoInstalacao tipo, const QString& codigo);

} // namespace marvek
