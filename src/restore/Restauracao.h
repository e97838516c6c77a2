#pragma once

#include "operador/TOperador.h"

#include <QString>
#include <functional>

namespace marvek {

class TDM;

// The restore run of the start button: "Inicio Restore", RestaurarBackup, "Fim Restore".
// aoTerminar hears how the restore ended before its last line is logged (a window gives its
// controls back then, whatever happens to that line).
TResultado ExecutarRestauracao(TOperador& op, TDM& dm,
                               const std::function<void(const TResultado&)>& aoTerminar = {});

// The restore of the archive named by the operator; handles its own errors and says how it
// ended (the controls of a window come back after a completed restore).
TResultado RestaurarBackup(TOperador& op, TDM& dm);

// "escritorio" of the installation's branch, "N" when there is no row or it is NULL.
QString ObterEscritorio(TOperador& op, TDM& dm);

// The folder an archive is unpacked into: the path without its last four characters.
QString PastaDeExtracao(const QString& arquivoZip);

} // namespace marvek
