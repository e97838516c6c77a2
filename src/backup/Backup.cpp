#include "backup/Backup.h"

#include "data/EErro.h"
#include "data/TDM.h"
#include "markers/LojasLeram.h"
#include "operador/TOperador.h"
#include "zip/Compactador.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace marvek {

namespace {
// Folder names are built as the operator wrote them; on this system the separator is "/".
const QString Separador = QStringLiteral("/");

bool copiaExcluida(const QString& tabela) {
    return tabela == QLatin1String("fotos") || tabela == QLatin1String("fotos.MYD") ||
           tabela == QLatin1String("servidor_central") ||
           tabela == QLatin1String("servidor_central.MYD");
}
} // namespace

void LimparPasta(TOperador& op, const QString& pasta) {
    QDir dir(pasta);
    if (!dir.exists())
        return;
    const QStringList arquivos =
        dir.entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& nome : arquivos) {
        if (!QFile::remove(pasta + nome))
            op.MostrarMensagem(QStringLiteral("Erro ao excluir") + nome);
    }
}

void RealizarBackup(TOperador& op, TDM& dm) {
    // The table list and the progress range come first; a failure here is not handled by the
    // backup itself.
    auto tabelas = dm.AbrirConsulta(QStringLiteral("show tables"), true, false);
    op.DefinirMaximoProgresso(tabelas->RecordCount());

    try {
        op.ValidarCampos();
        const QString destino = op.Diretorio();
        const QString pastaTrabalho =
            destino + Separador + QStringLiteral("Temp_Backup") + Separador;
        QString pastaServidor = destino + Separador + QStringLiteral("Temp_Backup");
        pastaServidor.replace(QLatin1Char('\\'), QLatin1Char('/'));
        const QString arquivoZip = destino + Separador + QStringLiteral("Backup_Central.zip");

        if (QDir(pastaTrabalho).exists())
            LimparPasta(op, pastaTrabalho);
        QDir().mkpath(pastaTrabalho);
        if (QFileInfo::exists(arquivoZip))
            QFile::remove(arquivoZip);

        // Each table's copies are compressed while the loop goes on with the next tables.
        TCompactador compactador(arquivoZip);
        for (; !tabelas->Eof(); tabelas->Proximo()) {
            const QString tabela = tabelas->Campo(0).toString();
            const QVariant coluna = dm.ConsultarValor(QStringLiteral("DESCRIBE ") + tabela +
                                                          QStringLiteral(" lojas_leram"),
                                                      QStringLiteral("0"), true);
            if (coluna.toString() != QLatin1String("0")) {
                bool ok = false;
                const int filial = op.FilialSelecionada().toInt(&ok);
                if (!ok)
                    throw EErro(QStringLiteral("'%1' is not a valid integer value")
                                    .arg(op.FilialSelecionada()));
                const QString m = CodigoLojasLeram(filial);
                const QString sql = QStringLiteral("UPDATE ") + tabela +
                                    QStringLiteral(" SET lojas_leram = CONCAT(coalesce(lojas_leram,"
                                                   "\"\"),\"") +
                                    m +
                                    QStringLiteral("\") where coalesce(lojas_leram,\"\") not "
                                                   "like \"%") +
                                    m + QStringLiteral("%\";");
                dm.ExecutarComando(sql, true);
                op.GravarLog(sql);
            }
            if (!copiaExcluida(tabela)) {
                // BACKUP TABLES <tabela> to '<pasta>/': the server contract writes the table's
                // .frm and .MYD into the work folder, or raises.
                dm.BackupTables(tabela, pastaServidor + QStringLiteral("/"));
                compactador.Adicionar(pastaTrabalho + tabela + QStringLiteral(".frm"));
                compactador.Adicionar(pastaTrabalho + tabela + QStringLiteral(".MYD"));
            }
            op.DefinirPosicaoProgresso(op.PosicaoProgresso() + 1);
            op.ProcessarMensagens();
        }

        op.DefinirPosicaoProgresso(0);
        op.DefinirPosicaoProgresso(45);
        QStringList arquivos;
        const QDir trabalho(pastaTrabalho);
        for (const QString& nome :
             trabalho.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name))
            arquivos << trabalho.filePath(nome);
        compactador.Concluir(arquivos, [&op] { op.ProcessarMensagens(); });
        op.DefinirPosicaoProgresso(80);
        LimparPasta(op, pastaTrabalho);
        op.DefinirPosicaoProgresso(0);
        op.Informar(QStringLiteral("Backup realizado com sucesso!\r\rArquivo salvo em : ") +
                    arquivoZip);
        op.AlternarControles();
    } catch (const EErro& e) {
        op.ErroPadrao(QStringLiteral("Ocorreu o seguinte erro: \r\r") + e.Mensagem());
    }
}

} // namespace marvek
