#include "restore/Restauracao.h"

#include "operador/TOperador.h"

namespace marvek {

void ExecutarRestauracao(TOperador& op, TDM& dm) {
    op.GravarLog(QStringLiteral("Inicio Restore"));
    RestaurarBackup(op, dm);
    op.GravarLog(QStringLiteral("Fim Restore"));
}
void RestaurarBackup(TOperador& op, TDM&) { op.ErroPadrao(QStringLiteral("Restauração indisponível")); }

} // namespace marvek
