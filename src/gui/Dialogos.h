#pragma once

#include <QList>
#include <QString>

class QMessageBox;
class QWidget;

namespace marvek {

// The program's message boxes, all application-modal. Texts may carry "\r" and "\r\n" line
// breaks; they are shown as line breaks.

// Yes/No question with the question icon; true when answered Yes.
bool Confirmar(const QString& texto, bool simPadrao, const QString& titulo);

// Names a box's Yes, No and Cancel buttons in Portuguese, whatever the locale.
void NomearBotoes(QMessageBox& caixa);

// Error box, caption "Erro...".
void MostrarErro(const QString& texto);
// Warning box, caption "Alerta".
void Alertar(const QString& texto);
// The standard information box, caption "Information".
void Informar(const QString& texto);
// The standard error box, caption "Error"; also the general error display.
void ErroPadrao(const QString& texto);
// A plain box with only the text and OK (caption: the program's title).
void MostrarMensagem(const QString& texto);
// Information box with the caption "Atenção", owned by the given window.
void Atencao(QWidget* dono, const QString& texto);

// The test seam. While it is on, no box is shown: every box is recorded, and questions take
// their answers from the queue (Yes when it is empty).
namespace dialogos {
enum class Tipo { Pergunta, Erro, Alerta, Informacao, ErroPadrao, Mensagem, Atencao };
struct Caixa {
    Tipo tipo;
    QString titulo;
    QString texto;
    bool simPadrao = false;
};
void AtivarTeste(bool ativo);
bool EmTeste();
void Responder(bool sim);
QList<Caixa>& Mostradas();
// "Kind: text" of every box shown so far, for compact assertions.
QStringList Resumo();
} // namespace dialogos

} // namespace marvek
