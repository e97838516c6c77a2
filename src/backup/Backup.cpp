#include "backup/Backup.h"

#include "operador/TOperador.h"

namespace marvek {

void RealizarBackup(TOperador& op, TDM&) { op.ErroPadrao(QStringLiteral("Backup indisponível")); }
void LimparPasta(TOperador&, const QString&) {}

} // namespace marvek
