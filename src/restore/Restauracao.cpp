#include "restore/Restauracao.h"

#include "backup/Backup.h"
#include "data/EErro.h"
#include "data/Pastas.h"
#include "data/TDM.h"
#include "markers/LojasLeram.h"
#include "operador/TOperador.h"
#include "restore/LimparOutrasFiliais.h"
#include "restore/ListagemPasta.h"
#include "restore/TratarDataBases.h"
#include "restore/VerificacaoArquivo.h"
#include "zip/MotorZip.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <memory>

namespace marvek {

namespace {
const QString PerguntaFinal = QStringLiteral(
    "Backup restaurado com sucesso! Por favor, verifique. \r\nUm log foi salvo na pasta do "
    "aplicativo com os comandos efetuados.\r\n\r\nDeseja abrir o programa de correção da tabela "
    "sequenciador?\r\n\r\nObs: O navirel.exe deve estar dentro da pasta do sistemaqel.");

// The extraction folder is emptied before use: it must be a folder of its own beside the
// archive, never a root folder or some other folder the path happens to name.
void validarPastaDeExtracao(const QString& arquivo, const QString& pasta) {
    const QFileInfo info(pasta);
    const QString nome = info.fileName();
    if (pasta.isEmpty() || nome.isEmpty() || nome == QLatin1String(".") ||
        nome == QLatin1String("..") || info.absolutePath() != QFileInfo(arquivo).absolutePath())
        throw EErro(QStringLiteral("O arquivo %1 não pode ser restaurado: a pasta de extração "
                                   "\"%2\" não é uma pasta ao lado do arquivo")
                        .arg(arquivo, pasta));
    if (info.exists() && !info.isDir())
        throw EErro(QStringLiteral("O arquivo %1 não pode ser restaurado: \"%2\" já existe e não "
                                   "é uma pasta")
                        .arg(arquivo, pasta));
}

// Unpacks the archive into a folder of its own beside it, checking every entry's CRC, before
// the installation's tables are touched.
std::unique_ptr<QTemporaryDir> prepararExtracao(TOperador& op, const QString& arquivo) {
    VerificarArquivoBackup(arquivo, false);
    quint64 total = 0;
    for (const TEntradaZip& e : ListarEntradas(arquivo))
        total += e.tamanho;
    const QString pastaArquivo = QFileInfo(arquivo).absolutePath();
    const QStorageInfo disco(pastaArquivo);
    if (disco.isValid() && static_cast<quint64>(disco.bytesAvailable()) < total)
        throw EErro(QStringLiteral("O arquivo %1 precisa de %2 bytes para ser extraído, mas só "
                                   "há %3 bytes livres em %4")
                        .arg(arquivo)
                        .arg(total)
                        .arg(disco.bytesAvailable())
                        .arg(pastaArquivo));
    auto preparo =
        std::make_unique<QTemporaryDir>(pastaArquivo + QStringLiteral("/.marvek-extracao-XXXXXX"));
    if (!preparo->isValid())
        throw EErro(QStringLiteral("Não foi possível criar uma pasta em %1: %2")
                        .arg(pastaArquivo, preparo->errorString()));
    ExtrairZip(arquivo, preparo->path(), [&op] { op.ProcessarMensagens(); });
    return preparo;
}

// Moves the unpacked files into the extraction folder; a file that is still there (one that
// could not be deleted) is kept, as an extraction that does not overwrite would.
void moverExtraidos(const QString& de, const QString& para) {
    const QDir origem(de);
    for (const QString& nome : origem.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        const QString destino = para + QStringLiteral("/") + nome;
        if (QFileInfo::exists(destino))
            continue;
        if (!QFile::rename(origem.filePath(nome), destino))
            throw EErro(QStringLiteral("Não foi possível mover %1 para %2")
                            .arg(origem.filePath(nome), destino));
    }
}

} // namespace

QString PastaDeExtracao(const QString& arquivoZip) {
    return arquivoZip.left(arquivoZip.size() - 4);
}

QString ObterEscritorio(TOperador& op, TDM& dm) {
    const QString filial = ObterCodFilial(op);
    return dm
        .ConsultarValor(QStringLiteral("select escritorio from filial where filial_id = ") + filial,
                        QStringLiteral("N"), true)
        .toString();
}

void ExecutarRestauracao(TOperador& op, TDM& dm) {
    op.GravarLog(QStringLiteral("Inicio Restore"));
    RestaurarBackup(op, dm);
    op.GravarLog(QStringLiteral("Fim Restore"));
}

void RestaurarBackup(TOperador& op, TDM& dm) {
    std::unique_ptr<QTemporaryDir> preparo;
    try {
        op.GravarLog(QStringLiteral("Inicio Validacao"));
        op.ValidarCampos();
        const QString arquivo = op.Arquivo();
        const QString pasta = PastaDeExtracao(arquivo);
        validarPastaDeExtracao(arquivo, pasta);
        preparo = prepararExtracao(op, arquivo);
        op.GravarLog(QStringLiteral("Fim Validacao"));

        op.GravarLog(QStringLiteral("Inicio TratarDataBases"));
        const bool separado = TratarDataBases(op, dm);
        op.GravarLog(QStringLiteral("Fim TratarDatabases"));
        // After a failed set-aside the connection may stand on another database: nothing is
        // loaded then.
        if (!separado)
            return;

        LimparPasta(op, pasta + QStringLiteral("/"));
        QDir().mkpath(pasta);
        moverExtraidos(preparo->path(), pasta);
        preparo.reset();

        QString pastaServidor = pasta;
        pastaServidor.replace(QLatin1Char('\\'), QLatin1Char('/'));
        pastaServidor += QStringLiteral("/");

        const QList<TEntradaPasta> entradas = ListarPastaOrdenada(pasta);
        QSet<QString> carregadas;
        const QString sqlFilial =
            QStringLiteral("RESTORE TABLES FILIAL FROM \"") + pastaServidor + QStringLiteral("\"");
        op.GravarLog(QStringLiteral("Inicio SQL"));
        op.GravarLog(sqlFilial);
        carregadas.insert(dm.RestoreTables(QStringLiteral("FILIAL"), pastaServidor).toUpper());
        op.GravarLog(QStringLiteral("Fim SQL"));

        for (qsizetype i = 0; i < entradas.size(); i += 2) {
            const TEntradaPasta& e = entradas.at(i);
            const QString tabela = e.nome.left(e.nome.size() - 4);
            const bool pular = tabela.isEmpty() || tabela.toUpper() == QLatin1String("FILIAL") ||
                               !ArquivoDeTabela(e.nome) ||
                               // a third file of a table already loaded in this run
                               carregadas.contains(tabela.toUpper());
            if (!pular) {
                const QString sql = QStringLiteral("RESTORE TABLES ") + tabela +
                                    QStringLiteral(" FROM \"") + pastaServidor +
                                    QStringLiteral("\"");
                op.GravarLog(QStringLiteral("Inicio SQL"));
                op.GravarLog(sql);
                carregadas.insert(dm.RestoreTables(tabela, pastaServidor).toUpper());
                op.GravarLog(QStringLiteral("Fim SQL"));

                const QString describe =
                    QStringLiteral("DESCRIBE ") + tabela + QStringLiteral(" lojas_leram");
                op.GravarLog(QStringLiteral("Inicio SQL"));
                op.GravarLog(describe);
                op.GravarLog(QStringLiteral("Fim SQL"));
                const QVariant coluna = dm.ConsultarValor(describe, QStringLiteral("0"), true);
                if (coluna.toString() != QLatin1String("0")) {
                    op.GravarLog(QStringLiteral("Inicio SQL "));
                    const QString update = QStringLiteral("UPDATE ") + tabela +
                                           QStringLiteral(" SET lojas_leram = \"") +
                                           ListaLojasLeram(dm) + QStringLiteral("\"");
                    op.GravarLog(update);
                    dm.ExecutarComando(update, true);
                    op.GravarLog(QStringLiteral("Fim SQL"));
                    op.DefinirPosicaoProgresso(op.PosicaoProgresso() + 1);
                }
            }
            op.ProcessarMensagens();
        }

        dm.ExecutarComando(QStringLiteral("UPDATE filial SET versao = \"001000000000\""), true);

        if (ObterEscritorio(op, dm) == QLatin1String("N"))
            LimparOutrasFiliais(op, dm, ObterCodFilial(op));

        if (op.Confirmar(PerguntaFinal, true, QStringLiteral("Confirmação...")))
            op.ExecutarPrograma(PastaDoPrograma() + QStringLiteral("Navirel.exe"));

        op.DefinirPosicaoProgresso(0);
        op.AlternarControles();
    } catch (const EErro& e) {
        op.ErroPadrao(QStringLiteral("Ocorreu o seguinte erro: \r\r") + e.Mensagem());
    }
}

} // namespace marvek
