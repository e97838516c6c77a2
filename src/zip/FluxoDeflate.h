#pragma once

#include <QByteArray>
#include <QString>

namespace marvek {

// One file's deflate stream, made of blocks compressed independently: every block but the
// file's last ends open (not final, brought to a byte boundary), so the blocks' outputs put one
// after the other form the file's one stream.

constexpr qint64 TamanhoBloco = 1 << 20; // input per block

struct TBlocoComprimido {
    QByteArray saida;
    quint32 crc = 0; // of the block's input
    qint64 tamanho = 0;
};

// The stream of block number bloco of the file (libdeflate at level 6). Raises EErro when the
// file cannot be read or a block other than the last comes out short (the file changed).
TBlocoComprimido ComprimirBloco(const QString& caminho, qint64 bloco, bool ultimo);

// Reads a file's written stream back and inflates it: it must end exactly where the file does
// and give the source's size and CRC. Returns the CRC of the stream's own bytes, which the
// archive's copy of them is held to at the end. Raises EErro otherwise.
quint32 ConferirFluxo(const QString& parte, qint64 tamanho, quint32 crc);

} // namespace marvek
