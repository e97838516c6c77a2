#include "maintenance/TFConfiguracoes.h"

namespace marvek {

TFConfiguracoes::TFConfiguracoes(QWidget* pai) : QDialog(pai) {}
TFConfiguracoes::~TFConfiguracoes() = default;
void TFConfiguracoes::AplicarOpcoes() {
    if (!m_configuracoes)
        m_configuracoes = std::make_unique<TConfiguracoes>();
}

} // namespace marvek
