#pragma once

#include <QApplication>

namespace marvek {

// The program's application object. Its event dispatch is the general error display: an error
// that escapes an event handler of any window is shown in the standard error box, and the
// program goes on with the window that was active.
class TAplicacao : public QApplication {
    Q_OBJECT
public:
    TAplicacao(int& argc, char** argv);
    bool notify(QObject* receptor, QEvent* evento) override;
};

// Shows the error being handled in the standard error box (caption "Error", OK): the message of
// an EErro, the text of any other std::exception. A silent abort (EAbortar) shows nothing. Call
// it only inside a catch block; it never raises.
void MostrarErroGeral();

// The text of the error being handled, as MostrarErroGeral would show it ("" for a silent
// abort). Call it only inside a catch block; it never raises.
QString MensagemDoErroAtual();

// Runs an event handler of a window; an error it raises goes to the general error display. The
// one place where the windows show what escapes their handlers.
template <typename F> void ExecutarProtegido(F&& manipulador) {
    try {
        manipulador();
    } catch (...) {
        MostrarErroGeral();
    }
}

} // namespace marvek
