#pragma once

#include "operador/TOperador.h"

#include <QString>

namespace marvek {

class TDM;

// The restore run of the start button: "Inicio Restore", RestaurarBackup, "Fim Restore".
TResultado ExecutarRestauracao(TOperador& op, TDM& dm);

// The restore of the archive named by the operator; handles its own errors and says how it
// ended (the controls of a window come back after a completed restore).
TResultado RestaurarBackup(TOperador& op, TDM& dm);

// "escritorio" of the installation's branch (codFisica, logged as ObterCodFilial does), "N"
// when there is no row or it is NULL.
QString ObterEscritorio(TOperador& op, TDM& dm, int codFisica);

// The folder an archive is unpacked into: the path without its last four characters.
QString PastaDeExtracao(const QString& arquivoZip);

} // namespace marvek
