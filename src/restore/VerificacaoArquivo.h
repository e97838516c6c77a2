#pragma once

#include "data/TDM.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace marvek {

struct TTabelaArquivo {
    QString nome;        // the table name the files stand for
    QString arquivo;     // the files' name without extension, as the server writes it
    quint64 tamanho = 0; // every file of the table, uncompressed
    quint64 dados = 0;   // its data file alone (.MYD, .MAD, .ibd)
    TMotor motor = TMotor::MyISAM;
};

// True when the upper-cased name contains "MYD", "FRM" or "MYI" anywhere.
bool ArquivoDeTabela(const QString& nome);

// Checks a backup archive before anything is touched: it exists, it is a sound ZIP whose
// entries are plain file names, every name is a table's file name as the server writes it
// (ArquivoDaTabela) and a three-letter extension, every table (a name with a .frm) has every
// file of its engine (ExtensoesNoArquivo: .MYD; .MAI and .MAD; .ibd, .cfg and .sql) and no
// file of another, and the branch table is there. With testarCrc every entry is read and its CRC
// and inflated size checked too. Raises EErro naming the archive and the problem; returns the
// tables in the archive's order. Entries that are no table's file (a name without "FRM", "MYD" or
// "MYI") are never loaded; they are named in avulsos when it is given.
QList<TTabelaArquivo> VerificarArquivoBackup(const QString& arquivoZip, bool testarCrc,
                                             QStringList* avulsos = nullptr);

} // namespace marvek
