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
    TConfiguracoes Opcoes;
    // The answer given to every question.
    bool Resposta = false;
    // Server connections for the tables (--conexoes).
    int NumeroConexoes = 1;
    int Conexoes() const override { return NumeroConexoes; }

    // What the run reported: errors of every kind (standard error box, MostrarErro, the plain
    // message box, which only reports files it could not delete) and information boxes.
    int Erros = 0;
    int Informacoes = 0;
    // The state of the window's operation controls, flipped by AlternarControles. An
    // operation that ends well switches them back on.
    bool ControlesAtivos = true;

    // True when the operation ended well: nothing reported an error and the controls were
    // switched back on at the end.
    bool Sucesso() const { return Erros == 0 && ControlesAtivos; }

    bool ModoBackup() const override { return Backup; }
    QString FilialSelecionada() const override { return Filial; }
    QString Diretorio() const override { return Pasta; }
    QString Arquivo() const override { return ArquivoZip; }
    TConfiguracoes* Configuracoes() override { return &Opcoes; }

    void ValidarCampos() override;
    void AlternarControles() override;

    void DefinirMaximoProgresso(int maximo) override;
    void DefinirPosicaoProgresso(int posicao) override;
    int PosicaoProgresso() const override { return m_posicao; }

    void GravarLog(const QString& texto) override;

    bool Confirmar(const QString& texto, bool simPadrao, const QString& titulo) override;
    void MostrarErro(const QString& texto) override;
    void Alertar(const QString& texto) override;
    void Informar(const QString& texto) override;
    void ErroPadrao(const QString& texto) override;
    void MostrarMensagem(const QString& texto) override;

    void ProcessarMensagens() override;

    // Clears the progress line, if one is drawn.
    void TerminarProgresso();

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
