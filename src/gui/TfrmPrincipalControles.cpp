// The main window's controls: their places, captions, hints and tab order, and which handler
// each one calls. The handlers themselves are in TfrmPrincipal.cpp.
#include "gui/TfrmPrincipal.h"

#include "gui/Icones.h"
#include "gui/TAplicacao.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QToolButton>

namespace marvek {

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
            [this] { ExecutarProtegido([this] { EscolherDiretorio(); }); });

    // The archive field lies over the folder field; only one of them shows at a time.
    txtArquivo = new QLineEdit(this);
    txtArquivo->setObjectName(QStringLiteral("txtArquivo"));
    txtArquivo->setGeometry(8, 112, 265, 21);
    txtArquivo->raise();
    txtArquivo->hide();
    QAction* procurarArquivo = txtArquivo->addAction(IconeProcurar(), QLineEdit::TrailingPosition);
    procurarArquivo->setObjectName(QStringLiteral("actProcurarArquivo"));
    connect(procurarArquivo, &QAction::triggered, this,
            [this] { ExecutarProtegido([this] { EscolherArquivo(); }); });

    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setGeometry(8, 144, 265, 16);
    ProgressBar->setTextVisible(false);
    ProgressBar->setRange(0, Progresso().maximo);
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
            [this] { ExecutarProtegido([this] { cbxFiliaisChange(); }); });
    connect(rbtnBackup, &QRadioButton::toggled, this, [this](bool marcado) {
        if (marcado)
            ExecutarProtegido([this] { rbtnBackupClick(); });
    });
    connect(rbtnRestore, &QRadioButton::toggled, this, [this](bool marcado) {
        if (marcado)
            ExecutarProtegido([this] { rbtnRestoreClick(); });
    });
    connect(btnIniciar, &QPushButton::clicked, this,
            [this] { ExecutarProtegido([this] { btnIniciarClick(); }); });
    connect(btnCancelar, &QPushButton::clicked, this,
            [this] { ExecutarProtegido([this] { btnCancelarClick(); }); });
    connect(btnAjuda, &QToolButton::clicked, this,
            [this] { ExecutarProtegido([this] { btnAjudaClick(); }); });
    connect(SpeedButton1, &QToolButton::clicked, this,
            [this] { ExecutarProtegido([this] { SpeedButton1Click(); }); });
}

} // namespace marvek
