#pragma once

#include <QString>
#include <exception>
#include <string>

namespace marvek {

// The program's ordinary error: a message text and nothing else. Database errors, input
// checks and the operations' own failures all reach their handlers in this form.
class EErro : public std::exception {
public:
    explicit EErro(QString mensagem)
        : m_mensagem(std::move(mensagem)), m_utf8(m_mensagem.toStdString()) {}
    const QString& Mensagem() const noexcept { return m_mensagem; }
    const char* what() const noexcept override { return m_utf8.c_str(); }

private:
    QString m_mensagem;
    std::string m_utf8;
};

// Raised to leave a routine after its message has already been shown. The general error display
// of the windows passes it over in silence; a handler that catches every EErro (the purge's)
// shows its text, "Operation aborted", like any other error's.
class EAbortar : public EErro {
public:
    EAbortar() : EErro(QStringLiteral("Operation aborted")) {}
};

// Raised when another run holds what this one needs (the database's run lock, the
// destination's lock): nothing was changed, and a later run may succeed.
class EExecucaoEmAndamento : public EErro {
public:
    using EErro::EErro;
};

} // namespace marvek
