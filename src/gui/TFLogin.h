#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace marvek {

class TConfiguracoes;
class TFConfiguracoes;

// The maintenance login window: employee code and password, checked by the installation web
// service. Its tag becomes 1 only when the service accepts the pair.
class TFLogin : public QDialog {
    Q_OBJECT
public:
    explicit TFLogin(QWidget* pai = nullptr);
    ~TFLogin() override;

    int Tag() const { return m_tag; }

    // What "Cancelar" and Escape do after closing the window: end the whole program
    // (QCoreApplication::exit). Replaceable so that a test can observe it; an empty function
    // restores the default.
    static void DefinirEncerramento(std::function<void()> encerrar);

    // "OK": checks the fields and asks the service. Errors (a code that is not a 32-bit
    // integer, the service's failures) are raised as EErro; the button's click shows them
    // through the general error display.
    void btnOKClick();
    void btnCancelarClick();

    QLabel* imgCodigo;
    QLabel* imgSenha;
    QLabel* Label1;
    QLineEdit* EditLogin;
    QLabel* Label2;
    QLineEdit* EditSenha;
    QPushButton* btnOK;
    QPushButton* btnCancelar;

protected:
    void showEvent(QShowEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    int m_tag = 0;
};

// The flow of the hidden maintenance button: login window, web-service check, the list of
// maintenance codes, the options window. Sets configuracoes (the main window's reference) to
// the options window's object after "&OK", to nullptr after "&Cancelar".
void ExecutarLoginManutencao(QWidget* pai, TFConfiguracoes& opcoes, TConfiguracoes*& configuracoes);

} // namespace marvek
