#pragma once

class QWidget;

namespace marvek {

// The pre-validation offer of the main window's FormShow (backup mode only): asks, and on yes
// shows a new wizard window modally.
void OferecerPreValidacao(QWidget* pai);

} // namespace marvek
