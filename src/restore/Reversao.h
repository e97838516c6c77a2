#pragma once

#include "operador/TOperador.h"

#include <QString>

namespace marvek {

class TDM;

// Puts an installation back as it was before a restore: sets the current tables aside exactly
// as a restore's set-aside does, then moves every table of the named aside database back into
// the working database, logging each statement. Refuses a name that is not an aside database
// of the working database, or one without tables. Reports its own errors and its success, and
// says how it ended.
TResultado ReverterRestauracao(TOperador& op, TDM& dm, const QString& bancoReserva);

// True when nome is an aside database name of the working database banco: banco + "_Backup_"
// + digits + "_" + digits, both plain identifiers.
bool EhBancoReserva(const QString& banco, const QString& nome);

} // namespace marvek
