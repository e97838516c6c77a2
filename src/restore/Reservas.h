#pragma once

#include "operador/TOperador.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace marvek {

class TDM;

// The aside databases the restores and the ways back left, listed and pruned.

struct TReserva {
    QString nome;
    QDateTime data; // read from the name; invalid when the name does not give one
    int tabelas = 0;
    qint64 bytes = 0;   // data and indexes, as the server reports them
    bool emUso = false; // an unfinished way back works on it
};

// The aside databases of the working database banco, oldest first; those whose name gives no
// date come last, by name.
QList<TReserva> ListarReservas(TDM& dm, const QString& banco);

// The aside databases that go when the manter newest stay (at least the newest, which may hold
// what the last run set aside): the older ones, never one in use and never one whose date is
// unknown.
QList<TReserva> ReservasAlemDe(const QList<TReserva>& reservas, int manter);

// Drops the aside databases of the working database beyond the manter newest, after the list
// of what goes was shown and the question answered yes; under the run's lock, so that no
// restore or way back makes or reads one meanwhile. Each DROP is logged.
TResultado LimparReservas(TOperador& op, TDM& dm, int manter);

} // namespace marvek
