// What the operations rely on the server for, on a server without BACKUP TABLES and
// RESTORE TABLES: the files of each table, written and loaded through the file system. MyISAM
// and Aria tables travel as their files; InnoDB tables as transportable tablespaces (the .ibd
// and .cfg of FLUSH TABLES ... FOR EXPORT, with their CREATE TABLE statement). The server and
// the program share one machine and one file system.
#include "base/EErro.h"
#include "base/Identificador.h"
#include "base/NomesDeArquivo.h"
#include "base/Pastas.h"
#include "data/TDM.h"
#include "plataforma/Plataforma.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <system_error>

namespace marvek {

namespace fs = std::filesystem;

namespace {
fs::path caminho(const QString& p) {
    return fs::path(QFile::encodeName(p).toStdString());
}

QString texto(const fs::path& p) {
    return QFile::decodeName(QByteArray::fromStdString(p.string()));
}

// The file name of a table, or the refusal that names it.
QString arquivoDa(const QString& tabela, const char* acao) {
    const std::optional<QString> arquivo = ArquivoDaTabela(tabela);
    if (!arquivo)
        throw EErro(QStringLiteral("A tabela %1 não pode ser %2: o seu nome não tem um nome de "
                                   "arquivo que o Marvek saiba levar")
                        .arg(NomeNoComando(tabela), QLatin1String(acao)));
    return *arquivo;
}

// Where the folder and the data folder share a file system the data file is linked, not
// copied: the load then costs no second copy of the data. Only a regular file is linked (a
// link never reaches the data folder); the server rewrites what it changes through new files
// or in place on the linked data, which the extraction folder does not need afterwards.
void ligarOuCopiar(const QString& de, const QString& para) {
    const QFileInfo info(de);
    std::error_code ec;
    if (info.isFile() && !info.isSymLink()) {
        fs::create_hard_link(caminho(de), caminho(para), ec);
        if (!ec)
            return;
    }
    CopiarArquivoSemLinks(de, para, true);
}

// The files a table of the engine is copied with, as they lie in the data folder.
QStringList arquivosDoMotor(TMotor motor) {
    switch (motor) {
    case TMotor::Aria:
        return {QStringLiteral(".frm"), QStringLiteral(".MAI"), QStringLiteral(".MAD")};
    case TMotor::InnoDB:
        return {QStringLiteral(".frm"), QStringLiteral(".ibd"), QStringLiteral(".cfg")};
    case TMotor::MyISAM:
        break;
    }
    return {QStringLiteral(".frm"), QStringLiteral(".MYD")};
}

void copiarArquivosDaTabela(const QString& tabela, const QString& arquivo, const QString& origem,
                            const QString& destino, TMotor motor) {
    for (const QString& ext : arquivosDoMotor(motor)) {
        const QString nome = arquivo + ext;
        const QFileInfo info(origem + nome);
        if (!info.isFile() || info.isSymLink())
            throw EErro(QStringLiteral("A tabela %1 (%2) não pode ser copiada: o arquivo %3 não "
                                       "existe")
                            .arg(NomeNoComando(tabela), NomeDoMotor(motor), origem + nome));
        CopiarArquivoSemLinks(origem + nome, destino + nome);
    }
}

// A new file with this text, never over one that is there.
void gravarTexto(const QString& arquivo, const QString& texto) {
    QFile f(arquivo);
    const QByteArray dados = texto.toUtf8();
    if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly) || f.write(dados) != dados.size() ||
        !f.flush())
        throw EErro(QStringLiteral("Não foi possível gravar %1: %2").arg(arquivo, f.errorString()));
}

// The file in the folder named nome, or failing that the one whose name equals it without
// regard to case.
QString acharArquivo(const QString& pasta, const QString& nome) {
    if (QFileInfo::exists(pasta + nome))
        return nome;
    QDir dir(pasta);
    const QStringList nomes = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& n : nomes) {
        if (n.compare(nome, Qt::CaseInsensitive) == 0)
            return n;
    }
    return QString();
}
} // namespace

QStringList ExtensoesNoArquivo(TMotor motor) {
    QStringList extensoes = arquivosDoMotor(motor);
    if (motor == TMotor::InnoDB)
        extensoes << QStringLiteral(".sql");
    return extensoes;
}

std::optional<TMotor> MotorDoServidor(const QString& engine) {
    for (TMotor m : {TMotor::MyISAM, TMotor::Aria, TMotor::InnoDB})
        if (engine.compare(NomeDoMotor(m), Qt::CaseInsensitive) == 0)
            return m;
    return std::nullopt;
}

QString NomeDoMotor(TMotor motor) {
    switch (motor) {
    case TMotor::Aria:
        return QStringLiteral("Aria");
    case TMotor::InnoDB:
        return QStringLiteral("InnoDB");
    case TMotor::MyISAM:
        break;
    }
    return QStringLiteral("MyISAM");
}

QString TDM::DefinicaoDaTabela(const QString& tabela) {
    auto c = AbrirConsulta(QStringLiteral("SHOW CREATE TABLE ") + CitarIdentificador(tabela));
    return c->Eof() ? QString() : c->Campo(1).toString();
}

std::optional<QString> TDM::BackupTables(const QString& tabela, const QString& pasta, bool travada,
                                         TMotor motor, const std::function<bool()>& conferir) {
    const QString arquivo = arquivoDa(tabela, "copiada");
    const QString dados = PastaDeDados();
    const QString banco = BancoAtual();
    if (banco.isEmpty())
        throw EErro(QStringLiteral("Nenhum banco de dados selecionado"));
    const QString origem = dados + arquivoDa(banco, "copiada") + QLatin1Char('/');
    const QString destino = ComBarra(pasta);

    // An InnoDB table is created anew at the store from its own statement.
    // Under the caller's write lock a plain flush writes out what the server holds; the
    // export flush takes a lock of its own (the only one an InnoDB table is copied under: it
    // writes the tablespace out and lets readers in, writers wait).
    const bool exportar = !travada || motor == TMotor::InnoDB;
    auto copiar = [&] {
        if (conferir && !conferir())
            return false;
        copiarArquivosDaTabela(tabela, arquivo, origem, destino, motor);
        if (motor == TMotor::InnoDB) {
            // Read while the table is held, so it is the definition of the copied tablespace.
            const QString definicao = DefinicaoDaTabela(tabela);
            ConferirDefinicao(definicao, tabela);
            gravarTexto(destino + arquivo + QStringLiteral(".sql"), definicao);
        }
        return true;
    };
    if (!exportar) {
        ExecutarComando(QStringLiteral("FLUSH TABLES %1").arg(CitarIdentificador(tabela)));
        return copiar() ? std::optional(arquivo) : std::nullopt;
    }
    TTravaTabelas trava(
        *this, QStringLiteral("FLUSH TABLES %1 FOR EXPORT").arg(CitarIdentificador(tabela)));
    const bool copiado = copiar();
    trava.Liberar();
    return copiado ? std::optional(arquivo) : std::nullopt;
}

void TDM::ReconstruirIndices(const QString& banco, const QString& tabela) {
    const QString alvo = CitarIdentificador(banco) + QLatin1Char('.') + CitarIdentificador(tabela);
    auto resultado = AbrirConsulta(QStringLiteral("REPAIR TABLE %1 USE_FRM").arg(alvo));
    QString erro;
    bool ok = false;
    for (; !resultado->Eof(); resultado->Proximo()) {
        const QString tipo = resultado->Campo(2).toString();
        const QString mensagem = resultado->Campo(3).toString();
        if (tipo.compare(QLatin1String("error"), Qt::CaseInsensitive) == 0 && erro.isEmpty())
            erro = mensagem;
        if (tipo.compare(QLatin1String("status"), Qt::CaseInsensitive) == 0)
            ok = mensagem.compare(QLatin1String("OK"), Qt::CaseInsensitive) == 0;
    }
    if (!ok)
        throw EErro(
            erro.isEmpty()
                ? QStringLiteral("A tabela %1 não pôde ser reconstruída").arg(NomeNoComando(tabela))
                : erro);
}

void TDM::SincronizarBanco(const QString& banco) {
    // The server writes MyISAM tables through the system's cache and syncs only its own logs:
    // what it holds is written out, then every file of the database and its folder reach the
    // disk.
    ExecutarComando(QStringLiteral("FLUSH TABLES"));
    const QString pasta = PastaDeDados() + arquivoDa(banco, "gravada");
    for (const QFileInfo& f : QDir(pasta).entryInfoList(QDir::Files | QDir::Hidden | QDir::System))
        if (!f.isSymLink())
            SincronizarNoDisco(f.filePath());
    SincronizarNoDisco(pasta);
}

std::optional<quint32> PaginaDoTablespace(const QString& cfg) {
    // The export's metadata, big-endian: its version, the host's and the table's names (each
    // a length, then the bytes), the next AUTO_INCREMENT value, then the page size.
    QFile f(cfg);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray d = f.read(4096);
    qsizetype pos = 0;
    const auto ler32 = [&](quint32& v) {
        if (pos + 4 > d.size())
            return false;
        v = (quint32(uchar(d[pos])) << 24) | (quint32(uchar(d[pos + 1])) << 16) |
            (quint32(uchar(d[pos + 2])) << 8) | quint32(uchar(d[pos + 3]));
        pos += 4;
        return true;
    };
    quint32 versao = 0, tamanho = 0, pagina = 0;
    if (!ler32(versao) || versao != 1 || !ler32(tamanho) || tamanho > 1024)
        return std::nullopt;
    pos += tamanho;
    if (!ler32(tamanho) || tamanho > 1024)
        return std::nullopt;
    pos += tamanho + 8;
    if (!ler32(pagina))
        return std::nullopt;
    return pagina;
}

void ConferirDefinicao(const QString& sql, const QString& tabela) {
    const auto recusar = [&](const QString& motivo) {
        throw EErro(QStringLiteral("A definição da tabela %1 não é um CREATE TABLE simples de "
                                   "uma tabela InnoDB (%2)")
                        .arg(NomeNoComando(tabela), motivo));
    };
    const QString inicio =
        QStringLiteral("CREATE TABLE ") + CitarIdentificador(tabela) + QStringLiteral(" (");
    if (sql.size() > TamanhoMaximoDefinicao || !sql.startsWith(inicio))
        recusar(QStringLiteral("não começa por ") + inicio);
    // What stands outside quotes, upper-cased, each quoted text a blank: the keywords, options
    // and numbers. A word is looked for anywhere in it, glued to another or not.
    QString fora;
    for (qsizetype i = inicio.size(); i < sql.size(); ++i) {
        const QChar c = sql.at(i);
        if (c == u'\'' || c == u'"' || c == u'`') {
            for (++i; i < sql.size() && sql.at(i) != c; ++i)
                if (sql.at(i) == u'\\' && c != u'`')
                    ++i;
            if (i >= sql.size())
                recusar(QStringLiteral("aspas sem fim"));
            fora += u' ';
            continue;
        }
        if (c == u'\\' || c == u';' || c == u'#' ||
            (c == u'-' && sql.mid(i, 2) == QLatin1String("--")) ||
            (c == u'/' && sql.mid(i, 2) == QLatin1String("/*")))
            recusar(QStringLiteral("\"%1\" fora de aspas").arg(c));
        if (!c.isSpace())
            fora += c.toUpper();
    }
    // Reading other tables, files or servers, and what a tablespace alone does not carry.
    for (const char* proibida :
         {"SELECT", "LIKE", "UNION", "DIRECTORY", "CONNECTION", "FOREIGN", "REFERENCES", "SEQUENCE",
          "VERSIONING", "PARTITION", "ENCRYPT", "FULLTEXT", "SPATIAL"})
        if (fora.contains(QLatin1String(proibida)))
            recusar(QString::fromLatin1(proibida));
    if (fora.count(QStringLiteral("ENGINE")) != 1 ||
        !fora.contains(QStringLiteral("ENGINE=INNODB")))
        recusar(QStringLiteral("ENGINE=InnoDB"));
}

namespace {

// A table's files in a folder to load from: its engine, each file's name by extension, the name
// the files share and the table's name in them.
struct TArquivosDaTabela {
    TMotor motor = TMotor::MyISAM;
    QHash<QString, QString> achados; // extension -> the file's name in the folder
    QString base;
    QString nome;
};

TArquivosDaTabela localizarArquivos(const QString& tabela, const QString& origem) {
    const QString arquivo = arquivoDa(tabela, "restaurada");
    TArquivosDaTabela a;
    // The engine is told by the files: a tablespace, Aria's data file, or MyISAM's.
    a.motor = !acharArquivo(origem, arquivo + QLatin1String(".ibd")).isEmpty()   ? TMotor::InnoDB
              : !acharArquivo(origem, arquivo + QLatin1String(".MAD")).isEmpty() ? TMotor::Aria
                                                                                 : TMotor::MyISAM;
    const QStringList extensoes = ExtensoesNoArquivo(a.motor);
    for (const QString& ext : extensoes) {
        const QString achado = acharArquivo(origem, arquivo + ext);
        if (achado.isEmpty())
            throw EErro(QStringLiteral("A tabela %1 não pode ser restaurada: os arquivos %2 não "
                                       "estão em %3")
                            .arg(NomeNoComando(tabela),
                                 arquivo + extensoes.join(QStringLiteral(", ") + arquivo), origem));
        a.achados.insert(ext, achado);
    }
    const QString frm = a.achados.value(QStringLiteral(".frm"));
    a.base = frm.left(frm.size() - 4);
    const std::optional<QString> doArquivo = TabelaDoArquivo(a.base);
    if (!doArquivo)
        throw EErro(QStringLiteral("A tabela %1 não pode ser restaurada: o arquivo %2 não tem o "
                                   "nome de uma tabela")
                        .arg(NomeNoComando(tabela), frm));
    a.nome = *doArquivo;
    return a;
}

// The CREATE TABLE of an InnoDB table, from its checked definition in the folder, aimed at
// alvoSql.
QString criacaoInnoDB(const QString& arquivoSql, const QString& nome, const QString& alvoSql) {
    QFile f(arquivoSql);
    if (!f.open(QIODevice::ReadOnly))
        throw EErro(
            QStringLiteral("Não foi possível ler %1: %2").arg(f.fileName(), f.errorString()));
    const QString sql = QString::fromUtf8(f.read(TamanhoMaximoDefinicao + 1));
    ConferirDefinicao(sql, nome);
    return QStringLiteral("CREATE TABLE ") + alvoSql +
           sql.mid(13 + CitarIdentificador(nome).size());
}

bool existeTabela(TDM& dm, const QString& banco, const QString& nome) {
    return dm.ConsultarValor(QStringLiteral("SELECT COUNT(*) FROM information_schema.TABLES WHERE "
                                            "TABLE_SCHEMA = %1 AND TABLE_NAME = %2")
                                 .arg(CitarTexto(banco), CitarTexto(nome)),
                             0)
               .toLongLong() > 0;
}

// Takes a load that failed away again: its files and parts (alvos: every file the table may
// have, .cfg last). An InnoDB table is the server's once its statement ran (maybe even when
// the answer was lost): only a DROP takes it away, its files are left to the server.
void desfazerCarga(TDM& dm, TMotor motor, const QString& alvoSql, const QList<fs::path>& alvos,
                   const QString& parte) {
    std::error_code e;
    if (motor == TMotor::InnoDB) {
        dm.TentarExecutarComando(QStringLiteral("DROP TABLE IF EXISTS ") + alvoSql);
        fs::remove(alvos.last(), e);
        for (const fs::path& p : alvos)
            fs::remove(fs::path(p).concat(parte.toStdString()), e);
        return;
    }
    for (const fs::path& p : alvos) {
        fs::remove(p, e);
        fs::remove(fs::path(p).concat(parte.toStdString()), e);
    }
}

} // namespace

QString TDM::RestoreTables(const QString& tabela, const QString& pasta, const QString& noBanco) {
    const QString origem = ComBarra(pasta);
    const TArquivosDaTabela arquivos = localizarArquivos(tabela, origem);
    const TMotor motor = arquivos.motor;
    const QHash<QString, QString>& achados = arquivos.achados;
    const QString& base = arquivos.base;
    const QString& nome = arquivos.nome;

    const QString banco = noBanco.isEmpty() ? BancoAtual() : noBanco;
    if (banco.isEmpty())
        throw EErro(QStringLiteral("Nenhum banco de dados selecionado"));
    const QString alvoSql = CitarIdentificador(banco) + QLatin1Char('.') + CitarIdentificador(nome);
    const QString pastaBancoTexto = PastaDeDados() + arquivoDa(banco, "restaurada");
    const fs::path pastaBanco = caminho(pastaBancoTexto);
    const auto alvo = [&](const char* ext) {
        return pastaBanco / caminho(base + QLatin1String(ext));
    };
    const QList<fs::path> alvos = {alvo(".frm"), alvo(".MYD"), alvo(".MYI"), alvo(".MAD"),
                                   alvo(".MAI"), alvo(".ibd"), alvo(".cfg")};
    std::error_code ec;
    if (existeTabela(*this, banco, nome) ||
        std::any_of(alvos.begin(), alvos.end(),
                    [&ec](const fs::path& p) { return fs::exists(p, ec); }))
        throw EErro(QStringLiteral("Table '%1' already exists").arg(nome));

    // The files enter the data folder whole: written under a name no table has, then renamed,
    // the data first and the definition last, so that a stop anywhere leaves either no table or
    // one the next set-aside can move (a MyISAM .frm and .MYD without their .MYI, whose index
    // it rebuilds; an InnoDB table whose tablespace was not imported yet).
    const QString parte = QStringLiteral(".marvek-parte");
    auto entrar = [&](const char* ext, bool ligar) {
        const fs::path destino = alvo(ext);
        const QString temporario = texto(destino) + parte;
        const QString de = origem + achados.value(QString::fromLatin1(ext));
        std::error_code e;
        fs::remove(caminho(temporario), e); // a part left by a stop
        if (ligar)
            ligarOuCopiar(de, temporario);
        else
            CopiarArquivoSemLinks(de, temporario, true);
        AjustarDono(temporario, pastaBancoTexto);
        fs::rename(caminho(temporario), destino, e);
        if (e)
            throw EErro(QStringLiteral("Não foi possível gravar %1: %2")
                            .arg(texto(destino), QString::fromLocal8Bit(e.message())));
    };
    try {
        switch (motor) {
        case TMotor::MyISAM:
            entrar(".MYD", true);
            entrar(".frm", false);
            ReconstruirIndices(banco, nome);
            break;
        case TMotor::Aria:
            // A table from another server carries its log positions: the server sees that it
            // moved and zero-fills them when it first opens it, which the count does now.
            entrar(".MAD", true);
            entrar(".MAI", false);
            entrar(".frm", false);
            ConsultarValor(QStringLiteral("SELECT COUNT(*) FROM ") + alvoSql, 0);
            break;
        case TMotor::InnoDB:
            ExecutarComando(
                criacaoInnoDB(origem + achados.value(QStringLiteral(".sql")), nome, alvoSql));
            ExecutarComando(QStringLiteral("ALTER TABLE %1 DISCARD TABLESPACE").arg(alvoSql));
            entrar(".cfg", false);
            entrar(".ibd", true);
            ExecutarComando(QStringLiteral("ALTER TABLE %1 IMPORT TABLESPACE").arg(alvoSql));
            fs::remove(alvo(".cfg"), ec); // read by the import, of no use afterwards
            break;
        }
    } catch (...) {
        TentarExecutarComando(QStringLiteral("FLUSH TABLES ") + alvoSql);
        desfazerCarga(*this, motor, alvoSql, alvos, parte);
        throw;
    }
    return nome;
}

} // namespace marvek
