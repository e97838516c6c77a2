#pragma once

#include <QString>
#include <QStringList>

namespace marvek {

class TConfiguracoes;

// What an operation needs from whoever drives it: the main window, the console front end or a
// test. An operation never touches a widget; it reads its inputs, checks them, moves the
// progress bar, logs and talks to the user only through this seam.
class TOperador {
public:
    virtual ~TOperador() = default;

    // Inputs.
    virtual bool ModoBackup() const = 0;
    virtual QString FilialSelecionada() const = 0; // the branch key as text, may be empty
    virtual QString Diretorio() const = 0;         // destination folder, exactly as entered
    virtual QString Arquivo() const = 0;           // archive path, exactly as entered
    // The maintenance options: an object, or nullptr (none).
    virtual TConfiguracoes* Configuracoes() = 0;

    // The input checks and the control toggle of the main window.
    virtual void ValidarCampos() = 0;
    virtual void AlternarControles() = 0;

    // The progress bar.
    virtual void DefinirMaximoProgresso(int maximo) = 0;
    virtual void DefinirPosicaoProgresso(int posicao) = 0;
    virtual int PosicaoProgresso() const = 0;

    // The operation log: one line, with the time added.
    virtual void GravarLog(const QString& texto) = 0;

    // Message boxes.
    virtual bool Confirmar(const QString& texto, bool simPadrao, const QString& titulo) = 0;
    virtual void MostrarErro(const QString& texto) = 0; // caption "Erro..."
    virtual void Alertar(const QString& texto) = 0;     // caption "Alerta"
    virtual void Informar(const QString& texto) = 0;    // information box, caption "Information"
    virtual void ErroPadrao(const QString& texto) = 0;  // standard error box, caption "Error"
    virtual void MostrarMensagem(const QString& texto) = 0; // plain message box

    // Lets pending window messages be processed.
    virtual void ProcessarMensagens() = 0;

    // Starts a program without waiting for it (Navirel.exe). Failures pass silently.
    virtual void ExecutarPrograma(const QString& caminho);

    // How many server connections the tables are worked on at once (1: one after another, on
    // the operation's own connection). By default the machine's cores, at most four.
    virtual int Conexoes() const;

protected:
    // The input checks of a face without a window (no focus to move): the first missing input
    // toggles the controls back on and raises its message.
    void ValidarCamposSemJanela();
};

} // namespace marvek
