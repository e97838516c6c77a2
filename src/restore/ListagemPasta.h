#pragma once

#include <QList>
#include <QString>

namespace marvek {

struct TEntradaPasta {
    QString nome;
    bool pasta = false;
};

// The folder's entries of every kind as the restore and the set-aside walk them: "." and ".."
// first, then the names in ascending order without regard to case (compared upper-cased, byte
// by byte). A folder that does not exist gives an empty list.
QList<TEntradaPasta> ListarPastaOrdenada(const QString& pasta);

} // namespace marvek
