#include "operador/TOperador.h"

#include "plataforma/Plataforma.h"

namespace marvek {

void TOperador::ExecutarPrograma(const QString& caminho) {
    IniciarPrograma(caminho);
}

} // namespace marvek
