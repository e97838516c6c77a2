#pragma once

class QWidget;

namespace marvek {

// Opens the about window modally (the main window's about button).
void MostrarSobre(QWidget* pai);

} // namespace marvek
