#pragma once

#include <QComboBox>

namespace marvek {

// A drop-down list that can be made read-only: it keeps showing its selection and can take the
// focus, but neither the mouse, the wheel nor the keyboard change it.
class TComboSomenteLeitura : public QComboBox {
public:
    using QComboBox::QComboBox;
    void DefinirSomenteLeitura(bool somenteLeitura) { m_somenteLeitura = somenteLeitura; }
    void showPopup() override;

protected:
    void keyPressEvent(QKeyEvent* evento) override;
    void wheelEvent(QWheelEvent* evento) override;

private:
    bool m_somenteLeitura = false;
};

} // namespace marvek
