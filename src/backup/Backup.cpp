#include "backup/Backup.h"

#include "base/EErro.h"
#include "base/Pastas.h"
#include "data/Instalacao.h"
#include "data/TDM.h"
#include "markers/LojasLeram.h"
#include "operador/TOperador.h"
#include "operador/TrabalhoPorTabela.h"
#include "plataforma/Plataforma.h"
#include "zip/Compactador.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <mutex>
#include <variant>

namespace marvek {

namespace {
// Folder names are built as the operator wrote them; on this system the separator is "/".
const QString Separador = QStringLiteral("/");

bool copiaExcluida(const QString& tabela) {
    return tabela == QLatin1String("fotos") || tabela == QLatin1String("fotos.MYD") ||
           tabela == QLatin1String("servidor_central") ||
           tabela == QLatin1String("servidor_central.MYD");
}

// The destination is checked and locked before the first marker is appended: one backup at a
// time writes into it, and only a work folder the program made is emptied.
void prepararDestino(TOperador& op, TTravaArquivo& trava, const QString& destino,
                     const QString& pastaTrabalho, const QString& arquivoZip) {
    QDir().mkpath(destino);
    if (!trava.Travar(destino + Separador + QStringLiteral(".marvek-backup.lock")))
        throw EErro(QStringLiteral("Outro backup está sendo gravado na pasta %1. Aguarde o fim "
                                   "dele e tente de novo; nada foi alterado.")
                        .arg(destino));
    const bool existe = VerificarPastaPropria(pastaTrabalho);
    const QFileInfo zip(arquivoZip);
    if (zip.isDir() && !zip.isSymLink())
        throw EErro(QStringLiteral("%1 é uma pasta; o arquivo do backup não pode ser gravado com "
                                   "esse nome. Nada foi alterado.")
                        .arg(arquivoZip));
    if (existe)
        LimparPasta(op, pastaTrabalho);
    CriarPastaPropria(pastaTrabalho);
}

// The marker append of one table, run under the table's write lock when the table is copied:
// no row written by another session can reach the copy without the marker. True when the
// table was copied. marca holds the branch's marker, or the error its id gives.
bool marcarECopiar(TRegistroTabela& r, TDM& dm, const QString& tabela, const QString& pastaServidor,
                   bool temColuna, const std::variant<QString, EErro>& marca) {
    QString sql;
    if (temColuna) {
        if (const EErro* e = std::get_if<EErro>(&marca))
            throw *e;
        const QString& m = std::get<QString>(marca);
        sql = QStringLiteral("UPDATE ") + tabela +
              QStringLiteral(" SET lojas_leram = CONCAT(coalesce(lojas_leram,\"\"),\"") + m +
              QStringLiteral("\") where coalesce(lojas_leram,\"\") not like \"%") + m +
              QStringLiteral("%\";");
    }
    if (copiaExcluida(tabela)) {
        if (temColuna) {
            dm.ExecutarComando(sql, true);
            r.GravarLog(sql);
        }
        return false;
    }
    dm.ExecutarComando(QStringLiteral("LOCK TABLES %1 WRITE").arg(CitarIdentificador(tabela)));
    try {
        if (temColuna) {
            dm.ExecutarComando(sql, true);
            r.GravarLog(sql);
        }
        // BACKUP TABLES <tabela> to '<pasta>/': the server contract writes the table's .frm
        // and .MYD into the work folder, or raises.
        dm.BackupTables(tabela, pastaServidor + QStringLiteral("/"), true);
    } catch (...) {
        dm.ExecutarComando(QStringLiteral("UNLOCK TABLES"), false);
        throw;
    }
    dm.ExecutarComando(QStringLiteral("UNLOCK TABLES"));
    return true;
}

// The size of each table's data as the server reports it (0 when it does not), so that the
// largest tables start first when several connections share the work.
QList<qint64> tamanhosDasTabelas(TDM& dm, const QStringList& tabelas) {
    QHash<QString, qint64> porNome;
    auto c = dm.AbrirConsulta(QStringLiteral("SELECT TABLE_NAME, DATA_LENGTH FROM "
                                             "information_schema.TABLES WHERE TABLE_SCHEMA = "
                                             "DATABASE()"),
                              false);
    for (; c && !c->Eof(); c->Proximo())
        porNome.insert(c->Campo(0).toString(), c->Campo(1).toLongLong());
    QList<qint64> tamanhos;
    for (const QString& t : tabelas)
        tamanhos << porNome.value(t, 0);
    return tamanhos;
}

// The selected branch's marker, read once on the calling thread; an id that has none gives
// the error the first table with the column raises.
std::variant<QString, EErro> marcaDaFilial(const QString& chave) {
    bool ok = false;
    const int filial = chave.toInt(&ok);
    if (!ok)
        return EErro(QStringLiteral("'%1' is not a valid integer value").arg(chave));
    try {
        return CodigoLojasLeram(filial);
    } catch (const EErro& e) {
        return e;
    }
}

// Every copied file must be in the written archive with the size it had when it was copied.
void conferirArquivo(const QString& arquivoZip, const QHash<QString, qint64>& copiados) {
    QHash<QString, quint64> noArquivo;
    for (const TEntradaZip& e : ListarEntradas(arquivoZip))
        noArquivo.insert(e.nome, e.tamanho);
    for (auto it = copiados.begin(); it != copiados.end(); ++it) {
        if (!noArquivo.contains(it.key()) ||
            noArquivo.value(it.key()) != static_cast<quint64>(it.value())) {
            QFile::remove(arquivoZip);
            throw EErro(QStringLiteral("O arquivo %1 não contém %2 com os seus %3 bytes; o "
                                       "backup não foi concluído e o arquivo foi apagado.")
                            .arg(arquivoZip, it.key())
                            .arg(it.value()));
        }
    }
}

} // namespace

TResultado RealizarBackup(TOperador& op, TDM& dm) {
    // The table list and the progress range come first; a failure here is not handled by the
    // backup itself.
    auto tabelas = dm.AbrirConsulta(QStringLiteral("show tables"));
    op.DefinirMaximoProgresso(tabelas->RecordCount());

    return ExecutarOperacao(op, [&] {
        const TEntradas entradas = op.Entradas();
        op.ValidarEntradas(entradas);
        const QString destino = entradas.diretorio;
        const QString pastaTrabalho =
            destino + Separador + QStringLiteral("Temp_Backup") + Separador;
        QString pastaServidor = destino + Separador + QStringLiteral("Temp_Backup");
        pastaServidor.replace(QLatin1Char('\\'), QLatin1Char('/'));
        const QString arquivoZip = destino + Separador + QStringLiteral("Backup_Central.zip");

        // Check first, then act: the run's lock on the database, the destination's lock and
        // its work folder, before the first marker is appended.
        const TTravaExecucao trava(dm, dm.BancoAtual());
        TTravaArquivo travaDestino;
        prepararDestino(op, travaDestino, destino, pastaTrabalho, arquivoZip);
        if (QFileInfo::exists(arquivoZip) || QFileInfo(arquivoZip).isSymLink())
            QFile::remove(arquivoZip);

        // Each table's copies are compressed while the loop goes on with the next tables.
        TCompactador compactador(arquivoZip);
        QHash<QString, qint64> copiados;
        std::mutex mutexCopiados;
        QStringList lista;
        for (; !tabelas->Eof(); tabelas->Proximo())
            lista << tabelas->Campo(0).toString();
        const QList<qint64> tamanhos = tamanhosDasTabelas(dm, lista);
        const std::variant<QString, EErro> marca = marcaDaFilial(entradas.filial);
        op.IniciarFase(QStringLiteral("Marcando e copiando as tabelas"),
                       static_cast<int>(lista.size()));
        ExecutarPorTabela(
            op, dm, lista, entradas.conexoes,
            [&](TDM& c, const QString& tabela, TRegistroTabela& r) {
                const QVariant coluna = c.ConsultarValor(QStringLiteral("DESCRIBE ") + tabela +
                                                             QStringLiteral(" lojas_leram"),
                                                         QStringLiteral("0"), true);
                const bool temColuna = coluna.toString() != QLatin1String("0");
                if (marcarECopiar(r, c, tabela, pastaServidor, temColuna, marca)) {
                    for (const char* ext : {".frm", ".MYD"}) {
                        const QString nome = tabela + QLatin1String(ext);
                        {
                            const std::lock_guard<std::mutex> trava(mutexCopiados);
                            copiados.insert(nome, QFileInfo(pastaTrabalho + nome).size());
                        }
                        compactador.Adicionar(pastaTrabalho + nome);
                    }
                }
                r.AvancarProgresso();
            },
            tamanhos);

        op.IniciarFase(QStringLiteral("Compactando e conferindo o arquivo"), 0);
        op.DefinirPosicaoProgresso(0);
        op.DefinirPosicaoProgresso(45);
        QStringList arquivos;
        const QDir trabalho(pastaTrabalho);
        for (const QString& nome :
             trabalho.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name))
            if (nome != MarcaPastaPropria)
                arquivos << trabalho.filePath(nome);
        compactador.Concluir(arquivos, [&op] { op.ProcessarMensagens(); });
        conferirArquivo(arquivoZip, copiados);
        op.DefinirPosicaoProgresso(80);
        LimparPasta(op, pastaTrabalho);
        op.DefinirPosicaoProgresso(0);
        op.Mostrar(TCaixa::Informacao,
                   QStringLiteral("Backup realizado com sucesso!\r\rArquivo salvo em : ") +
                       arquivoZip);
        return true;
    });
}

} // namespace marvek
