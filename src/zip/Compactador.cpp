#include "zip/Compactador.h"

#include "data/EErro.h"
#include "plataforma/Plataforma.h"
#include "zip/Trabalhador.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <libdeflate.h>
#include <map>
#include <mutex>
#include <thread>
#include <vector>
#include <zip.h>
#include <zlib.h>

namespace marvek {

namespace {
constexpr qint64 TamanhoBloco = 1 << 20; // input per block
constexpr int NivelCompressao = 6;

struct Bloco {
    QByteArray saida;
    uLong crc = 0;
    qint64 tamanho = 0;
};

struct Arquivo {
    QString caminho;
    QString nome;
    QString parte; // the compressed stream of the file
    qint64 tamanho = 0;
    qint64 blocos = 0;
    qint64 escritos = 0;
    qint64 comprimido = 0;
    uLong crc = 0;
    quint32 crcGravado = 0; // of the compressed stream, as it goes into the archive
    time_t alterado = 0;
    bool guardar = false;
    bool concluido = false;
    bool conferido = false; // the written stream inflates back to the file's size and CRC
    QString erro;
    std::map<qint64, Bloco> prontos;
    std::unique_ptr<QFile> saida;
};

// Each worker keeps its own compressor: allocating one costs more than a small block.
libdeflate_compressor* compressorDaThread() {
    thread_local std::unique_ptr<libdeflate_compressor, void (*)(libdeflate_compressor*)>
        compressor(libdeflate_alloc_compressor(NivelCompressao), libdeflate_free_compressor);
    return compressor.get();
}

// Turns a whole deflate stream into one that the next block's stream may follow: its last
// block loses the final flag, and an empty stored block (the marker of a sync flush) brings it
// to a byte boundary. Both bit positions are read back with zlib's block-by-block inflate, which
// also proves the stream sound. False when the stream does not decode.
bool abrirFimDoFluxo(QByteArray& fluxo) {
    z_stream zs{};
    if (inflateInit2(&zs, -15) != Z_OK)
        return false;
    unsigned char descarte[65536];
    zs.next_in = reinterpret_cast<Bytef*>(fluxo.data());
    zs.avail_in = static_cast<uInt>(fluxo.size());
    qint64 inicioUltimo = 0; // the header of the last block
    qint64 fim = -1;         // the bit after the last block's end code
    int r = Z_OK;
    for (;;) {
        zs.next_out = descarte;
        zs.avail_out = sizeof descarte;
        r = inflate(&zs, Z_BLOCK);
        if (r != Z_OK)
            break;
        // Stopped at the end of a block (128); 64 tells that it was the last one. The stream's
        // end is taken here: once past it, inflate drops the padding bits.
        if (zs.data_type & 128) {
            const qint64 bit = static_cast<qint64>(zs.total_in) * 8 - (zs.data_type & 7);
            if (zs.data_type & 64)
                fim = bit;
            else
                inicioUltimo = bit;
        }
    }
    inflateEnd(&zs);
    if (r != Z_STREAM_END || fim < 0)
        return false;

    fluxo.truncate(static_cast<qsizetype>((fim + 7) / 8));
    auto* bytes = reinterpret_cast<unsigned char*>(fluxo.data());
    bytes[inicioUltimo / 8] &= static_cast<unsigned char>(~(1u << (inicioUltimo % 8)));
    if (fim % 8 != 0)
        bytes[fim / 8] &= static_cast<unsigned char>((1u << (fim % 8)) - 1);
    // the stored block's three header bits, all zero, then its byte-aligned LEN and NLEN
    if (fluxo.size() * 8 - fim < 3)
        fluxo.append('\0');
    fluxo.append("\x00\x00\xff\xff", 4);
    return true;
}

// The deflate stream of one block (libdeflate at level 6). Every block but the file's last one
// ends open, so the blocks' outputs put one after the other form the file's one stream.
Bloco comprimirBloco(const QString& caminho, qint64 bloco, bool ultimo) {
    QFile f(caminho);
    if (!f.open(QIODevice::ReadOnly))
        throw EErro(QStringLiteral("Não foi possível ler %1: %2").arg(caminho, f.errorString()));
    if (!f.seek(bloco * TamanhoBloco))
        throw EErro(QStringLiteral("Não foi possível ler %1: %2").arg(caminho, f.errorString()));
    const QByteArray dados = f.read(TamanhoBloco);
    if (!ultimo && dados.size() < TamanhoBloco)
        throw EErro(QStringLiteral("O arquivo %1 mudou enquanto era compactado").arg(caminho));

    Bloco b;
    b.tamanho = dados.size();
    b.crc = libdeflate_crc32(0, dados.constData(), static_cast<size_t>(dados.size()));
    libdeflate_compressor* compressor = compressorDaThread();
    if (!compressor)
        throw EErro(QStringLiteral("Sem memória para compactar %1").arg(caminho));
    b.saida.resize(static_cast<qsizetype>(
        libdeflate_deflate_compress_bound(compressor, static_cast<size_t>(dados.size())) + 8));
    const size_t n = libdeflate_deflate_compress(compressor, dados.constData(),
                                                 static_cast<size_t>(dados.size()), b.saida.data(),
                                                 static_cast<size_t>(b.saida.size()));
    b.saida.truncate(static_cast<qsizetype>(n));
    if (n == 0 || (!ultimo && !abrirFimDoFluxo(b.saida)))
        throw EErro(QStringLiteral("Falha ao compactar %1").arg(caminho));
    return b;
}

// Reads a file's written stream back and inflates it: it must end exactly where the file does
// and give the source's size and CRC. Returns the CRC of the stream's own bytes, which the
// archive's copy of them is held to at the end.
quint32 conferirParte(const QString& parte, qint64 tamanho, uLong crc) {
    QFile f(parte);
    if (!f.open(QIODevice::ReadOnly))
        throw EErro(QStringLiteral("Não foi possível ler %1: %2").arg(parte, f.errorString()));
    z_stream zs{};
    if (inflateInit2(&zs, -15) != Z_OK)
        throw EErro(QStringLiteral("Sem memória para conferir %1").arg(parte));
    const std::unique_ptr<z_stream, int (*)(z_stream*)> fluxo(&zs, inflateEnd);
    QByteArray entrada(static_cast<qsizetype>(TamanhoBloco), Qt::Uninitialized);
    QByteArray saida(static_cast<qsizetype>(TamanhoBloco), Qt::Uninitialized);
    quint32 crcGravado = 0;
    uLong crcLido = 0;
    qint64 lidos = 0;
    int r = Z_OK;
    while (r != Z_STREAM_END) {
        const qint64 n = f.read(entrada.data(), entrada.size());
        if (n <= 0)
            break;
        crcGravado = libdeflate_crc32(crcGravado, entrada.constData(), static_cast<size_t>(n));
        zs.next_in = reinterpret_cast<Bytef*>(entrada.data());
        zs.avail_in = static_cast<uInt>(n);
        for (;;) {
            zs.next_out = reinterpret_cast<Bytef*>(saida.data());
            zs.avail_out = static_cast<uInt>(saida.size());
            r = inflate(&zs, Z_NO_FLUSH);
            if (r == Z_BUF_ERROR) { // nothing more without more input
                r = Z_OK;
                break;
            }
            if (r != Z_OK && r != Z_STREAM_END)
                throw EErro(QStringLiteral("Falha ao compactar %1").arg(parte));
            const auto feitos = static_cast<size_t>(saida.size() - zs.avail_out);
            crcLido = libdeflate_crc32(static_cast<quint32>(crcLido), saida.constData(), feitos);
            lidos += static_cast<qint64>(feitos);
            if (r == Z_STREAM_END || (zs.avail_in == 0 && zs.avail_out != 0))
                break;
        }
    }
    if (r != Z_STREAM_END || zs.avail_in != 0 || !f.atEnd() || lidos != tamanho || crcLido != crc)
        throw EErro(QStringLiteral("Falha ao compactar %1: o fluxo gravado não reproduz o "
                                   "arquivo")
                        .arg(parte));
    return crcGravado;
}

// The archive takes each compressed stream as it is: the source declares deflate, the sizes and
// the CRC, and the library copies the data without compressing it again.
struct FonteParte {
    QByteArray caminho;
    zip_uint64_t tamanho = 0;
    zip_uint64_t comprimido = 0;
    zip_uint32_t crc = 0;
    time_t alterado = 0;
    FILE* f = nullptr;
    zip_error_t erro;
};

zip_int64_t lerParte(void* estado, void* dados, zip_uint64_t n, zip_source_cmd_t comando) {
    auto* p = static_cast<FonteParte*>(estado);
    switch (comando) {
    case ZIP_SOURCE_OPEN:
        p->f = std::fopen(p->caminho.constData(), "rb");
        if (!p->f) {
            zip_error_set(&p->erro, ZIP_ER_OPEN, errno);
            return -1;
        }
        return 0;
    case ZIP_SOURCE_READ: {
        const size_t lidos = std::fread(dados, 1, static_cast<size_t>(n), p->f);
        if (lidos < n && std::ferror(p->f)) {
            zip_error_set(&p->erro, ZIP_ER_READ, errno);
            return -1;
        }
        return static_cast<zip_int64_t>(lidos);
    }
    case ZIP_SOURCE_CLOSE:
        if (p->f)
            std::fclose(p->f);
        p->f = nullptr;
        return 0;
    case ZIP_SOURCE_STAT: {
        auto* st = static_cast<zip_stat_t*>(dados);
        zip_stat_init(st);
        st->valid = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC |
                    ZIP_STAT_MTIME | ZIP_STAT_ENCRYPTION_METHOD;
        st->size = p->tamanho;
        st->comp_size = p->comprimido;
        st->comp_method = ZIP_CM_DEFLATE;
        st->encryption_method = ZIP_EM_NONE;
        st->crc = p->crc;
        st->mtime = p->alterado;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&p->erro, dados, n);
    case ZIP_SOURCE_FREE:
        if (p->f)
            std::fclose(p->f);
        zip_error_fini(&p->erro);
        delete p;
        return 0;
    case ZIP_SOURCE_SUPPORTS:
        return ZIP_SOURCE_SUPPORTS_READABLE;
    default:
        zip_error_set(&p->erro, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
}
} // namespace

struct TCompactador::Estado {
    QString arquivoZip;
    std::unique_ptr<QTemporaryDir> partes;
    std::mutex mutex;
    std::condition_variable mudou;
    std::deque<std::unique_ptr<Arquivo>> arquivos;
    QHash<QString, Arquivo*> porCaminho;
    std::deque<Arquivo*> aConferir; // written streams waiting to be read back
    size_t proximoArquivo = 0;      // the cursor over the blocks still to compress
    qint64 proximoBloco = 0;
    int emVoo = 0;
    int limiteEmVoo = 8;
    bool parar = false;
    std::vector<std::thread> trabalhadores;

    void trabalhar();
    void gravarProntos(Arquivo& a); // with the mutex held
};

void TCompactador::Estado::gravarProntos(Arquivo& a) {
    for (auto it = a.prontos.find(a.escritos); it != a.prontos.end();
         it = a.prontos.find(a.escritos)) {
        Bloco& b = it->second;
        if (a.erro.isEmpty()) {
            if (a.saida->write(b.saida) != b.saida.size())
                a.erro = QStringLiteral("Não foi possível gravar %1: %2")
                             .arg(a.parte, a.saida->errorString());
            a.crc = a.escritos == 0 ? b.crc : crc32_combine(a.crc, b.crc, b.tamanho);
            a.comprimido += b.saida.size();
        }
        a.prontos.erase(it);
        ++a.escritos;
        --emVoo;
    }
    if (a.escritos == a.blocos && !a.concluido) {
        if (a.erro.isEmpty() && !a.saida->flush())
            a.erro = QStringLiteral("Não foi possível gravar %1: %2")
                         .arg(a.parte, a.saida->errorString());
        a.saida->close();
        a.concluido = true;
        if (a.erro.isEmpty())
            aConferir.push_back(&a);
    }
    mudou.notify_all();
}

void TCompactador::Estado::trabalhar() {
    // The copy loop's marker UPDATEs run in the server on these same cores and are the backup's
    // critical path; the compression takes what they leave.
    BaixarPrioridadeDaThread();
    std::unique_lock<std::mutex> trava(mutex);
    for (;;) {
        mudou.wait(trava, [&] {
            // files without blocks (stored ones, failed ones) are passed over
            while (proximoArquivo < arquivos.size() && arquivos[proximoArquivo]->blocos == 0)
                ++proximoArquivo;
            return parar || !aConferir.empty() ||
                   (emVoo < limiteEmVoo && proximoArquivo < arquivos.size());
        });
        if (parar)
            return;
        if (!aConferir.empty()) {
            // Read back while the caller goes on, so that the archive's final check need not
            // inflate everything again.
            Arquivo& a = *aConferir.front();
            aConferir.pop_front();
            const QString parte = a.parte;
            const qint64 tamanho = a.tamanho;
            const uLong crc = a.crc;
            trava.unlock();
            quint32 crcGravado = 0;
            QString erro;
            try {
                crcGravado = conferirParte(parte, tamanho, crc);
            } catch (const EErro& e) {
                erro = e.Mensagem();
            }
            trava.lock();
            a.crcGravado = crcGravado;
            a.erro = erro;
            a.conferido = true;
            mudou.notify_all();
            continue;
        }
        Arquivo& a = *arquivos[proximoArquivo];
        const qint64 bloco = proximoBloco;
        if (++proximoBloco >= a.blocos) {
            ++proximoArquivo;
            proximoBloco = 0;
        }
        ++emVoo;
        const QString caminho = a.caminho;
        const bool ultimo = bloco == a.blocos - 1;
        trava.unlock();
        Bloco b;
        QString erro;
        try {
            b = comprimirBloco(caminho, bloco, ultimo);
        } catch (const EErro& e) {
            erro = e.Mensagem();
        }
        trava.lock();
        if (!erro.isEmpty() && a.erro.isEmpty())
            a.erro = erro;
        a.prontos.emplace(bloco, std::move(b));
        gravarProntos(a);
    }
}

TCompactador::TCompactador(const QString& arquivoZip) : m(std::make_unique<Estado>()) {
    m->arquivoZip = arquivoZip;
    const QFileInfo destino(arquivoZip);
    m->partes =
        std::make_unique<QTemporaryDir>(destino.absolutePath() + QStringLiteral("/.") +
                                        destino.fileName() + QStringLiteral(".partes-XXXXXX"));
    if (!m->partes->isValid())
        throw EErro(QStringLiteral("Não foi possível criar o arquivo %1: %2")
                        .arg(arquivoZip, m->partes->errorString()));
    const int n = std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, 8);
    m->limiteEmVoo = 4 * n;
    for (int i = 0; i < n; ++i)
        m->trabalhadores.emplace_back([this] { m->trabalhar(); });
}

TCompactador::~TCompactador() {
    {
        std::lock_guard<std::mutex> trava(m->mutex);
        m->parar = true;
    }
    m->mudou.notify_all();
    for (std::thread& t : m->trabalhadores)
        t.join();
}

void TCompactador::Adicionar(const QString& arquivo) {
    const QFileInfo info(arquivo);
    auto a = std::make_unique<Arquivo>();
    a->caminho = info.absoluteFilePath();
    a->nome = info.fileName();
    a->tamanho = info.size();
    a->alterado = static_cast<time_t>(info.lastModified().toSecsSinceEpoch());
    a->guardar = ArmazenarSemCompressao(a->nome);
    std::lock_guard<std::mutex> trava(m->mutex);
    if (m->porCaminho.contains(a->caminho))
        return;
    if (!info.isFile()) {
        a->erro = QStringLiteral("O arquivo %1 não existe").arg(arquivo);
        a->concluido = true;
    } else if (a->guardar) {
        a->concluido = true; // stored as it is
    } else {
        a->parte = m->partes->filePath(QString::number(m->arquivos.size()));
        a->saida = std::make_unique<QFile>(a->parte);
        if (!a->saida->open(QIODevice::WriteOnly)) {
            a->erro = QStringLiteral("Não foi possível criar %1: %2")
                          .arg(a->parte, a->saida->errorString());
            a->concluido = true;
        } else {
            // an empty file still has one (empty) block: the stream's end
            a->blocos = std::max<qint64>(1, (a->tamanho + TamanhoBloco - 1) / TamanhoBloco);
        }
    }
    m->porCaminho.insert(a->caminho, a.get());
    m->arquivos.push_back(std::move(a));
    m->mudou.notify_all();
}

void TCompactador::Concluir(const QStringList& arquivos, const FuncaoProcessar& processar) {
    for (const QString& a : arquivos)
        Adicionar(a);

    QList<Arquivo*> lista;
    QSet<QString> nomes;
    for (const QString& caminho : arquivos) {
        Arquivo* a = m->porCaminho.value(QFileInfo(caminho).absoluteFilePath());
        if (nomes.contains(a->nome.toUpper()))
            throw EErro(QStringLiteral("Dois arquivos com o nome %1").arg(a->nome));
        nomes.insert(a->nome.toUpper());
        lista.append(a);
    }

    const QFileInfo destino(m->arquivoZip);
    QTemporaryFile temporario(destino.absolutePath() + QStringLiteral("/.") + destino.fileName() +
                              QStringLiteral(".XXXXXX"));
    if (!temporario.open())
        throw EErro(QStringLiteral("Não foi possível criar o arquivo %1: %2")
                        .arg(m->arquivoZip, temporario.errorString()));
    const QString caminhoTemporario = temporario.fileName();
    temporario.close();

    QString erro;
    ExecutarEmSegundoPlano(
        [&] {
            {
                std::unique_lock<std::mutex> trava(m->mutex);
                m->mudou.wait(trava, [&] {
                    return std::all_of(lista.begin(), lista.end(), [](const Arquivo* a) {
                        return a->concluido &&
                               (a->blocos == 0 || !a->erro.isEmpty() || a->conferido);
                    });
                });
                for (const Arquivo* a : lista)
                    if (!a->erro.isEmpty()) {
                        erro = a->erro;
                        return;
                    }
            }
            int codigo = 0;
            zip_t* z =
                zip_open(QFile::encodeName(caminhoTemporario).constData(), ZIP_TRUNCATE, &codigo);
            if (!z) {
                zip_error_t e;
                zip_error_init_with_code(&e, codigo);
                erro = QString::fromLocal8Bit(zip_error_strerror(&e));
                zip_error_fini(&e);
                return;
            }
            for (const Arquivo* a : lista) {
                zip_source_t* fonte = nullptr;
                if (a->guardar) {
                    fonte = zip_source_file(z, QFile::encodeName(a->caminho).constData(), 0, -1);
                } else {
                    auto* p = new FonteParte;
                    p->caminho = QFile::encodeName(a->parte);
                    p->tamanho = static_cast<zip_uint64_t>(a->tamanho);
                    p->comprimido = static_cast<zip_uint64_t>(a->comprimido);
                    p->crc = static_cast<zip_uint32_t>(a->crc);
                    p->alterado = a->alterado;
                    zip_error_init(&p->erro);
                    fonte = zip_source_function(z, lerParte, p);
                    if (!fonte) {
                        zip_error_fini(&p->erro);
                        delete p;
                    }
                }
                const zip_int64_t indice =
                    fonte ? zip_file_add(z, a->nome.toUtf8().constData(), fonte,
                                         ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE)
                          : -1;
                if (indice < 0) {
                    if (fonte)
                        zip_source_free(fonte);
                    erro = QStringLiteral("Não foi possível incluir %1: %2")
                               .arg(a->caminho, QString::fromLocal8Bit(zip_strerror(z)));
                    zip_discard(z);
                    return;
                }
                if (a->guardar)
                    zip_set_file_compression(z, static_cast<zip_uint64_t>(indice), ZIP_CM_STORE, 0);
            }
            if (zip_close(z) != 0) {
                erro = QString::fromLocal8Bit(zip_strerror(z));
                zip_discard(z);
            }
        },
        processar);
    if (!erro.isEmpty()) {
        QFile::remove(caminhoTemporario);
        throw EErro(
            QStringLiteral("Não foi possível gravar o arquivo %1: %2").arg(m->arquivoZip, erro));
    }
    if (!QFile::exists(caminhoTemporario)) {
        // An archive without entries is removed by the library; it is written by hand: the
        // end-of-central-directory record alone.
        QFile vazio(caminhoTemporario);
        const QByteArray fim("PK\x05\x06" + QByteArray(18, '\0'));
        if (!vazio.open(QIODevice::WriteOnly) || vazio.write(fim) != fim.size())
            throw EErro(QStringLiteral("Não foi possível gravar o arquivo %1").arg(m->arquivoZip));
    }
    // The written archive is read back whole before it takes the final name: every entry with
    // its name and sizes, a compressed entry's bytes as they were written and read back
    // (inflated) during the compression, a stored entry's bytes against its CRC.
    try {
        const QList<TEntradaZip> entradas = ListarEntradas(caminhoTemporario);
        const QList<TDadosGravados> gravados = LerDadosGravados(caminhoTemporario, processar);
        if (entradas.size() != lista.size())
            throw EErro(QStringLiteral("o arquivo tem %1 entradas em vez de %2")
                            .arg(entradas.size())
                            .arg(lista.size()));
        for (qsizetype i = 0; i < lista.size(); ++i) {
            const Arquivo& a = *lista[i];
            const TEntradaZip& e = entradas[i];
            const TDadosGravados& g = gravados[i];
            if (e.nome != a.nome || e.tamanho != static_cast<quint64>(a.tamanho))
                throw EErro(QStringLiteral("%1 não entrou com os seus %2 bytes")
                                .arg(a.caminho)
                                .arg(a.tamanho));
            const bool confere = a.guardar ? g.tamanho == e.tamanho && g.crc == e.crc
                                           : e.crc == a.crc &&
                                                 g.tamanho == static_cast<quint64>(a.comprimido) &&
                                                 g.crc == a.crcGravado;
            if (!confere)
                throw EErro(QStringLiteral("a entrada %1 não confere com o que foi compactado")
                                .arg(a.nome));
        }
    } catch (const EErro& e) {
        QFile::remove(caminhoTemporario);
        throw EErro(QStringLiteral("Não foi possível gravar o arquivo %1: %2")
                        .arg(m->arquivoZip, e.Mensagem()));
    }
    QFile::remove(m->arquivoZip);
    if (!QFile::rename(caminhoTemporario, m->arquivoZip)) {
        QFile::remove(caminhoTemporario);
        throw EErro(QStringLiteral("Não foi possível gravar o arquivo %1").arg(m->arquivoZip));
    }
    QFile::setPermissions(m->arquivoZip, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                             QFileDevice::ReadGroup | QFileDevice::ReadOther);
}

} // namespace marvek
