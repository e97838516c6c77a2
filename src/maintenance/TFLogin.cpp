#include "maintenance/TFLogin.h"

namespace marvek {

void ExecutarLoginManutencao(QWidget*, TFConfiguracoes&, TConfiguracoes*&) {}

} // namespace marvek
