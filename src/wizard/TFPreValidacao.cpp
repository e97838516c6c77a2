#include "wizard/TFPreValidacao.h"

namespace marvek {

void OferecerPreValidacao(QWidget*) {}

} // namespace marvek
