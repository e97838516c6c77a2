#pragma once

#include "maintenance/TConfiguracoes.h"
#include "operador/TLogOperacao.h"
#include "operador/TOperador.h"

#include <QString>

namespace marvek {

// The console face of the operations: the inputs come from the command line, questions are
// answered with a fixed answer, every box text goes to stdout (information, questions) or
// stderr (errors, warnings), and a progress line is drawn on stderr when it is a terminal.
// It keeps the operation log in LOG_MARVEK.txt of the program folder, as the window does.
class TOperadorConsole : public TOperador {
public:
    TOperadorConsole();
    ~TOperadorConsole() override;

    // Inputs, set from the command line.
    bool Backup = true;
    QString Filial;
    QString Pasta;
    QString ArquivoZip;
    // The maintenance options of a start without maintenance login: all off.
    mutable TConfiguracoes Opcoes; // the operations may point its list files elsewhere
    // The answer given to every question.
    bool Resposta = false;
    // Server connections for the tables (--conexoes).
    int NumeroConexoes = 1;

    TEntradas Entradas() const override;

    void DefinirMaximoProgresso(int maximo) override;
    void DefinirPosicaoProgresso(int posicao) override;
    int PosicaoProgresso() const override { return m_posicao; }

    void GravarLog(const QString& texto) override;
    bool Confirmar(const QString& texto, bool simPadrao, const QString& titulo) override;
    void ProcessarMensagens() override;

    // Clears the progress line, if one is drawn.
    void TerminarProgresso();

protected:
    // No controls to put back: the message that follows says what is missing.
    void EntradaRecusada(TCampo) override {}
    void MostrarCaixa(TCaixa tipo, const QString& texto) override;

private:
    void desenharProgresso();

    TLogOperacao m_log;
    int m_maximo = 0; // 0: no range set (the restore never sets one)
    int m_posicao = 0;
    bool m_terminal = false;
    bool m_linhaDesenhada = false;
};

// A box text as console lines: "\r\n" and a lone "\r" become "\n", and a final "\n" is added.
QString TextoConsole(const QString& texto);

// Writes to stdout / stderr (UTF-8) and flushes.
void EscreverSaida(const QString& texto);
void EscreverErro(const QString& texto);

} // namespace marvek
