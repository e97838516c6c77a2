// marvek-cli: the backup and the restore without a window, for scripts and schedulers.

#include "base/Pastas.h"
#include "base/Traducoes.h"
#include "cli/LinhaDeComando.h"
#include "cli/TComando.h"
#include "cli/TOperadorConsole.h"
#include "data/Instalacao.h"
#include "data/TDM.h"
#include "plataforma/Parada.h"

#include <QCoreApplication>
#include <QFileInfo>

using namespace marvek;

namespace {
int usoIncorreto(const QString& motivo) {
    EscreverErro(QStringLiteral("marvek-cli: ") + motivo + QStringLiteral("\n\n") + TextoUso() +
                 QStringLiteral("\nmarvek-cli help [COMANDO] mostra a ajuda.\n"));
    return SaidaUsoIncorreto;
}
} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication aplicacao(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("marvek-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(MARVEK_VERSAO));
    CarregarTraducoes();

    TLinhaDeComando linha;
    const QString erro = AnalisarLinhaDeComando(aplicacao.arguments().mid(1), linha);
    if (!erro.isEmpty())
        return usoIncorreto(erro);
    if (linha.versao) {
        EscreverSaida(QStringLiteral("marvek-cli " MARVEK_VERSAO "\n"));
        return SaidaSucesso;
    }
    if (linha.ajuda) {
        EscreverSaida(linha.comando.isEmpty() ? TextoAjuda() : TextoAjudaDoComando(linha.comando));
        return SaidaSucesso;
    }

    if (linha.pasta) {
        const QFileInfo pasta(*linha.pasta);
        if (linha.pasta->isEmpty() || !pasta.isDir())
            return usoIncorreto(
                QStringLiteral("a pasta do programa \"%1\" não existe").arg(*linha.pasta));
        DefinirPastaDoPrograma(pasta.absoluteFilePath());
    }
    // The data module lives for the whole run, its connection closed until a command opens it.
    DM();
    // SIGINT and SIGTERM stop a run cleanly: it unwinds like a failure, its running statements
    // ended on the server, and the command exits with 128 + the signal's number.
    InstalarParadaPorSinais([] { EncerrarComandosEmAndamento(); });
    if (linha.comando != QLatin1String("verificar") &&
        linha.comando != QLatin1String("cifrar-senha") &&
        !QFileInfo::exists(ArquivoDeConfiguracao()))
        EscreverErro(QStringLiteral("marvek-cli: %1 não existe; valem os valores padrão "
                                    "(servidor localhost, banco gerente, usuário root).\n")
                         .arg(ArquivoDeConfiguracao()));

    return AcharComando(linha.comando)->Executar(linha);
}
