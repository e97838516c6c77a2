#include "support/TOperadorGravador.h"

#include "data/EErro.h"

using namespace marvek;

namespace teste {

TOperadorGravador::TOperadorGravador(const QString& arquivoLog) : Log(arquivoLog) {}

void TOperadorGravador::ValidarCampos() {
    ValidarCamposSemJanela();
}

void TOperadorGravador::AlternarControles() {
    ++Alternancias;
    ControlesAtivos = !ControlesAtivos;
}

void TOperadorGravador::DefinirMaximoProgresso(int maximo) {
    Maximos << maximo;
}

void TOperadorGravador::DefinirPosicaoProgresso(int posicao) {
    m_posicao = posicao;
    Posicoes << posicao;
}

void TOperadorGravador::GravarLog(const QString& texto) {
    Log.GravarLog(texto);
}

bool TOperadorGravador::Confirmar(const QString& texto, bool simPadrao, const QString& titulo) {
    Mostrados << QStringLiteral("Confirmar[%1|%2]: %3")
                     .arg(titulo, simPadrao ? QStringLiteral("Sim") : QStringLiteral("Nao"), texto);
    return Respostas.isEmpty() ? true : Respostas.takeFirst();
}

void TOperadorGravador::MostrarErro(const QString& texto) {
    Mostrados << "MostrarErro: " + texto;
}
void TOperadorGravador::Alertar(const QString& texto) {
    Mostrados << "Alertar: " + texto;
}
void TOperadorGravador::Informar(const QString& texto) {
    Mostrados << "Informar: " + texto;
}
void TOperadorGravador::ErroPadrao(const QString& texto) {
    Mostrados << "ErroPadrao: " + texto;
}
void TOperadorGravador::MostrarMensagem(const QString& texto) {
    Mostrados << "Mensagem: " + texto;
}
void TOperadorGravador::ProcessarMensagens() {
    ++Processamentos;
}
void TOperadorGravador::ExecutarPrograma(const QString& caminho) {
    Programas << caminho;
}

QStringList TOperadorGravador::LinhasLog() const {
    QStringList r;
    for (const QString& l : Log.Linhas())
        r << l.mid(12);
    return r;
}

} // namespace teste
