#pragma once

#include "maintenance/TConfiguracoes.h"

#include <QDialog>
#include <memory>

namespace marvek {

// The maintenance options window: created once at program start, shown modally after each
// maintenance login by a listed user.
class TFConfiguracoes : public QDialog {
    Q_OBJECT
public:
    explicit TFConfiguracoes(QWidget* pai = nullptr);
    ~TFConfiguracoes() override;
    // The window's own options object; nullptr until the first "&OK".
    TConfiguracoes* Configuracoes() const { return m_configuracoes.get(); }
    void AplicarOpcoes();

private:
    std::unique_ptr<TConfiguracoes> m_configuracoes;
};

} // namespace marvek
