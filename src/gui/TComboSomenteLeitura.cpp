#include "gui/TComboSomenteLeitura.h"

#include <QKeyEvent>
#include <QWheelEvent>

namespace marvek {

void TComboSomenteLeitura::showPopup() {
    if (!m_somenteLeitura)
        QComboBox::showPopup();
}

void TComboSomenteLeitura::keyPressEvent(QKeyEvent* evento) {
    if (m_somenteLeitura)
        QWidget::keyPressEvent(evento);
    else
        QComboBox::keyPressEvent(evento);
}

void TComboSomenteLeitura::wheelEvent(QWheelEvent* evento) {
    if (m_somenteLeitura)
        QWidget::wheelEvent(evento);
    else
        QComboBox::wheelEvent(evento);
}

} // namespace marvek
