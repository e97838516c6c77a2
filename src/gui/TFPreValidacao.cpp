#include "gui/TFPreValidacao.h"

#include "base/Texto.h"

#include "data/PreValidacao.h"
#include "data/TDM.h"
#include "gui/Dialogos.h"
#include "gui/TAplicacao.h"

#include <QButtonGroup>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>

namespace marvek {

const QColor TFPreValidacao::CorFalha(255, 128, 128);
const QColor TFPreValidacao::CorSucesso(211, 255, 168);

namespace {

// Leading and trailing blanks and control characters removed.
QString aparar(const QString& texto) {
    qsizetype inicio = 0, fim = texto.size();
    while (inicio < fim && texto.at(inicio).unicode() <= ' ')
        ++inicio;
    while (fim > inicio && texto.at(fim - 1).unicode() <= ' ')
        --fim;
    return texto.mid(inicio, fim - inicio);
}

QLabel* titulo(const QString& texto, QWidget* pai) {
    auto* rotulo = new QLabel(texto, pai);
    QFont fonte = rotulo->font();
    fonte.setBold(true);
    fonte.setPointSize(14);
    rotulo->setFont(fonte);
    rotulo->setGeometry(16, 12, 382, 30);
    return rotulo;
}

QPushButton* botao(const QString& texto, int x, QWidget* pai) {
    auto* b = new QPushButton(texto, pai);
    b->setGeometry(x, 172, 80, 25);
    b->setAutoDefault(false);
    return b;
}

const char* const RegrasPorTipo[] = {" - Concat no lojas_leram (lojas_leram + filial). [Backup]\r\n"
                                     " - Será efetuado o comando delete default. [Restauração]\r\n"
                                     " - O campo lojas_leram se compõe: (*). [Restauração]",
                                     " - Concat no lojas_leram (lojas_leram + filial). [Backup]\r\n"
                                     " - Não será efetuado os comandos de delete. [Restauração]\r\n"
                                     " - O campo lojas_leram se compõe: (*lojas). [Restauração]",
                                     " - Concat no lojas_leram (lojas_leram + *). [Backup]\r\n"
                                     " - Não será efetuado os comandos de delete. [Restauração]\r\n"
                                     " - O campo lojas_leram se compõe: (*lojas). [Restauração]"};

} // namespace

TFPreValidacao::TFPreValidacao(QWidget* pai)
    : QDialog(pai, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                       Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("TFPreValidacao"));
    setWindowTitle(QString::fromUtf8("Pré Validação"));
    setFixedSize(414, 209);

    Notebook1 = new QStackedWidget(this);
    Notebook1->setObjectName(QStringLiteral("Notebook1"));
    Notebook1->setGeometry(0, 0, 414, 209);

    // Page 1: the kind of installation.
    auto* pagina1 = new QWidget(Notebook1);
    Label1 = titulo(QString::fromUtf8("Qual o tipo de instalação?"), pagina1);
    Label1->setObjectName(QStringLiteral("Label1"));
    RadioTipoInstalacao = new QGroupBox(pagina1);
    RadioTipoInstalacao->setObjectName(QStringLiteral("RadioTipoInstalacao"));
    RadioTipoInstalacao->setGeometry(16, 50, 382, 110);
    grupoTipos = new QButtonGroup(this);
    const char* tipos[] = {"Loja", "Notebook / Escritório Adic.", "Central"};
    for (int i = 0; i < 3; ++i) {
        auto* radio = new QRadioButton(QString::fromUtf8(tipos[i]), RadioTipoInstalacao);
        radio->setGeometry(16, 14 + i * 30, 340, 22);
        grupoTipos->addButton(radio, i);
    }
    grupoTipos->button(0)->setChecked(true);
    btnAvancarPage1 = botao(QStringLiteral(">>"), 318, pagina1);
    btnAvancarPage1->setObjectName(QStringLiteral("btnAvancarPage1"));
    Notebook1->addWidget(pagina1);

    // Page 2: the store's code.
    auto* pagina2 = new QWidget(Notebook1);
    Label2 = titulo(QString::fromUtf8("Código da loja a ser instalada:"), pagina2);
    Label2->setObjectName(QStringLiteral("Label2"));
    txtFilialId = new QLineEdit(pagina2);
    txtFilialId->setObjectName(QStringLiteral("txtFilialId"));
    txtFilialId->setGeometry(16, 60, 160, 24);
    txtFilialId->installEventFilter(this);
    BtnAnteriorPage2 = botao(QStringLiteral("<<"), 232, pagina2);
    BtnAnteriorPage2->setObjectName(QStringLiteral("BtnAnteriorPage2"));
    btnProximoPage2 = botao(QStringLiteral(">>"), 318, pagina2);
    btnProximoPage2->setObjectName(QStringLiteral("btnProximoPage2"));
    Notebook1->addWidget(pagina2);

    // Page 3: the result.
    auto* pagina3 = new QWidget(Notebook1);
    PanelInf = new QFrame(pagina3);
    PanelInf->setObjectName(QStringLiteral("PanelInf"));
    PanelInf->setGeometry(8, 8, 398, 156);
    PanelInf->setAutoFillBackground(true);
    Shape2 = new QFrame(PanelInf);
    Shape2->setObjectName(QStringLiteral("Shape2"));
    Shape2->setGeometry(4, 4, 390, 148);
    Shape2->setFrameStyle(QFrame::Box | QFrame::Plain);
    Label4 = new QLabel(PanelInf);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setGeometry(8, 8, 382, 140);
    Label4->setAlignment(Qt::AlignCenter);
    Label4->setWordWrap(true);
    Label4->setTextFormat(Qt::PlainText);
    QFont negrito = Label4->font();
    negrito.setBold(true);
    Label4->setFont(negrito);
    Button2 = botao(QStringLiteral("<<"), 232, pagina3);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button1 = botao(QStringLiteral("&Sair"), 318, pagina3);
    Button1->setObjectName(QStringLiteral("Button1"));
    Notebook1->addWidget(pagina3);
    definirCorPanelInf(CorFalha);

    Notebook1->setCurrentIndex(0);
    // Enter takes the page's way forward (on the result page, the way out).
    const auto botaoPadrao = [this](int pagina) {
        QPushButton* padroes[] = {btnAvancarPage1, btnProximoPage2, Button1};
        if (pagina >= 0 && pagina < 3)
            padroes[pagina]->setDefault(true);
    };
    botaoPadrao(0);
    connect(Notebook1, &QStackedWidget::currentChanged, this, botaoPadrao);

    connect(btnAvancarPage1, &QPushButton::clicked, this, &TFPreValidacao::btnAvancarPage1Click);
    connect(BtnAnteriorPage2, &QPushButton::clicked, this, &TFPreValidacao::BtnAnteriorPage2Click);
    connect(btnProximoPage2, &QPushButton::clicked, this,
            [this] { ExecutarProtegido([this] { btnProximoPage2Click(); }); });
    connect(Button1, &QPushButton::clicked, this, &TFPreValidacao::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFPreValidacao::Button2Click);
    // Whatever reaches the code field other than by typing (a paste, a drop) keeps only its
    // digits.
    connect(txtFilialId, &QLineEdit::textEdited, this, [this](const QString& texto) {
        QString digitos;
        for (QChar c : texto)
            if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
                digitos += c;
        if (digitos != texto) {
            const int cursor =
                txtFilialId->cursorPosition() - static_cast<int>(texto.size() - digitos.size());
            txtFilialId->setText(digitos);
            txtFilialId->setCursorPosition(qMax(0, cursor));
        }
    });
}

TFPreValidacao::~TFPreValidacao() = default;

int TFPreValidacao::TipoInstalacao() const {
    return grupoTipos->checkedId();
}

void TFPreValidacao::DefinirTipoInstalacao(int tipo) {
    grupoTipos->button(tipo)->setChecked(true);
}

QColor TFPreValidacao::CorPanelInf() const {
    return PanelInf->palette().color(QPalette::Window);
}

void TFPreValidacao::definirCorPanelInf(const QColor& cor) {
    QPalette paleta = PanelInf->palette();
    paleta.setColor(QPalette::Window, cor);
    PanelInf->setPalette(paleta);
}

void TFPreValidacao::definirTextoDoResultado(const QString& texto) {
    m_textoDoResultado = texto;
    Label4->setText(QuebrasDeLinha(texto));
}

bool TFPreValidacao::eventFilter(QObject* objeto, QEvent* evento) {
    // Of the characters typed into the code field only the digits reach it; keys that type no
    // character (arrows, Delete, Tab) pass.
    if (objeto == txtFilialId && evento->type() == QEvent::KeyPress) {
        const auto* tecla = static_cast<QKeyEvent*>(evento);
        const QString texto = tecla->text();
        if (tecla->key() == Qt::Key_Tab || tecla->key() == Qt::Key_Backtab ||
            tecla->key() == Qt::Key_Delete || tecla->key() == Qt::Key_Return ||
            tecla->key() == Qt::Key_Enter || texto.isEmpty())
            return QDialog::eventFilter(objeto, evento);
        for (QChar c : texto)
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return true;
    }
    return QDialog::eventFilter(objeto, evento);
}

void TFPreValidacao::keyPressEvent(QKeyEvent* evento) {
    // The way out is "&Sair" on the result page, not Escape.
    if (evento->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(evento);
}

void TFPreValidacao::btnAvancarPage1Click() {
    Notebook1->setCurrentIndex(1);
}

void TFPreValidacao::BtnAnteriorPage2Click() {
    Notebook1->setCurrentIndex(0);
}

void TFPreValidacao::Button2Click() {
    Notebook1->setCurrentIndex(1);
}

void TFPreValidacao::btnProximoPage2Click() {
    bool ok = false;
    const int numero = txtFilialId->text().toInt(&ok);
    if (!ok || numero == 0) {
        txtFilialId->setFocus();
        return;
    }
    const int tipo = TipoInstalacao();
    const QString problemas =
        ProblemasDaInstalacao(DM(), static_cast<TTipoInstalacao>(tipo), txtFilialId->text());

    definirTextoDoResultado(QString::fromUtf8("========ATENÇÃO========\r\n"));
    QString mostrar;
    if (!aparar(problemas).isEmpty()) {
        definirCorPanelInf(CorFalha);
        mostrar = problemas;
    } else {
        mostrar = QString::fromUtf8(RegrasPorTipo[tipo]);
        definirCorPanelInf(CorSucesso);
    }
    definirTextoDoResultado(m_textoDoResultado + mostrar);
    Notebook1->setCurrentIndex(2);
}

void TFPreValidacao::Button1Click() {
    if (CorPanelInf() == CorFalha)
        Alertar(QString::fromUtf8("Você está saindo com o processo apontando erro.\r\n"
                                  "Procedimento sujeito a log para acompanhamento."));
    done(QDialog::Accepted);
}

void OferecerPreValidacao(QWidget* pai) {
    if (!Confirmar(QString::fromUtf8("Deseja efetuar a pré-validação?"), true,
                   QString::fromUtf8("Confirmação...")))
        return;
    auto janela = std::make_unique<TFPreValidacao>(pai);
    janela->exec();
}

} // namespace marvek
