#include "backup/Backup.h"

#include "base/EErro.h"
#include "base/Identificador.h"
#include "base/NomesDeArquivo.h"
#include "base/Pastas.h"
#include "data/Instalacao.h"
#include "data/TDM.h"
#include "markers/LojasLeram.h"
#include "operador/TOperador.h"
#include "operador/TrabalhoPorTabela.h"
#include "plataforma/Plataforma.h"
#include "zip/Compactador.h"
#include "zip/DescricaoArquivo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QScopeGuard>
#include <mutex>
#include <optional>

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
        throw EExecucaoEmAndamento(
            QStringLiteral("Outro backup está sendo gravado na pasta %1. Aguarde o fim "
                           "dele e tente de novo; nada foi alterado.")
                .arg(destino));
    // What a stopped backup left here (its parts folder, its temporary archive) is the
    // program's own, and no other backup writes here while the lock is held.
    for (const QString& sobra : RemoverSobras(
             destino, QLatin1Char('.') + QFileInfo(arquivoZip).fileName() + QLatin1Char('.')))
        op.GravarLog(SobraRemovida + sobra);
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

// The rows of a table without the branch's marker m: those the marker append changes.
QString semAMarca(const QString& m) {
    return QStringLiteral(" where coalesce(lojas_leram,\"\") not like \"%") + m +
           QStringLiteral("%\"");
}

// The marker append of a table, with its name as given (quoted to run, as the log writes it
// to log).
QString comandoDaMarca(const QString& nome, const QString& m) {
    return QStringLiteral("UPDATE ") + nome +
           QStringLiteral(" SET lojas_leram = CONCAT(coalesce(lojas_leram,\"\"),\"") + m +
           QStringLiteral("\")") + semAMarca(m) + QStringLiteral(";");
}

// How many times an InnoDB table is marked again when rows without the marker keep arriving
// between its marker UPDATE and its export lock.
constexpr int TentativasDeMarcar = 10;

// The marker append of one table, run so that no row written by another session can reach
// the copy without the marker: a MyISAM or Aria table is marked and copied under its write
// lock; an InnoDB table is marked, then held by its export lock (writers wait), and copied
// only when no row without the marker is left (otherwise it is let go and marked again).
// Returns the name of the table's files when it was copied, nothing otherwise.
std::optional<QString> marcarECopiar(TRegistroTabela& r, TDM& dm, const QString& tabela,
                                     const QString& pastaServidor, bool temColuna,
                                     const QString& marca, TMotor motor) {
    auto marcar = [&] {
        if (!temColuna)
            return;
        dm.ExecutarComando(comandoDaMarca(CitarIdentificador(tabela), marca));
        r.GravarLog(comandoDaMarca(NomeNoComando(tabela), marca));
    };
    if (copiaExcluida(tabela)) {
        marcar();
        return std::nullopt;
    }
    if (motor == TMotor::InnoDB) {
        // The rows the marker UPDATE would still change: none may reach the archive.
        const QString semMarca =
            QStringLiteral("SELECT COUNT(*) FROM ") + CitarIdentificador(tabela) + semAMarca(marca);
        for (int tentativa = 1;; ++tentativa) {
            marcar();
            const auto arquivo =
                dm.BackupTables(tabela, pastaServidor + QStringLiteral("/"), false, motor, [&] {
                    return !temColuna || dm.ConsultarValor(semMarca, 0).toLongLong() == 0;
                });
            if (arquivo)
                return arquivo;
            if (tentativa == TentativasDeMarcar)
                throw EErro(QStringLiteral("A tabela %1 recebe linhas sem o marcador da filial "
                                           "mais depressa do que o backup consegue marcá-las; "
                                           "tente de novo num horário de menos movimento")
                                .arg(NomeNoComando(tabela)));
        }
    }
    TTravaTabelas trava(dm, QStringLiteral("LOCK TABLES %1 WRITE").arg(CitarIdentificador(tabela)));
    marcar();
    // BACKUP TABLES <tabela> to '<pasta>/': the server contract writes the table's files into
    // the work folder, or raises.
    const auto arquivo = dm.BackupTables(tabela, pastaServidor + QStringLiteral("/"), true, motor);
    trava.Liberar();
    return arquivo;
}

// A table the server reports damaged (a crash left it open, a file was cut) would reach the
// archive as it is: the quick check reads only what says whether the table was closed well.
void verificarTabelasIntegras(TDM& dm, const QHash<QString, TMotor>& motores) {
    // (InnoDB keeps its tables whole through its own log; its CHECK TABLE reads everything)
    QStringList nomes;
    for (auto it = motores.begin(); it != motores.end(); ++it)
        if (!copiaExcluida(it.key()) && it.value() != TMotor::InnoDB)
            nomes << CitarIdentificador(it.key());
    nomes.sort();
    if (nomes.isEmpty())
        return;
    QStringList danificadas;
    const qsizetype prefixo = dm.BancoAtual().size() + 1; // "banco." before each name
    auto c = dm.AbrirConsulta(
        QStringLiteral("CHECK TABLE %1 FAST QUICK").arg(nomes.join(QStringLiteral(", "))));
    for (; !c->Eof(); c->Proximo()) {
        const QString tipo = c->Campo(2).toString().toLower();
        const QString texto = c->Campo(3).toString();
        const bool bom = tipo == QLatin1String("note") || tipo == QLatin1String("info") ||
                         (tipo == QLatin1String("status") &&
                          (texto == QLatin1String("OK") ||
                           texto == QLatin1String("Table is already up to date")));
        if (!bom)
            danificadas << QStringLiteral("%1 (%2)").arg(
                NomeNoComando(c->Campo(0).toString().mid(prefixo)), texto);
    }
    if (!danificadas.isEmpty())
        throw EErro(QStringLiteral("O servidor informa que estas tabelas estão danificadas: %1. "
                                   "Repare-as (REPAIR TABLE) e tente de novo; nada foi alterado.")
                        .arg(danificadas.join(QStringLiteral(", "))));
}

// Everything the copy loop needs is checked before the first marker: the selected branch and
// every live branch of the central have a marker, every table to copy is a MyISAM, Aria or
// InnoDB table (InnoDB in a file of its own, with a definition a store can run) whose name has
// a file name. Raises naming what is refused; returns the branch's marker and fills motores.
QString verificarAntesDeMarcar(TDM& dm, const QStringList& tabelas, const QString& filial,
                               QHash<QString, TMotor>& motores) {
    bool ok = false;
    const int id = filial.toInt(&ok);
    if (!ok)
        throw EErro(QStringLiteral("'%1' is not a valid integer value").arg(filial));
    const QString marca = CodigoLojasLeram(id);
    try {
        if (tabelas.contains(QStringLiteral("filial")))
            ListaLojasLeram(dm);
    } catch (const EErro& e) {
        throw EErro(QStringLiteral("A tabela filial tem uma filial ativa sem marcador em "
                                   "lojas_leram (%1); o arquivo não poderia ser restaurado. "
                                   "Nada foi alterado.")
                        .arg(e.Mensagem()));
    }
    QHash<QString, QString> doServidor;
    for (auto c = dm.AbrirConsulta(QStringLiteral("SELECT TABLE_NAME, TABLE_TYPE, ENGINE FROM "
                                                  "information_schema.TABLES WHERE TABLE_SCHEMA "
                                                  "= DATABASE()"));
         !c->Eof(); c->Proximo())
        doServidor.insert(c->Campo(0).toString(), c->Campo(1).toString() == QLatin1String("VIEW")
                                                      ? QStringLiteral("VIEW")
                                                      : c->Campo(2).toString());
    const QString pastaBanco = dm.PastaDeDados() +
                               ArquivoDaTabela(dm.BancoAtual()).value_or(dm.BancoAtual()) +
                               QLatin1Char('/');
    QStringList semNome;
    QStringList outroMotor;
    for (const QString& t : tabelas) {
        const std::optional<TMotor> motor = MotorDoServidor(doServidor.value(t));
        if (!ArquivoDaTabela(t)) {
            semNome << NomeNoComando(t);
            continue;
        }
        if (motor)
            motores.insert(t, *motor);
        if (copiaExcluida(t))
            continue;
        if (!motor) {
            outroMotor << QStringLiteral("%1 (%2)").arg(NomeNoComando(t), doServidor.value(t));
        } else if (*motor == TMotor::InnoDB) {
            if (!QFileInfo(pastaBanco + *ArquivoDaTabela(t) + QStringLiteral(".ibd")).isFile())
                outroMotor << QStringLiteral("%1 (InnoDB fora de um arquivo próprio: "
                                             "innodb_file_per_table, ou particionada)")
                                  .arg(NomeNoComando(t));
            else
                try {
                    ConferirDefinicao(dm.DefinicaoDaTabela(t), t);
                } catch (const EErro& e) {
                    outroMotor << e.Mensagem();
                }
        }
    }
    if (!semNome.isEmpty())
        throw EErro(QStringLiteral("O nome das tabelas %1 não pode ser levado para um arquivo; "
                                   "renomeie-as e tente de novo. Nada foi alterado.")
                        .arg(semNome.join(QStringLiteral(", "))));
    if (!outroMotor.isEmpty())
        throw EErro(QStringLiteral("Só tabelas MyISAM, Aria e InnoDB podem ser copiadas, e estas "
                                   "não podem: %1. Nada foi alterado.")
                        .arg(outroMotor.join(QStringLiteral(", "))));
    verificarTabelasIntegras(dm, motores);
    return marca;
}

// The size of each table's data as the server reports it (0 when it does not), so that the
// largest tables start first when several connections share the work.
QList<qint64> tamanhosDasTabelas(TDM& dm, const QStringList& tabelas) {
    QHash<QString, qint64> porNome;
    try {
        for (auto c = dm.AbrirConsulta(QStringLiteral("SELECT TABLE_NAME, DATA_LENGTH FROM "
                                                      "information_schema.TABLES WHERE "
                                                      "TABLE_SCHEMA = DATABASE()"));
             !c->Eof(); c->Proximo())
            porNome.insert(c->Campo(0).toString(), c->Campo(1).toLongLong());
    } catch (const EErro&) {
        // Without the sizes the tables are handed out in listing order.
    }
    QList<qint64> tamanhos;
    for (const QString& t : tabelas)
        tamanhos << porNome.value(t, 0);
    return tamanhos;
}

// Every copied file must be in the written archive with the size it had when it was copied.
// Checked on the written archive before it takes the final name, so that the archive there
// before stays when it fails.
void conferirArquivo(const QString& temporario, const QHash<QString, qint64>& copiados) {
    QHash<QString, quint64> noArquivo;
    for (const TEntradaZip& e : ListarEntradas(temporario))
        noArquivo.insert(e.nome, e.tamanho);
    for (auto it = copiados.begin(); it != copiados.end(); ++it) {
        if (!noArquivo.contains(it.key()) ||
            noArquivo.value(it.key()) != static_cast<quint64>(it.value()))
            throw EErro(QStringLiteral("não contém %1 com os seus %2 bytes; o backup não foi "
                                       "concluído")
                            .arg(it.key())
                            .arg(it.value()));
    }
}

// What the archive says about itself: the branch (and its name, when the branch table has
// one), the database, the date and the program's version.
TDescricaoArquivo descrever(TDM& dm, const QString& filial) {
    TDescricaoArquivo d;
    d.filial = filial.toInt();
    d.nomeFilial =
        dm.TentarConsultarValor(
              QStringLiteral("SELECT nome FROM filial WHERE filial_id = %1").arg(d.filial),
              QString())
            .value_or(QVariant())
            .toString();
    d.banco = dm.BancoAtual();
    d.data = QDateTime::currentDateTime();
    d.versao = QStringLiteral(MARVEK_VERSAO);
    return d;
}

// The copy of every table, as the per-table work runs it (on several connections at once): its
// marker, its files in the work folder, each file handed to the compressor and its size noted
// for the check of the archive.
struct TCopias {
    const QString& pastaServidor;
    const QString& pastaTrabalho;
    const QString& marca;
    const QHash<QString, TMotor>& motores;
    TCompactador& compactador;
    QHash<QString, qint64> copiados; // file name -> size
    std::mutex mutexCopiados;

    void Copiar(TDM& c, const QString& tabela, TRegistroTabela& r) {
        const QVariant coluna =
            c.ConsultarValor(QStringLiteral("DESCRIBE ") + CitarIdentificador(tabela) +
                                 QStringLiteral(" lojas_leram"),
                             QStringLiteral("0"));
        const bool temColuna = coluna.toString() != QLatin1String("0");
        const TMotor motor = motores.value(tabela, TMotor::MyISAM);
        if (const auto arquivo =
                marcarECopiar(r, c, tabela, pastaServidor, temColuna, marca, motor)) {
            for (const QString& ext : ExtensoesNoArquivo(motor)) {
                const QString nome = *arquivo + ext;
                {
                    const std::lock_guard<std::mutex> trava(mutexCopiados);
                    copiados.insert(nome, QFileInfo(pastaTrabalho + nome).size());
                }
                compactador.Adicionar(pastaTrabalho + nome);
            }
        }
        r.AvancarProgresso();
    }
};

// Writes the archive from every copy in the work folder, checked against the copies before it
// takes the archive's name.
void compactarEConferir(TOperador& op, TCopias& copias) {
    QStringList arquivos;
    const QDir trabalho(copias.pastaTrabalho);
    for (const QString& nome :
         trabalho.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name))
        if (nome != MarcaPastaPropria)
            arquivos << trabalho.filePath(nome);
    copias.compactador.Concluir(
        arquivos, [&op] { op.ProcessarMensagens(); },
        [&copias](const QString& temporario) { conferirArquivo(temporario, copias.copiados); });
}

} // namespace

TResultado RealizarBackup(TOperador& op, TDM& dm) {
    dm.Conexao.Retomar();
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
        op.Detalhes().filial = entradas.filial;
        op.Detalhes().banco = dm.BancoAtual();
        op.Detalhes().arquivo = arquivoZip;

        // Check first, then act: the run's lock on the database, the destination's lock and
        // its work folder, before the first marker is appended.
        const TTravaExecucao trava(dm, dm.BancoAtual());
        TTravaArquivo travaDestino;
        QStringList lista;
        for (; !tabelas->Eof(); tabelas->Proximo())
            lista << tabelas->Campo(0).toString();
        QHash<QString, TMotor> motores;
        const QString marca = verificarAntesDeMarcar(dm, lista, entradas.filial, motores);
        prepararDestino(op, travaDestino, destino, pastaTrabalho, arquivoZip);
        // A run that does not reach its end takes its copies away again.
        bool concluido = false;
        const auto limparCopias = qScopeGuard([&] {
            if (!concluido)
                EsvaziarPasta(pastaTrabalho);
        });

        // Each table's copies are compressed while the loop goes on with the next tables. The
        // archive there stays until the new one, whole and checked, takes its name.
        TCompactador compactador(arquivoZip);
        compactador.DefinirComentario(TextoDaDescricao(descrever(dm, entradas.filial)));
        TCopias copias{pastaServidor, pastaTrabalho, marca, motores, compactador, {}, {}};
        const QList<qint64> tamanhos = tamanhosDasTabelas(dm, lista);
        op.Detalhes().tabelas = static_cast<int>(lista.size());
        op.Detalhes().alterou = true; // the first marker is appended now
        op.IniciarFase(QStringLiteral("Marcando e copiando as tabelas"),
                       static_cast<int>(lista.size()));
        ExecutarPorTabela(
            op, dm, lista, entradas.conexoes,
            [&copias](TDM& c, const QString& tabela, TRegistroTabela& r) {
                copias.Copiar(c, tabela, r);
            },
            tamanhos);

        op.IniciarFase(QStringLiteral("Compactando e conferindo o arquivo"), 0);
        op.DefinirPosicaoProgresso(0);
        op.DefinirPosicaoProgresso(45);
        compactarEConferir(op, copias);
        op.DefinirPosicaoProgresso(80);
        op.Detalhes().tamanhoArquivo = QFileInfo(arquivoZip).size();
        LimparPasta(op, pastaTrabalho);
        concluido = true;
        op.DefinirPosicaoProgresso(0);
        op.Mostrar(TCaixa::Informacao,
                   QStringLiteral("Backup realizado com sucesso!\r\rArquivo salvo em : ") +
                       arquivoZip);
    });
}

} // namespace marvek
