#pragma once

#include "base/EErro.h"

#include <functional>

namespace marvek {

// A request to stop the run in progress: SIGINT or SIGTERM on the console, the window closed
// during a run. The run unwinds like a failure (no further table starts, what it made is
// removed, its locks released) and says it was interrupted.

// The request that stands: 0 for none, the signal's number, or ParadaPelaJanela.
constexpr int ParadaPelaJanela = -1;
int ParadaPedida();

// Asks the run to stop (the window's close, a test). A signal does the same through the
// handlers below.
void PedirParada(int motivo);
// Clears the request (a window that stays open, a test).
void EsquecerParada();

// Raised where a run checks for a request (VerificarParada, after each table and each step).
class EParada : public EErro {
public:
    explicit EParada(int motivo);
};

// Raises EParada when a stop was asked for.
void VerificarParada();

// The text of an interruption, for the log and the message.
QString TextoDaParada(int motivo);

// The console: SIGINT and SIGTERM ask for the stop; on a thread of its own, aoPedir then runs
// once (it ends the statements the run's connections are waiting on). A second signal ends the
// process at once.
void InstalarParadaPorSinais(std::function<void()> aoPedir);

} // namespace marvek
