#include "about/TfrmAjuda.h"

namespace marvek {

void MostrarSobre(QWidget*) {}

} // namespace marvek
