#include "gui/TfrmAjuda.h"

#include "markers/LojasLeram.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <QToolButton>

namespace marvek {

namespace {

int g_espera = 1500;
std::function<void(TfrmAjuda*)> g_observador;

const QStringList ExemploFiliais = {QStringLiteral("Matriz"),
                                    QStringLiteral("Loja Centro"),
                                    QStringLiteral("Loja Shopping"),
                                    QStringLiteral("Loja Rodoviária"),
                                    QString::fromUtf8("Escritório Adicional"),
                                    QStringLiteral("Notebook Vendas")};
const int FilialExemplo = 12; // "Loja Shopping" in the pictures

// Renders a widget that is not on screen.
QPixmap fotografar(QWidget& w) {
    w.setAttribute(Qt::WA_DontShowOnScreen);
    w.show();
    QPixmap foto = w.grab();
    w.hide();
    return foto;
}

QComboBox* campoFilial(QWidget* pai, const QString& nome) {
    auto* cbx = new QComboBox(pai);
    cbx->addItem(nome);
    cbx->setGeometry(8, 24, 265, 21);
    return cbx;
}

// A mock-up of the main window with its controls where the main window has them, and
// numbers 1 to 6 in red beside the controls the help describes.
QPixmap desenharJanelaPrincipal(const QFont& fonte) {
    QWidget janela;
    janela.setFont(fonte);
    janela.setFixedSize(282, 206);
    (new QLabel(QStringLiteral("Filial ID"), &janela))->move(8, 8);
    campoFilial(&janela, ExemploFiliais.first());
    auto* grupo = new QGroupBox(QString::fromUtf8("Operação"), &janela);
    grupo->setGeometry(8, 48, 265, 41);
    auto* backup = new QRadioButton(QStringLiteral("Backup"), grupo);
    backup->setGeometry(32, 16, 65, 17);
    backup->setChecked(true);
    auto* restore = new QRadioButton(QString::fromUtf8("Restauração"), grupo);
    restore->setGeometry(144, 16, 97, 17);
    restore->setLayoutDirection(Qt::RightToLeft);
    (new QLabel(QStringLiteral("Destino do Backup"), &janela))->move(8, 96);
    auto* destino = new QLineEdit(QStringLiteral("C:\\Sistemaqel\\"), &janela);
    destino->setGeometry(8, 112, 244, 21);
    auto* procurar = new QToolButton(&janela);
    procurar->setText(QStringLiteral("..."));
    procurar->setGeometry(252, 112, 21, 21);
    auto* progresso = new QProgressBar(&janela);
    progresso->setGeometry(8, 144, 265, 16);
    progresso->setValue(0);
    progresso->setTextVisible(false);
    auto* ajuda = new QToolButton(&janela);
    ajuda->setGeometry(8, 168, 33, 33);
    ajuda->setAutoRaise(true);
    ajuda->setIcon(janela.style()->standardIcon(QStyle::SP_MessageBoxQuestion));
    ajuda->setIconSize(QSize(24, 24));
    (new QPushButton(QStringLiteral("&Iniciar"), &janela))->setGeometry(88, 171, 89, 25);
    (new QPushButton(QStringLiteral("&Cancelar"), &janela))->setGeometry(184, 170, 89, 25);
    const QPixmap foto = fotografar(janela);

    // The picture: the window with a title bar, and the numbers.
    QPixmap quadro(282 + 2 * 20, 206 + 20 + 2 * 8);
    quadro.fill(Qt::white);
    QPainter p(&quadro);
    const QPoint origem(20, 8 + 20);
    p.fillRect(QRect(origem.x(), 8, 282, 20), QColor(0, 84, 166));
    p.setPen(Qt::white);
    QFont titulo = fonte;
    titulo.setBold(true);
    p.setFont(titulo);
    p.drawText(QRect(origem.x() + 6, 8, 270, 20), Qt::AlignVCenter, QStringLiteral("Marvek"));
    p.drawPixmap(origem, foto);
    p.setPen(QColor(110, 110, 110));
    p.drawRect(QRect(origem.x(), 8, 281, 225));

    QFont numero = fonte;
    numero.setBold(true);
    numero.setPointSize(fonte.pointSize() > 0 ? fonte.pointSize() + 3 : 11);
    p.setFont(numero);
    p.setPen(QColor(220, 0, 0));
    const struct {
        int numero;
        QPoint ponto; // in the window's own coordinates
    } marcas[] = {{1, {-16, 40}},  {2, {24, 78}},   {3, {260, 78}},
                  {4, {-16, 128}}, {5, {132, 166}}, {6, {228, 166}}};
    for (const auto& m : marcas)
        p.drawText(origem + m.ponto, QString::number(m.numero));
    return quadro;
}

// The branch list opened, with example branches.
QPixmap desenharListaAberta(const QFont& fonte) {
    QWidget quadro;
    quadro.setFont(fonte);
    quadro.setFixedSize(268, 129);
    auto* cbx = campoFilial(&quadro, ExemploFiliais.at(2));
    cbx->move(1, 1);
    auto* lista = new QListWidget(&quadro);
    lista->setGeometry(1, 22, 265, 106);
    lista->addItems(ExemploFiliais);
    lista->setCurrentRow(2);
    lista->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return fotografar(quadro);
}

// The branch field closed, one branch chosen, and the hint with its id and marker.
QPixmap desenharCampoComDica(const QFont& fonte) {
    QWidget quadro;
    quadro.setFont(fonte);
    quadro.setFixedSize(281, 105);
    auto* rotulo = new QLabel(QStringLiteral("Filial ID"), &quadro);
    rotulo->move(8, 6);
    auto* cbx = campoFilial(&quadro, ExemploFiliais.at(2));
    cbx->move(8, 24);
    QPixmap foto = fotografar(quadro);

    QPainter p(&foto);
    const QString dica = QString::number(FilialExemplo) + QStringLiteral(" (") +
                         CodigoLojasLeram(FilialExemplo) + QStringLiteral(")");
    p.setFont(fonte);
    const QRect caixa(120, 56, p.fontMetrics().horizontalAdvance(dica) + 10,
                      p.fontMetrics().height() + 6);
    p.fillRect(caixa, QColor(255, 255, 225));
    p.setPen(Qt::black);
    p.drawRect(caixa.adjusted(0, 0, -1, -1));
    p.drawText(caixa, Qt::AlignCenter, dica);
    // the mouse pointer over the field
    const QPolygon seta(
        {{100, 34}, {100, 50}, {104, 46}, {107, 53}, {109, 52}, {106, 45}, {111, 45}});
    p.setBrush(Qt::white);
    p.drawPolygon(seta);
    return foto;
}

QIcon iconeAjuda() {
    QPixmap icone(32, 32);
    icone.fill(Qt::transparent);
    QPainter p(&icone);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0, 84, 166));
    p.setPen(Qt::NoPen);
    p.drawEllipse(1, 1, 30, 30);
    QFont f;
    f.setBold(true);
    f.setPixelSize(22);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, 32, 32), Qt::AlignCenter, QStringLiteral("?"));
    return QIcon(icone);
}

} // namespace

TfrmAjuda::TfrmAjuda(QWidget* pai)
    : QDialog(pai, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                       Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint |
                       Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("TfrmAjuda"));
    setWindowTitle(QStringLiteral("Sobre"));
    setWindowIcon(iconeAjuda());
    setFixedSize(458, 573);
    QFont fonte = font();
    fonte.setPointSize(8);
    setFont(fonte);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(84, 8, 289, 233);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setPixmap(desenharJanelaPrincipal(fonte).scaled(289, 233, Qt::KeepAspectRatio,
                                                            Qt::SmoothTransformation));
    img1 = new QLabel(this);
    img1->setObjectName(QStringLiteral("img1"));
    img1->setGeometry(95, 60, 268, 129);
    img1->setPixmap(desenharListaAberta(fonte));
    img1->hide();
    img2 = new QLabel(this);
    img2->setObjectName(QStringLiteral("img2"));
    img2->setGeometry(88, 72, 281, 105);
    img2->setPixmap(desenharCampoComDica(fonte));
    img2->hide();

    GroupBox2 = new QGroupBox(this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    GroupBox2->setGeometry(8, 248, 442, 284);
    GroupBox2->setCursor(Qt::PointingHandCursor);
    auto* cabecalho = new QFrame(GroupBox2);
    cabecalho->setGeometry(6, 8, 430, 24);
    cabecalho->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto* titulo = new QLabel(QString::fromUtf8("Descrição dos itens "), cabecalho);
    QFont negrito = fonte;
    negrito.setBold(true);
    titulo->setFont(negrito);
    titulo->setGeometry(8, 2, 400, 20);
    auto* lista = new QFrame(GroupBox2);
    lista->setGeometry(6, 36, 430, 242);
    lista->setFrameStyle(QFrame::Box | QFrame::Sunken);

    const QList<QStringList> descricoes = {
        {QString::fromUtf8("O campo Filial ID tem como função a seleção da filial qual será "
                           "bloqueada a "),
         QString::fromUtf8("comunicação dos dados.  Posicionando o mouse no campo será exibido o "),
         QString::fromUtf8("código referente à filial selecionada.")},
        {QString::fromUtf8("A opção \"Backup\" realiza uma cópia do Banco de dados Central, "
                           "compacta, "),
         QString::fromUtf8("e salva no diretório selecionado no item 4 para ser descompactada na "
                           "filial.")},
        {QString::fromUtf8("Após realizar  e transferir para a Filial o arquivo de Backup, a  "
                           "\"Restauração\""),
         QString::fromUtf8("deve ser realizada marcando o item 3, e selecionando o arquivo .zip "
                           "também"),
         QString::fromUtf8("encontrado no item 4.")},
        {QString::fromUtf8("Utilizado para selecionar caminhos de Diretórios e Arquivos para  "
                           "operações.")},
        {QString::fromUtf8("Inicia o processo de Backup / Restauração.")},
        {QString::fromUtf8("Sai do aplicativo.")}};
    int y = 8;
    const int altura = 15;
    for (int i = 0; i < descricoes.size(); ++i) {
        auto* item = new QLabel(QStringLiteral("Item %1:").arg(i + 1), lista);
        item->setObjectName(QStringLiteral("lblItem%1").arg(i + 1));
        item->setFont(negrito);
        item->setGeometry(6, y, 48, altura);
        Itens << item;
        for (const QString& linha : descricoes[i]) {
            auto* rotulo = new QLabel(linha, lista);
            rotulo->setGeometry(54, y, 372, altura);
            Descricoes << rotulo;
            if (i == 0) {
                LinhasItem1 << rotulo;
                rotulo->setCursor(Qt::ArrowCursor);
                rotulo->installEventFilter(this);
            }
            y += altura;
        }
        y += 8;
    }
    // Every description stays on its one line: with a wide system font the lines get a
    // slightly smaller size.
    QFont fonteLinhas = fonte;
    auto cabe = [&] {
        const QFontMetrics medida(fonteLinhas);
        for (QLabel* l : Descricoes)
            if (medida.horizontalAdvance(l->text()) > l->width())
                return false;
        return true;
    };
    while (!cabe() && fonteLinhas.pointSizeF() > 6)
        fonteLinhas.setPointSizeF(fonteLinhas.pointSizeF() - 0.25);
    for (QLabel* l : Descricoes)
        l->setFont(fonteLinhas);
    // Over "Item 1:" lies a transparent label that starts the sequence.
    Lbl1 = new QLabel(lista);
    Lbl1->setObjectName(QStringLiteral("Lbl1"));
    Lbl1->setGeometry(Itens.first()->x(), Itens.first()->y() - 1, 48, 13);
    Lbl1->setAttribute(Qt::WA_TranslucentBackground);
    Lbl1->setCursor(Qt::ArrowCursor);
    Lbl1->raise();
    Lbl1->installEventFilter(this);

    btnFechar = new QPushButton(QStringLiteral("&Fechar"), this);
    btnFechar->setObjectName(QStringLiteral("btnFechar"));
    btnFechar->setGeometry(370, 540, 80, 25);
    connect(btnFechar, &QPushButton::clicked, this, &TfrmAjuda::btnFecharClick);

    // The window sees every key before its controls.
    for (QWidget* filho : findChildren<QWidget*>())
        filho->installEventFilter(this);
}

TfrmAjuda::~TfrmAjuda() = default;

int TfrmAjuda::Espera() {
    return g_espera;
}

void TfrmAjuda::DefinirEspera(int milissegundos) {
    g_espera = milissegundos;
}

void TfrmAjuda::DefinirObservador(std::function<void(TfrmAjuda*)> observador) {
    g_observador = std::move(observador);
}

bool TfrmAjuda::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() == QEvent::Enter &&
        (objeto == Lbl1 || LinhasItem1.contains(qobject_cast<QLabel*>(objeto)))) {
        Lbl1MouseEnter();
    } else if (evento->type() == QEvent::KeyPress) {
        if (FormKeyDown(static_cast<QKeyEvent*>(evento)))
            return true;
    }
    return QDialog::eventFilter(objeto, evento);
}

void TfrmAjuda::keyPressEvent(QKeyEvent* evento) {
    if (!FormKeyDown(evento))
        QDialog::keyPressEvent(evento);
}

bool TfrmAjuda::FormKeyDown(QKeyEvent* evento) {
    if (evento->key() == Qt::Key_Escape) {
        btnFecharClick();
        return true;
    }
    if (evento->key() == Qt::Key_1) {
        Lbl1MouseEnter();
        return true;
    }
    return false;
}

// Paints the change at once and lets pending window events through.
void TfrmAjuda::passo() {
    repaint();
    QCoreApplication::processEvents();
    if (g_observador)
        g_observador(this);
}

void TfrmAjuda::Lbl1MouseEnter() {
    img1->show();
    passo();
    QThread::msleep(static_cast<unsigned long>(g_espera));
    img1->hide();
    img2->show();
    passo();
    QThread::msleep(static_cast<unsigned long>(g_espera));
    img2->hide();
    if (g_observador)
        g_observador(this);
}

void TfrmAjuda::btnFecharClick() {
    done(QDialog::Accepted);
}

void MostrarSobre(QWidget* pai) {
    TfrmAjuda janela(pai);
    janela.exec();
}

} // namespace marvek
