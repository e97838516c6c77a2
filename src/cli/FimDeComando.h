#pragma once

#include "cli/LinhaDeComando.h"
#include "cli/TOperadorConsole.h"
#include "operador/TOperador.h"

#include <QJsonObject>
#include <QString>
#include <exception>

namespace marvek {

// How a console command ends: the exit code of its result, its line in the history (for the
// operations that change something) and, under --json, the summary. A history that cannot be
// written is said, but does not change how the operation ended.
struct TFimDeComando {
    const TLinhaDeComando& linha;
    QString operacao; // the history's word for it
    QString alvo;
    const TOperadorConsole* op = nullptr; // the operation's log, for the history
    QJsonObject extra;                    // more fields for the JSON

    int operator()(const TResultado& r) const;
};

// The end of a command that an error escaped: said on stderr (after the progress line is
// cleared) and ended as a failed run, or as an interrupted one when a stop was asked for.
int TerminarComErro(const TFimDeComando& fim, TOperadorConsole* op, const QString& mensagem);

// The one place where a console command ends on an error that escapes it (a connection that
// cannot open, any other failure, a lack of memory, a thread that cannot start).
template <typename F>
int ExecutarNoConsole(const TFimDeComando& fim, TOperadorConsole* op, F&& comando) {
    try {
        return comando();
    } catch (const EErro& e) {
        return TerminarComErro(fim, op, e.Mensagem());
    } catch (const std::exception& e) {
        return TerminarComErro(fim, op, QString::fromLocal8Bit(e.what()));
    }
}

// The console's output settings of the line: -q and --json.
void ConfigurarSaida(TOperadorConsole& op, const TLinhaDeComando& linha);
// The server connections of --conexoes, or the default.
int ConexoesDe(const TLinhaDeComando& linha);

} // namespace marvek
