#include "gui/TFConfiguracoes.h"

#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace marvek {

TFConfiguracoes::TFConfiguracoes(QWidget* pai)
    : QDialog(pai, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                       Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("TFConfiguracoes"));
    setWindowTitle(QString::fromUtf8("Configurações"));
    setFixedSize(518, 142);
    QFont fonte = font();
    fonte.setPointSize(8);
    setFont(fonte);

    CheckListBox1 = new QListWidget(this);
    CheckListBox1->setObjectName(QStringLiteral("CheckListBox1"));
    CheckListBox1->setGeometry(8, 8, 502, 62);
    CheckListBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    CheckListBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const char* itens[] = {
        "Ler arquivo texto query.txt para executar truncates no banco de dados. (Dúvidas? "
        "Confirme)",
        "Efetuar truncate na tabela numlanc/nlanc e inserção do valor 1",
        "Ler arquivo texto query.txt para executar deletes no banco de dados. (Dúvidas? "
        "Confirme)"};
    for (const char* texto : itens) {
        auto* item = new QListWidgetItem(QString::fromUtf8(texto), CheckListBox1);
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Unchecked);
    }
    // Every item stays on its one line: with a wide system font the list gets a slightly
    // smaller size.
    QFont fonteLista = fonte;
    auto cabe = [&] {
        const QFontMetrics medida(fonteLista);
        for (int i = 0; i < CheckListBox1->count(); ++i)
            if (medida.horizontalAdvance(CheckListBox1->item(i)->text()) + 28 >
                CheckListBox1->width())
                return false;
        return true;
    };
    while (!cabe() && fonteLista.pointSizeF() > 6)
        fonteLista.setPointSizeF(fonteLista.pointSizeF() - 0.25);
    CheckListBox1->setFont(fonteLista);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setText(QString::fromUtf8("Obs: os arquivos devem estar na pasta do sistemaqel \r\n"
                                      "juntamente com este executável"));
    Label1->setGeometry(8, 76, 330, 34);

    Button1 = new QPushButton(QStringLiteral("&OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(344, 108, 80, 25);
    Button2 = new QPushButton(QStringLiteral("&Cancelar"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(430, 108, 80, 25);
    connect(Button1, &QPushButton::clicked, this, &TFConfiguracoes::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

TFConfiguracoes::~TFConfiguracoes() = default;

bool TFConfiguracoes::Marcado(int item) const {
    return CheckListBox1->item(item - 1)->checkState() == Qt::Checked;
}

void TFConfiguracoes::Marcar(int item, bool marcado) {
    CheckListBox1->item(item - 1)->setCheckState(marcado ? Qt::Checked : Qt::Unchecked);
}

void TFConfiguracoes::AplicarOpcoes() {
    if (!m_configuracoes)
        m_configuracoes = std::make_unique<TConfiguracoes>();
    m_configuracoes->SetExecutarTruncates(Marcado(1));
    m_configuracoes->SetZerarNumlanc(Marcado(2));
    m_configuracoes->SetExecutarDeletes(Marcado(3));
}

void TFConfiguracoes::Button1Click() {
    AplicarOpcoes();
    accept();
}

} // namespace marvek
