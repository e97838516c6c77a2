// What the operations rely on the server for, on a server without BACKUP TABLES and
// RESTORE TABLES: the same two files per table, written and loaded through the file system.
// The server and the program share one machine and one file system.
#include "base/EErro.h"
#include "base/Identificador.h"
#include "base/NomesDeArquivo.h"
#include "base/Pastas.h"
#include "data/TDM.h"
#include "plataforma/Plataforma.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

void copiarArquivosDaTabela(const QString& tabela, const QString& arquivo, const QString& origem,
                            const QString& destino) {
    for (const char* ext : {".frm", ".MYD"}) {
        const QString nome = arquivo + QLatin1String(ext);
        const QFileInfo info(origem + nome);
        if (!info.isFile() || info.isSymLink())
            throw EErro(QStringLiteral("A tabela %1 não pode ser copiada: o arquivo %2 não "
                                       "existe (só tabelas MyISAM podem ser copiadas)")
                            .arg(NomeNoComando(tabela), origem + nome));
        CopiarArquivoSemLinks(origem + nome, destino + nome);
    }
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

QString TDM::BackupTables(const QString& tabela, const QString& pasta, bool travada) {
    const QString arquivo = arquivoDa(tabela, "copiada");
    const QString dados = PastaDeDados();
    const QString banco = BancoAtual();
    if (banco.isEmpty())
        throw EErro(QStringLiteral("Nenhum banco de dados selecionado"));
    const QString origem = dados + arquivoDa(banco, "copiada") + QLatin1Char('/');
    const QString destino = ComBarra(pasta);

    // Under the caller's write lock a plain flush writes out what the server holds; the
    // export flush takes a lock of its own.
    ExecutarComando(
        (travada ? QStringLiteral("FLUSH TABLES %1") : QStringLiteral("FLUSH TABLES %1 FOR EXPORT"))
            .arg(CitarIdentificador(tabela)));
    if (travada) {
        copiarArquivosDaTabela(tabela, arquivo, origem, destino);
        return arquivo;
    }
    try {
        copiarArquivosDaTabela(tabela, arquivo, origem, destino);
    } catch (...) {
        ExecutarComando(QStringLiteral("UNLOCK TABLES"), false);
        throw;
    }
    ExecutarComando(QStringLiteral("UNLOCK TABLES"));
    return arquivo;
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
        throw EErro(erro.isEmpty() ? QStringLiteral("A tabela %1 não pôde ser reconstruída")
                                         .arg(NomeNoComando(tabela))
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

QString TDM::RestoreTables(const QString& tabela, const QString& pasta, const QString& noBanco) {
    const QString origem = ComBarra(pasta);
    const QString arquivo = arquivoDa(tabela, "restaurada");
    const QString frm = acharArquivo(origem, arquivo + QLatin1String(".frm"));
    const QString myd = acharArquivo(origem, arquivo + QLatin1String(".MYD"));
    if (frm.isEmpty() || myd.isEmpty())
        throw EErro(QStringLiteral("A tabela %1 não pode ser restaurada: os arquivos %2.frm e "
                                   "%2.MYD não estão em %3")
                        .arg(NomeNoComando(tabela), arquivo, origem));
    const QString base = frm.left(frm.size() - 4);
    const std::optional<QString> doArquivo = TabelaDoArquivo(base);
    if (!doArquivo)
        throw EErro(QStringLiteral("A tabela %1 não pode ser restaurada: o arquivo %2 não tem o "
                                   "nome de uma tabela")
                        .arg(NomeNoComando(tabela), frm));
    const QString nome = *doArquivo;

    const QString banco = noBanco.isEmpty() ? BancoAtual() : noBanco;
    if (banco.isEmpty())
        throw EErro(QStringLiteral("Nenhum banco de dados selecionado"));
    const qlonglong existe =
        ConsultarValor(QStringLiteral("SELECT COUNT(*) FROM information_schema.TABLES WHERE "
                                      "TABLE_SCHEMA = %1 AND TABLE_NAME = %2")
                           .arg(CitarTexto(banco), CitarTexto(nome)),
                       0)
            .toLongLong();
    const QString pastaBancoTexto = PastaDeDados() + arquivoDa(banco, "restaurada");
    const fs::path pastaBanco = caminho(pastaBancoTexto);
    const fs::path alvoFrm = pastaBanco / caminho(base + QLatin1String(".frm"));
    const fs::path alvoMyd = pastaBanco / caminho(base + QLatin1String(".MYD"));
    const fs::path alvoMyi = pastaBanco / caminho(base + QLatin1String(".MYI"));
    std::error_code ec;
    if (existe > 0 || fs::exists(alvoFrm, ec) || fs::exists(alvoMyd, ec))
        throw EErro(QStringLiteral("Table '%1' already exists").arg(nome));

    // The files enter the data folder whole: written under a name no table has, then renamed,
    // the data first and the definition last, so that a stop anywhere leaves either no table or
    // one whose index the next set-aside rebuilds (a .frm and a .MYD without their .MYI).
    const QString parte = QStringLiteral(".marvek-parte");
    auto desfazer = [&] {
        std::error_code e;
        for (const fs::path& p : {alvoFrm, alvoMyd, alvoMyi}) {
            fs::remove(p, e);
            fs::remove(fs::path(p).concat(parte.toStdString()), e);
        }
    };
    auto entrar = [&](const fs::path& alvo, const std::function<void(const QString&)>& escrever) {
        const QString temporario = texto(alvo) + parte;
        std::error_code e;
        fs::remove(caminho(temporario), e); // a part left by a stop
        escrever(temporario);
        AjustarDono(temporario, pastaBancoTexto);
        fs::rename(caminho(temporario), alvo, e);
        if (e)
            throw EErro(QStringLiteral("Não foi possível gravar %1: %2")
                            .arg(texto(alvo), QString::fromLocal8Bit(e.message())));
    };
    try {
        entrar(alvoMyd, [&](const QString& t) { ligarOuCopiar(origem + myd, t); });
        entrar(alvoFrm, [&](const QString& t) { CopiarArquivoSemLinks(origem + frm, t, true); });
        ReconstruirIndices(banco, nome);
    } catch (...) {
        ExecutarComando(QStringLiteral("FLUSH TABLES %1.%2")
                            .arg(CitarIdentificador(banco), CitarIdentificador(nome)),
                        false);
        desfazer();
        throw;
    }
    return nome;
}

} // namespace marvek
