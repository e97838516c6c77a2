#include "app/TfrmPrincipal.h"

#include "about/TfrmAjuda.h"
#include "app/Dialogos.h"
#include "app/Icones.h"
#include "app/TAplicacao.h"
#include "backup/Backup.h"
#include "data/EErro.h"
#include "data/Pastas.h"
#include "data/TDM.h"
#include "maintenance/TFConfiguracoes.h"
#include "maintenance/TFLogin.h"
#include "markers/LojasLeram.h"
#include "restore/Restauracao.h"
#include "wizard/TFPreValidacao.h"

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

// Runs an event handler of the window; an error it raises goes to the general error display.
template <typename F> void protegido(F&& manipulador) {
    try {
        manipulador();
    } catch (...) {
        MostrarErroGeral();
    }
}

// The folder a picker opens in: the field's own folder when it names one, else the usual one.
QString pastaInicial(const QString& pastaDoCampo, const char* pastaWindows) {
    if (!pastaDoCampo.isEmpty() && QFileInfo(pastaDoCampo).isDir())
        return pastaDoCampo;
#ifdef Q_OS_WIN
    return QString::fromLatin1(pastaWindows);
#else
    Q_UNUSED(pastaWindows);
    return PastaDoPrograma();
#endif
}
} // namespace

// ---- TComboSomenteLeitura ----

void TComboSomenteLeitura::showPopup() {
    if (!m_somenteLeitura)
        QComboBox::showPopup();
}

void TComboSomenteLeitura::keyPressEvent(QKeyEvent* evento) {
    if (m_somenteLeitura)
        QWidget::keyPressEvent(evento);
    else
        QComboBox::keyPressEvent(evento);
}

void TComboSomenteLeitura::wheelEvent(QWheelEvent* evento) {
    if (m_somenteLeitura)
        QWidget::wheelEvent(evento);
    else
        QComboBox::wheelEvent(evento);
}

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

void TfrmPrincipal::criarControles() {
    setObjectName(QStringLiteral("frmPrincipal"));
    setWindowTitle(QStringLiteral("Marvek"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(282, 206);
    if (QScreen* tela = QGuiApplication::primaryScreen())
        move(tela->geometry().center() - QPoint(width() / 2, height() / 2));

    lblFilial_id = new QLabel(QStringLiteral("Filial ID"), this);
    lblFilial_id->setObjectName(QStringLiteral("lblFilial_id"));
    lblFilial_id->move(8, 8);
    lblFilial_id->adjustSize();

    cbxFiliais = new TComboSomenteLeitura(this);
    cbxFiliais->setObjectName(QStringLiteral("cbxFiliais"));
    cbxFiliais->setGeometry(8, 24, 265, 21);
    cbxFiliais->setMaxVisibleItems(8);
    cbxFiliais->setToolTip(
        QStringLiteral("Informe a filial a ser adicionada no campo lojas_leram"));

    gOperacoes = new QGroupBox(QString::fromUtf8("Operação"), this);
    gOperacoes->setObjectName(QStringLiteral("gOperacoes"));
    gOperacoes->setGeometry(8, 48, 265, 41);

    rbtnBackup = new QRadioButton(QStringLiteral("Backup"), gOperacoes);
    rbtnBackup->setObjectName(QStringLiteral("rbtnBackup"));
    rbtnBackup->setGeometry(32, 16, 65, 17);
    rbtnBackup->setToolTip(QStringLiteral("Realiza o Backup do BD Central"));
    rbtnBackup->setChecked(true);

    rbtnRestore = new QRadioButton(QString::fromUtf8("Restauração"), gOperacoes);
    rbtnRestore->setObjectName(QStringLiteral("rbtnRestore"));
    rbtnRestore->setGeometry(144, 16, 97, 17);
    rbtnRestore->setToolTip(QStringLiteral("Restaura o Backup do BD Central"));
    rbtnRestore->setLayoutDirection(Qt::RightToLeft);

    lblDiretorio = new QLabel(QStringLiteral("Destino do Backup"), this);
    lblDiretorio->setObjectName(QStringLiteral("lblDiretorio"));
    lblDiretorio->move(8, 96);
    lblDiretorio->adjustSize();

    txtDiretorio = new QLineEdit(this);
    txtDiretorio->setObjectName(QStringLiteral("txtDiretorio"));
    txtDiretorio->setGeometry(8, 112, 265, 21);
    QAction* procurarPasta = txtDiretorio->addAction(IconeProcurar(), QLineEdit::TrailingPosition);
    procurarPasta->setObjectName(QStringLiteral("actProcurarDiretorio"));
    connect(procurarPasta, &QAction::triggered, this,
            [this] { protegido([this] { EscolherDiretorio(); }); });

    // The archive field lies over the folder field; only one of them shows at a time.
    txtArquivo = new QLineEdit(this);
    txtArquivo->setObjectName(QStringLiteral("txtArquivo"));
    txtArquivo->setGeometry(8, 112, 265, 21);
    txtArquivo->raise();
    txtArquivo->hide();
    QAction* procurarArquivo = txtArquivo->addAction(IconeProcurar(), QLineEdit::TrailingPosition);
    procurarArquivo->setObjectName(QStringLiteral("actProcurarArquivo"));
    connect(procurarArquivo, &QAction::triggered, this,
            [this] { protegido([this] { EscolherArquivo(); }); });

    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setGeometry(8, 144, 265, 16);
    ProgressBar->setTextVisible(false);
    ProgressBar->setRange(0, m_maximoProgresso);
    ProgressBar->setValue(0);

    const auto botaoImagem = [this](const QString& nome, const QIcon& icone, int esquerda) {
        auto* b = new QToolButton(this);
        b->setObjectName(nome);
        b->setGeometry(esquerda, 168, 33, 33);
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setIcon(icone);
        b->setIconSize(QSize(28, 28));
        b->setToolTip(QStringLiteral("Sobre"));
        return b;
    };
    btnAjuda = botaoImagem(QStringLiteral("btnAjuda"), IconeSobre(), 8);
    SpeedButton1 = botaoImagem(QStringLiteral("SpeedButton1"), IconeManutencao(), 46);
    SpeedButton1->hide();

    btnIniciar = new QPushButton(QStringLiteral("&Iniciar"), this);
    btnIniciar->setObjectName(QStringLiteral("btnIniciar"));
    btnIniciar->setGeometry(88, 171, 89, 25);

    btnCancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
    btnCancelar->setObjectName(QStringLiteral("btnCancelar"));
    btnCancelar->setGeometry(184, 170, 89, 25);

    setTabOrder(cbxFiliais, rbtnBackup);
    setTabOrder(rbtnBackup, rbtnRestore);
    setTabOrder(rbtnRestore, txtDiretorio);
    setTabOrder(txtDiretorio, txtArquivo);
    setTabOrder(txtArquivo, btnIniciar);
    setTabOrder(btnIniciar, btnCancelar);

    connect(cbxFiliais, &QComboBox::currentIndexChanged, this,
            [this] { protegido([this] { cbxFiliaisChange(); }); });
    connect(rbtnBackup, &QRadioButton::toggled, this, [this](bool marcado) {
        if (marcado)
            protegido([this] { rbtnBackupClick(); });
    });
    connect(rbtnRestore, &QRadioButton::toggled, this, [this](bool marcado) {
        if (marcado)
            protegido([this] { rbtnRestoreClick(); });
    });
    connect(btnIniciar, &QPushButton::clicked, this,
            [this] { protegido([this] { btnIniciarClick(); }); });
    connect(btnCancelar, &QPushButton::clicked, this,
            [this] { protegido([this] { btnCancelarClick(); }); });
    connect(btnAjuda, &QToolButton::clicked, this,
            [this] { protegido([this] { btnAjudaClick(); }); });
    connect(SpeedButton1, &QToolButton::clicked, this,
            [this] { protegido([this] { SpeedButton1Click(); }); });
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
        // be run. Nothing is shown.
        if (!rbtnRestore->isChecked())
            rbtnRestore->setChecked(true);
        rbtnBackup->setEnabled(false);
    }
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
        protegido([this] { OferecerPreValidacao(this); });
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
    m_executando = true;
    const auto fim = qScopeGuard([this] {
        m_executando = false;
        if (m_encerrado)
            Encerrar();
    });
    AlternarControles();
    if (backup)
        RealizarBackup(*this, DM());
    else
        ExecutarRestauracao(*this, DM());
}

void TfrmPrincipal::AlternarControles() {
    const bool ativar = !btnIniciar->isEnabledTo(this);
    for (QWidget* controle :
         {static_cast<QWidget*>(cbxFiliais), static_cast<QWidget*>(txtDiretorio),
          static_cast<QWidget*>(btnCancelar), static_cast<QWidget*>(btnIniciar),
          static_cast<QWidget*>(rbtnBackup), static_cast<QWidget*>(rbtnRestore),
          static_cast<QWidget*>(txtArquivo), static_cast<QWidget*>(btnAjuda)})
        controle->setEnabled(ativar);
    ProcessarMensagens();
}

void TfrmPrincipal::ValidarCampos() {
    const bool backup = rbtnBackup->isChecked();
    if (backup && cbxFiliais->currentIndex() < 0) {
        AlternarControles();
        cbxFiliais->setFocus();
        throw EErro(QStringLiteral("Nenhuma filial selecionada"));
    }
    if (backup && txtDiretorio->text().isEmpty()) {
        AlternarControles();
        txtDiretorio->setFocus();
        throw EErro(QString::fromUtf8("Nenhum diretório selecionado"));
    }
    if (!backup && txtArquivo->text().isEmpty()) {
        AlternarControles();
        txtArquivo->setFocus();
        throw EErro(QStringLiteral("Nenhum arquivo selecionado"));
    }
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
            protegido([this] { EscolherDiretorio(); });
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
        protegido([this] { btnIniciarClick(); });
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

void TfrmPrincipal::DefinirMaximoProgresso(int maximo) {
    // A bar whose range is 0 to 0 would show a busy indicator; it stays empty instead.
    m_maximoProgresso = qMax(0, maximo);
    const int posicao = qMin(ProgressBar->value(), m_maximoProgresso);
    ProgressBar->setRange(0, qMax(1, m_maximoProgresso));
    ProgressBar->setValue(posicao);
}

void TfrmPrincipal::DefinirPosicaoProgresso(int posicao) {
    // A position outside the range stops at the nearer end.
    ProgressBar->setValue(qBound(0, posicao, m_maximoProgresso));
}

int TfrmPrincipal::PosicaoProgresso() const {
    return ProgressBar->value();
}

void TfrmPrincipal::GravarLog(const QString& texto) {
    m_log.GravarLog(texto);
}

bool TfrmPrincipal::Confirmar(const QString& texto, bool simPadrao, const QString& titulo) {
    return marvek::Confirmar(texto, simPadrao, titulo);
}

void TfrmPrincipal::MostrarErro(const QString& texto) {
    marvek::MostrarErro(texto);
}

void TfrmPrincipal::Alertar(const QString& texto) {
    marvek::Alertar(texto);
}

void TfrmPrincipal::Informar(const QString& texto) {
    marvek::Informar(texto);
}

void TfrmPrincipal::ErroPadrao(const QString& texto) {
    marvek::ErroPadrao(texto);
}

void TfrmPrincipal::MostrarMensagem(const QString& texto) {
    marvek::MostrarMensagem(texto);
}

void TfrmPrincipal::ProcessarMensagens() {
    QCoreApplication::processEvents();
}

} // namespace marvek
