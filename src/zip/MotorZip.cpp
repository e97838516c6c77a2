#include "zip/MotorZip.h"

#include "base/EErro.h"
#include "plataforma/Plataforma.h"
#include "zip/Compactador.h"
#include "zip/PonteirosZip.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <atomic>
#include <libdeflate.h>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>
#include <zip.h>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace marvek {

namespace {

QByteArray nomeLocal(const QString& caminho) {
    return QFile::encodeName(caminho);
}

ZipPtr abrirLeitura(const QString& arquivoZip) {
    if (!QFileInfo(arquivoZip).isFile())
        throw EErro(QStringLiteral("O arquivo %1 não existe").arg(arquivoZip));
    int codigo = 0;
    zip_t* z = zip_open(nomeLocal(arquivoZip).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &codigo);
    if (!z)
        throw EErro(QStringLiteral("O arquivo %1 não é um arquivo ZIP válido: %2")
                        .arg(arquivoZip, TextoErroZip(codigo)));
    return ZipPtr(z);
}

bool nomeSimples(const QString& nome) {
    if (nome.isEmpty() || nome == QLatin1String(".") || nome == QLatin1String(".."))
        return false;
    for (QChar c : nome) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':') ||
            c.unicode() < 32 || c.unicode() == 127)
            return false;
    }
    return true;
}

QList<TEntradaZip> listar(const QString& arquivoZip, zip_t* z) {
    const zip_int64_t n = zip_get_num_entries(z, 0);
    QList<TEntradaZip> entradas;
    QSet<QString> vistos;
    for (zip_int64_t i = 0; i < n; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(z, static_cast<zip_uint64_t>(i), 0, &st) != 0)
            throw EErro(QStringLiteral("O arquivo %1 está danificado: %2")
                            .arg(arquivoZip, QString::fromLocal8Bit(zip_strerror(z))));
        const QString nome = QString::fromUtf8(st.name ? st.name : "");
        auto recusar = [&](const QString& motivo) {
            return EErro(QStringLiteral("O arquivo %1 contém a entrada \"%2\", %3")
                             .arg(arquivoZip, nome, motivo));
        };
        if (!nomeSimples(nome))
            throw recusar(QStringLiteral("que não é um nome simples de arquivo"));
        if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
            throw recusar(QStringLiteral("que está criptografada"));
        if ((st.valid & ZIP_STAT_COMP_METHOD) && st.comp_method != ZIP_CM_STORE &&
            st.comp_method != ZIP_CM_DEFLATE)
            throw recusar(QStringLiteral("com um método de compressão não suportado"));
        zip_uint8_t sistema = 0;
        zip_uint32_t atributos = 0;
        if (zip_file_get_external_attributes(z, static_cast<zip_uint64_t>(i), 0, &sistema,
                                             &atributos) == 0 &&
            sistema == ZIP_OPSYS_UNIX) {
            const unsigned modo = (atributos >> 16) & 0170000u;
            if (modo == 0120000u)
                throw recusar(QStringLiteral("que é um link simbólico"));
            if (modo != 0 && modo != 0100000u)
                throw recusar(QStringLiteral("que não é um arquivo comum"));
        }
        const QString chave = nome.toUpper();
        if (vistos.contains(chave))
            throw recusar(QStringLiteral("repetida"));
        vistos.insert(chave);
        entradas.append({nome, st.size, st.comp_size, st.crc});
    }
    return entradas;
}

// Reads entry i whole, passing each block to escrever; checks the CRC at the end and that the
// entry inflates to exactly its declared size. Reading stops at the declared size: an entry
// that would grow past it is refused before a byte more is passed on.
void lerEntrada(const QString& arquivoZip, zip_t* z, zip_uint64_t i, const TEntradaZip& entrada,
                const std::function<void(const char*, qint64)>& escrever) {
    const QString& nome = entrada.nome;
    zip_file_t* f = zip_fopen_index(z, i, 0);
    if (!f)
        throw EErro(QStringLiteral("Não foi possível ler \"%1\" de %2: %3")
                        .arg(nome, arquivoZip, QString::fromLocal8Bit(zip_strerror(z))));
    // Closed on every path; the last close reports the CRC.
    EntradaZipPtr aberto(f);
    auto tamanhoErrado = [&] {
        return EErro(QStringLiteral("O arquivo %1 está danificado: a entrada \"%2\" não tem os "
                                    "%3 bytes que declara")
                         .arg(arquivoZip, nome)
                         .arg(entrada.tamanho));
    };
    constexpr zip_uint64_t tamanhoBloco = 1 << 20;
    std::unique_ptr<char[]> bloco(new char[tamanhoBloco]);
    zip_uint64_t total = 0;
    for (;;) {
        // One byte past the declared size is asked for, so that an entry that grows past it is
        // noticed without reading (or writing) more.
        const zip_uint64_t resta = entrada.tamanho - total + 1;
        const zip_int64_t lidos = zip_fread(f, bloco.get(), std::min(resta, tamanhoBloco));
        if (lidos < 0)
            throw EErro(QStringLiteral("O arquivo %1 está danificado na entrada \"%2\": %3")
                            .arg(arquivoZip, nome, QString::fromLocal8Bit(zip_file_strerror(f))));
        if (lidos == 0)
            break;
        total += static_cast<zip_uint64_t>(lidos);
        if (total > entrada.tamanho)
            throw tamanhoErrado();
        escrever(bloco.get(), lidos);
    }
    if (total != entrada.tamanho)
        throw tamanhoErrado();
    const int r = zip_fclose(aberto.release());
    if (r != 0)
        throw EErro(QStringLiteral("O arquivo %1 está danificado na entrada \"%2\": %3")
                        .arg(arquivoZip, nome, TextoErroZip(r)));
}
// Runs fazer(handle, i) for every entry on up to four workers, each with a handle of its own on
// the archive, while the calling thread processes messages. The first failure stops the other
// workers and is raised again.
void paraCadaEntrada(const QString& arquivoZip, qsizetype total,
                     const std::function<void(zip_t*, qsizetype)>& fazer,
                     const FuncaoProcessar& processar) {
    const int n = static_cast<int>(std::min<qsizetype>(TGrupoDeTrabalho::Nucleos(4), total));
    if (n == 0)
        return;
    std::atomic<qsizetype> proxima{0};
    TGrupoDeTrabalho grupo(n);
    for (int t = 0; t < n; ++t)
        grupo.Enviar([&] {
            ZipPtr z = abrirLeitura(arquivoZip);
            for (qsizetype i = proxima++; i < total && !grupo.Falhou(); i = proxima++)
                fazer(z.get(), i);
        });
    grupo.Aguardar(processar);
}
} // namespace

bool ArmazenarSemCompressao(const QString& nome) {
    static const QStringList sufixos = {
        QStringLiteral("gif"),    QStringLiteral("png"),  QStringLiteral("z"),
        QStringLiteral("zip"),    QStringLiteral("zoo"),  QStringLiteral("arc"),
        QStringLiteral("lzh"),    QStringLiteral("arj"),  QStringLiteral("taz"),
        QStringLiteral("tgz"),    QStringLiteral("lha"),  QStringLiteral("rar"),
        QStringLiteral("ace"),    QStringLiteral("cab"),  QStringLiteral("gz"),
        QStringLiteral("gzip"),   QStringLiteral("jar"),  QStringLiteral("exe"),
        QStringLiteral("jpg"),    QStringLiteral("jpeg"), QStringLiteral("7zp"),
        QStringLiteral("mp3"),    QStringLiteral("wmv"),  QStringLiteral("wma"),
        QStringLiteral("dvr-ms"), QStringLiteral("avi")};
    const int ponto = nome.lastIndexOf(QLatin1Char('.'));
    if (ponto < 0)
        return false;
    return sufixos.contains(nome.mid(ponto + 1), Qt::CaseInsensitive);
}

QList<TEntradaZip> ListarEntradas(const QString& arquivoZip) {
    ZipPtr z = abrirLeitura(arquivoZip);
    return listar(arquivoZip, z.get());
}

QString ComentarioDoArquivo(const QString& arquivoZip) {
    ZipPtr z = abrirLeitura(arquivoZip);
    int tamanho = 0;
    const char* texto = zip_get_archive_comment(z.get(), &tamanho, ZIP_FL_ENC_RAW);
    return texto && tamanho > 0 ? QString::fromUtf8(texto, tamanho) : QString();
}

void TestarZip(const QString& arquivoZip, const FuncaoProcessar& processar) {
    ZipPtr z = abrirLeitura(arquivoZip);
    const QList<TEntradaZip> entradas = listar(arquivoZip, z.get());
    paraCadaEntrada(
        arquivoZip, entradas.size(),
        [&](zip_t* h, qsizetype i) {
            lerEntrada(arquivoZip, h, static_cast<zip_uint64_t>(i), entradas[i],
                       [](const char*, qint64) {});
        },
        processar);
}

QList<TDadosGravados> LerDadosGravados(const QString& arquivoZip,
                                       const FuncaoProcessar& processar) {
    ZipPtr z = abrirLeitura(arquivoZip);
    const QList<TEntradaZip> entradas = listar(arquivoZip, z.get());
    QList<TDadosGravados> dados(entradas.size());
    paraCadaEntrada(
        arquivoZip, entradas.size(),
        [&](zip_t* h, qsizetype i) {
            zip_file_t* f = zip_fopen_index(h, static_cast<zip_uint64_t>(i), ZIP_FL_COMPRESSED);
            if (!f)
                throw EErro(QStringLiteral("Não foi possível ler \"%1\" de %2: %3")
                                .arg(entradas[i].nome, arquivoZip,
                                     QString::fromLocal8Bit(zip_strerror(h))));
            const EntradaZipPtr aberto(f);
            constexpr zip_uint64_t tamanhoBloco = 1 << 20;
            const std::unique_ptr<char[]> bloco(new char[tamanhoBloco]);
            TDadosGravados& d = dados[i];
            for (;;) {
                const zip_int64_t lidos = zip_fread(f, bloco.get(), tamanhoBloco);
                if (lidos < 0)
                    throw EErro(QStringLiteral("O arquivo %1 está danificado na entrada \"%2\": %3")
                                    .arg(arquivoZip, entradas[i].nome,
                                         QString::fromLocal8Bit(zip_file_strerror(f))));
                if (lidos == 0)
                    break;
                d.crc = libdeflate_crc32(d.crc, bloco.get(), static_cast<size_t>(lidos));
                d.tamanho += static_cast<quint64>(lidos);
            }
        },
        processar);
    return dados;
}

void ExtrairZip(const QString& arquivoZip, const QString& pasta, const FuncaoProcessar& processar) {
    QList<TEntradaZip> entradas;
    {
        ZipPtr z = abrirLeitura(arquivoZip);
        entradas = listar(arquivoZip, z.get());
    }
    const QDir dir(pasta);
    if (!dir.exists())
        throw EErro(QStringLiteral("A pasta %1 não existe").arg(pasta));

    auto extrairEntrada = [&](zip_t* z, qsizetype i) {
        const QString destino = dir.filePath(entradas[i].nome);
        QFile f(destino);
        if (f.exists())
            throw EErro(QStringLiteral("O arquivo %1 já existe").arg(destino));
        // Created anew (never through a link), readable by its owner alone.
        if (!f.open(QIODevice::NewOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner))
            throw EErro(
                QStringLiteral("Não foi possível criar %1: %2").arg(destino, f.errorString()));
        try {
            lerEntrada(arquivoZip, z, static_cast<zip_uint64_t>(i), entradas[i],
                       [&](const char* dados, qint64 n) {
                           if (f.write(dados, n) != n)
                               throw EErro(QStringLiteral("Não foi possível gravar %1: %2")
                                               .arg(destino, f.errorString()));
                       });
            if (!f.flush())
                throw EErro(
                    QStringLiteral("Não foi possível gravar %1: %2").arg(destino, f.errorString()));
        } catch (...) {
            f.close();
            f.remove();
            throw;
        }
    };
    paraCadaEntrada(arquivoZip, entradas.size(), extrairEntrada, processar);
}

} // namespace marvek
