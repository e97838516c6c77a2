#pragma once

#include <QString>

namespace marvek {

class TDM;
class TOperador;

// The restore run of the start button: "Inicio Restore", RestaurarBackup, "Fim Restore".
void ExecutarRestauracao(TOperador& op, TDM& dm);

// The restore of the archive named by the operator; handles its own errors.
void RestaurarBackup(TOperador& op, TDM& dm);

} // namespace marvek
