#include "support/TOperadorGravador.h"

#include "base/EErro.h"
#include "plataforma/Parada.h"

using namespace marvek;

namespace teste {

TOperadorGravador::TOperadorGravador(const QString& arquivoLog) : Log(arquivoLog) {}

TEntradas TOperadorGravador::Entradas() const {
    TEntradas e;
    e.backup = Backup;
    e.filial = Filial;
    e.diretorio = Pasta;
    e.arquivo = ArquivoZip;
    if (!SemOpcoes)
        e.opcoes = *Opcoes;
    e.conexoes = NumeroConexoes;
    e.outraFilial = OutraFilial;
    e.simular = Simular;
    e.pastaExtracao = PastaExtracao;
    return e;
}

void TOperadorGravador::MostrarProgresso(const TProgresso& p) {
    if (p.mudanca == TProgresso::Faixa)
        Maximos << p.maximo;
    else if (p.mudanca == TProgresso::Barra)
        Posicoes << p.posicao;
}

void TOperadorGravador::GravarLog(const QString& texto) {
    Log.GravarLog(texto);
    if (AoGravarLog)
        AoGravarLog(texto);
}

bool TOperadorGravador::Confirmar(const QString& texto, bool simPadrao, const QString& titulo) {
    Mostrados << QStringLiteral("Confirmar[%1|%2]: %3")
                     .arg(titulo, simPadrao ? QStringLiteral("Sim") : QStringLiteral("Nao"), texto);
    return Respostas.isEmpty() ? true : Respostas.takeFirst();
}

void TOperadorGravador::MostrarCaixa(TCaixa tipo, const QString& texto) {
    static const char* nomes[] = {"MostrarErro", "Alertar", "Informar", "ErroPadrao", "Mensagem"};
    Mostrados << QString::fromLatin1(nomes[static_cast<int>(tipo)]) + QStringLiteral(": ") + texto;
}
void TOperadorGravador::ProcessarMensagens() {
    ++Processamentos;
    VerificarParada();
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
