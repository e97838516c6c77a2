#include "restore/Restauracao.h"

#include "base/EErro.h"
#include "base/Identificador.h"
#include "base/NomesDeArquivo.h"
#include "base/Pastas.h"
#include "data/Instalacao.h"
#include "data/PreValidacao.h"
#include "data/TDM.h"
#include "markers/LojasLeram.h"
#include "operador/TOperador.h"
#include "operador/TrabalhoPorTabela.h"
#include "plataforma/Plataforma.h"
#include "restore/LimparOutrasFiliais.h"
#include "restore/TratarDataBases.h"
#include "restore/VerificacaoArquivo.h"
#include "zip/DescricaoArquivo.h"
#include "zip/MotorZip.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>

namespace marvek {

namespace {
const QString PerguntaFinal = QStringLiteral(
    "Backup restaurado com sucesso! Por favor, verifique. \r\nUm log foi salvo na pasta do "
    "aplicativo com os comandos efetuados.\r\n\r\nDeseja abrir o programa de correção da tabela "
    "sequenciador?\r\n\r\nObs: O navirel.exe deve estar dentro da pasta do sistemaqel.");

// The extraction folder is emptied before use: it must be a folder of its own in the chosen
// folder (beside the archive, or the one given), never a root folder or some other folder the
// path happens to name, and one the program made (or nothing yet).
void validarPastaDeExtracao(const QString& arquivo, const QString& base, const QString& pasta) {
    const QFileInfo info(pasta);
    const QString nome = info.fileName();
    if (pasta.isEmpty() || nome.isEmpty() || nome == QLatin1String(".") ||
        nome == QLatin1String("..") || info.absolutePath() != QFileInfo(base).absoluteFilePath())
        throw EErro(QStringLiteral("O arquivo %1 não pode ser restaurado: a pasta de extração "
                                   "\"%2\" não é uma pasta dentro de %3")
                        .arg(arquivo, pasta, base));
    VerificarPastaPropria(pasta);
}

// The folder in which the archive is unpacked: beside the archive, or the one given (an
// archive on a read-only medium), which must exist.
QString baseDaExtracao(const QString& arquivo, const QString& dada) {
    if (dada.isEmpty())
        return QFileInfo(arquivo).absolutePath();
    const QFileInfo base(dada);
    if (!base.isDir())
        throw EEntradaRecusada(
            QStringLiteral("A pasta de extração %1 não existe ou não é uma pasta").arg(dada));
    return base.absoluteFilePath();
}

// An archive that says it was made for another branch than the installation's would give the
// store another store's markers: taken when the operator said so, refused or asked otherwise.
void conferirFilialDoArquivo(TOperador& op, const TEntradas& entradas, const QString& arquivo,
                             int filial) {
    const auto descricao = DescricaoDoArquivo(arquivo);
    if (!descricao || descricao->filial == filial)
        return;
    const QString texto =
        QStringLiteral("O arquivo %1 foi feito para a %2, mas esta instalação é a filial %3 "
                       "(CodFisica do sistema_qel.ini).")
            .arg(arquivo, ResumoDaDescricao(*descricao), QString::number(filial));
    if (entradas.outraFilial.value_or(false) ||
        (!entradas.outraFilial &&
         op.Confirmar(texto + QStringLiteral("\r\n\r\nRestaurar assim mesmo?"), false,
                      QStringLiteral("Confirmação...")))) {
        op.GravarLog(QStringLiteral("Arquivo de outra filial aceito: ") +
                     ResumoDaDescricao(*descricao));
        return;
    }
    throw EEntradaRecusada(texto + (entradas.outraFilial
                                        ? QStringLiteral(" Para restaurá-lo assim mesmo, use "
                                                         "--outra-filial. Nada foi alterado.")
                                        : QStringLiteral(" Nada foi alterado.")));
}

// What a stopped restore left: its extraction folders in the extraction's folder that no run holds,
// and its scratch databases whose connection is gone.
void removerSobras(TOperador& op, TDM& dm, const QString& base) {
    QStringList sobras = RemoverSobras(base, QStringLiteral(".marvek-extracao-"));
    for (auto c = dm.AbrirConsulta(QStringLiteral(
             "SELECT SCHEMA_NAME FROM information_schema.SCHEMATA WHERE SCHEMA_NAME LIKE "
             "'marvek\\_verificacao\\_%' AND SUBSTRING(SCHEMA_NAME, 20) NOT IN (SELECT "
             "CAST(ID AS CHAR) FROM information_schema.PROCESSLIST)"));
         !c->Eof(); c->Proximo()) {
        const QString banco = c->Campo(0).toString();
        // A load the kill cut short left part files the server does not know: they would
        // keep the folder, and so the database, from going.
        // (and an import's .cfg, which the server does not count as a file of its own)
        for (const char* sufixo : {".marvek-parte", ".cfg"})
            RemoverSobras(dm.PastaDeDados() + ArquivoDaTabela(banco).value_or(banco), QString(),
                          QLatin1String(sufixo));
        if (!dm.TentarExecutarComando(QStringLiteral("DROP DATABASE IF EXISTS ") +
                                      CitarIdentificador(banco)))
            op.GravarLog(QStringLiteral("Não foi possível remover o banco de rascunho ") + banco);
        else
            sobras << banco;
    }
    for (const QString& s : sobras)
        op.GravarLog(SobraRemovida + s);
}

// Unpacks the archive into a private folder of its own in pastaArquivo, checking every entry's
// CRC and size, before the installation's tables are touched.
std::unique_ptr<QTemporaryDir> prepararExtracao(TOperador& op, const QString& arquivo,
                                                const QString& pastaArquivo, TTravaArquivo& emUso) {
    quint64 total = 0;
    for (const TEntradaZip& e : ListarEntradas(arquivo))
        total += e.tamanho;
    const qint64 livre = EspacoLivre(pastaArquivo);
    if (livre >= 0 && static_cast<quint64>(livre) < total)
        throw EErro(QStringLiteral("O arquivo %1 precisa de %2 bytes para ser extraído, mas só "
                                   "há %3 bytes livres em %4")
                        .arg(arquivo)
                        .arg(total)
                        .arg(livre)
                        .arg(pastaArquivo));
    auto preparo =
        std::make_unique<QTemporaryDir>(pastaArquivo + QStringLiteral("/.marvek-extracao-XXXXXX"));
    if (!preparo->isValid())
        throw EErro(QStringLiteral("Não foi possível criar uma pasta em %1: %2")
                        .arg(pastaArquivo, preparo->errorString()));
    emUso.TravarPasta(preparo->path()); // another restore leaves it alone while it is held
    ExtrairZip(arquivo, preparo->path(), [&op] { op.ProcessarMensagens(); });
    return preparo;
}

// The tables to load: exactly those with a .frm and a .MYD in the archive, in the order of the
// extraction folder's listing (names compared upper-cased, as the folder walk does). Strays are
// passed over, each with a log line.
QList<TTabelaArquivo> tabelasParaCarregar(TOperador& op, const QString& arquivo) {
    QStringList avulsos;
    QList<TTabelaArquivo> tabelas = VerificarArquivoBackup(arquivo, false, &avulsos);
    std::sort(tabelas.begin(), tabelas.end(), [](const TTabelaArquivo& a, const TTabelaArquivo& b) {
        const QByteArray x = QFile::encodeName(a.arquivo + QStringLiteral(".frm")).toUpper();
        const QByteArray y = QFile::encodeName(b.arquivo + QStringLiteral(".frm")).toUpper();
        return x.compare(y) < 0;
    });
    for (const QString& a : avulsos)
        op.GravarLog(QStringLiteral("Arquivo ignorado (não é arquivo de tabela): ") + a);
    return tabelas;
}

// The installation's branch must be in the archive's own branch table: it is read from a copy
// of that one table loaded into a scratch database, dropped afterwards.
void verificarFilialNoArquivo(TDM& dm, const QString& pastaExtraida, const QString& arquivo,
                              int filial) {
    QTemporaryDir copia(pastaExtraida + QStringLiteral("/.filial-XXXXXX"));
    if (!copia.isValid())
        throw EErro(QStringLiteral("Não foi possível criar uma pasta temporária: %1")
                        .arg(copia.errorString()));
    const QDir origem(pastaExtraida);
    for (const QString& n : origem.entryList(QDir::Files | QDir::Hidden))
        if (n.size() == 10 &&
            n.left(6).compare(QLatin1String("filial"), Qt::CaseInsensitive) == 0 &&
            n.at(6) == QLatin1Char('.'))
            if (!QFile::copy(origem.filePath(n), copia.filePath(n)))
                throw EErro(QStringLiteral("Não foi possível copiar %1").arg(origem.filePath(n)));
    // Named after this connection, which no other session shares while it lives.
    const QString rascunho =
        QStringLiteral("marvek_verificacao_") +
        dm.ConsultarValor(QStringLiteral("SELECT CONNECTION_ID()"), 0).toString();
    TBancoRascunho guarda(dm, rascunho);
    qlonglong linhas = 0;
    QString semMarcador;
    try {
        const QString tabela = dm.RestoreTables(QStringLiteral("filial"), copia.path(), rascunho);
        const QString alvo =
            CitarIdentificador(rascunho) + QLatin1Char('.') + CitarIdentificador(tabela);
        linhas = dm.ConsultarValor(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE filial_id = %2")
                                       .arg(alvo)
                                       .arg(filial),
                                   0)
                     .toLongLong();
        // Every table's markers are rewritten from this list: a live branch without a marker
        // would stop the restore after the set-aside.
        try {
            ListaLojasLeram(dm, alvo);
        } catch (const EErro& e) {
            semMarcador = e.Mensagem();
        }
    } catch (const EErro& e) {
        throw EErro(QStringLiteral("A tabela filial do arquivo %1 não pôde ser lida: %2")
                        .arg(arquivo, e.Mensagem()));
    }
    guarda.Remover();
    if (!semMarcador.isEmpty())
        throw EErro(QStringLiteral("A tabela filial do arquivo %1 tem uma filial ativa sem "
                                   "marcador em lojas_leram (%2); nada foi alterado.")
                        .arg(arquivo, semMarcador));
    if (linhas == 0)
        throw EErro(QStringLiteral("A filial %1 (CodFisica do sistema_qel.ini) não existe na "
                                   "tabela filial do arquivo %2. Verifique o sistema_qel.ini; "
                                   "nada foi alterado.")
                        .arg(filial)
                        .arg(arquivo));
}

// The data folder must hold the tables: the files that are copied (the data file is linked
// instead where the extraction lies on the data folder's file system) and the indexes the
// server rebuilds, estimated at a quarter of the data, plus 16 MiB.
void verificarEspacoNaPastaDeDados(TDM& dm, const QList<TTabelaArquivo>& tabelas,
                                   const QString& pastaExtraida) {
    const QString dados = dm.PastaDeDados();
    const bool ligados = MesmoSistemaDeArquivos(dados, pastaExtraida);
    quint64 precisa = 16u << 20;
    for (const TTabelaArquivo& t : tabelas)
        precisa += (ligados ? t.tamanho - t.dados : t.tamanho) +
                   (t.motor == TMotor::MyISAM ? t.dados / 4 : 0); // only MyISAM rebuilds its index
    const qint64 livre = EspacoLivre(dados);
    if (livre >= 0 && static_cast<quint64>(livre) < precisa)
        throw EErro(QStringLiteral("Disco cheio: as tabelas do arquivo precisam de cerca de %1 "
                                   "bytes na pasta de dados do servidor %2, mas só há %3 bytes "
                                   "livres. Libere espaço e tente de novo; nada foi alterado.")
                        .arg(precisa)
                        .arg(dados)
                        .arg(livre));
}

// What an InnoDB table of the archive needs, said before anything changes: a statement that
// passes the check it will pass at its load, a server that keeps each table in a file of its
// own, writes every commit to its log (the success said at the end is on the disk) and has the
// tablespace's page size.
void verificarTabelasInnoDB(TDM& dm, const QList<TTabelaArquivo>& tabelas,
                            const QString& pastaExtraida, const QString& arquivo) {
    QStringList outras;
    quint32 doServidor = 0;
    const auto noArquivo = [&](const TTabelaArquivo& t, const QString& ext) {
        for (const QString& n : QDir(pastaExtraida).entryList(QDir::Files | QDir::Hidden))
            if (n.compare(t.arquivo + ext, Qt::CaseInsensitive) == 0)
                return pastaExtraida + QLatin1Char('/') + n;
        return QString();
    };
    for (const TTabelaArquivo& t : tabelas) {
        if (t.motor != TMotor::InnoDB)
            continue;
        if (doServidor == 0) {
            auto c = dm.AbrirConsulta(
                QStringLiteral("SELECT @@innodb_page_size, @@innodb_file_per_table, "
                               "@@innodb_flush_log_at_trx_commit"));
            doServidor = c->Campo(0).toUInt();
            if (c->Campo(1).toInt() != 1 || c->Campo(2).toInt() != 1)
                throw EErro(
                    QStringLiteral(
                        "O arquivo %1 traz tabelas InnoDB, e este servidor precisa de "
                        "innodb_file_per_table=1 e innodb_flush_log_at_trx_commit=1 para "
                        "recebê-las "
                        "(cada tabela no seu arquivo, cada gravação no disco). Nada foi alterado.")
                        .arg(arquivo));
        }
        QFile sql(noArquivo(t, QStringLiteral(".sql")));
        if (!sql.open(QIODevice::ReadOnly) || sql.size() > TamanhoMaximoDefinicao)
            throw EErro(QStringLiteral("A definição %1 do arquivo %2 não pode ser lida ou é grande "
                                       "demais. Nada foi alterado.")
                            .arg(sql.fileName(), arquivo));
        ConferirDefinicao(QString::fromUtf8(sql.readAll()), t.nome);
        const std::optional<quint32> pagina =
            PaginaDoTablespace(noArquivo(t, QStringLiteral(".cfg")));
        if (!pagina || *pagina != doServidor)
            outras << QStringLiteral("%1 (%2)").arg(
                NomeNoComando(t.nome), pagina ? QStringLiteral("páginas de %1 bytes").arg(*pagina)
                                              : QStringLiteral("sem a descrição do tablespace"));
    }
    if (!outras.isEmpty())
        throw EErro(
            QStringLiteral("O arquivo %1 traz tabelas InnoDB que este servidor não pode "
                           "receber (ele usa páginas de %2 bytes): %3. Nada foi alterado.")
                .arg(arquivo, QString::number(doServidor), outras.join(QStringLiteral(", "))));
}

// Nothing but a file of the program's may stand where an entry will be moved to.
void verificarCaminhoLivre(const QString& de, const QString& para) {
    const QDir origem(de);
    for (const QString& nome : origem.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        const QFileInfo alvo(para + QStringLiteral("/") + nome);
        if ((alvo.exists() || alvo.isSymLink()) && (!alvo.isFile() || alvo.isSymLink()))
            throw EErro(QStringLiteral("%1 está no caminho de um arquivo da restauração e não "
                                       "é um arquivo comum. Remova-o e tente de novo; nada foi "
                                       "alterado.")
                            .arg(alvo.filePath()));
    }
}

// Moves the unpacked files into the extraction folder, in place of any file of the same name.
void moverExtraidos(const QString& de, const QString& para) {
    namespace fs = std::filesystem;
    const QDir origem(de);
    for (const QString& nome : origem.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        std::error_code ec;
        fs::rename(fs::path(QFile::encodeName(origem.filePath(nome)).toStdString()),
                   fs::path(QFile::encodeName(para + QStringLiteral("/") + nome).toStdString()),
                   ec);
        if (ec)
            throw EErro(
                QStringLiteral("Não foi possível mover %1 para %2: %3")
                    .arg(origem.filePath(nome), para, QString::fromLocal8Bit(ec.message())));
    }
}

// The restore may run before its database exists (a new installation): a connection that
// cannot open on the working database opens without one; the set-aside creates and selects it.
void abrirConexao(TDM& dm) {
    if (dm.Conexao.Aberta())
        return;
    try {
        dm.Conexao.Abrir();
    } catch (const EErro&) {
        const QString banco = dm.Conexao.Banco;
        dm.Conexao.Banco.clear();
        try {
            dm.Conexao.Abrir();
        } catch (const EErro&) {
            dm.Conexao.Banco = banco;
            throw;
        }
    }
}

using TLinhaLog = std::function<void(const QString&)>;

// RESTORE TABLES of one table, with its log lines.
void carregar(const TLinhaLog& log, TDM& dm, const QString& tabela, const QString& pastaServidor) {
    const QString sql = QStringLiteral("RESTORE TABLES ") + NomeNoComando(tabela) +
                        QStringLiteral(" FROM \"") + pastaServidor + QStringLiteral("\"");
    log(QStringLiteral("Inicio SQL"));
    log(sql);
    dm.RestoreTables(tabela, pastaServidor);
    log(QStringLiteral("Fim SQL"));
}

// At a store, the other branches' rows of the purge's six tables go right after the load, so
// the marker UPDATE rewrites only the rows that stay (the purge's own DELETEs then find
// nothing). The indexes are rebuilt by sorting once afterwards instead of row by row. Not
// logged; a DELETE the server refuses is left to the purge, which reports it in its place.
void limparAntes(TDM& dm, const QString& tabela, const QString& filial) {
    const QString alvo = CitarIdentificador(tabela);
    dm.ExecutarComando(QStringLiteral("ALTER TABLE %1 DISABLE KEYS").arg(alvo));
    dm.TentarExecutarComando(ComandoDaLimpezaFixa(tabela, filial));
    dm.ExecutarComando(QStringLiteral("ALTER TABLE %1 ENABLE KEYS").arg(alvo));
}

// The load, the early purge and the marker list of one table.
void carregarTabela(TRegistroTabela& r, TDM& dm, const QString& tabela,
                    const QString& pastaServidor, const QString& filialDaLoja) {
    carregar([&r](const QString& l) { r.GravarLog(l); }, dm, tabela, pastaServidor);
    if (!filialDaLoja.isEmpty() && TabelasDaLimpezaFixa().contains(tabela))
        limparAntes(dm, tabela, filialDaLoja);
    auto describe = [](const QString& nome) {
        return QStringLiteral("DESCRIBE ") + nome + QStringLiteral(" lojas_leram");
    };
    r.GravarLog(QStringLiteral("Inicio SQL"));
    r.GravarLog(describe(NomeNoComando(tabela)));
    r.GravarLog(QStringLiteral("Fim SQL"));
    const QVariant coluna =
        dm.ConsultarValor(describe(CitarIdentificador(tabela)), QStringLiteral("0"));
    if (coluna.toString() == QLatin1String("0"))
        return;
    r.GravarLog(QStringLiteral("Inicio SQL "));
    const QString lista = ListaLojasLeram(dm);
    auto update = [&lista](const QString& nome) {
        return QStringLiteral("UPDATE ") + nome + QStringLiteral(" SET lojas_leram = \"") + lista +
               QStringLiteral("\"");
    };
    r.GravarLog(update(NomeNoComando(tabela)));
    dm.ExecutarComando(update(CitarIdentificador(tabela)));
    r.GravarLog(QStringLiteral("Fim SQL"));
    r.AvancarProgresso();
}

} // namespace

namespace {
// Loads the branch table, then every other table of the archive from the folder (on the
// given number of connections), each with its markers rewritten; at a store each table also
// loses the other branches' rows as it loads.
void carregarTabelas(TOperador& op, TDM& dm, const QList<TTabelaArquivo>& tabelas,
                     const QString& pasta, int filial, int conexoes) {
    QString pastaServidor = pasta;
    pastaServidor.replace(QLatin1Char('\\'), QLatin1Char('/'));
    pastaServidor += QStringLiteral("/");

    carregar([&op](const QString& l) { op.GravarLog(l); }, dm, QStringLiteral("FILIAL"),
             pastaServidor);
    // A store's branch (escritorio "N", or no such row) has its other branches' rows
    // removed table by table as they load; a failing query leaves it all to the purge.
    const QString filialDaLoja =
        dm.TentarConsultarValor(ComandoDoEscritorio(QString::number(filial)), QStringLiteral("N"))
                    .value_or(QVariant())
                    .toString() == QLatin1String("N")
            ? QString::number(filial)
            : QString();
    QStringList resto;
    QList<qint64> tamanhos;
    for (const TTabelaArquivo& t : tabelas)
        if (t.nome.toUpper() != QLatin1String("FILIAL")) {
            resto << t.nome;
            tamanhos << static_cast<qint64>(t.tamanho);
        }
    op.IniciarFase(QStringLiteral("Carregando e marcando as tabelas"),
                   static_cast<int>(resto.size()));
    ExecutarPorTabela(
        op, dm, resto, conexoes,
        [&](TDM& c, const QString& tabela, TRegistroTabela& r) {
            carregarTabela(r, c, tabela, pastaServidor, filialDaLoja);
        },
        tamanhos);
}

// The end of a simulation: every check passed.
void dizerSimulacao(TOperador& op, const QString& arquivo, qsizetype tabelas) {
    op.GravarLog(QStringLiteral("Simulação: todas as verificações passaram; nada foi alterado"));
    op.Mostrar(TCaixa::Informacao, QStringLiteral("Simulação concluída: o arquivo %1 pode ser "
                                                  "restaurado (%2 tabelas). Nada foi alterado.")
                                       .arg(arquivo, QString::number(tabelas)));
}

// Two restores of other databases from the same folder would load from one folder.
void travarPastaDeCarga(TTravaArquivo& trava, const QString& pasta) {
    if (!trava.TravarPasta(pasta))
        throw EExecucaoEmAndamento(
            QStringLiteral("Outra restauração está usando a pasta %1. Aguarde o fim dela e "
                           "tente de novo; nada foi alterado.")
                .arg(pasta));
}

} // namespace

QString PastaDeExtracao(const QString& arquivoZip) {
    return arquivoZip.left(arquivoZip.size() - 4);
}

QString ObterEscritorio(TOperador& op, TDM& dm, int codFisica) {
    return dm
        .ConsultarValor(ComandoDoEscritorio(ObterCodFilial(op, codFisica)), QStringLiteral("N"))
        .toString();
}

TResultado ExecutarRestauracao(TOperador& op, TDM& dm) {
    op.GravarLog(QStringLiteral("Inicio Restore"));
    const TResultado r = RestaurarBackup(op, dm);
    op.GravarLog(QStringLiteral("Fim Restore"));
    return r;
}

TResultado RestaurarBackup(TOperador& op, TDM& dm) {
    TTravaArquivo emUso;      // outlives the extraction folder it holds
    TTravaArquivo cargaEmUso; // the folder the tables are loaded from
    std::unique_ptr<QTemporaryDir> preparo;
    std::unique_ptr<TTravaExecucao> trava;
    dm.Conexao.Retomar();
    return ExecutarOperacao(op, [&] {
        // Check everything, then touch anything: the settings, the run's lock, the extraction
        // folder, the whole archive (unpacked aside with every CRC and size checked), the
        // installation's branch in the archive and the working database's objects.
        op.GravarLog(QStringLiteral("Inicio Validacao"));
        const TEntradas entradas = op.Entradas();
        op.ValidarEntradas(entradas);
        const QString arquivo = entradas.arquivo;
        const QString base = baseDaExtracao(arquivo, entradas.pastaExtracao);
        const QString pasta =
            entradas.pastaExtracao.isEmpty()
                ? PastaDeExtracao(arquivo)
                : base + QLatin1Char('/') + QFileInfo(PastaDeExtracao(arquivo)).fileName();
        op.Detalhes().arquivo = arquivo;
        op.Detalhes().tamanhoArquivo = QFileInfo(arquivo).size();
        const QString banco = LerBancoDeTrabalho();
        op.Detalhes().banco = banco;
        const int filial = LerCodFisica();
        op.Detalhes().filial = QString::number(filial);
        abrirConexao(dm);
        trava = std::make_unique<TTravaExecucao>(dm, banco);
        validarPastaDeExtracao(arquivo, base, pasta);
        op.IniciarFase(QStringLiteral("Conferindo e descompactando o arquivo"), 0);
        const QList<TTabelaArquivo> tabelas = tabelasParaCarregar(op, arquivo);
        op.Detalhes().tabelas = static_cast<int>(tabelas.size());
        // A simulation removes nothing, not even what a stopped run left.
        if (!entradas.simular)
            removerSobras(op, dm, base);
        preparo = prepararExtracao(op, arquivo, base, emUso);
        verificarTabelasInnoDB(dm, tabelas, preparo->path(), arquivo);
        verificarFilialNoArquivo(dm, preparo->path(), arquivo, filial);
        VerificarBancoDeTrabalho(dm, banco);
        verificarEspacoNaPastaDeDados(dm, tabelas, preparo->path());
        verificarCaminhoLivre(preparo->path(), pasta);
        // Asked last, when nothing else stands in the way.
        conferirFilialDoArquivo(op, entradas, arquivo, filial);
        if (entradas.simular) {
            dizerSimulacao(op, arquivo, tabelas.size());
            return;
        }
        CriarPastaPropria(pasta);
        travarPastaDeCarga(cargaEmUso, pasta);
        op.GravarLog(QStringLiteral("Fim Validacao"));

        // After a failed set-aside the connection may stand on another database: nothing is
        // loaded then.
        SepararBancoDeTrabalho(op, dm, banco, &op.Detalhes().bancoReserva);

        LimparPasta(op, pasta);
        moverExtraidos(preparo->path(), pasta);
        preparo.reset();

        carregarTabelas(op, dm, tabelas, pasta, filial, entradas.conexoes);

        dm.ExecutarComando(QStringLiteral("UPDATE filial SET versao = \"001000000000\""));

        if (ObterEscritorio(op, dm, filial) == QLatin1String("N")) {
            op.IniciarFase(QStringLiteral("Apagando os dados das outras filiais"), 0);
            LimparOutrasFiliais(op, dm, ObterCodFilial(op, filial), entradas.opcoes);
        }

        // The success text comes only when the loaded tables are on the disk.
        dm.SincronizarBanco(banco);
        if (op.Confirmar(PerguntaFinal, true, QStringLiteral("Confirmação...")))
            op.ExecutarPrograma(ArquivoDoPrograma(QStringLiteral("Navirel.exe")));

        op.DefinirPosicaoProgresso(0);
    });
}

} // namespace marvek
