#include "restore/Reversao.h"

#include "operador/TOperador.h"

namespace marvek {

bool ReverterRestauracao(TOperador& op, TDM&, const QString&) {
    op.ErroPadrao(QStringLiteral("Ocorreu o seguinte erro: \r\rReversão indisponível"));
    return false;
}

} // namespace marvek
