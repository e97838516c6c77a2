// What the operations rely on the server for, on a server without BACKUP TABLES and
// RESTORE TABLES: the same two files per table, written and loaded through the file system.
// The server and the program share one machine and one file system.
#include "base/EErro.h"
#include "base/Identificador.h"
#include "base/Pastas.h"
#include "data/TDM.h"
#include "plataforma/Plataforma.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <filesystem>
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

// Where the folder and the data folder share a file system the file is linked, not copied: the
// load then costs no second copy of the data. The server rewrites what it changes through new
// files or in place on the linked data, which the extraction folder does not need afterwards.
void ligarOuCopiar(const fs::path& de, const fs::path& para);

void copiarArquivo(const fs::path& de, const fs::path& para) {
    std::error_code ec;
    fs::copy_file(de, para, fs::copy_options::overwrite_existing, ec);
    if (ec)
        throw EErro(QStringLiteral("Não foi possível copiar %1 para %2: %3")
                        .arg(texto(de), texto(para), QString::fromLocal8Bit(ec.message())));
}

// Files the program puts into the data folder take the owner of the database folder, so that
// a server running under its own account can write them.
void ajustarDono(const fs::path& arquivo, const fs::path& pasta) {
    AjustarDono(texto(arquivo), texto(pasta));
    std::error_code ec;
    fs::permissions(arquivo,
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                        fs::perms::group_write,
                    ec);
}

void ligarOuCopiar(const fs::path& de, const fs::path& para) {
    std::error_code ec;
    fs::create_hard_link(de, para, ec);
    if (!ec)
        return;
    copiarArquivo(de, para);
}

void copiarArquivosDaTabela(const QString& tabela, const fs::path& origem,
                            const fs::path& destino) {
    for (const char* ext : {".frm", ".MYD"}) {
        const QString nome = tabela + QLatin1String(ext);
        const fs::path arquivo = origem / caminho(nome);
        std::error_code ec;
        if (!fs::is_regular_file(arquivo, ec))
            throw EErro(QStringLiteral("A tabela %1 não pode ser copiada: o arquivo %2 não "
                                       "existe (só tabelas MyISAM podem ser copiadas)")
                            .arg(tabela, texto(arquivo)));
        copiarArquivo(arquivo, destino / caminho(nome));
    }
}

// The file in the folder whose name equals nome without regard to case.
QString acharArquivo(const QString& pasta, const QString& nome) {
    QDir dir(pasta);
    const QStringList nomes = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& n : nomes) {
        if (n.compare(nome, Qt::CaseInsensitive) == 0)
            return n;
    }
    return QString();
}
} // namespace

void TDM::BackupTables(const QString& tabela, const QString& pasta, bool travada) {
    const QString dados = PastaDeDados();
    const QString banco = BancoAtual();
    if (banco.isEmpty())
        throw EErro(QStringLiteral("Nenhum banco de dados selecionado"));
    const fs::path origem = caminho(dados + banco);
    const fs::path destino = caminho(ComBarra(pasta));

    // Under the caller's write lock a plain flush writes out what the server holds; the
    // export flush takes a lock of its own.
    ExecutarComando(
        (travada ? QStringLiteral("FLUSH TABLES %1") : QStringLiteral("FLUSH TABLES %1 FOR EXPORT"))
            .arg(CitarIdentificador(tabela)));
    if (travada) {
        copiarArquivosDaTabela(tabela, origem, destino);
        return;
    }
    try {
        copiarArquivosDaTabela(tabela, origem, destino);
    } catch (...) {
        ExecutarComando(QStringLiteral("UNLOCK TABLES"), false);
        throw;
    }
    ExecutarComando(QStringLiteral("UNLOCK TABLES"));
}

QString TDM::RestoreTables(const QString& tabela, const QString& pasta, const QString& noBanco) {
    const QString origem = ComBarra(pasta);
    const QString frm = acharArquivo(origem, tabela + QLatin1String(".frm"));
    const QString myd = acharArquivo(origem, tabela + QLatin1String(".MYD"));
    if (frm.isEmpty() || myd.isEmpty())
        throw EErro(QStringLiteral("A tabela %1 não pode ser restaurada: os arquivos %1.frm e "
                                   "%1.MYD não estão em %2")
                        .arg(tabela, origem));
    const QString nome = frm.left(frm.size() - 4);
    if (!EhIdentificadorSimples(nome))
        throw EErro(QStringLiteral("A tabela %1 não pode ser restaurada: nome inválido").arg(nome));

    const QString banco = noBanco.isEmpty() ? BancoAtual() : noBanco;
    if (banco.isEmpty())
        throw EErro(QStringLiteral("Nenhum banco de dados selecionado"));
    if (!EhIdentificadorSimples(banco))
        throw EErro(QStringLiteral("Nome de banco de dados inválido: %1").arg(banco));
    const qlonglong existe =
        ConsultarValor(QStringLiteral("SELECT COUNT(*) FROM information_schema.TABLES WHERE "
                                      "TABLE_SCHEMA = '%1' AND TABLE_NAME = '%2'")
                           .arg(banco, nome),
                       0)
            .toLongLong();
    const fs::path pastaBanco = caminho(PastaDeDados() + banco);
    const fs::path alvoFrm = pastaBanco / caminho(nome + QLatin1String(".frm"));
    const fs::path alvoMyd = pastaBanco / caminho(nome + QLatin1String(".MYD"));
    const fs::path alvoMyi = pastaBanco / caminho(nome + QLatin1String(".MYI"));
    std::error_code ec;
    if (existe > 0 || fs::exists(alvoFrm, ec) || fs::exists(alvoMyd, ec))
        throw EErro(QStringLiteral("Table '%1' already exists").arg(nome));

    auto desfazer = [&] {
        std::error_code e;
        fs::remove(alvoFrm, e);
        fs::remove(alvoMyd, e);
        fs::remove(alvoMyi, e);
    };
    try {
        copiarArquivo(caminho(origem + frm), alvoFrm);
        ajustarDono(alvoFrm, pastaBanco);
        ligarOuCopiar(caminho(origem + myd), alvoMyd);
        ajustarDono(alvoMyd, pastaBanco);

        const QString alvo =
            CitarIdentificador(banco) + QLatin1Char('.') + CitarIdentificador(nome);
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
            throw EErro(erro.isEmpty()
                            ? QStringLiteral("A tabela %1 não pôde ser reconstruída").arg(nome)
                            : erro);
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
