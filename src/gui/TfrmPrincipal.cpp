#include "gui/TfrmPrincipal.h"

#include "backup/Backup.h"
#include "base/EErro.h"
#include "base/Pastas.h"
#include "data/TDM.h"
#include "gui/Dialogos.h"
#include "gui/Icones.h"
#include "gui/TAplicacao.h"
#include "gui/TFConfiguracoes.h"
#include "gui/TFLogin.h"
#include "gui/TFPreValidacao.h"
#include "gui/TfrmAjuda.h"
#include "markers/LojasLeram.h"
#include "operador/Historico.h"
#include "operador/TrabalhoPorTabela.h"
#include "plataforma/Parada.h"
#include "restore/Restauracao.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScreen>
#include <QShowEvent>
#include <QToolButton>

namespace marvek {

namespace {
const QString SQL_FILIAIS =
    QStringLiteral("SELECT filial_id,nome from filial where apagado <> \"S\"");

// The folder a picker opens in: the field's own folder when it names one, else the usual one.
QString pastaInicial(const QString& pastaDoCampo, const char* pastaWindows) {
    if (!pastaDoCampo.isEmpty() && QFileInfo(pastaDoCampo).isDir())
        return pastaDoCampo;
#ifdef Q_OS_WIN
    return QString::fromLatin1(pastaWindows);
#else
    // The program's own folder is /usr/bin once installed: the user's folder is where an
    // archive or a destination is looked for first.
    Q_UNUSED(pastaWindows);
    return QDir::homePath();
#endif
}
} // namespace

// ---- TfrmPrincipal ----

TfrmPrincipal::TfrmPrincipal(const QStringList& argumentos, QWidget* pai) : QWidget(pai) {
    criarControles();
    // Keys pressed anywhere in the window reach FormKeyDown before the control that has the
    // focus.
    qApp->installEventFilter(this);
    FormCreate(argumentos);
}

TfrmPrincipal::~TfrmPrincipal() {
    qApp->removeEventFilter(this);
}

void TfrmPrincipal::CriarJanelas() {
    if (!m_janelaOpcoes)
        m_janelaOpcoes = new TFConfiguracoes(this);
}

// ---- start-up ----

void TfrmPrincipal::FormCreate(const QStringList& argumentos) {
    bool restaurando = false;
    try {
        DM().Conectar();
        AbrirFiliais();
        if (!argumentos.isEmpty()) {
            const QString argumento = argumentos.first();
            if (argumento.contains(QStringLiteral("Backup_Central.zip"), Qt::CaseSensitive)) {
                rbtnRestore->setChecked(true);
                txtArquivo->setText(argumento);
                restaurando = true;
                btnIniciarClick();
            } else {
                marvek::ErroPadrao(QString::fromUtf8("Arquivo inválido"));
                Encerrar();
            }
        }
    } catch (...) {
        // An error that escaped the restore itself (its log could not be written) is not
        // passed over in silence: the operator asked for that restore and has to know that it
        // did not run.
        if (restaurando)
            MostrarErroGeral();
        // Restore-only start: without a database (or a usable branch list) only a restore can
        // be run. No box interrupts the start; the title, the branch field and the backup
        // button say why.
        if (!rbtnRestore->isChecked())
            rbtnRestore->setChecked(true);
        rbtnBackup->setEnabled(false);
        if (!restaurando)
            DizerPorQueSoRestauracao(MensagemDoErroAtual());
    }
}

void TfrmPrincipal::DizerPorQueSoRestauracao(const QString& motivo) {
    setWindowTitle(QStringLiteral("Marvek - somente restauração"));
    cbxFiliais->setPlaceholderText(QStringLiteral("Sem banco: só restauração (veja a dica)"));
    const QString dica = QStringLiteral("O backup não está disponível: ") + motivo;
    cbxFiliais->setToolTip(dica);
    rbtnBackup->setToolTip(dica);
}

void TfrmPrincipal::AbrirFiliais() {
    QFiliais = DM().AbrirConsulta(SQL_FILIAIS);
    {
        const QSignalBlocker bloqueio(cbxFiliais);
        cbxFiliais->clear();
        for (; !QFiliais->Eof(); QFiliais->Proximo())
            cbxFiliais->addItem(QFiliais->Campo(1).toString(), QFiliais->Campo(0));
        cbxFiliais->setCurrentIndex(-1);
    }
    // The first branch returned is pre-selected; its hint is built here, so that an error in it
    // reaches the start-up's handler.
    if (cbxFiliais->count() > 0) {
        {
            const QSignalBlocker bloqueio(cbxFiliais);
            cbxFiliais->setCurrentIndex(0);
        }
        cbxFiliaisChange();
    }
}

void TfrmPrincipal::showEvent(QShowEvent* evento) {
    QWidget::showEvent(evento);
    if (!evento->spontaneous())
        FormShow();
}

void TfrmPrincipal::FormShow() {
    if (rbtnBackup->isChecked())
        ExecutarProtegido([this] { OferecerPreValidacao(this); });
}

// ---- ending ----

void TfrmPrincipal::Encerrar() {
    m_encerrado = true;
    // While an operation runs, the program ends as soon as it returns.
    if (m_executando)
        return;
    hide();
    emit ProgramaEncerrado();
}

void TfrmPrincipal::closeEvent(QCloseEvent* evento) {
    m_encerrado = true;
    if (m_executando) {
        // The run stops at its next check, its running statements ended now; the program
        // ends as soon as it has unwound.
        PedirParada(ParadaPelaJanela);
        EncerrarComandosEmAndamento();
        evento->ignore();
        return;
    }
    QWidget::closeEvent(evento);
    emit ProgramaEncerrado();
}

void TfrmPrincipal::btnCancelarClick() {
    Encerrar();
}

// ---- modes ----

void TfrmPrincipal::rbtnBackupClick() {
    lblDiretorio->setText(QStringLiteral("Destino do Backup"));
    lblDiretorio->adjustSize();
    cbxFiliais->DefinirSomenteLeitura(false);
    txtDiretorio->setEnabled(true);
    txtArquivo->hide();
    SpeedButton1->hide();
}

void TfrmPrincipal::rbtnRestoreClick() {
    lblDiretorio->setText(QStringLiteral("Origem do Backup"));
    lblDiretorio->adjustSize();
    cbxFiliais->DefinirSomenteLeitura(true);
    txtArquivo->show();
}

// ---- the branch hint ----

void TfrmPrincipal::cbxFiliaisChange() {
    const QString chave = FilialSelecionada();
    bool ok = false;
    const int n = chave.toInt(&ok);
    if (!ok)
        throw EErro(QStringLiteral("'%1' is not a valid integer value").arg(chave));
    cbxFiliais->setToolTip(
        n <= 9 ? chave : chave + QStringLiteral(" (") + CodigoLojasLeram(n) + QStringLiteral(")"));
}

// ---- the operations ----

void TfrmPrincipal::btnIniciarClick() {
    // One operation at a time: a start request while one runs (Enter, or the button through the
    // messages the operation lets through) is ignored.
    if (m_executando)
        return;
    const bool backup = rbtnBackup->isChecked();
    EsquecerParada(); // a stop asked for belongs to the run it stopped
    m_executando = true;
    const auto fim = qScopeGuard([this] {
        m_executando = false;
        if (m_encerrado)
            Encerrar();
    });
    const qsizetype inicio = m_log.Linhas().size();
    Detalhes() = TResultado(); // what this run works on, also when it fails before it starts
    AlternarControles();
    const QString operacao = backup ? QStringLiteral("backup") : QStringLiteral("restauração");
    const QString alvo = backup ? Diretorio() : Arquivo();
    TResultado r;
    try {
        // Whatever the end (even a last log line that cannot be written), the controls come
        // back, so that another folder or archive can be picked; a start refused for a missing
        // input gave them back before its message.
        const auto devolverControles = qScopeGuard([this] {
            if (!btnIniciar->isEnabledTo(this))
                AlternarControles();
        });
        r = backup ? RealizarBackup(*this, DM()) : ExecutarRestauracao(*this, DM());
    } catch (...) {
        // What escaped the run has its history line too; the general error display says it.
        try {
            RegistrarNoHistorico(m_log.Arquivo(), operacao, alvo,
                                 ResultadoDaFalha(Detalhes(), MensagemDoErroAtual()),
                                 m_log.Linhas().mid(inicio));
        } catch (...) {
            // the error under way is the one to say
        }
        throw;
    }
    RegistrarNoHistorico(m_log.Arquivo(), operacao, alvo, r, m_log.Linhas().mid(inicio));
}

void TfrmPrincipal::AlternarControles() {
    const bool ativar = !btnIniciar->isEnabledTo(this);
    for (QWidget* controle :
         {static_cast<QWidget*>(cbxFiliais), static_cast<QWidget*>(txtDiretorio),
          static_cast<QWidget*>(btnCancelar), static_cast<QWidget*>(btnIniciar),
          static_cast<QWidget*>(rbtnBackup), static_cast<QWidget*>(rbtnRestore),
          static_cast<QWidget*>(txtArquivo), static_cast<QWidget*>(btnAjuda)})
        controle->setEnabled(ativar);
    // Outside the operation's own checks: a stop asked for here is taken up by the operation.
    QCoreApplication::processEvents();
}

void TfrmPrincipal::EntradaRecusada(TCampo campo) {
    AlternarControles();
    if (campo == TCampo::Filial)
        cbxFiliais->setFocus();
    else if (campo == TCampo::Diretorio)
        txtDiretorio->setFocus();
    else if (campo == TCampo::Arquivo)
        txtArquivo->setFocus();
}

// ---- the other windows ----

void TfrmPrincipal::btnAjudaClick() {
    MostrarSobre(this);
}

void TfrmPrincipal::SpeedButton1Click() {
    CriarJanelas();
    ExecutarLoginManutencao(this, *m_janelaOpcoes, m_configuracoes);
}

// ---- the pickers ----

void TfrmPrincipal::EscolherDiretorio() {
    QFileDialog dialogo(this);
    dialogo.setObjectName(QStringLiteral("dlgDiretorio"));
    dialogo.setFileMode(QFileDialog::Directory);
    dialogo.setOption(QFileDialog::ShowDirsOnly);
    dialogo.setDirectory(pastaInicial(txtDiretorio->text(), "C:\\Sistemaqel\\"));
    if (dialogo.exec() == QDialog::Accepted && !dialogo.selectedFiles().isEmpty())
        txtDiretorio->setText(QDir::toNativeSeparators(dialogo.selectedFiles().constFirst()));
}

void TfrmPrincipal::EscolherArquivo() {
    QFileDialog dialogo(this);
    dialogo.setObjectName(QStringLiteral("dlgArquivo"));
    dialogo.setAcceptMode(QFileDialog::AcceptOpen);
    dialogo.setFileMode(QFileDialog::AnyFile);
    dialogo.setNameFilter(QStringLiteral("Arquivos Zip (*.zip)"));
    dialogo.setDefaultSuffix(QStringLiteral("zip"));
    const QString atual = txtArquivo->text();
    dialogo.setDirectory(
        pastaInicial(atual.isEmpty() ? QString() : QFileInfo(atual).path(), "C:\\Sistemaqel"));
    if (dialogo.exec() == QDialog::Accepted && !dialogo.selectedFiles().isEmpty())
        txtArquivo->setText(QDir::toNativeSeparators(dialogo.selectedFiles().constFirst()));
}

// ---- keys ----

bool TfrmPrincipal::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() == QEvent::KeyPress && objeto->isWidgetType() &&
        static_cast<QWidget*>(objeto)->window() == this) {
        auto* tecla = static_cast<QKeyEvent*>(evento);
        if (objeto == txtDiretorio && tecla->key() == Qt::Key_A &&
            (tecla->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier) {
            ExecutarProtegido([this] { EscolherDiretorio(); });
            return true;
        }
        if (FormKeyDown(tecla))
            return true;
    }
    return QWidget::eventFilter(objeto, evento);
}

bool TfrmPrincipal::FormKeyDown(QKeyEvent* evento) {
    switch (evento->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        ExecutarProtegido([this] { btnIniciarClick(); });
        return true;
    case Qt::Key_Escape:
        Encerrar();
        return true;
    case Qt::Key_F2:
        if (!(evento->modifiers() & Qt::ControlModifier))
            return false;
        if (rbtnRestore->isChecked())
            SpeedButton1->setVisible(SpeedButton1->isHidden());
        return true;
    default:
        return false;
    }
}

// ---- TOperador ----

TEntradas TfrmPrincipal::Entradas() const {
    TEntradas e;
    e.backup = ModoBackup();
    e.filial = FilialSelecionada();
    e.diretorio = Diretorio();
    e.arquivo = Arquivo();
    if (m_configuracoes)
        e.opcoes = *m_configuracoes;
    e.conexoes = ConexoesPadrao();
    return e;
}

bool TfrmPrincipal::ModoBackup() const {
    return rbtnBackup->isChecked();
}

QString TfrmPrincipal::FilialSelecionada() const {
    const int indice = cbxFiliais->currentIndex();
    return indice < 0 ? QString() : cbxFiliais->itemData(indice).toString();
}

QString TfrmPrincipal::Diretorio() const {
    return txtDiretorio->text();
}

QString TfrmPrincipal::Arquivo() const {
    return txtArquivo->text();
}

void TfrmPrincipal::MostrarProgresso(const TProgresso& p) {
    if (p.mudanca == TProgresso::Fase)
        m_log.Sincronizar(); // the step before this one is on the disk
    if (p.mudanca != TProgresso::Faixa && p.mudanca != TProgresso::Barra)
        return;
    // A bar whose range is 0 to 0 would show a busy indicator; it stays empty instead.
    ProgressBar->setRange(0, qMax(1, p.maximo));
    ProgressBar->setValue(p.PosicaoNaBarra()); // outside the range: the nearer end
}

void TfrmPrincipal::GravarLog(const QString& texto) {
    m_log.GravarLog(texto);
}

bool TfrmPrincipal::Confirmar(const QString& texto, bool simPadrao, const QString& titulo) {
    return marvek::Confirmar(texto, simPadrao, titulo);
}

void TfrmPrincipal::MostrarCaixa(TCaixa tipo, const QString& texto) {
    switch (tipo) {
    case TCaixa::Erro:
        marvek::MostrarErro(texto);
        break;
    case TCaixa::Alerta:
        marvek::Alertar(texto);
        break;
    case TCaixa::Informacao:
        marvek::Informar(texto);
        break;
    case TCaixa::ErroPadrao:
        marvek::ErroPadrao(texto);
        break;
    case TCaixa::Mensagem:
        marvek::MostrarMensagem(texto);
        break;
    }
}

void TfrmPrincipal::ProcessarMensagens() {
    QCoreApplication::processEvents();
    VerificarParada(); // the window was closed during the run: it unwinds from here
}

} // namespace marvek
