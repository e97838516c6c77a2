#pragma once

#include "maintenance/TConfiguracoes.h"
#include "operador/TLogOperacao.h"
#include "operador/TOperador.h"

#include "gui/TComboSomenteLeitura.h"

#include <QStringList>
#include <QWidget>
#include <memory>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace marvek {

class TConsulta;
class TFConfiguracoes;

// The main window: the choice between backup and restore, the branch, the destination folder or
// the archive, the start button and the progress bar. It is what the operations talk through.
class TfrmPrincipal : public QWidget, public TOperador {
    Q_OBJECT
public:
    // argumentos: the program's command-line arguments without the program's own name.
    // Creating the window runs FormCreate, which may run a whole restore.
    explicit TfrmPrincipal(const QStringList& argumentos, QWidget* pai = nullptr);
    ~TfrmPrincipal() override;

    // True once the program was told to end (an invalid argument, Esc, "&Cancelar", the close
    // box).
    bool Encerrado() const { return m_encerrado; }
    // Creates the maintenance options window (program start, after the main window).
    void CriarJanelas();

    // Event handlers.
    void rbtnBackupClick();
    void rbtnRestoreClick();
    void btnIniciarClick();
    void btnCancelarClick();
    void cbxFiliaisChange();
    void btnAjudaClick();
    void SpeedButton1Click();

    // What the fields hold.
    bool ModoBackup() const;
    QString FilialSelecionada() const; // the branch key as text, "" when none is selected
    QString Diretorio() const;
    QString Arquivo() const;
    TConfiguracoes* Configuracoes() { return m_configuracoes; }
    // Switches the operation controls off, or back on.
    void AlternarControles();

    // TOperador.
    TEntradas Entradas() const override;
    void GravarLog(const QString& texto) override;
    bool Confirmar(const QString& texto, bool simPadrao, const QString& titulo) override;
    void ProcessarMensagens() override;

    const TLogOperacao& Log() const { return m_log; }

signals:
    // The program is to end (connected to the application's quit by the program start).
    void ProgramaEncerrado();

protected:
    void EntradaRecusada(TCampo campo) override;
    void MostrarCaixa(TCaixa tipo, const QString& texto) override;
    void MostrarProgresso(const TProgresso& progresso) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void showEvent(QShowEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;

private:
    void criarControles();
    void FormCreate(const QStringList& argumentos);
    void FormShow();
    // Handles a key pressed anywhere in the window; true when the key was used.
    bool FormKeyDown(QKeyEvent* evento);
    void AbrirFiliais();
    // The window opened for restores only: the title, the branch field and the backup button
    // say why.
    void DizerPorQueSoRestauracao(const QString& motivo);
    void EscolherDiretorio();
    void EscolherArquivo();
    void Encerrar();

    // Created with the window, before FormCreate: the log line list and the options object.
    TLogOperacao m_log;
    std::unique_ptr<TConfiguracoes> m_opcoes = std::make_unique<TConfiguracoes>();
    TConfiguracoes* m_configuracoes = m_opcoes.get();
    std::unique_ptr<TConsulta> QFiliais;
    TFConfiguracoes* m_janelaOpcoes = nullptr;
    bool m_executando = false;
    bool m_encerrado = false;

    QLabel* lblFilial_id = nullptr;
    TComboSomenteLeitura* cbxFiliais = nullptr;
    QGroupBox* gOperacoes = nullptr;
    QRadioButton* rbtnBackup = nullptr;
    QRadioButton* rbtnRestore = nullptr;
    QLabel* lblDiretorio = nullptr;
    QLineEdit* txtDiretorio = nullptr;
    QLineEdit* txtArquivo = nullptr;
    QProgressBar* ProgressBar = nullptr;
    QToolButton* btnAjuda = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QPushButton* btnIniciar = nullptr;
    QPushButton* btnCancelar = nullptr;
};

} // namespace marvek
