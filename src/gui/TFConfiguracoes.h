#pragma once

#include "maintenance/TConfiguracoes.h"

#include <QDialog>
#include <memory>

class QLabel;
class QListWidget;
class QPushButton;

namespace marvek {

// The maintenance options window: created once at program start, shown modally after each
// maintenance login by a listed user. The check marks stay as they were between showings.
class TFConfiguracoes : public QDialog {
    Q_OBJECT
public:
    explicit TFConfiguracoes(QWidget* pai = nullptr);
    ~TFConfiguracoes() override;
    // The window's own options object; nullptr until the first "&OK".
    TConfiguracoes* Configuracoes() const { return m_configuracoes.get(); }
    // Creates the options object when there is none yet, then copies the three check marks
    // into it (items 1, 2, 3 -> ExecutarTruncates, ZerarNumlanc, ExecutarDeletes).
    void AplicarOpcoes();

    // Check mark of item 1 to 3.
    bool Marcado(int item) const;
    void Marcar(int item, bool marcado);

    QListWidget* CheckListBox1;
    QLabel* Label1;
    QPushButton* Button1; // "&OK"
    QPushButton* Button2; // "&Cancelar"

private:
    void Button1Click();
    std::unique_ptr<TConfiguracoes> m_configuracoes;
};

} // namespace marvek
