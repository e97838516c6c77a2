#include "zip/FluxoDeflate.h"

#include "base/EErro.h"

#include <QFile>
#include <libdeflate.h>
#include <memory>
#include <zlib.h>

namespace marvek {

namespace {
constexpr int NivelCompressao = 6;

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

} // namespace

TBlocoComprimido ComprimirBloco(const QString& caminho, qint64 bloco, bool ultimo) {
    QFile f(caminho);
    if (!f.open(QIODevice::ReadOnly))
        throw EErro(QStringLiteral("Não foi possível ler %1: %2").arg(caminho, f.errorString()));
    if (!f.seek(bloco * TamanhoBloco))
        throw EErro(QStringLiteral("Não foi possível ler %1: %2").arg(caminho, f.errorString()));
    const QByteArray dados = f.read(TamanhoBloco);
    if (!ultimo && dados.size() < TamanhoBloco)
        throw EErro(QStringLiteral("O arquivo %1 mudou enquanto era compactado").arg(caminho));

    TBlocoComprimido b;
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

quint32 ConferirFluxo(const QString& parte, qint64 tamanho, quint32 crc) {
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
    quint32 crcLido = 0;
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
            crcLido = libdeflate_crc32(crcLido, saida.constData(), feitos);
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

} // namespace marvek
