#pragma once

#include "maintenance/TConfiguracoes.h"
#include "operador/TLogOperacao.h"
#include "operador/TOperador.h"

#include <QElapsedTimer>
#include <QString>

namespace marvek {

// The console face of the operations: the inputs come from the command line, questions are
// answered with a fixed answer, every box text goes to stdout (information, questions) or
// stderr (errors, warnings), and the progress goes to stderr: the phase and its tables, one
// updating line on a terminal, otherwise a line at the phase's start and then at most every
// 5 s or 10 %.
// It keeps the operation log in LOG_MARVEK.txt of the program folder, as the window does.
class TOperadorConsole : public TOperador {
public:
    TOperadorConsole();
    ~TOperadorConsole() override;

    // The inputs, set from the command line. The maintenance options are those of a start
    // without maintenance login: all off.
    TEntradas Valores = [] {
        TEntradas e;
        e.opcoes = TConfiguracoes();
        e.outraFilial = false;
        return e;
    }();
    // The answer given to every question; with PerguntarNoTerminal and no answer yes given,
    // a question is asked on the terminal instead (no terminal: no).
    bool Resposta = false;
    bool PerguntarNoTerminal = false;
    // -q: only errors, on stderr. --json: stdout is kept for the JSON object at the end, so
    // the texts that would go there go to stderr.
    bool Silencioso = false;
    bool Json = false;

    TEntradas Entradas() const override { return Valores; }

    void GravarLog(const QString& texto) override;
    bool Confirmar(const QString& texto, bool simPadrao, const QString& titulo) override;
    void ProcessarMensagens() override;

    const TLogOperacao& Log() const { return m_log; }

    // Clears the progress line, if one is drawn.
    void TerminarProgresso();

protected:
    // No controls to put back: the message that follows says what is missing.
    void EntradaRecusada(TCampo) override {}
    void MostrarCaixa(TCaixa tipo, const QString& texto) override;
    void MostrarProgresso(const TProgresso& progresso) override;

private:
    // A text for stdout, or for stderr when stdout is the JSON's; nothing under -q.
    void informar(const QString& texto);

    TLogOperacao m_log;
    bool m_terminal = false;
    bool m_linhaDesenhada = false;
    // When and how far the phase's last line went (lines on a pipe come at most every 5 s or
    // 10 %).
    QElapsedTimer m_ultimaLinha;
    int m_decimoMostrado = -1;
};

// A box text as console lines: "\r\n" and a lone "\r" become "\n", and a final "\n" is added.
QString TextoConsole(const QString& texto);

// Writes to stdout / stderr (UTF-8) and flushes.
void EscreverSaida(const QString& texto);
void EscreverErro(const QString& texto);

} // namespace marvek
