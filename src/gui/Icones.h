#pragma once

#include <QIcon>

namespace marvek {

// The pictures of the main window's buttons, drawn in code so that they look clean at any
// screen scale.

// The about button: a white "i" on a blue disc.
QIcon IconeSobre();
// The maintenance button: a grey wrench.
QIcon IconeManutencao();
// The browse buttons of the folder and file fields: three dots.
QIcon IconeProcurar();

} // namespace marvek
