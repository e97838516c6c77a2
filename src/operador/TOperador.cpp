#include "operador/TOperador.h"

#include "data/EErro.h"
#include "operador/TrabalhoPorTabela.h"
#include "plataforma/Plataforma.h"

namespace marvek {

void TOperador::ExecutarPrograma(const QString& caminho) {
    IniciarPrograma(caminho);
}

int TOperador::Conexoes() const {
    return ConexoesPadrao();
}

void TOperador::ValidarCamposSemJanela() {
    QString falta;
    if (ModoBackup() && FilialSelecionada().isEmpty())
        falta = QStringLiteral("Nenhuma filial selecionada");
    else if (ModoBackup() && Diretorio().isEmpty())
        falta = QStringLiteral("Nenhum diretório selecionado");
    else if (!ModoBackup() && Arquivo().isEmpty())
        falta = QStringLiteral("Nenhum arquivo selecionado");
    if (falta.isEmpty())
        return;
    AlternarControles();
    throw EErro(falta);
}

} // namespace marvek
