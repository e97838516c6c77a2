#include "gui/Dialogos.h"

#include "base/Texto.h"

#include "plataforma/Plataforma.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <utility>

namespace marvek {

namespace dialogos {
namespace {
bool g_teste = false;
QList<bool> g_respostas;
QList<Caixa> g_mostradas;
} // namespace

void AtivarTeste(bool ativo) {
    g_teste = ativo;
    g_respostas.clear();
    g_mostradas.clear();
}
bool EmTeste() {
    return g_teste;
}
void Responder(bool sim) {
    g_respostas.append(sim);
}
QList<Caixa>& Mostradas() {
    return g_mostradas;
}

QStringList Resumo() {
    static const char* nomes[] = {"Pergunta",   "Erro",     "Alerta", "Informacao",
                                  "ErroPadrao", "Mensagem", "Atencao"};
    QStringList r;
    for (const Caixa& c : g_mostradas)
        r << QString::fromLatin1(nomes[static_cast<int>(c.tipo)]) + QStringLiteral(": ") + c.texto;
    return r;
}
} // namespace dialogos

void NomearBotoes(QMessageBox& caixa) {
    // Under any locale, and without Qt's own translations installed.
    const std::pair<QMessageBox::StandardButton, const char*> nomes[] = {
        {QMessageBox::Yes, "&Sim"}, {QMessageBox::No, "&Não"}, {QMessageBox::Cancel, "&Cancelar"}};
    for (const auto& [botao, nome] : nomes)
        if (QAbstractButton* b = caixa.button(botao))
            b->setText(QString::fromUtf8(nome));
}

namespace {
QWidget* janelaAtiva() {
    return QApplication::activeWindow();
}

int mostrar(dialogos::Tipo tipo, QWidget* dono, QMessageBox::Icon icone, const QString& titulo,
            const QString& texto, QMessageBox::StandardButtons botoes,
            QMessageBox::StandardButton padrao, bool simPadrao = false) {
    if (dialogos::EmTeste()) {
        dialogos::Mostradas().append({tipo, titulo, texto, simPadrao});
        if (tipo == dialogos::Tipo::Pergunta)
            return dialogos::g_respostas.isEmpty() || dialogos::g_respostas.takeFirst()
                       ? QMessageBox::Yes
                       : QMessageBox::No;
        return QMessageBox::Ok;
    }
    QMessageBox caixa(icone, titulo, QuebrasDeLinha(texto), botoes, dono ? dono : janelaAtiva());
    NomearBotoes(caixa);
    caixa.setWindowModality(Qt::ApplicationModal);
    caixa.setDefaultButton(padrao);
    return caixa.exec();
}
} // namespace

bool Confirmar(const QString& texto, bool simPadrao, const QString& titulo) {
    LiberarEntrada();
    return mostrar(dialogos::Tipo::Pergunta, nullptr, QMessageBox::Question, titulo, texto,
                   QMessageBox::Yes | QMessageBox::No,
                   simPadrao ? QMessageBox::Yes : QMessageBox::No, simPadrao) == QMessageBox::Yes;
}

void MostrarErro(const QString& texto) {
    LiberarEntrada();
    mostrar(dialogos::Tipo::Erro, nullptr, QMessageBox::Critical, QStringLiteral("Erro..."), texto,
            QMessageBox::Ok, QMessageBox::Ok);
}

void Alertar(const QString& texto) {
    mostrar(dialogos::Tipo::Alerta, nullptr, QMessageBox::Warning, QStringLiteral("Alerta"), texto,
            QMessageBox::Ok, QMessageBox::Ok);
}

void Informar(const QString& texto) {
    mostrar(dialogos::Tipo::Informacao, nullptr, QMessageBox::Information,
            QStringLiteral("Information"), texto, QMessageBox::Ok, QMessageBox::Ok);
}

void ErroPadrao(const QString& texto) {
    LiberarEntrada();
    mostrar(dialogos::Tipo::ErroPadrao, nullptr, QMessageBox::Critical, QStringLiteral("Error"),
            texto, QMessageBox::Ok, QMessageBox::Ok);
}

void MostrarMensagem(const QString& texto) {
    mostrar(dialogos::Tipo::Mensagem, nullptr, QMessageBox::NoIcon,
            QApplication::applicationDisplayName().isEmpty()
                ? QStringLiteral("Marvek")
                : QApplication::applicationDisplayName(),
            texto, QMessageBox::Ok, QMessageBox::Ok);
}

void Atencao(QWidget* dono, const QString& texto) {
    mostrar(dialogos::Tipo::Atencao, dono, QMessageBox::Information, QString::fromUtf8("Atenção"),
            texto, QMessageBox::Ok, QMessageBox::Ok);
}

} // namespace marvek
