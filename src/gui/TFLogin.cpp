#include "gui/TFLogin.h"

#include "base/EErro.h"
#include "gui/Dialogos.h"
#include "gui/TAplicacao.h"
#include "gui/TFConfiguracoes.h"
#include "gui/WSInstallQEL.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>

namespace marvek {

namespace {

std::function<void()> g_encerrar;

// The password field shows every character as "*".
class EstiloSenha : public QProxyStyle {
public:
    int styleHint(StyleHint dica, const QStyleOption* opcao, const QWidget* widget,
                  QStyleHintReturn* retorno) const override {
        if (dica == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(dica, opcao, widget, retorno);
    }
};

// A banner: pale yellow strip with a thin border, the information icon and a text.
QPixmap desenharBanner(const QWidget* janela, const QString& texto) {
    QPixmap imagem(201, 35);
    imagem.fill(QColor(255, 255, 225));
    QPainter p(&imagem);
    p.setPen(QColor(204, 194, 140));
    p.drawRect(0, 0, imagem.width() - 1, imagem.height() - 1);
    const QIcon icone = janela->style()->standardIcon(QStyle::SP_MessageBoxInformation);
    p.drawPixmap(6, 6, icone.pixmap(23, 23));
    QFont fonte = janela->font();
    fonte.setBold(true);
    p.setFont(fonte);
    p.setPen(Qt::black);
    p.drawText(QRect(38, 0, imagem.width() - 42, imagem.height()), Qt::AlignVCenter | Qt::AlignLeft,
               texto);
    return imagem;
}

} // namespace

TFLogin::TFLogin(QWidget* pai)
    : QDialog(pai, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                       Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("TFLogin"));
    setWindowTitle(QString::fromUtf8("Login do Usuário"));
    setFixedSize(216, 180);

    imgCodigo = new QLabel(this);
    imgCodigo->setObjectName(QStringLiteral("imgCodigo"));
    imgCodigo->setGeometry(8, 8, 201, 35);
    imgCodigo->setPixmap(desenharBanner(this, QString::fromUtf8("Informe seu código")));
    imgSenha = new QLabel(this);
    imgSenha->setObjectName(QStringLiteral("imgSenha"));
    imgSenha->setGeometry(8, 8, 201, 35);
    imgSenha->setPixmap(desenharBanner(this, QString::fromUtf8("Informe sua senha")));
    imgSenha->hide();

    Label1 = new QLabel(QString::fromUtf8("Código de Usuário:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont negrito = Label1->font();
    negrito.setBold(true);
    Label1->setFont(negrito);
    Label1->setGeometry(8, 50, 200, 16);
    EditLogin = new QLineEdit(this);
    EditLogin->setObjectName(QStringLiteral("EditLogin"));
    EditLogin->setGeometry(8, 67, 200, 22);

    Label2 = new QLabel(QStringLiteral("Senha:"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(8, 94, 200, 16);
    EditSenha = new QLineEdit(this);
    EditSenha->setObjectName(QStringLiteral("EditSenha"));
    EditSenha->setGeometry(8, 111, 200, 22);
    auto* estilo = new EstiloSenha;
    estilo->setParent(this);
    EditSenha->setStyle(estilo);
    EditSenha->setEchoMode(QLineEdit::Password);

    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setGeometry(24, 146, 80, 25);
    btnCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    btnCancelar->setObjectName(QStringLiteral("btnCancelar"));
    btnCancelar->setGeometry(112, 146, 80, 25);

    EditLogin->installEventFilter(this);
    EditSenha->installEventFilter(this);
    connect(btnOK, &QPushButton::clicked, this,
            [this] { ExecutarProtegido([this] { btnOKClick(); }); });
    connect(btnCancelar, &QPushButton::clicked, this, &TFLogin::btnCancelarClick);
}

TFLogin::~TFLogin() = default;

void TFLogin::DefinirEncerramento(std::function<void()> encerrar) {
    g_encerrar = std::move(encerrar);
}

void TFLogin::showEvent(QShowEvent* evento) {
    QDialog::showEvent(evento);
    imgCodigo->show();
    imgSenha->hide();
    EditLogin->setFocus();
}

bool TFLogin::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() == QEvent::FocusIn) {
        imgCodigo->setVisible(objeto == EditLogin);
        imgSenha->setVisible(objeto == EditSenha);
    } else if (evento->type() == QEvent::KeyPress) {
        const int tecla = static_cast<QKeyEvent*>(evento)->key();
        if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
            if (objeto == EditLogin)
                EditSenha->setFocus();
            else
                btnOK->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(objeto, evento);
}

void TFLogin::keyPressEvent(QKeyEvent* evento) {
    // Escape is the "Cancelar" button, not the close box.
    if (evento->key() == Qt::Key_Escape && evento->modifiers() == Qt::NoModifier) {
        btnCancelarClick();
        return;
    }
    QDialog::keyPressEvent(evento);
}

void TFLogin::btnOKClick() {
    if (EditLogin->text().trimmed().isEmpty()) {
        Atencao(this, QString::fromUtf8("Defina um usuário"));
        EditLogin->setFocus();
        return;
    }
    if (EditSenha->text().trimmed().isEmpty()) {
        Atencao(this, QStringLiteral("Defina uma senha"));
        EditSenha->setFocus();
        return;
    }
    const QString senha = EditSenha->text();
    bool ok = false;
    const qint32 codigo = EditLogin->text().toInt(&ok);
    if (!ok)
        throw EErro(QString::fromUtf8("'%1' não é um valor inteiro válido").arg(EditLogin->text()));

    const std::shared_ptr<IInstallQEL> servico = GetIInstallQEL(false, QString(), nullptr);
    const QString resultado = servico->GetLoginFuncionarioQEL(codigo, senha);
    if (resultado.length() > 8) {
        Atencao(this, resultado);
        return;
    }
    if (resultado == EditLogin->text()) {
        m_tag = 1;
        accept();
    }
}

void TFLogin::btnCancelarClick() {
    reject();
    if (g_encerrar)
        g_encerrar();
    else
        QCoreApplication::exit(0);
}

void ExecutarLoginManutencao(QWidget* pai, TFConfiguracoes& opcoes,
                             TConfiguracoes*& configuracoes) {
    auto login = std::make_unique<TFLogin>(pai);
    login->exec();
    if (login->Tag() != 1)
        return;
    const QString digitado = login->EditLogin->text();
    for (const QString& codigo : CodigosManutencao()) {
        if (codigo == digitado) {
            configuracoes = opcoes.exec() == QDialog::Accepted ? opcoes.Configuracoes() : nullptr;
            return;
        }
    }
    MostrarErro(QString::fromUtf8("Usuário sem permissão para este módulo."));
}

} // namespace marvek
