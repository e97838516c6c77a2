#pragma once

#include "plataforma/GrupoDeTrabalho.h"
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace marvek {

// The archive engine: flat ZIP archives of table files.

struct TEntradaZip {
    QString nome;
    quint64 tamanho = 0;    // uncompressed
    quint64 comprimido = 0; // compressed
    quint32 crc = 0;
};

// True when a file of that name is stored without compression.
bool ArmazenarSemCompressao(const QString& nome);

// Reads the archive's directory and checks that every entry is a plain file with a plain name:
// no folder part, no "..", no absolute or drive names, no backslash, no folder or link entries,
// no encryption, no two entries whose names differ only in case. Reads no data.
QList<TEntradaZip> ListarEntradas(const QString& arquivoZip);

// The archive's comment ("" when it has none), read as UTF-8.
QString ComentarioDoArquivo(const QString& arquivoZip);

// Reads every entry whole and checks its CRC, writing nothing.
void TestarZip(const QString& arquivoZip, const FuncaoProcessar& processar = {});

// The data of every entry as it lies in the archive (compressed, not inflated): the CRC-32 of
// those bytes and their count, in the order of ListarEntradas.
struct TDadosGravados {
    quint32 crc = 0;
    quint64 tamanho = 0;
};
QList<TDadosGravados> LerDadosGravados(const QString& arquivoZip,
                                       const FuncaoProcessar& processar = {});

// Extracts every entry, flat, into the folder (which must exist), checking every CRC. Entries
// are checked as ListarEntradas does before anything is written. Existing files are not
// overwritten: the extraction stops with an error instead.
void ExtrairZip(const QString& arquivoZip, const QString& pasta,
                const FuncaoProcessar& processar = {});

} // namespace marvek
